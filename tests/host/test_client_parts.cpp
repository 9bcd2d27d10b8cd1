// The client's components on their own: the files they keep, the
// registrar's answers and when they arrive, the per-account stores, the
// language service and the picture writer.
#include "AccountStores.h"
#include "HostTestUtil.h"
#include "IniDoc.h"
#include "LangService.h"
#include "LoginLogic.h"
#include "PngWriter.h"
#include "Registrar.h"
#include "SettingsStore.h"
#include "TextUtil.h"

#include <gtest/gtest.h>

using namespace kite;
using hosttest::PumpFor;
using hosttest::PumpUntil;
using hosttest::RecordingPanel;

namespace {

std::wstring Defaults(const wchar_t* file) {
    return JoinPath(JoinPath(ExeDir(), L"defaults"), file);
}

std::string FileText(const std::wstring& path) {
    std::string bytes;
    ReadFileBytes(path, bytes);
    return bytes;
}

// ---------------------------------------------------------------------------

TEST(IniDoc, KeepsBlanksQuotesLineBreaksAndChineseAcrossAFile) {
    std::wstring dir = hosttest::FreshDir(L"test-ini");
    std::wstring path = JoinPath(dir, L"a.ini");
    IniDoc doc;
    doc.Set(L"S", L"Blanks", L"  two around  ");
    doc.Set(L"S", L"Quotes", L"say \"hi\" \\ bye");
    doc.Set(L"S", L"Lines", L"one\ntwo");
    doc.Set(L"S", L"Comment", L"a;b#c");
    doc.Set(L"中文", L"名字", L"登录服务器");
    doc.Set(L"S", L"Empty", L"");
    ASSERT_TRUE(doc.Save(path));

    IniDoc back;
    ASSERT_TRUE(back.Load(path));
    EXPECT_EQ(L"  two around  ", back.Get(L"S", L"Blanks"));
    EXPECT_EQ(L"say \"hi\" \\ bye", back.Get(L"S", L"Quotes"));
    EXPECT_EQ(L"one\ntwo", back.Get(L"S", L"Lines"));
    EXPECT_EQ(L"a;b#c", back.Get(L"S", L"Comment"));
    EXPECT_EQ(L"登录服务器", back.Get(L"中文", L"名字"));
    EXPECT_TRUE(back.Has(L"S", L"Empty"));
    EXPECT_FALSE(back.Has(L"S", L"Missing"));
    // Plain UTF-8 text, one key a line.
    std::string text = FileText(path);
    EXPECT_NE(std::string::npos, text.find("[S]\r\n"));
    EXPECT_NE(std::string::npos, text.find(ToUtf8(L"名字=登录服务器")));
}

// ---------------------------------------------------------------------------

TEST(SettingsStore, FirstStartWritesTheShippedSettingsBesideTheClient) {
    std::wstring dir = hosttest::FreshDir(L"test-settings-first");
    std::wstring path = JoinPath(dir, L"settings.ini");
    SettingsStore store(path, Defaults(L"settings.ini"));
    EXPECT_TRUE(FileExists(path));
    ASSERT_NE(nullptr, store.GetServerList());
    ASSERT_EQ(3u, store.GetServerList()->size());
    EXPECT_EQ(CString(L"sip.kite.example"), (*store.GetServerList())[0].address);
    EXPECT_TRUE(store.IsServerReachable(0));
    EXPECT_FALSE(store.IsServerReachable(2));
    EXPECT_FALSE(store.IsServerReachable(3));
    EXPECT_FALSE(store.IsServerReachable(-1));
    EXPECT_EQ(2u, store.GetBillLinks()->size());
    EXPECT_EQ(CString(L"0"), store.GetAutoLogin());
    EXPECT_EQ(CString(L"0"), store.GetCustomizeSet()->refuseExit);
    EXPECT_EQ(CString(L"1"), store.GetProxySetting()->proxyType);
}

TEST(SettingsStore, EverythingThePluginStoresSurvivesARestart) {
    std::wstring dir = hosttest::FreshDir(L"test-settings-restart");
    std::wstring path = JoinPath(dir, L"settings.ini");
    CustomizeSet set;
    {
        SettingsStore store(path, Defaults(L"settings.ini"));
        IUIPSETTING* s = &store; // as the plug-in sees it
        s->SetSavedPassword(L" pass;word ");
        s->SetAutoLogin(L"1");
        s->SetLoginServerIndex(L"1");
        s->SetServer(1, L"East (new)", L"e.kite.example", L"5070", L"e2.kite.example", L"5071");
        s->SetClearOnLogout(L"1");
        LoginRecord a = {L"8001", L"1234", L"1"};
        LoginRecord b = {L"8002", L"", L"0"};
        LoginRecord c = {L"张三", L"密码", L"1"};
        s->SaveLoginRecord(a);
        s->SaveLoginRecord(b);
        s->SaveLoginRecord(c);
        s->DeleteAccountInfo(L"8002");
        set.field0 = L"";
        set.fixedAccount = L"8001";
        set.fixedAccountOn = L"1";
        set.disableSystemSettings = L"0";
        set.hideCallPage = L"1";
        set.hideRemovingUserInfo = L"0";
        set.refuseLogout = L"1";
        set.refuseExit = L"0";
        set.disableCallRecordChange = L"1";
        set.disableVolumeChange = L"0";
        set.refuseAutoLogin = L"1";
        set.disableVolumeControl = L"yes";
        s->SetCustomizeSet(set);
        store.SetMultiUser(true);
        store.SetServerReachable(0, false);
    }

    SettingsStore again(path, Defaults(L"settings.ini"));
    IUIPSETTING* s = &again;
    EXPECT_EQ(CString(L" pass;word "), s->GetSavedPassword());
    EXPECT_EQ(CString(L"1"), s->GetAutoLogin());
    EXPECT_EQ(CString(L"1"), s->GetLoginServerIndex());
    EXPECT_EQ(CString(L"1"), s->GetClearOnLogout());
    ASSERT_EQ(3u, s->GetServerList()->size());
    const ServerInfo& east = (*s->GetServerList())[1];
    EXPECT_EQ(CString(L"kite-east"), east.name) << "SetServer never changes the name";
    EXPECT_EQ(CString(L"East (new)"), east.displayName);
    EXPECT_EQ(CString(L"e.kite.example"), east.address);
    EXPECT_EQ(CString(L"5070"), east.port);
    EXPECT_EQ(CString(L"e2.kite.example"), east.backupAddress);
    EXPECT_EQ(CString(L"5071"), east.backupPort);
    EXPECT_FALSE(again.IsServerReachable(0));
    EXPECT_TRUE(again.IsMultiUser());

    ASSERT_EQ(2u, s->GetAccountList()->size());
    EXPECT_EQ(CString(L"张三"), (*s->GetAccountList())[0]) << "the latest account first";
    EXPECT_EQ(CString(L"8001"), (*s->GetAccountList())[1]);
    LoginRecord r;
    ASSERT_TRUE(s->FindLoginRecord(L"8001", r));
    EXPECT_EQ(CString(L"1234"), r.password);
    EXPECT_EQ(CString(L"1"), r.autoLogin);
    ASSERT_TRUE(s->FindLoginRecord(L"张三", r));
    EXPECT_EQ(CString(L"密码"), r.password);
    EXPECT_FALSE(s->FindLoginRecord(L"8002", r)) << "deleted account info stays deleted";

    const CustomizeSet* got = s->GetCustomizeSet();
    ASSERT_NE(nullptr, got);
    EXPECT_EQ(set.fixedAccount, got->fixedAccount);
    EXPECT_EQ(set.fixedAccountOn, got->fixedAccountOn);
    EXPECT_EQ(set.hideCallPage, got->hideCallPage);
    EXPECT_EQ(set.refuseLogout, got->refuseLogout);
    EXPECT_EQ(set.disableCallRecordChange, got->disableCallRecordChange);
    EXPECT_EQ(set.refuseAutoLogin, got->refuseAutoLogin);
    EXPECT_EQ(set.disableVolumeControl, got->disableVolumeControl);
    EXPECT_EQ(set.refuseExit, got->refuseExit);
    EXPECT_EQ(2u, s->GetBillLinks()->size());
    EXPECT_EQ(CString(L"https://kite.example/desk2"), (*s->GetBillLinks())[0].file);

    // A person can read (and edit) what was stored.
    std::string text = FileText(path);
    EXPECT_NE(std::string::npos, text.find("SavedPassword=\" pass;word \""));
    EXPECT_NE(std::string::npos, text.find("[Account:8001]"));
    EXPECT_NE(std::string::npos, text.find("RefuseLogout=1"));
}

TEST(SettingsStore, ServerEntriesOutsideTheListAreLeftAlone) {
    std::wstring dir = hosttest::FreshDir(L"test-settings-servers");
    SettingsStore store(JoinPath(dir, L"settings.ini"), Defaults(L"settings.ini"));
    store.SetServer(-1, L"x", L"x", L"1", L"x", L"1");
    store.SetServer(7, L"x", L"x", L"1", L"x", L"1");
    EXPECT_EQ(3u, store.GetServerList()->size());
    EXPECT_EQ(2, store.FindServerByAddress(L"10.20.0.9"));
    EXPECT_EQ(0, store.FindServerByAddress(L"sip-b.kite.example")) << "backup address";
    EXPECT_EQ(-1, store.FindServerByAddress(L"nowhere.example"));
}

// ---------------------------------------------------------------------------

class LoginLogicTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = hosttest::FreshDir(L"test-login");
        settings.reset(
            new SettingsStore(JoinPath(dir, L"settings.ini"), Defaults(L"settings.ini")));
        registrar.reset(new Registrar(JoinPath(dir, L"registrar.ini"), Defaults(L"registrar.ini")));
        registrar->SetDelay(300);
        login.reset(new LoginLogic(*settings, *registrar, JoinPath(dir, L"regusers.ini")));
        login->SetPanel([this] { return &panel; });
    }
    int Login(const wchar_t* account, const wchar_t* password, int server = 0) {
        CString a = account, p = password;
        return login->StartLogin(a, p, server);
    }
    bool WaitCalls(size_t n) {
        return PumpUntil([&] { return panel.calls.size() >= n; }, 5000);
    }
    std::wstring dir;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<Registrar> registrar;
    std::unique_ptr<LoginLogic> login;
    RecordingPanel panel;
};

