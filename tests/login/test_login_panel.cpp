// The login panel as it comes up (stored data, start-up credentials, multi-user
// mode, advertising lines, skin, trace) and its layout: fixed places, the
// host's resize, the advanced settings drawer and the skinned strip.
#include "LoginFixture.h"

#include <SkinMagicExU.h>

#include <tuple>

namespace {

const wchar_t kList[] = L"Settings.GetAccountList()";
const wchar_t kIndex[] = L"Settings.GetLoginServerIndex()";
const wchar_t kFind[] = L"Settings.FindLoginRecord(alice)";
const wchar_t kFlag[] = L"Settings.GetAutoLogin()";
const wchar_t kSaved[] = L"Settings.GetSavedPassword()";
const wchar_t kStartup[] = L"Main.GetStartupAccount()";

// The box lists the non-empty names; the first one's record, else the global
// flag, checks auto-login, which fills in the saved password and logs in.
struct StoredCase {
    const char* name;
    std::vector<CString> accounts;
    const wchar_t *flag, *record; // the global flag; the first account's, null for none
    Entries lookups;              // after the account list and the server index
    bool checked, warned;         // the missing record is written to the trace log
};
const StoredCase kStored[] = {
    {"EmptyNamesSkipped", {L"", L"alice", L"", L"bob"}, L"0", nullptr, {kFind, kFlag}, false, true},
    {"TheRecordWinsOverTheGlobalFlag", {L"alice", L"bob"}, L"1", L"0", {kFind}, false, false},
    {"ACheckedRecordLogsIn", {L"alice"}, L"0", L"1", {kFind, kSaved}, true, false},
    {"NoRecordTakesTheGlobalFlag", {L"alice"}, L"1", nullptr, {kFind, kFlag, kSaved}, true, true},
    {"NoAccountLeavesTheBoxUnchecked", {}, L"1", nullptr, {}, false, false}};
class StoredData : public LoginTest, public ::testing::WithParamInterface<StoredCase> {};
TEST_P(StoredData, FillTheAccountAndAutoLoginBoxes) {
    const StoredCase& c = GetParam();
    siblings.settings.accounts = c.accounts;
    siblings.settings.autoLogin = c.flag;
    siblings.settings.savedPassword = L"saved";
    if (c.record)
        siblings.settings.records[L"alice"] = LoginRecord{L"alice", L"pw", c.record};
    TraceLogTail trace;
    trace.Mark();
    ASSERT_NE(nullptr, CreatePanel());
    Entries items, lookups = {kList, kIndex};
    for (const CString& a : c.accounts)
        if (!a.IsEmpty())
            items.push_back(Str(a));
    lookups.insert(lookups.end(), c.lookups.begin(), c.lookups.end());
    EXPECT_EQ(lookups, CallsOf({kList, kIndex, L"Settings.FindLoginRecord", kFlag, kSaved}));
    EXPECT_EQ(items, ComboItems(Item(hPanel, IDC_LOGIN_ACCOUNT)));
    EXPECT_EQ(items.empty() ? -1 : 0, ComboSel(Item(hPanel, IDC_LOGIN_ACCOUNT)));
    EXPECT_EQ(c.checked, Checked(hPanel, IDC_LOGIN_AUTOLOGIN));
    EXPECT_EQ(c.checked ? L"saved" : L"", Text(hPanel, IDC_LOGIN_PASSWORD));
    EXPECT_EQ(c.checked ? Entries{L"Login.StartLogin(alice,saved,0)"} : Entries{},
              CallsOf({L"Login.StartLogin"}));
    EXPECT_TRUE(Shows(hPanel, c.checked ? kLogging : kLoggedOut));
    EXPECT_EQ(c.warned,
              trace.Text().find("CLoginDlg::InitData()][War]\r\nContent:\r\n"
                                "Can't find the account! in db.\r\n") != std::string::npos);
}
INSTANTIATE_TEST_SUITE_P(Cases, StoredData, ::testing::ValuesIn(kStored), CaseName());

// The main window's start-up credentials fill both fields and log in at
// once; multi-user mode asks for none and hides the fields.
struct StartupCase {
    const char* name;
    bool multiUser;
    const wchar_t *account, *password, *serverIndex; // handed over; stored
    Entries calls;
};
const StartupCase kStartups[] = {{"AnEmptyPasswordStillLogsIn", false, L"dave", L"", L"0",
                                  Entries({kStartup, L"Login.StartLogin(dave,,0)"})},
                                 {"AServerIndexThatIsNoNumberGivesTheFirst", false, L"dave", L"pw",
                                  L"abc", Entries({kStartup, L"Login.StartLogin(dave,pw,0)"})},
                                 {"NoAccountNoLogin", false, L"", L"", L"0", {kStartup}},
                                 {"MultiUserModeAsksForNone", true, L"dave", L"pw", L"0", {}}};
class Startup : public LoginTest, public ::testing::WithParamInterface<StartupCase> {};
TEST_P(Startup, CredentialsAreTakenOnlyInSingleUserMode) {
    const StartupCase& c = GetParam();
    siblings.login.multiUser = c.multiUser;
    siblings.settings.accounts = {L"alice"};
    siblings.settings.loginServerIndex = c.serverIndex;
    siblings.main.startupAccount = c.account;
    siblings.main.startupPassword = c.password;
    ASSERT_NE(nullptr, CreatePanel());
    EXPECT_EQ(c.calls, CallsOf({kStartup, L"Login.StartLogin", L"Login.LoginRegUsers"}));
    const bool taken = !c.multiUser && *c.account;
    EXPECT_EQ(taken ? c.account : L"alice", Text(hPanel, IDC_LOGIN_ACCOUNT));
    EXPECT_EQ(taken ? c.password : L"", Text(hPanel, IDC_LOGIN_PASSWORD));
    EXPECT_TRUE(c.multiUser || Shows(hPanel, taken ? kLogging : kLoggedOut));
    for (int id :
         {IDC_LOGIN_LBL_ACCOUNT, IDC_LOGIN_ACCOUNT, IDC_LOGIN_LBL_PASSWORD, IDC_LOGIN_PASSWORD,
          IDC_LOGIN_BTN_CLEAR, IDC_LOGIN_BTN_KEYBOARD, IDC_LOGIN_AUTOLOGIN})
        EXPECT_NE(c.multiUser, Visible(hPanel, id)) << id;
}
INSTANTIATE_TEST_SUITE_P(Cases, Startup, ::testing::ValuesIn(kStartups), CaseName());

// The advertising lines come from "kite.ini" beside the host executable, at
// most 258 characters each; the other labels start empty.
TEST_F(LoginTest, ComesUpSkinnedWithItsAdvertisingLinesAndTracesItsSteps) {
    const std::wstring ini = ExeDir() + L"kite.ini", longLine(300, L'b');
    const bool hadIni = GetFileAttributesW(ini.c_str()) != INVALID_FILE_ATTRIBUTES;
    WritePrivateProfileStringW(L"KiteLogIn", L"BillText1", L"Visit", ini.c_str());
    WritePrivateProfileStringW(L"KiteLogIn", L"BillText2", longLine.c_str(), ini.c_str());
    TraceLogTail trace;
    trace.Mark();
    CreatePanel();
    WritePrivateProfileStringW(L"KiteLogIn", nullptr, nullptr, ini.c_str());
    if (!hadIni)
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

class LoginLayoutTest : public LoginTest {
protected:
    HWND Advanced() const { return FindWindowExW(hPanel, nullptr, L"#32770", nullptr); }
    HWND Button() const { return Item(hPanel, IDC_LOGIN_BTN_ADVANCED); }
};

TEST_F(LoginLayoutTest, FixedPlacesStayAndTheButtonAndAreaFollowTheHostsRectangle) {
    ASSERT_NE(nullptr, CreatePanel());
    // The panel's rectangle, then the button's and the area's in it.
    const RECT moves[][3] = {{{0, 0, 327, 400}, {0, 380, 327, 400}, {0, 200, 327, 400}},
                             {{10, 5, 310, 455}, {0, 430, 300, 450}, {0, 250, 300, 450}}};
    const std::pair<int, RECT> fixed[] = {
        {IDC_LOGIN_MARK1, {3, 228, 20, 240}},    {IDC_LOGIN_MARK2, {3, 256, 20, 268}},
        {IDC_LOGIN_BILL1, {32, 230, 320, 255}},  {IDC_LOGIN_BILL2, {32, 255, 320, 278}},
        {IDC_LOGIN_PRODUCT, {4, 280, 327, 327}}, {IDC_LOGIN_PANNEL, {3, 190, 323, 215}}};
    for (const auto& [panel, button, area] : moves) {
        SCOPED_TRACE(::testing::Message() << "panel at " << panel);
        Panel()->Move(panel);
        EXPECT_EQ(panel, RectInParent(hPanel));
        EXPECT_EQ(button, RectInParent(Button()));
        EXPECT_EQ(area, RectInParent(Advanced()));
        EXPECT_EQ(L"BtnAdvanceUp", ControlSkin(Button()));
        EXPECT_FALSE(IsWindowVisible(Advanced())) << "the area keeps its visibility";
        for (const auto& [id, rc] : fixed)
            EXPECT_EQ(rc, RectInParent(Item(hPanel, id))) << id;
    }
}

// Clicks fold the area out and in; a host move only puts the button back at
// the foot, so the next click folds in; a refused auto-login box stays hidden.
TEST_F(LoginLayoutTest, ClicksFoldTheAreaOutAndInAndAHostMoveResetsOnlyTheButton) {
    ASSERT_NE(nullptr, CreatePanel());
    // A host move (or an empty rectangle for a click), then the button's skin
    // and place and whether the area is out.
    const std::tuple<RECT, const wchar_t*, RECT, bool> steps[] = {
        {{}, L"BtnAdvanceDown", {0, 180, 327, 200}, true},
        {{}, L"BtnAdvanceUp", {0, 380, 327, 400}, false},
        {{}, L"BtnAdvanceDown", {0, 180, 327, 200}, true},
        {{0, 0, 300, 450}, L"BtnAdvanceUp", {0, 430, 300, 450}, true},
        {{}, L"BtnAdvanceUp", {0, 430, 300, 450}, false},
        {{}, L"BtnAdvanceDown", {0, 230, 300, 250}, true},
        {{0, 0, 327, 400}, L"BtnAdvanceUp", {0, 380, 327, 400}, true},
        {{}, L"BtnAdvanceUp", {0, 380, 327, 400}, false}};
    const int form[] = {IDC_LOGIN_LBL_ACCOUNT, IDC_LOGIN_ACCOUNT,      IDC_LOGIN_LBL_PASSWORD,
                        IDC_LOGIN_PASSWORD,    IDC_LOGIN_GROUP,        IDC_LOGIN_BTN_LOGIN,
                        IDC_LOGIN_BTN_CLEAR,   IDC_LOGIN_BTN_KEYBOARD, IDC_LOGIN_AUTOLOGIN};
    for (bool refused : {false, true}) {
        siblings.settings.customize.refuseAutoLogin = L"1";
        siblings.settings.customizeNull = !refused;
        Panel()->OnCustomizeSet();
        for (const auto& [move, skin, button, out] : steps) {
            SCOPED_TRACE(::testing::Message() << refused << ", button at " << button);
            if (IsRectEmpty(&move))
                ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_ADVANCED));
            else
                Panel()->Move(move);
            EXPECT_EQ(skin, ControlSkin(Button()));
            EXPECT_EQ(button, RectInParent(Button()));
            EXPECT_EQ(out, IsWindowVisible(Advanced()) != FALSE);
            for (int id : form)
                EXPECT_EQ(!out && !(refused && id == IDC_LOGIN_AUTOLOGIN), Visible(hPanel, id))
                    << id;
        }
    }
}

