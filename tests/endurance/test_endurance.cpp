// Endurance: the panel through many login/logout cycles, every modal
// dialog opened and closed many times, and many language switches. After a
// warm-up, the process's windows, USER and GDI objects, private memory,
// handles, threads and the framework's window objects must stay within a
// small fixed bound of where they stood.
//
// The cycles run in a host folder of their own (no upgrade program beside
// the executable, a fresh trace log): every successful registration starts
// the upgrade program, and a thousand of them would be a thousand processes.
//
// Counts: ctest runs 200 login/logout cycles, 50 cycles of each modal dialog,
// 200 language switches and 20 reloads of the plug-in (about 45 s under Wine
// here); the full counts, 1,000 login/logout cycles, 500 cycles of each modal
// dialog, 200 language switches and 100 reloads, take four to five minutes:
//   SIGNDESK_ENDURANCE=full wine64 test_endurance.exe --gtest_filter=EnduranceRun.*
//
// Wine 8 reports neither GetGuiResources nor PrivateUsage nor the handle
// count (all 0); the private memory is then summed over VirtualQuery
// (committed private pages), the heaps are walked for the bytes in use and
// the handles are counted in the system's handle table.
#include "Figures.h"
#include "Sandbox.h"
#include "TestHost.h"
#include "resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// How many cycles

struct Plan {
    int logins;
    int dialogs; // of each modal dialog
    int languages;
    int reloads; // of the plug-in, with a panel each time
    bool full;
};

Plan ThePlan() {
    char buf[32] = {};
    GetEnvironmentVariableA("SIGNDESK_ENDURANCE", buf, sizeof(buf));
    if (std::string(buf) == "full")
        return {1000, 500, 200, 100, true};
    return {200, 50, 200, 20, false};
}

int WarmUp(int cycles) {
    return std::max(5, cycles / 10);
}

// ---------------------------------------------------------------------------
// Growth after warm-up

// Bounds of growth over the warm baseline, whatever the number of cycles.
const int kMaxWindowGrowth = 0;
const int kMaxAfxGrowth = 0;
const long kMaxGuiObjectGrowth = 8;
const long kMaxHandleGrowth = 16;
const long long kMaxPrivateGrowth = 1024 * 1024;
const long long kMaxHeapGrowth = 16 * 1024;

class GrowthWatch {
public:
    // reloads: the cycles load and unload the plug-in. Each load of a DLL
    // built with this toolchain leaves what its statically linked runtime
    // allocated and does not free at unload (the C++ runtime's emergency
    // exception pool, some 73 KiB of heap, and the thread library's record
    // of each thread that used thread-local data, 4 handles): memory and
    // handles are then reported, not bounded.
    explicit GrowthWatch(const char* name, bool reloads = false)
        : m_name(name), m_reloads(reloads) {}

    void Baseline() {
        Settle();
        m_base = TakeFigures();
        m_worst = m_base;
        m_start = Seconds();
    }

