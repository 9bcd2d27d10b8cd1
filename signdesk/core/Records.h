// Records that the sibling plug-ins own and hand out, as the plug-in sees
// them. Texts are framework strings (one pointer wide), so the 32-bit
// layouts below are fixed: the host builds them the same way.
#pragma once

#include "core/CompileCheck.h"

#include <afxwin.h>

#include <cstddef>
#include <vector>

// Login data stored per account by the settings sibling.
struct LoginRecord {
    CString account;
    CString password;
    CString autoLogin; // "1" or "0"
};

// One entry of the multi-user registration list (owned by IUIPLOGIN). A new
// entry has the flag 1.
struct RegInfo {
    RegInfo() : flag(1) {}
    RegInfo(const CString& account_, const CString& password_, const CString& address_,
            const CString& port_, const CString& imsDomain_, INT32 flag_, const CString& extra_)
        : account(account_), password(password_), address(address_), port(port_),
          imsDomain(imsDomain_), flag(flag_), extra(extra_) {}

    CString account;
    CString password;
    CString address;
    CString port;
    CString imsDomain;
    INT32 flag;    // carried unchanged
    CString extra; // carried unchanged
};

// One login server with its backup address (owned by IUIPSETTING).
struct ServerInfo {
    CString name;
    CString displayName;
    CString address;
    CString port;
    CString backupAddress;
    CString backupPort;
};

// Proxy settings; proxyType is a decimal code ("0" IE proxy, "1" none,
// "3" HTTP proxy).
struct ProxyInfo {
    CString proxyAddress;
    CString proxyPort;
    CString proxyUser;
    CString proxyPassword;
    CString proxyType;
};

// Function configuration set by the administrator; every flag is on only
// when it is exactly "1".
struct CustomizeSet {
    CString field0;
    CString fixedAccount;
    CString fixedAccountOn;
    CString disableSystemSettings;
    CString hideCallPage;
    CString hideRemovingUserInfo;
    CString refuseLogout;
    CString refuseExit;
    CString disableCallRecordChange;
    CString disableVolumeChange;
    CString refuseAutoLogin;
    CString disableVolumeControl;
};

// Link opened by a click on an advertising line.
struct BillLink {
    CString verb;
    CString file;
    CString parameters;
    CString caption; // not read by the plug-in
};

// A call record; the plug-in reads only `settled` (0: not yet settled).
struct CallRecord {
    UINT32 id;
    INT32 kind; // 2 missed call
    UINT32 startTime;
    UINT32 duration;
    UINT32 peer;
    INT32 settled;
};

// Call records are 24 bytes; settled is the sixth 32-bit word.
SD_COMPILE_CHECK(sizeof(CallRecord) == 24, CallRecordSize);
SD_COMPILE_CHECK(offsetof(CallRecord, settled) == 5 * 4, CallRecordSettled);
#ifndef _WIN64
// The 32-bit layouts: a link is four texts, a login record three, a
// registration entry seven 32-bit fields, a server six texts, the function
// configuration twelve.
SD_COMPILE_CHECK(sizeof(BillLink) == 16, BillLinkSize);
SD_COMPILE_CHECK(sizeof(LoginRecord) == 12, LoginRecordSize);
SD_COMPILE_CHECK(sizeof(RegInfo) == 28, RegInfoSize);
SD_COMPILE_CHECK(sizeof(ServerInfo) == 24, ServerInfoSize);
SD_COMPILE_CHECK(sizeof(CustomizeSet) == 48, CustomizeSetSize);
#endif
