#include "TestHost.h"

#include <SkinMagicExU.h>
#include <SkinMagicU.h>

#include <cstdio>
#include <map>

// ---------------------------------------------------------------------------
// PluginHost

namespace {
const wchar_t kHostClass[] = L"SignDeskTestHostFrame";

LRESULT CALLBACK HostFrameProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}

// A length in pixels at 96 DPI at the screen's DPI: the host lays out its
// window as the client does.
int Px(int pixels) {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    return MulDiv(pixels, dpi, 96);
}

} // namespace

const wchar_t* HostFrameClass() {
    static bool done = false;
    if (done)
        return kHostClass;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &HostFrameProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kHostClass;
    RegisterClassW(&wc);
    done = true;
    return kHostClass;
}

PluginHost::PluginHost() = default;

PluginHost::~PluginHost() {
    Unload();
    if (m_pMainWnd) {
        if (AfxGetMainWnd() == m_pMainWnd)
            AfxSetMainWnd(nullptr);
        m_pMainWnd->DestroyWindow();
        delete m_pMainWnd;
    }
}

bool PluginHost::Load() {
    Unload();
    m_hModule = LoadLibraryW(L"SIGNDESK.dll");
    if (!m_hModule)
        return false;
    auto get = [this](const char* name) {
        return reinterpret_cast<void*>(GetProcAddress(m_hModule, name));
    };
    XSCInitialize = reinterpret_cast<PFN_XSCInitialize>(get("SIGNDESK_XSCInitialize"));
    XSCUninitialize = reinterpret_cast<PFN_XSCUninitialize>(get("SIGNDESK_XSCUninitialize"));
    XSCInformation = reinterpret_cast<PFN_XSCInformation>(get("SIGNDESK_XSCInformation"));
    XSCCmdCallBack = reinterpret_cast<PFN_XSCCmdCallBack>(get("SIGNDESK_XSCCmdCallBack"));
    XSCNtfCallBack = reinterpret_cast<PFN_XSCCmdCallBack>(get("SIGNDESK_XSCNtfCallBack"));
    XSCQueryInterface = reinterpret_cast<PFN_XSCQueryInterface>(get("SIGNDESK_XSCQueryInterface"));
    return XSCInitialize && XSCUninitialize && XSCInformation && XSCCmdCallBack && XSCNtfCallBack &&
           XSCQueryInterface;
}

void PluginHost::Unload() {
    if (!m_hModule)
        return;
    if (XSCUninitialize)
        XSCUninitialize();
    // The plug-in's worker threads (the upgrade launcher) may still run its code.
    PumpUntil([] { return AfxGetRunningThreadCount() == 0; }, 10000);
    FreeLibrary(m_hModule);
    m_hModule = nullptr;
    m_pPanel = nullptr;
    XSCInitialize = nullptr;
    XSCUninitialize = nullptr;
    XSCInformation = nullptr;
    XSCCmdCallBack = XSCNtfCallBack = nullptr;
    XSCQueryInterface = nullptr;
}

ISIGNDESK* PluginHost::Start() {
    if (!m_hModule && !Load())
        return nullptr;
    XSCINITDATA init = {{1, 2, 3, 4, 5}};
    XSCInitialize(&init);
    IUSBaseList list;
    if (!XSCQueryInterface(IID_ISIGNDESK, list) || list.empty())
        return nullptr;
    m_pPanel = dynamic_cast<ISIGNDESK*>(list.front());
    return m_pPanel;
}

CWnd* PluginHost::MainWindow() {
    if (!m_pMainWnd) {
        m_pMainWnd = new CWnd;
        m_pMainWnd->CreateEx(0, HostFrameClass(), L"SIGNDESK test host",
                             WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, Px(40), Px(40),
                             Px(360), Px(480), nullptr, nullptr);
        AfxSetMainWnd(m_pMainWnd);
    }
    return m_pMainWnd;
}

