// The account lock dialog as an administrator meets it: Ctrl+P on the login
// panel of the real plug-in opens it; what it shows, what it refuses and
// what it hands to the settings sibling.
#include "PanelTest.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>

namespace {

// ---------------------------------------------------------------------------
// Steps that must run after the dialog's own loop had its turn: a message
// posted twice through the queue is dispatched by the dialog's loop first,
// and that loop checks whether the dialog ended before it takes the next.

const UINT WM_RUN_LATER = WM_APP + 41;
std::deque<std::function<void()>>& LaterQueue() {
    static std::deque<std::function<void()>> q;
    return q;
}

LRESULT CALLBACK LaterProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_RUN_LATER && !LaterQueue().empty()) {
        std::function<void()> fn = std::move(LaterQueue().front());
        LaterQueue().pop_front();
        fn();
        return 0;
    }
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}

HWND LaterWindow() {
    static HWND hWnd = nullptr;
    if (!hWnd) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &LaterProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"SignDeskLockTestLater";
        RegisterClassW(&wc);
        hWnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               wc.hInstance, nullptr);
    }
    return hWnd;
}

void Later(std::function<void()> fn) {
    LaterQueue().push_back(std::move(fn));
    PostMessageW(LaterWindow(), WM_RUN_LATER, 0, 0);
}

// Presses OK and tells next whether the dialog was still running after it.
void PressOk(HWND hDlg, std::function<void(bool stillOpen)> next) {
    Click(hDlg, IDOK);
    Later([hDlg, next] { Later([hDlg, next] { next(IsWindow(hDlg) != FALSE); }); });
}

// ---------------------------------------------------------------------------

struct CheckBox {
    int id;
    CString CustomizeSet::*field;
    const wchar_t* key; // caption key, section "Login"
};

const CheckBox kBoxes[] = {
    {IDC_LOCK_FIXEDACCOUNT, &CustomizeSet::fixedAccountOn, L"IDS_LOG_LOCKACCOUNT_ACCOUNT"},
    {IDC_LOCK_DISABLE_SYSTEMSETTINGS, &CustomizeSet::disableSystemSettings,
     L"IDS_LOG_LOCKACCOUNT_DISABLE"},
    {IDC_LOCK_HIDE_CALLPAGE, &CustomizeSet::hideCallPage, L"IDS_LOG_LOCKACCOUNT_HIDE_CALL_PAGE"},
    {IDC_LOCK_HIDE_REMOVINGUSERINFO, &CustomizeSet::hideRemovingUserInfo,
     L"IDS_LOG_LOCKACCOUNT_HIDE_REMOVING_USER_INFO"},
    {IDC_LOCK_REFUSE_LOGOUT, &CustomizeSet::refuseLogout, L"IDS_LOG_LOCKACCOUNT_REFUSE_LOGOUT"},
    {IDC_LOCK_REFUSE_EXIT, &CustomizeSet::refuseExit, L"IDS_LOG_LOCKACCOUNT_REFUSE_EXIT"},
    {IDC_LOCK_DISABLE_CALLRECORDCHANGE, &CustomizeSet::disableCallRecordChange,
     L"IDS_LOG_LOCKACCOUNT_DISABLE_MODIFICATION_ON_CALL_RECORD"},
    {IDC_LOCK_DISABLE_VOLUMECHANGE, &CustomizeSet::disableVolumeChange,
     L"IDS_LOG_LOCKACCOUNT_DISABLE_MODIFICATION_ON_VOLUME"},
    {IDC_LOCK_REFUSE_AUTOLOGIN, &CustomizeSet::refuseAutoLogin,
     L"IDS_LOG_LOCKACCOUNT_REFUSE_AUTO_LOGIN"},
    {IDC_LOCK_DISABLE_VOLUMECONTROL, &CustomizeSet::disableVolumeControl,
     L"IDS_LOG_LOCKACCOUNT_DISABLE_MODIFICATION_ON_VOLUMECONTROL"},
};

CustomizeSet AllFlags(const wchar_t* value) {
    CustomizeSet set;
    for (const CheckBox& box : kBoxes)
        set.*box.field = value;
    return set;
}

std::wstring Lang(const wchar_t* section, const wchar_t* key) {
    return std::wstring(section) + L":" + key;
}

