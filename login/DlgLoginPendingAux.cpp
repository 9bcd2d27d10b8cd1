// Auxiliary members of the login panel still to be written.
#include "DlgLogin.h"

BOOL CLoginDlg::PreTranslateMessage(MSG* pMsg) {
    return CDialog::PreTranslateMessage(pMsg);
}
void CLoginDlg::OnCustomizeSet() {}
void CLoginDlg::InitFocus() {}
int CLoginDlg::IsHaveMessage() {
    return 0;
}
void CLoginDlg::UpdateUnsettledMsg(int) {}
void CLoginDlg::OpenBill(int) {}
void CLoginDlg::OnBnClickedButtonUserclear() {}
void CLoginDlg::OnBnClickedNoAnser() {}
void CLoginDlg::OnBnClickedMessage() {}
bool CLoginDlg::CountUnsettledMissedCalls(int&) {
    return false;
}
void CLoginDlg::ShowMissedCallCount(int) {}
