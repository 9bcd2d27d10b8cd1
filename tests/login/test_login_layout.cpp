// The login panel's layout: fixed places, the host's resize, the advanced
// settings drawer, the skinned strip with its missed-call unit, the hand
// cursor over the advertising lines and the keyboard kept at the field.
#include "LoginFixture.h"

#include <SkinMagicExU.h>

namespace {

const int kLoginControls[] = {IDC_LOGIN_LBL_ACCOUNT, IDC_LOGIN_ACCOUNT,      IDC_LOGIN_LBL_PASSWORD,
                              IDC_LOGIN_PASSWORD,    IDC_LOGIN_GROUP,        IDC_LOGIN_BTN_LOGIN,
                              IDC_LOGIN_BTN_CLEAR,   IDC_LOGIN_BTN_KEYBOARD, IDC_LOGIN_AUTOLOGIN};

std::string RectText(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

::testing::AssertionResult RectIs(HWND hWnd, int l, int t, int r, int b) {
    RECT actual = RectInParent(hWnd);
    RECT expected = {l, t, r, b};
    if (EqualRect(&actual, &expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << RectText(actual) << " instead of " << RectText(expected);
}

class LoginLayoutTest : public LoginTest {
protected:
    void SetUp() override {
        LoginTest::SetUp();
        siblings.settings.accounts = {L"alice"};
    }
    HWND Advanced() const { return FindWindowExW(hPanel, nullptr, L"#32770", nullptr); }
    HWND Button() const { return Item(hPanel, IDC_LOGIN_BTN_ADVANCED); }
    void MovePanel(int l, int t, int r, int b) {
        RECT rc = {l, t, r, b};
        Panel()->Move(rc);
        Pump();
    }
    bool LoginControlsVisible(bool visible) const {
        for (int id : kLoginControls)
            if (Visible(hPanel, id) != visible)
                return false;
        return true;
    }
    CSkinControlPannel* Pannel() const {
        return static_cast<CSkinControlPannel*>(
            CWnd::FromHandlePermanent(Item(hPanel, IDC_LOGIN_PANNEL)));
    }
};

// ---------------------------------------------------------------------------
// Places

TEST_F(LoginLayoutTest, HostMovePutsTheButtonAtTheFootAndTheAreaAboveIt) {
    TraceLogTail trace;
    trace.Mark();
    ASSERT_NE(nullptr, CreatePanel());
    RECT client;
    GetClientRect(hPanel, &client);
    ASSERT_EQ(327, client.right);
    ASSERT_EQ(400, client.bottom);
    ASSERT_NE(nullptr, Advanced());

    EXPECT_TRUE(RectIs(Button(), 0, 380, 327, 400));
    EXPECT_TRUE(RectIs(Advanced(), 0, 200, 327, 400));
    EXPECT_EQ(L"BtnAdvanceUp", ControlSkin(Button()));
    EXPECT_FALSE(IsWindowVisible(Advanced())) << "the area keeps its visibility";
    EXPECT_TRUE(HasTraceLine(trace.Lines(), "CLoginDlg::MoveCtrl", "Enter"));

    MovePanel(10, 5, 310, 455);
    EXPECT_TRUE(RectIs(hPanel, 10, 5, 310, 455));
    EXPECT_TRUE(RectIs(Button(), 0, 430, 300, 450));
    EXPECT_TRUE(RectIs(Advanced(), 0, 250, 300, 450));
    EXPECT_EQ(L"BtnAdvanceUp", ControlSkin(Button()));
}

TEST_F(LoginLayoutTest, AdvertisingBlockAndStripSitAtFixedPixelPlaces) {
    ASSERT_NE(nullptr, CreatePanel());
    EXPECT_TRUE(RectIs(Item(hPanel, IDC_LOGIN_MARK1), 3, 228, 20, 240));
    EXPECT_TRUE(RectIs(Item(hPanel, IDC_LOGIN_MARK2), 3, 256, 20, 268));
    EXPECT_TRUE(RectIs(Item(hPanel, IDC_LOGIN_BILL1), 32, 230, 320, 255));
    EXPECT_TRUE(RectIs(Item(hPanel, IDC_LOGIN_BILL2), 32, 255, 320, 278));
    EXPECT_TRUE(RectIs(Item(hPanel, IDC_LOGIN_PRODUCT), 4, 280, 327, 327));
    EXPECT_TRUE(RectIs(Item(hPanel, IDC_LOGIN_PANNEL), 3, 190, 323, 215));
    EXPECT_EQ(L"LogOut", ControlSkin(Item(hPanel, IDC_LOGIN_PICTURE)));
}

// ---------------------------------------------------------------------------
// The advanced settings drawer

TEST_F(LoginLayoutTest, TwoClicksFoldTheAreaOutAndBackIn) {
    ASSERT_NE(nullptr, CreatePanel());
    ASSERT_TRUE(LoginControlsVisible(true));
    TraceLogTail trace;
    trace.Mark();

    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_ADVANCED));
    EXPECT_EQ(L"BtnAdvanceDown", ControlSkin(Button()));
    EXPECT_TRUE(RectIs(Button(), 0, 180, 327, 200)) << "right on top of the area";
    EXPECT_TRUE(LoginControlsVisible(false));
    EXPECT_TRUE(IsWindowVisible(Advanced()));
    auto lines = trace.Lines();
    EXPECT_TRUE(HasTraceLine(lines, "CLoginDlg::OnBnClickedButtonAdvancesetting", "Enter"));
    EXPECT_TRUE(HasTraceLine(lines, "CLoginDlg::ShowAdvancedDlg", "Leave"));

    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_ADVANCED));
    EXPECT_EQ(L"BtnAdvanceUp", ControlSkin(Button()));
    EXPECT_TRUE(RectIs(Button(), 0, 380, 327, 400));
    EXPECT_TRUE(LoginControlsVisible(true));
    EXPECT_FALSE(IsWindowVisible(Advanced()));
    EXPECT_TRUE(ShowsLoggedOut(hPanel));
}

