// Framework layer: windows, dialogs, controls, message maps, data exchange,
// worker threads and the message pump. Shaped like the class library the
// plug-in was written for; only what the system uses is here.
#pragma once

#include "afxver.h"
#include "afxstr.h"

static_assert(sizeof(CString) == sizeof(void*), "CString is one pointer wide");

class CWnd;
class CCmdTarget;
class CDataExchange;

// ---------------------------------------------------------------------------
// Geometry

class CPoint : public POINT {
public:
    CPoint() noexcept { x = y = 0; }
    CPoint(int initX, int initY) noexcept { x = initX, y = initY; }
    CPoint(POINT pt) noexcept { x = pt.x, y = pt.y; }
};

class CSize : public SIZE {
public:
    CSize() noexcept { cx = cy = 0; }
    CSize(int initCX, int initCY) noexcept { cx = initCX, cy = initCY; }
};

class CRect : public RECT {
public:
    CRect() noexcept { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b) noexcept { SetRect(l, t, r, b); }
    CRect(const RECT& src) noexcept { SetRect(src.left, src.top, src.right, src.bottom); }
    CRect(POINT topLeft, SIZE size) noexcept {
        SetRect(topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy);
    }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint BottomRight() const { return CPoint(right, bottom); }
    void SetRect(int l, int t, int r, int b) { left = l, top = t, right = r, bottom = b; }
    void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    bool IsRectEmpty() const { return right <= left || bottom <= top; }
    bool PtInRect(POINT pt) const { return ::PtInRect(this, pt) != FALSE; }
    void OffsetRect(int dx, int dy) { left += dx, right += dx, top += dy, bottom += dy; }
    void NormalizeRect();
    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }
    bool operator==(const RECT& r) const {
        return left == r.left && top == r.top && right == r.right && bottom == r.bottom;
    }
    bool operator!=(const RECT& r) const { return !(*this == r); }
};

inline void CRect::NormalizeRect() {
    if (left > right) {
        LONG t = left;
        left = right, right = t;
    }
    if (top > bottom) {
        LONG t = top;
        top = bottom, bottom = t;
    }
}

// ---------------------------------------------------------------------------
// Run-time class information

struct CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    const CRuntimeClass* m_pBaseClass;
    bool IsDerivedFrom(const CRuntimeClass* pBase) const {
        for (const CRuntimeClass* p = this; p; p = p->m_pBaseClass)
            if (p == pBase)
                return true;
        return false;
    }
};

#define RUNTIME_CLASS(class_name) (class_name::GetThisClass())

#define DECLARE_DYNAMIC(class_name)                                                                \
public:                                                                                            \
    static const CRuntimeClass* GetThisClass();                                                    \
    const CRuntimeClass* GetRuntimeClass() const override;

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                             \
    const CRuntimeClass* class_name::GetThisClass() {                                              \
        static const CRuntimeClass rc = {#class_name, static_cast<int>(sizeof(class_name)),        \
                                         base_class_name::GetThisClass()};                         \
        return &rc;                                                                                \
    }                                                                                              \
    const CRuntimeClass* class_name::GetRuntimeClass() const {                                     \
        return GetThisClass();                                                                     \
    }

class AFX_API CObject {
public:
    static const CRuntimeClass* GetThisClass();
    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject();
    bool IsKindOf(const CRuntimeClass* pClass) const {
        return GetRuntimeClass()->IsDerivedFrom(pClass);
    }

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

// ---------------------------------------------------------------------------
// Message maps. Each entry carries a small typed thunk (a captureless lambda
// written by the ON_ macros) that calls the handler with its own signature.

typedef BOOL (*AFX_MSGTHUNK)(CCmdTarget* pTarget, UINT nID, WPARAM wParam, LPARAM lParam,
                             LRESULT* pResult);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode;   // control notification (WM_COMMAND, WM_NOTIFY)
    UINT nID;     // first control id
    UINT nLastID; // last control id of a range
    AFX_MSGTHUNK pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    static const AFX_MSGMAP* GetThisMessageMap();                                                  \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const {                                            \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                              \
        typedef theClass ThisClass;                                                                \
        typedef baseClass TheBaseClass;                                                            \
        static_assert(sizeof(ThisClass) > 0, "complete class");                                    \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                          \
    { 0, 0, 0, 0, nullptr }                                                                        \
    }                                                                                              \
    ;                                                                                              \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]};  \
    return &messageMap;                                                                            \
    }

