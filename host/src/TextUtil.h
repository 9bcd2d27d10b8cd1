// Text and file helpers of the client: UTF-8 <-> UTF-16, CString <->
// std::wstring, folders and files beside the executable.
#pragma once

#include <afxwin.h>

#include <string>

namespace kite {

std::wstring FromUtf8(const std::string& text);
std::string ToUtf8(const std::wstring& text);

inline std::wstring Str(const CString& s) {
    return std::wstring(s.GetString(), static_cast<size_t>(s.GetLength()));
}
inline CString CStr(const std::wstring& s) {
    return CString(s.c_str(), static_cast<int>(s.size()));
}

// Folder of the running executable, with a trailing backslash.
std::wstring ExeDir();
// a + b with exactly one backslash between them.
std::wstring JoinPath(const std::wstring& a, const std::wstring& b);
// The folder part of a path, with a trailing backslash.
std::wstring DirOf(const std::wstring& path);
bool FileExists(const std::wstring& path);
bool DirExists(const std::wstring& path);
// Creates a folder and its parents; true when it exists afterwards.
bool EnsureDir(const std::wstring& path);
// Removes a folder with everything in it.
void RemoveTree(const std::wstring& path);
bool ReadFileBytes(const std::wstring& path, std::string& bytes);
// Writes through a temporary file and a rename, so that a reader never sees
// half a file.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
// An absolute path stays; a relative one is taken beside the executable.
std::wstring ResolveBesideExe(const std::wstring& path);

std::wstring Trim(const std::wstring& s);
int ToInt(const std::wstring& s, int fallback);
std::wstring Format(const wchar_t* fmt, ...);

} // namespace kite

namespace kite {
// text with {1}, {2}, {3} replaced by the arguments (language texts carry
// their own word order).
std::wstring Subst(std::wstring text, const std::wstring& a1, const std::wstring& a2 = L"",
                   const std::wstring& a3 = L"");
// A local date and time, "YYYY-MM-DD hh:mm", from seconds since 1970.
std::wstring LocalTimeText(unsigned long long unixSeconds);
} // namespace kite
