// The plug-in as the host first meets it: the exports, the information
// record, the component's interfaces and the panel's window.
#include "PanelTest.h"

#include <cstring>
#include <vector>

namespace {

using Core = PanelTest;

TEST_F(Core, ANullInformationRecordIsRefusedAndTheCallbackAnswersTheSameUnderBothNames) {
    EXPECT_EQ(-1, host.XSCInformation(nullptr));
    EXPECT_EQ(host.XSCCmdCallBack, host.XSCNtfCallBack);
    // The callback reads no argument.
    typedef int (*Callback3)(intptr_t, void*, void*);
    auto callback = reinterpret_cast<Callback3>(reinterpret_cast<void*>(host.XSCCmdCallBack));
    EXPECT_EQ(0x40000002, host.XSCCmdCallBack());
    EXPECT_EQ(0x40000002, callback(-1, nullptr, reinterpret_cast<void*>(0x1234)));
    EXPECT_EQ(0x40000002, callback(7, reinterpret_cast<void*>(1), nullptr));
}

TEST_F(Core, InformationRecordIsWrittenByteForByteAndLeavesTheRestAlone) {
    unsigned char buf[sizeof(XSCINFO)];
    std::memset(buf, 0xAB, sizeof(buf));
    ASSERT_EQ(0, host.XSCInformation(reinterpret_cast<XSCINFO*>(buf)));
    EXPECT_EQ(std::vector<unsigned char>(4, 0xAB), std::vector<unsigned char>(buf, buf + 4));
    EXPECT_STREQ("{48502570-4B43-47E5-8EE4-194D24870B4B}", reinterpret_cast<char*>(buf + 4));
    // From offset 43: the rest of the GUID field, 2 (32 bits), two bytes not
    // written, then 1, 0, 2011, 2011, 3, 7 (16 bits each).
    const std::vector<unsigned char> fields = {0xAB, 2,    0, 0,    0, 0xAB, 0xAB, 1, 0, 0,
                                               0,    0xDB, 7, 0xDB, 7, 3,    0,    7, 0};
    EXPECT_EQ(fields, std::vector<unsigned char>(buf + 43, buf + 62));
    // The maker's name: terminated GBK text within its 64 bytes.
    const char* maker = reinterpret_cast<char*>(buf + 62);
    const size_t makerLen = strnlen(maker, 64);
    EXPECT_GT(makerLen, 0u);
    EXPECT_LT(makerLen, 64u);
    EXPECT_GT(MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, maker, static_cast<int>(makerLen),
                                  nullptr, 0),
              0);
}

