// The reference client with the real plug-in: the panel in the main
// window, logins answered by the embedded registrar, what the plug-in
// stores surviving a restart of the client, start-up credentials, missed
// calls, language switch, logout, the function configuration.
#include "ClientResource.h"
#include "HostTestUtil.h"
#include "KiteClient.h"
#include "PngWriter.h"
#include "TextUtil.h"
#include "WindowQuery.h"

#include <TestHost.h> // the modal-dialog driver of the test host
#include <resource.h>

#include <commctrl.h>
#include <gtest/gtest.h>

using namespace kite;

namespace {

// Ctrl+P as the panel gets it from the message loop: the key goes down
// while Ctrl is held (only the key-down, so that one dialog opens).
void CtrlP(HWND target) {
    BYTE keys[256], saved[256];
    ::GetKeyboardState(saved);
    memcpy(keys, saved, sizeof(keys));
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    ::PostMessageW(target, WM_KEYDOWN, 'P', 1);
    hosttest::PumpFor(100);
    ::SetKeyboardState(saved);
}

class ClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        hosttest::AnswerBoxes();
        dir = hosttest::FreshDir(L"test-client-data");
    }
    void TearDown() override {
        client.reset();
        hosttest::StopAnsweringBoxes();
        DialogDriver::Reset();
        DialogDriver::Uninstall();
    }
    // Starts a client on dir (a second call is a restart of the client).
    void Start(const std::wstring& account = L"", const std::wstring& password = L"") {
        client.reset();
        ClientOptions options;
        options.dataDir = dir;
        options.language = L"en";
        options.account = account;
        options.password = password;
        client.reset(new KiteClient(options));
        client->Registry().SetDelay(delay);
        ASSERT_TRUE(client->Start()) << ToUtf8(client->Error());
    }
    HWND Panel() const { return client->PanelWnd(); }
    std::wstring Lang(const wchar_t* section, const wchar_t* key) const {
        return client->Lang().Peek(section, key);
    }
    std::wstring Status() const { return ItemText(Panel(), IDC_LOGIN_STATUS); }
    void Click(int id) { ::SendMessageW(::GetDlgItem(Panel(), id), BM_CLICK, 0, 0); }
    void LoginWith(const wchar_t* account, const wchar_t* password, bool autoLogin = false) {
        ::SetWindowTextW(::GetDlgItem(Panel(), IDC_LOGIN_ACCOUNT), account);
        ::SetWindowTextW(::GetDlgItem(Panel(), IDC_LOGIN_PASSWORD), password);
        ::SendMessageW(::GetDlgItem(Panel(), IDC_LOGIN_AUTOLOGIN), BM_SETCHECK,
                       autoLogin ? BST_CHECKED : BST_UNCHECKED, 0);
        ASSERT_TRUE(ItemVisible(Panel(), IDC_LOGIN_BTN_LOGIN));
        Click(IDC_LOGIN_BTN_LOGIN);
    }
    bool WaitRegistered() {
        return hosttest::PumpUntil([&] { return client->Main().IsRegistered() != 0; });
    }
    bool WaitStatus(const wchar_t* key) {
        return hosttest::PumpUntil([&] { return Status() == Lang(L"Kite", key); });
    }
    std::wstring MissedUnit() const { return UnitText(Panel(), IDC_LOGIN_UNIT_NOANSWER); }
    std::wstring MissedUnitWith(int n) const {
        return Lang(L"Login", L"IDS_LOG_PHONE") + L" " + std::to_wstring(n);
    }

    std::wstring dir;
    unsigned delay = 150;
    std::unique_ptr<KiteClient> client;
};

