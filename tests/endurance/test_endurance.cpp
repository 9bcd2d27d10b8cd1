// Endurance: login/logout cycles, open/close cycles of every modal dialog and
// language switches through the real plug-in, in a host folder of its own (no
// upgrade program for the registrations to start). After a warm-up the figures
// below must stay within a fixed bound. ctest runs 200 login/logout cycles, 50 of
// each dialog and 200 switches; the full counts (1,000, 500, 200) take minutes:
//   SIGNDESK_ENDURANCE=full wine test_endurance.exe     (i686 build)
//   SIGNDESK_ENDURANCE=full wine64 test_endurance.exe   (x86_64 build)
// Wine 8 reports no GetGuiResources (0; the report says so): the heap bytes in
// use and the framework's CWnd counts stand in for the objects.
#include "PanelTest.h"
#include "Sandbox.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

// The user-interface thread's windows; the process's figures.
const char* const kNames[] = {
    "windows",           "USER objects",      "GDI objects",           "committed private bytes",
    "heap bytes in use", "live CWnd objects", "temporary CWnd objects"};
const long long kBounds[] = {0, 8, 8, 1 << 20, 16 << 10, 0, 0};
using Figures = std::array<long long, 7>;

BOOL CALLBACK CountChild(HWND, LPARAM n) {
    return ++*reinterpret_cast<long long*>(n) > 0;
}
BOOL CALLBACK CountTopLevel(HWND hWnd, LPARAM n) {
    EnumChildWindows(hWnd, &CountChild, n);
    return CountChild(hWnd, n);
}

Figures Take() {
    Figures f = {};
    EnumThreadWindows(GetCurrentThreadId(), &CountTopLevel, reinterpret_cast<LPARAM>(&f[0]));
    f[1] = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    f[2] = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    MEMORY_BASIC_INFORMATION m;
    for (char* p = nullptr; VirtualQuery(p, &m, sizeof(m)); p = (char*)m.BaseAddress + m.RegionSize)
        if (m.State == MEM_COMMIT && m.Type == MEM_PRIVATE)
            f[3] += static_cast<long long>(m.RegionSize);
    HANDLE heaps[256];
    const DWORD nHeaps = std::min<DWORD>(GetProcessHeaps(256, heaps), 256);
    for (DWORD i = 0; i < nHeaps; ++i) {
        PROCESS_HEAP_ENTRY entry = {};
        if (!HeapLock(heaps[i]))
            continue;
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                f[4] += static_cast<long long>(entry.cbData);
        HeapUnlock(heaps[i]);
    }
    f[5] = AfxGetLiveWindowCount();
    f[6] = AfxGetTempWindowCount();
    return f;
}

const char* const kMode = std::getenv("SIGNDESK_ENDURANCE");
const bool kFull = kMode && std::string(kMode) == "full";
const int kLogins = kFull ? 1000 : 200, kDialogs = kFull ? 500 : 50, kSwitches = 200;

class Endurance : public PanelTest {
protected:
    void SetUp() override {
        if (!InSandbox())
            GTEST_SKIP() << "runs in a host folder of its own, started by EnduranceRun";
        PanelTest::SetUp();
        siblings.settings.accounts = {L"alice", L"bob"};
        siblings.settings.customizeNull = false;
        siblings.main.adminPassword = L"Adm1n";
    }
    void TearDown() override {
        if (InSandbox())
            PanelTest::TearDown();
    }