HWND AccountEdit(HWND hPanel) {
    HWND hCombo = Item(hPanel, IDC_LOGIN_ACCOUNT);
    HWND hEdit = FindWindowExW(hCombo, nullptr, L"Edit", nullptr);
    return hEdit ? hEdit : hCombo;
}

class LockDialog : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        siblings.settings.servers.clear();
        siblings.main.adminPassword = L"Adm1n";
        siblings.settings.accounts = {L"8001", L"8002"};
        siblings.settings.customize = AllFlags(L"0");
        siblings.settings.customizeNull = false;
    }
    HWND Panel() {
        if (!hPanel)
            hPanel = host.CreatePanel();
        return hPanel;
    }

    // Ctrl+P in the account box, with action run in the dialog that opens.
    void OpenLock(std::function<void(HWND)> action) {
        ASSERT_NE(nullptr, Panel());
        size_t before = DialogDriver::Opened().size();
        Calls().Clear();
        DialogDriver::OnNextDialog(std::move(action));
        SetFocus(AccountEdit(hPanel));
        PressKey(AccountEdit(hPanel), 'P', true);
        Pump();
        EXPECT_EQ(0, DialogDriver::Pending()) << "the lock dialog did not open";
        EXPECT_EQ(before + 1, DialogDriver::Opened().size());
    }

    std::vector<std::wstring> Stored() { return Calls().Matching(L"Settings.SetCustomizeSet("); }
    int Applied() { return Calls().Count(L"Main.ApplyCustomizeSet()"); }
};

TEST_F(LockDialog, OpensWithTheLanguageTextsAndThePanelsAccount) {
    std::map<int, std::wstring> texts;
    std::wstring caption, account;
    bool accountEnabled = true, passwordEmpty = false;
    OpenLock([&](HWND hDlg) {
        caption = Text(hDlg);
        for (int id : {IDC_LOCK_LBL_PASSWORD, IDC_LOCK_LBL_ACCOUNT, IDOK, IDCANCEL})
            texts[id] = Text(hDlg, id);
        for (const CheckBox& box : kBoxes)
            texts[box.id] = Text(hDlg, box.id);
        account = Text(hDlg, IDC_LOCK_ACCOUNT);
        accountEnabled = Enabled(hDlg, IDC_LOCK_ACCOUNT);
        passwordEmpty = Text(hDlg, IDC_LOCK_PASSWORD).empty();
        Click(hDlg, IDCANCEL);
    });
    EXPECT_EQ(Lang(L"Login", L"IDS_LOG_LOCKACCOUNT"), caption);
    EXPECT_EQ(Lang(L"Login", L"IDS_LOG_LOCKACCOUNT_PSW"), texts[IDC_LOCK_LBL_PASSWORD]);
    EXPECT_EQ(Lang(L"Login", L"IDS_LOG_LOCKACCOUNT_ACCOUNT"), texts[IDC_LOCK_LBL_ACCOUNT]);
    for (const CheckBox& box : kBoxes)
        EXPECT_EQ(Lang(L"Login", box.key), texts[box.id]) << box.id;
    EXPECT_EQ(Lang(L"global", L"IDS_BUTTON_OK"), texts[IDOK]);
    EXPECT_EQ(Lang(L"global", L"IDS_BUTTON_CANCEL"), texts[IDCANCEL]);
    EXPECT_EQ(L"8001", account) << "the account the panel's box shows";
    EXPECT_FALSE(accountEnabled) << "the account is not fixed";
    EXPECT_TRUE(passwordEmpty);
}

TEST_F(LockDialog, FixedAccountOnShowsThePanelsAccountNotTheStoredOneInAnEnabledEdit) {
    // The record appears after the panel applied the configuration, as when
    // another plug-in stores it: the box still shows the panel's account.
    siblings.settings.customizeNull = true;
    ASSERT_NE(nullptr, Panel());
    siblings.settings.customize.fixedAccount = L"9999";
    siblings.settings.customize.fixedAccountOn = L"1";
    siblings.settings.customizeNull = false;
    ASSERT_EQ(L"8001", Text(hPanel, IDC_LOGIN_ACCOUNT));

    std::wstring account;
    bool enabled = false, checked = false;
    OpenLock([&](HWND hDlg) {
        account = Text(hDlg, IDC_LOCK_ACCOUNT);
        enabled = Enabled(hDlg, IDC_LOCK_ACCOUNT);
        checked = Checked(hDlg, IDC_LOCK_FIXEDACCOUNT);
        Click(hDlg, IDCANCEL);
    });
    EXPECT_EQ(L"8001", account);
    EXPECT_TRUE(enabled);
    EXPECT_TRUE(checked);
}

