// The soft keyboard's rules, linked directly from the plug-in's code: the
// placement rule, the key tables, the key texts at initialisation and the
// password editing with the panel's own members in view.
#include "DlgKeyboard.h"
#include "DlgLogin.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const SIZE kScreen = {1280, 1024};
const SIZE kShown = {318, 103};

int Place(RECT field, SIZE keyboard, POINT& pt) {
    return ChooseKeyboardPlace(field, keyboard, kScreen, pt);
}

TEST(KeyboardPlacement, RoomRightAndBelowGivesBelowLeftAligned) {
    POINT pt = {};
    EXPECT_EQ(1, Place({100, 200, 260, 222}, kShown, pt));
    EXPECT_EQ(100, pt.x);
    EXPECT_EQ(223, pt.y);
}

TEST(KeyboardPlacement, AFieldStartingLeftOfTheScreenGivesXZero) {
    POINT pt = {};
    EXPECT_EQ(1, Place({-50, 200, 110, 222}, kShown, pt));
    EXPECT_EQ(0, pt.x);
}

TEST(KeyboardPlacement, TheBottomStripOfThirtyPixelsIsKeptFree) {
    POINT pt = {};
    // Bottom 133 above the screen bottom: 1024 - 30 - 891 = 103, not more.
    EXPECT_EQ(2, Place({100, 869, 260, 891}, kShown, pt));
    EXPECT_EQ(100, pt.x);
    EXPECT_EQ(869 - 103, pt.y);
    // 134 above: below.
    EXPECT_EQ(1, Place({100, 868, 260, 890}, kShown, pt));
    EXPECT_EQ(891, pt.y);
}

TEST(KeyboardPlacement, LittleRoomRightOfTheFieldsLeftEdgeGivesRightAligned) {
    POINT pt = {};
    // Left edge 200 pixels from the right screen edge.
    EXPECT_EQ(3, Place({1080, 300, 1240, 322}, kShown, pt));
    EXPECT_EQ(1240 - 318, pt.x);
    EXPECT_EQ(323, pt.y);
    EXPECT_EQ(4, Place({1080, 900, 1240, 922}, kShown, pt));
    EXPECT_EQ(1240 - 318, pt.x);
    EXPECT_EQ(900 - 103, pt.y);
    // Exactly the keyboard's width of room is not enough.
    EXPECT_EQ(3, Place({1280 - 318, 300, 1122, 322}, kShown, pt));
    EXPECT_EQ(1, Place({1280 - 319, 300, 1121, 322}, kShown, pt));
}

TEST(KeyboardPlacement, AFieldPastTheRightEdgeAlignsWithTheScreenEdge) {
    POINT pt = {};
    EXPECT_EQ(3, Place({1200, 300, 1360, 322}, kShown, pt));
    EXPECT_EQ(1280 - 318, pt.x);
}

TEST(KeyboardPlacement, TheKeyboardsCurrentSizeIsWhatIsMeasured) {
    // Before its first showing the keyboard still has its template's size.
    POINT pt = {};
    SIZE large = {370, 97};
    EXPECT_EQ(3, Place({950, 300, 1110, 322}, large, pt));
    EXPECT_EQ(1110 - 370, pt.x);
    EXPECT_EQ(1, Place({100, 880, 260, 896}, {318, 97}, pt));
    EXPECT_EQ(897, pt.y);
    EXPECT_EQ(2, Place({100, 880, 260, 897}, {318, 97}, pt));
    EXPECT_EQ(880 - 97, pt.y);
}

TEST(KeyTables, HoldTheTwoCharacterSetsKeyByKey) {
    const std::wstring off = CKeyboardDlg::kKeyTable[0];
    const std::wstring on = CKeyboardDlg::kKeyTable[1];
    ASSERT_EQ(47u, off.size());
    ASSERT_EQ(47u, on.size());
    const wchar_t* pairs[47] = {
        L"`~",  L"1!",  L"2@", L"3#", L"4$", L"5%", L"6^", L"7&", L"8*", L"9(", L"0)", L"-_",
        L"=+",  L"qQ",  L"wW", L"eE", L"rR", L"tT", L"yY", L"uU", L"iI", L"oO", L"pP", L"[{",
        L"]}",  L"\\|", L"aA", L"sS", L"dD", L"fF", L"gG", L"hH", L"jJ", L"kK", L"lL", L";:",
        L"'\"", L"/?",  L"zZ", L"xX", L"cC", L"vV", L"bB", L"nN", L"mM", L",<", L".>"};
    for (int i = 0; i < 47; ++i) {
        EXPECT_EQ(pairs[i][0], off[i]) << "key " << IDC_KEY_FIRST + i << " without Shift";
        EXPECT_EQ(pairs[i][1], on[i]) << "key " << IDC_KEY_FIRST + i << " with Shift";
    }
    EXPECT_EQ(L'|', CKeyboardDlg::kKeyTable[1][2026 - IDC_KEY_FIRST]);
    EXPECT_EQ(L'/', CKeyboardDlg::kKeyTable[0][2038 - IDC_KEY_FIRST]);
}

