// Skinned message boxes: the scripting handler, and real boxes that answer
// by themselves (SKIN_MSGBOX_AUTOCLOSE) or by a key or a click.
#include "SkinMagicExU.h"
#include "SkinMagicU.h"
#include "SkinTestUtil.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

using namespace skintest;

namespace {

const int kAllButtons[] = {IDOK,  IDCANCEL, IDABORT,    IDRETRY,    IDIGNORE,
                           IDYES, IDNO,     IDTRYAGAIN, IDCONTINUE, IDHELP};

// --- the handler -----------------------------------------------------------

struct HandlerCall {
    HWND owner;
    const wchar_t* text;
    const wchar_t* caption;
    const wchar_t* checkText;
    int* pCheckState;
    int checkStateSeen;
    UINT type;
};
std::vector<HandlerCall> g_calls;
int g_answer = IDOK;
int g_setCheck = -1;

int RecordingHandler(const SKINMSGBOXINFO* info, void* context) {
    EXPECT_EQ(&g_calls, context);
    HandlerCall c = {info->hWndOwner,   info->lpText,
                     info->lpCaption,   info->lpCheckText,
                     info->pCheckState, info->pCheckState ? *info->pCheckState : -1,
                     info->uType};
    g_calls.push_back(c);
    if (info->pCheckState && g_setCheck >= 0)
        *info->pCheckState = g_setCheck;
    return g_answer;
}

// Counts the boxes this thread creates.
int g_boxesCreated = 0;
HHOOK g_cbt = nullptr;
LRESULT CALLBACK CountBoxes(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        wchar_t cls[64] = {};
        GetClassNameW(reinterpret_cast<HWND>(wParam), cls, 64);
        if (lstrcmpW(cls, SKINMSGBOX_CLASS) == 0)
            ++g_boxesCreated;
    }
    return CallNextHookEx(g_cbt, code, wParam, lParam);
}

// --- real boxes --------------------------------------------------------------

struct SeenBox {
    bool found = false;
    std::wstring caption, text, checkText, skin;
    bool visible = false, hasCheck = false, checked = false, ownerEnabled = true;
    HWND owner = nullptr;
    RECT rect = {0, 0, 0, 0};
    std::vector<std::pair<int, std::wstring>> buttons;
    int defaultId = 0;
};

enum class Act { Look, ToggleCheck, PressEscape, ClickRetry };
SeenBox g_seen;
Act g_act = Act::Look;

BOOL CALLBACK FindBoxProc(HWND h, LPARAM out) {
    wchar_t cls[64] = {};
    GetClassNameW(h, cls, 64);
    if (lstrcmpW(cls, SKINMSGBOX_CLASS) != 0)
        return TRUE;
    *reinterpret_cast<HWND*>(out) = h;
    return FALSE;
}

HWND ThisThreadsBox() {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindBoxProc, reinterpret_cast<LPARAM>(&box));
    return box;
}

