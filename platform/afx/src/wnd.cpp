#include "afximpl.h"

#include <unordered_map>

// ---------------------------------------------------------------------------
// The handle maps: one permanent map from window to the object bound to it,
// and temporary wrappers for windows that no object owns (GetDlgItem on a
// plain control). Temporaries are freed once their window is gone.
//
// Also the dialog items found so far, by parent and id: under Wine every
// ::GetDlgItem lists the parent's children in a round trip to the server,
// while checking a remembered item is done in the process.

namespace {
struct HandleMaps {
    CRITICAL_SECTION lock;
    std::unordered_map<HWND, CWnd*> permanent;
    std::unordered_map<HWND, CWnd*> temporary;
    std::unordered_map<unsigned long long, HWND> items; // (parent, id) -> item
    HandleMaps() { InitializeCriticalSection(&lock); }
};

HandleMaps& Maps() {
    static HandleMaps* maps = new HandleMaps; // outlives every window object
    return *maps;
}

struct MapLock {
    MapLock() { EnterCriticalSection(&Maps().lock); }
    ~MapLock() { LeaveCriticalSection(&Maps().lock); }
};
} // namespace

AfxThreadState& AfxGetThreadState() {
    static thread_local AfxThreadState state = {nullptr, nullptr, nullptr};
    return state;
}

void AfxMapAdd(HWND hWnd, CWnd* pWnd) {
    MapLock lock;
    Maps().permanent[hWnd] = pWnd;
}

void AfxMapRemove(HWND hWnd) {
    MapLock lock;
    Maps().permanent.erase(hWnd);
}

void AfxPurgeTempMap() {
    MapLock lock;
    auto& temp = Maps().temporary;
    for (auto it = temp.begin(); it != temp.end();) {
        if (!::IsWindow(it->first)) {
            it->second->m_hWnd = nullptr;
            delete it->second;
            it = temp.erase(it);
        } else {
            ++it;
        }
    }
    auto& items = Maps().items;
    for (auto it = items.begin(); it != items.end();)
        it = ::IsWindow(it->second) ? std::next(it) : items.erase(it);
}

static unsigned long long ItemKey(HWND hParent, int nID) {
    return (static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hParent)) << 32) ^
           static_cast<unsigned int>(nID);
}

HWND AfxGetDlgItem(HWND hParent, int nID) {
    if (!hParent)
        return nullptr;
    const unsigned long long key = ItemKey(hParent, nID);
    {
        MapLock lock;
        auto it = Maps().items.find(key);
        // Still that parent's item of that id (not destroyed, moved or
        // renumbered): the ids of a dialog's items are unique.
        if (it != Maps().items.end()) {
            HWND hItem = it->second;
            if (::IsWindow(hItem) && ::GetParent(hItem) == hParent && ::GetDlgCtrlID(hItem) == nID)
                return hItem;
            Maps().items.erase(it);
        }
    }
    HWND hItem = ::GetDlgItem(hParent, nID);
    if (hItem) {
        MapLock lock;
        Maps().items[key] = hItem;
    }
    return hItem;
}

int AFXAPI AfxGetLiveWindowCount() {
    MapLock lock;
    return static_cast<int>(Maps().permanent.size());
}

int AFXAPI AfxGetTempWindowCount() {
    MapLock lock;
    return static_cast<int>(Maps().temporary.size());
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    if (!hWnd)
        return nullptr;
    MapLock lock;
    auto it = Maps().permanent.find(hWnd);
    return it == Maps().permanent.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (!hWnd)
        return nullptr;
    MapLock lock;
    auto it = Maps().permanent.find(hWnd);
    if (it != Maps().permanent.end())
        return it->second;
    CWnd*& temp = Maps().temporary[hWnd];
    if (!temp) {
        temp = new CWnd;
        temp->m_hWnd = hWnd;
    }
    return temp;
}

// ---------------------------------------------------------------------------
// Binding a window being created to its object

static LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam) {
    AfxThreadState& state = AfxGetThreadState();
    const LRESULT lResult = CallNextHookEx(state.hHookCbt, code, wParam, lParam);
    if (code == HCBT_CREATEWND && state.pWndInit) {
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        CWnd* pWnd = state.pWndInit;
        state.pWndInit = nullptr;
        pWnd->Attach(hWnd);
        pWnd->PreSubclassWindow();
        WNDPROC old = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
        AfxSetSuperProc(pWnd, old == &AfxWndProc ? nullptr : old);
        // Bound: the windows created next (a dialog's controls) pass no
        // hook, which under Wine costs three server round trips a window.
        UnhookWindowsHookEx(state.hHookCbt);
        state.hHookCbt = nullptr;
    }
    return lResult;
}

void AFXAPI AfxHookWindowCreate(CWnd* pWnd) {
    AfxThreadState& state = AfxGetThreadState();
    if (!state.hHookCbt)
        state.hHookCbt =
            SetWindowsHookExW(WH_CBT, &AfxCbtFilterHook, nullptr, GetCurrentThreadId());
    state.pWndInit = pWnd;
}

BOOL AFXAPI AfxUnhookWindowCreate() {
    AfxThreadState& state = AfxGetThreadState();
    if (state.hHookCbt) {
        UnhookWindowsHookEx(state.hHookCbt);
        state.hHookCbt = nullptr;
    }
    BOOL bound = state.pWndInit == nullptr;
    state.pWndInit = nullptr;
    return bound;
}

// ---------------------------------------------------------------------------
// Calling a message map entry: its handler converted back to the type the
// ON_ macro checked, with the message's arguments cracked.

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcast-function-type"
static BOOL AfxCallHandler(CWnd* pWnd, const AFX_MSGMAP_ENTRY& e, UINT nID, WPARAM wParam,
                           LPARAM lParam, LRESULT* pResult) {
    CCmdTarget* pTarget = pWnd;
    const UINT nLow = LOWORD(lParam), nHigh = HIWORD(lParam);
    switch (e.nSig) {
    case AfxSig_v_v:
        (pTarget->*e.pfn)();
        break;
    case AfxSig_v_u:
        (pTarget->*reinterpret_cast<void (CCmdTarget::*)(UINT)>(e.pfn))(nID);
        break;
    case AfxSig_v_NMHDR_pl:
        (pTarget->*reinterpret_cast<void (CCmdTarget::*)(NMHDR*, LRESULT*)>(e.pfn))(
            reinterpret_cast<NMHDR*>(lParam), pResult);
        break;
    case AfxSig_l_w_l:
        *pResult =
            (pWnd->*reinterpret_cast<LRESULT (CWnd::*)(WPARAM, LPARAM)>(e.pfn))(wParam, lParam);
        break;
    case AfxSig_i_CREATE:
        *pResult = (pWnd->*reinterpret_cast<int (CWnd::*)(LPCREATESTRUCT)>(e.pfn))(
            reinterpret_cast<LPCREATESTRUCT>(lParam));
        break;
    case AfxSig_b_D: {
        // A wrapper of the message's context for the handler's call only.
        CDC dc;
        dc.Attach(reinterpret_cast<HDC>(wParam));
        *pResult = (pWnd->*reinterpret_cast<BOOL (CWnd::*)(CDC*)>(e.pfn))(&dc);
        dc.Detach();
        break;
    }
    case AfxSig_v_u_i_i:
        (pWnd->*reinterpret_cast<void (CWnd::*)(UINT, int, int)>(e.pfn))(
            static_cast<UINT>(wParam), static_cast<int>(nLow), static_cast<int>(nHigh));
        break;
    case AfxSig_b_W_u_u:
        *pResult = (pWnd->*reinterpret_cast<BOOL (CWnd::*)(CWnd*, UINT, UINT)>(e.pfn))(
            CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), nLow, nHigh);
        break;
    case AfxSig_v_u_u_u:
        (pWnd->*reinterpret_cast<void (CWnd::*)(UINT, UINT, UINT)>(e.pfn))(
            static_cast<UINT>(wParam), nLow, nHigh);
        break;
    case AfxSig_v_u_p:
        (pWnd->*reinterpret_cast<void (CWnd::*)(UINT, CPoint)>(e.pfn))(
            static_cast<UINT>(wParam), CPoint(static_cast<short>(nLow), static_cast<short>(nHigh)));
        break;
    case AfxSig_v_up:
        (pWnd->*reinterpret_cast<void (CWnd::*)(UINT_PTR)>(e.pfn))(static_cast<UINT_PTR>(wParam));
        break;
    default:
        return FALSE;
    }
    return TRUE;
}
#pragma GCC diagnostic pop

