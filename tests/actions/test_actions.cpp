// The login panel's smaller actions, driven through the real plug-in as a
// user and the host drive them: keyboard shortcuts, the function
// configuration, the clear button, the missed-call counter, the record
// pages, the advertising links and the initial focus.
#include "PanelTest.h"

#include <SkinMagicExU.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>
#include <vector>

namespace {

std::wstring Lang(const wchar_t* section, const wchar_t* key) {
    return std::wstring(section) + L":" + key;
}

std::wstring PhoneText(int count) {
    return Lang(L"Login", L"IDS_LOG_PHONE") + L" " + std::to_wstring(count);
}

HWND AccountEdit(HWND hPanel) {
    HWND hCombo = Item(hPanel, IDC_LOGIN_ACCOUNT);
    HWND hEdit = FindWindowExW(hCombo, nullptr, L"Edit", nullptr);
    return hEdit ? hEdit : hCombo;
}

CallRecord Missed(uint32_t id, int32_t settled) {
    CallRecord r = {};
    r.id = id;
    r.kind = 2;
    r.startTime = 1000 + id;
    r.duration = 0;
    r.peer = 7000 + id;
    r.settled = settled;
    return r;
}

// Enter/Leave lines of the trace log as (function, enter).
std::vector<std::pair<std::string, bool>> Scopes(const TraceLogTail& tail) {
    static const std::regex re(R"(\]\[[^:\]]+:\d+ ([^\]]+)\(\)\]\[(Enter|Leave)\]$)");
    std::vector<std::pair<std::string, bool>> scopes;
    for (const std::string& line : tail.Lines()) {
        std::smatch m;
        if (std::regex_search(line, m, re))
            scopes.push_back({m[1], m[2] == "Enter"});
    }
    return scopes;
}

int ScopeCount(const TraceLogTail& tail, const std::string& function, bool enter) {
    int n = 0;
    for (const auto& s : Scopes(tail))
        if (s.first == function && s.second == enter)
            ++n;
    return n;
}

// What the panel shows at one moment, as a sibling would see it when called.
struct PanelView {
    int listCount = -1;
    std::wstring account;
    std::wstring password;
    bool autoLogin = false;
};

PanelView Look(HWND hPanel) {
    PanelView v;
    if (!hPanel)
        return v;
    v.listCount =
        static_cast<int>(SendMessageW(Item(hPanel, IDC_LOGIN_ACCOUNT), CB_GETCOUNT, 0, 0));
    v.account = Text(hPanel, IDC_LOGIN_ACCOUNT);
    v.password = Text(hPanel, IDC_LOGIN_PASSWORD);
    v.autoLogin = Checked(hPanel, IDC_LOGIN_AUTOLOGIN);
    return v;
}

// Siblings that look at the panel when they are called.
struct WatchingSettings : FakeSettings {
    HWND hPanel = nullptr;
    std::vector<std::pair<std::wstring, PanelView>> seen;
    void SetAutoLogin(const CString& flag) override {
        seen.push_back({L"SetAutoLogin", Look(hPanel)});
        FakeSettings::SetAutoLogin(flag);
    }
    void SetSavedPassword(const CString& password) override {
        seen.push_back({L"SetSavedPassword", Look(hPanel)});
        FakeSettings::SetSavedPassword(password);
    }
};

struct WatchingLogin : FakeLogin {
    HWND hPanel = nullptr;
    std::vector<PanelView> seen;
    void OnUserCleared() override {
        seen.push_back(Look(hPanel));
        FakeLogin::OnUserCleared();
    }
};

// The main window reports registered from the moment it is told so.
struct HostMain : FakeMain {
    void SetLoginState(int state) override {
        FakeMain::SetLoginState(state);
        registered = state;
    }
};

class PanelActions : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        siblings.Remove(&siblings.main);
        UIRegisterComponent(IID_IUIMain, &main);
        main.adminPassword = L"Adm1n";
        siblings.settings.accounts = {L"8001", L"8002"};
    }
    void TearDown() override {
        UIUnregisterComponent(&main);
        PanelTest::TearDown();
    }

    HWND Open() {
        hPanel = host.CreatePanel();
        EXPECT_NE(nullptr, hPanel);
        return hPanel;
    }

    // A stored configuration with every flag "0" (no account fixed).
    CustomizeSet& Customize() {
        if (siblings.settings.customizeNull) {
            CustomizeSet set;
            for (CString* f : {&set.fixedAccountOn, &set.disableSystemSettings, &set.hideCallPage,
                               &set.hideRemovingUserInfo, &set.refuseLogout, &set.refuseExit,
                               &set.disableCallRecordChange, &set.disableVolumeChange,
                               &set.refuseAutoLogin, &set.disableVolumeControl})
                *f = L"0";
            siblings.settings.customize = set;
            siblings.settings.customizeNull = false;
        }
        return siblings.settings.customize;
    }

    // The login button: the panel goes to state 2.
    void StartLogin() {
        ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGIN));
        ASSERT_EQ(1, Calls().Count(L"Login.StartLogin("));
        ASSERT_FALSE(Enabled(hPanel, IDC_LOGIN_BTN_LOGIN)) << "registering";
    }

    // Login and a successful registration result: the panel goes to state 0.
    void Register() {
        StartLogin();
        host.Panel()->OnRegResponse(0);
        Pump();
        ASSERT_NE(0, main.registered);
        ASSERT_TRUE(Visible(hPanel, IDC_LOGIN_PANNEL)) << "registered";
    }

    HostMain main;
};

