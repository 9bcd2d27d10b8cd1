// The advanced settings panel inside the real login panel of SIGNDESK.dll:
// the login server list, the server address dialog behind its button, the
// hidden proxy group and the keys it swallows.
#include "PanelTest.h"

#include <functional>

namespace {

// The proxy fields and the test button: enabled together.
const int kProxyFields[] = {IDC_ADVANCED_PROXYADDRESS, IDC_ADVANCED_PROXYPORT,
                            IDC_ADVANCED_PROXYUSER, IDC_ADVANCED_PROXYPASSWORD,
                            IDC_ADVANCED_BTN_PROXYTEST};
const int kProxyGroup[] = {
    IDC_ADVANCED_GROUP_PROXY,       IDC_ADVANCED_PROXYTYPE,     IDC_ADVANCED_LBL_PROXYTYPE,
    IDC_ADVANCED_LBL_PROXYADDRESS,  IDC_ADVANCED_LBL_PROXYUSER, IDC_ADVANCED_LBL_PROXYPORT,
    IDC_ADVANCED_LBL_PROXYPASSWORD, IDC_ADVANCED_PROXYADDRESS,  IDC_ADVANCED_PROXYUSER,
    IDC_ADVANCED_PROXYPORT,         IDC_ADVANCED_PROXYPASSWORD, IDC_ADVANCED_BTN_PROXYTEST};
using Names = std::vector<std::wstring>;

class AdvancedPanel : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        siblings.settings.accounts = {L"8001"};
        SetServers(3);
        siblings.settings.proxy = {L"proxy.example.com", L"8080", L"carol", L"s3cret", L""};
    }
    void SetServers(int count) {
        siblings.settings.servers.assign(static_cast<size_t>(count), ServerInfo());
        const wchar_t* names[] = {L"Alpha", L"Beta", L"Gamma"};
        for (int i = 0; i < count; ++i)
            siblings.settings.servers[static_cast<size_t>(i)].displayName = names[i];
    }
    // A new plug-in and login panel; the advanced panel is its child dialog
    // with the server settings button, folded out with the advanced button.
    void Fresh(const wchar_t* storedIndex = L"0") {
        siblings.settings.loginServerIndex = storedIndex;
        ASSERT_TRUE(host.Load());
        ASSERT_NE(nullptr, CreatePanel());
        hAdvanced = nullptr;
        while ((hAdvanced = FindWindowExW(hPanel, hAdvanced, L"#32770", nullptr)))
            if (GetDlgItem(hAdvanced, IDC_ADVANCED_BTN_SERVERSETTING))
                break;
        ASSERT_NE(nullptr, hAdvanced);
        ASSERT_FALSE(IsWindowVisible(hAdvanced)) << "created hidden";
        ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_ADVANCED));
        ASSERT_TRUE(IsWindowVisible(hAdvanced));
    }
    HWND Servers() { return Item(hAdvanced, IDC_ADVANCED_SERVER); }
    HWND ProxyTypes() { return Item(hAdvanced, IDC_ADVANCED_PROXYTYPE); }
    // The server index a login hands to the login sibling.
    int LoginIndex() {
        const std::wstring start = L"Login.StartLogin(8001,,";
        SetText(hPanel, IDC_LOGIN_ACCOUNT, L"8001");
        Calls().Clear();
        Panel()->Login();
        Pump();
        Panel()->OnRegResponse(500);
        const auto starts = Calls().Matching(start);
        return starts.size() == 1 ? _wtoi(starts[0].substr(start.size()).c_str()) : -99;
    }
    HWND hAdvanced = nullptr;
};