// ---------------------------------------------------------------------------
// The keyboard and the panel from their templates, with their members open
// to the test.

class ProbeKeyboard : public CKeyboardDlg {
public:
    using CKeyboardDlg::ClearKeyTexts;
    using CKeyboardDlg::m_bShift;
    using CKeyboardDlg::m_pOwnerDlg;
};

class ProbePanel : public CLoginDlg {
public:
    using CLoginDlg::m_dlgKeyboard;
    using CLoginDlg::m_nKeyboardPos;
    using CLoginDlg::m_strPassword;
};

class HostWindow : public CWnd {
public:
    HostWindow() {
        CreateEx(0, L"STATIC", L"keyboard test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 360, 480,
                 nullptr, nullptr);
    }
    ~HostWindow() override { DestroyWindow(); }
};

void Pump() {
    AfxPumpPendingMessages();
}

TEST(KeyboardDialog, StartsWithShiftOffNoOwnerAndEmptyKeyTexts) {
    HostWindow parent;
    ProbeKeyboard kb;
    EXPECT_EQ(0, kb.m_bShift);
    EXPECT_EQ(nullptr, kb.m_pOwnerDlg);
    ASSERT_TRUE(kb.Create(IDD_KEYBOARD, &parent));
    for (int id = IDC_KEY_FIRST; id <= IDC_KEY_BACKSPACE; ++id)
        EXPECT_EQ(0, kb.GetDlgItem(id)->GetWindowTextLength()) << id;
    EXPECT_FALSE(kb.IsWindowVisible());
    // A key pressed before the owner is set does nothing.
    kb.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_KEY_FIRST, BN_CLICKED), 0);
    kb.DestroyWindow();
}

TEST(KeyboardDialog, EmptyingKeyTextsStopsAtTheFirstMissingKey) {
    HostWindow parent;
    ProbeKeyboard kb;
    ASSERT_TRUE(kb.Create(IDD_KEYBOARD, &parent));
    for (int id = IDC_KEY_FIRST; id <= IDC_KEY_BACKSPACE; ++id)
        kb.SetDlgItemText(id, L"x");
    ::DestroyWindow(kb.GetDlgItem(2010)->m_hWnd);
    kb.ClearKeyTexts();
    CString text;
    for (int id = IDC_KEY_FIRST; id < 2010; ++id) {
        kb.GetDlgItemText(id, text);
        EXPECT_EQ(CString(L""), text) << id;
    }
    for (int id = 2011; id <= IDC_KEY_BACKSPACE; ++id) {
        kb.GetDlgItemText(id, text);
        EXPECT_EQ(CString(L"x"), text) << id;
    }

    // Missing Shift: the character keys are emptied, Backspace is not.
    ProbeKeyboard kb2;
    ASSERT_TRUE(kb2.Create(IDD_KEYBOARD, &parent));
    for (int id = IDC_KEY_FIRST; id <= IDC_KEY_BACKSPACE; ++id)
        kb2.SetDlgItemText(id, L"x");
    ::DestroyWindow(kb2.GetDlgItem(IDC_KEY_SHIFT)->m_hWnd);
    kb2.ClearKeyTexts();
    kb2.GetDlgItemText(IDC_KEY_LAST, text);
    EXPECT_EQ(CString(L""), text);
    kb2.GetDlgItemText(IDC_KEY_BACKSPACE, text);
    EXPECT_EQ(CString(L"x"), text);
    kb.DestroyWindow();
    kb2.DestroyWindow();
}

class PanelEditing : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(panel.Create(IDD_LOGIN, &parent));
        panel.ShowWindow(SW_SHOW);
        pField = static_cast<CEdit*>(panel.GetDlgItem(IDC_LOGIN_PASSWORD));
        ASSERT_NE(nullptr, pField);
    }
    void TearDown() override { panel.DestroyWindow(); }

    void Set(const wchar_t* text, int s, int e) {
        pField->SetWindowText(text);
        pField->SetSel(s, e);
    }
    CString FieldText() const {
        CString s;
        pField->GetWindowText(s);
        return s;
    }
    std::pair<int, int> Sel() const {
        int s = 0, e = 0;
        pField->GetSel(s, e);
        return {s, e};
    }

    HostWindow parent;
    ProbePanel panel;
    CEdit* pField = nullptr;
};