TEST_F(LoginLayoutTest, HostMoveWhileFoldedOutResetsTheButtonAndTheNextClickFoldsIn) {
    ASSERT_NE(nullptr, CreatePanel());
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_ADVANCED));
    ASSERT_TRUE(IsWindowVisible(Advanced()));

    MovePanel(0, 0, 300, 450);
    EXPECT_TRUE(RectIs(Button(), 0, 430, 300, 450));
    EXPECT_EQ(L"BtnAdvanceUp", ControlSkin(Button()));
    EXPECT_TRUE(RectIs(Advanced(), 0, 250, 300, 450));
    EXPECT_TRUE(IsWindowVisible(Advanced())) << "the area stays out";
    EXPECT_TRUE(LoginControlsVisible(false));

    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_ADVANCED));
    EXPECT_TRUE(RectIs(Button(), 0, 430, 300, 450));
    EXPECT_EQ(L"BtnAdvanceUp", ControlSkin(Button()));
    EXPECT_FALSE(IsWindowVisible(Advanced()));
    EXPECT_TRUE(LoginControlsVisible(true));

    // And the next click folds it out again from the foot.
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_ADVANCED));
    EXPECT_TRUE(RectIs(Button(), 0, 230, 300, 250));
    EXPECT_EQ(L"BtnAdvanceDown", ControlSkin(Button()));
}

TEST_F(LoginLayoutTest, BlockedAutoLoginStaysHiddenWhenTheAreaFoldsIn) {
    ASSERT_NE(nullptr, CreatePanel());
    siblings.settings.customize.refuseAutoLogin = L"1";
    siblings.settings.customizeNull = false;
    Calls().Clear();
    Panel()->OnCustomizeSet();
    Pump();
    ASSERT_TRUE(Calls().Has(L"Settings.GetCustomizeSet()"));
    ASSERT_FALSE(Visible(hPanel, IDC_LOGIN_AUTOLOGIN));

    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_ADVANCED));
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_ADVANCED));
    EXPECT_FALSE(Visible(hPanel, IDC_LOGIN_AUTOLOGIN));
    for (int id : kLoginControls) {
        if (id != IDC_LOGIN_AUTOLOGIN) {
            EXPECT_TRUE(Visible(hPanel, id)) << id;
        }
    }
    EXPECT_FALSE(IsWindowVisible(Advanced()));
}