    // Warm-up cycles, the figures, then the counted cycles with five samples; a
    // cycle answers what it saw, and one that did not see expected stops the run.
    void Cycles(const char* name, int cycles, const std::wstring& expected,
                const std::function<std::wstring(int)>& cycle) {
        auto settled = [] { // the figures, once every worker thread ended
            EXPECT_TRUE(PumpUntil([] { return AfxGetRunningThreadCount() == 0; }))
                << "the upgrade launcher's worker threads do not end";
            Pump();
            return Take();
        };
        Figures base = {}, last = {};
        const DWORD start = GetTickCount();
        for (int i = -std::max(5, cycles / 10); i <= cycles; ++i) {
            Calls().Clear();
            MessageBoxes::Clear();
            DialogDriver::Reset();
            siblings.lang.asked.clear();
            if (i == 0)
                base = settled();
            else
                ASSERT_EQ(expected, cycle(i)) << name << ", cycle " << i;
            if (i <= 0 || (i % std::max(1, cycles / 5) != 0 && i != cycles))
                continue;
            last = settled();
            for (size_t k = 0; k < last.size(); ++k)
                ASSERT_LE(last[k] - base[k], kBounds[k])
                    << name << ": " << kNames[k] << " grew after " << i << " cycles";
        }
        printf("[%s] %d cycles after warm-up, %.1f s in all\n", name, cycles,
               (GetTickCount() - start) / 1000.0);
        for (size_t k = 0; k < last.size(); ++k)
            printf("[%s]   %s: warm %lld, end %lld (%+lld)%s\n", name, kNames[k], base[k], last[k],
                   last[k] - base[k], base[k] ? "" : " (not reported by this system)");
    }
};

TEST_F(Endurance, LoginDialogAndLanguageCycles) {
    ASSERT_NE(nullptr, CreatePanel());
    Cycles("login/logout", kLogins,
           L"Kite:IDS_UC_LOGINING|Kite:IDS_UC_LOG_SUCESS|1|2|Kite:IDS_UC_NOT_LOG", [&](int i) {
               const std::wstring account = i % 2 ? L"alice" : L"bob";
               SetText(hPanel, IDC_LOGIN_ACCOUNT, account);
               Click(hPanel, IDC_LOGIN_BTN_LOGIN);
               std::wstring seen = Text(hPanel, IDC_LOGIN_STATUS);
               Panel()->OnRegResponse(0);
               Pump();
               siblings.main.registered = 1;
               seen += L"|" + Text(hPanel, IDC_LOGIN_STATUS);
               Click(hPanel, IDC_LOGIN_BTN_LOGOUT); // the question answered with OK
               seen += L"|" + std::to_wstring(MessageBoxes::Seen().size());
               siblings.main.registered = 0;
               Panel()->OnDeRegResponse(0);
               Pump();
               seen += L"|" + std::to_wstring(Calls().Count(L"Main.NotifyDeregistered()"));
               if (!Calls().Has(L"Main.SetCurrentAccount(" + account + L")"))
                   seen += L"|the main window was not told the account";
               return seen + L"|" + Text(hPanel, IDC_LOGIN_STATUS);
           });
    // Ctrl+P opens the lock dialog with the panel's account; the configuration is applied
    // after OK only. The server address dialog opens on the advanced panel's server and
    // stores it after OK only.
    Cycles("lock dialog", kDialogs, L"alice|0", [&](int i) {
        std::wstring seen;
        DialogDriver::OnNextDialog([&](HWND hDlg) {
            seen = Text(hDlg, IDC_LOCK_ACCOUNT);
            SetText(hDlg, IDC_LOCK_PASSWORD, L"Adm1n");
            Click(hDlg, (i & 1) ? IDOK : IDCANCEL);
        });
        PressKey(Item(hPanel, IDC_LOGIN_ACCOUNT), 'P', true);
        return seen + L"|" + std::to_wstring(Calls().Count(L"Main.ApplyCustomizeSet()") - (i & 1));
    });

    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_ADVANCED));
    HWND hAdvanced = FindWindowExW(hPanel, nullptr, L"#32770", nullptr);
    while (hAdvanced && !GetDlgItem(hAdvanced, IDC_ADVANCED_BTN_SERVERSETTING))
        hAdvanced = FindWindowExW(hPanel, hAdvanced, L"#32770", nullptr);
    ASSERT_NE(nullptr, hAdvanced);
    Cycles("server address dialog", kDialogs, L"Server A|0|2|0", [&](int i) {
        std::wstring seen;
        DialogDriver::OnNextDialog([&](HWND hDlg) {
            seen = Text(hDlg, IDC_MODIFY_DISPLAYNAME);
            Click(hDlg, (i & 1) ? IDOK : IDCANCEL);
        });
        Click(hAdvanced, IDC_ADVANCED_BTN_SERVERSETTING);
        HWND hServers = Item(hAdvanced, IDC_ADVANCED_SERVER);
        return seen + L"|" +
               std::to_wstring(Calls().Count(L"Settings.SetServer(0,Server A,") - (i & 1)) + L"|" +
               std::to_wstring(ComboItems(hServers).size()) + L"|" +
               std::to_wstring(ComboSel(hServers));
    });

    Cycles("language switch", kSwitches, L"switched", [&](int i) {
        const std::wstring prefix = i % 2 ? L"ZH " : L"EN ";
        siblings.lang.prefix = prefix;
        Panel()->OnChangeLanguage();
        Pump();
        const bool switched =
            Text(hPanel, IDC_LOGIN_BTN_LOGIN) == prefix + L"Login:IDS_LOG_TITLE" &&
            Text(hPanel, IDC_LOGIN_STATUS) == prefix + L"Kite:IDS_UC_NOT_LOG";
        return switched ? L"switched" : L"not switched";
    });
}

