// The panel's language switch through the real plug-in (ISIGNDESK slot
// 13): every text fetched anew and put on its control, tool tips included,
// the missed-call unit back at 0, the status text by the main window's
// registration state, and the advanced panel switched without losing its
// selections.
#include "PanelFixture.h"

#include <map>
#include <string>

namespace {

// Every text the switch sets, by where it shows.
struct Texts {
    std::wstring clearTip, keyboardTip, unit, status, account, password, autoLogin, login, logout,
        advanced;
    bool operator==(const Texts& o) const {
        return clearTip == o.clearTip && keyboardTip == o.keyboardTip && unit == o.unit &&
               status == o.status && account == o.account && password == o.password &&
               autoLogin == o.autoLogin && login == o.login && logout == o.logout &&
               advanced == o.advanced;
    }
};

std::ostream& operator<<(std::ostream& os, const Texts& t) {
    return os << "{tips " << Narrow(t.clearTip) << " | " << Narrow(t.keyboardTip) << "; unit "
              << Narrow(t.unit) << "; status " << Narrow(t.status) << "; " << Narrow(t.account)
              << " | " << Narrow(t.password) << " | " << Narrow(t.autoLogin) << " | "
              << Narrow(t.login) << " | " << Narrow(t.logout) << " | " << Narrow(t.advanced) << "}";
}

class LanguageTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        ASSERT_NE(nullptr, CreatePanel());
    }

    Texts Read() const {
        Texts t;
        t.clearTip = ToolTipText(Item(hPanel, IDC_LOGIN_BTN_CLEAR));
        t.keyboardTip = ToolTipText(Item(hPanel, IDC_LOGIN_BTN_KEYBOARD));
        t.unit = UnitText(hPanel, IDC_LOGIN_UNIT_NOANSWER);
        t.status = Text(hPanel, IDC_LOGIN_STATUS);
        t.account = Text(hPanel, IDC_LOGIN_LBL_ACCOUNT);
        t.password = Text(hPanel, IDC_LOGIN_LBL_PASSWORD);
        t.autoLogin = Text(hPanel, IDC_LOGIN_AUTOLOGIN);
        t.login = Text(hPanel, IDC_LOGIN_BTN_LOGIN);
        t.logout = Text(hPanel, IDC_LOGIN_BTN_LOGOUT);
        t.advanced = Text(hPanel, IDC_LOGIN_BTN_ADVANCED);
        return t;
    }

    // What the switch must show in language `prefix`.
    static Texts Expected(const std::wstring& p, bool registered) {
        Texts t;
        t.clearTip = p + L"Login:IDS_LOG_CLEAR";
        t.keyboardTip = p + L"Login:IDS_LOG_KEYBORD";
        t.unit = p + L"Login:IDS_LOG_PHONE 0";
        t.status = p + (registered ? L"Kite:IDS_UC_LOG_SUCESS" : L"Kite:IDS_UC_NOT_LOG");
        t.account = p + L"Login:IDS_LOG_ACCOUNT";
        t.password = p + L"Login:IDS_LOG_PASSWORD";
        t.autoLogin = p + L"Login:IDS_LOG_AUTO";
        t.login = p + L"Login:IDS_LOG_TITLE";
        t.logout = p + L"Login:IDS_LOG_LOGOUT";
        t.advanced = p + L"Login:IDS_LOG_ADVSETTING";
        return t;
    }

    void Switch(const std::wstring& prefix) {
        siblings.lang.prefix = prefix;
        Panel()->OnChangeLanguage();
        Pump();
    }

    // Puts a recognisable text on every control the switch sets, so that
    // a control the switch leaves alone shows it.
    void MarkAll() {
        for (int id :
             {IDC_LOGIN_STATUS, IDC_LOGIN_LBL_ACCOUNT, IDC_LOGIN_LBL_PASSWORD, IDC_LOGIN_AUTOLOGIN,
              IDC_LOGIN_BTN_LOGIN, IDC_LOGIN_BTN_LOGOUT, IDC_LOGIN_BTN_ADVANCED})
            SetText(hPanel, id, L"old");
    }

    HWND Advanced() const {
        HWND h = nullptr;
        while ((h = FindWindowExW(hPanel, h, L"#32770", nullptr)) != nullptr)
            if (GetDlgItem(h, IDC_ADVANCED_SERVER))
                return h;
        return nullptr;
    }
};

TEST_F(LanguageTest, EveryTextFollowsTheNewLanguage) {
    TraceLogTail log;
    log.Mark();
    Switch(L"EN/");
    EXPECT_EQ(Expected(L"EN/", false), Read());
    EXPECT_EQ(1, CountTraceLines(log.Lines(), "CLoginDlg::OnChangeLanguage", "Enter"));
    EXPECT_EQ(1, CountTraceLines(log.Lines(), "CLoginDlg::OnChangeLanguage", "Leave"));

    Switch(L"ZH/");
    EXPECT_EQ(Expected(L"ZH/", false), Read());
}

