// CSkinControlUnit and CSkinControlPannel: the record, the panel's layout,
// clicks reported to the parent, text changes.
#include "SkinMagicExU.h"
#include "SkinMagicU.h"
#include "SkinTestUtil.h"
#include "resource.h"

#include <gtest/gtest.h>

using namespace skintest;

TEST(SkinControlUnit, ConstructorDefaults) {
    CSkinControlUnit u;
    EXPECT_EQ(-1, u.m_nImage);
    EXPECT_EQ(512, u.m_nWidth);
    EXPECT_EQ(5, u.m_nHeightMargin);
    EXPECT_EQ(0u, u.m_nID);
    EXPECT_EQ(0, u.m_nStyle);
    EXPECT_EQ(0, u.m_nIndent);
    EXPECT_EQ(2, u.m_nSpaceX);
    EXPECT_EQ(2, u.m_nSpaceY);
    EXPECT_EQ(0, u.m_rcUnit.left);
    EXPECT_EQ(0, u.m_rcUnit.top);
    EXPECT_EQ(0, u.m_rcUnit.right);
    EXPECT_EQ(0, u.m_rcUnit.bottom);
    EXPECT_TRUE(u.m_strText.IsEmpty());
    EXPECT_TRUE(u.m_strTip.IsEmpty());
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), u.m_clrBack);
    EXPECT_EQ(0, u.m_nState);
    EXPECT_EQ(0, u.m_bFixedSize);
    EXPECT_FALSE(u.IsFixedSize());
    EXPECT_EQ(0, u.m_nReserved);
    EXPECT_EQ(0, u.m_nUserData);
    // The command id is the fourth 32-bit field, as the plug-in reads it.
    EXPECT_EQ(3 * sizeof(int), offsetof(CSkinControlUnit, m_nID));
}

namespace {
CSkinControlUnit Distinct() {
    CSkinControlUnit u;
    u.m_nImage = 1;
    u.m_nWidth = 2;
    u.m_nHeightMargin = 3;
    u.m_nID = 4;
    u.m_nStyle = 5;
    u.m_nIndent = 6;
    u.m_nSpaceX = 7;
    u.m_nSpaceY = 8;
    u.m_rcUnit = {9, 10, 11, 12};
    u.m_rcText = {13, 14, 15, 16};
    u.m_strText = L"seventeen";
    u.m_strTip = L"eighteen";
    u.m_clrBack = 19;
    u.m_nState = 20;
    u.m_bFixedSize = 21;
    u.m_nReserved = 22;
    u.m_nUserData = 23;
    return u;
}

void ExpectDistinct(const CSkinControlUnit& u) {
    EXPECT_EQ(1, u.m_nImage);
    EXPECT_EQ(2, u.m_nWidth);
    EXPECT_EQ(3, u.m_nHeightMargin);
    EXPECT_EQ(4u, u.m_nID);
    EXPECT_EQ(5, u.m_nStyle);
    EXPECT_EQ(6, u.m_nIndent);
    EXPECT_EQ(7, u.m_nSpaceX);
    EXPECT_EQ(8, u.m_nSpaceY);
    EXPECT_TRUE(EqualRect(&u.m_rcUnit, CRect(9, 10, 11, 12)));
    EXPECT_TRUE(EqualRect(&u.m_rcText, CRect(13, 14, 15, 16)));
    EXPECT_EQ(CString(L"seventeen"), u.m_strText);
    EXPECT_EQ(CString(L"eighteen"), u.m_strTip);
    EXPECT_EQ(19u, u.m_clrBack);
    EXPECT_EQ(20, u.m_nState);
    EXPECT_EQ(21, u.m_bFixedSize);
    EXPECT_TRUE(u.IsFixedSize());
    EXPECT_EQ(22, u.m_nReserved);
    EXPECT_EQ(23, u.m_nUserData);
}
} // namespace

TEST(SkinControlUnit, CopyAndAssignmentCopyEveryField) {
    CSkinControlUnit src = Distinct();
    CSkinControlUnit copy(src);
    ExpectDistinct(copy);
    CSkinControlUnit assigned;
    assigned = src;
    ExpectDistinct(assigned);
    src.m_strText = L"changed"; // the copies own their texts
    EXPECT_EQ(CString(L"seventeen"), copy.m_strText);
    EXPECT_EQ(CString(L"seventeen"), assigned.m_strText);
}

// ---------------------------------------------------------------------------

namespace {
// A panel at the foot of a window, with the missed-call unit and a second
// unit, as the login panel builds them.
struct PannelFixture : ::testing::Test {
    TestWindow parent{340, 260};
    CSkinControlPannel pannel;

