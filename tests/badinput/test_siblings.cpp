// Siblings that are missing, and siblings whose lists are null or empty,
// while the panel runs through login, result, logout and a language
// switch: the steps that need the sibling are skipped silently, everything
// else happens as with all siblings present.
#include "BadInputFixture.h"

namespace {

// ---------------------------------------------------------------------------
// One sibling missing at a time

enum class Missing { Main, Settings, Login, CallRecord, PhoneBook, Lang };

struct MissingCase {
    Missing which;
    const char* name;
};

const MissingCase kMissing[] = {
    {Missing::Main, "Main"},           {Missing::Settings, "Settings"},
    {Missing::Login, "Login"},         {Missing::CallRecord, "CallRecord"},
    {Missing::PhoneBook, "PhoneBook"}, {Missing::Lang, "Lang"},
};

class MissingSibling : public BadInput, public ::testing::WithParamInterface<MissingCase> {
protected:
    IUSBase* Sibling(Missing which) {
        switch (which) {
        case Missing::Main:
            return &siblings.main;
        case Missing::Settings:
            return &siblings.settings;
        case Missing::Login:
            return &siblings.login;
        case Missing::CallRecord:
            return &siblings.callRecord;
        case Missing::PhoneBook:
            return &siblings.phoneBook;
        case Missing::Lang:
            return &siblings.lang;
        }
        return nullptr;
    }
    bool Has(Missing which) const { return GetParam().which != which; }
    // A language text as the panel shows it: empty without the service.
    std::wstring Lang(const wchar_t* text) const { return Has(Missing::Lang) ? text : L""; }
};

TEST_P(MissingSibling, LoginResultLogoutAndLanguageSwitchSkipOnlyWhatNeedsIt) {
    siblings.Remove(Sibling(GetParam().which));
    ASSERT_NE(nullptr, CreatePanel());
    EXPECT_EQ(1, PictureState(hPanel));
    EXPECT_EQ(Lang(kLoggedOut), Status());
    // Without the settings sibling there is no stored account to show.
    EXPECT_EQ(Has(Missing::Settings) ? L"alice" : L"", Text(hPanel, IDC_LOGIN_ACCOUNT));

    // Login.
    Calls().Clear();
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"carol");
    SetText(hPanel, IDC_LOGIN_PASSWORD, L"pw");
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGIN));
    EXPECT_TRUE(MessageBoxes::Seen().empty());
    if (Has(Missing::Login)) {
        // No server list without the settings sibling: nothing is selected.
        EXPECT_TRUE(Calls().Has(Has(Missing::Settings) ? L"Login.StartLogin(carol,pw,0)"
                                                       : L"Login.StartLogin(carol,pw,-1)"))
            << Join(Calls().Entries());
        EXPECT_EQ(2, PictureState(hPanel));
        EXPECT_EQ(Lang(kLoggingIn), Status());
    } else {
        EXPECT_EQ(1, PictureState(hPanel)) << "nothing happens after the checks";
    }

    // The host reports success anyway.
    Calls().Clear();
    Panel()->OnRegResponse(0);
    Pump();
    siblings.main.registered = 1;
    EXPECT_EQ(0, PictureState(hPanel));
    EXPECT_EQ(Lang(kLoggedIn), Status());
    EXPECT_TRUE(Visible(hPanel, IDC_LOGIN_BTN_LOGOUT));
    EXPECT_EQ(Has(Missing::CallRecord), Calls().Has(L"CallRecord.OpenAccountDatabase(carol)"));
    EXPECT_EQ(Has(Missing::PhoneBook), Calls().Has(L"PhoneBook.OpenAccountDatabase(carol)"));
    EXPECT_EQ(Has(Missing::Main), Calls().Has(L"Main.SetCurrentAccount(carol)"));
    EXPECT_EQ(Has(Missing::Settings), Calls().Has(L"Settings.SaveLoginRecord(carol,pw,0)"));
    if (Has(Missing::Main)) {
        // No count without the call records: the call page is asked for.
        EXPECT_TRUE(Calls().Has(L"Main.ShowCallPage()"));
        EXPECT_EQ(1, siblings.main.loginState);
    }
    EXPECT_TRUE(MessageBoxes::Seen().empty());

    // Logout, confirmed.
    Calls().Clear();
    MessageBoxes::Answer(IDOK);
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGOUT));
    if (!Has(Missing::Settings)) {
        EXPECT_TRUE(MessageBoxes::Seen().empty()) << "without settings logout does nothing";
        EXPECT_TRUE(Calls().Entries().empty()) << Join(Calls().Entries());
        EXPECT_EQ(0, PictureState(hPanel));
    } else {
        ASSERT_EQ(1u, MessageBoxes::Seen().size());
        EXPECT_EQ(Lang(L"Kite:IDS_UC_INFO_LOGOUT"), MessageBoxes::Seen()[0].text);
        EXPECT_EQ(Lang(L"Kite:IDS_UC_INFO_CHECK"), MessageBoxes::Seen()[0].checkText);
        EXPECT_EQ(Has(Missing::Main), Calls().Has(L"Main.NotifyLogout()"));
        if (Has(Missing::Login)) {
            EXPECT_TRUE(Calls().Has(L"Login.StopLogin()"));
            EXPECT_EQ(1, PictureState(hPanel)) << "logged out without waiting for the host";
        } else {
            EXPECT_EQ(0, PictureState(hPanel)) << "no login sibling: the host decides";
        }
    }

    // The host reports the de-registration.
    Calls().Clear();
    siblings.main.registered = 0;
    Panel()->OnDeRegResponse(0);
    Pump();
    EXPECT_EQ(1, PictureState(hPanel));
    EXPECT_EQ(Lang(kLoggedOut), Status());
    EXPECT_TRUE(Visible(hPanel, IDC_LOGIN_BTN_LOGIN));
    EXPECT_EQ(Has(Missing::Settings), Calls().Has(L"Settings.SetAutoLogin(0)"));
    EXPECT_EQ(Has(Missing::Settings) && Has(Missing::CallRecord),
              Calls().Has(L"CallRecord.CloseAccountDatabase()"));
    EXPECT_EQ(Has(Missing::Settings) && Has(Missing::Main),
              Calls().Has(L"Main.NotifyDeregistered()"));

    // A language switch.
    siblings.lang.prefix = L"ZH ";
    Panel()->OnChangeLanguage();
    Pump();
    const std::wstring zh = Has(Missing::Lang) ? L"ZH " : L"";
    EXPECT_EQ(Has(Missing::Lang) ? zh + L"Login:IDS_LOG_TITLE" : L"",
              Text(hPanel, IDC_LOGIN_BTN_LOGIN));
    // Without the main window the status text stays as it was.
    std::wstring status = Has(Missing::Lang) ? zh + kLoggedOut : L"";
    if (!Has(Missing::Main))
        status = kLoggedOut;
    EXPECT_EQ(status, Status());
    EXPECT_EQ(Has(Missing::Lang) ? zh + L"Login:IDS_LOG_PHONE 0" : std::wstring(L" 0"),
              UnitText(hPanel));

    // A refused registration still answers with its message.
    MessageBoxes::Clear();
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"carol");
    Click(hPanel, IDC_LOGIN_BTN_LOGIN);
    Panel()->OnRegResponse(404);
    Pump();
    EXPECT_EQ(1, PictureState(hPanel));
    ASSERT_EQ(1u, MessageBoxes::Seen().size());
    EXPECT_EQ(Has(Missing::Lang) ? zh + L"Kite:IDS_REGERROR_404" : L"",
              MessageBoxes::Seen()[0].text);
    EXPECT_EQ(hPanel, MessageBoxes::Seen()[0].owner);
}

