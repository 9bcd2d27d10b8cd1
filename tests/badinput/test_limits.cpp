// Every edit filled to and past its limit, as a user types: the edits stop
// at their limits, and what reaches the siblings is what the edits hold.
#include "BadInputFixture.h"

namespace {

using Limits = BadInput;

std::wstring Repeat(const wchar_t* chunk, size_t length) {
    std::wstring s;
    while (s.size() < length)
        s += chunk;
    s.resize(length);
    return s;
}

BOOL CALLBACK FindKeyboardProc(HWND hWnd, LPARAM lParam) {
    if (GetDlgItem(hWnd, IDC_KEY_FOCUS)) {
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }
    return TRUE;
}

HWND Keyboard() {
    HWND h = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindKeyboardProc, reinterpret_cast<LPARAM>(&h));
    return h;
}

TEST_F(Limits, AccountAndPasswordStopAtAHundredAndTheLoginTakesWhatTheyHold) {
    ASSERT_NE(nullptr, CreatePanel());
    HWND hPassword = Item(hPanel, IDC_LOGIN_PASSWORD);
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"");
    Type(AccountEdit(hPanel), Repeat(L"a1", 150));
    Type(hPassword, Repeat(L"p%", 150));
    const std::wstring account = Text(hPanel, IDC_LOGIN_ACCOUNT);
    const std::wstring password = Text(hPassword);
    EXPECT_EQ(Repeat(L"a1", 100), account);
    EXPECT_EQ(Repeat(L"p%", 100), password);

    Calls().Clear();
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGIN));
    EXPECT_TRUE(Calls().Has(L"Login.StartLogin(" + account + L"," + password + L",0)"));
    Panel()->OnRegResponse(0);
    Pump();
    EXPECT_TRUE(Calls().Has(L"Settings.SaveLoginRecord(" + account + L"," + password + L",0)"));
    EXPECT_TRUE(Calls().Has(L"Main.SetCurrentAccount(" + account + L")"));
}

TEST_F(Limits, TheSoftKeyboardWritesPastTheLimitAndCutsNothing) {
    ASSERT_NE(nullptr, CreatePanel());
    HWND hPassword = Item(hPanel, IDC_LOGIN_PASSWORD);
    Type(hPassword, Repeat(L"x", 120));
    ASSERT_EQ(100, GetWindowTextLengthW(hPassword));
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_KEYBOARD));
    HWND hKeyboard = Keyboard();
    ASSERT_NE(nullptr, hKeyboard);
    ASSERT_TRUE(IsWindowVisible(hKeyboard));
    // The caret at the end: keys 2002 ("1") and 2003 ("2").
    SendMessageW(hPassword, EM_SETSEL, 100, 100);
    ASSERT_TRUE(Click(hKeyboard, IDC_KEY_FIRST + 1));
    ASSERT_TRUE(Click(hKeyboard, IDC_KEY_FIRST + 2));
    EXPECT_EQ(Repeat(L"x", 100) + L"12", Text(hPassword));
    // Backspace takes one off again.
    ASSERT_TRUE(Click(hKeyboard, IDC_KEY_BACKSPACE));
    EXPECT_EQ(Repeat(L"x", 100) + L"1", Text(hPassword));

    Calls().Clear();
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"carol");
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGIN));
    EXPECT_TRUE(Calls().Has(L"Login.StartLogin(carol," + Repeat(L"x", 100) + L"1,0)"));
}

TEST_F(Limits, AStartupAccountLongerThanTheBoxIsLoggedInAsTheBoxHoldsIt) {
    siblings.main.startupAccount = Repeat(L"s", 300).c_str();
    siblings.main.startupPassword = Repeat(L"q", 300).c_str();
    ASSERT_NE(nullptr, CreatePanel());
    const std::wstring account = Text(hPanel, IDC_LOGIN_ACCOUNT);
    const std::wstring password = Text(hPanel, IDC_LOGIN_PASSWORD);
    EXPECT_FALSE(account.empty());
    EXPECT_TRUE(Calls().Has(L"Login.StartLogin(" + account + L"," + password + L",0)"))
        << Join(Calls().Matching(L"Login."));
    EXPECT_EQ(2, PictureState(hPanel));
}

