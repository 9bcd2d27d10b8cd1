#include "skindraw.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace skin {

namespace {
const unsigned kKey = 0x00FF00FFu; // magenta: never a colour of the skins' glyphs

HGDIOBJ SelectSolidBrush(HDC hdc, COLORREF c, HBRUSH* created) {
    *created = ::CreateSolidBrush(c);
    return ::SelectObject(hdc, *created);
}

HPEN MakePen(double width, COLORREF color, bool insideFrame) {
    LOGBRUSH lb = {BS_SOLID, color, 0};
    DWORD style =
        PS_GEOMETRIC | PS_ENDCAP_ROUND | PS_JOIN_ROUND | (insideFrame ? PS_INSIDEFRAME : PS_SOLID);
    return ::ExtCreatePen(style, std::max(1, static_cast<int>(width + 0.5)), &lb, 0, nullptr);
}
} // namespace

int WindowDpi(HWND hWnd) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow =
        reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void (*)()>(
            ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (hWnd && getDpiForWindow)
        if (UINT dpi = getDpiForWindow(hWnd))
            return static_cast<int>(dpi);
    int dpi = 0;
    if (HDC hdc = ::GetDC(hWnd)) {
        dpi = ::GetDeviceCaps(hdc, LOGPIXELSX);
        ::ReleaseDC(hWnd, hdc);
    }
    return dpi > 0 ? dpi : 96;
}

COLORREF Mix(COLORREF a, COLORREF b, int percent) {
    percent = std::max(0, std::min(100, percent));
    auto ch = [percent](int x, int y) { return x + (y - x) * percent / 100; };
    return RGB(ch(GetRValue(a), GetRValue(b)), ch(GetGValue(a), GetGValue(b)),
               ch(GetBValue(a), GetBValue(b)));
}

void FillGradient(HDC hdc, const RECT& rc, COLORREF top, COLORREF bottom) {
    if (rc.right <= rc.left || rc.bottom <= rc.top)
        return;
    if (top == bottom) {
        FillSolid(hdc, rc, top);
        return;
    }
    TRIVERTEX v[2] = {};
    v[0].x = rc.left;
    v[0].y = rc.top;
    v[0].Red = static_cast<COLOR16>(GetRValue(top) << 8);
    v[0].Green = static_cast<COLOR16>(GetGValue(top) << 8);
    v[0].Blue = static_cast<COLOR16>(GetBValue(top) << 8);
    v[1].x = rc.right;
    v[1].y = rc.bottom;
    v[1].Red = static_cast<COLOR16>(GetRValue(bottom) << 8);
    v[1].Green = static_cast<COLOR16>(GetGValue(bottom) << 8);
    v[1].Blue = static_cast<COLOR16>(GetBValue(bottom) << 8);
    GRADIENT_RECT gr = {0, 1};
    ::GradientFill(hdc, v, 2, &gr, 1, GRADIENT_FILL_RECT_V);
}

void FillSolid(HDC hdc, const RECT& rc, COLORREF color) {
    COLORREF old = ::SetBkColor(hdc, color);
    ::ExtTextOutW(hdc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    ::SetBkColor(hdc, old);
}

void FrameSolid(HDC hdc, const RECT& rc, COLORREF color) {
    HBRUSH br = ::CreateSolidBrush(color);
    ::FrameRect(hdc, &rc, br);
    ::DeleteObject(br);
}

// ---------------------------------------------------------------------------

AaCanvas::AaCanvas(int width, int height)
    : m_width(std::max(1, width)), m_height(std::max(1, height)) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = m_width * kScale;
    bi.bmiHeader.biHeight = -m_height * kScale;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_hbm = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!m_hbm)
        return;
    m_bits = static_cast<unsigned*>(bits);
    std::fill(m_bits, m_bits + static_cast<size_t>(m_width) * m_height * kScale * kScale, kKey);
    m_hdc = ::CreateCompatibleDC(nullptr);
    m_old = ::SelectObject(m_hdc, m_hbm);
    ::SetBkMode(m_hdc, TRANSPARENT);
}

AaCanvas::~AaCanvas() {
    if (m_hdc) {
        ::SelectObject(m_hdc, m_old);
        ::DeleteDC(m_hdc);
    }
    if (m_hbm)
        ::DeleteObject(m_hbm);
}

void AaCanvas::Ellipse(double l, double t, double r, double b, COLORREF fill) {
    if (!m_hdc)
        return;
    HBRUSH br;
    HGDIOBJ ob = SelectSolidBrush(m_hdc, fill, &br);
    HGDIOBJ op = ::SelectObject(m_hdc, ::GetStockObject(NULL_PEN));
    ::Ellipse(m_hdc, S(l), S(t), S(r) + 1, S(b) + 1);
    ::SelectObject(m_hdc, op);
    ::SelectObject(m_hdc, ob);
    ::DeleteObject(br);
}

