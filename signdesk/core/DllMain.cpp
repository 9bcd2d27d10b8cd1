// Module start-up: the plug-in is an extension module of the host's
// framework, so that its dialog templates are found.
#include "core/SIGNDESKComp.h"
#include "support/TraceLog.h"

#include <afxdllx.h>

namespace {
AFX_EXTENSION_MODULE g_extensionModule = {FALSE, NULL, NULL};
CDynLinkLibrary* g_pResourceLink = NULL;
} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID lpReserved) {
    if (dwReason == DLL_PROCESS_ATTACH) {
        if (!AfxInitExtensionModule(g_extensionModule, hInstance))
            return FALSE;
        g_pResourceLink = new CDynLinkLibrary(g_extensionModule);
    } else if (dwReason == DLL_THREAD_DETACH) {
        ReleaseTraceThreadData();
    } else if (dwReason == DLL_PROCESS_DETACH) {
        // At process exit (lpReserved set) windows and threads are already
        // gone; only an explicit unload tears the panel down.
        if (!lpReserved)
            DestroyInstance();
        ShutdownTraceLogs();
        delete g_pResourceLink;
        g_pResourceLink = NULL;
        AfxTermExtensionModule(g_extensionModule);
    }
    return TRUE;
}
