// Null and garbage through the exports, the component's interfaces and the
// panel's window: refused with their result codes, never a crash,
// never an exception across the interface, and nothing done besides.
#include "BadInputFixture.h"

#include <VURoder.h>

#include <climits>
#include <cstring>

namespace {

// A GUID with one bit different from the one given.
GUID NearMiss(GUID g, int byte) {
    reinterpret_cast<unsigned char*>(&g)[byte] ^= 0x01;
    return g;
}

class Exports : public BadInput {};

// ---------------------------------------------------------------------------
// Exported functions

TEST_F(Exports, RefusedStartOpensNoLogAndRegistersNothing) {
    const int callbacks = UIGetCallbackCount();
    TraceLogTail trace;
    trace.Mark();
    EXPECT_EQ(-1, host.XSCInitialize(nullptr));
    EXPECT_EQ(callbacks, UIGetCallbackCount()) << "no component was registered";

    // The component is still there for the host, and its panel works, but
    // without a log: a refused start opened none.
    IUSBaseList list;
    ASSERT_EQ(1, host.XSCQueryInterface(IID_ISIGNDESK, list));
    ISIGNDESK* pPanel = dynamic_cast<ISIGNDESK*>(list.front());
    ASSERT_NE(nullptr, pPanel);
    ASSERT_TRUE(pPanel->Create(host.MainWindow()));
    Pump();
    pPanel->OnChangeLanguage();
    EXPECT_TRUE(trace.Lines().empty()) << trace.Text();

    // A proper start opens it: the same operation is traced from then on.
    XSCINITDATA init = {{1, 2, 3, 4, 5}};
    ASSERT_EQ(0, host.XSCInitialize(&init));
    pPanel->OnChangeLanguage();
    EXPECT_NE(std::string::npos, trace.Text().find("CLoginDlg::OnChangeLanguage()][Leave]"));
}

TEST_F(Exports, GarbageStartRecordIsTakenAsItIs) {
    const int callbacks = UIGetCallbackCount();
    XSCINITDATA init;
    std::memset(&init, 0xFF, sizeof(init));
    EXPECT_EQ(0, host.XSCInitialize(&init));
    EXPECT_EQ(callbacks + 1, UIGetCallbackCount());
    EXPECT_EQ(0, host.XSCUninitialize());
    EXPECT_EQ(callbacks, UIGetCallbackCount());
}

TEST_F(Exports, StopBeforeStartAndStopTwiceAreHarmless) {
    const int callbacks = UIGetCallbackCount();
    EXPECT_EQ(0, host.XSCUninitialize());
    EXPECT_EQ(0, host.XSCUninitialize());
    EXPECT_EQ(callbacks, UIGetCallbackCount());
    XSCINITDATA init = {{0, 0, 0, 0, 0}};
    EXPECT_EQ(0, host.XSCInitialize(&init));
    EXPECT_EQ(callbacks + 1, UIGetCallbackCount()) << "a start after the stops still registers";
    EXPECT_EQ(0, host.XSCUninitialize());
    EXPECT_EQ(0, host.XSCUninitialize());
    EXPECT_EQ(callbacks, UIGetCallbackCount());
}

TEST_F(Exports, InformationIntoGarbageFillsOnlyTheRecord) {
    // The record in the middle of a larger buffer: nothing before or after
    // it is touched, and byte 127 (after the empty description) neither.
    unsigned char buf[64 + sizeof(XSCINFO) + 64];
    std::memset(buf, 0xA5, sizeof(buf));
    ASSERT_EQ(0, host.XSCInformation(reinterpret_cast<XSCINFO*>(buf + 64)));
    for (size_t i = 0; i < 64; ++i)
        EXPECT_EQ(0xA5, buf[i]) << "byte before the record " << i;
    for (size_t i = 64 + 127; i < sizeof(buf); ++i)
        EXPECT_EQ(0xA5, buf[i]) << "byte after the description " << i - 64;
    EXPECT_EQ(0, buf[64 + 126]);
    EXPECT_LT(strnlen(reinterpret_cast<char*>(buf + 64 + 62), 64), 64u) << "maker terminated";
}

TEST_F(Exports, GuidsThatAreNotAnsweredAppendNothing) {
    const GUID zero = {};
    GUID ones;
    std::memset(&ones, 0xFF, sizeof(ones));
    std::vector<GUID> guids = {zero, ones, CLSID_SIGNDESKComp, IID_IUIMain, IID_IKITELang};
    for (int byte : {0, 7, 8, 15}) {
        guids.push_back(NearMiss(IID_ISIGNDESK, byte));
        guids.push_back(NearMiss(IID_IUIPlugin, byte));
        guids.push_back(NearMiss(IID_IIUILang, byte));
    }
    IUSBase* sentinel = reinterpret_cast<IUSBase*>(static_cast<intptr_t>(0x5A5A));
    for (size_t i = 0; i < guids.size(); ++i) {
        IUSBaseList list = {sentinel};
        EXPECT_EQ(0, host.XSCQueryInterface(guids[i], list)) << "guid " << i;
        ASSERT_EQ(1u, list.size()) << "guid " << i;
        EXPECT_EQ(sentinel, list[0]);
    }
    // The same GUIDs through the interface itself: out pointer nulled.
    IUSBaseList list;
    ASSERT_EQ(1, host.XSCQueryInterface(IID_ISIGNDESK, list));
    for (size_t i = 0; i < guids.size(); ++i) {
        IUSBase* out = sentinel;
        EXPECT_EQ(0, list[0]->QueryInterface(guids[i], &out)) << "guid " << i;
        EXPECT_EQ(nullptr, out) << "guid " << i;
    }
    EXPECT_EQ(0, list[0]->QueryInterface(IID_ISIGNDESK, nullptr)) << "no out pointer";
}

TEST_F(Exports, HostNotificationsWithNullAndGarbageReachTheFrameworkOnly) {
    XSCINITDATA init = {{1, 2, 3, 4, 5}};
    ASSERT_EQ(0, host.XSCInitialize(&init));
    ASSERT_NE(nullptr, CreatePanel());
    Calls().Clear();
    CXMLU garbage("<<<\x01\x02 not xml");
    CXMLU reply("reply");
    const std::string longName(10000, 'N');
    const int before = UIGetLastDispatch().count;
    UINotify(nullptr, -1, nullptr, nullptr);
    UINotify("", INT_MIN, &garbage, &reply);
    UINotify(longName.c_str(), INT_MAX, &garbage, &reply);
    UIDispatchRecord last = UIGetLastDispatch();
    EXPECT_EQ(before + 3, last.count);
    EXPECT_EQ(longName, last.name);
    EXPECT_EQ(&garbage, last.request);
    EXPECT_EQ(nullptr, last.reply) << "the reply document is never passed on";
    EXPECT_TRUE(Calls().Entries().empty()) << Join(Calls().Entries());
    EXPECT_EQ(kLoggedOut, Status());
}

// ---------------------------------------------------------------------------
// The component's interfaces

TEST_F(Exports, ReleasesBeyondTheReferencesNeverDestroyTheComponent) {
    ASSERT_NE(nullptr, CreatePanel());
    IUSBaseList list;
    ASSERT_EQ(1, host.XSCQueryInterface(IID_IUIPlugin, list));
    for (int i = 0; i < 100; ++i)
        list[0]->Release();
    IUSBaseList again;
    ASSERT_EQ(1, host.XSCQueryInterface(IID_ISIGNDESK, again));
    EXPECT_EQ(Panel(), dynamic_cast<ISIGNDESK*>(again[0])) << "the same instance";
    // The panel still answers.
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"carol");
    Panel()->Login();
    Pump();
    EXPECT_TRUE(Calls().Has(L"Login.StartLogin(carol,,0)"));
    EXPECT_EQ(kLoggingIn, Status());
}

