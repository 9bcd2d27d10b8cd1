// Helpers of the keyboard, language and upgrade tests that drive the real
// plug-in (fixture: PanelTest): they find the panel's pop-ups (soft
// keyboard, tool tips) and read what they show.
#pragma once

#include "PanelTest.h"
#include "resource.h"

#include <SkinMagicExU.h>
#include <SkinMagicU.h>
#include <afxwin.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace panel_detail {
struct FindData {
    const wchar_t* className;
    int childId;
    std::vector<HWND> found;
};
inline BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam) {
    FindData* d = reinterpret_cast<FindData*>(lParam);
    wchar_t cls[64] = {};
    GetClassNameW(hWnd, cls, 64);
    if (d->className && lstrcmpiW(cls, d->className) != 0)
        return TRUE;
    if (d->childId && !GetDlgItem(hWnd, d->childId))
        return TRUE;
    d->found.push_back(hWnd);
    return TRUE;
}
inline std::vector<HWND> ThreadWindows(const wchar_t* className, int childId) {
    FindData d = {className, childId, {}};
    EnumThreadWindows(GetCurrentThreadId(), &CollectWindow, reinterpret_cast<LPARAM>(&d));
    return d.found;
}
} // namespace panel_detail

// The soft keyboard: the pop-up dialog of this thread with the keyboard's
// hidden focus button.
inline HWND FindKeyboard() {
    auto found = panel_detail::ThreadWindows(L"#32770", IDC_KEY_FOCUS);
    return found.empty() ? nullptr : found.front();
}

inline RECT ScreenRect(HWND hWnd) {
    RECT rc = {};
    GetWindowRect(hWnd, &rc);
    return rc;
}

// The tool info of a control's tool tip as the panel registers it: the
// control itself is the tool.
inline TTTOOLINFOW ToolOf(HWND hControl, wchar_t* buffer) {
    TTTOOLINFOW ti = {};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.uFlags = TTF_IDISHWND;
    ti.hwnd = GetParent(hControl);
    ti.uId = reinterpret_cast<UINT_PTR>(hControl);
    ti.lpszText = buffer;
    return ti;
}

// The tool-tip control that has a tool for the control, or null.
inline HWND ToolTipOf(HWND hControl) {
    for (HWND hTip : panel_detail::ThreadWindows(TOOLTIPS_CLASSW, 0)) {
        wchar_t buf[1] = {};
        TTTOOLINFOW ti = ToolOf(hControl, buf);
        ti.lpszText = nullptr;
        if (SendMessageW(hTip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti)))
            return hTip;
    }
    return nullptr;
}

// The text the tool tip shows for a control; "<none>" without a tool.
inline std::wstring ToolTipText(HWND hControl) {
    HWND hTip = ToolTipOf(hControl);
    if (!hTip)
        return L"<none>";
    wchar_t buf[1024] = {};
    TTTOOLINFOW ti = ToolOf(hControl, buf);
    SendMessageW(hTip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&ti));
    return buf;
}

inline int ToolCount(HWND hControl) {
    HWND hTip = ToolTipOf(hControl);
    return hTip ? static_cast<int>(SendMessageW(hTip, TTM_GETTOOLCOUNT, 0, 0)) : 0;
}

inline std::wstring DrawnText(HWND hWnd) {
    wchar_t buf[64] = {};
    SkinGetDrawnText(hWnd, buf, 64);
    return buf;
}

inline std::string Narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w)
        s += c < 128 ? static_cast<char>(c) : '?';
    return s;
}
