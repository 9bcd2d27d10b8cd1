// A host folder of its own: the test executable, the plug-in and the
// platform stand-ins copied into a fresh folder, where the test runs part of
// itself as a child process; a test that breaks the folder beside the
// executable (log, ini file, upgrade program) breaks only its own.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class Sandbox {
public:
    // The folder "<exe dir>sandbox\<name>-<process id>", removed at the end.
    explicit Sandbox(const std::wstring& name);
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    // Copies the executable, SIGNDESK.dll, the platform stand-ins, the skin
    // file and extra files of the output folder.
    bool Prepare(const std::vector<std::wstring>& extraFiles = {});
    // Runs the copy with --gtest_filter=filter: its exit code, -1 when it was
    // stopped after timeoutMs; its standard output and error go to output.
    int Run(const std::wstring& filter, DWORD timeoutMs, std::string* output);

private:
    std::wstring m_dir;
};

// True in the child that a Sandbox started.
bool InSandbox();

// A whole file; empty when it cannot be read.
inline std::string ReadFileBytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    return static_cast<bool>(out << bytes);
}
