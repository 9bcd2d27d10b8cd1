// Speed of the login panel as the host meets it, under the recording
// siblings of the test host:
//
//   creation  LoadLibrary("SIGNDESK.dll") + SIGNDESK_XSCInitialize +
//             SIGNDESK_XSCQueryInterface + ISIGNDESK::Create + Move; then,
//             apart, the messages queued meanwhile (the first painting)
//   floor     what Win32 alone needs for the windows Create makes: the
//             panel's three dialog templates (login, advanced settings, soft
//             keyboard) from SIGNDESK.dll's resources with an empty dialog
//             procedure, and a tool tip, in a top-level page like the
//             host's. Timed in the same rounds as the creation, alternately
//             before and after it, so that both see the same machine; the
//             creation's Create + Move over the floor is the panel's cost
//   login     a click on the login button (BM_CLICK) until the login
//             sibling's StartLogin is entered; the button's notification
//             alone (BN_CLICKED) until then, which is the plug-in's own part;
//             and the click until it returns, the logging-in state applied
//
// Each is run 50 times (a fresh plug-in for every creation); the median,
// the fastest and the slowest run are printed. Not a test: run it by hand
// (scripts/bench.sh).
//
//   bench_panel [runs]
#include "TestHost.h"
#include "res/resource.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Stats {
    double median, min, max;
};

Stats Summarise(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    const size_t n = ms.size();
    const double median = n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2.0;
    return {median, ms.front(), ms.back()};
}

// The panel's creation may cost this much more than Win32 alone.
const double kFloorRatioTarget = 1.3;

void PrintRow(const char* what, const std::vector<double>& ms, double target) {
    const Stats s = Summarise(ms);
    printf("  %-50s %8.3f ms  (%.3f .. %.3f)", what, s.median, s.min, s.max);
    if (target > 0)
        printf("  target < %.0f ms: %s", target, s.median < target ? "met" : "MISSED");
    printf("\n");
}

// The login sibling, timing the moment its StartLogin is entered.
class TimedLogin : public FakeLogin {
public:
    double enteredAt = 0;
    int StartLogin(CString& account, CString& password, int serverIndex) override {
        enteredAt = Now();
        return FakeLogin::StartLogin(account, password, serverIndex);
    }
};

std::string WineVersion() {
    typedef const char*(CDECL * GetVersion)();
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    GetVersion get = ntdll ? reinterpret_cast<GetVersion>(reinterpret_cast<void (*)()>(
                                 GetProcAddress(ntdll, "wine_get_version")))
                           : nullptr;
    return get ? std::string("Wine ") + get() : std::string("Windows (not Wine)");
}

std::string CpuName() {
    wchar_t name[256] = {};
    DWORD size = sizeof(name);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                     L"ProcessorNameString", RRF_RT_REG_SZ, nullptr, name, &size) != ERROR_SUCCESS)
        return "unknown CPU";
    char narrow[256] = {};
    WideCharToMultiByte(CP_UTF8, 0, name, -1, narrow, sizeof(narrow) - 1, nullptr, nullptr);
    return narrow;
}

void Register(Siblings& siblings, TimedLogin& login) {
    siblings.RegisterAll();
    siblings.Remove(&siblings.login);
    UIRegisterComponent(IID_IUIPLOGIN, &login);
    ServerInfo a, b;
    a.displayName = L"Server A";
    b.displayName = L"Server B";
    siblings.settings.servers = {a, b};
    siblings.settings.accounts = {L"alice", L"bob"};
}