// ---------------------------------------------------------------------------
// Window procedure

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd)
        return ::DefWindowProcW(hWnd, nMsg, wParam, lParam);
    return AfxCallWndProc(pWnd, hWnd, nMsg, wParam, lParam);
}

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    AfxThreadState& state = AfxGetThreadState();
    MSG msg = {};
    msg.hwnd = hWnd;
    msg.message = nMsg;
    msg.wParam = wParam;
    msg.lParam = lParam;
    const MSG* pOld = state.pLastMsg;
    state.pLastMsg = &msg;
    LRESULT lResult = pWnd->WindowProc(nMsg, wParam, lParam);
    state.pLastMsg = pOld;
    if (nMsg == WM_NCDESTROY && pWnd->m_hWnd == hWnd) {
        // The window is gone: unbind the object and give it back its
        // original procedure if nobody subclassed after us.
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hWnd, GWLP_WNDPROC)) == &AfxWndProc &&
            pWnd->m_pfnSuper)
            SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pWnd->m_pfnSuper));
        pWnd->Detach();
        pWnd->m_pfnSuper = nullptr;
        pWnd->PostNcDestroy();
    }
    return lResult;
}

// ---------------------------------------------------------------------------
// CObject, CCmdTarget

const CRuntimeClass* CObject::GetThisClass() {
    static const CRuntimeClass rc = {"CObject", static_cast<int>(sizeof(CObject)), nullptr};
    return &rc;
}
const CRuntimeClass* CObject::GetRuntimeClass() const {
    return GetThisClass();
}
CObject::~CObject() = default;

const CRuntimeClass* CCmdTarget::GetThisClass() {
    static const CRuntimeClass rc = {"CCmdTarget", static_cast<int>(sizeof(CCmdTarget)),
                                     CObject::GetThisClass()};
    return &rc;
}
const CRuntimeClass* CCmdTarget::GetRuntimeClass() const {
    return GetThisClass();
}

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}
const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

// ---------------------------------------------------------------------------
// CWnd

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

void AfxSetSuperProc(CWnd* pWnd, WNDPROC proc) {
    struct Access : CWnd {
        static void Set(CWnd* p, WNDPROC f) { static_cast<Access*>(p)->m_pfnSuper = f; }
    };
    Access::Set(pWnd, proc);
}

CWnd::CWnd() : m_hWnd(nullptr), m_pfnSuper(nullptr) {}

CWnd::~CWnd() {
    if (m_hWnd) {
        HWND hWnd = m_hWnd;
        if (FromHandlePermanent(hWnd) == this && ::IsWindow(hWnd))
            ::DestroyWindow(hWnd);
        if (m_hWnd) // the window was not ours to destroy or is already gone
            Detach();
    }
}

