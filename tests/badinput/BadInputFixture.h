// The bad-input cases: the real plug-in's panel in a host folder of its own
// (BadInputRun starts them there), with two stored accounts.
#pragma once

#include "SandboxPanel.h"

class BadInput : public SandboxPanelTest {
protected:
    void SetUp() override {
        // The run under a Chinese locale must really have its code page.
        char acp[8] = {};
        GetEnvironmentVariableA("SIGNDESK_EXPECT_ACP", acp, sizeof(acp));
        ASSERT_TRUE(!acp[0] || static_cast<UINT>(atoi(acp)) == GetACP()) << GetACP();
        SandboxPanelTest::SetUp();
        siblings.settings.accounts = {L"alice", L"bob"};
    }
};

// The calls by which a sibling keeps something.
inline std::vector<std::wstring> Stores() {
    std::vector<std::wstring> out;
    for (const std::wstring& e : Calls().Entries())
        for (const wchar_t* p : {L"Settings.Set", L"Settings.Save", L"Settings.Delete",
                                 L"Login.SaveRegUsers", L"Login.OnUserCleared"})
            if (e.compare(0, wcslen(p), p) == 0)
                out.push_back(e);
    return out;
}
