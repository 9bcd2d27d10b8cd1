// Winsock first: the socket declarations must come before <windows.h>'s.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "sip/SipClient.h"

#include "sip/SipText.h"

#include "TextUtil.h"

#include <algorithm>

namespace kite {
namespace sip {

namespace {

const wchar_t kClass[] = L"KiteSipClient";
const UINT WM_SIP_SOCKET = WM_APP + 0x120;
const UINT WM_SIP_DELIVER = WM_APP + 0x121;
const UINT_PTR kTimerId = 1;
// Datagrams read from one socket in one go; more wait for the next turn.
const int kReadsPerTurn = 64;

uint64_t Now() {
    return ::GetTickCount64();
}

std::string AddressText(const sockaddr_in& a) {
    char host[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, const_cast<in_addr*>(&a.sin_addr), host, sizeof(host));
    return std::string(host) + ":" + std::to_string(ntohs(a.sin_port));
}

// A numeric IPv4 address for host (a name is looked up); empty when none.
std::string Resolve(const std::string& host) {
    addrinfo hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found)
        return std::string();
    std::string out;
    for (addrinfo* a = found; a && out.empty(); a = a->ai_next)
        if (a->ai_family == AF_INET)
            out = AddressText(*reinterpret_cast<sockaddr_in*>(a->ai_addr));
    ::freeaddrinfo(found);
    size_t colon = out.rfind(':');
    return colon == std::string::npos ? out : out.substr(0, colon);
}

sockaddr_in SockAddr(const std::string& host, uint16_t port) {
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    ::inet_pton(AF_INET, host.c_str(), &a.sin_addr);
    return a;
}

// The local address the system would send from towards target.
std::string LocalAddressTowards(const Target& target) {
    SOCKET probe = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (probe == INVALID_SOCKET)
        return "127.0.0.1";
    sockaddr_in to = SockAddr(target.host, target.port);
    std::string out = "127.0.0.1";
    sockaddr_in local = {};
    int len = sizeof(local);
    if (::connect(probe, reinterpret_cast<sockaddr*>(&to), sizeof(to)) == 0 &&
        ::getsockname(probe, reinterpret_cast<sockaddr*>(&local), &len) == 0 &&
        local.sin_addr.s_addr != 0) {
        out = AddressText(local);
        out = out.substr(0, out.rfind(':'));
    }
    ::closesocket(probe);
    return out;
}

} // namespace

struct SipClient::Entry : public AgentSink {
    SipClient* owner = nullptr;
    int id = 0;
    SOCKET sock = INVALID_SOCKET;
    std::string account; // for the log
    std::unique_ptr<RegistrationAgent> agent;
    bool transportError = false;
    bool finished = false;

