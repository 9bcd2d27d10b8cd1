// Shared fixture of the login panel tests (on PanelTest): logging in, and
// helpers that read the panel the way a user sees it.
#pragma once

#include "PanelTest.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

class LoginTest : public PanelTest {
protected:
    // Types an account and a password and presses the login button; the
    // panel is then in the logging-in state when the login sibling agrees.
    void StartLogin(const wchar_t* account, const wchar_t* password) {
        SetText(hPanel, IDC_LOGIN_ACCOUNT, account);
        SetText(hPanel, IDC_LOGIN_PASSWORD, password);
        Command(hPanel, IDC_LOGIN_BTN_LOGIN);
    }

    // Logs in and lets the host report success; the main window then
    // answers that the client is registered.
    void LogIn(const wchar_t* account, const wchar_t* password) {
        StartLogin(account, password);
        Panel()->OnRegResponse(0);
        Pump();
        siblings.main.registered = 1;
    }

    // What the language service answers for a key.
    std::wstring Lang(const wchar_t* section, const wchar_t* key) const {
        return siblings.lang.Text(section, key);
    }
};

// Sibling calls whose entries start with one of the prefixes, in order.
inline std::vector<std::wstring> CallsOf(std::initializer_list<const wchar_t*> prefixes) {
    std::vector<std::wstring> out;
    for (const std::wstring& e : Calls().Entries())
        for (const wchar_t* p : prefixes)
            if (e.compare(0, wcslen(p), p) == 0) {
                out.push_back(e);
                break;
            }
    return out;
}

// The main window's calls and the settings sibling's writes and list reads,
// leaving out the function configuration look-up that every state change
// ends with and the missed-call count (both belong to other actions).
inline std::vector<std::wstring> MainAndSettingsCalls() {
    std::vector<std::wstring> out;
    for (const std::wstring& e : CallsOf({L"Main.", L"Settings.", L"Login."}))
        if (e != L"Settings.GetCustomizeSet()")
            out.push_back(e);
    return out;
}

inline std::string Narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w)
        s += c < 128 ? static_cast<char>(c) : '?';
    return s;
}

inline std::string Join(const std::vector<std::wstring>& v) {
    std::string s;
    for (const auto& e : v)
        s += "  " + Narrow(e) + "\n";
    return s;
}

