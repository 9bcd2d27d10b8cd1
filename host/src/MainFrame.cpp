#include "MainFrame.h"

#include "DisplayScale.h"
#include "KiteClient.h"
#include "TextUtil.h"
#include "ClientResource.h"

#include <SkinMagicExU.h>

#include <commctrl.h>

#include <algorithm>

namespace kite {

namespace {

const wchar_t kFrameClass[] = L"KiteClientMainFrame";
const wchar_t kPageClass[] = L"KiteClientPage";
const int kTabHeight = 26;

void RegisterClasses() {
    static bool done = false;
    if (done)
        return;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hIcon = ::LoadIconW(wc.hInstance, MAKEINTRESOURCEW(IDR_KITE_ICON));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFrameClass;
    ::RegisterClassW(&wc);
    wc.hIcon = nullptr;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kPageClass;
    ::RegisterClassW(&wc);
    done = true;
}

// The system's message font: it follows the display scaling (the stock GUI
// font of Windows stays at its 96-DPI size).
HFONT UiFont() {
    static HFONT font = [] {
        NONCLIENTMETRICSW ncm = {};
        ncm.cbSize = sizeof(ncm);
        HFONT made = nullptr;
        if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0))
            made = ::CreateFontIndirectW(&ncm.lfMessageFont);
        return made ? made : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    }();
    return font;
}

HFONT TitleFont() {
    static HFONT font = nullptr;
    if (!font) {
        LOGFONTW lf = {};
        ::GetObjectW(UiFont(), sizeof(lf), &lf);
        lf.lfHeight = lf.lfHeight < 0 ? lf.lfHeight * 3 / 2 : -Px(16);
        lf.lfWeight = FW_BOLD;
        font = ::CreateFontIndirectW(&lf);
    }
    return font;
}

HWND AddChild(HWND parent, const wchar_t* cls, DWORD style, int id, int x, int y, int w, int h,
              HFONT font, DWORD exStyle = 0) {
    HWND hwnd = ::CreateWindowExW(exStyle, cls, L"", WS_CHILD | WS_VISIBLE | style, x, y, w, h,
                                  parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return hwnd;
}

void SetColumns(CListCtrl& list, const std::vector<std::pair<std::wstring, int>>& columns) {
    HWND header = reinterpret_cast<HWND>(list.SendMessage(LVM_GETHEADER));
    int existing = header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
        if (i < existing) {
            LVCOLUMNW col = {};
            col.mask = LVCF_TEXT;
            col.pszText = const_cast<wchar_t*>(columns[i].first.c_str());
            list.SendMessage(LVM_SETCOLUMNW, i, reinterpret_cast<LPARAM>(&col));
        } else {
            list.InsertColumn(i, columns[i].first.c_str(), LVCFMT_LEFT, columns[i].second);
        }
    }
}

// Texts on a page stand on the page's own (window) colour.
LRESULT PageStaticColour(WPARAM wParam, bool accent) {
    HDC hdc = reinterpret_cast<HDC>(wParam);
    ::SetBkColor(hdc, ::GetSysColor(COLOR_WINDOW));
    ::SetTextColor(hdc, accent ? RGB(0x1F, 0x4E, 0x8C) : ::GetSysColor(COLOR_WINDOWTEXT));
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
}

} // namespace

// ---------------------------------------------------------------------------
// Call page

BEGIN_MESSAGE_MAP(CallPage, CWnd)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_MESSAGE(WM_CTLCOLORSTATIC, OnCtlColorStatic)
END_MESSAGE_MAP()

BOOL CallPage::CreatePage(CWnd* parent, const RECT& rect) {
    RegisterClasses();
    if (!CreateEx(0, kPageClass, L"", WS_CHILD | WS_CLIPCHILDREN, rect, parent, IDC_MAIN_CALLPAGE))
        return FALSE;
    int w = rect.right - rect.left, h = rect.bottom - rect.top;
    const int margin = Px(16);
    AddChild(m_hWnd, WC_STATICW, SS_LEFT | SS_NOPREFIX, IDC_CALL_IDENTITY, margin, Px(18),
             w - 2 * margin, Px(24), TitleFont());
    AddChild(m_hWnd, WC_STATICW, SS_LEFT | SS_NOPREFIX, IDC_CALL_SERVER, margin, Px(46),
             w - 2 * margin, Px(32), UiFont());
    AddChild(m_hWnd, WC_STATICW, SS_LEFT | SS_NOPREFIX, IDC_CALL_CONTACTS_LABEL, margin, Px(92),
             w - 2 * margin, Px(16), UiFont());
    HWND list = AddChild(m_hWnd, WC_LISTVIEWW, LVS_REPORT | LVS_SINGLESEL | LVS_NOSORTHEADER,
                         IDC_CALL_CONTACTS, margin, Px(112), w - 2 * margin, h - Px(128), UiFont(),
                         WS_EX_CLIENTEDGE);
    m_contacts.Attach(list);
    m_contacts.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    Refresh();
    return TRUE;
}

