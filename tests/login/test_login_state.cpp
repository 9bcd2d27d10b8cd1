// The login panel's state machine as the user, the host and the siblings
// see it: login refusals, the registration results, logout and the Enter
// and Escape keys.
#include "LoginFixture.h"

namespace {

const wchar_t kInfoCaption[] = L"global:IDS_INFO_INFORMATION";
const UINT kInfoType = MB_OK | MB_ICONINFORMATION;        // 64
const UINT kQuestionType = MB_OKCANCEL | MB_ICONQUESTION; // 33

class LoginStateTest : public LoginTest {
protected:
    void SetUp() override {
        LoginTest::SetUp();
        siblings.settings.accounts = {L"", L"alice", L"bob"};
        ASSERT_NE(nullptr, CreatePanel());
        ASSERT_TRUE(ShowsLoggedOut(hPanel));
        Calls().Clear();
        MessageBoxes::Clear();
    }

    ::testing::AssertionResult OneInformationBox(const wchar_t* text) {
        const auto& seen = MessageBoxes::Seen();
        if (seen.size() != 1)
            return ::testing::AssertionFailure() << seen.size() << " message boxes";
        const MessageBoxRecord& box = seen[0];
        if (box.text != text || box.caption != kInfoCaption || box.type != kInfoType ||
            box.hasCheck || box.owner != hPanel)
            return ::testing::AssertionFailure()
                   << "box '" << Narrow(box.text) << "' caption '" << Narrow(box.caption)
                   << "' type " << box.type << (box.owner == hPanel ? "" : " foreign owner");
        return ::testing::AssertionSuccess();
    }
};

// ---------------------------------------------------------------------------
// Login refusals

TEST_F(LoginStateTest, EmptyAccountIsRefusedWithAMessageAndNothingIsAsked) {
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"");
    SetText(hPanel, IDC_LOGIN_PASSWORD, L"secret");
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGIN));

    EXPECT_TRUE(OneInformationBox(L"Login:IDS_LOG_ACCOUNT_ERRORNULL"));
    EXPECT_TRUE(CallsOf({L"Login.", L"Main."}).empty()) << Join(Calls().Entries());
    EXPECT_TRUE(ShowsLoggedOut(hPanel));
}

TEST_F(LoginStateTest, PercentAnywhereInTheAccountIsRefused) {
    for (const wchar_t* account : {L"%alice", L"al%ice", L"alice%", L"%"}) {
        MessageBoxes::Clear();
        Calls().Clear();
        SetText(hPanel, IDC_LOGIN_ACCOUNT, account);
        Panel()->Login(); // the host's login request takes the same path
        Pump();
        EXPECT_TRUE(OneInformationBox(L"Login:IDS_LOG_ACCOUNT_ERRORCHAR")) << Narrow(account);
        EXPECT_EQ(0, Calls().Count(L"Login.")) << Narrow(account);
        EXPECT_TRUE(ShowsLoggedOut(hPanel)) << Narrow(account);
    }
}

TEST_F(LoginStateTest, AccountOfBlanksIsPassedOn) {
    StartLogin(L"   ", L"pw");
    EXPECT_TRUE(MessageBoxes::Seen().empty());
    EXPECT_EQ(std::vector<std::wstring>{L"Login.StartLogin(   ,pw,0)"}, CallsOf({L"Login."}));
    EXPECT_TRUE(ShowsLoggingIn(hPanel));
}

TEST_F(LoginStateTest, AcceptedRequestShowsLoggingIn) {
    StartLogin(L"carol", L"secret");
    EXPECT_EQ(std::vector<std::wstring>{L"Login.StartLogin(carol,secret,0)"}, CallsOf({L"Login."}));
    EXPECT_TRUE(MessageBoxes::Seen().empty());
    EXPECT_TRUE(ShowsLoggingIn(hPanel));
    EXPECT_TRUE(CallsOf({L"Main."}).empty()) << "nothing is reported before the result";
}

