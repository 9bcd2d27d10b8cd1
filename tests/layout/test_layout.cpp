// The login panel and its dialogs at the display scaling the run was started
// at (tests/wine/with_dpi.sh: 96, 120, 144 and 192 DPI), in each language the
// client ships, as a user sees them: the panel in each of its states, the
// advanced drawer, the soft keyboard, the registration list and its entry
// dialog, the server address dialog and the lock dialog. In each, every
// visible control lies inside its parent's client area, no two visible
// sibling controls overlap (a group box and what it holds aside), and every
// text fits its control, measured with the font it is drawn with. A failure
// names the dialog, the control ids and the DPI.
#include "PanelTest.h"

#include "LangService.h"
#include "TextUtil.h"

#include <SkinMagicU.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace {

// As the client does (its manifest): the windows of the test are laid out at
// the system DPI, not stretched from 96.
[[maybe_unused]] const bool g_dpiAware = SetProcessDPIAware() != FALSE;

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// A length in pixels at 96 DPI, at the screen's DPI.
int Px(int pixels) {
    return MulDiv(pixels, ScreenDpi(), 96);
}

std::string Narrow(const std::wstring& text) {
    return kite::ToUtf8(text);
}

std::string Show(const RECT& r) {
    std::ostringstream out;
    out << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
    return out.str();
}

std::wstring ClassOf(HWND hWnd) {
    wchar_t name[64] = {};
    GetClassNameW(hWnd, name, 64);
    return name;
}

LONG StyleOf(HWND hWnd) {
    return GetWindowLongW(hWnd, GWL_STYLE);
}

bool IsButtonOfType(HWND hWnd, LONG type) {
    return ClassOf(hWnd) == L"Button" && (StyleOf(hWnd) & BS_TYPEMASK) == type;
}

bool IsGroupBox(HWND hWnd) {
    return IsButtonOfType(hWnd, BS_GROUPBOX);
}

