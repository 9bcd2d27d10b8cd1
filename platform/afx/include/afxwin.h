// Framework layer: windows, dialogs, controls, message maps, data exchange,
// worker threads and the message pump. Shaped like the class library the
// plug-in was written for; only what the system uses is here.
#pragma once

#include "afxver.h"
#include "afxstr.h"

// CString is one pointer wide: records of the host lay it out that way.
typedef char AFX_CSTRING_IS_ONE_POINTER[sizeof(CString) == sizeof(void*) ? 1 : -1];

class CWnd;
class CCmdTarget;
class CDataExchange;
class CDC;

// ---------------------------------------------------------------------------
// Geometry

class CPoint : public POINT {
public:
    CPoint() { x = y = 0; }
    CPoint(int initX, int initY) { x = initX, y = initY; }
    CPoint(POINT pt) { x = pt.x, y = pt.y; }
};

class CSize : public SIZE {
public:
    CSize() { cx = cy = 0; }
    CSize(int initCX, int initCY) { cx = initCX, cy = initCY; }
};

class CRect : public RECT {
public:
    CRect() { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b) { SetRect(l, t, r, b); }
    CRect(const RECT& src) { SetRect(src.left, src.top, src.right, src.bottom); }
    CRect(POINT topLeft, SIZE size) {
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
    virtual const CRuntimeClass* GetRuntimeClass() const;

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
    CObject() {}
    CObject(const CObject&) {}
    CObject& operator=(const CObject&) { return *this; }
};

// ---------------------------------------------------------------------------
// Message maps. As in the class library, an entry holds the handler as a
// pointer to a member of CCmdTarget and a signature code; the dispatcher
// (CWnd::OnWndMsg) converts the pointer back to the handler's own type and
// calls it with the message's arguments cracked. The ON_ macros check each
// handler against its signature before the conversion.

typedef void (AFX_MSG_CALL CCmdTarget::*AFX_PMSG)(void);

// Handler signatures: return value and arguments.
enum AfxSig {
    AfxSig_end = 0,
    AfxSig_v_v,        // void (): commands, control notifications, WM_DESTROY, WM_PAINT
    AfxSig_v_u,        // void (UINT nID): command and control ranges
    AfxSig_v_NMHDR_pl, // void (NMHDR*, LRESULT*): WM_NOTIFY
    AfxSig_l_w_l,      // LRESULT (WPARAM, LPARAM): ON_MESSAGE
    AfxSig_i_CREATE,   // int (LPCREATESTRUCT): WM_CREATE
    AfxSig_b_D,        // BOOL (CDC*): WM_ERASEBKGND
    AfxSig_v_u_i_i,    // void (UINT, int, int): WM_SIZE
    AfxSig_b_W_u_u,    // BOOL (CWnd*, UINT, UINT): WM_SETCURSOR
    AfxSig_v_u_u_u,    // void (UINT, UINT, UINT): WM_CHAR
    AfxSig_v_u_p,      // void (UINT, CPoint): mouse messages
    AfxSig_v_up        // void (UINT_PTR): WM_TIMER
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode;   // control notification (WM_COMMAND, WM_NOTIFY)
    UINT nID;     // first control id
    UINT nLastID; // last control id of a range
    UINT_PTR nSig;
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    static const AFX_MSGMAP* GetThisMessageMap();                                                  \
    virtual const AFX_MSGMAP* GetMessageMap() const;

// Converting a handler to AFX_PMSG is a cast between pointer-to-member
// types, which the dispatcher undoes exactly; the compiler's warning about
// such casts is off inside the map only.
#define AFX_PTM_WARNING_DISABLE                                                                    \
    _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Wcast-function-type\"")
#define AFX_PTM_WARNING_RESTORE _Pragma("GCC diagnostic pop")

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    AFX_PTM_WARNING_DISABLE                                                                        \
    const AFX_MSGMAP* theClass::GetMessageMap() const {                                            \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                              \
        typedef theClass ThisClass;                                                                \
        typedef baseClass TheBaseClass;                                                            \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                          \
    { 0, 0, 0, 0, AfxSig_end, 0 }                                                                  \
    }                                                                                              \
    ;                                                                                              \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]};  \
    (void)sizeof(ThisClass);                                                                       \
    return &messageMap;                                                                            \
    }                                                                                              \
    AFX_PTM_WARNING_RESTORE

// A handler checked against its signature (a member of CCmdTarget or CWnd
// of that type) and stored as AFX_PMSG. Handlers without arguments need no
// conversion of their type: AFX_VOID_HANDLER.
#define AFX_HANDLER(type, memberFxn)                                                               \
    reinterpret_cast<AFX_PMSG>(static_cast<type>(&ThisClass::memberFxn))
#define AFX_VOID_HANDLER(memberFxn) static_cast<AFX_PMSG>(&ThisClass::memberFxn)

#define ON_COMMAND(id, memberFxn)                                                                  \
    {WM_COMMAND, 0, (id), (id), AfxSig_v_v, AFX_VOID_HANDLER(memberFxn)},