    void SetUp() override {
        ASSERT_TRUE(pannel.Create(0x50010000, CRect(0, 0, 0, 0), CWnd::FromHandle(parent),
                                  IDC_LOGIN_PANNEL, 0));
        pannel.MoveWindow(3, 190, 320, 25);
        CSkinControlUnit missed;
        missed.m_nID = IDC_LOGIN_UNIT_NOANSWER;
        missed.m_strText = L"Missed calls 0";
        missed.m_nWidth = 96;
        missed.m_nStyle = 2;
        missed.m_nIndent = 5;
        EXPECT_EQ(0, pannel.AddControlUnit(missed));
        CSkinControlUnit message;
        message.m_nID = IDC_LOGIN_UNIT_MESSAGE;
        message.m_strText = L"Messages";
        message.m_nWidth = 70;
        message.m_nStyle = 1;
        EXPECT_EQ(1, pannel.AddControlUnit(message));
        Pump(10);
    }

    static CPoint Centre(const RECT& r) {
        return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    void Click(CPoint down, CPoint up) {
        pannel.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(down.x, down.y));
        pannel.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
        Pump(10);
    }
};
} // namespace

TEST_F(PannelFixture, IsABoundWindowOfItsOwnClassThatLaysOutItsUnits) {
    wchar_t cls[64] = {};
    GetClassNameW(pannel.m_hWnd, cls, 64);
    EXPECT_STREQ(L"SkinControlPannel", cls);
    EXPECT_EQ(&pannel, CWnd::FromHandlePermanent(pannel.m_hWnd));
    EXPECT_EQ(parent.Handle(), GetParent(pannel.m_hWnd));
    EXPECT_EQ(IDC_LOGIN_PANNEL, GetDlgCtrlID(pannel.m_hWnd));
    ASSERT_EQ(2, pannel.GetUnitCount());

    // The panel keeps copies of the units it was given.
    const CSkinControlUnit* a = pannel.GetUnit(0);
    const CSkinControlUnit* b = pannel.GetUnit(1);
    ASSERT_NE(nullptr, a);
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(nullptr, pannel.GetUnit(2));
    EXPECT_EQ(a, pannel.FindUnit(IDC_LOGIN_UNIT_NOANSWER));
    EXPECT_EQ(96, a->m_nWidth);
    EXPECT_EQ(2, a->m_nStyle);
    EXPECT_EQ(5, a->m_nIndent);

    // Left to right: gap, width, gap, width; centred in the panel's height.
    EXPECT_EQ(2, a->m_rcUnit.left);
    EXPECT_GE(a->m_rcUnit.right - a->m_rcUnit.left, 96);
    EXPECT_EQ(a->m_rcUnit.right + 2, b->m_rcUnit.left);
    EXPECT_GT(a->m_rcUnit.bottom, a->m_rcUnit.top);
    EXPECT_GE(a->m_rcUnit.top, 2);
    EXPECT_LE(a->m_rcUnit.bottom, 23);
    EXPECT_EQ(a->m_rcUnit.left + 5, a->m_rcText.left);

    // A unit never reaches past the panel.
    CSkinControlUnit wide;
    wide.m_nID = 1;
    wide.m_strText = L"wide";
    pannel.AddControlUnit(wide);
    EXPECT_LE(pannel.GetUnit(2)->m_rcUnit.right, 320);
    PaintNow(parent);
}

TEST_F(PannelFixture, AClickOnAUnitReachesTheParentWithTheUnit) {
    const CSkinControlUnit* missed = pannel.FindUnit(IDC_LOGIN_UNIT_NOANSWER);
    ASSERT_NE(nullptr, missed);
    Click(Centre(missed->m_rcUnit), Centre(missed->m_rcUnit));
    std::vector<Recorded> notes = parent.Messages(WM_PANNEL_NOTIFY);
    ASSERT_EQ(1u, notes.size());
    EXPECT_EQ(0x1400u, notes[0].message);
    EXPECT_EQ(1u, notes[0].code);
    EXPECT_EQ(static_cast<const void*>(missed), notes[0].unit);
    EXPECT_EQ(static_cast<UINT>(IDC_LOGIN_UNIT_NOANSWER), notes[0].unitId);
    EXPECT_EQ(pannel.m_hWnd, notes[0].from);
    EXPECT_EQ(static_cast<UINT>(IDC_LOGIN_PANNEL), notes[0].idFrom);
    // On the 32-bit build the unit is the record's fourth 32-bit field.
    EXPECT_EQ(sizeof(void*) == 4 ? 12u : 16u, offsetof(SKINPANNELNOTIFY, pUnit));

    const CSkinControlUnit* message = pannel.FindUnit(IDC_LOGIN_UNIT_MESSAGE);
    Click(Centre(message->m_rcUnit), Centre(message->m_rcUnit));
    notes = parent.Messages(WM_PANNEL_NOTIFY);
    ASSERT_EQ(2u, notes.size());
    EXPECT_EQ(static_cast<const void*>(message), notes[1].unit);
    EXPECT_EQ(static_cast<UINT>(IDC_LOGIN_UNIT_MESSAGE), notes[1].unitId);
}

