// The login logic sibling (IUIPLOGIN): hands registrations to the
// registrar and delivers its answers to the login panel later, on the
// user-interface thread, through ISIGNDESK::OnRegResponse and
// OnDeRegResponse. Keeps the multi-user registration list in a file.
#pragma once

#include "Component.h"
#include "Registrar.h"

#include "core/HostInterfaces.h"
#include "core/SIGNDESKInterface.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace kite {

class SettingsStore;

class LoginLogic : public Component<IUIPLOGIN> {
public:
    enum State { STATE_IDLE, STATE_REGISTERING, STATE_REGISTERED, STATE_DEREGISTERING };

    // One registration answered by the registrar, as the client shows it.
    struct Outcome {
        std::wstring account;
        int code;
    };

    LoginLogic(SettingsStore& settings, Registrar& registrar, const std::wstring& regUsersPath);
    ~LoginLogic() override;

    // Where the answers go: the plug-in's panel interface (looked up at
    // every answer, so that a reloaded plug-in gets them).
    void SetPanel(std::function<ISIGNDESK*()> panel) { m_panel = std::move(panel); }
    // Called after every answer has been delivered.
    void SetObserver(std::function<void()> observer) { m_observer = std::move(observer); }

    // IUIPLOGIN
    int StartLogin(CString& account, CString& password, int serverIndex) override;
    void StopLogin() override;
    void OnUserCleared() override;
    std::vector<RegInfo>* GetRegUsers() override;
    int IsMultiUser() override;
    void SaveRegUsers() override;
    int LoginRegUsers() override;

    State GetState() const { return m_state; }
    const std::wstring& Account() const { return m_account; }
    int ServerIndex() const { return m_serverIndex; }
    // Answers of the last registration (one per account in multi-user mode).
    const std::vector<Outcome>& Outcomes() const { return m_outcomes; }
    // Requests sent and not yet answered.
    int Pending() const { return static_cast<int>(m_tickets.size()); }
    // While held, answers that arrive wait and are delivered, in order, when
    // the hold is released (a state on its way can be looked at for as long
    // as needed).
    void HoldAnswers(bool hold);
    // Forgets every request on its way and the registration (the panel it
    // belonged to is gone).
    void Reset();
    // Reads the registration list file again.
    void ReloadRegUsers();
    const std::wstring& RegUsersPath() const { return m_regUsersPath; }

private:
    struct Ticket {
        bool deregister;
        std::wstring account;
        bool primary; // its answer goes to the panel
    };
    static LRESULT CALLBACK SinkProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void OnAnswer(WPARAM ticket, int code);
    WPARAM NewTicket(const Ticket& t);
    void CancelRegistrations();

    SettingsStore& m_settings;
    Registrar& m_registrar;
    std::wstring m_regUsersPath;
    std::vector<RegInfo> m_regUsers;
    std::function<ISIGNDESK*()> m_panel;
    std::function<void()> m_observer;
    HWND m_sink = nullptr;
    WPARAM m_nextTicket = 1;
    std::map<WPARAM, Ticket> m_tickets;
    State m_state = STATE_IDLE;
    std::wstring m_account;
    int m_serverIndex = -1;
    std::vector<Outcome> m_outcomes;
    bool m_hold = false;
    std::vector<std::pair<WPARAM, int>> m_held;
};

} // namespace kite