void CALLBACK Inspect(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = ThisThreadsBox();
    if (!box)
        return;
    KillTimer(nullptr, id);
    g_seen.found = true;
    g_seen.caption = WindowText(box);
    g_seen.text = WindowText(GetDlgItem(box, SKINMSGBOX_IDC_TEXT));
    g_seen.visible = IsWindowVisible(box) != FALSE;
    g_seen.owner = GetWindow(box, GW_OWNER);
    g_seen.ownerEnabled = g_seen.owner && IsWindowEnabled(g_seen.owner);
    GetWindowRect(box, &g_seen.rect);
    wchar_t skin[64] = {};
    SkinGetWindowSkin(box, skin, 64);
    g_seen.skin = skin;
    std::vector<std::pair<LONG, int>> byPlace; // buttons from left to right
    for (int b : kAllButtons) {
        HWND h = GetDlgItem(box, b);
        if (!h)
            continue;
        RECT r;
        GetWindowRect(h, &r);
        byPlace.emplace_back(r.left, b);
        if ((GetWindowLongW(h, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            g_seen.defaultId = b;
    }
    std::sort(byPlace.begin(), byPlace.end());
    for (const auto& p : byPlace)
        g_seen.buttons.emplace_back(p.second, WindowText(GetDlgItem(box, p.second)));
    HWND check = GetDlgItem(box, SKINMSGBOX_IDC_CHECK);
    g_seen.hasCheck = check != nullptr;
    if (check) {
        g_seen.checkText = WindowText(check);
        g_seen.checked = SendMessageW(check, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    switch (g_act) {
    case Act::Look:
        break;
    case Act::ToggleCheck:
        SendMessageW(check, BM_CLICK, 0, 0);
        break;
    case Act::PressEscape:
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
        PostMessageW(GetFocus(), WM_KEYUP, VK_ESCAPE, 0xC0000001);
        break;
    case Act::ClickRetry:
        SendMessageW(GetDlgItem(box, IDRETRY), BM_CLICK, 0, 0);
        break;
    }
}

// Ends a box that failed to end by itself, so that a broken test fails
// instead of hanging.
void CALLBACK Watchdog(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (HWND box = ThisThreadsBox())
        for (int b : kAllButtons)
            PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(b), 0);
}

struct MessageBoxTest : ::testing::Test {
    void SetUp() override {
        g_calls.clear();
        g_seen = SeenBox();
        g_act = Act::Look;
        g_answer = IDOK;
        g_setCheck = -1;
        g_boxesCreated = 0;
        g_cbt = SetWindowsHookExW(WH_CBT, &CountBoxes, nullptr, GetCurrentThreadId());
        SkinSetMessageBoxHandler(nullptr, nullptr);
        SetEnvironmentVariableW(L"SKIN_MSGBOX_AUTOCLOSE", nullptr);
    }
    void TearDown() override {
        UnhookWindowsHookEx(g_cbt);
        SkinSetMessageBoxHandler(nullptr, nullptr);
        SetEnvironmentVariableW(L"SKIN_MSGBOX_AUTOCLOSE", nullptr);
    }
    // Runs a real box: the inspector looks at it while it is up.
    void Arm(const wchar_t* autoCloseMs) {
        SetEnvironmentVariableW(L"SKIN_MSGBOX_AUTOCLOSE", autoCloseMs);
        SetTimer(nullptr, 0, 60, &Inspect);
        SetTimer(nullptr, 0, 8000, &Watchdog);
    }
};

} // namespace

TEST_F(MessageBoxTest, TheHandlerGetsTheExactArgumentsAndGivesTheAnswer) {
    TestWindow owner;
    SkinSetMessageBoxHandler(&RecordingHandler, &g_calls);
    const wchar_t* text = L"The account is empty";
    const wchar_t* caption = L"Information";
    g_answer = IDCANCEL;
    EXPECT_EQ(IDCANCEL, MessageBoxExW(owner, text, caption, MB_OKCANCEL | MB_ICONQUESTION));
    ASSERT_EQ(1u, g_calls.size());
    EXPECT_EQ(owner.Handle(), g_calls[0].owner);
    EXPECT_EQ(text, g_calls[0].text);
    EXPECT_EQ(caption, g_calls[0].caption);
    EXPECT_EQ(nullptr, g_calls[0].checkText);
    EXPECT_EQ(nullptr, g_calls[0].pCheckState);
    EXPECT_EQ(33u, g_calls[0].type);

    // The check-box form: the state goes in and the handler's comes back.
    const wchar_t* checkText = L"Clear the account data";
    int state = 0;
    g_answer = IDYES;
    g_setCheck = 1;
    EXPECT_EQ(IDYES, MessageBoxExW(owner, text, caption, checkText, state, 0, MB_YESNO));
    ASSERT_EQ(2u, g_calls.size());
    EXPECT_EQ(checkText, g_calls[1].checkText);
    EXPECT_EQ(&state, g_calls[1].pCheckState);
    EXPECT_EQ(0, g_calls[1].checkStateSeen);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO), g_calls[1].type);
    EXPECT_EQ(1, state);
    g_setCheck = 0;
    g_answer = IDNO;
    EXPECT_EQ(IDNO, MessageBoxExW(owner, text, caption, checkText, state, 0, MB_YESNO));
    EXPECT_EQ(1, g_calls[2].checkStateSeen);
    EXPECT_EQ(0, state);
    EXPECT_EQ(0, g_boxesCreated); // answered without a window
}

TEST_F(MessageBoxTest, ARealBoxAppearsAndAnswersByItself) {
    TestWindow top(360, 300, 200, 150);
    HWND anchor = top.AddChild(L"Static", L"", SS_LEFT, IDC_LOGIN_STATUS, 0, 0, 360, 300);
    Arm(L"400");
    int state = 1;
    DWORD start = GetTickCount();
    int answer = MessageBoxExW(anchor, L"Log out now?", L"Kite", L"Clear the account data", state,
                               0, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    DWORD elapsed = GetTickCount() - start;
    EXPECT_EQ(IDNO, answer); // the default button
    EXPECT_EQ(1, state);     // left as it was
    EXPECT_GE(elapsed, 300u);
    EXPECT_EQ(1, g_boxesCreated);
    ASSERT_TRUE(g_seen.found);
    EXPECT_TRUE(g_seen.visible);
    EXPECT_EQ(L"Kite", g_seen.caption);
    EXPECT_EQ(L"Log out now?", g_seen.text);
    ASSERT_EQ(2u, g_seen.buttons.size());
    EXPECT_EQ(IDYES, g_seen.buttons[0].first);
    EXPECT_EQ(L"Yes(&Y)", g_seen.buttons[0].second);
    EXPECT_EQ(IDNO, g_seen.buttons[1].first);
    EXPECT_EQ(L"No(&N)", g_seen.buttons[1].second);
    EXPECT_EQ(IDNO, g_seen.defaultId);
    EXPECT_TRUE(g_seen.hasCheck);
    EXPECT_EQ(L"Clear the account data", g_seen.checkText);
    EXPECT_TRUE(g_seen.checked);
    EXPECT_EQ(L"MessageBox", g_seen.skin);
    // Owned by the anchor's top-level window, which is disabled meanwhile,
    // and centred on the anchor.
    EXPECT_EQ(top.Handle(), g_seen.owner);
    EXPECT_FALSE(g_seen.ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(top));
    RECT a;
    GetWindowRect(anchor, &a);
    EXPECT_NEAR((a.left + a.right) / 2, (g_seen.rect.left + g_seen.rect.right) / 2, 1);
    EXPECT_NEAR((a.top + a.bottom) / 2, (g_seen.rect.top + g_seen.rect.bottom) / 2, 1);
    EXPECT_EQ(nullptr, ThisThreadsBox()); // gone again
}

TEST_F(MessageBoxTest, TheCheckBoxStateComesBack) {
    TestWindow top;
    g_act = Act::ToggleCheck;
    Arm(L"300");
    int state = 1;
    EXPECT_EQ(IDOK, MessageBoxExW(top, L"Text", L"Caption", L"Check", state, 0, MB_OK));
    ASSERT_TRUE(g_seen.found);
    EXPECT_TRUE(g_seen.checked);
    EXPECT_EQ(0, state);

    g_seen = SeenBox();
    Arm(L"300");
    state = 0;
    EXPECT_EQ(IDOK, MessageBoxExW(top, L"Text", L"Caption", L"Check", state, 0, MB_OK));
    EXPECT_FALSE(g_seen.checked);
    EXPECT_EQ(1, state);
}

TEST_F(MessageBoxTest, TheTypesTheSystemUsesShowTheirButtons) {
    TestWindow top;
    const struct {
        UINT type;
        std::vector<int> ids;
        int answer;
    } cases[] = {
        {16, {IDOK}, IDOK},
        {33, {IDOK, IDCANCEL}, IDOK},
        {64, {IDOK}, IDOK},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, {IDYES, IDNO, IDCANCEL}, IDCANCEL},
        {MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}, IDABORT},
        {MB_CANCELTRYCONTINUE | MB_DEFBUTTON2, {IDCANCEL, IDTRYAGAIN, IDCONTINUE}, IDTRYAGAIN}};
    for (const auto& c : cases) {
        g_seen = SeenBox();
        Arm(L"150");
        EXPECT_EQ(c.answer, MessageBoxExW(top, L"Text", L"Caption", c.type)) << c.type;
        ASSERT_TRUE(g_seen.found) << c.type;
        std::vector<int> ids;
        for (const auto& b : g_seen.buttons)
            ids.push_back(b.first);
        EXPECT_EQ(c.ids, ids) << c.type;
        EXPECT_FALSE(g_seen.hasCheck);
    }
    EXPECT_EQ(6, g_boxesCreated);
}