void CallPage::Refresh() {
    if (!m_hWnd)
        return;
    LoginLogic& login = m_client.Login();
    MainFrame& main = m_client.Main();
    std::wstring account = main.CurrentAccount();
    bool registered = main.LoginState() != 0 && !account.empty();
    std::wstring identity = m_client.Text(L"CALL_NOT_REGISTERED");
    std::wstring server;
    const LoginLogic::Binding* binding = login.Primary();
    if (registered && binding) {
        identity = binding->domain.empty() ? account : account + L"@" + binding->domain;
        std::vector<ServerInfo>* servers = m_client.Settings().GetServerList();
        int index = login.ServerIndex();
        std::wstring name;
        if (!m_client.Settings().IsMultiUser() && servers && index >= 0 &&
            index < static_cast<int>(servers->size()))
            name = Str((*servers)[static_cast<size_t>(index)].displayName);
        if (!binding->host.empty())
            server = Subst(m_client.Text(L"CALL_SERVER"), name.empty() ? binding->host : name,
                           binding->host, binding->port);
    }
    SetDlgItemText(IDC_CALL_IDENTITY, identity.c_str());
    SetDlgItemText(IDC_CALL_SERVER, server.c_str());
    SetDlgItemText(IDC_CALL_CONTACTS_LABEL, m_client.Text(L"CALL_CONTACTS").c_str());
    int w = 0;
    RECT rc;
    m_contacts.GetClientRect(&rc);
    w = rc.right - rc.left;
    SetColumns(m_contacts,
               {{m_client.Text(L"COL_NAME"), w / 2}, {m_client.Text(L"COL_NUMBER"), w / 2}});
    m_contacts.DeleteAllItems();
    PhoneBook& book = m_client.Contacts();
    if (book.IsOpen()) {
        int row = 0;
        for (const PhoneBook::Contact& c : book.Contacts()) {
            m_contacts.InsertItem(row, c.name.c_str());
            m_contacts.SetItemText(row, 1, c.number.c_str());
            ++row;
        }
    }
}

void CallPage::OnPaint() {
    CPaintDC dc(this);
    RECT rc;
    GetClientRect(&rc);
    // A thin accent line under the identity.
    RECT line = {Px(16), Px(84), rc.right - Px(16), Px(84) + Px(1)};
    HBRUSH b = ::CreateSolidBrush(RGB(61, 124, 201));
    ::FillRect(dc, &line, b);
    ::DeleteObject(b);
}

LRESULT CallPage::OnCtlColorStatic(WPARAM wParam, LPARAM lParam) {
    int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
    return PageStaticColour(wParam, id == IDC_CALL_IDENTITY);
}

BOOL CallPage::OnEraseBkgnd(CDC* pDC) {
    RECT rc;
    GetClientRect(&rc);
    ::FillRect(pDC->GetSafeHdc(), &rc, ::GetSysColorBrush(COLOR_WINDOW));
    return TRUE;
}

// ---------------------------------------------------------------------------
// Record page

BEGIN_MESSAGE_MAP(RecordPage, CWnd)
ON_WM_ERASEBKGND()
ON_MESSAGE(WM_CTLCOLORSTATIC, OnCtlColorStatic)
ON_BN_CLICKED(IDC_RECORD_SETTLE, OnSettle)
ON_BN_CLICKED(IDC_RECORD_SHOW_MISSED, OnShowMissed)
ON_BN_CLICKED(IDC_RECORD_SHOW_MESSAGES, OnShowMessages)
END_MESSAGE_MAP()

