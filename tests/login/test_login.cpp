// The login panel through the real plug-in as the user, the host and the
// siblings see it: how it comes up, its layout and strip, its states (login
// requests and keys, registration results, logout, multi-user login).
#include "PanelTest.h"

#include <algorithm>
#include <cstring>
#include <tuple>

inline bool operator==(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}
inline std::ostream& operator<<(std::ostream& os, const RECT& r) {
    return os << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}

namespace {

using Entries = std::vector<std::wstring>;
enum PanelState { kLoggedIn = 0, kLoggedOut = 1, kLogging = 2 };

class LoginTest : public PanelTest {
protected:
    void StartLogin(const wchar_t* account, const wchar_t* password) {
        SetText(hPanel, IDC_LOGIN_ACCOUNT, account);
        SetText(hPanel, IDC_LOGIN_PASSWORD, password);
        Command(hPanel, IDC_LOGIN_BTN_LOGIN);
    }
    // Logs in; the host reports success and then answers "registered".
    void LogIn(const wchar_t* account, const wchar_t* password) {
        StartLogin(account, password);
        Panel()->OnRegResponse(0);
        Pump();
        siblings.main.registered = 1;
    }
};

// Names the cases of a table-driven test by their name field.
const auto CaseName = [](const auto& info) { return std::string(info.param.name); };

// Sibling calls starting with one of the prefixes (all without one), in
// order, without the configuration look-up that ends every state change.
inline Entries CallsOf(std::initializer_list<const wchar_t*> prefixes = {L""}) {
    Entries out;
    for (const std::wstring& e : Calls().Entries())
        for (const wchar_t* p : prefixes)
            if (e.compare(0, wcslen(p), p) == 0 && e != L"Settings.GetCustomizeSet()") {
                out.push_back(e);
                break;
            }
    return out;
}

// What each state (logged in, logged out, logging in) shows of a control: E visible
// and enabled, D visible and disabled, V visible, d disabled, - hidden, ? either.
const struct {
    int id;
    const char* states;
} kStateControls[] = {{IDC_LOGIN_ACCOUNT, "-ED"},     {IDC_LOGIN_PASSWORD, "-ED"},
                      {IDC_LOGIN_BTN_LOGIN, "-ED"},   {IDC_LOGIN_AUTOLOGIN, "-ED"},
                      {IDC_LOGIN_BTN_CLEAR, "-Ed"},   {IDC_LOGIN_BTN_KEYBOARD, "-Ed"},
                      {IDC_LOGIN_LBL_ACCOUNT, "-V?"}, {IDC_LOGIN_LBL_PASSWORD, "-V?"},
                      {IDC_LOGIN_GROUP, "-V?"},       {IDC_LOGIN_BTN_ADVANCED, "-V-"},
                      {IDC_LOGIN_BTN_LOGOUT, "V--"},  {IDC_LOGIN_PANNEL, "V--"},
                      {IDC_LOGIN_MARK1, "V--"},       {IDC_LOGIN_MARK2, "V--"},
                      {IDC_LOGIN_BILL1, "V--"},       {IDC_LOGIN_BILL2, "V--"},
                      {IDC_LOGIN_PRODUCT, "V--"}};

// The panel shows a state: its controls as above, the status text and the
// skins of the state picture and of the status text.
inline ::testing::AssertionResult Shows(HWND h, PanelState state) {
    const Entries texts[] = {{L"Kite:IDS_UC_LOG_SUCESS", L"LogIn", L"LoginState"},
                             {L"Kite:IDS_UC_NOT_LOG", L"LogOut", L"LogOutState"},
                             {L"Kite:IDS_UC_LOGINING", L"Loging", L"LoginState"}};
    std::wstring bad;
    for (const auto& c : kStateControls) {
        const char want = c.states[state];
        const bool shown = Visible(h, c.id), enabled = Enabled(h, c.id);
        if (!Exists(h, c.id) || (want == '-' && shown) || (strchr("EDV", want) && !shown) ||
            (want == 'E' && !enabled) || (strchr("Dd", want) && enabled))
            bad += std::to_wstring(c.id) + (shown ? L" shown" : L" hidden") +
                   (enabled ? L" enabled; " : L" disabled; ");
    }
    const Entries seen = {Text(h, IDC_LOGIN_STATUS), ControlSkin(Item(h, IDC_LOGIN_PICTURE)),
                          ControlSkin(Item(h, IDC_LOGIN_STATUS))};
    if (seen != texts[state])
        bad += L"status '" + seen[0] + L"', skins " + seen[1] + L"/" + seen[2];
    return bad.empty() ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << bad;
}

const wchar_t kList[] = L"Settings.GetAccountList()";
const wchar_t kIndex[] = L"Settings.GetLoginServerIndex()";
const wchar_t kFind[] = L"Settings.FindLoginRecord(alice)";
const wchar_t kFlag[] = L"Settings.GetAutoLogin()";
const wchar_t kSaved[] = L"Settings.GetSavedPassword()";
const wchar_t kStartup[] = L"Main.GetStartupAccount()";

// The box lists the non-empty names, the first selected; its record, else the
// global flag, checks auto-login, which fills in the saved password. Start-up
// credentials then fill both fields. Either logs in at once.
using Names = std::vector<CString>;
struct StartCase {
    const char* name;
    Names accounts;
    const wchar_t *flag, *record, *index; // the global flag, the first account's record, the server
    const wchar_t *account, *password;    // the start-up credentials
    Entries calls;                        // after the account list and the server index
    const wchar_t *shown, *typed;         // the account box and the password edit
    bool checked, warned;                 // auto-login; the missing record traced
};
const wchar_t kAlice[] = L"Login.StartLogin(alice,saved,0)";
const StartCase kStarts[] = {
    {"EmptyNamesSkipped", Names({L"", L"alice", L"", L"bob"}), L"0", nullptr, L"0", L"", L"",
     Entries({kFind, kFlag, kStartup}), L"alice", L"", false, true},
    {"TheRecordWinsOverTheGlobalFlag", Names({L"alice", L"bob"}), L"1", L"0", L"0", L"", L"",
     Entries({kFind, kStartup}), L"alice", L"", false, false},
    {"ACheckedRecordLogsIn", Names({L"alice"}), L"0", L"1", L"0", L"", L"",
     Entries({kFind, kSaved, kStartup, kAlice}), L"alice", L"saved", true, false},
    {"NoRecordTakesTheGlobalFlag", Names({L"alice"}), L"1", nullptr, L"0", L"", L"",
     Entries({kFind, kFlag, kSaved, kStartup, kAlice}), L"alice", L"saved", true, true},
    {"NoAccountLeavesTheBoxUnchecked", Names(), L"1", nullptr, L"0", L"", L"", Entries({kStartup}),
     L"", L"", false, false},
    {"StartupCredentialsWithAnEmptyPassword", Names({L"alice"}), L"0", nullptr, L"0", L"dave", L"",
     Entries({kFind, kFlag, kStartup, L"Login.StartLogin(dave,,0)"}), L"dave", L"", false, true},
    {"StartupCredentialsWinAndAServerIndexThatIsNoNumberGivesTheFirst", Names({L"alice"}), L"1",
     nullptr, L"abc", L"dave", L"pw",
     Entries({kFind, kFlag, kSaved, kStartup, L"Login.StartLogin(dave,pw,0)"}), L"dave", L"pw",
     true, true}};
class AtStart : public LoginTest, public ::testing::WithParamInterface<StartCase> {};
TEST_P(AtStart, StoredDataAndStartupCredentialsFillTheBoxes) {
    const StartCase& c = GetParam();
    siblings.settings.accounts = c.accounts;
    siblings.settings.autoLogin = c.flag;
    siblings.settings.savedPassword = L"saved";
    siblings.settings.loginServerIndex = c.index;
    if (c.record)
        siblings.settings.records[L"alice"] = LoginRecord{L"alice", L"pw", c.record};
    siblings.main.startupAccount = c.account;
    siblings.main.startupPassword = c.password;
    TraceLogTail trace;
    trace.Mark();
    ASSERT_NE(nullptr, CreatePanel());
    Entries items, calls = {kList, kIndex};
    for (const CString& a : c.accounts)
        if (!a.IsEmpty())
            items.push_back(Str(a));
    calls.insert(calls.end(), c.calls.begin(), c.calls.end());
    EXPECT_EQ(calls, CallsOf({kList, kIndex, L"Settings.FindLoginRecord", kFlag, kSaved, kStartup,
                              L"Login.StartLogin", L"Login.LoginRegUsers"}));
    EXPECT_EQ(items, ComboItems(Item(hPanel, IDC_LOGIN_ACCOUNT)));
    if (!*c.account) {
        EXPECT_EQ(items.empty() ? -1 : 0, ComboSel(Item(hPanel, IDC_LOGIN_ACCOUNT)));
    }
    EXPECT_EQ(c.shown, Text(hPanel, IDC_LOGIN_ACCOUNT));
    EXPECT_EQ(c.typed, Text(hPanel, IDC_LOGIN_PASSWORD));
    EXPECT_EQ(c.checked, Checked(hPanel, IDC_LOGIN_AUTOLOGIN));
    EXPECT_TRUE(Shows(hPanel, c.calls.back().find(L"Login.") == 0 ? kLogging : kLoggedOut));
    EXPECT_EQ(c.warned,
              trace.Text().find("CLoginDlg::InitData()][War]\r\nContent:\r\n"
                                "Can't find the account! in db.\r\n") != std::string::npos);
}
INSTANTIATE_TEST_SUITE_P(Cases, AtStart, ::testing::ValuesIn(kStarts), CaseName);

// The advertising lines come from "kite.ini" beside the host executable, at
// most 258 characters each; the other labels start empty. The reference
// client's own kite.ini there (its advertising lines too) is put back as it
// was.
TEST_F(LoginTest, ComesUpSkinnedWithItsAdvertisingLinesAndTracesItsSteps) {
    const std::wstring ini = ExeDir() + L"kite.ini", kept = ini + L".kept", longLine(300, L'b');
    const bool hadIni = CopyFileW(ini.c_str(), kept.c_str(), FALSE) != FALSE;
    WritePrivateProfileStringW(L"KiteLogIn", L"BillText1", L"Visit", ini.c_str());
    WritePrivateProfileStringW(L"KiteLogIn", L"BillText2", longLine.c_str(), ini.c_str());
    TraceLogTail trace;
    trace.Mark();
    CreatePanel();
    if (hadIni)
        MoveFileExW(kept.c_str(), ini.c_str(), MOVEFILE_REPLACE_EXISTING);
    else
        DeleteFileW(ini.c_str());
    ASSERT_NE(nullptr, hPanel);
    EXPECT_EQ(L"Visit", Text(hPanel, IDC_LOGIN_BILL1));
    EXPECT_EQ(longLine.substr(0, 258), Text(hPanel, IDC_LOGIN_BILL2));
    for (int id : {IDC_LOGIN_PICTURE, IDC_LOGIN_BTN_CLEAR, IDC_LOGIN_BTN_KEYBOARD, IDC_LOGIN_MARK1,
                   IDC_LOGIN_MARK2, IDC_LOGIN_PRODUCT})
        EXPECT_EQ(L"", Text(hPanel, id)) << id;
    EXPECT_EQ(L"LoginDlg", WindowSkin(hPanel));
    for (HWND h :
         {GetWindow(Item(hPanel, IDC_LOGIN_ACCOUNT), GW_CHILD), Item(hPanel, IDC_LOGIN_PASSWORD)}) {
        Type(h, std::wstring(150, L'x'));
        EXPECT_EQ(100u, Text(h).size()) << "typed characters beyond 100 are refused";
    }
    // Initialisation is traced step by step; creation and painting are not.
    int last = -1;
    for (const char* f : {"CLoginDlg::InitUI", "CLoginDlg::InitPannel", "CLoginDlg::InitData",
                          "CLoginDlg::UpdateUIByLoginState", "CLoginDlg::MoveCtrl"}) {
        EXPECT_GT(TraceEnterIndex(trace.Lines(), f), last) << f;
        last = TraceEnterIndex(trace.Lines(), f);
    }
    for (const char* f : {"CLoginDlg::OnCreate", "CLoginDlg::OnInitDialog", "CLoginDlg::OnPaint"})
        EXPECT_EQ(-1, TraceEnterIndex(trace.Lines(), f)) << f;
}

// Clicks fold the advanced area out and in. A host move places the panel, the
// area in its lowest 200 pixels and the button back at the foot (so the next
// click folds in); the area keeps its visibility, the fixed places stay. A
// refused auto-login box stays hidden.
TEST_F(LoginTest, ClicksFoldTheAreaAndAHostMovePlacesItAndResetsOnlyTheButton) {
    ASSERT_NE(nullptr, CreatePanel());
    HWND hArea = FindWindowExW(hPanel, nullptr, L"#32770", nullptr);
    HWND hButton = Item(hPanel, IDC_LOGIN_BTN_ADVANCED);
    // A host move (an empty rectangle: a click), then the button's skin and
    // place and whether the area is out.
    const std::tuple<RECT, const wchar_t*, RECT, bool> steps[] = {
        {{}, L"BtnAdvanceDown", {0, 180, 327, 200}, true},
        {{}, L"BtnAdvanceUp", {0, 380, 327, 400}, false},
        {{10, 5, 310, 455}, L"BtnAdvanceUp", {0, 430, 300, 450}, false},
        {{}, L"BtnAdvanceDown", {0, 230, 300, 250}, true},
        {{0, 0, 300, 450}, L"BtnAdvanceUp", {0, 430, 300, 450}, true},
        {{}, L"BtnAdvanceUp", {0, 430, 300, 450}, false},
        {{}, L"BtnAdvanceDown", {0, 230, 300, 250}, true},
        {{0, 0, 327, 400}, L"BtnAdvanceUp", {0, 380, 327, 400}, true},
        {{}, L"BtnAdvanceUp", {0, 380, 327, 400}, false}};
    const int form[] = {IDC_LOGIN_LBL_ACCOUNT, IDC_LOGIN_ACCOUNT,      IDC_LOGIN_LBL_PASSWORD,
                        IDC_LOGIN_PASSWORD,    IDC_LOGIN_GROUP,        IDC_LOGIN_BTN_LOGIN,
                        IDC_LOGIN_BTN_CLEAR,   IDC_LOGIN_BTN_KEYBOARD, IDC_LOGIN_AUTOLOGIN};
    const std::pair<int, RECT> fixed[] = {
        {IDC_LOGIN_MARK1, {3, 228, 20, 240}},    {IDC_LOGIN_MARK2, {3, 256, 20, 268}},
        {IDC_LOGIN_BILL1, {32, 230, 320, 255}},  {IDC_LOGIN_BILL2, {32, 255, 320, 278}},
        {IDC_LOGIN_PRODUCT, {4, 280, 327, 327}}, {IDC_LOGIN_PANNEL, {3, 190, 323, 215}}};
    RECT panel = {0, 0, 327, 400};
    for (bool refused : {false, true}) {
        siblings.settings.customize.refuseAutoLogin = L"1";
        siblings.settings.customizeNull = !refused;
        Panel()->OnCustomizeSet();
        for (const auto& [move, skin, button, out] : steps) {
            SCOPED_TRACE(::testing::Message() << refused << ", button at " << button);
            if (IsRectEmpty(&move))
                ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_ADVANCED));
            else
                Panel()->Move(panel = move);
            const int w = panel.right - panel.left, h = panel.bottom - panel.top;
            EXPECT_EQ(panel, RectInParent(hPanel));
            EXPECT_EQ((RECT{0, h - 200, w, h}), RectInParent(hArea));
            EXPECT_EQ(skin, ControlSkin(hButton));
            EXPECT_EQ(button, RectInParent(hButton));
            EXPECT_EQ(out, IsWindowVisible(hArea) != FALSE);
            for (int id : form)
                EXPECT_EQ(!out && !(refused && id == IDC_LOGIN_AUTOLOGIN), Visible(hPanel, id))
                    << id;
            for (const auto& [id, rc] : fixed)
                EXPECT_EQ(rc, RectInParent(Item(hPanel, id))) << id;
        }
    }
}

