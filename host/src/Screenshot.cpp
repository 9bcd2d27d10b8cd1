#include "Screenshot.h"

#include "PngWriter.h"

#include <algorithm>
#include <unordered_set>

namespace kite {

namespace {

const COLORREF kBackground = RGB(0xDD, 0xE3, 0xEA);

bool Captured(HWND hwnd, DWORD thread) {
    if (!::IsWindowVisible(hwnd) || ::GetWindowThreadProcessId(hwnd, nullptr) != thread)
        return false;
    wchar_t cls[64] = {};
    ::GetClassNameW(hwnd, cls, 64);
    if (lstrcmpiW(cls, L"tooltips_class32") == 0)
        return false;
    RECT r;
    ::GetWindowRect(hwnd, &r);
    return r.right > r.left && r.bottom > r.top;
}

} // namespace

Picture CaptureClient(HWND main, int margin) {
    Picture pic;
    if (!::IsWindow(main))
        return pic;
    DWORD thread = ::GetWindowThreadProcessId(main, nullptr);

    // The thread's visible top-level windows, top of the z-order first. The
    // main window goes to the bottom: everything else the client shows is
    // owned by it and stands above it on the screen.
    std::vector<HWND> windows;
    for (HWND h = ::GetTopWindow(nullptr); h; h = ::GetWindow(h, GW_HWNDNEXT))
        if (h != main && Captured(h, thread))
            windows.push_back(h);
    windows.push_back(main);

    RECT bounds;
    ::GetWindowRect(main, &bounds);
    for (HWND h : windows) {
        ::RedrawWindow(h, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        RECT r;
        ::GetWindowRect(h, &r);
        ::UnionRect(&bounds, &bounds, &r);
    }
    ::InflateRect(&bounds, margin, margin);
    pic.screen = bounds;
    pic.width = bounds.right - bounds.left;
    pic.height = bounds.bottom - bounds.top;

    HDC screen = ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = pic.width;
    bi.bmiHeader.biHeight = -pic.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    RECT all = {0, 0, pic.width, pic.height};
    HBRUSH back = ::CreateSolidBrush(kBackground);
    ::FillRect(mem, &all, back);
    ::DeleteObject(back);
    // Bottom of the z-order first, so that upper windows cover lower ones.
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        RECT r;
        ::GetWindowRect(*it, &r);
        HDC wdc = ::GetWindowDC(*it);
        ::BitBlt(mem, r.left - bounds.left, r.top - bounds.top, r.right - r.left, r.bottom - r.top,
                 wdc, 0, 0, SRCCOPY);
        ::ReleaseDC(*it, wdc);
    }
    ::GdiFlush();
    pic.rgb.resize(static_cast<size_t>(pic.width) * pic.height * 3);
    const uint8_t* src = static_cast<const uint8_t*>(bits);
    for (size_t i = 0, n = static_cast<size_t>(pic.width) * pic.height; i < n; ++i) {
        pic.rgb[i * 3] = src[i * 4 + 2];
        pic.rgb[i * 3 + 1] = src[i * 4 + 1];
        pic.rgb[i * 3 + 2] = src[i * 4];
    }
    ::SelectObject(mem, old);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
    return pic;
}

bool SavePicture(const Picture& picture, const std::wstring& path) {
    return WritePng(path, picture.width, picture.height, picture.rgb);
}

int CountColours(const Picture& picture, int limit) {
    std::unordered_set<uint32_t> seen;
    for (size_t i = 0; i + 2 < picture.rgb.size(); i += 3) {
        seen.insert((static_cast<uint32_t>(picture.rgb[i]) << 16) | (picture.rgb[i + 1] << 8) |
                    picture.rgb[i + 2]);
        if (static_cast<int>(seen.size()) >= limit)
            break;
    }
    return static_cast<int>(seen.size());
}

} // namespace kite
