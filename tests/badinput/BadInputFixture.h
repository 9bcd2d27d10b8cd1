// Shared fixture of the bad-input tests: a fresh plug-in per test with
// every sibling present (tests take them away), recorded message boxes, a
// driver for modal dialogs, and readers of what a user or a sibling sees.
#pragma once

#include "Sandbox.h"
#include "PanelTest.h"
#include "resource.h"

#include <SkinMagicExU.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

class BadInput : public PanelTest {
protected:
    void SetUp() override {
        if (!InSandbox())
            GTEST_SKIP() << "runs in a host folder of its own, started by BadInputRun";
        PanelTest::SetUp();
        ServerInfo first, second;
        first.name = L"a";
        first.displayName = L"Server A";
        first.address = L"10.0.0.1";
        first.port = L"5060";
        second.name = L"b";
        second.displayName = L"Server B";
        second.address = L"10.0.0.2";
        second.port = L"5061";
        siblings.settings.servers = {first, second};
        siblings.settings.accounts = {L"alice", L"bob"};
    }
    void TearDown() override {
        if (InSandbox())
            PanelTest::TearDown();
    }

    std::wstring Status() const { return Text(hPanel, IDC_LOGIN_STATUS); }
};

// Every call by which a sibling keeps something: what the user did not
// confirm must never show up here.
inline std::vector<std::wstring> Stores() {
    std::vector<std::wstring> out;
    for (const std::wstring& e : Calls().Entries())
        for (const wchar_t* p : {L"Settings.Set", L"Settings.Save", L"Settings.Delete",
                                 L"Login.SaveRegUsers", L"Login.OnUserCleared"})
            if (e.compare(0, wcslen(p), p) == 0)
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

// The account box's edit field, where a user types.
inline HWND AccountEdit(HWND hPanel) {
    HWND hCombo = Item(hPanel, IDC_LOGIN_ACCOUNT);
    HWND hEdit = FindWindowExW(hCombo, nullptr, L"Edit", nullptr);
    return hEdit ? hEdit : hCombo;
}

// The advanced settings panel inside the login panel.
inline BOOL CALLBACK FindAdvancedPanel(HWND hWnd, LPARAM lParam) {
    if (GetDlgItem(hWnd, IDC_ADVANCED_BTN_SERVERSETTING)) {
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }
    return TRUE;
}
inline HWND AdvancedPanel(HWND hPanel) {
    HWND h = nullptr;
    EnumChildWindows(hPanel, &FindAdvancedPanel, reinterpret_cast<LPARAM>(&h));
    return h;
}

// The panel state as its state picture shows it: 0 logged in, 1 logged
// out, 2 logging in, -1 otherwise.
inline int PictureState(HWND hPanel) {
    const std::wstring skin = ControlSkin(Item(hPanel, IDC_LOGIN_PICTURE));
    if (skin == L"LogIn")
        return 0;
    if (skin == L"LogOut")
        return 1;
    if (skin == L"Loging")
        return 2;
    return -1;
}

inline const wchar_t* kLoggedOut = L"Kite:IDS_UC_NOT_LOG";
inline const wchar_t* kLoggingIn = L"Kite:IDS_UC_LOGINING";
inline const wchar_t* kLoggedIn = L"Kite:IDS_UC_LOG_SUCESS";
