// CSkinEditEx: the mask limits typed and pasted characters.
#include "SkinMagicExU.h"
#include "SkinTestUtil.h"
#include "resource.h"

#include <gtest/gtest.h>

using namespace skintest;

namespace {
bool PutOnClipboard(HWND owner, const wchar_t* text) {
    if (!OpenClipboard(owner))
        return false;
    EmptyClipboard();
    size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(GlobalLock(mem), text, bytes);
    GlobalUnlock(mem);
    bool ok = SetClipboardData(CF_UNICODETEXT, mem) != nullptr;
    CloseClipboard();
    return ok;
}

struct MaskedEdit : ::testing::Test {
    TestWindow parent;
    HWND edit = nullptr;
    CSkinEditEx port;
    void SetUp() override {
        edit = parent.AddChild(L"Edit", L"", WS_BORDER | ES_AUTOHSCROLL, IDC_ADVANCED_PROXYPORT, 10,
                               10, 120, 22);
        ASSERT_TRUE(port.SubclassWindow(edit));
        port.SetMask(L"1234567890");
    }
    void Type(wchar_t ch) { SendMessageW(edit, WM_CHAR, ch, 1); }
};
} // namespace

TEST_F(MaskedEdit, TypedCharactersOutsideTheMaskAreRefused) {
    EXPECT_EQ(CString(L"1234567890"), port.GetMask());
    Type(L'8');
    Type(L'a');
    Type(L'0');
    Type(L' ');
    Type(L'-');
    Type(L'8');
    EXPECT_EQ(L"808", WindowText(edit));
    Type(VK_BACK); // control keys keep working
    EXPECT_EQ(L"80", WindowText(edit));
    SendMessageW(edit, EM_SETSEL, 0, -1);
    Type(L'x');
    EXPECT_EQ(L"80", WindowText(edit));
    Type(L'5');
    EXPECT_EQ(L"5", WindowText(edit));
}

TEST_F(MaskedEdit, PastedTextOutsideTheMaskIsRefused) {
    ASSERT_TRUE(PutOnClipboard(parent, L"80a"));
    SendMessageW(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(L"", WindowText(edit));
    Type(0x16); // Ctrl+V
    EXPECT_EQ(L"", WindowText(edit));
    ASSERT_TRUE(PutOnClipboard(parent, L"5060"));
    SendMessageW(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(L"5060", WindowText(edit));
    SendMessageW(edit, EM_SETSEL, 0, -1);
    Type(0x16);
    EXPECT_EQ(L"5060", WindowText(edit));
}

TEST_F(MaskedEdit, AnEmptyMaskTakesEverything) {
    port.SetMask(L"");
    Type(L'a');
    Type(L'#');
    ASSERT_TRUE(PutOnClipboard(parent, L"x y"));
    SendMessageW(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(L"a#x y", WindowText(edit));
}
