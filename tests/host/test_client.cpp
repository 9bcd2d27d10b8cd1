// The reference client with the real plug-in: what is stored survives a
// restart of the client, the embedded registrar's answers reach the panel
// later.
#include "KiteClient.h"
#include "TextUtil.h"
#include "WindowQuery.h"

#include <TestHost.h> // message boxes and pumping of the test host
#include "res/resource.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace kite;

namespace {

class Client : public ::testing::Test {
protected:
    void SetUp() override {
        MessageBoxes::Install();
        MessageBoxes::Clear();
        RemoveTree(dir);
    }
    void TearDown() override {
        client.reset();
        MessageBoxes::Uninstall();
    }
    // Starts the client on dir; a second call is a restart.
    void Start() {
        client.reset();
        ClientOptions options;
        options.dataDir = dir;
        options.language = L"en";
        client.reset(new KiteClient(options));
        client->Registry().SetDelay(delay);
        ASSERT_TRUE(client->Start()) << ToUtf8(client->Error());
    }
    HWND Panel() const { return client->PanelWnd(); }
    std::wstring Lang(const wchar_t* key) const { return client->Lang().Peek(L"Kite", key); }
    std::wstring Status() const { return ItemText(Panel(), IDC_LOGIN_STATUS); }
    void LoginWith(const wchar_t* account, const wchar_t* password, bool autoLogin = false) {
        SetText(Panel(), IDC_LOGIN_ACCOUNT, account);
        SetText(Panel(), IDC_LOGIN_PASSWORD, password);
        SetChecked(Panel(), IDC_LOGIN_AUTOLOGIN, autoLogin);
        ASSERT_TRUE(Click(Panel(), IDC_LOGIN_BTN_LOGIN));
    }
    bool WaitRegistered() {
        return PumpUntil([&] { return client->Main().IsRegistered() != 0; });
    }

