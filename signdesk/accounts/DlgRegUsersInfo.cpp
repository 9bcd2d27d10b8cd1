#include "accounts/DlgRegUsersInfo.h"

#include "accounts/DlgRegUsers.h"
#include "core/CompileCheck.h"
#include "core/Lookup.h"
#include "core/TemplateLayout.h"
#include "support/TraceLog.h"

#include <SkinMagicExU.h>

namespace {
const int kMaxFieldLength = 50;
} // namespace

IMPLEMENT_DYNAMIC(CRegUsersInfoDlg, CDialog)

CRegUsersInfoDlg::CRegUsersInfoDlg(CWnd* pParent)
    : CDialog(IDD, pParent), m_pOwner(NULL), m_nIndex(-1) {}

CRegUsersInfoDlg::~CRegUsersInfoDlg() {}

BEGIN_MESSAGE_MAP(CRegUsersInfoDlg, CDialog)
ON_EN_CHANGE(IDC_REGUSERSINFO_ACCOUNT, UpdateOkButton)
ON_EN_CHANGE(IDC_REGUSERSINFO_ADDRESS, UpdateOkButton)
ON_EN_CHANGE(IDC_REGUSERSINFO_PORT, UpdateOkButton)
END_MESSAGE_MAP()

void CRegUsersInfoDlg::SetParam(CRegUsersDlg* pOwner, int nIndex) {
    TRACE_SCOPE("CRegUsersInfoDlg::SetParam");
    m_pOwner = pOwner;
    m_nIndex = nIndex;
}

void CRegUsersInfoDlg::SetRegInfo(const RegInfo& info) {
    TRACE_SCOPE("CRegUsersInfoDlg::SetRegInfo");
    m_regInfo = info;
}

void CRegUsersInfoDlg::GetRegInfo(RegInfo& info) {
    TRACE_SCOPE("CRegUsersInfoDlg::GetRegInfo");
    info = m_regInfo;
}

BOOL CRegUsersInfoDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    KeepChildrenApart(m_hWnd);
    InitUI();
    return TRUE;
}

void CRegUsersInfoDlg::InitUI() {
    TRACE_SCOPE("CRegUsersInfoDlg::InitUI");
    static const int kEdits[] = {IDC_REGUSERSINFO_ACCOUNT, IDC_REGUSERSINFO_PASSWORD,
                                 IDC_REGUSERSINFO_ADDRESS, IDC_REGUSERSINFO_PORT,
                                 IDC_REGUSERSINFO_IMSDOMAIN};
    for (size_t i = 0; i < SD_COUNTOF(kEdits); ++i) {
        CWnd* pEdit = GetDlgItem(kEdits[i]);
        if (!pEdit)
            break;
        pEdit->SendMessage(EM_LIMITTEXT, kMaxFieldLength);
    }
    OnChangeLanguage();
    InitData();
    UpdateOkButton();
    if (CWnd* pAccount = GetDlgItem(IDC_REGUSERSINFO_ACCOUNT))
        pAccount->SetFocus();
}

void CRegUsersInfoDlg::OnChangeLanguage() {
    TRACE_SCOPE("CRegUsersInfoDlg::OnChangeLanguage");
    // Account, address and port are required: their labels carry a "*".
    SetWindowText(GetLangText(L"Kite", L"IDS_MAIN_REG_TITLE"));
    SetDlgItemText(IDC_REGUSERSINFO_LBL_ACCOUNT,
                   CString(L"*") + GetLangText(L"Kite", L"IDS_MAIN_REG_ACCOUNT"));
    SetDlgItemText(IDC_REGUSERSINFO_LBL_PASSWORD, GetLangText(L"Kite", L"IDS_MAIN_REG_PASSWORD"));
    SetDlgItemText(IDC_REGUSERSINFO_LBL_ADDRESS,
                   CString(L"*") + GetLangText(L"Kite", L"IDS_MAIN_REG_IP"));
    SetDlgItemText(IDC_REGUSERSINFO_LBL_PORT,
                   CString(L"*") + GetLangText(L"Kite", L"IDS_MAIN_REG_PORT"));
    SetDlgItemText(IDC_REGUSERSINFO_LBL_IMSDOMAIN, GetLangText(L"Kite", L"IDS_MAIN_REG_FIELD"));
    SetDlgItemText(IDOK, GetLangText(L"global", L"IDS_BUTTON_OK"));
    SetDlgItemText(IDCANCEL, GetLangText(L"global", L"IDS_BUTTON_CANCEL"));
}

