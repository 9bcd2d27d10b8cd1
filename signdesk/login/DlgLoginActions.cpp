// The panel's smaller actions: keyboard shortcuts, the function
// configuration, the initial focus, clearing the account data, the
// missed-call counter, the record pages and the advertising links.
#include "login/DlgLogin.h"

#include "settings/DlgLock.h"
#include "core/CompileCheck.h"
#include "core/Lookup.h"
#include "login/ShellOpen.h"
#include "support/TraceLog.h"

PFN_SHELLEXECUTEEXW g_pfnShellExecuteEx = &::ShellExecuteExW;

#ifndef _WIN64
// The link request the shell expects.
SD_COMPILE_CHECK(sizeof(SHELLEXECUTEINFOW) == 60, ShellExecuteInfoSize);
#endif

namespace {
// Record kinds of the call-record sibling and the main window's record pages.
const int kRecordsMissedCalls = 2;
const int kRecordsMessages = 3;
// Kinds the host reports when the call records changed that can change the
// missed-call count.
const int kChangedAllRecords = 0;

const WPARAM kKeyLock = 'P';
const WPARAM kKeyLockAlt = VK_F1;

// A flag of the function configuration is on only when it is exactly "1".
bool IsOn(const CString& flag) {
    return flag == L"1";
}
} // namespace

BOOL CLoginDlg::PreTranslateMessage(MSG* pMsg) {
    if (m_toolTip.GetSafeHwnd())
        m_toolTip.RelayEvent(pMsg);

    // Ctrl+P or Ctrl+F1: the administrator's lock dialog, for the account
    // the box shows now.
    if ((pMsg->wParam == kKeyLock || pMsg->wParam == kKeyLockAlt) &&
        (::GetKeyState(VK_CONTROL) & 0x8000)) {
        CString account;
        m_cbAccount.GetWindowText(account);
        CLockDlg dlg;
        dlg.SetLoginAccount(account);
        if (dlg.DoModal() == IDOK) {
            if (IUIMain* pMain = GetUIMain())
                pMain->ApplyCustomizeSet();
        }
        return TRUE;
    }

    // Enter logs in, or out while registered.
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN) {
        if (IUIMain* pMain = GetUIMain()) {
            if (pMain->IsRegistered() == 0)
                OnBnClickedButtonLogin();
            else
                OnBnClickedButtonLogout();
            return TRUE;
        }
    }
    return CDialog::PreTranslateMessage(pMsg);
}

void CLoginDlg::OnCustomizeSet() {
    TRACE_SCOPE("CLoginDlg::OnCustomizeSet");
    IUIPSETTING* pSetting = GetUIPSETTING();
    if (!pSetting)
        return;
    CustomizeSet* pSet = pSetting->GetCustomizeSet();
    if (!pSet)
        return;

    // A fixed account cannot be changed or cleared. Otherwise both come
    // back, except while a registration is under way (that state keeps
    // them disabled).
    CWnd* pClear = GetDlgItem(IDC_LOGIN_BTN_CLEAR);
    if (IsOn(pSet->fixedAccountOn)) {
        m_cbAccount.SetWindowText(pSet->fixedAccount);
        m_cbAccount.EnableWindow(FALSE);
        if (pClear)
            pClear->EnableWindow(FALSE);
    } else if (m_uiState != UISTATE_LOGGING) {
        m_cbAccount.EnableWindow(TRUE);
        if (pClear)
            pClear->EnableWindow(TRUE);
    }
    if (!pClear)
        return;

    m_bHideClearCheck = IsOn(pSet->hideRemovingUserInfo) ? 1 : 0;

    CWnd* pLogout = GetDlgItem(IDC_LOGIN_BTN_LOGOUT);
    if (IsOn(pSet->refuseLogout)) {
        m_bBlockLogout = 1;
        if (!pLogout)
            return;
        pLogout->ShowWindow(SW_HIDE);
    } else {
        m_bBlockLogout = 0;
        IUIMain* pMain = GetUIMain();
        if (pMain && pMain->IsRegistered() != 0) {
            if (!pLogout)
                return;
            pLogout->ShowWindow(SW_SHOW);
        }
    }

    CWnd* pAutoLogin = GetDlgItem(IDC_LOGIN_AUTOLOGIN);
    if (IsOn(pSet->refuseAutoLogin)) {
        m_bBlockAutoLogin = 1;
        if (!pAutoLogin)
            return;
        pAutoLogin->ShowWindow(SW_HIDE);
    } else {
        m_bBlockAutoLogin = 0;
        IUIMain* pMain = GetUIMain();
        if (pMain && pMain->IsRegistered() == 0) {
            if (!pAutoLogin)
                return;
            pAutoLogin->ShowWindow(SW_SHOW);
        }
    }

    // The registration list decides about logging in in multi-user mode.
    if (m_bMultiUser == 1 && pAutoLogin)
        pAutoLogin->ShowWindow(SW_HIDE);
}