TEST_F(LoginLogicTest, TheRegistrarAnswersByItsAccountTable) {
    RegistrationRequest req;
    req.account = L"8001";
    req.password = L"1234";
    EXPECT_EQ(0, registrar->Answer(req));
    req.password = L"0000";
    EXPECT_EQ(403, registrar->Answer(req));
    req.account = L"9999";
    EXPECT_EQ(404, registrar->Answer(req));
    req.account = L"";
    EXPECT_EQ(404, registrar->Answer(req));
    req.account = L"8001";
    req.password = L"1234";
    req.serverReachable = false;
    EXPECT_EQ(408, registrar->Answer(req));
    EXPECT_EQ(L"kite.example", registrar->DomainOf(L"8001"));
    EXPECT_EQ(L"", registrar->DomainOf(L"9999"));
}

TEST_F(LoginLogicTest, TheResultArrivesLaterOnTheUserInterfaceThread) {
    DWORD start = ::GetTickCount();
    EXPECT_EQ(0, Login(L"8001", L"1234"));
    EXPECT_TRUE(panel.calls.empty()) << "no answer inside StartLogin";
    EXPECT_EQ(LoginLogic::STATE_REGISTERING, login->GetState());
    EXPECT_EQ(1, login->Pending());
    PumpFor(100);
    EXPECT_TRUE(panel.calls.empty()) << "no answer before the registrar's delay";
    ASSERT_TRUE(WaitCalls(1));
    ASSERT_EQ(1u, panel.calls.size());
    EXPECT_EQ(L"OnRegResponse", panel.calls[0].what);
    EXPECT_EQ(0, panel.calls[0].code);
    EXPECT_GE(panel.calls[0].at - start, 250u);
    EXPECT_EQ(LoginLogic::STATE_REGISTERED, login->GetState());
    EXPECT_EQ(L"8001", login->Account());
    EXPECT_EQ(0, login->Pending());
}