TEST_F(Exports, PluginSlotsIgnoreGarbage) {
    IUSBaseList list;
    ASSERT_EQ(1, host.XSCQueryInterface(IID_IUIPlugin, list));
    IUIPlugin* pPlugin = dynamic_cast<IUIPlugin*>(list[0]);
    ASSERT_NE(nullptr, pPlugin);
    pPlugin->Activate(INT_MIN);
    pPlugin->Deactivate(-1);
    EXPECT_EQ(0, pPlugin->GetCapabilities());
    pPlugin->OnCommand(INT_MAX, INT_MIN, -1);
    EXPECT_TRUE(Calls().Entries().empty()) << Join(Calls().Entries());
}

TEST_F(Exports, PanelSlotsWithGarbageBeforeThePanelExistCallNoSibling) {
    ISIGNDESK* pPanel = host.Start();
    ASSERT_NE(nullptr, pPanel);
    Calls().Clear();
    for (int code : {0, 404, 403, 408, INT_MIN, INT_MAX, -1}) {
        pPanel->OnRegResponse(code);
        pPanel->OnDeRegResponse(code);
        pPanel->UpdateUnsettledMsg(code);
    }
    pPanel->Login();
    pPanel->Logout();
    pPanel->InitFocus();
    pPanel->OnCustomizeSet();
    pPanel->OnChangeLanguage();
    pPanel->CloseKeyBoardDlg();
    RECT bad = {INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    pPanel->Move(bad);
    EXPECT_EQ(nullptr, pPanel->GetLoginWnd());
    EXPECT_TRUE(Calls().Entries().empty()) << Join(Calls().Entries());
    EXPECT_TRUE(MessageBoxes::Seen().empty());
}

TEST_F(Exports, CreateWithNoParentOrADeadOneFailsAndTheNextCreateWorks) {
    ISIGNDESK* pPanel = host.Start();
    ASSERT_NE(nullptr, pPanel);
    EXPECT_EQ(0, pPanel->Create(nullptr));
    EXPECT_EQ(nullptr, pPanel->GetLoginWnd()) << "a null parent creates nothing";

    // A parent object whose window is gone.
    CWnd dead;
    ASSERT_TRUE(dead.CreateEx(0, L"STATIC", L"gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    HWND hDead = dead.Detach();
    DestroyWindow(hDead);
    CWnd stale;
    stale.m_hWnd = hDead;
    EXPECT_EQ(0, pPanel->Create(&stale));
    stale.m_hWnd = nullptr;
    CDialog* pDlg = pPanel->GetLoginWnd();
    ASSERT_NE(nullptr, pDlg) << "the panel object stays for the next attempt";
    EXPECT_EQ(nullptr, pDlg->GetSafeHwnd());

    // The next attempt in a real parent makes the whole panel.
    EXPECT_NE(0, pPanel->Create(host.MainWindow()));
    hPanel = host.PanelWnd();
    ASSERT_NE(nullptr, hPanel);
    EXPECT_EQ(kLoggedOut, Status());
    EXPECT_TRUE(Visible(hPanel, IDC_LOGIN_BTN_LOGIN));
    EXPECT_EQ(0, pPanel->Create(host.MainWindow())) << "a second Create changes nothing";
    EXPECT_EQ(hPanel, host.PanelWnd());
}

TEST_F(Exports, AbsurdRectanglesAreTakenAndAGoodOneRestoresTheLayout) {
    ASSERT_NE(nullptr, CreatePanel());
    for (RECT rc :
         {RECT{0, 0, 0, 0}, RECT{300, 300, 0, 0}, RECT{-5000, -5000, -4000, -4000},
          RECT{INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2}, RECT{10, 10, -327, -400}}) {
        Panel()->Move(rc);
        Pump();
        EXPECT_TRUE(IsWindow(hPanel));
    }
    RECT good = {0, 0, 327, 400};
    Panel()->Move(good);
    Pump();
    RECT button = RectInParent(Item(hPanel, IDC_LOGIN_BTN_ADVANCED));
    EXPECT_EQ(0, button.left);
    EXPECT_EQ(380, button.top);
    EXPECT_EQ(327, button.right);
    EXPECT_EQ(400, button.bottom);
    // And the panel still logs in.
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"carol");
    EXPECT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGIN));
    EXPECT_EQ(kLoggingIn, Status());
}