BOOL RecordPage::CreatePage(CWnd* parent, const RECT& rect) {
    RegisterClasses();
    if (!CreateEx(0, kPageClass, L"", WS_CHILD | WS_CLIPCHILDREN, rect, parent,
                  IDC_MAIN_RECORDPAGE))
        return FALSE;
    int w = rect.right - rect.left, h = rect.bottom - rect.top;
    const int margin = Px(16);
    const int half = (w - Px(40)) / 2;
    AddChild(m_hWnd, WC_BUTTONW, BS_AUTORADIOBUTTON | BS_PUSHLIKE | WS_GROUP,
             IDC_RECORD_SHOW_MISSED, margin, Px(12), half, Px(24), UiFont());
    AddChild(m_hWnd, WC_BUTTONW, BS_AUTORADIOBUTTON | BS_PUSHLIKE, IDC_RECORD_SHOW_MESSAGES,
             Px(24) + half, Px(12), half, Px(24), UiFont());
    AddChild(m_hWnd, WC_STATICW, SS_LEFT | SS_NOPREFIX, IDC_RECORD_TITLE, margin, Px(46),
             w - 2 * margin, Px(22), TitleFont());
    HWND list = AddChild(m_hWnd, WC_LISTVIEWW, LVS_REPORT | LVS_SINGLESEL | LVS_NOSORTHEADER,
                         IDC_RECORD_LIST, margin, Px(72), w - 2 * margin, h - Px(124), UiFont(),
                         WS_EX_CLIENTEDGE);
    m_list.Attach(list);
    m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    AddChild(m_hWnd, WC_STATICW, SS_CENTER | SS_NOPREFIX, IDC_RECORD_EMPTY, Px(24), Px(140),
             w - Px(48), Px(40), UiFont());
    AddChild(m_hWnd, WC_BUTTONW, BS_PUSHBUTTON, IDC_RECORD_SETTLE, w - margin - Px(150), h - Px(42),
             Px(150), Px(26), UiFont());
    Refresh();
    return TRUE;
}

void RecordPage::SetKind(int kind) {
    m_kind = kind == 3 ? 3 : 2;
    Refresh();
}

