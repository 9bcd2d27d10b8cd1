// SkinMagicU: window and control skins. The plug-in imports the three skin
// calls by ordinal (7, 9, 53); the host loads the skin file.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#ifdef SKINU_BUILDING_DLL
#define SKINU_API __declspec(dllexport)
#else
#define SKINU_API __declspec(dllimport)
#endif

extern "C" {
// Ordinal 7: takes any skin off a window.
SKINU_API int RemoveSkin(HWND hWnd);
// Ordinal 9: gives a window one of the skin file's window skins.
SKINU_API int ApplyWindowSkin(HWND hWnd, const wchar_t* lpszSkinName);
// Ordinal 53: gives a control a control skin looked up in a window skin.
SKINU_API int ApplyControlSkin(HWND hWnd, const wchar_t* lpszControlSkin,
                               const wchar_t* lpszWindowSkin);

// Host side (by name): loads the skin file; without one built-in defaults
// are used. Returns non-zero when the file was read.
SKINU_API int SkinLoadFile(const wchar_t* lpszPath);
// The window skin / control skin currently applied to a window (empty when
// none); for the host's diagnostics and for tests. Returns the name's length.
// RemoveSkin on a window takes off its window skin and the look it gave its
// push buttons; a control skin stays until RemoveSkin on the control itself.
SKINU_API int SkinGetWindowSkin(HWND hWnd, wchar_t* lpszName, int cchMax);
SKINU_API int SkinGetControlSkin(HWND hWnd, wchar_t* lpszName, int cchMax);

// For the skinned controls of SkinMagicExU and for tests (by name):
// A value of the loaded skin, looked up with the skin file's fall-backs
// (Base=, the window skin of a control skin, [Default]); its length, or -1
// when the skin has no such value.
SKINU_API int SkinGetString(const wchar_t* lpszSection, const wchar_t* lpszKey, wchar_t* lpszValue,
                            int cchMax);
// Fills hWnd's client area in hDC (client coordinates) with the background
// that the nearest skinned window beneath it shows there; 0 when no window
// beneath it is skinned (then the system face colour is used).
SKINU_API int SkinDrawBackground(HWND hWnd, HDC hDC);
// The text the skin draws on a skinned control (a soft keyboard key's
// character, "Shift", a button's own text); -1 when the control is not
// skinned.
SKINU_API int SkinGetDrawnText(HWND hWnd, wchar_t* lpszText, int cchMax);
// The font the skin draws that text with (the skin's, else the control's
// own); null when the control is not skinned or the skin draws no text on
// it (then the control draws its own text with its own font).
SKINU_API HFONT SkinGetTextFont(HWND hWnd);
}
