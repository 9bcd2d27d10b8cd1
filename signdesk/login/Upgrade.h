// The upgrade launcher: after a successful registration the client's
// upgrade program is started with the upgrade settings of "kite.ini".
#pragma once

#include <afxwin.h>

#include <string>

// Handed to the launcher's thread; the launcher only tests it for null.
struct UpgradeInfo {
    CString strReserved1;
    CString strReserved2;
    CString strAccount;
    CString strPassword;
};

// Thread procedure: runs LaunchUpgrade when pParam is not null.
UINT UpgradeProc(LPVOID pParam);
// Builds the command line of "upgrade.exe" and starts it; failures are silent.
void LaunchUpgrade();
// The command line LaunchUpgrade starts, in the ANSI code page: the quoted
// path of "upgrade.exe" in strDir (which ends in a backslash), the process
// id and the "UPGRADE" settings of strDir + "kite.ini".
std::string BuildUpgradeCommandLine(const CString& strDir, DWORD dwProcessId);
