// The account lock dialog as an administrator meets it: Ctrl+P or Ctrl+F1 on
// the login panel of the real plug-in opens it; what it shows, what it
// refuses and what it hands to the settings sibling.
#include "PanelTest.h"

#include <functional>

namespace {

using CS = CustomizeSet;
const struct Box {
    int id;
    CString CustomizeSet::*field;
    const wchar_t* key; // of the caption, after "Login:IDS_LOG_LOCKACCOUNT_"
} kBoxes[] = {
    {IDC_LOCK_FIXEDACCOUNT, &CS::fixedAccountOn, L"ACCOUNT"},
    {IDC_LOCK_DISABLE_SYSTEMSETTINGS, &CS::disableSystemSettings, L"DISABLE"},
    {IDC_LOCK_HIDE_CALLPAGE, &CS::hideCallPage, L"HIDE_CALL_PAGE"},
    {IDC_LOCK_HIDE_REMOVINGUSERINFO, &CS::hideRemovingUserInfo, L"HIDE_REMOVING_USER_INFO"},
    {IDC_LOCK_REFUSE_LOGOUT, &CS::refuseLogout, L"REFUSE_LOGOUT"},
    {IDC_LOCK_REFUSE_EXIT, &CS::refuseExit, L"REFUSE_EXIT"},
    {IDC_LOCK_DISABLE_CALLRECORDCHANGE, &CS::disableCallRecordChange,
     L"DISABLE_MODIFICATION_ON_CALL_RECORD"},
    {IDC_LOCK_DISABLE_VOLUMECHANGE, &CS::disableVolumeChange, L"DISABLE_MODIFICATION_ON_VOLUME"},
    {IDC_LOCK_REFUSE_AUTOLOGIN, &CS::refuseAutoLogin, L"REFUSE_AUTO_LOGIN"},
    {IDC_LOCK_DISABLE_VOLUMECONTROL, &CS::disableVolumeControl,
     L"DISABLE_MODIFICATION_ON_VOLUMECONTROL"},
};
using Flags = std::vector<const wchar_t*>; // one per box, in the order above
using Strings = std::vector<std::wstring>;
const Flags kOff(10, L"0"), kOn(10, L"1");
const int kCloseBox = -1;

// One step inside the dialog: a text put into an edit, or a click (the close box for kCloseBox).
struct Step {
    Step(int id_, const wchar_t* text_ = nullptr) : id(id_), text(text_) {}
    int id;
    const wchar_t* text;
};
const Step kRight(IDC_LOCK_PASSWORD, L"Adm1n");

// Runs when the dialog's modal loop had its turn: a thread timer is only
// dispatched once nothing else is queued.
std::function<void()> g_afterTurn;
void CALLBACK AfterTurn(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    g_afterTurn();
}

class LockDialog : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        siblings.settings.accounts = {L"8001", L"8002"};
        // The record is stored after the panel applied the configuration (as
        // another plug-in stores it), so the account box keeps 8001.
        ASSERT_NE(nullptr, CreatePanel());
    }
    void Store(const Flags& flags) {
        CustomizeSet& set = siblings.settings.customize = CustomizeSet();
        for (size_t i = 0; i < flags.size(); ++i)
            set.*kBoxes[i].field = flags[i];
        set.field0 = L"kept by the store";
        set.fixedAccount = L"5555";
        siblings.settings.customizeNull = flags.empty();
    }
    // Opens the dialog with Ctrl+key in the control, runs act and the steps; a dialog still
    // open afterwards is cancelled. Seen: the boxes as the dialog opened ('1' checked, in the
    // order above), the account edit's text and '+' (enabled) or '-'; then "open" or "ended"
    // after the steps, and each message box as "type|text|caption".
    std::wstring Open(const std::vector<Step>& steps, std::function<void(HWND)> act = nullptr,
                      UINT key = 'P', int control = IDC_LOGIN_ACCOUNT) {
        std::wstring seen;
        bool done = false;
        Calls().Clear();
        MessageBoxes::Clear();
        DialogDriver::OnNextDialog([&](HWND hDlg) {
            for (const Box& b : kBoxes)
                seen += Checked(hDlg, b.id) ? L'1' : L'0';
            seen += L" " + Text(hDlg, IDC_LOCK_ACCOUNT) +
                    (Enabled(hDlg, IDC_LOCK_ACCOUNT) ? L"+" : L"-");
            if (act)
                act(hDlg);
            for (const Step& step : steps) {
                if (step.text)
                    SetText(hDlg, step.id, step.text);
                else if (step.id == kCloseBox)
                    PostMessageW(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
                else
                    Click(hDlg, step.id);
            }
            g_afterTurn = [&, hDlg] {
                const bool open = IsWindow(hDlg) != FALSE;
                seen += open ? L" open" : L" ended";
                for (const MessageBoxRecord& b : MessageBoxes::Seen())
                    seen += L" " + std::to_wstring(b.type) + L"|" + b.text + L"|" + b.caption +
                            (b.owner == hDlg ? L"" : L"|not the dialog's");
                if (open)
                    Click(hDlg, IDCANCEL);
                done = true;
            };
            SetTimer(nullptr, 0, 1, &AfterTurn);
        });
        PressKey(Item(hPanel, control), key, true);
        EXPECT_TRUE(PumpUntil([&] { return done; })) << "the lock dialog did not open";
        return seen;
    }
    // What was stored, and the main window asked to apply.
    Strings Saved() {
        Strings out;
        for (const std::wstring& e : Calls().Entries())
            if (e.rfind(L"Settings.SetCustomizeSet(", 0) == 0 || e == L"Main.ApplyCustomizeSet()")
                out.push_back(e);
        return out;
    }
};

