#include "SettingsStore.h"

#include "ProtectedText.h"
#include "TextUtil.h"

#include <algorithm>

namespace kite {

namespace {

const wchar_t kHeader[] =
    L"; Kite client settings, written by the client whenever the login panel stores\n"
    L"; something. Flags are 1 (on) or 0 (off).\n";

// The function configuration record, field by field, with its key.
struct CustomizeField {
    const wchar_t* key;
    CString CustomizeSet::*field;
};
const CustomizeField kCustomizeFields[] = {
    {L"Field0", &CustomizeSet::field0},
    {L"FixedAccount", &CustomizeSet::fixedAccount},
    {L"FixedAccountOn", &CustomizeSet::fixedAccountOn},
    {L"DisableSystemSettings", &CustomizeSet::disableSystemSettings},
    {L"HideCallPage", &CustomizeSet::hideCallPage},
    {L"HideRemovingUserInfo", &CustomizeSet::hideRemovingUserInfo},
    {L"RefuseLogout", &CustomizeSet::refuseLogout},
    {L"RefuseExit", &CustomizeSet::refuseExit},
    {L"DisableCallRecordChange", &CustomizeSet::disableCallRecordChange},
    {L"DisableVolumeChange", &CustomizeSet::disableVolumeChange},
    {L"RefuseAutoLogin", &CustomizeSet::refuseAutoLogin},
    {L"DisableVolumeControl", &CustomizeSet::disableVolumeControl},
};

std::wstring Numbered(const wchar_t* prefix, size_t i) {
    return prefix + std::to_wstring(i + 1);
}

// A stored password; plainSeen is set when it was stored unprotected.
CString Password(const IniDoc& doc, const std::wstring& section, bool& plainSeen) {
    bool plain = false;
    CString value = CStr(UnprotectText(doc.Get(section, L"Password"), &plain));
    plainSeen = plainSeen || plain;
    return value;
}

} // namespace

SettingsStore::SettingsStore(const std::wstring& path, const std::wstring& defaultsPath)
    : Component<IUIPSETTING>(IID_IUIPSETTING), m_path(path), m_defaultsPath(defaultsPath) {
    Reload();
}

void SettingsStore::Reload() {
    IniDoc doc;
    if (!doc.Load(m_path)) {
        // First start: the shipped defaults, written out at once so that
        // the file is there to be read and edited.
        doc.Load(m_defaultsPath);
        LoadFrom(doc);
        Save();
        return;
    }
    // Passwords an older client stored as plain text are read this once.
    if (!LoadFrom(doc))
        Save();
}

bool SettingsStore::LoadFrom(const IniDoc& doc) {
    bool plainSeen = false;
    m_accounts.clear();
    for (const IniDoc::Entry& e : doc.Entries(L"Accounts"))
        if (!e.second.empty())
            m_accounts.push_back(CStr(e.second));

    m_records.clear();
    for (const std::wstring& section : doc.SectionsWithPrefix(L"Account:")) {
        LoginRecord r;
        r.account = CStr(section.substr(8));
        r.password = Password(doc, section, plainSeen);
        r.autoLogin = CStr(doc.Get(section, L"AutoLogin", L"0"));
        m_records.push_back(r);
    }

    bool plain = false;
    m_savedPassword = CStr(UnprotectText(doc.Get(L"Login", L"SavedPassword"), &plain));
    plainSeen = plainSeen || plain;
    m_autoLogin = CStr(doc.Get(L"Login", L"AutoLogin", L"0"));
    m_serverIndex = CStr(doc.Get(L"Login", L"ServerIndex", L"0"));
    m_clearOnLogout = CStr(doc.Get(L"Login", L"ClearOnLogout", L"0"));
    m_multiUser = doc.Get(L"Login", L"MultiUser", L"0") == L"1";

    m_servers.clear();
    m_domains.clear();
    for (size_t i = 0; doc.HasSection(Numbered(L"Server", i)); ++i) {
        std::wstring s = Numbered(L"Server", i);
        ServerInfo info;
        info.name = CStr(doc.Get(s, L"Name"));
        info.displayName = CStr(doc.Get(s, L"DisplayName"));
        info.address = CStr(doc.Get(s, L"Address"));
        info.port = CStr(doc.Get(s, L"Port"));
        info.backupAddress = CStr(doc.Get(s, L"BackupAddress"));
        info.backupPort = CStr(doc.Get(s, L"BackupPort"));
        m_servers.push_back(info);
        m_domains.push_back(doc.Get(s, L"Domain"));
    }

    m_proxy.proxyAddress = CStr(doc.Get(L"Proxy", L"Address"));
    m_proxy.proxyPort = CStr(doc.Get(L"Proxy", L"Port"));
    m_proxy.proxyUser = CStr(doc.Get(L"Proxy", L"User"));
    m_proxy.proxyPassword = Password(doc, L"Proxy", plainSeen);
    m_proxy.proxyType = CStr(doc.Get(L"Proxy", L"Type", L"1"));

    for (const CustomizeField& f : kCustomizeFields) {
        bool flag = std::wstring(f.key) != L"Field0" && std::wstring(f.key) != L"FixedAccount";
        m_customize.*f.field = CStr(doc.Get(L"Customize", f.key, flag ? L"0" : L""));
    }

    m_links.clear();
    for (size_t i = 0; doc.HasSection(Numbered(L"Link", i)); ++i) {
        std::wstring s = Numbered(L"Link", i);
        BillLink link;
        link.verb = CStr(doc.Get(s, L"Verb", L"open"));
        link.file = CStr(doc.Get(s, L"File"));
        link.parameters = CStr(doc.Get(s, L"Parameters"));
        link.caption = CStr(doc.Get(s, L"Caption"));
        m_links.push_back(link);
    }
    return !plainSeen;
}

void SettingsStore::Store(IniDoc& doc) const {
    doc.SetHeader(kHeader);
    doc.Set(L"Login", L"SavedPassword", ProtectText(Str(m_savedPassword)));
    doc.Set(L"Login", L"AutoLogin", Str(m_autoLogin));
    doc.Set(L"Login", L"ServerIndex", Str(m_serverIndex));
    doc.Set(L"Login", L"ClearOnLogout", Str(m_clearOnLogout));
    doc.Set(L"Login", L"MultiUser", m_multiUser ? L"1" : L"0");

    for (size_t i = 0; i < m_accounts.size(); ++i)
        doc.Set(L"Accounts", Numbered(L"Account", i), Str(m_accounts[i]));
    for (const LoginRecord& r : m_records) {
        std::wstring s = L"Account:" + Str(r.account);
        doc.Set(s, L"Password", ProtectText(Str(r.password)));
        doc.Set(s, L"AutoLogin", Str(r.autoLogin));
    }

    for (size_t i = 0; i < m_servers.size(); ++i) {
        std::wstring s = Numbered(L"Server", i);
        const ServerInfo& info = m_servers[i];
        doc.Set(s, L"Name", Str(info.name));
        doc.Set(s, L"DisplayName", Str(info.displayName));
        doc.Set(s, L"Address", Str(info.address));
        doc.Set(s, L"Port", Str(info.port));
        doc.Set(s, L"BackupAddress", Str(info.backupAddress));
        doc.Set(s, L"BackupPort", Str(info.backupPort));
        doc.Set(s, L"Domain", m_domains[i]);
    }

    doc.Set(L"Proxy", L"Address", Str(m_proxy.proxyAddress));
    doc.Set(L"Proxy", L"Port", Str(m_proxy.proxyPort));
    doc.Set(L"Proxy", L"User", Str(m_proxy.proxyUser));
    doc.Set(L"Proxy", L"Password", ProtectText(Str(m_proxy.proxyPassword)));
    doc.Set(L"Proxy", L"Type", Str(m_proxy.proxyType));

    for (const CustomizeField& f : kCustomizeFields)
        doc.Set(L"Customize", f.key, Str(m_customize.*f.field));

    for (size_t i = 0; i < m_links.size(); ++i) {
        std::wstring s = Numbered(L"Link", i);
        doc.Set(s, L"Verb", Str(m_links[i].verb));
        doc.Set(s, L"File", Str(m_links[i].file));
        doc.Set(s, L"Parameters", Str(m_links[i].parameters));
        doc.Set(s, L"Caption", Str(m_links[i].caption));
    }
}

void SettingsStore::Save() {
    IniDoc doc;
    Store(doc);
    doc.Save(m_path);
}

std::vector<ServerInfo>* SettingsStore::GetServerList() {
    return &m_servers;
}

std::vector<BillLink>* SettingsStore::GetBillLinks() {
    return &m_links;
}

std::vector<CString>* SettingsStore::GetAccountList() {
    return &m_accounts;
}

CString SettingsStore::GetSavedPassword() {
    return m_savedPassword;
}

CString SettingsStore::GetAutoLogin() {
    return m_autoLogin;
}

CString SettingsStore::GetLoginServerIndex() {
    return m_serverIndex;
}

void SettingsStore::SetSavedPassword(const CString& password) {
    m_savedPassword = password;
    Save();
}

void SettingsStore::SetAutoLogin(const CString& flag) {
    m_autoLogin = flag;
    Save();
}

void SettingsStore::SetLoginServerIndex(const CString& index) {
    m_serverIndex = index;
    Save();
}

void SettingsStore::SetServer(int index, const CString& displayName, const CString& address,
                              const CString& port, const CString& backupAddress,
                              const CString& backupPort) {
    if (index < 0 || index > static_cast<int>(m_servers.size()))
        return;
    if (index == static_cast<int>(m_servers.size())) {
        ServerInfo added;
        added.name = displayName;
        m_servers.push_back(added);
        m_domains.push_back(std::wstring());
    }
    ServerInfo& info = m_servers[static_cast<size_t>(index)];
    info.displayName = displayName;
    info.address = address;
    info.port = port;
    info.backupAddress = backupAddress;
    info.backupPort = backupPort;
    Save();
}

ProxyInfo* SettingsStore::GetProxySetting() {
    return &m_proxy;
}

void SettingsStore::DeleteAccountInfo(const CString& account) {
    m_accounts.erase(std::remove(m_accounts.begin(), m_accounts.end(), account), m_accounts.end());
    m_records.erase(std::remove_if(m_records.begin(), m_records.end(),
                                   [&](const LoginRecord& r) { return r.account == account; }),
                    m_records.end());
    Save();
}

void SettingsStore::SetCustomizeSet(const CustomizeSet& set) {
    m_customize = set;
    Save();
}

CustomizeSet* SettingsStore::GetCustomizeSet() {
    return &m_customize;
}

CString SettingsStore::GetClearOnLogout() {
    return m_clearOnLogout;
}

void SettingsStore::SetClearOnLogout(const CString& flag) {
    m_clearOnLogout = flag;
    Save();
}

void SettingsStore::SaveLoginRecord(const LoginRecord& record) {
    auto it = std::find_if(m_records.begin(), m_records.end(),
                           [&](const LoginRecord& r) { return r.account == record.account; });
    if (it != m_records.end())
        *it = record;
    else
        m_records.push_back(record);
    // The account list holds the accounts used before, the latest first.
    if (!record.account.IsEmpty()) {
        m_accounts.erase(std::remove(m_accounts.begin(), m_accounts.end(), record.account),
                         m_accounts.end());
        m_accounts.insert(m_accounts.begin(), record.account);
    }
    Save();
}

int SettingsStore::FindLoginRecord(const CString& account, LoginRecord& out) {
    for (const LoginRecord& r : m_records)
        if (r.account == account) {
            out = r;
            return 1;
        }
    return 0;
}

std::wstring SettingsStore::ServerDomain(int index) const {
    return index >= 0 && index < static_cast<int>(m_domains.size())
               ? m_domains[static_cast<size_t>(index)]
               : std::wstring();
}

void SettingsStore::SetServerDomain(int index, const std::wstring& domain) {
    if (index < 0 || index >= static_cast<int>(m_domains.size()))
        return;
    m_domains[static_cast<size_t>(index)] = domain;
    Save();
}

bool SettingsStore::IsMultiUser() const {
    return m_multiUser;
}

void SettingsStore::SetMultiUser(bool on) {
    m_multiUser = on;
    Save();
}

void SettingsStore::SetBillLinks(const std::vector<BillLink>& links) {
    m_links = links;
    Save();
}

} // namespace kite