TEST_F(Limits, RegistrationEntryEditsStopAtFiftyAndThePortTakesDigitsOnly) {
    siblings.login.multiUser = 1;
    ASSERT_NE(nullptr, CreatePanel());
    std::vector<std::wstring> typed;
    bool okEnabled = false;
    DialogDriver::OnNextDialog([&](HWND hList) {
        DialogDriver::OnNextDialog([&](HWND hEntry) {
            Type(Item(hEntry, IDC_REGUSERSINFO_ACCOUNT), Repeat(L"acc", 80));
            Type(Item(hEntry, IDC_REGUSERSINFO_PASSWORD), Repeat(L"pw!", 80));
            Type(Item(hEntry, IDC_REGUSERSINFO_ADDRESS), Repeat(L"10.0.", 80));
            Type(Item(hEntry, IDC_REGUSERSINFO_PORT), Repeat(L"5a0-6 ", 120));
            Type(Item(hEntry, IDC_REGUSERSINFO_IMSDOMAIN), Repeat(L"ims.", 80));
            for (int id :
                 {IDC_REGUSERSINFO_ACCOUNT, IDC_REGUSERSINFO_PASSWORD, IDC_REGUSERSINFO_ADDRESS,
                  IDC_REGUSERSINFO_PORT, IDC_REGUSERSINFO_IMSDOMAIN})
                typed.push_back(Text(hEntry, id));
            okEnabled = Enabled(hEntry, IDOK);
            Click(hEntry, IDOK);
        });
        Click(hList, IDC_REGUSERS_BTN_ADD);
        SetFocus(Item(hList, IDC_REGUSERS_LIST));
        PressKey(Item(hList, IDC_REGUSERS_LIST), VK_ESCAPE);
    });
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_ADVANCED));
    ASSERT_EQ(5u, typed.size());
    EXPECT_EQ(Repeat(L"acc", 50), typed[0]);
    EXPECT_EQ(Repeat(L"pw!", 50), typed[1]);
    EXPECT_EQ(Repeat(L"10.0.", 50), typed[2]);
    EXPECT_EQ(Repeat(L"506", 50), typed[3]) << "digits only";
    EXPECT_EQ(Repeat(L"ims.", 50), typed[4]);
    EXPECT_TRUE(okEnabled);
    ASSERT_EQ(1u, siblings.login.regUsers.size());
    const RegInfo& r = siblings.login.regUsers[0];
    EXPECT_EQ(typed[0], Str(r.account));
    EXPECT_EQ(typed[1], Str(r.password));
    EXPECT_EQ(typed[2], Str(r.address));
    EXPECT_EQ(typed[3], Str(r.port));
    EXPECT_EQ(typed[4], Str(r.imsDomain));
}

TEST_F(Limits, LockDialogEditsStopAtFortyAndTheAccountTakesDigitsOnly) {
    siblings.main.adminPassword = Repeat(L"Ad", 40).c_str();
    siblings.settings.customize = CustomizeSet();
    siblings.settings.customizeNull = false;
    ASSERT_NE(nullptr, CreatePanel());
    std::wstring password, account;
    DialogDriver::OnNextDialog([&](HWND hDlg) {
        SetChecked(hDlg, IDC_LOCK_FIXEDACCOUNT, true);
        Command(hDlg, IDC_LOCK_FIXEDACCOUNT);
        SetText(hDlg, IDC_LOCK_ACCOUNT, L"");
        Type(Item(hDlg, IDC_LOCK_PASSWORD), Repeat(L"Ad", 60));
        Type(Item(hDlg, IDC_LOCK_ACCOUNT), Repeat(L"8a0x1 ", 150));
        password = Text(hDlg, IDC_LOCK_PASSWORD);
        account = Text(hDlg, IDC_LOCK_ACCOUNT);
        Click(hDlg, IDOK);
    });
    SetFocus(AccountEdit(hPanel));
    PressKey(AccountEdit(hPanel), 'P', true);
    EXPECT_EQ(Repeat(L"Ad", 40), password);
    EXPECT_EQ(Repeat(L"801", 40), account);
    // Forty characters of the password match the administrator's forty.
    EXPECT_EQ(1, Calls().Count(L"Main.ApplyCustomizeSet()"));
    EXPECT_EQ(account, Str(siblings.settings.customize.fixedAccount));
    EXPECT_EQ(L"1", Str(siblings.settings.customize.fixedAccountOn));
}

TEST_F(Limits, ServerAddressEditsHaveNoLimitOfTheirOwnAndAreSentAsTyped) {
    ASSERT_NE(nullptr, CreatePanel());
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_ADVANCED));
    HWND hAdvanced = AdvancedPanel(hPanel);
    ASSERT_NE(nullptr, hAdvanced);
    const std::wstring longText = Repeat(L"host-", 300);
    DialogDriver::OnNextDialog([&](HWND hDlg) {
        for (int id : {IDC_MODIFY_DISPLAYNAME, IDC_MODIFY_ADDRESS, IDC_MODIFY_PORT,
                       IDC_MODIFY_BACKUPADDRESS, IDC_MODIFY_BACKUPPORT}) {
            SetText(hDlg, id, L"");
            Type(Item(hDlg, id), longText);
        }
        Click(hDlg, IDOK);
    });
    Calls().Clear();
    ASSERT_TRUE(Click(hAdvanced, IDC_ADVANCED_BTN_SERVERSETTING));
    const std::wstring t = longText;
    EXPECT_TRUE(Calls().Has(L"Settings.SetServer(0," + t + L"," + t + L"," + t + L"," + t + L"," +
                            t + L")"))
        << Join(Calls().Matching(L"Settings.SetServer")).substr(0, 200);
    // The advanced panel lists the changed name at the same place.
    EXPECT_EQ(t, ComboItems(Item(hAdvanced, IDC_ADVANCED_SERVER))[0]);
    EXPECT_EQ(0, ComboSel(Item(hAdvanced, IDC_ADVANCED_SERVER)));
}

} // namespace
