// The reference client with the real plug-in: what is stored survives a
// restart of the client, the embedded registrar's answers reach the panel
// later; and the language files.
#include "IniDoc.h"
#include "KiteClient.h"
#include "TextUtil.h"
#include "WindowQuery.h"

#include <TestHost.h> // message boxes and pumping of the test host
#include <resource.h>

#include <gtest/gtest.h>

#include <set>
#include <sstream>

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
        return std::vector<CString>{c.field0,
                                    c.fixedAccount,
                                    c.fixedAccountOn,
                                    c.disableSystemSettings,
                                    c.hideCallPage,
                                    c.hideRemovingUserInfo,
                                    c.refuseLogout,
                                    c.refuseExit,
                                    c.disableCallRecordChange,
                                    c.disableVolumeChange,
                                    c.refuseAutoLogin,
                                    c.disableVolumeControl};
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
    const RegInfo& back = client->Login().GetRegUsers()->front();
    EXPECT_EQ((std::vector<CString>{reg.account, reg.password, reg.address, reg.port, reg.imsDomain,
                                    reg.extra}),
              (std::vector<CString>{back.account, back.password, back.address, back.port,
                                    back.imsDomain, back.extra}));
    EXPECT_EQ(7, back.flag);
    // A person can read what was stored.
    std::string text;
    ASSERT_TRUE(ReadFileBytes(JoinPath(dir, L"settings.ini"), text));
    EXPECT_NE(std::string::npos, text.find("[Account:8001]"));
    EXPECT_NE(std::string::npos, text.find(ToUtf8(L"[Account:张三]")));
}

TEST_F(Client, TheRegistrarsAnswerArrivesLaterAndThePanelShowsIt) {
    struct Case {
        const wchar_t* account;
        const wchar_t* password;
        bool serverUp;
        int code;
        const wchar_t* box; // text of the message box, none on success
    } cases[] = {{L"8001", L"0000", true, 403, L"IDS_REGERROR_403"},
                 {L"9999", L"1234", true, 404, L"IDS_REGERROR_404"},
                 {L"8001", L"1234", false, 408, L"IDS_REGERROR_403"},
                 {L"8002", L"2002", true, 0, nullptr}};
    Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        MessageBoxes::Clear();
        client->Settings().SetServerReachable(0, c.serverUp);
        LoginWith(c.account, c.password);
        EXPECT_EQ(Lang(L"IDS_UC_LOGINING"), Status()) << "the answer comes later";
        EXPECT_TRUE(client->Login().Outcomes().empty());
        ASSERT_TRUE(PumpUntil([&] { return client->Login().Outcomes().size() == 1; }));
        EXPECT_EQ(c.code, client->Login().Outcomes()[0].code);
        EXPECT_EQ(c.code == 0, client->Main().IsRegistered() != 0);
        if (c.box) {
            ASSERT_TRUE(PumpUntil([] { return MessageBoxes::Seen().size() == 1; }));
            EXPECT_EQ(Lang(c.box), MessageBoxes::Seen()[0].text);
            EXPECT_EQ(client->Lang().Peek(L"global", L"IDS_INFO_INFORMATION"),
                      MessageBoxes::Seen()[0].caption);
            EXPECT_EQ(Lang(c.box), StatusBarText(client->Main().StatusBar(), 0));
            EXPECT_EQ(Lang(L"IDS_UC_NOT_LOG"), Status());
        }
    }
    EXPECT_EQ(Lang(L"IDS_UC_LOG_SUCESS"), Status());
    EXPECT_TRUE(MessageBoxes::Seen().empty());
    EXPECT_EQ(PAGE_CALL, client->Main().CurrentPage()) << "no missed calls: the call page";
    EXPECT_EQ(L"8002", client->Records().Account()) << "the stores follow the account";
    EXPECT_EQ(L"8002", client->Contacts().Account());
}