TEST_F(PannelFixture, NothingIsSentForAClickOutsideAUnitOrAcrossTwo) {
    const CSkinControlUnit* a = pannel.GetUnit(0);
    const CSkinControlUnit* b = pannel.GetUnit(1);
    CPoint beyond(b->m_rcUnit.right + 20, 12);
    Click(beyond, beyond);
    Click(CPoint(a->m_rcUnit.right + 1, 12), CPoint(a->m_rcUnit.right + 1, 12)); // the gap
    Click(Centre(a->m_rcUnit), Centre(b->m_rcUnit));
    Click(Centre(a->m_rcUnit), beyond);
    pannel.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(Centre(a->m_rcUnit).x, 12)); // no press
    Pump(10);
    EXPECT_TRUE(parent.Messages(WM_PANNEL_NOTIFY).empty());
}

TEST_F(PannelFixture, ChangeControlUintReplacesTheTextOfThatUnit) {
    EXPECT_TRUE(pannel.ChangeControlUint(IDC_LOGIN_UNIT_NOANSWER, L"Missed calls 7"));
    EXPECT_EQ(CString(L"Missed calls 7"), pannel.FindUnit(IDC_LOGIN_UNIT_NOANSWER)->m_strText);
    EXPECT_EQ(CString(L"Messages"), pannel.FindUnit(IDC_LOGIN_UNIT_MESSAGE)->m_strText);
    EXPECT_TRUE(pannel.ChangeControlUint(IDC_LOGIN_UNIT_MESSAGE, L"Messages 3"));
    EXPECT_EQ(CString(L"Messages 3"), pannel.FindUnit(IDC_LOGIN_UNIT_MESSAGE)->m_strText);
    EXPECT_EQ(CString(L"Missed calls 7"), pannel.FindUnit(IDC_LOGIN_UNIT_NOANSWER)->m_strText);
    EXPECT_FALSE(pannel.ChangeControlUint(12345, L"nobody"));
    // A longer text widens a unit whose width follows its text, and the
    // next unit moves along.
    LONG before = pannel.GetUnit(1)->m_rcUnit.left;
    pannel.ChangeControlUint(IDC_LOGIN_UNIT_NOANSWER, L"Missed calls 7 - a much longer text");
    EXPECT_GT(pannel.GetUnit(1)->m_rcUnit.left, before);
    PaintNow(parent);
}

TEST_F(PannelFixture, TheCursorIsAHandOverAUnit) {
    ShowWindow(parent, SW_SHOW);
    const CSkinControlUnit* a = pannel.GetUnit(0);
    POINT pt = Centre(a->m_rcUnit);
    ClientToScreen(pannel.m_hWnd, &pt);
    SetCursorPos(pt.x, pt.y);
    POINT now;
    GetCursorPos(&now);
    if (now.x != pt.x || now.y != pt.y)
        GTEST_SKIP() << "the cursor cannot be moved on this display";
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_TRUE(pannel.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(pannel.m_hWnd),
                                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(LoadCursorW(nullptr, IDC_HAND), GetCursor());
    POINT off = {pannel.GetUnit(1)->m_rcUnit.right + 30, 12};
    ClientToScreen(pannel.m_hWnd, &off);
    SetCursorPos(off.x, off.y);
    pannel.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(pannel.m_hWnd),
                       MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_NE(LoadCursorW(nullptr, IDC_HAND), GetCursor());
}

TEST(SkinControlPannel, DestroyingThePannelTakesItsWindow) {
    TestWindow parent;
    HWND hwnd = nullptr;
    {
        CSkinControlPannel p;
        ASSERT_TRUE(p.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 24), CWnd::FromHandle(parent),
                             IDC_LOGIN_PANNEL));
        hwnd = p.m_hWnd;
        CSkinControlUnit u;
        u.m_nID = IDC_LOGIN_UNIT_NOANSWER;
        p.AddControlUnit(u);
        EXPECT_TRUE(IsWindow(hwnd));
    }
    EXPECT_FALSE(IsWindow(hwnd));
    CSkinControlPannel orphan;
    EXPECT_FALSE(orphan.Create(WS_CHILD, CRect(0, 0, 10, 10), nullptr, 1));
}