HWND PluginHost::CreatePanel() {
    if (!m_pPanel && !Start())
        return nullptr;
    if (!m_pPanel->Create(MainWindow()))
        return nullptr;
    RECT rc = {0, 0, Px(327), Px(400)};
    m_pPanel->Move(rc);
    Pump();
    return PanelWnd();
}

HWND PluginHost::PanelWnd() const {
    CDialog* pDlg = m_pPanel ? m_pPanel->GetLoginWnd() : nullptr;
    return pDlg ? pDlg->GetSafeHwnd() : nullptr;
}

// ---------------------------------------------------------------------------
// Windows as a user sees them

HWND Item(HWND hDlg, int id) {
    return hDlg ? GetDlgItem(hDlg, id) : nullptr;
}
bool Exists(HWND hDlg, int id) {
    return Item(hDlg, id) != nullptr;
}
bool Visible(HWND hDlg, int id) {
    HWND h = Item(hDlg, id);
    return h && (GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE);
}
bool Enabled(HWND hDlg, int id) {
    HWND h = Item(hDlg, id);
    return h && IsWindowEnabled(h);
}

std::wstring Text(HWND hWnd) {
    if (!hWnd)
        return L"";
    int n = GetWindowTextLengthW(hWnd);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    n = GetWindowTextW(hWnd, &s[0], n + 1);
    s.resize(static_cast<size_t>(n > 0 ? n : 0));
    return s;
}
std::wstring Text(HWND hDlg, int id) {
    return Text(Item(hDlg, id));
}

void SetText(HWND hDlg, int id, const std::wstring& text) {
    SetWindowTextW(Item(hDlg, id), text.c_str());
    Pump();
}

void Type(HWND hWnd, const std::wstring& chars) {
    for (wchar_t ch : chars)
        SendMessageW(hWnd, WM_CHAR, ch, 1);
    Pump();
}

bool Click(HWND hDlg, int id) {
    HWND h = Item(hDlg, id);
    if (!h || !IsWindowVisible(h) || !IsWindowEnabled(h))
        return false;
    SendMessageW(h, BM_CLICK, 0, 0);
    Pump();
    return true;
}

void Command(HWND hDlg, int id, int code) {
    SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Item(hDlg, id)));
    Pump();
}

