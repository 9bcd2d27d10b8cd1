// Registration results the panel did not ask for: unknown codes, results
// delivered twice, results before any login; and input the user did not
// confirm, which must never be stored.
#include "BadInputFixture.h"

#include <climits>
#include <functional>

namespace {

class Results : public BadInput {
protected:
    void SetUp() override {
        BadInput::SetUp();
        if (IsSkipped())
            return;
        ASSERT_NE(nullptr, CreatePanel());
        Calls().Clear();
    }

    void StartLogin(const wchar_t* account) {
        SetText(hPanel, IDC_LOGIN_ACCOUNT, account);
        SetText(hPanel, IDC_LOGIN_PASSWORD, L"pw");
        ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGIN));
        ASSERT_EQ(2, PictureState(hPanel));
    }

    void LogIn(const wchar_t* account) {
        StartLogin(account);
        Panel()->OnRegResponse(0);
        Pump();
        siblings.main.registered = 1;
        ASSERT_EQ(0, PictureState(hPanel));
    }
};

TEST_F(Results, UnknownCodesLogOutWithoutAMessageAndStoreNothing) {
    for (int code :
         {-1, 1, 2, 200, 401, 402, 405, 407, 409, 480, 500, 503, 603, INT_MIN, INT_MAX}) {
        StartLogin(L"carol");
        Calls().Clear();
        MessageBoxes::Clear();
        Panel()->OnRegResponse(code);
        Pump();
        EXPECT_EQ(1, PictureState(hPanel)) << code;
        EXPECT_EQ(kLoggedOut, Status()) << code;
        EXPECT_TRUE(MessageBoxes::Seen().empty()) << code;
        EXPECT_EQ(std::vector<std::wstring>{L"Main.SetStatusText(Kite:IDS_UC_NOT_LOG)"},
                  Calls().Matching(L"Main.SetStatusText"))
            << code;
        EXPECT_TRUE(Stores().empty()) << code << Join(Stores());
        EXPECT_EQ(0, Calls().Count(L"Main.SetLoginState")) << code;
        EXPECT_EQ(0, Calls().Count(L"CallRecord.OpenAccountDatabase")) << code;
        EXPECT_EQ(L"alice", Text(hPanel, IDC_LOGIN_ACCOUNT)) << "refilled, code " << code;
    }
}

TEST_F(Results, DeregistrationWithUnknownCodesIsIgnoredEntirely) {
    LogIn(L"carol");
    for (int code : {-1, 1, 403, 404, 408, 500, INT_MIN, INT_MAX}) {
        Calls().Clear();
        Panel()->OnDeRegResponse(code);
        Pump();
        EXPECT_TRUE(Calls().Entries().empty()) << code << Join(Calls().Entries());
        EXPECT_EQ(0, PictureState(hPanel)) << code;
        EXPECT_TRUE(Visible(hPanel, IDC_LOGIN_BTN_LOGOUT)) << code;
    }
}

TEST_F(Results, ASuccessDeliveredTwiceBeforeTheHostKnowsRepeatsTheSameSteps) {
    StartLogin(L"carol");
    Calls().Clear();
    Panel()->OnRegResponse(0);
    Pump();
    const std::vector<std::wstring> first = Calls().Entries();
    Calls().Clear();
    Panel()->OnRegResponse(0); // the main window still answers "not registered"
    Pump();
    EXPECT_EQ(first, Calls().Entries());
    EXPECT_EQ(0, PictureState(hPanel));

    // Once the host knows, a third success changes nothing at all.
    siblings.main.registered = 1;
    Calls().Clear();
    Panel()->OnRegResponse(0);
    Pump();
    EXPECT_EQ(std::vector<std::wstring>{L"Main.IsRegistered()"}, Calls().Entries());
}

