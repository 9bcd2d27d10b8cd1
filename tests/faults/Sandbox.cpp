#include "Sandbox.h"

#include "TestHost.h"

namespace fs = std::filesystem;

namespace {
const wchar_t kSandboxVar[] = L"SIGNDESK_SANDBOX";

std::wstring ExeName() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(path).filename().wstring();
}
} // namespace

bool InSandbox() {
    wchar_t buf[8] = {};
    return GetEnvironmentVariableW(kSandboxVar, buf, 8) > 0 && buf[0] == L'1';
}

Sandbox::Sandbox(const std::wstring& name)
    : m_dir(ExeDir() + L"sandbox\\" + name + L"-" + std::to_wstring(GetCurrentProcessId())) {
    std::error_code ec;
    fs::remove_all(m_dir, ec);
    fs::create_directories(m_dir, ec);
}

Sandbox::~Sandbox() {
    std::error_code ec;
    fs::remove_all(m_dir, ec);
    fs::remove(ExeDir() + L"sandbox", ec); // when the last sandbox in it is gone
}

bool Sandbox::Prepare(const std::vector<std::wstring>& extraFiles) {
    std::vector<std::wstring> files = {ExeName(),      L"SIGNDESK.dll",   L"afx.dll",
                                       L"VURoder.dll", L"SkinMagicU.dll", L"SkinMagicExU.dll"};
    files.insert(files.end(), extraFiles.begin(), extraFiles.end());
    std::error_code ec;
    for (const std::wstring& f : files)
        if (!fs::copy_file(ExeDir() + f, m_dir + L"\\" + f, ec))
            return false;
    // The skin file is optional: the skin library has its skin built in.
    fs::copy_file(ExeDir() + L"kite.skin", m_dir + L"\\kite.skin", ec);
    return true;
}

int Sandbox::Run(const std::wstring& filter, DWORD timeoutMs, std::string* output) {
    const std::wstring exe = m_dir + L"\\" + ExeName(), out = m_dir + L"\\output.txt";
    std::wstring cmd = L"\"" + exe + L"\" --gtest_color=no --gtest_filter=" + filter;
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
    HANDLE hOut = CreateFileW(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = si.hStdError = hOut;
    PROCESS_INFORMATION pi = {};
    // The child inherits the marker; this process is no sandbox itself.
    SetEnvironmentVariableW(kSandboxVar, L"1");
    const BOOL started = CreateProcessW(exe.c_str(), &cmd[0], nullptr, nullptr, TRUE, 0, nullptr,
                                        m_dir.c_str(), &si, &pi);
    SetEnvironmentVariableW(kSandboxVar, nullptr);
    CloseHandle(hOut);
    if (!started)
        return -1;
    const bool ended = WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0;
    if (!ended) {
        TerminateProcess(pi.hProcess, 99);
        WaitForSingleObject(pi.hProcess, 5000);
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    *output = ReadFileBytes(out);
    return ended ? static_cast<int>(code) : -1;
}
