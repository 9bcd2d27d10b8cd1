#include "Tour.h"

#include "LogExcerpt.h"

#include "KiteClient.h"
#include "TextUtil.h"
#include "WindowQuery.h"

#include "res/resource.h"

#include <commctrl.h>

#include <cstring>

namespace kite {

int TourReport::Failed() const {
    int n = 0;
    for (const TourStepResult& s : steps)
        n += (s.reached && s.left) ? 0 : 1;
    return n;
}

namespace {

const wchar_t kTourClass[] = L"KiteClientTour";
const UINT_PTR kTickTimer = 1;
const UINT kTickMs = 30;
const DWORD kSettleMs = 250;
const DWORD kWholeTourMs = 180000;

struct Step {
    std::wstring name;
    std::wstring caption;
    std::function<void()> act;
    std::function<bool()> ready;
    std::function<void()> leave;
    std::function<bool()> left;
};

class TourRunner {
public:
    TourRunner(const TourOptions& options, KiteClient& client, TourReport& report)
        : m_options(options), m_client(client), m_report(report) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &TourRunner::Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = kTourClass;
        ::RegisterClassW(&wc);
        m_hwnd = ::CreateWindowExW(0, kTourClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   wc.hInstance, nullptr);
        ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        BuildSteps();
    }
    ~TourRunner() {
        ::DestroyWindow(m_hwnd);
        RestoreCtrl();
    }

    void Run() {
        m_start = ::GetTickCount();
        ::SetTimer(m_hwnd, kTickTimer, kTickMs, nullptr);
        while (!m_done && AfxPumpMessage()) {
        }
        ::KillTimer(m_hwnd, kTickTimer);
    }

private:
    enum Phase { ACT, WAIT_READY, SETTLE, WAIT_LEFT };

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_TIMER && wParam == kTickTimer) {
            auto* self = reinterpret_cast<TourRunner*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
            if (self)
                self->Tick();
            return 0;
        }
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    // -----------------------------------------------------------------------
    // What the steps look at

    HWND Panel() const { return m_client.PanelWnd(); }
    std::wstring Lang(const wchar_t* section, const wchar_t* key) const {
        return m_client.Lang().Peek(section, key);
    }
    bool StatusIs(const wchar_t* key) const {
        return ItemText(Panel(), IDC_LOGIN_STATUS) == Lang(L"Kite", key);
    }
    bool BoxShows(const wchar_t* section, const wchar_t* key) const {
        HWND box = FindMessageBox();
        return box && MessageBoxText(box) == Lang(section, key);
    }
    bool NoModal() const {
        return !FindMessageBox() && !FindDialogWith(IDC_LOCK_PASSWORD) &&
               !FindDialogWith(IDC_REGUSERS_LIST) && !FindDialogWith(IDC_MODIFY_BACKUPADDRESS) &&
               !FindDialogWith(IDC_REGUSERSINFO_IMSDOMAIN);
    }
    void AnswerBox(int answer) const {
        if (HWND box = FindMessageBox())
            ::PostMessageW(box, WM_COMMAND, answer, 0);
    }
    void SetItem(int id, const wchar_t* text) const {
        ::SetWindowTextW(::GetDlgItem(Panel(), id), text);
    }
    void Fill(const wchar_t* account, const wchar_t* password) const {
        SetItem(IDC_LOGIN_ACCOUNT, account);
        SetItem(IDC_LOGIN_PASSWORD, password);
    }
    void PressCtrl() {
        BYTE keys[256];
        ::GetKeyboardState(keys);
        m_savedCtrl = keys[VK_CONTROL];
        m_ctrlHeld = true;
        keys[VK_CONTROL] = 0x80;
        ::SetKeyboardState(keys);
    }
    void RestoreCtrl() {
        if (!m_ctrlHeld)
            return;
        BYTE keys[256];
        ::GetKeyboardState(keys);
        keys[VK_CONTROL] = m_savedCtrl;
        ::SetKeyboardState(keys);
        m_ctrlHeld = false;
    }
    Page CurrentPage() const { return m_client.Main().CurrentPage(); }
    std::wstring MissedUnit() const { return UnitText(Panel(), IDC_LOGIN_UNIT_NOANSWER); }
    std::wstring MissedUnitWith(int count) const {
        return Lang(L"Login", L"IDS_LOG_PHONE") + L" " + std::to_wstring(count);
    }
    bool LoggedOut() const {
        return StatusIs(L"IDS_UC_NOT_LOG") && ItemVisible(Panel(), IDC_LOGIN_BTN_LOGIN) &&
               ItemEnabled(Panel(), IDC_LOGIN_BTN_LOGIN);
    }
    void SelectServer(int index) const {
        if (HWND advanced = FindAdvanced())
            ::SendDlgItemMessageW(advanced, IDC_ADVANCED_SERVER, CB_SETCURSEL, index, 0);
    }
    int FirstOutcome() const {
        const std::vector<LoginLogic::Outcome>& o = m_client.Login().Outcomes();
        return o.empty() ? -1 : o.front().code;
    }
    bool LoggedIn() const {
        return StatusIs(L"IDS_UC_LOG_SUCESS") && ItemVisible(Panel(), IDC_LOGIN_BTN_LOGOUT) &&
               m_client.Main().IsRegistered();
    }