TEST_F(LoginLogicTest, WrongPasswordUnknownAccountAndUnreachableServer) {
    struct Case {
        const wchar_t* account;
        const wchar_t* password;
        int server;
        int code;
    } cases[] = {{L"8001", L"0000", 0, 403},
                 {L"9999", L"1234", 0, 404},
                 {L"8001", L"1234", 2, 408}, // marked unreachable in the shipped list
                 {L"8001", L"1234", 9, 408}, // no such server
                 {L"8002", L"2002", 1, 0}};
    for (const Case& c : cases) {
        panel.calls.clear();
        EXPECT_EQ(0, Login(c.account, c.password, c.server));
        ASSERT_TRUE(WaitCalls(1)) << c.account;
        EXPECT_EQ(c.code, panel.calls[0].code) << c.account << " server " << c.server;
        EXPECT_EQ(c.code == 0 ? LoginLogic::STATE_REGISTERED : LoginLogic::STATE_IDLE,
                  login->GetState());
    }
}

TEST_F(LoginLogicTest, StopLoginCancelsTheRequestAndLeadsToTheDeregistrationResult) {
    Login(L"8001", L"1234");
    login->StopLogin();
    EXPECT_TRUE(panel.calls.empty());
    EXPECT_EQ(LoginLogic::STATE_DEREGISTERING, login->GetState());
    ASSERT_TRUE(WaitCalls(1));
    PumpFor(400); // the cancelled registration would have arrived by now
    ASSERT_EQ(1u, panel.calls.size());
    EXPECT_EQ(L"OnDeRegResponse", panel.calls[0].what);
    EXPECT_EQ(0, panel.calls[0].code);
    EXPECT_EQ(LoginLogic::STATE_IDLE, login->GetState());
}

