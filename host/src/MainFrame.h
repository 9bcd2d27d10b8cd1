// The client's main window (IUIMain): a title bar, a strip of page tabs,
// the page area (login page with the plug-in's panel, call page, record
// page) and a status bar, all showing exactly what the plug-in sends.
#pragma once

#include "Component.h"

#include "core/HostInterfaces.h"
#include <afxcmn.h>

#include <string>
#include <vector>

namespace kite {

class KiteClient;

enum Page { PAGE_LOGIN = 0, PAGE_CALL = 1, PAGE_RECORDS = 2 };

// The width and height of the page area the panel is moved to, in pixels at
// 96 DPI (PageRect gives them at the system DPI).
const int kPageWidth = 327;
const int kPageHeight = 400;

// The call page: who is registered where, and the account's phone book.
class CallPage : public CWnd {
public:
    explicit CallPage(KiteClient& client) : m_client(client) {}
    BOOL CreatePage(CWnd* parent, const RECT& rect);
    void Refresh();

protected:
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    LRESULT OnCtlColorStatic(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    KiteClient& m_client;
    CListCtrl m_contacts;
};

// The record page: the missed calls or messages of the open account.
class RecordPage : public CWnd {
public:
    explicit RecordPage(KiteClient& client) : m_client(client) {}
    BOOL CreatePage(CWnd* parent, const RECT& rect);
    void SetKind(int kind);
    int Kind() const { return m_kind; }
    void Refresh();

protected:
    BOOL OnEraseBkgnd(CDC* pDC);
    LRESULT OnCtlColorStatic(WPARAM wParam, LPARAM lParam);
    void OnSettle();
    void OnShowMissed() { SetKind(2); }
    void OnShowMessages() { SetKind(3); }
    DECLARE_MESSAGE_MAP()

private:
    KiteClient& m_client;
    CListCtrl m_list;
    int m_kind = 2;
};

class MainFrame : public CWnd, public Component<IUIMain> {
public:
    explicit MainFrame(KiteClient& client);
    ~MainFrame() override;

    BOOL CreateFrame();
    // The rectangle (in this window's client coordinates) the panel fills.
    RECT PageRect() const;
    Page CurrentPage() const { return m_page; }
    void ShowPage(Page page);
    // Texts of the client's own controls, after a language switch.
    void Relabel();
    void RefreshPages();
    HWND StatusBar() const { return m_hStatus; }
    HWND Tabs() const { return m_hTabs; }
    CallPage& Calls() { return m_callPage; }
    RecordPage& Records() { return m_recordPage; }
    std::wstring StatusText() const { return m_statusText; }
    std::wstring Title() const { return m_title; }
    const std::wstring& CurrentAccount() const { return m_account; }
    int LoginState() const { return m_loginState; }
    // Every call the plug-in made on the main window, in order.
    const std::vector<std::wstring>& Events() const { return m_events; }
    void SetStartupAccount(const std::wstring& account, const std::wstring& password);
    // Takes the stored function configuration into account (hidden call
    // page, refused exit).
    void ApplyConfiguration();
    // Exit asked for: refused while the configuration refuses exit.
    void RequestClose();
    // The client's run ends when the main window is closed.
    void SetQuitOnDestroy(bool quit) { m_quitOnDestroy = quit; }

    // IUIMain
    void ShowLoginPage() override;
    void ShowCallPage() override;
    void SetTitle(const CString& title) override;
    void SetStatusText(const CString& text) override;
    void SetLoginState(int state) override;
    int IsRegistered() override;
    void SetCurrentAccount(const CString& account) override;
    void ApplyCustomizeSet() override;
    void NotifyDeregistered() override;
    void NotifyLogout() override;
    void ShowRecordPage(int kind) override;
    CString GetAdminPassword() override;
    void GetStartupAccount(CString& account, CString& password) override;

protected:
    void OnDestroy();
    LRESULT OnCloseMessage(WPARAM, LPARAM);
    void OnTabChange(NMHDR* pHdr, LRESULT* pResult);
    void OnCommandLogin();
    void OnCommandLogout();
    void OnCommandLock();
    void OnCommandExit() { RequestClose(); }
    void OnViewLogin() { ShowPage(PAGE_LOGIN); }
    void OnViewCall() { ShowPage(PAGE_CALL); }
    void OnViewMissed() { ShowRecordPage(2); }
    void OnViewMessages() { ShowRecordPage(3); }
    void OnDemoMissedCall();
    void OnDemoMessage();
    void OnDemoMultiUser();
    void OnLanguage(UINT nID);
    DECLARE_MESSAGE_MAP()

private:
    void Event(const std::wstring& text);
    void BuildMenu();
    void UpdateStateText();
    void FitStatusParts(const std::wstring& state);

    KiteClient& m_client;
    HWND m_hTabs = nullptr;
    HWND m_hStatus = nullptr;
    HFONT m_hFont = nullptr;
    CallPage m_callPage;
    RecordPage m_recordPage;
    Page m_page = PAGE_LOGIN;
    bool m_callPageHidden = false;
    bool m_refuseExit = false;
    bool m_quitOnDestroy = false;
    std::wstring m_title;
    std::wstring m_statusText;
    // The language key the status text came from, when it has one: the text
    // is shown again in the next language after a switch.
    std::pair<std::wstring, std::wstring> m_statusKey;
    std::wstring m_account;
    int m_loginState = 0;
    std::wstring m_startupAccount;
    std::wstring m_startupPassword;
    std::vector<std::wstring> m_events;
    std::vector<std::wstring> m_languageCodes;
};

} // namespace kite