void CRegUsersInfoDlg::InitData() {
    TRACE_SCOPE("CRegUsersInfoDlg::InitData");
    SetDlgItemText(IDC_REGUSERSINFO_ACCOUNT, m_regInfo.account);
    SetDlgItemText(IDC_REGUSERSINFO_PASSWORD, m_regInfo.password);
    SetDlgItemText(IDC_REGUSERSINFO_ADDRESS, m_regInfo.address);
    SetDlgItemText(IDC_REGUSERSINFO_PORT, m_regInfo.port);
    SetDlgItemText(IDC_REGUSERSINFO_IMSDOMAIN, m_regInfo.imsDomain);
}

// Blank-only fields count as filled here; OnOK trims and catches them.
void CRegUsersInfoDlg::UpdateOkButton() {
    CString account, address, port;
    GetDlgItemText(IDC_REGUSERSINFO_ACCOUNT, account);
    GetDlgItemText(IDC_REGUSERSINFO_ADDRESS, address);
    GetDlgItemText(IDC_REGUSERSINFO_PORT, port);
    if (CWnd* pOk = GetDlgItem(IDOK))
        pOk->EnableWindow(!account.IsEmpty() && !address.IsEmpty() && !port.IsEmpty());
}

void CRegUsersInfoDlg::OnOK() {
    TRACE_SCOPE("CRegUsersInfoDlg::OnOK");
    GetDlgItemText(IDC_REGUSERSINFO_ACCOUNT, m_regInfo.account);
    GetDlgItemText(IDC_REGUSERSINFO_ADDRESS, m_regInfo.address);
    GetDlgItemText(IDC_REGUSERSINFO_PORT, m_regInfo.port);
    m_regInfo.account.Trim();
    m_regInfo.address.Trim();
    m_regInfo.port.Trim();

    // The first required field left blank is emptied (which disables OK)
    // and takes the focus; no message.
    const struct {
        const CString& value;
        int id;
    } required[] = {
        {m_regInfo.account, IDC_REGUSERSINFO_ACCOUNT},
        {m_regInfo.address, IDC_REGUSERSINFO_ADDRESS},
        {m_regInfo.port, IDC_REGUSERSINFO_PORT},
    };
    for (size_t i = 0; i < SD_COUNTOF(required); ++i) {
        if (required[i].value.IsEmpty()) {
            SetDlgItemText(required[i].id, L"");
            if (CWnd* pEdit = GetDlgItem(required[i].id))
                pEdit->SetFocus();
            return;
        }
    }

    if (m_pOwner && m_pOwner->IsAccountExist(m_regInfo, m_nIndex) == 1) {
        MessageBoxExW(m_hWnd, GetLangText(L"PhoneBook", L"IDS_ADDRBOOK_INFO_EXIST"),
                      GetLangText(L"global", L"IDS_INFO_INFORMATION"), MB_OK | MB_ICONINFORMATION);
        if (CWnd* pAccount = GetDlgItem(IDC_REGUSERSINFO_ACCOUNT))
            pAccount->SetFocus();
        return;
    }

    // Password and IMS domain are taken exactly as typed.
    GetDlgItemText(IDC_REGUSERSINFO_PASSWORD, m_regInfo.password);
    GetDlgItemText(IDC_REGUSERSINFO_IMSDOMAIN, m_regInfo.imsDomain);
    CDialog::OnOK();
}
