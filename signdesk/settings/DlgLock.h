// The account lock dialog: an administrator fixes the login account and
// switches the client's restrictions, behind the administrator password.
#pragma once

#include "res/resource.h"

#include <afxwin.h>

class CLockDlg : public CDialog {
    DECLARE_DYNAMIC(CLockDlg)
public:
    explicit CLockDlg(CWnd* pParent = NULL);
    virtual ~CLockDlg();
    enum { IDD = IDD_LOCK };

    // The account shown in the fixed account edit: the login panel's.
    void SetLoginAccount(const CString& account);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void OnOK();

    void InitControls();
    void LoadSettings();
    void SetTexts();
    void SaveSettings();
    void OnBnClickedFixedAccount();
    DECLARE_MESSAGE_MAP()

    CString m_strLoginAccount;
};
