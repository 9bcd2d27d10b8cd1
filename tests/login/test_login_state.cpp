// The login panel's state machine as the user, the host and the siblings see
// it: login requests and keys, registration results, logout, multi-user login.
#include "LoginFixture.h"

#include <algorithm>
#include <tuple>

namespace {

// The message boxes shown so far as "text|caption|type[|check text|check
// state]", with a leading "!" for a box the panel does not own.
Entries Boxes(HWND owner) {
    Entries out;
    for (const MessageBoxRecord& b : MessageBoxes::Seen())
        out.push_back((b.owner == owner ? L"" : L"!") + b.text + L"|" + b.caption + L"|" +
                      std::to_wstring(b.type) +
                      (b.hasCheck ? L"|" + b.checkText + L"|" + std::to_wstring(b.checkIn) : L""));
    return out;
}
// An information box with this text; none for null.
Entries Info(const wchar_t* text) {
    const std::wstring tail = L"|global:IDS_INFO_INFORMATION|";
    return text ? Entries{text + tail + std::to_wstring(MB_OK | MB_ICONINFORMATION)} : Entries{};
}
// The logout question, its check box starting at checkIn (none for -1).
Entries Question(int checkIn) {
    return {L"Kite:IDS_UC_INFO_LOGOUT|global:IDS_INFO_QUESTION|" +
            std::to_wstring(MB_OKCANCEL | MB_ICONQUESTION) +
            (checkIn < 0 ? L"" : L"|Kite:IDS_UC_INFO_CHECK|" + std::to_wstring(checkIn))};
}

const wchar_t kCarol[] = L"Login.StartLogin(carol,secret,0)";
const wchar_t kAsk[] = L"Main.IsRegistered()";
const wchar_t kList[] = L"Settings.GetAccountList()";
const wchar_t kGet[] = L"Settings.GetClearOnLogout()";

Entries Deregistration(Entries before = {}) {
    before.insert(before.end(),
                  {L"Main.SetCurrentAccount()", L"Main.SetLoginState(0)",
                   L"Main.SetStatusText(Kite:IDS_UC_NOT_LOG)", L"Main.ShowLoginPage()",
                   L"Main.SetTitle(global:IDS_APP_NAME)", L"Settings.SetAutoLogin(0)",
                   L"Settings.SetSavedPassword()", L"CallRecord.CloseAccountDatabase()",
                   L"PhoneBook.CloseAccountDatabase()", L"Main.NotifyLogout()",
                   L"Main.NotifyDeregistered()"});
    return before;
}

const wchar_t kNotify[] = L"Main.NotifyLogout()";
const wchar_t kStop[] = L"Login.StopLogin()";
const wchar_t kForget[] = L"Settings.DeleteAccountInfo(carol)";
const wchar_t kSet0[] = L"Settings.SetClearOnLogout(0)";
const wchar_t kSet1[] = L"Settings.SetClearOnLogout(1)";

class LoginStateTest : public LoginTest {
protected:
    void SetUp() override {
        LoginTest::SetUp();
        siblings.settings.accounts = {L"", L"alice", L"bob"};
        ASSERT_NE(nullptr, CreatePanel());
    }
};

// Refused accounts get a message and reach no sibling; Enter and OK log in
// while not registered, Enter logs out while registered; Escape and Cancel
// do nothing.
TEST_F(LoginStateTest, LoginRequestsAreCheckedAndTheKeysFollowTheRegistration) {
    const wchar_t* const kBad = L"Login:IDS_LOG_ACCOUNT_ERRORCHAR";
    const int kClick = IDC_LOGIN_BTN_LOGIN;
    // The account; a key (VK_RETURN, VK_ESCAPE) or a command; logged in before;
    // StartLogin's answer; then the message boxes, sibling calls and state.
    const std::tuple<const wchar_t*, int, bool, int, Entries, Entries, PanelState> cases[] = {
        {L"", kClick, false, 0, Info(L"Login:IDS_LOG_ACCOUNT_ERRORNULL"), {}, kLoggedOut},
        {L"%alice", kClick, false, 0, Info(kBad), {}, kLoggedOut},
        {L"al%ice", kClick, false, 0, Info(kBad), {}, kLoggedOut},
        {L"alice%", kClick, false, 0, Info(kBad), {}, kLoggedOut},
        {L"%", kClick, false, 0, Info(kBad), {}, kLoggedOut},
        {L"carol", kClick, false, 1, {}, {kCarol}, kLoggedOut},
        {L"   ", kClick, false, 0, {}, {L"Login.StartLogin(   ,secret,0)"}, kLogging},
        {L"carol", kClick, false, 0, {}, {kCarol}, kLogging},
        {L"carol", VK_RETURN, false, 0, {}, {kAsk, kCarol}, kLogging},
        {L"carol", VK_RETURN, true, 0, Question(0),
         Deregistration({kAsk, kGet, kSet0, kNotify, kStop}), kLoggedOut},
        {L"carol", IDOK, false, 0, {}, {kAsk, kCarol}, kLogging},
        {L"carol", IDOK, true, 0, {}, {kAsk}, kLoggedIn},
        {L"carol", VK_ESCAPE, false, 0, {}, {}, kLoggedOut},
        {L"carol", IDCANCEL, true, 0, {}, {}, kLoggedIn}};
    for (const auto& [account, input, registered, answer, boxes, calls, state] : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "'" << account << "', " << input << ", " << registered);
        siblings.main.registered = 0;
        Panel()->OnRegResponse(500); // logged out
        if (registered)
            LogIn(L"carol", L"secret");
        siblings.login.startLoginResult = answer;
        SetText(hPanel, IDC_LOGIN_ACCOUNT, account);
        SetText(hPanel, IDC_LOGIN_PASSWORD, L"secret");
        Calls().Clear();
        MessageBoxes::Clear();
        HWND target = registered ? hPanel : Item(hPanel, IDC_LOGIN_PASSWORD);
        SetFocus(target);
        if (input == VK_RETURN || input == VK_ESCAPE)
            PressKey(target, input);
        else
            Command(hPanel, input);
        EXPECT_EQ(boxes, Boxes(hPanel));
        EXPECT_EQ(calls, CallsOf());
        EXPECT_TRUE(Shows(hPanel, state));
        EXPECT_TRUE(IsWindowVisible(hPanel) && hPanel == host.PanelWnd());
    }
}

