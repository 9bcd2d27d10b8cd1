// The real plug-in's panel in a host folder of its own: the cases skip
// themselves unless RunInSandbox started them there.
#pragma once

#include "PanelTest.h"
#include "Sandbox.h"

#include <cstdio>

class SandboxPanelTest : public PanelTest {
protected:
    void SetUp() override {
        if (!InSandbox())
            GTEST_SKIP() << "runs in a host folder of its own";
        PanelTest::SetUp();
    }
    void TearDown() override {
        if (InSandbox())
            PanelTest::TearDown();
    }
    std::wstring Status() const { return Text(hPanel, IDC_LOGIN_STATUS); }
    // The state picture's skin: "LogIn", "LogOut" or "Loging".
    std::wstring Picture() const { return ControlSkin(Item(hPanel, IDC_LOGIN_PICTURE)); }
    // Types an account and a password and clicks the login button.
    void StartLogin(const std::wstring& account, const std::wstring& password = L"pw") {
        SetText(hPanel, IDC_LOGIN_ACCOUNT, account);
        SetText(hPanel, IDC_LOGIN_PASSWORD, password);
        ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGIN));
    }
    // Success, a confirmed logout, its de-registration and a language switch.
    void LogInOutAndSwitchLanguage(const std::wstring& language) {
        siblings.lang.prefix.clear();
        Panel()->OnRegResponse(0);
        Pump();
        siblings.main.registered = 1;
        EXPECT_EQ(L"LogIn", Picture());
        EXPECT_EQ(L"Kite:IDS_UC_LOG_SUCESS", Status());
        MessageBoxes::Answer(IDOK);
        ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGOUT));
        siblings.main.registered = 0;
        Panel()->OnDeRegResponse(0);
        siblings.lang.prefix = language;
        Panel()->OnChangeLanguage();
        Pump();
        EXPECT_EQ(L"LogOut", Picture());
        EXPECT_EQ(language + L"Login:IDS_LOG_TITLE", Text(hPanel, IDC_LOGIN_BTN_LOGIN));
        EXPECT_EQ(language + L"Kite:IDS_UC_NOT_LOG", Status());
    }
};

// Runs the cases that filter selects in a sandbox, with extra files of the
// output folder, and expects that many tests to pass.
inline void RunInSandbox(const std::wstring& name, const std::wstring& filter, int tests,
                         const std::vector<std::wstring>& extraFiles = {}) {
    if (InSandbox())
        GTEST_SKIP() << "already in a host folder of its own";
    Sandbox box(name);
    ASSERT_TRUE(box.Prepare(extraFiles));
    std::string output;
    const int code = box.Run(filter, 120000, &output);
    printf("%s", output.c_str());
    EXPECT_EQ(0, code) << "the run failed, crashed or hung";
    const std::string passed = "[  PASSED  ] " + std::to_string(tests) + " test";
    EXPECT_NE(std::string::npos, output.find(passed)) << passed;
}
