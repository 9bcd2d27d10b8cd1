#include "Sandbox.h"

#include <cstdio>

namespace {
const wchar_t kSandboxVar[] = L"SIGNDESK_SANDBOX";

std::wstring ExePath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring FileName(const std::wstring& path) {
    size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// Sets environment variables for the lifetime of the object.
class EnvOverride {
public:
    void Set(const std::wstring& name, const std::wstring& value) {
        wchar_t buf[32767];
        DWORD n = GetEnvironmentVariableW(name.c_str(), buf, 32767);
        m_saved.push_back({name, n ? std::wstring(buf, n) : std::wstring()});
        m_had.push_back(n != 0);
        SetEnvironmentVariableW(name.c_str(), value.empty() ? nullptr : value.c_str());
    }
    ~EnvOverride() {
        for (size_t i = m_saved.size(); i-- > 0;)
            SetEnvironmentVariableW(m_saved[i].first.c_str(),
                                    m_had[i] ? m_saved[i].second.c_str() : nullptr);
    }

private:
    std::vector<std::pair<std::wstring, std::wstring>> m_saved;
    std::vector<bool> m_had;
};
} // namespace

std::wstring RunningExeDir() {
    std::wstring path = ExePath();
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

bool InSandbox() {
    wchar_t buf[8] = {};
    return GetEnvironmentVariableW(kSandboxVar, buf, 8) > 0 && buf[0] == L'1';
}

bool FileExists(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool RemoveTree(const std::wstring& dir) {
    std::wstring base = dir;
    if (!base.empty() && base.back() == L'\\')
        base.pop_back();
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((base + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring path = base + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    SetFileAttributesW(base.c_str(), FILE_ATTRIBUTE_NORMAL);
    return RemoveDirectoryW(base.c_str()) || !DirectoryExists(base);
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = bytes.empty() ||
              WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
    return ok && written == bytes.size();
}

std::string ReadFileBytes(const std::wstring& path) {
    std::string out;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return out;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof(buf), &got, nullptr) && got > 0)
        out.append(buf, got);
    CloseHandle(h);
    return out;
}

Sandbox::Sandbox(const std::wstring& name) {
    std::wstring root = RunningExeDir() + L"sandbox\\";
    CreateDirectoryW(root.c_str(), nullptr);
    m_dir = root + name + L"-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    RemoveTree(m_dir);
    CreateDirectoryW(m_dir.c_str(), nullptr);
}

Sandbox::~Sandbox() {
    RemoveTree(m_dir);
    // The shared parent goes when the last sandbox left it.
    RemoveDirectoryW((RunningExeDir() + L"sandbox").c_str());
}

bool Sandbox::Prepare(const std::vector<std::wstring>& extraFiles) {
    if (!DirectoryExists(m_dir))
        return false;
    const std::wstring from = RunningExeDir();
    std::vector<std::wstring> files = {FileName(ExePath()), L"SIGNDESK.dll",   L"afx.dll",
                                       L"VURoder.dll",      L"SkinMagicU.dll", L"SkinMagicExU.dll"};
    files.insert(files.end(), extraFiles.begin(), extraFiles.end());
    for (const std::wstring& f : files)
        if (!CopyFileW((from + f).c_str(), (m_dir + f).c_str(), FALSE))
            return false;
    // The skin file is optional: the skin library has its skin built in.
    CopyFileW((from + L"kite.skin").c_str(), (m_dir + L"kite.skin").c_str(), FALSE);
    return true;
}

int Sandbox::Run(const std::wstring& filter, DWORD timeoutMs, std::string* output,
                 const std::vector<std::pair<std::wstring, std::wstring>>& env) {
    if (output)
        output->clear();
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
    HANDLE hRead = nullptr, hWrite = nullptr;
    if (!CreatePipe(&hRead, &hWrite, &sa, 0))
        return -1;
    SetHandleInformation(hRead, HANDLE_FLAG_INHERIT, 0);

    std::wstring exe = m_dir + FileName(ExePath());
    std::wstring cmd = L"\"" + exe + L"\" --gtest_color=no --gtest_filter=" + filter;
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = hWrite;
    si.hStdError = hWrite;
    PROCESS_INFORMATION pi = {};
    BOOL started;
    {
        EnvOverride overrides;
        overrides.Set(kSandboxVar, L"1");
        overrides.Set(L"GTEST_FILTER", L"");
        for (const auto& e : env)
            overrides.Set(e.first, e.second);
        started = CreateProcessW(exe.c_str(), &cmd[0], nullptr, nullptr, TRUE, 0, nullptr,
                                 m_dir.c_str(), &si, &pi);
    }
    CloseHandle(hWrite);
    if (!started) {
        CloseHandle(hRead);
        return -1;
    }

    std::string text;
    DWORD start = GetTickCount();
    bool timedOut = false;
    for (;;) {
        DWORD avail = 0;
        while (PeekNamedPipe(hRead, nullptr, 0, nullptr, &avail, nullptr) && avail > 0) {
            char buf[4096];
            DWORD got = 0;
            if (!ReadFile(hRead, buf, sizeof(buf), &got, nullptr) || got == 0)
                break;
            text.append(buf, got);
        }
        if (WaitForSingleObject(pi.hProcess, 20) == WAIT_OBJECT_0)
            break;
        if (GetTickCount() - start > timeoutMs) {
            timedOut = true;
            TerminateProcess(pi.hProcess, 99);
            WaitForSingleObject(pi.hProcess, 5000);
            break;
        }
    }
    // What was left in the pipe; a program the child started may still hold
    // its end, so only what is there is read.
    DWORD avail = 0;
    while (PeekNamedPipe(hRead, nullptr, 0, nullptr, &avail, nullptr) && avail > 0) {
        char buf[4096];
        DWORD got = 0;
        if (!ReadFile(hRead, buf, sizeof(buf), &got, nullptr) || got == 0)
            break;
        text.append(buf, got);
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    CloseHandle(hRead);
    if (output)
        *output = text;
    return timedOut ? -1 : static_cast<int>(code);
}
