#include "sip/RegistrationAgent.h"

#include "sip/SipText.h"

#include <algorithm>

namespace kite {
namespace sip {

namespace {

// A nonce reported stale again and again is not answered for ever.
const unsigned kMaxStaleAnswers = 3;
// 423 is followed at most this often in one attempt.
const unsigned kMaxIntervalResends = 2;

bool Retryable(int code) {
    // No answer, or the registrar in trouble: worth another try later.
    // Refusals (403, 404, a wrong password, ...) are not.
    return code == 408 || (code >= 500 && code <= 599);
}

} // namespace

const char* MatchName(RegistrationAgent::Match m) {
    switch (m) {
    case RegistrationAgent::Match::Taken:
        return "taken";
    case RegistrationAgent::Match::WrongCallId:
        return "wrong Call-ID";
    case RegistrationAgent::Match::WrongCSeq:
        return "wrong CSeq";
    case RegistrationAgent::Match::WrongBranch:
        return "wrong Via branch";
    }
    return "?";
}

RegistrationAgent::RegistrationAgent(const AgentIdentity& identity, const AgentSettings& settings,
                                     AgentSink& sink)
    : m_id(identity), m_set(settings), m_sink(sink) {
    m_callId = RandomHex(12) + "@" + (m_id.localHost.empty() ? "kite" : m_id.localHost);
    m_fromTag = RandomHex(6);
    m_contactHost = m_id.localHost;
    m_contactPort = m_id.localPort;
    m_askExpires = std::max<uint32_t>(m_set.expires, 1);
    if (m_set.t1Ms == 0)
        m_set.t1Ms = 500;
    m_set.t2Ms = std::max(m_set.t2Ms, m_set.t1Ms);
}

const Target* RegistrationAgent::Current() const {
    if (m_attempt.pos < m_attempt.order.size() &&
        m_attempt.order[m_attempt.pos] < m_id.targets.size())
        return &m_id.targets[m_attempt.order[m_attempt.pos]];
    return m_working < m_id.targets.size() ? &m_id.targets[m_working] : nullptr;
}

std::string RegistrationAgent::ContactUri() const {
    return "sip:" + EscapeUser(m_id.user) + "@" + m_contactHost + ":" +
           std::to_string(m_contactPort);
}

uint32_t RegistrationAgent::Random(uint32_t below) {
    if (below == 0)
        return 0;
    uint32_t v = 0;
    for (char c : RandomHex(4))
        v = v * 16 + static_cast<uint32_t>(c <= '9' ? c - '0' : c - 'a' + 10);
    return v % below;
}

void RegistrationAgent::Emit(AgentReport::Kind kind, int code) {
    AgentReport r;
    r.kind = kind;
    r.code = code;
    r.expires = m_granted;
    m_sink.Report(r);
}

void RegistrationAgent::Start(uint64_t now) {
    if (m_phase != Phase::Idle && m_phase != Phase::Done)
        return;
    m_phase = Phase::Registering;
    m_retries = 0;
    m_working = 0;
    BeginAttempt(now, false);
}

bool RegistrationAgent::Stop(uint64_t now) {
    switch (m_phase) {
    case Phase::Idle:
    case Phase::Done:
        m_phase = Phase::Done;
        return false;
    case Phase::Unregistering:
        return true;
    case Phase::Registering:
        // A 200 may be on its way: the binding is ended where it was asked for.
        if (m_attempt.pos < m_attempt.order.size())
            m_working = m_attempt.order[m_attempt.pos];
        if (m_id.targets.empty()) {
            m_txn.active = false;
            m_failPending = false;
            m_phase = Phase::Done;
            return false;
        }
        break;
    case Phase::Registered:
    case Phase::Retrying:
        break;
    }
    m_phase = Phase::Unregistering;
    m_refreshAt = 0;
    m_retryAt = 0;
    m_sink.Note("unregistering (Expires: 0)");
    BeginAttempt(now, true);
    return true;
}

void RegistrationAgent::Abandon() {
    m_txn.active = false;
    m_failPending = false;
    m_refreshAt = m_retryAt = 0;
    m_phase = Phase::Done;
}

void RegistrationAgent::BeginAttempt(uint64_t now, bool unregister) {
    m_attempt = Attempt();
    m_attempt.unregister = unregister;
    m_txn.active = false;
    if (unregister) {
        if (m_working < m_id.targets.size())
            m_attempt.order.push_back(m_working);
    } else {
        // The address that worked last comes first, then the others in order.
        if (m_working < m_id.targets.size())
            m_attempt.order.push_back(m_working);
        for (size_t i = 0; i < m_id.targets.size(); ++i)
            if (i != m_working)
                m_attempt.order.push_back(i);
    }
    if (m_attempt.order.empty()) {
        m_sink.Note("no registrar address to send to");
        m_failPending = true; // reported at the next timer, like a timeout
        m_failAt = now;
        return;
    }
    SendRequest(now);
}

void RegistrationAgent::SendRequest(uint64_t now) {
    const Target& to = m_id.targets[m_attempt.order[m_attempt.pos]];
    RegisterRequest r;
    r.requestUri = "sip:" + m_id.domain;
    r.viaHost = m_id.localHost;
    r.viaPort = m_id.localPort;
    r.branch = "z9hG4bK" + RandomHex(10); // RFC 3261 magic cookie, then unique
    r.aor = "sip:" + EscapeUser(m_id.user) + "@" + m_id.domain;
    r.fromTag = m_fromTag;
    r.callId = m_callId;
    r.cseq = ++m_cseq;
    r.contactUri = ContactUri();
    if (!m_oldContact.empty() && !m_attempt.unregister)
        r.removeContacts.push_back(m_oldContact);
    r.expires = m_attempt.unregister ? 0 : m_askExpires;
    r.userAgent = m_set.userAgent;
    if (m_hasChallenge) {
        r.authHeader = m_challenge.proxy ? "Proxy-Authorization" : "Authorization";
        r.authValue = AuthorizationValue(m_challenge, m_id.user, m_id.password, "REGISTER",
                                         r.requestUri, ++m_nc, RandomHex(8));
    }
    m_txn = Transaction();
    m_txn.active = true;
    m_txn.branch = r.branch;
    m_txn.cseq = r.cseq;
    m_txn.bytes = r.Serialize();
    m_txn.start = now;
    m_txn.interval = m_set.t1Ms;
    m_txn.nextSend = now + m_txn.interval;
    m_txn.sends = 1;
    m_sink.Send(to, m_txn.bytes, false);
}

RegistrationAgent::Match RegistrationAgent::Check(const Response& r) const {
    if (r.CallId() != m_callId)
        return Match::WrongCallId;
    CSeq cseq;
    if (!m_txn.active || !r.GetCSeq(cseq) || cseq.number != m_txn.cseq || cseq.method != "REGISTER")
        return Match::WrongCSeq;
    Via via;
    if (!r.TopVia(via) || via.branch != m_txn.branch)
        return Match::WrongBranch;
    return Match::Taken;
}

RegistrationAgent::Match RegistrationAgent::OnResponse(const Response& r, uint64_t now) {
    Match m = Check(r);
    if (m != Match::Taken)
        return m;
    if (r.code < 200) {
        // Someone is working on it: retransmit only every T2 from now on.
        m_txn.provisional = true;
        m_txn.interval = m_set.t2Ms;
        m_txn.nextSend = now + m_txn.interval;
        return Match::Taken;
    }
    m_txn.active = false;
    OnFinal(r, now);
    return Match::Taken;
}

void RegistrationAgent::OnTransportError(uint64_t now) {
    if (!m_txn.active)
        return;
    m_txn.active = false;
    m_sink.Note("the network refused the request to " + Current()->Text());
    NextTargetOrFail(now, 408);
}

void RegistrationAgent::OnTimer(uint64_t now) {
    if (m_failPending && now >= m_failAt) {
        m_failPending = false;
        AttemptFailed(408, now);
        return;
    }
    if (m_txn.active) {
        if (now >= m_txn.start + m_set.transactionTimeoutMs) {
            m_txn.active = false;
            m_sink.Note("no answer from " + Current()->Text() + " within " +
                        std::to_string(m_set.transactionTimeoutMs) + " ms (" +
                        std::to_string(m_txn.sends) + " sends)");
            NextTargetOrFail(now, 408);
        } else if (now >= m_txn.nextSend) {
            // Timer E: the same request again, the interval doubling up to T2.
            ++m_txn.sends;
            m_sink.Note("retransmission " + std::to_string(m_txn.sends - 1) + " to " +
                        Current()->Text());
            m_sink.Send(*Current(), m_txn.bytes, true);
            if (!m_txn.provisional)
                m_txn.interval = std::min(m_txn.interval * 2, m_set.t2Ms);
            m_txn.nextSend = now + m_txn.interval;
        }
        return;
    }
    if (m_phase == Phase::Registered && m_refreshAt && now >= m_refreshAt) {
        m_refreshAt = 0;
        BeginAttempt(now, false);
    } else if (m_phase == Phase::Retrying && m_retryAt && now >= m_retryAt) {
        m_retryAt = 0;
        m_sink.Note("retry " + std::to_string(m_retries) + " of the registration");
        BeginAttempt(now, false);
    }
}

uint64_t RegistrationAgent::Deadline() const {
    if (m_failPending)
        return std::max<uint64_t>(m_failAt, 1);
    if (m_txn.active)
        return std::min(m_txn.nextSend, m_txn.start + m_set.transactionTimeoutMs);
    if (m_phase == Phase::Registered)
        return m_refreshAt;
    if (m_phase == Phase::Retrying)
        return m_retryAt;
    return 0;
}

void RegistrationAgent::OnFinal(const Response& r, uint64_t now) {
    if (r.code >= 200 && r.code < 300) {
        Succeeded(r, now);
        return;
    }
    if (r.code == 401 || r.code == 407) {
        if (!AnswerChallenge(r, now))
            AttemptFailed(r.code, now);
        return;
    }
    if (r.code == 423 && !m_attempt.unregister) {
        uint32_t minExpires = 0;
        const std::string* v = r.Find("min-expires");
        if (v && ParseNumber(TrimWs(*v), minExpires) && minExpires > m_askExpires &&
            m_attempt.intervalResends < kMaxIntervalResends) {
            ++m_attempt.intervalResends;
            m_askExpires = minExpires;
            m_sink.Note("interval too brief: asking for Min-Expires " + std::to_string(minExpires) +
                        " s");
            SendRequest(now);
            return;
        }
    }
    if (r.code == 503 && !m_attempt.unregister) {
        NextTargetOrFail(now, 503);
        return;
    }
    AttemptFailed(r.code, now);
}

bool RegistrationAgent::AnswerChallenge(const Response& r, uint64_t now) {
    DigestChallenge c;
    bool usable = false;
    for (const Header& h : r.headers)
        if (h.name == (r.code == 407 ? "proxy-authenticate" : "www-authenticate") &&
            ParseChallenge(h.value, c)) {
            usable = true;
            break;
        }
    if (!usable) {
        m_sink.Note("no challenge this client can answer");
        return false;
    }
    c.proxy = r.code == 407;
    if (c.stale) {
        if (m_attempt.staleAnswers >= kMaxStaleAnswers)
            return false;
        ++m_attempt.staleAnswers;
        m_sink.Note("the nonce had expired (stale=true): answering with the new one");
    } else if (m_attempt.answeredChallenge) {
        // The registrar asks again although the answer was computed from
        // its own fresh nonce: the password is wrong. Stop at once.
        m_sink.Note("challenged again for the same credentials: wrong password");
        m_hasChallenge = false;
        AttemptFailed(403, now);
        return true;
    } else {
        m_attempt.answeredChallenge = true;
        m_sink.Note("challenge answered (realm \"" + c.realm + "\")");
    }
    m_challenge = c;
    m_hasChallenge = true;
    m_nc = 0;
    SendRequest(now);
    return true;
}

void RegistrationAgent::NextTargetOrFail(uint64_t now, int code) {
    if (code != 408)
        m_attempt.lastFinal = code;
    if (m_attempt.pos + 1 < m_attempt.order.size()) {
        ++m_attempt.pos;
        // Another server: its own nonces; the first challenge there is new.
        m_hasChallenge = false;
        m_attempt.answeredChallenge = false;
        m_attempt.staleAnswers = 0;
        m_sink.Note("trying " + Current()->Text());
        SendRequest(now);
        return;
    }
    AttemptFailed(m_attempt.lastFinal ? m_attempt.lastFinal : code, now);
}

void RegistrationAgent::AttemptFailed(int code, uint64_t now) {
    m_txn.active = false;
    if (m_attempt.unregister || m_phase == Phase::Unregistering) {
        Unregistered(code);
        return;
    }
    if (m_phase == Phase::Registering) {
        m_sink.Note("registration failed: " + std::to_string(code));
        Ended(code, false);
        return;
    }
    // A refresh or a retry failed while the registration was held.
    if (Retryable(code) && m_retries < m_set.retries) {
        ++m_retries;
        uint64_t wait = m_set.retryFirstMs;
        for (uint32_t i = 1; i < m_retries && wait < m_set.retryMaxMs; ++i)
            wait *= 2;
        wait = std::min<uint64_t>(wait, m_set.retryMaxMs);
        // 90-100 %: still growing, but agents that lost the same registrar
        // do not all come back at the same moment.
        wait -= Random(static_cast<uint32_t>(wait / 10) + 1);
        m_retryAt = now + wait;
        m_phase = Phase::Retrying;
        m_sink.Note("refresh failed (" + std::to_string(code) + "): retry " +
                    std::to_string(m_retries) + " of " + std::to_string(m_set.retries) + " in " +
                    std::to_string(wait) + " ms");
        AgentReport rep;
        rep.kind = AgentReport::RefreshFailing;
        rep.code = code;
        rep.retry = m_retries;
        rep.retryInMs = static_cast<uint32_t>(wait);
        m_sink.Report(rep);
        return;
    }
    m_sink.Note("registration lost: " + std::to_string(code));
    Ended(code, true);
}

void RegistrationAgent::Ended(int code, bool wasRegistered) {
    m_phase = Phase::Done;
    m_hasChallenge = false;
    AgentReport rep;
    rep.kind = AgentReport::Failed;
    rep.code = code;
    rep.wasRegistered = wasRegistered;
    m_sink.Report(rep);
}

uint32_t RegistrationAgent::GrantedBy(const Response& r) const {
    // The expires of our own contact in the 200 first (the registrar lists
    // every binding of the address of record), then the Expires header.
    std::string mine = UriKey(ContactUri());
    for (const std::string& value : r.All("contact")) {
        ContactValue c;
        if (ParseContact(value, c) && c.hasExpires && c.expires > 0 && UriKey(c.uri) == mine)
            return c.expires;
    }
    uint32_t e = 0;
    if (const std::string* v = r.Find("expires"))
        if (ParseNumber(TrimWs(*v), e) && e > 0)
            return e;
    return m_askExpires;
}

void RegistrationAgent::Succeeded(const Response& r, uint64_t now) {
    if (m_attempt.unregister) {
        Unregistered(0);
        return;
    }
    // rport/received (RFC 3581): the registrar saw the request come from
    // another address than the Contact says (a NAT on the way). Register
    // the address it saw, once per attempt, and drop the old contact.
    Via via;
    if (r.TopVia(via) && !m_attempt.contactMoved) {
        std::string host = via.received.empty() ? m_contactHost : via.received;
        uint16_t port = via.rport ? via.rport : m_contactPort;
        if (host != m_contactHost || port != m_contactPort) {
            m_attempt.contactMoved = true;
            m_oldContact = ContactUri();
            m_contactHost = host;
            m_contactPort = port;
            m_sink.Note("the registrar sees this client at " + host + ":" + std::to_string(port) +
                        ": registering that contact");
            SendRequest(now);
            return;
        }
    }
    m_oldContact.clear();
    m_granted = GrantedBy(r);
    m_working = m_attempt.order[m_attempt.pos];
    // Refresh at 85-90 % of the granted lifetime.
    uint64_t lifetime = static_cast<uint64_t>(m_granted) * 1000;
    uint64_t wait = lifetime * 9 / 10 - Random(static_cast<uint32_t>(lifetime / 20) + 1);
    m_refreshAt = now + std::max<uint64_t>(wait, 500);
    Phase before = m_phase;
    m_phase = Phase::Registered;
    m_retries = 0;
    m_sink.Note("registered at " + Current()->Text() + " for " + std::to_string(m_granted) +
                " s; refresh in " + std::to_string(m_refreshAt - now) + " ms");
    if (before == Phase::Registering)
        Emit(AgentReport::Registered, 0);
    else if (before == Phase::Retrying)
        Emit(AgentReport::Recovered, 0);
}

void RegistrationAgent::Unregistered(int code) {
    m_txn.active = false;
    m_phase = Phase::Done;
    m_sink.Note(code == 0
                    ? "unregistered"
                    : "unregistration ended without an answer (" + std::to_string(code) + ")");
    Emit(AgentReport::Unregistered, code);
}

} // namespace sip
} // namespace kite