// ---------------------------------------------------------------------------
// Keyboard shortcuts

TEST_F(PanelActions, CtrlPAndCtrlF1OpenTheLockDialogWithTheAccountBoxTextAndApplyOnlyAfterOk) {
    Customize();
    ASSERT_NE(nullptr, Open());
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"alice");

    std::wstring shown;
    DialogDriver::OnNextDialog([&](HWND hDlg) {
        shown = Text(hDlg, IDC_LOCK_ACCOUNT);
        SetText(hDlg, IDC_LOCK_PASSWORD, L"Adm1n");
        Click(hDlg, IDCANCEL);
    });
    Calls().Clear();
    PressKey(AccountEdit(hPanel), 'P', true);
    EXPECT_EQ(0, DialogDriver::Pending());
    EXPECT_EQ(L"alice", shown);
    EXPECT_EQ(0, Calls().Count(L"Main.ApplyCustomizeSet()"));
    EXPECT_EQ(0, Calls().Count(L"Settings.SetCustomizeSet("));

    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"8002");
    DialogDriver::OnNextDialog([&](HWND hDlg) {
        shown = Text(hDlg, IDC_LOCK_ACCOUNT);
        Click(hDlg, IDC_LOCK_REFUSE_EXIT);
        SetText(hDlg, IDC_LOCK_PASSWORD, L"Adm1n");
        Click(hDlg, IDOK);
    });
    Calls().Clear();
    PressKey(Item(hPanel, IDC_LOGIN_PASSWORD), VK_F1, true);
    EXPECT_EQ(0, DialogDriver::Pending());
    EXPECT_EQ(L"8002", shown);
    int stored = Calls().IndexOf(L"Settings.SetCustomizeSet(,,0,0,0,0,0,1,0,0,0,0)");
    int applied = Calls().IndexOf(L"Main.ApplyCustomizeSet()");
    EXPECT_GE(stored, 0);
    EXPECT_GT(applied, stored);
    EXPECT_EQ(1, Calls().Count(L"Main.ApplyCustomizeSet()"));
    EXPECT_EQ(2u, DialogDriver::Opened().size());
}

TEST_F(PanelActions, PAndF1WithoutCtrlOpenNothing) {
    ASSERT_NE(nullptr, Open());
    PressKey(AccountEdit(hPanel), 'P', false);
    PressKey(AccountEdit(hPanel), VK_F1, false);
    EXPECT_TRUE(DialogDriver::Opened().empty());
}

TEST_F(PanelActions, EnterLogsInWhileNotRegistered) {
    ASSERT_NE(nullptr, Open());
    SetText(hPanel, IDC_LOGIN_PASSWORD, L"pw1");
    TraceLogTail tail;
    tail.Mark();
    Calls().Clear();
    SetFocus(Item(hPanel, IDC_LOGIN_PASSWORD));
    PressKey(Item(hPanel, IDC_LOGIN_PASSWORD), VK_RETURN);
    ASSERT_EQ(1, Calls().Count(L"Login.StartLogin(8001,pw1,"));
    EXPECT_LT(Calls().IndexOf(L"Main.IsRegistered()"),
              Calls().IndexOf(Calls().Matching(L"Login.StartLogin(")[0]));
    EXPECT_EQ(0, Calls().Count(L"Login.StopLogin()"));
    EXPECT_EQ(1, ScopeCount(tail, "CLoginDlg::OnBnClickedButtonLogin", true));
    EXPECT_EQ(0, ScopeCount(tail, "CLoginDlg::OnOK", true)) << "handled before the dialog's own";
}