TEST_F(LoginStateTest, RefusedRequestLeavesThePanelAsItWasWithoutAMessage) {
    siblings.login.startLoginResult = 1;
    StartLogin(L"carol", L"secret");
    EXPECT_EQ(1, Calls().Count(L"Login.StartLogin(carol,secret,0)"));
    EXPECT_TRUE(MessageBoxes::Seen().empty());
    EXPECT_TRUE(ShowsLoggedOut(hPanel));
}

TEST_F(LoginStateTest, WithoutTheLoginSiblingNothingHappensAfterTheChecks) {
    siblings.Remove(&siblings.login);
    StartLogin(L"carol", L"secret");
    EXPECT_TRUE(MessageBoxes::Seen().empty());
    EXPECT_TRUE(ShowsLoggedOut(hPanel));
    // The checks still run: an empty account is refused.
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"");
    Command(hPanel, IDC_LOGIN_BTN_LOGIN);
    EXPECT_TRUE(OneInformationBox(L"Login:IDS_LOG_ACCOUNT_ERRORNULL"));
}

// ---------------------------------------------------------------------------
// Registration results

TEST_F(LoginStateTest, SuccessReportsToTheMainWindowSavesAndShowsTheCallPageInOrder) {
    StartLogin(L"carol", L"secret");
    Calls().Clear();
    TraceLogTail trace;
    trace.Mark();

    Panel()->OnRegResponse(0);
    Pump();

    const std::vector<std::wstring> expected = {
        L"Main.IsRegistered()",
        L"Main.SetCurrentAccount(carol)",
        L"Main.SetLoginState(1)",
        L"Main.SetStatusText(Kite:IDS_TITLE_REGED)",
        L"Main.SetTitle(global:IDS_APP_NAME  \u2014  carol  \u2014  Dial:IDS_INFO_IDLE)",
        L"Settings.SetAutoLogin(0)",
        L"Settings.SetSavedPassword()",
        L"Settings.SaveLoginRecord(carol,secret,0)",
        L"Settings.SetLoginServerIndex(0)",
        L"Main.ShowCallPage()",
        L"Settings.GetAccountList()",
    };
    EXPECT_EQ(expected, MainAndSettingsCalls()) << Join(Calls().Entries());
    EXPECT_TRUE(MessageBoxes::Seen().empty());
    EXPECT_TRUE(ShowsLoggedIn(hPanel));
    EXPECT_EQ(L"carol", Str(siblings.main.currentAccount));
    // The account box is refilled: it shows the first stored account.
    EXPECT_EQ(L"alice", Text(hPanel, IDC_LOGIN_ACCOUNT));

    // The stores of the account are opened before the main window hears of it.
    int open = Calls().IndexOf(L"CallRecord.OpenAccountDatabase(carol)");
    if (open >= 0) {
        EXPECT_LT(open, Calls().IndexOf(L"Main.SetCurrentAccount(carol)"));
        EXPECT_LT(Calls().IndexOf(L"CallRecord.CloseAccountDatabase()"), open);
    }

    // The traced steps, in order.
    auto lines = trace.Lines();
    std::vector<int> order;
    for (const char* f :
         {"CLoginDlg::OnRegResponse", "CLoginDlg::SetLoginState", "CLoginDlg::UpdateUIByLoginState",
          "CLoginDlg::SetStatusBarText", "CLoginDlg::SetTitleText", "CLoginDlg::SaveData",
          "CLoginDlg::ShowCallDlg"})
        order.push_back(TraceEnterIndex(lines, f));
    for (size_t i = 0; i < order.size(); ++i) {
        EXPECT_GE(order[i], 0) << "step " << i << " traced";
        if (i > 0) {
            EXPECT_LT(order[i - 1], order[i]) << "step " << i << " in order";
        }
    }
    EXPECT_TRUE(HasTraceLine(lines, "CLoginDlg::OnRegResponse", "Leave"));
    // Storing the account on the main window is not traced.
    EXPECT_EQ(-1, TraceEnterIndex(lines, "CLoginDlg::SetCurrentAccount"));
}

