// The advanced settings panel as a child window of a test window: login
// server list, the server address dialog behind its button, the hidden
// proxy group, language texts and the keys it swallows.
#include "DlgAdvanced.h"
#include "TestHost.h"
#include "TraceFile.h"

#include <SkinMagicExU.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

ServerInfo Server(const wchar_t* name, const wchar_t* displayName, const wchar_t* address) {
    ServerInfo s;
    s.name = name;
    s.displayName = displayName;
    s.address = address;
    s.port = L"5060";
    s.backupAddress = L"backup." + CString(address);
    s.backupPort = L"5061";
    return s;
}

const wchar_t kParentClass[] = L"SignDeskAdvancedTestParent";

// The proxy fields and the test button: enabled together.
const int kProxyFields[] = {IDC_ADVANCED_PROXYADDRESS, IDC_ADVANCED_PROXYPORT,
                            IDC_ADVANCED_PROXYUSER, IDC_ADVANCED_PROXYPASSWORD,
                            IDC_ADVANCED_BTN_PROXYTEST};
// Every control of the proxy group.
const int kProxyGroup[] = {
    IDC_ADVANCED_GROUP_PROXY,       IDC_ADVANCED_PROXYTYPE,     IDC_ADVANCED_LBL_PROXYTYPE,
    IDC_ADVANCED_LBL_PROXYADDRESS,  IDC_ADVANCED_LBL_PROXYUSER, IDC_ADVANCED_LBL_PROXYPORT,
    IDC_ADVANCED_LBL_PROXYPASSWORD, IDC_ADVANCED_PROXYADDRESS,  IDC_ADVANCED_PROXYUSER,
    IDC_ADVANCED_PROXYPORT,         IDC_ADVANCED_PROXYPASSWORD, IDC_ADVANCED_BTN_PROXYTEST};

// Characters that reach a control, recorded by a window procedure put in
// front of the control's own.
struct CharRecorder {
    WNDPROC original = nullptr;
    std::vector<WPARAM> chars;
};
CharRecorder g_recorder;

LRESULT CALLBACK RecordingProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CHAR)
        g_recorder.chars.push_back(wParam);
    return CallWindowProcW(g_recorder.original, hWnd, msg, wParam, lParam);
}

class AdvancedTest : public ::testing::Test {
protected:
    void SetUp() override {
        Calls().Clear();
        MessageBoxes::Install();
        MessageBoxes::Clear();
        DialogDriver::Install();
        DialogDriver::Reset();
        siblings.RegisterAll();
        siblings.settings.servers = {
            Server(L"alpha", L"Alpha", L"10.0.0.1"),
            Server(L"beta", L"Beta", L"10.0.1.1"),
            Server(L"gamma", L"Gamma", L"10.0.2.1"),
        };

        WNDCLASSW wc = {};
        wc.lpfnWndProc = &DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kParentClass;
        RegisterClassW(&wc);
        ASSERT_TRUE(parent.CreateEx(0, kParentClass, L"advanced panel test",
                                    WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 60, 60, 420,
                                    320, nullptr, nullptr));
        parent.SetForegroundWindow();
    }
    void TearDown() override {
        EXPECT_FALSE(DialogDriver::WatchdogFired()) << "a dialog was left open";
        EXPECT_EQ(0, DialogDriver::Pending()) << "a scripted dialog never opened";
        EXPECT_TRUE(MessageBoxes::Seen().empty()) << "the panel shows no messages";
        if (panel.GetSafeHwnd())
            panel.DestroyWindow();
        parent.DestroyWindow();
        DialogDriver::Reset();
        MessageBoxes::Clear();
        siblings.UnregisterAll();
    }

    // Creates the panel as the login panel does; show puts it on screen as
    // the advanced settings button does.
    HWND Open(bool show = false) {
        EXPECT_TRUE(panel.Create(IDD_ADVANCED, &parent));
        hPanel = panel.GetSafeHwnd();
        if (show) {
            panel.ShowWindow(SW_SHOW);
            Pump();
        }
        return hPanel;
    }
    HWND ServerCombo() const { return Item(hPanel, IDC_ADVANCED_SERVER); }
    HWND ProxyTypes() const { return Item(hPanel, IDC_ADVANCED_PROXYTYPE); }
    std::vector<std::wstring> DisplayNames() const {
        std::vector<std::wstring> names;
        for (const ServerInfo& s : siblings.settings.servers)
            names.push_back(Str(s.displayName));
        return names;
    }
    void SetProxy(const wchar_t* type) {
        siblings.settings.proxyNull = false;
        siblings.settings.proxy.proxyAddress = L"proxy.example.com";
        siblings.settings.proxy.proxyPort = L"8080";
        siblings.settings.proxy.proxyUser = L"carol";
        siblings.settings.proxy.proxyPassword = L"s3cret";
        siblings.settings.proxy.proxyType = type;
    }
    // Opens the server address dialog with the panel's button.
    bool ClickServerSetting() { return Click(hPanel, IDC_ADVANCED_BTN_SERVERSETTING); }

