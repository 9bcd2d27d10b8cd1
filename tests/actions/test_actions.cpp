// The login panel's smaller actions, driven through the real plug-in.
#include "PanelTest.h"

#include <fstream>
#include <iterator>

namespace {

using Strings = std::vector<std::wstring>;
const auto Phone = [](int count) { return L"Login:IDS_LOG_PHONE " + std::to_wstring(count); };

// The main window reports registered from the moment it is told so.
struct HostMain : FakeMain {
    void SetLoginState(int state) override { FakeMain::SetLoginState(registered = state); }
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
    // Runs act with the sibling absent (none: all present).
    void Without(IUSBase* sibling, const std::function<void()>& act) {
        if (sibling)
            siblings.Remove(sibling);
        act();
        if (sibling)
            siblings.Add(sibling);
    }
    HostMain main;
};

// The function configuration, applied by every state change and by the host; while
// registering, only a fixed account changes the account box and the clear button.
TEST_F(PanelActions, TheConfigurationLocksTheAccountAndHidesLogoutAndAutoLoginAsStored) {
    enum Hand { kNone, kAgain, kEnabled, kDisabled }; // before applying again
    // Stored: fixed account, refuse logout, refuse auto login ('1': on; null: no record;
    // '-' first: no settings sibling). Seen ('1' each): account box and clear button
    // enabled, logout button and auto login shown.
    const std::tuple<const char*, State, Hand, std::string> cases[] = {
        {"100", kLoggedOut, kNone, "0001"},      {"100", kRegistering, kEnabled, "0001"},
        {"000", kLoggedOut, kDisabled, "1101"},  {"000", kRegistering, kAgain, "0001"},
        {"000", kRegistering, kEnabled, "1101"}, {nullptr, kLoggedOut, kDisabled, "0001"},
        {"-00", kLoggedOut, kDisabled, "0001"},  {"000", kLoggedIn, kAgain, "1110"},
        {"010", kLoggedIn, kAgain, "1100"},      {"001", kLoggedOut, kNone, "1100"},
        {"001", kRegistering, kNone, "0000"},    {"001", kFailed, kNone, "1100"},
        {"001", kLoggedIn, kNone, "1110"},       {"001", kLoggedOutAgain, kNone, "1100"},
        {"000", kMultiUser, kAgain, "1100"}};
    for (const auto& [flags, state, hand, seen] : cases) {
        SCOPED_TRACE(::testing::Message()
                     << (flags ? flags : "no record") << ", state " << state << ", hand " << hand);
        CustomizeSet& set = siblings.settings.customize;
        CString* fields[] = {&set.fixedAccountOn, &set.refuseLogout, &set.refuseAutoLogin};
        for (int i = 0; flags && i < 3; ++i)
            *fields[i] = flags[i] == '1' ? L"1" : L"0";
        set.fixedAccount = L"7007";
        siblings.settings.customizeNull = !flags;
        Fresh(state);
        for (int id : {IDC_LOGIN_ACCOUNT, IDC_LOGIN_BTN_CLEAR})
            if (hand == kEnabled || hand == kDisabled)
                EnableWindow(Item(hPanel, id), hand == kEnabled);
        Without(flags && flags[0] == '-' ? &siblings.settings : nullptr, [&] {
            if (hand != kNone)
                Panel()->OnCustomizeSet();
        });
        std::string shown;
        for (bool on :
             {Enabled(hPanel, IDC_LOGIN_ACCOUNT), Enabled(hPanel, IDC_LOGIN_BTN_CLEAR),
              Visible(hPanel, IDC_LOGIN_BTN_LOGOUT), Visible(hPanel, IDC_LOGIN_AUTOLOGIN)})
            shown += on ? '1' : '0';
        EXPECT_EQ(seen, shown);
        EXPECT_EQ(flags && flags[0] == '1' ? L"7007" : L"8001", Text(hPanel, IDC_LOGIN_ACCOUNT));
    }
}

// Missed calls: unsettled ones (sixth word 0) of kind 2 are counted into the strip's unit,
// which keeps its 3 when nothing can be counted; a registration shows the call page only
// without any.
TEST_F(PanelActions, ARegistrationCountsTheUnsettledMissedCallsAndShowsTheCallPageOnlyWithout) {
    // The sixth words, GetCallRecords' answer, no list handed over, no call-record sibling;
    // the count shown afterwards, the call page shown.
    const std::tuple<std::vector<int32_t>, int, bool, bool, int, bool> cases[] = {
        {{0, 1, 0, 7}, 1, false, false, 2, false},
        {{1, 1, 2, -1}, 1, false, false, 0, true},
        {{0}, 0, false, false, 3, true},
        {{0}, 1, true, false, 3, true},
        {{0}, 1, false, true, 3, true}};
    for (const auto& [settled, answer, noList, absent, unit, callPage] : cases) {
        SCOPED_TRACE(::testing::Message() << settled.size() << answer << noList << absent);
        SetMissed({0, 0, 0});
        Fresh();
        Panel()->UpdateUnsettledMsg(2);
        ASSERT_EQ(Phone(3), UnitText(hPanel));
        SetMissed(settled);
        siblings.callRecord.getResult = answer;
        siblings.callRecord.listNull = noList;
        Calls().Clear();
        Without(absent ? &siblings.callRecord : nullptr, [&] {
            ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGIN));
            Panel()->OnRegResponse(0);
            Pump();
        });
        siblings.callRecord.getResult = 1;
        siblings.callRecord.listNull = false;
        EXPECT_EQ(Phone(unit), UnitText(hPanel));
        EXPECT_EQ(callPage ? 1 : 0, Calls().Count(L"Main.ShowCallPage()"));
        EXPECT_EQ(absent ? 0 : 1, Calls().Count(L"CallRecord.GetCallRecords(2)"));
    }
}