TEST_F(LoginStateTest, SuccessWithAutoLoginStoresThePasswordAndTheCheckedRecord) {
    SetChecked(hPanel, IDC_LOGIN_AUTOLOGIN, true);
    StartLogin(L"carol", L"secret");
    Calls().Clear();
    Panel()->OnRegResponse(0);
    Pump();
    auto calls = CallsOf({L"Settings.Set", L"Settings.Save"});
    const std::vector<std::wstring> expected = {
        L"Settings.SetAutoLogin(1)",
        L"Settings.SetSavedPassword(secret)",
        L"Settings.SaveLoginRecord(carol,secret,1)",
        L"Settings.SetLoginServerIndex(0)",
    };
    EXPECT_EQ(expected, calls);
}

TEST_F(LoginStateTest, SuccessWhileAlreadyRegisteredChangesNothing) {
    StartLogin(L"carol", L"secret");
    siblings.main.registered = 1;
    Calls().Clear();
    Panel()->OnRegResponse(0);
    Pump();
    EXPECT_EQ(std::vector<std::wstring>{L"Main.IsRegistered()"}, Calls().Entries());
    EXPECT_TRUE(MessageBoxes::Seen().empty());
    EXPECT_TRUE(ShowsLoggingIn(hPanel));
    EXPECT_EQ(L"carol", Text(hPanel, IDC_LOGIN_ACCOUNT)) << "not even the account box changes";
}

struct FailureCase {
    int code;
    const wchar_t* status; // the main window's status text
    const wchar_t* box;    // the message text, null for none
};

class RegistrationFailureTest : public LoginStateTest,
                                public ::testing::WithParamInterface<FailureCase> {};

TEST_P(RegistrationFailureTest, ReturnsToLoggedOutWithStatusMessageAndTheFirstStoredAccount) {
    const FailureCase& c = GetParam();
    StartLogin(L"carol", L"secret");
    ASSERT_TRUE(ShowsLoggingIn(hPanel));
    Calls().Clear();

    Panel()->OnRegResponse(c.code);
    Pump();

    const std::vector<std::wstring> expected = {
        std::wstring(L"Main.SetStatusText(") + c.status + L")",
        L"Settings.GetAccountList()",
    };
    EXPECT_EQ(expected, MainAndSettingsCalls()) << Join(Calls().Entries());
    EXPECT_TRUE(ShowsLoggedOut(hPanel));
    if (c.box) {
        EXPECT_TRUE(OneInformationBox(c.box));
    } else {
        EXPECT_TRUE(MessageBoxes::Seen().empty());
    }
    // The typed account gives way to the first stored one.
    EXPECT_EQ(L"alice", Text(hPanel, IDC_LOGIN_ACCOUNT));
    EXPECT_EQ((std::vector<std::wstring>{L"alice", L"bob"}),
              ComboItems(Item(hPanel, IDC_LOGIN_ACCOUNT)));
    EXPECT_EQ(0, ComboSel(Item(hPanel, IDC_LOGIN_ACCOUNT)));
    EXPECT_EQ(0, Calls().Count(L"Main.SetLoginState"));
    EXPECT_EQ(0, Calls().Count(L"Settings.Save"));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, RegistrationFailureTest,
    ::testing::Values(FailureCase{404, L"Kite:IDS_REGERROR_404", L"Kite:IDS_REGERROR_404"},
                      FailureCase{403, L"Kite:IDS_REGERROR_403", L"Kite:IDS_REGERROR_403"},
                      FailureCase{408, L"Kite:IDS_REGERROR_403", L"Kite:IDS_REGERROR_403"},
                      FailureCase{500, L"Kite:IDS_UC_NOT_LOG", nullptr},
                      FailureCase{1, L"Kite:IDS_UC_NOT_LOG", nullptr}),
    [](const ::testing::TestParamInfo<FailureCase>& info) {
        return "Code" + std::to_string(info.param.code);
    });

TEST_F(LoginStateTest, FailureWhileLoggedInAlsoReturnsToLoggedOut) {
    LogIn(L"carol", L"secret");
    ASSERT_TRUE(ShowsLoggedIn(hPanel));
    Panel()->OnRegResponse(403);
    Pump();
    EXPECT_TRUE(ShowsLoggedOut(hPanel));
    EXPECT_TRUE(OneInformationBox(L"Kite:IDS_REGERROR_403"));
}

