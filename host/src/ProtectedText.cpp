#include "ProtectedText.h"

#include <windows.h>

#include <wincrypt.h>

#include <vector>

namespace kite {

namespace {

const wchar_t kPrefix[] = L"dpapi:";
const size_t kPrefixLength = 6;
// Ties the blobs to this client: another program of the same user that
// calls CryptUnprotectData without it gets nothing.
const char kEntropy[] = "KiteClient saved password";

DATA_BLOB Entropy() {
    DATA_BLOB e;
    e.pbData = reinterpret_cast<BYTE*>(const_cast<char*>(kEntropy));
    e.cbData = sizeof(kEntropy) - 1;
    return e;
}

} // namespace

std::wstring ProtectText(const std::wstring& plain) {
    if (plain.empty())
        return std::wstring();
    DATA_BLOB in;
    in.pbData = reinterpret_cast<BYTE*>(const_cast<wchar_t*>(plain.data()));
    in.cbData = static_cast<DWORD>(plain.size() * sizeof(wchar_t));
    DATA_BLOB entropy = Entropy();
    DATA_BLOB out = {};
    if (!::CryptProtectData(&in, L"Kite saved password", &entropy, nullptr, nullptr,
                            CRYPTPROTECT_UI_FORBIDDEN, &out))
        return std::wstring(); // never the plain text in its place
    std::wstring text;
    DWORD chars = 0;
    const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
    if (::CryptBinaryToStringW(out.pbData, out.cbData, flags, nullptr, &chars) && chars) {
        std::vector<wchar_t> buf(chars);
        if (::CryptBinaryToStringW(out.pbData, out.cbData, flags, buf.data(), &chars))
            text = kPrefix + std::wstring(buf.data(), chars);
    }
    ::SecureZeroMemory(out.pbData, out.cbData);
    ::LocalFree(out.pbData);
    return text;
}

std::wstring UnprotectText(const std::wstring& stored, bool* wasPlain) {
    bool isProtected = stored.compare(0, kPrefixLength, kPrefix) == 0;
    if (wasPlain)
        *wasPlain = !isProtected && !stored.empty();
    if (!isProtected)
        return stored;
    std::wstring base64 = stored.substr(kPrefixLength);
    DWORD size = 0;
    if (!::CryptStringToBinaryW(base64.c_str(), static_cast<DWORD>(base64.size()),
                                CRYPT_STRING_BASE64, nullptr, &size, nullptr, nullptr) ||
        !size)
        return std::wstring();
    std::vector<BYTE> blob(size);
    if (!::CryptStringToBinaryW(base64.c_str(), static_cast<DWORD>(base64.size()),
                                CRYPT_STRING_BASE64, blob.data(), &size, nullptr, nullptr))
        return std::wstring();
    DATA_BLOB in;
    in.pbData = blob.data();
    in.cbData = size;
    DATA_BLOB entropy = Entropy();
    DATA_BLOB out = {};
    if (!::CryptUnprotectData(&in, nullptr, &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                              &out))
        return std::wstring();
    std::wstring plain(reinterpret_cast<const wchar_t*>(out.pbData), out.cbData / sizeof(wchar_t));
    ::SecureZeroMemory(out.pbData, out.cbData);
    ::LocalFree(out.pbData);
    return plain;
}

} // namespace kite