TEST_F(ClientTest, ThePanelFillsThePageOfTheMainWindowInTheClientsLanguage) {
    Start();
    HWND main = client->Main().GetSafeHwnd();
    ASSERT_TRUE(Panel());
    EXPECT_EQ(main, ::GetParent(Panel()));
    EXPECT_TRUE(::IsWindowVisible(Panel()));
    RECT rc;
    ::GetWindowRect(Panel(), &rc);
    ::MapWindowPoints(HWND_DESKTOP, main, reinterpret_cast<POINT*>(&rc), 2);
    RECT page = client->Main().PageRect();
    EXPECT_EQ(page.left, rc.left);
    EXPECT_EQ(page.top, rc.top);
    EXPECT_EQ(kPageWidth, rc.right - rc.left);
    EXPECT_EQ(kPageHeight, rc.bottom - rc.top);
    RECT client_rc;
    ::GetClientRect(main, &client_rc);
    EXPECT_EQ(kPageWidth, client_rc.right) << "the page spans the main window";

    EXPECT_EQ(Lang(L"Kite", L"IDS_UC_NOT_LOG"), Status());
    EXPECT_EQ(L"Log in", ItemText(Panel(), IDC_LOGIN_BTN_LOGIN));
    EXPECT_EQ(L"Account", ItemText(Panel(), IDC_LOGIN_LBL_ACCOUNT));
    EXPECT_EQ(L"Kite", WindowText(main));
    EXPECT_EQ(3, TabCtrl_GetItemCount(client->Main().Tabs()));
    EXPECT_EQ(PAGE_LOGIN, client->Main().CurrentPage());
    EXPECT_EQ(L"Not registered", StatusBarText(client->Main().StatusBar(), 1));
    // The plug-in found its advertising lines in the client's kite.ini.
    EXPECT_EQ(client->Config().Get(L"KiteLogIn", L"BillText1"), ItemText(Panel(), IDC_LOGIN_BILL1));
}

TEST_F(ClientTest, ALoginIsAnsweredLaterAndWhatThePanelStoresSurvivesARestart) {
    Start();
    LoginWith(L"8001", L"1234", true);
    EXPECT_EQ(Lang(L"Kite", L"IDS_UC_LOGINING"), Status()) << "the answer comes later";
    EXPECT_FALSE(client->Main().IsRegistered());
    ASSERT_TRUE(WaitRegistered());
    ASSERT_TRUE(WaitStatus(L"IDS_UC_LOG_SUCESS"));

    MainFrame& main = client->Main();
    EXPECT_EQ(L"Kite  \x2014  8001  \x2014  Idle", WindowText(main.GetSafeHwnd()));
    EXPECT_EQ(Lang(L"Kite", L"IDS_TITLE_REGED"), StatusBarText(main.StatusBar(), 0));
    EXPECT_EQ(L"8001 registered", StatusBarText(main.StatusBar(), 1));
    EXPECT_EQ(L"8001", main.CurrentAccount());
    EXPECT_EQ(PAGE_CALL, main.CurrentPage()) << "no missed calls: the call page comes up";
    EXPECT_FALSE(::IsWindowVisible(Panel()));
    EXPECT_NE(std::wstring::npos,
              ItemText(main.Calls().GetSafeHwnd(), IDC_CALL_IDENTITY).find(L"8001@kite.example"));
    EXPECT_TRUE(client->Records().IsOpen());
    EXPECT_EQ(L"8001", client->Contacts().Account());

    // The settings file holds what the panel stored.
    {
        SettingsStore stored(JoinPath(dir, L"settings.ini"), L"");
        ASSERT_EQ(1u, stored.GetAccountList()->size());
        EXPECT_EQ(CString(L"8001"), stored.GetAccountList()->front());
        EXPECT_EQ(CString(L"1"), stored.GetAutoLogin());
        EXPECT_EQ(CString(L"1234"), stored.GetSavedPassword());
        LoginRecord r;
        ASSERT_TRUE(stored.FindLoginRecord(L"8001", r));
        EXPECT_EQ(CString(L"1234"), r.password);
        EXPECT_EQ(CString(L"1"), r.autoLogin);
        EXPECT_EQ(CString(L"0"), stored.GetLoginServerIndex());
    }

    // A restart: the panel comes back with the account, the saved password
    // and automatic login, and logs in by itself.
    delay = 1000;
    Start();
    EXPECT_EQ(L"8001", ItemText(Panel(), IDC_LOGIN_ACCOUNT));
    EXPECT_EQ(L"1234", ItemText(Panel(), IDC_LOGIN_PASSWORD));
    EXPECT_EQ(BST_CHECKED,
              ::SendMessageW(::GetDlgItem(Panel(), IDC_LOGIN_AUTOLOGIN), BM_GETCHECK, 0, 0));
    EXPECT_EQ(LoginLogic::STATE_REGISTERING, client->Login().GetState());
    EXPECT_EQ(Lang(L"Kite", L"IDS_UC_LOGINING"), Status());
    EXPECT_TRUE(WaitRegistered());
    EXPECT_EQ(L"Log out", ItemText(Panel(), IDC_LOGIN_BTN_LOGOUT)) << "in the client's language";
}

