// The server address dialog, run modally and driven as a user would.
#include "DlgModify.h"
#include "TestHost.h"
#include "TraceFile.h"

#include <SkinMagicExU.h>
#include <gtest/gtest.h>

#include <functional>

namespace acctest {
namespace {

ServerInfo Server(const wchar_t* name, const wchar_t* displayName, const wchar_t* address,
                  const wchar_t* port, const wchar_t* backupAddress, const wchar_t* backupPort) {
    ServerInfo s;
    s.name = name;
    s.displayName = displayName;
    s.address = address;
    s.port = port;
    s.backupAddress = backupAddress;
    s.backupPort = backupPort;
    return s;
}

const int kEdits[] = {IDC_MODIFY_DISPLAYNAME, IDC_MODIFY_ADDRESS, IDC_MODIFY_PORT,
                      IDC_MODIFY_BACKUPADDRESS, IDC_MODIFY_BACKUPPORT};

// The five edits, in the order display name, address, port, backup address,
// backup port.
std::vector<std::wstring> Edits(HWND hDlg) {
    std::vector<std::wstring> texts;
    for (int id : kEdits)
        texts.push_back(Text(hDlg, id));
    return texts;
}

std::vector<std::wstring> Fields(const ServerInfo& s) {
    return {Str(s.displayName), Str(s.address), Str(s.port), Str(s.backupAddress),
            Str(s.backupPort)};
}

// Chooses a server in the combo box as the user does (the box tells the
// dialog about the new selection).
void ChooseServer(HWND hDlg, int pos) {
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
            Server(L"alpha", L"Alpha", L"10.0.0.1", L"5060", L"10.0.0.2", L"5061"),
            Server(L"beta", L"Beta", L"10.0.1.1", L"5070", L"10.0.1.2", L"5071"),
            Server(L"gamma", L"Gamma", L"sip.gamma.example", L"5080", L"10.0.2.2", L"5081"),
        };
    }
    void TearDown() override {
        EXPECT_FALSE(DialogDriver::WatchdogFired()) << "a dialog was left open";
        EXPECT_EQ(0, DialogDriver::Pending()) << "a scripted dialog never opened";
        EXPECT_TRUE(MessageBoxes::Seen().empty()) << "the dialog shows no messages";
        DialogDriver::Reset();
        MessageBoxes::Clear();
        siblings.UnregisterAll();
    }

    // Runs the dialog for serverIndex; action acts once it is up and must end it.
    INT_PTR Run(int serverIndex, const std::function<void(HWND)>& action) {
        CModifyDlg dlg;
        dlg.serverIndex = serverIndex;
        DialogDriver::OnNextDialog(action);
        return dlg.DoModal();
    }

    std::vector<std::wstring> SetServerCalls() const {
        return Calls().Matching(L"Settings.SetServer");
    }

    Siblings siblings;
};

