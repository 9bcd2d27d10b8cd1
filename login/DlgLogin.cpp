#include "DlgLogin.h"

#include "Lookup.h"
#include "TraceLog.h"

#include <SkinMagicU.h>

IMPLEMENT_DYNAMIC(CLoginDlg, CDialog)

CLoginDlg::CLoginDlg()
    : CDialog(IDD_LOGIN, nullptr), m_bAdvancedShown(0), m_bHideClearCheck(0), m_bBlockLogout(0),
      m_bBlockAutoLogin(0), m_nKeyboardPos(0), m_uiState(UISTATE_LOGGEDOUT), m_bMultiUser(0) {}

CLoginDlg::~CLoginDlg() {
    if (m_dlgAdvanced.GetSafeHwnd())
        m_dlgAdvanced.DestroyWindow();
    if (m_dlgKeyboard.GetSafeHwnd())
        m_dlgKeyboard.DestroyWindow();
    if (m_toolTip.GetSafeHwnd())
        m_toolTip.DestroyWindow();
}

void CLoginDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LOGIN_ACCOUNT, m_cbAccount);
}

BEGIN_MESSAGE_MAP(CLoginDlg, CDialog)
ON_BN_CLICKED(IDC_LOGIN_BTN_LOGIN, OnBnClickedButtonLogin)
ON_BN_CLICKED(IDC_LOGIN_BTN_LOGOUT, OnBnClickedButtonLogout)
ON_BN_CLICKED(IDC_LOGIN_BTN_ADVANCED, OnBnClickedButtonAdvancesetting)
ON_BN_CLICKED(IDC_LOGIN_BTN_CLEAR, OnBnClickedButtonUserclear)
ON_BN_CLICKED(IDC_LOGIN_BTN_KEYBOARD, OnBnClickedButtonSoftkeybroad)
ON_STN_CLICKED(IDC_LOGIN_BILL1, OnClickedBill1)
ON_STN_CLICKED(IDC_LOGIN_BILL2, OnClickedBill2)
ON_COMMAND(IDC_LOGIN_UNIT_NOANSWER, OnBnClickedNoAnser)
ON_COMMAND(IDC_LOGIN_UNIT_MESSAGE, OnBnClickedMessage)
ON_WM_CREATE()
ON_WM_PAINT()
ON_WM_SETCURSOR()
ON_MESSAGE(WM_PANNEL_NOTIFY, OnPannelNotify)
END_MESSAGE_MAP()

BOOL CLoginDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    RemoveSkin(m_hWnd);
    ApplyWindowSkin(m_hWnd, L"LoginDlg");
    InitUI();
    return TRUE;
}

// Escape never closes the panel.
void CLoginDlg::OnCancel() {}