TEST_F(LockDialog, UncheckingTheFixedAccountDisablesTheEditAtOnceAndStoresNoAccount) {
    siblings.settings.customize.fixedAccount = L"8001";
    siblings.settings.customize.fixedAccountOn = L"1";
    bool enabledBefore = false, enabledAfter = true, enabledAgain = false, stillOpen = true;
    std::wstring shown;
    OpenLock([&](HWND hDlg) {
        enabledBefore = Enabled(hDlg, IDC_LOCK_ACCOUNT);
        Click(hDlg, IDC_LOCK_FIXEDACCOUNT);
        enabledAfter = Enabled(hDlg, IDC_LOCK_ACCOUNT);
        Click(hDlg, IDC_LOCK_FIXEDACCOUNT);
        enabledAgain = Enabled(hDlg, IDC_LOCK_ACCOUNT);
        Click(hDlg, IDC_LOCK_FIXEDACCOUNT);
        shown = Text(hDlg, IDC_LOCK_ACCOUNT);
        SetText(hDlg, IDC_LOCK_PASSWORD, L"Adm1n");
        PressOk(hDlg, [&, hDlg](bool open) {
            stillOpen = open;
            if (open)
                Click(hDlg, IDCANCEL);
        });
    });
    EXPECT_TRUE(enabledBefore);
    EXPECT_FALSE(enabledAfter) << "disabled by the click itself";
    EXPECT_TRUE(enabledAgain);
    EXPECT_EQ(L"8001", shown) << "the edit keeps its text";
    EXPECT_FALSE(stillOpen);
    ASSERT_EQ(1u, Stored().size());
    EXPECT_EQ(L"", Str(siblings.settings.customize.fixedAccount));
    EXPECT_EQ(L"0", Str(siblings.settings.customize.fixedAccountOn));
    EXPECT_EQ(1, Applied());
    EXPECT_GT(Calls().IndexOf(L"Main.ApplyCustomizeSet()"), Calls().IndexOf(Stored()[0]));
}

TEST_F(LockDialog, EachCheckBoxShowsAndStoresItsOwnField) {
    for (const CheckBox& on : kBoxes) {
        SCOPED_TRACE(on.id);
        CustomizeSet set = AllFlags(L"0");
        set.*on.field = L"1";
        if (on.id == IDC_LOCK_FIXEDACCOUNT)
            set.fixedAccount = L"8001";
        siblings.settings.customize = set;
        std::map<int, bool> shown;
        OpenLock([&](HWND hDlg) {
            for (const CheckBox& box : kBoxes)
                shown[box.id] = Checked(hDlg, box.id);
            SetText(hDlg, IDC_LOCK_PASSWORD, L"Adm1n");
            Click(hDlg, IDOK);
        });
        for (const CheckBox& box : kBoxes)
            EXPECT_EQ(box.id == on.id, shown[box.id]) << "box " << box.id;
        ASSERT_EQ(1u, Stored().size());
        const CustomizeSet& saved = siblings.settings.customize;
        for (const CheckBox& box : kBoxes)
            EXPECT_EQ(box.id == on.id ? L"1" : L"0", Str(saved.*box.field)) << "box " << box.id;
        EXPECT_EQ(on.id == IDC_LOCK_FIXEDACCOUNT ? L"8001" : L"", Str(saved.fixedAccount));
        EXPECT_EQ(L"", Str(saved.field0));
        EXPECT_EQ(1, Applied());
    }
}

