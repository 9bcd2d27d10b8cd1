#include "Fakes.h"

#include <stdexcept>

std::vector<std::wstring> CallLog::Matching(const std::wstring& prefix) const {
    std::vector<std::wstring> out;
    for (const auto& e : m_entries)
        if (e.compare(0, prefix.size(), prefix) == 0)
            out.push_back(e);
    return out;
}

int CallLog::Count(const std::wstring& prefix) const {
    return static_cast<int>(Matching(prefix).size());
}

bool CallLog::Has(const std::wstring& entry) const {
    return IndexOf(entry) >= 0;
}

int CallLog::IndexOf(const std::wstring& entry) const {
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i] == entry)
            return static_cast<int>(i);
    return -1;
}

CallLog& Calls() {
    static CallLog log;
    return log;
}

std::wstring Str(const CString& s) {
    return std::wstring(s.GetString());
}

namespace {
void Log(const std::wstring& entry) {
    Calls().Add(entry);
}
std::wstring Num(int n) {
    return std::to_wstring(n);
}
} // namespace

// FakeMain -------------------------------------------------------------------

void FakeMain::ShowLoginPage() {
    Log(L"Main.ShowLoginPage()");
}
void FakeMain::ShowCallPage() {
    Log(L"Main.ShowCallPage()");
}
void FakeMain::SetTitle(const CString& text) {
    title = text;
    Log(L"Main.SetTitle(" + Str(text) + L")");
}
void FakeMain::SetStatusText(const CString& text) {
    statusText = text;
    Log(L"Main.SetStatusText(" + Str(text) + L")");
}
void FakeMain::SetLoginState(int state) {
    loginState = state;
    Log(L"Main.SetLoginState(" + Num(state) + L")");
}
int FakeMain::IsRegistered() {
    Log(L"Main.IsRegistered()");
    return registered;
}
void FakeMain::SetCurrentAccount(const CString& account) {
    currentAccount = account;
    Log(L"Main.SetCurrentAccount(" + Str(account) + L")");
}
void FakeMain::ApplyCustomizeSet() {
    Log(L"Main.ApplyCustomizeSet()");
}
void FakeMain::NotifyDeregistered() {
    Log(L"Main.NotifyDeregistered()");
}
void FakeMain::NotifyLogout() {
    Log(L"Main.NotifyLogout()");
}
void FakeMain::ShowRecordPage(int kind) {
    Log(L"Main.ShowRecordPage(" + Num(kind) + L")");
}
CString FakeMain::GetAdminPassword() {
    Log(L"Main.GetAdminPassword()");
    return adminPassword;
}
void FakeMain::GetStartupAccount(CString& account, CString& password) {
    Log(L"Main.GetStartupAccount()");
    account = startupAccount;
    password = startupPassword;
}

// FakeSettings ---------------------------------------------------------------

