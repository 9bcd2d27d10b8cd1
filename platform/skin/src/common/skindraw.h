// Drawing helpers shared by both skin libraries: gradients, and smooth
// (anti-aliased) shapes and glyphs drawn with plain GDI.
#pragma once

#include "skinini.h"

#include <string>

namespace skin {

// Display scaling: the skin's lengths (radii, insets, indents, gaps) are
// pixels at 96 DPI and are drawn at the DPI of the window they skin, so
// that a skinned window keeps its proportions at 125-200 % scaling. Shapes
// and glyphs are drawn at the target size, never stretched.
// The DPI of a window: its own where the system tells it, else its DC's.
int WindowDpi(HWND hWnd);
// A length in pixels at 96 DPI, at dpi.
inline int Px(int pixels, int dpi) {
    return ::MulDiv(pixels, dpi, 96);
}
inline double Px(double pixels, int dpi) {
    return pixels * dpi / 96.0;
}

// Mixes b into a by percent (0: a, 100: b).
COLORREF Mix(COLORREF a, COLORREF b, int percent);
// Vertical gradient from top to bottom over rc.
void FillGradient(HDC hdc, const RECT& rc, COLORREF top, COLORREF bottom);
void FillSolid(HDC hdc, const RECT& rc, COLORREF color);
void FrameSolid(HDC hdc, const RECT& rc, COLORREF color);

// Shapes are drawn with GDI at four times their size into a private bitmap
// and averaged down, then blended over whatever the target shows.
// Coordinates of the helpers are in target pixels.
class AaCanvas {
public:
    AaCanvas(int width, int height);
    ~AaCanvas();
    AaCanvas(const AaCanvas&) = delete;
    AaCanvas& operator=(const AaCanvas&) = delete;

    bool IsValid() const { return m_hdc != nullptr; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    void Ellipse(double l, double t, double r, double b, COLORREF fill);
    void Ring(double l, double t, double r, double b, double width, COLORREF color);
    void RoundRect(double l, double t, double r, double b, double radius, COLORREF fill);
    void RoundRectGradient(double l, double t, double r, double b, double radius, COLORREF top,
                           COLORREF bottom);
    void RoundFrame(double l, double t, double r, double b, double radius, double width,
                    COLORREF color);
    void Polygon(const double* xy, int points, COLORREF fill);
    void Polyline(const double* xy, int points, double width, COLORREF color);
    void Pie(double l, double t, double r, double b, double x1, double y1, double x2, double y2,
             COLORREF fill);
    // Text with a font of the given pixel height, centred in the rectangle.
    void Text(const std::wstring& text, const wchar_t* face, double pixelHeight, bool bold,
              double l, double t, double r, double b, COLORREF color);

    // Limits drawing to an ellipse until ClearClip.
    void ClipEllipse(double l, double t, double r, double b);
    void ClearClip();

    void BlendTo(HDC target, int x, int y) const;

private:
    int S(double v) const { return static_cast<int>(v * kScale + 0.5); }
    static const int kScale = 4;
    int m_width, m_height;
    HDC m_hdc = nullptr;
    HBITMAP m_hbm = nullptr;
    HGDIOBJ m_old = nullptr;
    unsigned* m_bits = nullptr;
};

// Glyphs drawn by the skins. Names as the skin file writes them.
enum class Glyph {
    None,
    ChevronUp,
    ChevronDown,
    Backspace,
    Cross,
    Keyboard,
    Person,
    Phone,
    Envelope,
    Error,
    Question,
    Warning,
    Information
};
Glyph ParseGlyph(const std::wstring& name);

// A glyph centred in rc (side = the smaller of width and height).
void DrawGlyph(HDC hdc, const RECT& rc, Glyph glyph, COLORREF color);

// The state picture: a figure in a filled circle with an optional badge.
enum class Badge { None, Check, Cross, Dots };
Badge ParseBadge(const std::wstring& name);
struct PersonLook {
    COLORREF circle, edge, figure, badge;
    Badge badgeKind;
};
void DrawPerson(HDC hdc, const RECT& rc, const PersonLook& look);

} // namespace skin
