// The panel's language switch: every text fetched anew, in order, tool tips
// included; the unit back at 0; the status by the main window; the advanced panel.
#include "PanelTest.h"

#include <commctrl.h>

#include <tuple>
#include <utility>

namespace {

using Entries = std::vector<std::wstring>;

// What this thread's tool tips show for a control of the panel; "<none>" without a tool.
std::wstring ToolTipText(HWND hPanel, int id) {
    wchar_t text[256] = {};
    TTTOOLINFOW ti = {};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.uFlags = TTF_IDISHWND;
    ti.hwnd = hPanel;
    ti.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(hPanel, id));
    for (HWND h = nullptr; ti.uId && (h = FindWindowExW(nullptr, h, TOOLTIPS_CLASSW, nullptr));)
        if (GetWindowThreadProcessId(h, nullptr) == GetCurrentThreadId() &&
            SendMessageW(h, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti))) {
            ti.lpszText = text;
            SendMessageW(h, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&ti));
            return text;
        }
    return L"<none>";
}

// Every tool of the panel's tool-tip control (the tool-tip window of this
// thread with tools on the panel's controls): the control's count, and the
// window and text of each tool it enumerates.
struct PanelTools {
    int count = 0;
    std::vector<std::pair<HWND, std::wstring>> tools;
};
PanelTools ReadPanelTools(HWND hPanel) {
    for (HWND h = nullptr; (h = FindWindowExW(nullptr, h, TOOLTIPS_CLASSW, nullptr));) {
        if (GetWindowThreadProcessId(h, nullptr) != GetCurrentThreadId())
            continue;
        PanelTools result;
        bool panels = false;
        result.count = static_cast<int>(SendMessageW(h, TTM_GETTOOLCOUNT, 0, 0));
        for (int i = 0; i < result.count; ++i) {
            wchar_t text[256] = {};
            TTTOOLINFOW ti = {};
            ti.cbSize = TTTOOLINFOW_V2_SIZE;
            ti.lpszText = text;
            if (SendMessageW(h, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&ti))) {
                result.tools.push_back({reinterpret_cast<HWND>(ti.uId), text});
                panels = panels || ti.hwnd == hPanel;
            }
        }
        if (panels)
            return result;
    }
    return PanelTools();
}

// The switch's texts in its order: two tool tips, unit, status text, six captions.
enum { kClearTip, kKeyboardTip, kUnit, kStatus, kTexts = 10 };
const int kCaptions[] = {IDC_LOGIN_LBL_ACCOUNT, IDC_LOGIN_LBL_PASSWORD, IDC_LOGIN_AUTOLOGIN,
                         IDC_LOGIN_BTN_LOGIN,   IDC_LOGIN_BTN_LOGOUT,   IDC_LOGIN_BTN_ADVANCED};
const wchar_t* const kKeys[] = {L"IDS_LOG_CLEAR",     L"IDS_LOG_KEYBORD", L"IDS_LOG_PHONE",
                                L"IDS_UC_NOT_LOG",    L"IDS_LOG_ACCOUNT", L"IDS_LOG_PASSWORD",
                                L"IDS_LOG_AUTO",      L"IDS_LOG_TITLE",   L"IDS_LOG_LOGOUT",
                                L"IDS_LOG_ADVSETTING"};

class LanguageTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        ASSERT_NE(nullptr, CreatePanel());
    }
    Entries Read() const {
        Entries t = {ToolTipText(hPanel, IDC_LOGIN_BTN_CLEAR),
                     ToolTipText(hPanel, IDC_LOGIN_BTN_KEYBOARD), UnitText(hPanel),
                     Text(hPanel, IDC_LOGIN_STATUS)};
        for (int id : kCaptions)
            t.push_back(Text(hPanel, id));
        return t;
    }
    // The texts in the language of prefix p, as shown while not registered.
    static Entries Expected(const std::wstring& p) {
        Entries t;
        for (const wchar_t* key : kKeys)
            t.push_back(p + (t.size() == kStatus ? L"Kite:" : L"Login:") + key);
        t[kUnit] += L" 0";
        return t;
    }
    void Switch(const std::wstring& prefix) {
        siblings.lang.prefix = prefix;
        Panel()->OnChangeLanguage();
        Pump();
    }
};

