// Stands in for the program an advertising link opens: appends its command
// line and the show command it was started with to bill_recorder.log beside
// itself, one record per start.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring log(path);
    log = log.substr(0, log.find_last_of(L'\\') + 1) + L"bill_recorder.log";

    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    GetStartupInfoW(&si);
    int show = (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : -1;

    std::wstring record = std::wstring(GetCommandLineW()) + L"\n" + std::to_wstring(show) + L"\n";
    int n = WideCharToMultiByte(CP_UTF8, 0, record.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
    if (n > 1)
        WideCharToMultiByte(CP_UTF8, 0, record.c_str(), -1, &utf8[0], n, nullptr, nullptr);
    FILE* f = _wfopen(log.c_str(), L"ab");
    if (!f)
        return 1;
    fwrite(utf8.data(), 1, utf8.size(), f);
    fclose(f);
    return 0;
}
