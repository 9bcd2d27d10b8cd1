#include "afximpl.h"

#include <process.h>

namespace {
volatile LONG g_nRunningThreads = 0;
}

int AFXAPI AfxGetRunningThreadCount() {
    return static_cast<int>(g_nRunningThreads);
}

CWinThread::CWinThread()
    : m_hThread(nullptr), m_nThreadID(0), m_bAutoDelete(TRUE), m_pfnThreadProc(nullptr),
      m_pThreadParams(nullptr) {}

CWinThread::~CWinThread() {
    if (m_hThread)
        ::CloseHandle(m_hThread);
}

unsigned __stdcall AfxThreadEntry(void* pParam) {
    CWinThread* pThread = static_cast<CWinThread*>(pParam);
    UINT nResult = pThread->m_pfnThreadProc(pThread->m_pThreadParams);
    if (pThread->m_bAutoDelete)
        delete pThread;
    // From here on the thread runs only the framework's own code.
    ::InterlockedDecrement(&g_nRunningThreads);
    return nResult;
}

CWinThread* AFXAPI AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority,
                                  UINT nStackSize, DWORD dwCreateFlags,
                                  LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
    CWinThread* pThread = new CWinThread;
    pThread->m_pfnThreadProc = pfnThreadProc;
    pThread->m_pThreadParams = pParam;
    unsigned threadId = 0;
    ::InterlockedIncrement(&g_nRunningThreads);
    uintptr_t h = _beginthreadex(lpSecurityAttrs, nStackSize, &AfxThreadEntry, pThread,
                                 CREATE_SUSPENDED, &threadId);
    if (!h) {
        ::InterlockedDecrement(&g_nRunningThreads);
        delete pThread;
        return nullptr;
    }
    pThread->m_hThread = reinterpret_cast<HANDLE>(h);
    pThread->m_nThreadID = threadId;
    ::SetThreadPriority(pThread->m_hThread, nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        ::ResumeThread(pThread->m_hThread);
    return pThread;
}