INSTANTIATE_TEST_SUITE_P(EachOne, MissingSibling, ::testing::ValuesIn(kMissing),
                         [](const ::testing::TestParamInfo<MissingCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(BadInput, NoSiblingAtAllStillGivesAWorkingPanel) {
    siblings.UnregisterAll();
    ASSERT_NE(nullptr, CreatePanel());
    EXPECT_EQ(1, PictureState(hPanel));
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"carol");
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGIN));
    EXPECT_EQ(1, PictureState(hPanel));
    Panel()->OnRegResponse(0);
    Pump();
    EXPECT_EQ(0, PictureState(hPanel));
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGOUT));
    EXPECT_EQ(0, PictureState(hPanel)) << "no settings sibling: logout does nothing";
    Panel()->OnDeRegResponse(0);
    Panel()->OnChangeLanguage();
    Panel()->UpdateUnsettledMsg(0);
    Panel()->OnCustomizeSet();
    Pump();
    EXPECT_EQ(1, PictureState(hPanel));
    EXPECT_TRUE(Calls().Entries().empty()) << Join(Calls().Entries());
    EXPECT_TRUE(MessageBoxes::Seen().empty());
}

// ---------------------------------------------------------------------------
// Null and empty lists

using Lists = BadInput;

TEST_F(Lists, NullAccountListLeavesTheBoxAsTheUserLeftIt) {
    siblings.settings.accountsNull = true;
    ASSERT_NE(nullptr, CreatePanel());
    EXPECT_EQ(L"", Text(hPanel, IDC_LOGIN_ACCOUNT));
    EXPECT_TRUE(ComboItems(Item(hPanel, IDC_LOGIN_ACCOUNT)).empty());
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"carol");
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGIN));
    Panel()->OnRegResponse(404);
    Pump();
    EXPECT_EQ(L"carol", Text(hPanel, IDC_LOGIN_ACCOUNT)) << "no list, no refill";
    EXPECT_EQ(1, PictureState(hPanel));
}

