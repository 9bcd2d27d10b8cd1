// Skinned message boxes: a modal pop-up with its own message loop, drawn
// with the window skin "MessageBox".
#include "SkinMagicExU.h"
#include "SkinMagicU.h"

#include "exutil.h"
#include "skindraw.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

const wchar_t kBoxSkin[] = L"MessageBox";
const wchar_t kAutoCloseVariable[] = L"SKIN_MSGBOX_AUTOCLOSE";
const UINT_PTR kAutoCloseTimer = 1;
// Lengths of the box, in pixels at 96 DPI (drawn at the owner's DPI).
const int kTitleHeight = 30;
const int kPad = 16;
const int kIconSize = 32;
const int kIconGap = 14;
const int kFooterHeight = 48;
const int kButtonHeight = 26;
const int kButtonMinWidth = 84;
const int kButtonGap = 8;
const int kButtonMargin = 14;
const int kCheckHeight = 20;
const int kMaxTextWidth = 420;
const int kMinClientWidth = 300;

// The handler tests and hosts install.
struct HandlerSlot {
    CRITICAL_SECTION lock;
    SKINMSGBOXHANDLER pfn = nullptr;
    void* context = nullptr;
    HandlerSlot() { ::InitializeCriticalSection(&lock); }
};

HandlerSlot& Handler() {
    static HandlerSlot* slot = new HandlerSlot;
    return *slot;
}

const _tagMSGBOXTEXT& Captions() {
    static const _tagMSGBOXTEXT* texts = new _tagMSGBOXTEXT;
    return *texts;
}

CString CaptionOf(int id) {
    const _tagMSGBOXTEXT& t = Captions();
    switch (id) {
    case IDOK:
        return t.strOK;
    case IDCANCEL:
        return t.strCancel;
    case IDYES:
        return t.strYes;
    case IDNO:
        return t.strNo;
    case IDABORT:
        return t.strAbort;
    case IDRETRY:
        return t.strRetry;
    case IDIGNORE:
        return t.strIgnore;
    case IDTRYAGAIN:
        return t.strTryAgain;
    case IDCONTINUE:
        return t.strContinue;
    case IDHELP:
        return t.strHelp;
    default:
        return CString();
    }
}

