// The skin libraries as the plug-in relies on them, on real windows. (The
// masked edit is checked on the advanced panel's port field.)
#include "TestHost.h"

#include <SkinMagicExU.h>
#include <SkinMagicU.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

// A top-level window that records the strip's notifications.
class ParentWindow : public CWnd {
public:
    ParentWindow() {
        CreateEx(0, L"STATIC", L"skin test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40, 360,
                 300, nullptr, nullptr);
    }
    ~ParentWindow() override { DestroyWindow(); }
    HWND Child(int id, int x, int y, int w, int h) {
        return CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, x, y, w, h, m_hWnd,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }
    std::vector<std::pair<unsigned, SKINPANNELNOTIFY>> notes; // code and record

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != WM_PANNEL_NOTIFY)
            return CWnd::WindowProc(message, wParam, lParam);
        notes.emplace_back(*reinterpret_cast<const unsigned*>(wParam),
                           *reinterpret_cast<const SKINPANNELNOTIFY*>(lParam));
        return 0;
    }
};

COLORREF PaintedPixel(HWND hWnd, int x, int y) {
    RedrawWindow(hWnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    HDC dc = GetDC(hWnd);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hWnd, dc);
    return c;
}

} // namespace

TEST(SkinCalls, ThePlugInImportsTheThreeByOrdinalOnly) {
    HMODULE dll =
        LoadLibraryExW((ExeDir() + L"SIGNDESK.dll").c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(nullptr, dll);
    auto* base = reinterpret_cast<BYTE*>(dll);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    std::multiset<unsigned> ordinals; // 0 for an import by name
    for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); imp->Name; ++imp)
        if (lstrcmpiA(reinterpret_cast<char*>(base + imp->Name), "SkinMagicU.dll") == 0)
            for (auto* t = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
                 t->u1.AddressOfData; ++t)
                ordinals.insert(IMAGE_SNAP_BY_ORDINAL(t->u1.Ordinal)
                                    ? static_cast<unsigned>(IMAGE_ORDINAL(t->u1.Ordinal))
                                    : 0);
    FreeLibrary(dll);
    EXPECT_EQ((std::multiset<unsigned>{7, 9, 53}), ordinals);
}

TEST(SkinCalls, EverySkinNameThePlugInAppliesIsThereAndDrawn) {
    ParentWindow w;
    HWND control = w.Child(IDC_LOGIN_PICTURE, 10, 10, 60, 60);
    COLORREF plain = PaintedPixel(w, 180, 280);
    for (const wchar_t* name :
         {L"AdvanceDlg", L"SoftKeyBoard", L"SoftKeyBoardShift", L"LoginDlg"}) {
        RemoveSkin(w);
        EXPECT_EQ(1, ApplyWindowSkin(w, name)) << name;
        EXPECT_EQ(name, WindowSkin(w));
    }
    for (const wchar_t* name : {L"BtnAdvanceUp", L"BtnAdvanceDown", L"LogIn", L"LogOut", L"Loging",
                                L"LoginState", L"LogOutState"}) {
        EXPECT_EQ(1, ApplyControlSkin(control, name, L"LoginDlg")) << name;
        EXPECT_EQ(name, ControlSkin(control));
    }
    EXPECT_NE(plain, PaintedPixel(w, 180, 280)) << "the window is drawn by its skin";
    RemoveSkin(w);
    EXPECT_EQ(L"", WindowSkin(w));
    EXPECT_EQ(plain, PaintedPixel(w, 180, 280));
}