#define AFX_THUNK(call)                                                                            \
    [](CCmdTarget* pTarget, UINT nID, WPARAM wParam, LPARAM lParam, LRESULT* pResult) -> BOOL {    \
        ThisClass* pThis = static_cast<ThisClass*>(pTarget);                                       \
        (void)nID, (void)wParam, (void)lParam, (void)pResult;                                      \
        call;                                                                                      \
        return TRUE;                                                                               \
    }

#define ON_COMMAND(id, memberFxn) {WM_COMMAND, 0, (id), (id), AFX_THUNK(pThis->memberFxn())},
#define ON_COMMAND_RANGE(idFirst, idLast, memberFxn)                                               \
    {WM_COMMAND, 0, (idFirst), (idLast), AFX_THUNK(pThis->memberFxn(nID))},
#define ON_CONTROL(code, id, memberFxn)                                                            \
    {WM_COMMAND, (UINT)(code), (id), (id), AFX_THUNK(pThis->memberFxn())},
#define ON_CONTROL_RANGE(code, idFirst, idLast, memberFxn)                                         \
    {WM_COMMAND, (UINT)(code), (idFirst), (idLast), AFX_THUNK(pThis->memberFxn(nID))},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_NOTIFY(code, id, memberFxn)                                                             \
    {WM_NOTIFY, (UINT)(code), (id), (id),                                                          \
     AFX_THUNK(pThis->memberFxn(reinterpret_cast<NMHDR*>(lParam), pResult))},
#define ON_MESSAGE(message, memberFxn)                                                             \
    {(message), 0, 0, 0, AFX_THUNK(*pResult = pThis->memberFxn(wParam, lParam))},

#define ON_WM_CREATE()                                                                             \
    {WM_CREATE, 0, 0, 0,                                                                           \
     AFX_THUNK(*pResult = pThis->OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam)))},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, 0, AFX_THUNK(pThis->OnDestroy())},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, 0, AFX_THUNK(pThis->OnPaint())},
#define ON_WM_ERASEBKGND()                                                                         \
    {WM_ERASEBKGND, 0, 0, 0,                                                                       \
     AFX_THUNK(*pResult = pThis->OnEraseBkgnd(reinterpret_cast<HDC>(wParam)))},
#define ON_WM_SIZE()                                                                               \
    {WM_SIZE, 0, 0, 0,                                                                             \
     AFX_THUNK(pThis->OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))},
#define ON_WM_SETCURSOR()                                                                          \
    {WM_SETCURSOR, 0, 0, 0,                                                                        \
     AFX_THUNK(*pResult = pThis->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)),     \
                                             LOWORD(lParam), HIWORD(lParam)))},
#define ON_WM_CHAR()                                                                               \
    {WM_CHAR, 0, 0, 0,                                                                             \
     AFX_THUNK(pThis->OnChar(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))},
#define ON_WM_LBUTTONDOWN()                                                                        \
    {WM_LBUTTONDOWN, 0, 0, 0,                                                                      \
     AFX_THUNK(pThis->OnLButtonDown(                                                               \
         static_cast<UINT>(wParam),                                                                \
         CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)))))},
#define ON_WM_LBUTTONUP()                                                                          \
    {WM_LBUTTONUP, 0, 0, 0,                                                                        \
     AFX_THUNK(pThis->OnLButtonUp(                                                                 \
         static_cast<UINT>(wParam),                                                                \
         CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)))))},
#define ON_WM_MOUSEMOVE()                                                                          \
    {WM_MOUSEMOVE, 0, 0, 0,                                                                        \
     AFX_THUNK(pThis->OnMouseMove(                                                                 \
         static_cast<UINT>(wParam),                                                                \
         CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)))))},
#define ON_WM_TIMER() {WM_TIMER, 0, 0, 0, AFX_THUNK(pThis->OnTimer(static_cast<UINT_PTR>(wParam)))},

class AFX_API CCmdTarget : public CObject {
public:
    static const CRuntimeClass* GetThisClass();
    const CRuntimeClass* GetRuntimeClass() const override;
    virtual const AFX_MSGMAP* GetMessageMap() const;

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
};

