// Bad input through the exports and the windows of the real plug-in: null and
// garbage arguments, results the panel did not ask for, missing siblings,
// null lists, edits past their limits and texts outside the ANSI code page.
#include "SandboxPanel.h"
#include "UpgradeRecords.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <regex>

namespace {

namespace fs = std::filesystem;

// The panel in a host folder of its own (BadInputRun), with two stored accounts.
class BadInput : public SandboxPanelTest {
protected:
    void SetUp() override {
        // The run under a Chinese locale must really have its code page.
        char acp[8] = {};
        GetEnvironmentVariableA("SIGNDESK_EXPECT_ACP", acp, sizeof(acp));
        ASSERT_TRUE(!acp[0] || static_cast<UINT>(atoi(acp)) == GetACP()) << GetACP();
        SandboxPanelTest::SetUp();
        siblings.settings.accounts = {L"alice", L"bob"};
    }
};

// The calls by which a sibling keeps something.
std::vector<std::wstring> Stores() {
    std::vector<std::wstring> out;
    for (const std::wstring& e : Calls().Entries())
        for (const wchar_t* p : {L"Settings.Set", L"Settings.Save", L"Settings.Delete",
                                 L"Login.SaveRegUsers", L"Login.OnUserCleared"})
            if (e.compare(0, wcslen(p), p) == 0)
                out.push_back(e);
    return out;
}

std::vector<std::wstring> BoxTexts() {
    std::vector<std::wstring> out;
    for (const MessageBoxRecord& box : MessageBoxes::Seen())
        out.push_back(box.text);
    return out;
}

using Exports = BadInput;

TEST_F(Exports, NullGarbageAndRepeatedStartsAndStopsRegisterOnlyForAStart) {
    const int callbacks = UIGetCallbackCount();
    TraceLogTail trace;
    trace.Mark();
    EXPECT_EQ(-1, host.XSCInitialize(nullptr));
    EXPECT_EQ(0, host.XSCUninitialize());
    EXPECT_EQ(0, host.XSCUninitialize());
    EXPECT_EQ(callbacks, UIGetCallbackCount());
    // The component still serves its panel, but a refused start opened no log.
    IUSBaseList list;
    ASSERT_EQ(1, host.XSCQueryInterface(IID_ISIGNDESK, list));
    ISIGNDESK* pPanel = dynamic_cast<ISIGNDESK*>(list.front());
    ASSERT_TRUE(pPanel && pPanel->Create(host.MainWindow()));
    pPanel->OnChangeLanguage();
    EXPECT_TRUE(trace.Lines().empty()) << trace.Text();
    EXPECT_EQ(0, list[0]->QueryInterface(IID_ISIGNDESK, nullptr)) << "no out pointer";
    // A start record of garbage is taken as it is.
    XSCINITDATA init;
    std::memset(&init, 0xFF, sizeof(init));
    ASSERT_EQ(0, host.XSCInitialize(&init));
    EXPECT_EQ(callbacks + 1, UIGetCallbackCount());
    pPanel->OnChangeLanguage();
    EXPECT_TRUE(HasTraceLine(trace.Lines(), "CLoginDlg::OnChangeLanguage", "Leave"));
    EXPECT_EQ(0, host.XSCUninitialize());
    EXPECT_EQ(0, host.XSCUninitialize());
    EXPECT_EQ(callbacks, UIGetCallbackCount());
}

TEST_F(Exports, ADeadParentPluginSlotGarbageAndExtraReleasesLeaveTheComponentWorking) {
    ISIGNDESK* pPanel = host.Start();
    ASSERT_NE(nullptr, pPanel);
    CWnd stale;
    stale.m_hWnd = CreateWindowExW(0, L"STATIC", L"gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
    ASSERT_TRUE(stale.m_hWnd && DestroyWindow(stale.m_hWnd));
    EXPECT_EQ(0, pPanel->Create(&stale));
    stale.m_hWnd = nullptr;
    ASSERT_NE(nullptr, pPanel->GetLoginWnd()) << "the panel object stays for the next attempt";
    EXPECT_EQ(nullptr, pPanel->GetLoginWnd()->GetSafeHwnd());
    ASSERT_TRUE(CreatePanel());
    EXPECT_TRUE(Visible(hPanel, IDC_LOGIN_BTN_LOGIN));

    IUSBaseList list;
    ASSERT_EQ(1, host.XSCQueryInterface(IID_IUIPlugin, list));
    IUIPlugin* pPlugin = dynamic_cast<IUIPlugin*>(list[0]);
    ASSERT_NE(nullptr, pPlugin);
    Calls().Clear();
    pPlugin->Activate(INT_MIN);
    pPlugin->Deactivate(-1);
    EXPECT_EQ(0, pPlugin->GetCapabilities());
    pPlugin->OnCommand(INT_MAX, INT_MIN, -1);
    EXPECT_TRUE(Calls().Entries().empty());
    for (int i = 0; i < 100; ++i)
        pPlugin->Release();
    ASSERT_EQ(1, host.XSCQueryInterface(IID_ISIGNDESK, list));
    EXPECT_EQ(pPanel, dynamic_cast<ISIGNDESK*>(list[1])) << "the same instance";
    EXPECT_EQ(L"Kite:IDS_UC_NOT_LOG", Status());
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"carol");
    pPanel->Login();
    Pump();
    EXPECT_TRUE(Calls().Has(L"Login.StartLogin(carol,,0)"));
    EXPECT_EQ(L"Kite:IDS_UC_LOGINING", Status());
}

TEST_F(Exports, AbsurdRectanglesStrayNotificationsAndUnknownCommandsLeaveAWorkingPanel) {
    ASSERT_TRUE(CreatePanel());
    Calls().Clear();
    for (RECT rc : {RECT{0, 0, 0, 0}, RECT{-5000, -5000, -4000, -4000},
                    RECT{INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2},
                    RECT{INT_MAX, INT_MAX, INT_MIN, INT_MIN}})
        Panel()->Move(rc);
    // The strip's notification without its code, with and without a record.
    SKINPANNELNOTIFY empty = {};
    SendMessageW(hPanel, WM_PANNEL_NOTIFY, 0, 0);
    SendMessageW(hPanel, WM_PANNEL_NOTIFY, 0, reinterpret_cast<LPARAM>(&empty));
    for (int id : {0, 999, 2208, 2212, 3000, 65535})
        for (int code : {BN_CLICKED, EN_CHANGE, 0xFFFF})
            SendMessageW(hPanel, WM_COMMAND, MAKEWPARAM(id, code), 0x1234);
    Pump();
    EXPECT_TRUE(Calls().Entries().empty());
    RECT good = {0, 0, 327, 400};
    Panel()->Move(good);
    const RECT button = RectInParent(Item(hPanel, IDC_LOGIN_BTN_ADVANCED)),
               expected = {0, 380, 327, 400};
    EXPECT_TRUE(EqualRect(&button, &expected)) << "the layout is restored";
    StartLogin(L"carol");
    EXPECT_EQ(L"Kite:IDS_UC_LOGINING", Status());
}

using Results = BadInput;

TEST_F(Results, UnknownCodesLogOutWithoutAMessageAndStoreNothing) {
    ASSERT_TRUE(CreatePanel());
    for (int code : {-1, 2, 200, 401, 405, 480, 503, 603, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(code);
        StartLogin(L"carol");
        Calls().Clear();
        MessageBoxes::Clear();
        Panel()->OnRegResponse(code);
        Pump();
        EXPECT_EQ(L"LogOut", Picture());
        EXPECT_EQ(L"Kite:IDS_UC_NOT_LOG", Status());
        EXPECT_TRUE(MessageBoxes::Seen().empty());
        // Nothing is stored or opened; the main window only gets the status.
        EXPECT_EQ((std::vector<std::wstring>{L"Settings.GetCustomizeSet()",
                                             L"Main.SetStatusText(Kite:IDS_UC_NOT_LOG)",
                                             L"Settings.GetAccountList()"}),
                  Calls().Entries());
        EXPECT_EQ(L"alice", Text(hPanel, IDC_LOGIN_ACCOUNT)) << "refilled";
    }
}

TEST_F(Results, ResultsDeliveredTwiceRepeatTheirSteps) {
    ASSERT_TRUE(CreatePanel());
    StartLogin(L"carol");
    // A success twice, before the main window knows of it.
    std::vector<std::wstring> steps[2];
    for (auto& seen : steps) {
        Calls().Clear();
        Panel()->OnRegResponse(0);
        Pump();
        seen = Calls().Entries();
    }
    EXPECT_EQ(steps[0], steps[1]);
    EXPECT_EQ(L"LogIn", Picture());
    // Failures twice: each answered with its message.
    Calls().Clear();
    for (int code : {404, 404, 408, 403})
        Panel()->OnRegResponse(code);
    Pump();
    EXPECT_EQ((std::vector<std::wstring>{L"Kite:IDS_REGERROR_404", L"Kite:IDS_REGERROR_404",
                                         L"Kite:IDS_REGERROR_403", L"Kite:IDS_REGERROR_403"}),
              BoxTexts());
    EXPECT_EQ(L"LogOut", Picture());
    EXPECT_TRUE(Stores().empty());
}

TEST_F(Results, ResultsBeforeAnyLoginMoveThePanelForTheBlankAccount) {
    ASSERT_TRUE(CreatePanel());
    Calls().Clear();
    Panel()->OnDeRegResponse(0);
    Pump();
    EXPECT_EQ(L"LogOut", Picture());
    const std::vector<std::wstring> forget = {L"Settings.SetAutoLogin(0)",
                                              L"Settings.SetSavedPassword()"};
    EXPECT_EQ(forget, Stores());
    EXPECT_TRUE(Calls().Has(L"Main.NotifyDeregistered()"));
    EXPECT_TRUE(MessageBoxes::Seen().empty());
    EXPECT_EQ(L"alice", Text(hPanel, IDC_LOGIN_ACCOUNT));
    // A success stores what the panel holds, but no password.
    Calls().Clear();
    Panel()->OnRegResponse(0);
    Pump();
    EXPECT_EQ(L"LogIn", Picture());
    EXPECT_TRUE(Calls().Has(L"Main.SetCurrentAccount()"));
    EXPECT_TRUE(Calls().Has(L"CallRecord.OpenAccountDatabase()"));
    std::vector<std::wstring> stored = forget;
    stored.insert(stored.end(),
                  {L"Settings.SaveLoginRecord(,,0)", L"Settings.SetLoginServerIndex(0)"});
    EXPECT_EQ(stored, Stores());
    // A failure logs out with its message.
    siblings.main.registered = 1;
    Calls().Clear();
    Panel()->OnRegResponse(404);
    Pump();
    EXPECT_EQ(L"LogOut", Picture());
    EXPECT_EQ(1u, MessageBoxes::Seen().size());
    EXPECT_TRUE(Stores().empty());
}

TEST_F(BadInput, AStartupAccountLongerThanTheBoxIsLoggedInAsTheBoxHoldsIt) {
    siblings.main.startupAccount = std::wstring(300, L's').c_str();
    siblings.main.startupPassword = std::wstring(300, L'q').c_str();
    ASSERT_TRUE(CreatePanel());
    EXPECT_FALSE(Text(hPanel, IDC_LOGIN_ACCOUNT).empty());
    EXPECT_TRUE(Calls().Has(L"Login.StartLogin(" + Text(hPanel, IDC_LOGIN_ACCOUNT) + L"," +
                            Text(hPanel, IDC_LOGIN_PASSWORD) + L",0)"));
}

TEST_F(BadInput, NullEmptyOrBlankAccountListsLeaveNothingToRefillTheBoxWith) {
    // Null list, empty list, blank names; the box after a failed login of "carol".
    const std::tuple<bool, std::vector<CString>, const wchar_t*> cases[] = {
        {true, {}, L"carol"}, {false, {}, L""}, {false, {L"", L""}, L""}};
    for (const auto& [null, accounts, after] : cases) {
        SCOPED_TRACE(::testing::Message() << null << ", " << accounts.size());
        ASSERT_TRUE(host.Load());
        siblings.settings.accountsNull = null;
        siblings.settings.accounts = accounts;
        ASSERT_TRUE(CreatePanel());
        EXPECT_EQ(L"", Text(hPanel, IDC_LOGIN_ACCOUNT));
        EXPECT_TRUE(ComboItems(Item(hPanel, IDC_LOGIN_ACCOUNT)).empty());
        StartLogin(L"carol");
        Panel()->OnRegResponse(500);
        Pump();
        EXPECT_EQ(after, Text(hPanel, IDC_LOGIN_ACCOUNT));
        EXPECT_TRUE(ComboItems(Item(hPanel, IDC_LOGIN_ACCOUNT)).empty());
        EXPECT_EQ(L"LogOut", Picture());
    }
}

// ---------------------------------------------------------------------------
// Siblings missing one at a time through login, result, logout and a language
// switch: the steps that need them are skipped silently, the rest happens.

const wchar_t* const kSiblings[] = {L"Main",       L"Settings",  L"Login",
                                    L"CallRecord", L"PhoneBook", L"Lang"};

class MissingSibling : public BadInput, public ::testing::WithParamInterface<int> {
protected:
    bool Has(const std::wstring& name) const { return name != kSiblings[GetParam()]; }
    // A language text as the panel shows it: empty without the service.
    std::wstring Lang(const std::wstring& text) const { return Has(L"Lang") ? text : L""; }
    // Each call was made exactly when its sibling is there (and also holds).
    void ExpectCalls(std::initializer_list<std::wstring> calls, bool also = true) const {
        for (const std::wstring& call : calls)
            EXPECT_EQ(also && Has(call.substr(0, call.find(L'.'))), Calls().Has(call)) << call;
    }
};

TEST_P(MissingSibling, LoginResultLogoutAndLanguageSwitchSkipOnlyWhatNeedsIt) {
    IUSBase* const all[] = {&siblings.main,       &siblings.settings,  &siblings.login,
                            &siblings.callRecord, &siblings.phoneBook, &siblings.lang};
    siblings.Remove(all[GetParam()]);
    ASSERT_TRUE(CreatePanel());
    EXPECT_EQ(L"LogOut", Picture());
    EXPECT_EQ(Lang(L"Kite:IDS_UC_NOT_LOG"), Status());
    EXPECT_EQ(Has(L"Settings") ? L"alice" : L"", Text(hPanel, IDC_LOGIN_ACCOUNT));

    Calls().Clear();
    StartLogin(L"carol");
    EXPECT_TRUE(MessageBoxes::Seen().empty());
    if (Has(L"Login")) {
        // No server list without the settings sibling: nothing is selected.
        EXPECT_TRUE(Calls().Has(Has(L"Settings") ? L"Login.StartLogin(carol,pw,0)"
                                                 : L"Login.StartLogin(carol,pw,-1)"));
        EXPECT_EQ(L"Loging", Picture());
        EXPECT_EQ(Lang(L"Kite:IDS_UC_LOGINING"), Status());
    } else {
        EXPECT_EQ(L"LogOut", Picture()) << "nothing happens after the checks";
    }

    // The host reports success anyway; without the call records the call page
    // is asked for.
    Calls().Clear();
    Panel()->OnRegResponse(0);
    Pump();
    siblings.main.registered = 1;
    EXPECT_EQ(L"LogIn", Picture());
    EXPECT_EQ(Lang(L"Kite:IDS_UC_LOG_SUCESS"), Status());
    ExpectCalls({L"CallRecord.OpenAccountDatabase(carol)", L"PhoneBook.OpenAccountDatabase(carol)",
                 L"Main.SetCurrentAccount(carol)", L"Settings.SaveLoginRecord(carol,pw,0)",
                 L"Main.ShowCallPage()"});
    EXPECT_EQ(Has(L"Main") ? 1 : -1, siblings.main.loginState);
    EXPECT_TRUE(MessageBoxes::Seen().empty());

    // Logout, confirmed: without settings it does nothing, without the login
    // sibling the host decides.
    Calls().Clear();
    MessageBoxes::Answer(IDOK);
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGOUT));
    if (!Has(L"Settings")) {
        EXPECT_TRUE(MessageBoxes::Seen().empty());
        EXPECT_TRUE(Calls().Entries().empty());
        EXPECT_EQ(L"LogIn", Picture());
    } else {
        ASSERT_EQ(1u, MessageBoxes::Seen().size());
        EXPECT_EQ(Lang(L"Kite:IDS_UC_INFO_LOGOUT"), MessageBoxes::Seen()[0].text);
        EXPECT_EQ(Lang(L"Kite:IDS_UC_INFO_CHECK"), MessageBoxes::Seen()[0].checkText);
        ExpectCalls({L"Main.NotifyLogout()", L"Login.StopLogin()"});
        EXPECT_EQ(Has(L"Login") ? L"LogOut" : L"LogIn", Picture());
    }

