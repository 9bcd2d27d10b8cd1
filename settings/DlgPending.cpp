// Settings and account dialogs still to be written.
#include "ConfigUtils.h"
#include "DlgAdvanced.h"
#include "DlgLock.h"
#include "DlgLogin.h"

IMPLEMENT_DYNAMIC(CAdvancedDlg, CDialog)
CAdvancedDlg::CAdvancedDlg(CWnd* pParent) : CDialog(IDD_ADVANCED, pParent) {}
CAdvancedDlg::~CAdvancedDlg() = default;
BEGIN_MESSAGE_MAP(CAdvancedDlg, CDialog)
END_MESSAGE_MAP()
void CAdvancedDlg::SetTexts() {}
int CAdvancedDlg::GetServerIndex() {
    return 0;
}
void CAdvancedDlg::SetServerIndex(int) {}
BOOL CAdvancedDlg::PreTranslateMessage(MSG* pMsg) {
    return CDialog::PreTranslateMessage(pMsg);
}
void CAdvancedDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
}
BOOL CAdvancedDlg::OnInitDialog() {
    return CDialog::OnInitDialog();
}
void CAdvancedDlg::OnOK() {}
void CAdvancedDlg::OnCancel() {}

void CLoginDlg::InitDatabase(CString&) {}
void CLoginDlg::CloseDatabase() {}
CString GetModuleDir() {
    return CString();
}
CString GetIniString(const wchar_t*, const wchar_t*, const wchar_t*) {
    return CString();
}
std::string WideToAnsi(const CString&) {
    return std::string();
}
