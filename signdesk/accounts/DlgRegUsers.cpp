#include "accounts/DlgRegUsers.h"

#include "accounts/DlgRegUsersInfo.h"
#include "core/CompileCheck.h"
#include "core/DpiScale.h"
#include "core/Lookup.h"
#include "core/TemplateLayout.h"
#include "support/TraceLog.h"

#include <SkinMagicExU.h>

namespace {

enum { COL_ACCOUNT = 0, COL_PASSWORD = 1, COL_ADDRESS = 2, COL_PORT = 3, COL_IMSDOMAIN = 4 };

// The list's columns in order: header text, alignment, width in pixels at
// 96 DPI.
struct ColumnInfo {
    const wchar_t* key;
    int format;
    int width;
};
const ColumnInfo kColumns[] = {
    {L"IDS_MAIN_REG_ACCOUNT", LVCFMT_LEFT, 80}, {L"IDS_MAIN_REG_PASSWORD", LVCFMT_CENTER, 80},
    {L"IDS_MAIN_REG_IP", LVCFMT_CENTER, 120},   {L"IDS_MAIN_REG_PORT", LVCFMT_CENTER, 80},
    {L"IDS_MAIN_REG_FIELD", LVCFMT_CENTER, 80},
};
SD_COMPILE_CHECK(SD_COUNTOF(kColumns) == COL_IMSDOMAIN + 1, OneEntryPerColumn);

// The list never shows a password, nor its length.
const wchar_t* PasswordCell(const CString& password) {
    return password.IsEmpty() ? L"" : L"******";
}

// Cells 1 to 4 of a row; cell 0 is the item itself.
void SetRowCells(CListCtrl& list, int row, const RegInfo& info) {
    list.SetItemText(row, COL_PASSWORD, PasswordCell(info.password));
    list.SetItemText(row, COL_ADDRESS, info.address);
    list.SetItemText(row, COL_PORT, info.port);
    list.SetItemText(row, COL_IMSDOMAIN, info.imsDomain);
}

void InsertRow(CListCtrl& list, int row, const RegInfo& info) {
    int item = list.InsertItem(row, info.account);
    if (item >= 0)
        SetRowCells(list, item, info);
}

} // namespace

IMPLEMENT_DYNAMIC(CRegUsersDlg, CDialog)

CRegUsersDlg::CRegUsersDlg(CWnd* pParent) : CDialog(IDD, pParent), m_pRegUsers(NULL) {}

CRegUsersDlg::~CRegUsersDlg() {}

void CRegUsersDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_REGUSERS_LIST, m_list);
}

BEGIN_MESSAGE_MAP(CRegUsersDlg, CDialog)
ON_BN_CLICKED(IDC_REGUSERS_BTN_ADD, OnBnClickedButtonRegAdd)
ON_BN_CLICKED(IDC_REGUSERS_BTN_MODIFY, OnBnClickedButtonRegModify)
ON_BN_CLICKED(IDC_REGUSERS_BTN_DEL, OnBnClickedButtonRegDel)
ON_BN_CLICKED(IDC_REGUSERS_BTN_CLEAR, OnBnClickedButtonRegClear)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_REGUSERS_LIST, OnItemChanged)
ON_NOTIFY(NM_DBLCLK, IDC_REGUSERS_LIST, OnDblClick)
END_MESSAGE_MAP()

BOOL CRegUsersDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    KeepChildrenApart(m_hWnd);
    InitUI();
    return TRUE;
}

// Esc and the close box end here: the list is persisted. Enter (OK) ends
// without saving; the edits then stay in the sibling's memory only.
void CRegUsersDlg::OnCancel() {
    SaveData();
    CDialog::OnCancel();
}

void CRegUsersDlg::InitUI() {
    TRACE_SCOPE("CRegUsersDlg::InitUI");
    SetWindowText(GetLangText(L"Kite", L"IDS_MAIN_REG_TITLE"));
    SetDlgItemText(IDC_REGUSERS_BTN_ADD, GetLangText(L"Kite", L"IDS_MAIN_REG_ADD"));
    SetDlgItemText(IDC_REGUSERS_BTN_MODIFY, GetLangText(L"Kite", L"IDS_MAIN_REG_MODIFY"));
    SetDlgItemText(IDC_REGUSERS_BTN_DEL, GetLangText(L"Kite", L"IDS_MAIN_REG_DEL"));
    SetDlgItemText(IDC_REGUSERS_BTN_CLEAR, GetLangText(L"Kite", L"IDS_MAIN_REG_BTN_CLEAR"));

    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    m_list.DeleteAllItems();

    // The columns grow with the DPI, but never past the list's width: the
    // list's dialog units may grow less (the dialog font's metrics round).
    int nTotal = 0;
    for (size_t i = 0; i < SD_COUNTOF(kColumns); ++i)
        nTotal += kColumns[i].width;
    const CDpiScale dpi(m_hWnd);
    CRect rcList;
    m_list.GetClientRect(&rcList);
    const bool bNarrow = dpi.Scale(nTotal) > rcList.Width();
    for (int i = 0; i < static_cast<int>(SD_COUNTOF(kColumns)); ++i) {
        const int nWidth =
            bNarrow ? kColumns[i].width * rcList.Width() / nTotal : dpi.Scale(kColumns[i].width);
        m_list.InsertColumn(i, GetLangText(L"Kite", kColumns[i].key), kColumns[i].format, nWidth);
    }

    InitData();
    UpdateButtons();
}