TEST_F(Lists, EmptyOrBlankAccountListsEmptyTheBoxAfterAResult) {
    for (const std::vector<CString>& accounts :
         {std::vector<CString>{}, std::vector<CString>{L"", L""}}) {
        siblings.settings.accounts = accounts;
        ASSERT_NE(nullptr, CreatePanel());
        EXPECT_EQ(L"", Text(hPanel, IDC_LOGIN_ACCOUNT));
        SetText(hPanel, IDC_LOGIN_ACCOUNT, L"carol");
        ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGIN));
        Panel()->OnRegResponse(500);
        Pump();
        EXPECT_TRUE(ComboItems(Item(hPanel, IDC_LOGIN_ACCOUNT)).empty());
        EXPECT_EQ(L"", Text(hPanel, IDC_LOGIN_ACCOUNT));
        EXPECT_EQ(1, PictureState(hPanel));
        // An empty box is refused at the next login.
        MessageBoxes::Clear();
        ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGIN));
        ASSERT_EQ(1u, MessageBoxes::Seen().size());
        EXPECT_EQ(L"Login:IDS_LOG_ACCOUNT_ERRORNULL", MessageBoxes::Seen()[0].text);
        siblings.UnregisterAll();
        host.Unload();
        ASSERT_TRUE(host.Load());
        siblings.RegisterAll();
        MessageBoxes::Clear();
    }
}

TEST_F(Lists, NullOrEmptyServerListsLogInWithNoServerAndOpenNoServerDialog) {
    for (bool null : {true, false}) {
        siblings.settings.serversNull = null;
        siblings.settings.servers.clear();
        ASSERT_NE(nullptr, CreatePanel());
        HWND hAdvanced = AdvancedPanel(hPanel);
        ASSERT_NE(nullptr, hAdvanced);
        EXPECT_TRUE(ComboItems(Item(hAdvanced, IDC_ADVANCED_SERVER)).empty());
        Calls().Clear();
        SetText(hPanel, IDC_LOGIN_ACCOUNT, L"carol");
        ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGIN));
        EXPECT_TRUE(Calls().Has(L"Login.StartLogin(carol,,-1)")) << Join(Calls().Entries());
        Panel()->OnRegResponse(0);
        Pump();
        EXPECT_TRUE(Calls().Has(L"Settings.SetLoginServerIndex(-1)"));
        siblings.main.registered = 1;
        MessageBoxes::Answer(IDOK);
        ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGOUT));
        siblings.main.registered = 0;
        // The server settings button has nothing to open.
        ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_ADVANCED));
        ASSERT_TRUE(Click(hAdvanced, IDC_ADVANCED_BTN_SERVERSETTING));
        EXPECT_TRUE(DialogDriver::Opened().empty()) << "null list " << null;
        EXPECT_EQ(0, Calls().Count(L"Settings.SetServer"));
        siblings.UnregisterAll();
        host.Unload();
        ASSERT_TRUE(host.Load());
        siblings.RegisterAll();
        DialogDriver::Reset();
    }
}

TEST_F(Lists, MultiUserLoginWithANullListStopsSilentlyAndWithAnEmptyOneSaysSo) {
    siblings.login.multiUser = 1;
    siblings.login.regUsersNull = true;
    ASSERT_NE(nullptr, CreatePanel());
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGIN));
    EXPECT_TRUE(MessageBoxes::Seen().empty());
    EXPECT_EQ(0, Calls().Count(L"Login.LoginRegUsers"));
    EXPECT_EQ(1, PictureState(hPanel));

    siblings.login.regUsersNull = false;
    siblings.login.regUsers.clear();
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGIN));
    ASSERT_EQ(1u, MessageBoxes::Seen().size());
    EXPECT_EQ(L"Login:IDS_LOG_REGUSERS_NULL", MessageBoxes::Seen()[0].text);
    EXPECT_EQ(0, Calls().Count(L"Login.LoginRegUsers"));
    EXPECT_EQ(1, PictureState(hPanel));
}