TEST_F(LoginStateTest, DeregistrationWithANonZeroCodeIsIgnored) {
    LogIn(L"carol", L"secret");
    Calls().Clear();
    Panel()->OnDeRegResponse(1);
    Panel()->OnDeRegResponse(-1);
    Pump();
    EXPECT_TRUE(Calls().Entries().empty()) << Join(Calls().Entries());
    EXPECT_TRUE(ShowsLoggedIn(hPanel));
}

// ---------------------------------------------------------------------------
// Logout

const std::vector<std::wstring> kDeregistration = {
    L"Main.SetCurrentAccount()",
    L"Main.SetLoginState(0)",
    L"Main.SetStatusText(Kite:IDS_UC_NOT_LOG)",
    L"Main.ShowLoginPage()",
    L"Main.SetTitle(global:IDS_APP_NAME)",
    L"Settings.SetAutoLogin(0)",
    L"Settings.SetSavedPassword()",
    L"Main.NotifyLogout()",
    L"Main.NotifyDeregistered()",
};

std::vector<std::wstring> Concat(std::vector<std::wstring> a, const std::vector<std::wstring>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class LogoutTest : public LoginStateTest {
protected:
    void SetUp() override {
        LoginStateTest::SetUp();
        siblings.settings.accounts = {L"carol", L"alice"};
        SetChecked(hPanel, IDC_LOGIN_AUTOLOGIN, true);
        LogIn(L"carol", L"secret");
        ASSERT_TRUE(ShowsLoggedIn(hPanel));
        Calls().Clear();
        MessageBoxes::Clear();
    }

    ::testing::AssertionResult OneLogoutBox(bool withCheck, int checkIn) {
        const auto& seen = MessageBoxes::Seen();
        if (seen.size() != 1)
            return ::testing::AssertionFailure() << seen.size() << " message boxes";
        const MessageBoxRecord& box = seen[0];
        if (box.text != L"Kite:IDS_UC_INFO_LOGOUT" || box.caption != L"global:IDS_INFO_QUESTION" ||
            box.type != kQuestionType || box.owner != hPanel || box.hasCheck != withCheck)
            return ::testing::AssertionFailure()
                   << "box '" << Narrow(box.text) << "' caption '" << Narrow(box.caption)
                   << "' type " << box.type << " check " << box.hasCheck;
        if (withCheck && (box.checkText != L"Kite:IDS_UC_INFO_CHECK" || box.checkIn != checkIn))
            return ::testing::AssertionFailure()
                   << "check '" << Narrow(box.checkText) << "' starting " << box.checkIn;
        return ::testing::AssertionSuccess();
    }
};

TEST_F(LogoutTest, CheckSetForgetsTheAccountAndEmptiesThePassword) {
    siblings.settings.clearOnLogout = L"0";
    MessageBoxes::Answer(IDOK, 1);
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGOUT));

    EXPECT_TRUE(OneLogoutBox(true, 0));
    const auto expected = Concat(
        {
            L"Settings.GetClearOnLogout()",
            L"Settings.DeleteAccountInfo(carol)",
            L"Settings.SetClearOnLogout(1)",
            L"Settings.GetAccountList()",
            L"Main.NotifyLogout()",
            L"Login.StopLogin()",
        },
        kDeregistration);
    EXPECT_EQ(expected, MainAndSettingsCalls()) << Join(Calls().Entries());
    EXPECT_TRUE(ShowsLoggedOut(hPanel));
    EXPECT_EQ(L"", Text(hPanel, IDC_LOGIN_PASSWORD));
    EXPECT_EQ(L"alice", Text(hPanel, IDC_LOGIN_ACCOUNT)) << "the forgotten account is gone";
    EXPECT_EQ(std::vector<std::wstring>{L"alice"}, ComboItems(Item(hPanel, IDC_LOGIN_ACCOUNT)));
    EXPECT_FALSE(Checked(hPanel, IDC_LOGIN_AUTOLOGIN));
    EXPECT_EQ(L"", Str(siblings.main.currentAccount));
    EXPECT_EQ(0, siblings.main.loginState);
}