TEST_F(LockDialog, CtrlF1OpensItWithItsTextsEditsOfFortyAndTheFixedAccountBoxSwitchingTheEdit) {
    Store(kOn);
    const std::wstring seen = Open(
        {IDCANCEL},
        [&](HWND hDlg) {
            EXPECT_EQ(L"Login:IDS_LOG_LOCKACCOUNT", Text(hDlg));
            EXPECT_EQ(L"Login:IDS_LOG_LOCKACCOUNT_PSW", Text(hDlg, IDC_LOCK_LBL_PASSWORD));
            EXPECT_EQ(L"Login:IDS_LOG_LOCKACCOUNT_ACCOUNT", Text(hDlg, IDC_LOCK_LBL_ACCOUNT));
            for (const Box& b : kBoxes)
                EXPECT_EQ(L"Login:IDS_LOG_LOCKACCOUNT_" + std::wstring(b.key), Text(hDlg, b.id));
            EXPECT_EQ(L"global:IDS_BUTTON_OK", Text(hDlg, IDOK));
            EXPECT_EQ(L"global:IDS_BUTTON_CANCEL", Text(hDlg, IDCANCEL));
            for (bool enabled : {false, true}) { // at once, with each click
                Click(hDlg, IDC_LOCK_FIXEDACCOUNT);
                EXPECT_EQ(enabled, Enabled(hDlg, IDC_LOCK_ACCOUNT));
            }
            HWND hAccount = Item(hDlg, IDC_LOCK_ACCOUNT), hPassword = Item(hDlg, IDC_LOCK_PASSWORD);
            EXPECT_NE(0, SendMessageW(hPassword, EM_GETPASSWORDCHAR, 0, 0)) << "shown masked";
            SetText(hDlg, IDC_LOCK_ACCOUNT, L"");
            Type(hAccount, L"12ab-3.4 x5" + std::wstring(50, L'7'));
            Type(hPassword, std::wstring(45, L'p'));
            EXPECT_EQ(L"12345" + std::wstring(35, L'7'), Text(hAccount));
            EXPECT_EQ(std::wstring(40, L'p'), Text(hPassword));
        },
        VK_F1, IDC_LOGIN_PASSWORD);
    EXPECT_EQ(L"1111111111 8001+ ended", seen);
    EXPECT_EQ(Strings{}, Calls().Matching(L"Main.")) << "nothing asked, nothing applied";
    EXPECT_EQ(Strings{}, Saved());
    // Neither key opens anything without Ctrl.
    PressKey(Item(hPanel, IDC_LOGIN_ACCOUNT), 'P');
    PressKey(Item(hPanel, IDC_LOGIN_PASSWORD), VK_F1);
    EXPECT_EQ(1u, DialogDriver::Opened().size());
}