TEST_F(PanelActions, EnterLogsOutWhileRegistered) {
    ASSERT_NE(nullptr, Open());
    Register();
    Calls().Clear();
    PressKey(hPanel, VK_RETURN);
    EXPECT_EQ(0, Calls().Count(L"Login.StartLogin("));
    EXPECT_EQ(1, Calls().Count(L"Login.StopLogin()"));
    ASSERT_EQ(1u, MessageBoxes::Seen().size());
    EXPECT_EQ(Lang(L"Kite", L"IDS_UC_INFO_LOGOUT"), MessageBoxes::Seen()[0].text);
}

TEST_F(PanelActions, EnterWithoutTheMainWindowReachesTheDialogsOk) {
    ASSERT_NE(nullptr, Open());
    siblings.Remove(&main);
    SetText(hPanel, IDC_LOGIN_PASSWORD, L"pw2");
    TraceLogTail tail;
    tail.Mark();
    Calls().Clear();
    SetFocus(Item(hPanel, IDC_LOGIN_PASSWORD));
    PressKey(Item(hPanel, IDC_LOGIN_PASSWORD), VK_RETURN);
    EXPECT_EQ(1, ScopeCount(tail, "CLoginDlg::OnOK", true));
    EXPECT_EQ(1, Calls().Count(L"Login.StartLogin(8001,pw2,"));
}

// ---------------------------------------------------------------------------
// Function configuration

TEST_F(PanelActions, AFixedAccountDisablesTheBoxAndTheClearButtonEvenWhileRegistering) {
    ASSERT_NE(nullptr, Open());
    StartLogin();
    // Whatever enabled them meanwhile, the fixed account wins.
    EnableWindow(Item(hPanel, IDC_LOGIN_ACCOUNT), TRUE);
    EnableWindow(Item(hPanel, IDC_LOGIN_BTN_CLEAR), TRUE);
    Customize().fixedAccountOn = L"1";
    Customize().fixedAccount = L"7007";
    host.Panel()->OnCustomizeSet();
    EXPECT_FALSE(Enabled(hPanel, IDC_LOGIN_ACCOUNT));
    EXPECT_FALSE(Enabled(hPanel, IDC_LOGIN_BTN_CLEAR));
    EXPECT_EQ(L"7007", Text(hPanel, IDC_LOGIN_ACCOUNT));
}

TEST_F(PanelActions, AFixedAccountIsShownAndLockedFromTheStart) {
    Customize().fixedAccountOn = L"1";
    Customize().fixedAccount = L"7007";
    ASSERT_NE(nullptr, Open());
    EXPECT_EQ(L"7007", Text(hPanel, IDC_LOGIN_ACCOUNT));
    EXPECT_FALSE(Enabled(hPanel, IDC_LOGIN_ACCOUNT));
    EXPECT_FALSE(Enabled(hPanel, IDC_LOGIN_BTN_CLEAR));
    EXPECT_TRUE(Enabled(hPanel, IDC_LOGIN_BTN_LOGIN));

    // Unfixed while logged out: both come back at once.
    Customize().fixedAccountOn = L"0";
    host.Panel()->OnCustomizeSet();
    EXPECT_TRUE(Enabled(hPanel, IDC_LOGIN_ACCOUNT));
    EXPECT_TRUE(Enabled(hPanel, IDC_LOGIN_BTN_CLEAR));
    EXPECT_EQ(L"7007", Text(hPanel, IDC_LOGIN_ACCOUNT)) << "the text stays";
}

TEST_F(PanelActions, NoFixedAccountLeavesTheBoxAndClearButtonAsTheyAreWhileRegistering) {
    Customize();
    ASSERT_NE(nullptr, Open());
    StartLogin();
    host.Panel()->OnCustomizeSet();
    EXPECT_FALSE(Enabled(hPanel, IDC_LOGIN_ACCOUNT));
    EXPECT_FALSE(Enabled(hPanel, IDC_LOGIN_BTN_CLEAR));
    EnableWindow(Item(hPanel, IDC_LOGIN_ACCOUNT), TRUE);
    host.Panel()->OnCustomizeSet();
    EXPECT_TRUE(Enabled(hPanel, IDC_LOGIN_ACCOUNT));
    EXPECT_FALSE(Enabled(hPanel, IDC_LOGIN_BTN_CLEAR));
    EXPECT_EQ(L"8001", Text(hPanel, IDC_LOGIN_ACCOUNT));
}

