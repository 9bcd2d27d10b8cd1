#include "AccountStores.h"

#include "IniDoc.h"
#include "TextUtil.h"

#include <ctime>

namespace kite {

std::wstring AccountFolder(const std::wstring& accountsDir, const std::wstring& account) {
    std::wstring name = account.empty() ? L"_" : account;
    for (wchar_t& c : name)
        if (c < 32 || std::wstring(L"\\/:*?\"<>|").find(c) != std::wstring::npos)
            c = L'_';
    return JoinPath(accountsDir, name);
}

// ---------------------------------------------------------------------------
// Call records

CallRecordStore::CallRecordStore(const std::wstring& accountsDir)
    : Component<IUIPCALLRECORD>(IID_IUIPCALLRECORD), m_dir(accountsDir) {}

CallRecordStore::~CallRecordStore() {
    m_observer = nullptr;
    CloseAccountDatabase();
}

std::wstring CallRecordStore::FileOf(const std::wstring& account) const {
    return JoinPath(AccountFolder(m_dir, account), L"calls.ini");
}

bool CallRecordStore::LoadFile(const std::wstring& path, std::vector<Entry>& entries) {
    entries.clear();
    IniDoc doc;
    if (!doc.Load(path))
        return false;
    for (size_t i = 0;; ++i) {
        std::wstring s = L"Record" + std::to_wstring(i + 1);
        if (!doc.HasSection(s))
            break;
        Entry e = {};
        e.record.id = static_cast<uint32_t>(doc.GetInt(s, L"Id", static_cast<int>(i + 1)));
        e.record.kind = doc.GetInt(s, L"Kind", KIND_MISSED);
        e.record.startTime = static_cast<uint32_t>(doc.GetInt(s, L"Time", 0));
        e.record.duration = static_cast<uint32_t>(doc.GetInt(s, L"Duration", 0));
        e.record.peer = 0;
        e.record.settled = doc.GetInt(s, L"Settled", 0);
        e.peer = doc.Get(s, L"Peer");
        e.text = doc.Get(s, L"Text");
        entries.push_back(e);
    }
    return true;
}

void CallRecordStore::SaveFile(const std::wstring& path, const std::vector<Entry>& entries) {
    IniDoc doc;
    doc.SetHeader(L"; Kite call records of one account. Kind: 0 dialled, 1 received, 2 missed,\n"
                  L"; 3 message. Settled: 0 not yet seen, 1 seen. Time: seconds since 1970.\n");
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        std::wstring s = L"Record" + std::to_wstring(i + 1);
        doc.Set(s, L"Id", std::to_wstring(e.record.id));
        doc.Set(s, L"Kind", std::to_wstring(e.record.kind));
        doc.Set(s, L"Peer", e.peer);
        doc.Set(s, L"Time", std::to_wstring(e.record.startTime));
        doc.Set(s, L"Duration", std::to_wstring(e.record.duration));
        doc.Set(s, L"Settled", std::to_wstring(e.record.settled));
        if (!e.text.empty())
            doc.Set(s, L"Text", e.text);
    }
    doc.Save(path);
}

void CallRecordStore::Rebuild() {
    for (auto& v : m_byKind)
        v.clear();
    for (size_t i = 0; i < m_entries.size(); ++i) {
        CallRecord r = m_entries[i].record;
        r.peer = static_cast<uint32_t>(i); // the client's index of the entry
        if (r.kind >= 0 && r.kind < KIND_COUNT)
            m_byKind[r.kind].push_back(r);
    }
}

void CallRecordStore::OpenAccountDatabase(const CString& account) {
    CloseAccountDatabase();
    m_account = Str(account);
    LoadFile(FileOf(m_account), m_entries);
    m_open = true;
    Rebuild();
    if (m_observer)
        m_observer(-1);
}

void CallRecordStore::CloseAccountDatabase() {
    if (!m_open)
        return;
    SaveFile(FileOf(m_account), m_entries);
    m_open = false;
    m_account.clear();
    m_entries.clear();
    Rebuild();
    if (m_observer)
        m_observer(-1);
}

int CallRecordStore::GetCallRecords(int kind, std::vector<CallRecord>*& list) {
    if (!m_open || kind < 0 || kind >= KIND_COUNT)
        return 0;
    list = &m_byKind[kind];
    return 1;
}