void RecordPage::Refresh() {
    if (!m_hWnd)
        return;
    CallRecordStore& store = m_client.Records();
    CheckDlgButton(IDC_RECORD_SHOW_MISSED, m_kind == 2 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_RECORD_SHOW_MESSAGES, m_kind == 3 ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemText(IDC_RECORD_SHOW_MISSED, m_client.Text(L"RECORD_SHOW_MISSED").c_str());
    SetDlgItemText(IDC_RECORD_SHOW_MESSAGES, m_client.Text(L"RECORD_SHOW_MESSAGES").c_str());
    SetDlgItemText(IDC_RECORD_SETTLE, m_client.Text(L"RECORD_SETTLE").c_str());
    std::wstring title =
        Subst(m_client.Text(m_kind == 2 ? L"RECORD_MISSED_TITLE" : L"RECORD_MESSAGES_TITLE"),
              std::to_wstring(store.Count(m_kind)), std::to_wstring(store.UnsettledCount(m_kind)));
    SetDlgItemText(IDC_RECORD_TITLE, store.IsOpen() ? title.c_str() : L"");
    RECT rc;
    m_list.GetClientRect(&rc);
    int w = rc.right - rc.left;
    SetColumns(m_list, {{m_client.Text(L"COL_NUMBER"), w * 24 / 100},
                        {m_client.Text(m_kind == 2 ? L"COL_NAME" : L"COL_TEXT"), w * 28 / 100},
                        {m_client.Text(L"COL_TIME"), w * 32 / 100},
                        {m_client.Text(L"COL_STATE"), w * 16 / 100}});
    m_list.DeleteAllItems();
    int row = 0;
    if (store.IsOpen()) {
        for (const CallRecordStore::Entry& e : store.Entries()) {
            if (e.record.kind != m_kind)
                continue;
            m_list.InsertItem(row, e.peer.c_str());
            std::wstring detail = m_kind == 2 ? m_client.Contacts().NameOf(e.peer) : e.text;
            m_list.SetItemText(row, 1, detail.c_str());
            m_list.SetItemText(row, 2, LocalTimeText(e.record.startTime).c_str());
            m_list.SetItemText(
                row, 3, m_client.Text(e.record.settled ? L"STATE_SEEN" : L"STATE_NEW").c_str());
            ++row;
        }
    }
    CWnd* empty = GetDlgItem(IDC_RECORD_EMPTY);
    CWnd* settle = GetDlgItem(IDC_RECORD_SETTLE);
    empty->SetWindowText(store.IsOpen() ? m_client.Text(L"RECORD_NONE").c_str()
                                        : m_client.Text(L"RECORD_CLOSED").c_str());
    empty->ShowWindow(row == 0 ? SW_SHOW : SW_HIDE);
    m_list.ShowWindow(row == 0 ? SW_HIDE : SW_SHOW);
    settle->EnableWindow(store.IsOpen() && store.UnsettledCount(m_kind) > 0);
}

void RecordPage::OnSettle() {
    m_client.SettleRecords(m_kind);
}

LRESULT RecordPage::OnCtlColorStatic(WPARAM wParam, LPARAM lParam) {
    int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
    return PageStaticColour(wParam, id == IDC_RECORD_TITLE);
}

BOOL RecordPage::OnEraseBkgnd(CDC* pDC) {
    RECT rc;
    GetClientRect(&rc);
    ::FillRect(pDC->GetSafeHdc(), &rc, ::GetSysColorBrush(COLOR_WINDOW));
    return TRUE;
}

// ---------------------------------------------------------------------------
// Main window

BEGIN_MESSAGE_MAP(MainFrame, CWnd)
ON_WM_DESTROY()
ON_MESSAGE(WM_CLOSE, OnCloseMessage)
ON_NOTIFY(TCN_SELCHANGE, IDC_MAIN_TABS, OnTabChange)
ON_COMMAND(ID_CLIENT_LOGIN, OnCommandLogin)
ON_COMMAND(ID_CLIENT_LOGOUT, OnCommandLogout)
ON_COMMAND(ID_CLIENT_LOCK, OnCommandLock)
ON_COMMAND(ID_CLIENT_EXIT, OnCommandExit)
ON_COMMAND(ID_VIEW_LOGIN, OnViewLogin)
ON_COMMAND(ID_VIEW_CALL, OnViewCall)
ON_COMMAND(ID_VIEW_MISSED, OnViewMissed)
ON_COMMAND(ID_VIEW_MESSAGES, OnViewMessages)
ON_COMMAND(ID_DEMO_MISSED_CALL, OnDemoMissedCall)
ON_COMMAND(ID_DEMO_MESSAGE, OnDemoMessage)
ON_COMMAND(ID_DEMO_MULTIUSER, OnDemoMultiUser)
ON_COMMAND_RANGE(ID_LANGUAGE_FIRST, ID_LANGUAGE_LAST, OnLanguage)
END_MESSAGE_MAP()

MainFrame::MainFrame(KiteClient& client)
    : Component<IUIMain>(IID_IUIMain), m_client(client), m_callPage(client), m_recordPage(client) {}

MainFrame::~MainFrame() {
    if (m_hWnd)
        DestroyWindow();
}

BOOL MainFrame::CreateFrame() {
    RegisterClasses();
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    m_title = m_client.Lang().Text(L"global", L"IDS_APP_NAME");
    if (!CreateEx(0, kFrameClass, m_title.c_str(), style, 0, 0, Px(400), Px(500), nullptr, nullptr))
        return FALSE;
    BuildMenu();

    const int pageWidth = Px(kPageWidth);
    m_hTabs = AddChild(m_hWnd, WC_TABCONTROLW, WS_CLIPSIBLINGS | TCS_FOCUSNEVER, IDC_MAIN_TABS, 0,
                       Px(2), pageWidth, Px(kTabHeight), UiFont());
    m_hStatus =
        ::CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, m_hWnd,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_MAIN_STATUSBAR)),
                          ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(m_hStatus, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), FALSE);
    int parts[2] = {pageWidth * 58 / 100, -1};
    ::SendMessageW(m_hStatus, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    RECT sr;
    ::GetWindowRect(m_hStatus, &sr);
    int statusHeight = sr.bottom - sr.top;

    const RECT page = PageRect();
    RECT wr = {0, 0, page.right, page.bottom + statusHeight};
    ::AdjustWindowRectEx(&wr, style, TRUE, 0);
    SetWindowPos(nullptr, 0, 0, wr.right - wr.left, wr.bottom - wr.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageW(m_hStatus, WM_SIZE, 0, 0);

    m_callPage.CreatePage(this, page);
    m_recordPage.CreatePage(this, page);
    ApplyConfiguration();
    ShowPage(PAGE_LOGIN);
    return TRUE;
}

RECT MainFrame::PageRect() const {
    const int top = Px(2) + Px(kTabHeight);
    RECT rc = {0, top, Px(kPageWidth), top + Px(kPageHeight)};
    return rc;
}

void MainFrame::BuildMenu() {
    HMENU old = ::GetMenu(m_hWnd);
    HMENU bar = ::CreateMenu();
    auto item = [this](HMENU menu, UINT id, const wchar_t* key) {
        ::AppendMenuW(menu, MF_STRING, id, m_client.Text(key).c_str());
    };
    HMENU client = ::CreatePopupMenu();
    item(client, ID_CLIENT_LOGIN, L"MENU_LOGIN");
    item(client, ID_CLIENT_LOGOUT, L"MENU_LOGOUT");
    item(client, ID_CLIENT_LOCK, L"MENU_LOCK");
    ::AppendMenuW(client, MF_SEPARATOR, 0, nullptr);
    item(client, ID_CLIENT_EXIT, L"MENU_EXIT");
    HMENU view = ::CreatePopupMenu();
    item(view, ID_VIEW_LOGIN, L"MENU_VIEW_LOGIN");
    if (!m_callPageHidden)
        item(view, ID_VIEW_CALL, L"MENU_VIEW_CALL");
    item(view, ID_VIEW_MISSED, L"MENU_VIEW_MISSED");
    item(view, ID_VIEW_MESSAGES, L"MENU_VIEW_MESSAGES");
    HMENU language = ::CreatePopupMenu();
    m_languageCodes.clear();
    for (const LangService::Language& l : m_client.Lang().Available()) {
        UINT id = ID_LANGUAGE_FIRST + static_cast<UINT>(m_languageCodes.size());
        if (id > ID_LANGUAGE_LAST)
            break;
        bool current = l.code == m_client.Lang().Current();
        ::AppendMenuW(language, MF_STRING | (current ? MF_CHECKED : 0), id, l.name.c_str());
        m_languageCodes.push_back(l.code);
    }
    HMENU demo = ::CreatePopupMenu();
    item(demo, ID_DEMO_MISSED_CALL, L"MENU_DEMO_MISSED");
    item(demo, ID_DEMO_MESSAGE, L"MENU_DEMO_MESSAGE");
    ::AppendMenuW(demo, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(demo, MF_STRING | (m_client.Settings().IsMultiUser() ? MF_CHECKED : 0),
                  ID_DEMO_MULTIUSER, m_client.Text(L"MENU_DEMO_MULTIUSER").c_str());
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(client),
                  m_client.Text(L"MENU_CLIENT").c_str());
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view),
                  m_client.Text(L"MENU_VIEW").c_str());
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(language),
                  m_client.Text(L"MENU_LANGUAGE").c_str());
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(demo),
                  m_client.Text(L"MENU_DEMO").c_str());
    if (m_refuseExit)
        ::EnableMenuItem(client, ID_CLIENT_EXIT, MF_BYCOMMAND | MF_GRAYED);
    ::SetMenu(m_hWnd, bar);
    if (old)
        ::DestroyMenu(old);
    ::DrawMenuBar(m_hWnd);
}

