// The request an advertising line hands the shell, field by field, seen
// through the panel's shell seam (the plug-in's code linked statically).
#include "DlgLogin.h"
#include "ShellOpen.h"
#include "TestHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ShellRequest {
    DWORD cbSize;
    ULONG fMask;
    HWND hwnd;
    bool verbNull, fileNull, parametersNull, directoryNull;
    std::wstring verb, file, parameters;
    int nShow;
    HINSTANCE hInstApp;
};

std::vector<ShellRequest>& Requests() {
    static std::vector<ShellRequest> r;
    return r;
}

std::wstring Copy(LPCWSTR s) {
    return s ? std::wstring(s) : std::wstring();
}

BOOL WINAPI RecordShellExecute(SHELLEXECUTEINFOW* p) {
    ShellRequest r;
    r.cbSize = p->cbSize;
    r.fMask = p->fMask;
    r.hwnd = p->hwnd;
    r.verbNull = p->lpVerb == nullptr;
    r.fileNull = p->lpFile == nullptr;
    r.parametersNull = p->lpParameters == nullptr;
    r.directoryNull = p->lpDirectory == nullptr;
    r.verb = Copy(p->lpVerb);
    r.file = Copy(p->lpFile);
    r.parameters = Copy(p->lpParameters);
    r.nShow = p->nShow;
    r.hInstApp = p->hInstApp;
    Requests().push_back(r);
    // What the real call would leave there; the panel must not care.
    p->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_FNF));
    return FALSE;
}

BillLink Link(const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
              const wchar_t* caption) {
    BillLink link;
    link.verb = verb;
    link.file = file;
    link.parameters = parameters;
    link.caption = caption;
    return link;
}

class OpenBillRequest : public ::testing::Test {
protected:
    void SetUp() override {
        Requests().clear();
        Calls().Clear();
        m_saved = g_pfnShellExecuteEx;
        g_pfnShellExecuteEx = &RecordShellExecute;
        siblings.RegisterAll();
    }
    void TearDown() override {
        g_pfnShellExecuteEx = m_saved;
        siblings.UnregisterAll();
    }
    Siblings siblings;
    CLoginDlg panel; // no window is needed to open a link
    PFN_SHELLEXECUTEEXW m_saved = nullptr;
};

TEST_F(OpenBillRequest, EachLineOpensItsOwnRecordWithExactlyTheseFields) {
    siblings.settings.links = {Link(L"open", L"http://ads.example/one", L"--from panel", L"One"),
                               Link(L"print", L"C:\\ads\\two.txt", L"", L"Two")};
    panel.OpenBill(0);
    panel.OpenBill(1);
    ASSERT_EQ(2u, Requests().size());

    const ShellRequest& first = Requests()[0];
    EXPECT_EQ(sizeof(SHELLEXECUTEINFOW), first.cbSize);
#ifndef _WIN64
    EXPECT_EQ(60u, first.cbSize);
#endif
    EXPECT_EQ(0u, first.fMask);
    EXPECT_EQ(nullptr, first.hwnd);
    EXPECT_EQ(L"open", first.verb);
    EXPECT_EQ(L"http://ads.example/one", first.file);
    EXPECT_EQ(L"--from panel", first.parameters);
    EXPECT_TRUE(first.directoryNull);
    EXPECT_EQ(SW_SHOWMAXIMIZED, first.nShow);
    EXPECT_EQ(3, first.nShow);
    EXPECT_EQ(nullptr, first.hInstApp);

    const ShellRequest& second = Requests()[1];
    EXPECT_EQ(L"print", second.verb);
    EXPECT_EQ(L"C:\\ads\\two.txt", second.file);
    EXPECT_FALSE(second.parametersNull) << "empty texts are passed as empty texts";
    EXPECT_EQ(L"", second.parameters);
    EXPECT_EQ(3, second.nShow);
    EXPECT_EQ(2, Calls().Count(L"Settings.GetBillLinks()"));
}

TEST_F(OpenBillRequest, AnIndexBeyondTheListOpensNothing) {
    siblings.settings.links = {Link(L"open", L"http://ads.example/one", L"", L"")};
    panel.OpenBill(1);
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(1, Calls().Count(L"Settings.GetBillLinks()"));
    panel.OpenBill(0);
    EXPECT_EQ(1u, Requests().size());
}

TEST_F(OpenBillRequest, NoListOrNoSettingsOpensNothing) {
    siblings.settings.links.clear();
    panel.OpenBill(0);
    siblings.settings.linksNull = true;
    panel.OpenBill(0);
    EXPECT_EQ(2, Calls().Count(L"Settings.GetBillLinks()"));
    siblings.settings.linksNull = false;
    siblings.settings.links = {Link(L"open", L"http://ads.example/one", L"", L"")};
    siblings.Remove(&siblings.settings);
    panel.OpenBill(0);
    EXPECT_TRUE(Requests().empty());
}

} // namespace