// Clear empties the fields, stores "0" and the empty password, unchecks auto login and
// tells the login logic; without the settings sibling, it only empties them.
TEST_F(PanelActions, ClearEmptiesTheFieldsStoresTheEmptyLoginUnchecksAndTellsTheLoginLogic) {
    for (bool withSettings : {true, false}) {
        SCOPED_TRACE(withSettings);
        Fresh();
        SetChecked(hPanel, IDC_LOGIN_AUTOLOGIN, true);
        SetText(hPanel, IDC_LOGIN_PASSWORD, L"secret");
        Calls().Clear();
        Without(withSettings ? nullptr : &siblings.settings,
                [&] { ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_CLEAR)); });
        EXPECT_EQ(0, SendMessageW(Item(hPanel, IDC_LOGIN_ACCOUNT), CB_GETCOUNT, 0, 0));
        EXPECT_EQ(L"", Text(hPanel, IDC_LOGIN_PASSWORD));
        EXPECT_EQ(!withSettings, Checked(hPanel, IDC_LOGIN_AUTOLOGIN));
        const Strings told = {L"Settings.SetAutoLogin(0)", L"Settings.SetSavedPassword()",
                              L"Login.OnUserCleared()"};
        EXPECT_EQ(withSettings ? told : Strings{}, Calls().Entries());
        EXPECT_EQ(2u, siblings.settings.accounts.size()) << "the stored names are kept";
    }
}

// Advertising lines 2421 and 2422 open links 0 and 1, maximised; the upgrade
// program's stand-in, as the link's program, records each start.
TEST_F(PanelActions, EachLineStartsItsOwnLinkMaximisedAndALineWithoutALinkNothing) {
    const std::wstring log = ExeDir() + L"upgrade_calls.log",
                       id = std::to_wstring(GetCurrentProcessId());
    const std::string mark = "upgrade.exe\" link" + std::string(id.begin(), id.end()) + " ";
    auto read = [&] {
        std::ifstream in(std::string(log.begin(), log.end()), std::ios::binary);
        return std::string{std::istreambuf_iterator<char>(in), {}};
    };
    // "show=<n> <parameters>" of this run's starts (a record: "pid=<id> show=<n>", then
    // "cmdline=..."); Wine reuses process ids, so what earlier runs wrote is skipped.
    const size_t from = read().size();
    auto starts = [&] {
        const std::string text = read();
        std::vector<std::string> out;
        for (size_t at = from; (at = text.find(mark, at)) != std::string::npos; at += mark.size()) {
            const size_t show = text.rfind("show=", at), end = text.find('\r', at);
            out.push_back(text.substr(show, text.find('\r', show) - show) + " " +
                          text.substr(at + mark.size(), end - at - mark.size()));
        }
        return out;
    };
    for (const wchar_t* parameters : {L" first \"a b\"", L" second"})
        siblings.settings.links.push_back({L"open", (ExeDir() + L"upgrade.exe").c_str(),
                                           (L"link" + id + parameters).c_str(), L""});
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
    Without(&siblings.settings, [&] { click(IDC_LOGIN_BILL1, 2); });
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
    EXPECT_EQ(Strings{L"CallRecord.GetCallRecords(2)"}, Calls().Matching(L"CallRecord."));
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
    EXPECT_EQ(MAKELONG(0, 5), SendMessageW(hEdit, EM_GETSEL, 0, 0)) << "from 0 to 5";
    Panel()->UpdateUnsettledMsg(2);
    EXPECT_EQ(Phone(3), UnitText(hPanel));
    // The missed-call unit and command 2425 open their record pages.
    Command(hPanel, IDC_LOGIN_UNIT_NOANSWER, 0);
    Command(hPanel, IDC_LOGIN_UNIT_MESSAGE, 0);
    EXPECT_EQ((Strings{L"Main.ShowRecordPage(2)", L"Main.ShowRecordPage(3)"}),
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