bool Contains(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// The text a control shows: what the skin draws on it, else its own text.
std::wstring ShownText(HWND hWnd) {
    wchar_t drawn[256] = {};
    if (SkinGetDrawnText(hWnd, drawn, 256) >= 0)
        return drawn;
    return Text(hWnd);
}

// The font that text is drawn with: the skin's, else the control's own.
HFONT ShownFont(HWND hWnd) {
    if (HFONT font = SkinGetTextFont(hWnd))
        return font;
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(hWnd, WM_GETFONT, 0, 0));
    return font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

// The size text takes in a font; width limits wrapped text (DT_WORDBREAK).
SIZE Measure(HWND hWnd, const std::wstring& text, HFONT font, UINT flags, int width = 0) {
    HDC hdc = GetDC(hWnd);
    HGDIOBJ old = SelectObject(hdc, font);
    RECT r = {0, 0, width, 0};
    DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &r, flags | DT_CALCRECT);
    SelectObject(hdc, old);
    ReleaseDC(hWnd, hdc);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// The checks of one dialog; each problem is a test failure that names the
// dialog, the controls and the DPI.
class Layout {
public:
    explicit Layout(std::string dialog) : m_dialog(std::move(dialog)) {}

    // The visible children of hParent, and the texts on them.
    void CheckChildren(HWND hParent) {
        ASSERT_TRUE(IsWindow(hParent)) << Where();
        RECT client;
        GetClientRect(hParent, &client);
        std::vector<HWND> shown;
        for (HWND h = GetWindow(hParent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
            if (StyleOf(h) & WS_VISIBLE)
                shown.push_back(h);
        EXPECT_FALSE(shown.empty()) << Where() << ": nothing visible";
        for (size_t i = 0; i < shown.size(); ++i) {
            const RECT r = RectInParent(shown[i]);
            EXPECT_TRUE(Contains(client, r))
                << Where() << ": control " << Id(shown[i]) << " at " << Show(r)
                << " lies outside its parent's client area " << Show(client);
            for (size_t j = i + 1; j < shown.size(); ++j)
                CheckApart(shown[i], shown[j]);
            CheckText(shown[i]);
        }
    }

    // A top-level window (the soft keyboard) lies fully on its screen.
    void CheckOnScreen(HWND hWnd) {
        RECT r;
        GetWindowRect(hWnd, &r);
        MONITORINFO mi = {};
        mi.cbSize = sizeof(mi);
        GetMonitorInfoW(MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST), &mi);
        EXPECT_TRUE(Contains(mi.rcMonitor, r)) << Where() << ": the window at " << Show(r)
                                               << " leaves the screen " << Show(mi.rcMonitor);
    }

    std::string Where() const { return m_dialog + " at " + std::to_string(ScreenDpi()) + " DPI"; }

private:
    static std::string Id(HWND hWnd) { return std::to_string(GetDlgCtrlID(hWnd)); }

    void CheckApart(HWND a, HWND b) {
        const RECT ra = RectInParent(a), rb = RectInParent(b);
        RECT overlap;
        if (!IntersectRect(&overlap, &ra, &rb))
            return;
        if ((IsGroupBox(a) && Contains(ra, rb)) || (IsGroupBox(b) && Contains(rb, ra)))
            return;
        ADD_FAILURE() << Where() << ": controls " << Id(a) << " at " << Show(ra) << " and " << Id(b)
                      << " at " << Show(rb) << " overlap";
    }

    void CheckText(HWND hWnd) {
        const std::wstring text = ShownText(hWnd);
        if (text.empty())
            return;
        RECT client;
        GetClientRect(hWnd, &client);
        const int width = client.right, height = client.bottom;
        const HFONT font = ShownFont(hWnd);
        const std::wstring cls = ClassOf(hWnd);
        const LONG style = StyleOf(hWnd);
        SIZE need = {0, 0};
        if (cls == L"Static") {
            const LONG type = style & SS_TYPEMASK;
            if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_SIMPLE &&
                type != SS_LEFTNOWORDWRAP)
                return; // a picture
            const UINT prefix = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
            if ((style & SS_CENTERIMAGE) || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP) {
                need = Measure(hWnd, text, font, DT_SINGLELINE | prefix);
            } else {
                // Wrapped: every word on the width, every line in the height.
                need = Measure(hWnd, text, font, DT_WORDBREAK | DT_EXPANDTABS | prefix, width);
            }
        } else if (cls == L"Button") {
            const LONG type = style & BS_TYPEMASK;
            SIZE textSize = Measure(hWnd, text, font, DT_SINGLELINE);
            if (type == BS_GROUPBOX) {
                need = {textSize.cx + 2 * Px(8), textSize.cy};
            } else if ((type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
                        type == BS_AUTO3STATE || type == BS_RADIOBUTTON ||
                        type == BS_AUTORADIOBUTTON) &&
                       !(style & BS_PUSHLIKE)) {
                const int box = std::max(GetSystemMetrics(SM_CXMENUCHECK), Px(13));
                need = {box + Px(4) + textSize.cx, textSize.cy};
            } else {
                // A push button: the face keeps a margin around its text.
                need = {textSize.cx + 2 * Px(3), textSize.cy};
            }
        } else {
            return; // edits, lists and combo boxes hold input, not captions
        }
        EXPECT_TRUE(need.cx <= width && need.cy <= height)
            << Where() << ": the text \"" << Narrow(text) << "\" of control " << Id(hWnd)
            << " needs " << need.cx << " x " << need.cy << " pixels, the control has " << width
            << " x " << height;
    }

    std::string m_dialog;
};

struct Language {
    const char* name;
    const wchar_t* code;
};
const Language kLanguages[] = {{"en", L"en"}, {"zh_CN", L"zh-CN"}};

class LayoutTest : public PanelTest, public ::testing::WithParamInterface<Language> {
protected:
    void SetUp() override {
        const char* expected = std::getenv("SIGNDESK_TEST_DPI");
        ASSERT_TRUE(expected) << "run through tests/wine/with_dpi.sh, which names the DPI";
        ASSERT_EQ(std::atoi(expected), ScreenDpi()) << "the Wine prefix's display scaling";
        PanelTest::SetUp();
        ASSERT_TRUE(lang.Load(GetParam().code)) << Narrow(lang.FileOf(GetParam().code));
        siblings.Remove(&siblings.lang);
        lang.Register();
        siblings.settings.accounts = {L"8001", L"8002"};
        siblings.login.regUsers = {Entry(L"8001"), Entry(L"8002")};
        ShippedAdvertising(true);
    }
    void TearDown() override {
        ShippedAdvertising(false);
        lang.Unregister();
        PanelTest::TearDown();
    }

    // The advertising lines the client ships, in kite.ini beside the
    // executable while the panel reads them; the file is put back as it was
    // afterwards (the reference client beside the tests has one of its own).
    void ShippedAdvertising(bool on) {
        const std::wstring ini = ExeDir() + L"kite.ini";
        const std::wstring kept = ExeDir() + L"kite.ini.layout";
        if (!on) {
            if (m_hadIni)
                MoveFileExW(kept.c_str(), ini.c_str(), MOVEFILE_REPLACE_EXISTING);
            else
                DeleteFileW(ini.c_str());
            return;
        }
        m_hadIni = CopyFileW(ini.c_str(), kept.c_str(), FALSE) != FALSE;
        const std::wstring shipped = ExeDir() + L"defaults\\kite.ini";
        wchar_t line[260];
        for (const wchar_t* key : {L"BillText1", L"BillText2"}) {
            GetPrivateProfileStringW(L"KiteLogIn", key, L"", line, 260, shipped.c_str());
            ASSERT_NE(L'\0', line[0]) << "the shipped kite.ini has " << Narrow(key);
            WritePrivateProfileStringW(L"KiteLogIn", key, line, ini.c_str());
        }
    }

    static RegInfo Entry(const wchar_t* account) {
        RegInfo info;
        info.account = account;
        info.password = L"secret";
        info.address = L"127.0.0.1";
        info.port = L"5070";
        info.imsDomain = L"kite.example";
        return info;
    }

    std::string Name(const std::string& what) const { return what + " [" + GetParam().name + "]"; }
    // The same with the DPI, for the failures of checks of one value.
    std::string At(const std::string& what) const {
        return Name(what) + " at " + std::to_string(ScreenDpi()) + " DPI";
    }

    HWND Drawer() const {
        for (HWND h = nullptr; (h = FindWindowExW(hPanel, h, L"#32770", nullptr));)
            if (GetDlgItem(h, IDC_ADVANCED_BTN_SERVERSETTING))
                return h;
        return nullptr;
    }
    HWND Keyboard() const {
        for (HWND h = nullptr; (h = FindWindowExW(nullptr, h, L"#32770", nullptr));)
            if (GetDlgItem(h, IDC_KEY_FOCUS))
                return h;
        return nullptr;
    }

    // Runs check in the next modal dialog opened by open, then cancels it.
    void InDialog(const std::function<void()>& open, const std::function<void(HWND)>& check) {
        bool seen = false;
        DialogDriver::OnNextDialog([&](HWND hDlg) {
            seen = true;
            check(hDlg);
            PostMessageW(hDlg, WM_COMMAND, IDCANCEL, 0);
        });
        open();
        EXPECT_TRUE(PumpUntil([&] { return seen; })) << "the dialog did not open";
        Pump();
    }

    kite::LangService lang{ExeDir() + L"lang"};
    bool m_hadIni = false;
};

const auto LanguageName = [](const auto& info) { return std::string(info.param.name); };

// Logged out, logging in and logged in; the panel lies in the host's window.
TEST_P(LayoutTest, PanelInEachState) {
    ASSERT_NE(nullptr, CreatePanel());
    Layout(Name("login panel, logged out")).CheckChildren(hPanel);
    Layout(Name("host window")).CheckChildren(GetParent(hPanel));

    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"8001");
    SetText(hPanel, IDC_LOGIN_PASSWORD, L"1234");
    Command(hPanel, IDC_LOGIN_BTN_LOGIN);
    Layout(Name("login panel, logging in")).CheckChildren(hPanel);

    Panel()->OnRegResponse(0);
    Pump();
    siblings.main.registered = 1;
    Layout(Name("login panel, logged in")).CheckChildren(hPanel);
    // The fixed places are their 96-DPI pixels at this DPI.
    const struct {
        int id;
        RECT at96;
    } kPlaces[] = {{IDC_LOGIN_MARK1, {3, 228, 20, 240}},    {IDC_LOGIN_MARK2, {3, 256, 20, 268}},
                   {IDC_LOGIN_BILL1, {32, 230, 320, 255}},  {IDC_LOGIN_BILL2, {32, 255, 320, 278}},
                   {IDC_LOGIN_PRODUCT, {4, 280, 327, 327}}, {IDC_LOGIN_PANNEL, {3, 190, 323, 215}}};
    for (const auto& place : kPlaces) {
        const RECT want = {Px(place.at96.left), Px(place.at96.top), Px(place.at96.right),
                           Px(place.at96.bottom)};
        EXPECT_EQ(Show(want), Show(RectInParent(Item(hPanel, place.id))))
            << At("login panel") << ", control " << place.id;
    }
    // The strip's missed-call unit: the panel hands it its 96-DPI width and
    // indent, the strip lays it out at this DPI, inside the strip.
    auto* pStrip = dynamic_cast<CSkinControlPannel*>(
        CWnd::FromHandlePermanent(Item(hPanel, IDC_LOGIN_PANNEL)));
    ASSERT_NE(nullptr, pStrip);
    const CSkinControlUnit* pUnit = pStrip->FindUnit(IDC_LOGIN_UNIT_NOANSWER);
    ASSERT_NE(nullptr, pUnit);
    RECT strip;
    GetClientRect(Item(hPanel, IDC_LOGIN_PANNEL), &strip);
    const RECT unit = pUnit->m_rcUnit, text = pUnit->m_rcText;
    EXPECT_GE(unit.right - unit.left, Px(96)) << At("missed-call unit") << " " << Show(unit);
    EXPECT_TRUE(Contains(strip, unit)) << At("missed-call unit") << " " << Show(unit);
    EXPECT_EQ(Px(5), text.left - unit.left) << At("missed-call unit") << ": the indent";
}

