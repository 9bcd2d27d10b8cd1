// The soft keyboard as a user meets it in the real plug-in: shown and
// hidden by the keyboard button beside the password field, placed next to
// the field by the screen edges and kept there on repaint, its keys typing
// into the field at the caret, Shift switching the character set and the
// skin.
#include "PanelFixture.h"

#include <string>

namespace {

// The two character sets, key IDC_KEY_FIRST + i typing character i.
// Spelled out key by key so that a slip in the plug-in's table shows.
std::wstring Expected(bool shift) {
    std::wstring s;
    // Top row: grave/tilde, the digits with their shifted signs, minus, equals.
    s += shift ? L"~!@#$%^&*()_+" : L"`1234567890-=";
    // Second row: q to p, the square brackets, backslash.
    s += shift ? L"QWERTYUIOP" : L"qwertyuiop";
    s += shift ? L"{}|" : L"[]\\";
    // Third row: a to l, semicolon, apostrophe.
    s += shift ? L"ASDFGHJKL" : L"asdfghjkl";
    s += shift ? L":\"" : L";'";
    // Bottom row: slash, z to m, comma, full stop.
    s += shift ? L"?" : L"/";
    s += shift ? L"ZXCVBNM" : L"zxcvbnm";
    s += shift ? L"<>" : L",.";
    return s;
}

class KeyboardTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        ASSERT_NE(nullptr, CreatePanel());
        hKeyboard = FindKeyboard();
        ASSERT_NE(nullptr, hKeyboard);
        hField = Item(hPanel, IDC_LOGIN_PASSWORD);
        ASSERT_NE(nullptr, hField);
        screen = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }

    bool KeyboardVisible() const { return IsWindowVisible(hKeyboard) != FALSE; }

    // The keyboard button, as the user clicks it.
    void ToggleKeyboard() { ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_KEYBOARD)); }

    void Key(int id) {
        HWND hKey = GetDlgItem(hKeyboard, id);
        ASSERT_NE(nullptr, hKey) << "key " << id;
        SendMessageW(hKey, BM_CLICK, 0, 0);
        Pump();
    }

    // Clicks a button and tells which window had the focus right after the
    // click was handled (before the display's focus events are processed).
    static HWND ClickAndGetFocus(HWND hButton) {
        SendMessageW(hButton, BM_CLICK, 0, 0);
        HWND hFocus = GetFocus();
        Pump();
        return hFocus;
    }

    // Delivers one mouse message through the framework's pre-translation,
    // as the message loop does, and tells which window is in front right
    // after it.
    static HWND PressAndGetForeground(HWND hTarget, UINT message) {
        PostMessageW(hTarget, message, MK_LBUTTON, MAKELPARAM(3, 3));
        MSG msg;
        if (!PeekMessageW(&msg, hTarget, message, message, PM_REMOVE))
            return nullptr;
        if (!AfxPreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        HWND hFront = GetForegroundWindow();
        Pump();
        return hFront;
    }

    void SetField(const std::wstring& text, int selStart, int selEnd) {
        SetText(hPanel, IDC_LOGIN_PASSWORD, text);
        SendMessageW(hField, EM_SETSEL, selStart, selEnd);
    }

    std::pair<int, int> Selection() const {
        DWORD s = 0, e = 0;
        SendMessageW(hField, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
        return {static_cast<int>(s), static_cast<int>(e)};
    }

    // Moves the host's main window so that the password field's top-left
    // corner lands on (left, top) of the screen.
    void MoveFieldTo(int left, int top) {
        RECT field = ScreenRect(hField);
        HWND hMain = host.MainWindow()->GetSafeHwnd();
        RECT main = ScreenRect(hMain);
        SetWindowPos(hMain, nullptr, main.left + left - field.left, main.top + top - field.top, 0,
                     0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        Pump();
        RECT now = ScreenRect(hField);
        ASSERT_EQ(left, now.left) << "the test could not place the field";
        ASSERT_EQ(top, now.top) << "the test could not place the field";
    }

    // Repaints the panel now (the keyboard follows the field on WM_PAINT).
    void RepaintPanel() {
        RedrawWindow(hPanel, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        Pump();
    }

    // Shows the keyboard once and hides it again, so that it has the size
    // it always has when shown.
    void ShowOnce() {
        ToggleKeyboard();
        ASSERT_TRUE(KeyboardVisible());
        ToggleKeyboard();
        ASSERT_FALSE(KeyboardVisible());
    }

    HWND hKeyboard = nullptr;
    HWND hField = nullptr;
    SIZE screen = {};
};

TEST_F(KeyboardTest, IsCreatedHiddenWithEmptyKeyTextsAndTheCharactersDrawnBySkin) {
    EXPECT_FALSE(KeyboardVisible());
    EXPECT_EQ(L"SoftKeyBoard", WindowSkin(hKeyboard));
    LONG style = GetWindowLongW(hKeyboard, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & WS_CHILD);
    EXPECT_EQ(GetAncestor(hPanel, GA_ROOT), GetWindow(hKeyboard, GW_OWNER))
        << "a pop-up owned by the panel's window";

    const std::wstring table = Expected(false);
    for (int id = IDC_KEY_FIRST; id <= IDC_KEY_BACKSPACE; ++id) {
        HWND hKey = GetDlgItem(hKeyboard, id);
        ASSERT_NE(nullptr, hKey) << id;
        EXPECT_EQ(L"", Text(hKey)) << "template caption of key " << id << " left";
        if (id <= IDC_KEY_LAST) {
            EXPECT_EQ(std::wstring(1, table[id - IDC_KEY_FIRST]), DrawnText(hKey)) << id;
        }
    }
    EXPECT_NE(L"", DrawnText(GetDlgItem(hKeyboard, IDC_KEY_SHIFT)));
    HWND hFocus = GetDlgItem(hKeyboard, IDC_KEY_FOCUS);
    ASSERT_NE(nullptr, hFocus);
    EXPECT_FALSE(IsWindowVisible(hFocus));
}

TEST_F(KeyboardTest, ButtonShowsItBelowTheFieldLeftAlignedAndHidesItAgain) {
    HWND hFocus = ClickAndGetFocus(Item(hPanel, IDC_LOGIN_BTN_KEYBOARD));
    ASSERT_TRUE(KeyboardVisible());
    EXPECT_EQ(GetDlgItem(hKeyboard, IDC_KEY_FOCUS), hFocus)
        << "the hidden button takes the keyboard's focus";
    RECT field = ScreenRect(hField);
    RECT kb = ScreenRect(hKeyboard);
    EXPECT_EQ(318, kb.right - kb.left);
    EXPECT_EQ(103, kb.bottom - kb.top);
    EXPECT_EQ(field.left, kb.left);
    EXPECT_EQ(field.bottom + 1, kb.top);

    ToggleKeyboard();
    EXPECT_FALSE(KeyboardVisible());
    ToggleKeyboard();
    EXPECT_TRUE(KeyboardVisible());
}

TEST_F(KeyboardTest, EveryKeyIsWhollyInsideTheShownKeyboard) {
    ToggleKeyboard();
    ASSERT_TRUE(KeyboardVisible());
    RECT client = {};
    GetClientRect(hKeyboard, &client);
    for (int id = IDC_KEY_FIRST; id <= IDC_KEY_BACKSPACE; ++id) {
        RECT key = RectInParent(GetDlgItem(hKeyboard, id));
        EXPECT_GE(key.left, client.left) << "key " << id;
        EXPECT_GE(key.top, client.top) << "key " << id;
        EXPECT_LE(key.right, client.right) << "key " << id;
        EXPECT_LE(key.bottom, client.bottom) << "key " << id;
        EXPECT_GT(key.right - key.left, 10) << "key " << id << " is wide enough to hit";
    }
    // The keys keep their rows: Backspace ends the bottom row at the right.
    RECT shift = RectInParent(GetDlgItem(hKeyboard, IDC_KEY_SHIFT));
    RECT back = RectInParent(GetDlgItem(hKeyboard, IDC_KEY_BACKSPACE));
    EXPECT_EQ(shift.top, back.top);
    EXPECT_GT(back.left, shift.right);
}

TEST_F(KeyboardTest, NearTheRightScreenEdgeItIsRightAlignedWithTheField) {
    ShowOnce();
    RECT field = ScreenRect(hField);
    int width = field.right - field.left;
    // The field's left edge 200 pixels from the right screen edge, room below.
    MoveFieldTo(screen.cx - 200, 300);
    ToggleKeyboard();
    ASSERT_TRUE(KeyboardVisible());
    field = ScreenRect(hField);
    RECT kb = ScreenRect(hKeyboard);
    EXPECT_EQ(field.right, kb.right) << "right edges aligned (placement 3)";
    EXPECT_EQ(field.bottom + 1, kb.top);
    EXPECT_EQ(318, kb.right - kb.left);

    // And near the bottom too: above the field, right-aligned (placement 4).
    ToggleKeyboard();
    MoveFieldTo(screen.cx - 200, screen.cy - 60);
    ToggleKeyboard();
    field = ScreenRect(hField);
    kb = ScreenRect(hKeyboard);
    EXPECT_EQ(field.right, kb.right);
    EXPECT_EQ(field.top, kb.bottom);
    EXPECT_EQ(103, kb.bottom - kb.top);

    // A field reaching past the right screen edge: the keyboard ends at the edge.
    ToggleKeyboard();
    MoveFieldTo(screen.cx - width / 2, 300);
    ToggleKeyboard();
    kb = ScreenRect(hKeyboard);
    EXPECT_EQ(screen.cx, kb.right);
}

TEST_F(KeyboardTest, RoomToTheRightIsMeasuredFromTheFieldsLeftEdge) {
    ShowOnce();
    // Exactly the keyboard's width left: not enough, right-aligned.
    MoveFieldTo(screen.cx - 318, 300);
    ToggleKeyboard();
    RECT field = ScreenRect(hField);
    RECT kb = ScreenRect(hKeyboard);
    EXPECT_EQ(field.right, kb.right);
    ToggleKeyboard();

    // One pixel more: left-aligned.
    MoveFieldTo(screen.cx - 319, 300);
    ToggleKeyboard();
    field = ScreenRect(hField);
    kb = ScreenRect(hKeyboard);
    EXPECT_EQ(field.left, kb.left);
    ToggleKeyboard();

    // A field partly off the left edge: the keyboard starts at the edge.
    MoveFieldTo(-20, 300);
    ToggleKeyboard();
    kb = ScreenRect(hKeyboard);
    EXPECT_EQ(0, kb.left);
    EXPECT_EQ(ScreenRect(hField).bottom + 1, kb.top);
}

TEST_F(KeyboardTest, CloseToTheScreenBottomItGoesAboveTheField) {
    ShowOnce();
    RECT field = ScreenRect(hField);
    int height = field.bottom - field.top;

    // The field's bottom 133 pixels above the screen bottom: no room below
    // with 30 pixels kept free.
    MoveFieldTo(200, screen.cy - 133 - height);
    ToggleKeyboard();
    field = ScreenRect(hField);
    ASSERT_EQ(screen.cy - 133, field.bottom);
    RECT kb = ScreenRect(hKeyboard);
    EXPECT_EQ(field.top, kb.bottom) << "keyboard's bottom on the field's top";
    EXPECT_EQ(field.left, kb.left) << "left-aligned (placement 2)";
    ToggleKeyboard();

    // Less still.
    MoveFieldTo(200, screen.cy - 40 - height);
    ToggleKeyboard();
    field = ScreenRect(hField);
    kb = ScreenRect(hKeyboard);
    EXPECT_EQ(field.top, kb.bottom);
    ToggleKeyboard();

    // One pixel more room: below again.
    MoveFieldTo(200, screen.cy - 134 - height);
    ToggleKeyboard();
    field = ScreenRect(hField);
    kb = ScreenRect(hKeyboard);
    EXPECT_EQ(field.bottom + 1, kb.top);
}

TEST_F(KeyboardTest, RepaintKeepsAVisibleKeyboardAtItsPlacementBesideTheField) {
    // Placement 1: follows the field's bottom-left corner.
    ToggleKeyboard();
    MoveFieldTo(300, 250);
    RepaintPanel();
    RECT field = ScreenRect(hField);
    RECT kb = ScreenRect(hKeyboard);
    EXPECT_EQ(field.left, kb.left);
    EXPECT_EQ(field.bottom + 1, kb.top);
    EXPECT_EQ(318, kb.right - kb.left);
    EXPECT_EQ(103, kb.bottom - kb.top);
    ToggleKeyboard();

    // Placement 4, then the field moves to where there is room everywhere:
    // the screen edges are not looked at again, it stays above and right.
    MoveFieldTo(screen.cx - 150, screen.cy - 80);
    ToggleKeyboard();
    MoveFieldTo(400, 400);
    RepaintPanel();
    field = ScreenRect(hField);
    kb = ScreenRect(hKeyboard);
    EXPECT_EQ(field.right, kb.right);
    EXPECT_EQ(field.top, kb.bottom);
    ToggleKeyboard();

    // Placement 2.
    MoveFieldTo(100, screen.cy - 100);
    ToggleKeyboard();
    MoveFieldTo(120, 500);
    RepaintPanel();
    field = ScreenRect(hField);
    kb = ScreenRect(hKeyboard);
    EXPECT_EQ(field.left, kb.left);
    EXPECT_EQ(field.top, kb.bottom);
    ToggleKeyboard();

    // Placement 3.
    MoveFieldTo(screen.cx - 100, 200);
    ToggleKeyboard();
    MoveFieldTo(500, 220);
    RepaintPanel();
    field = ScreenRect(hField);
    kb = ScreenRect(hKeyboard);
    EXPECT_EQ(field.right, kb.right);
    EXPECT_EQ(field.bottom + 1, kb.top);
}

TEST_F(KeyboardTest, RepaintDoesNotMoveAHiddenKeyboard) {
    ToggleKeyboard();
    ToggleKeyboard();
    RECT before = ScreenRect(hKeyboard);
    MoveFieldTo(350, 350);
    RepaintPanel();
    EXPECT_FALSE(KeyboardVisible());
    RECT after = ScreenRect(hKeyboard);
    EXPECT_TRUE(EqualRect(&before, &after));
}

TEST_F(KeyboardTest, CloseKeyBoardDlgHidesAVisibleKeyboardOnly) {
    TraceLogTail log;
    log.Mark();
    Panel()->CloseKeyBoardDlg();
    EXPECT_FALSE(KeyboardVisible());

    ToggleKeyboard();
    ASSERT_TRUE(KeyboardVisible());
    Panel()->CloseKeyBoardDlg();
    Pump();
    EXPECT_FALSE(KeyboardVisible());
    auto lines = log.Lines();
    EXPECT_EQ(2, CountTraceLines(lines, "CLoginDlg::CloseKeyBoardDlg", "Enter"));
    EXPECT_EQ(2, CountTraceLines(lines, "CLoginDlg::CloseKeyBoardDlg", "Leave"));
    EXPECT_EQ(1, CountTraceLines(lines, "CLoginDlg::OnBnClickedButtonSoftkeybroad", "Enter"));
    EXPECT_EQ(1, CountTraceLines(lines, "CLoginDlg::OnBnClickedButtonSoftkeybroad", "Leave"));

    // The button shows it again after it was closed from outside.
    ToggleKeyboard();
    EXPECT_TRUE(KeyboardVisible());
}

TEST_F(KeyboardTest, AKeyGoesInAtTheCaretAndBackspaceTakesTheCharacterBeforeIt) {
    ToggleKeyboard();
    SetField(L"abc", 2, 2);
    HWND hFocus = ClickAndGetFocus(GetDlgItem(hKeyboard, IDC_KEY_FIRST + 13)); // q
    EXPECT_EQ(L"abqc", Text(hField));
    EXPECT_EQ(std::make_pair(3, 3), Selection());
    EXPECT_EQ(hField, hFocus) << "the field gets the focus back";

    Key(IDC_KEY_BACKSPACE);
    EXPECT_EQ(L"abc", Text(hField));
    EXPECT_EQ(std::make_pair(2, 2), Selection());

    TraceLogTail log;
    log.Mark();
    Key(IDC_KEY_FIRST + 1); // 1
    EXPECT_EQ(L"ab1c", Text(hField));
    EXPECT_EQ(1, CountTraceLines(log.Lines(), "CLoginDlg::SetPSW", "Enter"));
    EXPECT_EQ(1, CountTraceLines(log.Lines(), "CLoginDlg::SetPSW", "Leave"));
}

TEST_F(KeyboardTest, ASelectionIsReplacedByAKeyAndRemovedByBackspace) {
    ToggleKeyboard();
    SetField(L"abc", 1, 3);
    Key(IDC_KEY_BACKSPACE);
    EXPECT_EQ(L"a", Text(hField));
    EXPECT_EQ(std::make_pair(1, 1), Selection());

    SetField(L"abc", 1, 3);
    Key(IDC_KEY_FIRST + 39); // x
    EXPECT_EQ(L"ax", Text(hField));
    EXPECT_EQ(std::make_pair(2, 2), Selection());

    // The whole text selected.
    SetField(L"abc", 0, -1);
    Key(IDC_KEY_FIRST + 40); // c
    EXPECT_EQ(L"c", Text(hField));
    EXPECT_EQ(std::make_pair(1, 1), Selection());
}

TEST_F(KeyboardTest, BackspaceAtTheStartOrOnAnEmptyFieldChangesNothing) {
    ToggleKeyboard();
    SetField(L"abc", 0, 0);
    Key(IDC_KEY_BACKSPACE);
    EXPECT_EQ(L"abc", Text(hField));
    EXPECT_EQ(std::make_pair(0, 0), Selection());

    SetField(L"", 0, 0);
    HWND hBackspace = GetDlgItem(hKeyboard, IDC_KEY_BACKSPACE);
    HWND hFocus = ClickAndGetFocus(hBackspace);
    EXPECT_EQ(L"", Text(hField));
    EXPECT_EQ(hBackspace, hFocus) << "an empty field is not even focused";
}

TEST_F(KeyboardTest, KeysDoNotStopAtTheFieldsLimit) {
    ToggleKeyboard();
    std::wstring full(100, L'z');
    SetField(full, 100, 100);
    Key(IDC_KEY_FIRST + 14); // w
    EXPECT_EQ(full + L"w", Text(hField));
}

TEST_F(KeyboardTest, EveryKeyTypesItsCharacterInBothSets) {
    ToggleKeyboard();
    SetField(L"", 0, 0);
    for (int id = IDC_KEY_FIRST; id <= IDC_KEY_LAST; ++id)
        Key(id);
    EXPECT_EQ(Expected(false), Text(hField));

    Key(IDC_KEY_SHIFT);
    const std::wstring shifted = Expected(true);
    for (int id = IDC_KEY_FIRST; id <= IDC_KEY_LAST; ++id)
        EXPECT_EQ(std::wstring(1, shifted[id - IDC_KEY_FIRST]),
                  DrawnText(GetDlgItem(hKeyboard, id)))
            << "the Shift skin draws the shifted character on key " << id;
    SetField(L"", 0, 0);
    for (int id = IDC_KEY_FIRST; id <= IDC_KEY_LAST; ++id)
        Key(id);
    EXPECT_EQ(shifted, Text(hField)) << "Shift stays on while typing";
}

TEST_F(KeyboardTest, ShiftSwapsTheSkinAndTheCharacterOfAKey) {
    ToggleKeyboard();
    SetField(L"", 0, 0);
    Key(IDC_KEY_SHIFT);
    EXPECT_EQ(L"SoftKeyBoardShift", WindowSkin(hKeyboard));
    Key(2026);
    EXPECT_EQ(L"|", Text(hField));
    for (int id = IDC_KEY_FIRST; id <= IDC_KEY_BACKSPACE; ++id)
        EXPECT_EQ(L"", Text(GetDlgItem(hKeyboard, id))) << "Shift leaves key texts alone";

    Key(IDC_KEY_SHIFT);
    EXPECT_EQ(L"SoftKeyBoard", WindowSkin(hKeyboard));
    Key(2038);
    EXPECT_EQ(L"|/", Text(hField));
}

TEST_F(KeyboardTest, HidingAndShowingKeepsShiftAndItsSkin) {
    ToggleKeyboard();
    Key(IDC_KEY_SHIFT);
    ToggleKeyboard();
    ASSERT_FALSE(KeyboardVisible());
    ToggleKeyboard();
    ASSERT_TRUE(KeyboardVisible());
    EXPECT_EQ(L"SoftKeyBoardShift", WindowSkin(hKeyboard));
    SetField(L"", 0, 0);
    Key(2026);
    EXPECT_EQ(L"|", Text(hField));

    Panel()->CloseKeyBoardDlg();
    ToggleKeyboard();
    EXPECT_EQ(L"SoftKeyBoardShift", WindowSkin(hKeyboard));
    Key(IDC_KEY_FIRST + 16); // r / R
    EXPECT_EQ(L"|R", Text(hField));
}

TEST_F(KeyboardTest, AClickOnTheKeyboardBringsItToTheFront) {
    ToggleKeyboard();
    HWND hMain = host.MainWindow()->GetSafeHwnd();

    // On the keyboard's own background.
    SetForegroundWindow(hMain);
    ASSERT_EQ(hMain, GetForegroundWindow());
    EXPECT_EQ(hKeyboard, PressAndGetForeground(hKeyboard, WM_LBUTTONDOWN));

    // A double click on a key.
    SetForegroundWindow(hMain);
    ASSERT_EQ(hMain, GetForegroundWindow());
    EXPECT_EQ(hKeyboard,
              PressAndGetForeground(GetDlgItem(hKeyboard, IDC_KEY_FIRST + 2), WM_LBUTTONDBLCLK));

    // Other mouse messages leave the front window alone.
    SetForegroundWindow(hMain);
    ASSERT_EQ(hMain, GetForegroundWindow());
    EXPECT_EQ(hMain, PressAndGetForeground(hKeyboard, WM_RBUTTONDOWN));
}

TEST_F(KeyboardTest, WithoutThePasswordFieldTheButtonAndTheKeysDoNothing) {
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"alice");
    DestroyWindow(hField);
    Pump();
    ToggleKeyboard();
    EXPECT_FALSE(KeyboardVisible()) << "nothing to place it beside";
    // Keys pressed on the (hidden) keyboard change nothing and do not crash.
    Command(hKeyboard, IDC_KEY_FIRST);
    Command(hKeyboard, IDC_KEY_BACKSPACE);
    EXPECT_EQ(L"alice", Text(hPanel, IDC_LOGIN_ACCOUNT));
}

} // namespace
