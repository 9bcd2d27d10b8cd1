#include "settings/DlgLock.h"

#include "core/CompileCheck.h"
#include "core/Lookup.h"
#include "core/TemplateLayout.h"

#include <SkinMagicExU.h>

namespace {
const int kMaxFieldLength = 40;

// A stored flag is on only when it is exactly "1".
bool IsOn(const CString& flag) {
    return flag == L"1";
}

// The nine restriction check boxes, with the record field each one shows
// and the language key of its caption (section "Login").
struct Restriction {
    int id;
    CString CustomizeSet::*field;
    const wchar_t* key;
};

const Restriction kRestrictions[] = {
    {IDC_LOCK_DISABLE_SYSTEMSETTINGS, &CustomizeSet::disableSystemSettings,
     L"IDS_LOG_LOCKACCOUNT_DISABLE"},
    {IDC_LOCK_HIDE_CALLPAGE, &CustomizeSet::hideCallPage, L"IDS_LOG_LOCKACCOUNT_HIDE_CALL_PAGE"},
    {IDC_LOCK_HIDE_REMOVINGUSERINFO, &CustomizeSet::hideRemovingUserInfo,
     L"IDS_LOG_LOCKACCOUNT_HIDE_REMOVING_USER_INFO"},
    {IDC_LOCK_REFUSE_LOGOUT, &CustomizeSet::refuseLogout, L"IDS_LOG_LOCKACCOUNT_REFUSE_LOGOUT"},
    {IDC_LOCK_REFUSE_EXIT, &CustomizeSet::refuseExit, L"IDS_LOG_LOCKACCOUNT_REFUSE_EXIT"},
    {IDC_LOCK_DISABLE_CALLRECORDCHANGE, &CustomizeSet::disableCallRecordChange,
     L"IDS_LOG_LOCKACCOUNT_DISABLE_MODIFICATION_ON_CALL_RECORD"},
    {IDC_LOCK_DISABLE_VOLUMECHANGE, &CustomizeSet::disableVolumeChange,
     L"IDS_LOG_LOCKACCOUNT_DISABLE_MODIFICATION_ON_VOLUME"},
    {IDC_LOCK_REFUSE_AUTOLOGIN, &CustomizeSet::refuseAutoLogin,
     L"IDS_LOG_LOCKACCOUNT_REFUSE_AUTO_LOGIN"},
    {IDC_LOCK_DISABLE_VOLUMECONTROL, &CustomizeSet::disableVolumeControl,
     L"IDS_LOG_LOCKACCOUNT_DISABLE_MODIFICATION_ON_VOLUMECONTROL"},
};

// The stored configuration, or null when the settings sibling or its
// record is missing.
CustomizeSet* StoredCustomizeSet() {
    IUIPSETTING* pSetting = GetUIPSETTING();
    return pSetting ? pSetting->GetCustomizeSet() : NULL;
}
} // namespace

IMPLEMENT_DYNAMIC(CLockDlg, CDialog)

CLockDlg::CLockDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

CLockDlg::~CLockDlg() {}

BEGIN_MESSAGE_MAP(CLockDlg, CDialog)
ON_BN_CLICKED(IDC_LOCK_FIXEDACCOUNT, OnBnClickedFixedAccount)
END_MESSAGE_MAP()

void CLockDlg::SetLoginAccount(const CString& account) {
    m_strLoginAccount = account;
}

void CLockDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
}

BOOL CLockDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    KeepChildrenApart(m_hWnd);
    InitControls();
    return TRUE;
}

void CLockDlg::InitControls() {
    static const int kEdits[] = {IDC_LOCK_PASSWORD, IDC_LOCK_ACCOUNT};
    for (size_t i = 0; i < SD_COUNTOF(kEdits); ++i) {
        CWnd* pEdit = GetDlgItem(kEdits[i]);
        if (!pEdit)
            return;
        pEdit->SendMessage(EM_LIMITTEXT, kMaxFieldLength);
    }
    LoadSettings();
    SetTexts();
}

