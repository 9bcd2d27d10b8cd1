#include "core/TemplateLayout.h"

#include <vector>

namespace {
// The most a control's rounded size can reach beyond its rounded neighbour.
const LONG kRoundingReach = 1;

bool IsGroupBox(HWND hWnd) {
    wchar_t name[16] = {0};
    ::GetClassNameW(hWnd, name, 16);
    return ::lstrcmpiW(name, L"Button") == 0 &&
           (::GetWindowLongW(hWnd, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}
} // namespace

void KeepRectsApart(RECT* pRects, int nCount) {
    for (int i = 0; i < nCount; ++i) {
        RECT& a = pRects[i];
        for (int j = 0; j < nCount; ++j) {
            const RECT& b = pRects[j];
            if (i == j)
                continue;
            const bool bRows = a.top < b.bottom && b.top < a.bottom;
            if (bRows && b.left > a.left && a.right > b.left && a.right - b.left <= kRoundingReach)
                a.right = b.left;
            const bool bColumns = a.left < b.right && b.left < a.right;
            if (bColumns && b.top > a.top && a.bottom > b.top && a.bottom - b.top <= kRoundingReach)
                a.bottom = b.top;
        }
    }
}

void KeepChildrenApart(HWND hDlg) {
    std::vector<HWND> controls;
    std::vector<RECT> rects;
    for (HWND hChild = ::GetWindow(hDlg, GW_CHILD); hChild != NULL;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        if (IsGroupBox(hChild))
            continue;
        RECT rc;
        ::GetWindowRect(hChild, &rc);
        ::MapWindowPoints(NULL, hDlg, reinterpret_cast<POINT*>(&rc), 2);
        controls.push_back(hChild);
        rects.push_back(rc);
    }
    if (rects.empty())
        return;
    std::vector<RECT> apart(rects);
    KeepRectsApart(&apart[0], static_cast<int>(apart.size()));
    for (size_t i = 0; i < controls.size(); ++i) {
        if (::EqualRect(&apart[i], &rects[i]))
            continue;
        ::SetWindowPos(controls[i], NULL, apart[i].left, apart[i].top,
                       apart[i].right - apart[i].left, apart[i].bottom - apart[i].top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
}