    // Takes a sample; false (with the reason) when a figure left its bound.
    ::testing::AssertionResult Sample(int cycle) {
        Settle();
        Figures f = TakeFigures();
        m_last = f;
        m_worst.windows = std::max(m_worst.windows, f.windows);
        m_worst.userObjects = std::max(m_worst.userObjects, f.userObjects);
        m_worst.gdiObjects = std::max(m_worst.gdiObjects, f.gdiObjects);
        m_worst.privateBytes = std::max(m_worst.privateBytes, f.privateBytes);
        m_worst.committedBytes = std::max(m_worst.committedBytes, f.committedBytes);
        m_worst.heapBytes = std::max(m_worst.heapBytes, f.heapBytes);
        m_worst.workingSetBytes = std::max(m_worst.workingSetBytes, f.workingSetBytes);
        m_worst.handles = std::max(m_worst.handles, f.handles);
        m_worst.tableHandles = std::max(m_worst.tableHandles, f.tableHandles);
        m_worst.threads = std::max(m_worst.threads, f.threads);
        m_worst.afxLive = std::max(m_worst.afxLive, f.afxLive);
        m_worst.afxTemp = std::max(m_worst.afxTemp, f.afxTemp);
        std::string bad;
        if (f.windows - m_base.windows > kMaxWindowGrowth)
            bad += " windows";
        if (f.afxLive - m_base.afxLive > kMaxAfxGrowth)
            bad += " live CWnd objects";
        if (f.afxTemp - m_base.afxTemp > kMaxAfxGrowth)
            bad += " temporary CWnd objects";
        if (f.userObjects - m_base.userObjects > kMaxGuiObjectGrowth)
            bad += " USER objects";
        if (f.gdiObjects - m_base.gdiObjects > kMaxGuiObjectGrowth)
            bad += " GDI objects";
        if (m_reloads) {
            f.handles = m_base.handles;
            f.tableHandles = m_base.tableHandles;
            f.privateBytes = m_base.privateBytes;
            f.committedBytes = m_base.committedBytes;
            f.heapBytes = m_base.heapBytes;
        }
        if (f.handles - m_base.handles > kMaxHandleGrowth)
            bad += " handles";
        if (f.tableHandles - m_base.tableHandles > kMaxHandleGrowth)
            bad += " handles in the system's table";
        if (f.threads > m_base.threads)
            bad += " threads";
        if (f.privateBytes - m_base.privateBytes > kMaxPrivateGrowth)
            bad += " private memory";
        if (f.committedBytes - m_base.committedBytes > kMaxPrivateGrowth)
            bad += " committed private memory";
        if (f.heapBytes - m_base.heapBytes > kMaxHeapGrowth)
            bad += " heap in use";
        if (bad.empty())
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << m_name << ": grew after " << cycle << " cycles:" << bad
               << "\n  warm:  " << Describe(m_base) << "\n  after: " << Describe(f);
    }

    void Report(int cycles) const {
        const double seconds = Seconds() - m_start;
        printf("[%s] %d cycles in %.1f s (%.2f ms a cycle)\n", m_name, cycles, seconds,
               cycles ? seconds * 1000.0 / cycles : 0.0);
        const Availability a = WhatIsReported(m_base);
        printf("[%s]   reported by this system: GetGuiResources %s, PrivateUsage %s, handle "
               "count %s\n",
               m_name, a.guiResources ? "yes" : "no (0)", a.privateUsage ? "yes" : "no (0)",
               a.handleCount ? "yes" : "no (0)");
        printf("[%s]   warm:  %s\n", m_name, Describe(m_base).c_str());
        printf("[%s]   end:   %s\n", m_name, Describe(m_last).c_str());
        printf("[%s]   worst: %s\n", m_name, Describe(m_worst).c_str());
        printf("[%s]   growth: windows %+d, USER %+ld, GDI %+ld, private %+.1f KiB, committed "
               "%+.1f KiB, heap %+.1f KiB, handles %+ld (table %+ld), threads %+d, CWnd live %+d "
               "temp %+d\n",
               m_name, m_last.windows - m_base.windows, m_last.userObjects - m_base.userObjects,
               m_last.gdiObjects - m_base.gdiObjects,
               static_cast<double>(m_last.privateBytes - m_base.privateBytes) / 1024.0,
               static_cast<double>(m_last.committedBytes - m_base.committedBytes) / 1024.0,
               static_cast<double>(m_last.heapBytes - m_base.heapBytes) / 1024.0,
               m_last.handles - m_base.handles, m_last.tableHandles - m_base.tableHandles,
               m_last.threads - m_base.threads, m_last.afxLive - m_base.afxLive,
               m_last.afxTemp - m_base.afxTemp);
        fflush(stdout);
    }

    const Figures& Base() const { return m_base; }

private:
    // Lets posted work and the upgrade launcher's worker threads finish.
    void Settle() {
        Pump();
        PumpUntil([this] { return TakeFigures().threads <= m_base.threads || !m_base.threads; },
                  5000);
        Pump();
    }

    const char* m_name;
    bool m_reloads;
    Figures m_base;
    Figures m_last;
    Figures m_worst;
    double m_start = 0;
};

// Samples are taken at five points after the warm-up, the last one at the end.
bool IsSamplePoint(int cycle, int cycles) {
    return cycle == cycles || (cycle % std::max(1, cycles / 5)) == 0;
}

