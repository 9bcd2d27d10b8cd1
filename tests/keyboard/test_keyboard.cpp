// The soft keyboard as a user meets it in the real plug-in: shown beside the
// password field, its keys typing into the field, Shift and its skin.
#include "PanelTest.h"

#include <SkinMagicU.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

// Key IDC_KEY_FIRST + i types character i, row by row.
const std::wstring kPlain = L"`1234567890-=qwertyuiop[]\\asdfghjkl;'/zxcvbnm,.";
const std::wstring kShifted = L"~!@#$%^&*()_+QWERTYUIOP{}|ASDFGHJKL:\"?ZXCVBNM<>";
const int kQ = IDC_KEY_FIRST + 13;

RECT ScreenRect(HWND hWnd) {
    RECT rc = {};
    GetWindowRect(hWnd, &rc);
    return rc;
}

std::wstring DrawnText(HWND hWnd) {
    wchar_t buf[64] = {};
    SkinGetDrawnText(hWnd, buf, 64);
    return buf;
}

std::vector<COLORREF> Pixels(HWND hWnd) {
    RECT rc = {};
    GetClientRect(hWnd, &rc);
    HDC dc = GetDC(hWnd);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < rc.bottom; ++y)
        for (int x = 0; x < rc.right; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(hWnd, dc);
    return pixels;
}

// Clicks a button and tells which window had the focus right after the
// click was handled (before the display's focus events are processed).
HWND ClickAndGetFocus(HWND hButton) {
    SendMessageW(hButton, BM_CLICK, 0, 0);
    HWND hFocus = GetFocus();
    Pump();
    return hFocus;
}

class KeyboardTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        ASSERT_NE(nullptr, CreatePanel());
        // The keyboard: the top-level dialog with the hidden focus button.
        while ((hKeyboard = FindWindowExW(nullptr, hKeyboard, L"#32770", nullptr)) &&
               !GetDlgItem(hKeyboard, IDC_KEY_FOCUS)) {
        }
        ASSERT_NE(nullptr, hKeyboard);
        hField = Item(hPanel, IDC_LOGIN_PASSWORD);
        ASSERT_NE(nullptr, hField);
        screen = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }

    bool Shown() const { return IsWindowVisible(hKeyboard) != FALSE; }
    HWND Key(int id) const { return GetDlgItem(hKeyboard, id); }
    void Toggle() { ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_KEYBOARD)); }
    void Press(int id) { ASSERT_TRUE(Click(hKeyboard, id)) << "key " << id; }

    void SetField(const std::wstring& text, int selStart, int selEnd) {
        SetText(hPanel, IDC_LOGIN_PASSWORD, text);
        SendMessageW(hField, EM_SETSEL, selStart, selEnd);
    }

    // Moves the host's main window so that the password field's top-left
    // corner lands on the screen point.
    void MoveFieldTo(POINT pt) {
        RECT field = ScreenRect(hField);
        HWND hMain = host.MainWindow()->GetSafeHwnd();
        RECT main = ScreenRect(hMain);
        SetWindowPos(hMain, nullptr, main.left + pt.x - field.left, main.top + pt.y - field.top, 0,
                     0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        Pump();
        RECT now = ScreenRect(hField);
        ASSERT_TRUE(now.left == pt.x && now.top == pt.y) << "the test could not place the field";
    }

    // The shown keyboard measures 318 x 103, lies below (or above) the field
    // and has its left edge by the edge given.
    enum Edge { kFieldLeft, kFieldRight, kScreenLeft, kScreenRight };
    void ExpectPlaced(Edge edge, bool below) {
        RECT field = ScreenRect(hField);
        RECT kb = ScreenRect(hKeyboard);
        const LONG left[] = {field.left, field.right - 318, 0, screen.cx - 318};
        EXPECT_EQ(std::tuple(left[edge], below ? field.bottom + 1 : field.top - 103, 318L, 103L),
                  std::tuple(kb.left, kb.top, kb.right - kb.left, kb.bottom - kb.top));
    }

    HWND hKeyboard = nullptr;
    HWND hField = nullptr;
    SIZE screen = {};
};

