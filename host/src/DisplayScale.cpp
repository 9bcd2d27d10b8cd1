#include "DisplayScale.h"

namespace kite {

int SystemDpi() {
    static const int dpi = [] {
        HDC screen = ::GetDC(nullptr);
        int value = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
        if (screen)
            ::ReleaseDC(nullptr, screen);
        return value > 0 ? value : 96;
    }();
    return dpi;
}

} // namespace kite