#define ON_COMMAND_RANGE(idFirst, idLast, memberFxn)                                               \
    {WM_COMMAND, 0,          (idFirst),                                                            \
     (idLast),   AfxSig_v_u, AFX_HANDLER(void(AFX_MSG_CALL CCmdTarget::*)(UINT), memberFxn)},
#define ON_CONTROL(code, id, memberFxn)                                                            \
    {WM_COMMAND, (UINT)(code), (id), (id), AfxSig_v_v, AFX_VOID_HANDLER(memberFxn)},
#define ON_CONTROL_RANGE(code, idFirst, idLast, memberFxn)                                         \
    {WM_COMMAND, (UINT)(code), (idFirst),                                                          \
     (idLast),   AfxSig_v_u,   AFX_HANDLER(void(AFX_MSG_CALL CCmdTarget::*)(UINT), memberFxn)},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_NOTIFY(code, id, memberFxn)                                                             \
    {WM_NOTIFY,                                                                                    \
     (UINT)(code),                                                                                 \
     (id),                                                                                         \
     (id),                                                                                         \
     AfxSig_v_NMHDR_pl,                                                                            \
     AFX_HANDLER(void(AFX_MSG_CALL CCmdTarget::*)(NMHDR*, LRESULT*), memberFxn)},
#define ON_MESSAGE(message, memberFxn)                                                             \
    {(message),                                                                                    \
     0,                                                                                            \
     0,                                                                                            \
     0,                                                                                            \
     AfxSig_l_w_l,                                                                                 \
     AFX_HANDLER(LRESULT(AFX_MSG_CALL CWnd::*)(WPARAM, LPARAM), memberFxn)},

#define ON_WM_CREATE()                                                                             \
    {WM_CREATE,                                                                                    \
     0,                                                                                            \
     0,                                                                                            \
     0,                                                                                            \
     AfxSig_i_CREATE,                                                                              \
     AFX_HANDLER(int(AFX_MSG_CALL CWnd::*)(LPCREATESTRUCT), OnCreate)},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, 0, AfxSig_v_v, AFX_VOID_HANDLER(OnDestroy)},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, 0, AfxSig_v_v, AFX_VOID_HANDLER(OnPaint)},
#define ON_WM_ERASEBKGND()                                                                         \
    {WM_ERASEBKGND,                                                                                \
     0,                                                                                            \
     0,                                                                                            \
     0,                                                                                            \
     AfxSig_b_D,                                                                                   \
     AFX_HANDLER(BOOL(AFX_MSG_CALL CWnd::*)(CDC*), OnEraseBkgnd)},
#define ON_WM_SIZE()                                                                               \
    {WM_SIZE,                                                                                      \
     0,                                                                                            \
     0,                                                                                            \
     0,                                                                                            \
     AfxSig_v_u_i_i,                                                                               \
     AFX_HANDLER(void(AFX_MSG_CALL CWnd::*)(UINT, int, int), OnSize)},
#define ON_WM_SETCURSOR()                                                                          \
    {WM_SETCURSOR,                                                                                 \
     0,                                                                                            \
     0,                                                                                            \
     0,                                                                                            \
     AfxSig_b_W_u_u,                                                                               \
     AFX_HANDLER(BOOL(AFX_MSG_CALL CWnd::*)(CWnd*, UINT, UINT), OnSetCursor)},
#define ON_WM_CHAR()                                                                               \
    {WM_CHAR,                                                                                      \
     0,                                                                                            \
     0,                                                                                            \
     0,                                                                                            \
     AfxSig_v_u_u_u,                                                                               \
     AFX_HANDLER(void(AFX_MSG_CALL CWnd::*)(UINT, UINT, UINT), OnChar)},
#define ON_WM_LBUTTONDOWN()                                                                        \
    {WM_LBUTTONDOWN,                                                                               \
     0,                                                                                            \
     0,                                                                                            \
     0,                                                                                            \
     AfxSig_v_u_p,                                                                                 \
     AFX_HANDLER(void(AFX_MSG_CALL CWnd::*)(UINT, CPoint), OnLButtonDown)},
#define ON_WM_LBUTTONUP()                                                                          \
    {WM_LBUTTONUP,                                                                                 \
     0,                                                                                            \
     0,                                                                                            \
     0,                                                                                            \
     AfxSig_v_u_p,                                                                                 \
     AFX_HANDLER(void(AFX_MSG_CALL CWnd::*)(UINT, CPoint), OnLButtonUp)},
#define ON_WM_MOUSEMOVE()                                                                          \
    {WM_MOUSEMOVE,                                                                                 \
     0,                                                                                            \
     0,                                                                                            \
     0,                                                                                            \
     AfxSig_v_u_p,                                                                                 \
     AFX_HANDLER(void(AFX_MSG_CALL CWnd::*)(UINT, CPoint), OnMouseMove)},