    const std::wstring dir = JoinPath(kite::ExeDir(), L"test-client-data");
    unsigned delay = 150;
    std::unique_ptr<KiteClient> client;
};

TEST_F(Client, NothingStoredIsLostAcrossARestart) {
    Start();
    // What the plug-in's dialogs store through the settings interface ...
    IUIPSETTING& s = client->Settings();
    s.SetServer(1, L"East (new)", L"e.kite.example", L"5070", L"e2.kite.example", L"5071");
    s.SetClearOnLogout(L"1");
    s.GetProxySetting()->proxyAddress = L"proxy.kite.example"; // edited in place
    s.SaveLoginRecord({L"张三", L"密码", L"1"});
    s.SaveLoginRecord({L"8002", L"", L"0"});
    s.DeleteAccountInfo(L"8002");
    // Customize texts that are no flags, so that the panel stays unrestricted.
    const CustomizeSet set = {L"v0", L"v1", L"v2", L"v3", L"v4",  L"v5",
                              L"v6", L"v7", L"v8", L"v9", L"v10", L"v11"};
    auto fields = [](const CustomizeSet& c) {
        return std::tie(c.field0, c.fixedAccount, c.fixedAccountOn, c.disableSystemSettings,
                        c.hideCallPage, c.hideRemovingUserInfo, c.refuseLogout, c.refuseExit,
                        c.disableCallRecordChange, c.disableVolumeChange, c.refuseAutoLogin,
                        c.disableVolumeControl);
    };
    s.SetCustomizeSet(set);
    RegInfo reg = {L"8003", L"3003", L"sip.kite.example", L"5060", L"kite.example", 7, L"kept"};
    client->Login().GetRegUsers()->push_back(reg);
    client->Login().SaveRegUsers();
    // ... and what the panel stores on a login.
    LoginWith(L"8001", L"1234", true);
    ASSERT_TRUE(WaitRegistered());

    delay = 1000;
    Start();
    // The panel comes back with account, password and automatic login, and logs in.
    EXPECT_EQ(L"8001", ItemText(Panel(), IDC_LOGIN_ACCOUNT));
    EXPECT_EQ(L"1234", ItemText(Panel(), IDC_LOGIN_PASSWORD));
    EXPECT_TRUE(Checked(Panel(), IDC_LOGIN_AUTOLOGIN));
    EXPECT_EQ(Lang(L"IDS_UC_LOGINING"), Status());
    EXPECT_EQ(LoginLogic::STATE_REGISTERING, client->Login().GetState());
    EXPECT_TRUE(WaitRegistered());

    IUIPSETTING& again = client->Settings();
    EXPECT_EQ((std::vector<CString>{L"8001", L"张三"}), *again.GetAccountList()) << "latest first";
    LoginRecord r;
    ASSERT_TRUE(again.FindLoginRecord(L"8001", r));
    EXPECT_EQ(CString(L"1234"), r.password);
    EXPECT_EQ(CString(L"1"), r.autoLogin);
    ASSERT_TRUE(again.FindLoginRecord(L"张三", r));
    EXPECT_EQ(CString(L"密码"), r.password);
    EXPECT_FALSE(again.FindLoginRecord(L"8002", r)) << "deleted account info stays deleted";
    EXPECT_EQ(CString(L"1234"), again.GetSavedPassword());
    EXPECT_EQ(CString(L"1"), again.GetAutoLogin());
    EXPECT_EQ(CString(L"0"), again.GetLoginServerIndex());
    EXPECT_EQ(CString(L"1"), again.GetClearOnLogout());
    EXPECT_EQ(CString(L"proxy.kite.example"), again.GetProxySetting()->proxyAddress);
    const ServerInfo& e = (*again.GetServerList())[1]; // SetServer never changes the name
    EXPECT_EQ((std::vector<CString>{L"kite-east", L"East (new)", L"e.kite.example", L"5070",
                                    L"e2.kite.example", L"5071"}),
              (std::vector<CString>{e.name, e.displayName, e.address, e.port, e.backupAddress,
                                    e.backupPort}));
    EXPECT_EQ(fields(set), fields(*again.GetCustomizeSet()));
    ASSERT_EQ(1u, client->Login().GetRegUsers()->size());
    const RegInfo& b = client->Login().GetRegUsers()->front();
    EXPECT_EQ(std::tie(reg.account, reg.password, reg.address, reg.port, reg.imsDomain, reg.flag,
                       reg.extra),
              std::tie(b.account, b.password, b.address, b.port, b.imsDomain, b.flag, b.extra));
    // A person can read what was stored.
    std::string text;
    ASSERT_TRUE(ReadFileBytes(JoinPath(dir, L"settings.ini"), text));
    EXPECT_NE(std::string::npos, text.find("[Account:8001]"));
    EXPECT_NE(std::string::npos, text.find(ToUtf8(L"[Account:张三]")));
}

TEST_F(Client, TheRegistrarsAnswerArrivesLaterAndThePanelShowsIt) {
    // Account, password, server reachable, the code, the message box's text
    // (none on success).
    const std::tuple<const wchar_t*, const wchar_t*, bool, int, const wchar_t*> cases[] = {
        {L"8001", L"0000", true, 403, L"IDS_REGERROR_403"},
        {L"9999", L"1234", true, 404, L"IDS_REGERROR_404"},
        {L"8001", L"1234", false, 408, L"IDS_REGERROR_403"},
        {L"8002", L"2002", true, 0, nullptr}};
    Start();
    for (const auto& [account, password, serverUp, code, box] : cases) {
        SCOPED_TRACE(code);
        MessageBoxes::Clear();
        client->Settings().SetServerReachable(0, serverUp);
        LoginWith(account, password);
        EXPECT_EQ(Lang(L"IDS_UC_LOGINING"), Status()) << "the answer comes later";
        EXPECT_TRUE(client->Login().Outcomes().empty());
        ASSERT_TRUE(PumpUntil([&] { return client->Login().Outcomes().size() == 1; }));
        EXPECT_EQ(code, client->Login().Outcomes()[0].code);
        EXPECT_EQ(code == 0, client->Main().IsRegistered() != 0);
        if (box) {
            ASSERT_TRUE(PumpUntil([] { return MessageBoxes::Seen().size() == 1; }));
            EXPECT_EQ(Lang(box), MessageBoxes::Seen()[0].text);
            EXPECT_EQ(client->Lang().Peek(L"global", L"IDS_INFO_INFORMATION"),
                      MessageBoxes::Seen()[0].caption);
            EXPECT_EQ(Lang(box), StatusBarText(client->Main().StatusBar(), 0));
            EXPECT_EQ(Lang(L"IDS_UC_NOT_LOG"), Status());
        }
    }
    EXPECT_EQ(Lang(L"IDS_UC_LOG_SUCESS"), Status());
    EXPECT_TRUE(MessageBoxes::Seen().empty());
    EXPECT_EQ(PAGE_CALL, client->Main().CurrentPage()) << "no missed calls: the call page";
    EXPECT_EQ(L"8002", client->Records().Account()) << "the stores follow the account";
    EXPECT_EQ(L"8002", client->Contacts().Account());
}

TEST_F(Client, TheStatusBarFollowsALanguageSwitchInEveryState) {
    Start();
    // The status text the panel last sent, shown in each language in turn.
    auto expectBar = [&](const wchar_t* key) {
        SCOPED_TRACE(ToUtf8(key));
        std::wstring shown[2];
        const wchar_t* codes[] = {L"zh-CN", L"en"};
        for (int i = 0; i < 2; ++i) {
            ASSERT_TRUE(client->SwitchLanguage(codes[i]));
            shown[i] = StatusBarText(client->Main().StatusBar(), 0);
            EXPECT_EQ(client->Lang().Peek(L"Kite", key), shown[i]) << ToUtf8(codes[i]);
        }
        EXPECT_NE(shown[0], shown[1]);
    };
    auto login = [&](const wchar_t* account, const wchar_t* password) {
        LoginWith(account, password);
        ASSERT_TRUE(PumpUntil([&] { return Status() != Lang(L"IDS_UC_LOGINING"); }));
    };
    EXPECT_EQ(L"", StatusBarText(client->Main().StatusBar(), 0)) << "nothing sent yet";
    login(L"8001", L"0000");
    expectBar(L"IDS_REGERROR_403");
    login(L"9999", L"1234");
    expectBar(L"IDS_REGERROR_404");
    login(L"8001", L"1234");
    expectBar(L"IDS_TITLE_REGED");
    client->Main().ShowPage(PAGE_LOGIN);               // the login showed the call page
    ASSERT_TRUE(Click(Panel(), IDC_LOGIN_BTN_LOGOUT)); // the question is answered with OK
    ASSERT_TRUE(PumpUntil([&] { return client->Main().IsRegistered() == 0; }));
    PumpFor(100);
    expectBar(L"IDS_UC_NOT_LOG");
}

} // namespace
