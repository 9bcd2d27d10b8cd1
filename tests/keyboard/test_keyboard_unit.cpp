// The soft keyboard linked directly with its template: emptying the key texts
// stops at the first missing key; a key before the owner is set does nothing.
#include "login/DlgKeyboard.h"

#include <gtest/gtest.h>

namespace {

class ProbeKeyboard : public CKeyboardDlg {
public:
    using CKeyboardDlg::ClearKeyTexts;
};

TEST(KeyboardDialog, EmptyingKeyTextsStopsAtTheFirstMissingKey) {
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, L"STATIC", L"keyboard test", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                40, 40, 360, 480, nullptr, nullptr));
    for (int missing : {2010, IDC_KEY_SHIFT}) {
        SCOPED_TRACE(missing);
        ProbeKeyboard kb;
        ASSERT_TRUE(kb.Create(IDD_KEYBOARD, &parent));
        // A key pressed before the owner is set does nothing.
        kb.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_KEY_FIRST, BN_CLICKED), 0);
        for (int id = IDC_KEY_FIRST; id <= IDC_KEY_BACKSPACE; ++id)
            kb.SetDlgItemText(id, L"x");
        ::DestroyWindow(kb.GetDlgItem(missing)->m_hWnd);
        kb.ClearKeyTexts();
        CString text;
        for (int id = IDC_KEY_FIRST; id <= IDC_KEY_BACKSPACE; ++id) {
            if (id == missing)
                continue;
            kb.GetDlgItemText(id, text);
            EXPECT_EQ(CString(id < missing ? L"" : L"x"), text) << id;
        }
        kb.DestroyWindow();
    }
    parent.DestroyWindow();
}

} // namespace