TEST_F(LogoutTest, CheckClearStoresOnlyTheCheckState) {
    siblings.settings.clearOnLogout = L"1";
    MessageBoxes::Answer(IDOK, 0);
    Panel()->Logout();
    Pump();

    EXPECT_TRUE(OneLogoutBox(true, 1));
    const auto expected = Concat(
        {
            L"Settings.GetClearOnLogout()",
            L"Settings.SetClearOnLogout(0)",
            L"Main.NotifyLogout()",
            L"Login.StopLogin()",
        },
        kDeregistration);
    EXPECT_EQ(expected, MainAndSettingsCalls()) << Join(Calls().Entries());
    EXPECT_TRUE(ShowsLoggedOut(hPanel));
    EXPECT_EQ(L"secret", Text(hPanel, IDC_LOGIN_PASSWORD));
    EXPECT_EQ(L"carol", Text(hPanel, IDC_LOGIN_ACCOUNT));
    EXPECT_FALSE(Checked(hPanel, IDC_LOGIN_AUTOLOGIN)) << "de-registration unchecks auto login";
}

TEST_F(LogoutTest, CancelChangesNothing) {
    siblings.settings.clearOnLogout = L"1";
    MessageBoxes::Answer(IDCANCEL, 0);
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGOUT));
    EXPECT_TRUE(OneLogoutBox(true, 1));
    EXPECT_EQ(std::vector<std::wstring>{L"Settings.GetClearOnLogout()"}, Calls().Entries());
    EXPECT_TRUE(ShowsLoggedIn(hPanel));
    EXPECT_EQ(L"1", Str(siblings.settings.clearOnLogout));
}

TEST_F(LogoutTest, LaterHostDeregistrationRepeatsTheSameCalls) {
    MessageBoxes::Answer(IDOK, 0);
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGOUT));
    auto first = MainAndSettingsCalls();
    ASSERT_GE(first.size(), kDeregistration.size());
    std::vector<std::wstring> firstRun(first.end() - static_cast<long>(kDeregistration.size()),
                                       first.end());
    ASSERT_EQ(kDeregistration, firstRun) << Join(first);

    Calls().Clear();
    Panel()->OnDeRegResponse(0);
    Pump();
    EXPECT_EQ(kDeregistration, MainAndSettingsCalls()) << Join(Calls().Entries());
    EXPECT_TRUE(ShowsLoggedOut(hPanel));
    EXPECT_TRUE(MessageBoxes::Seen().size() == 1) << "no second confirmation";
}

TEST_F(LogoutTest, WithoutTheSettingsSiblingNothingHappens) {
    siblings.Remove(&siblings.settings);
    Panel()->Logout();
    Pump();
    EXPECT_TRUE(MessageBoxes::Seen().empty());
    EXPECT_TRUE(Calls().Entries().empty()) << Join(Calls().Entries());
    EXPECT_TRUE(ShowsLoggedIn(hPanel));
}

TEST_F(LogoutTest, WithoutTheLoginSiblingOnlyTheMainWindowHearsOfIt) {
    siblings.Remove(&siblings.login);
    MessageBoxes::Answer(IDOK, 0);
    Panel()->Logout();
    Pump();
    const std::vector<std::wstring> expected = {
        L"Settings.GetClearOnLogout()",
        L"Settings.SetClearOnLogout(0)",
        L"Main.NotifyLogout()",
    };
    EXPECT_EQ(expected, MainAndSettingsCalls());
    EXPECT_TRUE(ShowsLoggedIn(hPanel)) << "the panel waits for the de-registration";
}

