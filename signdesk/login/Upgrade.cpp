#include "login/Upgrade.h"

#include "accounts/ConfigUtils.h"
#include "login/DlgLogin.h"
#include "support/TraceLog.h"

// After a successful registration: the upgrade program is started on a
// worker thread of its own, which the panel neither keeps nor waits for.
void CLoginDlg::CheckUpgrade() {
    TRACE_SCOPE("CLoginDlg::CheckUpgrade");
    m_upgradeInfo.strReserved1.Empty();
    m_upgradeInfo.strReserved2.Empty();
    m_upgradeInfo.strAccount = m_strAccount;
    m_upgradeInfo.strPassword = m_strPassword;
    AfxBeginThread(UpgradeProc, &m_upgradeInfo, THREAD_PRIORITY_NORMAL, 0, 0, NULL);
}

UINT UpgradeProc(LPVOID pParam) {
    if (pParam)
        LaunchUpgrade();
    return 0;
}

std::string BuildUpgradeCommandLine(const CString& strDir, DWORD dwProcessId) {
    CString strIni = strDir + L"kite.ini";
    CString strProtocol = GetIniString(L"UPGRADE", L"Protocol", strIni);
    CString strHost = GetIniString(L"UPGRADE", L"Host", strIni);
    CString strPort = GetIniString(L"UPGRADE", L"Port", strIni);
    CString strUser = GetIniString(L"UPGRADE", L"User", strIni);
    CString strPassword = GetIniString(L"UPGRADE", L"Password", strIni);
    CString strDirectory = GetIniString(L"UPGRADE", L"Directory", strIni);

    CString strCmd = L"\"" + strDir + L"upgrade.exe\" ";
    strCmd.AppendFormat(L"%d ", static_cast<int>(dwProcessId));
    // Protocol, host and port go on as read, also when empty; the program
    // takes "NULL" for a user, password or directory that is not set.
    strCmd += strProtocol + L" " + strHost + L" " + strPort + L" ";
    strCmd += (strUser.IsEmpty() ? CString(L"NULL") : strUser) + L" ";
    strCmd += (strPassword.IsEmpty() ? CString(L"NULL") : strPassword) + L" ";
    strCmd += (strDirectory.IsEmpty() ? CString(L"NULL") : strDirectory) + L" ";
    strCmd.Trim();
    return WideToAnsi(strCmd);
}

void LaunchUpgrade() {
    std::string strCmd = BuildUpgradeCommandLine(GetModuleDir(), ::GetCurrentProcessId());
    // Any failure to start it is silent.
    ::WinExec(strCmd.c_str(), SW_SHOWDEFAULT);
}