// ---------------------------------------------------------------------------
// The panel with every sibling present

HWND AccountEdit(HWND hPanel) {
    HWND hCombo = Item(hPanel, IDC_LOGIN_ACCOUNT);
    HWND hEdit = FindWindowExW(hCombo, nullptr, L"Edit", nullptr);
    return hEdit ? hEdit : hCombo;
}

BOOL CALLBACK FindAdvanced(HWND hWnd, LPARAM lParam) {
    if (GetDlgItem(hWnd, IDC_ADVANCED_BTN_SERVERSETTING)) {
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindToolTip(HWND hWnd, LPARAM lParam) {
    wchar_t cls[64] = {};
    GetClassNameW(hWnd, cls, 64);
    if (lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0) {
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }
    return TRUE;
}

class Endurance : public ::testing::Test {
protected:
    void SetUp() override {
        if (!InSandbox())
            GTEST_SKIP() << "runs in a host folder of its own, started by EnduranceRun";
        Calls().Clear();
        MessageBoxes::Install();
        MessageBoxes::Clear();
        DialogDriver::Install();
        DialogDriver::Reset();
        ASSERT_TRUE(host.Load());
        siblings.RegisterAll();
        ServerInfo first, second;
        first.name = L"a";
        first.displayName = L"Server A";
        first.address = L"10.0.0.1";
        first.port = L"5060";
        second.name = L"b";
        second.displayName = L"Server B";
        second.address = L"10.0.0.2";
        second.port = L"5060";
        siblings.settings.servers = {first, second};
        siblings.settings.accounts = {L"alice", L"bob"};
        siblings.settings.customize = CustomizeSet();
        for (CString* flag : {&siblings.settings.customize.fixedAccountOn,
                              &siblings.settings.customize.hideRemovingUserInfo,
                              &siblings.settings.customize.refuseLogout,
                              &siblings.settings.customize.refuseAutoLogin})
            *flag = L"0";
        siblings.settings.customizeNull = false;
        siblings.main.adminPassword = L"Adm1n";
    }
    void TearDown() override {
        if (!InSandbox())
            return;
        EXPECT_FALSE(DialogDriver::WatchdogFired()) << "a dialog was left open";
        siblings.UnregisterAll();
        host.Unload();
        MessageBoxes::Clear();
        DialogDriver::Reset();
    }

    void CreatePanel() {
        hPanel = host.CreatePanel();
        ASSERT_NE(nullptr, hPanel);
    }

    // What the recording siblings keep would grow with the cycles: it is
    // dropped before each one.
    void ForgetRecords() {
        Calls().Clear();
        MessageBoxes::Clear();
        DialogDriver::Reset();
        siblings.lang.asked.clear();
    }

    // Warm-up cycles, the baseline, then the counted cycles with samples;
    // stops at the first cycle that does not do what it should.
    void Cycles(const char* name, int cycles,
                const std::function<::testing::AssertionResult(int)>& cycle, bool reloads = false) {
        GrowthWatch watch(name, reloads);
        for (int i = 0; i < WarmUp(cycles); ++i) {
            ForgetRecords();
            ASSERT_TRUE(cycle(i)) << name << ", warm-up cycle " << i;
        }
        watch.Baseline();
        for (int i = 1; i <= cycles; ++i) {
            ForgetRecords();
            ASSERT_TRUE(cycle(i)) << name << ", cycle " << i;
            if (IsSamplePoint(i, cycles)) {
                ASSERT_TRUE(watch.Sample(i));
            }
        }
        watch.Report(cycles);
    }

    PluginHost host;
    Siblings siblings;
    HWND hPanel = nullptr;
};

// One login and logout as the user and the host make them; the reason of
// the first thing that is not as it should be.
::testing::AssertionResult LoginLogoutCycle(Siblings& siblings, HWND hPanel, ISIGNDESK* pPanel,
                                            int cycle) {
    const wchar_t* account = cycle % 2 ? L"alice" : L"bob";
    SetText(hPanel, IDC_LOGIN_ACCOUNT, account);
    SetText(hPanel, IDC_LOGIN_PASSWORD, L"pw");
    if (!Click(hPanel, IDC_LOGIN_BTN_LOGIN))
        return ::testing::AssertionFailure() << "login button not usable";
    if (!Calls().Has(std::wstring(L"Login.StartLogin(") + account + L",pw,0)"))
        return ::testing::AssertionFailure() << "no StartLogin";
    if (Text(hPanel, IDC_LOGIN_STATUS) != L"Kite:IDS_UC_LOGINING")
        return ::testing::AssertionFailure() << "not logging in";

    pPanel->OnRegResponse(0);
    Pump();
    siblings.main.registered = 1;
    if (Text(hPanel, IDC_LOGIN_STATUS) != L"Kite:IDS_UC_LOG_SUCESS")
        return ::testing::AssertionFailure() << "not logged in";
    if (siblings.main.currentAccount != account)
        return ::testing::AssertionFailure() << "main window not told the account";

    MessageBoxes::Answer(IDOK);
    if (!Click(hPanel, IDC_LOGIN_BTN_LOGOUT))
        return ::testing::AssertionFailure() << "logout button not usable";
    if (MessageBoxes::Seen().size() != 1 || !Calls().Has(L"Login.StopLogin()"))
        return ::testing::AssertionFailure() << "logout not confirmed and requested";
    siblings.main.registered = 0;
    pPanel->OnDeRegResponse(0);
    Pump();
    if (Text(hPanel, IDC_LOGIN_STATUS) != L"Kite:IDS_UC_NOT_LOG" ||
        !Visible(hPanel, IDC_LOGIN_BTN_LOGIN) || !Enabled(hPanel, IDC_LOGIN_BTN_LOGIN))
        return ::testing::AssertionFailure() << "not logged out";
    if (Calls().Count(L"Main.NotifyDeregistered()") != 2)
        return ::testing::AssertionFailure() << "de-registration not reported twice";
    return ::testing::AssertionSuccess();
}

TEST_F(Endurance, LoginLogoutCycles) {
    CreatePanel();
    const Plan plan = ThePlan();
    Cycles("login/logout", plan.logins,
           [&](int i) { return LoginLogoutCycle(siblings, hPanel, host.Panel(), i); });
}

TEST_F(Endurance, LockDialogCycles) {
    CreatePanel();
    const Plan plan = ThePlan();
    auto cycle = [&](int i) -> ::testing::AssertionResult {
        bool seen = false;
        std::wstring account;
        const bool ok = i % 2 == 1;
        DialogDriver::OnNextDialog([&](HWND hDlg) {
            seen = true;
            account = Text(hDlg, IDC_LOCK_ACCOUNT);
            if (ok)
                SetText(hDlg, IDC_LOCK_PASSWORD, L"Adm1n");
            Click(hDlg, ok ? IDOK : IDCANCEL);
        });
        SetFocus(AccountEdit(hPanel));
        PressKey(AccountEdit(hPanel), 'P', true);
        if (!seen || DialogDriver::Pending() != 0)
            return ::testing::AssertionFailure() << "Ctrl+P opened no lock dialog";
        if (account != L"alice")
            return ::testing::AssertionFailure() << "lock dialog without the panel's account";
        if (Calls().Count(L"Main.ApplyCustomizeSet()") != (ok ? 1 : 0))
            return ::testing::AssertionFailure() << "configuration applied " << ok;
        return ::testing::AssertionSuccess();
    };
    Cycles("lock dialog", plan.dialogs, cycle);
}

TEST_F(Endurance, ServerAddressDialogCycles) {
    CreatePanel();
    const Plan plan = ThePlan();
    // The advanced panel folds out once and stays out.
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_ADVANCED));
    HWND hAdvanced = nullptr;
    EnumChildWindows(hPanel, &FindAdvanced, reinterpret_cast<LPARAM>(&hAdvanced));
    ASSERT_NE(nullptr, hAdvanced);
    ASSERT_TRUE(IsWindowVisible(hAdvanced));

    auto cycle = [&](int i) -> ::testing::AssertionResult {
        bool seen = false;
        std::wstring address;
        const bool ok = i % 2 == 1;
        DialogDriver::OnNextDialog([&](HWND hDlg) {
            seen = true;
            address = Text(hDlg, IDC_MODIFY_ADDRESS);
            Click(hDlg, ok ? IDOK : IDCANCEL);
        });
        if (!Click(hAdvanced, IDC_ADVANCED_BTN_SERVERSETTING))
            return ::testing::AssertionFailure() << "server settings button not usable";
        if (!seen || DialogDriver::Pending() != 0)
            return ::testing::AssertionFailure() << "no server address dialog";
        if (address != L"10.0.0.1")
            return ::testing::AssertionFailure() << "dialog not on the chosen server";
        if (Calls().Count(L"Settings.SetServer(0,Server A,10.0.0.1,5060,,)") != (ok ? 1 : 0))
            return ::testing::AssertionFailure() << "server stored " << ok;
        if (ComboItems(Item(hAdvanced, IDC_ADVANCED_SERVER)).size() != 2 ||
            ComboSel(Item(hAdvanced, IDC_ADVANCED_SERVER)) != 0)
            return ::testing::AssertionFailure() << "server list not as it was";
        return ::testing::AssertionSuccess();
    };
    Cycles("server address dialog", plan.dialogs, cycle);
}