    void Send(const Target& to, const std::string& datagram, bool retransmission) override {
        // A retransmission is one line of the agent's, not the request again.
        if (!retransmission)
            owner->m_log.Message(account, true, to.Text(), datagram);
        sockaddr_in a = SockAddr(to.host, to.port);
        if (sock == INVALID_SOCKET ||
            ::sendto(sock, datagram.data(), static_cast<int>(datagram.size()), 0,
                     reinterpret_cast<sockaddr*>(&a), sizeof(a)) == SOCKET_ERROR) {
            owner->m_log.Line(account, "send to " + to.Text() + " failed (" +
                                           std::to_string(::WSAGetLastError()) + ")");
            transportError = true;
        }
    }
    void Note(const std::string& line) override { owner->m_log.Line(account, line); }
    void Report(const AgentReport& report) override { owner->Queue(id, report); }
};

SipClient::SipClient(const std::wstring& logPath) : m_log(logPath), m_buffer(65536) {
    WSADATA data;
    m_wsa = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &SipClient::Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    ::RegisterClassW(&wc);
    m_hwnd = ::CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                               nullptr);
    ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

SipClient::~SipClient() {
    for (auto& e : m_entries)
        if (e.second->sock != INVALID_SOCKET)
            ::closesocket(e.second->sock);
    m_entries.clear();
    if (m_hwnd)
        ::DestroyWindow(m_hwnd);
    if (m_wsa)
        ::WSACleanup();
}

LRESULT CALLBACK SipClient::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<SipClient*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self) {
        switch (msg) {
        case WM_SIP_SOCKET:
            self->OnSocket(static_cast<UINT_PTR>(wParam));
            return 0;
        case WM_SIP_DELIVER:
            self->Deliver();
            return 0;
        case WM_TIMER:
            if (wParam == kTimerId) {
                self->OnTimer();
                return 0;
            }
            break;
        }
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

int SipClient::Register(const Account& account) {
    std::unique_ptr<Entry> e(new Entry);
    e->owner = this;
    e->id = m_nextId++;
    e->account = ToUtf8(account.account);

    AgentIdentity who;
    who.user = e->account;
    who.password = ToUtf8(account.password);
    who.domain = ToUtf8(account.domain);
    for (const auto& address : account.addresses) {
        std::string host = TrimWs(ToUtf8(address.first));
        std::string portText = TrimWs(ToUtf8(address.second));
        if (host.empty())
            continue;
        uint32_t port = 5060;
        if (!portText.empty() && (!ParseNumber(portText, port) || port == 0 || port > 65535)) {
            m_log.Line(e->account,
                       "registrar address " + host + ":" + portText + " left out: no port number");
            continue;
        }
        Target t;
        t.host = Resolve(host);
        t.port = static_cast<uint16_t>(port);
        if (t.host.empty()) {
            m_log.Line(e->account, "registrar address " + host + " left out: not found");
            continue;
        }
        who.targets.push_back(t);
    }
    if (who.domain.empty() && !who.targets.empty())
        who.domain = who.targets.front().host;

    who.localHost = who.targets.empty() ? "127.0.0.1" : LocalAddressTowards(who.targets.front());
    e->sock = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in local = SockAddr(who.localHost, 0);
    int len = sizeof(local);
    if (e->sock == INVALID_SOCKET ||
        ::bind(e->sock, reinterpret_cast<sockaddr*>(&local), sizeof(local)) == SOCKET_ERROR ||
        ::getsockname(e->sock, reinterpret_cast<sockaddr*>(&local), &len) == SOCKET_ERROR ||
        ::WSAAsyncSelect(e->sock, m_hwnd, WM_SIP_SOCKET, FD_READ) == SOCKET_ERROR) {
        m_log.Line(e->account, "no UDP socket (" + std::to_string(::WSAGetLastError()) + ")");
        if (e->sock != INVALID_SOCKET)
            ::closesocket(e->sock);
        e->sock = INVALID_SOCKET;
        who.targets.clear(); // nothing can be sent: reported as no answer
    }
    who.localPort = ntohs(local.sin_port);

    std::string to;
    for (const Target& t : who.targets)
        to += (to.empty() ? "" : ", then ") + t.Text();
    m_log.Line(e->account, "registering sip:" + EscapeUser(who.user) + "@" + who.domain + " from " +
                               who.localHost + ":" + std::to_string(who.localPort) + " at " +
                               (to.empty() ? std::string("no address") : to));
    e->agent.reset(new RegistrationAgent(who, m_settings, *e));
    Entry& ref = *e;
    int id = e->id;
    m_entries[id] = std::move(e);
    ref.agent->Start(Now());
    Settle(ref);
    ArmTimer();
    return id;
}

void SipClient::Unregister(int id) {
    auto it = m_entries.find(id);
    if (it == m_entries.end() || !it->second->agent->Stop(Now())) {
        if (it != m_entries.end())
            it->second->finished = true;
        AgentReport r;
        r.kind = AgentReport::Unregistered;
        Queue(id, r);
        Reap();
        return;
    }
    Settle(*it->second);
    Reap();
    ArmTimer();
}

void SipClient::Forget(int id) {
    auto it = m_entries.find(id);
    if (it == m_entries.end())
        return;
    it->second->agent->Abandon();
    it->second->finished = true;
    Reap();
    ArmTimer();
}

const RegistrationAgent* SipClient::Agent(int id) const {
    auto it = m_entries.find(id);
    return it == m_entries.end() ? nullptr : it->second->agent.get();
}

unsigned SipClient::DroppedTotal() const {
    unsigned n = 0;
    for (const auto& d : m_dropped)
        n += d.second;
    return n;
}

void SipClient::Queue(int id, const AgentReport& report) {
    m_queue.push_back(std::make_pair(id, report));
    if (!m_deliverPosted && m_hwnd) {
        m_deliverPosted = true;
        ::PostMessageW(m_hwnd, WM_SIP_DELIVER, 0, 0);
    }
}

void SipClient::Deliver() {
    m_deliverPosted = false;
    // One report at a time, taken off the queue before the listener runs:
    // the listener may open a modal box whose loop delivers the next ones.
    while (!m_queue.empty()) {
        std::pair<int, AgentReport> next = m_queue.front();
        m_queue.pop_front();
        if (m_listener)
            m_listener(next.first, next.second);
    }
}

void SipClient::Settle(Entry& e) {
    // A failed send moves the agent on (next address, or the failure); a
    // bounded number of times, as each takes one address away.
    for (int i = 0; i < 8 && e.transportError; ++i) {
        e.transportError = false;
        e.agent->OnTransportError(Now());
    }
    if (e.agent->Finished())
        e.finished = true;
}

void SipClient::Reap() {
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (it->second->finished) {
            if (it->second->sock != INVALID_SOCKET)
                ::closesocket(it->second->sock);
            it = m_entries.erase(it);
        } else {
            ++it;
        }
    }
}

void SipClient::ArmTimer() {
    uint64_t next = 0;
    for (const auto& e : m_entries) {
        uint64_t d = e.second->agent->Deadline();
        if (d && (!next || d < next))
            next = d;
    }
    if (!next) {
        ::KillTimer(m_hwnd, kTimerId);
        return;
    }
    uint64_t now = Now();
    UINT delay = next > now ? static_cast<UINT>(std::min<uint64_t>(next - now, 0x7FFFFFFF)) : 1;
    ::SetTimer(m_hwnd, kTimerId, std::max<UINT>(delay, 1), nullptr);
}

