// The plug-in as the host first meets it: exports, the information record,
// the component's interfaces and the panel slots before and after Create.
#include "TestHost.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class CoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        Calls().Clear();
        ASSERT_TRUE(host.Load());
    }
    void TearDown() override {
        siblings.UnregisterAll();
        host.Unload();
    }
    PluginHost host;
    Siblings siblings;
};

TEST_F(CoreTest, NullRecordsAreRefusedAndCallbacksAnswerTheSameWhateverTheyGet) {
    EXPECT_EQ(-1, host.XSCInitialize(nullptr));
    EXPECT_EQ(-1, host.XSCInformation(nullptr));

    // The callback ignores its arguments, under both names.
    typedef int (*Callback3)(intptr_t, void*, void*);
    auto cmd = reinterpret_cast<Callback3>(reinterpret_cast<void*>(host.XSCCmdCallBack));
    auto ntf = reinterpret_cast<Callback3>(reinterpret_cast<void*>(host.XSCNtfCallBack));
    EXPECT_EQ(0x40000002, host.XSCCmdCallBack());
    EXPECT_EQ(0x40000002, cmd(-1, nullptr, reinterpret_cast<void*>(0x1234)));
    EXPECT_EQ(0x40000002, ntf(7, reinterpret_cast<void*>(1), nullptr));
    EXPECT_EQ(host.XSCCmdCallBack, host.XSCNtfCallBack);
}

TEST_F(CoreTest, InformationRecordIsWrittenByteForByteAndLeavesTheRestAlone) {
    unsigned char buf[sizeof(XSCINFO) + 16];
    std::memset(buf, 0xAB, sizeof(buf));
    ASSERT_EQ(0, host.XSCInformation(reinterpret_cast<XSCINFO*>(buf)));

    for (int i : {0, 1, 2, 3, 48, 49})
        EXPECT_EQ(0xAB, buf[i]) << "byte " << i << " must not be written";
    EXPECT_STREQ("{48502570-4B43-47E5-8EE4-194D24870B4B}", reinterpret_cast<char*>(buf + 4));
    EXPECT_EQ(0xAB, buf[4 + 39]) << "39 bytes of GUID text, no more";
    int32_t kind;
    std::memcpy(&kind, buf + 44, 4);
    EXPECT_EQ(2, kind);
    const uint16_t expected[] = {1, 0, 2011, 2011, 3, 7};
    for (int i = 0; i < 6; ++i) {
        uint16_t v;
        std::memcpy(&v, buf + 50 + 2 * i, 2);
        EXPECT_EQ(expected[i], v) << "16-bit field at offset " << 50 + 2 * i;
    }
    const char* maker = reinterpret_cast<char*>(buf + 62);
    size_t makerLen = strnlen(maker, 64);
    EXPECT_GT(makerLen, 0u);
    EXPECT_LT(makerLen, 64u) << "maker text is terminated within its 64 bytes";
    // The maker text is valid GBK.
    EXPECT_GT(MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, maker, static_cast<int>(makerLen),
                                  nullptr, 0),
              0);
    EXPECT_EQ(0, buf[126]);
    EXPECT_EQ(0xAB, buf[128]) << "nothing written past the record";
}

TEST_F(CoreTest, ThreeGuidsAnswerWithTheirInterfaceAndOneMoreReference) {
    struct Case {
        const GUID* iid;
        const char* name;
    } cases[] = {
        {&IID_ISIGNDESK, "ISIGNDESK"}, {&IID_IUIPlugin, "IUIPlugin"}, {&IID_IIUILang, "IIUILang"}};
    IUSBaseList first;
    ASSERT_EQ(1, host.XSCQueryInterface(IID_ISIGNDESK, first));
    ASSERT_EQ(1u, first.size());
    IUSBase* base = first[0];
    long before = base->AddRef();
    base->Release();

    long expectedCount = before - 1; // the count now
    for (const Case& c : cases) {
        IUSBaseList list;
        list.push_back(nullptr); // the host's own entries stay
        ASSERT_EQ(1, host.XSCQueryInterface(*c.iid, list)) << c.name;
        ASSERT_EQ(2u, list.size()) << c.name;
        EXPECT_EQ(nullptr, list[0]);
        IUSBase* p = list[1];
        ASSERT_NE(nullptr, p);
        ++expectedCount;
        if (c.iid == &IID_ISIGNDESK)
            EXPECT_NE(nullptr, dynamic_cast<ISIGNDESK*>(p));
        else if (c.iid == &IID_IUIPlugin)
            EXPECT_NE(nullptr, dynamic_cast<IUIPlugin*>(p));
        else
            EXPECT_NE(nullptr, dynamic_cast<IIUILang*>(p));
        // One count for all three interfaces.
        long now = p->AddRef();
        p->Release();
        EXPECT_EQ(expectedCount + 1, now) << c.name;

        // The same answer from every interface of the component.
        IUSBase* again = nullptr;
        EXPECT_EQ(1, p->QueryInterface(IID_ISIGNDESK, &again));
        EXPECT_EQ(static_cast<IUSBase*>(dynamic_cast<ISIGNDESK*>(p)), again);
        ++expectedCount;
    }
}

