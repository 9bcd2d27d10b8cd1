// CSkinControlPannel: a strip of clickable units drawn with the skin of the
// window it lies in (section "<window skin>.Pannel" of the skin file).
#include "SkinMagicExU.h"
#include "SkinMagicU.h"

#include "exutil.h"
#include "skindraw.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {
const wchar_t kPannelClass[] = L"SkinControlPannel";
const int kImageGap = 4;

bool RegisterPannelClass() {
    static bool registered = false;
    if (registered)
        return true;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = ::DefWindowProcW; // the framework binds the object on creation
    wc.hInstance = skinex::ModuleHandle();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kPannelClass;
    registered = ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    return registered;
}

skin::Glyph ImageGlyph(int image) {
    switch (image) {
    case 0:
        return skin::Glyph::Phone;
    case 1:
        return skin::Glyph::Envelope;
    default:
        return skin::Glyph::None;
    }
}
} // namespace

struct CSkinControlPannel::Impl {
    std::vector<std::unique_ptr<CSkinControlUnit>> units; // stable addresses for the notices
    int hover = -1;
    int pressed = -1;
    bool tracking = false;
    HWND tip = nullptr;

    std::wstring Section(HWND hWnd) const {
        std::wstring s = skinex::SkinAbove(::GetParent(hWnd));
        return (s.empty() ? std::wstring(L"Default") : s) + L".Pannel";
    }
    HFONT UnitFont(HWND hWnd) const;
    void Layout(HWND hWnd);
    void UpdateTips(HWND hWnd);
    int HitTest(POINT point) const;
    void NotifyUsed(HWND hWnd, int nIndex);
    void SetStates() {
        for (size_t i = 0; i < units.size(); ++i) {
            int idx = static_cast<int>(i);
            units[i]->m_nState = idx == pressed && idx == hover ? 2 : idx == hover ? 1 : 0;
        }
    }
};

BEGIN_MESSAGE_MAP(CSkinControlPannel, CWnd)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_MOUSEMOVE()
ON_WM_SETCURSOR()
ON_WM_SIZE()
ON_WM_DESTROY()
ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
ON_MESSAGE(WM_CAPTURECHANGED, OnCaptureChanged)
END_MESSAGE_MAP()

CSkinControlPannel::CSkinControlPannel() : m_pImpl(new Impl) {}

CSkinControlPannel::~CSkinControlPannel() {
    // The window goes first: its last messages still use the units.
    if (m_hWnd && ::IsWindow(m_hWnd))
        DestroyWindow();
    delete m_pImpl;
}

BOOL CSkinControlPannel::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                                DWORD) {
    if (!pParentWnd || !pParentWnd->m_hWnd || !RegisterPannelClass())
        return FALSE;
    if (!CreateEx(0, kPannelClass, L"", dwStyle | WS_CHILD, rect, pParentWnd, nID))
        return FALSE;
    m_pImpl->Layout(m_hWnd);
    return TRUE;
}

int CSkinControlPannel::AddControlUnit(CSkinControlUnit& unit) {
    m_pImpl->units.emplace_back(new CSkinControlUnit(unit));
    if (m_hWnd) {
        m_pImpl->Layout(m_hWnd);
        Invalidate(FALSE);
    }
    return static_cast<int>(m_pImpl->units.size()) - 1;
}

BOOL CSkinControlPannel::ChangeControlUint(UINT nID, CString strText) {
    for (auto& u : m_pImpl->units) {
        if (u->m_nID != nID)
            continue;
        u->m_strText = strText;
        if (m_hWnd) {
            m_pImpl->Layout(m_hWnd);
            Invalidate(FALSE);
        }
        return TRUE;
    }
    return FALSE;
}

int CSkinControlPannel::GetUnitCount() const {
    return static_cast<int>(m_pImpl->units.size());
}

const CSkinControlUnit* CSkinControlPannel::GetUnit(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetUnitCount())
        return nullptr;
    return m_pImpl->units[static_cast<size_t>(nIndex)].get();
}