TEST_F(LoginLayoutTest, MultiUserButtonOpensTheRegistrationListEveryTimeAndNeverFolds) {
    siblings.login.multiUser = 1;
    ASSERT_NE(nullptr, CreatePanel());
    RECT before = RectInParent(Button());
    for (int i = 0; i < 2; ++i) {
        DialogDriver::OnNextDialog([](HWND hDlg) { PostMessageW(hDlg, WM_COMMAND, IDCANCEL, 0); });
        ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_ADVANCED));
        EXPECT_EQ(0, DialogDriver::Pending());
    }
    EXPECT_FALSE(DialogDriver::WatchdogFired());
    ASSERT_EQ(2u, DialogDriver::Opened().size());
    EXPECT_EQ(L"Kite:IDS_MAIN_REG_TITLE", DialogDriver::Opened()[0]);
    RECT after = RectInParent(Button());
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_EQ(L"BtnAdvanceUp", ControlSkin(Button()));
    EXPECT_FALSE(IsWindowVisible(Advanced()));
    EXPECT_TRUE(Visible(hPanel, IDC_LOGIN_BTN_LOGIN));
    EXPECT_TRUE(Visible(hPanel, IDC_LOGIN_GROUP));
}

// ---------------------------------------------------------------------------
// The skinned strip

struct CommandSpy {
    HWND hTarget = nullptr;
    std::vector<std::pair<WPARAM, LPARAM>> seen;
    HHOOK hook = nullptr;
};
CommandSpy g_spy;

LRESULT CALLBACK SpyProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const CWPSTRUCT* p = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (p->hwnd == g_spy.hTarget && p->message == WM_COMMAND)
            g_spy.seen.push_back({p->wParam, p->lParam});
    }
    return CallNextHookEx(g_spy.hook, code, wParam, lParam);
}

class PannelTest : public LoginLayoutTest {
protected:
    void SetUp() override {
        LoginLayoutTest::SetUp();
        ASSERT_NE(nullptr, CreatePanel());
        g_spy.hTarget = hPanel;
        g_spy.seen.clear();
        g_spy.hook = SetWindowsHookExW(WH_CALLWNDPROC, &SpyProc, nullptr, GetCurrentThreadId());
        ASSERT_NE(nullptr, g_spy.hook);
    }
    void TearDown() override {
        if (g_spy.hook)
            UnhookWindowsHookEx(g_spy.hook);
        g_spy = CommandSpy();
        LoginLayoutTest::TearDown();
    }
    LRESULT Notify(DWORD code, SKINPANNELNOTIFY* pNotify) {
        return SendMessageW(hPanel, WM_PANNEL_NOTIFY, reinterpret_cast<WPARAM>(&code),
                            reinterpret_cast<LPARAM>(pNotify));
    }
};

TEST_F(PannelTest, MissedCallUnitShowsThePhoneTextAndZeroRightAfterInitialisation) {
    CSkinControlPannel* pPannel = Pannel();
    ASSERT_NE(nullptr, pPannel);
    ASSERT_EQ(1, pPannel->GetUnitCount()) << "the only unit";
    const CSkinControlUnit* pUnit = pPannel->FindUnit(IDC_LOGIN_UNIT_NOANSWER);
    ASSERT_NE(nullptr, pUnit);
    EXPECT_EQ(L"Login:IDS_LOG_PHONE 0", Str(pUnit->m_strText));
    EXPECT_EQ(96, pUnit->m_nWidth);
    EXPECT_EQ(2, pUnit->m_nStyle);
    EXPECT_EQ(5, pUnit->m_nIndent);
    // Everything else keeps the record's defaults.
    EXPECT_EQ(-1, pUnit->m_nImage);
    EXPECT_EQ(5, pUnit->m_nHeightMargin);
    EXPECT_EQ(2, pUnit->m_nSpaceX);
    EXPECT_EQ(2, pUnit->m_nSpaceY);
    EXPECT_EQ(L"", Str(pUnit->m_strTip));
    EXPECT_EQ(0, pUnit->m_bFixedSize);
}