TEST_F(Results, FailuresDeliveredTwiceAnswerTwiceAndStayLoggedOut) {
    StartLogin(L"carol");
    MessageBoxes::Clear();
    Calls().Clear();
    for (int code : {404, 404, 408, 403})
        Panel()->OnRegResponse(code);
    Pump();
    ASSERT_EQ(4u, MessageBoxes::Seen().size());
    EXPECT_EQ(L"Kite:IDS_REGERROR_404", MessageBoxes::Seen()[0].text);
    EXPECT_EQ(L"Kite:IDS_REGERROR_404", MessageBoxes::Seen()[1].text);
    EXPECT_EQ(L"Kite:IDS_REGERROR_403", MessageBoxes::Seen()[2].text);
    EXPECT_EQ(L"Kite:IDS_REGERROR_403", MessageBoxes::Seen()[3].text);
    EXPECT_EQ(1, PictureState(hPanel));
    EXPECT_TRUE(Stores().empty()) << Join(Stores());
}

TEST_F(Results, ADeregistrationDeliveredTwiceRepeatsTheSameCalls) {
    LogIn(L"carol");
    MessageBoxes::Answer(IDOK);
    Calls().Clear();
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGOUT));
    siblings.main.registered = 0;
    Calls().Clear();
    Panel()->OnDeRegResponse(0);
    Pump();
    const std::vector<std::wstring> first = Calls().Entries();
    Calls().Clear();
    Panel()->OnDeRegResponse(0);
    Pump();
    EXPECT_EQ(first, Calls().Entries());
    EXPECT_EQ(1, PictureState(hPanel));
}

TEST_F(Results, ResultsBeforeAnyLoginMoveThePanelForTheBlankAccount) {
    // A success nobody asked for: the panel shows logged in for the blank
    // current account and stores what the panel holds, no password.
    Panel()->OnRegResponse(0);
    Pump();
    EXPECT_EQ(0, PictureState(hPanel));
    EXPECT_TRUE(Calls().Has(L"Main.SetCurrentAccount()"));
    EXPECT_TRUE(Calls().Has(L"CallRecord.OpenAccountDatabase()"));
    const std::vector<std::wstring> stored = {
        L"Settings.SetAutoLogin(0)", L"Settings.SetSavedPassword()",
        L"Settings.SaveLoginRecord(,,0)", L"Settings.SetLoginServerIndex(0)"};
    EXPECT_EQ(stored, Stores());

    // A failure nobody asked for: logged out with its message.
    siblings.main.registered = 1;
    Calls().Clear();
    MessageBoxes::Clear();
    Panel()->OnRegResponse(404);
    Pump();
    EXPECT_EQ(1, PictureState(hPanel));
    ASSERT_EQ(1u, MessageBoxes::Seen().size());
    EXPECT_TRUE(Stores().empty()) << Join(Stores());
}

TEST_F(Results, ADeregistrationBeforeAnyLoginOnlyResetsTheLoggedOutState) {
    Panel()->OnDeRegResponse(0);
    Pump();
    EXPECT_EQ(1, PictureState(hPanel));
    const std::vector<std::wstring> stored = {L"Settings.SetAutoLogin(0)",
                                              L"Settings.SetSavedPassword()"};
    EXPECT_EQ(stored, Stores());
    EXPECT_TRUE(Calls().Has(L"Main.NotifyDeregistered()"));
    EXPECT_EQ(0, Calls().Count(L"Settings.Delete"));
    EXPECT_TRUE(MessageBoxes::Seen().empty());
    EXPECT_EQ(L"alice", Text(hPanel, IDC_LOGIN_ACCOUNT));
}

TEST_F(Results, ResultsInQuickSuccessionLeaveThePanelAsTheLastOneSays) {
    StartLogin(L"carol");
    Panel()->OnRegResponse(0);
    Panel()->OnRegResponse(500);
    Panel()->OnDeRegResponse(0);
    Panel()->OnRegResponse(0);
    Pump();
    // The last success leaves the panel logged in for the last account.
    EXPECT_EQ(0, PictureState(hPanel));
    EXPECT_EQ(L"", Str(siblings.main.currentAccount)) << "de-registration emptied the account";
    EXPECT_EQ(1, siblings.main.loginState);
}

// ---------------------------------------------------------------------------
// What the user did not confirm is not stored

using Unconfirmed = BadInput;