void AaCanvas::Ring(double l, double t, double r, double b, double width, COLORREF color) {
    if (!m_hdc)
        return;
    HPEN pen = MakePen(width * kScale, color, true);
    HGDIOBJ op = ::SelectObject(m_hdc, pen);
    HGDIOBJ ob = ::SelectObject(m_hdc, ::GetStockObject(NULL_BRUSH));
    ::Ellipse(m_hdc, S(l), S(t), S(r), S(b));
    ::SelectObject(m_hdc, ob);
    ::SelectObject(m_hdc, op);
    ::DeleteObject(pen);
}

void AaCanvas::RoundRect(double l, double t, double r, double b, double radius, COLORREF fill) {
    if (!m_hdc)
        return;
    HBRUSH br;
    HGDIOBJ ob = SelectSolidBrush(m_hdc, fill, &br);
    HGDIOBJ op = ::SelectObject(m_hdc, ::GetStockObject(NULL_PEN));
    ::RoundRect(m_hdc, S(l), S(t), S(r) + 1, S(b) + 1, S(radius * 2), S(radius * 2));
    ::SelectObject(m_hdc, op);
    ::SelectObject(m_hdc, ob);
    ::DeleteObject(br);
}

void AaCanvas::RoundRectGradient(double l, double t, double r, double b, double radius,
                                 COLORREF top, COLORREF bottom) {
    if (!m_hdc)
        return;
    HRGN rgn = ::CreateRoundRectRgn(S(l), S(t), S(r) + 1, S(b) + 1, S(radius * 2), S(radius * 2));
    ::SelectClipRgn(m_hdc, rgn);
    RECT rc = {S(l), S(t), S(r), S(b)};
    FillGradient(m_hdc, rc, top, bottom);
    ::SelectClipRgn(m_hdc, nullptr);
    ::DeleteObject(rgn);
}

void AaCanvas::RoundFrame(double l, double t, double r, double b, double radius, double width,
                          COLORREF color) {
    if (!m_hdc)
        return;
    HPEN pen = MakePen(width * kScale, color, true);
    HGDIOBJ op = ::SelectObject(m_hdc, pen);
    HGDIOBJ ob = ::SelectObject(m_hdc, ::GetStockObject(NULL_BRUSH));
    ::RoundRect(m_hdc, S(l), S(t), S(r), S(b), S(radius * 2), S(radius * 2));
    ::SelectObject(m_hdc, ob);
    ::SelectObject(m_hdc, op);
    ::DeleteObject(pen);
}

void AaCanvas::Polygon(const double* xy, int points, COLORREF fill) {
    if (!m_hdc || points < 3)
        return;
    std::vector<POINT> pts(static_cast<size_t>(points));
    for (int i = 0; i < points; ++i)
        pts[static_cast<size_t>(i)] = {S(xy[2 * i]), S(xy[2 * i + 1])};
    HBRUSH br;
    HGDIOBJ ob = SelectSolidBrush(m_hdc, fill, &br);
    HGDIOBJ op = ::SelectObject(m_hdc, ::GetStockObject(NULL_PEN));
    ::SetPolyFillMode(m_hdc, WINDING);
    ::Polygon(m_hdc, pts.data(), points);
    ::SelectObject(m_hdc, op);
    ::SelectObject(m_hdc, ob);
    ::DeleteObject(br);
}

void AaCanvas::Polyline(const double* xy, int points, double width, COLORREF color) {
    if (!m_hdc || points < 2)
        return;
    std::vector<POINT> pts(static_cast<size_t>(points));
    for (int i = 0; i < points; ++i)
        pts[static_cast<size_t>(i)] = {S(xy[2 * i]), S(xy[2 * i + 1])};
    HPEN pen = MakePen(width * kScale, color, false);
    HGDIOBJ op = ::SelectObject(m_hdc, pen);
    ::Polyline(m_hdc, pts.data(), points);
    ::SelectObject(m_hdc, op);
    ::DeleteObject(pen);
}

void AaCanvas::Pie(double l, double t, double r, double b, double x1, double y1, double x2,
                   double y2, COLORREF fill) {
    if (!m_hdc)
        return;
    HBRUSH br;
    HGDIOBJ ob = SelectSolidBrush(m_hdc, fill, &br);
    HGDIOBJ op = ::SelectObject(m_hdc, ::GetStockObject(NULL_PEN));
    ::Pie(m_hdc, S(l), S(t), S(r), S(b), S(x1), S(y1), S(x2), S(y2));
    ::SelectObject(m_hdc, op);
    ::SelectObject(m_hdc, ob);
    ::DeleteObject(br);
}