TEST_F(PannelTest, UsedUnitBecomesItsCommandAndEverythingElseIsIgnored) {
    CSkinControlUnit unit;
    unit.m_nID = IDC_LOGIN_UNIT_NOANSWER;
    SKINPANNELNOTIFY notify = {Item(hPanel, IDC_LOGIN_PANNEL), IDC_LOGIN_PANNEL, 1, &unit};

    EXPECT_EQ(0, Notify(PANNEL_CODE_USED, &notify));
    ASSERT_EQ(1u, g_spy.seen.size());
    EXPECT_EQ(static_cast<WPARAM>(IDC_LOGIN_UNIT_NOANSWER), g_spy.seen[0].first);
    EXPECT_EQ(0, g_spy.seen[0].second);

    g_spy.seen.clear();
    EXPECT_EQ(0, Notify(2, &notify));
    EXPECT_EQ(0, Notify(0, &notify));
    EXPECT_EQ(0, Notify(PANNEL_CODE_USED, nullptr));
    SKINPANNELNOTIFY noUnit = {Item(hPanel, IDC_LOGIN_PANNEL), IDC_LOGIN_PANNEL, 1, nullptr};
    EXPECT_EQ(0, Notify(PANNEL_CODE_USED, &noUnit));
    EXPECT_TRUE(g_spy.seen.empty());

    // The unit's id is what is sent: a unit carrying the login button's id
    // logs in.
    unit.m_nID = IDC_LOGIN_BTN_LOGIN;
    SetText(hPanel, IDC_LOGIN_PASSWORD, L"pw");
    Calls().Clear();
    EXPECT_EQ(0, Notify(PANNEL_CODE_USED, &notify));
    EXPECT_EQ(1, Calls().Count(L"Login.StartLogin(alice,pw,0)")) << Join(Calls().Entries());
}