// The strip holds one unit, the missed-call counter; a used unit becomes the
// panel's command with the unit's id, every other notification nothing.
TEST_F(LoginTest, TheStripsOnlyUnitShowsThePhoneTextAndAUsedUnitBecomesItsCommand) {
    ASSERT_NE(nullptr, CreatePanel());
    HWND hStrip = Item(hPanel, IDC_LOGIN_PANNEL);
    auto* pStrip = dynamic_cast<CSkinControlPannel*>(CWnd::FromHandlePermanent(hStrip));
    ASSERT_NE(nullptr, pStrip);
    EXPECT_EQ(1, pStrip->GetUnitCount());
    const CSkinControlUnit* pUnit = pStrip->FindUnit(IDC_LOGIN_UNIT_NOANSWER);
    ASSERT_NE(nullptr, pUnit);
    EXPECT_EQ(L"Login:IDS_LOG_PHONE 0", UnitText(hPanel));
    EXPECT_EQ((std::tuple{96, 2, 5}), std::tie(pUnit->m_nWidth, pUnit->m_nStyle, pUnit->m_nIndent));
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"alice");
    SetText(hPanel, IDC_LOGIN_PASSWORD, L"pw");
    // The code, with a record or none, the used unit's id (0: none), what then happens.
    const std::tuple<DWORD, bool, UINT, Entries> cases[] = {
        {2, true, IDC_LOGIN_UNIT_NOANSWER, {}},
        {0, true, IDC_LOGIN_UNIT_NOANSWER, {}},
        {PANNEL_CODE_USED, false, IDC_LOGIN_UNIT_NOANSWER, {}},
        {PANNEL_CODE_USED, true, 0, {}},
        {PANNEL_CODE_USED, true, IDC_LOGIN_UNIT_NOANSWER, {L"Main.ShowRecordPage(2)"}},
        {PANNEL_CODE_USED, true, IDC_LOGIN_BTN_LOGIN, {L"Login.StartLogin(alice,pw,0)"}}};
    for (auto [code, record, id, calls] : cases) {
        SCOPED_TRACE(::testing::Message() << "code " << code << ", " << record << ", unit " << id);
        CSkinControlUnit unit;
        unit.m_nID = id;
        SKINPANNELNOTIFY notify = {hStrip, IDC_LOGIN_PANNEL, 1, id ? &unit : nullptr};
        Calls().Clear();
        EXPECT_EQ(0, SendMessageW(hPanel, WM_PANNEL_NOTIFY, reinterpret_cast<WPARAM>(&code),
                                  record ? reinterpret_cast<LPARAM>(&notify) : 0));
        EXPECT_EQ(calls, CallsOf({L"Main.", L"Login."}));
    }
}

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
INSTANTIATE_TEST_SUITE_P(Answers, Logout, ::testing::ValuesIn(kLogouts), CaseName);

