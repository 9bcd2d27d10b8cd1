// SkinMagicU: import by ordinal, window and control skins on real windows,
// the soft keyboard's key characters, the skin file.
#include "SkinMagicU.h"
#include "SkinTestUtil.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace skintest;

namespace {

std::wstring WindowSkinOf(HWND h) {
    wchar_t name[256] = {L'?'};
    SkinGetWindowSkin(h, name, 256);
    return name;
}

std::wstring ControlSkinOf(HWND h) {
    wchar_t name[256] = {L'?'};
    SkinGetControlSkin(h, name, 256);
    return name;
}

std::wstring DrawnText(HWND h) {
    wchar_t text[64] = {};
    return SkinGetDrawnText(h, text, 64) >= 0 ? std::wstring(text) : std::wstring(L"<none>");
}

// The two character tables of the soft keyboard, key 2001 + i showing
// character i: Shift off, Shift on.
const wchar_t kPlainKeys[] = L"`1234567890-=qwertyuiop[]\\asdfghjkl;'/zxcvbnm,.";
const wchar_t kShiftKeys[] = L"~!@#$%^&*()_+QWERTYUIOP{}|ASDFGHJKL:\"?ZXCVBNM<>";

// A skin file of the tests: flat colours, so that pixels can be compared.
const char kTestSkin[] = "[Skin]\n"
                         "Name=Test\n"
                         "[TestDlg]\n"
                         "BackTop=#102030\n"
                         "BackBottom=#102030\n"
                         "Text=#F0E0D0\n"
                         "ButtonTop=#C03020\n"
                         "ButtonBottom=#C03020\n"
                         "ButtonHoverTop=#C03020\n"
                         "ButtonHoverBottom=#C03020\n"
                         "ButtonText=#C03020\n"
                         "ButtonRadius=0\n"
                         "[TestDlg.Status]\n"
                         "Type=Text\n"
                         "Text=#00FF00\n"
                         "[Escapes]\n"
                         "Quoted=\"a\\\"b\\\\c;d=e\\u00e9 \"\n"
                         "Plain=  keeps; this  \n"
                         "; a comment line\n";

class SkinFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(1, SkinLoadFile(WriteTempFile(L"skin_test.skin", kTestSkin).c_str()));
    }
    void TearDown() override { SkinLoadFile((ExeDirectory() + L"kite.skin").c_str()); }
};

} // namespace

// ---------------------------------------------------------------------------

TEST(SkinImport, TheThreeSkinCallsAreImportedByOrdinalOnly) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    std::set<unsigned> ordinals;
    std::set<std::string> names;
    bool found = false;
    for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
         imp->Name; ++imp) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + imp->Name), "SkinMagicU.dll") != 0)
            continue;
        found = true;
        DWORD first = imp->OriginalFirstThunk ? imp->OriginalFirstThunk : imp->FirstThunk;
        for (auto* t = reinterpret_cast<IMAGE_THUNK_DATA*>(base + first); t->u1.AddressOfData;
             ++t) {
            if (IMAGE_SNAP_BY_ORDINAL(t->u1.Ordinal))
                ordinals.insert(static_cast<unsigned>(IMAGE_ORDINAL(t->u1.Ordinal)));
            else
                names.insert(
                    reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + t->u1.AddressOfData)->Name);
        }
    }
    ASSERT_TRUE(found);
    EXPECT_EQ(1u, ordinals.count(7));
    EXPECT_EQ(1u, ordinals.count(9));
    EXPECT_EQ(1u, ordinals.count(53));
    EXPECT_EQ(0u, names.count("RemoveSkin"));
    EXPECT_EQ(0u, names.count("ApplyWindowSkin"));
    EXPECT_EQ(0u, names.count("ApplyControlSkin"));

    HMODULE skin = GetModuleHandleW(L"SkinMagicU.dll");
    ASSERT_NE(nullptr, skin);
    EXPECT_EQ(nullptr, GetProcAddress(skin, "RemoveSkin"));
    EXPECT_EQ(nullptr, GetProcAddress(skin, "ApplyWindowSkin"));
    EXPECT_EQ(reinterpret_cast<void*>(&RemoveSkin),
              reinterpret_cast<void*>(GetProcAddress(skin, MAKEINTRESOURCEA(7))));
    EXPECT_EQ(reinterpret_cast<void*>(&ApplyWindowSkin),
              reinterpret_cast<void*>(GetProcAddress(skin, MAKEINTRESOURCEA(9))));
    EXPECT_EQ(reinterpret_cast<void*>(&ApplyControlSkin),
              reinterpret_cast<void*>(GetProcAddress(skin, MAKEINTRESOURCEA(53))));
}

