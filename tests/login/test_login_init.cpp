// The login panel as it comes up: the stored accounts, the auto-login
// state, the start-up credentials, multi-user mode, the auxiliary windows
// and the trace of its initialisation.
#include "LoginFixture.h"

#include <commctrl.h>

namespace {

class LoginInitTest : public LoginTest {};

LoginRecord Record(const wchar_t* account, const wchar_t* password, const wchar_t* autoLogin) {
    LoginRecord r;
    r.account = account;
    r.password = password;
    r.autoLogin = autoLogin;
    return r;
}

// ---------------------------------------------------------------------------
// Stored data

TEST_F(LoginInitTest, AccountListSkipsEmptyNamesAndSelectsTheFirst) {
    siblings.settings.accounts = {L"", L"alice", L"", L"bob"};
    ASSERT_NE(nullptr, CreatePanel());
    HWND hCombo = Item(hPanel, IDC_LOGIN_ACCOUNT);
    EXPECT_EQ((std::vector<std::wstring>{L"alice", L"bob"}), ComboItems(hCombo));
    EXPECT_EQ(0, ComboSel(hCombo));
    EXPECT_EQ(L"alice", Text(hPanel, IDC_LOGIN_ACCOUNT));
    EXPECT_TRUE(ShowsLoggedOut(hPanel));
}

TEST_F(LoginInitTest, StoredRecordWinsOverTheGlobalAutoLoginFlag) {
    siblings.settings.accounts = {L"alice", L"bob"};
    siblings.settings.autoLogin = L"1";
    siblings.settings.savedPassword = L"saved";
    siblings.settings.records[L"alice"] = Record(L"alice", L"pw", L"0");
    TraceLogTail trace;
    trace.Mark();
    ASSERT_NE(nullptr, CreatePanel());

    EXPECT_FALSE(Checked(hPanel, IDC_LOGIN_AUTOLOGIN));
    EXPECT_EQ(L"", Text(hPanel, IDC_LOGIN_PASSWORD));
    const std::vector<std::wstring> expected = {
        L"Settings.GetAccountList()",
        L"Settings.GetLoginServerIndex()",
        L"Settings.FindLoginRecord(alice)",
    };
    EXPECT_EQ(expected, CallsOf({L"Settings.GetAccountList", L"Settings.GetLoginServerIndex",
                                 L"Settings.FindLoginRecord", L"Settings.GetAutoLogin",
                                 L"Settings.GetSavedPassword"}));
    EXPECT_EQ(0, Calls().Count(L"Login.StartLogin"));
    EXPECT_TRUE(ShowsLoggedOut(hPanel));
    EXPECT_EQ(std::string::npos, trace.Text().find("Can't find the account! in db."));
}

TEST_F(LoginInitTest, StoredRecordWithAutoLoginChecksFillsThePasswordAndLogsIn) {
    siblings.settings.accounts = {L"alice"};
    siblings.settings.autoLogin = L"0";
    siblings.settings.savedPassword = L"saved";
    siblings.settings.records[L"alice"] = Record(L"alice", L"pw", L"1");
    ASSERT_NE(nullptr, CreatePanel());
    EXPECT_TRUE(Checked(hPanel, IDC_LOGIN_AUTOLOGIN));
    EXPECT_EQ(L"saved", Text(hPanel, IDC_LOGIN_PASSWORD));
    EXPECT_EQ(0, Calls().Count(L"Settings.GetAutoLogin"));
    // No start-up account, the box checked: the login starts by itself.
    EXPECT_EQ(std::vector<std::wstring>{L"Login.StartLogin(alice,saved,0)"},
              CallsOf({L"Login.StartLogin"}));
    EXPECT_TRUE(ShowsLoggingIn(hPanel));
}

TEST_F(LoginInitTest, MissingRecordWritesAWarningAndFallsBackToTheGlobalFlag) {
    siblings.settings.accounts = {L"alice"};
    siblings.settings.autoLogin = L"1";
    siblings.settings.savedPassword = L"saved";
    TraceLogTail trace;
    trace.Mark();
    ASSERT_NE(nullptr, CreatePanel());

    EXPECT_EQ(1, Calls().Count(L"Settings.GetAutoLogin()"));
    EXPECT_TRUE(Checked(hPanel, IDC_LOGIN_AUTOLOGIN));
    EXPECT_EQ(L"saved", Text(hPanel, IDC_LOGIN_PASSWORD));

    // A level-1 content record of InitData: location, "[War]", then the text.
    auto lines = trace.Lines();
    bool found = false;
    for (size_t i = 0; i + 2 < lines.size(); ++i) {
        const std::string& l = lines[i];
        if (l.find("CLoginDlg::InitData()][War]") != std::string::npos &&
            l.find("DlgLogin.cpp:") != std::string::npos) {
            EXPECT_EQ("Content:", lines[i + 1]);
            EXPECT_EQ("Can't find the account! in db.", lines[i + 2]);
            found = true;
        }
    }
    EXPECT_TRUE(found) << trace.Text();
}

TEST_F(LoginInitTest, EmptyAccountBoxLeavesAutoLoginUncheckedWhateverTheGlobalFlag) {
    siblings.settings.accounts.clear();
    siblings.settings.autoLogin = L"1";
    ASSERT_NE(nullptr, CreatePanel());
    EXPECT_FALSE(Checked(hPanel, IDC_LOGIN_AUTOLOGIN));
    EXPECT_EQ(0, Calls().Count(L"Settings.FindLoginRecord"));
    EXPECT_EQ(0, Calls().Count(L"Settings.GetAutoLogin"));
    EXPECT_EQ(0, Calls().Count(L"Login.StartLogin"));
    EXPECT_TRUE(ShowsLoggedOut(hPanel));
}

TEST_F(LoginInitTest, ServerIndexThatIsNoNumberSelectsTheFirstServer) {
    siblings.settings.accounts = {L"alice"};
    siblings.settings.loginServerIndex = L"abc";
    ASSERT_NE(nullptr, CreatePanel());
    SetText(hPanel, IDC_LOGIN_PASSWORD, L"pw");
    Command(hPanel, IDC_LOGIN_BTN_LOGIN);
    EXPECT_EQ(1, Calls().Count(L"Login.StartLogin(alice,pw,0)")) << Join(Calls().Entries());
}

TEST_F(LoginInitTest, WithoutTheSettingsSiblingThePanelStartsEmpty) {
    siblings.Remove(&siblings.settings);
    siblings.settings.accounts = {L"alice"};
    ASSERT_NE(nullptr, CreatePanel());
    EXPECT_TRUE(ComboItems(Item(hPanel, IDC_LOGIN_ACCOUNT)).empty());
    EXPECT_FALSE(Checked(hPanel, IDC_LOGIN_AUTOLOGIN));
    EXPECT_EQ(0, Calls().Count(L"Settings."));
    EXPECT_TRUE(ShowsLoggedOut(hPanel));
}

// Pixel rectangle of a template control given as x, y, width, height in
// dialog units: the dialog manager converts the four numbers one by one.
RECT TemplateRect(HWND hDlg, const RECT& dlu) {
    RECT r = dlu;
    MapDialogRect(hDlg, &r);
    return {r.left, r.top, r.left + r.right, r.top + r.bottom};
}

// ---------------------------------------------------------------------------
// Start-up credentials

TEST_F(LoginInitTest, StartupCredentialsWithAnEmptyPasswordStartALogin) {
    siblings.settings.accounts = {L"alice"};
    siblings.main.startupAccount = L"dave";
    siblings.main.startupPassword = L"";
    ASSERT_NE(nullptr, CreatePanel());
    EXPECT_EQ(L"dave", Text(hPanel, IDC_LOGIN_ACCOUNT));
    EXPECT_EQ(std::vector<std::wstring>{L"Login.StartLogin(dave,,0)"},
              CallsOf({L"Login.StartLogin"}));
    EXPECT_LT(Calls().IndexOf(L"Main.GetStartupAccount()"),
              Calls().IndexOf(L"Login.StartLogin(dave,,0)"));
    EXPECT_TRUE(ShowsLoggingIn(hPanel));
}

TEST_F(LoginInitTest, StartupCredentialsFillBothFields) {
    siblings.main.startupAccount = L"dave";
    siblings.main.startupPassword = L"pw";
    siblings.login.startLoginResult = 1; // refused: the panel stays logged out
    ASSERT_NE(nullptr, CreatePanel());
    EXPECT_EQ(L"dave", Text(hPanel, IDC_LOGIN_ACCOUNT));
    EXPECT_EQ(L"pw", Text(hPanel, IDC_LOGIN_PASSWORD));
    EXPECT_EQ(1, Calls().Count(L"Login.StartLogin(dave,pw,0)"));
    EXPECT_TRUE(ShowsLoggedOut(hPanel));
}

TEST_F(LoginInitTest, NoStartupAccountAndAutoLoginOffStartsNothing) {
    siblings.settings.accounts = {L"alice"};
    siblings.settings.records[L"alice"] = Record(L"alice", L"pw", L"0");
    ASSERT_NE(nullptr, CreatePanel());
    EXPECT_EQ(1, Calls().Count(L"Main.GetStartupAccount()"));
    EXPECT_EQ(0, Calls().Count(L"Login.StartLogin"));
    EXPECT_TRUE(ShowsLoggedOut(hPanel));
}

TEST_F(LoginInitTest, MultiUserModeAsksForNoCredentialsAndMovesTheLoginButtonUp) {
    siblings.login.multiUser = 1;
    siblings.settings.accounts = {L"alice"};
    siblings.settings.records[L"alice"] = Record(L"alice", L"pw", L"1");
    siblings.main.startupAccount = L"dave";
    ASSERT_NE(nullptr, CreatePanel());

    EXPECT_EQ(0, Calls().Count(L"Main.GetStartupAccount"));
    EXPECT_EQ(0, Calls().Count(L"Login.StartLogin"));
    EXPECT_EQ(0, Calls().Count(L"Login.LoginRegUsers"));
    EXPECT_TRUE(ControlsAre(hPanel, {IDC_LOGIN_BTN_LOGIN, IDC_LOGIN_GROUP, IDC_LOGIN_BTN_ADVANCED},
                            {IDC_LOGIN_LBL_ACCOUNT, IDC_LOGIN_ACCOUNT, IDC_LOGIN_LBL_PASSWORD,
                             IDC_LOGIN_PASSWORD, IDC_LOGIN_BTN_CLEAR, IDC_LOGIN_BTN_KEYBOARD,
                             IDC_LOGIN_AUTOLOGIN}));
    EXPECT_EQ(L"Kite:IDS_UC_NOT_LOG", Text(hPanel, IDC_LOGIN_STATUS));

    // 50 pixels left and 60 up from the template's places.
    struct {
        int id;
        RECT dlu; // x, y, width, height in dialog units
    } moved[] = {{IDC_LOGIN_BTN_LOGIN, {115, 131, 57, 19}}, {IDC_LOGIN_GROUP, {111, 123, 66, 32}}};
    for (const auto& m : moved) {
        RECT expected = TemplateRect(hPanel, m.dlu);
        OffsetRect(&expected, -50, -60);
        RECT actual = RectInParent(Item(hPanel, m.id));
        EXPECT_TRUE(EqualRect(&expected, &actual))
            << m.id << ": " << actual.left << "," << actual.top << "," << actual.right << ","
            << actual.bottom << " expected " << expected.left << "," << expected.top << ","
            << expected.right << "," << expected.bottom;
    }
}

TEST_F(LoginInitTest, SingleUserModeKeepsTheTemplatePlaces) {
    ASSERT_NE(nullptr, CreatePanel());
    RECT expected = TemplateRect(hPanel, {115, 131, 57, 19});
    RECT actual = RectInParent(Item(hPanel, IDC_LOGIN_BTN_LOGIN));
    EXPECT_TRUE(EqualRect(&expected, &actual));
}

TEST_F(LoginInitTest, WithoutTheMainWindowNoStartupLogin) {
    siblings.Remove(&siblings.main);
    siblings.main.startupAccount = L"dave";
    ASSERT_NE(nullptr, CreatePanel());
    EXPECT_EQ(0, Calls().Count(L"Main."));
    EXPECT_EQ(0, Calls().Count(L"Login.StartLogin"));
    EXPECT_TRUE(ShowsLoggedOut(hPanel));
}

// ---------------------------------------------------------------------------
// Controls and auxiliary windows

struct FindKeyboard {
    HWND found = nullptr;
};
BOOL CALLBACK FindKeyboardProc(HWND hWnd, LPARAM lParam) {
    auto* f = reinterpret_cast<FindKeyboard*>(lParam);
    if ((GetWindowLongW(hWnd, GWL_STYLE) & WS_POPUP) && GetDlgItem(hWnd, IDC_KEY_FIRST)) {
        f->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

struct FindTip {
    HWND hPanel = nullptr;
    HWND found = nullptr;
};
BOOL CALLBACK FindTipProc(HWND hWnd, LPARAM lParam) {
    auto* f = reinterpret_cast<FindTip*>(lParam);
    wchar_t cls[64] = {};
    GetClassNameW(hWnd, cls, 64);
    if (wcscmp(cls, TOOLTIPS_CLASSW) == 0) {
        TTTOOLINFOW ti = {};
        ti.cbSize = TTTOOLINFOW_V2_SIZE;
        ti.uFlags = TTF_IDISHWND;
        ti.hwnd = f->hPanel;
        ti.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(f->hPanel, IDC_LOGIN_BTN_CLEAR));
        if (SendMessageW(hWnd, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti))) {
            f->found = hWnd;
            return FALSE;
        }
    }
    return TRUE;
}

std::wstring ToolTipText(HWND hTip, HWND hPanel, int id) {
    wchar_t buf[256] = {};
    TTTOOLINFOW ti = {};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.uFlags = TTF_IDISHWND;
    ti.hwnd = hPanel;
    ti.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(hPanel, id));
    ti.lpszText = buf;
    SendMessageW(hTip, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&ti));
    return buf;
}

