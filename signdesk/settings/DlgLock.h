// The account lock dialog: an administrator fixes the login account and
// switches the client's restrictions, behind the administrator password.
#pragma once

#include "res/resource.h"

#include <afxwin.h>

class CLockDlg : public CDialog {
    DECLARE_DYNAMIC(CLockDlg)
public:
    explicit CLockDlg(CWnd* pParent = nullptr);
    ~CLockDlg() override;
    enum { IDD = IDD_LOCK };

    // The account shown in the fixed account edit: the login panel's.
    void SetLoginAccount(const CString& account);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    void InitControls();
    void LoadSettings();
    void SetTexts();
    void SaveSettings();
    void OnBnClickedFixedAccount();
    DECLARE_MESSAGE_MAP()

    CString m_strLoginAccount;
};
