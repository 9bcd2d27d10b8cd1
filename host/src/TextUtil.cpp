#include "TextUtil.h"

#include <cstdarg>
#include <cwchar>
#include <vector>

namespace kite {

std::wstring FromUtf8(const std::string& text) {
    if (text.empty())
        return std::wstring();
    int n =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

std::string ToUtf8(const std::wstring& text) {
    if (text.empty())
        return std::string();
    int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                  0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n,
                              nullptr, nullptr);
    return out;
}

std::wstring ExeDir() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path);
    return s.substr(0, s.find_last_of(L'\\') + 1);
}

std::wstring JoinPath(const std::wstring& a, const std::wstring& b) {
    if (a.empty())
        return b;
    std::wstring head = a;
    while (!head.empty() && (head.back() == L'\\' || head.back() == L'/'))
        head.pop_back();
    size_t start = 0;
    while (start < b.size() && (b[start] == L'\\' || b[start] == L'/'))
        ++start;
    return head + L"\\" + b.substr(start);
}

std::wstring DirOf(const std::wstring& path) {
    size_t pos = path.find_last_of(L"\\/");
    return pos == std::wstring::npos ? std::wstring() : path.substr(0, pos + 1);
}

bool FileExists(const std::wstring& path) {
    DWORD attr = ::GetFileAttributesW(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirExists(const std::wstring& path) {
    DWORD attr = ::GetFileAttributesW(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool EnsureDir(const std::wstring& path) {
    std::wstring p = path;
    while (!p.empty() && (p.back() == L'\\' || p.back() == L'/'))
        p.pop_back();
    if (p.empty() || DirExists(p))
        return true;
    std::wstring parent = DirOf(p);
    if (!parent.empty() && parent.size() < p.size())
        EnsureDir(parent);
    return ::CreateDirectoryW(p.c_str(), nullptr) || DirExists(p);
}

void RemoveTree(const std::wstring& path) {
    std::wstring base = path;
    while (!base.empty() && (base.back() == L'\\' || base.back() == L'/'))
        base.pop_back();
    if (base.empty() || !DirExists(base))
        return;
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW((base + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring full = base + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                ::DeleteFileW(full.c_str());
        } while (::FindNextFileW(h, &fd));
        ::FindClose(h);
    }
    ::RemoveDirectoryW(base.c_str());
}

bool ReadFileBytes(const std::wstring& path, std::string& bytes) {
    bytes.clear();
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size = {};
    bool ok = ::GetFileSizeEx(h, &size) != 0;
    if (ok && size.QuadPart > 0) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        ok = ::ReadFile(h, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr) != 0;
        bytes.resize(got);
    }
    ::CloseHandle(h);
    return ok;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    EnsureDir(DirOf(path));
    std::wstring temp = path + L".new";
    HANDLE h = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = bytes.empty() ||
              (::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
               written == bytes.size());
    ::CloseHandle(h);
    if (!ok) {
        ::DeleteFileW(temp.c_str());
        return false;
    }
    return ::MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

std::wstring ResolveBesideExe(const std::wstring& path) {
    if (path.size() >= 2 && (path[1] == L':' || (path[0] == L'\\' && path[1] == L'\\')))
        return path;
    if (!path.empty() && (path[0] == L'\\' || path[0] == L'/'))
        return path;
    return JoinPath(ExeDir(), path);
}

std::wstring Trim(const std::wstring& s) {
    size_t b = s.find_first_not_of(L" \t\r\n");
    if (b == std::wstring::npos)
        return std::wstring();
    size_t e = s.find_last_not_of(L" \t\r\n");
    return s.substr(b, e - b + 1);
}

int ToInt(const std::wstring& s, int fallback) {
    std::wstring t = Trim(s);
    if (t.empty())
        return fallback;
    wchar_t* end = nullptr;
    long v = std::wcstol(t.c_str(), &end, 10);
    return (end && *end == L'\0') ? static_cast<int>(v) : fallback;
}

std::wstring Format(const wchar_t* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::vector<wchar_t> buf(256);
    for (;;) {
        va_list copy;
        va_copy(copy, args);
        int n = std::vswprintf(buf.data(), buf.size(), fmt, copy);
        va_end(copy);
        if (n >= 0 && static_cast<size_t>(n) < buf.size()) {
            va_end(args);
            return std::wstring(buf.data(), static_cast<size_t>(n));
        }
        buf.resize(buf.size() * 2);
        if (buf.size() > (1u << 20)) {
            va_end(args);
            return std::wstring();
        }
    }
}

} // namespace kite

namespace kite {

std::wstring Subst(std::wstring text, const std::wstring& a1, const std::wstring& a2,
                   const std::wstring& a3) {
    const std::wstring* args[] = {&a1, &a2, &a3};
    for (int i = 0; i < 3; ++i) {
        std::wstring mark = L"{" + std::to_wstring(i + 1) + L"}";
        for (size_t pos = text.find(mark); pos != std::wstring::npos;
             pos = text.find(mark, pos + args[i]->size()))
            text.replace(pos, mark.size(), *args[i]);
    }
    return text;
}

std::wstring LocalTimeText(unsigned long long unixSeconds) {
    // Seconds since 1970 to FILETIME (100 ns since 1601).
    ULARGE_INTEGER li;
    li.QuadPart = (unixSeconds + 11644473600ULL) * 10000000ULL;
    FILETIME ft = {li.LowPart, li.HighPart}, local;
    SYSTEMTIME st = {};
    ::FileTimeToLocalFileTime(&ft, &local);
    ::FileTimeToSystemTime(&local, &st);
    return Format(L"%04u-%02u-%02u %02u:%02u", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute);
}

} // namespace kite