TEST(SkinStrip, AUnitUsedByAClickReachesTheParentAs0x1400WithTheUnitInTheRecord) {
    ParentWindow parent;
    CSkinControlPannel strip; // as the login panel creates it
    ASSERT_TRUE(strip.Create(0x50010000, CRect(0, 0, 0, 0), &parent, IDC_LOGIN_PANNEL, 0));
    strip.MoveWindow(3, 190, 320, 25);
    CSkinControlUnit unit; // laid out as the panel's missed-call unit
    unit.m_strText = L"Missed calls 0";
    unit.m_nWidth = 96;
    unit.m_nStyle = 2;
    unit.m_nIndent = 5;
    for (UINT id : {IDC_LOGIN_UNIT_NOANSWER, IDC_LOGIN_UNIT_MESSAGE}) {
        unit.m_nID = id;
        strip.AddControlUnit(unit);
    }
    auto click = [&](RECT down, RECT up) {
        strip.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON,
                          MAKELPARAM((down.left + down.right) / 2, (down.top + down.bottom) / 2));
        strip.SendMessage(WM_LBUTTONUP, 0,
                          MAKELPARAM((up.left + up.right) / 2, (up.top + up.bottom) / 2));
        Pump();
    };
    for (UINT id : {IDC_LOGIN_UNIT_NOANSWER, IDC_LOGIN_UNIT_MESSAGE}) {
        SCOPED_TRACE(id);
        const CSkinControlUnit* added = strip.FindUnit(id);
        ASSERT_NE(nullptr, added);
        parent.notes.clear();
        click(added->m_rcUnit, added->m_rcUnit);
        ASSERT_EQ(1u, parent.notes.size());
        const SKINPANNELNOTIFY& record = parent.notes[0].second;
        EXPECT_EQ(1u, parent.notes[0].first);
        EXPECT_EQ(added, record.pUnit);
        EXPECT_EQ(id, record.pUnit->m_nID);
        EXPECT_EQ(strip.m_hWnd, record.hwndFrom);
        EXPECT_EQ(static_cast<UINT>(IDC_LOGIN_PANNEL), record.idFrom);
    }
    // The unit is the record's fourth 32-bit field on the 32-bit build, the
    // command id the unit's fourth.
    EXPECT_EQ(sizeof(void*) == 4 ? 12u : 16u, offsetof(SKINPANNELNOTIFY, pUnit));
    EXPECT_EQ(3 * sizeof(int), offsetof(CSkinControlUnit, m_nID));

    // Nothing unless the button goes down and up on one unit.
    RECT a = strip.GetUnit(0)->m_rcUnit;
    RECT b = strip.GetUnit(1)->m_rcUnit;
    const RECT beyond = {b.right + 20, 12, b.right + 20, 12};
    const RECT gap = {a.right + 1, 12, a.right + 1, 12};
    // Beyond the units, between two, from one unit to the next, from a unit to beyond.
    for (auto [down, up] : {std::pair{beyond, beyond}, {gap, gap}, {a, b}, {a, beyond}}) {
        parent.notes.clear();
        click(down, up);
        EXPECT_TRUE(parent.notes.empty()) << down.left << " to " << up.left;
    }
    strip.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM((a.left + a.right) / 2, 12)); // no press
    Pump();
    EXPECT_TRUE(parent.notes.empty());
}

// Real message boxes, looked at and answered by a timer while they are up.
namespace {
enum Act { kLook, kToggleCheck, kEscape, kClickCancel };
struct BoxView {
    HWND box = nullptr, owner = nullptr;
    bool visible = false, ownerEnabled = true;
    RECT rect = {};
    // "caption | text | skin | buttons left to right (id:text) | check box"
    std::wstring look;
};
BoxView g_view;
Act g_act = kLook;

void CALLBACK InspectBox(HWND, UINT, UINT_PTR id, DWORD) {
    BoxView& v = g_view;
    if (!(v.box = FindWindowW(SKINMSGBOX_CLASS, nullptr)))
        return;
    KillTimer(nullptr, id);
    v.visible = IsWindowVisible(v.box) != FALSE;
    v.owner = GetWindow(v.box, GW_OWNER);
    v.ownerEnabled = IsWindowEnabled(v.owner) != FALSE;
    GetWindowRect(v.box, &v.rect);
    v.look = Text(v.box) + L" | " + Text(v.box, SKINMSGBOX_IDC_TEXT) + L" | " + WindowSkin(v.box);
    std::vector<std::pair<LONG, int>> byPlace;
    for (int b : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO, IDTRYAGAIN, IDCONTINUE})
        if (Exists(v.box, b))
            byPlace.emplace_back(RectInParent(Item(v.box, b)).left, b);
    std::sort(byPlace.begin(), byPlace.end());
    v.look += L" |";
    for (const auto& p : byPlace)
        v.look += L" " + std::to_wstring(p.second) + L":" + Text(v.box, p.second);
    if (Exists(v.box, SKINMSGBOX_IDC_CHECK))
        v.look += (Checked(v.box, SKINMSGBOX_IDC_CHECK) ? L" | [x] " : L" | [ ] ") +
                  Text(v.box, SKINMSGBOX_IDC_CHECK);
    if (g_act == kToggleCheck || g_act == kClickCancel)
        SendMessageW(Item(v.box, g_act == kClickCancel ? IDCANCEL : SKINMSGBOX_IDC_CHECK), BM_CLICK,
                     0, 0);
    if (g_act == kEscape) {
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
        PostMessageW(GetFocus(), WM_KEYUP, VK_ESCAPE, 0xC0000001);
    }
}
} // namespace