TEST_F(LanguageTest, TextsAreAskedForInOrderRightBeforeUse) {
    siblings.lang.asked.clear();
    Switch(L"EN/");
    std::vector<std::pair<std::wstring, std::wstring>> panelKeys;
    for (const auto& k : siblings.lang.asked) {
        panelKeys.push_back(k);
        if (k.second == L"IDS_LOG_ADVSETTING")
            break; // the advanced panel's own texts follow
    }
    const std::vector<std::pair<std::wstring, std::wstring>> expected = {
        {L"Login", L"IDS_LOG_CLEAR"},   {L"Login", L"IDS_LOG_KEYBORD"},
        {L"Login", L"IDS_LOG_PHONE"},   {L"Kite", L"IDS_UC_NOT_LOG"},
        {L"Login", L"IDS_LOG_ACCOUNT"}, {L"Login", L"IDS_LOG_PASSWORD"},
        {L"Login", L"IDS_LOG_AUTO"},    {L"Login", L"IDS_LOG_TITLE"},
        {L"Login", L"IDS_LOG_LOGOUT"},  {L"Login", L"IDS_LOG_ADVSETTING"}};
    EXPECT_EQ(expected, panelKeys);
    EXPECT_GT(siblings.lang.asked.size(), expected.size()) << "the advanced panel switches too";
}

TEST_F(LanguageTest, TwoSwitchesInARowEqualOne) {
    Switch(L"EN/");
    Texts once = Read();
    int tools = ToolCount(Item(hPanel, IDC_LOGIN_BTN_CLEAR));
    Switch(L"EN/");
    EXPECT_EQ(once, Read());
    EXPECT_EQ(tools, ToolCount(Item(hPanel, IDC_LOGIN_BTN_CLEAR)))
        << "re-registering a tool tip replaces it";
    EXPECT_EQ(2, tools);
}

TEST_F(LanguageTest, ASwitchAfterAMissedCallCountShowsZeroAgain) {
    CallRecord unsettled = {};
    unsettled.kind = 2;
    unsettled.settled = 0;
    siblings.callRecord.missed = {unsettled, unsettled, unsettled};
    Panel()->UpdateUnsettledMsg(2);
    Pump();
    ASSERT_EQ(L"Login:IDS_LOG_PHONE 3", UnitText(hPanel, IDC_LOGIN_UNIT_NOANSWER));

    Switch(L"EN/");
    EXPECT_EQ(L"EN/Login:IDS_LOG_PHONE 0", UnitText(hPanel, IDC_LOGIN_UNIT_NOANSWER));
}

TEST_F(LanguageTest, TheStatusTextFollowsTheMainWindowsRegistrationState) {
    siblings.main.registered = 1;
    Switch(L"EN/");
    EXPECT_EQ(L"EN/Kite:IDS_UC_LOG_SUCESS", Text(hPanel, IDC_LOGIN_STATUS));
    siblings.main.registered = 0;
    Switch(L"ZH/");
    EXPECT_EQ(L"ZH/Kite:IDS_UC_NOT_LOG", Text(hPanel, IDC_LOGIN_STATUS));
    siblings.main.registered = 7;
    Switch(L"FR/");
    EXPECT_EQ(L"FR/Kite:IDS_UC_LOG_SUCESS", Text(hPanel, IDC_LOGIN_STATUS));
}

TEST_F(LanguageTest, WithoutTheMainWindowTheStatusTextStays) {
    SetText(hPanel, IDC_LOGIN_STATUS, L"status before");
    siblings.Remove(&siblings.main);
    Switch(L"EN/");
    Texts expected = Expected(L"EN/", false);
    expected.status = L"status before";
    EXPECT_EQ(expected, Read());
}

TEST_F(LanguageTest, AMissingClearButtonEndsTheSwitchThere) {
    Switch(L"EN/");
    MarkAll();
    DestroyWindow(Item(hPanel, IDC_LOGIN_BTN_CLEAR));
    Pump();
    siblings.lang.asked.clear();
    TraceLogTail log;
    log.Mark();
    Switch(L"ZH/");

    Texts t = Read();
    EXPECT_EQ(L"EN/Login:IDS_LOG_KEYBORD", t.keyboardTip);
    EXPECT_EQ(L"EN/Login:IDS_LOG_PHONE 0", t.unit);
    for (const std::wstring* s :
         {&t.status, &t.account, &t.password, &t.autoLogin, &t.login, &t.logout, &t.advanced})
        EXPECT_EQ(L"old", *s);
    ASSERT_EQ(1u, siblings.lang.asked.size()) << "only the first text was fetched";
    EXPECT_EQ(L"IDS_LOG_CLEAR", siblings.lang.asked[0].second);
    EXPECT_EQ(1, CountTraceLines(log.Lines(), "CLoginDlg::OnChangeLanguage", "Leave"));
}

