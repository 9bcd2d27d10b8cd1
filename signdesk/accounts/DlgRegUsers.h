// The multi-user registration list: views and edits, in place, the login
// sibling's list of registration accounts.
#pragma once

#include "core/Records.h"
#include "res/resource.h"

#include <afxcmn.h>

class CRegUsersDlg : public CDialog {
    DECLARE_DYNAMIC(CRegUsersDlg)
public:
    explicit CRegUsersDlg(CWnd* pParent = NULL);
    virtual ~CRegUsersDlg();
    enum { IDD = IDD_REGUSERS };

    // 1 when another record (not at nSkipIndex; -1 skips none) has the
    // same account, address and port; 0 otherwise.
    int IsAccountExist(const RegInfo& info, int nSkipIndex);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void OnCancel();

    void InitUI();
    void InitData();
    void SaveData();
    void UpdateButtons();
    void OnBnClickedButtonRegAdd();
    void OnBnClickedButtonRegModify();
    void OnBnClickedButtonRegDel();
    void OnBnClickedButtonRegClear();
    void OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnDblClick(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

    CListCtrl m_list;
    std::vector<RegInfo>* m_pRegUsers; // the sibling's list; not owned
};