TEST_F(ClientTest, StartUpCredentialsFromTheCommandLineStartALoginAtOnce) {
    delay = 1000;
    Start(L"8002", L"2002");
    EXPECT_EQ(Lang(L"Kite", L"IDS_UC_LOGINING"), Status());
    EXPECT_EQ(L"8002", client->Login().Account());
    ASSERT_TRUE(WaitRegistered());
    EXPECT_EQ(L"8002", client->Main().CurrentAccount());
    CString a, p;
    client->Main().GetStartupAccount(a, p);
    EXPECT_TRUE(a.IsEmpty()) << "handed over once";
}

TEST_F(ClientTest, RefusedLoginsShowTheRegistrarsAnswer) {
    Start();
    LoginWith(L"8001", L"0000");
    ASSERT_TRUE(hosttest::PumpUntil([&] { return hosttest::Boxes().size() == 1; }));
    EXPECT_EQ(Lang(L"Kite", L"IDS_REGERROR_403"), hosttest::Boxes()[0].text);
    EXPECT_EQ(Lang(L"global", L"IDS_INFO_INFORMATION"), hosttest::Boxes()[0].caption);
    EXPECT_EQ(Lang(L"Kite", L"IDS_REGERROR_403"), StatusBarText(client->Main().StatusBar(), 0));
    EXPECT_EQ(Lang(L"Kite", L"IDS_UC_NOT_LOG"), Status());

    LoginWith(L"9999", L"1234");
    ASSERT_TRUE(hosttest::PumpUntil([&] { return hosttest::Boxes().size() == 2; }));
    EXPECT_EQ(Lang(L"Kite", L"IDS_REGERROR_404"), hosttest::Boxes()[1].text);
    EXPECT_EQ(Lang(L"Kite", L"IDS_REGERROR_404"), StatusBarText(client->Main().StatusBar(), 0));

    // The chosen server does not answer: 408, shown with the 403 text.
    client->Settings().SetServerReachable(0, false);
    LoginWith(L"8001", L"1234");
    ASSERT_TRUE(hosttest::PumpUntil([&] { return hosttest::Boxes().size() == 3; }));
    EXPECT_EQ(Lang(L"Kite", L"IDS_REGERROR_403"), hosttest::Boxes()[2].text);
    ASSERT_EQ(1u, client->Login().Outcomes().size());
    EXPECT_EQ(408, client->Login().Outcomes()[0].code);
    EXPECT_FALSE(client->Main().IsRegistered());
}