    // The host reports the de-registration.
    Calls().Clear();
    siblings.main.registered = 0;
    Panel()->OnDeRegResponse(0);
    Pump();
    EXPECT_EQ(L"LogOut", Picture());
    EXPECT_EQ(Lang(L"Kite:IDS_UC_NOT_LOG"), Status());
    ExpectCalls({L"Settings.SetAutoLogin(0)"});
    ExpectCalls({L"CallRecord.CloseAccountDatabase()", L"Main.NotifyDeregistered()"},
                Has(L"Settings"));

    // A language switch; without the main window the status text stays.
    siblings.lang.prefix = L"ZH ";
    Panel()->OnChangeLanguage();
    Pump();
    EXPECT_EQ(Lang(L"ZH Login:IDS_LOG_TITLE"), Text(hPanel, IDC_LOGIN_BTN_LOGIN));
    EXPECT_EQ(Has(L"Main") ? Lang(L"ZH Kite:IDS_UC_NOT_LOG") : L"Kite:IDS_UC_NOT_LOG", Status());
    EXPECT_EQ(Lang(L"ZH Login:IDS_LOG_PHONE") + L" 0", UnitText(hPanel));

    // A refused registration still answers with its message.
    MessageBoxes::Clear();
    StartLogin(L"carol");
    Panel()->OnRegResponse(404);
    Pump();
    EXPECT_EQ(L"LogOut", Picture());
    ASSERT_EQ(std::vector<std::wstring>{Lang(L"ZH Kite:IDS_REGERROR_404")}, BoxTexts());
    EXPECT_EQ(hPanel, MessageBoxes::Seen()[0].owner);
}

