#include "PluginLoader.h"

namespace kite {

namespace {

const DWORD kThreadWaitMs = 5000;

} // namespace

PluginLoader::~PluginLoader() {
    Unload();
}

bool PluginLoader::Load(const std::wstring& path) {
    Unload();
    m_error.clear();
    m_hModule = ::LoadLibraryW(path.c_str());
    if (!m_hModule) {
        m_error = L"cannot load " + path;
        return false;
    }
    auto get = [this](const char* name) {
        return reinterpret_cast<void*>(::GetProcAddress(m_hModule, name));
    };
    m_pfnInitialize = reinterpret_cast<PFN_XSCInitialize>(get("SIGNDESK_XSCInitialize"));
    m_pfnUninitialize = reinterpret_cast<PFN_XSCUninitialize>(get("SIGNDESK_XSCUninitialize"));
    m_pfnInformation = reinterpret_cast<PFN_XSCInformation>(get("SIGNDESK_XSCInformation"));
    m_pfnQueryInterface =
        reinterpret_cast<PFN_XSCQueryInterface>(get("SIGNDESK_XSCQueryInterface"));
    bool callbacks = get("SIGNDESK_XSCCmdCallBack") && get("SIGNDESK_XSCNtfCallBack");
    if (!m_pfnInitialize || !m_pfnUninitialize || !m_pfnInformation || !m_pfnQueryInterface ||
        !callbacks) {
        m_error = L"the plug-in lacks an exported function";
        Unload();
        return false;
    }
    m_pfnInformation(&m_info);
    // The five start-up words are the host's own; the plug-in only needs
    // the record.
    XSCINITDATA init = {{1, 0, 0, 0, 0}};
    m_pfnInitialize(&init);
    IUSBaseList list;
    if (!m_pfnQueryInterface(IID_ISIGNDESK, list) || list.empty()) {
        m_error = L"the plug-in offers no ISIGNDESK";
        Unload();
        return false;
    }
    m_pPanel = dynamic_cast<ISIGNDESK*>(list.front());
    if (!m_pPanel) {
        m_error = L"the plug-in's ISIGNDESK has another type";
        Unload();
        return false;
    }
    return true;
}

void PluginLoader::Unload() {
    if (!m_hModule)
        return;
    if (m_pPanel)
        m_pPanel->Release();
    if (m_pfnUninitialize)
        m_pfnUninitialize();
    // The plug-in's worker threads (the upgrade launcher) may still run its
    // code; the module goes only when they are done.
    DWORD start = ::GetTickCount();
    while (AfxGetRunningThreadCount() > 0 && ::GetTickCount() - start < kThreadWaitMs)
        ::Sleep(10);
    ::FreeLibrary(m_hModule);
    m_hModule = nullptr;
    m_pPanel = nullptr;
    m_pfnInitialize = nullptr;
    m_pfnUninitialize = nullptr;
    m_pfnInformation = nullptr;
    m_pfnQueryInterface = nullptr;
}

HWND PluginLoader::PanelWnd() const {
    CDialog* dlg = m_pPanel ? m_pPanel->GetLoginWnd() : nullptr;
    return dlg ? dlg->GetSafeHwnd() : nullptr;
}

} // namespace kite
