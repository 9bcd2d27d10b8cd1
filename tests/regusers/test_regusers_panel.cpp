// The registration list as the client reaches it: the real plug-in's login
// panel in multi-user mode opens it from its advanced button.
#include "PanelTest.h"
#include "resource.h"

#include <gtest/gtest.h>

namespace {

std::wstring Cell(HWND hList, int row, int col) {
    wchar_t buf[256] = {};
    LVITEMW item = {};
    item.iSubItem = col;
    item.pszText = buf;
    item.cchTextMax = 256;
    SendMessageW(hList, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
    return buf;
}

class RegUsersPanel : public PanelTest {};

TEST_F(RegUsersPanel, TheAdvancedButtonInMultiUserModeEditsAndSavesTheList) {
    siblings.login.multiUser = 1;
    RegInfo alice;
    alice.account = L"alice";
    alice.password = L"pw";
    alice.address = L"10.0.0.1";
    alice.port = L"5060";
    siblings.login.regUsers = {alice};
    HWND hPanel = host.CreatePanel();
    ASSERT_NE(nullptr, hPanel);
    TraceLogTail trace;
    trace.Mark();
    Calls().Clear();

    bool listSeen = false, entrySeen = false;
    DialogDriver::OnNextDialog([&](HWND hList) {
        listSeen = true;
        EXPECT_EQ(L"Kite:IDS_MAIN_REG_TITLE", Text(hList));
        HWND hCtrl = Item(hList, IDC_REGUSERS_LIST);
        EXPECT_EQ(1, SendMessageW(hCtrl, LVM_GETITEMCOUNT, 0, 0));
        EXPECT_EQ(L"alice", Cell(hCtrl, 0, 0));
        EXPECT_EQ(L"******", Cell(hCtrl, 0, 1));

        DialogDriver::OnNextDialog([&](HWND hEntry) {
            entrySeen = true;
            EXPECT_EQ(L"*Kite:IDS_MAIN_REG_ACCOUNT", Text(hEntry, IDC_REGUSERSINFO_LBL_ACCOUNT));
            SetText(hEntry, IDC_REGUSERSINFO_ACCOUNT, L"bob");
            SetText(hEntry, IDC_REGUSERSINFO_ADDRESS, L"10.0.0.2");
            SetText(hEntry, IDC_REGUSERSINFO_PORT, L"5061");
            EXPECT_TRUE(Click(hEntry, IDOK));
        });
        EXPECT_TRUE(Click(hList, IDC_REGUSERS_BTN_ADD));
        EXPECT_EQ(2, SendMessageW(hCtrl, LVM_GETITEMCOUNT, 0, 0));
        EXPECT_EQ(L"bob", Cell(hCtrl, 1, 0));
        SetFocus(hCtrl);
        PressKey(hCtrl, VK_ESCAPE);
    });
    EXPECT_TRUE(Click(hPanel, IDC_LOGIN_BTN_ADVANCED));
    EXPECT_TRUE(listSeen) << "the advanced button opens the registration list";
    EXPECT_TRUE(entrySeen);

    ASSERT_EQ(2u, siblings.login.regUsers.size());
    EXPECT_EQ(CString(L"bob"), siblings.login.regUsers[1].account);
    EXPECT_EQ(CString(L"5061"), siblings.login.regUsers[1].port);
    EXPECT_EQ(1, siblings.login.regUsers[1].flag);
    EXPECT_EQ(1, Calls().Count(L"Login.SaveRegUsers")) << "closed with Esc: saved once";

    std::vector<std::string> lines = trace.Lines();
    for (const char* f :
         {"CLoginDlg::OnBnClickedButtonAdvancesetting", "CRegUsersDlg::InitUI",
          "CRegUsersDlg::InitData", "CRegUsersDlg::OnBnClickedButtonRegAdd",
          "CRegUsersInfoDlg::OnOK", "CRegUsersDlg::IsAccountExist", "CRegUsersDlg::SaveData"}) {
        EXPECT_EQ(1, CountTraceLines(lines, f, "Enter")) << f;
        EXPECT_EQ(1, CountTraceLines(lines, f, "Leave")) << f;
    }
}

} // namespace