std::vector<int> ButtonsOf(UINT uType) {
    std::vector<int> ids;
    switch (uType & MB_TYPEMASK) {
    case MB_OKCANCEL:
        ids = {IDOK, IDCANCEL};
        break;
    case MB_ABORTRETRYIGNORE:
        ids = {IDABORT, IDRETRY, IDIGNORE};
        break;
    case MB_YESNOCANCEL:
        ids = {IDYES, IDNO, IDCANCEL};
        break;
    case MB_YESNO:
        ids = {IDYES, IDNO};
        break;
    case MB_RETRYCANCEL:
        ids = {IDRETRY, IDCANCEL};
        break;
    case MB_CANCELTRYCONTINUE:
        ids = {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
        break;
    default:
        ids = {IDOK};
        break;
    }
    if (uType & MB_HELP)
        ids.push_back(IDHELP);
    return ids;
}

// Milliseconds after which a shown box answers itself; -1 when not set.
int AutoCloseDelay() {
    wchar_t value[32] = {};
    DWORD n = ::GetEnvironmentVariableW(kAutoCloseVariable, value, 32);
    if (n == 0 || n >= 32)
        return -1;
    int ms = skin::ParseInt(value, -1);
    return ms < 0 ? -1 : ms;
}

struct Box {
    HWND hwnd = nullptr;
    HWND anchor = nullptr; // the window the box is centred on
    HWND owner = nullptr;  // its top-level window, which owns the box
    UINT type = 0;
    std::wstring caption;
    std::vector<int> ids;
    int defaultId = IDOK;
    bool done = false;
    int result = 0;
    HWND check = nullptr;
    int checkState = 0;
    skin::Glyph icon = skin::Glyph::None;
    COLORREF iconColor = 0;
    RECT iconRect = {0, 0, 0, 0};
    RECT closeRect = {0, 0, 0, 0};
    int footerTop = 0;
    int dpi = 96;

    // A length in pixels at 96 DPI, at the box's DPI.
    int Px(int pixels) const { return skin::Px(pixels, dpi); }

    bool Has(int id) const { return std::find(ids.begin(), ids.end(), id) != ids.end(); }
    // What Esc, Alt+F4 and the close mark answer; 0 when they do nothing.
    int EscapeAnswer() const {
        if (Has(IDCANCEL))
            return IDCANCEL;
        if ((type & MB_TYPEMASK) == MB_OK)
            return IDOK;
        return 0;
    }
    void Finish(int id) {
        if (done)
            return;
        if (check)
            checkState = ::SendMessageW(check, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
        result = id;
        done = true;
    }
};

void PaintBox(Box* box, HDC hdc) {
    RECT rc;
    ::GetClientRect(box->hwnd, &rc);
    const int titleHeight = box->Px(kTitleHeight);
    RECT title = {0, 0, rc.right, titleHeight};
    COLORREF top = skinex::Color(kBoxSkin, L"TitleTop", RGB(63, 146, 224));
    skin::FillGradient(hdc, title, top, skinex::Color(kBoxSkin, L"TitleBottom", top));
    COLORREF titleText = skinex::Color(kBoxSkin, L"TitleText", RGB(255, 255, 255));
    HFONT titleFont = skinex::Font(kBoxSkin, L"TitleFont");
    HGDIOBJ oldFont =
        ::SelectObject(hdc, titleFont ? titleFont : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(hdc, TRANSPARENT);
    ::SetTextColor(hdc, titleText);
    RECT tr = {box->Px(12), 0,
               box->EscapeAnswer() ? box->closeRect.left - box->Px(4) : rc.right - box->Px(12),
               titleHeight};
    ::DrawTextW(hdc, box->caption.c_str(), static_cast<int>(box->caption.size()), &tr,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    ::SelectObject(hdc, oldFont);
    if (box->EscapeAnswer()) {
        RECT cr = box->closeRect;
        ::InflateRect(&cr, -box->Px(5), -box->Px(5));
        skin::DrawGlyph(hdc, cr, skin::Glyph::Cross, titleText);
    }

    RECT footer = {0, box->footerTop, rc.right, rc.bottom};
    skin::FillSolid(hdc, footer, skinex::Color(kBoxSkin, L"FooterBack", RGB(232, 239, 246)));
    RECT line = {0, box->footerTop, rc.right, box->footerTop + box->Px(1)};
    skin::FillSolid(hdc, line, skinex::Color(kBoxSkin, L"FooterLine", RGB(202, 216, 230)));

    if (box->icon != skin::Glyph::None)
        skin::DrawGlyph(hdc, box->iconRect, box->icon, box->iconColor);
}

LRESULT CALLBACK BoxProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Box* box = reinterpret_cast<Box*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (msg == WM_NCCREATE) {
        box = static_cast<Box*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        box->hwnd = hWnd;
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(box));
    }
    if (!box)
        return ::DefWindowProcW(hWnd, msg, wParam, lParam);
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = ::BeginPaint(hWnd, &ps);
        PaintBox(box, hdc);
        ::EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_NCHITTEST: {
        LRESULT hit = ::DefWindowProcW(hWnd, msg, wParam, lParam);
        POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ::ScreenToClient(hWnd, &pt);
        if (hit == HTCLIENT && pt.y < box->Px(kTitleHeight) && !::PtInRect(&box->closeRect, pt))
            return HTCAPTION; // the title strip moves the box
        return hit;
    }
    case WM_LBUTTONUP: {
        POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (box->EscapeAnswer() && ::PtInRect(&box->closeRect, pt))
            box->Finish(box->EscapeAnswer());
        return 0;
    }
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id == SKINMSGBOX_IDC_CHECK)
            return 0;
        if (id == IDHELP && box->Has(IDHELP)) {
            HELPINFO hi = {};
            hi.cbSize = sizeof(hi);
            hi.iContextType = HELPINFO_WINDOW;
            hi.iCtrlId = IDHELP;
            hi.hItemHandle = hWnd;
            ::GetCursorPos(&hi.MousePos);
            if (box->owner)
                ::SendMessageW(box->owner, WM_HELP, 0, reinterpret_cast<LPARAM>(&hi));
            return 0;
        }
        if (box->Has(id))
            box->Finish(id);
        else if (id == IDCANCEL && box->EscapeAnswer())
            box->Finish(box->EscapeAnswer());
        return 0;
    }
    case WM_CLOSE:
        if (box->EscapeAnswer())
            box->Finish(box->EscapeAnswer());
        return 0;
    case DM_GETDEFID: {
        // Enter answers with the focused button, else the default one.
        HWND focus = ::GetFocus();
        int id = focus && ::GetParent(focus) == hWnd ? ::GetDlgCtrlID(focus) : 0;
        if (!box->Has(id))
            id = box->defaultId;
        return MAKELRESULT(id, DC_HASDEFID);
    }
    case WM_TIMER:
        if (wParam == kAutoCloseTimer) {
            ::KillTimer(hWnd, kAutoCloseTimer);
            box->Finish(box->defaultId);
            return 0;
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            HWND focus = ::GetFocus();
            if (!focus || ::GetParent(focus) != hWnd)
                ::SetFocus(::GetDlgItem(hWnd, box->defaultId));
            return 0;
        }
        break;
    default:
        break;
    }
    return ::DefWindowProcW(hWnd, msg, wParam, lParam);
}