// ---------------------------------------------------------------------------

TEST(WindowSkin, AppliedSkinsAreReportedAndRemovedAgain) {
    TestWindow w;
    HWND picture = w.AddChild(L"Static", L"", SS_LEFT, IDC_LOGIN_PICTURE, 10, 10, 80, 80);
    HWND status = w.AddChild(L"Static", L"status", SS_LEFT, IDC_LOGIN_STATUS, 100, 10, 120, 20);
    HWND button =
        w.AddChild(L"Button", L"Log in", BS_PUSHBUTTON, IDC_LOGIN_BTN_LOGIN, 100, 40, 80, 24);
    EXPECT_EQ(L"", WindowSkinOf(w));
    EXPECT_EQ(L"", ControlSkinOf(picture));

    EXPECT_EQ(1, ApplyWindowSkin(w, L"LoginDlg"));
    EXPECT_EQ(L"LoginDlg", WindowSkinOf(w));
    EXPECT_EQ(L"Log in", DrawnText(button)); // its push buttons are skinned with it
    EXPECT_EQ(1, ApplyControlSkin(picture, L"LogOut", L"LoginDlg"));
    EXPECT_EQ(1, ApplyControlSkin(status, L"LogOutState", L"LoginDlg"));
    EXPECT_EQ(L"LogOut", ControlSkinOf(picture));
    EXPECT_EQ(L"LogOutState", ControlSkinOf(status));

    // Another control skin replaces the first.
    EXPECT_EQ(1, ApplyControlSkin(picture, L"LogIn", L"LoginDlg"));
    EXPECT_EQ(1, ApplyControlSkin(status, L"LoginState", L"LoginDlg"));
    EXPECT_EQ(L"LogIn", ControlSkinOf(picture));
    EXPECT_EQ(L"LoginState", ControlSkinOf(status));
    EXPECT_EQ(1, ApplyControlSkin(picture, L"Loging", L"LoginDlg"));
    EXPECT_EQ(L"Loging", ControlSkinOf(picture));
    PaintNow(w);

    // Names the skin file does not have change nothing.
    EXPECT_EQ(0, ApplyControlSkin(picture, L"NoSuchElement", L"LoginDlg"));
    EXPECT_EQ(0, ApplyControlSkin(picture, L"LogIn", L"NoSuchWindow"));
    EXPECT_EQ(0, ApplyWindowSkin(w, L"NoSuchWindow"));
    EXPECT_EQ(L"Loging", ControlSkinOf(picture));
    EXPECT_EQ(L"LoginDlg", WindowSkinOf(w));

    // The window's skin goes with RemoveSkin; a control's own skin stays
    // until the control itself loses it.
    EXPECT_EQ(1, RemoveSkin(w));
    EXPECT_EQ(L"", WindowSkinOf(w));
    EXPECT_EQ(-1, SkinGetDrawnText(button, nullptr, 0));
    EXPECT_EQ(L"Loging", ControlSkinOf(picture));
    EXPECT_EQ(1, RemoveSkin(picture));
    EXPECT_EQ(L"", ControlSkinOf(picture));
    EXPECT_EQ(0, RemoveSkin(nullptr));
    EXPECT_EQ(0, ApplyWindowSkin(nullptr, L"LoginDlg"));

    // A skin taken off and put on again, as the plug-in always does.
    EXPECT_EQ(1, RemoveSkin(w));
    EXPECT_EQ(1, ApplyWindowSkin(w, L"AdvanceDlg"));
    EXPECT_EQ(L"AdvanceDlg", WindowSkinOf(w));
    EXPECT_EQ(1, ApplyControlSkin(button, L"BtnAdvanceUp", L"LoginDlg"));
    EXPECT_EQ(L"BtnAdvanceUp", ControlSkinOf(button));
    EXPECT_EQ(1, ApplyControlSkin(button, L"BtnAdvanceDown", L"LoginDlg"));
    EXPECT_EQ(L"BtnAdvanceDown", ControlSkinOf(button));
    PaintNow(w);
}

TEST(WindowSkin, SkinnedButtonsKeepTheirBehaviour) {
    TestWindow w;
    HWND button = w.AddChild(L"Button", L"OK", BS_PUSHBUTTON, IDOK, 10, 10, 80, 24);
    ASSERT_EQ(1, ApplyWindowSkin(w, L"LoginDlg"));
    PaintNow(w);
    SendMessageW(button, BM_CLICK, 0, 0);
    Pump(20);
    std::vector<Recorded> cmds = w.Messages(WM_COMMAND);
    ASSERT_EQ(1u, cmds.size());
    EXPECT_EQ(MAKEWPARAM(IDOK, BN_CLICKED), cmds[0].wParam);
    SetWindowTextW(button, L"Again");
    EXPECT_EQ(L"Again", DrawnText(button));
}