    Siblings siblings;
    CWnd parent;
    CAdvancedDlg panel;
    HWND hPanel = nullptr;
};

TEST_F(AdvancedTest, IsAHiddenChildWithItsOwnSkinAndAHiddenDisabledProxyGroup) {
    Open();
    ASSERT_NE(nullptr, hPanel);
    EXPECT_EQ(parent.GetSafeHwnd(), GetParent(hPanel));
    EXPECT_TRUE(GetWindowLongW(hPanel, GWL_STYLE) & WS_CHILD);
    EXPECT_FALSE(IsWindowVisible(hPanel)) << "created hidden";
    EXPECT_EQ(L"AdvanceDlg", WindowSkin(hPanel));

    for (int id :
         {IDC_ADVANCED_GROUP_SERVER, IDC_ADVANCED_SERVER, IDC_ADVANCED_BTN_SERVERSETTING}) {
        EXPECT_TRUE(Visible(hPanel, id)) << "control " << id;
        EXPECT_TRUE(Enabled(hPanel, id)) << "control " << id;
    }
    for (int id : kProxyGroup) {
        ASSERT_TRUE(Exists(hPanel, id)) << "control " << id;
        EXPECT_FALSE(Visible(hPanel, id)) << "control " << id;
    }
    EXPECT_FALSE(Enabled(hPanel, IDC_ADVANCED_PROXYTYPE));
    for (int id : kProxyFields)
        EXPECT_FALSE(Enabled(hPanel, id)) << "control " << id;
}

TEST_F(AdvancedTest, ProxyPortIsASkinnedEditMaskedToDigits) {
    Open(true);
    HWND hPort = Item(hPanel, IDC_ADVANCED_PROXYPORT);
    auto* pEdit = dynamic_cast<CSkinEditEx*>(CWnd::FromHandlePermanent(hPort));
    ASSERT_NE(nullptr, pEdit);
    EXPECT_EQ(CString(L"1234567890"), pEdit->GetMask());
    Type(hPort, L"8a0-8 x");
    EXPECT_EQ(L"808", Text(hPort));
    // The other proxy edits take any text.
    HWND hUser = Item(hPanel, IDC_ADVANCED_PROXYUSER);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hUser));
    Type(hUser, L"dave-1");
    EXPECT_EQ(L"dave-1", Text(hUser));
}

TEST_F(AdvancedTest, ListsServersByDisplayNameInListOrderWithTheFirstSelected) {
    siblings.settings.servers[0].displayName = L"Zulu";
    Open();
    EXPECT_EQ(DisplayNames(), ComboItems(ServerCombo()));
    EXPECT_EQ(L"Zulu", ComboItems(ServerCombo())[0]) << "unsorted";
    EXPECT_EQ(0, ComboSel(ServerCombo()));
    EXPECT_EQ(0, panel.GetServerIndex());
}

TEST_F(AdvancedTest, SetServerIndexSelectsAPositionAndLeavesNoneOutsideTheList) {
    Open();
    panel.SetServerIndex(2);
    EXPECT_EQ(2, ComboSel(ServerCombo()));
    EXPECT_EQ(2, panel.GetServerIndex());
    panel.SetServerIndex(1);
    EXPECT_EQ(1, panel.GetServerIndex());
    panel.SetServerIndex(3);
    EXPECT_EQ(-1, ComboSel(ServerCombo()));
    EXPECT_EQ(-1, panel.GetServerIndex());
    panel.SetServerIndex(0);
    panel.SetServerIndex(-1);
    EXPECT_EQ(-1, panel.GetServerIndex());
}

TEST_F(AdvancedTest, GetServerIndexIsZeroWithoutTheComboBox) {
    // No window at all: there is no combo box to ask.
    EXPECT_EQ(0, panel.GetServerIndex());
}