TEST_F(LoginInitTest, ControlsGetTheirTextsSkinsLimitsAndToolTips) {
    ASSERT_NE(nullptr, CreatePanel());
    for (int id : {IDC_LOGIN_PICTURE, IDC_LOGIN_BTN_CLEAR, IDC_LOGIN_BTN_KEYBOARD, IDC_LOGIN_MARK1,
                   IDC_LOGIN_MARK2, IDC_LOGIN_PRODUCT})
        EXPECT_EQ(L"", Text(hPanel, id)) << id;
    EXPECT_EQ(L"LoginDlg", WindowSkin(hPanel));

    // At most 100 characters in each field.
    std::wstring longText(150, L'x');
    HWND hPassword = Item(hPanel, IDC_LOGIN_PASSWORD);
    EXPECT_EQ(100, static_cast<int>(SendMessageW(hPassword, EM_GETLIMITTEXT, 0, 0)));
    SetText(hPanel, IDC_LOGIN_PASSWORD, L"");
    Type(hPassword, longText);
    EXPECT_EQ(100u, Text(hPassword).size());
    HWND hComboEdit = GetWindow(Item(hPanel, IDC_LOGIN_ACCOUNT), GW_CHILD);
    ASSERT_NE(nullptr, hComboEdit);
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"");
    Type(hComboEdit, longText);
    EXPECT_EQ(100u, Text(hPanel, IDC_LOGIN_ACCOUNT).size());

    FindTip tip;
    tip.hPanel = hPanel;
    EnumThreadWindows(GetCurrentThreadId(), &FindTipProc, reinterpret_cast<LPARAM>(&tip));
    ASSERT_NE(nullptr, tip.found) << "tool tips of the clear and keyboard buttons";
    EXPECT_EQ(L"Login:IDS_LOG_CLEAR", ToolTipText(tip.found, hPanel, IDC_LOGIN_BTN_CLEAR));
    EXPECT_EQ(L"Login:IDS_LOG_KEYBORD", ToolTipText(tip.found, hPanel, IDC_LOGIN_BTN_KEYBOARD));
}

