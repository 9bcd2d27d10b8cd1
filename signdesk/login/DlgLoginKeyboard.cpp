// The panel's side of the soft keyboard: showing it beside the password
// field, applying its keys to the field, hiding it.
#include "login/DlgLogin.h"

#include "support/TraceLog.h"

void CLoginDlg::OnBnClickedButtonSoftkeybroad() {
    TRACE_SCOPE("CLoginDlg::OnBnClickedButtonSoftkeybroad");
    if (!m_dlgKeyboard.GetSafeHwnd())
        return;
    if (m_dlgKeyboard.IsWindowVisible()) {
        m_dlgKeyboard.ShowWindow(SW_HIDE);
        return;
    }
    CWnd* pField = GetDlgItem(IDC_LOGIN_PASSWORD);
    if (!pField)
        return;

    CRect rcField;
    pField->GetWindowRect(&rcField);
    CRect rcKeyboard;
    m_dlgKeyboard.GetWindowRect(&rcKeyboard);
    CSize screen(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    const CDpiScale dpi(m_hWnd);
    POINT topLeft;
    int nPlacement = ChooseKeyboardPlace(rcField, rcKeyboard.Size(), screen, topLeft,
                                         dpi.Scale(KEYBOARD_SCREEN_MARGIN));

    const SIZE size = KeyboardSize(dpi);
    m_dlgKeyboard.SetWindowPos(NULL, topLeft.x, topLeft.y, size.cx, size.cy, SWP_NOZORDER);
    m_dlgKeyboard.ShowWindow(SW_SHOW);
    m_nKeyboardPos = nPlacement;
    m_dlgKeyboard.FocusHiddenButton();
}

// One key of the soft keyboard: the character goes in at the caret in
// place of any selection; backspace removes the selection or the character
// before the caret. m_strPassword always ends equal to the field's text.
void CLoginDlg::SetPSW(wchar_t ch, BOOL bBackspace) {
    TRACE_SCOPE("CLoginDlg::SetPSW");
    CEdit* pEdit = static_cast<CEdit*>(GetDlgItem(IDC_LOGIN_PASSWORD));
    if (!pEdit)
        return;

    pEdit->GetWindowText(m_strPassword);
    int nStart = 0, nEnd = 0;
    pEdit->GetSel(nStart, nEnd);

    int nCaret = nStart;
    if (bBackspace) {
        if (m_strPassword.IsEmpty())
            return;
        if (nEnd != nStart) {
            m_strPassword.Delete(nStart, nEnd - nStart);
        } else if (nStart > 0) {
            m_strPassword.Delete(nStart - 1, 1);
            nCaret = nStart - 1;
        }
    } else {
        if (nEnd != nStart)
            m_strPassword.Delete(nStart, nEnd - nStart);
        m_strPassword.Insert(nStart, ch);
        nCaret = nStart + 1;
    }

    pEdit->SetWindowText(m_strPassword);
    pEdit->SetFocus();
    pEdit->SetSel(nCaret, nCaret, FALSE); // also scrolls the caret into view
}

void CLoginDlg::CloseKeyBoardDlg() {
    TRACE_SCOPE("CLoginDlg::CloseKeyBoardDlg");
    if (m_dlgKeyboard.GetSafeHwnd() && m_dlgKeyboard.IsWindowVisible())
        m_dlgKeyboard.ShowWindow(SW_HIDE);
}
