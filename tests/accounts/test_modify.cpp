// The server address dialog, run modally and driven as a user would. The
// five edits are written as SetServer receives them, joined by ','.
#include "accounts/DlgModify.h"
#include "TestHost.h"
#include "support/TraceLog.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace {

using Texts = std::vector<std::wstring>;

const std::vector<int> kEdits = {IDC_MODIFY_DISPLAYNAME, IDC_MODIFY_ADDRESS, IDC_MODIFY_PORT,
                                 IDC_MODIFY_BACKUPADDRESS, IDC_MODIFY_BACKUPPORT};
const wchar_t* const kShown[] = {L"Alpha,127.0.0.1,5060,127.0.0.2,5061",
                                 L"Beta,127.0.1.1,5070,127.0.1.2,5071",
                                 L"Gamma,sip.gamma.example,5080,127.0.2.2,5081"};

// The texts of ids (-1: the window's title) joined by sep.
std::wstring Joined(HWND hDlg, const std::vector<int>& ids, const wchar_t* sep) {
    std::wstring s;
    size_t i = 0;
    for (int id : ids)
        s += (i++ ? sep : L"") + (id < 0 ? Text(hDlg) : Text(hDlg, id));
    return s;
}

// Chooses a server as the user does (the combo box notifies the dialog).
void Choose(HWND hDlg, int pos) {
    SendMessageW(Item(hDlg, IDC_MODIFY_SERVER), CB_SETCURSEL, static_cast<WPARAM>(pos), 0);
    Command(hDlg, IDC_MODIFY_SERVER, CBN_SELCHANGE);
}

class ModifyTest : public ::testing::Test {
protected:
    void SetUp() override {
        Calls().Clear();
        MessageBoxes::Install();
        MessageBoxes::Clear();
        DialogDriver::Install();
        DialogDriver::Reset();
        siblings.RegisterAll();
        siblings.settings.servers = {
            {L"alpha", L"Alpha", L"127.0.0.1", L"5060", L"127.0.0.2", L"5061"},
            {L"beta", L"Beta", L"127.0.1.1", L"5070", L"127.0.1.2", L"5071"},
            {L"gamma", L"Gamma", L"sip.gamma.example", L"5080", L"127.0.2.2", L"5081"}};
    }
    void TearDown() override {
        EXPECT_FALSE(DialogDriver::WatchdogFired()) << "a dialog was left open";
        EXPECT_TRUE(MessageBoxes::Seen().empty()) << "the dialog shows no messages";
        DialogDriver::Reset();
        MessageBoxes::Clear();
        siblings.UnregisterAll();
    }

    // Runs the dialog for serverIndex; action acts once it is up and ends it.
    INT_PTR Run(int serverIndex, const std::function<void(HWND)>& action) {
        CModifyDlg dlg;
        dlg.serverIndex = serverIndex;
        DialogDriver::OnNextDialog(action);
        INT_PTR result = dlg.DoModal();
        EXPECT_EQ(0, DialogDriver::Pending()) << "the dialog opened";
        return result;
    }

    Siblings siblings;
};

