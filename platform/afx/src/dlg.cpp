#include "afximpl.h"

#include <cwchar>
#include <string>

// ---------------------------------------------------------------------------
// Data exchange

HWND CDataExchange::PrepareCtrl(int nIDC) {
    if (m_bFailed)
        return nullptr;
    HWND hWndCtrl = m_pDlgWnd ? ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC) : nullptr;
    if (!hWndCtrl) {
        wchar_t text[64];
        _snwprintf(text, 63, L"Error: no data exchange control with ID 0x%04X.\n", nIDC);
        text[63] = L'\0';
        ::OutputDebugStringW(text);
        m_bNotSupported = TRUE;
        Fail();
    }
    return hWndCtrl;
}

void CDataExchange::Fail() {
    m_bFailed = TRUE;
}

void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd) // bound on an earlier exchange
        return;
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (hWndCtrl && !rControl.SubclassWindow(hWndCtrl)) {
        // The control already belongs to another object.
        pDX->m_bNotSupported = TRUE;
        pDX->Fail();
    }
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (!hWndCtrl)
        return;
    if (pDX->m_bSaveAndValidate)
        CWnd::FromHandle(hWndCtrl)->GetWindowText(value);
    else
        ::SetWindowTextW(hWndCtrl, value);
}

void AFXAPI DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (!hWndCtrl)
        return;
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageW(hWndCtrl, BM_GETCHECK, 0, 0));
    else
        ::SendMessageW(hWndCtrl, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

// ---------------------------------------------------------------------------
// CDialog

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog()
    : m_nIDHelp(0), m_pParentWnd(nullptr), m_bModal(FALSE), m_bEndModal(FALSE), m_nModalResult(-1) {
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd), m_bModal(FALSE), m_bEndModal(FALSE),
      m_nModalResult(-1) {}

CDialog::~CDialog() {}

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG)
        return FALSE;
    CDialog* pDlg = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hWnd));
    return pDlg ? pDlg->OnInitDialog() : TRUE;
}