void MainFrame::Relabel() {
    if (!m_hWnd)
        return;
    BuildMenu();
    TabCtrl_DeleteAllItems(m_hTabs);
    std::vector<std::wstring> tabs = {m_client.Text(L"TAB_LOGIN")};
    if (!m_callPageHidden)
        tabs.push_back(m_client.Text(L"TAB_CALL"));
    tabs.push_back(m_client.Text(L"TAB_RECORDS"));
    for (size_t i = 0; i < tabs.size(); ++i) {
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(tabs[i].c_str());
        TabCtrl_InsertItem(m_hTabs, static_cast<int>(i), &item);
    }
    // The plug-in sends its status text only when its state changes.
    if (!m_statusKey.second.empty())
        m_statusText = m_client.Lang().Text(m_statusKey.first, m_statusKey.second);
    UpdateStateText();
    RefreshPages();
    ShowPage(m_page);
}

void MainFrame::RefreshPages() {
    UpdateStateText();
    m_callPage.Refresh();
    m_recordPage.Refresh();
}

void MainFrame::ShowPage(Page page) {
    if (page == PAGE_CALL && m_callPageHidden)
        page = PAGE_LOGIN;
    if (page != PAGE_LOGIN && m_client.Panel())
        m_client.Panel()->CloseKeyBoardDlg();
    m_page = page;
    int tab = page == PAGE_LOGIN ? 0 : page == PAGE_CALL ? 1 : (m_callPageHidden ? 1 : 2);
    TabCtrl_SetCurSel(m_hTabs, tab);
    if (HWND panel = m_client.PanelWnd())
        ::ShowWindow(panel, page == PAGE_LOGIN ? SW_SHOW : SW_HIDE);
    if (page == PAGE_CALL)
        m_callPage.Refresh();
    if (page == PAGE_RECORDS)
        m_recordPage.Refresh();
    m_callPage.ShowWindow(page == PAGE_CALL ? SW_SHOW : SW_HIDE);
    m_recordPage.ShowWindow(page == PAGE_RECORDS ? SW_SHOW : SW_HIDE);
}