std::vector<ServerInfo>* FakeSettings::GetServerList() {
    Log(L"Settings.GetServerList()");
    return serversNull ? nullptr : &servers;
}
std::vector<BillLink>* FakeSettings::GetBillLinks() {
    Log(L"Settings.GetBillLinks()");
    return linksNull ? nullptr : &links;
}
std::vector<CString>* FakeSettings::GetAccountList() {
    Log(L"Settings.GetAccountList()");
    return accountsNull ? nullptr : &accounts;
}
CString FakeSettings::GetSavedPassword() {
    Log(L"Settings.GetSavedPassword()");
    return savedPassword;
}
CString FakeSettings::GetAutoLogin() {
    Log(L"Settings.GetAutoLogin()");
    return autoLogin;
}
CString FakeSettings::GetLoginServerIndex() {
    Log(L"Settings.GetLoginServerIndex()");
    return loginServerIndex;
}
void FakeSettings::SetSavedPassword(const CString& password) {
    savedPassword = password;
    Log(L"Settings.SetSavedPassword(" + Str(password) + L")");
}
void FakeSettings::SetAutoLogin(const CString& flag) {
    autoLogin = flag;
    Log(L"Settings.SetAutoLogin(" + Str(flag) + L")");
}
void FakeSettings::SetLoginServerIndex(const CString& index) {
    loginServerIndex = index;
    Log(L"Settings.SetLoginServerIndex(" + Str(index) + L")");
}
void FakeSettings::SetServer(int index, const CString& displayName, const CString& address,
                             const CString& port, const CString& backupAddress,
                             const CString& backupPort) {
    Log(L"Settings.SetServer(" + Num(index) + L"," + Str(displayName) + L"," + Str(address) + L"," +
        Str(port) + L"," + Str(backupAddress) + L"," + Str(backupPort) + L")");
    if (index >= 0 && index < static_cast<int>(servers.size())) {
        ServerInfo& s = servers[static_cast<size_t>(index)];
        s.displayName = displayName;
        s.address = address;
        s.port = port;
        s.backupAddress = backupAddress;
        s.backupPort = backupPort;
    }
}
ProxyInfo* FakeSettings::GetProxySetting() {
    Log(L"Settings.GetProxySetting()");
    return proxyNull ? nullptr : &proxy;
}
void FakeSettings::DeleteAccountInfo(const CString& account) {
    Log(L"Settings.DeleteAccountInfo(" + Str(account) + L")");
    for (auto it = accounts.begin(); it != accounts.end();)
        it = (*it == account) ? accounts.erase(it) : it + 1;
    records.erase(Str(account));
}
void FakeSettings::SetCustomizeSet(const CustomizeSet& set) {
    customize = set;
    customizeNull = false;
    Log(L"Settings.SetCustomizeSet(" + Str(set.field0) + L"," + Str(set.fixedAccount) + L"," +
        Str(set.fixedAccountOn) + L"," + Str(set.disableSystemSettings) + L"," +
        Str(set.hideCallPage) + L"," + Str(set.hideRemovingUserInfo) + L"," +
        Str(set.refuseLogout) + L"," + Str(set.refuseExit) + L"," +
        Str(set.disableCallRecordChange) + L"," + Str(set.disableVolumeChange) + L"," +
        Str(set.refuseAutoLogin) + L"," + Str(set.disableVolumeControl) + L")");
}
CustomizeSet* FakeSettings::GetCustomizeSet() {
    Log(L"Settings.GetCustomizeSet()");
    return customizeNull ? nullptr : &customize;
}
CString FakeSettings::GetClearOnLogout() {
    Log(L"Settings.GetClearOnLogout()");
    return clearOnLogout;
}
void FakeSettings::SetClearOnLogout(const CString& flag) {
    clearOnLogout = flag;
    Log(L"Settings.SetClearOnLogout(" + Str(flag) + L")");
}
void FakeSettings::SaveLoginRecord(const LoginRecord& record) {
    records[Str(record.account)] = record;
    Log(L"Settings.SaveLoginRecord(" + Str(record.account) + L"," + Str(record.password) + L"," +
        Str(record.autoLogin) + L")");
}
int FakeSettings::FindLoginRecord(const CString& account, LoginRecord& out) {
    Log(L"Settings.FindLoginRecord(" + Str(account) + L")");
    auto it = records.find(Str(account));
    if (it == records.end())
        return 0;
    out = it->second;
    return 1;
}

// FakeLogin ------------------------------------------------------------------

