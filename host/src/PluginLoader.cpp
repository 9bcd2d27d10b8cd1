#include "PluginLoader.h"

#include <tlhelp32.h>

#include <vector>

namespace kite {

namespace {

std::set<DWORD> ThreadsOfThisProcess() {
    std::set<DWORD> ids;
    HANDLE snap = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE)
        return ids;
    THREADENTRY32 te = {};
    te.dwSize = sizeof(te);
    DWORD pid = ::GetCurrentProcessId();
    for (BOOL ok = ::Thread32First(snap, &te); ok; ok = ::Thread32Next(snap, &te))
        if (te.th32OwnerProcessID == pid)
            ids.insert(te.th32ThreadID);
    ::CloseHandle(snap);
    return ids;
}

const DWORD kThreadWaitMs = 5000;

bool StartsInExecutable(HANDLE thread) {
    typedef LONG(WINAPI * QueryThread)(HANDLE, int, PVOID, ULONG, PULONG);
    static QueryThread query = reinterpret_cast<QueryThread>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationThread")));
    const int kThreadQuerySetWin32StartAddress = 9;
    void* start = nullptr;
    if (!query ||
        query(thread, kThreadQuerySetWin32StartAddress, &start, sizeof(start), nullptr) != 0)
        return false;
    HMODULE module = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                             GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         static_cast<LPCWSTR>(start), &module);
    return module == ::GetModuleHandleW(nullptr);
}

} // namespace

PluginLoader::~PluginLoader() {
    Unload();
}

bool PluginLoader::Load(const std::wstring& path) {
    Unload();
    m_error.clear();
    m_threadsAtLoad = ThreadsOfThisProcess();
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
    std::vector<HANDLE> running;
    for (DWORD id : ThreadsOfThisProcess()) {
        if (id == ::GetCurrentThreadId() || m_threadsAtLoad.count(id))
            continue;
        HANDLE h = ::OpenThread(SYNCHRONIZE | THREAD_QUERY_INFORMATION, FALSE, id);
        if (!h)
            continue;
        // The executable's own threads (the registrar's answers) never run
        // plug-in code.
        if (StartsInExecutable(h))
            ::CloseHandle(h);
        else
            running.push_back(h);
    }
    DWORD deadline = ::GetTickCount() + kThreadWaitMs;
    for (HANDLE h : running) {
        DWORD now = ::GetTickCount();
        ::WaitForSingleObject(h, static_cast<LONG>(deadline - now) > 0 ? deadline - now : 0);
        ::CloseHandle(h);
    }
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