const wchar_t kTitle[] =
    L"Main.SetTitle(global:IDS_APP_NAME  \u2014  carol  \u2014  Dial:IDS_INFO_IDLE)";

Entries Success(bool autoLogin) {
    const std::wstring flag = autoLogin ? L"1" : L"0";
    return Entries(
        {kAsk, L"CallRecord.CloseAccountDatabase()", L"PhoneBook.CloseAccountDatabase()",
         L"CallRecord.OpenAccountDatabase(carol)", L"PhoneBook.OpenAccountDatabase(carol)",
         L"Main.SetCurrentAccount(carol)", L"Main.SetLoginState(1)",
         L"Main.SetStatusText(Kite:IDS_TITLE_REGED)", kTitle,
         L"Settings.SetAutoLogin(" + flag + L")",
         autoLogin ? L"Settings.SetSavedPassword(secret)" : L"Settings.SetSavedPassword()",
         L"Settings.SaveLoginRecord(carol,secret," + flag + L")",
         L"Settings.SetLoginServerIndex(0)", L"CallRecord.GetCallRecords(2)",
         L"Main.ShowCallPage()", kList});
}

// Registration results: every sibling call in order, state, message, account
// box. Columns: the code; auto-login checked; the main window answering
// "registered"; the state; a failure's status text, also the message if box.
TEST_F(LoginStateTest, RegistrationResultsMoveThePanelTellTheMainWindowAndAnswer) {
    const std::tuple<int, bool, bool, PanelState, const wchar_t*, bool> cases[] = {
        {0, false, false, kLoggedIn, nullptr, false},
        {0, true, false, kLoggedIn, nullptr, false},
        {0, false, true, kLogging, nullptr, false},
        {403, false, false, kLoggedOut, L"Kite:IDS_REGERROR_403", true},
        {404, false, false, kLoggedOut, L"Kite:IDS_REGERROR_404", true},
        {408, false, false, kLoggedOut, L"Kite:IDS_REGERROR_403", true},
        {500, false, false, kLoggedOut, L"Kite:IDS_UC_NOT_LOG", false}};
    for (const auto& [code, autoLogin, registered, state, status, box] : cases) {
        SCOPED_TRACE(::testing::Message() << code << ", " << autoLogin << ", " << registered);
        siblings.main.registered = 0;
        Panel()->OnRegResponse(500); // logged out
        SetChecked(hPanel, IDC_LOGIN_AUTOLOGIN, autoLogin);
        StartLogin(L"carol", L"secret");
        siblings.main.registered = registered;
        Calls().Clear();
        MessageBoxes::Clear();
        Panel()->OnRegResponse(code);
        Pump();
        const Entries failure = {
            L"Main.SetStatusText(" + std::wstring(status ? status : L"") + L")", kList};
        EXPECT_EQ(registered ? Entries{kAsk} : status ? failure : Success(autoLogin), CallsOf());
        EXPECT_TRUE(Shows(hPanel, state));
        EXPECT_EQ(Info(box ? status : nullptr), Boxes(hPanel));
        // Every result but the ignored success shows the first stored account.
        EXPECT_EQ(registered ? L"carol" : L"alice", Text(hPanel, IDC_LOGIN_ACCOUNT));
    }
}

