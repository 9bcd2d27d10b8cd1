// Interfaces of the host's main window and sibling plug-ins, as the plug-in
// calls them. Slot numbers count from IUSBase's four operations (0-3);
// slots the plug-in does not call are kept as placeholders so that every
// operation sits in its slot.
#pragma once

#include "core/Records.h"

#include <VURoder.h>

#include <string>

#define SD_RESERVED_SLOT(n)                                                                        \
    virtual void ReservedSlot##n() {}

const GUID IID_IUIMain = {
    0x1A7554D1, 0xB34F, 0x4885, {0x84, 0x99, 0x2E, 0x0C, 0x23, 0x9E, 0x89, 0x50}};
const GUID IID_IUIPSETTING = {
    0xEE09A424, 0x593E, 0x4D73, {0xAB, 0xF2, 0x3A, 0x5D, 0x31, 0x04, 0x61, 0x13}};
const GUID IID_IUIPLOGIN = {
    0xA551AE36, 0x877D, 0x4760, {0x8E, 0xE5, 0xF5, 0x16, 0x1A, 0xF2, 0x33, 0x67}};
const GUID IID_IUIPCALLRECORD = {
    0x93FD0495, 0xF74D, 0x4ED4, {0xA7, 0x9D, 0x35, 0x5E, 0xB1, 0x53, 0x92, 0x80}};
const GUID IID_IUIPPHONEBOOK = {
    0x231FBC5E, 0xB61D, 0x4EB7, {0xA1, 0x8B, 0xA7, 0xE7, 0x99, 0x22, 0x2D, 0x0A}};
const GUID IID_IKITELang = {
    0x399C4342, 0x4C22, 0x4530, {0x83, 0x65, 0x9A, 0xC4, 0x2E, 0x64, 0x90, 0xF0}};

// The client's main window.
class IUIMain : public IUSBase {
public:
    SD_RESERVED_SLOT(4)
    SD_RESERVED_SLOT(5)
    virtual void ShowLoginPage() = 0; // 6
    virtual void ShowCallPage() = 0;  // 7
    SD_RESERVED_SLOT(8)
    virtual void SetTitle(const CString& title) = 0;     // 9
    virtual void SetStatusText(const CString& text) = 0; // 10
    virtual void SetLoginState(int state) = 0;           // 11: 1 registered, 0 not
    virtual int IsRegistered() = 0;                      // 12
    SD_RESERVED_SLOT(13)
    virtual void SetCurrentAccount(const CString& account) = 0; // 14
    SD_RESERVED_SLOT(15)
    SD_RESERVED_SLOT(16)
    SD_RESERVED_SLOT(17)
    SD_RESERVED_SLOT(18)
    SD_RESERVED_SLOT(19)
    SD_RESERVED_SLOT(20)
    SD_RESERVED_SLOT(21)
    SD_RESERVED_SLOT(22)
    SD_RESERVED_SLOT(23)
    SD_RESERVED_SLOT(24)
    virtual void ApplyCustomizeSet() = 0; // 25
    SD_RESERVED_SLOT(26)
    SD_RESERVED_SLOT(27)
    virtual void NotifyDeregistered() = 0;     // 28
    virtual void NotifyLogout() = 0;           // 29
    virtual void ShowRecordPage(int kind) = 0; // 30: 2 missed calls, 3 messages
    SD_RESERVED_SLOT(31)
    SD_RESERVED_SLOT(32)
    SD_RESERVED_SLOT(33)
    SD_RESERVED_SLOT(34)
    SD_RESERVED_SLOT(35)
    SD_RESERVED_SLOT(36)
    virtual CString GetAdminPassword() = 0; // 37
    SD_RESERVED_SLOT(38)
    SD_RESERVED_SLOT(39)
    SD_RESERVED_SLOT(40)
    SD_RESERVED_SLOT(41)
    SD_RESERVED_SLOT(42)
    virtual void GetStartupAccount(CString& account, CString& password) = 0; // 43
};

