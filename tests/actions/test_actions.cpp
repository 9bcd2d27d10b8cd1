// The login panel's smaller actions, driven through the real plug-in.
#include "PanelTest.h"

#include <fstream>

namespace {

std::wstring Phone(int count) {
    return L"Login:IDS_LOG_PHONE " + std::to_wstring(count);
}

// The main window reports registered from the moment it is told so.
struct HostMain : FakeMain {
    void SetLoginState(int state) override {
        FakeMain::SetLoginState(state);
        registered = state;
    }
};

enum State { kLoggedOut, kRegistering, kLoggedIn, kFailed, kLoggedOutAgain, kMultiUser };

class PanelActions : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        siblings.Remove(&siblings.main);
        UIRegisterComponent(IID_IUIMain, &main);
        siblings.settings.accounts = {L"8001", L"8002"};
    }
    void TearDown() override {
        UIUnregisterComponent(&main);
        PanelTest::TearDown();
    }
    // A new plug-in and panel, brought into a state as the user and host do.
    void Fresh(State state = kLoggedOut) {
        siblings.login.multiUser = state == kMultiUser;
        main.registered = 0;
        ASSERT_TRUE(host.Load());
        ASSERT_NE(nullptr, CreatePanel());
        if (state == kLoggedOut || state == kMultiUser)
            return;
        ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGIN));
        if (state != kRegistering)
            Panel()->OnRegResponse(state == kFailed ? 500 : 0);
        if (state == kLoggedOutAgain)
            Panel()->OnDeRegResponse(0);
        Pump();
    }
    void SetMissed(const std::vector<int32_t>& settled) { // the sixth words
        siblings.callRecord.missed.assign(settled.size(), CallRecord());
        for (size_t i = 0; i < settled.size(); ++i)
            siblings.callRecord.missed[i].settled = settled[i];
    }
    HostMain main;
};

// The function configuration, applied by every state change and by the host; while
// registering, only a fixed account changes the account box and the clear button.

TEST_F(PanelActions, TheConfigurationLocksTheAccountAndHidesLogoutAndAutoLoginAsStored) {
    enum Hand { kNone, kAgain, kEnabled, kDisabled }; // before applying again
    const struct {
        const char* name;
        const char* flags; // fixed account, refuse logout, refuse auto login ('1': on);
                           // null: no record; '-' first: no settings sibling
        State state;
        Hand hand;
        bool account, clear, logout, autoLogin; // enabled, enabled, shown, shown
    } cases[] = {
        {"fixed", "100", kLoggedOut, kNone, false, false, false, true},
        {"fixed, registering", "100", kRegistering, kEnabled, false, false, false, true},
        {"unfixed", "000", kLoggedOut, kDisabled, true, true, false, true},
        {"unfixed, registering", "000", kRegistering, kAgain, false, false, false, true},
        {"unfixed, registering, by hand", "000", kRegistering, kEnabled, true, true, false, true},
        {"no record", nullptr, kLoggedOut, kDisabled, false, false, false, true},
        {"no settings sibling", "-00", kLoggedOut, kDisabled, false, false, false, true},
        {"logout allowed", "000", kLoggedOut, kAgain, true, true, false, true},
        {"logout allowed, logged in", "000", kLoggedIn, kAgain, true, true, true, false},
        {"logout refused, logged in", "010", kLoggedIn, kAgain, true, true, false, false},
        {"auto login refused", "001", kLoggedOut, kNone, true, true, false, false},
        {"auto login refused, registering", "001", kRegistering, kNone, false, false, false, false},
        {"auto login refused, failed", "001", kFailed, kNone, true, true, false, false},
        {"auto login refused, logged in", "001", kLoggedIn, kNone, true, true, true, false},
        {"auto login refused, out again", "001", kLoggedOutAgain, kNone, true, true, false, false},
        {"multi-user", "000", kMultiUser, kAgain, true, true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const bool noSettings = c.flags && c.flags[0] == '-';
        CustomizeSet& set = siblings.settings.customize;
        CString* fields[] = {&set.fixedAccountOn, &set.refuseLogout, &set.refuseAutoLogin};
        for (int i = 0; c.flags && i < 3; ++i)
            *fields[i] = c.flags[i] == '1' ? L"1" : L"0";
        set.fixedAccount = L"7007";
        siblings.settings.customizeNull = !c.flags;
        Fresh(c.state);
        if (c.hand == kEnabled || c.hand == kDisabled) {
            EnableWindow(Item(hPanel, IDC_LOGIN_ACCOUNT), c.hand == kEnabled);
            EnableWindow(Item(hPanel, IDC_LOGIN_BTN_CLEAR), c.hand == kEnabled);
        }
        if (noSettings)
            siblings.Remove(&siblings.settings);
        if (c.hand != kNone)
            Panel()->OnCustomizeSet();
        if (noSettings)
            siblings.Add(&siblings.settings);
        EXPECT_EQ(c.account, Enabled(hPanel, IDC_LOGIN_ACCOUNT));
        EXPECT_EQ(c.clear, Enabled(hPanel, IDC_LOGIN_BTN_CLEAR));
        EXPECT_EQ(c.logout, Visible(hPanel, IDC_LOGIN_BTN_LOGOUT));
        EXPECT_EQ(c.autoLogin, Visible(hPanel, IDC_LOGIN_AUTOLOGIN));
        const bool fixed = c.flags && c.flags[0] == '1';
        EXPECT_EQ(fixed ? L"7007" : L"8001", Text(hPanel, IDC_LOGIN_ACCOUNT));
    }
}

// Missed calls: unsettled ones (sixth word 0) of kind 2 are counted into the
// strip's unit; a registration shows the call page only without any.

TEST_F(PanelActions, ARegistrationCountsTheUnsettledMissedCallsAndShowsTheCallPageOnlyWithout) {
    const struct {
        const char* name;
        std::vector<int32_t> settled;
        int answer;    // of GetCallRecords
        bool noList;   // it hands over no list
        bool absent;   // no call-record sibling
        int unit;      // the count shown afterwards (3 stays from before)
        bool callPage; // shown
    } cases[] = {
        {"two of four unsettled", {0, 1, 0, 7}, 1, false, false, 2, false},
        {"none unsettled", {1, 1, 2, -1}, 1, false, false, 0, true},
        {"no count: the sibling answers 0", {0}, 0, false, false, 3, true},
        {"no count: no list", {0}, 1, true, false, 3, true},
        {"no count: no sibling", {0}, 1, false, true, 3, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetMissed({0, 0, 0});
        Fresh();
        EXPECT_EQ(Phone(0), UnitText(hPanel));
        Panel()->UpdateUnsettledMsg(2);
        ASSERT_EQ(Phone(3), UnitText(hPanel));
        SetMissed(c.settled);
        siblings.callRecord.getResult = c.answer;
        siblings.callRecord.listNull = c.noList;
        if (c.absent)
            siblings.Remove(&siblings.callRecord);
        Calls().Clear();
        ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGIN));
        Panel()->OnRegResponse(0);
        Pump();
        if (c.absent)
            siblings.Add(&siblings.callRecord);
        siblings.callRecord.getResult = 1;
        siblings.callRecord.listNull = false;
        EXPECT_EQ(Phone(c.unit), UnitText(hPanel));
        EXPECT_EQ(c.callPage ? 1 : 0, Calls().Count(L"Main.ShowCallPage()"));
        EXPECT_EQ(c.absent ? 0 : 1, Calls().Count(L"CallRecord.GetCallRecords(2)"));
    }
}

