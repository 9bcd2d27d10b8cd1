// The registration of one account with its registrar, as RFC 3261 (10, 17.1.2)
// has a user agent do it over UDP: REGISTER, retransmitted on Timer E until
// a final answer or the transaction timeout; digest authentication; the
// main address, then the backup; refreshes before the granted lifetime
// ends; back-off retries when a refresh fails; Expires 0 to end it.
//
// The agent does no input or output itself: its driver hands it the
// current time, the responses that arrived and the timer, and sends what
// the agent gives it. So every rule here can be followed step by step.
#pragma once

#include "sip/SipDigest.h"
#include "sip/SipMessage.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kite {
namespace sip {

struct Target {
    std::string host; // numeric IPv4 address
    uint16_t port = 5060;
    std::string Text() const { return host + ":" + std::to_string(port); }
};

struct AgentSettings {
    uint32_t expires = 3600;              // lifetime asked for, seconds
    uint32_t transactionTimeoutMs = 3000; // per address, then the next one
    uint32_t t1Ms = 500;                  // Timer E starts at T1 ...
    uint32_t t2Ms = 4000;                 // ... and doubles up to T2
    uint32_t retryFirstMs = 2000;         // first wait after a failed refresh
    uint32_t retryMaxMs = 60000;          // the back-off grows up to this
    uint32_t retries = 6;                 // failed refreshes retried before giving up
    std::string userAgent = "KiteClient/2.0";
};

struct AgentIdentity {
    std::string user; // UTF-8, as typed
    std::string password;
    std::string domain;          // the request URI and the address of record
    std::vector<Target> targets; // main, then backup
    std::string localHost;       // where the client's socket is
    uint16_t localPort = 0;
};

// What the agent tells its driver.
struct AgentReport {
    enum Kind {
        Registered,     // the first registration succeeded (code 0)
        Failed,         // registration ended: code, wasRegistered
        RefreshFailing, // a refresh failed; retry number `retry` in retryInMs
        Recovered,      // a retry succeeded
        Unregistered,   // Expires 0 answered (code 0) or given up (code)
    };
    Kind kind;
    int code = 0;
    uint32_t expires = 0; // granted, for Registered and Recovered
    bool wasRegistered = false;
    uint32_t retry = 0;
    uint32_t retryInMs = 0;
};

class AgentSink {
public:
    virtual ~AgentSink() {}
    // retransmission: the same datagram again (Timer E).
    virtual void Send(const Target& to, const std::string& datagram, bool retransmission) = 0;
    // A line for the exchange log about what the agent decided.
    virtual void Note(const std::string& line) = 0;
    virtual void Report(const AgentReport& report) = 0;
};

class RegistrationAgent {
public:
    enum class Phase { Idle, Registering, Registered, Retrying, Unregistering, Done };
    // Why a response was not taken.
    enum class Match { Taken, WrongCallId, WrongCSeq, WrongBranch };

    RegistrationAgent(const AgentIdentity& identity, const AgentSettings& settings,
                      AgentSink& sink);

    // Starts the registration. Without any address the failure (408) is
    // reported at the next timer, never from inside this call.
    void Start(uint64_t nowMs);
    // Ends the registration with Expires 0 when a binding may exist
    // (Unregistered is reported later); false when there is none, nothing
    // is sent and the agent is done.
    bool Stop(uint64_t nowMs);
    // Stops without a word to the registrar or the driver.
    void Abandon();

    // Whether response answers the transaction under way (nothing changes).
    Match Check(const Response& response) const;
    Match OnResponse(const Response& response, uint64_t nowMs);
    // The last send failed or the network refused it (ICMP): this address
    // does not answer.
    void OnTransportError(uint64_t nowMs);
    void OnTimer(uint64_t nowMs);
    // When OnTimer wants to run next; 0 when nothing waits.
    uint64_t Deadline() const;

    Phase GetPhase() const { return m_phase; }
    bool Finished() const { return m_phase == Phase::Done || m_phase == Phase::Idle; }
    uint32_t GrantedExpires() const { return m_granted; }
    uint32_t AskedExpires() const { return m_askExpires; }
    // The address the registration holds at (or last tried).
    const Target* Current() const;
    const std::string& CallId() const { return m_callId; }
    std::string ContactUri() const;
    const AgentIdentity& Identity() const { return m_id; }
    uint64_t RefreshAt() const { return m_refreshAt; }

private:
    struct Transaction {
        bool active = false;
        std::string branch;
        uint32_t cseq = 0;
        std::string bytes;
        uint64_t start = 0;
        uint64_t nextSend = 0;
        uint32_t interval = 0;
        bool provisional = false;
        unsigned sends = 0;
    };
    // One try to register, refresh or unregister: the transactions it
    // takes (challenge answers, 423 resends, the next address).
    struct Attempt {
        bool unregister = false;
        std::vector<size_t> order; // target indexes, in the order tried
        size_t pos = 0;
        bool answeredChallenge = false;
        unsigned staleAnswers = 0;
        unsigned intervalResends = 0;
        bool contactMoved = false;
        int lastFinal = 0; // a final answer on an earlier address (503)
    };

    void BeginAttempt(uint64_t now, bool unregister);
    void SendRequest(uint64_t now);
    void OnFinal(const Response& r, uint64_t now);
    bool AnswerChallenge(const Response& r, uint64_t now);
    void NextTargetOrFail(uint64_t now, int code);
    void AttemptFailed(int code, uint64_t now);
    // The registration is over: Failed with code.
    void Ended(int code, bool wasRegistered);
    void Succeeded(const Response& r, uint64_t now);
    void Unregistered(int code);
    uint32_t GrantedBy(const Response& r) const;
    uint32_t Random(uint32_t below);
    void Emit(AgentReport::Kind kind, int code);

    AgentIdentity m_id;
    AgentSettings m_set;
    AgentSink& m_sink;
    Phase m_phase = Phase::Idle;
    std::string m_callId;
    std::string m_fromTag;
    uint32_t m_cseq = 0;
    std::string m_contactHost;
    uint16_t m_contactPort = 0;
    std::string m_oldContact;
    uint32_t m_askExpires = 0;
    uint32_t m_granted = 0;
    size_t m_working = 0; // target of the last success
    bool m_hasChallenge = false;
    DigestChallenge m_challenge;
    unsigned m_nc = 0;
    Transaction m_txn;
    Attempt m_attempt;
    bool m_failPending = false;
    uint64_t m_failAt = 0;
    uint64_t m_refreshAt = 0;
    uint64_t m_retryAt = 0;
    uint32_t m_retries = 0;
};

const char* MatchName(RegistrationAgent::Match m);

} // namespace sip
} // namespace kite