INSTANTIATE_TEST_SUITE_P(EachOne, MissingSibling, ::testing::Range(0, 6),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return ToUtf8(kSiblings[info.param]);
                         });

// ---------------------------------------------------------------------------
// Characters outside the ANSI code page (1252, and 936 in a second ctest
// entry) where the plug-in writes narrow text: the user's text never reaches
// the trace log, which stays well-formed; the upgrade program gets the code
// page's default character; a host folder the code page cannot name leaves
// the log silent and the program unstarted, and the panel works on.

using AnsiText = BadInput;

// What the code page makes of a text, as the upgrade program reads it back.
std::string Acp(const std::wstring& w) {
    char a[256] = {};
    WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, a, sizeof(a), nullptr, nullptr);
    return AnsiToUtf8(a);
}

TEST_F(AnsiText, UserAndLanguageTextsNeverReachTheLogAndTheLogStaysWellFormed) {
    const std::wstring account = L"\u0416\u0430\u043d\u043d\u0430\u4e2d\U0001F600";
    const std::wstring password = L"\u043f\u0430\u0440\u043e\u043b\u044c\u5bc6\u7801";
    siblings.settings.accounts = {account.c_str(), L"bob"};
    TraceLogTail trace;
    trace.Mark();
    ASSERT_TRUE(CreatePanel());
    EXPECT_EQ(account, Text(hPanel, IDC_LOGIN_ACCOUNT)) << "shown intact";
    StartLogin(account, password);
    LogInOutAndSwitchLanguage(L"\u042f\u0437\u044b\u043a \u4e2d\u6587 ");
    // Passed on intact.
    EXPECT_TRUE(Calls().Has(L"Login.StartLogin(" + account + L"," + password + L",0)"));
    EXPECT_TRUE(Calls().Has(L"Main.SetCurrentAccount(" + account + L")"));
    EXPECT_TRUE(Calls().Has(L"Settings.SaveLoginRecord(" + account + L"," + password + L",0)"));

    // The first account has no record: its warning is the only content line.
    const std::string text = trace.Text();
    EXPECT_NE(std::string::npos, text.find("CLoginDlg::InitData()][War]\r\nContent:\r\n"
                                           "Can't find the account! in db.\r\n"));
    const std::regex wellFormed("Begin Time:.*|Content:|Can't find the account! in db\\.|"
                                "\\[.*\\]\\[P:.*\\(\\)\\]\\[(Enter|Leave|War)\\]");
    int lines = 0, enters = 0, leaves = 0, warnings = 0;
    for (const std::string& line : trace.Lines()) {
        EXPECT_TRUE(std::regex_match(line, wellFormed) &&
                    std::all_of(line.begin(), line.end(), [](unsigned char c) { return c < 0x80; }))
            << line;
        ++lines;
        enters += EndsWith(line, "()][Enter]");
        leaves += EndsWith(line, "()][Leave]");
        warnings += line.find("Can't find") == 0;
    }
    EXPECT_GT(lines, 20);
    EXPECT_EQ(1, warnings);
    EXPECT_EQ(enters, leaves) << "every scope left";
    EXPECT_GT(enters, 10);
}

