// The reference client with the real plug-in against a real registrar:
// Kamailio, started for this test run by tests/host/with_registrar.sh on
// two loopback ports. Logins and the registrar's answers (0, 403, 404),
// the backup address when the main one does not answer, 408 when none
// does, refreshes of a short lifetime across stale nonces, logout, closing
// while registered, multi-user registration. A registrar of the test's own
// sends malformed responses and stops answering refreshes. What is stored
// survives a restart, and no saved password is plain text in a file.
#include "IniDoc.h"
#include "KiteClient.h"
#include "TextUtil.h"
#include "WindowQuery.h"

#include "SipTestKit.h"
#include <TestHost.h> // message boxes and pumping of the test host
#include "res/resource.h"

#include <gtest/gtest.h>

#include <cctype>
#include <tuple>

using namespace kite;
using namespace kitetest;

namespace {

class Client : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(RegistrarOption().empty()) << RegistrarHelp();
        MessageBoxes::Install();
        MessageBoxes::Clear();
        RemoveTree(dir);
    }
    void TearDown() override {
        client.reset();
        MessageBoxes::Uninstall();
    }
    // Starts the client on dir, its first server pointing at the test run's
    // registrar; a second call is a restart.
    void Start() {
        client.reset();
        ClientOptions options;
        options.dataDir = dir;
        options.language = L"en";
        options.registrar = RegistrarOption();
        client.reset(new KiteClient(options));
        sip::AgentSettings& s = client->Sip().Settings();
        s.transactionTimeoutMs = 1000;
        s.expires = expires;
        s.retryFirstMs = 300;
        s.retries = 2;
        ASSERT_TRUE(client->Start()) << ToUtf8(client->Error());
    }
    HWND Panel() const { return client->PanelWnd(); }
    std::wstring Lang(const wchar_t* key) const { return client->Lang().Peek(L"Kite", key); }
    std::wstring Status() const { return ItemText(Panel(), IDC_LOGIN_STATUS); }
    std::wstring ClientState() const { return StatusBarText(client->Main().StatusBar(), 1); }
    // Clicks login without running the message loop: whatever the
    // registrar answers can only arrive later.
    void LoginWith(const wchar_t* account, const wchar_t* password, bool autoLogin = false) {
        SetText(Panel(), IDC_LOGIN_ACCOUNT, account);
        SetText(Panel(), IDC_LOGIN_PASSWORD, password);
        SetChecked(Panel(), IDC_LOGIN_AUTOLOGIN, autoLogin);
        client->Main().ShowPage(PAGE_LOGIN);
        ASSERT_TRUE(Visible(Panel(), IDC_LOGIN_BTN_LOGIN) && Enabled(Panel(), IDC_LOGIN_BTN_LOGIN));
        ::SendMessageW(::GetDlgItem(Panel(), IDC_LOGIN_BTN_LOGIN), BM_CLICK, 0, 0);
    }
    // Logout as the user does it, confirmed with OK.
    void Logout() {
        client->Main().ShowPage(PAGE_LOGIN);
        ASSERT_TRUE(Click(Panel(), IDC_LOGIN_BTN_LOGOUT));
    }
    bool WaitRegistered() {
        return PumpUntil([&] { return client->Main().IsRegistered() != 0; });
    }
    // The login server the next login goes to (the advanced drawer's box).
    void SelectServer(int index) {
        for (HWND h = ::GetWindow(Panel(), GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
            if (::GetDlgItem(h, IDC_ADVANCED_SERVER))
                ::SendDlgItemMessageW(h, IDC_ADVANCED_SERVER, CB_SETCURSEL, index, 0);
    }
    std::string SipLog() const {
        std::string text;
        ReadFileBytes(client->Sip().Log().Path(), text);
        return text;
    }
    // The server entry index at host:port, no backup.
    void PointServerAt(int index, const std::wstring& port, const std::wstring& backupPort) {
        client->Settings().SetServer(index, L"Test", L"127.0.0.1", CStr(port),
                                     backupPort.empty() ? L"" : L"127.0.0.1", CStr(backupPort));
    }

    const std::wstring dir = JoinPath(kite::ExeDir(), L"test-client-data");
    unsigned expires = 3600;
    std::unique_ptr<KiteClient> client;
};

std::wstring Nobody() {
    return std::to_wstring(sip::UnusedUdpPort());
}

TEST_F(Client, LoginsGetTheRegistrarsAnswerLaterAndThePanelShowsIt) {
    Start();
    const std::wstring registrar = RegistrarPort(0);
    PointServerAt(1, Nobody(), registrar); // main address: nobody
    PointServerAt(2, Nobody(), Nobody());  // nobody at all
    // Account, password, server, the code, the message box's text (none on
    // success), the port the registration holds at.
    const std::tuple<const wchar_t*, const wchar_t*, int, int, const wchar_t*, std::wstring>
        cases[] = {{L"8001", L"0000", 0, 403, L"IDS_REGERROR_403", L""},
                   {L"9999", L"1234", 0, 404, L"IDS_REGERROR_404", L""},
                   {L"8001", L"1234", 2, 408, L"IDS_REGERROR_403", L""},
                   {L"8003", L"3003", 1, 0, nullptr, registrar},
                   {L"8002", L"2002", 0, 0, nullptr, registrar}};
    for (const auto& [account, password, server, code, box, port] : cases) {
        SCOPED_TRACE(code);
        if (client->Main().IsRegistered()) {
            Logout();
            ASSERT_TRUE(
                PumpUntil([&] { return client->Login().GetState() == LoginLogic::STATE_IDLE; }));
        }
        MessageBoxes::Clear();
        SelectServer(server);
        LoginWith(account, password);
        EXPECT_EQ(Lang(L"IDS_UC_LOGINING"), Status()) << "the answer comes later";
        EXPECT_TRUE(client->Login().Outcomes().empty());
        ASSERT_TRUE(PumpUntil([&] { return client->Login().Outcomes().size() == 1; }, 8000));
        EXPECT_EQ(code, client->Login().Outcomes()[0].code);
        EXPECT_EQ(code == 0, client->Main().IsRegistered() != 0);
        if (box) {
            ASSERT_TRUE(PumpUntil([] { return MessageBoxes::Seen().size() == 1; }));
            EXPECT_EQ(Lang(box), MessageBoxes::Seen()[0].text);
            EXPECT_EQ(client->Lang().Peek(L"global", L"IDS_INFO_INFORMATION"),
                      MessageBoxes::Seen()[0].caption);
            EXPECT_EQ(Lang(box), StatusBarText(client->Main().StatusBar(), 0));
            EXPECT_EQ(Lang(L"IDS_UC_NOT_LOG"), Status());
        } else {
            ASSERT_TRUE(client->Login().Primary());
            EXPECT_EQ(port, client->Login().Primary()->port) << "registered where it answered";
        }
    }
    EXPECT_EQ(Lang(L"IDS_UC_LOG_SUCESS"), Status());
    EXPECT_TRUE(MessageBoxes::Seen().empty());
    EXPECT_EQ(PAGE_CALL, client->Main().CurrentPage()) << "no missed calls: the call page";
    EXPECT_EQ(L"8002", client->Records().Account()) << "the stores follow the account";
    EXPECT_EQ(L"8002", client->Contacts().Account());
    EXPECT_EQ(L"8002 registered", ClientState());

    // The exchange behind it, as the log keeps it.
    std::string log = SipLog();
    for (const char* line :
         {"SIP/2.0 401 Unauthorized", "WWW-Authenticate: Digest realm=", "SIP/2.0 403 Forbidden",
          "SIP/2.0 404 Not Found", "SIP/2.0 200 OK", "within 1000 ms", "registered at 127.0.0.1:"})
        EXPECT_NE(std::string::npos, log.find(line)) << line;
    EXPECT_EQ(2, Count(log, "  trying 127.0.0.1:")) << "the backup, after each silent main address";
    EXPECT_EQ(std::string::npos, log.find("response=")) << "no digest in the log";
    // The password as a word of its own: the log's branches, tags, Call-IDs,
    // nonces and ports are random hex and digits that may hold "2002".
    for (size_t at = log.find("2002"); at != std::string::npos; at = log.find("2002", at + 1)) {
        const auto word = [&log](size_t i) {
            return i < log.size() && std::isalnum(static_cast<unsigned char>(log[i]));
        };
        EXPECT_TRUE(word(at - 1) || word(at + 4)) << "no password in the log: " << log;
    }
}

TEST_F(Client, RefreshesAShortLifetimeAcrossStaleNonces) {
    // Asked for 1 s: the registrar wants at least 2 (423), grants 2, and
    // lets a nonce live 4 s, so that refreshes soon meet stale=true.
    expires = 1;
    Start();
    LoginWith(L"8001", L"1234");
    ASSERT_TRUE(WaitRegistered());
    ASSERT_TRUE(PumpUntil([&] { return Count(SipLog(), "stale=true") >= 1; }, 15000));
    ASSERT_TRUE(PumpUntil([&] { return Count(SipLog(), "  registered at ") >= 5; }, 8000));
    std::string log = SipLog();
    EXPECT_EQ(1, Count(log, "SIP/2.0 423 Interval Too Brief")) << "the minimum is kept";
    EXPECT_NE(std::string::npos, log.find("Min-Expires: 2"));
    EXPECT_NE(std::string::npos, log.find("answering with the new one"));
    EXPECT_EQ(std::string::npos, log.find("wrong password"));
    EXPECT_EQ(2u, client->Login().Primary()->expires);
    // Nobody but the log noticed.
    EXPECT_TRUE(client->Main().IsRegistered());
    EXPECT_EQ(Lang(L"IDS_UC_LOG_SUCESS"), Status());
    EXPECT_TRUE(MessageBoxes::Seen().empty());
    const std::vector<std::wstring>& events = client->Main().Events();
    EXPECT_EQ(1, std::count(events.begin(), events.end(), L"SetLoginState 1"))
        << "the panel heard of the login once";
}

TEST_F(Client, LogoutEndsTheRegistrationWithExpiresZero) {
    Start();
    LoginWith(L"8002", L"2002");
    ASSERT_TRUE(WaitRegistered());
    std::string before = SipLog();
    Logout();
    EXPECT_EQ(Lang(L"IDS_UC_NOT_LOG"), Status()) << "the panel does not wait";
    ASSERT_TRUE(PumpUntil([&] { return client->Login().GetState() == LoginLogic::STATE_IDLE; }));
    std::string log = SipLog().substr(before.size());
    size_t request = log.find("Expires: 0");
    size_t answer = log.find("SIP/2.0 200 OK");
    ASSERT_NE(std::string::npos, request);
    ASSERT_NE(std::string::npos, answer);
    EXPECT_LT(request, answer);
    EXPECT_EQ(std::string::npos, log.find("Contact:", answer))
        << "the registrar holds no binding of the account any more";
    const std::vector<std::wstring>& events = client->Main().Events();
    EXPECT_EQ(2, std::count(events.begin(), events.end(), L"NotifyDeregistered"))
        << "the panel's own logout steps, then the client's de-registration result";
    EXPECT_FALSE(client->Main().IsRegistered());
}

TEST_F(Client, ClosingWhileRegisteredUnregistersWithinAFewSeconds) {
    // The registrar answers, or has gone silent since the login.
    for (bool silent : {false, true}) {
        SCOPED_TRACE(silent);
        client.reset();
        RemoveTree(dir);
        ScriptedRegistrar own([](const std::string& request, int) {
            return std::vector<std::string>{AnswerTo(request, 200, "OK")};
        });
        Start();
        if (silent)
            PointServerAt(0, std::to_wstring(own.Port()), L"");
        LoginWith(L"8001", L"1234");
        ASSERT_TRUE(WaitRegistered());
        own.SetSilent(true);
        std::wstring logPath = client->Sip().Log().Path();
        ULONGLONG start = ::GetTickCount64();
        client->Shutdown();
        ULONGLONG took = ::GetTickCount64() - start;
        std::string log;
        ReadFileBytes(logPath, log);
        EXPECT_NE(std::string::npos, log.find("unregistering (Expires: 0)"));
        if (silent) {
            EXPECT_NE(std::string::npos, log.find("unregistration ended without an answer"));
            EXPECT_GE(took, 900u) << "it waited for the answer";
        } else {
            EXPECT_NE(std::string::npos, log.find("  unregistered"));
        }
        EXPECT_LT(took, client->Config().CloseWaitMs() + 2000u) << "a few seconds at most";
        client.reset();
    }
}

TEST_F(Client, MultiUserModeRegistersEveryAccountAtItsOwnAddress) {
    Start();
    const std::wstring main = RegistrarPort(0), backup = RegistrarPort(1);
    std::vector<RegInfo>& list = *client->Login().GetRegUsers();
    list = {{L"8001", L"1234", L"127.0.0.1", CStr(main), L"kite.example", 1, L""},
            {L"8002", L"2002", L"127.0.0.1", CStr(backup), L"kite.example", 1, L""},
            {L"6100", L"6100", L"127.0.0.1", CStr(backup), L"east.kite.example", 1, L""}};
    client->Login().SaveRegUsers();
    client->SetMultiUser(true);
    SetText(Panel(), IDC_LOGIN_ACCOUNT, L"8001"); // checked even when hidden
    ASSERT_TRUE(Click(Panel(), IDC_LOGIN_BTN_LOGIN));
    ASSERT_TRUE(PumpUntil([&] { return client->Login().HoldingCount() == 3; }));
    ASSERT_TRUE(WaitRegistered());
    std::vector<std::tuple<std::wstring, std::wstring, std::wstring>> held;
    for (const LoginLogic::Binding& b : client->Login().Bindings())
        held.emplace_back(b.account, b.domain, b.port);
    EXPECT_EQ((std::vector<std::tuple<std::wstring, std::wstring, std::wstring>>{
                  {L"8001", L"kite.example", main},
                  {L"8002", L"kite.example", backup},
                  {L"6100", L"east.kite.example", backup}}),
              held);
    EXPECT_EQ(L"3 of 3 accounts registered", ClientState());
    EXPECT_EQ(L"8001", client->Main().CurrentAccount());
    std::string log = SipLog();
    EXPECT_NE(std::string::npos,
              log.find("registering sip:6100@east.kite.example from 127.0.0.1:"));
    EXPECT_NE(std::string::npos, log.find("REGISTER sip:east.kite.example SIP/2.0"));
    EXPECT_EQ(3, Count(log, "registered at 127.0.0.1:"));
}

TEST_F(Client, MalformedResponsesAreDroppedAndCounted) {
    ScriptedRegistrar own([](const std::string& request, int index) {
        std::vector<std::string> out;
        std::string ok = AnswerTo(request, 200, "OK");
        if (index == 0) {
            auto with = [&ok](const std::string& from, const std::string& to) {
                std::string s = ok;
                s.replace(s.find(from), from.size(), to);
                return s;
            };
            std::string cseq = HeaderOf(request, "CSeq");
            std::string branch = HeaderOf(request, "Via");
            branch = branch.substr(branch.find("branch=") + 7);
            out = {ok.substr(0, ok.size() / 2),                     // truncated
                   with("Content-Length: 0", "Content-Length: 50"), // truncated
                   with("Content-Length: 0",
                        "X-Pad: " + std::string(17000, 'a') + "\r\nContent-Length: 0"), // oversized
                   std::string("\x01\x02 not SIP at all\r\n\r\n"),                      // malformed
                   with("CSeq: ", "CSeq; "),                                            // malformed
                   "OPTIONS sip:8001@127.0.0.1 SIP/2.0\r\nVia: SIP/2.0/UDP 127.0.0.1\r\n\r\n",
                   with(HeaderOf(request, "Call-ID"), "other@127.0.0.1"), // wrong Call-ID
                   with(cseq, "999 REGISTER"),                            // wrong CSeq
                   with(branch, "z9hG4bKforged")};                        // wrong branch
        }
        out.push_back(ok);
        return out;
    });
    Start();
    PointServerAt(0, std::to_wstring(own.Port()), L"");
    LoginWith(L"8001", L"1234");
    ASSERT_TRUE(PumpUntil([&] { return client->Login().Outcomes().size() == 1; }));
    EXPECT_EQ(0, client->Login().Outcomes()[0].code) << "the good answer after the bad ones";
    EXPECT_EQ((std::map<std::string, unsigned>{{"truncated", 2},
                                               {"oversized", 1},
                                               {"malformed", 2},
                                               {"a request, not a response", 1},
                                               {"wrong Call-ID", 1},
                                               {"wrong CSeq", 1},
                                               {"wrong Via branch", 1}}),
              client->Sip().Dropped());
    std::string log = SipLog();
    EXPECT_EQ(9, Count(log, "dropped a response ("));
    EXPECT_NE(std::string::npos,
              log.find("dropped a response (truncated, 2 so far) from 127.0.0.1:"));
    EXPECT_EQ(1u, own.Requests().size()) << "answered before Timer E fired";
    client.reset(); // closes while its registrar still answers
}

TEST_F(Client, AFailingRefreshIsRetriedQuietlyUntilTheRegistrationIsLost) {
    // Whether the registrar answers again from the second retry on.
    for (bool comesBack : {false, true}) {
        SCOPED_TRACE(comesBack);
        client.reset();
        RemoveTree(dir);
        ScriptedRegistrar own([comesBack](const std::string& request, int index) {
            std::vector<std::string> out;
            // A lifetime of 1 s; then silence for the refresh and retry 1.
            if (index == 0 || (comesBack && index >= 3) || HeaderOf(request, "Expires") == "0")
                out.push_back(
                    AnswerTo(request, 200, "OK",
                             "Contact: " + HeaderOf(request, "Contact") + ";expires=1\r\n"));
            return out;
        });
        MessageBoxes::Clear();
        Start();
        client->Sip().Settings().transactionTimeoutMs = 400;
        PointServerAt(0, std::to_wstring(own.Port()), L"");
        LoginWith(L"8001", L"1234", true);
        ASSERT_TRUE(WaitRegistered());
        ASSERT_TRUE(PumpUntil([&] {
            const LoginLogic::Binding* b = client->Login().Primary();
            return b && b->failing;
        }));
        // Shown by the client itself; the panel stays logged in.
        EXPECT_EQ(L"8001: registration lost, retry 1", ClientState());
        EXPECT_TRUE(client->Main().IsRegistered());
        EXPECT_EQ(Lang(L"IDS_UC_LOG_SUCESS"), Status());
        EXPECT_TRUE(MessageBoxes::Seen().empty());
        if (comesBack) {
            ASSERT_TRUE(PumpUntil([&] { return ClientState() == L"8001 registered"; }));
            EXPECT_FALSE(client->Login().Primary()->failing);
            EXPECT_TRUE(MessageBoxes::Seen().empty());
            client.reset(); // closes while its registrar answers
            continue;
        }
        // The retries are used up: the login ends as a failed one, which
        // keeps the saved password and automatic login.
        ASSERT_TRUE(PumpUntil([] { return MessageBoxes::Seen().size() == 1; }, 8000));
        EXPECT_EQ(Lang(L"IDS_REGERROR_403"), MessageBoxes::Seen()[0].text);
        EXPECT_EQ(Lang(L"IDS_UC_NOT_LOG"), Status());
        EXPECT_FALSE(client->Main().IsRegistered());
        EXPECT_EQ(L"Not registered", ClientState());
        EXPECT_EQ(CString(L"1234"), client->Settings().GetSavedPassword());
        EXPECT_EQ(CString(L"1"), client->Settings().GetAutoLogin());
        EXPECT_TRUE(Visible(Panel(), IDC_LOGIN_BTN_LOGIN));
        // Refresh, retry 1, retry 2: each started later after the one
        // before than that one after its own.
        std::vector<ScriptedRegistrar::Request> r = own.Requests();
        ASSERT_EQ(4u, r.size());
        EXPECT_GT(r[3].at - r[2].at, r[2].at - r[1].at) << "a growing back-off";
        PumpFor(1000);
        EXPECT_EQ(4u, own.Requests().size()) << "nothing more after giving up";
    }
}

TEST_F(Client, NothingStoredIsLostAcrossARestart) {
    Start();
    // What the plug-in's dialogs store through the settings interface ...
    IUIPSETTING& s = client->Settings();
    s.SetServer(1, L"East (new)", L"127.0.0.2", L"5070", L"127.0.0.3", L"5071");
    s.SetClearOnLogout(L"1");
    s.GetProxySetting()->proxyAddress = L"127.0.0.4"; // edited in place
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
    RegInfo reg = {L"8003", L"3003", L"127.0.0.1", L"5070", L"kite.example", 7, L"kept"};
    client->Login().GetRegUsers()->push_back(reg);
    client->Login().SaveRegUsers();
    // ... and what the panel stores on a login.
    LoginWith(L"8001", L"1234", true);
    ASSERT_TRUE(WaitRegistered());

    Start();
    // The panel comes back with account, password and automatic login, and
    // logs in; the answer needs the message loop.
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
    EXPECT_EQ(CString(L"127.0.0.4"), again.GetProxySetting()->proxyAddress);
    const ServerInfo& e = (*again.GetServerList())[1]; // SetServer never changes the name
    EXPECT_EQ((std::vector<CString>{L"kite-east", L"East (new)", L"127.0.0.2", L"5070",
                                    L"127.0.0.3", L"5071"}),
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

// Every file under folder, with its bytes.
void ReadTree(const std::wstring& folder, std::vector<std::pair<std::wstring, std::string>>& out) {
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW(JoinPath(folder, L"*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..")
            continue;
        std::wstring path = JoinPath(folder, name);
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ReadTree(path, out);
        } else {
            std::string bytes;
            ReadFileBytes(path, bytes);
            out.emplace_back(path, bytes);
        }
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
}

TEST_F(Client, NoSavedPasswordIsPlainTextInAnyFile) {
    // Passwords with characters no base64 text holds, so that a find
    // cannot be chance.
    const std::wstring secret[] = {L"Saved-Pw!1", L"Record-Pw!2", L"Proxy-Pw!3", L"List-Pw!4"};
    auto plainIn = [&](const std::string& bytes, const std::wstring& s) {
        std::string utf16(reinterpret_cast<const char*>(s.data()), s.size() * sizeof(wchar_t));
        return bytes.find(ToUtf8(s)) != std::string::npos || bytes.find(utf16) != std::string::npos;
    };
    auto expectNoPlainFiles = [&](const wchar_t* when) {
        std::vector<std::pair<std::wstring, std::string>> files;
        ReadTree(dir, files);
        EXPECT_GE(files.size(), 2u) << "settings and registration list";
        for (const auto& f : files)
            for (const std::wstring& s : secret)
                EXPECT_FALSE(plainIn(f.second, s))
                    << ToUtf8(when) << ": " << ToUtf8(s) << " in " << ToUtf8(f.first);
    };
    auto expectValues = [&] {
        EXPECT_EQ(CStr(secret[0]), client->Settings().GetSavedPassword());
        LoginRecord r;
        ASSERT_TRUE(client->Settings().FindLoginRecord(L"8001", r));
        EXPECT_EQ(CStr(secret[1]), r.password);
        EXPECT_EQ(CStr(secret[2]), client->Settings().GetProxySetting()->proxyPassword);
        ASSERT_EQ(1u, client->Login().GetRegUsers()->size());
        EXPECT_EQ(CStr(secret[3]), client->Login().GetRegUsers()->front().password);
    };

    Start();
    IUIPSETTING& s = client->Settings();
    s.SaveLoginRecord({L"8001", CStr(secret[1]), L"1"});
    s.GetProxySetting()->proxyPassword = CStr(secret[2]);
    s.SetSavedPassword(CStr(secret[0])); // stores the proxy's too
    client->Login().GetRegUsers()->push_back(
        {L"8003", CStr(secret[3]), L"127.0.0.1", L"5070", L"kite.example", 1, L""});
    client->Login().SaveRegUsers();
    client.reset();
    expectNoPlainFiles(L"written by the client");
    Start();
    expectValues();

    // Files of an older client, with plain passwords: read once, written
    // back protected.
    client.reset();
    IniDoc settings, regusers;
    ASSERT_TRUE(settings.Load(JoinPath(dir, L"settings.ini")));
    settings.Set(L"Login", L"SavedPassword", secret[0]);
    settings.Set(L"Account:8001", L"Password", secret[1]);
    settings.Set(L"Proxy", L"Password", secret[2]);
    ASSERT_TRUE(settings.Save(JoinPath(dir, L"settings.ini")));
    ASSERT_TRUE(regusers.Load(JoinPath(dir, L"regusers.ini")));
    regusers.Set(L"Entry1", L"Password", secret[3]);
    ASSERT_TRUE(regusers.Save(JoinPath(dir, L"regusers.ini")));
    Start();
    expectValues();
    expectNoPlainFiles(L"after reading an older client's files");
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