TEST_F(Lists, RegistrationListWithoutAListShowsNothingAndStoresNothing) {
    siblings.login.multiUser = 1;
    siblings.login.regUsersNull = true;
    ASSERT_NE(nullptr, CreatePanel());
    int rows = -1, rowsAfterAdd = -1;
    bool modifyOpened = false;
    DialogDriver::OnNextDialog([&](HWND hDlg) {
        HWND hList = Item(hDlg, IDC_REGUSERS_LIST);
        rows = static_cast<int>(SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0));
        // Modify, Delete and Clear do nothing, whatever their state.
        const size_t before = DialogDriver::Opened().size();
        Command(hDlg, IDC_REGUSERS_BTN_MODIFY);
        Command(hDlg, IDC_REGUSERS_BTN_DEL);
        Command(hDlg, IDC_REGUSERS_BTN_CLEAR);
        modifyOpened = DialogDriver::Opened().size() != before;
        // Add still shows a row, but there is no list to store it in.
        DialogDriver::OnNextDialog([&](HWND hEntry) {
            SetText(hEntry, IDC_REGUSERSINFO_ACCOUNT, L"dave");
            SetText(hEntry, IDC_REGUSERSINFO_ADDRESS, L"10.0.0.5");
            SetText(hEntry, IDC_REGUSERSINFO_PORT, L"5060");
            Click(hEntry, IDOK);
        });
        Click(hDlg, IDC_REGUSERS_BTN_ADD);
        rowsAfterAdd = static_cast<int>(SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0));
        SetFocus(hList);
        PressKey(hList, VK_ESCAPE);
    });
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_ADVANCED));
    EXPECT_EQ(0, rows);
    EXPECT_FALSE(modifyOpened);
    EXPECT_TRUE(MessageBoxes::Seen().empty()) << "no confirmation for nothing";
    EXPECT_EQ(1, rowsAfterAdd);
    EXPECT_TRUE(siblings.login.regUsers.empty());
    EXPECT_EQ(0, DialogDriver::Pending());
}

TEST_F(Lists, CallRecordsWithoutACountLeaveTheUnitAndShowTheCallPage) {
    struct Case {
        int result;
        bool null;
        const wchar_t* unit;
    } cases[] = {{0, false, L"Login:IDS_LOG_PHONE 0"},
                 {1, true, L"Login:IDS_LOG_PHONE 0"},
                 {1, false, L"Login:IDS_LOG_PHONE 0"}};
    for (const Case& c : cases) {
        siblings.callRecord.getResult = c.result;
        siblings.callRecord.listNull = c.null;
        siblings.callRecord.missed.clear();
        ASSERT_NE(nullptr, CreatePanel());
        // A count shown earlier stays when there is no count now.
        siblings.callRecord.getResult = 1;
        siblings.callRecord.listNull = false;
        CallRecord unsettled = {};
        siblings.callRecord.missed = {unsettled};
        Panel()->UpdateUnsettledMsg(2);
        ASSERT_EQ(L"Login:IDS_LOG_PHONE 1", UnitText(hPanel));
        siblings.callRecord.getResult = c.result;
        siblings.callRecord.listNull = c.null;
        siblings.callRecord.missed.clear();

        Calls().Clear();
        SetText(hPanel, IDC_LOGIN_ACCOUNT, L"carol");
        ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGIN));
        Panel()->OnRegResponse(0);
        Pump();
        EXPECT_TRUE(Calls().Has(L"Main.ShowCallPage()")) << c.result << c.null;
        const bool counted = c.result != 0 && !c.null;
        EXPECT_EQ(counted ? std::wstring(c.unit) : L"Login:IDS_LOG_PHONE 1", UnitText(hPanel))
            << c.result << c.null;
        siblings.UnregisterAll();
        host.Unload();
        ASSERT_TRUE(host.Load());
        siblings.RegisterAll();
    }
}

TEST_F(Lists, AdvertisingClicksWithNullOrEmptyLinksOpenNothing) {
    ASSERT_NE(nullptr, CreatePanel());
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"carol");
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGIN));
    Panel()->OnRegResponse(0);
    Pump();
    ASSERT_TRUE(Visible(hPanel, IDC_LOGIN_BILL1));
    for (bool null : {true, false}) {
        siblings.settings.linksNull = null;
        siblings.settings.links.clear();
        Calls().Clear();
        Command(hPanel, IDC_LOGIN_BILL1, STN_CLICKED);
        Command(hPanel, IDC_LOGIN_BILL2, STN_CLICKED);
        EXPECT_EQ(2, Calls().Count(L"Settings.GetBillLinks()"));
        EXPECT_EQ(2u, Calls().Entries().size()) << Join(Calls().Entries());
    }
    EXPECT_EQ(0, PictureState(hPanel));
}

} // namespace