TEST_F(PanelActions, WithoutSettingsOrRecordTheConfigurationChangesNothing) {
    ASSERT_NE(nullptr, Open());
    EnableWindow(Item(hPanel, IDC_LOGIN_ACCOUNT), FALSE);
    ShowWindow(Item(hPanel, IDC_LOGIN_BTN_LOGOUT), SW_SHOW);
    host.Panel()->OnCustomizeSet(); // no record
    EXPECT_FALSE(Enabled(hPanel, IDC_LOGIN_ACCOUNT));
    EXPECT_TRUE(Visible(hPanel, IDC_LOGIN_BTN_LOGOUT));
    Customize();
    siblings.Remove(&siblings.settings);
    host.Panel()->OnCustomizeSet(); // no settings sibling
    EXPECT_FALSE(Enabled(hPanel, IDC_LOGIN_ACCOUNT));
    EXPECT_TRUE(Visible(hPanel, IDC_LOGIN_BTN_LOGOUT));
    siblings.Add(&siblings.settings);
    host.Panel()->OnCustomizeSet(); // with both: applied
    EXPECT_TRUE(Enabled(hPanel, IDC_LOGIN_ACCOUNT));
}

TEST_F(PanelActions, LogoutNotRefusedWhileNotRegisteredLeavesTheLogoutButtonHidden) {
    Customize();
    ASSERT_NE(nullptr, Open());
    EXPECT_FALSE(Visible(hPanel, IDC_LOGIN_BTN_LOGOUT));
    host.Panel()->OnCustomizeSet();
    EXPECT_FALSE(Visible(hPanel, IDC_LOGIN_BTN_LOGOUT));
}

TEST_F(PanelActions, RefusedLogoutHidesTheButtonThroughRegistrationAndComesBackWhenAllowed) {
    Customize().refuseLogout = L"1";
    ASSERT_NE(nullptr, Open());
    Register();
    EXPECT_FALSE(Visible(hPanel, IDC_LOGIN_BTN_LOGOUT));
    Customize().refuseLogout = L"0";
    host.Panel()->OnCustomizeSet();
    EXPECT_TRUE(Visible(hPanel, IDC_LOGIN_BTN_LOGOUT)) << "registered and allowed";
    Customize().refuseLogout = L"1";
    host.Panel()->OnCustomizeSet();
    EXPECT_FALSE(Visible(hPanel, IDC_LOGIN_BTN_LOGOUT));
    // A repeated registration result keeps it hidden.
    main.registered = 0;
    host.Panel()->OnRegResponse(0);
    EXPECT_FALSE(Visible(hPanel, IDC_LOGIN_BTN_LOGOUT));
}

TEST_F(PanelActions, RefusedAutoLoginHidesTheCheckBoxAndEveryStateKeepsItHidden) {
    Customize().refuseAutoLogin = L"1";
    ASSERT_NE(nullptr, Open());
    EXPECT_FALSE(Visible(hPanel, IDC_LOGIN_AUTOLOGIN));
    StartLogin();
    EXPECT_FALSE(Visible(hPanel, IDC_LOGIN_AUTOLOGIN));
    host.Panel()->OnRegResponse(500);
    EXPECT_TRUE(Visible(hPanel, IDC_LOGIN_BTN_LOGIN)) << "logged out again";
    EXPECT_FALSE(Visible(hPanel, IDC_LOGIN_AUTOLOGIN));
    Calls().Clear();
    Register();
    EXPECT_FALSE(Visible(hPanel, IDC_LOGIN_AUTOLOGIN));
    main.registered = 0;
    host.Panel()->OnDeRegResponse(0);
    EXPECT_TRUE(Visible(hPanel, IDC_LOGIN_BTN_LOGIN));
    EXPECT_FALSE(Visible(hPanel, IDC_LOGIN_AUTOLOGIN));

    Customize().refuseAutoLogin = L"0";
    host.Panel()->OnCustomizeSet();
    EXPECT_TRUE(Visible(hPanel, IDC_LOGIN_AUTOLOGIN)) << "allowed and not registered";
}

TEST_F(PanelActions, AllowedAutoLoginIsNotShownWhileRegistered) {
    Customize();
    ASSERT_NE(nullptr, Open());
    Register();
    host.Panel()->OnCustomizeSet();
    EXPECT_FALSE(Visible(hPanel, IDC_LOGIN_AUTOLOGIN));
}

TEST_F(PanelActions, MultiUserModeHidesTheAutoLoginCheckBox) {
    Customize();
    siblings.login.multiUser = 1;
    ASSERT_NE(nullptr, Open());
    EXPECT_FALSE(Visible(hPanel, IDC_LOGIN_AUTOLOGIN));
    host.Panel()->OnCustomizeSet();
    EXPECT_FALSE(Visible(hPanel, IDC_LOGIN_AUTOLOGIN));
}

