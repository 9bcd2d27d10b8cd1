// Language, keyboard and upgrade members still to be written.
#include "DlgLogin.h"

void CLoginDlg::OnChangeLanguage() {}
void CLoginDlg::SetPSW(wchar_t, BOOL) {}
void CLoginDlg::CloseKeyBoardDlg() {}
void CLoginDlg::OnBnClickedButtonSoftkeybroad() {}
void CLoginDlg::CheckUpgrade() {}

IMPLEMENT_DYNAMIC(CKeyboardDlg, CDialog)
CKeyboardDlg::CKeyboardDlg(CWnd* pParent)
    : CDialog(IDD_KEYBOARD, pParent), m_bShift(0), m_pOwnerDlg(nullptr) {}
CKeyboardDlg::~CKeyboardDlg() = default;
BEGIN_MESSAGE_MAP(CKeyboardDlg, CDialog)
END_MESSAGE_MAP()
void CKeyboardDlg::SetOwnerDlg(CLoginDlg* pOwner) {
    m_pOwnerDlg = pOwner;
}
void CKeyboardDlg::FocusHiddenButton() {}
BOOL CKeyboardDlg::PreTranslateMessage(MSG* pMsg) {
    return CDialog::PreTranslateMessage(pMsg);
}
void CKeyboardDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
}
BOOL CKeyboardDlg::OnInitDialog() {
    return CDialog::OnInitDialog();
}
void CKeyboardDlg::ClearKeyTexts() {}
void CKeyboardDlg::OnKey(UINT) {}
void CKeyboardDlg::OnShift() {}
void CKeyboardDlg::OnBackspace() {}