TEST_F(LoginLayoutTest, InMultiUserModeTheButtonOpensTheRegistrationListAndNeverFolds) {
    siblings.login.multiUser = 1;
    ASSERT_NE(nullptr, CreatePanel());
    const RECT before = RectInParent(Button());
    for (int i = 0; i < 2; ++i) {
        DialogDriver::OnNextDialog([](HWND hDlg) { PostMessageW(hDlg, WM_COMMAND, IDCANCEL, 0); });
        ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_ADVANCED));
    }
    EXPECT_EQ(Entries(2, L"Kite:IDS_MAIN_REG_TITLE"), DialogDriver::Opened());
    EXPECT_EQ(before, RectInParent(Button()));
    EXPECT_EQ(L"BtnAdvanceUp", ControlSkin(Button()));
    EXPECT_FALSE(IsWindowVisible(Advanced()));
    // The login button and its frame stay visible, 50 pixels left of and 60
    // above their template places (dialog units, converted one by one).
    for (auto [id, r] : {std::pair{IDC_LOGIN_BTN_LOGIN, RECT{115, 131, 57, 19}},
                         std::pair{IDC_LOGIN_GROUP, RECT{111, 123, 66, 32}}}) {
        MapDialogRect(hPanel, &r);
        const RECT expected = {r.left - 50, r.top - 60, r.left + r.right - 50,
                               r.top + r.bottom - 60};
        EXPECT_EQ(expected, RectInParent(Item(hPanel, id))) << id;
        EXPECT_TRUE(Visible(hPanel, id)) << id;
    }
}

// The strip holds one unit, the missed-call counter; a used unit becomes the
// panel's command with the unit's id, every other notification nothing.
TEST_F(LoginLayoutTest, TheStripsOnlyUnitShowsThePhoneTextAndAUsedUnitBecomesItsCommand) {
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
    // The code, a record or none, the used unit's id (0: none), what then happens.
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

} // namespace
