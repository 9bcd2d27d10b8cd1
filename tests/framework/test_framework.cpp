// The framework stand-in behaves as the class library it stands for: AddTool
// appends a tool, a data exchange on a missing control ends the dialog, and
// the erase handler gets a device-context object for the message's HDC.
#include "TestHost.h"
#include "res/resource.h"

#include <afxcmn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A window with two push buttons to put tool tips on.
class FrameworkToolTip : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(parent.CreateEx(0, L"STATIC", L"tool tips", WS_OVERLAPPEDWINDOW, 40, 40, 300,
                                    200, nullptr, nullptr));
        for (int i = 0; i < 2; ++i)
            ASSERT_TRUE(buttons[i].CreateEx(0, L"BUTTON", L"b", WS_CHILD | WS_VISIBLE,
                                            CRect(10 + 60 * i, 10, 60 + 60 * i, 40), &parent,
                                            100 + i));
        ASSERT_TRUE(tip.Create(&parent));
    }
    void TearDown() override { parent.DestroyWindow(); }

    // The text the control shows for a button: the first tool it has for it.
    std::wstring Shown(int i) {
        CString text;
        tip.GetText(text, &buttons[i]);
        return text.GetString();
    }

    CWnd parent;
    CWnd buttons[2];
    CToolTipCtrl tip;
};

// As the common control does under the class library: every AddTool is one
// more tool, the first registration stays the one shown, DelTool removes
// the first.
TEST_F(FrameworkToolTip, AddToolAppendsAndTheFirstToolKeepsShowing) {
    enum Op { Add, Del };
    const struct {
        Op op;
        int button;
        const wchar_t* text;
        int count;
        const wchar_t* shown0;
        const wchar_t* shown1;
    } steps[] = {
        {Add, 0, L"one", 1, L"one", L""},        {Add, 0, L"two", 2, L"one", L""},
        {Add, 1, L"other", 3, L"one", L"other"}, {Del, 0, nullptr, 2, L"two", L"other"},
        {Del, 0, nullptr, 1, L"", L"other"},     {Add, 0, L"three", 2, L"three", L"other"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.count);
        if (step.op == Add)
            EXPECT_TRUE(tip.AddTool(&buttons[step.button], step.text));
        else
            tip.DelTool(&buttons[step.button]);
        EXPECT_EQ(step.count, tip.GetToolCount());
        EXPECT_EQ(step.shown0, Shown(0));
        EXPECT_EQ(step.shown1, Shown(1));
    }
}

// A dialog (the lock dialog's template) that binds the controls of its table
// with DDX_Control and records what its initialisation saw.
class ExchangeDialog : public CDialog {
public:
    explicit ExchangeDialog(std::vector<int> ids)
        : CDialog(IDD_LOCK), m_ids(std::move(ids)), m_controls(m_ids.size()) {}
    BOOL OnInitDialog() override {
        initResult = CDialog::OnInitDialog();
        for (const CWnd& control : m_controls)
            bound.push_back(control.GetSafeHwnd() != nullptr);
        return initResult;
    }
    void DoDataExchange(CDataExchange* pDX) override {
        CDialog::DoDataExchange(pDX);
        for (size_t i = 0; i < m_ids.size(); ++i)
            DDX_Control(pDX, m_ids[i], m_controls[i]);
    }
    BOOL initResult = -1;
    std::vector<bool> bound;

private:
    std::vector<int> m_ids;
    std::vector<CWnd> m_controls;
};

class FrameworkDataExchange : public ::testing::Test {
protected:
    void SetUp() override {
        DialogDriver::Install();
        DialogDriver::Reset();
    }
    void TearDown() override {
        EXPECT_FALSE(DialogDriver::WatchdogFired()) << "a dialog was left open";
        DialogDriver::Reset();
    }
};

// Every control there: the dialog runs. A missing control, or one already
// bound to another object, fails the exchange where it stands: later
// controls stay unbound, the user is told, and the dialog ends with -1
// before it is shown.
TEST_F(FrameworkDataExchange, AMissingControlEndsTheDialogWithMinusOne) {
    const wchar_t kNotSupported[] = L"An unsupported operation was attempted.";
    const int kMissing = 9999;
    const struct {
        std::vector<int> ids;
        INT_PTR result;
        BOOL initResult;
        std::vector<bool> bound;
        std::vector<std::wstring> boxes;
    } cases[] = {
        {{IDC_LOCK_PASSWORD, IDC_LOCK_ACCOUNT}, IDCANCEL, TRUE, {true, true}, {}},
        {{kMissing, IDC_LOCK_ACCOUNT}, -1, FALSE, {false, false}, {kNotSupported}},
        {{IDC_LOCK_PASSWORD, kMissing, IDC_LOCK_ACCOUNT},
         -1,
         FALSE,
         {true, false, false},
         {kNotSupported}},
        {{IDC_LOCK_ACCOUNT, IDC_LOCK_ACCOUNT, IDC_LOCK_PASSWORD},
         -1,
         FALSE,
         {true, false, false},
         {kNotSupported}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ids.size() * 10 + c.bound.size());
        DialogDriver::Reset();
        std::vector<std::wstring> boxes;
        // The first window to open: the message box when the exchange
        // fails, the dialog itself when it runs.
        DialogDriver::OnNextDialog([&](HWND hWnd) {
            if (GetDlgItem(hWnd, IDC_LOCK_PASSWORD)) {
                PostMessageW(hWnd, WM_COMMAND, IDCANCEL, 0);
                return;
            }
            boxes.push_back(Text(hWnd, 0xFFFF));
            PostMessageW(hWnd, WM_COMMAND, IDOK, 0);
        });
        ExchangeDialog dlg(c.ids);
        EXPECT_EQ(c.result, dlg.DoModal());
        EXPECT_EQ(c.initResult, dlg.initResult);
        EXPECT_EQ(c.bound, dlg.bound);
        EXPECT_EQ(c.boxes, boxes);
        EXPECT_EQ(0, DialogDriver::Pending());
    }
}

// The erase handler of a window object.
class ErasingWindow : public CWnd {
public:
    BOOL OnEraseBkgnd(CDC* pDC) {
        seen = pDC ? pDC->GetSafeHdc() : nullptr;
        return TRUE;
    }
    HDC seen = nullptr;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ErasingWindow, CWnd)
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

TEST(FrameworkMessages, EraseHandlerGetsTheContextObjectOfTheMessagesHdc) {
    ErasingWindow wnd;
    ASSERT_TRUE(wnd.CreateEx(0, L"STATIC", L"erase", WS_OVERLAPPEDWINDOW, 40, 40, 200, 100, nullptr,
                             nullptr));
    HDC hDC = GetDC(wnd.m_hWnd);
    EXPECT_EQ(TRUE, wnd.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(hDC)));
    EXPECT_EQ(hDC, wnd.seen);
    // The context is the caller's: still usable after the handler.
    EXPECT_NE(0, GetDeviceCaps(hDC, LOGPIXELSX));
    ReleaseDC(wnd.m_hWnd, hDC);
    wnd.DestroyWindow();
}

} // namespace