TEST_F(MessageBoxTest, EscapeCancelsAndAButtonAnswers) {
    TestWindow top;
    g_act = Act::PressEscape;
    Arm(L"3000");
    DWORD start = GetTickCount();
    EXPECT_EQ(IDCANCEL, MessageBoxExW(top, L"Text", L"Caption", MB_OKCANCEL));
    EXPECT_LT(GetTickCount() - start, 2500u);

    // Without a Cancel button Escape does nothing: the box answers later.
    g_seen = SeenBox();
    g_act = Act::PressEscape;
    Arm(L"600");
    start = GetTickCount();
    EXPECT_EQ(IDYES, MessageBoxExW(top, L"Text", L"Caption", MB_YESNO));
    EXPECT_GE(GetTickCount() - start, 500u);

    g_seen = SeenBox();
    g_act = Act::ClickRetry;
    Arm(L"3000");
    start = GetTickCount();
    EXPECT_EQ(IDRETRY, MessageBoxExW(top, L"Text", L"Caption", MB_RETRYCANCEL | MB_DEFBUTTON2));
    EXPECT_LT(GetTickCount() - start, 2500u);
}

TEST_F(MessageBoxTest, AHandlerThatDeclinesLetsTheBoxBeShown) {
    TestWindow top;
    SkinSetMessageBoxHandler(&RecordingHandler, &g_calls);
    g_answer = -1;
    Arm(L"200");
    EXPECT_EQ(IDOK, MessageBoxExW(top, L"Shown", L"Caption", MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(1u, g_calls.size());
    EXPECT_TRUE(g_seen.found);
    EXPECT_EQ(L"Shown", g_seen.text);
}

TEST(MsgBoxText, DefaultCaptions) {
    _tagMSGBOXTEXT t;
    EXPECT_EQ(CString(L"OK"), t.strOK);
    EXPECT_EQ(CString(L"Cancel"), t.strCancel);
    EXPECT_EQ(CString(L"Yes(&Y)"), t.strYes);
    EXPECT_EQ(CString(L"No(&N)"), t.strNo);
    EXPECT_EQ(CString(L"Abort(&A)"), t.strAbort);
    EXPECT_EQ(CString(L"Retry(&R)"), t.strRetry);
    EXPECT_EQ(CString(L"Continue(&C)"), t.strContinue);
    EXPECT_EQ(CString(L"Ryagain(&T)"), t.strTryAgain);
    EXPECT_EQ(CString(L"Ignore(&I)"), t.strIgnore);
    EXPECT_EQ(CString(L"Help(&H)"), t.strHelp);
    EXPECT_EQ(CString(L"Close(&Q)"), t.strClose);
    EXPECT_EQ(CString(L"Seconds"), t.strSeconds);
}