// Two switches in a row equal one; the unit counts 0 again; without the
// language service every text is empty.
TEST_F(LanguageTest, EveryTextIsFetchedInOrderAndTheUnitCountsZeroAgain) {
    EXPECT_EQ(L"Login:IDS_LOG_CLEAR", Read()[kClearTip]) << "as initialised";
    EXPECT_EQ(L"Login:IDS_LOG_KEYBORD", Read()[kKeyboardTip]);
    HWND hAdvanced = FindWindowExW(hPanel, nullptr, L"#32770", nullptr);
    HWND hServer = GetDlgItem(hAdvanced, IDC_ADVANCED_SERVER);
    HWND hProxy = GetDlgItem(hAdvanced, IDC_ADVANCED_PROXYTYPE);
    SendMessageW(hServer, CB_SETCURSEL, 1, 0);
    SendMessageW(hProxy, CB_SETCURSEL, 2, 0);
    siblings.callRecord.missed.assign(3, CallRecord{});
    Panel()->UpdateUnsettledMsg(2);
    ASSERT_EQ(L"Login:IDS_LOG_PHONE 3", UnitText(hPanel));
    siblings.lang.asked.clear();
    Switch(L"EN/");
    EXPECT_EQ(Expected(L"EN/"), Read());
    std::vector<std::pair<std::wstring, std::wstring>> keys;
    for (const wchar_t* key : kKeys)
        keys.push_back({keys.size() == kStatus ? L"Kite" : L"Login", key});
    const auto& asked = siblings.lang.asked;
    ASSERT_GT(asked.size(), keys.size()) << "the advanced panel's texts follow";
    EXPECT_EQ(keys, decltype(keys)(asked.begin(), asked.begin() + keys.size()));
    Switch(L"EN/");
    EXPECT_EQ(Expected(L"EN/"), Read());
    // The status text follows the main window's answer, not the panel's state.
    siblings.main.registered = 7;
    Switch(L"ZH/");
    Entries expected = Expected(L"ZH/");
    expected[kStatus] = L"ZH/Kite:IDS_UC_LOG_SUCESS";
    EXPECT_EQ(expected, Read());
    // The advanced panel is switched too and keeps its selections.
    EXPECT_EQ(1, ComboSel(hServer));
    EXPECT_EQ(2, ComboSel(hProxy));
    EXPECT_EQ(L"ZH/Login:IDS_LOG_NETTYPE_IEPROXY", ComboItems(hProxy).at(2));
    EXPECT_EQ(L"ZH/Login:IDC_BUTTON_SERVERSETTING",
              Text(hAdvanced, IDC_ADVANCED_BTN_SERVERSETTING));
    siblings.Remove(&siblings.lang);
    Switch(L"FR/");
    expected.assign(kTexts, L"");
    expected[kUnit] = L" 0";
    EXPECT_EQ(expected, Read());
}

// The tool-tip control adds a tool on every registration and shows the
// first one's text: each switch replaces the button's tool, so after any
// number of switches each button has exactly one, with the current text.
TEST_F(LanguageTest, EachToolTipButtonKeepsOneToolWithTheCurrentText) {
    const HWND hClear = Item(hPanel, IDC_LOGIN_BTN_CLEAR);
    const HWND hKeyboard = Item(hPanel, IDC_LOGIN_BTN_KEYBOARD);
    // Before any switch, then after each of two.
    const wchar_t* const prefixes[] = {L"", L"EN/", L"ZH/"};
    for (const wchar_t* prefix : prefixes) {
        SCOPED_TRACE(prefix);
        if (*prefix)
            Switch(prefix);
        const std::wstring p = prefix;
        const PanelTools read = ReadPanelTools(hPanel);
        EXPECT_EQ(2, read.count);
        const std::vector<std::pair<HWND, std::wstring>> expected = {
            {hClear, p + L"Login:IDS_LOG_CLEAR"}, {hKeyboard, p + L"Login:IDS_LOG_KEYBORD"}};
        EXPECT_EQ(expected, read.tools);
        EXPECT_EQ(p + L"Login:IDS_LOG_CLEAR", ToolTipText(hPanel, IDC_LOGIN_BTN_CLEAR));
        EXPECT_EQ(p + L"Login:IDS_LOG_KEYBORD", ToolTipText(hPanel, IDC_LOGIN_BTN_KEYBOARD));
    }
}

// A missing keyboard button, then a missing clear button, ends the switch at
// that step: only the texts before it are fetched, the later ones stay.
TEST_F(LanguageTest, AMissingButtonEndsTheSwitchThere) {
    Switch(L"EN/");
    SetText(hPanel, IDC_LOGIN_STATUS, L"old");
    for (int id : kCaptions)
        SetText(hPanel, id, L"old");
    // The button destroyed, the next language, the clear button's tip, the texts fetched.
    const std::tuple<int, const wchar_t*, const wchar_t*, size_t> cases[] = {
        {IDC_LOGIN_BTN_KEYBOARD, L"ZH/", L"ZH/Login:IDS_LOG_CLEAR", 2},
        {IDC_LOGIN_BTN_CLEAR, L"FR/", L"<none>", 1}};
    for (const auto& [id, prefix, clearTip, fetched] : cases) {
        SCOPED_TRACE(id);
        DestroyWindow(Item(hPanel, id));
        siblings.lang.asked.clear();
        Switch(prefix);
        Entries expected(kTexts, L"old");
        expected[kClearTip] = clearTip;
        expected[kKeyboardTip] = L"<none>";
        expected[kUnit] = L"EN/Login:IDS_LOG_PHONE 0";
        EXPECT_EQ(expected, Read());
        EXPECT_EQ(fetched, siblings.lang.asked.size());
    }
}

} // namespace