TEST_F(LanguageTest, AMissingKeyboardButtonEndsTheSwitchAfterTheClearButtonsTip) {
    Switch(L"EN/");
    MarkAll();
    HWND hClear = Item(hPanel, IDC_LOGIN_BTN_CLEAR);
    DestroyWindow(Item(hPanel, IDC_LOGIN_BTN_KEYBOARD));
    Pump();
    Switch(L"ZH/");
    EXPECT_EQ(L"ZH/Login:IDS_LOG_CLEAR", ToolTipText(hClear));
    EXPECT_EQ(L"EN/Login:IDS_LOG_PHONE 0", UnitText(hPanel, IDC_LOGIN_UNIT_NOANSWER));
    EXPECT_EQ(L"old", Text(hPanel, IDC_LOGIN_STATUS));
    EXPECT_EQ(L"old", Text(hPanel, IDC_LOGIN_BTN_ADVANCED));
}

TEST_F(LanguageTest, WithoutTheLanguageServiceTheTextsBecomeEmpty) {
    Switch(L"EN/");
    siblings.Remove(&siblings.lang);
    Panel()->OnChangeLanguage();
    Pump();
    Texts expected;
    expected.unit = L" 0";
    EXPECT_EQ(expected, Read());
}

TEST_F(LanguageTest, ToolTipsShowTheNewTextOnTheButtons) {
    HWND hClear = Item(hPanel, IDC_LOGIN_BTN_CLEAR);
    HWND hKeyboard = Item(hPanel, IDC_LOGIN_BTN_KEYBOARD);
    EXPECT_EQ(L"Login:IDS_LOG_CLEAR", ToolTipText(hClear)) << "as registered at start-up";
    siblings.lang.texts[{L"Login", L"IDS_LOG_CLEAR"}] = L"Clear the account";
    siblings.lang.texts[{L"Login", L"IDS_LOG_KEYBORD"}] = L"Soft keyboard";
    Switch(L"");
    EXPECT_EQ(L"Clear the account", ToolTipText(hClear));
    EXPECT_EQ(L"Soft keyboard", ToolTipText(hKeyboard));
    EXPECT_EQ(ToolTipOf(hClear), ToolTipOf(hKeyboard)) << "one tool-tip control for both";
}

TEST_F(LanguageTest, TheAdvancedPanelSwitchesAndKeepsItsSelections) {
    HWND hAdvanced = Advanced();
    ASSERT_NE(nullptr, hAdvanced);
    HWND hServer = GetDlgItem(hAdvanced, IDC_ADVANCED_SERVER);
    HWND hProxy = GetDlgItem(hAdvanced, IDC_ADVANCED_PROXYTYPE);
    ASSERT_NE(nullptr, hServer);
    ASSERT_NE(nullptr, hProxy);
    ASSERT_EQ(2, static_cast<int>(SendMessageW(hServer, CB_GETCOUNT, 0, 0)));
    SendMessageW(hServer, CB_SETCURSEL, 1, 0);
    SendMessageW(hProxy, CB_SETCURSEL, 2, 0);

    Switch(L"EN/");
    EXPECT_EQ(1, ComboSel(hServer));
    EXPECT_EQ(2, ComboSel(hProxy));
    auto items = ComboItems(hProxy);
    ASSERT_EQ(3u, items.size());
    EXPECT_EQ(L"EN/Login:IDS_LOG_NETTYPE_IEPROXY", items[2]);
    EXPECT_EQ(L"EN/Login:IDC_BUTTON_SERVERSETTING",
              Text(hAdvanced, IDC_ADVANCED_BTN_SERVERSETTING));

    Switch(L"ZH/");
    EXPECT_EQ(1, ComboSel(hServer));
    EXPECT_EQ(2, ComboSel(hProxy));
    EXPECT_EQ(L"ZH/Login:IDS_LOG_NETTYPE_IEPROXY", ComboItems(hProxy)[2]);
}

TEST_F(LanguageTest, LoggedInPanelSwitchesItsHiddenControlsToo) {
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"alice");
    SetText(hPanel, IDC_LOGIN_PASSWORD, L"secret");
    Command(hPanel, IDC_LOGIN_BTN_LOGIN);
    Panel()->OnRegResponse(0);
    Pump();
    siblings.main.registered = 1;
    Switch(L"EN/");
    EXPECT_EQ(Expected(L"EN/", true), Read());
}

} // namespace