TEST_F(PanelActions, HidingTheRemovalOfUserInfoTakesTheCheckBoxOffTheLogoutQuestion) {
    Customize();
    ASSERT_NE(nullptr, Open());
    Register();
    MessageBoxes::Answer(IDCANCEL);
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGOUT));
    Customize().hideRemovingUserInfo = L"1";
    host.Panel()->OnCustomizeSet();
    MessageBoxes::Answer(IDCANCEL);
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGOUT));
    ASSERT_EQ(2u, MessageBoxes::Seen().size());
    EXPECT_TRUE(MessageBoxes::Seen()[0].hasCheck);
    EXPECT_FALSE(MessageBoxes::Seen()[1].hasCheck);
}

// ---------------------------------------------------------------------------
// Missed calls

TEST_F(PanelActions, ARegistrationWithUnsettledCallsShowsTheirCountAndNotTheCallPage) {
    siblings.callRecord.missed = {Missed(1, 0), Missed(2, 1), Missed(3, 0), Missed(4, 7)};
    ASSERT_NE(nullptr, Open());
    EXPECT_EQ(PhoneText(0), UnitText(hPanel));
    Register();
    EXPECT_EQ(PhoneText(2), UnitText(hPanel));
    EXPECT_EQ(1, Calls().Count(L"CallRecord.GetCallRecords(2)"));
    EXPECT_EQ(0, Calls().Count(L"Main.ShowCallPage()"));
}

TEST_F(PanelActions, ARegistrationWithoutUnsettledCallsShowsZeroAndTheCallPage) {
    siblings.callRecord.missed = {Missed(1, 1), Missed(2, 1), Missed(3, 2), Missed(4, -1)};
    ASSERT_NE(nullptr, Open());
    host.Panel()->UpdateUnsettledMsg(2); // still 0 before
    siblings.callRecord.missed.push_back(Missed(5, 0));
    host.Panel()->UpdateUnsettledMsg(2);
    ASSERT_EQ(PhoneText(1), UnitText(hPanel));
    siblings.callRecord.missed.pop_back();
    Register();
    EXPECT_EQ(PhoneText(0), UnitText(hPanel)) << "a count of 0 is shown too";
    EXPECT_EQ(1, Calls().Count(L"Main.ShowCallPage()"));
}

TEST_F(PanelActions, WithoutACountTheUnitIsLeftAndTheCallPageShown) {
    siblings.callRecord.missed = {Missed(1, 0), Missed(2, 0), Missed(3, 0)};
    ASSERT_NE(nullptr, Open());
    host.Panel()->UpdateUnsettledMsg(2);
    ASSERT_EQ(PhoneText(3), UnitText(hPanel));
    siblings.callRecord.missed = {Missed(1, 0)};

    siblings.callRecord.getResult = 0; // the sibling answers 0
    Register();
    EXPECT_EQ(PhoneText(3), UnitText(hPanel));
    EXPECT_EQ(1, Calls().Count(L"Main.ShowCallPage()"));

    siblings.callRecord.getResult = 1; // no list
    siblings.callRecord.listNull = true;
    host.Panel()->UpdateUnsettledMsg(0);
    EXPECT_EQ(PhoneText(3), UnitText(hPanel));

    siblings.callRecord.listNull = false; // no sibling at all
    siblings.Remove(&siblings.callRecord);
    host.Panel()->UpdateUnsettledMsg(2);
    EXPECT_EQ(PhoneText(3), UnitText(hPanel));
    siblings.Add(&siblings.callRecord);
    host.Panel()->UpdateUnsettledMsg(2);
    EXPECT_EQ(PhoneText(1), UnitText(hPanel));
}

TEST_F(PanelActions, OnlyKindsZeroAndTwoRecountAndAlwaysTheMissedCalls) {
    siblings.callRecord.missed = {Missed(1, 0), Missed(2, 0)};
    ASSERT_NE(nullptr, Open());
    Calls().Clear();
    host.Panel()->UpdateUnsettledMsg(1);
    host.Panel()->UpdateUnsettledMsg(3);
    host.Panel()->UpdateUnsettledMsg(-1);
    EXPECT_EQ(PhoneText(0), UnitText(hPanel));
    EXPECT_EQ(0, Calls().Count(L"CallRecord."));

    host.Panel()->UpdateUnsettledMsg(0);
    EXPECT_EQ(PhoneText(2), UnitText(hPanel));
    siblings.callRecord.missed.push_back(Missed(3, 0));
    host.Panel()->UpdateUnsettledMsg(1);
    EXPECT_EQ(PhoneText(2), UnitText(hPanel)) << "kind 1 leaves the unit";
    host.Panel()->UpdateUnsettledMsg(2);
    EXPECT_EQ(PhoneText(3), UnitText(hPanel));
    EXPECT_EQ(std::vector<std::wstring>(
                  {L"CallRecord.GetCallRecords(2)", L"CallRecord.GetCallRecords(2)"}),
              Calls().Matching(L"CallRecord."));
}