void AaCanvas::Text(const std::wstring& text, const wchar_t* face, double pixelHeight, bool bold,
                    double l, double t, double r, double b, COLORREF color) {
    if (!m_hdc)
        return;
    LOGFONTW lf = {};
    lf.lfHeight = -S(pixelHeight);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = NONANTIALIASED_QUALITY; // exact colours: the canvas does the smoothing
    ::lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    HFONT font = ::CreateFontIndirectW(&lf);
    HGDIOBJ of = ::SelectObject(m_hdc, font);
    COLORREF oc = ::SetTextColor(m_hdc, color);
    RECT rc = {S(l), S(t), S(r), S(b)};
    ::DrawTextW(m_hdc, text.c_str(), static_cast<int>(text.size()), &rc,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    ::SetTextColor(m_hdc, oc);
    ::SelectObject(m_hdc, of);
    ::DeleteObject(font);
}

void AaCanvas::ClipEllipse(double l, double t, double r, double b) {
    if (!m_hdc)
        return;
    HRGN rgn = ::CreateEllipticRgn(S(l), S(t), S(r) + 1, S(b) + 1);
    ::SelectClipRgn(m_hdc, rgn);
    ::DeleteObject(rgn);
}

void AaCanvas::ClearClip() {
    if (m_hdc)
        ::SelectClipRgn(m_hdc, nullptr);
}

void AaCanvas::BlendTo(HDC target, int x, int y) const {
    if (!m_hdc)
        return;
    ::GdiFlush();
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = m_width;
    bi.bmiHeader.biHeight = -m_height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP out = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!out)
        return;
    unsigned* dst = static_cast<unsigned*>(bits);
    const int stride = m_width * kScale;
    for (int oy = 0; oy < m_height; ++oy) {
        for (int ox = 0; ox < m_width; ++ox) {
            unsigned sb = 0, sg = 0, sr = 0, n = 0;
            for (int sy = 0; sy < kScale; ++sy) {
                const unsigned* row = m_bits + static_cast<size_t>(oy * kScale + sy) * stride;
                for (int sx = 0; sx < kScale; ++sx) {
                    unsigned p = row[ox * kScale + sx] & 0x00FFFFFFu;
                    if (p == kKey)
                        continue;
                    sb += p & 0xFF;
                    sg += (p >> 8) & 0xFF;
                    sr += (p >> 16) & 0xFF;
                    ++n;
                }
            }
            const unsigned cells = kScale * kScale;
            unsigned a = n * 255 / cells;
            dst[static_cast<size_t>(oy) * m_width + ox] =
                (a << 24) | ((sr / cells) << 16) | ((sg / cells) << 8) | (sb / cells);
        }
    }
    HDC src = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(src, out);
    BLENDFUNCTION bf = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::GdiAlphaBlend(target, x, y, m_width, m_height, src, 0, 0, m_width, m_height, bf);
    ::SelectObject(src, old);
    ::DeleteDC(src);
    ::DeleteObject(out);
}

// ---------------------------------------------------------------------------

Glyph ParseGlyph(const std::wstring& name) {
    static const struct {
        const wchar_t* name;
        Glyph glyph;
    } kNames[] = {{L"ChevronUp", Glyph::ChevronUp}, {L"ChevronDown", Glyph::ChevronDown},
                  {L"Backspace", Glyph::Backspace}, {L"Cross", Glyph::Cross},
                  {L"Keyboard", Glyph::Keyboard},   {L"Person", Glyph::Person},
                  {L"Phone", Glyph::Phone},         {L"Envelope", Glyph::Envelope},
                  {L"Error", Glyph::Error},         {L"Question", Glyph::Question},
                  {L"Warning", Glyph::Warning},     {L"Information", Glyph::Information}};
    for (const auto& n : kNames)
        if (::lstrcmpiW(n.name, name.c_str()) == 0)
            return n.glyph;
    return Glyph::None;
}

Badge ParseBadge(const std::wstring& name) {
    if (::lstrcmpiW(name.c_str(), L"Check") == 0)
        return Badge::Check;
    if (::lstrcmpiW(name.c_str(), L"Cross") == 0)
        return Badge::Cross;
    if (::lstrcmpiW(name.c_str(), L"Dots") == 0)
        return Badge::Dots;
    return Badge::None;
}

