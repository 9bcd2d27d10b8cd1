#include "core/SIGNDESKComp.h"

#include "login/DlgLogin.h"
#include "core/HostInterfaces.h"
#include "res/resource.h"

#include <cstring>
#include <new>

namespace {
CSIGNDESKComp* g_pInstance = NULL;

bool SameGuid(const GUID& a, const GUID& b) {
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}
} // namespace

CSIGNDESKComp* GetInstance() {
    if (!g_pInstance)
        g_pInstance = new (std::nothrow) CSIGNDESKComp;
    return g_pInstance;
}

void DestroyInstance() {
    delete g_pInstance;
    g_pInstance = NULL;
}

int XSCNotifyProc(const char* name, int id, CXMLU* request, CXMLU*) {
    CSIGNDESKComp* pComp = GetInstance();
    if (pComp)
        pComp->OnNtfMessageDispatch(name, id, request, NULL);
    return 0;
}

// The instance holds its own reference: the count never reaches zero
// through the host's releases, so nothing ever sees a destroyed component.
CSIGNDESKComp::CSIGNDESKComp() : m_nRef(1), m_pLoginDlg(NULL) {}

CSIGNDESKComp::~CSIGNDESKComp() {
    if (m_pLoginDlg) {
        if (m_pLoginDlg->GetSafeHwnd())
            m_pLoginDlg->DestroyWindow();
        delete m_pLoginDlg;
        m_pLoginDlg = NULL;
    }
}

long CSIGNDESKComp::AddRef() {
    return ++m_nRef;
}

long CSIGNDESKComp::Release() {
    return --m_nRef;
}

int CSIGNDESKComp::QueryInterface(const GUID& riid, IUSBase** ppv) {
    if (!ppv)
        return 0;
    if (SameGuid(riid, IID_IIUILang))
        *ppv = static_cast<IIUILang*>(this);
    else if (SameGuid(riid, IID_ISIGNDESK))
        *ppv = static_cast<ISIGNDESK*>(this);
    else if (SameGuid(riid, IID_IUIPlugin))
        *ppv = static_cast<IUIPlugin*>(this);
    else {
        *ppv = NULL;
        return 0;
    }
    AddRef();
    return 1;
}

int CSIGNDESKComp::Create(CWnd* pParent) {
    if (!pParent)
        return 0;
    if (!m_pLoginDlg)
        m_pLoginDlg = new CLoginDlg;
    if (m_pLoginDlg->GetSafeHwnd())
        return 0;
    BOOL bCreated = m_pLoginDlg->Create(IDD_LOGIN, pParent);
    // Shown without erasing it now: the host moves the panel to its place
    // right after, which erases it once at its real size.
    if (bCreated)
        m_pLoginDlg->SetWindowPos(NULL, 0, 0, 0, 0,
                                  SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER |
                                      SWP_NOACTIVATE | SWP_DEFERERASE);
    return bCreated;
}

CDialog* CSIGNDESKComp::GetLoginWnd() {
    return m_pLoginDlg;
}

void CSIGNDESKComp::Move(const RECT& rect) {
    if (!m_pLoginDlg)
        return;
    m_pLoginDlg->MoveWindow(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                            TRUE);
    m_pLoginDlg->MoveCtrl();
}

void CSIGNDESKComp::OnRegResponse(int code) {
    if (m_pLoginDlg)
        m_pLoginDlg->OnRegResponse(code);
}

void CSIGNDESKComp::OnDeRegResponse(int code) {
    if (m_pLoginDlg)
        m_pLoginDlg->OnDeRegResponse(code);
}

void CSIGNDESKComp::Login() {
    if (m_pLoginDlg)
        m_pLoginDlg->OnBnClickedButtonLogin();
}

void CSIGNDESKComp::Logout() {
    if (m_pLoginDlg)
        m_pLoginDlg->OnBnClickedButtonLogout();
}

void CSIGNDESKComp::InitFocus() {
    if (m_pLoginDlg)
        m_pLoginDlg->InitFocus();
}

void CSIGNDESKComp::OnCustomizeSet() {
    if (m_pLoginDlg)
        m_pLoginDlg->OnCustomizeSet();
}

void CSIGNDESKComp::OnChangeLanguage() {
    if (m_pLoginDlg)
        m_pLoginDlg->OnChangeLanguage();
}

void CSIGNDESKComp::UpdateUnsettledMsg(INT32 kind) {
    if (m_pLoginDlg)
        m_pLoginDlg->UpdateUnsettledMsg(kind);
}

void CSIGNDESKComp::CloseKeyBoardDlg() {
    if (m_pLoginDlg)
        m_pLoginDlg->CloseKeyBoardDlg();
}

void CSIGNDESKComp::Activate(INT32) {}
void CSIGNDESKComp::Deactivate(INT32) {}
int CSIGNDESKComp::GetCapabilities() {
    return 0;
}
void CSIGNDESKComp::OnCommand(INT32, INT32, INT32) {}

// No notifications of its own: the framework's base map handles them all.
const UI_MSGMAP* CSIGNDESKComp::GetThisMessageMap() {
    static const UI_MSGMAP_ENTRY entries[] = {{NULL, NULL}};
    static const UI_MSGMAP map = {&CUIObject::GetThisMessageMap, &entries[0]};
    return &map;
}

const UI_MSGMAP* CSIGNDESKComp::GetMessageMap() const {
    return GetThisMessageMap();
}

CString CSIGNDESKComp::GetLangText(const wchar_t* section, const wchar_t* key) const {
    IUSBaseList list;
    UIQueryInterface(IID_IKITELang, list, 0);
    IKITELang* pLang = list.empty() ? NULL : dynamic_cast<IKITELang*>(list.front());
    if (!pLang)
        return CString();
    std::wstring text = pLang->GetLangString(key, section);
    return CString(text.c_str(), static_cast<int>(text.size()));
}
