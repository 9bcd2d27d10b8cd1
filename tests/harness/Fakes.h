// Recording stand-ins for the host's main window, sibling plug-ins and
// language service. Every call is appended to one shared log, in order, so
// tests can check what a sibling saw and in which order across siblings.
#pragma once

#include "core/HostInterfaces.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

class CallLog {
public:
    void Add(const std::wstring& entry) { m_entries.push_back(entry); }
    void Clear() { m_entries.clear(); }
    const std::vector<std::wstring>& Entries() const { return m_entries; }
    // Entries that start with prefix (e.g. L"Main." or L"Settings.SetAutoLogin").
    std::vector<std::wstring> Matching(const std::wstring& prefix) const;
    int Count(const std::wstring& prefix) const;
    bool Has(const std::wstring& entry) const;
    // Position of the first entry equal to entry, -1 when absent.
    int IndexOf(const std::wstring& entry) const;

private:
    std::vector<std::wstring> m_entries;
};

CallLog& Calls();

// IUSBase plumbing shared by the fakes (they are never released).
template <class I> class FakeBase : public I {
public:
    long AddRef() override { return 1; }
    long Release() override { return 1; }
    int QueryInterface(const GUID&, IUSBase** ppv) override {
        if (ppv)
            *ppv = nullptr;
        return 0;
    }
};

class FakeMain : public FakeBase<IUIMain> {
public:
    int registered = 0;
    CString adminPassword;
    CString startupAccount;
    CString startupPassword;
    CString title, statusText, currentAccount;
    int loginState = -1;

    void ShowLoginPage() override;
    void ShowCallPage() override;
    void SetTitle(const CString& text) override;
    void SetStatusText(const CString& text) override;
    void SetLoginState(int state) override;
    int IsRegistered() override;
    void SetCurrentAccount(const CString& account) override;
    void ApplyCustomizeSet() override;
    void NotifyDeregistered() override;
    void NotifyLogout() override;
    void ShowRecordPage(int kind) override;
    CString GetAdminPassword() override;
    void GetStartupAccount(CString& account, CString& password) override;
};

class FakeSettings : public FakeBase<IUIPSETTING> {
public:
    std::vector<ServerInfo> servers;
    bool serversNull = false;
    std::vector<BillLink> links;
    bool linksNull = false;
    std::vector<CString> accounts;
    bool accountsNull = false;
    CString savedPassword;
    CString autoLogin = L"0";
    CString loginServerIndex = L"0";
    ProxyInfo proxy;
    bool proxyNull = true;
    CustomizeSet customize;
    bool customizeNull = true;
    CString clearOnLogout = L"0";
    std::map<std::wstring, LoginRecord> records;

    std::vector<ServerInfo>* GetServerList() override;
    std::vector<BillLink>* GetBillLinks() override;
    std::vector<CString>* GetAccountList() override;
    CString GetSavedPassword() override;
    CString GetAutoLogin() override;
    CString GetLoginServerIndex() override;
    void SetSavedPassword(const CString& password) override;
    void SetAutoLogin(const CString& flag) override;
    void SetLoginServerIndex(const CString& index) override;
    void SetServer(int index, const CString& displayName, const CString& address,
                   const CString& port, const CString& backupAddress,
                   const CString& backupPort) override;
    ProxyInfo* GetProxySetting() override;
    void DeleteAccountInfo(const CString& account) override;
    void SetCustomizeSet(const CustomizeSet& set) override;
    CustomizeSet* GetCustomizeSet() override;
    CString GetClearOnLogout() override;
    void SetClearOnLogout(const CString& flag) override;
    void SaveLoginRecord(const LoginRecord& record) override;
    int FindLoginRecord(const CString& account, LoginRecord& out) override;
};

class FakeLogin : public FakeBase<IUIPLOGIN> {
public:
    int startLoginResult = 0;
    int multiUser = 0;
    int loginRegUsersResult = 1;
    std::vector<RegInfo> regUsers;
    bool regUsersNull = false;

    int StartLogin(CString& account, CString& password, int serverIndex) override;
    void StopLogin() override;
    void OnUserCleared() override;
    std::vector<RegInfo>* GetRegUsers() override;
    int IsMultiUser() override;
    void SaveRegUsers() override;
    int LoginRegUsers() override;
};

class FakeCallRecord : public FakeBase<IUIPCALLRECORD> {
public:
    std::vector<CallRecord> missed;
    bool listNull = false;
    int getResult = 1;
    bool throwOnClose = false;

    void OpenAccountDatabase(const CString& account) override;
    void CloseAccountDatabase() override;
    int GetCallRecords(int kind, std::vector<CallRecord>*& list) override;
};

class FakePhoneBook : public FakeBase<IUIPPHONEBOOK> {
public:
    bool throwOnClose = false;
    void OpenAccountDatabase(const CString& account) override;
    void CloseAccountDatabase() override;
};

// Answers "<prefix><section>:<key>" unless a text was set for the key, and
// remembers every key asked for.
class FakeLang : public FakeBase<IKITELang> {
public:
    std::wstring prefix;
    std::map<std::pair<std::wstring, std::wstring>, std::wstring> texts; // (section, key)
    std::vector<std::pair<std::wstring, std::wstring>> asked;

    std::wstring GetLangString(const wchar_t* key, const wchar_t* section) override;
    // What the service answers for (section, key).
    std::wstring Text(const std::wstring& section, const std::wstring& key) const;
};

// All fakes, registered with the host framework under their GUIDs.
struct Siblings {
    FakeMain main;
    FakeSettings settings;
    FakeLogin login;
    FakeCallRecord callRecord;
    FakePhoneBook phoneBook;
    FakeLang lang;

    void RegisterAll();
    void UnregisterAll();
    // Makes one sibling absent (or present again).
    void Remove(IUSBase* pSibling);
    void Add(IUSBase* pSibling);
};

// Texts for the call log.
std::wstring Str(const CString& s);