TEST_F(ModifyTest, ListsServerNamesInOrderAndShowsTheEntryAtServerIndex) {
    std::vector<std::wstring> items, edits;
    int sel = -2;
    INT_PTR result = Run(2, [&](HWND hDlg) {
        items = ComboItems(Item(hDlg, IDC_MODIFY_SERVER));
        sel = ComboSel(Item(hDlg, IDC_MODIFY_SERVER));
        edits = Edits(hDlg);
        Click(hDlg, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ((std::vector<std::wstring>{L"alpha", L"beta", L"gamma"}), items)
        << "the combo lists names, not display names, unsorted";
    EXPECT_EQ(2, sel);
    EXPECT_EQ(Fields(siblings.settings.servers[2]), edits);
}

TEST_F(ModifyTest, AServerIndexOutsideTheListShowsTheFirstEntry) {
    for (int index : {5, -1, 3}) {
        int sel = -2;
        std::vector<std::wstring> edits;
        Run(index, [&](HWND hDlg) {
            sel = ComboSel(Item(hDlg, IDC_MODIFY_SERVER));
            edits = Edits(hDlg);
            Click(hDlg, IDCANCEL);
        });
        EXPECT_EQ(0, sel) << "serverIndex " << index;
        EXPECT_EQ(Fields(siblings.settings.servers[0]), edits) << "serverIndex " << index;
    }
}

TEST_F(ModifyTest, ChoosingAnotherServerReplacesAllFiveEdits) {
    std::vector<std::wstring> before, after, back;
    Run(2, [&](HWND hDlg) {
        before = Edits(hDlg);
        ChooseServer(hDlg, 1);
        after = Edits(hDlg);
        ChooseServer(hDlg, 0);
        back = Edits(hDlg);
        Click(hDlg, IDCANCEL);
    });
    EXPECT_EQ(Fields(siblings.settings.servers[2]), before);
    EXPECT_EQ(Fields(siblings.settings.servers[1]), after);
    EXPECT_EQ(Fields(siblings.settings.servers[0]), back);
}

TEST_F(ModifyTest, OkIsEnabledOnceAnEntryHasBeenShown) {
    bool okEnabled = false;
    Run(0, [&](HWND hDlg) {
        okEnabled = Enabled(hDlg, IDOK);
        Click(hDlg, IDCANCEL);
    });
    EXPECT_TRUE(okEnabled);
}

TEST_F(ModifyTest, WithAnEmptyListOkWaitsForAnEditAndSendsPositionMinusOne) {
    siblings.settings.servers.clear();
    bool okBefore = true, okAfter = false, clickedDisabled = true;
    std::vector<std::wstring> items{L"x"}, edits;
    INT_PTR result = Run(0, [&](HWND hDlg) {
        items = ComboItems(Item(hDlg, IDC_MODIFY_SERVER));
        edits = Edits(hDlg);
        okBefore = Enabled(hDlg, IDOK);
        clickedDisabled = Click(hDlg, IDOK);
        Type(Item(hDlg, IDC_MODIFY_PORT), L"5090");
        okAfter = Enabled(hDlg, IDOK);
        Click(hDlg, IDOK);
    });
    EXPECT_TRUE(items.empty());
    EXPECT_EQ(std::vector<std::wstring>(5, L""), edits);
    EXPECT_FALSE(okBefore) << "OK starts disabled";
    EXPECT_FALSE(clickedDisabled);
    EXPECT_TRUE(okAfter) << "the first change enables OK";
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ((std::vector<std::wstring>{L"Settings.SetServer(-1,,,5090,,)"}), SetServerCalls());
}

TEST_F(ModifyTest, OkSendsTheEntryAtTheComboPositionEvenWhenNothingWasEdited) {
    INT_PTR result = Run(1, [&](HWND hDlg) { Click(hDlg, IDOK); });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(
        (std::vector<std::wstring>{L"Settings.SetServer(1,Beta,10.0.1.1,5070,10.0.1.2,5071)"}),
        SetServerCalls());
}

TEST_F(ModifyTest, OkSendsTheTextsAsTypedForTheChosenPosition) {
    INT_PTR result = Run(0, [&](HWND hDlg) {
        ChooseServer(hDlg, 2);
        SetText(hDlg, IDC_MODIFY_DISPLAYNAME, L"  Gamma West  ");
        SetText(hDlg, IDC_MODIFY_ADDRESS, L"");
        SetText(hDlg, IDC_MODIFY_PORT, L"port?");
        SetText(hDlg, IDC_MODIFY_BACKUPADDRESS, L"\u5907\u4efd.example");
        SetText(hDlg, IDC_MODIFY_BACKUPPORT, L"99999");
        Click(hDlg, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ((std::vector<std::wstring>{
                  L"Settings.SetServer(2,  Gamma West  ,,port?,\u5907\u4efd.example,99999)"}),
              SetServerCalls());
    // The name is never sent; the sibling keeps it.
    EXPECT_EQ(CString(L"gamma"), siblings.settings.servers[2].name);
}

TEST_F(ModifyTest, CancelSendsNothing) {
    const std::vector<ServerInfo> before = siblings.settings.servers;
    INT_PTR result = Run(1, [&](HWND hDlg) {
        SetText(hDlg, IDC_MODIFY_DISPLAYNAME, L"changed");
        Click(hDlg, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_TRUE(SetServerCalls().empty());
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(Fields(before[i]), Fields(siblings.settings.servers[i]));
}

TEST_F(ModifyTest, WithoutTheSettingsSiblingTheComboStaysEmptyAndOkStillEndsTheDialog) {
    siblings.Remove(&siblings.settings);
    bool okBefore = true;
    std::vector<std::wstring> items{L"x"}, edits;
    INT_PTR result = Run(1, [&](HWND hDlg) {
        items = ComboItems(Item(hDlg, IDC_MODIFY_SERVER));
        edits = Edits(hDlg);
        okBefore = Enabled(hDlg, IDOK);
        Type(Item(hDlg, IDC_MODIFY_DISPLAYNAME), L"x");
        Click(hDlg, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_TRUE(items.empty());
    EXPECT_EQ(std::vector<std::wstring>(5, L""), edits);
    EXPECT_FALSE(okBefore);
    EXPECT_EQ(0, Calls().Count(L"Settings.")) << "nothing reaches an absent sibling";
}

TEST_F(ModifyTest, ANullServerListLeavesTheComboEmpty) {
    siblings.settings.serversNull = true;
    std::vector<std::wstring> items{L"x"};
    Run(2, [&](HWND hDlg) {
        items = ComboItems(Item(hDlg, IDC_MODIFY_SERVER));
        EXPECT_FALSE(Enabled(hDlg, IDOK));
        Click(hDlg, IDCANCEL);
    });
    EXPECT_TRUE(items.empty());
    EXPECT_EQ(1, Calls().Count(L"Settings.GetServerList()"));
}

TEST_F(ModifyTest, EveryTextComesFromTheLanguageService) {
    std::wstring title;
    std::map<int, std::wstring> texts;
    Run(0, [&](HWND hDlg) {
        title = Text(hDlg);
        for (int id : {IDC_MODIFY_LBL_SERVER, IDC_MODIFY_LBL_DISPLAYNAME, IDC_MODIFY_LBL_ADDRESS,
                       IDC_MODIFY_LBL_PORT, IDC_MODIFY_LBL_BACKUPADDRESS, IDC_MODIFY_LBL_BACKUPPORT,
                       IDOK, IDCANCEL})
            texts[id] = Text(hDlg, id);
        Click(hDlg, IDCANCEL);
    });
    EXPECT_EQ(L"Login:IDS_LOG_SERVERMODIFY", title);
    EXPECT_EQ(L"Login:IDS_LOG_SERVE", texts[IDC_MODIFY_LBL_SERVER]);
    EXPECT_EQ(L"Login:IDS_LOG_DISPLAYNAME", texts[IDC_MODIFY_LBL_DISPLAYNAME]);
    EXPECT_EQ(L"Login:IDS_LOG_SERVERADDRESS", texts[IDC_MODIFY_LBL_ADDRESS]);
    EXPECT_EQ(L"Login:IDS_LOG_STC_PORT", texts[IDC_MODIFY_LBL_PORT]);
    EXPECT_EQ(L"Login:IDS_LOG_SERERBAKADD", texts[IDC_MODIFY_LBL_BACKUPADDRESS]);
    EXPECT_EQ(L"Login:IDS_LOG_STC_PORT", texts[IDC_MODIFY_LBL_BACKUPPORT]);
    EXPECT_EQ(L"global:IDS_BUTTON_OK", texts[IDOK]);
    EXPECT_EQ(L"global:IDS_BUTTON_CANCEL", texts[IDCANCEL]);
}

TEST_F(ModifyTest, WithoutTheLanguageServiceTheTemplateTextsAreReplacedByEmptyTexts) {
    siblings.Remove(&siblings.lang);
    std::wstring title = L"x", ok = L"x", server = L"x";
    Run(0, [&](HWND hDlg) {
        title = Text(hDlg);
        ok = Text(hDlg, IDOK);
        server = Text(hDlg, IDC_MODIFY_LBL_SERVER);
        Click(hDlg, IDCANCEL);
    });
    EXPECT_EQ(L"", title);
    EXPECT_EQ(L"", ok);
    EXPECT_EQ(L"", server);
}

TEST_F(ModifyTest, AddressAndPortEditsAreSkinnedWithoutMaskTheDisplayNameStaysPlain) {
    std::map<int, CSkinEditEx*> skinned;
    std::wstring typedPort;
    bool displayNamePlain = false;
    Run(0, [&](HWND hDlg) {
        for (int id : {IDC_MODIFY_ADDRESS, IDC_MODIFY_BACKUPADDRESS, IDC_MODIFY_PORT,
                       IDC_MODIFY_BACKUPPORT}) {
            skinned[id] = dynamic_cast<CSkinEditEx*>(CWnd::FromHandlePermanent(Item(hDlg, id)));
            if (skinned[id]) {
                EXPECT_TRUE(skinned[id]->GetMask().IsEmpty()) << "edit " << id;
            }
        }
        displayNamePlain = CWnd::FromHandlePermanent(Item(hDlg, IDC_MODIFY_DISPLAYNAME)) == nullptr;
        SetText(hDlg, IDC_MODIFY_PORT, L"");
        Type(Item(hDlg, IDC_MODIFY_PORT), L"50a6");
        typedPort = Text(hDlg, IDC_MODIFY_PORT);
        Click(hDlg, IDCANCEL);
    });
    for (const auto& entry : skinned)
        EXPECT_NE(nullptr, entry.second) << "edit " << entry.first << " is a CSkinEditEx";
    EXPECT_TRUE(displayNamePlain);
    EXPECT_EQ(L"50a6", typedPort) << "no input mask on the port";
}

TEST_F(ModifyTest, WritesNoTraceLines) {
    OpenTestTraceLog();
    TraceFile trace;
    trace.Mark();
    Run(1, [&](HWND hDlg) {
        ChooseServer(hDlg, 2);
        Click(hDlg, IDOK);
    });
    EXPECT_EQ("", trace.Text());
}

} // namespace
} // namespace acctest