void CLockDlg::LoadSettings() {
    CustomizeSet* pSet = StoredCustomizeSet();
    if (!pSet)
        return;
    if (GetDlgItem(IDC_LOCK_FIXEDACCOUNT)) {
        bool fixed = IsOn(pSet->fixedAccountOn);
        CheckDlgButton(IDC_LOCK_FIXEDACCOUNT, fixed ? BST_CHECKED : BST_UNCHECKED);
        CWnd* pAccount = GetDlgItem(IDC_LOCK_ACCOUNT);
        if (!pAccount)
            return;
        pAccount->EnableWindow(fixed);
    }
    for (size_t i = 0; i < SD_COUNTOF(kRestrictions); ++i) {
        const Restriction& r = kRestrictions[i];
        if (GetDlgItem(r.id))
            CheckDlgButton(r.id, IsOn(pSet->*r.field) ? BST_CHECKED : BST_UNCHECKED);
    }
    // The account the panel shows now, not the stored one: the administrator
    // usually fixes the account that is being used.
    SetDlgItemText(IDC_LOCK_ACCOUNT, m_strLoginAccount);
}

void CLockDlg::SetTexts() {
    SetWindowText(GetLangText(L"Login", L"IDS_LOG_LOCKACCOUNT"));
    SetDlgItemText(IDC_LOCK_LBL_PASSWORD, GetLangText(L"Login", L"IDS_LOG_LOCKACCOUNT_PSW"));
    SetDlgItemText(IDC_LOCK_LBL_ACCOUNT, GetLangText(L"Login", L"IDS_LOG_LOCKACCOUNT_ACCOUNT"));
    SetDlgItemText(IDC_LOCK_FIXEDACCOUNT, GetLangText(L"Login", L"IDS_LOG_LOCKACCOUNT_ACCOUNT"));
    for (size_t i = 0; i < SD_COUNTOF(kRestrictions); ++i)
        SetDlgItemText(kRestrictions[i].id, GetLangText(L"Login", kRestrictions[i].key));
    SetDlgItemText(IDOK, GetLangText(L"global", L"IDS_BUTTON_OK"));
    SetDlgItemText(IDCANCEL, GetLangText(L"global", L"IDS_BUTTON_CANCEL"));
}

void CLockDlg::OnBnClickedFixedAccount() {
    CWnd* pAccount = GetDlgItem(IDC_LOCK_ACCOUNT);
    if (!GetDlgItem(IDC_LOCK_FIXEDACCOUNT) || !pAccount)
        return;
    pAccount->EnableWindow(IsDlgButtonChecked(IDC_LOCK_FIXEDACCOUNT) == BST_CHECKED);
}

void CLockDlg::OnOK() {
    // Without the main window nothing can be checked, without the store
    // nothing can be saved: OK stays without effect and Cancel is the way out.
    IUIMain* pMain = GetUIMain();
    if (!pMain || !StoredCustomizeSet())
        return;

    CString password;
    GetDlgItemText(IDC_LOCK_PASSWORD, password);
    if (password != pMain->GetAdminPassword()) {
        MessageBoxExW(m_hWnd, GetLangText(L"PhoneBook", L"IDS_ADDRBOOK_NETCODE_PWD"),
                      GetLangText(L"global", L"IDS_INFO_ERROR"), MB_OK | MB_ICONERROR);
        return;
    }

    CString account;
    GetDlgItemText(IDC_LOCK_ACCOUNT, account);
    if (GetDlgItem(IDC_LOCK_FIXEDACCOUNT) &&
        IsDlgButtonChecked(IDC_LOCK_FIXEDACCOUNT) == BST_CHECKED && account.IsEmpty()) {
        MessageBoxExW(m_hWnd, GetLangText(L"Login", L"IDS_LOG_LOCKACCOUNT_ACCOUNTNULL"),
                      GetLangText(L"global", L"IDS_INFO_QUESTION"), MB_OK | MB_ICONINFORMATION);
        return;
    }

    SaveSettings();
    EndDialog(IDOK);
}

void CLockDlg::SaveSettings() {
    IUIPSETTING* pSetting = GetUIPSETTING();
    if (!pSetting || !pSetting->GetCustomizeSet())
        return;

    // A fresh record: what the dialog does not show (field0) goes back empty.
    CustomizeSet set;
    if (GetDlgItem(IDC_LOCK_FIXEDACCOUNT)) {
        if (IsDlgButtonChecked(IDC_LOCK_FIXEDACCOUNT) == BST_CHECKED) {
            set.fixedAccountOn = L"1";
            GetDlgItemText(IDC_LOCK_ACCOUNT, set.fixedAccount);
        } else {
            set.fixedAccountOn = L"0";
        }
    }
    for (size_t i = 0; i < SD_COUNTOF(kRestrictions); ++i) {
        const Restriction& r = kRestrictions[i];
        if (GetDlgItem(r.id))
            set.*r.field = IsDlgButtonChecked(r.id) == BST_CHECKED ? L"1" : L"0";
    }
    pSetting->SetCustomizeSet(set);
}
