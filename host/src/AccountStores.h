// Per-account stores of the client: call records (IUIPCALLRECORD) and the
// phone book (IUIPPHONEBOOK). Each account has its own folder under the
// accounts folder with one file per store; opening a store switches to
// that account's file, closing it writes it back and forgets it.
#pragma once

#include "Component.h"

#include "core/HostInterfaces.h"

#include <functional>
#include <string>
#include <vector>

namespace kite {

// Record kinds of the call-record store.
enum RecordKind {
    KIND_DIALED = 0,
    KIND_RECEIVED = 1,
    KIND_MISSED = 2,
    KIND_MESSAGE = 3,
    KIND_COUNT = 4,
};

// The folder of an account's stores (characters a file name cannot hold
// are replaced).
std::wstring AccountFolder(const std::wstring& accountsDir, const std::wstring& account);

class CallRecordStore : public Component<IUIPCALLRECORD> {
public:
    struct Entry {
        CallRecord record;
        std::wstring peer; // the other party's number
        std::wstring text; // a message's text
    };

    explicit CallRecordStore(const std::wstring& accountsDir);
    ~CallRecordStore() override;

    // IUIPCALLRECORD
    void OpenAccountDatabase(const CString& account) override;
    void CloseAccountDatabase() override;
    // Points list at the records of kind; 0 (and list untouched) while no
    // account's store is open.
    int GetCallRecords(int kind, std::vector<CallRecord>*& list) override;

    bool IsOpen() const { return m_open; }
    const std::wstring& Account() const { return m_account; }
    const std::vector<Entry>& Entries() const { return m_entries; }
    int Count(int kind) const;
    int UnsettledCount(int kind) const;
    // Adds a record to account's store (the open one, or its file when it is
    // not open) and reports the change.
    void Add(const std::wstring& account, int kind, const std::wstring& peer, bool settled,
             const std::wstring& text = std::wstring());
    // Marks every record of kind of the open store as settled.
    void SettleAll(int kind);
    // Called with the kind after every change of the open store, with -1
    // when a store was opened or closed.
    void SetObserver(std::function<void(int kind)> observer) { m_observer = std::move(observer); }
    std::wstring FileOf(const std::wstring& account) const;

private:
    static bool LoadFile(const std::wstring& path, std::vector<Entry>& entries);
    static void SaveFile(const std::wstring& path, const std::vector<Entry>& entries);
    void Rebuild();

    std::wstring m_dir;
    bool m_open = false;
    std::wstring m_account;
    std::vector<Entry> m_entries;
    std::vector<CallRecord> m_byKind[KIND_COUNT];
    std::function<void(int)> m_observer;
};

class PhoneBook : public Component<IUIPPHONEBOOK> {
public:
    struct Contact {
        std::wstring name;
        std::wstring number;
    };

    explicit PhoneBook(const std::wstring& accountsDir);
    ~PhoneBook() override;

    // IUIPPHONEBOOK
    void OpenAccountDatabase(const CString& account) override;
    void CloseAccountDatabase() override;

    bool IsOpen() const { return m_open; }
    const std::wstring& Account() const { return m_account; }
    const std::vector<Contact>& Contacts() const { return m_contacts; }
    // The name of a number in the open phone book; empty when unknown.
    std::wstring NameOf(const std::wstring& number) const;
    // Adds a contact to account's phone book (open or not).
    void Add(const std::wstring& account, const std::wstring& name, const std::wstring& number);
    void SetObserver(std::function<void()> observer) { m_observer = std::move(observer); }
    std::wstring FileOf(const std::wstring& account) const;

private:
    static void LoadFile(const std::wstring& path, std::vector<Contact>& contacts);
    static void SaveFile(const std::wstring& path, const std::vector<Contact>& contacts);

    std::wstring m_dir;
    bool m_open = false;
    std::wstring m_account;
    std::vector<Contact> m_contacts;
    std::function<void()> m_observer;
};

} // namespace kite
