// Members of the login panel still to be written; each is removed from
// here as its real implementation lands.
#include "DlgLogin.h"

int CLoginDlg::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    return CDialog::OnCreate(lpCreateStruct);
}
void CLoginDlg::InitUI() {}
void CLoginDlg::InitData() {}
void CLoginDlg::OnOK() {}
void CLoginDlg::OnBnClickedButtonLogin() {}
void CLoginDlg::OnBnClickedButtonLogout() {}
void CLoginDlg::OnRegResponse(int) {}
void CLoginDlg::OnDeRegResponse(int) {}
void CLoginDlg::SetLoginState(int) {}
void CLoginDlg::SetStatusBarText(int) {}
void CLoginDlg::SetTitleText(int) {}
void CLoginDlg::SetCurrentAccount(const CString&) {}
void CLoginDlg::UpdateUIByLoginState(int) {}
void CLoginDlg::SaveData() {}
void CLoginDlg::ShowCallDlg() {}
void CLoginDlg::ShowLoginDlg() {}
void CLoginDlg::RefillAccountList() {}
void CLoginDlg::InitPannel() {}
void CLoginDlg::MoveCtrl() {}
void CLoginDlg::ShowAdvancedDlg() {}
void CLoginDlg::OnPaint() {
    CPaintDC dc(this);
}
BOOL CLoginDlg::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
    return CDialog::OnSetCursor(pWnd, nHitTest, message);
}
LRESULT CLoginDlg::OnPannelNotify(WPARAM, LPARAM) {
    return 0;
}
void CLoginDlg::OnBnClickedButtonAdvancesetting() {}