// The login server list by display name, on the stored index (the one a login
// hands over); the proxy group hidden, its type list disabled, showing the
// stored record with the type mapped to a position (3 HTTP, 0 system proxy).
TEST_F(AdvancedPanel, ShowsTheStoredServerAndProxyAndEnablesTheProxyFieldsOnlyForAProxy) {
    const struct {
        const char* name;
        const wchar_t* stored; // login server index
        int servers;           // -1: the sibling has no list, -2: no settings sibling
        int selected;
        const wchar_t* type; // of the stored proxy, null for no record
        int position;
    } cases[] = {
        {"stored 1, HTTP proxy", L"1", 3, 1, L"3", 1},
        {"stored 0, system proxy", L"0", 3, 0, L"0", 2},
        {"outside the list, no proxy", L"3", 3, -1, L"1", 0},
        {"negative, code 2", L"-1", 3, -1, L"2", 0},
        {"stored 2, code 7", L"2", 3, 2, L"7", 0},
        {"empty list, no number", L"0", 0, -1, L"abc", 0},
        {"no list, empty code", L"0", -1, -1, L"", 0},
        {"no proxy record", L"0", 3, 0, nullptr, 0},
        {"no settings sibling", L"0", -2, -1, L"3", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetServers(c.servers > 0 ? 3 : 0);
        siblings.settings.serversNull = c.servers == -1;
        siblings.settings.proxyNull = !c.type;
        siblings.settings.proxy.proxyType = c.type ? c.type : L"";
        if (c.servers == -2)
            siblings.Remove(&siblings.settings);
        Fresh(c.stored);
        if (c.servers == -2)
            siblings.Add(&siblings.settings);
        siblings.settings.serversNull = false;
        EXPECT_EQ((c.servers > 0 ? Names{L"Alpha", L"Beta", L"Gamma"} : Names{}),
                  ComboItems(Servers()));
        EXPECT_EQ(c.selected, ComboSel(Servers()));
        EXPECT_EQ(0, Calls().Count(L"Settings.Set")) << "nothing written back";
        EXPECT_EQ(c.selected, LoginIndex());
        EXPECT_EQ(L"AdvanceDlg", WindowSkin(hAdvanced));
        for (int id :
             {IDC_ADVANCED_GROUP_SERVER, IDC_ADVANCED_SERVER, IDC_ADVANCED_BTN_SERVERSETTING})
            EXPECT_TRUE(Visible(hAdvanced, id) && Enabled(hAdvanced, id)) << id;
        for (int id : kProxyGroup)
            EXPECT_TRUE(Exists(hAdvanced, id) && !Visible(hAdvanced, id)) << id;
        EXPECT_FALSE(Enabled(hAdvanced, IDC_ADVANCED_PROXYTYPE));
        EXPECT_EQ((Names{L"Login:IDS_LOG_NETTYPE_NOPROXY", L"Login:IDS_LOG_NETTYPE_HTTPPORXY",
                         L"Login:IDS_LOG_NETTYPE_IEPROXY"}),
                  ComboItems(ProxyTypes()));
        EXPECT_EQ(c.position, ComboSel(ProxyTypes()));
        for (int id : kProxyFields)
            EXPECT_EQ(c.position > 0, Enabled(hAdvanced, id)) << id;
        const bool loaded = c.type && c.servers != -2;
        EXPECT_EQ(loaded ? L"proxy.example.com|8080|carol|s3cret" : L"|||",
                  Text(hAdvanced, IDC_ADVANCED_PROXYADDRESS) + L"|" +
                      Text(hAdvanced, IDC_ADVANCED_PROXYPORT) + L"|" +
                      Text(hAdvanced, IDC_ADVANCED_PROXYUSER) + L"|" +
                      Text(hAdvanced, IDC_ADVANCED_PROXYPASSWORD));
        // Another type chosen: the fields follow it.
        const int next = (c.position + 1) % 3;
        SendMessageW(ProxyTypes(), CB_SETCURSEL, static_cast<WPARAM>(next), 0);
        Command(hAdvanced, IDC_ADVANCED_PROXYTYPE, CBN_SELCHANGE);
        for (int id : kProxyFields)
            EXPECT_EQ(next > 0, Enabled(hAdvanced, id)) << "after choosing " << next << ", " << id;
    }
    // Only the port takes digits only.
    Type(Item(hAdvanced, IDC_ADVANCED_PROXYPORT), L"8a0-8 x");
    Type(Item(hAdvanced, IDC_ADVANCED_PROXYUSER), L"dave-1");
    EXPECT_EQ(L"808", Text(hAdvanced, IDC_ADVANCED_PROXYPORT));
    EXPECT_EQ(L"dave-1", Text(hAdvanced, IDC_ADVANCED_PROXYUSER));
}

TEST_F(AdvancedPanel, TheServerSettingsButtonEditsTheSelectedEntryAndReloadsOnlyAfterOk) {
    const struct {
        const char* name;
        const wchar_t* stored; // login server index
        int servers;           // in the list
        int answer;            // of the server address dialog, 0: it does not open
        bool noListAfter;      // the sibling has no list when the panel reloads
        Names after;
        int selected;
    } cases[] = {
        {"OK", L"2", 3, IDOK, false, {L"Changed", L"Beta", L"Renamed"}, 2},
        {"Cancel", L"1", 3, IDCANCEL, false, {L"Alpha", L"Beta", L"Gamma"}, 1},
        {"OK, no list on reload", L"1", 3, IDOK, true, {}, -1},
        {"empty list", L"0", 0, 0, false, {}, -1},
        {"nothing selected", L"5", 3, 0, false, {L"Alpha", L"Beta", L"Gamma"}, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetServers(c.servers);
        Fresh(c.stored);
        int shown = -2;
        DialogDriver::Reset();
        if (c.answer)
            DialogDriver::OnNextDialog([&](HWND hDlg) {
                shown = ComboSel(Item(hDlg, IDC_MODIFY_SERVER));
                SetText(hDlg, IDC_MODIFY_DISPLAYNAME, L"Renamed");
                // The sibling's list changes meanwhile: only a reload shows it.
                siblings.settings.servers[0].displayName = L"Changed";
                siblings.settings.serversNull = c.noListAfter;
                Click(hDlg, c.answer);
            });
        ASSERT_TRUE(Click(hAdvanced, IDC_ADVANCED_BTN_SERVERSETTING));
        siblings.settings.serversNull = false;
        EXPECT_EQ(c.answer ? 1u : 0u, DialogDriver::Opened().size());
        EXPECT_EQ(c.answer ? _wtoi(c.stored) : -2, shown) << "opened on the panel's selection";
        EXPECT_EQ(c.answer == IDOK ? 1 : 0,
                  Calls().Count(L"Settings.SetServer(" + std::wstring(c.stored) + L",Renamed,"));
        EXPECT_EQ(c.after, ComboItems(Servers()));
        EXPECT_EQ(c.selected, ComboSel(Servers()));
    }
}

// Records the characters a control's window procedure receives.
std::vector<WPARAM> g_chars;
WNDPROC g_editProc = nullptr;
LRESULT CALLBACK RecordingEditProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CHAR)
        g_chars.push_back(wParam);
    return CallWindowProcW(g_editProc, hWnd, msg, wParam, lParam);
}

