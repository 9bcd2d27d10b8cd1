// SkinMagicU: window skins (background, static colours, push buttons, the
// soft keyboard's key characters) and control skins (state picture, status
// text, bar button), read from the skin file.
#define SKINU_BUILDING_DLL
#include "SkinMagicU.h"

#include <commctrl.h>

#include "skindraw.h"
#include "skinini.h"

#include <string>
#include <unordered_map>
#include <vector>

using namespace skin;

namespace {

const wchar_t kDefaultSection[] = L"Default";
const wchar_t kSkinFileName[] = L"kite.skin";
const int kDefaultSkinResource = 1;

HINSTANCE g_hInstance = nullptr;

struct WindowState;
struct ControlState;

// A window this library subclassed: the procedure it replaced and the skin
// states it carries (either may be null).
struct Skinned {
    WNDPROC super = nullptr;
    WindowState* ws = nullptr;
    ControlState* cs = nullptr;
};

// ---------------------------------------------------------------------------
// The loaded skin file, and the windows skinned

struct SkinStore {
    CRITICAL_SECTION lock;
    IniFile ini;
    bool loaded = false;
    std::map<std::wstring, HFONT> fonts; // by font text; kept for the process's life
    // Kept here rather than in window properties or the common controls'
    // subclass chain: under Wine each property access, and so each message
    // through such a subclass, is a round trip to the server.
    std::unordered_map<HWND, Skinned> windows;
    SkinStore() { ::InitializeCriticalSection(&lock); }
};

SkinStore& Store() {
    static SkinStore* store = new SkinStore; // windows may outlive static destruction
    return *store;
}

struct StoreLock {
    StoreLock() { ::EnterCriticalSection(&Store().lock); }
    ~StoreLock() { ::LeaveCriticalSection(&Store().lock); }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
};

bool ReadWholeFile(const wchar_t* path, std::string* bytes) {
    HANDLE h = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size = {};
    bool ok = ::GetFileSizeEx(h, &size) && size.QuadPart < (16 << 20);
    if (ok) {
        bytes->resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        ok = bytes->empty() ||
             (::ReadFile(h, &(*bytes)[0], static_cast<DWORD>(bytes->size()), &got, nullptr) &&
              got == bytes->size());
    }
    ::CloseHandle(h);
    return ok;
}

// The built-in skin is the default skin file compiled into this library.
void MergeBuiltIn(IniFile& ini) {
    HRSRC res = ::FindResourceW(g_hInstance, MAKEINTRESOURCEW(kDefaultSkinResource),
                                MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    HGLOBAL data = res ? ::LoadResource(g_hInstance, res) : nullptr;
    const char* text = data ? static_cast<const char*>(::LockResource(data)) : nullptr;
    if (text)
        ini.Merge(text, ::SizeofResource(g_hInstance, res));
}

std::wstring ExeDirectory() {
    wchar_t path[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, n);
    size_t slash = dir.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : dir.substr(0, slash + 1);
}

// On first use without SkinLoadFile: the skin file beside the executable,
// over the built-in skin.
void EnsureLoaded() {
    StoreLock lock;
    SkinStore& s = Store();
    if (s.loaded)
        return;
    s.loaded = true;
    MergeBuiltIn(s.ini);
    std::string bytes;
    if (ReadWholeFile((ExeDirectory() + kSkinFileName).c_str(), &bytes))
        s.ini.Merge(bytes.data(), bytes.size());
}

// A key of a section, falling back along Base=, the window skin of a
// control skin, and [Default].
bool LookupIn(const std::wstring& section, const wchar_t* key, std::wstring* value, int depth) {
    if (depth > 8)
        return false;
    const IniFile& ini = Store().ini;
    if (const std::wstring* v = ini.Find(section, key)) {
        *value = *v;
        return true;
    }
    if (const std::wstring* base = ini.Find(section, L"Base"))
        if (LookupIn(*base, key, value, depth + 1))
            return true;
    size_t dot = section.rfind(L'.');
    if (dot != std::wstring::npos)
        return LookupIn(section.substr(0, dot), key, value, depth + 1);
    if (::lstrcmpiW(section.c_str(), kDefaultSection) != 0)
        return LookupIn(kDefaultSection, key, value, depth + 1);
    return false;
}

bool Lookup(const std::wstring& section, const wchar_t* key, std::wstring* value) {
    EnsureLoaded();
    StoreLock lock;
    return LookupIn(section, key, value, 0);
}

std::wstring String(const std::wstring& section, const wchar_t* key,
                    const wchar_t* fallback = L"") {
    std::wstring v;
    return Lookup(section, key, &v) ? v : std::wstring(fallback);
}

COLORREF Color(const std::wstring& section, const wchar_t* key, COLORREF fallback) {
    std::wstring v;
    COLORREF c = fallback;
    if (Lookup(section, key, &v) && ParseColor(v, &c))
        return c;
    return fallback;
}

bool HasColor(const std::wstring& section, const wchar_t* key, COLORREF* color) {
    std::wstring v;
    return Lookup(section, key, &v) && ParseColor(v, color);
}

int Int(const std::wstring& section, const wchar_t* key, int fallback) {
    std::wstring v;
    return Lookup(section, key, &v) ? ParseInt(v, fallback) : fallback;
}

// A font of the skin, or null when the skin names none.
HFONT Font(const std::wstring& section, const wchar_t* key) {
    std::wstring v;
    FontSpec fontSpec;
    if (!Lookup(section, key, &v) || !ParseFont(v, &fontSpec))
        return nullptr;
    StoreLock lock;
    HFONT& font = Store().fonts[v];
    if (!font)
        font = CreateFontFromSpec(fontSpec);
    return font;
}

bool HasSection(const std::wstring& section) {
    EnsureLoaded();
    StoreLock lock;
    return Store().ini.HasSection(section);
}

// ---------------------------------------------------------------------------
// Per-window state, in the store's table of skinned windows.

struct WindowState {
    std::wstring skin;
    HBITMAP background = nullptr; // made on first use, for the size then
    HBRUSH brush = nullptr;
    SIZE size = {0, 0};
    // The push buttons take the skin when the window is first shown: a
    // hidden window's are not looked for (the soft keyboard has 50).
    bool buttonsPending = false;
    bool buttonsSkinned = false; // some push buttons may carry this skin
    // Shown and not painted since: the whole window and its children wait
    // for their painting, and a change of size needs no invalidation.
    bool paintPending = false;
};

struct ControlState {
    bool byWindow = false;    // push button skinned by its window's skin
    std::wstring windowSkin;  // that window skin
    std::wstring controlSkin; // control skin given with ApplyControlSkin
    std::wstring controlOf;   // the window skin it was looked up in
    bool hover = false;
};

LRESULT CALLBACK SkinProc(HWND, UINT, WPARAM, LPARAM);

// The states are also looked up from windows other than their own (a
// control's parent, a child looking for its underlay).
// A copy of the window's entry: all empty for a window this library never
// subclassed.
Skinned EntryOf(HWND hWnd) {
    StoreLock lock;
    auto it = Store().windows.find(hWnd);
    return it == Store().windows.end() ? Skinned() : it->second;
}

WindowState* GetWindowState(HWND hWnd) {
    return hWnd ? EntryOf(hWnd).ws : nullptr;
}

ControlState* GetControlState(HWND hWnd) {
    return hWnd ? EntryOf(hWnd).cs : nullptr;
}

LRESULT CallSuper(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WNDPROC super = EntryOf(hWnd).super;
    return super ? ::CallWindowProcW(super, hWnd, msg, wParam, lParam)
                 : ::DefWindowProcW(hWnd, msg, wParam, lParam);
}

// The window's entry, its procedure replaced by SkinProc on first use.
Skinned* Subclass(HWND hWnd) {
    {
        StoreLock lock;
        auto it = Store().windows.find(hWnd);
        if (it != Store().windows.end())
            return &it->second;
    }
    WNDPROC super = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SkinProc)));
    if (!super)
        return nullptr;
    StoreLock lock;
    Skinned& entry = Store().windows[hWnd];
    entry.super = super;
    return &entry;
}