    // -----------------------------------------------------------------------
    // The steps

    void BuildSteps() {
        m_steps.push_back(
            {L"logged-out",
             L"The client has just started: the panel is logged out and waits for an account.",
             nullptr, [this] { return LoggedOut() && NoModal(); }, nullptr, nullptr});

        m_steps.push_back(
            {L"soft-keyboard",
             L"The soft keyboard next to the password field; the password is typed on it.",
             [this] {
                 m_typed = false;
                 Fill(L"8001", L"");
                 PostClick(Panel(), IDC_LOGIN_BTN_KEYBOARD);
             },
             [this] {
                 HWND keyboard = FindKeyboard();
                 if (!keyboard)
                     return false;
                 if (!m_typed) {
                     // 0 0 0 0: a wrong password, for the next steps.
                     for (int i = 0; i < 4; ++i)
                         PostClick(keyboard, IDC_KEY_FIRST + 10);
                     m_typed = true;
                     return false;
                 }
                 return ItemText(Panel(), IDC_LOGIN_PASSWORD) == L"0000";
             },
             [this] { PostClick(Panel(), IDC_LOGIN_BTN_KEYBOARD); },
             [this] { return FindKeyboard() == nullptr; }});

        m_steps.push_back(
            {L"advanced-drawer",
             L"The advanced settings drawer folded out: the login server is chosen here.",
             [this] { PostClick(Panel(), IDC_LOGIN_BTN_ADVANCED); },
             [this] {
                 HWND advanced = FindAdvanced();
                 return !ItemVisible(Panel(), IDC_LOGIN_ACCOUNT) && advanced &&
                        ::IsWindowVisible(advanced);
             },
             nullptr, nullptr});

        m_steps.push_back(
            {L"server-address",
             L"The drawer's Edit button: the main and backup address of the chosen server.",
             [this] { PostClick(FindAdvanced(), IDC_ADVANCED_BTN_SERVERSETTING); },
             [this] {
                 HWND dlg = FindDialogWith(IDC_MODIFY_BACKUPADDRESS);
                 return dlg && !ItemText(dlg, IDC_MODIFY_ADDRESS).empty();
             },
             [this] {
                 if (HWND dlg = FindDialogWith(IDC_MODIFY_BACKUPADDRESS))
                     ::PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
             },
             [this] {
                 // Once the dialog is gone, the drawer folds in again.
                 if (!NoModal())
                     return false;
                 if (!ItemVisible(Panel(), IDC_LOGIN_ACCOUNT) && !m_folding) {
                     m_folding = true;
                     PostClick(Panel(), IDC_LOGIN_BTN_ADVANCED);
                 }
                 return ItemVisible(Panel(), IDC_LOGIN_ACCOUNT);
             }});

        m_steps.push_back(
            {L"wrong-password",
             L"8001 with a wrong password: the registrar answers 403 and the panel says so.",
             [this] { PostClick(Panel(), IDC_LOGIN_BTN_LOGIN); },
             [this] { return BoxShows(L"Kite", L"IDS_REGERROR_403") && FirstOutcome() == 403; },
             [this] { AnswerBox(IDOK); }, [this] { return NoModal() && LoggedOut(); }});

        m_steps.push_back(
            {L"unknown-account", L"An account the registrar does not know: 404.",
             [this] {
                 Fill(L"9999", L"1234");
                 PostClick(Panel(), IDC_LOGIN_BTN_LOGIN);
             },
             [this] { return BoxShows(L"Kite", L"IDS_REGERROR_404") && FirstOutcome() == 404; },
             [this] { AnswerBox(IDOK); }, [this] { return NoModal() && LoggedOut(); }});

        m_steps.push_back(
            {L"server-unreachable",
             L"The test lab's server: nobody listens at its port, no answer within the "
             L"transaction timeout: 408, shown as a failed login.",
             [this] {
                 Fill(L"8001", L"1234");
                 SelectServer(2);
                 PostClick(Panel(), IDC_LOGIN_BTN_LOGIN);
             },
             [this] { return BoxShows(L"Kite", L"IDS_REGERROR_403") && FirstOutcome() == 408; },
             [this] {
                 AnswerBox(IDOK);
                 SelectServer(0);
             },
             [this] { return NoModal() && LoggedOut(); }});

        m_steps.push_back({L"logging-in",
                           L"8001 with its password, automatic login on: the request is under way.",
                           [this] {
                               Fill(L"8001", L"1234");
                               ::SendMessageW(::GetDlgItem(Panel(), IDC_LOGIN_AUTOLOGIN),
                                              BM_SETCHECK, BST_CHECKED, 0);
                               // The registrar's answer waits until the picture is taken.
                               m_client.Login().HoldAnswers(true);
                               PostClick(Panel(), IDC_LOGIN_BTN_LOGIN);
                           },
                           [this] {
                               return StatusIs(L"IDS_UC_LOGINING") &&
                                      !ItemEnabled(Panel(), IDC_LOGIN_ACCOUNT);
                           },
                           [this] { m_client.Login().HoldAnswers(false); }, nullptr});

        m_steps.push_back(
            {L"logged-in-missed-calls",
             L"Registered. Two calls were missed while away, so the panel stays in front and "
             L"shows them.",
             nullptr,
             [this] {
                 return LoggedIn() && MissedUnit() == MissedUnitWith(2) &&
                        CurrentPage() == PAGE_LOGIN;
             },
             nullptr, nullptr});

        m_steps.push_back({L"missed-calls-page",
                           L"A click on the missed-call counter opens the client's record page.",
                           [this] { PressUnit(Panel(), IDC_LOGIN_UNIT_NOANSWER); },
                           [this] {
                               return CurrentPage() == PAGE_RECORDS &&
                                      m_client.Main().Records().Kind() == 2;
                           },
                           nullptr, nullptr});

        m_steps.push_back(
            {L"call-page",
             L"The missed calls are marked as seen (the counter follows); the call page shows "
             L"the registration and the account's phone book.",
             [this] {
                 m_client.SettleRecords(KIND_MISSED);
                 m_client.Main().ShowPage(PAGE_CALL);
             },
             [this] {
                 return CurrentPage() == PAGE_CALL && MissedUnit() == MissedUnitWith(0) &&
                        m_client.Contacts().IsOpen();
             },
             nullptr, nullptr});

        m_steps.push_back({L"lock-dialog",
                           L"Ctrl+P on the panel: the administrator's function configuration.",
                           [this] {
                               m_client.Main().ShowPage(PAGE_LOGIN);
                               PressCtrl();
                               ::PostMessageW(Panel(), WM_KEYDOWN, 'P', 1);
                           },
                           [this] {
                               HWND lock = FindDialogWith(IDC_LOCK_PASSWORD);
                               if (!lock)
                                   return false;
                               RestoreCtrl();
                               ::SetWindowTextW(::GetDlgItem(lock, IDC_LOCK_PASSWORD), L"admin");
                               return ItemText(lock, IDC_LOCK_ACCOUNT) == L"8001";
                           },
                           [this] {
                               if (HWND lock = FindDialogWith(IDC_LOCK_PASSWORD))
                                   ::PostMessageW(lock, WM_COMMAND, IDCANCEL, 0);
                           },
                           [this] { return NoModal(); }});

        m_steps.push_back({L"chinese",
                           L"The client switched to Simplified Chinese while logged in.",
                           [this] { m_client.SwitchLanguage(L"zh-CN"); },
                           [this] {
                               return m_client.Lang().Current() == L"zh-CN" && LoggedIn() &&
                                      ItemText(Panel(), IDC_LOGIN_BTN_LOGOUT) ==
                                          Lang(L"Login", L"IDS_LOG_LOGOUT");
                           },
                           nullptr, nullptr});

        m_steps.push_back({L"logout-confirm", L"Logging out asks first, in Chinese.",
                           [this] { PostClick(Panel(), IDC_LOGIN_BTN_LOGOUT); },
                           [this] { return BoxShows(L"Kite", L"IDS_UC_INFO_LOGOUT"); },
                           [this] { AnswerBox(IDOK); }, [this] { return NoModal(); }});

        m_steps.push_back(
            {L"chinese-logged-out",
             L"Logged out, in Chinese; the account stays in the list for the next login.", nullptr,
             [this] {
                 return LoggedOut() && m_client.Login().GetState() == LoginLogic::STATE_IDLE &&
                        ItemText(Panel(), IDC_LOGIN_ACCOUNT) == L"8001";
             },
             nullptr, nullptr});

        m_steps.push_back(
            {L"english", L"Back to English.", [this] { m_client.SwitchLanguage(L"en"); },
             [this] {
                 return m_client.Lang().Current() == L"en" && LoggedOut() &&
                        ItemText(Panel(), IDC_LOGIN_BTN_LOGIN) == Lang(L"Login", L"IDS_LOG_TITLE");
             },
             nullptr, nullptr});

        m_steps.push_back(
            {L"multi-user-list",
             L"Multi-user mode: the panel hides its own fields and its advanced button opens "
             L"the registration list.",
             [this] {
                 m_client.SetMultiUser(true);
                 PostClick(Panel(), IDC_LOGIN_BTN_ADVANCED);
             },
             [this] {
                 HWND list = FindDialogWith(IDC_REGUSERS_LIST);
                 return list && ListView_GetItemCount(::GetDlgItem(list, IDC_REGUSERS_LIST)) ==
                                    static_cast<int>(m_client.Login().GetRegUsers()->size());
             },
             nullptr, nullptr});

        m_steps.push_back(
            {L"registration-entry",
             L"Add in the registration list: account, password, address, port and IMS domain "
             L"of one more account.",
             [this] { PostClick(FindDialogWith(IDC_REGUSERS_LIST), IDC_REGUSERS_BTN_ADD); },
             [this] {
                 HWND entry = FindDialogWith(IDC_REGUSERSINFO_IMSDOMAIN);
                 if (!entry)
                     return false;
                 if (ItemText(entry, IDC_REGUSERSINFO_ACCOUNT).empty()) {
                     ::SetWindowTextW(::GetDlgItem(entry, IDC_REGUSERSINFO_ACCOUNT), L"8003");
                     ::SetWindowTextW(::GetDlgItem(entry, IDC_REGUSERSINFO_PASSWORD), L"3003");
                     ::SetWindowTextW(::GetDlgItem(entry, IDC_REGUSERSINFO_ADDRESS), L"127.0.0.1");
                     ::SetWindowTextW(::GetDlgItem(entry, IDC_REGUSERSINFO_PORT), L"5070");
                     ::SetWindowTextW(::GetDlgItem(entry, IDC_REGUSERSINFO_IMSDOMAIN),
                                      L"kite.example");
                     return false;
                 }
                 return ItemEnabled(entry, IDOK);
             },
             [this] {
                 // Cancelled: the list stays as it was.
                 if (HWND entry = FindDialogWith(IDC_REGUSERSINFO_IMSDOMAIN))
                     ::PostMessageW(entry, WM_COMMAND, IDCANCEL, 0);
             },
             [this] {
                 if (FindDialogWith(IDC_REGUSERSINFO_IMSDOMAIN))
                     return false;
                 if (HWND list = FindDialogWith(IDC_REGUSERS_LIST)) {
                     if (!m_closingList)
                         ::PostMessageW(list, WM_COMMAND, IDCANCEL, 0);
                     m_closingList = true;
                     return false;
                 }
                 return NoModal();
             }});

        m_steps.push_back(
            {L"multi-user-logged-in",
             L"One login registers every account of the list; the status bar counts them.",
             [this] {
                 // A call came in while nobody was registered.
                 m_client.Records().Add(L"8001", KIND_MISSED, L"8003", false);
                 PostClick(Panel(), IDC_LOGIN_BTN_LOGIN);
             },
             [this] {
                 return LoggedIn() && m_client.Login().Pending() == 0 &&
                        m_client.Login().Outcomes().size() ==
                            m_client.Login().GetRegUsers()->size() &&
                        MissedUnit() == MissedUnitWith(1);
             },
             nullptr, nullptr});
    }