TEST_F(ClientTest, MissedCallsKeepThePanelInFrontAndItsCounterFollowsTheStore) {
    client.reset();
    {
        CallRecordStore seed(JoinPath(dir, L"accounts"));
        seed.Add(L"8001", KIND_MISSED, L"8002", false);
        seed.Add(L"8001", KIND_MISSED, L"8003", false);
        seed.Add(L"8001", KIND_MISSED, L"6100", true);
    }
    Start();
    LoginWith(L"8001", L"1234");
    ASSERT_TRUE(WaitRegistered());
    ASSERT_TRUE(hosttest::PumpUntil([&] { return MissedUnit() == MissedUnitWith(2); }));
    EXPECT_EQ(PAGE_LOGIN, client->Main().CurrentPage());
    EXPECT_TRUE(ItemVisible(Panel(), IDC_LOGIN_PANNEL));

    client->AddMissedCall(L"8003"); // told to the panel through slot 14
    EXPECT_EQ(MissedUnitWith(3), MissedUnit());
    client->SettleRecords(KIND_MISSED);
    EXPECT_EQ(MissedUnitWith(0), MissedUnit());

    // The counter opens the record page.
    ASSERT_TRUE(PressUnit(Panel(), IDC_LOGIN_UNIT_NOANSWER));
    ASSERT_TRUE(hosttest::PumpUntil([&] { return client->Main().CurrentPage() == PAGE_RECORDS; }));
    EXPECT_EQ(2, client->Main().Records().Kind());
    HWND list = ::GetDlgItem(client->Main().Records().GetSafeHwnd(), IDC_RECORD_LIST);
    EXPECT_EQ(4, ListView_GetItemCount(list));
}

TEST_F(ClientTest, TheLanguageSwitchesWhileTheClientRunsAndIsRemembered) {
    Start();
    ASSERT_TRUE(client->SwitchLanguage(L"zh-CN"));
    EXPECT_EQ(L"登录", ItemText(Panel(), IDC_LOGIN_BTN_LOGIN));
    EXPECT_EQ(L"您还没有登录", Status());
    EXPECT_EQ(L"帐号", ItemText(Panel(), IDC_LOGIN_LBL_ACCOUNT));
    EXPECT_EQ(L"未注册", StatusBarText(client->Main().StatusBar(), 1));
    EXPECT_EQ(L"zh-CN", client->Config().Language());
    ASSERT_TRUE(client->SwitchLanguage(L"en"));
    EXPECT_EQ(L"Log in", ItemText(Panel(), IDC_LOGIN_BTN_LOGIN));
    EXPECT_EQ(L"en", client->Config().Language());
    EXPECT_FALSE(client->SwitchLanguage(L"xx"));
    EXPECT_TRUE(client->Lang().Misses().empty());
}

TEST_F(ClientTest, LogoutAsksThenDeregistersThroughTheLoginLogic) {
    Start();
    LoginWith(L"8001", L"1234");
    ASSERT_TRUE(WaitRegistered());
    client->Main().ShowLoginPage();
    hosttest::Boxes().clear();
    Click(IDC_LOGIN_BTN_LOGOUT);
    ASSERT_EQ(1u, hosttest::Boxes().size());
    EXPECT_EQ(Lang(L"Kite", L"IDS_UC_INFO_LOGOUT"), hosttest::Boxes()[0].text);
    EXPECT_EQ(Lang(L"Kite", L"IDS_UC_NOT_LOG"), Status());
    EXPECT_FALSE(client->Main().IsRegistered());
    EXPECT_EQ(L"", client->Main().CurrentAccount());
    EXPECT_EQ(PAGE_LOGIN, client->Main().CurrentPage());
    EXPECT_EQ(L"Kite", WindowText(client->Main().GetSafeHwnd()));
    EXPECT_FALSE(client->Records().IsOpen());
    ASSERT_TRUE(
        hosttest::PumpUntil([&] { return client->Login().GetState() == LoginLogic::STATE_IDLE; }));
    const std::vector<std::wstring>& events = client->Main().Events();
    EXPECT_NE(events.end(), std::find(events.begin(), events.end(), L"NotifyLogout"));
    EXPECT_NE(events.end(), std::find(events.begin(), events.end(), L"NotifyDeregistered"));
}