TEST_F(AdvancedTest, WithAnEmptyListNothingIsSelectedAndTheSettingsButtonOpensNothing) {
    siblings.settings.servers.clear();
    Open(true);
    EXPECT_TRUE(ComboItems(ServerCombo()).empty());
    EXPECT_EQ(-1, panel.GetServerIndex());
    int listCalls = Calls().Count(L"Settings.GetServerList");
    EXPECT_TRUE(ClickServerSetting()) << "the button is there to be clicked";
    EXPECT_TRUE(DialogDriver::Opened().empty()) << "no server address dialog";
    EXPECT_EQ(listCalls, Calls().Count(L"Settings.GetServerList")) << "nothing reloaded";
}

TEST_F(AdvancedTest, WithoutSelectionTheSettingsButtonOpensNothing) {
    Open(true);
    panel.SetServerIndex(-1);
    ClickServerSetting();
    EXPECT_TRUE(DialogDriver::Opened().empty());
}

TEST_F(AdvancedTest, WithoutTheSettingsSiblingBothListsAreBuiltFromNothing) {
    siblings.Remove(&siblings.settings);
    Open(true);
    EXPECT_TRUE(ComboItems(ServerCombo()).empty());
    EXPECT_EQ(-1, panel.GetServerIndex());
    EXPECT_EQ(3u, ComboItems(ProxyTypes()).size()) << "the proxy types are the panel's own";
    EXPECT_EQ(0, ComboSel(ProxyTypes()));
    ClickServerSetting();
    EXPECT_TRUE(DialogDriver::Opened().empty());
}

TEST_F(AdvancedTest, ANullServerListLeavesTheComboEmpty) {
    siblings.settings.serversNull = true;
    Open();
    EXPECT_TRUE(ComboItems(ServerCombo()).empty());
    EXPECT_EQ(-1, panel.GetServerIndex());
}

TEST_F(AdvancedTest, AfterOkTheListIsRefilledWithTheSamePositionSelected) {
    Open(true);
    panel.SetServerIndex(2);
    int shownSel = -2;
    std::wstring shownName;
    DialogDriver::OnNextDialog([&](HWND hDlg) {
        shownSel = ComboSel(Item(hDlg, IDC_MODIFY_SERVER));
        shownName = Text(hDlg, IDC_MODIFY_DISPLAYNAME);
        SetText(hDlg, IDC_MODIFY_DISPLAYNAME, L"Gamma West");
        Click(hDlg, IDOK);
    });
    ASSERT_TRUE(ClickServerSetting());
    EXPECT_EQ(1u, DialogDriver::Opened().size());
    EXPECT_EQ(2, shownSel) << "the dialog opens on the panel's selection";
    EXPECT_EQ(L"Gamma", shownName);
    EXPECT_EQ(1, Calls().Count(L"Settings.SetServer(2,Gamma West,"));
    EXPECT_EQ((std::vector<std::wstring>{L"Alpha", L"Beta", L"Gamma West"}),
              ComboItems(ServerCombo()));
    EXPECT_EQ(2, panel.GetServerIndex());
}

TEST_F(AdvancedTest, AfterCancelTheListIsUnchanged) {
    Open(true);
    panel.SetServerIndex(1);
    const std::vector<std::wstring> before = ComboItems(ServerCombo());
    DialogDriver::OnNextDialog([&](HWND hDlg) {
        // The sibling's list changes meanwhile: only a reload would show it.
        siblings.settings.servers[0].displayName = L"Changed elsewhere";
        SetText(hDlg, IDC_MODIFY_DISPLAYNAME, L"Beta East");
        Click(hDlg, IDCANCEL);
    });
    ASSERT_TRUE(ClickServerSetting());
    EXPECT_EQ(1u, DialogDriver::Opened().size());
    EXPECT_EQ(0, Calls().Count(L"Settings.SetServer"));
    EXPECT_EQ(before, ComboItems(ServerCombo()));
    EXPECT_EQ(1, panel.GetServerIndex());
}

TEST_F(AdvancedTest, AReloadFindingNoListLeavesTheComboEmpty) {
    Open(true);
    panel.SetServerIndex(1);
    DialogDriver::OnNextDialog([&](HWND hDlg) {
        siblings.settings.serversNull = true;
        Click(hDlg, IDOK);
    });
    ASSERT_TRUE(ClickServerSetting());
    EXPECT_TRUE(ComboItems(ServerCombo()).empty());
    EXPECT_EQ(-1, panel.GetServerIndex());
}