TEST_F(LogoutTest, HiddenCheckAsksWithoutACheckBoxAndLeavesTheStoredStateAlone) {
    // The function configuration hides the check box.
    siblings.settings.customize.hideRemovingUserInfo = L"1";
    siblings.settings.customizeNull = false;
    Panel()->OnCustomizeSet();
    Pump();
    ASSERT_TRUE(Calls().Has(L"Settings.GetCustomizeSet()"));
    Calls().Clear();

    MessageBoxes::Answer(IDOK);
    Panel()->Logout();
    Pump();
    EXPECT_TRUE(OneLogoutBox(false, 0));
    EXPECT_EQ(0, Calls().Count(L"Settings.GetClearOnLogout"));
    EXPECT_EQ(0, Calls().Count(L"Settings.SetClearOnLogout"));
    EXPECT_EQ(0, Calls().Count(L"Settings.DeleteAccountInfo"));
    // The configuration, applied again by every state change, asks the main
    // window whether it is registered; those questions are left out here.
    std::vector<std::wstring> calls;
    for (const auto& e : MainAndSettingsCalls())
        if (e != L"Main.IsRegistered()")
            calls.push_back(e);
    EXPECT_EQ(Concat({L"Main.NotifyLogout()", L"Login.StopLogin()"}, kDeregistration), calls)
        << Join(Calls().Entries());
    EXPECT_EQ(L"Kite:IDS_UC_NOT_LOG", Text(hPanel, IDC_LOGIN_STATUS));
    EXPECT_TRUE(Visible(hPanel, IDC_LOGIN_BTN_LOGIN));
    EXPECT_TRUE(Visible(hPanel, IDC_LOGIN_ACCOUNT));
    EXPECT_EQ(L"secret", Text(hPanel, IDC_LOGIN_PASSWORD));

    // Cancel in this form changes nothing either.
    siblings.main.registered = 0;
    LogIn(L"carol", L"secret");
    std::vector<bool> before;
    for (int id : {IDC_LOGIN_BTN_LOGOUT, IDC_LOGIN_PANNEL, IDC_LOGIN_ACCOUNT, IDC_LOGIN_BTN_LOGIN})
        before.push_back(Visible(hPanel, id));
    Calls().Clear();
    MessageBoxes::Clear();
    MessageBoxes::Answer(IDCANCEL);
    Panel()->Logout();
    Pump();
    EXPECT_TRUE(OneLogoutBox(false, 0));
    EXPECT_TRUE(MainAndSettingsCalls().empty()) << Join(Calls().Entries());
    std::vector<bool> after;
    for (int id : {IDC_LOGIN_BTN_LOGOUT, IDC_LOGIN_PANNEL, IDC_LOGIN_ACCOUNT, IDC_LOGIN_BTN_LOGIN})
        after.push_back(Visible(hPanel, id));
    EXPECT_EQ(before, after);
    EXPECT_EQ(L"Kite:IDS_UC_LOG_SUCESS", Text(hPanel, IDC_LOGIN_STATUS));
}

// ---------------------------------------------------------------------------
// Multi-user mode

class MultiUserLoginTest : public LoginTest {
protected:
    void SetUp() override {
        LoginTest::SetUp();
        siblings.login.multiUser = 1;
    }
};

TEST_F(MultiUserLoginTest, EmptyAccountStillStopsTheLoginAlthoughTheBoxIsHidden) {
    siblings.settings.accounts.clear();
    ASSERT_NE(nullptr, CreatePanel());
    ASSERT_FALSE(Visible(hPanel, IDC_LOGIN_ACCOUNT));
    Calls().Clear();
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGIN));
    ASSERT_EQ(1u, MessageBoxes::Seen().size());
    EXPECT_EQ(L"Login:IDS_LOG_ACCOUNT_ERRORNULL", MessageBoxes::Seen()[0].text);
    EXPECT_EQ(0, Calls().Count(L"Login.")) << Join(Calls().Entries());
}