TEST_F(PannelTest, ClickOnTheVisibleUnitReachesThePanelAsItsCommand) {
    LogIn(L"alice", L"pw"); // the strip shows while registered
    HWND hPannel = Item(hPanel, IDC_LOGIN_PANNEL);
    ASSERT_TRUE(IsWindowVisible(hPannel));
    const CSkinControlUnit* pUnit = Pannel()->FindUnit(IDC_LOGIN_UNIT_NOANSWER);
    ASSERT_NE(nullptr, pUnit);
    ASSERT_GT(pUnit->m_rcUnit.right, pUnit->m_rcUnit.left) << "the strip placed its unit";
    LPARAM at = MAKELPARAM((pUnit->m_rcUnit.left + pUnit->m_rcUnit.right) / 2,
                           (pUnit->m_rcUnit.top + pUnit->m_rcUnit.bottom) / 2);
    g_spy.seen.clear();
    SendMessageW(hPannel, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(hPannel, WM_LBUTTONUP, 0, at);
    Pump();
    ASSERT_EQ(1u, g_spy.seen.size());
    EXPECT_EQ(static_cast<WPARAM>(IDC_LOGIN_UNIT_NOANSWER), g_spy.seen[0].first);
    EXPECT_EQ(0, g_spy.seen[0].second);
}

// ---------------------------------------------------------------------------
// Cursor and painting

class CursorTest : public LoginLayoutTest {
protected:
    bool HandAt(int id) {
        RECT rc;
        GetWindowRect(Item(hPanel, id), &rc);
        return HandAtPoint((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    }
    bool HandAtPoint(int x, int y) {
        SetCursorPos(x, y);
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        LRESULT r = SendMessageW(hPanel, WM_SETCURSOR, reinterpret_cast<WPARAM>(hPanel),
                                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        bool hand = GetCursor() == LoadCursorW(nullptr, IDC_HAND);
        if (hand) {
            EXPECT_EQ(TRUE, r) << "handled when the hand is set";
        }
        return hand;
    }
};

TEST_F(CursorTest, HandOverTheAdvertisingLinesOnlyWhileTheyShow) {
    ASSERT_NE(nullptr, CreatePanel());
    SetForegroundWindow(host.MainWindow()->m_hWnd);
    LogIn(L"alice", L"pw");
    ASSERT_TRUE(Visible(hPanel, IDC_LOGIN_BILL1));
    POINT check = {};
    RECT rc;
    GetWindowRect(Item(hPanel, IDC_LOGIN_BILL1), &rc);
    SetCursorPos(rc.left + 3, rc.top + 3);
    GetCursorPos(&check);
    ASSERT_EQ(rc.left + 3, check.x) << "the display moves the cursor";

    EXPECT_TRUE(HandAt(IDC_LOGIN_BILL1));
    EXPECT_TRUE(HandAt(IDC_LOGIN_BILL2));
    EXPECT_FALSE(HandAt(IDC_LOGIN_STATUS));

    // Logged out the lines are hidden: no hand, not even over the second.
    Panel()->OnRegResponse(500);
    Pump();
    ASSERT_FALSE(Visible(hPanel, IDC_LOGIN_BILL1));
    EXPECT_FALSE(HandAt(IDC_LOGIN_BILL1));
    EXPECT_FALSE(HandAt(IDC_LOGIN_BILL2));

    // Only the first line's visibility counts.
    ShowWindow(Item(hPanel, IDC_LOGIN_BILL1), SW_SHOW);
    EXPECT_TRUE(HandAt(IDC_LOGIN_BILL2));
    ShowWindow(Item(hPanel, IDC_LOGIN_BILL1), SW_HIDE);
    ShowWindow(Item(hPanel, IDC_LOGIN_BILL2), SW_SHOW);
    EXPECT_FALSE(HandAt(IDC_LOGIN_BILL2));
}

struct KeyboardFinder {
    HWND found = nullptr;
};
BOOL CALLBACK FindKeyboardWindow(HWND hWnd, LPARAM lParam) {
    if ((GetWindowLongW(hWnd, GWL_STYLE) & WS_POPUP) && GetDlgItem(hWnd, IDC_KEY_FIRST)) {
        reinterpret_cast<KeyboardFinder*>(lParam)->found = hWnd;
        return FALSE;
    }
    return TRUE;
}
HWND KeyboardWindow() {
    KeyboardFinder f;
    EnumThreadWindows(GetCurrentThreadId(), &FindKeyboardWindow, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

void Repaint(HWND hWnd) {
    RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
}

TEST_F(LoginLayoutTest, PaintingLeavesAKeyboardThatWasNeverPlacedAlone) {
    ASSERT_NE(nullptr, CreatePanel());
    HWND hKeyboard = KeyboardWindow();
    ASSERT_NE(nullptr, hKeyboard);
    SetWindowPos(hKeyboard, nullptr, 5, 7, 318, 103,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    MovePanel(20, 30, 347, 430);
    Repaint(hPanel);
    RECT rc;
    GetWindowRect(hKeyboard, &rc);
    EXPECT_EQ(5, rc.left);
    EXPECT_EQ(7, rc.top);
}

TEST_F(LoginLayoutTest, PaintingKeepsAShownKeyboardAtThePasswordField) {
    ASSERT_NE(nullptr, CreatePanel());
    HWND hKeyboard = KeyboardWindow();
    ASSERT_NE(nullptr, hKeyboard);
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_KEYBOARD));
    ASSERT_TRUE(IsWindowVisible(hKeyboard));

    // Where the keyboard sits relative to the field decides its placement.
    RECT field, kb;
    GetWindowRect(Item(hPanel, IDC_LOGIN_PASSWORD), &field);
    GetWindowRect(hKeyboard, &kb);
    const bool below = kb.top == field.bottom + 1;
    const bool leftAligned = kb.left == field.left;
    ASSERT_TRUE(below || kb.bottom == field.top);

    MovePanel(15, 25, 342, 425);
    Repaint(hPanel);
    GetWindowRect(Item(hPanel, IDC_LOGIN_PASSWORD), &field);
    GetWindowRect(hKeyboard, &kb);
    EXPECT_EQ(318, kb.right - kb.left);
    EXPECT_EQ(103, kb.bottom - kb.top);
    EXPECT_EQ(below ? field.bottom + 1 : field.top - 103, kb.top);
    EXPECT_EQ(leftAligned ? field.left : field.right - 318, kb.left);
}

} // namespace