TEST_F(AdvancedTest, ProxyTypesComeFromTheLanguageServiceWithNoProxyFirst) {
    Open();
    EXPECT_EQ((std::vector<std::wstring>{L"Login:IDS_LOG_NETTYPE_NOPROXY",
                                         L"Login:IDS_LOG_NETTYPE_HTTPPORXY",
                                         L"Login:IDS_LOG_NETTYPE_IEPROXY"}),
              ComboItems(ProxyTypes()));
    EXPECT_EQ(0, ComboSel(ProxyTypes()));
}

struct ProxyCase {
    const wchar_t* type;
    int position;
    bool enabled;
};

class AdvancedProxyTest : public AdvancedTest, public ::testing::WithParamInterface<ProxyCase> {};

TEST_P(AdvancedProxyTest, StoredTypeSelectsItsPositionAndEnablesTheFieldsOnlyForAProxy) {
    const ProxyCase& c = GetParam();
    SetProxy(c.type);
    Open();
    EXPECT_EQ(c.position, ComboSel(ProxyTypes()));
    for (int id : kProxyFields)
        EXPECT_EQ(c.enabled, Enabled(hPanel, id)) << "control " << id;
    EXPECT_FALSE(Enabled(hPanel, IDC_ADVANCED_PROXYTYPE)) << "the type list keeps its state";
    for (int id : kProxyGroup)
        EXPECT_FALSE(Visible(hPanel, id)) << "control " << id;
    // The record is shown whatever its type.
    EXPECT_EQ(L"proxy.example.com", Text(hPanel, IDC_ADVANCED_PROXYADDRESS));
    EXPECT_EQ(L"8080", Text(hPanel, IDC_ADVANCED_PROXYPORT));
    EXPECT_EQ(L"carol", Text(hPanel, IDC_ADVANCED_PROXYUSER));
    EXPECT_EQ(L"s3cret", Text(hPanel, IDC_ADVANCED_PROXYPASSWORD));
    // Never written back.
    EXPECT_EQ(0, Calls().Count(L"Settings.Set"));
}

INSTANTIATE_TEST_SUITE_P(StoredTypes, AdvancedProxyTest,
                         ::testing::Values(ProxyCase{L"3", 1, true}, ProxyCase{L"0", 2, true},
                                           ProxyCase{L"1", 0, false}, ProxyCase{L"2", 0, false},
                                           ProxyCase{L"abc", 0, false}, ProxyCase{L"", 0, false},
                                           ProxyCase{L"7", 0, false}));

TEST_F(AdvancedTest, WithoutAProxyRecordTheFieldsStayEmptyAndDisabled) {
    siblings.settings.proxyNull = true;
    Open();
    EXPECT_EQ(1, Calls().Count(L"Settings.GetProxySetting()"));
    EXPECT_EQ(0, ComboSel(ProxyTypes()));
    for (int id : {IDC_ADVANCED_PROXYADDRESS, IDC_ADVANCED_PROXYPORT, IDC_ADVANCED_PROXYUSER,
                   IDC_ADVANCED_PROXYPASSWORD}) {
        EXPECT_EQ(L"", Text(hPanel, id));
        EXPECT_FALSE(Enabled(hPanel, id));
    }
}

TEST_F(AdvancedTest, ChangingTheProxyTypeEnablesOrDisablesTheFields) {
    SetProxy(L"1");
    Open();
    SendMessageW(ProxyTypes(), CB_SETCURSEL, 1, 0);
    Command(hPanel, IDC_ADVANCED_PROXYTYPE, CBN_SELCHANGE);
    for (int id : kProxyFields)
        EXPECT_TRUE(Enabled(hPanel, id)) << "HTTP proxy, control " << id;
    SendMessageW(ProxyTypes(), CB_SETCURSEL, 0, 0);
    Command(hPanel, IDC_ADVANCED_PROXYTYPE, CBN_SELCHANGE);
    for (int id : kProxyFields)
        EXPECT_FALSE(Enabled(hPanel, id)) << "no proxy, control " << id;
    SendMessageW(ProxyTypes(), CB_SETCURSEL, 2, 0);
    Command(hPanel, IDC_ADVANCED_PROXYTYPE, CBN_SELCHANGE);
    for (int id : kProxyFields)
        EXPECT_TRUE(Enabled(hPanel, id)) << "system proxy, control " << id;
}