// In multi-user mode no start-up credentials are asked for and the fields are
// hidden; the advanced button opens the registration list and never folds; the
// login button and its frame stay, 50 pixels left of and 60 above their
// template places. Login checks the hidden account box first, then the
// registration list decides, its first entry being the account.
TEST_F(LoginTest, InMultiUserModeTheRegistrationListDecides) {
    siblings.login.multiUser = 1;
    siblings.main.startupAccount = L"dave";
    ASSERT_NE(nullptr, CreatePanel());
    EXPECT_EQ(Entries{}, CallsOf({kStartup, L"Login.StartLogin", L"Login.LoginRegUsers"}));
    for (int id :
         {IDC_LOGIN_LBL_ACCOUNT, IDC_LOGIN_ACCOUNT, IDC_LOGIN_LBL_PASSWORD, IDC_LOGIN_PASSWORD,
          IDC_LOGIN_BTN_CLEAR, IDC_LOGIN_BTN_KEYBOARD, IDC_LOGIN_AUTOLOGIN})
        EXPECT_FALSE(Visible(hPanel, id)) << id;
    HWND hButton = Item(hPanel, IDC_LOGIN_BTN_ADVANCED);
    const RECT before = RectInParent(hButton);
    for (int i = 0; i < 2; ++i) {
        DialogDriver::OnNextDialog([](HWND hDlg) { PostMessageW(hDlg, WM_COMMAND, IDCANCEL, 0); });
        ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_ADVANCED));
    }
    EXPECT_EQ(Entries(2, L"Kite:IDS_MAIN_REG_TITLE"), DialogDriver::Opened());
    EXPECT_EQ(before, RectInParent(hButton));
    EXPECT_EQ(L"BtnAdvanceUp", ControlSkin(hButton));
    EXPECT_FALSE(IsWindowVisible(FindWindowExW(hPanel, nullptr, L"#32770", nullptr)));
    for (auto [id, r] : {std::pair{IDC_LOGIN_BTN_LOGIN, RECT{115, 131, 57, 19}},
                         std::pair{IDC_LOGIN_GROUP, RECT{111, 123, 66, 32}}}) {
        MapDialogRect(hPanel, &r); // the template's dialog units, converted one by one
        const RECT expected = {r.left - 50, r.top - 60, r.left + r.right - 50,
                               r.top + r.bottom - 60};
        EXPECT_EQ(expected, RectInParent(Item(hPanel, id))) << id;
        EXPECT_TRUE(Visible(hPanel, id)) << id;
    }
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

