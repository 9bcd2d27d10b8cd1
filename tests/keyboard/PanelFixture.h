// Helpers of the keyboard, language and upgrade tests that drive the real
// plug-in (fixture: PanelTest): the tool tips of the panel's buttons, and
// wide texts made printable.
#pragma once

#include "PanelTest.h"

#include <SkinMagicU.h>
#include <commctrl.h>

#include <string>

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

struct ToolTipSearch {
    HWND hControl;
    HWND hTip;
};
inline BOOL CALLBACK FindToolTipProc(HWND hWnd, LPARAM lParam) {
    auto* s = reinterpret_cast<ToolTipSearch*>(lParam);
    wchar_t cls[64] = {};
    GetClassNameW(hWnd, cls, 64);
    TTTOOLINFOW ti = ToolOf(s->hControl, nullptr);
    if (lstrcmpiW(cls, TOOLTIPS_CLASSW) != 0 ||
        !SendMessageW(hWnd, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti)))
        return TRUE;
    s->hTip = hWnd;
    return FALSE;
}

// The tool-tip control of this thread that has a tool for the control, or null.
inline HWND ToolTipOf(HWND hControl) {
    ToolTipSearch s = {hControl, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &FindToolTipProc, reinterpret_cast<LPARAM>(&s));
    return s.hTip;
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

inline std::string Narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w)
        s += c < 128 ? static_cast<char>(c) : '?';
    return s;
}