// The advanced drawer folded out: the panel around it and the drawer itself.
TEST_P(LayoutTest, AdvancedDrawer) {
    ASSERT_NE(nullptr, CreatePanel());
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_ADVANCED));
    HWND hDrawer = Drawer();
    ASSERT_TRUE(hDrawer && IsWindowVisible(hDrawer));
    Layout(Name("login panel, drawer open")).CheckChildren(hPanel);
    Layout(Name("advanced drawer")).CheckChildren(hDrawer);
    RECT panel;
    GetClientRect(hPanel, &panel);
    EXPECT_EQ(Show({0, panel.bottom - Px(200), panel.right, panel.bottom}),
              Show(RectInParent(hDrawer)))
        << At("advanced drawer");
    EXPECT_EQ(Show({0, panel.bottom - Px(220), panel.right, panel.bottom - Px(200)}),
              Show(RectInParent(Item(hPanel, IDC_LOGIN_BTN_ADVANCED))))
        << At("login panel") << ", control " << IDC_LOGIN_BTN_ADVANCED;
}

// The soft keyboard beside the password field: its size, its keys (with the
// characters the skin draws on them) and the screen.
TEST_P(LayoutTest, SoftKeyboard) {
    ASSERT_NE(nullptr, CreatePanel());
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_KEYBOARD));
    HWND hKeyboard = Keyboard();
    ASSERT_TRUE(hKeyboard && IsWindowVisible(hKeyboard));
    Layout keyboard(Name("soft keyboard"));
    keyboard.CheckChildren(hKeyboard);
    keyboard.CheckOnScreen(hKeyboard);
    RECT r;
    GetWindowRect(hKeyboard, &r);
    EXPECT_EQ(Px(318), r.right - r.left) << keyboard.Where();
    EXPECT_EQ(Px(103), r.bottom - r.top) << keyboard.Where();
    ASSERT_TRUE(Click(hKeyboard, IDC_KEY_SHIFT));
    Layout(Name("soft keyboard, shift")).CheckChildren(hKeyboard);
}