TEST(SkinMessageBox, ARealBoxShowsItsTextsAndButtonsAndGivesTheUsersAnswer) {
    const std::wstring check = L"Clear the account data";
    // Name, type, check box as shown (none when empty), check state in, what
    // the timer does, answer, check state out. The box answers by itself
    // with its default button when nobody acts.
    const std::tuple<const char*, UINT, std::wstring, int, Act, int, int> cases[] = {
        {"error", 16, L"", 0, kLook, IDOK, 0},
        {"information", 64, L"", 0, kLook, IDOK, 0},
        {"Escape on OK only", 16, L"", 0, kEscape, IDOK, 0},
        {"question", 33, L"", 0, kLook, IDOK, 0},
        {"Escape on a question", 33, L"", 0, kEscape, IDCANCEL, 0},
        {"check left on", 33, L"[x] " + check, 1, kLook, IDOK, 1},
        {"check turned off", 33, L"[x] " + check, 1, kToggleCheck, IDOK, 0},
        {"check turned on", 33, L"[ ] " + check, 0, kToggleCheck, IDOK, 1},
        {"Cancel clicked", 33, L"[ ] " + check, 0, kClickCancel, IDCANCEL, 0},
    };
    SkinSetMessageBoxHandler(nullptr, nullptr);
    SetEnvironmentVariableW(L"SKIN_MSGBOX_AUTOCLOSE", L"400");
    ParentWindow top;
    HWND anchor = top.Child(IDC_LOGIN_STATUS, 180, 150, 150, 100);
    RECT a = {};
    GetWindowRect(anchor, &a);
    for (const auto& [name, type, checkBox, stateIn, act, answer, stateOut] : cases) {
        SCOPED_TRACE(name);
        g_view = BoxView();
        g_act = act;
        UINT_PTR timer = SetTimer(nullptr, 0, 50, &InspectBox);
        int state = stateIn;
        const wchar_t* text = L"Log out now?";
        EXPECT_EQ(answer, checkBox.empty() ? MessageBoxExW(anchor, text, L"Kite", type)
                                           : MessageBoxExW(anchor, text, L"Kite", check.c_str(),
                                                           state, 0, type));
        KillTimer(nullptr, timer);
        EXPECT_EQ(stateOut, state);
        ASSERT_NE(nullptr, g_view.box);
        EXPECT_FALSE(IsWindow(g_view.box)) << "gone again";
        EXPECT_TRUE(g_view.visible);
        EXPECT_EQ(L"Kite | Log out now? | MessageBox | 1:OK" +
                      std::wstring(type == 33 ? L" 2:Cancel" : L"") +
                      (checkBox.empty() ? L"" : L" | " + checkBox),
                  g_view.look);
        // Owned by the anchor's top-level window, which is disabled
        // meanwhile, and centred on the anchor.
        EXPECT_EQ(top.m_hWnd, g_view.owner);
        EXPECT_FALSE(g_view.ownerEnabled);
        EXPECT_TRUE(top.IsWindowEnabled());
        EXPECT_NEAR((a.left + a.right) / 2, (g_view.rect.left + g_view.rect.right) / 2, 1);
        EXPECT_NEAR((a.top + a.bottom) / 2, (g_view.rect.top + g_view.rect.bottom) / 2, 1);
    }
    SetEnvironmentVariableW(L"SKIN_MSGBOX_AUTOCLOSE", nullptr);
}