BOOL CDialog::CreateFromTemplate(UINT nIDTemplate, HWND hWndParent) {
    LPCWSTR name = MAKEINTRESOURCEW(nIDTemplate);
    HINSTANCE hInst = AfxFindResourceHandle(name, MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    HRSRC hRes = hInst ? ::FindResourceW(hInst, name, MAKEINTRESOURCEW(5)) : nullptr;
    HGLOBAL hTemplate = hRes ? ::LoadResource(hInst, hRes) : nullptr;
    auto* pTemplate = hTemplate ? static_cast<LPCDLGTEMPLATEW>(::LockResource(hTemplate)) : nullptr;
    if (!pTemplate)
        return FALSE;
    AfxEnsureCommonControls();
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogIndirectParamW(hInst, pTemplate, hWndParent, &AfxDlgProc, 0);
    AfxUnhookWindowCreate();
    if (!hWnd) {
        if (m_hWnd)
            Detach();
        return FALSE;
    }
    return TRUE;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    m_nIDHelp = nIDTemplate;
    m_pParentWnd = pParentWnd;
    HWND hWndParent = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    if (!hWndParent && AfxGetMainWnd())
        hWndParent = AfxGetMainWnd()->m_hWnd;
    m_bModal = FALSE;
    return CreateFromTemplate(nIDTemplate, hWndParent);
}

INT_PTR CDialog::DoModal() {
    HWND hWndParent = m_pParentWnd ? m_pParentWnd->m_hWnd : AfxGetModalOwner();
    BOOL bEnableParent = FALSE;
    if (hWndParent && ::IsWindowEnabled(hWndParent)) {
        ::EnableWindow(hWndParent, FALSE);
        bEnableParent = TRUE;
    }
    m_bModal = TRUE;
    m_bEndModal = FALSE;
    m_nModalResult = -1;
    if (CreateFromTemplate(m_nIDHelp, hWndParent)) {
        if (!m_bEndModal) {
            ShowWindow(SW_SHOWNORMAL);
            // Runs until EndDialog; every message passes PreTranslateMessage.
            while (!m_bEndModal) {
                MSG msg;
                BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
                if (got <= 0) {
                    ::PostQuitMessage(static_cast<int>(msg.wParam));
                    if (m_nModalResult == -1)
                        m_nModalResult = IDCANCEL;
                    break;
                }
                if (!AfxPreTranslateMessage(&msg)) {
                    ::TranslateMessage(&msg);
                    ::DispatchMessageW(&msg);
                }
            }
        }
    }
    if (bEnableParent)
        ::EnableWindow(hWndParent, TRUE);
    if (hWndParent && m_hWnd && ::GetActiveWindow() == m_hWnd)
        ::SetActiveWindow(hWndParent);
    if (m_hWnd)
        DestroyWindow();
    m_bModal = FALSE;
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult) {
    if (m_bModal) {
        m_nModalResult = nResult;
        m_bEndModal = TRUE;
        if (m_hWnd)
            ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
    } else if (m_hWnd) {
        ::EndDialog(m_hWnd, nResult);
    }
}

// A failed exchange ends the dialog with -1 before it is shown.
BOOL CDialog::OnInitDialog() {
    if (!UpdateData(FALSE)) {
        EndDialog(-1);
        return FALSE;
    }
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateInput(MSG* pMsg) {
    bool keyboard = pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST;
    bool mouse = pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST;
    if (!keyboard && !mouse)
        return FALSE;
    return ::IsDialogMessageW(m_hWnd, pMsg);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    return PreTranslateInput(pMsg);
}

// ---------------------------------------------------------------------------
// Message pump

BOOL AFXAPI AfxPreTranslateMessage(MSG* pMsg) {
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
        if (pWnd && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
    }
    return FALSE;
}

static void AfxDispatch(MSG& msg) {
    if (!AfxPreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

BOOL AFXAPI AfxPumpMessage() {
    MSG msg;
    if (::GetMessageW(&msg, nullptr, 0, 0) <= 0) {
        ::PostQuitMessage(static_cast<int>(msg.wParam));
        return FALSE;
    }
    AfxDispatch(msg);
    MSG peek;
    if (!::PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE))
        AfxPurgeTempMap(); // idle
    return TRUE;
}

void AFXAPI AfxPumpPendingMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        AfxDispatch(msg);
    }
    AfxPurgeTempMap();
}

int AFXAPI AfxRunMessageLoop() {
    for (;;) {
        MSG msg;
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0)
            return static_cast<int>(msg.wParam);
        AfxDispatch(msg);
        MSG peek;
        if (!::PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE))
            AfxPurgeTempMap();
    }
}

// ---------------------------------------------------------------------------
// Application-wide state

namespace {
CWnd* g_pMainWnd = nullptr;
}

CWnd* AFXAPI AfxGetMainWnd() {
    return g_pMainWnd;
}
void AFXAPI AfxSetMainWnd(CWnd* pWnd) {
    g_pMainWnd = pWnd;
}

HWND AfxGetModalOwner() {
    HWND hWnd = g_pMainWnd ? g_pMainWnd->m_hWnd : ::GetActiveWindow();
    if (!hWnd)
        return nullptr;
    HWND hTop = ::GetAncestor(hWnd, GA_ROOTOWNER);
    if (!hTop)
        hTop = hWnd;
    return ::GetLastActivePopup(hTop);
}

void AfxReportNotSupported() {
    // The class library's caption is the application's name: the
    // executable's, without its extension.
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    const wchar_t* name = wcsrchr(path, L'\\') ? wcsrchr(path, L'\\') + 1 : path;
    std::wstring caption(name);
    const size_t dot = caption.rfind(L'.');
    if (dot != std::wstring::npos)
        caption.erase(dot);
    ::MessageBoxW(AfxGetModalOwner(), L"An unsupported operation was attempted.", caption.c_str(),
                  MB_OK | MB_ICONEXCLAMATION);
}

void AfxEnsureCommonControls() {
    static bool done = false;
    if (done)
        return;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    done = true;
}