int FakeLogin::StartLogin(CString& account, CString& password, int serverIndex) {
    Log(L"Login.StartLogin(" + Str(account) + L"," + Str(password) + L"," + Num(serverIndex) +
        L")");
    return startLoginResult;
}
void FakeLogin::StopLogin() {
    Log(L"Login.StopLogin()");
}
void FakeLogin::OnUserCleared() {
    Log(L"Login.OnUserCleared()");
}
std::vector<RegInfo>* FakeLogin::GetRegUsers() {
    Log(L"Login.GetRegUsers()");
    return regUsersNull ? nullptr : &regUsers;
}
int FakeLogin::IsMultiUser() {
    Log(L"Login.IsMultiUser()");
    return multiUser;
}
void FakeLogin::SaveRegUsers() {
    Log(L"Login.SaveRegUsers()");
}
int FakeLogin::LoginRegUsers() {
    Log(L"Login.LoginRegUsers()");
    return loginRegUsersResult;
}

// Call records and phone book --------------------------------------------------

void FakeCallRecord::OpenAccountDatabase(const CString& account) {
    Log(L"CallRecord.OpenAccountDatabase(" + Str(account) + L")");
}
void FakeCallRecord::CloseAccountDatabase() {
    Log(L"CallRecord.CloseAccountDatabase()");
    if (throwOnClose) {
        SetLastError(ERROR_ACCESS_DENIED);
        throw std::runtime_error("call record store failed to close");
    }
}
int FakeCallRecord::GetCallRecords(int kind, std::vector<CallRecord>*& list) {
    Log(L"CallRecord.GetCallRecords(" + Num(kind) + L")");
    list = listNull ? nullptr : &missed;
    return getResult;
}

void FakePhoneBook::OpenAccountDatabase(const CString& account) {
    Log(L"PhoneBook.OpenAccountDatabase(" + Str(account) + L")");
}
void FakePhoneBook::CloseAccountDatabase() {
    Log(L"PhoneBook.CloseAccountDatabase()");
    if (throwOnClose)
        throw 42;
}

// FakeLang ---------------------------------------------------------------------

std::wstring FakeLang::GetLangString(const wchar_t* key, const wchar_t* section) {
    std::wstring k = key ? key : L"", s = section ? section : L"";
    asked.push_back({s, k});
    return Text(s, k);
}

std::wstring FakeLang::Text(const std::wstring& section, const std::wstring& key) const {
    auto it = texts.find({section, key});
    if (it != texts.end())
        return prefix + it->second;
    return prefix + section + L":" + key;
}

// Siblings ---------------------------------------------------------------------

void Siblings::RegisterAll() {
    UIRegisterComponent(IID_IUIMain, &main);
    UIRegisterComponent(IID_IUIPSETTING, &settings);
    UIRegisterComponent(IID_IUIPLOGIN, &login);
    UIRegisterComponent(IID_IUIPCALLRECORD, &callRecord);
    UIRegisterComponent(IID_IUIPPHONEBOOK, &phoneBook);
    UIRegisterComponent(IID_IKITELang, &lang);
}

void Siblings::UnregisterAll() {
    for (IUSBase* p :
         std::initializer_list<IUSBase*>{&main, &settings, &login, &callRecord, &phoneBook, &lang})
        UIUnregisterComponent(p);
}

void Siblings::Remove(IUSBase* pSibling) {
    UIUnregisterComponent(pSibling);
}

void Siblings::Add(IUSBase* pSibling) {
    if (pSibling == static_cast<IUSBase*>(&main))
        UIRegisterComponent(IID_IUIMain, pSibling);
    else if (pSibling == static_cast<IUSBase*>(&settings))
        UIRegisterComponent(IID_IUIPSETTING, pSibling);
    else if (pSibling == static_cast<IUSBase*>(&login))
        UIRegisterComponent(IID_IUIPLOGIN, pSibling);
    else if (pSibling == static_cast<IUSBase*>(&callRecord))
        UIRegisterComponent(IID_IUIPCALLRECORD, pSibling);
    else if (pSibling == static_cast<IUSBase*>(&phoneBook))
        UIRegisterComponent(IID_IUIPPHONEBOOK, pSibling);
    else if (pSibling == static_cast<IUSBase*>(&lang))
        UIRegisterComponent(IID_IKITELang, pSibling);
}