TEST_F(LoginLogicTest, ALaterLoginReplacesAnEarlierOneStillOnItsWay) {
    Login(L"8001", L"0000");
    Login(L"8001", L"1234");
    ASSERT_TRUE(WaitCalls(1));
    PumpFor(400);
    ASSERT_EQ(1u, panel.calls.size());
    EXPECT_EQ(0, panel.calls[0].code);
}

TEST_F(LoginLogicTest, HeldAnswersWaitUntilTheHoldIsReleased) {
    login->HoldAnswers(true);
    Login(L"8001", L"1234");
    PumpFor(600);
    EXPECT_TRUE(panel.calls.empty());
    EXPECT_EQ(LoginLogic::STATE_REGISTERING, login->GetState());
    login->HoldAnswers(false);
    ASSERT_EQ(1u, panel.calls.size());
    EXPECT_EQ(0, panel.calls[0].code);
    EXPECT_EQ(LoginLogic::STATE_REGISTERED, login->GetState());
}

TEST_F(LoginLogicTest, MultiUserListIsPersistedAndEveryEntryIsRegistered) {
    EXPECT_EQ(0, login->IsMultiUser());
    settings->SetMultiUser(true);
    EXPECT_EQ(1, login->IsMultiUser());

    std::vector<RegInfo>* list = login->GetRegUsers();
    ASSERT_NE(nullptr, list);
    EXPECT_TRUE(list->empty());
    EXPECT_EQ(0, login->LoginRegUsers()) << "nothing to register";
    auto add = [list](const wchar_t* account, const wchar_t* password, const wchar_t* address) {
        RegInfo r;
        r.account = account;
        r.password = password;
        r.address = address;
        r.port = L"5060";
        r.imsDomain = L"kite.example";
        r.extra = L"kept";
        list->push_back(r);
    };
    add(L"8001", L"1234", L"sip.kite.example");
    add(L"8002", L"wrong", L"east-b.kite.example");
    add(L"8003", L"3003", L"nowhere.example");
    EXPECT_EQ(list, login->GetRegUsers()) << "the same live list every time";
    login->SaveRegUsers();

    LoginLogic again(*settings, *registrar, JoinPath(dir, L"regusers.ini"));
    std::vector<RegInfo>* loaded = again.GetRegUsers();
    ASSERT_EQ(3u, loaded->size());
    EXPECT_EQ(CString(L"8002"), (*loaded)[1].account);
    EXPECT_EQ(CString(L"wrong"), (*loaded)[1].password);
    EXPECT_EQ(CString(L"east-b.kite.example"), (*loaded)[1].address);
    EXPECT_EQ(CString(L"5060"), (*loaded)[1].port);
    EXPECT_EQ(CString(L"kite.example"), (*loaded)[1].imsDomain);
    EXPECT_EQ(1, (*loaded)[1].flag);
    EXPECT_EQ(CString(L"kept"), (*loaded)[1].extra);

    EXPECT_NE(0, login->LoginRegUsers());
    ASSERT_TRUE(PumpUntil([&] { return login->Outcomes().size() == 3; }));
    ASSERT_EQ(1u, panel.calls.size()) << "the panel hears about the first account only";
    EXPECT_EQ(0, panel.calls[0].code);
    std::map<std::wstring, int> codes;
    for (const LoginLogic::Outcome& o : login->Outcomes())
        codes[o.account] = o.code;
    EXPECT_EQ(0, codes[L"8001"]);
    EXPECT_EQ(403, codes[L"8002"]);
    EXPECT_EQ(408, codes[L"8003"]);
}