TEST_F(AnsiText, TheUpgradeCommandLineCarriesTheCodePagesDefaultCharacter) {
    const std::wstring host = L"\u0441\u0435\u0440\u0432\u0435\u0440.\u4f8b\u3048.jp";
    const std::wstring user = L"\u0416\u0430\u043d\u043d\u0430";
    const std::wstring password = L"\u5bc6\u7801\U0001F600";
    const std::wstring directory = L"/\u043f\u0443\u0442\u044c/\u76ee\u5f55";
    ASSERT_TRUE(WriteUpgradeIni(ExeDir() + L"kite.ini", {{L"Protocol", L"ftp"},
                                                         {L"Host", host},
                                                         {L"Port", L"21"},
                                                         {L"User", user},
                                                         {L"Password", password},
                                                         {L"Directory", directory}}));
    ASSERT_TRUE(CreatePanel());
    StartLogin(L"carol");
    Panel()->OnRegResponse(0);
    // The start with the protocol is this test's (other logins of this process
    // started the program without the ini file).
    UpgradeRecord rec;
    auto started = [&] {
        for (const UpgradeRecord& r : RecordsOfThisProcess())
            if (r.argv.size() > 2 && r.argv[2] == "ftp")
                return rec = r, true;
        return false;
    };
    ASSERT_TRUE(PumpUntil(started, 15000)) << "the upgrade program was not started";
    const std::vector<std::string> args = {"ftp",     Acp(host),     "21",
                                           Acp(user), Acp(password), Acp(directory)};
    EXPECT_EQ(args, std::vector<std::string>(rec.argv.begin() + 2, rec.argv.end())) << rec.cmdline;
    // 936 holds Cyrillic, kana and the ideographs; 1252 none of them.
    const bool gbk = GetACP() == 936;
    ASSERT_TRUE(gbk || GetACP() == 1252) << GetACP();
    EXPECT_EQ(gbk ? ToUtf8(host) : "??????.??.jp", args[1]);
    EXPECT_EQ(gbk ? ToUtf8(user) : "?????", args[3]);
    EXPECT_EQ(gbk ? ToUtf8(directory) : "/???\?/??", args[5]); // "\?": no trigraph
    EXPECT_EQ(0u, args[4].find(gbk ? ToUtf8(L"\u5bc6\u7801") : "??")) << args[4];
    EXPECT_EQ(L"LogIn", Picture()) << "the panel is logged in whatever the program got";
}