// Both language files hold the same keys, none empty, among them every key
// the plug-in looks up, also in dialogs the tour does not open.
TEST(LanguageFiles, HoldEveryKeyThePluginUses) {
    std::set<std::pair<std::wstring, std::wstring>> keys[2];
    const wchar_t* files[] = {L"lang\\en.lang", L"lang\\zh-CN.lang"};
    for (int f = 0; f < 2; ++f) {
        IniDoc doc;
        ASSERT_TRUE(doc.Load(JoinPath(kite::ExeDir(), files[f])));
        for (const std::wstring& section : doc.Sections())
            for (const IniDoc::Entry& e : doc.Entries(section)) {
                keys[f].insert({section, e.first});
                EXPECT_FALSE(e.second.empty()) << ToUtf8(files[f] + (L" " + e.first));
            }
    }
    EXPECT_EQ(keys[0], keys[1]) << "both files hold the same keys";
    std::wistringstream used(
        L"[global] IDS_APP_NAME IDS_INFO_INFORMATION IDS_INFO_QUESTION IDS_INFO_ERROR "
        L"IDS_BUTTON_OK IDS_BUTTON_CANCEL [Dial] IDS_INFO_IDLE [Kite] IDS_TITLE_REGED "
        L"IDS_UC_NOT_LOG IDS_UC_LOG_SUCESS IDS_UC_LOGINING IDS_REGERROR_403 IDS_REGERROR_404 "
        L"IDS_UC_INFO_LOGOUT IDS_UC_INFO_CHECK IDS_MAIN_REG_TITLE IDS_MAIN_REG_ADD "
        L"IDS_MAIN_REG_MODIFY IDS_MAIN_REG_DEL IDS_MAIN_REG_BTN_CLEAR IDS_MAIN_REG_ACCOUNT "
        L"IDS_MAIN_REG_PASSWORD IDS_MAIN_REG_IP IDS_MAIN_REG_PORT IDS_MAIN_REG_FIELD "
        L"IDS_MAIN_REG_CLEAR [Login] IDS_LOG_CLEAR IDS_LOG_KEYBORD IDS_LOG_PHONE IDS_LOG_ACCOUNT "
        L"IDS_LOG_PASSWORD IDS_LOG_AUTO IDS_LOG_TITLE IDS_LOG_LOGOUT IDS_LOG_ADVSETTING "
        L"IDS_LOG_ACCOUNT_ERRORNULL IDS_LOG_ACCOUNT_ERRORCHAR IDS_LOG_REGUSERS_NULL "
        L"IDC_BUTTON_SERVERSETTING IDS_LOG_SERVERSEL IDS_LOG_PROXYSETTING IDS_LOG_STC_NETTYPE "
        L"IDS_LOG_STC_SERVER IDS_LOG_STC_PORT IDS_LOG_STC_USER IDS_LOG_STC_PSW IDS_LOG_PROXYTEST "
        L"IDS_LOG_NETTYPE_NOPROXY IDS_LOG_NETTYPE_HTTPPORXY IDS_LOG_NETTYPE_IEPROXY "
        L"IDS_LOG_SERVERMODIFY IDS_LOG_SERVE IDS_LOG_DISPLAYNAME IDS_LOG_SERVERADDRESS "
        L"IDS_LOG_SERERBAKADD IDS_LOG_LOCKACCOUNT IDS_LOG_LOCKACCOUNT_PSW "
        L"IDS_LOG_LOCKACCOUNT_ACCOUNT IDS_LOG_LOCKACCOUNT_ACCOUNTNULL IDS_LOG_LOCKACCOUNT_DISABLE "
        L"IDS_LOG_LOCKACCOUNT_HIDE_CALL_PAGE IDS_LOG_LOCKACCOUNT_HIDE_REMOVING_USER_INFO "
        L"IDS_LOG_LOCKACCOUNT_REFUSE_LOGOUT IDS_LOG_LOCKACCOUNT_REFUSE_EXIT "
        L"IDS_LOG_LOCKACCOUNT_DISABLE_MODIFICATION_ON_CALL_RECORD "
        L"IDS_LOG_LOCKACCOUNT_DISABLE_MODIFICATION_ON_VOLUME "
        L"IDS_LOG_LOCKACCOUNT_REFUSE_AUTO_LOGIN "
        L"IDS_LOG_LOCKACCOUNT_DISABLE_MODIFICATION_ON_VOLUMECONTROL [PhoneBook] "
        L"IDS_ADDRBOOK_INFO_EXIST IDS_ADDRBOOK_NETCODE_PWD [Settings] IDS_SPEEDDIAL_TIP_CONFIRM");
    std::wstring section;
    for (std::wstring word; used >> word;) {
        if (word[0] == L'[')
            section = word.substr(1, word.size() - 2);
        else
            EXPECT_EQ(1u, keys[0].count({section, word})) << ToUtf8(section + L":" + word);
    }
}

} // namespace