TEST_F(Core, ThreeGuidsAnswerWithTheirInterfaceAndOneMoreReferenceOthersWithNothing) {
    ISIGNDESK* panel = host.Start();
    ASSERT_NE(nullptr, panel);
    IUSBase* component = panel;
    auto count = [component] {
        const long now = component->AddRef();
        component->Release();
        return now - 1;
    };
    const GUID iusBase = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    const GUID random = {0x6B29FC40, 0xCA47, 0x1067, {0xB3, 0x1D, 0, 0xDD, 1, 6, 0x62, 0xDA}};
    const struct {
        const char* name;
        GUID iid;
        IUSBase* expected; // null: not answered
    } cases[] = {
        {"ISIGNDESK", IID_ISIGNDESK, panel},
        {"IUIPlugin", IID_IUIPlugin, dynamic_cast<IUIPlugin*>(panel)},
        {"IIUILang", IID_IIUILang, dynamic_cast<IIUILang*>(panel)},
        {"component", CLSID_SIGNDESKComp, nullptr},
        {"IUSBase", iusBase, nullptr},
        {"random", random, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const long before = count();
        IUSBaseList list = {nullptr}; // the host's own entry stays
        EXPECT_EQ(c.expected ? 1 : 0, host.XSCQueryInterface(c.iid, list));
        ASSERT_EQ(c.expected ? 2u : 1u, list.size());
        EXPECT_EQ(nullptr, list[0]);
        EXPECT_EQ(c.expected, list.back());
        // The same answer through the interface itself, on one count.
        IUSBase* out = reinterpret_cast<IUSBase*>(0x1);
        EXPECT_EQ(c.expected ? 1 : 0, component->QueryInterface(c.iid, &out));
        EXPECT_EQ(c.expected, out);
        EXPECT_EQ(before + (c.expected ? 2 : 0), count());
    }
}

// A right edge left of the left edge: the negative width is the system's to
// handle; the panel neither fails nor moves elsewhere.
TEST_F(Core, MoveTakesARectangleOfNegativeWidthAsGiven) {
    ASSERT_NE(nullptr, CreatePanel());
    Panel()->Move(RECT{50, 60, 40, 70});
    const RECT got = RectInParent(hPanel);
    EXPECT_EQ(50, got.left);
    EXPECT_EQ(60, got.top);
    EXPECT_EQ(10, got.bottom - got.top);
    EXPECT_LE(got.right - got.left, 0);
}

// The host's notifications reach the component through the callback it
// handed over at start-up, always without a reply document, and are
// handled by the framework's base map: the component has no entries.
TEST_F(Core, HostNotificationsReachTheBaseMapWithoutAReply) {
    ISIGNDESK* panel = host.Start();
    ASSERT_NE(nullptr, panel);
    CXMLU request("<ntf/>");
    CXMLU reply;
    CXMLU* replies[] = {&reply, nullptr};
    for (CXMLU* given : replies) {
        SCOPED_TRACE(given ? "with a reply" : "without a reply");
        const int before = UIGetLastDispatch().count;
        EXPECT_EQ(1, UINotify("LangChanged", 17, &request, given));
        const UIDispatchRecord got = UIGetLastDispatch();
        EXPECT_EQ(before + 1, got.count);
        EXPECT_EQ("LangChanged", got.name);
        EXPECT_EQ(17, got.id);
        EXPECT_EQ(&request, got.request);
        EXPECT_EQ(nullptr, got.reply);
    }
    auto* object = dynamic_cast<CUIObject*>(panel);
    ASSERT_NE(nullptr, object);
    const UI_MSGMAP* map = object->GetMessageMap();
    ASSERT_NE(nullptr, map);
    EXPECT_NE(CUIObject::GetThisMessageMap(), map) << "a map of its own";
    ASSERT_NE(nullptr, map->pfnGetBaseMap);
    EXPECT_EQ(CUIObject::GetThisMessageMap(), map->pfnGetBaseMap());
    EXPECT_EQ(nullptr, map->lpEntries[0].pfn) << "no entries of its own";

    // Unregistered, the component hears nothing more.
    EXPECT_EQ(0, host.XSCUninitialize());
    const int before = UIGetLastDispatch().count;
    EXPECT_EQ(0, UINotify("LangChanged", 18, &request, &reply));
    EXPECT_EQ(before, UIGetLastDispatch().count);
}

TEST_F(Core, CreateRefusesANullParentAndASecondPanel) {
    ISIGNDESK* panel = host.Start();
    ASSERT_NE(nullptr, panel);
    EXPECT_EQ(0, panel->Create(nullptr));
    EXPECT_EQ(nullptr, panel->GetLoginWnd()) << "nothing created";

    ASSERT_NE(nullptr, CreatePanel());
    CDialog* dialog = panel->GetLoginWnd();
    const RECT before = RectInParent(hPanel);
    const std::wstring account = Text(hPanel, IDC_LOGIN_ACCOUNT);
    CWnd other;
    ASSERT_TRUE(other.CreateEx(0, L"STATIC", L"other parent", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                               nullptr, nullptr));
    Calls().Clear();
    EXPECT_EQ(0, panel->Create(host.MainWindow()));
    EXPECT_EQ(0, panel->Create(&other));
    EXPECT_EQ(dialog, panel->GetLoginWnd());
    EXPECT_EQ(hPanel, host.PanelWnd());
    EXPECT_EQ(host.MainWindow()->GetSafeHwnd(), ::GetParent(hPanel));
    const RECT after = RectInParent(hPanel);
    EXPECT_TRUE(::EqualRect(&before, &after));
    EXPECT_EQ(account, Text(hPanel, IDC_LOGIN_ACCOUNT));
    EXPECT_TRUE(Calls().Entries().empty()) << "no sibling asked";
    other.DestroyWindow();
}

// Slots 7 to 15 before any panel: nothing reaches a sibling or the user, and
// the panel created afterwards starts as usual.
TEST_F(Core, PanelSlotsBeforeCreateDoNothing) {
    ISIGNDESK* panel = host.Start();
    ASSERT_NE(nullptr, panel);
    Calls().Clear();
    panel->OnRegResponse(0);
    panel->OnRegResponse(403);
    panel->OnDeRegResponse(0);
    panel->Login();
    panel->Logout();
    panel->InitFocus();
    panel->OnCustomizeSet();
    panel->OnChangeLanguage();
    panel->UpdateUnsettledMsg(2);
    panel->CloseKeyBoardDlg();
    Pump();
    EXPECT_EQ(nullptr, panel->GetLoginWnd());
    EXPECT_TRUE(Calls().Entries().empty());
    EXPECT_TRUE(MessageBoxes::Seen().empty());
    ASSERT_NE(nullptr, CreatePanel());
    EXPECT_TRUE(Visible(hPanel, IDC_LOGIN_BTN_LOGIN));
    EXPECT_FALSE(Visible(hPanel, IDC_LOGIN_BTN_LOGOUT));
}

} // namespace
