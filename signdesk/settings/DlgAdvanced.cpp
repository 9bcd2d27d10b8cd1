#include "settings/DlgAdvanced.h"

#include "accounts/DlgModify.h"
#include "core/CompileCheck.h"
#include "core/Lookup.h"

#include <SkinMagicU.h>

#include <cwchar>

namespace {
// Ctrl+T arrives as this character; the panel swallows it.
const WPARAM kCtrlT = 20;

// Positions of the proxy type list.
enum { PROXY_POS_NONE = 0, PROXY_POS_HTTP = 1, PROXY_POS_IE = 2 };

const int kNoProxyCode = -1;

// The stored decimal proxy code. A text that is no number means no proxy,
// not the code 0 of the system's proxy: a damaged setting must not turn a
// proxy on, and the fields stay disabled.
int ProxyTypeCode(const CString& text) {
    const wchar_t* begin = text.GetString();
    wchar_t* end = NULL;
    long code = std::wcstol(begin, &end, 10);
    return end == begin ? kNoProxyCode : static_cast<int>(code);
}

// The stored proxy code ("0" IE, "1" none, "3" HTTP) as a list position.
int ProxyTypePosition(int code) {
    switch (code) {
    case 0:
        return PROXY_POS_IE;
    case 3:
        return PROXY_POS_HTTP;
    default:
        return PROXY_POS_NONE;
    }
}
} // namespace

IMPLEMENT_DYNAMIC(CAdvancedDlg, CDialog)

CAdvancedDlg::CAdvancedDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

CAdvancedDlg::~CAdvancedDlg() {
    // Take the panel down as a whole before its control objects go.
    if (m_hWnd)
        DestroyWindow();
}

BEGIN_MESSAGE_MAP(CAdvancedDlg, CDialog)
ON_CBN_SELCHANGE(IDC_ADVANCED_PROXYTYPE, UpdateProxyFields)
ON_BN_CLICKED(IDC_ADVANCED_BTN_PROXYTEST, OnBnClickedProxyTest)
ON_BN_CLICKED(IDC_ADVANCED_BTN_SERVERSETTING, OnBnClickedServerSetting)
END_MESSAGE_MAP()

void CAdvancedDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ADVANCED_PROXYTYPE, m_cbProxyType);
}

BOOL CAdvancedDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    RemoveSkin(m_hWnd);
    ApplyWindowSkin(m_hWnd, L"AdvanceDlg");
    InitControls();
    return TRUE;
}

// The panel lives inside the login panel: the closing keys must not end it.
void CAdvancedDlg::OnOK() {}
void CAdvancedDlg::OnCancel() {}

BOOL CAdvancedDlg::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_CHAR && pMsg->wParam == kCtrlT)
        return TRUE;
    return CDialog::PreTranslateMessage(pMsg);
}

void CAdvancedDlg::InitControls() {
    // The proxy group is never shown; its fields start disabled.
    static const int kProxyControls[] = {
        IDC_ADVANCED_PROXYTYPE, IDC_ADVANCED_BTN_PROXYTEST, IDC_ADVANCED_PROXYADDRESS,
        IDC_ADVANCED_PROXYPORT, IDC_ADVANCED_PROXYUSER,     IDC_ADVANCED_PROXYPASSWORD,
    };
    for (size_t i = 0; i < SD_COUNTOF(kProxyControls); ++i) {
        CWnd* pCtrl = GetDlgItem(kProxyControls[i]);
        if (!pCtrl)
            return;
        // The template makes them disabled already.
        if (pCtrl->IsWindowEnabled())
            pCtrl->EnableWindow(FALSE);
    }
    m_editPort.SubclassDlgItem(IDC_ADVANCED_PROXYPORT, this);
    if (m_editPort.GetSafeHwnd())
        m_editPort.SetMask(L"1234567890");
    LoadSettings();
}

// The three proxy types, in list position order.
static void FillProxyTypes(CComboBox& list) {
    list.ResetContent();
    list.AddString(GetLangText(L"Login", L"IDS_LOG_NETTYPE_NOPROXY"));
    list.AddString(GetLangText(L"Login", L"IDS_LOG_NETTYPE_HTTPPORXY"));
    list.AddString(GetLangText(L"Login", L"IDS_LOG_NETTYPE_IEPROXY"));
}

void CAdvancedDlg::LoadSettings() {
    CComboBox* pServer = static_cast<CComboBox*>(GetDlgItem(IDC_ADVANCED_SERVER));
    if (!pServer)
        return;
    pServer->ResetContent();
    // Listed by display name and unsorted: a position is the index of the
    // entry in the sibling's list, which the login panel stores.
    if (IUIPSETTING* pSettings = GetUIPSETTING()) {
        if (std::vector<ServerInfo>* pServers = pSettings->GetServerList()) {
            for (size_t i = 0; i < pServers->size(); ++i)
                pServer->AddString((*pServers)[i].displayName);
            pServer->SetCurSel(0);
        }
    }

    FillProxyTypes(m_cbProxyType);
    m_cbProxyType.SetCurSel(PROXY_POS_NONE);

    IUIPSETTING* pSettings = GetUIPSETTING();
    ProxyInfo* pProxy = pSettings ? pSettings->GetProxySetting() : NULL;
    if (!pProxy)
        return;
    const struct {
        int id;
        const CString& text;
    } fields[] = {
        {IDC_ADVANCED_PROXYADDRESS, pProxy->proxyAddress},
        {IDC_ADVANCED_PROXYPORT, pProxy->proxyPort},
        {IDC_ADVANCED_PROXYUSER, pProxy->proxyUser},
        {IDC_ADVANCED_PROXYPASSWORD, pProxy->proxyPassword},
    };
    for (size_t i = 0; i < SD_COUNTOF(fields); ++i) {
        CWnd* pCtrl = GetDlgItem(fields[i].id);
        if (!pCtrl)
            break;
        pCtrl->SetWindowText(fields[i].text);
    }
    const int code = ProxyTypeCode(pProxy->proxyType);
    m_cbProxyType.SetCurSel(ProxyTypePosition(code));
    if (code == 0 || code == 3)
        UpdateProxyFields();
}