void SelectRow(HWND hList, int row) {
    LVITEMW item = {};
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(hList, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
    Pump();
}

int Rows(HWND hList) {
    return static_cast<int>(SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0));
}

// Multi-user mode: the advanced button opens the registration list; each
// cycle adds an entry through the entry dialog, deletes it again and
// closes the list with Esc (which saves it).
TEST_F(Endurance, RegistrationDialogCycles) {
    siblings.login.multiUser = 1;
    RegInfo first;
    first.account = L"first";
    first.password = L"pw";
    first.address = L"10.0.0.1";
    first.port = L"5060";
    siblings.login.regUsers = {first};
    CreatePanel();
    const Plan plan = ThePlan();

    auto cycle = [&](int i) -> ::testing::AssertionResult {
        bool listSeen = false, entrySeen = false;
        int rowsAfterAdd = -1, rowsAfterDelete = -1;
        const std::wstring account = L"user" + std::to_wstring(i);
        DialogDriver::OnNextDialog([&](HWND hDlg) {
            listSeen = true;
            HWND hList = Item(hDlg, IDC_REGUSERS_LIST);
            DialogDriver::OnNextDialog([&](HWND hEntry) {
                entrySeen = true;
                SetText(hEntry, IDC_REGUSERSINFO_ACCOUNT, account);
                SetText(hEntry, IDC_REGUSERSINFO_ADDRESS, L"10.0.0.9");
                SetText(hEntry, IDC_REGUSERSINFO_PORT, L"5070");
                Click(hEntry, IDOK);
            });
            Click(hDlg, IDC_REGUSERS_BTN_ADD);
            rowsAfterAdd = Rows(hList);
            SelectRow(hList, 1);
            MessageBoxes::Answer(IDOK);
            Click(hDlg, IDC_REGUSERS_BTN_DEL);
            rowsAfterDelete = Rows(hList);
            SetFocus(hList);
            PressKey(hList, VK_ESCAPE);
        });
        if (!Click(hPanel, IDC_LOGIN_BTN_ADVANCED))
            return ::testing::AssertionFailure() << "advanced button not usable";
        if (!listSeen || !entrySeen || DialogDriver::Pending() != 0)
            return ::testing::AssertionFailure() << "list " << listSeen << " entry " << entrySeen;
        if (rowsAfterAdd != 2 || rowsAfterDelete != 1)
            return ::testing::AssertionFailure()
                   << "rows " << rowsAfterAdd << " after add, " << rowsAfterDelete;
        if (siblings.login.regUsers.size() != 1 || siblings.login.regUsers[0].account != L"first")
            return ::testing::AssertionFailure() << "list not as it was";
        if (Calls().Count(L"Login.SaveRegUsers()") != 1)
            return ::testing::AssertionFailure() << "list not saved once";
        return ::testing::AssertionSuccess();
    };
    Cycles("registration list and entry", plan.dialogs, cycle);
}

