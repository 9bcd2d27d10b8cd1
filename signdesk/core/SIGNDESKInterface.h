// What the plug-in offers its host: the exported functions with their
// records, and the component's three interfaces.
#pragma once

#include "core/CompileCheck.h"

#include <afxwin.h>
#include <VURoder.h>

#include <cstddef>

const GUID IID_ISIGNDESK = {
    0x2057ECF6, 0x03B2, 0x441E, {0xBF, 0x26, 0xB6, 0xE2, 0x6F, 0x83, 0x09, 0xF4}};
const GUID IID_IUIPlugin = {
    0x2350F008, 0x830E, 0x4320, {0xBF, 0xE3, 0xB4, 0x5A, 0xD5, 0xFC, 0xF0, 0xB8}};
const GUID IID_IIUILang = {
    0x07AD2F7D, 0x7450, 0x46E0, {0x90, 0xB1, 0x9A, 0x90, 0xFE, 0x06, 0x2A, 0x73}};
const GUID CLSID_SIGNDESKComp = {
    0x48502570, 0x4B43, 0x47E5, {0x8E, 0xE4, 0x19, 0x4D, 0x24, 0x87, 0x0B, 0x4B}};

// The login panel, driven by the host.
class ISIGNDESK : public IUSBase {
public:
    virtual int Create(CWnd* pParent) = 0;           // 4
    virtual CDialog* GetLoginWnd() = 0;              // 5
    virtual void Move(const RECT& rect) = 0;         // 6
    virtual void OnRegResponse(int code) = 0;        // 7
    virtual void OnDeRegResponse(int code) = 0;      // 8
    virtual void Login() = 0;                        // 9
    virtual void Logout() = 0;                       // 10
    virtual void InitFocus() = 0;                    // 11
    virtual void OnCustomizeSet() = 0;               // 12
    virtual void OnChangeLanguage() = 0;             // 13
    virtual void UpdateUnsettledMsg(INT32 kind) = 0; // 14
    virtual void CloseKeyBoardDlg() = 0;             // 15
};

// Plug-in housekeeping calls of the host; this plug-in needs none of them.
class IUIPlugin : public IUSBase {
public:
    virtual void Activate(INT32 param) = 0;                            // 4
    virtual void Deactivate(INT32 param) = 0;                          // 5
    virtual int GetCapabilities() = 0;                                 // 6
    virtual void OnCommand(INT32 cmd, INT32 wparam, INT32 lparam) = 0; // 7
};

// Marks the component as language-aware; the switch itself arrives
// through ISIGNDESK::OnChangeLanguage.
class IIUILang : public IUSBase {};

// Start-up record given to SIGNDESK_XSCInitialize: five words of the host.
struct XSCINITDATA {
    UINT32 dwWords[5];
};

// Information record filled by SIGNDESK_XSCInformation, laid out by byte.
#pragma pack(push, 1)
struct XSCINFO {
    UINT32 dwReserved;      // 0: left as the host set it
    char szComponentId[40]; // 4: the component GUID text
    INT32 nKind;            // 44
    WORD wReserved;         // 48: left as the host set it
    WORD wVersionMajor;     // 50
    WORD wVersionMinor;     // 52
    WORD wBuildYear;        // 54
    WORD wReleaseYear;      // 56
    WORD wMonth;            // 58
    WORD wDay;              // 60
    char szMaker[64];       // 62: GBK text
    char szDescription[2];  // 126: empty text
};
#pragma pack(pop)

// The XSCINFO layout, by byte.
SD_COMPILE_CHECK(offsetof(XSCINFO, szComponentId) == 4, XscInfoComponentId);
SD_COMPILE_CHECK(offsetof(XSCINFO, nKind) == 44, XscInfoKind);
SD_COMPILE_CHECK(offsetof(XSCINFO, wVersionMajor) == 50, XscInfoVersionMajor);
SD_COMPILE_CHECK(offsetof(XSCINFO, wDay) == 60, XscInfoDay);
SD_COMPILE_CHECK(offsetof(XSCINFO, szMaker) == 62, XscInfoMaker);
SD_COMPILE_CHECK(offsetof(XSCINFO, szDescription) == 126, XscInfoDescription);

// The exported functions (undecorated names).
extern "C" {
typedef int (*PFN_XSCInitialize)(XSCINITDATA* pData);
typedef int (*PFN_XSCUninitialize)();
typedef int (*PFN_XSCInformation)(XSCINFO* pInfo);
typedef int (*PFN_XSCCmdCallBack)();
}
typedef int (*PFN_XSCQueryInterface)(const GUID& riid, IUSBaseList& list);

#define SIGNDESK_CALLBACK_RESULT 0x40000002