TEST_F(KeyboardTest, IsCreatedHiddenWithEmptyKeyTextsAndTheButtonShowsItBelowTheField) {
    EXPECT_FALSE(Shown());
    EXPECT_EQ(L"SoftKeyBoard", WindowSkin(hKeyboard));
    LONG style = GetWindowLongW(hKeyboard, GWL_STYLE);
    EXPECT_TRUE((style & WS_POPUP) && !(style & WS_CHILD));
    EXPECT_EQ(GetAncestor(hPanel, GA_ROOT), GetWindow(hKeyboard, GW_OWNER))
        << "a pop-up owned by the panel's window";
    EXPECT_NE(L"", DrawnText(Key(IDC_KEY_SHIFT)));
    ASSERT_NE(nullptr, Key(IDC_KEY_FOCUS));
    EXPECT_FALSE(IsWindowVisible(Key(IDC_KEY_FOCUS)));

    HWND hFocus = ClickAndGetFocus(Item(hPanel, IDC_LOGIN_BTN_KEYBOARD));
    ASSERT_TRUE(Shown());
    EXPECT_EQ(Key(IDC_KEY_FOCUS), hFocus) << "the hidden button takes the keyboard's focus";
    ExpectPlaced(kFieldLeft, true);
    RECT client = {};
    GetClientRect(hKeyboard, &client);
    for (int id = IDC_KEY_FIRST; id <= IDC_KEY_BACKSPACE; ++id) {
        ASSERT_NE(nullptr, Key(id)) << id;
        EXPECT_EQ(L"", Text(Key(id))) << "template caption of key " << id << " left";
        RECT key = RectInParent(Key(id));
        EXPECT_TRUE(key.left >= 0 && key.top >= 0 && key.right <= client.right &&
                    key.bottom <= client.bottom)
            << "key " << id << " wholly inside the keyboard";
        EXPECT_GT(key.right - key.left, 10) << "key " << id << " is wide enough to hit";
    }
    // The keys keep their rows: Backspace ends the bottom row at the right.
    RECT shift = RectInParent(Key(IDC_KEY_SHIFT));
    RECT back = RectInParent(Key(IDC_KEY_BACKSPACE));
    EXPECT_EQ(shift.top, back.top);
    EXPECT_GT(back.left, shift.right);
}