void CAdvancedDlg::UpdateProxyFields() {
    // Only an actual proxy (HTTP or the system's) needs its fields.
    const BOOL bEnable = m_cbProxyType.GetCurSel() > PROXY_POS_NONE;
    static const int kFields[] = {IDC_ADVANCED_PROXYADDRESS, IDC_ADVANCED_PROXYPORT,
                                  IDC_ADVANCED_PROXYUSER, IDC_ADVANCED_PROXYPASSWORD,
                                  IDC_ADVANCED_BTN_PROXYTEST};
    for (size_t i = 0; i < SD_COUNTOF(kFields); ++i) {
        CWnd* pCtrl = GetDlgItem(kFields[i]);
        if (!pCtrl)
            return;
        pCtrl->EnableWindow(bEnable);
    }
}

void CAdvancedDlg::SetTexts() {
    const int proxyType = m_cbProxyType.GetCurSel();
    FillProxyTypes(m_cbProxyType);
    m_cbProxyType.SetCurSel(proxyType);

    SetDlgItemText(IDC_ADVANCED_BTN_SERVERSETTING,
                   GetLangText(L"Login", L"IDC_BUTTON_SERVERSETTING"));
    SetDlgItemText(IDC_ADVANCED_GROUP_SERVER, GetLangText(L"Login", L"IDS_LOG_SERVERSEL"));
    SetDlgItemText(IDC_ADVANCED_GROUP_PROXY, GetLangText(L"Login", L"IDS_LOG_PROXYSETTING"));
    SetDlgItemText(IDC_ADVANCED_LBL_PROXYTYPE, GetLangText(L"Login", L"IDS_LOG_STC_NETTYPE"));
    SetDlgItemText(IDC_ADVANCED_LBL_PROXYADDRESS, GetLangText(L"Login", L"IDS_LOG_STC_SERVER"));
    SetDlgItemText(IDC_ADVANCED_LBL_PROXYPORT, GetLangText(L"Login", L"IDS_LOG_STC_PORT"));
    SetDlgItemText(IDC_ADVANCED_LBL_PROXYUSER, GetLangText(L"Login", L"IDS_LOG_STC_USER"));
    SetDlgItemText(IDC_ADVANCED_LBL_PROXYPASSWORD, GetLangText(L"Login", L"IDS_LOG_STC_PSW"));
    SetDlgItemText(IDC_ADVANCED_BTN_PROXYTEST, GetLangText(L"Login", L"IDS_LOG_PROXYTEST"));
}

int CAdvancedDlg::GetServerIndex() {
    CComboBox* pServer = static_cast<CComboBox*>(GetDlgItem(IDC_ADVANCED_SERVER));
    if (!pServer)
        return 0;
    return pServer->GetCurSel();
}

void CAdvancedDlg::SetServerIndex(int index) {
    CComboBox* pServer = static_cast<CComboBox*>(GetDlgItem(IDC_ADVANCED_SERVER));
    if (!pServer)
        return;
    // Out of the list: no selection at all rather than a stale one.
    pServer->SetCurSel(index >= 0 && index < pServer->GetCount() ? index : -1);
}

// Proxy settings are never tested from here.
void CAdvancedDlg::OnBnClickedProxyTest() {}

void CAdvancedDlg::OnBnClickedServerSetting() {
    CModifyDlg dlg;
    CComboBox* pServer = static_cast<CComboBox*>(GetDlgItem(IDC_ADVANCED_SERVER));
    if (!pServer)
        return;
    const int index = pServer->GetCurSel();
    if (index < 0)
        return;
    dlg.serverIndex = index;
    if (dlg.DoModal() == IDOK)
        ReloadServerList();
}

void CAdvancedDlg::ReloadServerList() {
    CComboBox* pServer = static_cast<CComboBox*>(GetDlgItem(IDC_ADVANCED_SERVER));
    if (!pServer)
        return;
    const int index = pServer->GetCurSel();
    pServer->ResetContent();
    IUIPSETTING* pSettings = GetUIPSETTING();
    std::vector<ServerInfo>* pServers = pSettings ? pSettings->GetServerList() : NULL;
    if (!pServers)
        return;
    for (size_t i = 0; i < pServers->size(); ++i)
        pServer->AddString((*pServers)[i].displayName);
    pServer->SetCurSel(index >= 0 ? index : 0);
}