TEST_F(Exports, RecountKindsOtherThanZeroAndTwoDoNothing) {
    CallRecord unsettled = {};
    siblings.callRecord.missed = {unsettled, unsettled};
    ASSERT_NE(nullptr, CreatePanel());
    const std::wstring before = UnitText(hPanel);
    Calls().Clear();
    for (int kind : {INT_MIN, -2, -1, 1, 3, 4, 1000, INT_MAX})
        Panel()->UpdateUnsettledMsg(kind);
    Pump();
    EXPECT_EQ(0, Calls().Count(L"CallRecord.")) << Join(Calls().Entries());
    EXPECT_EQ(before, UnitText(hPanel));
    Panel()->UpdateUnsettledMsg(2);
    EXPECT_EQ(L"Login:IDS_LOG_PHONE 2", UnitText(hPanel));
}

// ---------------------------------------------------------------------------
// The panel's window

TEST_F(Exports, StripNotificationsWithNullOrForeignPointersSendNoCommand) {
    ASSERT_NE(nullptr, CreatePanel());
    Calls().Clear();
    const UINT kNotify = 0x1400;
    DWORD used = 1, other = 2;
    SKINPANNELNOTIFY empty = {};
    SendMessageW(hPanel, kNotify, 0, 0);
    SendMessageW(hPanel, kNotify, 0, reinterpret_cast<LPARAM>(&empty));
    SendMessageW(hPanel, kNotify, reinterpret_cast<WPARAM>(&used), 0);
    SendMessageW(hPanel, kNotify, reinterpret_cast<WPARAM>(&used),
                 reinterpret_cast<LPARAM>(&empty));
    SendMessageW(hPanel, kNotify, reinterpret_cast<WPARAM>(&other),
                 reinterpret_cast<LPARAM>(&empty));
    Pump();
    EXPECT_EQ(0, Calls().Count(L"Main.ShowRecordPage")) << Join(Calls().Entries());
    EXPECT_EQ(kLoggedOut, Status());
}

TEST_F(Exports, CommandsTheMapDoesNotKnowAreIgnored) {
    ASSERT_NE(nullptr, CreatePanel());
    Calls().Clear();
    for (int id : {0, 999, 2208, 2212, 3000, 65535})
        for (int code : {BN_CLICKED, EN_CHANGE, 0xFFFF})
            SendMessageW(hPanel, WM_COMMAND, MAKEWPARAM(id, code),
                         reinterpret_cast<LPARAM>(reinterpret_cast<HWND>(0x1234)));
    Pump();
    EXPECT_TRUE(IsWindowVisible(hPanel));
    EXPECT_TRUE(Stores().empty()) << Join(Stores());
    EXPECT_EQ(0, Calls().Count(L"Login.")) << Join(Calls().Entries());
    EXPECT_EQ(kLoggedOut, Status());
}

} // namespace
