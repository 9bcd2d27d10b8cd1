// Skin values for the controls of this library, read through SkinMagicU.
#pragma once

#include <windows.h>

#include <string>

namespace skinex {

// A value of the loaded skin (with the skin file's fall-backs); empty when
// the skin has none.
std::wstring Value(const std::wstring& section, const wchar_t* key);
COLORREF Color(const std::wstring& section, const wchar_t* key, COLORREF fallback);
int Int(const std::wstring& section, const wchar_t* key, int fallback);
// A font of the skin (kept for the process's life), or null.
HFONT Font(const std::wstring& section, const wchar_t* key);
// The window skin of the nearest skinned window at or above hWnd; empty
// when there is none.
std::wstring SkinAbove(HWND hWnd);
// This library's module handle.
HINSTANCE ModuleHandle();

} // namespace skinex