// ---------------------------------------------------------------------------

TEST(AccountStores, OpeningSwitchesToTheAccountsOwnRecords) {
    std::wstring dir = hosttest::FreshDir(L"test-records");
    CallRecordStore store(dir);
    std::vector<int> changes;
    store.SetObserver([&](int kind) { changes.push_back(kind); });
    store.Add(L"8001", KIND_MISSED, L"8002", false);
    store.Add(L"8001", KIND_MISSED, L"8003", true);
    store.Add(L"8001", KIND_MESSAGE, L"8003", false, L"hello");
    store.Add(L"8002", KIND_MISSED, L"8001", false);
    EXPECT_TRUE(changes.empty()) << "nothing open: files only";

    std::vector<CallRecord>* list = nullptr;
    IUIPCALLRECORD* calls = &store;
    EXPECT_EQ(0, calls->GetCallRecords(2, list)) << "no account open";
    EXPECT_EQ(nullptr, list);

    calls->OpenAccountDatabase(L"8001");
    ASSERT_EQ(1, calls->GetCallRecords(2, list));
    ASSERT_NE(nullptr, list);
    ASSERT_EQ(2u, list->size());
    int unsettled = 0;
    for (const CallRecord& r : *list)
        unsettled += r.settled == 0 ? 1 : 0;
    EXPECT_EQ(1, unsettled);
    EXPECT_EQ(1, store.Count(KIND_MESSAGE));

    calls->OpenAccountDatabase(L"8002");
    ASSERT_EQ(1, calls->GetCallRecords(2, list));
    EXPECT_EQ(1u, list->size());
    EXPECT_EQ(L"8002", store.Account());

    // A record added to the open store is reported; settling is stored.
    changes.clear();
    store.Add(L"8002", KIND_MISSED, L"6100", false);
    EXPECT_EQ(std::vector<int>{KIND_MISSED}, changes);
    store.SettleAll(KIND_MISSED);
    EXPECT_EQ(0, store.UnsettledCount(KIND_MISSED));
    calls->CloseAccountDatabase();
    EXPECT_EQ(0, calls->GetCallRecords(2, list));

    CallRecordStore again(dir);
    again.OpenAccountDatabase(L"8002");
    EXPECT_EQ(2, again.Count(KIND_MISSED));
    EXPECT_EQ(0, again.UnsettledCount(KIND_MISSED));
    again.OpenAccountDatabase(L"8001");
    EXPECT_EQ(1, again.UnsettledCount(KIND_MISSED));
}