TEST_F(ClientTest, TheFunctionConfigurationIsStoredAndAppliedByTheMainWindow) {
    Start();
    LoginWith(L"8001", L"1234");
    ASSERT_TRUE(WaitRegistered());
    client->Main().ShowLoginPage();
    ASSERT_EQ(L"admin", client->Config().AdminPassword());

    DialogDriver::Install();
    DialogDriver::OnNextDialog([](HWND dlg) {
        ::SetWindowTextW(::GetDlgItem(dlg, IDC_LOCK_PASSWORD), L"admin");
        ::SendMessageW(::GetDlgItem(dlg, IDC_LOCK_REFUSE_EXIT), BM_SETCHECK, BST_CHECKED, 0);
        ::SendMessageW(::GetDlgItem(dlg, IDC_LOCK_HIDE_CALLPAGE), BM_SETCHECK, BST_CHECKED, 0);
        ::SendMessageW(::GetDlgItem(dlg, IDC_LOCK_REFUSE_LOGOUT), BM_SETCHECK, BST_CHECKED, 0);
        ::SendMessageW(::GetDlgItem(dlg, IDOK), BM_CLICK, 0, 0);
    });
    CtrlP(Panel());
    EXPECT_EQ(0, DialogDriver::Pending());
    EXPECT_FALSE(DialogDriver::WatchdogFired());

    CustomizeSet* set = client->Settings().GetCustomizeSet();
    EXPECT_EQ(CString(L"1"), set->refuseExit);
    EXPECT_EQ(CString(L"1"), set->hideCallPage);
    EXPECT_EQ(CString(L"1"), set->refuseLogout);
    const std::vector<std::wstring>& events = client->Main().Events();
    EXPECT_NE(events.end(), std::find(events.begin(), events.end(), L"ApplyCustomizeSet"));
    EXPECT_EQ(2, TabCtrl_GetItemCount(client->Main().Tabs())) << "the call page is hidden";
    EXPECT_FALSE(ItemVisible(Panel(), IDC_LOGIN_BTN_LOGOUT)) << "the panel refuses logout";

    // Exit is refused, with a message.
    hosttest::Boxes().clear();
    ::SendMessageW(client->Main().GetSafeHwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(::IsWindow(client->Main().GetSafeHwnd()));
    ASSERT_EQ(1u, hosttest::Boxes().size());
    EXPECT_EQ(client->Text(L"EXIT_REFUSED"), hosttest::Boxes()[0].text);

    // And it stays so after a restart.
    Start();
    EXPECT_EQ(2, TabCtrl_GetItemCount(client->Main().Tabs()));
}

TEST_F(ClientTest, MultiUserModeComesWithANewPanelAndRegistersTheList) {
    Start();
    std::vector<RegInfo>& list = *client->Login().GetRegUsers();
    RegInfo a;
    a.account = L"8001";
    a.password = L"1234";
    a.address = L"sip.kite.example";
    a.port = L"5060";
    list.push_back(a);
    a.account = L"8003";
    a.password = L"3003";
    list.push_back(a);
    client->Login().SaveRegUsers();
    HWND before = Panel();
    client->SetMultiUser(true);
    EXPECT_TRUE(Panel() && ::IsWindowVisible(Panel()));
    EXPECT_FALSE(::IsWindow(before) && before != Panel()) << "the old panel is gone";
    EXPECT_FALSE(ItemVisible(Panel(), IDC_LOGIN_ACCOUNT)) << "multi-user mode hides the fields";
    ::SetWindowTextW(::GetDlgItem(Panel(), IDC_LOGIN_ACCOUNT), L"x");
    Click(IDC_LOGIN_BTN_LOGIN);
    ASSERT_TRUE(WaitRegistered());
    ASSERT_TRUE(hosttest::PumpUntil([&] { return client->Login().Outcomes().size() == 2; }));
    EXPECT_EQ(L"2 of 2 accounts registered", StatusBarText(client->Main().StatusBar(), 1));
}

TEST_F(ClientTest, TheMenusDriveThePanelThroughItsInterface) {
    Start();
    HWND main = client->Main().GetSafeHwnd();
    auto menu = [&](UINT id) { ::SendMessageW(main, WM_COMMAND, id, 0); };
    ::SetWindowTextW(::GetDlgItem(Panel(), IDC_LOGIN_ACCOUNT), L"8001");
    ::SetWindowTextW(::GetDlgItem(Panel(), IDC_LOGIN_PASSWORD), L"1234");
    menu(ID_CLIENT_LOGIN); // ISIGNDESK::Login
    EXPECT_EQ(Lang(L"Kite", L"IDS_UC_LOGINING"), Status());
    ASSERT_TRUE(WaitRegistered());

    menu(ID_DEMO_MISSED_CALL); // a call missed just now
    EXPECT_EQ(MissedUnitWith(1), MissedUnit());
    menu(ID_VIEW_MISSED);
    EXPECT_EQ(PAGE_RECORDS, client->Main().CurrentPage());
    menu(ID_VIEW_LOGIN);
    EXPECT_EQ(PAGE_LOGIN, client->Main().CurrentPage());

    DialogDriver::Install();
    DialogDriver::OnNextDialog([](HWND dlg) { ::PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0); });
    menu(ID_CLIENT_LOCK); // the panel's Ctrl+P
    ASSERT_EQ(1u, DialogDriver::Opened().size());
    EXPECT_EQ(Lang(L"Login", L"IDS_LOG_LOCKACCOUNT"), DialogDriver::Opened()[0]);

    // The language menu lists the language files; the second is Chinese.
    std::vector<LangService::Language> languages = client->Lang().Available();
    for (size_t i = 0; i < languages.size(); ++i)
        if (languages[i].code == L"zh-CN")
            menu(ID_LANGUAGE_FIRST + static_cast<UINT>(i));
    EXPECT_EQ(L"zh-CN", client->Lang().Current());
    EXPECT_EQ(L"注销", ItemText(Panel(), IDC_LOGIN_BTN_LOGOUT));

    menu(ID_CLIENT_LOGOUT); // ISIGNDESK::Logout, confirmed by the box handler
    EXPECT_FALSE(client->Main().IsRegistered());

    menu(ID_DEMO_SERVER_DOWN); // the server used last stops answering
    EXPECT_FALSE(client->Settings().IsServerReachable(0));
    hosttest::Boxes().clear();
    menu(ID_CLIENT_LOGIN);
    ASSERT_TRUE(hosttest::PumpUntil([&] { return !hosttest::Boxes().empty(); }));
    ASSERT_EQ(1u, client->Login().Outcomes().size());
    EXPECT_EQ(408, client->Login().Outcomes()[0].code);
    client->SwitchLanguage(L"en");
}

TEST(ClientProgram, RunsAsAProgramAndWritesAPictureOfItsWindow) {
    std::wstring dir = hosttest::FreshDir(L"test-program-data");
    std::wstring picture = JoinPath(dir, L"window.png");
    std::wstring cmd = L"\"" + JoinPath(kite::ExeDir(), L"KiteClient.exe") + L"\" --data \"" + dir +
                       L"\" --lang en --screenshot \"" + picture + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::vector<wchar_t> line(cmd.begin(), cmd.end());
    line.push_back(0);
    ASSERT_TRUE(::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &si, &pi));
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(pi.hProcess, 60000));
    DWORD code = 1;
    ::GetExitCodeProcess(pi.hProcess, &code);
    ::CloseHandle(pi.hProcess);
    ::CloseHandle(pi.hThread);
    EXPECT_EQ(0u, code);
    std::string png;
    ASSERT_TRUE(ReadFileBytes(picture, png));
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(DecodePng(png, w, h, rgb));
    EXPECT_GT(w, kPageWidth);
    EXPECT_GT(h, kPageHeight);
    EXPECT_TRUE(FileExists(JoinPath(dir, L"settings.ini")));
}

} // namespace
