// The client's SIP user agent for registration. Each account binding is a
// RegistrationAgent with a UDP socket of its own (its own Contact port),
// driven on the user-interface thread: the sockets report through
// WSAAsyncSelect and one timer runs the agents' timers, so that no lock is
// needed and the agents' reports reach the listener from the message loop,
// one posted message at a time, as any window message would.
//
// Bad input from the network is dropped and counted: datagrams that are
// no well-formed response, and responses that belong to no transaction of
// the agent (Call-ID, CSeq, Via branch).
#pragma once

#include "sip/RegistrationAgent.h"
#include "sip/SipLog.h"

#include <windows.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kite {
namespace sip {

class SipClient {
public:
    struct Account {
        std::wstring account;
        std::wstring password;
        std::wstring domain;
        // host and port of each registrar address, main first; empty and
        // unresolvable ones are left out.
        std::vector<std::pair<std::wstring, std::wstring>> addresses;
    };
    typedef std::function<void(int id, const AgentReport& report)> Listener;

    explicit SipClient(const std::wstring& logPath);
    ~SipClient();
    SipClient(const SipClient&) = delete;
    SipClient& operator=(const SipClient&) = delete;

    // Used for the registrations started from now on.
    AgentSettings& Settings() { return m_settings; }
    void SetListener(Listener listener) { m_listener = std::move(listener); }

    // Starts registering account; the id names it in every report.
    int Register(const Account& account);
    // Ends a registration with Expires 0. Unregistered is reported later in
    // every case, also when there was nothing to end.
    void Unregister(int id);
    // Drops a registration without a word to anyone.
    void Forget(int id);
    // Unregisters everything and waits for the answers, at most waitMs,
    // without the message loop (the client is closing). Nothing is
    // reported.
    void UnregisterAll(unsigned waitMs);

    const RegistrationAgent* Agent(int id) const;
    size_t Active() const { return m_entries.size(); }
    // Responses dropped so far, by reason.
    const std::map<std::string, unsigned>& Dropped() const { return m_dropped; }
    unsigned DroppedTotal() const;
    SipLog& Log() { return m_log; }

private:
    struct Entry;
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void OnSocket(UINT_PTR socket);
    void OnTimer();
    void Deliver();
    void Drain(Entry& e);
    void Settle(Entry& e);
    void Reap();
    void ArmTimer();
    void Drop(Entry& e, const std::string& reason, const std::string& what,
              const std::string& peer);
    void Queue(int id, const AgentReport& report);

    AgentSettings m_settings;
    Listener m_listener;
    SipLog m_log;
    HWND m_hwnd = nullptr;
    bool m_wsa = false;
    int m_nextId = 1;
    std::map<int, std::unique_ptr<Entry>> m_entries;
    std::deque<std::pair<int, AgentReport>> m_queue;
    bool m_deliverPosted = false;
    std::map<std::string, unsigned> m_dropped;
    std::vector<char> m_buffer;
};

// A UDP port of host where nobody listens (taken from the system and let go
// at once); 0 when none could be had.
uint16_t UnusedUdpPort(const char* host = "127.0.0.1");

} // namespace sip
} // namespace kite
