// The settings store sibling (IUIPSETTING): everything the plug-in stores
// lives in one human-readable file beside the executable ("settings.ini"),
// written at every change, read back at start. Saved passwords are stored
// protected (ProtectedText), never as plain text.
#pragma once

#include "Component.h"
#include "IniDoc.h"

#include "core/HostInterfaces.h"

#include <string>
#include <vector>

namespace kite {

class SettingsStore : public Component<IUIPSETTING> {
public:
    // path: the settings file. defaultsPath: read when the file does not
    // exist yet (the shipped server list, links and configuration).
    SettingsStore(const std::wstring& path, const std::wstring& defaultsPath);

    // IUIPSETTING
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

    // The client's own use.
    const std::wstring& Path() const { return m_path; }
    // The SIP domain of server index (the registrations' address of
    // record); empty when none is set or the index is outside the list.
    std::wstring ServerDomain(int index) const;
    void SetServerDomain(int index, const std::wstring& domain);
    bool IsMultiUser() const;
    void SetMultiUser(bool on);
    void SetBillLinks(const std::vector<BillLink>& links);
    // Reads the file again (as a restart of the client would).
    void Reload();
    void Save();

private:
    // False when a password was read as plain text (it is written back
    // protected).
    bool LoadFrom(const IniDoc& doc);
    void Store(IniDoc& doc) const;

    std::wstring m_path;
    std::wstring m_defaultsPath;
    std::vector<ServerInfo> m_servers;
    std::vector<std::wstring> m_domains;
    std::vector<BillLink> m_links;
    std::vector<CString> m_accounts;
    std::vector<LoginRecord> m_records;
    CString m_savedPassword;
    CString m_autoLogin;
    CString m_serverIndex;
    CString m_clearOnLogout;
    ProxyInfo m_proxy;
    CustomizeSet m_customize;
    bool m_multiUser = false;
};

} // namespace kite