// Removes one control of the login panel just before it initialises.
int g_removedOnInit = 0;
LRESULT CALLBACK RemoveOnInit(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* msg = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && msg->message == WM_INITDIALOG &&
        GetDlgItem(msg->hwnd, IDC_LOGIN_BTN_LOGIN))
        DestroyWindow(GetDlgItem(msg->hwnd, g_removedOnInit));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A control missing at start-up ends only the step that walks over it: the
// texts emptied before the places are set, the multi-user hiding and moving.
TEST_F(LoginTest, AMissingControlEndsOnlyTheStepThatWalksOverIt) {
    auto templatePlace = [&](RECT r) { // x, y, width, height in dialog units
        MapDialogRect(hPanel, &r);
        return RECT{r.left, r.top, r.left + r.right, r.top + r.bottom};
    };
    const RECT kButton = {115, 131, 57, 19}, kGroup = {111, 123, 66, 32};
    const struct {
        const char* name;
        int removed;
        bool multiUser;
        const wchar_t* clearText; // the clear button's caption
        bool moved;               // login button and frame moved for multi-user mode
    } cases[] = {
        {"state picture", IDC_LOGIN_PICTURE, false, L"清空", false},
        {"frame", IDC_LOGIN_GROUP, true, L"", false},
        {"auto-login box", IDC_LOGIN_AUTOLOGIN, true, L"", false},
        {"account label", IDC_LOGIN_LBL_ACCOUNT, true, L"", false},
        {"nothing", 0, true, L"", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        siblings.login.multiUser = c.multiUser ? 1 : 0;
        ASSERT_TRUE(host.Load());
        g_removedOnInit = c.removed;
        HHOOK hook =
            SetWindowsHookExW(WH_CALLWNDPROC, &RemoveOnInit, nullptr, GetCurrentThreadId());
        Calls().Clear();
        CreatePanel();
        UnhookWindowsHookEx(hook);
        ASSERT_NE(nullptr, hPanel);
        EXPECT_FALSE(Exists(hPanel, c.removed ? c.removed : -1));
        EXPECT_EQ(c.clearText, Text(hPanel, IDC_LOGIN_BTN_CLEAR));
        // The later steps ran: the data, the question for multi-user mode.
        EXPECT_TRUE(Calls().Has(L"Settings.GetAccountList()"));
        EXPECT_TRUE(Calls().Has(L"Login.IsMultiUser()"));
        const int dx = c.moved ? -50 : 0, dy = c.moved ? -60 : 0;
        for (auto [id, place] :
             {std::pair{IDC_LOGIN_BTN_LOGIN, kButton}, std::pair{IDC_LOGIN_GROUP, kGroup}}) {
            if (id == c.removed)
                continue;
            RECT expected = templatePlace(place);
            OffsetRect(&expected, dx, dy);
            EXPECT_EQ(expected, RectInParent(Item(hPanel, id))) << id;
        }
    }
}

} // namespace