const CSkinControlUnit* CSkinControlPannel::FindUnit(UINT nID) const {
    for (const auto& u : m_pImpl->units)
        if (u->m_nID == nID)
            return u.get();
    return nullptr;
}

HFONT CSkinControlPannel::Impl::UnitFont(HWND hWnd) const {
    HFONT font = skinex::Font(Section(hWnd), L"Font");
    if (!font)
        font = reinterpret_cast<HFONT>(::SendMessageW(::GetParent(hWnd), WM_GETFONT, 0, 0));
    return font ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

void CSkinControlPannel::Impl::Layout(HWND hWnd) {
    if (!hWnd)
        return;
    CRect rc;
    ::GetClientRect(hWnd, &rc);
    HDC hdc = ::GetDC(hWnd);
    HGDIOBJ oldFont = ::SelectObject(hdc, UnitFont(hWnd));
    TEXTMETRICW tm = {};
    ::GetTextMetricsW(hdc, &tm);
    // The units' lengths are pixels at 96 DPI.
    const int dpi = skin::WindowDpi(hWnd);
    auto px = [dpi](int length) { return skin::Px(std::max(0, length), dpi); };
    const int imageGap = px(kImageGap);
    int x = 0;
    for (auto& up : units) {
        CSkinControlUnit& u = *up;
        x += px(u.m_nSpaceX);
        SIZE text = {0, tm.tmHeight};
        if (!u.m_strText.IsEmpty())
            ::GetTextExtentPoint32W(hdc, u.m_strText, u.m_strText.GetLength(), &text);
        int image = ImageGlyph(u.m_nImage) != skin::Glyph::None ? tm.tmHeight : 0;
        int indent = px(u.m_nIndent);
        int natural = indent * 2 + (image ? image + imageGap : 0) + text.cx;
        int width = px(u.m_nWidth);
        if (!u.IsFixedSize())
            width = std::max(width, natural);
        width = std::max(0, std::min(width, static_cast<int>(rc.right) - x));
        int room = rc.Height() - 2 * px(u.m_nSpaceY);
        int height = tm.tmHeight + 2 * px(u.m_nHeightMargin);
        height = std::max(0, std::min(height, room > 0 ? room : rc.Height()));
        int top = (rc.Height() - height) / 2;
        ::SetRect(&u.m_rcUnit, x, top, x + width, top + height);
        int textLeft = std::min(x + width, x + indent + (image ? image + imageGap : 0));
        ::SetRect(&u.m_rcText, textLeft, top, std::max(textLeft, x + width - indent), top + height);
        x += width;
    }
    ::SelectObject(hdc, oldFont);
    ::ReleaseDC(hWnd, hdc);
    UpdateTips(hWnd);
}

void CSkinControlPannel::Impl::UpdateTips(HWND hWnd) {
    // The tip window is made with the first unit that has a tip: a strip
    // without tips has none (a tool tip is a pop-up, costly to create).
    if (!tip) {
        bool tips = false;
        for (const auto& u : units)
            tips = tips || !u->m_strTip.IsEmpty();
        if (!tips)
            return;
        tip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hWnd, nullptr,
                                skinex::ModuleHandle(), nullptr);
        if (!tip)
            return;
    }
    while (::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0) > 0) {
        TTTOOLINFOW ti = {};
        ti.cbSize = sizeof(ti);
        if (!::SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&ti)))
            break;
        ::SendMessageW(tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    for (size_t i = 0; i < units.size(); ++i) {
        CSkinControlUnit& u = *units[i];
        if (u.m_strTip.IsEmpty())
            continue;
        TTTOOLINFOW ti = {};
        ti.cbSize = sizeof(ti);
        ti.uFlags = TTF_SUBCLASS;
        ti.hwnd = hWnd;
        ti.uId = i + 1;
        ti.rect = u.m_rcUnit;
        ti.lpszText = const_cast<LPWSTR>(u.m_strTip.GetString());
        ::SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

int CSkinControlPannel::Impl::HitTest(POINT point) const {
    for (size_t i = 0; i < units.size(); ++i) {
        const RECT& r = units[i]->m_rcUnit;
        if (r.right > r.left && r.bottom > r.top && ::PtInRect(&r, point))
            return static_cast<int>(i);
    }
    return -1;
}

void CSkinControlPannel::OnPaint() {
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    if (rc.IsRectEmpty())
        return;
    HDC mem = ::CreateCompatibleDC(dc);
    HBITMAP bmp = ::CreateCompatibleBitmap(dc, rc.Width(), rc.Height());
    HGDIOBJ oldBmp = ::SelectObject(mem, bmp);
    ::SkinDrawBackground(m_hWnd, mem);

    const std::wstring section = m_pImpl->Section(m_hWnd);
    const COLORREF text = skinex::Color(section, L"Text", ::GetSysColor(COLOR_BTNTEXT));
    const COLORREF frame = skinex::Color(section, L"Frame", ::GetSysColor(COLOR_BTNSHADOW));
    const COLORREF hoverTop = skinex::Color(section, L"HoverTop", RGB(255, 255, 255));
    const COLORREF hoverBottom = skinex::Color(section, L"HoverBottom", hoverTop);
    const COLORREF hoverFrame = skinex::Color(section, L"HoverFrame", frame);
    const COLORREF hoverText = skinex::Color(section, L"HoverText", text);
    const COLORREF downTop = skinex::Color(section, L"DownTop", hoverBottom);
    const COLORREF downBottom = skinex::Color(section, L"DownBottom", hoverTop);
    const COLORREF glyph = skinex::Color(section, L"GlyphColor", text);
    const int dpi = skin::WindowDpi(m_hWnd);
    const double radius = skin::Px(static_cast<double>(skinex::Int(section, L"Radius", 3)), dpi);
    const double line = skin::Px(1.0, dpi);
    HFONT font = m_pImpl->UnitFont(m_hWnd);
    LOGFONTW lf = {};
    ::GetObjectW(font, sizeof(lf), &lf);
    lf.lfUnderline = TRUE;
    HFONT underlined = ::CreateFontIndirectW(&lf);

    for (const auto& up : m_pImpl->units) {
        const CSkinControlUnit& u = *up;
        const RECT& r = u.m_rcUnit;
        int w = r.right - r.left, h = r.bottom - r.top;
        if (w <= 0 || h <= 0)
            continue;
        bool hover = u.m_nState >= 1, down = u.m_nState == 2;
        if (u.m_nStyle == 1 || u.m_nStyle == 2) {
            bool lit = u.m_nStyle == 2 && hover;
            skin::AaCanvas c(w, h);
            COLORREF edge = lit || down ? hoverFrame : frame;
            c.RoundRect(0, 0, w, h, radius, edge);
            if (down)
                c.RoundRectGradient(line, line, w - line, h - line, radius - line, downTop,
                                    downBottom);
            else if (lit)
                c.RoundRectGradient(line, line, w - line, h - line, radius - line, hoverTop,
                                    hoverBottom);
            else
                c.RoundRect(line, line, w - line, h - line, radius - line, u.m_clrBack);
            c.BlendTo(mem, r.left, r.top);
        }
        skin::Glyph g = ImageGlyph(u.m_nImage);
        if (g != skin::Glyph::None) {
            int side = std::min<int>(h, u.m_rcText.left - r.left - skin::Px(kImageGap, dpi));
            int left = r.left + skin::Px(std::max(0, u.m_nIndent), dpi);
            if (side > 0) {
                RECT gr = {left, r.top + (h - side) / 2, left + side,
                           r.top + (h - side) / 2 + side};
                skin::DrawGlyph(mem, gr, g, glyph);
            }
        }
        HGDIOBJ oldFont = ::SelectObject(mem, u.m_nStyle == 0 && hover ? underlined : font);
        ::SetBkMode(mem, TRANSPARENT);
        ::SetTextColor(mem, hover || down ? hoverText : text);
        RECT tr = u.m_rcText;
        if (down)
            ::OffsetRect(&tr, 0, skin::Px(1, dpi));
        ::DrawTextW(mem, u.m_strText, u.m_strText.GetLength(), &tr,
                    DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
        ::SelectObject(mem, oldFont);
    }
    ::DeleteObject(underlined);
    ::BitBlt(dc, 0, 0, rc.Width(), rc.Height(), mem, 0, 0, SRCCOPY);
    ::SelectObject(mem, oldBmp);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
}

BOOL CSkinControlPannel::OnEraseBkgnd(CDC*) {
    return TRUE; // OnPaint covers everything
}

void CSkinControlPannel::OnLButtonDown(UINT, CPoint point) {
    int hit = m_pImpl->HitTest(point);
    if (hit < 0)
        return;
    m_pImpl->pressed = hit;
    m_pImpl->hover = hit;
    ::SetCapture(m_hWnd);
    m_pImpl->SetStates();
    Invalidate(FALSE);
}

void CSkinControlPannel::OnLButtonUp(UINT, CPoint point) {
    int pressed = m_pImpl->pressed;
    if (pressed < 0)
        return;
    m_pImpl->pressed = -1;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    int hit = m_pImpl->HitTest(point);
    m_pImpl->hover = hit;
    m_pImpl->SetStates();
    Invalidate(FALSE);
    if (hit == pressed)
        m_pImpl->NotifyUsed(m_hWnd, hit);
}

void CSkinControlPannel::Impl::NotifyUsed(HWND hWnd, int nIndex) {
    // Used: down and up on the same unit. The parent gets the code and a
    // record pointing to the panel's own copy of the unit.
    DWORD code = PANNEL_CODE_USED;
    SKINPANNELNOTIFY notify = {};
    notify.hwndFrom = hWnd;
    notify.idFrom = static_cast<UINT>(::GetDlgCtrlID(hWnd));
    notify.code = PANNEL_CODE_USED;
    notify.pUnit = units[static_cast<size_t>(nIndex)].get();
    ::SendMessageW(::GetParent(hWnd), WM_PANNEL_NOTIFY, reinterpret_cast<WPARAM>(&code),
                   reinterpret_cast<LPARAM>(&notify));
}

void CSkinControlPannel::OnMouseMove(UINT, CPoint point) {
    if (!m_pImpl->tracking) {
        TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE, m_hWnd, 0};
        m_pImpl->tracking = ::TrackMouseEvent(&tme) != FALSE;
    }
    int hit = m_pImpl->HitTest(point);
    if (hit != m_pImpl->hover) {
        m_pImpl->hover = hit;
        m_pImpl->SetStates();
        Invalidate(FALSE);
    }
}

LRESULT CSkinControlPannel::OnMouseLeave(WPARAM, LPARAM) {
    m_pImpl->tracking = false;
    if (m_pImpl->pressed < 0 && m_pImpl->hover >= 0) {
        m_pImpl->hover = -1;
        m_pImpl->SetStates();
        Invalidate(FALSE);
    }
    return 0;
}

LRESULT CSkinControlPannel::OnCaptureChanged(WPARAM, LPARAM lParam) {
    if (reinterpret_cast<HWND>(lParam) != m_hWnd && m_pImpl->pressed >= 0) {
        m_pImpl->pressed = -1;
        m_pImpl->SetStates();
        Invalidate(FALSE);
    }
    return 0;
}

BOOL CSkinControlPannel::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
    if (nHitTest == HTCLIENT) {
        POINT pt;
        ::GetCursorPos(&pt);
        ::ScreenToClient(m_hWnd, &pt);
        if (m_pImpl->HitTest(pt) >= 0) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
    }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

// The tip is a pop-up, owned by the strip's top-level window rather than by
// the strip: it would outlive the strip unless it goes with it.
void CSkinControlPannel::OnDestroy() {
    if (m_pImpl->tip && ::IsWindow(m_pImpl->tip))
        ::DestroyWindow(m_pImpl->tip);
    m_pImpl->tip = nullptr;
    CWnd::OnDestroy();
}

void CSkinControlPannel::OnSize(UINT, int, int) {
    m_pImpl->Layout(m_hWnd);
    Invalidate(FALSE);
}
