// Records that the sibling plug-ins own and hand out, as the plug-in sees
// them. Texts are framework strings (one pointer wide), so the 32-bit
// layouts below are fixed: the host builds them the same way.
#pragma once

#include <afxwin.h>

#include <cstddef>
#include <cstdint>
#include <vector>

// Login data stored per account by the settings sibling.
struct LoginRecord {
    CString account;
    CString password;
    CString autoLogin; // "1" or "0"
};

// One entry of the multi-user registration list (owned by IUIPLOGIN).
struct RegInfo {
    CString account;
    CString password;
    CString address;
    CString port;
    CString imsDomain;
    int32_t flag = 1; // carried unchanged
    CString extra;    // carried unchanged
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
    uint32_t id;
    int32_t kind; // 2 missed call
    uint32_t startTime;
    uint32_t duration;
    uint32_t peer;
    int32_t settled;
};

static_assert(sizeof(CallRecord) == 24, "call records are 24 bytes");
static_assert(offsetof(CallRecord, settled) == 5 * 4, "settled is the sixth 32-bit word");
#ifndef _WIN64
static_assert(sizeof(BillLink) == 16, "link records are 16 bytes in the 32-bit build");
static_assert(sizeof(LoginRecord) == 12, "three texts");
static_assert(sizeof(RegInfo) == 28, "seven 32-bit fields");
static_assert(sizeof(ServerInfo) == 24, "six texts");
static_assert(sizeof(CustomizeSet) == 48, "twelve texts");
#endif
