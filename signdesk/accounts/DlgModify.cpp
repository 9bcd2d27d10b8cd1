#include "accounts/DlgModify.h"

#include "core/Lookup.h"
#include "core/TemplateLayout.h"

IMPLEMENT_DYNAMIC(CModifyDlg, CDialog)

CModifyDlg::CModifyDlg(CWnd* pParent) : CDialog(IDD, pParent), serverIndex(0), m_pServers(NULL) {}

CModifyDlg::~CModifyDlg() {}

BEGIN_MESSAGE_MAP(CModifyDlg, CDialog)
ON_EN_CHANGE(IDC_MODIFY_DISPLAYNAME, OnEditChange)
ON_EN_CHANGE(IDC_MODIFY_ADDRESS, OnEditChange)
ON_EN_CHANGE(IDC_MODIFY_PORT, OnEditChange)
ON_EN_CHANGE(IDC_MODIFY_BACKUPADDRESS, OnEditChange)
ON_EN_CHANGE(IDC_MODIFY_BACKUPPORT, OnEditChange)
ON_BN_CLICKED(IDOK, OnBnClickedOk)
ON_CBN_SELCHANGE(IDC_MODIFY_SERVER, OnServerSelChange)
END_MESSAGE_MAP()

BOOL CModifyDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    KeepChildrenApart(m_hWnd);
    InitControls();
    return TRUE;
}

void CModifyDlg::InitControls() {
    m_editAddress.SubclassDlgItem(IDC_MODIFY_ADDRESS, this);
    m_editBackupAddress.SubclassDlgItem(IDC_MODIFY_BACKUPADDRESS, this);
    m_editPort.SubclassDlgItem(IDC_MODIFY_PORT, this);
    m_editBackupPort.SubclassDlgItem(IDC_MODIFY_BACKUPPORT, this);

    // Enabled again by the first change of an edit, which filling them below
    // already brings.
    if (CWnd* pOk = GetDlgItem(IDOK))
        pOk->EnableWindow(FALSE);

    if (IUIPSETTING* pSettings = GetUIPSETTING())
        m_pServers = pSettings->GetServerList();

    CComboBox* pServer = static_cast<CComboBox*>(GetDlgItem(IDC_MODIFY_SERVER));
    if (pServer) {
        // Unsorted, so that a combo position is the index in the sibling's list.
        if (m_pServers) {
            for (size_t i = 0; i < m_pServers->size(); ++i)
                pServer->AddString((*m_pServers)[i].name);
        }
        int count = pServer->GetCount();
        pServer->SetCurSel(serverIndex >= 0 && serverIndex < count ? serverIndex : 0);
    }
    OnServerSelChange();
    SetTexts();
}

void CModifyDlg::OnServerSelChange() {
    if (!m_pServers || m_pServers->empty())
        return;
    CComboBox* pServer = static_cast<CComboBox*>(GetDlgItem(IDC_MODIFY_SERVER));
    int pos = pServer ? pServer->GetCurSel() : -1;
    if (pos < 0 || pos >= static_cast<int>(m_pServers->size()))
        return;
    const ServerInfo& server = (*m_pServers)[static_cast<size_t>(pos)];
    SetDlgItemText(IDC_MODIFY_DISPLAYNAME, server.displayName);
    SetDlgItemText(IDC_MODIFY_ADDRESS, server.address);
    SetDlgItemText(IDC_MODIFY_PORT, server.port);
    SetDlgItemText(IDC_MODIFY_BACKUPADDRESS, server.backupAddress);
    SetDlgItemText(IDC_MODIFY_BACKUPPORT, server.backupPort);
}

void CModifyDlg::SetTexts() {
    SetWindowText(GetLangText(L"Login", L"IDS_LOG_SERVERMODIFY"));
    SetDlgItemText(IDC_MODIFY_LBL_SERVER, GetLangText(L"Login", L"IDS_LOG_SERVE"));
    SetDlgItemText(IDC_MODIFY_LBL_DISPLAYNAME, GetLangText(L"Login", L"IDS_LOG_DISPLAYNAME"));
    SetDlgItemText(IDC_MODIFY_LBL_ADDRESS, GetLangText(L"Login", L"IDS_LOG_SERVERADDRESS"));
    SetDlgItemText(IDC_MODIFY_LBL_PORT, GetLangText(L"Login", L"IDS_LOG_STC_PORT"));
    SetDlgItemText(IDC_MODIFY_LBL_BACKUPADDRESS, GetLangText(L"Login", L"IDS_LOG_SERERBAKADD"));
    SetDlgItemText(IDC_MODIFY_LBL_BACKUPPORT, GetLangText(L"Login", L"IDS_LOG_STC_PORT"));
    SetDlgItemText(IDOK, GetLangText(L"global", L"IDS_BUTTON_OK"));
    SetDlgItemText(IDCANCEL, GetLangText(L"global", L"IDS_BUTTON_CANCEL"));
}

void CModifyDlg::OnEditChange() {
    if (CWnd* pOk = GetDlgItem(IDOK))
        pOk->EnableWindow(TRUE);
}

// The values go to the sibling exactly as typed; it owns the list and
// decides what to keep.
void CModifyDlg::SaveServer() {
    CComboBox* pServer = static_cast<CComboBox*>(GetDlgItem(IDC_MODIFY_SERVER));
    int index = pServer ? pServer->GetCurSel() : -1;
    CString displayName, address, port, backupAddress, backupPort;
    GetDlgItemText(IDC_MODIFY_DISPLAYNAME, displayName);
    GetDlgItemText(IDC_MODIFY_ADDRESS, address);
    GetDlgItemText(IDC_MODIFY_PORT, port);
    GetDlgItemText(IDC_MODIFY_BACKUPADDRESS, backupAddress);
    GetDlgItemText(IDC_MODIFY_BACKUPPORT, backupPort);
    if (IUIPSETTING* pSettings = GetUIPSETTING())
        pSettings->SetServer(index, displayName, address, port, backupAddress, backupPort);
}

void CModifyDlg::OnBnClickedOk() {
    SaveServer();
    CDialog::OnOK();
}
