// Pictures of the client as it is on the screen: the main window with
// every visible window of the client's thread over it (message boxes,
// modal dialogs, the soft keyboard), composed in their z-order from each
// window's own pixels, so that no other program's window can get in.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kite {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;   // top row first, 3 bytes a pixel
    RECT screen = {0, 0, 0, 0}; // where the picture is on the screen
};

// Repaints main and every visible top-level window of its thread and
// takes their picture, with margin pixels of background around.
Picture CaptureClient(HWND main, int margin = 12);
// PNG files through the system's imaging component (loss-free).
bool SavePicture(const Picture& picture, const std::wstring& path);
// Reads a picture file back (any format the imaging component decodes);
// false when it cannot.
bool LoadPicture(const std::wstring& path, Picture& picture);
// The number of different colours (a picture of only one or two colours
// means nothing was drawn).
int CountColours(const Picture& picture, int limit = 4096);

} // namespace kite