TEST_F(PanelActions, TheCountFollowsTheLanguageText) {
    siblings.lang.texts[{L"Login", L"IDS_LOG_PHONE"}] = L"Missed calls";
    siblings.callRecord.missed = {Missed(1, 0), Missed(2, 0),  Missed(3, 0),  Missed(4, 0),
                                  Missed(5, 0), Missed(6, 0),  Missed(7, 0),  Missed(8, 0),
                                  Missed(9, 0), Missed(10, 0), Missed(11, 0), Missed(12, 1)};
    ASSERT_NE(nullptr, Open());
    host.Panel()->UpdateUnsettledMsg(0);
    EXPECT_EQ(L"Missed calls 11", UnitText(hPanel));
}

// ---------------------------------------------------------------------------
// Record pages

TEST_F(PanelActions, TheMissedCallUnitOpensTheMissedCallsAndCommand2425TheMessages) {
    ASSERT_NE(nullptr, Open());
    Register();
    HWND hStrip = Item(hPanel, IDC_LOGIN_PANNEL);
    auto* pStrip = dynamic_cast<CSkinControlPannel*>(CWnd::FromHandlePermanent(hStrip));
    ASSERT_NE(nullptr, pStrip);
    const CSkinControlUnit* pUnit = pStrip->FindUnit(IDC_LOGIN_UNIT_NOANSWER);
    ASSERT_NE(nullptr, pUnit);
    RECT rc = pUnit->m_rcUnit;
    LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    Calls().Clear();
    SendMessageW(hStrip, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(hStrip, WM_LBUTTONUP, 0, at);
    Pump();
    EXPECT_EQ(std::vector<std::wstring>({L"Main.ShowRecordPage(2)"}), Calls().Entries());

    Calls().Clear();
    Command(hPanel, IDC_LOGIN_UNIT_MESSAGE, 0);
    EXPECT_EQ(std::vector<std::wstring>({L"Main.ShowRecordPage(3)"}), Calls().Entries());

    siblings.Remove(&main);
    Command(hPanel, IDC_LOGIN_UNIT_NOANSWER, 0);
    Command(hPanel, IDC_LOGIN_UNIT_MESSAGE, 0);
    EXPECT_EQ(1u, Calls().Entries().size());
}

// ---------------------------------------------------------------------------
// Advertising links

class PanelLinks : public PanelActions {
protected:
    void SetUp() override {
        PanelActions::SetUp();
        m_log = ExeDir() + L"bill_recorder.log";
        DeleteFileW(m_log.c_str());
    }
    void TearDown() override {
        DeleteFileW(m_log.c_str());
        PanelActions::TearDown();
    }
    // Every start of the recorder: (command line, show command).
    std::vector<std::pair<std::wstring, int>> Starts() const {
        std::vector<std::pair<std::wstring, int>> starts;
        FILE* f = _wfopen(m_log.c_str(), L"rb");
        if (!f)
            return starts;
        std::string text;
        char buf[512];
        size_t n;
        while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
            text.append(buf, n);
        fclose(f);
        std::vector<std::wstring> lines;
        size_t pos = 0;
        while (pos < text.size()) {
            size_t end = text.find('\n', pos);
            if (end == std::string::npos)
                end = text.size();
            std::string line = text.substr(pos, end - pos);
            int len = MultiByteToWideChar(CP_UTF8, 0, line.c_str(), -1, nullptr, 0);
            std::wstring w(static_cast<size_t>(len > 0 ? len : 1), L'\0');
            MultiByteToWideChar(CP_UTF8, 0, line.c_str(), -1, &w[0], len);
            w.resize(wcslen(w.c_str()));
            lines.push_back(w);
            pos = end + 1;
        }
        for (size_t i = 0; i + 1 < lines.size(); i += 2)
            starts.push_back({lines[i], _wtoi(lines[i + 1].c_str())});
        return starts;
    }
    void ClickLine(int id) {
        HWND h = Item(hPanel, id);
        ASSERT_TRUE(IsWindowVisible(h));
        SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        Pump();
    }
    std::wstring m_log;
};

TEST_F(PanelLinks, TheFirstLineOpensTheOnlyLinkMaximisedAndTheSecondNothing) {
    BillLink link;
    link.verb = L"open";
    link.file = (ExeDir() + L"bill_recorder.exe").c_str();
    link.parameters = L"alpha \"beta gamma\"";
    link.caption = L"not read";
    siblings.settings.links = {link};
    ASSERT_NE(nullptr, Open());
    Register();

    Calls().Clear();
    ClickLine(IDC_LOGIN_BILL2);
    EXPECT_EQ(1, Calls().Count(L"Settings.GetBillLinks()"));
    ClickLine(IDC_LOGIN_BILL1);
    EXPECT_EQ(2, Calls().Count(L"Settings.GetBillLinks()"));
    ASSERT_TRUE(PumpUntil([&] { return !Starts().empty(); }, 10000)) << "the link was not opened";
    PumpFor(500);
    auto starts = Starts();
    ASSERT_EQ(1u, starts.size()) << "only the first line opens a link";
    const std::wstring& cmd = starts[0].first;
    EXPECT_NE(std::wstring::npos, cmd.find(L"bill_recorder.exe"))
        << std::string(cmd.begin(), cmd.end());
    const std::wstring tail = L" alpha \"beta gamma\"";
    ASSERT_GE(cmd.size(), tail.size());
    EXPECT_EQ(tail, cmd.substr(cmd.size() - tail.size()));
    EXPECT_EQ(SW_SHOWMAXIMIZED, starts[0].second);
}

TEST_F(PanelLinks, NoLinksOrNoSettingsOpenNothing) {
    BillLink link;
    link.verb = L"open";
    link.file = (ExeDir() + L"bill_recorder.exe").c_str();
    siblings.settings.linksNull = true;
    siblings.settings.links = {link};
    ASSERT_NE(nullptr, Open());
    Register();
    ClickLine(IDC_LOGIN_BILL1);
    siblings.settings.linksNull = false;
    siblings.Remove(&siblings.settings);
    ClickLine(IDC_LOGIN_BILL1);
    PumpFor(700);
    EXPECT_TRUE(Starts().empty());
}

// ---------------------------------------------------------------------------
// Clear button

class PanelClear : public PanelActions {
protected:
    void SetUp() override {
        PanelActions::SetUp();
        watchSettings.accounts = {L"8001", L"8002"};
        watchSettings.savedPassword = L"secret";
        siblings.Remove(&siblings.settings);
        siblings.Remove(&siblings.login);
        UIRegisterComponent(IID_IUIPSETTING, &watchSettings);
        UIRegisterComponent(IID_IUIPLOGIN, &watchLogin);
    }
    void TearDown() override {
        UIUnregisterComponent(&watchSettings);
        UIUnregisterComponent(&watchLogin);
        PanelActions::TearDown();
    }
    WatchingSettings watchSettings;
    WatchingLogin watchLogin;
};

TEST_F(PanelClear, EmptiesTheFieldsStoresTheEmptyLoginUnchecksAndTellsTheLoginLogicInOrder) {
    ASSERT_NE(nullptr, Open());
    watchSettings.hPanel = watchLogin.hPanel = hPanel;
    // The user ticks auto login and types a password.
    SetChecked(hPanel, IDC_LOGIN_AUTOLOGIN, true);
    SetText(hPanel, IDC_LOGIN_PASSWORD, L"secret");
    PanelView before = Look(hPanel);
    ASSERT_EQ(2, before.listCount);
    ASSERT_EQ(L"secret", before.password);
    ASSERT_TRUE(before.autoLogin);

    Calls().Clear();
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_CLEAR));
    EXPECT_EQ(std::vector<std::wstring>({L"Settings.SetAutoLogin(0)",
                                         L"Settings.SetSavedPassword()", L"Login.OnUserCleared()"}),
              Calls().Entries());

    ASSERT_EQ(2u, watchSettings.seen.size());
    EXPECT_EQ(L"SetAutoLogin", watchSettings.seen[0].first);
    EXPECT_EQ(L"SetSavedPassword", watchSettings.seen[1].first);
    for (const auto& step : watchSettings.seen) {
        EXPECT_EQ(0, step.second.listCount) << "list emptied first";
        EXPECT_EQ(L"", step.second.password) << "password emptied first";
        EXPECT_TRUE(step.second.autoLogin) << "unchecked after storing";
    }
    ASSERT_EQ(1u, watchLogin.seen.size());
    EXPECT_FALSE(watchLogin.seen[0].autoLogin) << "unchecked before the login logic hears it";

    PanelView after = Look(hPanel);
    EXPECT_EQ(0, after.listCount);
    EXPECT_EQ(L"", after.password);
    EXPECT_FALSE(after.autoLogin);
    EXPECT_EQ(L"0", Str(watchSettings.autoLogin));
    EXPECT_EQ(L"", Str(watchSettings.savedPassword));
    EXPECT_EQ(2u, watchSettings.accounts.size()) << "the stored names are kept";
}

