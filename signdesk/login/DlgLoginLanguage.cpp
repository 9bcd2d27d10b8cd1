// The panel follows the client's language: every text it shows is fetched
// again, right before it is put on its control.
#include "login/DlgLogin.h"

#include "core/Lookup.h"
#include "support/TraceLog.h"

void CLoginDlg::OnChangeLanguage() {
    TRACE_SCOPE("CLoginDlg::OnChangeLanguage");

    // Tool tips: the tool-tip control keeps the first text it was given for
    // a window, so the old tool goes before the new text is registered.
    CString strTip = GetLangText(L"Login", L"IDS_LOG_CLEAR");
    CWnd* pButton = GetDlgItem(IDC_LOGIN_BTN_CLEAR);
    if (!pButton)
        return;
    m_toolTip.DelTool(pButton, 0);
    m_toolTip.AddTool(pButton, strTip, NULL, 0);

    strTip = GetLangText(L"Login", L"IDS_LOG_KEYBORD");
    pButton = GetDlgItem(IDC_LOGIN_BTN_KEYBOARD);
    if (!pButton)
        return;
    m_toolTip.DelTool(pButton, 0);
    m_toolTip.AddTool(pButton, strTip, NULL, 0);

    // The missed-call unit shows 0 until the next count replaces it.
    CString strUnit;
    strUnit.Format(L"%s %d", GetLangText(L"Login", L"IDS_LOG_PHONE").GetString(), 0);
    m_pannel.ChangeControlUint(IDC_LOGIN_UNIT_NOANSWER, strUnit);

    // Without the main window the status text stays as it is.
    if (IUIMain* pMain = GetUIMain()) {
        if (pMain->IsRegistered())
            SetDlgItemText(IDC_LOGIN_STATUS, GetLangText(L"Kite", L"IDS_UC_LOG_SUCESS"));
        else
            SetDlgItemText(IDC_LOGIN_STATUS, GetLangText(L"Kite", L"IDS_UC_NOT_LOG"));
    }

    SetDlgItemText(IDC_LOGIN_LBL_ACCOUNT, GetLangText(L"Login", L"IDS_LOG_ACCOUNT"));
    SetDlgItemText(IDC_LOGIN_LBL_PASSWORD, GetLangText(L"Login", L"IDS_LOG_PASSWORD"));
    SetDlgItemText(IDC_LOGIN_AUTOLOGIN, GetLangText(L"Login", L"IDS_LOG_AUTO"));
    SetDlgItemText(IDC_LOGIN_BTN_LOGIN, GetLangText(L"Login", L"IDS_LOG_TITLE"));
    SetDlgItemText(IDC_LOGIN_BTN_LOGOUT, GetLangText(L"Login", L"IDS_LOG_LOGOUT"));
    SetDlgItemText(IDC_LOGIN_BTN_ADVANCED, GetLangText(L"Login", L"IDS_LOG_ADVSETTING"));

    m_dlgAdvanced.SetTexts();
}
