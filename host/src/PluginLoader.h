// Loads SIGNDESK.dll the way the host framework does: the library, its
// exported functions, the start-up call and the component's interfaces.
#pragma once

#include "core/SIGNDESKInterface.h"

#include <string>

namespace kite {

class PluginLoader {
public:
    PluginLoader() = default;
    ~PluginLoader();
    PluginLoader(const PluginLoader&) = delete;
    PluginLoader& operator=(const PluginLoader&) = delete;

    // LoadLibrary, the six exports, SIGNDESK_XSCInformation,
    // SIGNDESK_XSCInitialize and the ISIGNDESK interface. False (with the
    // reason in Error()) when any of them fails.
    bool Load(const std::wstring& path);
    // SIGNDESK_XSCUninitialize and FreeLibrary (which tears the panel down).
    // Threads started since the load (the plug-in starts the upgrade
    // program on one after every login) are waited for first, up to a few
    // seconds, so that none is left running in unloaded code.
    void Unload();

    bool IsLoaded() const { return m_hModule != nullptr; }
    ISIGNDESK* Panel() const { return m_pPanel; }
    // The panel's window, null before Create.
    HWND PanelWnd() const;
    const XSCINFO& Info() const { return m_info; }
    const std::wstring& Error() const { return m_error; }

private:
    HMODULE m_hModule = nullptr;
    PFN_XSCInitialize m_pfnInitialize = nullptr;
    PFN_XSCUninitialize m_pfnUninitialize = nullptr;
    PFN_XSCInformation m_pfnInformation = nullptr;
    PFN_XSCQueryInterface m_pfnQueryInterface = nullptr;
    ISIGNDESK* m_pPanel = nullptr;
    XSCINFO m_info = {};
    std::wstring m_error;
};

} // namespace kite