    HWND FindAdvanced() const {
        // The advanced panel is the child dialog holding the login-server box.
        for (HWND h = ::GetWindow(Panel(), GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
            if (::GetDlgItem(h, IDC_ADVANCED_SERVER) && ::GetDlgItem(h, IDC_ADVANCED_GROUP_SERVER))
                return h;
        return nullptr;
    }

    // -----------------------------------------------------------------------
    // The engine

    void Print(const std::wstring& text) const {
        if (m_options.print)
            m_options.print(text);
    }

    void CloseEverything() {
        RestoreCtrl();
        m_client.Login().HoldAnswers(false);
        if (FindMessageBox())
            AnswerBox(IDCANCEL);
        for (HWND h : ThreadWindows())
            if (h != m_client.Main().GetSafeHwnd() &&
                !(::GetWindowLongW(h, GWL_STYLE) & WS_CHILD) && h != FindKeyboard())
                ::PostMessageW(h, WM_COMMAND, IDCANCEL, 0);
    }

    void Tick() {
        if (m_inTick || m_done)
            return;
        m_inTick = true;
        DWORD now = ::GetTickCount();
        if (now - m_start > kWholeTourMs) {
            CloseEverything();
            m_done = true;
            m_inTick = false;
            return;
        }
        switch (m_phase) {
        case ACT:
            if (m_index >= m_steps.size()) {
                m_done = true;
                break;
            }
            m_result = TourStepResult();
            m_result.name = Numbered();
            m_result.caption = m_steps[m_index].caption;
            if (m_steps[m_index].act)
                m_steps[m_index].act();
            m_deadline = now + m_options.stepTimeoutMs;
            m_phase = WAIT_READY;
            break;
        case WAIT_READY:
            if (m_steps[m_index].ready()) {
                m_result.reached = true;
                m_settle = now + kSettleMs;
                m_phase = SETTLE;
            } else if (static_cast<LONG>(now - m_deadline) >= 0) {
                m_settle = now;
                m_phase = SETTLE;
            }
            break;
        case SETTLE:
            if (static_cast<LONG>(now - m_settle) >= 0) {
                Capture();
                if (m_steps[m_index].leave)
                    m_steps[m_index].leave();
                m_deadline = now + m_options.stepTimeoutMs;
                m_phase = WAIT_LEFT;
            }
            break;
        case WAIT_LEFT: {
            const Step& step = m_steps[m_index];
            bool left = !step.left || step.left();
            if (left || static_cast<LONG>(now - m_deadline) >= 0) {
                m_result.left = left;
                if (!left)
                    CloseEverything();
                Finish();
                ++m_index;
                m_phase = ACT;
            }
            break;
        }
        }
        m_inTick = false;
    }

    std::wstring Numbered() const {
        return Format(L"%02u-%ls", static_cast<unsigned>(m_index + 1),
                      m_steps[m_index].name.c_str());
    }

    void Capture() {
        Picture pic = CaptureClient(m_client.Main().GetSafeHwnd());
        if (m_options.writePictures && !m_options.outDir.empty()) {
            std::wstring file = JoinPath(m_options.outDir, m_result.name + L".png");
            if (SavePicture(pic, file))
                m_result.picture = file;
        }
        if (m_options.onStep)
            m_options.onStep(m_steps[m_index].name, m_client, pic);
    }

    void Finish() {
        bool ok = m_result.reached && m_result.left;
        Print(Format(L"  [%ls] %ls: %ls\n", ok ? L"ok" : L"FAILED", m_result.name.c_str(),
                     m_result.caption.c_str()));
        if (!m_result.reached)
            Print(L"        the state was not reached in time\n");
        else if (!m_result.left)
            Print(L"        the step's window did not close\n");
        m_report.steps.push_back(m_result);
    }

    const TourOptions& m_options;
    KiteClient& m_client;
    TourReport& m_report;
    HWND m_hwnd = nullptr;
    std::vector<Step> m_steps;
    size_t m_index = 0;
    Phase m_phase = ACT;
    DWORD m_start = 0;
    DWORD m_deadline = 0;
    DWORD m_settle = 0;
    bool m_done = false;
    bool m_inTick = false;
    bool m_typed = false;
    bool m_folding = false;
    bool m_closingList = false;
    bool m_ctrlHeld = false;
    BYTE m_savedCtrl = 0;
    TourStepResult m_result;
};

// The tour's own data: three missed calls (one already seen) and a
// message for 8001, its phone book, the login servers around the
// registrar, and a registration list.
void Seed(KiteClient& client, const RegistrarAddresses& registrar) {
    SettingsStore& settings = client.Settings();
    // Kite main is the registrar (set from the option); Kite East has
    // nobody at its main port and the registrar's backup port as backup;
    // the test lab has nobody at all.
    std::wstring nobody[2] = {std::to_wstring(sip::UnusedUdpPort()),
                              std::to_wstring(sip::UnusedUdpPort())};
    settings.SetServer(1, L"Kite East", L"127.0.0.1", CStr(nobody[0]), CStr(registrar.host[1]),
                       CStr(registrar.port[1]));
    settings.SetServer(2, L"Test lab (offline)", L"127.0.0.1", CStr(nobody[1]), L"", L"");
    CallRecordStore& records = client.Records();
    records.Add(L"8001", KIND_MISSED, L"6100", true);
    records.Add(L"8001", KIND_MISSED, L"8002", false);
    records.Add(L"8001", KIND_MESSAGE, L"8002", false, L"The meeting moved to 3 pm.");
    records.Add(L"8001", KIND_MISSED, L"8003", false);
    PhoneBook& book = client.Contacts();
    book.Add(L"8001", L"Bob Li", L"8002");
    book.Add(L"8001", L"Carol Wang", L"8003");
    book.Add(L"8001", L"Front desk", L"6100");
    std::vector<RegInfo>& list = *client.Login().GetRegUsers();
    list.clear();
    auto entry = [&list](const wchar_t* account, const wchar_t* password,
                         const std::wstring& address, const std::wstring& port,
                         const wchar_t* domain) {
        RegInfo r;
        r.account = account;
        r.password = password;
        r.address = CStr(address);
        r.port = CStr(port);
        r.imsDomain = domain;
        list.push_back(r);
    };
    entry(L"8001", L"1234", registrar.host[0], registrar.port[0], L"kite.example");
    entry(L"8002", L"2002", registrar.host[0], registrar.port[0], L"kite.example");
    entry(L"6100", L"6100", registrar.host[1], registrar.port[1], L"east.kite.example");
    client.Login().SaveRegUsers();
}

} // namespace

int RunTour(const TourOptions& options, TourReport* reportOut) {
    TourReport local;
    TourReport& report = reportOut ? *reportOut : local;
    report = TourReport();
    if (!options.outDir.empty()) {
        EnsureDir(options.outDir);
        // Pictures of an earlier tour would mix with this one's.
        WIN32_FIND_DATAW fd;
        HANDLE h = ::FindFirstFileW(JoinPath(options.outDir, L"*.png").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do
                ::DeleteFileW(JoinPath(options.outDir, fd.cFileName).c_str());
            while (::FindNextFileW(h, &fd));
            ::FindClose(h);
        }
    }
    // The plug-in's trace log and the upgrade program's record of its starts
    // are shared with every other run beside the executable: only what this
    // run adds is the tour's.
    const LogExcerpt traceLog(JoinPath(ExeDir(), L"log\\KITE.log"),
                              JoinPath(ExeDir(), L"log\\1_KITE.log"));
    const LogExcerpt upgradeLog(JoinPath(ExeDir(), L"upgrade_calls.log"));
    std::wstring dataDir = ResolveBesideExe(options.dataDir);
    RemoveTree(dataDir);
    EnsureDir(dataDir);

    RegistrarAddresses registrar = ParseRegistrarOption(options.registrar);
    if (registrar.host[0].empty() || registrar.host[1].empty()) {
        report.error = L"the tour needs a registrar: --registrar HOST:PORT,HOST:PORT (main and "
                       L"backup address; scripts/demo.sh starts one)";
        if (options.print)
            options.print(L"KiteClient: " + report.error + L"\n");
        return -1;
    }
    ClientOptions clientOptions;
    clientOptions.dataDir = dataDir;
    clientOptions.language = L"en";
    clientOptions.registrar = options.registrar;
    std::wstring sipLog;
    {
        KiteClient client(clientOptions);
        Seed(client, registrar);
        sipLog = client.Sip().Log().Path();
        if (!client.Start()) {
            report.error = client.Error();
            if (options.print)
                options.print(L"KiteClient: " + client.Error() + L"\n");
            return -1;
        }
        report.started = true;
        if (options.print)
            options.print(L"Tour of the SIGNDESK login panel:\n");
        {
            TourRunner runner(options, client, report);
            runner.Run();
        }
        // What the plug-in says of itself (SIGNDESK_XSCInformation).
        const XSCINFO& info = client.Plugin().Info();
        char maker[65] = {};
        memcpy(maker, info.szMaker, sizeof(info.szMaker));
        wchar_t makerText[80] = {};
        ::MultiByteToWideChar(936, 0, maker, -1, makerText, 80);
        std::string id(info.szComponentId, strnlen(info.szComponentId, sizeof(info.szComponentId)));
        report.pluginInfo = Format(L"SIGNDESK.dll %u.%u, component %ls, %u-%02u-%02u, %ls",
                                   info.wVersionMajor, info.wVersionMinor, FromUtf8(id).c_str(),
                                   info.wReleaseYear, info.wMonth, info.wDay, makerText);
        for (const auto& key : client.Lang().Asked())
            report.askedTexts.push_back(key);
        for (const auto& miss : client.Lang().Misses())
            report.missingTexts.push_back(miss.first + L" " + miss.second.first + L":" +
                                          miss.second.second);
        client.Shutdown();
    }

    if (!options.outDir.empty()) {
        // The plug-in's trace log of the whole tour, the upgrade program's
        // starts, and a summary.
        WriteFileBytes(JoinPath(options.outDir, L"KITE.log"),
                       RecordsOfProcess(traceLog.Added(), ::GetCurrentProcessId()));
        // The client's SIP exchange of the whole tour, its unregistrations
        // on closing included.
        ::CopyFileW(sipLog.c_str(), JoinPath(options.outDir, L"sip.log").c_str(), FALSE);
        ::Sleep(200); // the last start may still be writing its record
        WriteFileBytes(JoinPath(options.outDir, L"upgrade_calls.log"), upgradeLog.Added());
        std::wstring summary =
            L"Tour of the SIGNDESK login panel\r\n" + report.pluginInfo + L"\r\n\r\n";
        for (const TourStepResult& s : report.steps)
            summary += Format(L"%-30ls %-6ls %ls\r\n", (s.name + L".png").c_str(),
                              s.reached && s.left ? L"ok" : L"FAILED", s.caption.c_str());
        summary += L"\r\nTexts missing from the language files: " +
                   (report.missingTexts.empty() ? std::wstring(L"none") : std::wstring()) + L"\r\n";
        for (const std::wstring& m : report.missingTexts)
            summary += L"  " + m + L"\r\n";
        WriteFileBytes(JoinPath(options.outDir, L"tour.txt"), ToUtf8(summary));
    }
    if (options.print) {
        options.print(Format(L"%d of %d steps reached their state.\n",
                             static_cast<int>(report.steps.size()) - report.Failed(),
                             static_cast<int>(report.steps.size())));
        if (!report.missingTexts.empty())
            options.print(Format(L"%d texts missing from the language files (see tour.txt).\n",
                                 static_cast<int>(report.missingTexts.size())));
    }
    return report.Failed() + static_cast<int>(report.missingTexts.size() ? 1 : 0);
}

} // namespace kite
