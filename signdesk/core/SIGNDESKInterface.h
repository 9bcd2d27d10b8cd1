// What the plug-in offers its host: the exported functions with their
// records, and the component's three interfaces.
#pragma once

#include <afxwin.h>
#include <VURoder.h>

#include <cstddef>
#include <cstdint>

inline constexpr GUID IID_ISIGNDESK = {
    0x2057ECF6, 0x03B2, 0x441E, {0xBF, 0x26, 0xB6, 0xE2, 0x6F, 0x83, 0x09, 0xF4}};
inline constexpr GUID IID_IUIPlugin = {
    0x2350F008, 0x830E, 0x4320, {0xBF, 0xE3, 0xB4, 0x5A, 0xD5, 0xFC, 0xF0, 0xB8}};
inline constexpr GUID IID_IIUILang = {
    0x07AD2F7D, 0x7450, 0x46E0, {0x90, 0xB1, 0x9A, 0x90, 0xFE, 0x06, 0x2A, 0x73}};
inline constexpr GUID CLSID_SIGNDESKComp = {
    0x48502570, 0x4B43, 0x47E5, {0x8E, 0xE4, 0x19, 0x4D, 0x24, 0x87, 0x0B, 0x4B}};

// The login panel, driven by the host.
class ISIGNDESK : public IUSBase {
public:
    virtual int Create(CWnd* pParent) = 0;             // 4
    virtual CDialog* GetLoginWnd() = 0;                // 5
    virtual void Move(const RECT& rect) = 0;           // 6
    virtual void OnRegResponse(int code) = 0;          // 7
    virtual void OnDeRegResponse(int code) = 0;        // 8
    virtual void Login() = 0;                          // 9
    virtual void Logout() = 0;                         // 10
    virtual void InitFocus() = 0;                      // 11
    virtual void OnCustomizeSet() = 0;                 // 12
    virtual void OnChangeLanguage() = 0;               // 13
    virtual void UpdateUnsettledMsg(int32_t kind) = 0; // 14
    virtual void CloseKeyBoardDlg() = 0;               // 15
};

// Plug-in housekeeping calls of the host; this plug-in needs none of them.
class IUIPlugin : public IUSBase {
public:
    virtual void Activate(int32_t param) = 0;                                // 4
    virtual void Deactivate(int32_t param) = 0;                              // 5
    virtual int GetCapabilities() = 0;                                       // 6
    virtual void OnCommand(int32_t cmd, int32_t wparam, int32_t lparam) = 0; // 7
};

// Marks the component as language-aware; the switch itself arrives
// through ISIGNDESK::OnChangeLanguage.
class IIUILang : public IUSBase {};

// Start-up record given to SIGNDESK_XSCInitialize: five words of the host.
struct XSCINITDATA {
    uint32_t dwWords[5];
};

// Information record filled by SIGNDESK_XSCInformation, laid out by byte.
#pragma pack(push, 1)
struct XSCINFO {
    uint32_t dwReserved;    // 0: left as the host set it
    char szComponentId[40]; // 4: the component GUID text
    int32_t nKind;          // 44
    uint16_t wReserved;     // 48: left as the host set it
    uint16_t wVersionMajor; // 50
    uint16_t wVersionMinor; // 52
    uint16_t wBuildYear;    // 54
    uint16_t wReleaseYear;  // 56
    uint16_t wMonth;        // 58
    uint16_t wDay;          // 60
    char szMaker[64];       // 62: GBK text
    char szDescription[2];  // 126: empty text
};
#pragma pack(pop)

static_assert(offsetof(XSCINFO, szComponentId) == 4, "XSCINFO layout");
static_assert(offsetof(XSCINFO, nKind) == 44, "XSCINFO layout");
static_assert(offsetof(XSCINFO, wVersionMajor) == 50, "XSCINFO layout");
static_assert(offsetof(XSCINFO, wDay) == 60, "XSCINFO layout");
static_assert(offsetof(XSCINFO, szMaker) == 62, "XSCINFO layout");
static_assert(offsetof(XSCINFO, szDescription) == 126, "XSCINFO layout");

// The exported functions (undecorated names).
extern "C" {
typedef int (*PFN_XSCInitialize)(XSCINITDATA* pData);
typedef int (*PFN_XSCUninitialize)();
typedef int (*PFN_XSCInformation)(XSCINFO* pInfo);
typedef int (*PFN_XSCCmdCallBack)();
}
typedef int (*PFN_XSCQueryInterface)(const GUID& riid, IUSBaseList& list);

#define SIGNDESK_CALLBACK_RESULT 0x40000002