// Controls that must be visible, hidden, enabled or disabled.
inline ::testing::AssertionResult ControlsAre(HWND hDlg, std::initializer_list<int> visible,
                                              std::initializer_list<int> hidden,
                                              std::initializer_list<int> enabled = {},
                                              std::initializer_list<int> disabled = {}) {
    std::ostringstream bad;
    for (int id : visible)
        if (!Visible(hDlg, id))
            bad << " " << id << " should be visible;";
    for (int id : hidden)
        if (!Exists(hDlg, id) || Visible(hDlg, id))
            bad << " " << id << " should be hidden;";
    for (int id : enabled)
        if (!Enabled(hDlg, id))
            bad << " " << id << " should be enabled;";
    for (int id : disabled)
        if (!Exists(hDlg, id) || Enabled(hDlg, id))
            bad << " " << id << " should be disabled;";
    if (bad.str().empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << bad.str();
}

// The logged-out panel: login controls shown and usable, the strip, the
// advertising block and the logout button hidden.
inline ::testing::AssertionResult ShowsLoggedOut(HWND h) {
    auto r = ControlsAre(h,
                         {IDC_LOGIN_AUTOLOGIN, IDC_LOGIN_ACCOUNT, IDC_LOGIN_PASSWORD,
                          IDC_LOGIN_BTN_LOGIN, IDC_LOGIN_BTN_CLEAR, IDC_LOGIN_BTN_KEYBOARD,
                          IDC_LOGIN_LBL_ACCOUNT, IDC_LOGIN_LBL_PASSWORD, IDC_LOGIN_GROUP,
                          IDC_LOGIN_BTN_ADVANCED},
                         {IDC_LOGIN_BTN_LOGOUT, IDC_LOGIN_PANNEL, IDC_LOGIN_MARK1, IDC_LOGIN_MARK2,
                          IDC_LOGIN_BILL1, IDC_LOGIN_BILL2, IDC_LOGIN_PRODUCT},
                         {IDC_LOGIN_ACCOUNT, IDC_LOGIN_PASSWORD, IDC_LOGIN_BTN_LOGIN,
                          IDC_LOGIN_BTN_CLEAR, IDC_LOGIN_BTN_KEYBOARD, IDC_LOGIN_AUTOLOGIN});
    if (!r)
        return r;
    std::wstring status = Text(h, IDC_LOGIN_STATUS);
    if (status != L"Kite:IDS_UC_NOT_LOG")
        return ::testing::AssertionFailure() << "status text " << Narrow(status);
    std::wstring pic = ControlSkin(Item(h, IDC_LOGIN_PICTURE));
    std::wstring st = ControlSkin(Item(h, IDC_LOGIN_STATUS));
    if (pic != L"LogOut" || st != L"LogOutState")
        return ::testing::AssertionFailure() << "skins " << Narrow(pic) << "/" << Narrow(st);
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult ShowsLoggedIn(HWND h) {
    auto r = ControlsAre(h,
                         {IDC_LOGIN_BTN_LOGOUT, IDC_LOGIN_PANNEL, IDC_LOGIN_MARK1, IDC_LOGIN_MARK2,
                          IDC_LOGIN_BILL1, IDC_LOGIN_BILL2, IDC_LOGIN_PRODUCT},
                         {IDC_LOGIN_ACCOUNT, IDC_LOGIN_PASSWORD, IDC_LOGIN_BTN_LOGIN,
                          IDC_LOGIN_BTN_CLEAR, IDC_LOGIN_BTN_KEYBOARD, IDC_LOGIN_AUTOLOGIN,
                          IDC_LOGIN_LBL_ACCOUNT, IDC_LOGIN_LBL_PASSWORD, IDC_LOGIN_GROUP,
                          IDC_LOGIN_BTN_ADVANCED});
    if (!r)
        return r;
    std::wstring status = Text(h, IDC_LOGIN_STATUS);
    if (status != L"Kite:IDS_UC_LOG_SUCESS")
        return ::testing::AssertionFailure() << "status text " << Narrow(status);
    std::wstring pic = ControlSkin(Item(h, IDC_LOGIN_PICTURE));
    std::wstring st = ControlSkin(Item(h, IDC_LOGIN_STATUS));
    if (pic != L"LogIn" || st != L"LoginState")
        return ::testing::AssertionFailure() << "skins " << Narrow(pic) << "/" << Narrow(st);
    return ::testing::AssertionSuccess();
}

// Logging in: the input controls stay visible but cannot be used.
inline ::testing::AssertionResult ShowsLoggingIn(HWND h) {
    auto r = ControlsAre(
        h, {IDC_LOGIN_ACCOUNT, IDC_LOGIN_PASSWORD, IDC_LOGIN_BTN_LOGIN, IDC_LOGIN_AUTOLOGIN},
        {IDC_LOGIN_BTN_LOGOUT, IDC_LOGIN_BTN_ADVANCED, IDC_LOGIN_PANNEL, IDC_LOGIN_MARK1,
         IDC_LOGIN_MARK2, IDC_LOGIN_BILL1, IDC_LOGIN_BILL2, IDC_LOGIN_PRODUCT},
        {},
        {IDC_LOGIN_ACCOUNT, IDC_LOGIN_PASSWORD, IDC_LOGIN_BTN_LOGIN, IDC_LOGIN_BTN_CLEAR,
         IDC_LOGIN_BTN_KEYBOARD, IDC_LOGIN_AUTOLOGIN});
    if (!r)
        return r;
    std::wstring status = Text(h, IDC_LOGIN_STATUS);
    if (status != L"Kite:IDS_UC_LOGINING")
        return ::testing::AssertionFailure() << "status text " << Narrow(status);
    std::wstring pic = ControlSkin(Item(h, IDC_LOGIN_PICTURE));
    std::wstring st = ControlSkin(Item(h, IDC_LOGIN_STATUS));
    if (pic != L"Loging" || st != L"LoginState")
        return ::testing::AssertionFailure() << "skins " << Narrow(pic) << "/" << Narrow(st);
    return ::testing::AssertionSuccess();
}
