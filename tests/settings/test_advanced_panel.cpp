// The advanced settings panel inside the real login panel of SIGNDESK.dll:
// created hidden with its own skin, filled from the settings sibling, and
// re-texted by the host's language switch without losing its selection.
#include "PanelTest.h"
#include "resource.h"

#include <gtest/gtest.h>

namespace {

// The panel's child dialogs that carry the server settings button.
std::vector<HWND> AdvancedPanels(HWND hLogin) {
    std::vector<HWND> found;
    for (HWND h = GetWindow(hLogin, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
        wchar_t cls[64] = {};
        GetClassNameW(h, cls, 64);
        if (std::wstring(cls) == L"#32770" && GetDlgItem(h, IDC_ADVANCED_BTN_SERVERSETTING))
            found.push_back(h);
    }
    return found;
}

class AdvancedPanelTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        siblings.settings.servers.clear();
        const wchar_t* names[] = {L"Home", L"Office", L"Backup"};
        for (const wchar_t* name : names) {
            ServerInfo s;
            s.name = CString(name).MakeLower();
            s.displayName = name;
            siblings.settings.servers.push_back(s);
        }
        siblings.settings.loginServerIndex = L"1";
    }
};

TEST_F(AdvancedPanelTest, TheLoginPanelHoldsOneHiddenAdvancedPanelOnTheStoredServer) {
    HWND hLogin = host.CreatePanel();
    ASSERT_NE(nullptr, hLogin);
    std::vector<HWND> panels = AdvancedPanels(hLogin);
    ASSERT_EQ(1u, panels.size());
    HWND hAdvanced = panels[0];
    EXPECT_EQ(L"AdvanceDlg", WindowSkin(hAdvanced));
    EXPECT_FALSE(IsWindowVisible(hAdvanced));
    HWND hCombo = Item(hAdvanced, IDC_ADVANCED_SERVER);
    EXPECT_EQ((std::vector<std::wstring>{L"Home", L"Office", L"Backup"}), ComboItems(hCombo));
    EXPECT_EQ(1, ComboSel(hCombo)) << "the stored login server index";
    EXPECT_FALSE(Visible(hAdvanced, IDC_ADVANCED_GROUP_PROXY));
    EXPECT_FALSE(Enabled(hAdvanced, IDC_ADVANCED_PROXYTYPE));

    // The host's language switch re-texts the panel and keeps its choice.
    siblings.lang.prefix = L"EN ";
    host.Panel()->OnChangeLanguage();
    Pump();
    EXPECT_EQ(L"EN Login:IDC_BUTTON_SERVERSETTING",
              Text(hAdvanced, IDC_ADVANCED_BTN_SERVERSETTING));
    EXPECT_EQ(L"EN Login:IDS_LOG_SERVERSEL", Text(hAdvanced, IDC_ADVANCED_GROUP_SERVER));
    EXPECT_EQ(1, ComboSel(hCombo));
    EXPECT_EQ((std::vector<std::wstring>{L"Home", L"Office", L"Backup"}), ComboItems(hCombo));
}

TEST_F(AdvancedPanelTest, ALoginUsesTheServerChosenInTheAdvancedPanel) {
    HWND hLogin = host.CreatePanel();
    ASSERT_NE(nullptr, hLogin);
    std::vector<HWND> panels = AdvancedPanels(hLogin);
    ASSERT_EQ(1u, panels.size());
    HWND hCombo = Item(panels[0], IDC_ADVANCED_SERVER);
    SendMessageW(hCombo, CB_SETCURSEL, 2, 0);
    Command(panels[0], IDC_ADVANCED_SERVER, CBN_SELCHANGE);
    SetText(hLogin, IDC_LOGIN_ACCOUNT, L"8001");
    SetText(hLogin, IDC_LOGIN_PASSWORD, L"pw");
    Calls().Clear();
    host.Panel()->Login();
    Pump();
    EXPECT_EQ(1, Calls().Count(L"Login.StartLogin(8001,pw,2)"))
        << "the login sibling gets the advanced panel's position";
}

} // namespace