namespace {

// Maps unit-square coordinates into the glyph's square.
struct Square {
    double x, y, side;
    double X(double u) const { return x + u * side; }
    double Y(double v) const { return y + v * side; }
    double L(double d) const { return d * side; }
};

void Line(AaCanvas& c, const Square& q, double x1, double y1, double x2, double y2, double w,
          COLORREF color) {
    double xy[4] = {q.X(x1), q.Y(y1), q.X(x2), q.Y(y2)};
    c.Polyline(xy, 2, std::max(1.2, q.L(w)), color);
}

void DrawGlyphOn(AaCanvas& c, const Square& q, Glyph glyph, COLORREF color) {
    const COLORREF white = RGB(255, 255, 255);
    switch (glyph) {
    case Glyph::None:
    case Glyph::Person:
        break;
    case Glyph::ChevronUp:
    case Glyph::ChevronDown: {
        double a = glyph == Glyph::ChevronUp ? 0.66 : 0.34, b = 1.0 - a;
        double xy[6] = {q.X(0.2), q.Y(a), q.X(0.5), q.Y(b), q.X(0.8), q.Y(a)};
        c.Polyline(xy, 3, std::max(1.4, q.L(0.13)), color);
        break;
    }
    case Glyph::Backspace: {
        double xy[12] = {q.X(0.06), q.Y(0.5),  q.X(0.33), q.Y(0.22), q.X(0.94), q.Y(0.22),
                         q.X(0.94), q.Y(0.78), q.X(0.33), q.Y(0.78), q.X(0.06), q.Y(0.5)};
        c.Polyline(xy, 6, std::max(1.2, q.L(0.08)), color);
        Line(c, q, 0.5, 0.38, 0.76, 0.62, 0.08, color);
        Line(c, q, 0.76, 0.38, 0.5, 0.62, 0.08, color);
        break;
    }
    case Glyph::Cross:
        Line(c, q, 0.27, 0.27, 0.73, 0.73, 0.13, color);
        Line(c, q, 0.73, 0.27, 0.27, 0.73, 0.13, color);
        break;
    case Glyph::Keyboard: {
        c.RoundFrame(q.X(0.06), q.Y(0.24), q.X(0.94), q.Y(0.8), q.L(0.1), std::max(1.0, q.L(0.08)),
                     color);
        for (int row = 0; row < 2; ++row)
            for (int k = 0; k < 4; ++k) {
                double x = 0.2 + k * 0.17, y = 0.36 + row * 0.14;
                c.RoundRect(q.X(x), q.Y(y), q.X(x + 0.1), q.Y(y + 0.08), q.L(0.02), color);
            }
        c.RoundRect(q.X(0.3), q.Y(0.63), q.X(0.7), q.Y(0.69), q.L(0.02), color);
        break;
    }
    case Glyph::Phone: {
        // A handset: a thick arc with an ear piece at each end.
        std::vector<double> xy;
        for (int i = 0; i <= 16; ++i) {
            double a = 3.14159265 * (1.15 + 0.7 * i / 16.0);
            xy.push_back(q.X(0.5 + 0.36 * std::cos(a)));
            xy.push_back(q.Y(0.78 + 0.36 * std::sin(a)));
        }
        c.Polyline(xy.data(), 17, std::max(1.5, q.L(0.14)), color);
        c.RoundRect(q.X(0.06), q.Y(0.52), q.X(0.3), q.Y(0.7), q.L(0.06), color);
        c.RoundRect(q.X(0.7), q.Y(0.52), q.X(0.94), q.Y(0.7), q.L(0.06), color);
        break;
    }
    case Glyph::Envelope: {
        c.RoundFrame(q.X(0.1), q.Y(0.24), q.X(0.9), q.Y(0.76), q.L(0.06), std::max(1.0, q.L(0.07)),
                     color);
        double xy[6] = {q.X(0.14), q.Y(0.3), q.X(0.5), q.Y(0.55), q.X(0.86), q.Y(0.3)};
        c.Polyline(xy, 3, std::max(1.0, q.L(0.07)), color);
        break;
    }
    case Glyph::Error:
        c.Ellipse(q.X(0.02), q.Y(0.02), q.X(0.98), q.Y(0.98), color);
        Line(c, q, 0.34, 0.34, 0.66, 0.66, 0.1, white);
        Line(c, q, 0.66, 0.34, 0.34, 0.66, 0.1, white);
        break;
    case Glyph::Question:
        c.Ellipse(q.X(0.02), q.Y(0.02), q.X(0.98), q.Y(0.98), color);
        c.Text(L"?", L"Tahoma", q.L(0.72), true, q.X(0), q.Y(0.02), q.X(1), q.Y(1), white);
        break;
    case Glyph::Information:
        c.Ellipse(q.X(0.02), q.Y(0.02), q.X(0.98), q.Y(0.98), color);
        c.Ellipse(q.X(0.43), q.Y(0.2), q.X(0.57), q.Y(0.34), white);
        c.RoundRect(q.X(0.44), q.Y(0.41), q.X(0.56), q.Y(0.78), q.L(0.04), white);
        break;
    case Glyph::Warning: {
        double tri[6] = {q.X(0.5), q.Y(0.08), q.X(0.95), q.Y(0.88), q.X(0.05), q.Y(0.88)};
        c.Polygon(tri, 3, color);
        double edge[8] = {q.X(0.5),  q.Y(0.08), q.X(0.95), q.Y(0.88),
                          q.X(0.05), q.Y(0.88), q.X(0.5),  q.Y(0.08)};
        c.Polyline(edge, 4, q.L(0.08), color);
        const COLORREF mark = RGB(70, 50, 0);
        double bar[8] = {q.X(0.455), q.Y(0.34), q.X(0.545), q.Y(0.34),
                         q.X(0.522), q.Y(0.64), q.X(0.478), q.Y(0.64)};
        c.Polygon(bar, 4, mark);
        c.Ellipse(q.X(0.45), q.Y(0.7), q.X(0.55), q.Y(0.8), mark);
        break;
    }
    }
}

} // namespace