void CLoginDlg::InitFocus() {
    TRACE_SCOPE("CLoginDlg::InitFocus");
    SetFocus();
    m_cbAccount.SetFocus();
    m_cbAccount.SetEditSel(0, -1);
}

void CLoginDlg::OnBnClickedButtonUserclear() {
    TRACE_SCOPE("CLoginDlg::OnBnClickedButtonUserclear");
    // Only the box forgets the names; the settings sibling keeps them.
    m_cbAccount.ResetContent();
    if (CWnd* pPassword = GetDlgItem(IDC_LOGIN_PASSWORD))
        pPassword->SetWindowText(L"");
    m_strAccount.Empty();
    m_strPassword.Empty();

    IUIPSETTING* pSetting = GetUIPSETTING();
    if (!pSetting)
        return;
    pSetting->SetAutoLogin(L"0");
    pSetting->SetSavedPassword(CString());
    if (GetDlgItem(IDC_LOGIN_AUTOLOGIN))
        CheckDlgButton(IDC_LOGIN_AUTOLOGIN, BST_UNCHECKED);
    if (IUIPLOGIN* pLogin = GetUIPLOGIN())
        pLogin->OnUserCleared();
}

bool CLoginDlg::CountUnsettledMissedCalls(int& count) {
    IUIPCALLRECORD* pRecords = GetUIPCALLRECORD();
    if (!pRecords)
        return false;
    std::vector<CallRecord>* pList = NULL;
    if (pRecords->GetCallRecords(kRecordsMissedCalls, pList) == 0 || !pList)
        return false;
    count = 0;
    for (size_t i = 0; i < pList->size(); ++i)
        if ((*pList)[i].settled == 0)
            ++count;
    return true;
}

// The count lives only in the unit's text.
void CLoginDlg::ShowMissedCallCount(int count) {
    CString text;
    text.Format(L"%s %d", GetLangText(L"Login", L"IDS_LOG_PHONE").GetString(), count);
    m_pannel.ChangeControlUint(IDC_LOGIN_UNIT_NOANSWER, text);
}

int CLoginDlg::IsHaveMessage() {
    TRACE_SCOPE("CLoginDlg::IsHaveMessage");
    int count = 0;
    if (!CountUnsettledMissedCalls(count))
        return 0;
    ShowMissedCallCount(count);
    return count > 0 ? 1 : 0;
}

void CLoginDlg::UpdateUnsettledMsg(int kind) {
    TRACE_SCOPE("CLoginDlg::UpdateUnsettledMsg");
    // Whatever changed, only the missed calls are counted.
    if (kind != kChangedAllRecords && kind != kRecordsMissedCalls)
        return;
    int count = 0;
    if (CountUnsettledMissedCalls(count))
        ShowMissedCallCount(count);
}

void CLoginDlg::OnBnClickedNoAnser() {
    TRACE_SCOPE("CLoginDlg::OnBnClickedNoAnser");
    if (IUIMain* pMain = GetUIMain())
        pMain->ShowRecordPage(kRecordsMissedCalls);
}

void CLoginDlg::OnBnClickedMessage() {
    TRACE_SCOPE("CLoginDlg::OnBnClickedMessage");
    if (IUIMain* pMain = GetUIMain())
        pMain->ShowRecordPage(kRecordsMessages);
}

void CLoginDlg::OpenBill(int index) {
    TRACE_SCOPE("CLoginDlg::OpenBill");
    IUIPSETTING* pSetting = GetUIPSETTING();
    if (!pSetting)
        return;
    std::vector<BillLink>* pLinks = pSetting->GetBillLinks();
    if (!pLinks || pLinks->empty() || index < 0 || index >= static_cast<int>(pLinks->size()))
        return;
    const BillLink& link = (*pLinks)[static_cast<size_t>(index)];

    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = 0;
    info.hwnd = NULL;
    info.lpVerb = link.verb;
    info.lpFile = link.file;
    info.lpParameters = link.parameters;
    info.lpDirectory = NULL;
    info.nShow = SW_SHOWMAXIMIZED;
    info.hInstApp = NULL;
    // Whether the link opened is not the panel's concern.
    g_pfnShellExecuteEx(&info);
}