void CRegUsersDlg::InitData() {
    TRACE_SCOPE("CRegUsersDlg::InitData");
    IUIPLOGIN* pLogin = GetUIPLOGIN();
    if (!pLogin)
        return;
    m_pRegUsers = pLogin->GetRegUsers();
    if (!m_pRegUsers)
        return;
    m_list.DeleteAllItems();
    for (size_t i = 0; i < m_pRegUsers->size(); ++i)
        InsertRow(m_list, static_cast<int>(i), (*m_pRegUsers)[i]);
}

void CRegUsersDlg::SaveData() {
    TRACE_SCOPE("CRegUsersDlg::SaveData");
    IUIPLOGIN* pLogin = GetUIPLOGIN();
    if (pLogin)
        pLogin->SaveRegUsers();
}

int CRegUsersDlg::IsAccountExist(const RegInfo& info, int nSkipIndex) {
    TRACE_SCOPE("CRegUsersDlg::IsAccountExist");
    if (!m_pRegUsers)
        return 0;
    if (info.account.IsEmpty() || info.address.IsEmpty() || info.port.IsEmpty())
        return 0;
    // One account may be registered on several servers, but only once on
    // each address and port.
    for (size_t i = 0; i < m_pRegUsers->size(); ++i) {
        const RegInfo& other = (*m_pRegUsers)[i];
        if (other.account == info.account && other.address == info.address &&
            other.port == info.port && (nSkipIndex < 0 || static_cast<int>(i) != nSkipIndex))
            return 1;
    }
    return 0;
}

void CRegUsersDlg::UpdateButtons() {
    int nSel = m_list.GetNextItem(-1, LVNI_SELECTED);
    if (CWnd* pModify = GetDlgItem(IDC_REGUSERS_BTN_MODIFY))
        pModify->EnableWindow(nSel != -1);
    if (CWnd* pDel = GetDlgItem(IDC_REGUSERS_BTN_DEL))
        pDel->EnableWindow(nSel != -1);
    if (CWnd* pClear = GetDlgItem(IDC_REGUSERS_BTN_CLEAR))
        pClear->EnableWindow(m_list.GetItemCount() > 0);
}

void CRegUsersDlg::OnBnClickedButtonRegAdd() {
    TRACE_SCOPE("CRegUsersDlg::OnBnClickedButtonRegAdd");
    CRegUsersInfoDlg dlg;
    dlg.SetParam(this, -1);
    if (dlg.DoModal() == IDOK) {
        RegInfo info;
        dlg.GetRegInfo(info);
        InsertRow(m_list, m_list.GetItemCount(), info);
        // Without the sibling's list the row is shown but kept nowhere.
        if (m_pRegUsers)
            m_pRegUsers->push_back(info);
    }
    UpdateButtons();
}

void CRegUsersDlg::OnBnClickedButtonRegModify() {
    TRACE_SCOPE("CRegUsersDlg::OnBnClickedButtonRegModify");
    if (!m_pRegUsers)
        return;
    int nRow = m_list.GetNextItem(-1, LVNI_SELECTED);
    if (nRow < 0 || static_cast<size_t>(nRow) >= m_pRegUsers->size())
        return;

    CRegUsersInfoDlg dlg;
    dlg.SetParam(this, nRow);
    dlg.SetRegInfo((*m_pRegUsers)[nRow]);
    if (dlg.DoModal() != IDOK)
        return;

    // The dialog hands back every field, flag and extra as they came in.
    RegInfo info = (*m_pRegUsers)[nRow];
    dlg.GetRegInfo(info);
    m_list.SetItemText(nRow, COL_ACCOUNT, info.account);
    SetRowCells(m_list, nRow, info);
    (*m_pRegUsers)[nRow] = info;
}

void CRegUsersDlg::OnBnClickedButtonRegDel() {
    TRACE_SCOPE("CRegUsersDlg::OnBnClickedButtonRegDel");
    if (!m_pRegUsers)
        return;
    int nRow = m_list.GetNextItem(-1, LVNI_SELECTED);
    if (nRow < 0)
        return;
    if (MessageBoxExW(m_hWnd, GetLangText(L"Settings", L"IDS_SPEEDDIAL_TIP_CONFIRM"),
                      GetLangText(L"global", L"IDS_INFO_QUESTION"),
                      MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    if (static_cast<size_t>(nRow) < m_pRegUsers->size())
        m_pRegUsers->erase(m_pRegUsers->begin() + nRow);
    m_list.DeleteItem(nRow);
}

void CRegUsersDlg::OnBnClickedButtonRegClear() {
    TRACE_SCOPE("CRegUsersDlg::OnBnClickedButtonRegClear");
    if (!m_pRegUsers)
        return;
    if (MessageBoxExW(m_hWnd, GetLangText(L"Kite", L"IDS_MAIN_REG_CLEAR"),
                      GetLangText(L"global", L"IDS_INFO_QUESTION"),
                      MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    // Emptied and its memory given back.
    std::vector<RegInfo>().swap(*m_pRegUsers);
    m_list.DeleteAllItems();
}

void CRegUsersDlg::OnItemChanged(NMHDR*, LRESULT* pResult) {
    UpdateButtons();
    *pResult = 0;
}

void CRegUsersDlg::OnDblClick(NMHDR*, LRESULT* pResult) {
    OnBnClickedButtonRegModify();
    *pResult = 0;
}
