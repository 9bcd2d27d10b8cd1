// The scripted tour as CI runs it: every step must reach its state, and
// while each step is on the screen this test checks, through the real
// windows, what a user sees. The pictures are written and read back, not
// compared. Every text looked up during the tour must exist in both
// language files, as must every key the plug-in uses.
#include "ClientResource.h"
#include "HostTestUtil.h"
#include "IniDoc.h"
#include "KiteClient.h"
#include "PngWriter.h"
#include "TextUtil.h"
#include "Tour.h"
#include "WindowQuery.h"

#include <SkinMagicExU.h>
#include <resource.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>

using namespace kite;

namespace {

std::string U8(const std::wstring& s) {
    return ToUtf8(s);
}

void Print(const std::wstring& text) {
    std::fputs(U8(text).c_str(), stdout);
    std::fflush(stdout);
}

// What each step must show, checked while it is on the screen.
class StepChecks {
public:
    void Check(const std::wstring& step, KiteClient& c, const Picture& pic) {
        seen.push_back(step);
        SCOPED_TRACE(U8(step));
        HWND panel = c.PanelWnd();
        HWND main = c.Main().GetSafeHwnd();
        HWND status = c.Main().StatusBar();
        auto lang = [&](const wchar_t* s, const wchar_t* k) { return c.Lang().Peek(s, k); };
        auto panelStatus = [&] { return ItemText(panel, IDC_LOGIN_STATUS); };
        auto unit = [&] { return UnitText(panel, IDC_LOGIN_UNIT_NOANSWER); };
        auto unitWith = [&](int n) {
            return lang(L"Login", L"IDS_LOG_PHONE") + L" " + std::to_wstring(n);
        };
        auto loggedOutControls = [&] {
            for (int id : {IDC_LOGIN_ACCOUNT, IDC_LOGIN_PASSWORD, IDC_LOGIN_BTN_LOGIN,
                           IDC_LOGIN_AUTOLOGIN, IDC_LOGIN_BTN_ADVANCED})
                EXPECT_TRUE(ItemVisible(panel, id)) << id;
            for (int id : {IDC_LOGIN_BTN_LOGOUT, IDC_LOGIN_PANNEL, IDC_LOGIN_BILL1})
                EXPECT_FALSE(ItemVisible(panel, id)) << id;
        };
        auto box = FindMessageBox();
        auto boxText = [&] { return box ? MessageBoxText(box) : std::wstring(L"(no box)"); };

        EXPECT_GT(pic.width, kPageWidth);
        EXPECT_GT(pic.height, kPageHeight);
        EXPECT_GT(CountColours(pic), 50) << "a picture with something drawn in it";
        ASSERT_TRUE(panel);

        if (step == L"logged-out") {
            EXPECT_EQ(lang(L"Kite", L"IDS_UC_NOT_LOG"), panelStatus());
            loggedOutControls();
            EXPECT_EQ(L"", ItemText(panel, IDC_LOGIN_ACCOUNT)) << "a fresh client knows no account";
            EXPECT_EQ(lang(L"global", L"IDS_APP_NAME"), WindowText(main));
            EXPECT_EQ(PAGE_LOGIN, c.Main().CurrentPage());
            EXPECT_FALSE(box);
        } else if (step == L"soft-keyboard") {
            HWND keyboard = FindKeyboard();
            ASSERT_TRUE(keyboard);
            RECT k, field;
            ::GetWindowRect(keyboard, &k);
            ::GetWindowRect(::GetDlgItem(panel, IDC_LOGIN_PASSWORD), &field);
            EXPECT_TRUE(k.top == field.bottom + 1 || k.bottom == field.top)
                << "the keyboard sits at the password field";
            EXPECT_EQ(318, k.right - k.left);
            EXPECT_EQ(L"0000", ItemText(panel, IDC_LOGIN_PASSWORD)) << "typed on its keys";
            EXPECT_EQ(L"8001", ItemText(panel, IDC_LOGIN_ACCOUNT));
        } else if (step == L"advanced-drawer") {
            EXPECT_FALSE(ItemVisible(panel, IDC_LOGIN_ACCOUNT));
            EXPECT_FALSE(ItemVisible(panel, IDC_LOGIN_BTN_LOGIN));
            EXPECT_TRUE(ItemVisible(panel, IDC_LOGIN_BTN_ADVANCED));
            HWND advanced = nullptr;
            for (HWND h = ::GetWindow(panel, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
                if (::GetDlgItem(h, IDC_ADVANCED_SERVER))
                    advanced = h;
            ASSERT_TRUE(advanced);
            EXPECT_TRUE(::IsWindowVisible(advanced));
            HWND servers = ::GetDlgItem(advanced, IDC_ADVANCED_SERVER);
            ASSERT_EQ(3, ::SendMessageW(servers, CB_GETCOUNT, 0, 0));
            EXPECT_EQ(0, ::SendMessageW(servers, CB_GETCURSEL, 0, 0));
            EXPECT_EQ(L"Kite main", WindowText(servers));
        } else if (step == L"server-address") {
            HWND dlg = FindDialogWith(IDC_MODIFY_BACKUPADDRESS);
            ASSERT_TRUE(dlg);
            EXPECT_EQ(lang(L"Login", L"IDS_LOG_SERVERMODIFY"), WindowText(dlg));
            EXPECT_EQ(L"kite-main", WindowText(::GetDlgItem(dlg, IDC_MODIFY_SERVER)));
            EXPECT_EQ(L"Kite main", ItemText(dlg, IDC_MODIFY_DISPLAYNAME));
            EXPECT_EQ(L"sip.kite.example", ItemText(dlg, IDC_MODIFY_ADDRESS));
            EXPECT_EQ(L"5060", ItemText(dlg, IDC_MODIFY_PORT));
            EXPECT_EQ(L"sip-b.kite.example", ItemText(dlg, IDC_MODIFY_BACKUPADDRESS));
            EXPECT_EQ(lang(L"Login", L"IDS_LOG_SERERBAKADD"),
                      ItemText(dlg, IDC_MODIFY_LBL_BACKUPADDRESS));
        } else if (step == L"wrong-password") {
            EXPECT_EQ(lang(L"Kite", L"IDS_REGERROR_403"), boxText());
            EXPECT_EQ(lang(L"global", L"IDS_INFO_INFORMATION"), WindowText(box));
            EXPECT_EQ(lang(L"Kite", L"IDS_REGERROR_403"), StatusBarText(status, 0));
            EXPECT_EQ(lang(L"Kite", L"IDS_UC_NOT_LOG"), panelStatus());
            EXPECT_FALSE(c.Main().IsRegistered());
        } else if (step == L"unknown-account") {
            EXPECT_EQ(lang(L"Kite", L"IDS_REGERROR_404"), boxText());
            EXPECT_EQ(lang(L"Kite", L"IDS_REGERROR_404"), StatusBarText(status, 0));
        } else if (step == L"logging-in") {
            EXPECT_EQ(lang(L"Kite", L"IDS_UC_LOGINING"), panelStatus());
            EXPECT_FALSE(ItemEnabled(panel, IDC_LOGIN_ACCOUNT));
            EXPECT_FALSE(ItemEnabled(panel, IDC_LOGIN_BTN_LOGIN));
            EXPECT_FALSE(ItemVisible(panel, IDC_LOGIN_BTN_LOGOUT));
            EXPECT_EQ(LoginLogic::STATE_REGISTERING, c.Login().GetState());
            EXPECT_FALSE(c.Main().IsRegistered());
        } else if (step == L"logged-in-missed-calls") {
            EXPECT_EQ(lang(L"Kite", L"IDS_UC_LOG_SUCESS"), panelStatus());
            EXPECT_TRUE(ItemVisible(panel, IDC_LOGIN_BTN_LOGOUT));
            EXPECT_FALSE(ItemVisible(panel, IDC_LOGIN_ACCOUNT));
            EXPECT_TRUE(ItemVisible(panel, IDC_LOGIN_PANNEL));
            EXPECT_EQ(unitWith(2), unit());
            EXPECT_TRUE(ItemVisible(panel, IDC_LOGIN_BILL1));
            EXPECT_EQ(c.Config().Get(L"KiteLogIn", L"BillText1"), ItemText(panel, IDC_LOGIN_BILL1));
            EXPECT_EQ(c.Config().Get(L"KiteLogIn", L"BillText2"), ItemText(panel, IDC_LOGIN_BILL2));
            EXPECT_EQ(L"Kite  \x2014  8001  \x2014  Idle", WindowText(main));
            EXPECT_EQ(lang(L"Kite", L"IDS_TITLE_REGED"), StatusBarText(status, 0));
            EXPECT_EQ(L"8001 registered", StatusBarText(status, 1));
            EXPECT_EQ(PAGE_LOGIN, c.Main().CurrentPage());
            EXPECT_EQ(CString(L"1"), c.Settings().GetAutoLogin());
            EXPECT_EQ(CString(L"1234"), c.Settings().GetSavedPassword());
            EXPECT_EQ(L"8001", c.Records().Account());
        } else if (step == L"missed-calls-page") {
            EXPECT_EQ(PAGE_RECORDS, c.Main().CurrentPage());
            EXPECT_FALSE(::IsWindowVisible(panel));
            HWND page = c.Main().Records().GetSafeHwnd();
            EXPECT_TRUE(::IsWindowVisible(page));
            EXPECT_EQ(3, ListView_GetItemCount(::GetDlgItem(page, IDC_RECORD_LIST)));
            EXPECT_EQ(L"Missed calls: 3, new: 2", ItemText(page, IDC_RECORD_TITLE));
        } else if (step == L"call-page") {
            EXPECT_EQ(PAGE_CALL, c.Main().CurrentPage());
            HWND page = c.Main().Calls().GetSafeHwnd();
            EXPECT_TRUE(::IsWindowVisible(page));
            EXPECT_EQ(L"Alice Chen  <8001@kite.example>", ItemText(page, IDC_CALL_IDENTITY));
            EXPECT_EQ(3, ListView_GetItemCount(::GetDlgItem(page, IDC_CALL_CONTACTS)));
            EXPECT_EQ(unitWith(0), unit()) << "seen calls are no longer counted";
        } else if (step == L"lock-dialog") {
            HWND lock = FindDialogWith(IDC_LOCK_PASSWORD);
            ASSERT_TRUE(lock);
            EXPECT_EQ(lang(L"Login", L"IDS_LOG_LOCKACCOUNT"), WindowText(lock));
            EXPECT_EQ(L"8001", ItemText(lock, IDC_LOCK_ACCOUNT));
            EXPECT_EQ(lang(L"Login", L"IDS_LOG_LOCKACCOUNT_REFUSE_EXIT"),
                      ItemText(lock, IDC_LOCK_REFUSE_EXIT));
            EXPECT_EQ(PAGE_LOGIN, c.Main().CurrentPage());
        } else if (step == L"chinese") {
            EXPECT_EQ(L"注销", ItemText(panel, IDC_LOGIN_BTN_LOGOUT));
            EXPECT_EQ(L"您已登录", panelStatus());
            EXPECT_EQ(L"未接来电 0", unit());
            wchar_t text[32] = {};
            TCITEMW item = {};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = 32;
            TabCtrl_GetItem(c.Main().Tabs(), 0, &item);
            EXPECT_EQ(std::wstring(L"登录"), text);
            EXPECT_EQ(L"8001 已注册", StatusBarText(status, 1));
        } else if (step == L"logout-confirm") {
            EXPECT_EQ(L"确定要注销吗？", boxText());
            EXPECT_EQ(L"询问", WindowText(box));
            EXPECT_EQ(L"同时删除此帐号保存的信息", ItemText(box, SKINMSGBOX_IDC_CHECK));
            EXPECT_TRUE(c.Main().IsRegistered()) << "nothing happens before the answer";
        } else if (step == L"chinese-logged-out") {
            EXPECT_EQ(L"您还没有登录", panelStatus());
            EXPECT_EQ(L"登录", ItemText(panel, IDC_LOGIN_BTN_LOGIN));
            loggedOutControls();
            EXPECT_FALSE(c.Main().IsRegistered());
            EXPECT_EQ(L"Kite", WindowText(main));
            EXPECT_EQ(L"您还没有登录", StatusBarText(status, 0));
            EXPECT_FALSE(c.Records().IsOpen());
            EXPECT_EQ(CString(L"0"), c.Settings().GetAutoLogin());
        } else if (step == L"english") {
            EXPECT_EQ(L"Log in", ItemText(panel, IDC_LOGIN_BTN_LOGIN));
            EXPECT_EQ(L"Account", ItemText(panel, IDC_LOGIN_LBL_ACCOUNT));
            EXPECT_EQ(L"Not registered", StatusBarText(status, 1));
            loggedOutControls();
        } else if (step == L"multi-user-list") {
            HWND dlg = FindDialogWith(IDC_REGUSERS_LIST);
            ASSERT_TRUE(dlg);
            EXPECT_EQ(lang(L"Kite", L"IDS_MAIN_REG_TITLE"), WindowText(dlg));
            HWND list = ::GetDlgItem(dlg, IDC_REGUSERS_LIST);
            ASSERT_EQ(3, ListView_GetItemCount(list));
            wchar_t cell[64] = {};
            ListView_GetItemText(list, 2, 0, cell, 64);
            EXPECT_EQ(std::wstring(L"6100"), cell);
            ListView_GetItemText(list, 2, 1, cell, 64);
            EXPECT_EQ(std::wstring(L"******"), cell);
            ListView_GetItemText(list, 2, 2, cell, 64);
            EXPECT_EQ(std::wstring(L"east.kite.example"), cell);
            EXPECT_FALSE(ItemVisible(panel, IDC_LOGIN_ACCOUNT)) << "multi-user mode";
            EXPECT_FALSE(ItemVisible(panel, IDC_LOGIN_PASSWORD));
            EXPECT_TRUE(c.Settings().IsMultiUser());
        } else if (step == L"registration-entry") {
            HWND entry = FindDialogWith(IDC_REGUSERSINFO_IMSDOMAIN);
            ASSERT_TRUE(entry);
            EXPECT_EQ(lang(L"Kite", L"IDS_MAIN_REG_TITLE"), WindowText(entry));
            EXPECT_EQ(L"*" + lang(L"Kite", L"IDS_MAIN_REG_ACCOUNT"),
                      ItemText(entry, IDC_REGUSERSINFO_LBL_ACCOUNT));
            EXPECT_EQ(lang(L"Kite", L"IDS_MAIN_REG_FIELD"),
                      ItemText(entry, IDC_REGUSERSINFO_LBL_IMSDOMAIN));
            EXPECT_TRUE(ItemEnabled(entry, IDOK)) << "account, address and port are filled";
            EXPECT_TRUE(FindDialogWith(IDC_REGUSERS_LIST)) << "over the registration list";
        } else if (step == L"multi-user-logged-in") {
            EXPECT_EQ(lang(L"Kite", L"IDS_UC_LOG_SUCESS"), panelStatus());
            EXPECT_EQ(L"3 of 3 accounts registered", StatusBarText(status, 1));
            EXPECT_EQ(L"8001", c.Main().CurrentAccount());
            EXPECT_EQ(unitWith(1), unit());
            EXPECT_EQ(PAGE_LOGIN, c.Main().CurrentPage());
        } else {
            ADD_FAILURE() << "a step this test does not know";
        }
    }
    std::vector<std::wstring> seen;
};

TEST(Tour, EveryStepReachesItsStateAndShowsItInTheRealWindows) {
    TourOptions options;
    options.outDir = JoinPath(ExeDir(), L"test-tour-out");
    options.dataDir = L"test-tour-data";
    options.print = &Print;
    StepChecks checks;
    options.onStep = [&](const std::wstring& step, KiteClient& client, const Picture& pic) {
        checks.Check(step, client, pic);
    };
    TourReport report;
    DWORD start = ::GetTickCount();
    int failed = RunTour(options, &report);
    DWORD took = ::GetTickCount() - start;
    ASSERT_TRUE(report.started) << U8(report.error);
    EXPECT_EQ(0, failed);
    EXPECT_LT(took, 60000u) << "the tour takes seconds";

    const std::vector<std::wstring> expected = {L"logged-out",
                                                L"soft-keyboard",
                                                L"advanced-drawer",
                                                L"server-address",
                                                L"wrong-password",
                                                L"unknown-account",
                                                L"logging-in",
                                                L"logged-in-missed-calls",
                                                L"missed-calls-page",
                                                L"call-page",
                                                L"lock-dialog",
                                                L"chinese",
                                                L"logout-confirm",
                                                L"chinese-logged-out",
                                                L"english",
                                                L"multi-user-list",
                                                L"registration-entry",
                                                L"multi-user-logged-in"};
    EXPECT_EQ(expected, checks.seen);
    ASSERT_EQ(expected.size(), report.steps.size());
    for (size_t i = 0; i < report.steps.size(); ++i) {
        const TourStepResult& s = report.steps[i];
        SCOPED_TRACE(U8(s.name));
        EXPECT_TRUE(s.reached);
        EXPECT_TRUE(s.left);
        // The picture is a PNG of the client's windows.
        std::string png;
        ASSERT_TRUE(ReadFileBytes(s.picture, png));
        int w = 0, h = 0;
        std::vector<uint8_t> rgb;
        EXPECT_TRUE(DecodePng(png, w, h, rgb));
        EXPECT_GT(w, kPageWidth);
    }
    std::string log;
    EXPECT_TRUE(ReadFileBytes(JoinPath(options.outDir, L"KITE.log"), log));
    EXPECT_NE(std::string::npos, log.find("OnRegResponse")) << "the plug-in's trace log";
    std::string summary;
    EXPECT_TRUE(ReadFileBytes(JoinPath(options.outDir, L"tour.txt"), summary));

    // Language coverage: nothing the plug-in or the client asked for during
    // the tour is missing, in either language file.
    for (const std::wstring& miss : report.missingTexts)
        ADD_FAILURE() << "missing text: " << U8(miss);
    EXPECT_GT(report.askedTexts.size(), 40u);
    for (const wchar_t* file : {L"lang\\en.lang", L"lang\\zh-CN.lang"}) {
        IniDoc doc;
        ASSERT_TRUE(doc.Load(JoinPath(ExeDir(), file)));
        for (const auto& key : report.askedTexts)
            EXPECT_TRUE(doc.Has(key.first, key.second))
                << U8(file) << " lacks " << U8(key.first) << ":" << U8(key.second);
    }
}

// Every key the plug-in looks up, section by section, including those of
// dialogs and messages the tour does not open.
TEST(LanguageFiles, HoldEveryKeyThePluginUses) {
    const std::map<std::wstring, std::vector<std::wstring>> keys = {
        {L"global",
         {L"IDS_APP_NAME", L"IDS_INFO_INFORMATION", L"IDS_INFO_QUESTION", L"IDS_INFO_ERROR",
          L"IDS_BUTTON_OK", L"IDS_BUTTON_CANCEL"}},
        {L"Dial", {L"IDS_INFO_IDLE"}},
        {L"Kite",
         {L"IDS_TITLE_REGED", L"IDS_UC_NOT_LOG", L"IDS_UC_LOG_SUCESS", L"IDS_UC_LOGINING",
          L"IDS_REGERROR_403", L"IDS_REGERROR_404", L"IDS_UC_INFO_LOGOUT", L"IDS_UC_INFO_CHECK",
          L"IDS_MAIN_REG_TITLE", L"IDS_MAIN_REG_ADD", L"IDS_MAIN_REG_MODIFY", L"IDS_MAIN_REG_DEL",
          L"IDS_MAIN_REG_BTN_CLEAR", L"IDS_MAIN_REG_ACCOUNT", L"IDS_MAIN_REG_PASSWORD",
          L"IDS_MAIN_REG_IP", L"IDS_MAIN_REG_PORT", L"IDS_MAIN_REG_FIELD", L"IDS_MAIN_REG_CLEAR"}},
        {L"Login",
         {L"IDS_LOG_CLEAR",
          L"IDS_LOG_KEYBORD",
          L"IDS_LOG_PHONE",
          L"IDS_LOG_ACCOUNT",
          L"IDS_LOG_PASSWORD",
          L"IDS_LOG_AUTO",
          L"IDS_LOG_TITLE",
          L"IDS_LOG_LOGOUT",
          L"IDS_LOG_ADVSETTING",
          L"IDS_LOG_ACCOUNT_ERRORNULL",
          L"IDS_LOG_ACCOUNT_ERRORCHAR",
          L"IDS_LOG_REGUSERS_NULL",
          L"IDC_BUTTON_SERVERSETTING",
          L"IDS_LOG_SERVERSEL",
          L"IDS_LOG_PROXYSETTING",
          L"IDS_LOG_STC_NETTYPE",
          L"IDS_LOG_STC_SERVER",
          L"IDS_LOG_STC_PORT",
          L"IDS_LOG_STC_USER",
          L"IDS_LOG_STC_PSW",
          L"IDS_LOG_PROXYTEST",
          L"IDS_LOG_NETTYPE_NOPROXY",
          L"IDS_LOG_NETTYPE_HTTPPORXY",
          L"IDS_LOG_NETTYPE_IEPROXY",
          L"IDS_LOG_SERVERMODIFY",
          L"IDS_LOG_SERVE",
          L"IDS_LOG_DISPLAYNAME",
          L"IDS_LOG_SERVERADDRESS",
          L"IDS_LOG_SERERBAKADD",
          L"IDS_LOG_LOCKACCOUNT",
          L"IDS_LOG_LOCKACCOUNT_PSW",
          L"IDS_LOG_LOCKACCOUNT_ACCOUNT",
          L"IDS_LOG_LOCKACCOUNT_ACCOUNTNULL",
          L"IDS_LOG_LOCKACCOUNT_DISABLE",
          L"IDS_LOG_LOCKACCOUNT_HIDE_CALL_PAGE",
          L"IDS_LOG_LOCKACCOUNT_HIDE_REMOVING_USER_INFO",
          L"IDS_LOG_LOCKACCOUNT_REFUSE_LOGOUT",
          L"IDS_LOG_LOCKACCOUNT_REFUSE_EXIT",
          L"IDS_LOG_LOCKACCOUNT_DISABLE_MODIFICATION_ON_CALL_RECORD",
          L"IDS_LOG_LOCKACCOUNT_DISABLE_MODIFICATION_ON_VOLUME",
          L"IDS_LOG_LOCKACCOUNT_REFUSE_AUTO_LOGIN",
          L"IDS_LOG_LOCKACCOUNT_DISABLE_MODIFICATION_ON_VOLUMECONTROL"}},
        {L"PhoneBook", {L"IDS_ADDRBOOK_INFO_EXIST", L"IDS_ADDRBOOK_NETCODE_PWD"}},
        {L"Settings", {L"IDS_SPEEDDIAL_TIP_CONFIRM"}},
    };
    for (const wchar_t* file : {L"lang\\en.lang", L"lang\\zh-CN.lang"}) {
        IniDoc doc;
        ASSERT_TRUE(doc.Load(JoinPath(ExeDir(), file))) << U8(file);
        for (const auto& section : keys)
            for (const std::wstring& key : section.second) {
                EXPECT_TRUE(doc.Has(section.first, key))
                    << U8(file) << " lacks " << U8(section.first) << ":" << U8(key);
                EXPECT_FALSE(doc.Get(section.first, key).empty()) << U8(key);
            }
    }
}

} // namespace
