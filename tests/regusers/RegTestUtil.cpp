#include "RegTestUtil.h"

#include <deque>
#include <sstream>

namespace regtest {

RegInfo Reg(const wchar_t* account, const wchar_t* password, const wchar_t* address,
            const wchar_t* port, const wchar_t* imsDomain, int flag, const wchar_t* extra) {
    RegInfo r;
    r.account = account;
    r.password = password;
    r.address = address;
    r.port = port;
    r.imsDomain = imsDomain;
    r.flag = flag;
    r.extra = extra;
    return r;
}

HWND List(HWND hDlg) {
    return Item(hDlg, IDC_REGUSERS_LIST);
}

int RowCount(HWND hList) {
    return static_cast<int>(SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0));
}

std::wstring Cell(HWND hList, int row, int col) {
    wchar_t buf[512] = {};
    LVITEMW item = {};
    item.iSubItem = col;
    item.pszText = buf;
    item.cchTextMax = 512;
    SendMessageW(hList, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
    return buf;
}

std::vector<std::wstring> Row(HWND hList, int row) {
    std::vector<std::wstring> cells;
    for (int col = 0; col < 5; ++col)
        cells.push_back(Cell(hList, row, col));
    return cells;
}

void SelectRow(HWND hList, int row) {
    LVITEMW item = {};
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(hList, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
    Pump();
}

void ClearSelection(HWND hList) {
    LVITEMW item = {};
    item.state = 0;
    item.stateMask = LVIS_SELECTED;
    SendMessageW(hList, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    Pump();
}

int SelectedRow(HWND hList) {
    return static_cast<int>(
        SendMessageW(hList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void DoubleClickRow(HWND hList, int row) {
    RECT rc = {};
    rc.left = LVIR_LABEL;
    SendMessageW(hList, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rc));
    LPARAM pt = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    SendMessageW(hList, WM_LBUTTONDBLCLK, MK_LBUTTON, pt);
    SendMessageW(hList, WM_LBUTTONUP, 0, pt);
    Pump();
}

std::vector<Column> Columns(HWND hList) {
    std::vector<Column> cols;
    for (int i = 0;; ++i) {
        wchar_t buf[256] = {};
        LVCOLUMNW col = {};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        col.pszText = buf;
        col.cchTextMax = 256;
        if (!SendMessageW(hList, LVM_GETCOLUMNW, static_cast<WPARAM>(i),
                          reinterpret_cast<LPARAM>(&col)))
            break;
        cols.push_back({buf, col.cx, col.fmt & LVCFMT_JUSTIFYMASK});
    }
    return cols;
}

void PressEscape(HWND hDlg) {
    HWND hList = List(hDlg);
    SetFocus(hList);
    PressKey(hList, VK_ESCAPE);
}

void PressEnter(HWND hDlg) {
    HWND hList = List(hDlg);
    SetFocus(hList);
    PressKey(hList, VK_RETURN);
}

void CloseBox(HWND hDlg) {
    PostMessageW(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
}

namespace {
const UINT WM_RUN_LATER = WM_APP + 41;

std::deque<std::function<void()>>& LaterQueue() {
    static std::deque<std::function<void()>> q;
    return q;
}

LRESULT CALLBACK LaterWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_RUN_LATER) {
        if (!LaterQueue().empty()) {
            std::function<void()> f = std::move(LaterQueue().front());
            LaterQueue().pop_front();
            f();
        }
        return 0;
    }
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}

HWND LaterWindow() {
    static HWND hWnd = nullptr;
    if (!hWnd) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &LaterWndProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"RegUsersTestLater";
        RegisterClassW(&wc);
        hWnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               wc.hInstance, nullptr);
    }
    return hWnd;
}
} // namespace

void ClickAndThen(HWND hDlg, int id, std::function<void(bool stillOpen)> then) {
    EXPECT_TRUE(Click(hDlg, id)) << "button " << id;
    LaterQueue().push_back([hDlg, then]() { then(IsWindow(hDlg) != FALSE); });
    PostMessageW(LaterWindow(), WM_RUN_LATER, 0, 0);
}

HWND Focus(HWND hDlg) {
    HWND hFocus = GetFocus();
    if (!hFocus && IsWindow(hDlg)) {
        // Another program on the shared display took the activation: the
        // dialog kept its focus control and gives it back when active again.
        SetActiveWindow(hDlg);
        Pump();
        hFocus = GetFocus();
    }
    return hFocus;
}

std::wstring Lang(const wchar_t* section, const wchar_t* key) {
    return std::wstring(section) + L":" + key;
}

bool SameRecord(const RegInfo& a, const RegInfo& b) {
    return a.account == b.account && a.password == b.password && a.address == b.address &&
           a.port == b.port && a.imsDomain == b.imsDomain && a.flag == b.flag && a.extra == b.extra;
}

std::string Describe(const RegInfo& r) {
    std::wostringstream os;
    os << L"{[" << r.account.GetString() << L"] [" << r.password.GetString() << L"] ["
       << r.address.GetString() << L"] [" << r.port.GetString() << L"] [" << r.imsDomain.GetString()
       << L"] " << r.flag << L" [" << r.extra.GetString() << L"]}";
    std::wstring w = os.str();
    return std::string(w.begin(), w.end());
}

void RegUsersTest::SetUp() {
    Calls().Clear();
    MessageBoxes::Install();
    MessageBoxes::Clear();
    DialogDriver::Install();
    DialogDriver::Reset();
    siblings.RegisterAll();
}

void RegUsersTest::TearDown() {
    EXPECT_FALSE(DialogDriver::WatchdogFired()) << "a dialog was left open";
    EXPECT_EQ(0, DialogDriver::Pending()) << "a scripted dialog never opened";
    DialogDriver::Reset();
    MessageBoxes::Clear();
    siblings.UnregisterAll();
}

INT_PTR RegUsersTest::RunList(const std::function<void(CRegUsersDlg&, HWND)>& action) {
    CRegUsersDlg dlg;
    DialogDriver::OnNextDialog([&dlg, &action](HWND hDlg) { action(dlg, hDlg); });
    return dlg.DoModal();
}

void RegUsersTest::OnEntry(const std::function<void(HWND)>& action) {
    DialogDriver::OnNextDialog(action);
}

void RegUsersTest::Fill(HWND hEntry, const std::wstring& account, const std::wstring& password,
                        const std::wstring& address, const std::wstring& port,
                        const std::wstring& imsDomain) {
    SetText(hEntry, IDC_REGUSERSINFO_ACCOUNT, account);
    SetText(hEntry, IDC_REGUSERSINFO_PASSWORD, password);
    SetText(hEntry, IDC_REGUSERSINFO_ADDRESS, address);
    SetText(hEntry, IDC_REGUSERSINFO_PORT, port);
    SetText(hEntry, IDC_REGUSERSINFO_IMSDOMAIN, imsDomain);
}

} // namespace regtest