// A confirmed logout de-registers at once (forgetting the account also empties
// the password); without the check box (hidden by the function configuration)
// its stored state is left alone; the host's later de-registration repeats it.

struct LogoutCase {
    const char* name;
    const wchar_t* clearFlag;   // the stored check state
    int answer, check, checkIn; // the answer, the final and the first check state, -1 hidden
    Entries calls;              // before the de-registration
    bool deregisters, forgets;
};
const LogoutCase kLogouts[] = {
    {"CheckSet", L"0", IDOK, 1, 0, {kGet, kForget, kSet1, kList, kNotify, kStop}, true, true},
    {"CheckClear", L"1", IDOK, 0, 1, {kGet, kSet0, kNotify, kStop}, true, false},
    {"Cancel", L"1", IDCANCEL, 0, 1, {kGet}, false, false},
    {"HiddenCheck", L"1", IDOK, -1, -1, {kNotify, kStop}, true, false},
    {"HiddenCheckCancel", L"1", IDCANCEL, -1, -1, {}, false, false}};
class Logout : public LoginStateTest, public ::testing::WithParamInterface<LogoutCase> {};
TEST_P(Logout, AsksAndStoresOnlyWhatTheAnswerSays) {
    const LogoutCase& c = GetParam();
    siblings.settings.accounts = {L"carol", L"alice"};
    SetChecked(hPanel, IDC_LOGIN_AUTOLOGIN, true);
    LogIn(L"carol", L"secret");
    siblings.settings.customize.hideRemovingUserInfo = L"1";
    siblings.settings.customizeNull = c.checkIn >= 0;
    Panel()->OnCustomizeSet();
    ASSERT_TRUE(Shows(hPanel, kLoggedIn));
    siblings.settings.clearOnLogout = c.clearFlag;
    siblings.main.registered = 0; // else the configuration shows the logout button again
    Calls().Clear();
    MessageBoxes::Answer(c.answer, c.check);
    Panel()->Logout();
    Pump();
    auto calls = [&] { // the configuration, applied by every state change, asks kAsk
        Entries e = CallsOf();
        if (c.checkIn < 0)
            e.erase(std::remove(e.begin(), e.end(), kAsk), e.end());
        return e;
    };
    EXPECT_EQ(Question(c.checkIn), Boxes(hPanel));
    EXPECT_EQ(c.deregisters ? Deregistration(c.calls) : c.calls, calls());
    EXPECT_TRUE(Shows(hPanel, c.deregisters ? kLoggedOut : kLoggedIn));
    EXPECT_EQ(!c.deregisters, Checked(hPanel, IDC_LOGIN_AUTOLOGIN));
    EXPECT_EQ(c.deregisters ? L"" : L"carol", Str(siblings.main.currentAccount));
    EXPECT_EQ(c.forgets ? L"" : L"secret", Text(hPanel, IDC_LOGIN_PASSWORD));
    const Entries accounts = c.forgets ? Entries{L"alice"} : Entries{L"carol", L"alice"};
    EXPECT_EQ(accounts, ComboItems(Item(hPanel, IDC_LOGIN_ACCOUNT)));
    EXPECT_EQ(accounts[0], Text(hPanel, IDC_LOGIN_ACCOUNT));
    Calls().Clear();
    Panel()->OnDeRegResponse(1); // only 0 is a de-registration
    Panel()->OnDeRegResponse(0);
    Pump();
    EXPECT_EQ(Deregistration(), calls());
    EXPECT_TRUE(Shows(hPanel, kLoggedOut));
    EXPECT_EQ(1u, MessageBoxes::Seen().size()) << "no second question";
}
INSTANTIATE_TEST_SUITE_P(Answers, Logout, ::testing::ValuesIn(kLogouts), CaseName());

