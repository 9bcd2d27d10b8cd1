// A host folder of its own: the test executable, the plug-in and the
// platform stand-ins copied into a fresh folder, where the test runs part of
// itself as a child process. The plug-in puts its trace log and reads its
// ini file and upgrade program beside the executable, so a test that breaks
// that folder (a file where the log folder belongs, a read-only log, a huge
// log, no upgrade program) must not do so in the shared output folder.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

class Sandbox {
public:
    // name: the folder's name under "<exe dir>sandbox\"; it is made unique
    // with the process id.
    explicit Sandbox(const std::wstring& name);
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    // Copies the test executable, SIGNDESK.dll, the platform stand-ins and
    // the skin file, plus extra files of the output folder.
    bool Prepare(const std::vector<std::wstring>& extraFiles = {});
    // The folder, with a trailing backslash.
    const std::wstring& Dir() const { return m_dir; }

    // Runs the copy of the test executable with --gtest_filter=filter and
    // the given environment on top of this process's. Returns the exit
    // code, or -1 when it had to be stopped after timeoutMs. Its standard
    // output and error are returned in output.
    int Run(const std::wstring& filter, DWORD timeoutMs, std::string* output,
            const std::vector<std::pair<std::wstring, std::wstring>>& env = {});

private:
    std::wstring m_dir;
};

// True in the child that a Sandbox started.
bool InSandbox();

// Removes a folder with everything in it, read-only files included.
bool RemoveTree(const std::wstring& dir);
// Writes bytes to a file (replacing it).
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
// Reads a whole file; empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);
bool DirectoryExists(const std::wstring& path);
// Folder of the running executable, with a trailing backslash.
std::wstring RunningExeDir();