// ---------------------------------------------------------------------------
// Windows

class AFX_API CWnd : public CCmdTarget {
    DECLARE_DYNAMIC(CWnd)
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    ~CWnd() override;

    HWND m_hWnd = nullptr;
    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object bound to a window, or a temporary wrapper when none is.
    static CWnd* FromHandle(HWND hWnd);
    // The object bound to a window, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);

    BOOL Attach(HWND hWndNew);
    HWND Detach();
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    virtual BOOL CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName,
                          DWORD dwStyle, int x, int y, int nWidth, int nHeight, HWND hWndParent,
                          HMENU nIDorHMenu, LPVOID lpParam = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                        const RECT& rect, CWnd* pParentWnd, UINT nID, void* pContext = nullptr);
    virtual BOOL DestroyWindow();

    // Message handling
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void PostNcDestroy();
    virtual void PreSubclassWindow();
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    LRESULT Default(); // the default handling of the message being processed
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    const MSG* GetCurrentMessage() const;

    // Default handlers that derived classes may call as their base.
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    void OnPaint();
    BOOL OnEraseBkgnd(HDC hDC);
    void OnSize(UINT nType, int cx, int cy);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnTimer(UINT_PTR nIDEvent);

    // Thin wrappers over the Win32 window functions.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    void SetWindowText(LPCWSTR lpszString);
    int GetWindowText(LPWSTR lpszStringBuf, int nMaxCount) const;
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const;
    CWnd* GetDlgItem(int nID) const;
    int GetDlgCtrlID() const;
    void SetDlgItemText(int nID, LPCWSTR lpszString);
    int GetDlgItemText(int nID, CString& rString) const;
    void CheckDlgButton(int nIDButton, UINT nCheck);
    UINT IsDlgButtonChecked(int nIDButton) const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    void GetWindowRect(LPRECT lpRect) const;
    void GetClientRect(LPRECT lpRect) const;
    void ScreenToClient(LPPOINT lpPoint) const;
    void ScreenToClient(LPRECT lpRect) const;
    void ClientToScreen(LPPOINT lpPoint) const;
    void ClientToScreen(LPRECT lpRect) const;
    CWnd* SetFocus();
    static CWnd* GetFocus();
    CWnd* GetParent() const;
    CWnd* GetOwner() const;
    BOOL SetForegroundWindow();
    void Invalidate(BOOL bErase = TRUE);
    void UpdateWindow();
    BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, HRGN hrgnUpdate = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    void SetFont(HFONT hFont, BOOL bRedraw = TRUE);
    HFONT GetFont() const;
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse);
    BOOL KillTimer(UINT_PTR nIDEvent);

protected:
    WNDPROC m_pfnSuper = nullptr; // window procedure that handles what we do not

    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT AfxCallWndProc(CWnd*, HWND, UINT, WPARAM, LPARAM);
    friend class CDialog;
    DECLARE_MESSAGE_MAP()
};

AFX_API LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);

// Binds the next window created on this thread to pWnd (used by Create and
// by dialog creation; the binding happens before the window's first message).
AFX_API void AfxHookWindowCreate(CWnd* pWnd);
AFX_API BOOL AfxUnhookWindowCreate();

// ---------------------------------------------------------------------------
// Data exchange

class AFX_API CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    HWND PrepareCtrl(int nIDC);
};

AFX_API void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
AFX_API void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
AFX_API void AFXAPI DDX_Check(CDataExchange* pDX, int nIDC, int& value);

// ---------------------------------------------------------------------------
// Dialogs

class AFX_API CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Modeless: creates the dialog from its template as a window of the
    // parent (child or owned pop-up, as the template's style says).
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    // Modal: runs its own message loop until EndDialog.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);
    BOOL IsModal() const { return m_bModal; }

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    BOOL PreTranslateMessage(MSG* pMsg) override;

    UINT m_nIDHelp = 0; // template id
    CWnd* m_pParentWnd = nullptr;

protected:
    BOOL CreateFromTemplate(UINT nIDTemplate, HWND hWndParent);
    BOOL PreTranslateInput(MSG* pMsg);

private:
    BOOL m_bModal = FALSE;
    BOOL m_bEndModal = FALSE;
    int m_nModalResult = -1;

    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()
};