// Gives the window its procedure back once it carries no skin, if nobody
// subclassed it after this library (then SkinProc stays and passes on).
void ReleaseIfUnused(HWND hWnd) {
    WNDPROC super = nullptr;
    {
        StoreLock lock;
        auto it = Store().windows.find(hWnd);
        if (it == Store().windows.end() || it->second.ws || it->second.cs)
            return;
        if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC)) != &SkinProc)
            return;
        super = it->second.super;
        Store().windows.erase(it);
    }
    ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(super));
}

int CopyName(const std::wstring& name, wchar_t* buffer, int cch) {
    if (buffer && cch > 0)
        ::lstrcpynW(buffer, name.c_str(), cch);
    return static_cast<int>(name.size());
}

// Whether the window itself has the visible style (read in the process; its
// parents are not asked).
bool HasVisibleStyle(HWND hWnd) {
    return (::GetWindowLongW(hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

void DropBackground(WindowState* ws) {
    if (ws->brush)
        ::DeleteObject(ws->brush);
    if (ws->background)
        ::DeleteObject(ws->background);
    ws->brush = nullptr;
    ws->background = nullptr;
    ws->size = {0, 0};
}

// The window's background as a bitmap of its client size, and a pattern
// brush of it that controls use (with their offset as brush origin) so that
// they blend into the gradient.
void EnsureBackground(HWND hWnd, WindowState* ws) {
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    SIZE size = {rc.right > 0 ? rc.right : 1, rc.bottom > 0 ? rc.bottom : 1};
    if (ws->brush && size.cx == ws->size.cx && size.cy == ws->size.cy)
        return;
    DropBackground(ws);
    // A 32-bit DIB in a memory DC: no screen DC, so no display server trip.
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = size.cx;
    bi.bmiHeader.biHeight = -size.cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    ws->background = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(mem, ws->background);
    RECT all = {0, 0, size.cx, size.cy};
    COLORREF top = Color(ws->skin, L"BackTop", ::GetSysColor(COLOR_BTNFACE));
    FillGradient(mem, all, top, Color(ws->skin, L"BackBottom", top));
    COLORREF border;
    if (HasColor(ws->skin, L"Border", &border))
        FrameSolid(mem, all, border);
    ::SelectObject(mem, old);
    ::DeleteDC(mem);
    ws->brush = ::CreatePatternBrush(ws->background);
    ws->size = size;
}

// Fills hWnd's client area in hdc with what the nearest skinned window
// beneath it shows there.
bool PaintUnderlay(HWND hWnd, HDC hdc) {
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    HWND desktop = ::GetDesktopWindow();
    for (HWND a = ::GetAncestor(hWnd, GA_PARENT); a && a != desktop;
         a = ::GetAncestor(a, GA_PARENT)) {
        WindowState* ws = GetWindowState(a);
        if (!ws)
            continue;
        EnsureBackground(a, ws);
        POINT p = {0, 0};
        ::MapWindowPoints(hWnd, a, &p, 1);
        POINT oldOrg;
        ::SetBrushOrgEx(hdc, -p.x, -p.y, &oldOrg);
        ::FillRect(hdc, &rc, ws->brush);
        ::SetBrushOrgEx(hdc, oldOrg.x, oldOrg.y, nullptr);
        return true;
    }
    ::FillRect(hdc, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
    return false;
}

bool IsClass(HWND hWnd, const wchar_t* name) {
    wchar_t cls[64] = {};
    ::GetClassNameW(hWnd, cls, 64);
    return ::lstrcmpiW(cls, name) == 0;
}

bool IsPushButton(HWND hWnd) {
    if (!IsClass(hWnd, L"Button"))
        return false;
    LONG type = ::GetWindowLongW(hWnd, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

std::wstring WindowText(HWND hWnd) {
    int n = ::GetWindowTextLengthW(hWnd);
    std::wstring text(static_cast<size_t>(n > 0 ? n : 0) + 1, L'\0');
    n = ::GetWindowTextW(hWnd, &text[0], n + 1);
    text.resize(static_cast<size_t>(n > 0 ? n : 0));
    return text;
}

std::wstring ButtonSection(const std::wstring& windowSkin, HWND hWnd) {
    return windowSkin + L".#" + std::to_wstring(::GetDlgCtrlID(hWnd));
}

// What a push button of a window skin shows: a key character of the soft
// keyboard's table, the Shift text, the Backspace arrow, or its own text.
struct ButtonLabel {
    std::wstring text;
    Glyph glyph = Glyph::None;
    bool key = false;
    bool shiftKey = false;
};

ButtonLabel LabelOf(HWND hWnd, const std::wstring& windowSkin) {
    ButtonLabel label;
    int id = ::GetDlgCtrlID(hWnd);
    std::wstring section = ButtonSection(windowSkin, hWnd);
    std::wstring keys = String(windowSkin, L"Keys");
    int first = Int(windowSkin, L"KeyFirst", 0);
    if (!keys.empty() && first > 0 && id >= first && id < first + static_cast<int>(keys.size())) {
        label.text.assign(1, keys[static_cast<size_t>(id - first)]);
        label.key = true;
        return label;
    }
    int shift = Int(windowSkin, L"KeyShift", 0);
    if (shift > 0 && id == shift) {
        label.text = String(windowSkin, L"ShiftText", L"Shift");
        label.shiftKey = true;
        return label;
    }
    int back = Int(windowSkin, L"KeyBack", 0);
    if (back > 0 && id == back) {
        label.glyph = Glyph::Backspace;
        label.key = true;
        return label;
    }
    label.text = WindowText(hWnd);
    std::wstring glyph;
    if (Lookup(section, L"Glyph", &glyph))
        label.glyph = ParseGlyph(glyph);
    return label;
}

// ---------------------------------------------------------------------------
// Painting

struct FontScope {
    FontScope(HDC hdc, HFONT font)
        : m_hdc(hdc), m_old(font ? ::SelectObject(hdc, font) : nullptr) {}
    ~FontScope() {
        if (m_old)
            ::SelectObject(m_hdc, m_old);
    }
    FontScope(const FontScope&) = delete;
    FontScope& operator=(const FontScope&) = delete;
    HDC m_hdc;
    HGDIOBJ m_old;
};

bool FocusCuesShown(HWND hWnd) {
    LRESULT ui = ::SendMessageW(hWnd, WM_QUERYUISTATE, 0, 0);
    return (ui & UISF_HIDEFOCUS) == 0;
}

void PaintPushButton(HWND hWnd, HDC hdc, const std::wstring& section, const ButtonLabel& label,
                     bool hover) {
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    PaintUnderlay(hWnd, hdc);
    LONG style = ::GetWindowLongW(hWnd, GWL_STYLE);
    LRESULT state = ::SendMessageW(hWnd, BM_GETSTATE, 0, 0);
    bool pushed = (state & BST_PUSHED) != 0;
    bool enabled = ::IsWindowEnabled(hWnd) != FALSE;
    bool isDefault = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    bool latched = label.shiftKey && Int(section, L"ShiftOn", 0) != 0;

    const wchar_t* topKey = L"ButtonTop";
    const wchar_t* bottomKey = L"ButtonBottom";
    const wchar_t* textKey = L"ButtonText";
    if (!enabled) {
        topKey = L"ButtonDisabledTop";
        bottomKey = L"ButtonDisabledBottom";
        textKey = L"ButtonDisabledText";
    } else if (pushed) {
        topKey = L"ButtonDownTop";
        bottomKey = L"ButtonDownBottom";
    } else if (latched) {
        topKey = L"ShiftOnTop";
        bottomKey = L"ShiftOnBottom";
        textKey = L"ShiftOnText";
    } else if (hover) {
        topKey = L"ButtonHoverTop";
        bottomKey = L"ButtonHoverBottom";
    }
    COLORREF top = Color(section, topKey, RGB(250, 250, 250));
    COLORREF bottom = Color(section, bottomKey, top);
    COLORREF border =
        Color(section, isDefault ? L"ButtonDefaultBorder" : L"ButtonBorder", RGB(120, 130, 140));
    COLORREF text = Color(section, textKey, RGB(0, 0, 0));
    const int dpi = WindowDpi(hWnd);
    double radius = Px(static_cast<double>(Int(section, L"ButtonRadius", 3)), dpi);
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    double gap =
        std::max(0, std::min(Px(Int(section, L"ButtonInset", 0), dpi), std::min(w, h) / 4));
    if (w > 0 && h > 0) {
        AaCanvas c(w, h);
        c.RoundRectGradient(gap, gap, w - gap, h - gap, radius, Mix(border, top, 15),
                            Mix(border, bottom, 15));
        double inset = gap + Px(isDefault ? 1.6 : 1.0, dpi);
        c.RoundRectGradient(inset, inset, w - inset, h - inset,
                            radius > inset - gap ? radius - (inset - gap) : 0, top, bottom);
        if (pushed)
            c.RoundFrame(inset, inset, w - inset, h - inset, radius, Px(1.0, dpi),
                         Mix(top, border, 25));
        c.BlendTo(hdc, 0, 0);
    }

    RECT content = rc;
    ::InflateRect(&content, -Px(3, dpi), -Px(2, dpi));
    if (pushed)
        ::OffsetRect(&content, 0, Px(1, dpi));
    COLORREF glyphColor = label.key ? text : Color(section, L"GlyphColor", text);
    if (!enabled)
        glyphColor = text;
    if (label.glyph != Glyph::None) {
        int side = std::min(content.right - content.left, content.bottom - content.top);
        if (label.key)
            side = std::min(side, Px(18, dpi));
        RECT g = content;
        if (!label.text.empty())
            g.right = g.left + side;
        else {
            g.left = content.left + (content.right - content.left - side) / 2;
            g.right = g.left + side;
        }
        g.top = content.top + (content.bottom - content.top - side) / 2;
        g.bottom = g.top + side;
        DrawGlyph(hdc, g, label.glyph, glyphColor);
        if (!label.text.empty())
            content.left = g.right + Px(3, dpi);
    }
    if (!label.text.empty()) {
        HFONT font = Font(section, label.key ? L"KeyFont" : L"ButtonFont");
        if (!font)
            font = reinterpret_cast<HFONT>(::SendMessageW(hWnd, WM_GETFONT, 0, 0));
        FontScope fs(hdc, font);
        ::SetBkMode(hdc, TRANSPARENT);
        ::SetTextColor(hdc, text);
        UINT align = DT_CENTER;
        if ((style & BS_CENTER) == BS_LEFT) {
            align = DT_LEFT;
            content.left += Px(3, dpi);
        } else if ((style & BS_CENTER) == BS_RIGHT) {
            align = DT_RIGHT;
            content.right -= Px(3, dpi);
        }
        UINT fmt = align | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
        if (label.key)
            fmt |= DT_NOPREFIX;
        ::DrawTextW(hdc, label.text.c_str(), static_cast<int>(label.text.size()), &content, fmt);
    }
    if (::GetFocus() == hWnd && FocusCuesShown(hWnd) && !label.key && !label.shiftKey) {
        RECT f = rc;
        ::InflateRect(&f, -Px(3, dpi), -Px(3, dpi));
        ::SetTextColor(hdc, RGB(0, 0, 0));
        ::SetBkColor(hdc, RGB(255, 255, 255));
        ::DrawFocusRect(hdc, &f);
    }
}

void PaintBar(HWND hWnd, HDC hdc, const std::wstring& section, bool hover) {
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    bool pushed = (::SendMessageW(hWnd, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
    COLORREF top = Color(section, hover ? L"BarHoverTop" : L"BarTop", RGB(240, 244, 248));
    COLORREF bottom = Color(section, hover ? L"BarHoverBottom" : L"BarBottom", top);
    if (pushed)
        std::swap(top, bottom);
    FillGradient(hdc, rc, top, bottom);
    const int dpi = WindowDpi(hWnd);
    COLORREF line;
    if (HasColor(section, L"BarLine", &line)) {
        const int width = Px(1, dpi);
        RECT l = {rc.left, rc.top, rc.right, rc.top + width};
        FillSolid(hdc, l, line);
        l = {rc.left, rc.bottom - width, rc.right, rc.bottom};
        FillSolid(hdc, l, Mix(line, bottom, 40));
    }
    int indent = Px(Int(section, L"Indent", 6), dpi);
    COLORREF text = Color(section, L"Text", RGB(0, 0, 0));
    if (!::IsWindowEnabled(hWnd))
        text = Mix(text, top, 55);
    std::wstring glyph;
    RECT content = {rc.left + indent, rc.top, rc.right - indent, rc.bottom};
    if (Lookup(section, L"Glyph", &glyph)) {
        int side = std::max(0, std::min<int>(rc.bottom - rc.top - Px(6, dpi), Px(14, dpi)));
        RECT g = {content.right - side, (rc.top + rc.bottom - side) / 2, content.right,
                  (rc.top + rc.bottom - side) / 2 + side};
        DrawGlyph(hdc, g, ParseGlyph(glyph), Color(section, L"GlyphColor", text));
        content.right = g.left - Px(4, dpi);
    }
    std::wstring label = WindowText(hWnd);
    HFONT font = Font(section, L"Font");
    if (!font)
        font = reinterpret_cast<HFONT>(::SendMessageW(hWnd, WM_GETFONT, 0, 0));
    FontScope fs(hdc, font);
    ::SetBkMode(hdc, TRANSPARENT);
    ::SetTextColor(hdc, text);
    LONG style = ::GetWindowLongW(hWnd, GWL_STYLE);
    UINT align = (style & BS_CENTER) == BS_CENTER || (style & BS_CENTER) == 0 ? DT_CENTER : DT_LEFT;
    if ((style & BS_CENTER) == BS_RIGHT)
        align = DT_RIGHT;
    if (pushed)
        ::OffsetRect(&content, 0, Px(1, dpi));
    ::DrawTextW(hdc, label.c_str(), static_cast<int>(label.size()), &content,
                align | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
}

void PaintText(HWND hWnd, HDC hdc, const std::wstring& section) {
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    PaintUnderlay(hWnd, hdc);
    LONG style = ::GetWindowLongW(hWnd, GWL_STYLE);
    std::wstring label = WindowText(hWnd);
    HFONT font = Font(section, L"Font");
    if (!font)
        font = reinterpret_cast<HFONT>(::SendMessageW(hWnd, WM_GETFONT, 0, 0));
    FontScope fs(hdc, font);
    ::SetBkMode(hdc, TRANSPARENT);
    COLORREF text = Color(section, L"Text", RGB(0, 0, 0));
    ::SetTextColor(hdc, ::IsWindowEnabled(hWnd) ? text : ::GetSysColor(COLOR_GRAYTEXT));
    UINT fmt = DT_LEFT;
    if (IsClass(hWnd, L"Static")) {
        LONG type = style & SS_TYPEMASK;
        if (type == SS_CENTER)
            fmt = DT_CENTER;
        else if (type == SS_RIGHT)
            fmt = DT_RIGHT;
        fmt |= (style & SS_CENTERIMAGE) ? (DT_VCENTER | DT_SINGLELINE) : DT_WORDBREAK;
        if (style & SS_NOPREFIX)
            fmt |= DT_NOPREFIX;
    } else {
        fmt = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    }
    ::DrawTextW(hdc, label.c_str(), static_cast<int>(label.size()), &rc, fmt | DT_END_ELLIPSIS);
}

void PaintPicture(HWND hWnd, HDC hdc, const std::wstring& section) {
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    PaintUnderlay(hWnd, hdc);
    Glyph glyph = ParseGlyph(String(section, L"Glyph", L"Person"));
    int side = std::min(rc.right - rc.left, rc.bottom - rc.top);
    RECT sq = {(rc.right - side) / 2, (rc.bottom - side) / 2, 0, 0};
    sq.right = sq.left + side;
    sq.bottom = sq.top + side;
    if (glyph == Glyph::Person) {
        PersonLook look;
        look.circle = Color(section, L"Circle", RGB(160, 170, 180));
        look.edge = Color(section, L"Edge", Mix(look.circle, RGB(0, 0, 0), 20));
        look.figure = Color(section, L"Figure", RGB(255, 255, 255));
        look.badge = Color(section, L"BadgeColor", look.edge);
        look.badgeKind = ParseBadge(String(section, L"Badge", L"None"));
        DrawPerson(hdc, sq, look);
    } else {
        DrawGlyph(hdc, sq, glyph, Color(section, L"GlyphColor", RGB(0, 0, 0)));
    }
}

void PaintControl(HWND hWnd, HDC hdc, ControlState* cs) {
    if (!cs->controlSkin.empty()) {
        std::wstring section = cs->controlOf + L"." + cs->controlSkin;
        std::wstring type = String(section, L"Type", L"Button");
        if (::lstrcmpiW(type.c_str(), L"Picture") == 0)
            PaintPicture(hWnd, hdc, section);
        else if (::lstrcmpiW(type.c_str(), L"Text") == 0)
            PaintText(hWnd, hdc, section);
        else if (::lstrcmpiW(type.c_str(), L"Bar") == 0)
            PaintBar(hWnd, hdc, section, cs->hover);
        else
            PaintPushButton(hWnd, hdc, section, LabelOf(hWnd, cs->controlOf), cs->hover);
        return;
    }
    PaintPushButton(hWnd, hdc, ButtonSection(cs->windowSkin, hWnd), LabelOf(hWnd, cs->windowSkin),
                    cs->hover);
}

// Draws off-screen first so that a repaint never flickers.
void PaintBuffered(HWND hWnd, HDC target, ControlState* cs) {
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    if (rc.right <= 0 || rc.bottom <= 0)
        return;
    HDC mem = ::CreateCompatibleDC(target);
    HBITMAP bmp = ::CreateCompatibleBitmap(target, rc.right, rc.bottom);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    HGDIOBJ oldFont = ::SelectObject(mem, ::GetStockObject(DEFAULT_GUI_FONT));
    PaintControl(hWnd, mem, cs);
    ::BitBlt(target, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
    ::SelectObject(mem, oldFont);
    ::SelectObject(mem, old);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
}

// A state change is painted with the next paint, not at once: a click then
// costs one painting instead of one per press, focus and release step.
void Redraw(HWND hWnd) {
    ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE);
}

void RemoveControlState(HWND hWnd) {
    ControlState* cs = nullptr;
    {
        StoreLock lock;
        auto it = Store().windows.find(hWnd);
        if (it == Store().windows.end() || !it->second.cs)
            return;
        cs = it->second.cs;
        it->second.cs = nullptr;
    }
    delete cs;
    ReleaseIfUnused(hWnd);
}

ControlState* EnsureControlState(HWND hWnd) {
    Skinned* entry = Subclass(hWnd);
    if (!entry)
        return nullptr;
    StoreLock lock;
    if (!entry->cs)
        entry->cs = new ControlState;
    return entry->cs;
}

LRESULT WindowSkinProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, WindowState* ws);

// What comes after a control skin: the window skin the same window may
// carry, then the replaced procedure.
LRESULT ControlNext(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (WindowState* ws = GetWindowState(hWnd))
        return WindowSkinProc(hWnd, msg, wParam, lParam, ws);
    return CallSuper(hWnd, msg, wParam, lParam);
}

LRESULT ControlSkinProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, ControlState* cs) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = ::BeginPaint(hWnd, &ps);
        PaintBuffered(hWnd, hdc, cs);
        ::EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        PaintBuffered(hWnd, reinterpret_cast<HDC>(wParam), cs);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE:
        if (!cs->hover) {
            cs->hover = true;
            TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE, hWnd, 0};
            ::TrackMouseEvent(&tme);
            ::InvalidateRect(hWnd, nullptr, FALSE);
        }
        break;
    case WM_MOUSELEAVE:
        cs->hover = false;
        ::InvalidateRect(hWnd, nullptr, FALSE);
        break;
    // The control's own handling of these paints directly; paint over it.
    case WM_SETTEXT:
    case WM_ENABLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CAPTURECHANGED:
    case WM_UPDATEUISTATE:
    case WM_SETFONT:
    case BM_SETSTATE:
    case BM_SETSTYLE:
    case BM_SETCHECK:
    case STM_SETIMAGE:
    case STM_SETICON: {
        LRESULT r = ControlNext(hWnd, msg, wParam, lParam);
        if (::IsWindow(hWnd) && HasVisibleStyle(hWnd) && ::IsWindowVisible(hWnd))
            Redraw(hWnd);
        return r;
    }
    default:
        break;
    }
    return ControlNext(hWnd, msg, wParam, lParam);
}

// ---------------------------------------------------------------------------
// Window skins

bool AnswersWithSkinColours(HWND hCtl) {
    // Edit-like controls keep their own white face even when read-only.
    return !IsClass(hCtl, L"Edit") && !IsClass(hCtl, L"ComboBox") && !IsClass(hCtl, L"ListBox") &&
           !IsClass(hCtl, L"SysListView32");
}

// The window's button child after `after` (the first one for null). Only
// the button children are listed: each step of a walk over all children is
// a trip to the window server under Wine.
HWND NextButtonChild(HWND hWnd, HWND after) {
    return ::FindWindowExW(hWnd, after, L"Button", nullptr);
}

// The window's push buttons take its skin.
void SkinButtons(HWND hWnd, WindowState* ws) {
    ws->buttonsPending = false;
    ws->buttonsSkinned = true;
    for (HWND c = NextButtonChild(hWnd, nullptr); c; c = NextButtonChild(hWnd, c)) {
        if (!IsPushButton(c))
            continue;
        if (ControlState* cs = EnsureControlState(c)) {
            cs->byWindow = true;
            cs->windowSkin = ws->skin;
        }
    }
}

// Before a push button's skin is asked for: its window's buttons skinned.
void SkinButtonsOfParent(HWND hButton) {
    HWND hParent = ::GetParent(hButton);
    WindowState* ws = GetWindowState(hParent);
    if (ws && ws->buttonsPending)
        SkinButtons(hParent, ws);
}

void RemoveWindowState(HWND hWnd) {
    WindowState* ws = GetWindowState(hWnd);
    if (!ws)
        return;
    if (ws->buttonsSkinned) {
        // The window skin reached only its push buttons.
        for (HWND c = NextButtonChild(hWnd, nullptr); c; c = NextButtonChild(hWnd, c)) {
            ControlState* cs = GetControlState(c);
            if (!cs || !cs->byWindow)
                continue;
            cs->byWindow = false;
            if (cs->controlSkin.empty())
                RemoveControlState(c);
        }
    }
    {
        StoreLock lock;
        auto it = Store().windows.find(hWnd);
        if (it != Store().windows.end())
            it->second.ws = nullptr;
    }
    DropBackground(ws);
    delete ws;
    ReleaseIfUnused(hWnd);
}

LRESULT WindowSkinProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, WindowState* ws) {
    switch (msg) {
    case WM_SHOWWINDOW:
        if (wParam && ws->buttonsPending)
            SkinButtons(hWnd, ws);
        ws->paintPending = wParam != 0;
        break;
    case WM_PAINT:
    case WM_PRINTCLIENT:
        // Shown without a message (WM_SETREDRAW): the buttons at the latest
        // before the window paints.
        if (ws->buttonsPending)
            SkinButtons(hWnd, ws);
        ws->paintPending = false;
        break;
    case WM_WINDOWPOSCHANGING: {
        const WINDOWPOS* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (pos && (pos->flags & SWP_SHOWWINDOW) && ws->buttonsPending)
            SkinButtons(hWnd, ws);
        break;
    }
    case WM_ERASEBKGND: {
        if (ws->buttonsPending)
            SkinButtons(hWnd, ws);
        ws->paintPending = false;
        EnsureBackground(hWnd, ws);
        HDC hdc = reinterpret_cast<HDC>(wParam);
        RECT rc;
        ::GetClientRect(hWnd, &rc);
        POINT old;
        ::SetBrushOrgEx(hdc, 0, 0, &old);
        ::FillRect(hdc, &rc, ws->brush);
        ::SetBrushOrgEx(hdc, old.x, old.y, nullptr);
        return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: {
        HWND hCtl = reinterpret_cast<HWND>(lParam);
        if (msg == WM_CTLCOLORSTATIC && !AnswersWithSkinColours(hCtl))
            break;
        EnsureBackground(hWnd, ws);
        HDC hdc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(hdc, Color(ws->skin, L"Text", ::GetSysColor(COLOR_BTNTEXT)));
        ::SetBkMode(hdc, TRANSPARENT);
        POINT p = {0, 0};
        if (hCtl && hCtl != hWnd)
            ::MapWindowPoints(hCtl, hWnd, &p, 1);
        ::SetBrushOrgEx(hdc, -p.x, -p.y, nullptr);
        return reinterpret_cast<LRESULT>(ws->brush);
    }
    case WM_SIZE: {
        LRESULT r = CallSuper(hWnd, msg, wParam, lParam);
        DropBackground(ws);
        if (HasVisibleStyle(hWnd) && !ws->paintPending)
            ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return r;
    }
    default:
        break;
    }
    return CallSuper(hWnd, msg, wParam, lParam);
}

LRESULT CALLBACK SkinProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const Skinned entry = EntryOf(hWnd);
    if (!entry.super)
        return ::DefWindowProcW(hWnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        // The window goes: its states, then its entry and procedure.
        RemoveControlState(hWnd);
        RemoveWindowState(hWnd);
        {
            StoreLock lock;
            Store().windows.erase(hWnd);
        }
        if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC)) == &SkinProc)
            ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entry.super));
        return ::CallWindowProcW(entry.super, hWnd, msg, wParam, lParam);
    }
    if (entry.cs)
        return ControlSkinProc(hWnd, msg, wParam, lParam, entry.cs);
    if (entry.ws)
        return WindowSkinProc(hWnd, msg, wParam, lParam, entry.ws);
    return ::CallWindowProcW(entry.super, hWnd, msg, wParam, lParam);
}