// Clear empties the fields, stores "0" and the empty password, unchecks auto login
// and tells the login logic; without the settings sibling, it only empties them.
TEST_F(PanelActions, ClearEmptiesTheFieldsStoresTheEmptyLoginUnchecksAndTellsTheLoginLogic) {
    for (bool withSettings : {true, false}) {
        SCOPED_TRACE(withSettings);
        Fresh();
        SetChecked(hPanel, IDC_LOGIN_AUTOLOGIN, true);
        SetText(hPanel, IDC_LOGIN_PASSWORD, L"secret");
        if (!withSettings)
            siblings.Remove(&siblings.settings);
        Calls().Clear();
        ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_CLEAR));
        if (!withSettings)
            siblings.Add(&siblings.settings);
        EXPECT_EQ(0, SendMessageW(Item(hPanel, IDC_LOGIN_ACCOUNT), CB_GETCOUNT, 0, 0));
        EXPECT_EQ(L"", Text(hPanel, IDC_LOGIN_PASSWORD));
        EXPECT_EQ(!withSettings, Checked(hPanel, IDC_LOGIN_AUTOLOGIN));
        EXPECT_EQ((withSettings ? std::vector<std::wstring>{L"Settings.SetAutoLogin(0)",
                                                            L"Settings.SetSavedPassword()",
                                                            L"Login.OnUserCleared()"}
                                : std::vector<std::wstring>{}),
                  Calls().Entries());
        EXPECT_EQ(2u, siblings.settings.accounts.size()) << "the stored names are kept";
    }
}

