// The plug-in's single component: registers with the host framework,
// hands out its interfaces and forwards the host's panel requests.
#pragma once

#include "core/SIGNDESKInterface.h"

class CLoginDlg;

class CSIGNDESKComp : public CUIObject, public ISIGNDESK, public IUIPlugin, public IIUILang {
public:
    CSIGNDESKComp();
    ~CSIGNDESKComp() override;

    // IUSBase, shared by the three interfaces.
    long AddRef() override;
    long Release() override;
    int QueryInterface(const GUID& riid, IUSBase** ppv) override;

    // ISIGNDESK
    int Create(CWnd* pParent) override;
    CDialog* GetLoginWnd() override;
    void Move(const RECT& rect) override;
    void OnRegResponse(int code) override;
    void OnDeRegResponse(int code) override;
    void Login() override;
    void Logout() override;
    void InitFocus() override;
    void OnCustomizeSet() override;
    void OnChangeLanguage() override;
    void UpdateUnsettledMsg(int32_t kind) override;
    void CloseKeyBoardDlg() override;

    // IUIPlugin
    void Activate(int32_t param) override;
    void Deactivate(int32_t param) override;
    int GetCapabilities() override;
    void OnCommand(int32_t cmd, int32_t wparam, int32_t lparam) override;

    // CUIObject
    const UI_MSGMAP* GetMessageMap() const override;
    static const UI_MSGMAP* GetThisMessageMap();

    CString GetLangText(const wchar_t* section, const wchar_t* key) const;

    LONG m_nRef;
    CLoginDlg* m_pLoginDlg;
};

// The process's one component, created on first use; null only when it
// could not be created (the next call tries again).
CSIGNDESKComp* GetInstance();
// Destroys the component at module unload.
void DestroyInstance();

int XSCNotifyProc(const char* name, int id, CXMLU* request, CXMLU* reply);