bool Checked(HWND hDlg, int id) {
    return SendMessageW(Item(hDlg, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetChecked(HWND hDlg, int id, bool checked) {
    SendMessageW(Item(hDlg, id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

RECT RectInParent(HWND hWnd) {
    RECT rc = {};
    GetWindowRect(hWnd, &rc);
    HWND hParent = GetParent(hWnd);
    if (hParent && (GetWindowLongW(hWnd, GWL_STYLE) & WS_CHILD))
        MapWindowPoints(HWND_DESKTOP, hParent, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

std::wstring ControlSkin(HWND hWnd) {
    wchar_t buf[128] = {};
    SkinGetControlSkin(hWnd, buf, 128);
    return buf;
}

std::wstring WindowSkin(HWND hWnd) {
    wchar_t buf[128] = {};
    SkinGetWindowSkin(hWnd, buf, 128);
    return buf;
}

std::vector<std::wstring> ComboItems(HWND hCombo) {
    std::vector<std::wstring> items;
    int n = static_cast<int>(SendMessageW(hCombo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        int len = static_cast<int>(SendMessageW(hCombo, CB_GETLBTEXTLEN, i, 0));
        std::wstring s(static_cast<size_t>(len > 0 ? len : 0) + 1, L'\0');
        SendMessageW(hCombo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&s[0]));
        s.resize(static_cast<size_t>(len > 0 ? len : 0));
        items.push_back(s);
    }
    return items;
}

int ComboSel(HWND hCombo) {
    return static_cast<int>(SendMessageW(hCombo, CB_GETCURSEL, 0, 0));
}

void PressKey(HWND hTarget, UINT vk, bool ctrl) {
    BYTE saved[256] = {};
    GetKeyboardState(saved);
    if (ctrl) {
        BYTE state[256];
        memcpy(state, saved, sizeof(state));
        state[VK_CONTROL] = state[VK_LCONTROL] = 0x80;
        SetKeyboardState(state);
    }
    PostMessageW(hTarget, WM_KEYDOWN, vk, 1);
    Pump();
    // Ctrl goes up with the key: a dialog that the key-down opened takes the
    // real key-up, and a key-up posted to hTarget with Ctrl still held would
    // replay the shortcut.
    if (ctrl)
        SetKeyboardState(saved);
    PostMessageW(hTarget, WM_KEYUP, vk, 0xC0000001);
    Pump();
}

void Pump() {
    for (int round = 0; round < 3; ++round)
        AfxPumpPendingMessages();
}

void PumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        Pump();
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}

bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start >= timeoutMs)
            return pred();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        Pump();
    }
    return true;
}

// ---------------------------------------------------------------------------
// MessageBoxes

namespace {
struct MsgBoxScript {
    std::deque<std::pair<int, int>> answers;
    std::vector<MessageBoxRecord> seen;
};
MsgBoxScript& Script() {
    static MsgBoxScript s;
    return s;
}

int RecordMessageBox(const SKINMSGBOXINFO* p, void*) {
    MessageBoxRecord rec;
    rec.owner = p->hWndOwner;
    rec.text = p->lpText ? p->lpText : L"";
    rec.caption = p->lpCaption ? p->lpCaption : L"";
    rec.hasCheck = p->pCheckState != nullptr;
    rec.checkText = p->lpCheckText ? p->lpCheckText : L"";
    rec.checkIn = p->pCheckState ? *p->pCheckState : 0;
    rec.type = p->uType;
    Script().seen.push_back(rec);
    int result = IDOK;
    int check = -1;
    if (!Script().answers.empty()) {
        result = Script().answers.front().first;
        check = Script().answers.front().second;
        Script().answers.pop_front();
    }
    if (p->pCheckState && check >= 0)
        *p->pCheckState = check;
    return result;
}
} // namespace

void MessageBoxes::Install() {
    SkinSetMessageBoxHandler(&RecordMessageBox, nullptr);
}
void MessageBoxes::Uninstall() {
    SkinSetMessageBoxHandler(nullptr, nullptr);
}
void MessageBoxes::Answer(int result, int checkState) {
    Script().answers.push_back({result, checkState});
}
const std::vector<MessageBoxRecord>& MessageBoxes::Seen() {
    return Script().seen;
}
void MessageBoxes::Clear() {
    Script().seen.clear();
    Script().answers.clear();
}

// ---------------------------------------------------------------------------
// DialogDriver

namespace {
const UINT WM_DRIVER_RUN = WM_APP + 17;
const UINT_PTR kWatchdogTimer = 1;
const DWORD kWatchdogMs = 8000;

struct DriverState {
    HHOOK hook = nullptr;
    HWND hWnd = nullptr;
    std::deque<std::function<void(HWND)>> actions;
    std::map<HWND, std::function<void(HWND)>> running;
    std::map<HWND, DWORD> deadlines;
    std::vector<std::wstring> opened;
    bool watchdogFired = false;
};
DriverState& Driver() {
    static DriverState s;
    return s;
}

LRESULT CALLBACK DriverWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    DriverState& d = Driver();
    if (msg == WM_DRIVER_RUN) {
        HWND hDlg = reinterpret_cast<HWND>(lParam);
        auto it = d.running.find(hDlg);
        if (it != d.running.end()) {
            auto action = std::move(it->second);
            d.running.erase(it);
            if (IsWindow(hDlg))
                action(hDlg);
        }
        return 0;
    }
    if (msg == WM_TIMER && wParam == kWatchdogTimer) {
        DWORD now = GetTickCount();
        for (auto it = d.deadlines.begin(); it != d.deadlines.end();) {
            if (!IsWindow(it->first)) {
                it = d.deadlines.erase(it);
                continue;
            }
            if (static_cast<LONG>(now - it->second) >= 0) {
                d.watchdogFired = true;
                PostMessageW(it->first, WM_COMMAND, IDCANCEL, 0);
                it->second = now + 2000;
            }
            ++it;
        }
        return 0;
    }
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}

LRESULT CALLBACK DriverHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const CWPRETSTRUCT* p = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (p->message == WM_INITDIALOG) {
            LONG style = GetWindowLongW(p->hwnd, GWL_STYLE);
            if (!(style & WS_CHILD) && (style & WS_CAPTION) == WS_CAPTION) {
                DriverState& d = Driver();
                d.opened.push_back(Text(p->hwnd));
                d.deadlines[p->hwnd] = GetTickCount() + kWatchdogMs;
                if (!d.actions.empty()) {
                    d.running[p->hwnd] = std::move(d.actions.front());
                    d.actions.pop_front();
                    PostMessageW(d.hWnd, WM_DRIVER_RUN, 0, reinterpret_cast<LPARAM>(p->hwnd));
                }
            }
        }
    }
    return CallNextHookEx(Driver().hook, code, wParam, lParam);
}
} // namespace

void DialogDriver::Install() {
    DriverState& d = Driver();
    if (!d.hWnd) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &DriverWndProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"SignDeskDialogDriver";
        RegisterClassW(&wc);
        d.hWnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 wc.hInstance, nullptr);
        SetTimer(d.hWnd, kWatchdogTimer, 250, nullptr);
    }
    if (!d.hook)
        d.hook = SetWindowsHookExW(WH_CALLWNDPROCRET, &DriverHook, nullptr, GetCurrentThreadId());
}