TEST_F(KeyboardTest, IsPlacedByTheScreenEdgesAndKeptBesideTheFieldOnRepaint) {
    auto repaint = [&] {
        RedrawWindow(hPanel, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        Pump();
    };
    // Shown from outside before it was ever placed: a repaint moves nothing.
    SetWindowPos(hKeyboard, nullptr, 5, 7, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    repaint();
    EXPECT_EQ(5, ScreenRect(hKeyboard).left);
    EXPECT_EQ(7, ScreenRect(hKeyboard).top);
    ShowWindow(hKeyboard, SW_HIDE);

    // The first showing measures the keyboard at its template's size.
    RECT tpl = ScreenRect(hKeyboard);
    ASSERT_GT(tpl.right - tpl.left, 319) << "the template is wider than the shown keyboard";
    ASSERT_NO_FATAL_FAILURE(MoveFieldTo({screen.cx - 319, 300}));
    Toggle();
    EXPECT_EQ(ScreenRect(hField).right - (tpl.right - tpl.left), ScreenRect(hKeyboard).left)
        << "right-aligned by the template's width";
    Toggle();

    // From then on it measures 318 x 103.
    RECT field = ScreenRect(hField);
    const int bottom = screen.cy - (field.bottom - field.top); // the field's top at the bottom
    const std::tuple<const char*, POINT, Edge, bool> cases[] = {
        {"room right and below", {300, 300}, kFieldLeft, true},
        {"200 pixels left to the right edge", {screen.cx - 200, 300}, kFieldRight, true},
        {"and 60 to the bottom", {screen.cx - 200, bottom - 60}, kFieldRight, false},
        {"exactly the keyboard's width left", {screen.cx - 318, 300}, kFieldRight, true},
        {"one pixel more", {screen.cx - 319, 300}, kFieldLeft, true},
        {"field past the right edge", {screen.cx - 60, 300}, kScreenRight, true},
        {"field past the left edge", {-20, 300}, kScreenLeft, true},
        {"bottom 133 above the screen's bottom", {200, bottom - 133}, kFieldLeft, false},
        {"bottom 40 above", {200, bottom - 40}, kFieldLeft, false},
        {"bottom 134 above", {200, bottom - 134}, kFieldLeft, true},
    };
    for (auto [name, at, edge, below] : cases) {
        SCOPED_TRACE(name);
        ASSERT_NO_FATAL_FAILURE(MoveFieldTo(at));
        Toggle();
        ASSERT_TRUE(Shown());
        ExpectPlaced(edge, below);
        // The field moves to where there is room everywhere: a repaint keeps
        // the placement (1 to 4) without looking at the screen edges again.
        ASSERT_NO_FATAL_FAILURE(MoveFieldTo({400, 400}));
        repaint();
        ExpectPlaced(edge == kFieldLeft || edge == kScreenLeft ? kFieldLeft : kFieldRight, below);
        Toggle();
    }

    // A hidden keyboard stays where it is.
    RECT before = ScreenRect(hKeyboard);
    ASSERT_NO_FATAL_FAILURE(MoveFieldTo({250, 350}));
    repaint();
    EXPECT_FALSE(Shown());
    RECT after = ScreenRect(hKeyboard);
    EXPECT_TRUE(EqualRect(&before, &after));
}

TEST_F(KeyboardTest, AKeyGoesInAtTheCaretAndBackspaceRemovesTheSelectionOrTheCharacterBefore) {
    // Field text, selection, key, resulting text and caret, whether the field
    // takes the focus (else the key keeps it).
    const std::tuple<const wchar_t*, int, int, int, const wchar_t*, int, bool> cases[] = {
        {L"abc", 2, 2, kQ, L"abqc", 3, true},
        {L"abqc", 3, 3, IDC_KEY_BACKSPACE, L"abc", 2, true},
        {L"abc", 1, 3, IDC_KEY_BACKSPACE, L"a", 1, true},
        {L"abc", 1, 3, IDC_KEY_FIRST + 39 /* x */, L"ax", 2, true},
        {L"abc", 0, -1, IDC_KEY_FIRST + 40 /* c */, L"c", 1, true},
        {L"", 0, 0, IDC_KEY_BACKSPACE, L"", 0, false},
        {L"abc", 0, 0, IDC_KEY_BACKSPACE, L"abc", 0, true},
    };
    Toggle();
    for (auto [text, selStart, selEnd, key, result, caret, fieldFocused] : cases) {
        SCOPED_TRACE(::testing::Message() << text << " " << selStart << " " << key);
        SetField(text, selStart, selEnd);
        TraceLogTail log;
        log.Mark();
        HWND hFocus = ClickAndGetFocus(Key(key));
        EXPECT_EQ(result, Text(hField));
        DWORD s = 0, e = 0;
        SendMessageW(hField, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
        EXPECT_EQ(std::make_pair(caret, caret), std::make_pair(int(s), int(e)));
        EXPECT_EQ(fieldFocused ? hField : Key(key), hFocus);
        EXPECT_EQ(1, CountTraceLines(log.Lines(), "CLoginDlg::SetPSW", "Enter"));
        EXPECT_EQ(1, CountTraceLines(log.Lines(), "CLoginDlg::SetPSW", "Leave"));
    }
    // The panel's password member ends equal to the field, even when a key
    // changes nothing: a registration result stores it.
    Calls().Clear();
    Panel()->OnRegResponse(0);
    Pump();
    EXPECT_EQ(std::vector<std::wstring>{L"Settings.SaveLoginRecord(,abc,0)"},
              Calls().Matching(L"Settings.SaveLoginRecord("));
}

TEST_F(KeyboardTest, EveryKeyTypesAndShowsItsCharacterAndShiftSwapsSetAndSkin) {
    Toggle();
    std::vector<COLORREF> q[2];
    for (int shift : {0, 1, 0}) { // and back to the plain set
        SCOPED_TRACE(shift ? "Shift on" : "Shift off");
        const std::wstring& table = shift ? kShifted : kPlain;
        EXPECT_EQ(shift ? L"SoftKeyBoardShift" : L"SoftKeyBoard", WindowSkin(hKeyboard));
        RedrawWindow(hKeyboard, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        q[shift] = Pixels(Key(kQ));
        EXPECT_NE(q[shift], Pixels(Key(kQ + 1))) << "q and w look different";
        SetField(L"", 0, 0);
        for (int i = 0; i < 47; ++i) {
            EXPECT_EQ(table.substr(i, 1), DrawnText(Key(IDC_KEY_FIRST + i))) << i;
            Press(IDC_KEY_FIRST + i);
        }
        EXPECT_EQ(table, Text(hField)) << "Shift stays as it is while typing";
        for (int id = IDC_KEY_FIRST; id <= IDC_KEY_BACKSPACE; ++id)
            EXPECT_EQ(L"", Text(Key(id))) << "key texts are left alone, key " << id;
        Press(IDC_KEY_SHIFT);
    }
    EXPECT_NE(q[0], q[1]) << "Shift redraws the keys";
}

TEST_F(KeyboardTest, CloseKeyBoardDlgOrTheButtonHidesItAndShiftAndItsSkinStay) {
    TraceLogTail log;
    log.Mark();
    Panel()->CloseKeyBoardDlg();
    EXPECT_FALSE(Shown()) << "a hidden keyboard stays hidden";
    Toggle();
    Press(IDC_KEY_SHIFT);
    SetField(L"", 0, 0);
    for (bool byButton : {true, false}) {
        if (byButton)
            Toggle();
        else
            Panel()->CloseKeyBoardDlg();
        ASSERT_FALSE(Shown());
        Toggle();
        ASSERT_TRUE(Shown());
        EXPECT_EQ(L"SoftKeyBoardShift", WindowSkin(hKeyboard));
        Press(byButton ? 2026 : IDC_KEY_FIRST + 16); // | and R
    }
    EXPECT_EQ(L"|R", Text(hField));
    auto lines = log.Lines();
    EXPECT_EQ(2, CountTraceLines(lines, "CLoginDlg::CloseKeyBoardDlg", "Enter"));
    EXPECT_EQ(2, CountTraceLines(lines, "CLoginDlg::CloseKeyBoardDlg", "Leave"));
    EXPECT_EQ(4, CountTraceLines(lines, "CLoginDlg::OnBnClickedButtonSoftkeybroad", "Enter"));
    EXPECT_EQ(4, CountTraceLines(lines, "CLoginDlg::OnBnClickedButtonSoftkeybroad", "Leave"));
}

TEST_F(KeyboardTest, ALeftClickOnTheKeyboardBringsItToTheFront) {
    Toggle();
    HWND hMain = host.MainWindow()->GetSafeHwnd();
    for (auto [hTarget, message, hFront] : {std::tuple{hKeyboard, WM_LBUTTONDOWN, hKeyboard},
                                            {Key(IDC_KEY_FIRST + 2), WM_LBUTTONDBLCLK, hKeyboard},
                                            {hKeyboard, WM_RBUTTONDOWN, hMain}}) {
        SCOPED_TRACE(message);
        SetForegroundWindow(hMain);
        ASSERT_EQ(hMain, GetForegroundWindow());
        // Through the framework's pre-translation, as the message loop delivers it.
        PostMessageW(hTarget, message, MK_LBUTTON, MAKELPARAM(3, 3));
        MSG msg;
        ASSERT_TRUE(PeekMessageW(&msg, hTarget, message, message, PM_REMOVE));
        if (!AfxPreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        EXPECT_EQ(hFront, GetForegroundWindow());
        Pump();
    }
}

TEST_F(KeyboardTest, WithoutThePasswordFieldTheButtonAndTheKeysDoNothing) {
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"alice");
    DestroyWindow(hField);
    Pump();
    Toggle();
    EXPECT_FALSE(Shown()) << "nothing to place it beside";
    Command(hKeyboard, IDC_KEY_FIRST);
    Command(hKeyboard, IDC_KEY_BACKSPACE);
    EXPECT_EQ(L"alice", Text(hPanel, IDC_LOGIN_ACCOUNT));
}

} // namespace
