// The soft keyboard: a pop-up beside the password field whose keys are
// applied by the login panel. The skin draws the characters on the keys.
#pragma once

#include "resource.h"

#include <afxwin.h>

class CLoginDlg;

class CKeyboardDlg : public CDialog {
    DECLARE_DYNAMIC(CKeyboardDlg)
public:
    explicit CKeyboardDlg(CWnd* pParent = nullptr);
    ~CKeyboardDlg() override;
    enum { IDD = IDD_KEYBOARD };

    // The characters of keys IDC_KEY_FIRST..IDC_KEY_LAST, Shift off and on.
    static const wchar_t kKeyTable[2][48];

    void SetOwnerDlg(CLoginDlg* pOwner);
    void FocusHiddenButton();
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void ClearKeyTexts();
    void OnKey(UINT nID);
    void OnShift();
    void OnBackspace();
    DECLARE_MESSAGE_MAP()

    int m_bShift;
    CLoginDlg* m_pOwnerDlg; // not owned
};