// Each caption gets the text of its own key, the proxy types theirs in
// order; the selections stay (the language tests switch the whole panel).
TEST_F(AdvancedPanel, ALanguageSwitchGivesEachControlTheTextOfItsOwnKey) {
    Fresh(L"2");
    SendMessageW(ProxyTypes(), CB_SETCURSEL, 1, 0);
    const std::pair<int, const wchar_t*> captions[] = {
        {IDC_ADVANCED_BTN_SERVERSETTING, L"IDC_BUTTON_SERVERSETTING"},
        {IDC_ADVANCED_GROUP_SERVER, L"IDS_LOG_SERVERSEL"},
        {IDC_ADVANCED_GROUP_PROXY, L"IDS_LOG_PROXYSETTING"},
        {IDC_ADVANCED_LBL_PROXYTYPE, L"IDS_LOG_STC_NETTYPE"},
        {IDC_ADVANCED_LBL_PROXYADDRESS, L"IDS_LOG_STC_SERVER"},
        {IDC_ADVANCED_LBL_PROXYPORT, L"IDS_LOG_STC_PORT"},
        {IDC_ADVANCED_LBL_PROXYUSER, L"IDS_LOG_STC_USER"},
        {IDC_ADVANCED_LBL_PROXYPASSWORD, L"IDS_LOG_STC_PSW"},
        {IDC_ADVANCED_BTN_PROXYTEST, L"IDS_LOG_PROXYTEST"},
    };
    for (const wchar_t* prefix : {L"EN/", L"ZH/"}) {
        siblings.lang.prefix = prefix;
        Panel()->OnChangeLanguage();
        Pump();
        for (const auto& c : captions)
            EXPECT_EQ(std::wstring(prefix) + L"Login:" + c.second, Text(hAdvanced, c.first))
                << "control " << c.first;
        EXPECT_EQ((Names{std::wstring(prefix) + L"Login:IDS_LOG_NETTYPE_NOPROXY",
                         std::wstring(prefix) + L"Login:IDS_LOG_NETTYPE_HTTPPORXY",
                         std::wstring(prefix) + L"Login:IDS_LOG_NETTYPE_IEPROXY"}),
                  ComboItems(ProxyTypes()));
        EXPECT_EQ(1, ComboSel(ProxyTypes()));
        EXPECT_EQ(2, ComboSel(Servers()));
    }
}