void MainFrame::OnTabChange(NMHDR*, LRESULT* pResult) {
    int tab = TabCtrl_GetCurSel(m_hTabs);
    Page page = tab == 0 ? PAGE_LOGIN : PAGE_RECORDS;
    if (tab == 1 && !m_callPageHidden)
        page = PAGE_CALL;
    ShowPage(page);
    *pResult = 0;
}

void MainFrame::Event(const std::wstring& text) {
    m_events.push_back(text);
}

void MainFrame::UpdateStateText() {
    std::wstring state = m_loginState && !m_account.empty()
                             ? Subst(m_client.Text(L"STATE_REGISTERED"), m_account)
                             : m_client.Text(L"STATE_NOT_REGISTERED");
    LoginLogic& login = m_client.Login();
    const LoginLogic::Binding* primary = login.Primary();
    if (m_loginState && primary && primary->failing)
        // Refreshes fail and are retried: the panel still shows the login.
        state = Subst(m_client.Text(L"STATE_RETRYING"), primary->account,
                      std::to_wstring(primary->retry));
    else if (m_loginState && login.LoginCount() > 1)
        state = Subst(m_client.Text(L"STATE_MULTI_REGISTERED"),
                      std::to_wstring(login.HoldingCount()), std::to_wstring(login.LoginCount()));
    FitStatusParts(state);
    ::SendMessageW(m_hStatus, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(state.c_str()));
    ::SendMessageW(m_hStatus, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(m_statusText.c_str()));
}