void RedrawAll(HWND hWnd) {
    ::RedrawWindow(hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

} // namespace

// ---------------------------------------------------------------------------
// Exports

extern "C" {

int RemoveSkin(HWND hWnd) {
    if (!hWnd || !::IsWindow(hWnd))
        return 0;
    const bool skinned = GetWindowState(hWnd) || GetControlState(hWnd);
    RemoveWindowState(hWnd);
    RemoveControlState(hWnd);
    // A hidden window is drawn whole when it shows.
    if (skinned && HasVisibleStyle(hWnd))
        RedrawAll(hWnd);
    return 1;
}

int ApplyWindowSkin(HWND hWnd, const wchar_t* lpszSkinName) {
    if (!hWnd || !::IsWindow(hWnd) || !lpszSkinName || !*lpszSkinName || !HasSection(lpszSkinName))
        return 0;
    Skinned* entry = Subclass(hWnd);
    if (!entry)
        return 0;
    WindowState* ws;
    {
        StoreLock lock;
        if (!entry->ws)
            entry->ws = new WindowState;
        ws = entry->ws;
    }
    DropBackground(ws);
    ws->skin = lpszSkinName;
    // A hidden window's buttons and look wait until it shows.
    if (HasVisibleStyle(hWnd)) {
        SkinButtons(hWnd, ws);
        RedrawAll(hWnd);
    } else {
        ws->buttonsPending = true;
    }
    return 1;
}

int ApplyControlSkin(HWND hWnd, const wchar_t* lpszControlSkin, const wchar_t* lpszWindowSkin) {
    if (!hWnd || !::IsWindow(hWnd) || !lpszControlSkin || !*lpszControlSkin || !lpszWindowSkin ||
        !*lpszWindowSkin)
        return 0;
    std::wstring section = std::wstring(lpszWindowSkin) + L"." + lpszControlSkin;
    if (!HasSection(section))
        return 0;
    ControlState* cs = EnsureControlState(hWnd);
    if (!cs)
        return 0;
    cs->controlSkin = lpszControlSkin;
    cs->controlOf = lpszWindowSkin;
    if (HasVisibleStyle(hWnd))
        ::InvalidateRect(hWnd, nullptr, TRUE);
    return 1;
}

int SkinLoadFile(const wchar_t* lpszPath) {
    std::string bytes;
    if (!lpszPath || !ReadWholeFile(lpszPath, &bytes))
        return 0;
    std::vector<HWND> windows;
    {
        StoreLock lock;
        SkinStore& s = Store();
        s.ini.Clear();
        MergeBuiltIn(s.ini);
        s.ini.Merge(bytes.data(), bytes.size());
        s.loaded = true;
        for (const auto& w : s.windows)
            if (w.second.ws)
                windows.push_back(w.first);
    }
    for (HWND w : windows) {
        if (WindowState* ws = GetWindowState(w)) {
            DropBackground(ws);
            RedrawAll(w);
        }
    }
    return 1;
}

int SkinGetWindowSkin(HWND hWnd, wchar_t* lpszName, int cchMax) {
    WindowState* ws = hWnd && ::IsWindow(hWnd) ? GetWindowState(hWnd) : nullptr;
    return CopyName(ws ? ws->skin : std::wstring(), lpszName, cchMax);
}

int SkinGetControlSkin(HWND hWnd, wchar_t* lpszName, int cchMax) {
    ControlState* cs = hWnd && ::IsWindow(hWnd) ? GetControlState(hWnd) : nullptr;
    return CopyName(cs ? cs->controlSkin : std::wstring(), lpszName, cchMax);
}

int SkinGetString(const wchar_t* lpszSection, const wchar_t* lpszKey, wchar_t* lpszValue,
                  int cchMax) {
    if (lpszValue && cchMax > 0)
        lpszValue[0] = L'\0';
    std::wstring v;
    if (!lpszSection || !lpszKey || !Lookup(lpszSection, lpszKey, &v))
        return -1;
    if (lpszValue && cchMax > 0)
        ::lstrcpynW(lpszValue, v.c_str(), cchMax);
    return static_cast<int>(v.size());
}

int SkinDrawBackground(HWND hWnd, HDC hDC) {
    if (!hWnd || !hDC || !::IsWindow(hWnd))
        return 0;
    return PaintUnderlay(hWnd, hDC) ? 1 : 0;
}

int SkinGetDrawnText(HWND hWnd, wchar_t* lpszText, int cchMax) {
    if (lpszText && cchMax > 0)
        lpszText[0] = L'\0';
    if (hWnd)
        SkinButtonsOfParent(hWnd);
    ControlState* cs = hWnd ? GetControlState(hWnd) : nullptr;
    if (!cs)
        return -1;
    std::wstring text;
    if (!cs->controlSkin.empty()) {
        std::wstring type = String(cs->controlOf + L"." + cs->controlSkin, L"Type", L"Button");
        if (::lstrcmpiW(type.c_str(), L"Picture") != 0)
            text = WindowText(hWnd);
    } else {
        text = LabelOf(hWnd, cs->windowSkin).text;
    }
    if (lpszText && cchMax > 0)
        ::lstrcpynW(lpszText, text.c_str(), cchMax);
    return static_cast<int>(text.size());
}

HFONT SkinGetTextFont(HWND hWnd) {
    if (hWnd)
        SkinButtonsOfParent(hWnd);
    ControlState* cs = hWnd ? GetControlState(hWnd) : nullptr;
    if (!cs)
        return nullptr;
    HFONT font = nullptr;
    if (!cs->controlSkin.empty()) {
        std::wstring section = cs->controlOf + L"." + cs->controlSkin;
        std::wstring type = String(section, L"Type", L"Button");
        if (::lstrcmpiW(type.c_str(), L"Picture") == 0)
            return nullptr;
        bool button =
            ::lstrcmpiW(type.c_str(), L"Text") != 0 && ::lstrcmpiW(type.c_str(), L"Bar") != 0;
        font = Font(section, !button                            ? L"Font"
                             : LabelOf(hWnd, cs->controlOf).key ? L"KeyFont"
                                                                : L"ButtonFont");
    } else {
        font = Font(ButtonSection(cs->windowSkin, hWnd),
                    LabelOf(hWnd, cs->windowSkin).key ? L"KeyFont" : L"ButtonFont");
    }
    return font ? font : reinterpret_cast<HFONT>(::SendMessageW(hWnd, WM_GETFONT, 0, 0));
}

} // extern "C"

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_hInstance = hInstance;
        ::DisableThreadLibraryCalls(hInstance);
    }
    return TRUE;
}
