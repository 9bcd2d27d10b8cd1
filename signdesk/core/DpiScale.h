// Display scaling. The panel's fixed places and sizes are pixels at 96 DPI
// (100 % scaling), the way its layout was drawn; at 120, 144 or 192 DPI
// they grow by DPI / 96, as the dialog templates grow with the dialog font,
// so that both stay in proportion.
#pragma once

#include <windows.h>

// Logical pixels per inch of 100 % display scaling.
enum { DPI_BASE = 96 };

// The DPI a window is drawn at: the window's own where the system can tell
// it (GetDpiForWindow, Windows 10 1607 on, looked up at run time so that
// the plug-in still loads on older systems), else the logical pixels per
// inch of its device context. DPI_BASE for a null window or a failure.
int GetWindowDpi(HWND hWnd);

// Pixel values at 96 DPI made pixels at one DPI; MulDiv rounds to nearest.
class CDpiScale {
public:
    explicit CDpiScale(HWND hWnd) : m_nDpi(GetWindowDpi(hWnd)) {}
    int Dpi() const { return m_nDpi; }
    int Scale(int nPixels) const { return ::MulDiv(nPixels, m_nDpi, DPI_BASE); }
    RECT Scale(const RECT& rc) const {
        RECT scaled = {Scale(rc.left), Scale(rc.top), Scale(rc.right), Scale(rc.bottom)};
        return scaled;
    }

private:
    int m_nDpi;
};