bool RegisterBoxClass() {
    static bool registered = false;
    if (registered)
        return true;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_GLOBALCLASS;
    wc.lpfnWndProc = &BoxProc;
    wc.hInstance = skinex::ModuleHandle();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = ::GetSysColorBrush(COLOR_WINDOW);
    wc.lpszClassName = SKINMSGBOX_CLASS;
    registered = ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    return registered;
}

SIZE TextSize(HDC hdc, const wchar_t* text, int maxWidth, UINT flags) {
    RECT r = {0, 0, maxWidth, 0};
    ::DrawTextW(hdc, text, -1, &r, flags | DT_CALCRECT);
    return SIZE{r.right, r.bottom};
}

HWND AddChild(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id,
              const RECT& r, HFONT font) {
    HWND h = ::CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                               r.right - r.left, r.bottom - r.top, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               skinex::ModuleHandle(), nullptr);
    if (h && font)
        ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return h;
}

// Builds the box window with its children; null when it cannot be made.
HWND BuildBox(Box* box, LPCWSTR lpText, LPCWSTR lpCheckText, int initialCheck) {
    if (!RegisterBoxClass())
        return nullptr;
    HFONT font = skinex::Font(kBoxSkin, L"Font");
    if (!font)
        font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    HFONT buttonFont = skinex::Font(kBoxSkin, L"ButtonFont");
    if (!buttonFont)
        buttonFont = font;
    const wchar_t* text = lpText ? lpText : L"";

    switch (box->type & MB_ICONMASK) {
    case MB_ICONHAND:
        box->icon = skin::Glyph::Error;
        box->iconColor = skinex::Color(kBoxSkin, L"IconError", RGB(217, 68, 60));
        break;
    case MB_ICONQUESTION:
        box->icon = skin::Glyph::Question;
        box->iconColor = skinex::Color(kBoxSkin, L"IconQuestion", RGB(47, 127, 209));
        break;
    case MB_ICONEXCLAMATION:
        box->icon = skin::Glyph::Warning;
        box->iconColor = skinex::Color(kBoxSkin, L"IconWarning", RGB(242, 165, 26));
        break;
    case MB_ICONASTERISK:
        box->icon = skin::Glyph::Information;
        box->iconColor = skinex::Color(kBoxSkin, L"IconInformation", RGB(47, 127, 209));
        break;
    default:
        break;
    }

    // Measure.
    HDC hdc = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(hdc, font);
    const UINT textFlags = DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS;
    SIZE textSize = TextSize(hdc, *text ? text : L" ", box->Px(kMaxTextWidth), textFlags);
    SIZE checkSize = {0, 0};
    if (lpCheckText) {
        checkSize = TextSize(hdc, lpCheckText, box->Px(kMaxTextWidth), DT_SINGLELINE);
        checkSize.cx += box->Px(24);
    }
    ::SelectObject(hdc, buttonFont);
    std::vector<int> widths;
    int buttonsWidth = 0;
    for (int id : box->ids) {
        CString cap = CaptionOf(id);
        SIZE s = TextSize(hdc, cap, 1000, DT_SINGLELINE);
        widths.push_back(std::max(box->Px(kButtonMinWidth), static_cast<int>(s.cx) + box->Px(24)));
        buttonsWidth += widths.back() + box->Px(kButtonGap);
    }
    buttonsWidth -= box->Px(kButtonGap);
    ::SelectObject(hdc, old);
    ::ReleaseDC(nullptr, hdc);

    // Lay out.
    const int pad = box->Px(kPad), iconSize = box->Px(kIconSize);
    const int titleHeight = box->Px(kTitleHeight), footerHeight = box->Px(kFooterHeight);
    const int buttonHeight = box->Px(kButtonHeight), buttonMargin = box->Px(kButtonMargin);
    const int checkHeight = box->Px(kCheckHeight);
    const int contentX = pad + (box->icon != skin::Glyph::None ? iconSize + box->Px(kIconGap) : 0);
    const int contentH = std::max<int>(textSize.cy, box->icon != skin::Glyph::None ? iconSize : 0);
    const int contentTop = titleHeight + pad;
    int clientW = std::max<int>(box->Px(kMinClientWidth),
                                contentX + std::max(textSize.cx, checkSize.cx) + pad + box->Px(8));
    clientW = std::max(clientW, buttonsWidth + 2 * buttonMargin);
    int checkTop = contentTop + contentH + box->Px(10);
    box->footerTop = (lpCheckText ? checkTop + checkHeight : contentTop + contentH) + pad;
    int clientH = box->footerTop + footerHeight;
    box->iconRect = {pad, contentTop, pad + iconSize, contentTop + iconSize};
    box->closeRect = {clientW - box->Px(30), box->Px(3), clientW - box->Px(6),
                      titleHeight - box->Px(3)};

    const DWORD style = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN | WS_SYSMENU;
    const DWORD exStyle = box->owner ? 0 : WS_EX_TOPMOST;
    RECT wr = {0, 0, clientW, clientH};
    ::AdjustWindowRectEx(&wr, style, FALSE, exStyle);
    int w = wr.right - wr.left, h = wr.bottom - wr.top;

    // Centre on the given window (or the screen), kept on its monitor.
    RECT around;
    HWND anchor = box->owner ? box->anchor : nullptr;
    if (!anchor || !::GetWindowRect(anchor, &around))
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    ::GetMonitorInfoW(::MonitorFromRect(&around, MONITOR_DEFAULTTONEAREST), &mi);
    int x = (around.left + around.right - w) / 2, y = (around.top + around.bottom - h) / 2;
    x = std::max<int>(mi.rcWork.left, std::min<int>(x, mi.rcWork.right - w));
    y = std::max<int>(mi.rcWork.top, std::min<int>(y, mi.rcWork.bottom - h));

    HWND hwnd = ::CreateWindowExW(exStyle, SKINMSGBOX_CLASS, box->caption.c_str(), style, x, y, w,
                                  h, box->owner, nullptr, skinex::ModuleHandle(), box);
    if (!hwnd)
        return nullptr;

    RECT tr = {contentX, contentTop + (contentH - textSize.cy) / 2,
               contentX + textSize.cx + box->Px(8), 0};
    tr.bottom = tr.top + textSize.cy;
    AddChild(hwnd, L"Static", text, SS_LEFT | SS_NOPREFIX, SKINMSGBOX_IDC_TEXT, tr, font);
    if (lpCheckText) {
        RECT cr = {contentX, checkTop, contentX + checkSize.cx, checkTop + checkHeight};
        box->check = AddChild(hwnd, L"Button", lpCheckText, BS_AUTOCHECKBOX | WS_TABSTOP,
                              SKINMSGBOX_IDC_CHECK, cr, font);
        ::SendMessageW(box->check, BM_SETCHECK, initialCheck ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    int bx = clientW - buttonMargin - buttonsWidth;
    int by = box->footerTop + (footerHeight - buttonHeight) / 2;
    for (size_t i = 0; i < box->ids.size(); ++i) {
        int id = box->ids[i];
        DWORD bs = WS_TABSTOP | (id == box->defaultId ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) |
                   (i == 0 ? WS_GROUP : 0);
        RECT br = {bx, by, bx + widths[i], by + buttonHeight};
        AddChild(hwnd, L"Button", CaptionOf(id), bs, id, br, buttonFont);
        bx += widths[i] + box->Px(kButtonGap);
    }
    ::ApplyWindowSkin(hwnd, kBoxSkin);
    return hwnd;
}

int RunBox(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, bool withCheck, LPCWSTR lpCheckText,
           int* pCheckState, UINT uType) {
    {
        HandlerSlot& slot = Handler();
        ::EnterCriticalSection(&slot.lock);
        SKINMSGBOXHANDLER pfn = slot.pfn;
        void* context = slot.context;
        ::LeaveCriticalSection(&slot.lock);
        if (pfn) {
            SKINMSGBOXINFO info = {hWnd, lpText, lpCaption, lpCheckText, pCheckState, uType};
            int answer = pfn(&info, context);
            if (answer >= 0)
                return answer;
        }
    }

    Box box;
    box.type = uType;
    box.anchor = hWnd && ::IsWindow(hWnd) ? hWnd : nullptr;
    box.owner = box.anchor ? ::GetAncestor(box.anchor, GA_ROOT) : nullptr;
    box.caption = lpCaption ? lpCaption : L"Error";
    box.dpi = skin::WindowDpi(box.anchor);
    box.ids = ButtonsOf(uType);
    size_t def = (uType & MB_DEFMASK) >> 8;
    box.defaultId = box.ids[std::min(def, box.ids.size() - 1)];
    box.checkState = pCheckState ? *pCheckState : 0;
    if (!BuildBox(&box, lpText, withCheck ? (lpCheckText ? lpCheckText : L"") : nullptr,
                  box.checkState))
        return 0;

    bool ownerDisabled = false;
    if (box.owner && ::IsWindowEnabled(box.owner)) {
        ::EnableWindow(box.owner, FALSE);
        ownerDisabled = true;
    }
    ::ShowWindow(box.hwnd, SW_SHOWNORMAL);
    ::SetForegroundWindow(box.hwnd);
    ::SetFocus(::GetDlgItem(box.hwnd, box.defaultId));
    int delay = AutoCloseDelay();
    if (delay >= 0)
        ::SetTimer(box.hwnd, kAutoCloseTimer, static_cast<UINT>(std::max(delay, 1)), nullptr);

    MSG msg;
    while (!box.done) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) { // WM_QUIT: leave it for the caller's loop
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            box.Finish(box.EscapeAnswer() ? box.EscapeAnswer() : box.defaultId);
            break;
        }
        if (got < 0)
            break;
        if (!::IsDialogMessageW(box.hwnd, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    if (ownerDisabled)
        ::EnableWindow(box.owner, TRUE);
    ::DestroyWindow(box.hwnd);
    if (pCheckState && box.check)
        *pCheckState = box.checkState;
    return box.result;
}

} // namespace

int MessageBoxExW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) {
    return RunBox(hWnd, lpText, lpCaption, false, nullptr, nullptr, uType);
}

int MessageBoxExW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, LPCWSTR lpCheckText,
                  int& checkState, int, UINT uType) {
    return RunBox(hWnd, lpText, lpCaption, true, lpCheckText, &checkState, uType);
}

void SkinSetMessageBoxHandler(SKINMSGBOXHANDLER pfnHandler, void* pContext) {
    HandlerSlot& slot = Handler();
    ::EnterCriticalSection(&slot.lock);
    slot.pfn = pfnHandler;
    slot.context = pContext;
    ::LeaveCriticalSection(&slot.lock);
}