TEST_F(MultiUserLoginTest, RegistrationListDecidesWhatHappens) {
    siblings.settings.accounts = {L"alice"};
    ASSERT_NE(nullptr, CreatePanel());
    EXPECT_EQ(L"alice", Text(hPanel, IDC_LOGIN_ACCOUNT));

    // No list: nothing, silently.
    siblings.login.regUsersNull = true;
    Calls().Clear();
    Panel()->Login();
    Pump();
    EXPECT_EQ(std::vector<std::wstring>{L"Login.GetRegUsers()"}, CallsOf({L"Login.", L"Main."}));
    EXPECT_TRUE(MessageBoxes::Seen().empty());

    // An empty list: a message.
    siblings.login.regUsersNull = false;
    Calls().Clear();
    Panel()->Login();
    Pump();
    EXPECT_EQ(std::vector<std::wstring>{L"Login.GetRegUsers()"}, CallsOf({L"Login.", L"Main."}));
    ASSERT_EQ(1u, MessageBoxes::Seen().size());
    EXPECT_EQ(L"Login:IDS_LOG_REGUSERS_NULL", MessageBoxes::Seen()[0].text);
    EXPECT_EQ(kInfoCaption, MessageBoxes::Seen()[0].caption);
    EXPECT_EQ(kInfoType, MessageBoxes::Seen()[0].type);

    // Requests refused: the panel stays logged out.
    RegInfo first, second;
    first.account = L"dave";
    second.account = L"erin";
    siblings.login.regUsers = {first, second};
    siblings.login.loginRegUsersResult = 0;
    Calls().Clear();
    Panel()->Login();
    Pump();
    EXPECT_EQ((std::vector<std::wstring>{L"Login.GetRegUsers()", L"Login.LoginRegUsers()"}),
              CallsOf({L"Login.", L"Main."}));
    EXPECT_EQ(L"Kite:IDS_UC_NOT_LOG", Text(hPanel, IDC_LOGIN_STATUS));

    // Requests under way: logging in, as the first entry's account.
    siblings.login.loginRegUsersResult = 1;
    Panel()->Login();
    Pump();
    EXPECT_EQ(L"Kite:IDS_UC_LOGINING", Text(hPanel, IDC_LOGIN_STATUS));
    EXPECT_FALSE(Enabled(hPanel, IDC_LOGIN_BTN_LOGIN));
    EXPECT_EQ(0, Calls().Count(L"Login.StartLogin"));
    Calls().Clear();
    Panel()->OnRegResponse(0);
    Pump();
    EXPECT_TRUE(Calls().Has(L"Main.SetCurrentAccount(dave)")) << Join(Calls().Entries());
    EXPECT_EQ(L"Kite:IDS_UC_LOG_SUCESS", Text(hPanel, IDC_LOGIN_STATUS));
    // Every state keeps the single-user fields hidden.
    for (int id :
         {IDC_LOGIN_LBL_ACCOUNT, IDC_LOGIN_ACCOUNT, IDC_LOGIN_LBL_PASSWORD, IDC_LOGIN_PASSWORD,
          IDC_LOGIN_BTN_CLEAR, IDC_LOGIN_BTN_KEYBOARD, IDC_LOGIN_AUTOLOGIN})
        EXPECT_FALSE(Visible(hPanel, id)) << id;
    Panel()->OnRegResponse(404);
    Pump();
    for (int id :
         {IDC_LOGIN_LBL_ACCOUNT, IDC_LOGIN_ACCOUNT, IDC_LOGIN_LBL_PASSWORD, IDC_LOGIN_PASSWORD,
          IDC_LOGIN_BTN_CLEAR, IDC_LOGIN_BTN_KEYBOARD, IDC_LOGIN_AUTOLOGIN})
        EXPECT_FALSE(Visible(hPanel, id)) << id;
    EXPECT_TRUE(Visible(hPanel, IDC_LOGIN_BTN_LOGIN));
}

// ---------------------------------------------------------------------------
// Enter and Escape

TEST_F(LoginStateTest, OkLogsInWhileNotRegistered) {
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"carol");
    SetText(hPanel, IDC_LOGIN_PASSWORD, L"secret");
    Command(hPanel, IDOK);
    EXPECT_EQ(
        (std::vector<std::wstring>{L"Main.IsRegistered()", L"Login.StartLogin(carol,secret,0)"}),
        CallsOf({L"Main.", L"Login."}));
    EXPECT_TRUE(ShowsLoggingIn(hPanel));
}