TEST_F(Unconfirmed, TypingAndSwitchingLanguagesStoresNothing) {
    ASSERT_NE(nullptr, CreatePanel());
    Calls().Clear();
    Type(AccountEdit(hPanel), L"zed");
    Type(Item(hPanel, IDC_LOGIN_PASSWORD), L"secret");
    SetChecked(hPanel, IDC_LOGIN_AUTOLOGIN, true);
    Command(hPanel, IDC_LOGIN_AUTOLOGIN);
    Panel()->OnChangeLanguage();
    Panel()->OnCustomizeSet();
    Panel()->InitFocus();
    Panel()->UpdateUnsettledMsg(0);
    Panel()->CloseKeyBoardDlg();
    PressKey(AccountEdit(hPanel), VK_ESCAPE);
    Pump();
    EXPECT_TRUE(Stores().empty()) << Join(Stores());
    EXPECT_EQ(0, Calls().Count(L"Login."));
}

TEST_F(Unconfirmed, ACancelledLogoutStoresNothingWhateverTheCheckBox) {
    ASSERT_NE(nullptr, CreatePanel());
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"carol");
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGIN));
    Panel()->OnRegResponse(0);
    Pump();
    siblings.main.registered = 1;
    for (int check : {0, 1}) {
        Calls().Clear();
        MessageBoxes::Clear();
        MessageBoxes::Answer(IDCANCEL, check);
        ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGOUT));
        ASSERT_EQ(1u, MessageBoxes::Seen().size());
        EXPECT_TRUE(Stores().empty()) << check << Join(Stores());
        EXPECT_EQ(0, Calls().Count(L"Main.NotifyLogout")) << check;
        EXPECT_EQ(0, Calls().Count(L"Login.StopLogin")) << check;
        EXPECT_EQ(0, PictureState(hPanel)) << check;
    }
}

TEST_F(Unconfirmed, TheLockDialogStoresOnlyAfterTheRightPassword) {
    siblings.main.adminPassword = L"Adm1n";
    siblings.settings.customize = CustomizeSet();
    siblings.settings.customizeNull = false;
    ASSERT_NE(nullptr, CreatePanel());
    auto open = [&](const std::function<void(HWND)>& action) {
        Calls().Clear();
        MessageBoxes::Clear();
        DialogDriver::OnNextDialog(action);
        SetFocus(AccountEdit(hPanel));
        PressKey(AccountEdit(hPanel), 'P', true);
        EXPECT_EQ(0, DialogDriver::Pending());
    };
    // Wrong password (letter case), then cancelled: an error box, nothing stored.
    bool stillOpen = false;
    open([&](HWND hDlg) {
        SetChecked(hDlg, IDC_LOCK_REFUSE_LOGOUT, true);
        SetText(hDlg, IDC_LOCK_PASSWORD, L"adm1n");
        Click(hDlg, IDOK);
        stillOpen = IsWindow(hDlg) != FALSE;
        Click(hDlg, IDCANCEL);
    });
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(1u, MessageBoxes::Seen().size());
    EXPECT_EQ(L"PhoneBook:IDS_ADDRBOOK_NETCODE_PWD", MessageBoxes::Seen()[0].text);
    EXPECT_TRUE(Stores().empty()) << Join(Stores());
    EXPECT_EQ(0, Calls().Count(L"Main.ApplyCustomizeSet"));

    // Right password, but the fixed account switched on with no account.
    open([&](HWND hDlg) {
        SetChecked(hDlg, IDC_LOCK_FIXEDACCOUNT, true);
        Command(hDlg, IDC_LOCK_FIXEDACCOUNT);
        SetText(hDlg, IDC_LOCK_ACCOUNT, L"");
        SetText(hDlg, IDC_LOCK_PASSWORD, L"Adm1n");
        Click(hDlg, IDOK);
        Click(hDlg, IDCANCEL);
    });
    ASSERT_EQ(1u, MessageBoxes::Seen().size());
    EXPECT_EQ(L"Login:IDS_LOG_LOCKACCOUNT_ACCOUNTNULL", MessageBoxes::Seen()[0].text);
    EXPECT_TRUE(Stores().empty()) << Join(Stores());

    // Without a stored record OK does nothing: Cancel is the only way out.
    siblings.settings.customizeNull = true;
    open([&](HWND hDlg) {
        SetText(hDlg, IDC_LOCK_PASSWORD, L"Adm1n");
        Click(hDlg, IDOK);
        stillOpen = IsWindow(hDlg) != FALSE;
        Click(hDlg, IDCANCEL);
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(MessageBoxes::Seen().empty());
    EXPECT_TRUE(Stores().empty()) << Join(Stores());
    EXPECT_EQ(0, Calls().Count(L"Main.ApplyCustomizeSet"));
}

TEST_F(Unconfirmed, CancelledEntriesAndServersAreNotStored) {
    ASSERT_NE(nullptr, CreatePanel());
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_ADVANCED));
    HWND hAdvanced = AdvancedPanel(hPanel);
    ASSERT_NE(nullptr, hAdvanced);
    Calls().Clear();
    DialogDriver::OnNextDialog([&](HWND hDlg) {
        SetText(hDlg, IDC_MODIFY_ADDRESS, L"evil.example");
        SetText(hDlg, IDC_MODIFY_PORT, L"not a port");
        Click(hDlg, IDCANCEL);
    });
    ASSERT_TRUE(Click(hAdvanced, IDC_ADVANCED_BTN_SERVERSETTING));
    EXPECT_EQ(0, DialogDriver::Pending());
    EXPECT_TRUE(Stores().empty()) << Join(Stores());
    EXPECT_EQ(L"10.0.0.1", Str(siblings.settings.servers[0].address));
}