void DrawGlyph(HDC hdc, const RECT& rc, Glyph glyph, COLORREF color) {
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (glyph == Glyph::None || w <= 0 || h <= 0)
        return;
    AaCanvas canvas(w, h);
    double side = std::min(w, h);
    Square q = {(w - side) / 2.0, (h - side) / 2.0, side};
    DrawGlyphOn(canvas, q, glyph, color);
    canvas.BlendTo(hdc, rc.left, rc.top);
}

void DrawPerson(HDC hdc, const RECT& rc, const PersonLook& look) {
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (w <= 2 || h <= 2)
        return;
    AaCanvas c(w, h);
    double side = std::min(w, h) - 2.0;
    Square q = {(w - side) / 2.0, (h - side) / 2.0, side};
    // soft halo, disc, figure clipped to the disc, rim
    c.Ellipse(q.X(-0.01), q.Y(0.0), q.X(1.01), q.Y(1.02), Mix(look.edge, RGB(255, 255, 255), 70));
    c.Ellipse(q.X(0.02), q.Y(0.02), q.X(0.98), q.Y(0.98), look.circle);
    c.ClipEllipse(q.X(0.02), q.Y(0.02), q.X(0.98), q.Y(0.98));
    c.Ellipse(q.X(0.335), q.Y(0.18), q.X(0.665), q.Y(0.51), look.figure);
    c.Ellipse(q.X(0.17), q.Y(0.57), q.X(0.83), q.Y(1.25), look.figure);
    c.ClearClip();
    c.Ring(q.X(0.02), q.Y(0.02), q.X(0.98), q.Y(0.98), std::max(1.0, q.L(0.035)), look.edge);
    if (look.badgeKind != Badge::None) {
        const COLORREF white = RGB(255, 255, 255);
        double l = 0.66, t = 0.66, r = 0.98, b = 0.98;
        c.Ellipse(q.X(l - 0.03), q.Y(t - 0.03), q.X(r + 0.02), q.Y(b + 0.02), white);
        c.Ellipse(q.X(l), q.Y(t), q.X(r), q.Y(b), look.badge);
        double wline = std::max(1.2, q.L(0.05));
        if (look.badgeKind == Badge::Check) {
            double xy[6] = {q.X(0.73), q.Y(0.83), q.X(0.8), q.Y(0.9), q.X(0.92), q.Y(0.75)};
            c.Polyline(xy, 3, wline, white);
        } else if (look.badgeKind == Badge::Cross) {
            double a[4] = {q.X(0.75), q.Y(0.75), q.X(0.89), q.Y(0.89)};
            double b2[4] = {q.X(0.89), q.Y(0.75), q.X(0.75), q.Y(0.89)};
            c.Polyline(a, 2, wline, white);
            c.Polyline(b2, 2, wline, white);
        } else {
            for (int i = 0; i < 3; ++i) {
                double x = 0.725 + i * 0.08;
                c.Ellipse(q.X(x), q.Y(0.795), q.X(x + 0.05), q.Y(0.845), white);
            }
        }
    }
    c.BlendTo(hdc, rc.left, rc.top);
}

} // namespace skin