// In multi-user mode the account box, though hidden, is checked first; then
// the registration list decides, its first entry being the account.
TEST_F(LoginTest, InMultiUserModeTheRegistrationListDecidesAfterTheAccountCheck) {
    siblings.login.multiUser = 1;
    ASSERT_NE(nullptr, CreatePanel());
    RegInfo dave, erin;
    dave.account = L"dave";
    erin.account = L"erin";
    const Entries both = {L"Login.GetRegUsers()", L"Login.LoginRegUsers()"};
    const wchar_t* const kOut = L"Kite:IDS_UC_NOT_LOG";
    // The account, the list, LoginRegUsers' answer, the message, the calls, the status.
    const std::tuple<const wchar_t*, std::vector<RegInfo>, int, const wchar_t*, Entries,
                     const wchar_t*>
        cases[] = {{L"", {dave}, 1, L"Login:IDS_LOG_ACCOUNT_ERRORNULL", {}, kOut},
                   {L"x", {}, 1, L"Login:IDS_LOG_REGUSERS_NULL", {both[0]}, kOut},
                   {L"x", {dave, erin}, 0, nullptr, both, kOut},
                   {L"x", {dave, erin}, 1, nullptr, both, L"Kite:IDS_UC_LOGINING"}};
    for (const auto& [account, list, answer, box, calls, status] : cases) {
        SCOPED_TRACE(::testing::Message() << "'" << account << "', " << list.size() << " entries");
        siblings.login.regUsers = list;
        siblings.login.loginRegUsersResult = answer;
        SetText(hPanel, IDC_LOGIN_ACCOUNT, account);
        Calls().Clear();
        MessageBoxes::Clear();
        Panel()->Login();
        Pump();
        EXPECT_EQ(Info(box), Boxes(hPanel));
        EXPECT_EQ(calls, CallsOf({L"Login.", L"Main."}));
        EXPECT_EQ(status, Text(hPanel, IDC_LOGIN_STATUS));
        EXPECT_FALSE(Visible(hPanel, IDC_LOGIN_ACCOUNT));
    }
    Panel()->OnRegResponse(0);
    Pump();
    EXPECT_TRUE(Calls().Has(L"Main.SetCurrentAccount(dave)"));
    EXPECT_EQ(L"Kite:IDS_UC_LOG_SUCESS", Text(hPanel, IDC_LOGIN_STATUS));
}

} // namespace