TEST_F(AdvancedTest, TheProxyTestButtonDoesNothing) {
    SetProxy(L"3");
    Open(true);
    Calls().Clear();
    Command(hPanel, IDC_ADVANCED_BTN_PROXYTEST);
    EXPECT_TRUE(Calls().Entries().empty());
    EXPECT_TRUE(DialogDriver::Opened().empty());
    EXPECT_TRUE(IsWindowVisible(hPanel));
}

TEST_F(AdvancedTest, SetTextsRetextsEveryControlAndKeepsBothSelections) {
    SetProxy(L"0");
    Open();
    panel.SetServerIndex(2);
    ASSERT_EQ(2, ComboSel(ProxyTypes()));
    siblings.lang.prefix = L"EN ";
    panel.SetTexts();
    EXPECT_EQ((std::vector<std::wstring>{L"EN Login:IDS_LOG_NETTYPE_NOPROXY",
                                         L"EN Login:IDS_LOG_NETTYPE_HTTPPORXY",
                                         L"EN Login:IDS_LOG_NETTYPE_IEPROXY"}),
              ComboItems(ProxyTypes()));
    EXPECT_EQ(2, ComboSel(ProxyTypes())) << "proxy type kept";
    EXPECT_EQ(2, panel.GetServerIndex()) << "login server kept";
    EXPECT_EQ(DisplayNames(), ComboItems(ServerCombo()));

    const std::map<int, std::wstring> captions = {
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
    for (const auto& c : captions)
        EXPECT_EQ(L"EN Login:" + c.second, Text(hPanel, c.first)) << "control " << c.first;

    // A second switch with no login server selected keeps that too.
    panel.SetServerIndex(-1);
    siblings.lang.prefix = L"ZH ";
    panel.SetTexts();
    EXPECT_EQ(-1, panel.GetServerIndex());
    EXPECT_EQ(2, ComboSel(ProxyTypes()));
    EXPECT_EQ(L"ZH Login:IDS_LOG_STC_PSW", Text(hPanel, IDC_ADVANCED_LBL_PROXYPASSWORD));
}

TEST_F(AdvancedTest, EnterAndEscapeLeaveThePanelOpen) {
    Open(true);
    HWND hCombo = ServerCombo();
    SetFocus(hCombo);
    PressKey(hCombo, VK_RETURN);
    PressKey(hCombo, VK_ESCAPE);
    EXPECT_TRUE(IsWindow(hPanel));
    EXPECT_TRUE(IsWindowVisible(hPanel));
    // The commands themselves, however they arrive.
    Command(hPanel, IDOK);
    Command(hPanel, IDCANCEL);
    EXPECT_TRUE(IsWindow(hPanel));
    EXPECT_TRUE(IsWindowVisible(hPanel));
    EXPECT_TRUE(DialogDriver::Opened().empty());
    EXPECT_EQ(0, panel.GetServerIndex());
}

TEST_F(AdvancedTest, CtrlTIsDiscardedOtherCharactersPass) {
    Open(true);
    HWND hEdit = Item(hPanel, IDC_ADVANCED_PROXYADDRESS);
    g_recorder = CharRecorder();
    g_recorder.original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingProc)));
    // Through the message queue, as typing arrives.
    for (WPARAM ch : {WPARAM(19), WPARAM(20), WPARAM('x'), WPARAM(21), WPARAM(20)})
        PostMessageW(hEdit, WM_CHAR, ch, 1);
    Pump();
    SetWindowLongPtrW(hEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_recorder.original));
    EXPECT_EQ((std::vector<WPARAM>{19, 'x', 21}), g_recorder.chars);

    MSG msg = {};
    msg.hwnd = hEdit;
    msg.message = WM_CHAR;
    msg.wParam = 20;
    EXPECT_TRUE(panel.PreTranslateMessage(&msg));
}

TEST_F(AdvancedTest, WritesNoTraceLines) {
    acctest::OpenTestTraceLog();
    acctest::TraceFile trace;
    trace.Mark();
    SetProxy(L"3");
    Open(true);
    panel.SetServerIndex(1);
    panel.SetTexts();
    DialogDriver::OnNextDialog([&](HWND hDlg) { Click(hDlg, IDOK); });
    ClickServerSetting();
    panel.GetServerIndex();
    EXPECT_EQ("", trace.Text());
}

} // namespace
