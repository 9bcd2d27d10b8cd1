// Display scaling of the client. Its manifest declares it DPI aware (the
// system DPI, as on Windows 7): Windows then neither stretches its window
// nor pretends 96 DPI, and the client lays out its own window, menu, tabs,
// status bar and pages at the system DPI. Lengths in its code are pixels
// at 96 DPI (100 %), made screen pixels by Px.
#pragma once

#include <windows.h>

namespace kite {

// Logical pixels per inch of the screen, fixed for the process's life.
int SystemDpi();
// A length in pixels at 96 DPI, at the system DPI.
inline int Px(int pixels) {
    return ::MulDiv(pixels, SystemDpi(), 96);
}

} // namespace kite
