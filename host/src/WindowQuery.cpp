#include "WindowQuery.h"

#include <SkinMagicExU.h>
#include "res/resource.h"

#include <commctrl.h>

namespace kite {

std::wstring WindowText(HWND hwnd) {
    if (!hwnd)
        return std::wstring();
    int n = ::GetWindowTextLengthW(hwnd);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    n = ::GetWindowTextW(hwnd, &s[0], n + 1);
    s.resize(static_cast<size_t>(n > 0 ? n : 0));
    return s;
}

std::wstring ItemText(HWND parent, int id) {
    return parent ? WindowText(::GetDlgItem(parent, id)) : std::wstring();
}

bool ItemVisible(HWND parent, int id) {
    HWND h = parent ? ::GetDlgItem(parent, id) : nullptr;
    return h && (::GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE);
}

bool ItemEnabled(HWND parent, int id) {
    HWND h = parent ? ::GetDlgItem(parent, id) : nullptr;
    return h && ::IsWindowEnabled(h);
}

std::vector<HWND> ThreadWindows() {
    std::vector<HWND> out;
    DWORD thread = ::GetCurrentThreadId();
    for (HWND h = ::GetTopWindow(nullptr); h; h = ::GetWindow(h, GW_HWNDNEXT))
        if (::IsWindowVisible(h) && ::GetWindowThreadProcessId(h, nullptr) == thread)
            out.push_back(h);
    return out;
}

HWND FindMessageBox() {
    for (HWND h : ThreadWindows()) {
        wchar_t cls[64] = {};
        ::GetClassNameW(h, cls, 64);
        if (lstrcmpiW(cls, SKINMSGBOX_CLASS) == 0)
            return h;
    }
    return nullptr;
}

std::wstring MessageBoxText(HWND box) {
    return ItemText(box, SKINMSGBOX_IDC_TEXT);
}

HWND FindDialogWith(int id) {
    for (HWND h : ThreadWindows())
        if (!(::GetWindowLongW(h, GWL_STYLE) & WS_CHILD) && ::GetDlgItem(h, id))
            return h;
    return nullptr;
}

HWND FindKeyboard() {
    return FindDialogWith(IDC_KEY_FIRST);
}

namespace {
const CSkinControlUnit* FindStripUnit(HWND panel, UINT unitId, HWND* strip) {
    *strip = panel ? ::GetDlgItem(panel, IDC_LOGIN_PANNEL) : nullptr;
    auto* pannel = dynamic_cast<CSkinControlPannel*>(CWnd::FromHandlePermanent(*strip));
    return pannel ? pannel->FindUnit(unitId) : nullptr;
}
} // namespace

std::wstring UnitText(HWND panel, UINT unitId) {
    HWND strip = nullptr;
    const CSkinControlUnit* unit = FindStripUnit(panel, unitId, &strip);
    return unit ? std::wstring(unit->m_strText.GetString()) : std::wstring();
}

bool PressUnit(HWND panel, UINT unitId) {
    HWND strip = nullptr;
    const CSkinControlUnit* unit = FindStripUnit(panel, unitId, &strip);
    if (!unit || !::IsWindowVisible(strip))
        return false;
    const RECT& r = unit->m_rcUnit;
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ::PostMessageW(strip, WM_MOUSEMOVE, 0, at);
    ::PostMessageW(strip, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(strip, WM_LBUTTONUP, 0, at);
    return true;
}

bool PostClick(HWND parent, int id) {
    HWND h = parent ? ::GetDlgItem(parent, id) : nullptr;
    if (!h || !::IsWindowVisible(h) || !::IsWindowEnabled(h))
        return false;
    return ::PostMessageW(h, BM_CLICK, 0, 0) != 0;
}

std::wstring StatusBarText(HWND statusBar, int part) {
    if (!statusBar)
        return std::wstring();
    LRESULT r = ::SendMessageW(statusBar, SB_GETTEXTLENGTHW, part, 0);
    int n = LOWORD(r);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    ::SendMessageW(statusBar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(&s[0]));
    s.resize(static_cast<size_t>(n));
    return s;
}

} // namespace kite