BOOL CWnd::Attach(HWND hWndNew) {
    if (!hWndNew)
        return FALSE;
    m_hWnd = hWndNew;
    AfxMapAdd(hWndNew, this);
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd) {
        if (FromHandlePermanent(hWnd) == this)
            AfxMapRemove(hWnd);
        m_hWnd = nullptr;
    }
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!hWnd || FromHandlePermanent(hWnd))
        return FALSE;
    Attach(hWnd);
    PreSubclassWindow();
    WNDPROC old = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    m_pfnSuper = old == &AfxWndProc ? nullptr : old;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    HWND hWndControl = pParent ? AfxGetDlgItem(pParent->m_hWnd, static_cast<int>(nID)) : nullptr;
    return hWndControl ? SubclassWindow(hWndControl) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
    if (!m_hWnd)
        return nullptr;
    if (m_pfnSuper)
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                    LPVOID lpParam) {
    AfxEnsureCommonControls();
    AfxHookWindowCreate(this);
    HWND hWnd =
        ::CreateWindowExW(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, nWidth, nHeight,
                          hWndParent, nIDorHMenu, GetModuleHandleW(nullptr), lpParam);
    AfxUnhookWindowCreate();
    if (!hWnd) {
        if (m_hWnd)
            Detach();
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top,
                    pParentWnd ? pParentWnd->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, void*) {
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd)
        return FALSE;
    HWND hWnd = m_hWnd;
    BOOL bResult = ::DestroyWindow(hWnd);
    if (m_hWnd == hWnd) // not subclassed: WM_NCDESTROY did not reach us
        Detach();
    return bResult;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    UINT nCode = 0;
    UINT nID = 0;
    if (message == WM_COMMAND) {
        nCode = HIWORD(wParam);
        nID = LOWORD(wParam);
    } else if (message == WM_NOTIFY) {
        const NMHDR* pHdr = reinterpret_cast<const NMHDR*>(lParam);
        if (!pHdr)
            return FALSE;
        nCode = pHdr->code;
        nID = static_cast<UINT>(pHdr->idFrom);
    }
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap;
         pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = pMap->lpEntries; e->nSig != AfxSig_end; ++e) {
            if (e->nMessage != message)
                continue;
            if (message == WM_COMMAND || message == WM_NOTIFY) {
                if (e->nCode != nCode || nID < e->nID || nID > e->nLastID)
                    continue;
            }
            *pResult = 0;
            return AfxCallHandler(this, *e, nID, wParam, lParam, pResult);
        }
    }
    return FALSE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper)
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    const MSG* pMsg = AfxGetThreadState().pLastMsg;
    return pMsg ? DefWindowProc(pMsg->message, pMsg->wParam, pMsg->lParam) : 0;
}

const MSG* CWnd::GetCurrentMessage() const {
    return AfxGetThreadState().pLastMsg;
}

void CWnd::PostNcDestroy() {}
void CWnd::PreSubclassWindow() {}
void CWnd::DoDataExchange(CDataExchange*) {}
BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    if (dx.m_bNotSupported)
        AfxReportNotSupported();
    return dx.m_bFailed ? FALSE : TRUE;
}

int CWnd::OnCreate(LPCREATESTRUCT) {
    return static_cast<int>(Default());
}
void CWnd::OnDestroy() {
    Default();
}
void CWnd::OnPaint() {
    Default();
}
BOOL CWnd::OnEraseBkgnd(CDC*) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnSize(UINT, int, int) {
    Default();
}
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnChar(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnLButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnMouseMove(UINT, CPoint) {
    Default();
}
void CWnd::OnTimer(UINT_PTR) {
    Default();
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}
BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}
BOOL CWnd::ShowWindow(int nCmdShow) {
    return ::ShowWindow(m_hWnd, nCmdShow);
}
BOOL CWnd::IsWindowVisible() const {
    return ::IsWindowVisible(m_hWnd);
}
BOOL CWnd::EnableWindow(BOOL bEnable) {
    return ::EnableWindow(m_hWnd, bEnable);
}
BOOL CWnd::IsWindowEnabled() const {
    return ::IsWindowEnabled(m_hWnd);
}
void CWnd::SetWindowText(LPCWSTR lpszString) {
    ::SetWindowTextW(m_hWnd, lpszString);
}
int CWnd::GetWindowText(LPWSTR lpszStringBuf, int nMaxCount) const {
    return ::GetWindowTextW(m_hWnd, lpszStringBuf, nMaxCount);
}
void CWnd::GetWindowText(CString& rString) const {
    int n = ::GetWindowTextLengthW(m_hWnd);
    if (n <= 0) {
        rString.Empty();
        return;
    }
    int got = ::GetWindowTextW(m_hWnd, rString.GetBufferSetLength(n), n + 1);
    rString.ReleaseBuffer(got < 0 ? 0 : got);
}
int CWnd::GetWindowTextLength() const {
    return ::GetWindowTextLengthW(m_hWnd);
}
CWnd* CWnd::GetDlgItem(int nID) const {
    return FromHandle(AfxGetDlgItem(m_hWnd, nID));
}
int CWnd::GetDlgCtrlID() const {
    return ::GetDlgCtrlID(m_hWnd);
}
void CWnd::SetDlgItemText(int nID, LPCWSTR lpszString) {
    if (HWND hItem = AfxGetDlgItem(m_hWnd, nID))
        ::SetWindowTextW(hItem, lpszString);
}
int CWnd::GetDlgItemText(int nID, CString& rString) const {
    rString.Empty();
    HWND hItem = AfxGetDlgItem(m_hWnd, nID);
    if (hItem)
        FromHandle(hItem)->GetWindowText(rString);
    return rString.GetLength();
}
void CWnd::CheckDlgButton(int nIDButton, UINT nCheck) {
    if (HWND hItem = AfxGetDlgItem(m_hWnd, nIDButton))
        ::SendMessageW(hItem, BM_SETCHECK, nCheck, 0);
}
UINT CWnd::IsDlgButtonChecked(int nIDButton) const {
    HWND hItem = AfxGetDlgItem(m_hWnd, nIDButton);
    return hItem ? static_cast<UINT>(::SendMessageW(hItem, BM_GETCHECK, 0, 0)) : 0;
}
void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
    ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}
