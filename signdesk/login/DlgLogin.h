// The login panel the host embeds in its main window: account, password,
// auto login, login and logout, registration status, the skinned button
// strip, the advertising lines and the advanced settings drawer.
#pragma once

#include "settings/DlgAdvanced.h"
#include "login/DlgKeyboard.h"
#include "login/Upgrade.h"
#include "res/resource.h"

#include <SkinMagicExU.h>
#include <afxcmn.h>

// Panel states.
enum { UISTATE_LOGGEDIN = 0, UISTATE_LOGGEDOUT = 1, UISTATE_LOGGING = 2 };

class CLoginDlg : public CDialog {
    DECLARE_DYNAMIC(CLoginDlg)
public:
    CLoginDlg();
    virtual ~CLoginDlg();
    enum { IDD = IDD_LOGIN };

    // Initialisation
    void InitUI();
    void InitData();

    // Login and registration
    void OnBnClickedButtonLogin();
    void OnBnClickedButtonLogout();
    void OnRegResponse(int code);
    void OnDeRegResponse(int code);
    void SetLoginState(int state);
    void SetStatusBarText(int code);
    void SetTitleText(int code);
    void SetCurrentAccount(const CString& account);
    void UpdateUIByLoginState(int state);
    void SaveData();
    void ShowCallDlg();
    void ShowLoginDlg();

    // Account databases of the call-record and phone-book siblings
    void InitDatabase(CString& account);
    void CloseDatabase();

    // Layout and skinned strip
    void InitPannel();
    void MoveCtrl();
    void ShowAdvancedDlg();

    // Language
    void OnChangeLanguage();

    // Soft keyboard
    void SetPSW(wchar_t ch, BOOL bBackspace);
    void CloseKeyBoardDlg();

    // Upgrade
    void CheckUpgrade();

    // Auxiliary actions
    void OnCustomizeSet();
    void InitFocus();
    int IsHaveMessage();
    void UpdateUnsettledMsg(int kind);
    void OpenBill(int index);

    virtual BOOL PreTranslateMessage(MSG* pMsg);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnPaint();
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    LRESULT OnPannelNotify(WPARAM wParam, LPARAM lParam);
    void OnBnClickedButtonAdvancesetting();
    void OnBnClickedButtonUserclear();
    void OnBnClickedButtonSoftkeybroad();
    void OnBnClickedNoAnser();
    void OnBnClickedMessage();
    void OnClickedBill1() { OpenBill(0); }
    void OnClickedBill2() { OpenBill(1); }
    DECLARE_MESSAGE_MAP()

    // Counts the unsettled missed calls; false when there is no count.
    bool CountUnsettledMissedCalls(int& count);
    void ShowMissedCallCount(int count);
    // Empties the account box and fills it with the stored account names.
    void RefillAccountList();

    CAdvancedDlg m_dlgAdvanced;
    int m_bAdvancedShown;
    CSkinControlPannel m_pannel;
    CKeyboardDlg m_dlgKeyboard;
    CString m_strPassword;
    CString m_strAccount;
    CToolTipCtrl m_toolTip;
    CComboBox m_cbAccount;
    int m_bHideClearCheck;
    int m_bBlockLogout;
    int m_bBlockAutoLogin;
    UpgradeInfo m_upgradeInfo;
    int m_nKeyboardPos;
    int m_uiState;
    int m_bMultiUser;
};