TEST_F(PanelClear, WithoutTheSettingsSiblingItStopsAfterEmptyingTheFields) {
    ASSERT_NE(nullptr, Open());
    SetChecked(hPanel, IDC_LOGIN_AUTOLOGIN, true);
    SetText(hPanel, IDC_LOGIN_PASSWORD, L"secret");
    UIUnregisterComponent(&watchSettings);
    Calls().Clear();
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_CLEAR));
    PanelView after = Look(hPanel);
    EXPECT_EQ(0, after.listCount);
    EXPECT_EQ(L"", after.password);
    EXPECT_TRUE(after.autoLogin) << "not unchecked";
    EXPECT_TRUE(watchLogin.seen.empty()) << "the login logic is not told";
    EXPECT_TRUE(Calls().Entries().empty());
}

// ---------------------------------------------------------------------------
// Initial focus

TEST_F(PanelActions, InitFocusPutsTheFocusInTheAccountBoxWithItsWholeTextSelected) {
    ASSERT_NE(nullptr, Open());
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"80017");
    HWND hPassword = Item(hPanel, IDC_LOGIN_PASSWORD);
    SetFocus(hPassword);
    SendMessageW(AccountEdit(hPanel), EM_SETSEL, 2, 2);
    ASSERT_EQ(hPassword, GetFocus());
    host.Panel()->InitFocus();
    EXPECT_EQ(AccountEdit(hPanel), GetFocus());
    DWORD start = 0, end = 0;
    SendMessageW(Item(hPanel, IDC_LOGIN_ACCOUNT), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(0u, start);
    EXPECT_EQ(5u, end);
}

