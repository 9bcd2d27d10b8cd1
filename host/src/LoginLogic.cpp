#include "LoginLogic.h"

#include "IniDoc.h"
#include "ProtectedText.h"
#include "SettingsStore.h"
#include "TextUtil.h"

#include <algorithm>

namespace kite {

namespace {
const wchar_t kSinkClass[] = L"KiteLoginLogicSink";
// A logout with nothing to unregister is answered through the message loop.
const UINT WM_DEREGISTERED = WM_APP + 0x101;
} // namespace

LoginLogic::LoginLogic(SettingsStore& settings, sip::SipClient& sip,
                       const std::wstring& regUsersPath)
    : Component<IUIPLOGIN>(IID_IUIPLOGIN), m_settings(settings), m_sip(sip),
      m_regUsersPath(regUsersPath) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &LoginLogic::SinkProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kSinkClass;
    ::RegisterClassW(&wc);
    m_sink = ::CreateWindowExW(0, kSinkClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               wc.hInstance, nullptr);
    ::SetWindowLongPtrW(m_sink, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_sip.SetListener([this](int id, const sip::AgentReport& r) { OnReport(id, r); });
    ReloadRegUsers();
}

LoginLogic::~LoginLogic() {
    m_sip.SetListener(nullptr);
    if (m_sink)
        ::DestroyWindow(m_sink);
}

LRESULT CALLBACK LoginLogic::SinkProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DEREGISTERED) {
        auto* self = reinterpret_cast<LoginLogic*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
        if (self && self->m_state == STATE_DEREGISTERING)
            self->Deregistered();
        return 0;
    }
    return ::DefWindowProcW(hWnd, msg, wParam, lParam);
}

LoginLogic::Binding* LoginLogic::Find(int id) {
    for (Binding& b : m_bindings)
        if (b.id == id)
            return &b;
    return nullptr;
}

const LoginLogic::Binding* LoginLogic::Primary() const {
    for (const Binding& b : m_bindings)
        if (b.primary && !b.ending)
            return &b;
    return nullptr;
}

void LoginLogic::Erase(int id) {
    m_bindings.erase(std::remove_if(m_bindings.begin(), m_bindings.end(),
                                    [id](const Binding& b) { return b.id == id; }),
                     m_bindings.end());
}

int LoginLogic::Pending() const {
    int n = 0;
    for (const Binding& b : m_bindings)
        n += (!b.answered && !b.ending) ? 1 : 0;
    return n;
}

int LoginLogic::HoldingCount() const {
    int n = 0;
    for (const Binding& b : m_bindings)
        n += (b.registered && !b.failing && !b.ending) ? 1 : 0;
    return n;
}

void LoginLogic::EndAllSilently() {
    std::vector<int> ids;
    for (Binding& b : m_bindings)
        if (!b.ending) {
            b.ending = true;
            b.silent = true;
            ids.push_back(b.id);
        }
    for (int id : ids)
        m_sip.Unregister(id);
}

int LoginLogic::AddBinding(const sip::SipClient::Account& account, bool primary) {
    Binding b;
    b.account = account.account;
    b.domain = account.domain;
    b.primary = primary;
    b.id = m_sip.Register(account);
    m_bindings.push_back(b);
    return b.id;
}

int LoginLogic::StartLogin(CString& account, CString& password, int serverIndex) {
    EndAllSilently();
    m_held.clear();
    m_outcomes.clear();
    m_account = Str(account);
    m_serverIndex = serverIndex;
    sip::SipClient::Account a;
    a.account = Str(account);
    a.password = Str(password);
    std::vector<ServerInfo>* servers = m_settings.GetServerList();
    if (servers && serverIndex >= 0 && serverIndex < static_cast<int>(servers->size())) {
        const ServerInfo& s = (*servers)[static_cast<size_t>(serverIndex)];
        a.addresses.push_back({Str(s.address), Str(s.port)});
        a.addresses.push_back({Str(s.backupAddress), Str(s.backupPort)});
        a.domain = m_settings.ServerDomain(serverIndex);
    }
    // Without a server the request still goes its way: no address answers
    // (408), which the panel shows.
    m_state = STATE_REGISTERING;
    m_loginCount = 1;
    AddBinding(a, true);
    return 0;
}

void LoginLogic::StopLogin() {
    m_held.clear();
    m_state = STATE_DEREGISTERING;
    std::vector<int> ids;
    for (Binding& b : m_bindings)
        if (!b.ending) {
            b.ending = true;
            ids.push_back(b.id);
        }
    for (int id : ids)
        m_sip.Unregister(id);
    if (ids.empty())
        ::PostMessageW(m_sink, WM_DEREGISTERED, 0, 0);
}

void LoginLogic::Reset() {
    m_held.clear();
    EndAllSilently();
    m_outcomes.clear();
    m_state = STATE_IDLE;
    m_account.clear();
    m_loginCount = 0;
}

void LoginLogic::Close(unsigned waitMs) {
    m_held.clear();
    m_sip.UnregisterAll(waitMs);
    m_bindings.clear();
    m_state = STATE_IDLE;
}

void LoginLogic::OnUserCleared() {
    // The user asked to forget the account: nothing of it stays here.
    if (m_state == STATE_IDLE)
        m_account.clear();
    m_outcomes.clear();
}

std::vector<RegInfo>* LoginLogic::GetRegUsers() {
    return &m_regUsers;
}

int LoginLogic::IsMultiUser() {
    return m_settings.IsMultiUser() ? 1 : 0;
}

