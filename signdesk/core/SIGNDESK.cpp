// The exported functions through which the host drives the plug-in.
#include "core/CompileCheck.h"
#include "core/SIGNDESKComp.h"
#include "support/TraceLog.h"

#include <cstdlib>
#include <cstring>

namespace {
// "签台通信技术有限公司" in GBK.
const unsigned char kMakerGbk[] = {0xC7, 0xA9, 0xCC, 0xA8, 0xCD, 0xA8, 0xD0, 0xC5, 0xBC, 0xBC,
                                   0xCA, 0xF5, 0xD3, 0xD0, 0xCF, 0xDE, 0xB9, 0xAB, 0xCB, 0xBE};
const char kComponentId[] = "{48502570-4B43-47E5-8EE4-194D24870B4B}";
// The GUID text with its terminating zero; the maker text fits with its own.
SD_COMPILE_CHECK(sizeof(kComponentId) == 39, ComponentIdText);
SD_COMPILE_CHECK(sizeof(kMakerGbk) < 64, MakerText);
} // namespace

extern "C" int SIGNDESK_XSCInitialize(XSCINITDATA* pData) {
    if (!pData)
        return -1;
    // The log lives in the folder "log" beside the host executable.
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(NULL, path, MAX_PATH);
    wchar_t drive[_MAX_DRIVE] = {}, dir[_MAX_DIR] = {}, name[_MAX_FNAME] = {}, ext[_MAX_EXT] = {};
    _wsplitpath(path, drive, dir, name, ext);
    CString logPath = CString(drive) + dir + L"log\\KITE.log";
    g_pTraceLog = OpenTraceLog(logPath);

    CSIGNDESKComp* pComp = GetInstance();
    if (pComp)
        pComp->CUIObject::Initialize(&XSCNotifyProc);
    return 0;
}

extern "C" int SIGNDESK_XSCUninitialize() {
    CSIGNDESKComp* pComp = GetInstance();
    if (pComp)
        pComp->CUIObject::UnInitialize(&XSCNotifyProc);
    return 0;
}

extern "C" int SIGNDESK_XSCInformation(XSCINFO* pInfo) {
    if (!pInfo)
        return -1;
    std::memcpy(pInfo->szComponentId, kComponentId, sizeof(kComponentId));
    pInfo->nKind = 2;
    pInfo->wVersionMajor = 1;
    pInfo->wVersionMinor = 0;
    pInfo->wBuildYear = 2011;
    pInfo->wReleaseYear = 2011;
    pInfo->wMonth = 3;
    pInfo->wDay = 7;
    std::memcpy(pInfo->szMaker, kMakerGbk, sizeof(kMakerGbk));
    pInfo->szMaker[sizeof(kMakerGbk)] = 0;
    pInfo->szDescription[0] = 0;
    return 0;
}

// Exported as both SIGNDESK_XSCCmdCallBack and SIGNDESK_XSCNtfCallBack; the
// plug-in takes no commands this way.
extern "C" int SIGNDESK_XSCCmdCallBack() {
    return SIGNDESK_CALLBACK_RESULT;
}

extern "C" int SIGNDESK_XSCQueryInterface(const GUID& riid, IUSBaseList& list) {
    CSIGNDESKComp* pComp = GetInstance();
    if (!pComp)
        return 0;
    IUSBase* pInterface = NULL;
    if (!static_cast<ISIGNDESK*>(pComp)->QueryInterface(riid, &pInterface))
        return 0;
    list.push_back(pInterface);
    return 1;
}