int CallRecordStore::Count(int kind) const {
    return kind >= 0 && kind < KIND_COUNT ? static_cast<int>(m_byKind[kind].size()) : 0;
}

int CallRecordStore::UnsettledCount(int kind) const {
    int n = 0;
    if (kind >= 0 && kind < KIND_COUNT)
        for (const CallRecord& r : m_byKind[kind])
            n += r.settled == 0 ? 1 : 0;
    return n;
}

void CallRecordStore::Add(const std::wstring& account, int kind, const std::wstring& peer,
                          bool settled, const std::wstring& text) {
    bool intoOpen = m_open && account == m_account;
    std::vector<Entry> other;
    std::vector<Entry>& entries = intoOpen ? m_entries : other;
    if (!intoOpen)
        LoadFile(FileOf(account), other);
    Entry e = {};
    uint32_t maxId = 0;
    for (const Entry& x : entries)
        maxId = x.record.id > maxId ? x.record.id : maxId;
    e.record.id = maxId + 1;
    e.record.kind = kind;
    e.record.startTime = static_cast<uint32_t>(std::time(nullptr));
    e.record.settled = settled ? 1 : 0;
    e.peer = peer;
    e.text = text;
    entries.insert(entries.begin(), e); // the latest first
    SaveFile(FileOf(account), entries);
    if (intoOpen) {
        Rebuild();
        if (m_observer)
            m_observer(kind);
    }
}

void CallRecordStore::SettleAll(int kind) {
    if (!m_open)
        return;
    for (Entry& e : m_entries)
        if (e.record.kind == kind)
            e.record.settled = 1;
    SaveFile(FileOf(m_account), m_entries);
    Rebuild();
    if (m_observer)
        m_observer(kind);
}

// ---------------------------------------------------------------------------
// Phone book

PhoneBook::PhoneBook(const std::wstring& accountsDir)
    : Component<IUIPPHONEBOOK>(IID_IUIPPHONEBOOK), m_dir(accountsDir) {}

PhoneBook::~PhoneBook() {
    m_observer = nullptr;
    CloseAccountDatabase();
}

std::wstring PhoneBook::FileOf(const std::wstring& account) const {
    return JoinPath(AccountFolder(m_dir, account), L"contacts.ini");
}

void PhoneBook::LoadFile(const std::wstring& path, std::vector<Contact>& contacts) {
    contacts.clear();
    IniDoc doc;
    doc.Load(path);
    for (size_t i = 0;; ++i) {
        std::wstring s = L"Contact" + std::to_wstring(i + 1);
        if (!doc.HasSection(s))
            break;
        contacts.push_back(Contact{doc.Get(s, L"Name"), doc.Get(s, L"Number")});
    }
}

void PhoneBook::SaveFile(const std::wstring& path, const std::vector<Contact>& contacts) {
    IniDoc doc;
    doc.SetHeader(L"; Kite phone book of one account.\n");
    for (size_t i = 0; i < contacts.size(); ++i) {
        std::wstring s = L"Contact" + std::to_wstring(i + 1);
        doc.Set(s, L"Name", contacts[i].name);
        doc.Set(s, L"Number", contacts[i].number);
    }
    doc.Save(path);
}

void PhoneBook::OpenAccountDatabase(const CString& account) {
    CloseAccountDatabase();
    m_account = Str(account);
    LoadFile(FileOf(m_account), m_contacts);
    m_open = true;
    if (m_observer)
        m_observer();
}

void PhoneBook::CloseAccountDatabase() {
    if (!m_open)
        return;
    SaveFile(FileOf(m_account), m_contacts);
    m_open = false;
    m_account.clear();
    m_contacts.clear();
    if (m_observer)
        m_observer();
}

std::wstring PhoneBook::NameOf(const std::wstring& number) const {
    for (const Contact& c : m_contacts)
        if (c.number == number)
            return c.name;
    return std::wstring();
}

void PhoneBook::Add(const std::wstring& account, const std::wstring& name,
                    const std::wstring& number) {
    bool intoOpen = m_open && account == m_account;
    std::vector<Contact> other;
    std::vector<Contact>& contacts = intoOpen ? m_contacts : other;
    if (!intoOpen)
        LoadFile(FileOf(account), other);
    contacts.push_back(Contact{name, number});
    SaveFile(FileOf(account), contacts);
    if (intoOpen && m_observer)
        m_observer();
}

} // namespace kite
