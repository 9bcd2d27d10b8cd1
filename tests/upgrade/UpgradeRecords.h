// What the upgrade stand-in recorded ("upgrade_calls.log" beside it), and
// the "UPGRADE" section of an ini file for the launcher to read.
#pragma once

#include "TestHost.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

struct UpgradeRecord {
    std::string cmdline; // UTF-8
    int show = -1;
    std::vector<std::string> argv; // UTF-8
};

inline std::string ToUtf8(const std::wstring& w) {
    std::string s(w.size() * 4, '\0');
    s.resize(static_cast<size_t>(
        WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), &s[0],
                            static_cast<int>(s.size()), nullptr, nullptr)));
    return s;
}

// Narrow text in the ANSI code page, in UTF-8 (as the stand-in reads it).
inline std::string AnsiToUtf8(const std::string& a) {
    std::wstring w(a.size(), L'\0');
    w.resize(static_cast<size_t>(MultiByteToWideChar(
        CP_ACP, 0, a.c_str(), static_cast<int>(a.size()), &w[0], static_cast<int>(w.size()))));
    return ToUtf8(w);
}

// The complete records of the starts made by this process (the first
// argument is this process's id), oldest first. The stand-in writes one
// record with one append: pid=<id> show=<n>, cmdline=, argc=, argv[i]=, end.
inline std::vector<UpgradeRecord> RecordsOfThisProcess() {
    std::ifstream in(std::filesystem::path(ExeDir() + L"upgrade_calls.log"), std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    const std::string pid = std::to_string(GetCurrentProcessId());
    std::vector<UpgradeRecord> out;
    UpgradeRecord rec;
    for (size_t pos = 0, end; (end = text.find("\r\n", pos)) != std::string::npos; pos = end + 2) {
        const std::string line = text.substr(pos, end - pos);
        if (line.compare(0, 4, "pid=") == 0)
            rec = UpgradeRecord{"", std::atoi(line.c_str() + line.find(" show=") + 6), {}};
        else if (line.compare(0, 8, "cmdline=") == 0)
            rec.cmdline = line.substr(8);
        else if (line.compare(0, 5, "argv[") == 0)
            rec.argv.push_back(line.substr(line.find("]=") + 2));
        else if (line == "end" && rec.argv.size() > 1 && rec.argv[1] == pid)
            out.push_back(rec);
    }
    return out;
}

// Writes `extra` and then section "UPGRADE" with the keys, as UTF-16 so
// that any character can stand in it.
inline bool WriteUpgradeIni(const std::wstring& path,
                            const std::vector<std::pair<std::wstring, std::wstring>>& keys,
                            const std::wstring& extra = L"") {
    std::wstring text = L"\xFEFF" + extra + L"[UPGRADE]\r\n";
    for (const auto& k : keys)
        text += k.first + L"=" + k.second + L"\r\n";
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    return out.flush().good();
}
