#include "accounts/ConfigUtils.h"

#include <new>

namespace {
const int kPathChars = 260;
} // namespace

CString GetModuleDir() {
    // The host executable, not this plug-in: the ini file and the upgrade
    // program live beside the client.
    wchar_t path[kPathChars] = {};
    ::GetModuleFileNameW(NULL, path, kPathChars);
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
    char* buffer = new (std::nothrow) char[static_cast<size_t>(size)];
    if (!buffer)
        return std::string();
    const int converted = ::WideCharToMultiByte(CP_ACP, 0, wide, length, buffer, size, NULL, NULL);
    std::string result;
    if (converted > 0)
        result.assign(buffer, static_cast<size_t>(converted));
    delete[] buffer;
    return result;
}