TEST_F(LoginStateTest, OkWithoutTheMainWindowStillLogsIn) {
    siblings.Remove(&siblings.main);
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"carol");
    SetText(hPanel, IDC_LOGIN_PASSWORD, L"secret");
    Command(hPanel, IDOK);
    EXPECT_EQ(1, Calls().Count(L"Login.StartLogin(carol,secret,0)"));
}

TEST_F(LoginStateTest, OkWhileRegisteredDoesNothing) {
    LogIn(L"carol", L"secret");
    Calls().Clear();
    Command(hPanel, IDOK);
    EXPECT_EQ(std::vector<std::wstring>{L"Main.IsRegistered()"}, CallsOf({L"Main.", L"Login."}));
    EXPECT_TRUE(MessageBoxes::Seen().empty());
    EXPECT_TRUE(ShowsLoggedIn(hPanel));
}

TEST_F(LoginStateTest, EnterInThePasswordFieldLogsInWhileNotRegistered) {
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"carol");
    SetText(hPanel, IDC_LOGIN_PASSWORD, L"secret");
    SetFocus(Item(hPanel, IDC_LOGIN_PASSWORD));
    PressKey(Item(hPanel, IDC_LOGIN_PASSWORD), VK_RETURN);
    EXPECT_EQ(1, Calls().Count(L"Login.StartLogin(carol,secret,0)")) << Join(Calls().Entries());
    EXPECT_TRUE(ShowsLoggingIn(hPanel));
}

TEST_F(LoginStateTest, EnterWhileRegisteredLogsOut) {
    LogIn(L"carol", L"secret");
    Calls().Clear();
    MessageBoxes::Answer(IDOK, 0);
    PressKey(hPanel, VK_RETURN);
    ASSERT_EQ(1u, MessageBoxes::Seen().size());
    EXPECT_EQ(L"Kite:IDS_UC_INFO_LOGOUT", MessageBoxes::Seen()[0].text);
    EXPECT_EQ(1, Calls().Count(L"Login.StopLogin()"));
    EXPECT_EQ(0, Calls().Count(L"Login.StartLogin"));
    EXPECT_EQ(L"Kite:IDS_UC_NOT_LOG", Text(hPanel, IDC_LOGIN_STATUS));
}

TEST_F(LoginStateTest, EnterWithoutTheMainWindowLogsIn) {
    siblings.Remove(&siblings.main);
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"carol");
    SetText(hPanel, IDC_LOGIN_PASSWORD, L"secret");
    SetFocus(Item(hPanel, IDC_LOGIN_PASSWORD));
    PressKey(Item(hPanel, IDC_LOGIN_PASSWORD), VK_RETURN);
    EXPECT_EQ(1, Calls().Count(L"Login.StartLogin(carol,secret,0)")) << Join(Calls().Entries());
    EXPECT_TRUE(ShowsLoggingIn(hPanel));
}

TEST_F(LoginStateTest, EscapeNeverClosesThePanel) {
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"carol");
    SetFocus(Item(hPanel, IDC_LOGIN_PASSWORD));
    PressKey(Item(hPanel, IDC_LOGIN_PASSWORD), VK_ESCAPE);
    Command(hPanel, IDCANCEL);
    ASSERT_TRUE(IsWindow(hPanel));
    EXPECT_TRUE(IsWindowVisible(hPanel));
    EXPECT_EQ(hPanel, host.PanelWnd());
    EXPECT_TRUE(ShowsLoggedOut(hPanel));
    EXPECT_EQ(L"carol", Text(hPanel, IDC_LOGIN_ACCOUNT));
    EXPECT_TRUE(CallsOf({L"Main.", L"Login.", L"Settings."}).empty()) << Join(Calls().Entries());

    LogIn(L"carol", L"secret");
    Command(hPanel, IDCANCEL);
    EXPECT_TRUE(IsWindowVisible(hPanel));
    EXPECT_TRUE(ShowsLoggedIn(hPanel));
}

} // namespace
