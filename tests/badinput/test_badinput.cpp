// Null and garbage through the exports, the component and the panel's
// window; results the panel did not ask for; a text past its box's limit.
#include "BadInputFixture.h"

#include <climits>
#include <cstring>

namespace {

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
    CWnd dead, stale;
    ASSERT_TRUE(dead.CreateEx(0, L"STATIC", L"gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    stale.m_hWnd = dead.Detach();
    DestroyWindow(stale.m_hWnd);
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
    // The strip's notification without its code or its record.
    DWORD used = 1;
    SKINPANNELNOTIFY empty = {};
    SendMessageW(hPanel, WM_PANNEL_NOTIFY, 0, 0);
    SendMessageW(hPanel, WM_PANNEL_NOTIFY, 0, reinterpret_cast<LPARAM>(&empty));
    SendMessageW(hPanel, WM_PANNEL_NOTIFY, reinterpret_cast<WPARAM>(&used),
                 reinterpret_cast<LPARAM>(&empty));
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

// ---------------------------------------------------------------------------
// Results the panel did not ask for

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
        EXPECT_EQ(std::vector<std::wstring>{L"Main.SetStatusText(Kite:IDS_UC_NOT_LOG)"},
                  Calls().Matching(L"Main.SetStatusText"));
        EXPECT_TRUE(Stores().empty());
        EXPECT_EQ(0, Calls().Count(L"Main.SetLoginState"));
        EXPECT_EQ(0, Calls().Count(L"CallRecord.OpenAccountDatabase"));
        EXPECT_EQ(L"alice", Text(hPanel, IDC_LOGIN_ACCOUNT)) << "refilled";
    }
}

TEST_F(Results, ResultsDeliveredTwiceRepeatTheirSteps) {
    ASSERT_TRUE(CreatePanel());
    StartLogin(L"carol");
    // A success twice, before the main window knows of it.
    Calls().Clear();
    Panel()->OnRegResponse(0);
    Pump();
    const std::vector<std::wstring> first = Calls().Entries();
    Calls().Clear();
    Panel()->OnRegResponse(0);
    Pump();
    EXPECT_EQ(first, Calls().Entries());
    EXPECT_EQ(L"LogIn", Picture());
    // Failures twice: each answered with its message.
    Calls().Clear();
    for (int code : {404, 404, 408, 403})
        Panel()->OnRegResponse(code);
    Pump();
    std::vector<std::wstring> boxes;
    for (const MessageBoxRecord& box : MessageBoxes::Seen())
        boxes.push_back(box.text);
    EXPECT_EQ((std::vector<std::wstring>{L"Kite:IDS_REGERROR_404", L"Kite:IDS_REGERROR_404",
                                         L"Kite:IDS_REGERROR_403", L"Kite:IDS_REGERROR_403"}),
              boxes);
    EXPECT_EQ(L"LogOut", Picture());
    EXPECT_TRUE(Stores().empty());
}

TEST_F(Results, ResultsBeforeAnyLoginMoveThePanelForTheBlankAccount) {
    ASSERT_TRUE(CreatePanel());
    Calls().Clear();
    Panel()->OnDeRegResponse(0);
    Pump();
    EXPECT_EQ(L"LogOut", Picture());
    EXPECT_EQ(
        (std::vector<std::wstring>{L"Settings.SetAutoLogin(0)", L"Settings.SetSavedPassword()"}),
        Stores());
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
    EXPECT_EQ((std::vector<std::wstring>{
                  L"Settings.SetAutoLogin(0)", L"Settings.SetSavedPassword()",
                  L"Settings.SaveLoginRecord(,,0)", L"Settings.SetLoginServerIndex(0)"}),
              Stores());
    // A failure logs out with its message.
    siblings.main.registered = 1;
    Calls().Clear();
    Panel()->OnRegResponse(404);
    Pump();
    EXPECT_EQ(L"LogOut", Picture());
    EXPECT_EQ(1u, MessageBoxes::Seen().size());
    EXPECT_TRUE(Stores().empty());
}

// ---------------------------------------------------------------------------
// Edits filled to and past their limits

TEST_F(BadInput, AStartupAccountLongerThanTheBoxIsLoggedInAsTheBoxHoldsIt) {
    siblings.main.startupAccount = std::wstring(300, L's').c_str();
    siblings.main.startupPassword = std::wstring(300, L'q').c_str();
    ASSERT_TRUE(CreatePanel());
    EXPECT_FALSE(Text(hPanel, IDC_LOGIN_ACCOUNT).empty());
    EXPECT_TRUE(Calls().Has(L"Login.StartLogin(" + Text(hPanel, IDC_LOGIN_ACCOUNT) + L"," +
                            Text(hPanel, IDC_LOGIN_PASSWORD) + L",0)"));
}

// The runs that ctest starts: a crash or a hang ends only that run, and no
// upgrade program, ini file or log of other tests is touched.

TEST(BadInputRun, InHostFoldersOfTheirOwn) {
    RunInSandbox(L"badinput", L"*-BadInputRun.*:AnsiText.*:ForeignFolder.*", 14);
    // Cyrillic and Chinese letters, outside code page 1252; accented Latin
    // letters, in it.
    RunInSandbox(L"badinput-\u0416\u0436\u4e2d\u6587", L"ForeignFolder.*", 1, {L"upgrade.exe"});
    RunInSandbox(L"badinput-caf\u00e9-\u00f1", L"ForeignFolder.*", 1, {L"upgrade.exe"});
}

TEST(BadInputRun, TextsOutsideTheCodePage) {
    RunInSandbox(L"badinput-ansi", L"AnsiText.*", 2, {L"upgrade.exe"});
}

} // namespace
