// Small helpers shared by the panel and the upgrade launcher: the host
// executable's folder, one ini value, and wide to ANSI text.
#pragma once

#include <afxwin.h>

#include <string>

// Folder of the host executable (not of the plug-in), ending in "\";
// empty when the path has no backslash.
CString GetModuleDir();
// One value of an ini file, at most 258 characters; empty when the file,
// section or key is missing.
CString GetIniString(const wchar_t* section, const wchar_t* key, const wchar_t* file);
// Wide text in the system's ANSI code page; empty on failure.
std::string WideToAnsi(const CString& wide);
