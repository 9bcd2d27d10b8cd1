// Shared fixture of the login panel and language tests: logging in, and
// readers of the panel the way a user sees it.
#pragma once

#include "PanelTest.h"

#include <cstring>
#include <string>
#include <vector>

using Entries = std::vector<std::wstring>;
enum PanelState { kLoggedIn = 0, kLoggedOut = 1, kLogging = 2 };

class LoginTest : public PanelTest {
protected:
    void StartLogin(const wchar_t* account, const wchar_t* password) {
        SetText(hPanel, IDC_LOGIN_ACCOUNT, account);
        SetText(hPanel, IDC_LOGIN_PASSWORD, password);
        Command(hPanel, IDC_LOGIN_BTN_LOGIN);
    }
    // Logs in; the host reports success and then answers "registered".
    void LogIn(const wchar_t* account, const wchar_t* password) {
        StartLogin(account, password);
        Panel()->OnRegResponse(0);
        Pump();
        siblings.main.registered = 1;
    }
};

// Names the cases of a table-driven test by their name field.
struct CaseName {
    template <class C> std::string operator()(const ::testing::TestParamInfo<C>& info) const {
        return info.param.name;
    }
};

// Sibling calls starting with one of the prefixes (all without one), in
// order, without the configuration look-up that ends every state change.
inline Entries CallsOf(std::initializer_list<const wchar_t*> prefixes = {L""}) {
    Entries out;
    for (const std::wstring& e : Calls().Entries())
        for (const wchar_t* p : prefixes)
            if (e.compare(0, wcslen(p), p) == 0 && e != L"Settings.GetCustomizeSet()") {
                out.push_back(e);
                break;
            }
    return out;
}

inline bool operator==(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}
inline std::ostream& operator<<(std::ostream& os, const RECT& r) {
    return os << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}

// What each state (logged in, logged out, logging in) shows of a control: E visible
// and enabled, D visible and disabled, V visible, d disabled, - hidden, ? either.
const struct {
    int id;
    const char* states;
} kStateControls[] = {{IDC_LOGIN_ACCOUNT, "-ED"},     {IDC_LOGIN_PASSWORD, "-ED"},
                      {IDC_LOGIN_BTN_LOGIN, "-ED"},   {IDC_LOGIN_AUTOLOGIN, "-ED"},
                      {IDC_LOGIN_BTN_CLEAR, "-Ed"},   {IDC_LOGIN_BTN_KEYBOARD, "-Ed"},
                      {IDC_LOGIN_LBL_ACCOUNT, "-V?"}, {IDC_LOGIN_LBL_PASSWORD, "-V?"},
                      {IDC_LOGIN_GROUP, "-V?"},       {IDC_LOGIN_BTN_ADVANCED, "-V-"},
                      {IDC_LOGIN_BTN_LOGOUT, "V--"},  {IDC_LOGIN_PANNEL, "V--"},
                      {IDC_LOGIN_MARK1, "V--"},       {IDC_LOGIN_MARK2, "V--"},
                      {IDC_LOGIN_BILL1, "V--"},       {IDC_LOGIN_BILL2, "V--"},
                      {IDC_LOGIN_PRODUCT, "V--"}};

// The panel shows a state: its controls as above, the status text and the
// skins of the state picture and of the status text.
inline ::testing::AssertionResult Shows(HWND h, PanelState state) {
    const Entries texts[] = {{L"Kite:IDS_UC_LOG_SUCESS", L"LogIn", L"LoginState"},
                             {L"Kite:IDS_UC_NOT_LOG", L"LogOut", L"LogOutState"},
                             {L"Kite:IDS_UC_LOGINING", L"Loging", L"LoginState"}};
    std::wstring bad;
    for (const auto& c : kStateControls) {
        const char want = c.states[state];
        const bool shown = Visible(h, c.id), enabled = Enabled(h, c.id);
        if (!Exists(h, c.id) || (want == '-' && shown) || (strchr("EDV", want) && !shown) ||
            (want == 'E' && !enabled) || (strchr("Dd", want) && enabled))
            bad += std::to_wstring(c.id) + (shown ? L" shown" : L" hidden") +
                   (enabled ? L" enabled; " : L" disabled; ");
    }
    const Entries seen = {Text(h, IDC_LOGIN_STATUS), ControlSkin(Item(h, IDC_LOGIN_PICTURE)),
                          ControlSkin(Item(h, IDC_LOGIN_STATUS))};
    if (seen != texts[state])
        bad += L"status '" + seen[0] + L"', skins " + seen[1] + L"/" + seen[2];
    return bad.empty() ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << bad;
}