TEST_F(LockDialog, FlagsOtherThanExactlyOneShowUncheckedAndAreStoredBackAsZero) {
    const wchar_t* odd[] = {L" 1", L"yes", L"1 ", L"11", L"", L"true", L"on", L"Y", L"01", L"I"};
    CustomizeSet set;
    int i = 0;
    for (const CheckBox& box : kBoxes)
        set.*box.field = odd[i++];
    set.field0 = L"kept by the store";
    set.fixedAccount = L"5555";
    siblings.settings.customize = set;

    std::map<int, bool> shown;
    bool accountEnabled = true;
    OpenLock([&](HWND hDlg) {
        for (const CheckBox& box : kBoxes)
            shown[box.id] = Checked(hDlg, box.id);
        accountEnabled = Enabled(hDlg, IDC_LOCK_ACCOUNT);
        SetText(hDlg, IDC_LOCK_PASSWORD, L"Adm1n");
        Click(hDlg, IDOK);
    });
    for (const CheckBox& box : kBoxes)
        EXPECT_FALSE(shown[box.id]) << "box " << box.id;
    EXPECT_FALSE(accountEnabled);
    ASSERT_EQ(1u, Stored().size());
    const CustomizeSet& saved = siblings.settings.customize;
    for (const CheckBox& box : kBoxes)
        EXPECT_EQ(L"0", Str(saved.*box.field)) << "box " << box.id;
    EXPECT_EQ(L"", Str(saved.field0)) << "a fresh record";
    EXPECT_EQ(L"", Str(saved.fixedAccount));
}

TEST_F(LockDialog, AnEmptyPasswordIsAcceptedOnlyWhenTheAdministratorHasNone) {
    bool stillOpen = false;
    OpenLock([&](HWND hDlg) {
        PressOk(hDlg, [&, hDlg](bool open) {
            stillOpen = open;
            if (open)
                Click(hDlg, IDCANCEL);
        });
    });
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(1u, MessageBoxes::Seen().size());
    EXPECT_EQ(16u, MessageBoxes::Seen()[0].type);
    EXPECT_TRUE(Stored().empty());
    EXPECT_EQ(0, Applied());

    MessageBoxes::Clear();
    siblings.main.adminPassword = L"";
    OpenLock([&](HWND hDlg) {
        PressOk(hDlg, [&, hDlg](bool open) {
            stillOpen = open;
            if (open)
                Click(hDlg, IDCANCEL);
        });
    });
    EXPECT_FALSE(stillOpen);
    EXPECT_TRUE(MessageBoxes::Seen().empty());
    EXPECT_EQ(1u, Stored().size());
    EXPECT_EQ(1, Applied());
}

TEST_F(LockDialog, APasswordDifferingOnlyInCaseIsRefusedWithTheErrorBoxAndMayBeRetried) {
    bool openAfterWrong = false, openAfterRight = true;
    size_t storedAfterWrong = 99;
    HWND hLock = nullptr;
    OpenLock([&](HWND hDlg) {
        hLock = hDlg;
        SetText(hDlg, IDC_LOCK_PASSWORD, L"adm1n");
        PressOk(hDlg, [&, hDlg](bool open) {
            openAfterWrong = open;
            storedAfterWrong = Stored().size();
            if (!open)
                return;
            SetText(hDlg, IDC_LOCK_PASSWORD, L"Adm1n");
            PressOk(hDlg, [&, hDlg](bool openAgain) {
                openAfterRight = openAgain;
                if (openAgain)
                    Click(hDlg, IDCANCEL);
            });
        });
    });
    EXPECT_TRUE(openAfterWrong);
    EXPECT_EQ(0u, storedAfterWrong);
    ASSERT_EQ(1u, MessageBoxes::Seen().size());
    const MessageBoxRecord& box = MessageBoxes::Seen()[0];
    EXPECT_EQ(16u, box.type);
    EXPECT_EQ(hLock, box.owner);
    EXPECT_EQ(Lang(L"PhoneBook", L"IDS_ADDRBOOK_NETCODE_PWD"), box.text);
    EXPECT_EQ(Lang(L"global", L"IDS_INFO_ERROR"), box.caption);
    EXPECT_FALSE(openAfterRight);
    EXPECT_EQ(1u, Stored().size());
    EXPECT_EQ(1, Applied());
    EXPECT_EQ(2, Calls().Count(L"Main.GetAdminPassword()"));
}