TEST_F(CoreTest, OtherGuidsAreNotAnswered) {
    const GUID component = CLSID_SIGNDESKComp;
    const GUID unknownBase = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    const GUID random = {
        0x6B29FC40, 0xCA47, 0x1067, {0xB3, 0x1D, 0x00, 0xDD, 0x01, 0x06, 0x62, 0xDA}};
    IUSBaseList own;
    ASSERT_EQ(1, host.XSCQueryInterface(IID_ISIGNDESK, own));
    for (const GUID* g : {&component, &unknownBase, &random, &IID_IUIMain}) {
        IUSBaseList list;
        EXPECT_EQ(0, host.XSCQueryInterface(*g, list));
        EXPECT_TRUE(list.empty());
        IUSBase* out = reinterpret_cast<IUSBase*>(0x1);
        EXPECT_EQ(0, own[0]->QueryInterface(*g, &out));
        EXPECT_EQ(nullptr, out);
    }
}

TEST_F(CoreTest, PanelSlotsDoNothingBeforeThePanelExists) {
    siblings.RegisterAll();
    ISIGNDESK* panel = host.Start();
    ASSERT_NE(nullptr, panel);
    Calls().Clear();
    EXPECT_EQ(0, panel->Create(nullptr));
    EXPECT_EQ(nullptr, panel->GetLoginWnd()) << "a null parent creates nothing";

    RECT rc = {0, 0, 100, 100};
    panel->Move(rc);
    panel->OnRegResponse(0);
    panel->OnDeRegResponse(0);
    panel->Login();
    panel->Logout();
    panel->InitFocus();
    panel->OnCustomizeSet();
    panel->OnChangeLanguage();
    panel->UpdateUnsettledMsg(2);
    panel->CloseKeyBoardDlg();
    EXPECT_TRUE(Calls().Entries().empty()) << "no sibling is asked anything";
    EXPECT_EQ(nullptr, panel->GetLoginWnd());
}

TEST_F(CoreTest, CreateMakesThePanelOnceFromTemplateNine) {
    siblings.RegisterAll();
    HWND hPanel = host.CreatePanel();
    ASSERT_NE(nullptr, hPanel);
    EXPECT_TRUE(IsWindowVisible(hPanel));
    EXPECT_EQ(host.MainWindow()->m_hWnd, GetParent(hPanel));
    EXPECT_TRUE(GetWindowLongW(hPanel, GWL_STYLE) & WS_CHILD);
    // The controls of the login panel's template are there.
    for (int id : {IDC_LOGIN_ACCOUNT, IDC_LOGIN_PASSWORD, IDC_LOGIN_AUTOLOGIN, IDC_LOGIN_BTN_LOGIN,
                   IDC_LOGIN_BTN_LOGOUT, IDC_LOGIN_BTN_ADVANCED, IDC_LOGIN_STATUS})
        EXPECT_TRUE(Exists(hPanel, id)) << id;

    CDialog* before = host.Panel()->GetLoginWnd();
    EXPECT_EQ(0, host.Panel()->Create(host.MainWindow())) << "a second Create changes nothing";
    EXPECT_EQ(before, host.Panel()->GetLoginWnd());
    EXPECT_EQ(hPanel, host.PanelWnd());
}

TEST_F(CoreTest, MoveTakesTheRectangleAsGiven) {
    siblings.RegisterAll();
    HWND hPanel = host.CreatePanel();
    ASSERT_NE(nullptr, hPanel);
    RECT rc = {10, 20, 310, 420};
    host.Panel()->Move(rc);
    RECT got = RectInParent(hPanel);
    EXPECT_EQ(10, got.left);
    EXPECT_EQ(20, got.top);
    EXPECT_EQ(300, got.right - got.left);
    EXPECT_EQ(400, got.bottom - got.top);

    // A right edge left of the left edge: the negative width is the
    // system's to handle; the panel neither fails nor moves elsewhere.
    RECT inverted = {50, 60, 40, 70};
    host.Panel()->Move(inverted);
    got = RectInParent(hPanel);
    EXPECT_EQ(50, got.left);
    EXPECT_EQ(60, got.top);
    EXPECT_LE(got.right - got.left, 0);
}

TEST_F(CoreTest, HostNotificationsReachTheFrameworkWithoutAReplyDocument) {
    ISIGNDESK* panel = host.Start();
    ASSERT_NE(nullptr, panel);
    CXMLU request("<ping/>"), reply("<reply/>");
    int before = UIGetLastDispatch().count;
    EXPECT_GE(UINotify("Ping", 7, &request, &reply), 1);
    UIDispatchRecord rec = UIGetLastDispatch();
    EXPECT_EQ(before + 1, rec.count);
    EXPECT_EQ("Ping", rec.name);
    EXPECT_EQ(7, rec.id);
    EXPECT_EQ(&request, rec.request);
    EXPECT_EQ(nullptr, rec.reply) << "the host's reply document is not passed on";

    // After SIGNDESK_XSCUninitialize the component hears nothing more.
    int callbacks = UIGetCallbackCount();
    EXPECT_EQ(0, host.XSCUninitialize());
    EXPECT_EQ(callbacks - 1, UIGetCallbackCount());
}

} // namespace