// The host runs from a folder named with letters in or outside the code page.
using ForeignFolder = BadInput;

TEST_F(ForeignFolder, TheLogAndTheUpgradeProgramNeedTheFolderInTheCodePage) {
    const std::wstring dir = ExeDir();
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, dir.c_str(), -1, nullptr, 0, nullptr, &lossy);
    EXPECT_EQ(dir.find(L"\u0416") != std::wstring::npos, lossy != FALSE) << "the Cyrillic folder";
    ASSERT_TRUE(WriteUpgradeIni(dir + L"kite.ini", {{L"User", L"u"}}));
    ASSERT_TRUE(CreatePanel());
    StartLogin(L"carol");
    EXPECT_EQ(L"Loging", Picture());
    LogInOutAndSwitchLanguage(L"ZH ");
    EXPECT_TRUE(Calls().Has(L"Login.StopLogin()"));
    EXPECT_TRUE(Calls().Has(L"Main.NotifyDeregistered()"));
    // Unloading waits for the upgrade launcher's thread: the start was tried.
    host.Unload();
    if (!lossy) {
        const std::string log = ReadFileBytes(dir + L"log\\KITE.log");
        EXPECT_EQ(0u, log.find("Begin Time:"));
        EXPECT_NE(std::string::npos, log.find("CLoginDlg::OnRegResponse()][Leave]"));
        EXPECT_TRUE(PumpUntil([] { return RecordsOfThisProcess().size() == 1; }, 15000));
    } else {
        EXPECT_FALSE(fs::exists(dir + L"log")) << "the log stays silent";
        EXPECT_FALSE(fs::exists(dir + L"MyLog.log"));
        PumpFor(500);
        EXPECT_FALSE(fs::exists(dir + L"upgrade_calls.log")) << "the program cannot be found";
    }
}

// The runs that ctest starts: a crash or a hang ends only that run, and no
// upgrade program, ini file or log of other tests is touched. The folder
// names hold Cyrillic and Chinese letters, outside code page 1252, and
// accented Latin letters, in it.
TEST(BadInputRun, InHostFoldersOfTheirOwn) {
    RunInSandbox(L"badinput", L"*-BadInputRun.*:AnsiText.*:ForeignFolder.*", 14);
    RunInSandbox(L"badinput-\u0416\u0436\u4e2d\u6587", L"ForeignFolder.*", 1, {L"upgrade.exe"});
    RunInSandbox(L"badinput-caf\u00e9-\u00f1", L"ForeignFolder.*", 1, {L"upgrade.exe"});
}

TEST(BadInputRun, TextsOutsideTheCodePage) {
    RunInSandbox(L"badinput-ansi", L"AnsiText.*", 2, {L"upgrade.exe"});
}

} // namespace
