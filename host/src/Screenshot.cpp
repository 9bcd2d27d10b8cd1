#include "Screenshot.h"

#include <wincodec.h>

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

// COM for the calling thread for one call, whatever the thread had before.
class ComScope {
public:
    ComScope() : m_hr(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(m_hr))
            ::CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT m_hr;
};

// Releases a COM pointer at the end of its scope.
template <class T> class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (m_p)
            m_p->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T** operator&() { return &m_p; }
    T* operator->() const { return m_p; }
    T* get() const { return m_p; }

private:
    T* m_p = nullptr;
};

bool CreateFactory(ComPtr<IWICImagingFactory>& factory) {
    return SUCCEEDED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_IWICImagingFactory,
                                        reinterpret_cast<void**>(&factory)));
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
    const size_t pixels = static_cast<size_t>(picture.width) * picture.height;
    if (picture.width <= 0 || picture.height <= 0 || picture.rgb.size() != pixels * 3)
        return false;
    // The imaging component takes blue, green, red.
    std::vector<BYTE> bgr(picture.rgb.size());
    for (size_t i = 0; i < pixels; ++i) {
        bgr[i * 3] = picture.rgb[i * 3 + 2];
        bgr[i * 3 + 1] = picture.rgb[i * 3 + 1];
        bgr[i * 3 + 2] = picture.rgb[i * 3];
    }
    ComScope com;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    if (!CreateFactory(factory) || FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) ||
        FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) ||
        FAILED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) ||
        FAILED(encoder->CreateNewFrame(&frame, nullptr)) || FAILED(frame->Initialize(nullptr)) ||
        FAILED(frame->SetSize(picture.width, picture.height)))
        return false;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (FAILED(frame->SetPixelFormat(&format)) || format != GUID_WICPixelFormat24bppBGR)
        return false;
    const UINT stride = static_cast<UINT>(picture.width) * 3;
    return SUCCEEDED(frame->WritePixels(picture.height, stride, static_cast<UINT>(bgr.size()),
                                        bgr.data())) &&
           SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

bool LoadPicture(const std::wstring& path, Picture& picture) {
    ComScope com;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    if (!CreateFactory(factory) ||
        FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&width, &height)) ||
        FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat24bppBGR,
                                     WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return false;
    std::vector<BYTE> bgr(static_cast<size_t>(width) * height * 3);
    if (FAILED(
            converter->CopyPixels(nullptr, width * 3, static_cast<UINT>(bgr.size()), bgr.data())))
        return false;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    picture.rgb.resize(bgr.size());
    for (size_t i = 0; i + 2 < bgr.size(); i += 3) {
        picture.rgb[i] = bgr[i + 2];
        picture.rgb[i + 1] = bgr[i + 1];
        picture.rgb[i + 2] = bgr[i];
    }
    return true;
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
