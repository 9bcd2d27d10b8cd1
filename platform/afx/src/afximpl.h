// Internal state shared by the framework's source files.
#pragma once

#include "afxwin.h"

// Per-thread state of the window machinery.
struct AfxThreadState {
    CWnd* pWndInit;      // object to bind to the next window created
    HHOOK hHookCbt;      // creation hook while pWndInit is pending
    const MSG* pLastMsg; // message being processed, for CWnd::Default
};
AfxThreadState& AfxGetThreadState();

// Window map maintenance (wnd.cpp).
void AfxMapAdd(HWND hWnd, CWnd* pWnd);
void AfxMapRemove(HWND hWnd);
void AfxPurgeTempMap();
// ::GetDlgItem, remembering what it found.
HWND AfxGetDlgItem(HWND hParent, int nID);

void AfxSetSuperProc(CWnd* pWnd, WNDPROC proc);
LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);

// Tells the user that a data exchange used a control the dialog lacks, as
// the class library reports its not-supported exception.
void AfxReportNotSupported();

// Registers the common control classes once (list view, tool tips).
void AfxEnsureCommonControls();
// The owner a dialog without parent gets: the last active pop-up of the
// application's top-level window.
HWND AfxGetModalOwner();