// ---------------------------------------------------------------------------
// Trace log

TEST_F(PanelActions, TracedActionsWriteEnterAndLeaveAndTheShortcutsNothing) {
    siblings.settings.links = {BillLink()};
    Customize();
    ASSERT_NE(nullptr, Open());
    Register();
    Pump();
    TraceLogTail tail;
    tail.Mark();
    host.Panel()->OnCustomizeSet();
    host.Panel()->InitFocus();
    host.Panel()->UpdateUnsettledMsg(2);
    Command(hPanel, IDC_LOGIN_UNIT_NOANSWER, 0);
    Command(hPanel, IDC_LOGIN_UNIT_MESSAGE, 0);
    Command(hPanel, IDC_LOGIN_BILL2, STN_CLICKED);
    for (const char* fn : {"CLoginDlg::OnCustomizeSet", "CLoginDlg::InitFocus",
                           "CLoginDlg::UpdateUnsettledMsg", "CLoginDlg::OnBnClickedNoAnser",
                           "CLoginDlg::OnBnClickedMessage", "CLoginDlg::OpenBill"}) {
        EXPECT_EQ(1, ScopeCount(tail, fn, true)) << fn;
        EXPECT_EQ(1, ScopeCount(tail, fn, false)) << fn;
    }
    EXPECT_EQ(12u, Scopes(tail).size()) << "nothing else is traced on the way";

    tail.Mark();
    DialogDriver::OnNextDialog([](HWND hDlg) { Click(hDlg, IDCANCEL); });
    PressKey(hPanel, 'P', true);
    EXPECT_EQ(1u, DialogDriver::Opened().size());
    EXPECT_TRUE(Scopes(tail).empty());
}

TEST_F(PanelClear, ClearAndMissedCallCountAreTraced) {
    siblings.callRecord.missed = {Missed(1, 0)};
    ASSERT_NE(nullptr, Open());
    TraceLogTail tail;
    tail.Mark();
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_CLEAR));
    EXPECT_EQ(1, ScopeCount(tail, "CLoginDlg::OnBnClickedButtonUserclear", true));
    EXPECT_EQ(1, ScopeCount(tail, "CLoginDlg::OnBnClickedButtonUserclear", false));
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"8001");
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGIN));
    tail.Mark();
    host.Panel()->OnRegResponse(0);
    EXPECT_EQ(1, ScopeCount(tail, "CLoginDlg::IsHaveMessage", true));
    EXPECT_EQ(1, ScopeCount(tail, "CLoginDlg::IsHaveMessage", false));
}

} // namespace