// Multi-user mode: the panel with the login button moved up, the
// registration list with two entries and the entry dialog opened from it.
TEST_P(LayoutTest, RegistrationListAndEntry) {
    siblings.login.multiUser = 1;
    ASSERT_NE(nullptr, CreatePanel());
    Layout(Name("login panel, multi-user")).CheckChildren(hPanel);
    InDialog([&] { EXPECT_TRUE(Click(hPanel, IDC_LOGIN_BTN_ADVANCED)); },
             [&](HWND hList) {
                 Layout(Name("registration list")).CheckChildren(hList);
                 // The five columns fit the list.
                 HWND hView = Item(hList, IDC_REGUSERS_LIST);
                 RECT view;
                 GetClientRect(hView, &view);
                 int columns = 0;
                 for (int i = 0; i < 5; ++i)
                     columns += static_cast<int>(SendMessageW(hView, LVM_GETCOLUMNWIDTH, i, 0));
                 EXPECT_LE(columns, view.right) << At("registration list") << ", control "
                                                << IDC_REGUSERS_LIST << ": the columns";
                 InDialog([&] { Click(hList, IDC_REGUSERS_BTN_ADD); },
                          [&](HWND hEntry) {
                              Layout(Name("registration entry")).CheckChildren(hEntry);
                          });
             });
}

TEST_P(LayoutTest, ServerAddressDialog) {
    ASSERT_NE(nullptr, CreatePanel());
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_ADVANCED));
    HWND hDrawer = Drawer();
    ASSERT_NE(nullptr, hDrawer);
    InDialog([&] { EXPECT_TRUE(Click(hDrawer, IDC_ADVANCED_BTN_SERVERSETTING)); },
             [&](HWND hDlg) { Layout(Name("server address")).CheckChildren(hDlg); });
}

TEST_P(LayoutTest, LockDialog) {
    ASSERT_NE(nullptr, CreatePanel());
    InDialog([&] { PressKey(Item(hPanel, IDC_LOGIN_ACCOUNT), 'P', true); },
             [&](HWND hDlg) { Layout(Name("account lock")).CheckChildren(hDlg); });
}

INSTANTIATE_TEST_SUITE_P(Languages, LayoutTest, ::testing::ValuesIn(kLanguages), LanguageName);

} // namespace