TEST(AccountStores, PhoneBookPerAccount) {
    std::wstring dir = hosttest::FreshDir(L"test-contacts");
    PhoneBook book(dir);
    book.Add(L"8001", L"Bob Li", L"8002");
    book.Add(L"8002", L"Alice Chen", L"8001");
    IUIPPHONEBOOK* pb = &book;
    pb->OpenAccountDatabase(L"8001");
    ASSERT_EQ(1u, book.Contacts().size());
    EXPECT_EQ(L"Bob Li", book.NameOf(L"8002"));
    pb->OpenAccountDatabase(L"8002");
    EXPECT_EQ(L"Alice Chen", book.NameOf(L"8001"));
    EXPECT_EQ(L"", book.NameOf(L"8002"));
    pb->CloseAccountDatabase();
    EXPECT_FALSE(book.IsOpen());
    EXPECT_TRUE(book.Contacts().empty());
    EXPECT_NE(AccountFolder(dir, L"a/b:c"), AccountFolder(dir, L"a"));
}

// ---------------------------------------------------------------------------

TEST(LangService, TextsOfTheCurrentLanguageAndTheKeysItLacks) {
    LangService lang(JoinPath(ExeDir(), L"lang"));
    std::vector<LangService::Language> all = lang.Available();
    ASSERT_EQ(2u, all.size());
    ASSERT_TRUE(lang.Load(L"en"));
    IKITELang* service = &lang;
    EXPECT_EQ(L"You are not logged in", service->GetLangString(L"IDS_UC_NOT_LOG", L"Kite"));
    EXPECT_TRUE(lang.Misses().empty());
    EXPECT_EQ(L"[Kite:IDS_NO_SUCH_KEY]", service->GetLangString(L"IDS_NO_SUCH_KEY", L"Kite"));
    ASSERT_EQ(1u, lang.Misses().size());
    EXPECT_EQ(L"en", lang.Misses()[0].first);
    ASSERT_TRUE(lang.Load(L"zh-CN"));
    EXPECT_EQ(L"您还没有登录", service->GetLangString(L"IDS_UC_NOT_LOG", L"Kite"));
    EXPECT_EQ(L" 高级设置", service->GetLangString(L"IDS_LOG_ADVSETTING", L"Login"));
    EXPECT_EQ(3u, lang.Asked().size()) << "three different keys were asked for";
    EXPECT_FALSE(lang.Load(L"xx"));
    EXPECT_EQ(L"zh-CN", lang.Current());
}

TEST(LangService, BothLanguageFilesHaveTheSameKeys) {
    IniDoc en, zh;
    ASSERT_TRUE(en.Load(JoinPath(ExeDir(), L"lang\\en.lang")));
    ASSERT_TRUE(zh.Load(JoinPath(ExeDir(), L"lang\\zh-CN.lang")));
    for (const std::wstring& section : en.Sections())
        for (const IniDoc::Entry& e : en.Entries(section)) {
            EXPECT_TRUE(zh.Has(section, e.first)) << ToUtf8(section + L":" + e.first);
            EXPECT_FALSE(e.second.empty()) << ToUtf8(section + L":" + e.first);
        }
    for (const std::wstring& section : zh.Sections())
        for (const IniDoc::Entry& e : zh.Entries(section))
            EXPECT_TRUE(en.Has(section, e.first)) << ToUtf8(section + L":" + e.first);
}

// ---------------------------------------------------------------------------

TEST(Png, WhatIsWrittenReadsBackPixelForPixel) {
    const int w = 61, h = 37;
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
            p[0] = static_cast<uint8_t>(x < 30 ? 0xF4 : x * 4);
            p[1] = static_cast<uint8_t>(y * 7);
            p[2] = static_cast<uint8_t>((x * y) % 251);
        }
    std::string png = EncodePng(w, h, rgb);
    int w2 = 0, h2 = 0;
    std::vector<uint8_t> back;
    ASSERT_TRUE(DecodePng(png, w2, h2, back));
    EXPECT_EQ(w, w2);
    EXPECT_EQ(h, h2);
    EXPECT_EQ(rgb, back);

    // A flat window picture compresses well.
    std::vector<uint8_t> flat(300 * 200 * 3, 0xE0);
    EXPECT_LT(EncodePng(300, 200, flat).size(), flat.size() / 50);
}

} // namespace
