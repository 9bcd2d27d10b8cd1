// Siblings missing one at a time, and siblings whose lists are null or
// empty, while the panel runs through login, result, logout and a language
// switch: the steps that need them are skipped silently, the rest happens.
#include "BadInputFixture.h"

namespace {

const char* const kSiblings[] = {"Main", "Settings", "Login", "CallRecord", "PhoneBook", "Lang"};

class MissingSibling : public BadInput, public ::testing::WithParamInterface<int> {
protected:
    bool Has(const char* name) const { return std::string(kSiblings[GetParam()]) != name; }
    // A language text as the panel shows it: empty without the service.
    std::wstring Lang(const std::wstring& text) const { return Has("Lang") ? text : L""; }
};

TEST_P(MissingSibling, LoginResultLogoutAndLanguageSwitchSkipOnlyWhatNeedsIt) {
    IUSBase* const all[] = {&siblings.main,       &siblings.settings,  &siblings.login,
                            &siblings.callRecord, &siblings.phoneBook, &siblings.lang};
    siblings.Remove(all[GetParam()]);
    ASSERT_TRUE(CreatePanel());
    EXPECT_EQ(L"LogOut", Picture());
    EXPECT_EQ(Lang(L"Kite:IDS_UC_NOT_LOG"), Status());
    EXPECT_EQ(Has("Settings") ? L"alice" : L"", Text(hPanel, IDC_LOGIN_ACCOUNT));

    Calls().Clear();
    StartLogin(L"carol");
    EXPECT_TRUE(MessageBoxes::Seen().empty());
    if (Has("Login")) {
        // No server list without the settings sibling: nothing is selected.
        EXPECT_TRUE(Calls().Has(Has("Settings") ? L"Login.StartLogin(carol,pw,0)"
                                                : L"Login.StartLogin(carol,pw,-1)"));
        EXPECT_EQ(L"Loging", Picture());
        EXPECT_EQ(Lang(L"Kite:IDS_UC_LOGINING"), Status());
    } else {
        EXPECT_EQ(L"LogOut", Picture()) << "nothing happens after the checks";
    }

    // The host reports success anyway.
    Calls().Clear();
    Panel()->OnRegResponse(0);
    Pump();
    siblings.main.registered = 1;
    EXPECT_EQ(L"LogIn", Picture());
    EXPECT_EQ(Lang(L"Kite:IDS_UC_LOG_SUCESS"), Status());
    EXPECT_EQ(Has("CallRecord"), Calls().Has(L"CallRecord.OpenAccountDatabase(carol)"));
    EXPECT_EQ(Has("PhoneBook"), Calls().Has(L"PhoneBook.OpenAccountDatabase(carol)"));
    EXPECT_EQ(Has("Main"), Calls().Has(L"Main.SetCurrentAccount(carol)"));
    EXPECT_EQ(Has("Settings"), Calls().Has(L"Settings.SaveLoginRecord(carol,pw,0)"));
    // No count without the call records: the call page is asked for.
    EXPECT_EQ(Has("Main"), Calls().Has(L"Main.ShowCallPage()"));
    EXPECT_EQ(Has("Main") ? 1 : -1, siblings.main.loginState);
    EXPECT_TRUE(MessageBoxes::Seen().empty());

    // Logout, confirmed.
    Calls().Clear();
    MessageBoxes::Answer(IDOK);
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGOUT));
    if (!Has("Settings")) {
        EXPECT_TRUE(MessageBoxes::Seen().empty()) << "without settings logout does nothing";
        EXPECT_TRUE(Calls().Entries().empty());
        EXPECT_EQ(L"LogIn", Picture());
    } else {
        ASSERT_EQ(1u, MessageBoxes::Seen().size());
        EXPECT_EQ(Lang(L"Kite:IDS_UC_INFO_LOGOUT"), MessageBoxes::Seen()[0].text);
        EXPECT_EQ(Lang(L"Kite:IDS_UC_INFO_CHECK"), MessageBoxes::Seen()[0].checkText);
        EXPECT_EQ(Has("Main"), Calls().Has(L"Main.NotifyLogout()"));
        EXPECT_EQ(Has("Login"), Calls().Has(L"Login.StopLogin()"));
        // Without the login sibling the host decides.
        EXPECT_EQ(Has("Login") ? L"LogOut" : L"LogIn", Picture());
    }

    // The host reports the de-registration.
    Calls().Clear();
    siblings.main.registered = 0;
    Panel()->OnDeRegResponse(0);
    Pump();
    EXPECT_EQ(L"LogOut", Picture());
    EXPECT_EQ(Lang(L"Kite:IDS_UC_NOT_LOG"), Status());
    EXPECT_EQ(Has("Settings"), Calls().Has(L"Settings.SetAutoLogin(0)"));
    EXPECT_EQ(Has("Settings") && Has("CallRecord"),
              Calls().Has(L"CallRecord.CloseAccountDatabase()"));
    EXPECT_EQ(Has("Settings") && Has("Main"), Calls().Has(L"Main.NotifyDeregistered()"));

    // A language switch; without the main window the status text stays.
    siblings.lang.prefix = L"ZH ";
    Panel()->OnChangeLanguage();
    Pump();
    EXPECT_EQ(Lang(L"ZH Login:IDS_LOG_TITLE"), Text(hPanel, IDC_LOGIN_BTN_LOGIN));
    EXPECT_EQ(Has("Main") ? Lang(L"ZH Kite:IDS_UC_NOT_LOG") : L"Kite:IDS_UC_NOT_LOG", Status());
    EXPECT_EQ(Lang(L"ZH Login:IDS_LOG_PHONE") + L" 0", UnitText(hPanel));

    // A refused registration still answers with its message.
    MessageBoxes::Clear();
    StartLogin(L"carol");
    Panel()->OnRegResponse(404);
    Pump();
    EXPECT_EQ(L"LogOut", Picture());
    ASSERT_EQ(1u, MessageBoxes::Seen().size());
    EXPECT_EQ(Lang(L"ZH Kite:IDS_REGERROR_404"), MessageBoxes::Seen()[0].text);
    EXPECT_EQ(hPanel, MessageBoxes::Seen()[0].owner);
}

INSTANTIATE_TEST_SUITE_P(EachOne, MissingSibling, ::testing::Range(0, 6),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(kSiblings[info.param]);
                         });

TEST_F(BadInput, NullEmptyOrBlankAccountListsLeaveNothingToRefillTheBoxWith) {
    struct Case {
        const char* name;
        bool null;
        std::vector<CString> accounts;
        const wchar_t* after; // the box after a failed login of "carol"
    } cases[] = {
        {"null", true, {}, L"carol"}, {"empty", false, {}, L""}, {"blank", false, {L"", L""}, L""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(host.Load());
        siblings.settings.accountsNull = c.null;
        siblings.settings.accounts = c.accounts;
        ASSERT_TRUE(CreatePanel());
        EXPECT_EQ(L"", Text(hPanel, IDC_LOGIN_ACCOUNT));
        EXPECT_TRUE(ComboItems(Item(hPanel, IDC_LOGIN_ACCOUNT)).empty());
        StartLogin(L"carol");
        Panel()->OnRegResponse(500);
        Pump();
        EXPECT_EQ(c.after, Text(hPanel, IDC_LOGIN_ACCOUNT));
        EXPECT_TRUE(ComboItems(Item(hPanel, IDC_LOGIN_ACCOUNT)).empty());
        EXPECT_EQ(L"LogOut", Picture());
    }
}

} // namespace
