// The advanced settings panel: choice of the login server (and a proxy
// group that is filled from the stored settings but never shown).
#pragma once

#include "res/resource.h"

#include <SkinMagicExU.h>
#include <afxwin.h>

class CAdvancedDlg : public CDialog {
    DECLARE_DYNAMIC(CAdvancedDlg)
public:
    explicit CAdvancedDlg(CWnd* pParent = NULL);
    virtual ~CAdvancedDlg();
    enum { IDD = IDD_ADVANCED };

    void SetTexts();
    // Position of the login server box: -1 with no selection, 0 without the box.
    int GetServerIndex();
    void SetServerIndex(int index);
    virtual BOOL PreTranslateMessage(MSG* pMsg);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    void InitControls();
    void LoadSettings();
    void UpdateProxyFields();
    void ReloadServerList();
    void OnBnClickedProxyTest();
    void OnBnClickedServerSetting();
    DECLARE_MESSAGE_MAP()

    CSkinEditEx m_editPort;
    CComboBox m_cbProxyType;
};