void SipClient::OnTimer() {
    ::KillTimer(m_hwnd, kTimerId);
    uint64_t now = Now();
    std::vector<int> ids;
    for (const auto& e : m_entries)
        ids.push_back(e.first);
    for (int id : ids) {
        auto it = m_entries.find(id);
        if (it == m_entries.end() || it->second->finished)
            continue;
        uint64_t d = it->second->agent->Deadline();
        if (d && d <= now) {
            it->second->agent->OnTimer(now);
            Settle(*it->second);
        }
    }
    Reap();
    ArmTimer();
}

void SipClient::OnSocket(UINT_PTR socket) {
    for (auto& e : m_entries)
        if (e.second->sock == static_cast<SOCKET>(socket) && !e.second->finished) {
            Drain(*e.second);
            break;
        }
    Reap();
    ArmTimer();
}

void SipClient::Drop(Entry& e, const std::string& reason, const std::string& what,
                     const std::string& peer) {
    unsigned n = ++m_dropped[reason];
    m_log.Line(e.account, "dropped a response (" + reason + ", " + std::to_string(n) +
                              " so far) from " + peer + ": " + what);
}

void SipClient::Drain(Entry& e) {
    for (int i = 0; i < kReadsPerTurn && e.sock != INVALID_SOCKET && !e.finished; ++i) {
        sockaddr_in from = {};
        int len = sizeof(from);
        int n = ::recvfrom(e.sock, m_buffer.data(), static_cast<int>(m_buffer.size()), 0,
                           reinterpret_cast<sockaddr*>(&from), &len);
        if (n == SOCKET_ERROR) {
            int err = ::WSAGetLastError();
            if (err == WSAEMSGSIZE) {
                Drop(e, ReadResultName(ReadResult::Oversized),
                     FirstLineForLog(m_buffer.data(), 100), AddressText(from));
                continue;
            }
            if (err == WSAECONNRESET) {
                // An ICMP "port unreachable" for the last request.
                e.agent->OnTransportError(Now());
                Settle(e);
                continue;
            }
            break; // WSAEWOULDBLOCK: nothing more to read
        }
        std::string peer = AddressText(from);
        Response r;
        ReadResult read = ReadResponse(m_buffer.data(), static_cast<size_t>(n), r);
        if (read != ReadResult::Ok) {
            Drop(e, ReadResultName(read), FirstLineForLog(m_buffer.data(), static_cast<size_t>(n)),
                 peer);
            continue;
        }
        RegistrationAgent::Match m = e.agent->Check(r);
        if (m != RegistrationAgent::Match::Taken) {
            Drop(e, MatchName(m), FirstLineForLog(m_buffer.data(), static_cast<size_t>(n)), peer);
            continue;
        }
        m_log.Message(e.account, false, peer, std::string(m_buffer.data(), static_cast<size_t>(n)));
        e.agent->OnResponse(r, Now());
        Settle(e);
    }
}

void SipClient::UnregisterAll(unsigned waitMs) {
    uint64_t now = Now();
    uint64_t end = now + waitMs;
    for (auto& e : m_entries)
        if (!e.second->agent->Stop(now))
            e.second->finished = true;
        else
            Settle(*e.second);
    Reap();
    while (!m_entries.empty() && (now = Now()) < end) {
        uint64_t next = end;
        fd_set readable;
        FD_ZERO(&readable);
        for (auto& e : m_entries) {
            uint64_t d = e.second->agent->Deadline();
            if (d && d < next)
                next = d;
            if (e.second->sock != INVALID_SOCKET && readable.fd_count < FD_SETSIZE)
                FD_SET(e.second->sock, &readable);
        }
        uint64_t wait = next > now ? next - now : 0;
        timeval tv = {static_cast<long>(wait / 1000), static_cast<long>((wait % 1000) * 1000)};
        if (readable.fd_count)
            ::select(0, &readable, nullptr, nullptr, &tv);
        else
            ::Sleep(static_cast<DWORD>(wait));
        // Every socket is read (a non-blocking read costs nothing), then
        // the timers that are due run.
        now = Now();
        for (auto& e : m_entries) {
            Drain(*e.second);
            uint64_t d = e.second->agent->Deadline();
            if (!e.second->finished && d && d <= now) {
                e.second->agent->OnTimer(now);
                Settle(*e.second);
            }
        }
        Reap();
    }
    for (auto& e : m_entries) {
        m_log.Line(e.second->account, "closing: no answer to the unregistration in time");
        e.second->agent->Abandon();
        e.second->finished = true;
    }
    Reap();
    ::KillTimer(m_hwnd, kTimerId);
    m_queue.clear();
}

uint16_t UnusedUdpPort(const char* host) {
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return 0;
    uint16_t port = 0;
    SOCKET s = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in a = SockAddr(host, 0);
    int len = sizeof(a);
    if (s != INVALID_SOCKET && ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof(a)) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    if (s != INVALID_SOCKET)
        ::closesocket(s);
    ::WSACleanup();
    return port;
}

} // namespace sip
} // namespace kite