// Multi-user mode: the advanced button opens the registration list; each
// cycle adds an entry through the entry dialog, deletes it again and closes
// the list with Esc, which saves it as it was.
TEST_F(Endurance, RegistrationDialogCycles) {
    siblings.login.multiUser = 1;
    RegInfo first;
    first.account = L"first";
    siblings.login.regUsers = {first};
    ASSERT_NE(nullptr, CreatePanel());
    Cycles("registration list and entry", kDialogs, L"2|1|2|1|first", [&](int i) {
        std::wstring seen;
        DialogDriver::OnNextDialog([&](HWND hDlg) {
            HWND hList = Item(hDlg, IDC_REGUSERS_LIST);
            DialogDriver::OnNextDialog([&](HWND hEntry) {
                SetText(hEntry, IDC_REGUSERSINFO_ACCOUNT, L"user" + std::to_wstring(i));
                SetText(hEntry, IDC_REGUSERSINFO_ADDRESS, L"127.0.0.9");
                SetText(hEntry, IDC_REGUSERSINFO_PORT, L"5070");
                Click(hEntry, IDOK);
            });
            Click(hDlg, IDC_REGUSERS_BTN_ADD);
            seen = std::to_wstring(SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0));
            LVITEMW item = {};
            item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageW(hList, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&item));
            Pump();
            Click(hDlg, IDC_REGUSERS_BTN_DEL); // confirmed with OK
            seen += L"|" + std::to_wstring(SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0));
            SetFocus(hList);
            PressKey(hList, VK_ESCAPE);
        });
        Click(hPanel, IDC_LOGIN_BTN_ADVANCED);
        seen += L"|" + std::to_wstring(DialogDriver::Opened().size()) + L"|" +
                std::to_wstring(Calls().Count(L"Login.SaveRegUsers()"));
        for (const RegInfo& entry : siblings.login.regUsers) // saved as it was
            seen += L"|" + Str(entry.account);
        return seen;
    });
}

// The run that ctest starts: the cycles above in a host folder of their own.
TEST(EnduranceRun, InItsOwnHostFolder) {
    if (InSandbox())
        GTEST_SKIP() << "already in the host folder";
    printf("[endurance] %s counts: %d login/logout cycles, %d of each modal dialog, %d language "
           "switches\n",
           kFull ? "full" : "reduced", kLogins, kDialogs, kSwitches);
    Sandbox box(L"endurance");
    ASSERT_TRUE(box.Prepare());
    std::string output;
    const int code = box.Run(L"Endurance.*", kFull ? 3600000 : 240000, &output);
    printf("%s", output.c_str());
    fflush(stdout);
    EXPECT_EQ(0, code) << "the endurance run failed (or was stopped)";
    EXPECT_NE(std::string::npos, output.find("[  PASSED  ] 2 tests"));
}

} // namespace