TEST_F(AdvancedPanel, OkCancelEnterEscapeAndTheProxyTestButtonLeaveItAsItIs) {
    Fresh(L"1");
    Calls().Clear();
    for (int id : {IDOK, IDCANCEL, IDC_ADVANCED_BTN_PROXYTEST})
        Command(hAdvanced, id);
    EXPECT_EQ(Names{}, Calls().Entries());
    // Enter (the login panel's: it logs in) and Escape leave the panel open.
    SetFocus(Servers());
    PressKey(Servers(), VK_RETURN);
    PressKey(Servers(), VK_ESCAPE);
    EXPECT_TRUE(IsWindowVisible(hAdvanced));
    EXPECT_EQ(1, ComboSel(Servers()));

    // Ctrl+T (character 20) never reaches a control of the panel; other
    // characters do.
    HWND hUser = Item(hAdvanced, IDC_ADVANCED_PROXYUSER);
    g_chars.clear();
    g_editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hUser, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingEditProc)));
    for (WPARAM ch : {WPARAM(20), WPARAM('a'), WPARAM(20), WPARAM('b')})
        PostMessageW(hUser, WM_CHAR, ch, 1);
    Pump();
    SetWindowLongPtrW(hUser, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_editProc));
    EXPECT_EQ((std::vector<WPARAM>{'a', 'b'}), g_chars);
}

// Choosing a proxy enables its fields in order up to the first one missing.
TEST_F(AdvancedPanel, AMissingProxyFieldEndsTheEnablingThere) {
    Fresh();
    DestroyWindow(Item(hAdvanced, IDC_ADVANCED_PROXYUSER));
    SendMessageW(ProxyTypes(), CB_SETCURSEL, 1, 0);
    Command(hAdvanced, IDC_ADVANCED_PROXYTYPE, CBN_SELCHANGE);
    EXPECT_TRUE(Enabled(hAdvanced, IDC_ADVANCED_PROXYADDRESS));
    EXPECT_TRUE(Enabled(hAdvanced, IDC_ADVANCED_PROXYPORT));
    EXPECT_FALSE(Enabled(hAdvanced, IDC_ADVANCED_PROXYPASSWORD));
    EXPECT_FALSE(Enabled(hAdvanced, IDC_ADVANCED_BTN_PROXYTEST));
}

} // namespace