TEST(WindowSkin, StaticsGetTheSkinColoursOnTheSkinBackground) {
    TestWindow w;
    HWND label = w.AddChild(L"Static", L"Account", SS_LEFT, IDC_LOGIN_LBL_ACCOUNT, 10, 10, 80, 20);
    HWND edit =
        w.AddChild(L"Edit", L"", WS_BORDER | ES_READONLY, IDC_LOGIN_PASSWORD, 10, 40, 80, 20);
    HDC dc = GetDC(label);
    LRESULT plain = SendMessageW(w, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                 reinterpret_cast<LPARAM>(label));
    ASSERT_EQ(1, ApplyWindowSkin(w, L"LoginDlg"));
    SetTextColor(dc, RGB(1, 2, 3));
    LRESULT skinned = SendMessageW(w, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                   reinterpret_cast<LPARAM>(label));
    EXPECT_NE(0, skinned);
    EXPECT_NE(plain, skinned);
    EXPECT_EQ(RGB(0x1F, 0x3B, 0x57), GetTextColor(dc)); // Text of [LoginDlg] in kite.skin
    EXPECT_EQ(TRANSPARENT, GetBkMode(dc));
    // Edit controls keep their own face, even read-only.
    LRESULT editBrush = SendMessageW(w, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(edit));
    EXPECT_NE(skinned, editBrush);
    ReleaseDC(label, dc);
    RemoveSkin(w);
    dc = GetDC(label);
    EXPECT_EQ(plain, SendMessageW(w, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                  reinterpret_cast<LPARAM>(label)));
    ReleaseDC(label, dc);
}

// ---------------------------------------------------------------------------

TEST_F(SkinFileTest, TheLoadedFileDrawsTheWindowAndItsButtons) {
    TestWindow w(300, 200);
    HWND button = w.AddChild(L"Button", L"", BS_PUSHBUTTON, IDOK, 100, 100, 80, 40);
    HWND status = w.AddChild(L"Static", L"", SS_LEFT, IDC_LOGIN_STATUS, 10, 150, 100, 20);
    PaintNow(w);
    COLORREF before = PixelAt(w, 20, 20);
    ASSERT_EQ(1, ApplyWindowSkin(w, L"TestDlg"));
    ASSERT_EQ(1, ApplyControlSkin(status, L"Status", L"TestDlg"));
    PaintNow(w);
    EXPECT_NE(RGB(0x10, 0x20, 0x30), before);
    EXPECT_EQ(RGB(0x10, 0x20, 0x30), PixelAt(w, 20, 20));
    EXPECT_EQ(RGB(0x10, 0x20, 0x30), PixelAt(w, 290, 190));
    EXPECT_EQ(RGB(0xC0, 0x30, 0x20), PixelAt(button, 40, 20)); // the button's face
    EXPECT_EQ(RGB(0x10, 0x20, 0x30), PixelAt(status, 50, 10)); // text on the window's background
    RemoveSkin(w);
    PaintNow(w);
    EXPECT_EQ(before, PixelAt(w, 20, 20));
    EXPECT_NE(RGB(0xC0, 0x30, 0x20), PixelAt(button, 40, 20));
}

TEST_F(SkinFileTest, ValuesMayBeQuotedWithEscapes) {
    wchar_t value[64] = {};
    EXPECT_EQ(11, SkinGetString(L"Escapes", L"Quoted", value, 64));
    EXPECT_STREQ(L"a\"b\\c;d=e\u00e9 ", value);
    EXPECT_EQ(11, SkinGetString(L"Escapes", L"Plain", value, 64));
    EXPECT_STREQ(L"keeps; this", value);
    EXPECT_EQ(-1, SkinGetString(L"Escapes", L"Missing", value, 64));
    EXPECT_STREQ(L"", value);
    // Sections fall back on [Default], here from the built-in skin.
    EXPECT_GT(SkinGetString(L"TestDlg", L"Font", value, 64), 0);
    EXPECT_EQ(4, SkinGetString(L"Skin", L"Name", value, 64));
    EXPECT_STREQ(L"Test", value);
    // The built-in skin's window skins stay available under a partial file.
    TestWindow w;
    EXPECT_EQ(1, ApplyWindowSkin(w, L"LoginDlg"));
}