INT_PTR CALLBACK EmptyDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// A top-level page like the host's main window, for the floor's windows.
HWND CreateFloorPage() {
    RECT rc = {40, 40, 400, 520};
    HWND hPage = CreateWindowExW(0, HostFrameClass(), L"SIGNDESK bench floor",
                                 WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, rc.left,
                                 rc.top, rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    Pump();
    return hPage;
}

// The floor once: the panel's templates and a tool tip made and timed,
// then destroyed (not timed). Returns milliseconds, or -1 on failure.
double FloorCreation() {
    HMODULE hDll = LoadLibraryW(L"SIGNDESK.dll");
    HWND hPage = CreateFloorPage();
    if (!hDll || !hPage)
        return -1;
    const double t0 = Now();
    HWND hLogin = CreateDialogParamW(hDll, MAKEINTRESOURCEW(IDD_LOGIN), hPage, &EmptyDialogProc, 0);
    HWND hKeyboard = hLogin ? CreateDialogParamW(hDll, MAKEINTRESOURCEW(IDD_KEYBOARD), hLogin,
                                                 &EmptyDialogProc, 0)
                            : nullptr;
    HWND hAdvanced = hLogin ? CreateDialogParamW(hDll, MAKEINTRESOURCEW(IDD_ADVANCED), hLogin,
                                                 &EmptyDialogProc, 0)
                            : nullptr;
    HWND hTip =
        hLogin ? CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hLogin,
                                 nullptr, GetModuleHandleW(nullptr), nullptr)
               : nullptr;
    const double t1 = Now();
    const bool made = hLogin && hKeyboard && hAdvanced && hTip;
    Pump();
    DestroyWindow(hPage); // its own windows with it
    Pump();
    FreeLibrary(hDll);
    return made ? (t1 - t0) * 1000.0 : -1;
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 50;
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    printf("SIGNDESK panel benchmark: %d runs each, median (fastest .. slowest)\n", runs);
    printf("  %s, %lu logical processors, %s\n", CpuName().c_str(),
           static_cast<unsigned long>(si.dwNumberOfProcessors), WineVersion().c_str());

    MessageBoxes::Install();
    Siblings siblings;
    TimedLogin login;
    Register(siblings, login);

    // Creation: a fresh plug-in every run; the floor in the same rounds,
    // first in every other one.
    std::vector<double> load, start, create, total, paint, floor;
    auto timeFloor = [&floor] {
        floor.push_back(FloorCreation());
        if (floor.back() >= 0)
            return true;
        fprintf(stderr, "the floor's windows were not made\n");
        return false;
    };
    for (int i = 0; i < runs; ++i) {
        if (i % 2 == 0 && !timeFloor())
            return 1;
        PluginHost host;
        host.MainWindow();
        Pump();
        const double t0 = Now();
        if (!host.Load()) {
            fprintf(stderr, "SIGNDESK.dll did not load\n");
            return 1;
        }
        const double t1 = Now();
        if (!host.Start()) {
            fprintf(stderr, "the plug-in did not start\n");
            return 1;
        }
        const double t2 = Now();
        if (!host.Panel()->Create(host.MainWindow())) {
            fprintf(stderr, "no panel\n");
            return 1;
        }
        RECT rc = {0, 0, 327, 400};
        host.Panel()->Move(rc);
        const double t3 = Now();
        Pump(); // what was queued meanwhile: the first painting of the panel
        const double t4 = Now();
        load.push_back((t1 - t0) * 1000.0);
        start.push_back((t2 - t1) * 1000.0);
        create.push_back((t3 - t2) * 1000.0);
        total.push_back((t3 - t0) * 1000.0);
        paint.push_back((t4 - t3) * 1000.0);
        Calls().Clear();
        siblings.lang.asked.clear();
        if (i % 2 == 1) {
            host.Unload(); // the floor loads SIGNDESK.dll afresh as well
            if (!timeFloor())
                return 1;
        }
    }

    // Login: one panel, returned to the logged-out state between clicks by a
    // refused registration (not timed).
    PluginHost host;
    HWND hPanel = host.CreatePanel();
    if (!hPanel) {
        fprintf(stderr, "no panel\n");
        return 1;
    }
    HWND hButton = Item(hPanel, IDC_LOGIN_BTN_LOGIN);
    SetText(hPanel, IDC_LOGIN_PASSWORD, L"secret");
    // The click as the user makes it (the button's press and release, then
    // its notification), and the notification alone (the plug-in's part).
    std::vector<double> toStart, click, commandToStart;
    for (int i = 0; i < 2 * runs; ++i) {
        const bool asClick = i < runs;
        login.enteredAt = 0;
        const double t0 = Now();
        if (asClick)
            SendMessageW(hButton, BM_CLICK, 0, 0);
        else
            SendMessageW(hPanel, WM_COMMAND, MAKEWPARAM(IDC_LOGIN_BTN_LOGIN, BN_CLICKED),
                         reinterpret_cast<LPARAM>(hButton));
        const double t1 = Now();
        if (login.enteredAt == 0) {
            fprintf(stderr, "the click did not reach StartLogin\n");
            return 1;
        }
        (asClick ? toStart : commandToStart).push_back((login.enteredAt - t0) * 1000.0);
        if (asClick)
            click.push_back((t1 - t0) * 1000.0);
        host.Panel()->OnRegResponse(500);
        Pump();
        Calls().Clear();
        siblings.lang.asked.clear();
    }

    printf("\n");
    PrintRow("panel creation (load + initialise + create)", total, 50);
    PrintRow("  LoadLibrary", load, 0);
    PrintRow("  XSCInitialize + XSCQueryInterface", start, 0);
    PrintRow("  Create + Move", create, 0);
    PrintRow("then the first painting (queued messages)", paint, 0);
    PrintRow("creation floor (templates + tool tip, bare Win32)", floor, 0);
    const double ratio = Summarise(create).median / Summarise(floor).median;
    printf("  %-50s %8.2f     target <= %.1f: %s\n", "Create + Move over the floor (medians)",
           ratio, kFloorRatioTarget, ratio <= kFloorRatioTarget ? "met" : "MISSED");
    // The same round by round, steadier when the machine changes speed
    // during the run.
    std::vector<double> rounds;
    for (size_t i = 0; i < create.size() && i < floor.size(); ++i)
        rounds.push_back(create[i] / floor[i]);
    const Stats r = Summarise(rounds);
    printf("  %-50s %8.2f     (%.2f .. %.2f)\n", "  median of the rounds' own ratios", r.median,
           r.min, r.max);
    PrintRow("login click to StartLogin", toStart, 2);
    PrintRow("  of which the plug-in (BN_CLICKED to StartLogin)", commandToStart, 0);
    PrintRow("whole login click (logging-in state shown)", click, 0);
    fflush(stdout);

    host.Unload();
    siblings.UnregisterAll();
    UIUnregisterComponent(&login);
    MessageBoxes::Uninstall();
    return 0;
}