// The registration state (the right part) is shown whole: the panel's
// status text on the left gives up room when the state needs more than its
// part (the fonts of a larger display scaling grow faster than the window).
void MainFrame::FitStatusParts(const std::wstring& state) {
    RECT rc;
    ::GetClientRect(m_hStatus, &rc);
    HDC hdc = ::GetDC(m_hStatus);
    HGDIOBJ old = ::SelectObject(hdc, UiFont());
    SIZE text = {0, 0};
    ::GetTextExtentPoint32W(hdc, state.c_str(), static_cast<int>(state.size()), &text);
    ::SelectObject(hdc, old);
    ::ReleaseDC(m_hStatus, hdc);
    const int width = rc.right - rc.left;
    int parts[2] = {std::min<int>(width * 58 / 100, width - text.cx - Px(12)), -1};
    parts[0] = std::max(parts[0], width / 3);
    ::SendMessageW(m_hStatus, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
}

void MainFrame::SetStartupAccount(const std::wstring& account, const std::wstring& password) {
    m_startupAccount = account;
    m_startupPassword = password;
}

void MainFrame::RequestClose() {
    if (m_refuseExit) {
        ::MessageBoxExW(m_hWnd, m_client.Text(L"EXIT_REFUSED").c_str(),
                        m_client.Lang().Text(L"global", L"IDS_INFO_INFORMATION").c_str(),
                        MB_OK | MB_ICONINFORMATION);
        return;
    }
    DestroyWindow();
}

LRESULT MainFrame::OnCloseMessage(WPARAM, LPARAM) {
    RequestClose();
    return 0;
}

void MainFrame::OnDestroy() {
    if (m_quitOnDestroy)
        ::PostQuitMessage(0);
    Default();
}

void MainFrame::OnCommandLogin() {
    if (ISIGNDESK* panel = m_client.Panel())
        panel->Login();
}

void MainFrame::OnCommandLogout() {
    if (ISIGNDESK* panel = m_client.Panel())
        panel->Logout();
}

void MainFrame::OnCommandLock() {
    // The panel opens the account lock dialog on Ctrl+P.
    HWND panel = m_client.PanelWnd();
    if (!panel)
        return;
    ShowPage(PAGE_LOGIN);
    BYTE keys[256];
    ::GetKeyboardState(keys);
    BYTE saved = keys[VK_CONTROL];
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    MSG msg = {panel, WM_KEYDOWN, 'P', 1, 0, {0, 0}};
    if (!AfxPreTranslateMessage(&msg))
        ::SendMessageW(panel, WM_KEYDOWN, 'P', 1);
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = saved;
    ::SetKeyboardState(keys);
}

void MainFrame::OnDemoMissedCall() {
    m_client.AddMissedCall(L"");
}

void MainFrame::OnDemoMessage() {
    m_client.AddMessage(L"", L"");
}

void MainFrame::OnDemoMultiUser() {
    m_client.SetMultiUser(!m_client.Settings().IsMultiUser());
    BuildMenu();
}

void MainFrame::OnLanguage(UINT nID) {
    size_t i = nID - ID_LANGUAGE_FIRST;
    if (i < m_languageCodes.size())
        m_client.SwitchLanguage(m_languageCodes[i]);
}

// IUIMain --------------------------------------------------------------------

void MainFrame::ShowLoginPage() {
    Event(L"ShowLoginPage");
    ShowPage(PAGE_LOGIN);
}

void MainFrame::ShowCallPage() {
    Event(L"ShowCallPage");
    ShowPage(PAGE_CALL);
}

void MainFrame::SetTitle(const CString& title) {
    Event(L"SetTitle " + Str(title));
    m_title = Str(title);
    SetWindowText(m_title.c_str());
}

void MainFrame::SetStatusText(const CString& text) {
    Event(L"SetStatusText " + Str(text));
    m_statusText = Str(text);
    if (m_statusText.empty() || !m_client.Lang().KeyOf(m_statusText, m_statusKey))
        m_statusKey = {};
    UpdateStateText();
}

void MainFrame::SetLoginState(int state) {
    Event(L"SetLoginState " + std::to_wstring(state));
    m_loginState = state;
    UpdateStateText();
    RefreshPages();
}

int MainFrame::IsRegistered() {
    return m_loginState != 0 ? 1 : 0;
}

void MainFrame::SetCurrentAccount(const CString& account) {
    Event(L"SetCurrentAccount " + Str(account));
    m_account = Str(account);
    UpdateStateText();
    RefreshPages();
}

void MainFrame::ApplyConfiguration() {
    CustomizeSet* set = m_client.Settings().GetCustomizeSet();
    m_callPageHidden = set && set->hideCallPage == L"1";
    m_refuseExit = set && set->refuseExit == L"1";
    HMENU sys = ::GetSystemMenu(m_hWnd, FALSE);
    ::EnableMenuItem(sys, SC_CLOSE, MF_BYCOMMAND | (m_refuseExit ? MF_GRAYED : MF_ENABLED));
    Relabel();
}

void MainFrame::ApplyCustomizeSet() {
    Event(L"ApplyCustomizeSet");
    ApplyConfiguration();
    // The panel applies its own part of the configuration.
    if (ISIGNDESK* panel = m_client.Panel())
        panel->OnCustomizeSet();
}

void MainFrame::NotifyDeregistered() {
    Event(L"NotifyDeregistered");
    RefreshPages();
}

void MainFrame::NotifyLogout() {
    Event(L"NotifyLogout");
    RefreshPages();
}

void MainFrame::ShowRecordPage(int kind) {
    Event(L"ShowRecordPage " + std::to_wstring(kind));
    m_recordPage.SetKind(kind);
    ShowPage(PAGE_RECORDS);
}

CString MainFrame::GetAdminPassword() {
    return CStr(m_client.Config().AdminPassword());
}

void MainFrame::GetStartupAccount(CString& account, CString& password) {
    // Handed over once: the credentials of the command line start one login.
    account = CStr(m_startupAccount);
    password = CStr(m_startupPassword);
    m_startupAccount.clear();
    m_startupPassword.clear();
}

} // namespace kite
