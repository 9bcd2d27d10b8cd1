// Stand-in for the client's upgrade program: appends the command line it
// was given (whole, and split the way the C runtime splits it) and the show
// command it was started with to "upgrade_calls.log" beside itself, then
// exits. One record per start, written with a single append so that
// several programs started at once do not mix their lines:
//
//   pid=<id> show=<show command, -1 when none was given>
//   cmdline=<the command line>
//   argc=<n>
//   argv[0]=<...>
//   ...
//   end
//
// The file is UTF-8. When the environment variable SIGNDESK_UPGRADE_HOLD
// names an event, the program first waits (at most 10 seconds) for that
// event, neither ready for input nor recorded meanwhile: a starter that
// waits for the program (for its end, or for it to become ready for input
// as WinExec does) is held up as long, so a test can see whether it was.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <shellapi.h>

#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
    if (text.empty())
        return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n,
                            nullptr, nullptr);
    return out;
}

std::wstring OwnDirectory() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path);
    size_t slash = s.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : s.substr(0, slash + 1);
}

void WaitForRelease() {
    wchar_t name[256] = {};
    if (!GetEnvironmentVariableW(L"SIGNDESK_UPGRADE_HOLD", name, 256) || !name[0])
        return;
    HANDLE hEvent = OpenEventW(SYNCHRONIZE, FALSE, name);
    if (!hEvent)
        return;
    WaitForSingleObject(hEvent, 10000);
    CloseHandle(hEvent);
}

void AppendRecord(const std::string& record) {
    std::wstring path = OwnDirectory() + L"upgrade_calls.log";
    for (int attempt = 0; attempt < 100; ++attempt) {
        HANDLE hFile = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (hFile != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(hFile, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
            CloseHandle(hFile);
            return;
        }
        Sleep(20); // another start is writing its record
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    WaitForRelease();
    // Ready for input: whoever waits for that may go on.
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);

    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    GetStartupInfoW(&si);
    int show = (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : -1;

    const wchar_t* cmdline = GetCommandLineW();
    std::string record =
        "pid=" + std::to_string(GetCurrentProcessId()) + " show=" + std::to_string(show) + "\r\n";
    record += "cmdline=" + Utf8(cmdline) + "\r\n";
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(cmdline, &argc);
    record += "argc=" + std::to_string(argv ? argc : 0) + "\r\n";
    for (int i = 0; argv && i < argc; ++i)
        record += "argv[" + std::to_string(i) + "]=" + Utf8(argv[i]) + "\r\n";
    if (argv)
        LocalFree(argv);
    record += "end\r\n";

    AppendRecord(record);
    return 0;
}
