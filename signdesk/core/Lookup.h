// How the plug-in reaches its host: one getter per sibling interface and
// the language texts. Every getter asks the host framework anew, so a
// sibling that appears or disappears at run time is seen at the next use;
// callers skip their call when a getter gives null.
#pragma once

#include "core/HostInterfaces.h"

IUIMain* GetUIMain();
IUIPSETTING* GetUIPSETTING();
IUIPLOGIN* GetUIPLOGIN();
IUIPCALLRECORD* GetUIPCALLRECORD();
IUIPPHONEBOOK* GetUIPPHONEBOOK();

// The text of key in section, in the client's current language; empty
// when the language service is missing.
CString GetLangText(const wchar_t* section, const wchar_t* key);
