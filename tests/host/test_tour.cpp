// The scripted tour as CI runs it, against the test run's registrar
// (Kamailio): every step reaches its state (the tour waits for it in the
// real windows) and shows what a user must see there; its pictures are
// read back, not compared; the SIP log holds the exchange behind the
// steps; both language files hold every text the plug-in and the client
// look up.
#include "ClientResource.h"
#include "SipTestKit.h"
#include "IniDoc.h"
#include "KiteClient.h"
#include "Screenshot.h"
#include "TextUtil.h"
#include "Tour.h"
#include "WindowQuery.h"

#include <SkinMagicExU.h>
#include "res/resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>

using namespace kite;

namespace {

using Texts = std::vector<std::pair<int, std::wstring>>;

void ExpectTexts(HWND window, const Texts& texts) {
    for (const auto& t : texts)
        EXPECT_EQ(t.second, ItemText(window, t.first)) << "control " << t.first;
}

void ExpectVisible(HWND window, const std::vector<int>& ids, bool visible) {
    for (int id : ids)
        EXPECT_EQ(visible, ItemVisible(window, id)) << "control " << id;
}

std::wstring Cell(HWND list, int row, int column) {
    wchar_t text[64] = {};
    ListView_GetItemText(list, row, column, text, 64);
    return text;
}

// Checks beyond the state the tour itself waits for in each step.
void CheckStep(const std::wstring& step, KiteClient& c, const Picture& pic) {
    SCOPED_TRACE(ToUtf8(step));
    HWND panel = c.PanelWnd();
    HWND main = c.Main().GetSafeHwnd();
    HWND bar = c.Main().StatusBar();
    HWND box = FindMessageBox();
    auto lang = [&](const wchar_t* section, const wchar_t* key) {
        return c.Lang().Peek(section, key);
    };
    EXPECT_GT(pic.width, kPageWidth);
    EXPECT_GT(pic.height, kPageHeight);
    EXPECT_GT(CountColours(pic), 50) << "a picture with something drawn in it";
    ASSERT_TRUE(panel);

    if (step == L"logged-out") { // the client's own configuration restricts nothing
        ExpectVisible(panel,
                      {IDC_LOGIN_ACCOUNT, IDC_LOGIN_PASSWORD, IDC_LOGIN_BTN_LOGIN,
                       IDC_LOGIN_AUTOLOGIN, IDC_LOGIN_BTN_ADVANCED},
                      true);
        ExpectVisible(panel, {IDC_LOGIN_BTN_LOGOUT, IDC_LOGIN_PANNEL, IDC_LOGIN_BILL1}, false);
        EXPECT_EQ(L"", ItemText(panel, IDC_LOGIN_ACCOUNT)) << "a fresh client knows no account";
        EXPECT_EQ(lang(L"global", L"IDS_APP_NAME"), WindowText(main));
        EXPECT_EQ(PAGE_LOGIN, c.Main().CurrentPage());
        EXPECT_EQ(main, ::GetParent(panel));
        RECT rc, page = c.Main().PageRect();
        ::GetWindowRect(panel, &rc);
        ::MapWindowPoints(HWND_DESKTOP, main, reinterpret_cast<POINT*>(&rc), 2);
        EXPECT_TRUE(::EqualRect(&rc, &page)) << "the panel fills the page of the main window";
    } else if (step == L"advanced-drawer") {
        HWND servers = nullptr;
        for (HWND h = ::GetWindow(panel, GW_CHILD); h && !servers; h = ::GetWindow(h, GW_HWNDNEXT))
            servers = ::GetDlgItem(h, IDC_ADVANCED_SERVER);
        ASSERT_TRUE(servers);
        EXPECT_EQ(3, ::SendMessageW(servers, CB_GETCOUNT, 0, 0));
        EXPECT_EQ(0, ::SendMessageW(servers, CB_GETCURSEL, 0, 0));
        EXPECT_EQ(L"Kite main", WindowText(servers));
    } else if (step == L"server-address") {
        HWND dlg = FindDialogWith(IDC_MODIFY_BACKUPADDRESS);
        ASSERT_TRUE(dlg);
        EXPECT_EQ(lang(L"Login", L"IDS_LOG_SERVERMODIFY"), WindowText(dlg));
        ExpectTexts(dlg, {{IDC_MODIFY_SERVER, L"kite-main"},
                          {IDC_MODIFY_DISPLAYNAME, L"Kite main"},
                          {IDC_MODIFY_ADDRESS, L"127.0.0.1"},
                          {IDC_MODIFY_PORT, kitetest::RegistrarPort(0)},
                          {IDC_MODIFY_BACKUPADDRESS, L"127.0.0.1"},
                          {IDC_MODIFY_LBL_BACKUPADDRESS, lang(L"Login", L"IDS_LOG_SERERBAKADD")}});
    } else if (step == L"server-unreachable") {
        EXPECT_EQ(408, c.Login().Outcomes().at(0).code);
        EXPECT_EQ(lang(L"Kite", L"IDS_REGERROR_403"), StatusBarText(bar, 0));
    } else if (step == L"logging-in") {
        EXPECT_EQ(LoginLogic::STATE_REGISTERING, c.Login().GetState());
        EXPECT_FALSE(c.Main().IsRegistered());
    } else if (step == L"logged-in-missed-calls") {
        ExpectTexts(panel, {{IDC_LOGIN_BILL1, c.Config().Get(L"KiteLogIn", L"BillText1")},
                            {IDC_LOGIN_BILL2, c.Config().Get(L"KiteLogIn", L"BillText2")}});
        EXPECT_EQ(L"Kite  \x2014  8001  \x2014  Idle", WindowText(main));
        EXPECT_EQ(lang(L"Kite", L"IDS_TITLE_REGED"), StatusBarText(bar, 0));
        EXPECT_EQ(L"8001 registered", StatusBarText(bar, 1));
    } else if (step == L"missed-calls-page") {
        EXPECT_FALSE(::IsWindowVisible(panel));
        HWND page = c.Main().Records().GetSafeHwnd();
        EXPECT_TRUE(::IsWindowVisible(page));
        EXPECT_EQ(3, ListView_GetItemCount(::GetDlgItem(page, IDC_RECORD_LIST)));
        EXPECT_EQ(L"Missed calls: 3, new: 2", ItemText(page, IDC_RECORD_TITLE));
    } else if (step == L"call-page") {
        HWND page = c.Main().Calls().GetSafeHwnd();
        EXPECT_TRUE(::IsWindowVisible(page));
        EXPECT_EQ(L"8001@kite.example", ItemText(page, IDC_CALL_IDENTITY));
        EXPECT_EQ(L"via Kite main (127.0.0.1:" + kitetest::RegistrarPort(0) + L")",
                  ItemText(page, IDC_CALL_SERVER));
        EXPECT_EQ(3, ListView_GetItemCount(::GetDlgItem(page, IDC_CALL_CONTACTS)));
    } else if (step == L"lock-dialog") {
        HWND lock = FindDialogWith(IDC_LOCK_PASSWORD);
        ASSERT_TRUE(lock);
        EXPECT_EQ(lang(L"Login", L"IDS_LOG_LOCKACCOUNT"), WindowText(lock));
        EXPECT_EQ(lang(L"Login", L"IDS_LOG_LOCKACCOUNT_REFUSE_EXIT"),
                  ItemText(lock, IDC_LOCK_REFUSE_EXIT));
    } else if (step == L"chinese") {
        ExpectTexts(panel, {{IDC_LOGIN_BTN_LOGOUT, L"注销"}, {IDC_LOGIN_STATUS, L"您已登录"}});
        EXPECT_EQ(L"未接来电 0", UnitText(panel, IDC_LOGIN_UNIT_NOANSWER));
        EXPECT_EQ(L"8001 已注册", StatusBarText(bar, 1));
    } else if (step == L"logout-confirm") {
        EXPECT_EQ(L"确定要注销吗？", MessageBoxText(box));
        EXPECT_EQ(L"询问", WindowText(box));
        EXPECT_EQ(L"同时删除此帐号保存的信息", ItemText(box, SKINMSGBOX_IDC_CHECK));
        EXPECT_TRUE(c.Main().IsRegistered()) << "nothing happens before the answer";
    } else if (step == L"chinese-logged-out") {
        ExpectTexts(panel, {{IDC_LOGIN_STATUS, L"您还没有登录"}, {IDC_LOGIN_BTN_LOGIN, L"登录"}});
        EXPECT_FALSE(c.Main().IsRegistered());
        EXPECT_EQ(L"Kite", WindowText(main));
        EXPECT_EQ(L"您还没有登录", StatusBarText(bar, 0));
        EXPECT_FALSE(c.Records().IsOpen());
        EXPECT_EQ(CString(L"0"), c.Settings().GetAutoLogin());
        const std::vector<std::wstring>& events = c.Main().Events();
        EXPECT_NE(events.end(), std::find(events.begin(), events.end(), L"NotifyDeregistered"))
            << "the login logic answered the logout with the de-registration result";
    } else if (step == L"english") {
        ExpectTexts(panel, {{IDC_LOGIN_BTN_LOGIN, L"Log in"}, {IDC_LOGIN_LBL_ACCOUNT, L"Account"}});
        EXPECT_EQ(L"Not registered", StatusBarText(bar, 1));
    } else if (step == L"multi-user-list") {
        HWND dlg = FindDialogWith(IDC_REGUSERS_LIST);
        ASSERT_TRUE(dlg);
        EXPECT_EQ(lang(L"Kite", L"IDS_MAIN_REG_TITLE"), WindowText(dlg));
        HWND list = ::GetDlgItem(dlg, IDC_REGUSERS_LIST);
        ASSERT_EQ(3, ListView_GetItemCount(list));
        EXPECT_EQ(L"6100", Cell(list, 2, 0));
        EXPECT_EQ(L"******", Cell(list, 2, 1));
        EXPECT_EQ(L"127.0.0.1", Cell(list, 2, 2));
        EXPECT_EQ(kitetest::RegistrarPort(1), Cell(list, 2, 3)) << "the registrar's backup port";
        EXPECT_EQ(L"east.kite.example", Cell(list, 2, 4));
        ExpectVisible(panel, {IDC_LOGIN_ACCOUNT, IDC_LOGIN_PASSWORD}, false);
    } else if (step == L"registration-entry") {
        HWND entry = FindDialogWith(IDC_REGUSERSINFO_IMSDOMAIN);
        ASSERT_TRUE(entry);
        EXPECT_EQ(lang(L"Kite", L"IDS_MAIN_REG_TITLE"), WindowText(entry));
        ExpectTexts(entry,
                    {{IDC_REGUSERSINFO_LBL_ACCOUNT, L"*" + lang(L"Kite", L"IDS_MAIN_REG_ACCOUNT")},
                     {IDC_REGUSERSINFO_LBL_IMSDOMAIN, lang(L"Kite", L"IDS_MAIN_REG_FIELD")}});
        EXPECT_TRUE(FindDialogWith(IDC_REGUSERS_LIST)) << "over the registration list";
    } else if (step == L"multi-user-logged-in") {
        EXPECT_EQ(L"3 of 3 accounts registered", StatusBarText(bar, 1));
        EXPECT_EQ(L"8001", c.Main().CurrentAccount());
        EXPECT_EQ(PAGE_LOGIN, c.Main().CurrentPage());
    }
}

TEST(Tour, EveryStepReachesItsStateAndShowsItInTheRealWindows) {
    TourOptions options;
    options.outDir = JoinPath(ExeDir(), L"test-tour-out");
    options.dataDir = L"test-tour-data";
    options.registrar = kitetest::RegistrarOption();
    ASSERT_FALSE(options.registrar.empty()) << kitetest::RegistrarHelp();
    options.print = [](const std::wstring& text) { std::fputs(ToUtf8(text).c_str(), stdout); };
    std::wstring seen;
    int number = 0;
    options.onStep = [&](const std::wstring& step, KiteClient& client, const Picture& pic) {
        seen += (seen.empty() ? L"" : L" ") + step;
        CheckStep(step, client, pic);
        // The file holds exactly the pixels taken: the encoding loses nothing.
        Picture file;
        const std::wstring name = Format(L"%02d-%ls.png", ++number, step.c_str());
        ASSERT_TRUE(LoadPicture(JoinPath(options.outDir, name), file)) << ToUtf8(name);
        EXPECT_EQ(pic.width, file.width);
        EXPECT_EQ(pic.height, file.height);
        EXPECT_TRUE(pic.rgb == file.rgb) << "pixels of " << ToUtf8(name);
    };
    TourReport report;
    const int failed = RunTour(options, &report);
    ASSERT_TRUE(report.started) << ToUtf8(report.error);
    EXPECT_EQ(0, failed) << "steps that did not reach or leave their state";
    EXPECT_EQ(L"logged-out soft-keyboard advanced-drawer server-address wrong-password "
              L"unknown-account server-unreachable logging-in logged-in-missed-calls "
              L"missed-calls-page call-page "
              L"lock-dialog chinese logout-confirm chinese-logged-out english multi-user-list "
              L"registration-entry multi-user-logged-in",
              seen);
    for (const TourStepResult& s : report.steps) {
        Picture file;
        EXPECT_TRUE(LoadPicture(s.picture, file) && file.width > kPageWidth)
            << "a PNG of the client's windows for " << ToUtf8(s.name);
    }
    std::string log;
    EXPECT_TRUE(ReadFileBytes(JoinPath(options.outDir, L"KITE.log"), log));
    EXPECT_NE(std::string::npos, log.find("OnRegResponse")) << "the plug-in's trace log";
    EXPECT_TRUE(FileExists(JoinPath(options.outDir, L"tour.txt")));
    // The registrar's answers behind the steps, in the SIP log the tour
    // leaves: the challenge, 403, 404, a real timeout, the logins and the
    // unregistrations (logout, closing).
    std::string sip;
    ASSERT_TRUE(ReadFileBytes(JoinPath(options.outDir, L"sip.log"), sip));
    for (const char* line :
         {"SIP/2.0 401 Unauthorized", "WWW-Authenticate: Digest", "SIP/2.0 403 Forbidden",
          "SIP/2.0 404 Not Found", "within 3000 ms", "registration failed: 408", "SIP/2.0 200 OK",
          "Expires: 0", "registering sip:6100@east.kite.example"})
        EXPECT_NE(std::string::npos, sip.find(line)) << line;
    EXPECT_EQ(4, kitetest::Count(sip, "  unregistered")) << "logout, then the list on closing";
    EXPECT_EQ(std::string::npos, sip.find("response=")) << "no digest in the log";

    // Both language files hold the same keys, none empty; among them every
    // text asked for on the tour and those asked only on errors it avoids.
    EXPECT_GT(report.askedTexts.size(), 40u);
    std::set<std::pair<std::wstring, std::wstring>> keys[2];
    const wchar_t* files[] = {L"lang\\en.lang", L"lang\\zh-CN.lang"};
    for (int f = 0; f < 2; ++f) {
        IniDoc doc;
        ASSERT_TRUE(doc.Load(JoinPath(ExeDir(), files[f])));
        for (const std::wstring& section : doc.Sections())
            for (const IniDoc::Entry& e : doc.Entries(section)) {
                keys[f].insert({section, e.first});
                EXPECT_FALSE(e.second.empty()) << ToUtf8(files[f] + (L" " + e.first));
            }
    }
    EXPECT_EQ(keys[0], keys[1]) << "both files hold the same keys";
    auto asked = report.askedTexts;
    asked.insert(asked.end(), {{L"global", L"IDS_INFO_ERROR"},
                               {L"Kite", L"IDS_MAIN_REG_CLEAR"},
                               {L"Login", L"IDS_LOG_ACCOUNT_ERRORNULL"},
                               {L"Login", L"IDS_LOG_ACCOUNT_ERRORCHAR"},
                               {L"Login", L"IDS_LOG_REGUSERS_NULL"},
                               {L"Login", L"IDS_LOG_LOCKACCOUNT_ACCOUNTNULL"},
                               {L"PhoneBook", L"IDS_ADDRBOOK_INFO_EXIST"},
                               {L"PhoneBook", L"IDS_ADDRBOOK_NETCODE_PWD"},
                               {L"Settings", L"IDS_SPEEDDIAL_TIP_CONFIRM"}});
    for (const auto& key : asked)
        EXPECT_EQ(1u, keys[0].count(key)) << ToUtf8(key.first + L":" + key.second);

    // Again in the same folder, after another process wrote to both shared
    // files: the output holds this run's records alone.
    const std::string foreignTrace = "Begin Time:2026-01-01 00:00:00.000\r\n"
                                     "[2026-01-01 00:00:00.001][P:999999/T:1][Other.cpp:1 "
                                     "Other::Run()][Enter]\r\n";
    const std::string foreignStart = "pid=999999 show=1\r\ncmdline=upgrade.exe\r\nend\r\n";
    auto appendTo = [](const std::wstring& path, const std::string& bytes) {
        std::string text;
        ReadFileBytes(path, text);
        ASSERT_TRUE(WriteFileBytes(path, text + bytes));
    };
    const std::wstring liveLog = JoinPath(ExeDir(), L"log\\KITE.log");
    const std::wstring liveStarts = JoinPath(ExeDir(), L"upgrade_calls.log");
    std::string firstStarts;
    ASSERT_TRUE(ReadFileBytes(JoinPath(options.outDir, L"upgrade_calls.log"), firstStarts));
    const std::string first = log;
    appendTo(liveLog, foreignTrace);
    appendTo(liveStarts, foreignStart);
    options.onStep = nullptr;
    options.writePictures = false;
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    char started[32];
    std::snprintf(started, sizeof(started), "[%d-%02d-%02d %02d:%02d:%02d.%03d]", now.wYear,
                  now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    TourReport again;
    EXPECT_EQ(0, RunTour(options, &again));
    std::string second, secondStarts, live;
    ASSERT_TRUE(ReadFileBytes(JoinPath(options.outDir, L"KITE.log"), second));
    ASSERT_TRUE(ReadFileBytes(JoinPath(options.outDir, L"upgrade_calls.log"), secondStarts));
    ASSERT_TRUE(ReadFileBytes(liveLog, live));
    EXPECT_NE(std::string::npos, live.find(foreignTrace)) << "the live log keeps everything";
    EXPECT_LT(second.size(), live.size());
    auto count = [](const std::string& text, const std::string& what) {
        size_t n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    };
    // One "Begin Time:" line per load of the plug-in: at the start, and when
    // multi-user mode creates the panel anew.
    EXPECT_EQ(2u, count(first, "Begin Time:"));
    EXPECT_EQ(2u, count(second, "Begin Time:"));
    const std::string own = "][P:" + std::to_string(::GetCurrentProcessId()) + "/";
    EXPECT_EQ(count(second, "][P:"), count(second, own)) << "one process";
    EXPECT_GT(count(second, own), 100u);
    for (size_t at = second.find("\n["); at != std::string::npos; at = second.find("\n[", at + 1))
        EXPECT_GE(second.substr(at + 1, std::strlen(started)), started) << "a record of before";
    EXPECT_NE(std::string::npos, second.find("OnRegResponse"));
    // The same logins started the upgrade program as often, every start new.
    EXPECT_EQ(count(firstStarts, "\nend\r\n"), count(secondStarts, "\nend\r\n"));
    EXPECT_GT(count(secondStarts, "\nend\r\n"), 0u);
    EXPECT_EQ(std::string::npos, secondStarts.find("pid=999999"));
    EXPECT_EQ(std::string::npos, secondStarts.find(firstStarts.substr(0, firstStarts.find('\n'))));
}

} // namespace