void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint) {
    MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left,
               lpRect->bottom - lpRect->top, bRepaint);
}
BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
    return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy,
                          nFlags);
}
void CWnd::GetWindowRect(LPRECT lpRect) const {
    ::GetWindowRect(m_hWnd, lpRect);
}
void CWnd::GetClientRect(LPRECT lpRect) const {
    ::GetClientRect(m_hWnd, lpRect);
}
void CWnd::ScreenToClient(LPPOINT lpPoint) const {
    ::ScreenToClient(m_hWnd, lpPoint);
}
void CWnd::ScreenToClient(LPRECT lpRect) const {
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
}
void CWnd::ClientToScreen(LPPOINT lpPoint) const {
    ::ClientToScreen(m_hWnd, lpPoint);
}
void CWnd::ClientToScreen(LPRECT lpRect) const {
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
}
CWnd* CWnd::SetFocus() {
    return FromHandle(::SetFocus(m_hWnd));
}
CWnd* CWnd::GetFocus() {
    return FromHandle(::GetFocus());
}
CWnd* CWnd::GetParent() const {
    return FromHandle(::GetParent(m_hWnd));
}
CWnd* CWnd::GetOwner() const {
    return FromHandle(::GetWindow(m_hWnd, GW_OWNER));
}
BOOL CWnd::SetForegroundWindow() {
    return ::SetForegroundWindow(m_hWnd);
}
void CWnd::Invalidate(BOOL bErase) {
    ::InvalidateRect(m_hWnd, nullptr, bErase);
}
void CWnd::UpdateWindow() {
    ::UpdateWindow(m_hWnd);
}
BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, HRGN hrgnUpdate, UINT flags) {
    return ::RedrawWindow(m_hWnd, lpRectUpdate, hrgnUpdate, flags);
}
DWORD CWnd::GetStyle() const {
    return static_cast<DWORD>(GetWindowLongPtrW(m_hWnd, GWL_STYLE));
}
DWORD CWnd::GetExStyle() const {
    return static_cast<DWORD>(GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE));
}
BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    DWORD dwStyle = GetStyle();
    DWORD dwNew = (dwStyle & ~dwRemove) | dwAdd;
    if (dwStyle == dwNew)
        return FALSE;
    SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(dwNew));
    if (nFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}
void CWnd::SetFont(HFONT hFont, BOOL bRedraw) {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(hFont), bRedraw);
}
HFONT CWnd::GetFont() const {
    return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
}
UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse) {
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, nullptr);
}
BOOL CWnd::KillTimer(UINT_PTR nIDEvent) {
    return ::KillTimer(m_hWnd, nIDEvent);
}

// ---------------------------------------------------------------------------
// CDC, CPaintDC

CDC::CDC() : m_hDC(nullptr) {}
CDC::~CDC() {}
BOOL CDC::Attach(HDC hDC) {
    if (!hDC)
        return FALSE;
    m_hDC = hDC;
    return TRUE;
}
HDC CDC::Detach() {
    HDC hDC = m_hDC;
    m_hDC = nullptr;
    return hDC;
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd) {
    m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}
CPaintDC::~CPaintDC() {
    ::EndPaint(m_hWnd, &m_ps);
    m_hDC = nullptr;
}
