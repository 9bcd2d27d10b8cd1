// Reading what the upgrade stand-in recorded ("upgrade_calls.log" beside
// it) and writing the "UPGRADE" section of an ini file for the launcher.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

struct UpgradeRecord {
    std::string cmdline; // UTF-8
    int show = -1;
    std::vector<std::string> argv; // UTF-8
};

inline std::wstring TestExeDir() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path);
    return s.substr(0, s.find_last_of(L'\\') + 1);
}

inline std::string ToUtf8(const std::wstring& w) {
    if (w.empty())
        return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), &s[0], n, nullptr,
                        nullptr);
    return s;
}

// Narrow text in the ANSI code page as the stand-in sees it on its wide
// command line, in UTF-8.
inline std::string AnsiToUtf8(const std::string& a) {
    if (a.empty())
        return std::string();
    int n = MultiByteToWideChar(CP_ACP, 0, a.c_str(), static_cast<int>(a.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, a.c_str(), static_cast<int>(a.size()), &w[0], n);
    return ToUtf8(w);
}

// Every record of the stand-in started from this process (its first
// argument is this process's id), in the order they were written.
inline std::vector<UpgradeRecord> RecordsOfThisProcess() {
    std::vector<UpgradeRecord> out;
    FILE* f = _wfopen((TestExeDir() + L"upgrade_calls.log").c_str(), L"rb");
    if (!f)
        return out;
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
        text.append(buf, n);
    fclose(f);

    const std::string pid = std::to_string(GetCurrentProcessId());
    UpgradeRecord rec;
    bool inRecord = false;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find("\r\n", pos);
        if (end == std::string::npos)
            break; // a record still being written
        std::string line = text.substr(pos, end - pos);
        pos = end + 2;
        if (line.compare(0, 4, "pid=") == 0) {
            rec = UpgradeRecord();
            inRecord = true;
            size_t show = line.find(" show=");
            if (show != std::string::npos)
                rec.show = std::atoi(line.c_str() + show + 6);
        } else if (!inRecord) {
            continue;
        } else if (line.compare(0, 8, "cmdline=") == 0) {
            rec.cmdline = line.substr(8);
        } else if (line.compare(0, 5, "argv[") == 0) {
            size_t eq = line.find("]=");
            rec.argv.push_back(eq == std::string::npos ? std::string() : line.substr(eq + 2));
        } else if (line == "end") {
            inRecord = false;
            if (rec.argv.size() > 1 && rec.argv[1] == pid)
                out.push_back(rec);
        }
    }
    return out;
}

// Writes an ini file holding the given keys of section "UPGRADE" (and
// whatever else is in `extra`), as UTF-16 so that any character can stand
// in it.
inline bool WriteUpgradeIni(const std::wstring& path,
                            const std::vector<std::pair<std::wstring, std::wstring>>& keys,
                            const std::wstring& extra = L"") {
    std::wstring text = extra + L"[UPGRADE]\r\n";
    for (const auto& k : keys)
        text += k.first + L"=" + k.second + L"\r\n";
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f)
        return false;
    const unsigned char bom[2] = {0xFF, 0xFE};
    fwrite(bom, 1, 2, f);
    fwrite(text.data(), sizeof(wchar_t), text.size(), f);
    fclose(f);
    return true;
}

// Keeps an ini file as it was: its bytes are read at construction and put
// back (or the file removed when there was none) at destruction.
class IniFileGuard {
public:
    explicit IniFileGuard(const std::wstring& path) : m_path(path) {
        FILE* f = _wfopen(path.c_str(), L"rb");
        m_existed = f != nullptr;
        if (!f)
            return;
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
            m_content.append(buf, n);
        fclose(f);
    }
    ~IniFileGuard() {
        if (!m_existed) {
            DeleteFileW(m_path.c_str());
            return;
        }
        FILE* f = _wfopen(m_path.c_str(), L"wb");
        if (!f)
            return;
        fwrite(m_content.data(), 1, m_content.size(), f);
        fclose(f);
    }
    IniFileGuard(const IniFileGuard&) = delete;
    IniFileGuard& operator=(const IniFileGuard&) = delete;

private:
    std::wstring m_path;
    bool m_existed = false;
    std::string m_content;
};