// Advertising lines 2421 and 2422 open links 0 and 1, maximised; the upgrade
// program's stand-in, as the link's program, records each start.
TEST_F(PanelActions, EachLineStartsItsOwnLinkMaximisedAndALineWithoutALinkNothing) {
    const std::wstring log = ExeDir() + L"upgrade_calls.log",
                       id = std::to_wstring(GetCurrentProcessId());
    const std::string mark = "upgrade.exe\" link" + std::string(id.begin(), id.end()) + " ";
    auto starts = [&] { // "show=<n> <parameters>" of this run's starts for a link
        std::ifstream in(std::string(log.begin(), log.end()), std::ios::binary);
        std::vector<std::string> out;
        for (std::string line, prev; std::getline(in, line); prev = line) {
            line.erase(line.find_last_not_of('\r') + 1); // the records' lines end in CR LF
            const size_t at = line.find(mark);
            if (line.rfind("cmdline=", 0) == 0 && at != std::string::npos)
                out.push_back(prev.substr(prev.find("show=")) + " " +
                              line.substr(at + mark.size()));
        }
        return out;
    };
    siblings.settings.links.assign(2, BillLink());
    for (BillLink& link : siblings.settings.links) {
        link.verb = L"open";
        link.file = (ExeDir() + L"upgrade.exe").c_str();
    }
    siblings.settings.links[0].parameters = (L"link" + id + L" first \"a b\"").c_str();
    siblings.settings.links[1].parameters = (L"link" + id + L" second").c_str();
    Fresh(kLoggedIn);
    auto click = [&](int line, size_t count) { // then waits for that many starts
        ASSERT_TRUE(Visible(hPanel, line));
        SendMessageW(Item(hPanel, line), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageW(Item(hPanel, line), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        EXPECT_TRUE(PumpUntil([&] { return starts().size() >= count; }, 10000));
    };
    click(IDC_LOGIN_BILL2, 1);
    click(IDC_LOGIN_BILL1, 2);
    siblings.settings.links.pop_back(); // a line beyond the list
    click(IDC_LOGIN_BILL2, 2);
    siblings.settings.linksNull = true;
    click(IDC_LOGIN_BILL1, 2);
    siblings.settings.linksNull = false;
    siblings.Remove(&siblings.settings);
    click(IDC_LOGIN_BILL1, 2);
    PumpFor(500);
    EXPECT_EQ((std::vector<std::string>{"show=3 second", "show=3 first \"a b\""}), starts());
    EXPECT_EQ(4, Calls().Count(L"Settings.GetBillLinks()"));
}

TEST_F(PanelActions,
       TheActionsDoTheirPartAndAreTracedOnceAndEnterWithoutTheMainWindowIsTheDialogsOk) {
    siblings.settings.links = {BillLink()};
    Fresh();
    Calls().Clear();
    // Recounts: kinds 0 and 2 count the missed calls (kind 2), any other nothing.
    SetMissed({0, 0});
    for (int kind : {1, 3, -1})
        Panel()->UpdateUnsettledMsg(kind);
    EXPECT_EQ(Phone(0), UnitText(hPanel));
    Panel()->UpdateUnsettledMsg(0);
    EXPECT_EQ(Phone(2), UnitText(hPanel));
    SetMissed({0, 0, 0});
    Panel()->UpdateUnsettledMsg(1);
    EXPECT_EQ(Phone(2), UnitText(hPanel));
    EXPECT_EQ((std::vector<std::wstring>{L"CallRecord.GetCallRecords(2)"}),
              Calls().Matching(L"CallRecord."));
    TraceLogTail tail;
    tail.Mark();
    Calls().Clear();
    Panel()->OnCustomizeSet();
    // The initial focus: the account box, its whole text selected.
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"80017");
    HWND hEdit = FindWindowExW(Item(hPanel, IDC_LOGIN_ACCOUNT), nullptr, L"Edit", nullptr);
    SetFocus(Item(hPanel, IDC_LOGIN_PASSWORD));
    SendMessageW(hEdit, EM_SETSEL, 2, 2);
    Panel()->InitFocus();
    EXPECT_EQ(hEdit, GetFocus());
    DWORD start = 9, end = 9;
    SendMessageW(hEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(0u, start);
    EXPECT_EQ(5u, end);
    Panel()->UpdateUnsettledMsg(2);
    EXPECT_EQ(Phone(3), UnitText(hPanel));
    // The missed-call unit and command 2425 open their record pages.
    Command(hPanel, IDC_LOGIN_UNIT_NOANSWER, 0);
    Command(hPanel, IDC_LOGIN_UNIT_MESSAGE, 0);
    EXPECT_EQ((std::vector<std::wstring>{L"Main.ShowRecordPage(2)", L"Main.ShowRecordPage(3)"}),
              Calls().Matching(L"Main.ShowRecordPage"));
    Command(hPanel, IDC_LOGIN_BILL2, STN_CLICKED);
    Command(hPanel, IDC_LOGIN_BTN_CLEAR);
    std::vector<std::string> seen, expected;
    for (const std::string& line : tail.Lines())
        seen.push_back(line.substr(line.rfind(' ') + 1));
    for (const char* fn :
         {"OnCustomizeSet", "InitFocus", "UpdateUnsettledMsg", "OnBnClickedNoAnser",
          "OnBnClickedMessage", "OpenBill", "OnBnClickedButtonUserclear"})
        for (const char* what : {"Enter", "Leave"})
            expected.push_back(std::string("CLoginDlg::") + fn + "()][" + what + "]");
    EXPECT_EQ(expected, seen);
    tail.Mark();
    // Enter without the main window: the dialog's own OK, which logs in.
    UIUnregisterComponent(&main);
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"8003");
    PressKey(Item(hPanel, IDC_LOGIN_PASSWORD), VK_RETURN);
    EXPECT_EQ(1, CountTraceLines(tail.Lines(), "CLoginDlg::OnOK", "Enter"));
    EXPECT_EQ(1, Calls().Count(L"Login.StartLogin(8003,"));
}

} // namespace
