// The registration entry dialog: one RegInfo typed in (add mode) or edited
// (modify mode).
#pragma once

#include "core/Records.h"
#include "res/resource.h"

#include <afxwin.h>

class CRegUsersDlg;

class CRegUsersInfoDlg : public CDialog {
    DECLARE_DYNAMIC(CRegUsersInfoDlg)
public:
    explicit CRegUsersInfoDlg(CWnd* pParent = NULL);
    virtual ~CRegUsersInfoDlg();
    enum { IDD = IDD_REGUSERSINFO };

    void SetParam(CRegUsersDlg* pOwner, int nIndex);
    void SetRegInfo(const RegInfo& info);
    void GetRegInfo(RegInfo& info);

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK();

    void InitUI();
    void InitData();
    void OnChangeLanguage();
    void UpdateOkButton();
    DECLARE_MESSAGE_MAP()

    RegInfo m_regInfo;
    CRegUsersDlg* m_pOwner;
    int m_nIndex;
};