TEST(SkinFile, TheDefaultSkinIsTheKiteFileBesideTheBinaries) {
    wchar_t value[64] = {};
    EXPECT_EQ(0, SkinLoadFile(L"C:\\no\\such\\file.skin"));
    EXPECT_GT(SkinGetString(L"Skin", L"Name", value, 64), 0);
    EXPECT_STREQ(L"Kite", value);
    for (const wchar_t* name :
         {L"LoginDlg", L"AdvanceDlg", L"SoftKeyBoard", L"SoftKeyBoardShift"}) {
        TestWindow w;
        EXPECT_EQ(1, ApplyWindowSkin(w, name)) << name;
    }
    for (const wchar_t* name : {L"BtnAdvanceUp", L"BtnAdvanceDown", L"LogIn", L"LogOut", L"Loging",
                                L"LoginState", L"LogOutState"}) {
        TestWindow w;
        HWND c = w.AddChild(L"Static", L"", SS_LEFT, 1, 0, 0, 60, 60);
        EXPECT_EQ(1, ApplyControlSkin(c, name, L"LoginDlg")) << name;
    }
}

// ---------------------------------------------------------------------------

namespace {
// A window laid out like the soft keyboard, its keys without texts.
struct Keyboard {
    TestWindow w{420, 110, 40, 400};
    HWND keys[IDC_KEY_BACKSPACE - IDC_KEY_FIRST + 1] = {};
    Keyboard() {
        for (int id = IDC_KEY_FIRST; id <= IDC_KEY_BACKSPACE; ++id) {
            int i = id - IDC_KEY_FIRST;
            keys[i] = w.AddChild(L"Button", L"", BS_PUSHBUTTON, id, 4 + (i % 13) * 30,
                                 4 + (i / 13) * 26, 28, 24);
        }
    }
    HWND Key(int id) const { return keys[id - IDC_KEY_FIRST]; }
};

std::vector<DWORD> Capture(HWND h) {
    RECT rc;
    GetClientRect(h, &rc);
    HDC dc = GetDC(h);
    HDC mem = CreateCompatibleDC(dc);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = rc.right;
    bi.bmiHeader.biHeight = -rc.bottom;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, rc.right, rc.bottom, dc, 0, 0, SRCCOPY);
    GdiFlush();
    std::vector<DWORD> pixels(static_cast<DWORD*>(bits),
                              static_cast<DWORD*>(bits) + rc.right * rc.bottom);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(h, dc);
    return pixels;
}
} // namespace

TEST(SoftKeyboardSkin, KeysShowTheCharactersOfTheCurrentTable) {
    Keyboard kb;
    ASSERT_EQ(47u, wcslen(kPlainKeys));
    ASSERT_EQ(47u, wcslen(kShiftKeys));
    RemoveSkin(kb.w);
    ASSERT_EQ(1, ApplyWindowSkin(kb.w, L"SoftKeyBoard"));
    PaintNow(kb.w);
    for (int i = 0; i < 47; ++i)
        EXPECT_EQ(std::wstring(1, kPlainKeys[i]), DrawnText(kb.Key(IDC_KEY_FIRST + i))) << i;
    EXPECT_EQ(L"Shift", DrawnText(kb.Key(IDC_KEY_SHIFT)));
    EXPECT_EQ(L"", DrawnText(kb.Key(IDC_KEY_BACKSPACE))); // an arrow, no text
    std::vector<DWORD> q = Capture(kb.Key(IDC_KEY_FIRST + 13));
    std::vector<DWORD> w = Capture(kb.Key(IDC_KEY_FIRST + 14));
    EXPECT_NE(q, w); // "q" and "w" look different

    // Shift: the other skin, the same keys redrawn with the other table.
    RemoveSkin(kb.w);
    ASSERT_EQ(1, ApplyWindowSkin(kb.w, L"SoftKeyBoardShift"));
    PaintNow(kb.w);
    for (int i = 0; i < 47; ++i)
        EXPECT_EQ(std::wstring(1, kShiftKeys[i]), DrawnText(kb.Key(IDC_KEY_FIRST + i))) << i;
    EXPECT_EQ(L"Shift", DrawnText(kb.Key(IDC_KEY_SHIFT)));
    EXPECT_NE(q, Capture(kb.Key(IDC_KEY_FIRST + 13))); // now "Q"
    EXPECT_EQ(L"|", DrawnText(kb.Key(IDC_KEY_FIRST + 25)));

    RemoveSkin(kb.w);
    ASSERT_EQ(1, ApplyWindowSkin(kb.w, L"SoftKeyBoard"));
    PaintNow(kb.w);
    EXPECT_EQ(q, Capture(kb.Key(IDC_KEY_FIRST + 13)));
    EXPECT_EQ(L"/", DrawnText(kb.Key(IDC_KEY_FIRST + 37)));
}
