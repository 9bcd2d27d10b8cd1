#include "afximpl.h"
#include "afxdllx.h"

#include <algorithm>
#include <vector>

// The resource chain: extension modules whose templates the framework finds.
namespace {
struct ResourceChain {
    CRITICAL_SECTION lock;
    std::vector<HMODULE> modules;
    ResourceChain() { InitializeCriticalSection(&lock); }
};

ResourceChain& Chain() {
    static ResourceChain* chain = new ResourceChain;
    return *chain;
}
} // namespace

BOOL AFXAPI AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule) {
    if (!hModule)
        return FALSE;
    state.hModule = hModule;
    state.hResource = hModule;
    state.bInitialized = TRUE;
    return TRUE;
}

void AFXAPI AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL) {
    if (!state.bInitialized)
        return;
    EnterCriticalSection(&Chain().lock);
    auto& mods = Chain().modules;
    mods.erase(std::remove(mods.begin(), mods.end(), state.hResource), mods.end());
    LeaveCriticalSection(&Chain().lock);
    state.bInitialized = FALSE;
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state)
    : m_hModule(state.hModule), m_hResource(state.hResource) {
    EnterCriticalSection(&Chain().lock);
    Chain().modules.push_back(m_hResource);
    LeaveCriticalSection(&Chain().lock);
}

CDynLinkLibrary::~CDynLinkLibrary() {
    EnterCriticalSection(&Chain().lock);
    auto& mods = Chain().modules;
    auto it = std::find(mods.begin(), mods.end(), m_hResource);
    if (it != mods.end())
        mods.erase(it);
    LeaveCriticalSection(&Chain().lock);
}

HINSTANCE AFXAPI AfxGetResourceHandle() {
    return ::GetModuleHandleW(nullptr);
}

HINSTANCE AFXAPI AfxFindResourceHandle(LPCWSTR lpszName, LPCWSTR lpszType) {
    HINSTANCE hExe = AfxGetResourceHandle();
    if (::FindResourceW(hExe, lpszName, lpszType))
        return hExe;
    EnterCriticalSection(&Chain().lock);
    HINSTANCE hFound = nullptr;
    for (HMODULE h : Chain().modules) {
        if (::FindResourceW(h, lpszName, lpszType)) {
            hFound = h;
            break;
        }
    }
    LeaveCriticalSection(&Chain().lock);
    return hFound;
}
