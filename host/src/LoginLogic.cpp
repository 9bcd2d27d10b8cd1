#include "LoginLogic.h"

#include "IniDoc.h"
#include "SettingsStore.h"
#include "TextUtil.h"

#include <iterator>

namespace kite {

namespace {
const wchar_t kSinkClass[] = L"KiteLoginLogicSink";
const UINT WM_REGISTRAR_ANSWER = WM_APP + 0x101;
} // namespace

LoginLogic::LoginLogic(SettingsStore& settings, Registrar& registrar,
                       const std::wstring& regUsersPath)
    : Component<IUIPLOGIN>(IID_IUIPLOGIN), m_settings(settings), m_registrar(registrar),
      m_regUsersPath(regUsersPath) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &LoginLogic::SinkProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kSinkClass;
    ::RegisterClassW(&wc);
    m_sink = ::CreateWindowExW(0, kSinkClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               wc.hInstance, nullptr);
    ::SetWindowLongPtrW(m_sink, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ReloadRegUsers();
}

LoginLogic::~LoginLogic() {
    // Answers still on their way find no window and are dropped.
    if (m_sink)
        ::DestroyWindow(m_sink);
}

LRESULT CALLBACK LoginLogic::SinkProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_REGISTRAR_ANSWER) {
        auto* self = reinterpret_cast<LoginLogic*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
        if (self)
            self->OnAnswer(wParam, static_cast<int>(lParam));
        return 0;
    }
    return ::DefWindowProcW(hWnd, msg, wParam, lParam);
}

WPARAM LoginLogic::NewTicket(const Ticket& t) {
    WPARAM id = m_nextTicket++;
    m_tickets[id] = t;
    return id;
}

void LoginLogic::CancelRegistrations() {
    for (auto it = m_tickets.begin(); it != m_tickets.end();)
        it = it->second.deregister ? std::next(it) : m_tickets.erase(it);
}

int LoginLogic::StartLogin(CString& account, CString& password, int serverIndex) {
    CancelRegistrations();
    m_outcomes.clear();
    m_account = Str(account);
    m_serverIndex = serverIndex;
    RegistrationRequest req;
    req.account = Str(account);
    req.password = Str(password);
    req.serverReachable = m_settings.IsServerReachable(serverIndex);
    m_state = STATE_REGISTERING;
    m_registrar.Submit(m_sink, WM_REGISTRAR_ANSWER, NewTicket(Ticket{false, req.account, true}),
                       req);
    return 0;
}

void LoginLogic::StopLogin() {
    CancelRegistrations();
    m_state = STATE_DEREGISTERING;
    m_registrar.SubmitDeregistration(m_sink, WM_REGISTRAR_ANSWER,
                                     NewTicket(Ticket{true, m_account, true}));
}

void LoginLogic::Reset() {
    m_held.clear();
    m_tickets.clear();
    m_outcomes.clear();
    m_state = STATE_IDLE;
    m_account.clear();
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
        doc.Set(s, L"Password", Str(r.password));
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
    for (size_t i = 0;; ++i) {
        std::wstring s = L"Entry" + std::to_wstring(i + 1);
        if (!doc.HasSection(s))
            break;
        RegInfo r;
        r.account = CStr(doc.Get(s, L"Account"));
        r.password = CStr(doc.Get(s, L"Password"));
        r.address = CStr(doc.Get(s, L"Address"));
        r.port = CStr(doc.Get(s, L"Port"));
        r.imsDomain = CStr(doc.Get(s, L"ImsDomain"));
        r.flag = doc.GetInt(s, L"Flag", 1);
        r.extra = CStr(doc.Get(s, L"Extra"));
        m_regUsers.push_back(r);
    }
}

int LoginLogic::LoginRegUsers() {
    if (m_regUsers.empty())
        return 0;
    CancelRegistrations();
    m_outcomes.clear();
    m_account = Str(m_regUsers.front().account);
    m_state = STATE_REGISTERING;
    for (size_t i = 0; i < m_regUsers.size(); ++i) {
        const RegInfo& r = m_regUsers[i];
        RegistrationRequest req;
        req.account = Str(r.account);
        req.password = Str(r.password);
        // Each entry names its own server; the registrar answers at the
        // addresses of the reachable servers of the list.
        int server = m_settings.FindServerByAddress(Str(r.address));
        req.serverReachable = m_settings.IsServerReachable(server);
        m_registrar.Submit(m_sink, WM_REGISTRAR_ANSWER,
                           NewTicket(Ticket{false, req.account, i == 0}), req);
    }
    return 1;
}

void LoginLogic::HoldAnswers(bool hold) {
    m_hold = hold;
    if (hold)
        return;
    std::vector<std::pair<WPARAM, int>> held;
    held.swap(m_held);
    for (const auto& answer : held)
        OnAnswer(answer.first, answer.second);
}

void LoginLogic::OnAnswer(WPARAM id, int code) {
    if (m_hold) {
        m_held.emplace_back(id, code);
        return;
    }
    auto it = m_tickets.find(id);
    if (it == m_tickets.end())
        return; // cancelled by a later login or a logout
    Ticket t = it->second;
    m_tickets.erase(it);
    ISIGNDESK* panel = m_panel ? m_panel() : nullptr;
    if (t.deregister) {
        m_state = STATE_IDLE;
        if (panel)
            panel->OnDeRegResponse(code);
    } else {
        m_outcomes.push_back(Outcome{t.account, code});
        if (t.primary) {
            m_state = code == REG_OK ? STATE_REGISTERED : STATE_IDLE;
            if (panel)
                panel->OnRegResponse(code);
        }
    }
    if (m_observer)
        m_observer();
}

} // namespace kite