AFX_API INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// ---------------------------------------------------------------------------
// Controls (wrappers around an existing control window)

class AFX_API CStatic : public CWnd {
    DECLARE_DYNAMIC(CStatic)
};

class AFX_API CButton : public CWnd {
    DECLARE_DYNAMIC(CButton)
public:
    int GetCheck() const;
    void SetCheck(int nCheck);
};

class AFX_API CEdit : public CWnd {
    DECLARE_DYNAMIC(CEdit)
public:
    void LimitText(int nChars = 0);
    void SetLimitText(UINT nMax) { LimitText(static_cast<int>(nMax)); }
    UINT GetLimitText() const;
    void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE);
    void GetSel(int& nStartChar, int& nEndChar) const;
    void ReplaceSel(LPCWSTR lpszNewText, BOOL bCanUndo = FALSE);
};

class AFX_API CComboBox : public CWnd {
    DECLARE_DYNAMIC(CComboBox)
public:
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int nSelect);
    int AddString(LPCWSTR lpszString);
    int InsertString(int nIndex, LPCWSTR lpszString);
    int DeleteString(UINT nIndex);
    void ResetContent();
    int GetLBTextLen(int nIndex) const;
    void GetLBText(int nIndex, CString& rString) const;
    BOOL LimitText(int nMaxChars);
    BOOL SetEditSel(int nStartChar, int nEndChar);
};

// ---------------------------------------------------------------------------
// Painting

class AFX_API CPaintDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    HDC m_hDC;
    PAINTSTRUCT m_ps;
    operator HDC() const { return m_hDC; }

private:
    HWND m_hWnd;
};

// ---------------------------------------------------------------------------
// Worker threads

typedef UINT (*AFX_THREADPROC)(LPVOID);

class AFX_API CWinThread : public CObject {
public:
    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    BOOL m_bAutoDelete = TRUE;
    ~CWinThread() override;

private:
    AFX_THREADPROC m_pfnThreadProc = nullptr;
    LPVOID m_pThreadParams = nullptr;
    friend AFX_API CWinThread* AFXAPI AfxBeginThread(AFX_THREADPROC, LPVOID, int, UINT, DWORD,
                                                     LPSECURITY_ATTRIBUTES);
    friend unsigned __stdcall AfxThreadEntry(void*);
};

// Starts pfnThreadProc(pParam) on a new thread. With the default
// auto-delete the thread object frees itself when the thread ends.
AFX_API CWinThread* AFXAPI AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                                          int nPriority = THREAD_PRIORITY_NORMAL,
                                          UINT nStackSize = 0, DWORD dwCreateFlags = 0,
                                          LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);

// Worker threads started with AfxBeginThread that have not yet returned from
// their procedure. A host that unloads a module waits for them first: the
// module does not wait for its own workers.
AFX_API int AFXAPI AfxGetRunningThreadCount();

// ---------------------------------------------------------------------------
// Message pump, resources and the application's main window

// Walks from the message's window up through its parents (owners for
// pop-ups) and lets each bound object's PreTranslateMessage take it.
AFX_API BOOL AFXAPI AfxPreTranslateMessage(MSG* pMsg);
// Gets, pre-translates and dispatches one message; FALSE on WM_QUIT.
AFX_API BOOL AFXAPI AfxPumpMessage();
// Dispatches every message already queued, without waiting.
AFX_API void AFXAPI AfxPumpPendingMessages();
// The host's loop: runs until WM_QUIT and returns its exit code.
AFX_API int AFXAPI AfxRunMessageLoop();

AFX_API CWnd* AFXAPI AfxGetMainWnd();
AFX_API void AFXAPI AfxSetMainWnd(CWnd* pWnd);

// The module whose resources hold a resource: the executable first, then
// every extension module in the order they were loaded.
AFX_API HINSTANCE AFXAPI AfxFindResourceHandle(LPCWSTR lpszName, LPCWSTR lpszType);
AFX_API HINSTANCE AFXAPI AfxGetResourceHandle();

// Number of live window objects bound to windows (permanent map) and of
// temporary wrappers; for leak checks.
AFX_API int AFXAPI AfxGetLiveWindowCount();
AFX_API int AFXAPI AfxGetTempWindowCount();
