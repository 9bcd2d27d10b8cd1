// The plug-in's single component: registers with the host framework,
// hands out its interfaces and forwards the host's panel requests.
#pragma once

#include "core/SIGNDESKInterface.h"

class CLoginDlg;

class CSIGNDESKComp : public CUIObject, public ISIGNDESK, public IUIPlugin, public IIUILang {
public:
    CSIGNDESKComp();
    virtual ~CSIGNDESKComp();

    // IUSBase, shared by the three interfaces.
    virtual long AddRef();
    virtual long Release();
    virtual int QueryInterface(const GUID& riid, IUSBase** ppv);

    // ISIGNDESK
    virtual int Create(CWnd* pParent);
    virtual CDialog* GetLoginWnd();
    virtual void Move(const RECT& rect);
    virtual void OnRegResponse(int code);
    virtual void OnDeRegResponse(int code);
    virtual void Login();
    virtual void Logout();
    virtual void InitFocus();
    virtual void OnCustomizeSet();
    virtual void OnChangeLanguage();
    virtual void UpdateUnsettledMsg(INT32 kind);
    virtual void CloseKeyBoardDlg();

    // IUIPlugin
    virtual void Activate(INT32 param);
    virtual void Deactivate(INT32 param);
    virtual int GetCapabilities();
    virtual void OnCommand(INT32 cmd, INT32 wparam, INT32 lparam);

    // CUIObject
    virtual const UI_MSGMAP* GetMessageMap() const;
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
