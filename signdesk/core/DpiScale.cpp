#include "core/DpiScale.h"

namespace {
typedef UINT(WINAPI* GetDpiForWindowFunction)(HWND);

// GetDpiForWindow where user32 has it (Windows 10 1607 on), else null.
GetDpiForWindowFunction ResolveGetDpiForWindow() {
    HMODULE user = ::GetModuleHandleW(L"user32.dll");
    FARPROC proc = user != NULL ? ::GetProcAddress(user, "GetDpiForWindow") : NULL;
    return proc != NULL
               ? reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void (*)()>(proc))
               : NULL;
}
} // namespace

int GetWindowDpi(HWND hWnd) {
    if (hWnd == NULL || !::IsWindow(hWnd))
        return DPI_BASE;
    if (GetDpiForWindowFunction getDpiForWindow = ResolveGetDpiForWindow()) {
        UINT nDpi = getDpiForWindow(hWnd);
        if (nDpi > 0)
            return static_cast<int>(nDpi);
    }
    int nDpi = 0;
    if (HDC hdc = ::GetDC(hWnd)) {
        nDpi = ::GetDeviceCaps(hdc, LOGPIXELSX);
        ::ReleaseDC(hWnd, hdc);
    }
    return nDpi > 0 ? nDpi : DPI_BASE;
}