void DialogDriver::Uninstall() {
    DriverState& d = Driver();
    if (d.hook) {
        UnhookWindowsHookEx(d.hook);
        d.hook = nullptr;
    }
}

void DialogDriver::OnNextDialog(std::function<void(HWND)> action) {
    Driver().actions.push_back(std::move(action));
}
int DialogDriver::Pending() {
    return static_cast<int>(Driver().actions.size());
}
std::vector<std::wstring> DialogDriver::Opened() {
    return Driver().opened;
}
bool DialogDriver::WatchdogFired() {
    return Driver().watchdogFired;
}
void DialogDriver::Reset() {
    DriverState& d = Driver();
    d.actions.clear();
    d.running.clear();
    d.opened.clear();
    d.watchdogFired = false;
}

// ---------------------------------------------------------------------------
// Trace log

std::wstring ExeDir() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path);
    return s.substr(0, s.find_last_of(L'\\') + 1);
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

int CountTraceLines(const std::vector<std::string>& lines, const std::string& function,
                    const std::string& what) {
    const std::string tail = function + "()][" + what + "]";
    int n = 0;
    for (const auto& l : lines)
        if (EndsWith(l, tail))
            ++n;
    return n;
}

int TraceEnterIndex(const std::vector<std::string>& lines, const std::string& function) {
    const std::string tail = function + "()][Enter]";
    for (size_t i = 0; i < lines.size(); ++i)
        if (EndsWith(lines[i], tail))
            return static_cast<int>(i);
    return -1;
}

std::wstring TraceLogTail::Path() {
    return ExeDir() + L"log\\KITE.log";
}

void TraceLogTail::Mark() {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    m_offset = GetFileAttributesExW(Path().c_str(), GetFileExInfoStandard, &data)
                   ? (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow
                   : 0;
}

std::string TraceLogTail::Text() const {
    FILE* f = _wfopen(Path().c_str(), L"rb");
    if (!f)
        return "";
    std::string text;
    long long size = 0;
    _fseeki64(f, 0, SEEK_END);
    size = _ftelli64(f);
    // A rotation starts the file again: then everything is new.
    long long from = size >= m_offset ? m_offset : 0;
    _fseeki64(f, from, SEEK_SET);
    text.resize(static_cast<size_t>(size - from));
    if (!text.empty())
        text.resize(fread(&text[0], 1, text.size(), f));
    fclose(f);
    return text;
}

std::vector<std::string> TraceLogTail::Lines() const {
    std::vector<std::string> lines;
    std::string text = Text();
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) {
            lines.push_back(text.substr(pos));
            break;
        }
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}
