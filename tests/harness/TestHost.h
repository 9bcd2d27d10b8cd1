// Test host: loads the real SIGNDESK.dll and drives it as the client does
// (exports, ISIGNDESK, window messages), with recording siblings, scripted
// message boxes, a driver for modal dialogs and a reader of the trace log.
#pragma once

#include "Fakes.h"
#include "core/SIGNDESKInterface.h"
#include "res/resource.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

// ---------------------------------------------------------------------------
// The plug-in as the host loads it

class PluginHost {
public:
    PluginHost();
    ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // Loads the DLL fresh (a previous copy is unloaded, which destroys its
    // component, panel and logs).
    bool Load();
    void Unload();

    PFN_XSCInitialize XSCInitialize = nullptr;
    PFN_XSCUninitialize XSCUninitialize = nullptr;
    PFN_XSCInformation XSCInformation = nullptr;
    PFN_XSCCmdCallBack XSCCmdCallBack = nullptr;
    PFN_XSCCmdCallBack XSCNtfCallBack = nullptr;
    PFN_XSCQueryInterface XSCQueryInterface = nullptr;

    // SIGNDESK_XSCInitialize with a start-up record, then ISIGNDESK.
    ISIGNDESK* Start();
    ISIGNDESK* Panel() const { return m_pPanel; }

    // The host's main window the panel lives in (created on first use).
    CWnd* MainWindow();
    // Start() + Create in the main window + Move to (0, 0, 327, 400), pixels
    // at 96 DPI scaled to the screen's DPI as the client does.
    HWND CreatePanel();
    HWND PanelWnd() const;

private:
    HMODULE m_hModule = nullptr;
    ISIGNDESK* m_pPanel = nullptr;
    CWnd* m_pMainWnd = nullptr;
};

// ---------------------------------------------------------------------------
// Windows as a user sees them

// The window class of the host's main window (registered on first use).
const wchar_t* HostFrameClass();

HWND Item(HWND hDlg, int id);
bool Exists(HWND hDlg, int id);
bool Visible(HWND hDlg, int id);
bool Enabled(HWND hDlg, int id);
std::wstring Text(HWND hWnd);
std::wstring Text(HWND hDlg, int id);
void SetText(HWND hDlg, int id, const std::wstring& text);
// Types characters one by one (WM_CHAR to the control), as a keyboard does.
void Type(HWND hWnd, const std::wstring& chars);
// Clicks a button the way a user can: only when it is visible and enabled.
bool Click(HWND hDlg, int id);
// Sends the click notification whatever the button's state (the host or a
// keyboard accelerator may do so).
void Command(HWND hDlg, int id, int code = BN_CLICKED);
bool Checked(HWND hDlg, int id);
void SetChecked(HWND hDlg, int id, bool checked);
// Window rectangle in the client coordinates of its parent.
RECT RectInParent(HWND hWnd);
std::wstring ControlSkin(HWND hWnd);
std::wstring WindowSkin(HWND hWnd);
// Combo box contents and selection.
std::vector<std::wstring> ComboItems(HWND hCombo);
int ComboSel(HWND hCombo);
// A key press delivered through the message queue, so that the framework's
// PreTranslateMessage chain sees it; ctrl holds Ctrl down meanwhile.
void PressKey(HWND hTarget, UINT vk, bool ctrl = false);
// Runs everything queued (posted messages, modal loops in between).
void Pump();
// Pumps for a while (lets asynchronous work arrive).
void PumpFor(DWORD ms);
// Pumps until pred() or the timeout; returns pred().
bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs = 5000);

// ---------------------------------------------------------------------------
// Skinned message boxes, answered from a script and recorded

struct MessageBoxRecord {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    std::wstring checkText; // empty for the plain form
    bool hasCheck;
    int checkIn; // check state when the box opened
    UINT type;
};

class MessageBoxes {
public:
    // Installs the recording handler; boxes are answered with IDOK by default.
    static void Install();
    static void Uninstall();
    // The next boxes get these answers (and, for check-box boxes, this
    // final check state; -1 keeps it).
    static void Answer(int result, int checkState = -1);
    static const std::vector<MessageBoxRecord>& Seen();
    static void Clear();
};

// ---------------------------------------------------------------------------
// Modal dialogs, driven from the moment they open

class DialogDriver {
public:
    static void Install();
    static void Uninstall();
    // Runs action with the next modal dialog (a captioned pop-up dialog) once
    // it is initialised; actions are used in order.
    static void OnNextDialog(std::function<void(HWND)> action);
    static int Pending();
    // Captions of the modal dialogs opened so far.
    static std::vector<std::wstring> Opened();
    // True when a dialog was left open and had to be cancelled.
    static bool WatchdogFired();
    static void Reset();
};

// ---------------------------------------------------------------------------
// The trace log beside the executable ("log\KITE.log")

class TraceLogTail {
public:
    static std::wstring Path();
    // Remembers the current end; Lines() returns what was written after it.
    void Mark();
    std::vector<std::string> Lines() const;
    std::string Text() const;

private:
    long long m_offset = 0;
};

// True when text ends with tail.
bool EndsWith(const std::string& text, const std::string& tail);
// Number of trace lines of one member of the given kind ("Enter" or
// "Leave"): "...[file:line CLoginDlg::X()][Enter]".
int CountTraceLines(const std::vector<std::string>& lines, const std::string& function,
                    const std::string& what);
inline bool HasTraceLine(const std::vector<std::string>& lines, const std::string& function,
                         const std::string& what) {
    return CountTraceLines(lines, function, what) > 0;
}
// Index of the first Enter line of a member, -1 when absent.
int TraceEnterIndex(const std::vector<std::string>& lines, const std::string& function);

// Folder of the test executable, with a trailing backslash.
std::wstring ExeDir();