TEST_F(PanelEditing, ThePasswordMemberAlwaysEndsEqualToTheField) {
    Set(L"abc", 2, 2);
    panel.SetPSW(L'q', FALSE);
    EXPECT_EQ(CString(L"abqc"), FieldText());
    EXPECT_EQ(FieldText(), panel.m_strPassword);
    EXPECT_EQ(std::make_pair(3, 3), Sel());

    panel.SetPSW(0, TRUE);
    EXPECT_EQ(CString(L"abc"), FieldText());
    EXPECT_EQ(FieldText(), panel.m_strPassword);
    EXPECT_EQ(std::make_pair(2, 2), Sel());

    // Backspace at the start: nothing removed, the member still read.
    panel.m_strPassword = L"stale";
    Set(L"xyz", 0, 0);
    panel.SetPSW(0, TRUE);
    EXPECT_EQ(CString(L"xyz"), FieldText());
    EXPECT_EQ(CString(L"xyz"), panel.m_strPassword);
    EXPECT_EQ(std::make_pair(0, 0), Sel());

    // Backspace on an empty field.
    panel.m_strPassword = L"stale";
    Set(L"", 0, 0);
    panel.SetPSW(0, TRUE);
    EXPECT_EQ(CString(L""), panel.m_strPassword);
}

TEST_F(PanelEditing, SelectionsAreReplacedOrRemoved) {
    Set(L"abc", 1, 3);
    panel.SetPSW(0, TRUE);
    EXPECT_EQ(CString(L"a"), FieldText());
    EXPECT_EQ(CString(L"a"), panel.m_strPassword);
    EXPECT_EQ(std::make_pair(1, 1), Sel());

    Set(L"abc", 1, 3);
    panel.SetPSW(L'x', FALSE);
    EXPECT_EQ(CString(L"ax"), FieldText());
    EXPECT_EQ(CString(L"ax"), panel.m_strPassword);
    EXPECT_EQ(std::make_pair(2, 2), Sel());

    // Any 16-bit character goes in as it is.
    Set(L"ab", 1, 1);
    panel.SetPSW(L'\x4e2d', FALSE);
    EXPECT_EQ(CString(L"a\x4e2d"
                      L"b"),
              FieldText());
    EXPECT_EQ(FieldText(), panel.m_strPassword);
}

TEST_F(PanelEditing, KeysOfTheKeyboardReachThePanel) {
    Set(L"", 0, 0);
    CWnd& kb = panel.m_dlgKeyboard;
    ASSERT_NE(nullptr, kb.GetSafeHwnd());
    kb.SendMessage(WM_COMMAND, MAKEWPARAM(2026, BN_CLICKED), 0);
    kb.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_KEY_SHIFT, BN_CLICKED), 0);
    kb.SendMessage(WM_COMMAND, MAKEWPARAM(2026, BN_CLICKED), 0);
    kb.SendMessage(WM_COMMAND, MAKEWPARAM(2038, BN_CLICKED), 0);
    EXPECT_EQ(CString(L"\\|?"), panel.m_strPassword);
    kb.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_KEY_BACKSPACE, BN_CLICKED), 0);
    EXPECT_EQ(CString(L"\\|"), panel.m_strPassword);
    EXPECT_EQ(CString(L"\\|"), FieldText());
}

TEST_F(PanelEditing, ThePlacementIsStoredWhenTheKeyboardIsShown) {
    EXPECT_EQ(0, panel.m_nKeyboardPos) << "never placed";
    panel.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_LOGIN_BTN_KEYBOARD, BN_CLICKED), 0);
    Pump();
    ASSERT_TRUE(panel.m_dlgKeyboard.IsWindowVisible());
    EXPECT_EQ(1, panel.m_nKeyboardPos);

    // Hidden by the button, then shown with the field near the bottom-right.
    panel.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_LOGIN_BTN_KEYBOARD, BN_CLICKED), 0);
    EXPECT_FALSE(panel.m_dlgKeyboard.IsWindowVisible());
    EXPECT_EQ(1, panel.m_nKeyboardPos) << "hiding keeps the placement";
    CRect field;
    pField->GetWindowRect(&field);
    CRect main;
    parent.GetWindowRect(&main);
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    parent.SetWindowPos(nullptr, main.left + (sw - 100) - field.left,
                        main.top + (sh - 50) - field.top, 0, 0,
                        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    panel.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_LOGIN_BTN_KEYBOARD, BN_CLICKED), 0);
    EXPECT_EQ(4, panel.m_nKeyboardPos);
    panel.CloseKeyBoardDlg();
    EXPECT_FALSE(panel.m_dlgKeyboard.IsWindowVisible());
    EXPECT_EQ(4, panel.m_nKeyboardPos);
}

} // namespace
