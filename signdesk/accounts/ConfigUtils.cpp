#include "accounts/ConfigUtils.h"

#include <memory>
#include <new>

namespace {
const int kPathChars = 260;
} // namespace

CString GetModuleDir() {
    // The host executable, not this plug-in: the ini file and the upgrade
    // program live beside the client.
    wchar_t path[kPathChars] = {};
    ::GetModuleFileNameW(nullptr, path, kPathChars);
    CString dir(path);
    int slash = dir.ReverseFind(L'\\');
    if (slash < 0)
        return CString();
    return dir.Left(slash + 1);
}

CString GetIniString(const wchar_t* section, const wchar_t* key, const wchar_t* file) {
    // One character of the buffer is never offered, so a value is cut to
    // 258 characters plus its terminator.
    wchar_t value[kPathChars] = {};
    ::GetPrivateProfileStringW(section, key, L"", value, kPathChars - 1, file);
    return CString(value);
}

std::string WideToAnsi(const CString& wide) {
    const int length = wide.GetLength();
    // Room for the widest multi-byte code page, whatever the text holds.
    const int size = 4 * length + 10;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[static_cast<size_t>(size)]);
    if (!buffer)
        return std::string();
    int converted =
        ::WideCharToMultiByte(CP_ACP, 0, wide, length, buffer.get(), size, nullptr, nullptr);
    if (converted <= 0)
        return std::string();
    return std::string(buffer.get(), static_cast<size_t>(converted));
}