TEST_F(Unconfirmed, RegistrationEntriesCancelledOrBlankAreNotStored) {
    siblings.login.multiUser = 1;
    RegInfo alice;
    alice.account = L"alice";
    alice.address = L"10.0.0.1";
    alice.port = L"5060";
    siblings.login.regUsers = {alice};
    ASSERT_NE(nullptr, CreatePanel());
    Calls().Clear();
    bool blankRefused = false;
    DialogDriver::OnNextDialog([&](HWND hList) {
        // Typed, then cancelled.
        DialogDriver::OnNextDialog([&](HWND hEntry) {
            SetText(hEntry, IDC_REGUSERSINFO_ACCOUNT, L"mallory");
            SetText(hEntry, IDC_REGUSERSINFO_ADDRESS, L"10.6.6.6");
            SetText(hEntry, IDC_REGUSERSINFO_PORT, L"666");
            Click(hEntry, IDCANCEL);
        });
        Click(hList, IDC_REGUSERS_BTN_ADD);
        // Blanks only: refused, then cancelled.
        DialogDriver::OnNextDialog([&](HWND hEntry) {
            SetText(hEntry, IDC_REGUSERSINFO_ACCOUNT, L"   ");
            SetText(hEntry, IDC_REGUSERSINFO_ADDRESS, L"  ");
            SetText(hEntry, IDC_REGUSERSINFO_PORT, L"1");
            Click(hEntry, IDOK);
            blankRefused = IsWindow(hEntry) && Text(hEntry, IDC_REGUSERSINFO_ACCOUNT).empty();
            Click(hEntry, IDCANCEL);
        });
        Click(hList, IDC_REGUSERS_BTN_ADD);
        // Clear, answered with Cancel.
        MessageBoxes::Answer(IDCANCEL);
        Click(hList, IDC_REGUSERS_BTN_CLEAR);
        // Closed with Enter: no save request.
        SetFocus(Item(hList, IDC_REGUSERS_LIST));
        PressKey(Item(hList, IDC_REGUSERS_LIST), VK_RETURN);
    });
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_ADVANCED));
    EXPECT_EQ(0, DialogDriver::Pending());
    EXPECT_TRUE(blankRefused);
    ASSERT_EQ(1u, siblings.login.regUsers.size());
    EXPECT_EQ(L"alice", Str(siblings.login.regUsers[0].account));
    EXPECT_TRUE(Stores().empty()) << Join(Stores());
}

} // namespace