// The settings store.
class IUIPSETTING : public IUSBase {
public:
    SD_RESERVED_SLOT(4)
    SD_RESERVED_SLOT(5)
    virtual std::vector<ServerInfo>* GetServerList() = 0; // 6
    virtual std::vector<BillLink>* GetBillLinks() = 0;    // 7
    virtual std::vector<CString>* GetAccountList() = 0;   // 8
    virtual CString GetSavedPassword() = 0;               // 9
    virtual CString GetAutoLogin() = 0;                   // 10
    virtual CString GetLoginServerIndex() = 0;            // 11
    SD_RESERVED_SLOT(12)
    virtual void SetSavedPassword(const CString& password) = 0; // 13
    virtual void SetAutoLogin(const CString& flag) = 0;         // 14
    SD_RESERVED_SLOT(15)
    virtual void SetLoginServerIndex(const CString& index) = 0; // 16
    virtual void SetServer(int index, const CString& displayName, const CString& address,
                           const CString& port, const CString& backupAddress,
                           const CString& backupPort) = 0; // 17
    virtual ProxyInfo* GetProxySetting() = 0;              // 18
    SD_RESERVED_SLOT(19)
    SD_RESERVED_SLOT(20)
    SD_RESERVED_SLOT(21)
    SD_RESERVED_SLOT(22)
    SD_RESERVED_SLOT(23)
    SD_RESERVED_SLOT(24)
    virtual void DeleteAccountInfo(const CString& account) = 0; // 25
    SD_RESERVED_SLOT(26)
    SD_RESERVED_SLOT(27)
    SD_RESERVED_SLOT(28)
    SD_RESERVED_SLOT(29)
    SD_RESERVED_SLOT(30)
    SD_RESERVED_SLOT(31)
    SD_RESERVED_SLOT(32)
    SD_RESERVED_SLOT(33)
    SD_RESERVED_SLOT(34)
    SD_RESERVED_SLOT(35)
    SD_RESERVED_SLOT(36)
    SD_RESERVED_SLOT(37)
    SD_RESERVED_SLOT(38)
    virtual void SetCustomizeSet(const CustomizeSet& set) = 0; // 39
    virtual CustomizeSet* GetCustomizeSet() = 0;               // 40
    SD_RESERVED_SLOT(41)
    SD_RESERVED_SLOT(42)
    SD_RESERVED_SLOT(43)
    SD_RESERVED_SLOT(44)
    virtual CString GetClearOnLogout() = 0;                 // 45
    virtual void SetClearOnLogout(const CString& flag) = 0; // 46
    SD_RESERVED_SLOT(47)
    SD_RESERVED_SLOT(48)
    SD_RESERVED_SLOT(49)
    SD_RESERVED_SLOT(50)
    SD_RESERVED_SLOT(51)
    SD_RESERVED_SLOT(52)
    SD_RESERVED_SLOT(53)
    SD_RESERVED_SLOT(54)
    SD_RESERVED_SLOT(55)
    SD_RESERVED_SLOT(56)
    SD_RESERVED_SLOT(57)
    SD_RESERVED_SLOT(58)
    SD_RESERVED_SLOT(59)
    SD_RESERVED_SLOT(60)
    SD_RESERVED_SLOT(61)
    SD_RESERVED_SLOT(62)
    SD_RESERVED_SLOT(63)
    SD_RESERVED_SLOT(64)
    virtual void SaveLoginRecord(const LoginRecord& record) = 0; // 65
    SD_RESERVED_SLOT(66)
    // Non-zero when a record of the account exists; it is copied to out.
    virtual int FindLoginRecord(const CString& account, LoginRecord& out) = 0; // 67
};

// The login logic (SIP registration).
class IUIPLOGIN : public IUSBase {
public:
    // 0 when the registration request is under way; the result arrives later
    // through ISIGNDESK::OnRegResponse.
    virtual int StartLogin(CString& account, CString& password, int serverIndex) = 0; // 4
    virtual void StopLogin() = 0;                                                     // 5
    virtual void OnUserCleared() = 0;                                                 // 6
    virtual std::vector<RegInfo>* GetRegUsers() = 0;                                  // 7
    virtual int IsMultiUser() = 0;                                                    // 8
    virtual void SaveRegUsers() = 0;                                                  // 9
    virtual int LoginRegUsers() = 0; // 10: non-zero when the requests are under way
};

// Call records per account.
class IUIPCALLRECORD : public IUSBase {
public:
    virtual void OpenAccountDatabase(const CString& account) = 0; // 4
    virtual void CloseAccountDatabase() = 0;                      // 5
    SD_RESERVED_SLOT(6)
    SD_RESERVED_SLOT(7)
    // Points list at the sibling's records of one kind; 0 when there are none.
    virtual int GetCallRecords(int kind, std::vector<CallRecord>*& list) = 0; // 8
};

// Phone book per account.
class IUIPPHONEBOOK : public IUSBase {
public:
    virtual void OpenAccountDatabase(const CString& account) = 0; // 4
    virtual void CloseAccountDatabase() = 0;                      // 5
};

// The client's language service.
class IKITELang : public IUSBase {
public:
    SD_RESERVED_SLOT(4)
    SD_RESERVED_SLOT(5)
    SD_RESERVED_SLOT(6)
    SD_RESERVED_SLOT(7)
    SD_RESERVED_SLOT(8)
    SD_RESERVED_SLOT(9)
    SD_RESERVED_SLOT(10)
    // The text of key in section, in the current language.
    virtual std::wstring GetLangString(const wchar_t* key, const wchar_t* section) = 0; // 11
};