TEST_F(LockDialog, AFixedAccountLeftEmptyIsRefusedWithTheInformationBox) {
    bool stillOpen = false;
    HWND hLock = nullptr;
    OpenLock([&](HWND hDlg) {
        hLock = hDlg;
        Click(hDlg, IDC_LOCK_FIXEDACCOUNT);
        SetText(hDlg, IDC_LOCK_ACCOUNT, L"");
        SetText(hDlg, IDC_LOCK_PASSWORD, L"Adm1n");
        PressOk(hDlg, [&, hDlg](bool open) {
            stillOpen = open;
            if (open)
                Click(hDlg, IDCANCEL);
        });
    });
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(1u, MessageBoxes::Seen().size());
    const MessageBoxRecord& box = MessageBoxes::Seen()[0];
    EXPECT_EQ(64u, box.type);
    EXPECT_EQ(hLock, box.owner);
    EXPECT_EQ(Lang(L"Login", L"IDS_LOG_LOCKACCOUNT_ACCOUNTNULL"), box.text);
    EXPECT_EQ(Lang(L"global", L"IDS_INFO_QUESTION"), box.caption);
    EXPECT_TRUE(Stored().empty());
    EXPECT_EQ(0, Applied());
}

TEST_F(LockDialog, AFixedAccountIsStoredWithTheEditsText) {
    OpenLock([&](HWND hDlg) {
        Click(hDlg, IDC_LOCK_FIXEDACCOUNT);
        SetText(hDlg, IDC_LOCK_ACCOUNT, L"6006");
        SetText(hDlg, IDC_LOCK_PASSWORD, L"Adm1n");
        Click(hDlg, IDOK);
    });
    ASSERT_EQ(1u, Stored().size());
    EXPECT_EQ(L"6006", Str(siblings.settings.customize.fixedAccount));
    EXPECT_EQ(L"1", Str(siblings.settings.customize.fixedAccountOn));
    EXPECT_TRUE(MessageBoxes::Seen().empty());
}