TEST_F(Endurance, LanguageSwitches) {
    CreatePanel();
    const Plan plan = ThePlan();
    HWND hAdvanced = nullptr;
    EnumChildWindows(hPanel, &FindAdvanced, reinterpret_cast<LPARAM>(&hAdvanced));
    ASSERT_NE(nullptr, hAdvanced);
    HWND hTip = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindToolTip, reinterpret_cast<LPARAM>(&hTip));
    ASSERT_NE(nullptr, hTip);
    const LRESULT tools = SendMessageW(hTip, TTM_GETTOOLCOUNT, 0, 0);
    ASSERT_EQ(2, tools);

    auto cycle = [&](int i) -> ::testing::AssertionResult {
        const std::wstring prefix = i % 2 ? L"ZH " : L"EN ";
        siblings.lang.prefix = prefix;
        host.Panel()->OnChangeLanguage();
        Pump();
        if (Text(hPanel, IDC_LOGIN_BTN_LOGIN) != prefix + L"Login:IDS_LOG_TITLE" ||
            Text(hPanel, IDC_LOGIN_STATUS) != prefix + L"Kite:IDS_UC_NOT_LOG" ||
            Text(hAdvanced, IDC_ADVANCED_BTN_SERVERSETTING) !=
                prefix + L"Login:IDC_BUTTON_SERVERSETTING")
            return ::testing::AssertionFailure() << "texts not switched";
        if (SendMessageW(hTip, TTM_GETTOOLCOUNT, 0, 0) != tools)
            return ::testing::AssertionFailure() << "tool tips added, not replaced";
        return ::testing::AssertionSuccess();
    };
    Cycles("language switch", plan.languages, cycle);
}

