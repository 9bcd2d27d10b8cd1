// The login logic sibling (IUIPLOGIN): turns the panel's logins into SIP
// registrations (sip::SipClient) and delivers their results to the login
// panel later, on the user-interface thread, through
// ISIGNDESK::OnRegResponse and OnDeRegResponse. Keeps the multi-user
// registration list in a file, its passwords protected.
//
// What the panel is told:
//   - a login's result: 0 when registered, otherwise the registrar's final
//     code, 408 when no address of the server answered in time, 403 when
//     the registrar challenged the answer to its own challenge again;
//   - nothing while a refresh fails and is retried: the client's status
//     bar shows it (Binding::failing);
//   - when the retries are used up, or the registrar refuses a refresh,
//     the registration is lost: the main window leaves its registered
//     state (SetOnLost) and the panel gets the code as after a failed
//     login, which keeps its saved password and automatic login;
//   - a logout's OnDeRegResponse(0) once the Expires 0 exchange is over.
#pragma once

#include "Component.h"

#include "sip/SipClient.h"

#include "core/HostInterfaces.h"
#include "core/SIGNDESKInterface.h"

#include <functional>
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
    // One account's registration while it lasts.
    struct Binding {
        int id = 0;
        std::wstring account;
        std::wstring domain;
        bool primary = false; // its results go to the panel
        bool answered = false;
        bool registered = false;
        bool failing = false; // a refresh failed; retried
        unsigned retry = 0;
        int lastCode = 0;
        std::wstring host; // the registrar address it is registered at
        std::wstring port;
        unsigned expires = 0;
        bool ending = false; // Expires 0 under way
        bool silent = false; // its end is told to nobody
    };

    LoginLogic(SettingsStore& settings, sip::SipClient& sip, const std::wstring& regUsersPath);
    ~LoginLogic() override;

    // Where the answers go: the plug-in's panel interface (looked up at
    // every answer, so that a reloaded plug-in gets them).
    void SetPanel(std::function<ISIGNDESK*()> panel) { m_panel = std::move(panel); }
    // Called after every answer has been delivered.
    void SetObserver(std::function<void()> observer) { m_observer = std::move(observer); }
    // Called when a registration that was held is lost for good, before the
    // panel is told.
    void SetOnLost(std::function<void()> onLost) { m_onLost = std::move(onLost); }

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
    // Answers of the last login (one per account in multi-user mode).
    const std::vector<Outcome>& Outcomes() const { return m_outcomes; }
    // Registrations of the last login not answered yet.
    int Pending() const;
    const std::vector<Binding>& Bindings() const { return m_bindings; }
    // The registration whose results the panel gets; null when none.
    const Binding* Primary() const;
    // Accounts the last login registered, and how many of them hold now.
    int LoginCount() const { return m_loginCount; }
    int HoldingCount() const;
    // While held, answers that arrive wait and are delivered, in order, when
    // the hold is released (a state on its way can be looked at for as long
    // as needed).
    void HoldAnswers(bool hold);
    // Ends every registration without telling the panel (the panel it
    // belonged to is gone).
    void Reset();
    // The client closes: every registration ends with Expires 0; waits for
    // the answers at most waitMs.
    void Close(unsigned waitMs);
    // Reads the registration list file again.
    void ReloadRegUsers();
    const std::wstring& RegUsersPath() const { return m_regUsersPath; }

private:
    static LRESULT CALLBACK SinkProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void OnReport(int id, const sip::AgentReport& report);
    Binding* Find(int id);
    void Erase(int id);
    // Every registration ends, told to nobody.
    void EndAllSilently();
    int AddBinding(const sip::SipClient::Account& account, bool primary);
    void Deregistered();
    void Notify();

    SettingsStore& m_settings;
    sip::SipClient& m_sip;
    std::wstring m_regUsersPath;
    std::vector<RegInfo> m_regUsers;
    std::function<ISIGNDESK*()> m_panel;
    std::function<void()> m_observer;
    std::function<void()> m_onLost;
    HWND m_sink = nullptr;
    std::vector<Binding> m_bindings;
    State m_state = STATE_IDLE;
    std::wstring m_account;
    int m_serverIndex = -1;
    int m_loginCount = 0;
    std::vector<Outcome> m_outcomes;
    bool m_hold = false;
    std::vector<std::pair<int, sip::AgentReport>> m_held;
};

} // namespace kite