#define ON_WM_TIMER()                                                                              \
    {WM_TIMER, 0, 0, 0, AfxSig_v_up, AFX_HANDLER(void(AFX_MSG_CALL CWnd::*)(UINT_PTR), OnTimer)},

class AFX_API CCmdTarget : public CObject {
public:
    static const CRuntimeClass* GetThisClass();
    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual const AFX_MSGMAP* GetMessageMap() const;

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
};

// ---------------------------------------------------------------------------
// Windows

class AFX_API CWnd : public CCmdTarget {
    DECLARE_DYNAMIC(CWnd)
public:
    CWnd();
    virtual ~CWnd();

    HWND m_hWnd;
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
                          HMENU nIDorHMenu, LPVOID lpParam = NULL);
    BOOL CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = NULL);
    virtual BOOL Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                        const RECT& rect, CWnd* pParentWnd, UINT nID, void* pContext = NULL);
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
    BOOL OnEraseBkgnd(CDC* pDC);
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
    BOOL RedrawWindow(LPCRECT lpRectUpdate = NULL, HRGN hrgnUpdate = NULL,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    void SetFont(HFONT hFont, BOOL bRedraw = TRUE);
    HFONT GetFont() const;
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse);
    BOOL KillTimer(UINT_PTR nIDEvent);

protected:
    WNDPROC m_pfnSuper; // window procedure that handles what we do not

    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT AfxCallWndProc(CWnd*, HWND, UINT, WPARAM, LPARAM);
    friend class CDialog;
    DECLARE_MESSAGE_MAP()

private:
    CWnd(const CWnd&);
    CWnd& operator=(const CWnd&);
};

AFX_API LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);

// Binds the next window created on this thread to pWnd (used by Create and
// by dialog creation; the binding happens before the window's first message).
AFX_API void AfxHookWindowCreate(CWnd* pWnd);
AFX_API BOOL AfxUnhookWindowCreate();

// ---------------------------------------------------------------------------
// Data exchange

// An exchange fails as the class library's does, where an exception ends
// DoDataExchange and UpdateData returns FALSE: a routine given a control the
// dialog lacks reports "An unsupported operation was attempted." in a message
// box, and Fail ends the exchange. No exception crosses the modules here:
// the exchange is marked failed, every DDX routine after the failure does
// nothing, and UpdateData returns FALSE. CDialog::OnInitDialog then ends the
// dialog with -1.
class AFX_API CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd), m_bFailed(FALSE),
          m_bNotSupported(FALSE) {}
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    // The control's window; null once the exchange has failed, and a
    // missing control fails it.
    HWND PrepareCtrl(int nIDC);
    // Ends the exchange as failed (the caller has told the user why).
    void Fail();

    // Implementation
    BOOL m_bFailed;
    BOOL m_bNotSupported; // failed on a missing control, not yet reported
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
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    virtual ~CDialog();

    // Modeless: creates the dialog from its template as a window of the
    // parent (child or owned pop-up, as the template's style says).
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    // Modal: runs its own message loop until EndDialog.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);
    BOOL IsModal() const { return m_bModal; }

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    UINT m_nIDHelp; // template id
    CWnd* m_pParentWnd;

protected:
    BOOL CreateFromTemplate(UINT nIDTemplate, HWND hWndParent);
    BOOL PreTranslateInput(MSG* pMsg);

private:
    BOOL m_bModal;
    BOOL m_bEndModal;
    int m_nModalResult;

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

// A device context object: a wrapper of an HDC. The framework hands one to
// OnEraseBkgnd for the message's HDC, which it neither creates nor frees.
class AFX_API CDC : public CObject {
public:
    CDC();
    virtual ~CDC();
    HDC m_hDC;
    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }
    BOOL Attach(HDC hDC);
    HDC Detach();

private:
    CDC(const CDC&);
    CDC& operator=(const CDC&);
};

// The window's context between BeginPaint and EndPaint.
class AFX_API CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    virtual ~CPaintDC();
    PAINTSTRUCT m_ps;

protected:
    HWND m_hWnd;
};

// ---------------------------------------------------------------------------
// Worker threads

typedef UINT (*AFX_THREADPROC)(LPVOID);

class AFX_API CWinThread : public CObject {
public:
    CWinThread();
    virtual ~CWinThread();
    HANDLE m_hThread;
    DWORD m_nThreadID;
    BOOL m_bAutoDelete;

private:
    AFX_THREADPROC m_pfnThreadProc;
    LPVOID m_pThreadParams;
    friend AFX_API CWinThread* AFXAPI AfxBeginThread(AFX_THREADPROC, LPVOID, int, UINT, DWORD,
                                                     LPSECURITY_ATTRIBUTES);
    friend unsigned __stdcall AfxThreadEntry(void*);
};

// Starts pfnThreadProc(pParam) on a new thread. With the default
// auto-delete the thread object frees itself when the thread ends.
AFX_API CWinThread* AFXAPI AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                                          int nPriority = THREAD_PRIORITY_NORMAL,
                                          UINT nStackSize = 0, DWORD dwCreateFlags = 0,
                                          LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);

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