TEST_F(LockDialog, CancelAndTheCloseBoxStoreNothing) {
    OpenLock([&](HWND hDlg) {
        Click(hDlg, IDC_LOCK_REFUSE_EXIT);
        SetText(hDlg, IDC_LOCK_PASSWORD, L"Adm1n");
        Click(hDlg, IDCANCEL);
    });
    OpenLock([&](HWND hDlg) {
        Click(hDlg, IDC_LOCK_REFUSE_EXIT);
        SetText(hDlg, IDC_LOCK_PASSWORD, L"Adm1n");
        PostMessageW(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_TRUE(Stored().empty());
    EXPECT_EQ(0, Applied());
    EXPECT_EQ(0, Calls().Count(L"Main.GetAdminPassword()"));
    EXPECT_EQ(L"0", Str(siblings.settings.customize.refuseExit));
}

TEST_F(LockDialog, EditsTakeFortyCharactersTheAccountDigitsOnlyThePasswordMasked) {
    std::wstring account, password;
    LRESULT accountLimit = 0, passwordLimit = 0, passwordChar = 0;
    LONG passwordStyle = 0, accountStyle = 0;
    OpenLock([&](HWND hDlg) {
        HWND hAccount = Item(hDlg, IDC_LOCK_ACCOUNT);
        HWND hPassword = Item(hDlg, IDC_LOCK_PASSWORD);
        accountLimit = SendMessageW(hAccount, EM_GETLIMITTEXT, 0, 0);
        passwordLimit = SendMessageW(hPassword, EM_GETLIMITTEXT, 0, 0);
        passwordChar = SendMessageW(hPassword, EM_GETPASSWORDCHAR, 0, 0);
        passwordStyle = GetWindowLongW(hPassword, GWL_STYLE);
        accountStyle = GetWindowLongW(hAccount, GWL_STYLE);
        SetText(hDlg, IDC_LOCK_ACCOUNT, L"");
        Type(hAccount, L"12ab-3.4 x5");
        Type(hAccount, std::wstring(50, L'7'));
        account = Text(hAccount);
        Type(hPassword, std::wstring(45, L'p'));
        password = Text(hPassword);
        Click(hDlg, IDCANCEL);
    });
    EXPECT_EQ(40, accountLimit);
    EXPECT_EQ(40, passwordLimit);
    EXPECT_NE(0, passwordChar) << "typed characters are shown masked";
    EXPECT_TRUE(passwordStyle & ES_PASSWORD);
    EXPECT_TRUE(accountStyle & ES_NUMBER);
    EXPECT_EQ(L"12345" + std::wstring(35, L'7'), account);
    EXPECT_EQ(std::wstring(40, L'p'), password);
}

TEST_F(LockDialog, WithoutTheSettingsSiblingNothingIsLoadedAndOkDoesNothing) {
    siblings.settings.customize = AllFlags(L"1");
    siblings.settings.customize.fixedAccount = L"8001";
    ASSERT_NE(nullptr, Panel());
    siblings.Remove(&siblings.settings);
    std::map<int, bool> shown;
    std::wstring account;
    bool enabled = false, stillOpen = false;
    OpenLock([&](HWND hDlg) {
        for (const CheckBox& box : kBoxes)
            shown[box.id] = Checked(hDlg, box.id);
        account = Text(hDlg, IDC_LOCK_ACCOUNT);
        enabled = Enabled(hDlg, IDC_LOCK_ACCOUNT);
        SetText(hDlg, IDC_LOCK_PASSWORD, L"Adm1n");
        PressOk(hDlg, [&, hDlg](bool open) {
            stillOpen = open;
            if (open)
                Click(hDlg, IDCANCEL);
        });
    });
    for (const CheckBox& box : kBoxes)
        EXPECT_FALSE(shown[box.id]) << "box " << box.id;
    EXPECT_EQ(L"", account);
    EXPECT_TRUE(enabled);
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(MessageBoxes::Seen().empty());
    EXPECT_EQ(0, Calls().Count(L"Main.GetAdminPassword()"));
    EXPECT_EQ(0, Applied());
}

TEST_F(LockDialog, WithoutAStoredRecordNothingIsLoadedAndOkDoesNothing) {
    siblings.settings.customizeNull = true;
    std::map<int, bool> shown;
    std::wstring account;
    bool enabled = false, stillOpen = false;
    OpenLock([&](HWND hDlg) {
        for (const CheckBox& box : kBoxes)
            shown[box.id] = Checked(hDlg, box.id);
        account = Text(hDlg, IDC_LOCK_ACCOUNT);
        enabled = Enabled(hDlg, IDC_LOCK_ACCOUNT);
        Click(hDlg, IDC_LOCK_HIDE_CALLPAGE);
        SetText(hDlg, IDC_LOCK_PASSWORD, L"Adm1n");
        PressOk(hDlg, [&, hDlg](bool open) {
            stillOpen = open;
            if (open)
                Click(hDlg, IDCANCEL);
        });
    });
    for (const CheckBox& box : kBoxes)
        EXPECT_FALSE(shown[box.id]) << "box " << box.id;
    EXPECT_EQ(L"", account);
    EXPECT_TRUE(enabled);
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(MessageBoxes::Seen().empty());
    EXPECT_TRUE(Stored().empty());
    EXPECT_EQ(0, Calls().Count(L"Main.GetAdminPassword()"));
    EXPECT_EQ(0, Applied());
}

TEST_F(LockDialog, WithoutTheMainWindowOkDoesNothing) {
    siblings.settings.customize.refuseExit = L"1";
    ASSERT_NE(nullptr, Panel());
    siblings.Remove(&siblings.main);
    bool loaded = false, stillOpen = false;
    OpenLock([&](HWND hDlg) {
        loaded = Checked(hDlg, IDC_LOCK_REFUSE_EXIT);
        SetText(hDlg, IDC_LOCK_PASSWORD, L"Adm1n");
        PressOk(hDlg, [&, hDlg](bool open) {
            stillOpen = open;
            if (open)
                Click(hDlg, IDCANCEL);
        });
    });
    EXPECT_TRUE(loaded) << "the settings are still shown";
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(MessageBoxes::Seen().empty());
    EXPECT_TRUE(Stored().empty());
    EXPECT_EQ(0, Calls().Count(L"Main."));
}

TEST_F(LockDialog, OpeningAndSavingWritesNoTraceLines) {
    ASSERT_NE(nullptr, Panel());
    Pump();
    TraceLogTail tail;
    tail.Mark();
    OpenLock([&](HWND hDlg) {
        Click(hDlg, IDC_LOCK_DISABLE_VOLUMECHANGE);
        SetText(hDlg, IDC_LOCK_PASSWORD, L"Adm1n");
        Click(hDlg, IDOK);
    });
    ASSERT_EQ(1u, Stored().size());
    EXPECT_EQ(L"1", Str(siblings.settings.customize.disableVolumeChange));
    EXPECT_EQ(std::vector<std::string>(), tail.Lines());
}

} // namespace