// What OK does. The dialog shows the stored flags (exactly "1" is on), the
// panel's account and an account edit enabled with the fixed account, unless
// nothing can be loaded: then every box is off and the edit empty and enabled.
TEST_F(LockDialog, OkStoresAFreshRecordOnlyWithTheRightPasswordAndAnAccountWhenFixed) {
    enum { kAll, kNoAdmin, kNoMain, kNoSettings }; // no administrator password, no sibling
    const Flags kOdd = {L" 1", L"yes", L"1 ", L"11", L"", L"true", L"on", L"Y", L"01", L"I"};
    const Step kWrong(IDC_LOCK_PASSWORD, L"adm1n"), kFix(IDC_LOCK_FIXEDACCOUNT),
        kExit(IDC_LOCK_REFUSE_EXIT), kAccount(IDC_LOCK_ACCOUNT, L"6006"),
        kNoAccount(IDC_LOCK_ACCOUNT, L"");
    const wchar_t *none = L"", *kAllOff = L",,0,0,0,0,0,0,0,0,0,0",
                  *kExitOn = L",,0,0,0,0,0,1,0,0,0,0", *kFixed = L",6006,1,0,0,0,0,0,0,0,0,0",
                  *kError = L"16|PhoneBook:IDS_ADDRBOOK_NETCODE_PWD|global:IDS_INFO_ERROR",
                  *kNoAcct = L"64|Login:IDS_LOG_LOCKACCOUNT_ACCOUNTNULL|global:IDS_INFO_QUESTION";
    std::vector<Step> uncheckAll;
    for (const Box& b : kBoxes)
        uncheckAll.push_back(b.id);
    uncheckAll.insert(uncheckAll.end(), {kRight, IDOK});
    // Stored flags (none: no record), set-up, steps; afterwards: still open, the one message
    // box, what SetCustomizeSet was handed, how often the password was asked for.
    struct Case {
        std::string name;
        Flags flags;
        int setup;
        std::vector<Step> steps;
        bool open;
        std::wstring box, stored;
        int asked;
    };
    std::vector<Case> cases = {
        {"empty, admin has one", kOff, kAll, {IDOK}, true, kError, none, 1},
        {"empty, admin has none", kOff, kNoAdmin, {IDOK}, false, none, kAllOff, 1},
        {"differing in case", kOff, kAll, {kWrong, IDOK}, true, kError, none, 1},
        {"wrong, then right", kOff, kAll, {kWrong, IDOK, kRight, IDOK}, false, kError, kAllOff, 2},
        {"one flag on", kOff, kAll, {kExit, kRight, IDOK}, false, none, kExitOn, 1},
        {"fixed, typed", kOff, kAll, {kFix, kAccount, kRight, IDOK}, false, none, kFixed, 1},
        {"fixed, empty", kOff, kAll, {kFix, kNoAccount, kRight, IDOK}, true, kNoAcct, none, 1},
        {"flags other than 1", kOdd, kAll, {kRight, IDOK}, false, none, kAllOff, 1},
        {"every box unchecked", kOn, kAll, uncheckAll, false, none, kAllOff, 1},
        {"Cancel", kOff, kAll, {kExit, kRight, IDCANCEL}, false, none, none, 0},
        {"close box", kOff, kAll, {kExit, kRight, kCloseBox}, false, none, none, 0},
        {"no main window", kOn, kNoMain, {kRight, IDOK}, true, none, none, 0},
        {"no settings sibling", kOn, kNoSettings, {kRight, IDOK}, true, none, none, 0},
        {"no stored record", {}, kAll, {kExit, kRight, IDOK}, true, none, none, 0},
    };
    for (size_t on = 0; on < 10; ++on) { // each box shows and stores its own field
        // The fixed account stored with the box: the panel's.
        Case c = {"box ", kOff, kAll, {kRight, IDOK}, false, none, on ? L"," : L",8001", 1};
        c.name += std::to_string(kBoxes[on].id);
        c.flags[on] = L"1";
        for (size_t i = 0; i < 10; ++i)
            c.stored += i == on ? L",1" : L",0";
        cases.push_back(c);
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        siblings.main.adminPassword = c.setup == kNoAdmin ? L"" : L"Adm1n";
        Store(c.flags);
        IUSBase* absent = c.setup == kNoMain       ? static_cast<IUSBase*>(&siblings.main)
                          : c.setup == kNoSettings ? &siblings.settings
                                                   : nullptr;
        if (absent)
            siblings.Remove(absent);
        const std::wstring seen = Open(c.steps);
        if (absent)
            siblings.Add(absent);
        const bool loaded = !c.flags.empty() && c.setup != kNoSettings;
        std::wstring shown;
        for (size_t i = 0; i < 10; ++i)
            shown += loaded && std::wstring(c.flags[i]) == L"1" ? L'1' : L'0';
        shown += loaded ? L" 8001" : L" ";
        shown += !loaded || shown[0] == L'1' ? L"+" : L"-";
        EXPECT_EQ(shown + (c.open ? L" open" : L" ended") + (c.box.empty() ? L"" : L" " + c.box),
                  seen);
        EXPECT_EQ(c.asked, Calls().Count(L"Main.GetAdminPassword()"));
        EXPECT_EQ((c.stored.empty() ? Strings{}
                                    : Strings{L"Settings.SetCustomizeSet(" + c.stored + L")",
                                              L"Main.ApplyCustomizeSet()"}),
                  Saved());
    }
}

} // namespace