// The advertising lines come from "kite.ini" beside the host executable.
class AdvertisingLinesTest : public LoginInitTest {
protected:
    void SetUp() override {
        LoginInitTest::SetUp();
        ini = ExeDir() + L"kite.ini";
        hadFile = GetFileAttributesW(ini.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    void TearDown() override {
        WritePrivateProfileStringW(L"KiteLogIn", nullptr, nullptr, ini.c_str());
        if (!hadFile)
            DeleteFileW(ini.c_str());
        LoginInitTest::TearDown();
    }
    std::wstring ini;
    bool hadFile = false;
};

TEST_F(AdvertisingLinesTest, LinesAreReadFromTheIniFileAtMost258Characters) {
    const std::wstring longLine(300, L'b');
    ASSERT_TRUE(
        WritePrivateProfileStringW(L"KiteLogIn", L"BillText1", L"Visit the shop", ini.c_str()));
    ASSERT_TRUE(
        WritePrivateProfileStringW(L"KiteLogIn", L"BillText2", longLine.c_str(), ini.c_str()));
    ASSERT_NE(nullptr, CreatePanel());
    EXPECT_EQ(L"Visit the shop", Text(hPanel, IDC_LOGIN_BILL1));
    EXPECT_EQ(longLine.substr(0, 258), Text(hPanel, IDC_LOGIN_BILL2));
}

TEST_F(AdvertisingLinesTest, MissingKeysLeaveTheLinesEmpty) {
    ASSERT_TRUE(WritePrivateProfileStringW(L"KiteLogIn", L"BillText2", L"second", ini.c_str()));
    ASSERT_NE(nullptr, CreatePanel());
    EXPECT_EQ(L"", Text(hPanel, IDC_LOGIN_BILL1));
    EXPECT_EQ(L"second", Text(hPanel, IDC_LOGIN_BILL2));
}

TEST_F(LoginInitTest, StoredServerIndexIsTheServerTheLoginUsesAndSaves) {
    ServerInfo third;
    third.displayName = L"Server C";
    siblings.settings.servers.push_back(third);
    siblings.settings.accounts = {L"alice"};
    siblings.settings.loginServerIndex = L"2";
    ASSERT_NE(nullptr, CreatePanel());
    SetText(hPanel, IDC_LOGIN_PASSWORD, L"pw");
    Command(hPanel, IDC_LOGIN_BTN_LOGIN);
    EXPECT_EQ(1, Calls().Count(L"Login.StartLogin(alice,pw,2)")) << Join(Calls().Entries());
    Calls().Clear();
    Panel()->OnRegResponse(0);
    Pump();
    EXPECT_TRUE(Calls().Has(L"Settings.SetLoginServerIndex(2)")) << Join(Calls().Entries());

    // The user's choice in the advanced panel is what the next login takes.
    Panel()->OnRegResponse(500);
    Pump();
    HWND hAdvanced = FindWindowExW(hPanel, nullptr, L"#32770", nullptr);
    ASSERT_NE(nullptr, hAdvanced);
    SendMessageW(GetDlgItem(hAdvanced, IDC_ADVANCED_SERVER), CB_SETCURSEL, 1, 0);
    SetText(hPanel, IDC_LOGIN_PASSWORD, L"pw");
    Calls().Clear();
    Command(hPanel, IDC_LOGIN_BTN_LOGIN);
    EXPECT_EQ(1, Calls().Count(L"Login.StartLogin(alice,pw,1)")) << Join(Calls().Entries());
}

TEST_F(LoginInitTest, AuxiliaryWindowsAreCreatedHidden) {
    ASSERT_NE(nullptr, CreatePanel());

    // The advanced panel: a hidden child dialog with the server box.
    HWND hAdvanced = FindWindowExW(hPanel, nullptr, L"#32770", nullptr);
    ASSERT_NE(nullptr, hAdvanced);
    EXPECT_TRUE(GetWindowLongW(hAdvanced, GWL_STYLE) & WS_CHILD);
    EXPECT_NE(nullptr, GetDlgItem(hAdvanced, IDC_ADVANCED_SERVER));
    EXPECT_FALSE(IsWindowVisible(hAdvanced));

    // The soft keyboard: a hidden pop-up.
    FindKeyboard kb;
    EnumThreadWindows(GetCurrentThreadId(), &FindKeyboardProc, reinterpret_cast<LPARAM>(&kb));
    ASSERT_NE(nullptr, kb.found);
    EXPECT_FALSE(IsWindowVisible(kb.found));

    // The skin control panel: a child window with its id and style.
    HWND hPannel = Item(hPanel, IDC_LOGIN_PANNEL);
    ASSERT_NE(nullptr, hPannel);
    EXPECT_EQ(hPanel, GetParent(hPannel));
    LONG style = GetWindowLongW(hPannel, GWL_STYLE);
    EXPECT_EQ(static_cast<LONG>(WS_CHILD | WS_TABSTOP), style & (WS_CHILD | WS_POPUP | WS_TABSTOP));
}

TEST_F(LoginInitTest, InitialisationIsTracedInOrder) {
    siblings.settings.accounts = {L"alice"};
    TraceLogTail trace;
    trace.Mark();
    ASSERT_NE(nullptr, CreatePanel());
    auto lines = trace.Lines();
    int initUI = TraceEnterIndex(lines, "CLoginDlg::InitUI");
    int pannel = TraceEnterIndex(lines, "CLoginDlg::InitPannel");
    int data = TraceEnterIndex(lines, "CLoginDlg::InitData");
    int state = TraceEnterIndex(lines, "CLoginDlg::UpdateUIByLoginState");
    ASSERT_GE(initUI, 0) << trace.Text();
    EXPECT_LT(initUI, pannel);
    EXPECT_LT(pannel, data);
    EXPECT_LT(data, state);
    for (const char* f : {"CLoginDlg::InitUI", "CLoginDlg::InitPannel", "CLoginDlg::InitData",
                          "CLoginDlg::UpdateUIByLoginState", "CLoginDlg::MoveCtrl"})
        EXPECT_TRUE(HasTraceLine(lines, f, "Leave")) << f;
    // Window creation, painting, the cursor and the strip's notification are not traced.
    for (const char* f : {"CLoginDlg::OnCreate", "CLoginDlg::OnInitDialog", "CLoginDlg::OnPaint",
                          "CLoginDlg::OnSetCursor", "CLoginDlg::OnPannelNotify"})
        EXPECT_EQ(-1, TraceEnterIndex(lines, f)) << f;
}

} // namespace