TEST_F(ModifyTest, ShowsItsTextsAndTheEntryAtServerIndexOrTheFirstAndAChoiceReplacesTheEdits) {
    const std::pair<int, int> cases[] = {{2, 2}, {0, 0}, {5, 0}, {-1, 0}, {3, 0}}; // index, shown
    for (const auto& [index, shown] : cases) {
        SCOPED_TRACE(testing::Message() << "serverIndex " << index);
        Run(index, [&, shown = shown](HWND hDlg) {
            EXPECT_EQ(
                L"Login:IDS_LOG_SERVERMODIFY|Login:IDS_LOG_SERVE|Login:IDS_LOG_DISPLAYNAME|"
                L"Login:IDS_LOG_SERVERADDRESS|Login:IDS_LOG_STC_PORT|"
                L"Login:IDS_LOG_SERERBAKADD|Login:IDS_LOG_STC_PORT|global:IDS_BUTTON_OK|"
                L"global:IDS_BUTTON_CANCEL",
                Joined(hDlg,
                       {-1, IDC_MODIFY_LBL_SERVER, IDC_MODIFY_LBL_DISPLAYNAME,
                        IDC_MODIFY_LBL_ADDRESS, IDC_MODIFY_LBL_PORT, IDC_MODIFY_LBL_BACKUPADDRESS,
                        IDC_MODIFY_LBL_BACKUPPORT, IDOK, IDCANCEL},
                       L"|"));
            EXPECT_EQ((Texts{L"alpha", L"beta", L"gamma"}),
                      ComboItems(Item(hDlg, IDC_MODIFY_SERVER)))
                << "names, in list order";
            EXPECT_EQ(shown, ComboSel(Item(hDlg, IDC_MODIFY_SERVER)));
            EXPECT_EQ(kShown[shown], Joined(hDlg, kEdits, L","));
            EXPECT_TRUE(Enabled(hDlg, IDOK)) << "showing an entry enables OK";
            for (int pos : {1, 0, 2}) {
                Choose(hDlg, pos);
                EXPECT_EQ(kShown[pos], Joined(hDlg, kEdits, L","));
            }
            EXPECT_TRUE(Click(hDlg, IDCANCEL));
        });
    }
}

// Also: no operation of the dialog writes a trace line.
TEST_F(ModifyTest, OkSendsTheTextsAsTypedForTheComboPositionAndCancelSendsNothing) {
    const struct {
        int index, choose; // choose -1: the combo is left alone
        const wchar_t* typed;
        int button;
        const wchar_t* sent; // null: nothing
    } cases[] = {
        {1, -1, nullptr, IDOK, L"Settings.SetServer(1,Beta,127.0.1.1,5070,127.0.1.2,5071)"},
        {0, 2, L"  Gamma West  ,,port?,\u5907\u4efd.example,99999", IDOK,
         L"Settings.SetServer(2,  Gamma West  ,,port?,\u5907\u4efd.example,99999)"},
        {1, -1, L"changed", IDCANCEL, nullptr},
    };
    if (!g_pTraceLog)
        g_pTraceLog = OpenTraceLog(TraceLogTail::Path().c_str());
    TraceLogTail trace;
    trace.Mark();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed ? c.typed : L"nothing typed");
        Calls().Clear();
        EXPECT_EQ(c.button, Run(c.index, [&](HWND hDlg) {
                      if (c.choose >= 0)
                          Choose(hDlg, c.choose);
                      std::wstringstream typed(c.typed ? c.typed : L"");
                      size_t i = 0;
                      for (std::wstring text; std::getline(typed, text, L',');)
                          SetText(hDlg, kEdits[i++], text);
                      EXPECT_TRUE(Click(hDlg, c.button));
                  }));
        EXPECT_EQ(c.sent ? Texts{c.sent} : Texts(), Calls().Matching(L"Settings.SetServer"));
    }
    EXPECT_EQ("", trace.Text());
}

TEST_F(ModifyTest, WithoutServersOkWaitsForAnEditAndEndsTheDialogEvenWithoutTheSibling) {
    const char* const modes[] = {"empty list", "null list", "no settings sibling"};
    for (int mode = 0; mode < 3; ++mode) {
        SCOPED_TRACE(modes[mode]);
        siblings.settings.servers.clear();
        siblings.settings.serversNull = mode == 1;
        if (mode == 2)
            siblings.Remove(&siblings.settings);
        Calls().Clear();
        EXPECT_EQ(IDOK, Run(1, [](HWND hDlg) {
                      EXPECT_TRUE(ComboItems(Item(hDlg, IDC_MODIFY_SERVER)).empty());
                      EXPECT_EQ(L",,,,", Joined(hDlg, kEdits, L","));
                      EXPECT_FALSE(Click(hDlg, IDOK)) << "OK starts disabled";
                      Type(Item(hDlg, IDC_MODIFY_PORT), L"50a9");
                      EXPECT_TRUE(Click(hDlg, IDOK)) << "the first change enables OK";
                  }));
        const Texts sent = {L"Settings.GetServerList()", L"Settings.SetServer(-1,,,50a9,,)"};
        EXPECT_EQ(mode == 2 ? Texts() : sent, Calls().Entries()) << "the port takes any text";
    }
}

} // namespace