void LoginLogic::SaveRegUsers() {
    IniDoc doc;
    doc.SetHeader(L"; Kite multi-user registration list, one section per account.\n");
    for (size_t i = 0; i < m_regUsers.size(); ++i) {
        const RegInfo& r = m_regUsers[i];
        std::wstring s = L"Entry" + std::to_wstring(i + 1);
        doc.Set(s, L"Account", Str(r.account));
        doc.Set(s, L"Password", ProtectText(Str(r.password)));
        doc.Set(s, L"Address", Str(r.address));
        doc.Set(s, L"Port", Str(r.port));
        doc.Set(s, L"ImsDomain", Str(r.imsDomain));
        doc.Set(s, L"Flag", std::to_wstring(r.flag));
        doc.Set(s, L"Extra", Str(r.extra));
    }
    doc.Save(m_regUsersPath);
}

void LoginLogic::ReloadRegUsers() {
    m_regUsers.clear();
    IniDoc doc;
    doc.Load(m_regUsersPath);
    bool plainSeen = false;
    for (size_t i = 0;; ++i) {
        std::wstring s = L"Entry" + std::to_wstring(i + 1);
        if (!doc.HasSection(s))
            break;
        RegInfo r;
        bool plain = false;
        r.account = CStr(doc.Get(s, L"Account"));
        r.password = CStr(UnprotectText(doc.Get(s, L"Password"), &plain));
        r.address = CStr(doc.Get(s, L"Address"));
        r.port = CStr(doc.Get(s, L"Port"));
        r.imsDomain = CStr(doc.Get(s, L"ImsDomain"));
        r.flag = doc.GetInt(s, L"Flag", 1);
        r.extra = CStr(doc.Get(s, L"Extra"));
        m_regUsers.push_back(r);
        plainSeen = plainSeen || plain;
    }
    // A list an older client wrote with plain passwords is read this once.
    if (plainSeen)
        SaveRegUsers();
}

int LoginLogic::LoginRegUsers() {
    if (m_regUsers.empty())
        return 0;
    EndAllSilently();
    m_held.clear();
    m_outcomes.clear();
    m_account = Str(m_regUsers.front().account);
    m_state = STATE_REGISTERING;
    m_loginCount = static_cast<int>(m_regUsers.size());
    for (size_t i = 0; i < m_regUsers.size(); ++i) {
        // Each entry registers at its own address, port and domain.
        const RegInfo& r = m_regUsers[i];
        sip::SipClient::Account a;
        a.account = Str(r.account);
        a.password = Str(r.password);
        a.domain = Str(r.imsDomain);
        a.addresses.push_back({Str(r.address), Str(r.port)});
        AddBinding(a, i == 0);
    }
    return 1;
}

void LoginLogic::HoldAnswers(bool hold) {
    m_hold = hold;
    if (hold)
        return;
    std::vector<std::pair<int, sip::AgentReport>> held;
    held.swap(m_held);
    for (const auto& answer : held)
        OnReport(answer.first, answer.second);
}

void LoginLogic::Deregistered() {
    m_state = STATE_IDLE;
    if (ISIGNDESK* panel = m_panel ? m_panel() : nullptr)
        panel->OnDeRegResponse(0);
}

void LoginLogic::Notify() {
    if (m_observer)
        m_observer();
}

void LoginLogic::OnReport(int id, const sip::AgentReport& r) {
    if (m_hold) {
        m_held.emplace_back(id, r);
        return;
    }
    Binding* b = Find(id);
    if (!b)
        return; // ended and forgotten
    ISIGNDESK* panel = m_panel ? m_panel() : nullptr;
    const bool primary = b->primary;
    switch (r.kind) {
    case sip::AgentReport::Registered: {
        b->answered = true;
        b->registered = true;
        b->expires = r.expires;
        if (const sip::RegistrationAgent* agent = m_sip.Agent(id))
            if (const sip::Target* at = agent->Current()) {
                b->host = FromUtf8(at->host);
                b->port = std::to_wstring(at->port);
            }
        m_outcomes.push_back(Outcome{b->account, 0});
        if (primary) {
            m_state = STATE_REGISTERED;
            if (panel)
                panel->OnRegResponse(0);
        }
        break;
    }
    case sip::AgentReport::Failed: {
        std::wstring account = b->account;
        bool wasAnswered = b->answered;
        Erase(id);
        if (!wasAnswered) {
            m_outcomes.push_back(Outcome{account, r.code});
        } else {
            for (Outcome& o : m_outcomes)
                if (o.account == account)
                    o.code = r.code;
        }
        if (primary) {
            // The client is registered as long as the panel's account is:
            // the other accounts of the list end with it.
            EndAllSilently();
            m_state = STATE_IDLE;
            if (r.wasRegistered && m_onLost)
                m_onLost();
            if (panel)
                panel->OnRegResponse(r.code);
        }
        break;
    }
    case sip::AgentReport::RefreshFailing:
        b->failing = true;
        b->retry = r.retry;
        b->lastCode = r.code;
        break;
    case sip::AgentReport::Recovered:
        b->failing = false;
        b->retry = 0;
        b->expires = r.expires;
        break;
    case sip::AgentReport::Unregistered: {
        bool told = !b->silent;
        Erase(id);
        if (told && m_state == STATE_DEREGISTERING) {
            bool more = false;
            for (const Binding& other : m_bindings)
                more = more || (other.ending && !other.silent);
            if (!more)
                Deregistered();
        }
        break;
    }
    }
    Notify();
}

} // namespace kite
