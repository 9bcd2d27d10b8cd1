// The server address dialog: edits one entry of the settings sibling's
// server list (display name, address, port and their backups).
#pragma once

#include "core/Records.h"
#include "res/resource.h"

#include <SkinMagicExU.h>
#include <afxwin.h>

class CModifyDlg : public CDialog {
    DECLARE_DYNAMIC(CModifyDlg)
public:
    explicit CModifyDlg(CWnd* pParent = NULL);
    virtual ~CModifyDlg();
    enum { IDD = IDD_MODIFY };

    int serverIndex; // the entry shown first; set by the opener

protected:
    virtual BOOL OnInitDialog();

    void InitControls();
    void OnServerSelChange();
    void SetTexts();
    void OnEditChange();
    void SaveServer();
    void OnBnClickedOk();
    DECLARE_MESSAGE_MAP()

    CSkinEditEx m_editAddress;
    CSkinEditEx m_editBackupAddress;
    CSkinEditEx m_editPort;
    CSkinEditEx m_editBackupPort;
    std::vector<ServerInfo>* m_pServers; // the sibling's list; not owned
};