// The host unloads the plug-in and loads it again: the panel, its pop-ups
// and every window of the skinned strip go with it.
TEST_F(Endurance, PluginReloadCycles) {
    CreatePanel();
    const Plan plan = ThePlan();
    auto cycle = [&](int) -> ::testing::AssertionResult {
        siblings.lang.prefix = L"";
        host.Unload();
        if (!host.Load())
            return ::testing::AssertionFailure() << "the plug-in did not load again";
        hPanel = host.CreatePanel();
        if (!hPanel)
            return ::testing::AssertionFailure() << "no panel after the reload";
        if (Text(hPanel, IDC_LOGIN_STATUS) != L"Kite:IDS_UC_NOT_LOG" ||
            Text(hPanel, IDC_LOGIN_ACCOUNT) != L"alice")
            return ::testing::AssertionFailure() << "the new panel is not logged out";
        siblings.lang.prefix = L"ZH ";
        host.Panel()->OnChangeLanguage();
        Pump();
        if (Text(hPanel, IDC_LOGIN_BTN_LOGIN) != L"ZH Login:IDS_LOG_TITLE")
            return ::testing::AssertionFailure() << "the new panel does not switch languages";
        return ::testing::AssertionSuccess();
    };
    Cycles("plug-in reload", plan.reloads, cycle, true);
}

// ---------------------------------------------------------------------------
// The run that ctest starts

TEST(EnduranceRun, InItsOwnHostFolder) {
    if (InSandbox())
        GTEST_SKIP() << "already in the host folder";
    const Plan plan = ThePlan();
    printf("[endurance] %s counts: %d login/logout cycles, %d cycles of each modal dialog, %d "
           "language switches, %d reloads of the plug-in\n",
           plan.full ? "full" : "reduced", plan.logins, plan.dialogs, plan.languages, plan.reloads);
    Sandbox box(L"endurance");
    ASSERT_TRUE(box.Prepare());
    std::string output;
    const double start = Seconds();
    int code = box.Run(L"Endurance.*", plan.full ? 3600000 : 240000, &output);
    printf("%s", output.c_str());
    printf("[endurance] child ran %.1f s\n", Seconds() - start);
    fflush(stdout);
    EXPECT_EQ(0, code) << "the endurance run failed (or was stopped)";
    EXPECT_NE(std::string::npos, output.find("[  PASSED  ] 6 tests"));
}

} // namespace
