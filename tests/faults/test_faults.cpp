// Faults under the trace log: its folder cannot be made, its file cannot be
// written, the backup copy fails, closing the file fails. The log degrades
// as it must (another file name, the folder beside the executable, or
// silence) and the panel goes on working through login, result, logout and
// a language switch.
//
// Every case runs in a host folder of its own (FaultRun starts it), since
// each breaks the folder beside the executable.
#include "Sandbox.h"
#include "TestHost.h"
#include "TraceLog.h"
#include "resource.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

const DWORD kRotationSize = 5 * 1024 * 1024;

std::wstring E() {
    return RunningExeDir();
}
std::wstring LogDir() {
    return E() + L"log\\";
}

// Everything the plug-in writes during a walk ends in one of its trace
// lines; these prove a walk reached the log.
bool HasWalkLines(const std::string& log) {
    return log.find("CLoginDlg::OnBnClickedButtonLogin()][Enter]") != std::string::npos &&
           log.find("CLoginDlg::OnRegResponse()][Leave]") != std::string::npos &&
           log.find("CLoginDlg::OnChangeLanguage()][Leave]") != std::string::npos;
}

// Standard output of the process (the trace log's failure messages) into a
// file for a while.
class CaptureStdout {
public:
    CaptureStdout() : m_path(E() + L"stdout.txt") {
        fflush(stdout);
        m_saved = _dup(1);
        int fd = _wopen(m_path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY,
                        _S_IREAD | _S_IWRITE);
        _dup2(fd, 1);
        _close(fd);
    }
    ~CaptureStdout() { Stop(); }
    std::string Stop() {
        if (m_saved >= 0) {
            fflush(stdout);
            _dup2(m_saved, 1);
            _close(m_saved);
            m_saved = -1;
            m_text = ReadFileBytes(m_path);
            DeleteFileW(m_path.c_str());
        }
        return m_text;
    }

private:
    std::wstring m_path;
    int m_saved = -1;
    std::string m_text;
};

// A file held open by another program that shares it with nobody.
class HeldFile {
public:
    explicit HeldFile(const std::wstring& path) {
        m_h = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~HeldFile() { Release(); }
    bool Held() const { return m_h != INVALID_HANDLE_VALUE; }
    void Release() {
        if (m_h != INVALID_HANDLE_VALUE)
            CloseHandle(m_h);
        m_h = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_h;
};

bool SameFile(HANDLE a, HANDLE b) {
    BY_HANDLE_FILE_INFORMATION ia, ib;
    return GetFileInformationByHandle(a, &ia) && GetFileInformationByHandle(b, &ib) &&
           ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
           ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

// The handle behind the C runtime's descriptor that has the file open.
HANDLE RuntimeHandleOf(const std::wstring& path) {
    HANDLE probe = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE)
        return INVALID_HANDLE_VALUE;
    HANDLE found = INVALID_HANDLE_VALUE;
    for (int fd = 3; fd < 2048 && found == INVALID_HANDLE_VALUE; ++fd) {
        intptr_t h = _get_osfhandle(fd);
        if (h != -1 && h != 0 && SameFile(reinterpret_cast<HANDLE>(h), probe))
            found = reinterpret_cast<HANDLE>(h);
    }
    CloseHandle(probe);
    return found;
}

// Appends bytes to a file that another handle may hold open.
bool Grow(const std::wstring& path, DWORD size) {
    HANDLE h = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    std::string chunk(64 * 1024, 'x');
    for (size_t i = 99; i < chunk.size(); i += 100)
        chunk[i - 1] = '\r', chunk[i] = '\n';
    DWORD done = 0;
    bool ok = true;
    while (ok && done < size) {
        DWORD n = static_cast<DWORD>(std::min<size_t>(chunk.size(), size - done)), w = 0;
        ok = WriteFile(h, chunk.data(), n, &w, nullptr) && w == n;
        done += w;
    }
    CloseHandle(h);
    return ok;
}

long long SizeOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &d))
        return -1;
    return (static_cast<long long>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
}

std::string Narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w)
        s += static_cast<char>(c < 128 ? c : '?');
    return s;
}

// Takes away what a case left of the log beside the executable.
void Clean() {
    RemoveTree(E() + L"log");
    DeleteFileW((E() + L"log").c_str());
    DeleteFileW((E() + L"MyLog.log").c_str());
}

// ---------------------------------------------------------------------------

class TraceLogFaults : public ::testing::Test {
protected:
    void SetUp() override {
        if (!InSandbox())
            GTEST_SKIP() << "runs in a host folder of its own, started by FaultRun";
        Clean();
        Calls().Clear();
        MessageBoxes::Install();
        MessageBoxes::Clear();
        DialogDriver::Install();
        DialogDriver::Reset();
        siblings.RegisterAll();
        siblings.settings.accounts = {L"alice"};
        ServerInfo server;
        server.displayName = L"Server A";
        siblings.settings.servers = {server};
    }
    void TearDown() override {
        if (!InSandbox())
            return;
        siblings.UnregisterAll();
        host.Unload();
        MessageBoxes::Clear();
        DialogDriver::Reset();
        Clean();
    }

    // Load, start (the log is opened), create the panel in the host's window.
    ::testing::AssertionResult StartPanel() {
        if (!host.Load())
            return ::testing::AssertionFailure() << "the plug-in did not load";
        hPanel = host.CreatePanel();
        if (!hPanel)
            return ::testing::AssertionFailure() << "no panel";
        return ::testing::AssertionSuccess();
    }

    // Login, result, logout, result and a language switch, checked as the
    // user sees them.
    ::testing::AssertionResult Walk() {
        auto picture = [this] { return ControlSkin(Item(hPanel, IDC_LOGIN_PICTURE)); };
        siblings.lang.prefix.clear();
        SetText(hPanel, IDC_LOGIN_ACCOUNT, L"carol");
        SetText(hPanel, IDC_LOGIN_PASSWORD, L"pw");
        if (!Click(hPanel, IDC_LOGIN_BTN_LOGIN) || picture() != L"Loging")
            return ::testing::AssertionFailure() << "login did not start";
        host.Panel()->OnRegResponse(0);
        Pump();
        siblings.main.registered = 1;
        if (picture() != L"LogIn" || Text(hPanel, IDC_LOGIN_STATUS) != L"Kite:IDS_UC_LOG_SUCESS")
            return ::testing::AssertionFailure() << "not logged in";
        MessageBoxes::Answer(IDOK);
        if (!Click(hPanel, IDC_LOGIN_BTN_LOGOUT) || picture() != L"LogOut")
            return ::testing::AssertionFailure() << "logout failed";
        siblings.main.registered = 0;
        host.Panel()->OnDeRegResponse(0);
        siblings.lang.prefix = L"ZH ";
        host.Panel()->OnChangeLanguage();
        Pump();
        if (Text(hPanel, IDC_LOGIN_BTN_LOGIN) != L"ZH Login:IDS_LOG_TITLE" ||
            Text(hPanel, IDC_LOGIN_STATUS) != L"ZH Kite:IDS_UC_NOT_LOG")
            return ::testing::AssertionFailure() << "language not switched";
        if (!Calls().Has(L"Login.StartLogin(carol,pw,0)") ||
            !Calls().Has(L"Settings.SaveLoginRecord(carol,pw,0)") ||
            !Calls().Has(L"Main.NotifyDeregistered()"))
            return ::testing::AssertionFailure() << "siblings not told";
        return ::testing::AssertionSuccess();
    }

    PluginHost host;
    Siblings siblings;
    HWND hPanel = nullptr;
};

TEST_F(TraceLogFaults, ALogFolderThatCannotBeMadeLeavesTheLogSilent) {
    // A file where the folder "log" belongs; the fallback folder "Log"
    // beside the executable is the same name, so nothing can be written.
    ASSERT_TRUE(WriteFileBytes(E() + L"log", "not a folder"));
    ASSERT_TRUE(StartPanel());
    EXPECT_TRUE(Walk());
    host.Unload();
    EXPECT_EQ("not a folder", ReadFileBytes(E() + L"log"));
    EXPECT_FALSE(FileExists(E() + L"MyLog.log"));
    EXPECT_FALSE(FileExists(E() + L"KITE.log"));
}

TEST_F(TraceLogFaults, ALogFileHeldByAnotherProgramMovesTheLogToMyLog) {
    ASSERT_TRUE(CreateDirectoryW(LogDir().c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(LogDir() + L"KITE.log", "kept\r\n"));
    HeldFile held(LogDir() + L"KITE.log");
    ASSERT_TRUE(held.Held());
    ASSERT_TRUE(StartPanel());
    EXPECT_TRUE(Walk());
    host.Unload();
    held.Release();
    EXPECT_EQ("kept\r\n", ReadFileBytes(LogDir() + L"KITE.log"));
    const std::string log = ReadFileBytes(LogDir() + L"MyLog.log");
    EXPECT_EQ(0u, log.find("Begin Time:"));
    EXPECT_TRUE(HasWalkLines(log));
}

TEST_F(TraceLogFaults, ALogFileThatIsAFolderMovesTheLogToMyLog) {
    ASSERT_TRUE(CreateDirectoryW(LogDir().c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((LogDir() + L"KITE.log").c_str(), nullptr));
    ASSERT_TRUE(StartPanel());
    EXPECT_TRUE(Walk());
    host.Unload();
    EXPECT_TRUE(DirectoryExists(LogDir() + L"KITE.log"));
    EXPECT_TRUE(HasWalkLines(ReadFileBytes(LogDir() + L"MyLog.log")));
}

TEST_F(TraceLogFaults, WhenNeitherFileCanBeWrittenTheLogStaysSilent) {
    ASSERT_TRUE(CreateDirectoryW(LogDir().c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((LogDir() + L"KITE.log").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(LogDir() + L"MyLog.log", "kept\r\n"));
    HeldFile held(LogDir() + L"MyLog.log");
    ASSERT_TRUE(held.Held());
    ASSERT_TRUE(StartPanel());
    EXPECT_TRUE(Walk());
    // Later operations find the log closed for good and do not try again.
    host.Panel()->OnChangeLanguage();
    host.Unload();
    held.Release();
    EXPECT_EQ("kept\r\n", ReadFileBytes(LogDir() + L"MyLog.log"));
    EXPECT_TRUE(DirectoryExists(LogDir() + L"KITE.log"));
}

TEST_F(TraceLogFaults, AFailingBackupCopyStillEmptiesAndReopensTheLog) {
    struct Case {
        const char* name;
        bool folder; // the backup is a folder; otherwise a file held open
    } cases[] = {{"held", false}, {"folder", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(CreateDirectoryW(LogDir().c_str(), nullptr));
        const std::wstring live = LogDir() + L"KITE.log";
        const std::wstring backup = LogDir() + L"1_KITE.log";
        ASSERT_TRUE(Grow(live, kRotationSize));
        if (c.folder)
            ASSERT_TRUE(CreateDirectoryW(backup.c_str(), nullptr));
        else
            ASSERT_TRUE(WriteFileBytes(backup, "older backup\r\n"));
        HeldFile held(backup);
        ASSERT_TRUE(c.folder || held.Held());

        // What is printed meanwhile is captured: results are checked after.
        CaptureStdout out;
        const ::testing::AssertionResult started = StartPanel();
        const ::testing::AssertionResult walked = started ? Walk() : started;
        host.Unload();
        const std::string printed = out.Stop();
        held.Release();
        ASSERT_TRUE(started);
        EXPECT_TRUE(walked);

        // The copy failed and said so; rotation went on.
        const std::string message = " rename [" + Narrow(live) + "] to [" + Narrow(backup) +
                                    "] failed code[" + (c.folder ? "5" : "32") + "]\n";
        EXPECT_NE(std::string::npos, printed.find(message)) << printed;
        if (c.folder)
            EXPECT_TRUE(DirectoryExists(backup));
        else
            EXPECT_EQ("older backup\r\n", ReadFileBytes(backup));
        const std::string log = ReadFileBytes(live);
        EXPECT_LT(log.size(), 1024u * 1024u) << "emptied, its contents not kept";
        EXPECT_EQ(0u, log.find("Begin Time:"));
        EXPECT_EQ(std::string::npos, log.find("xxxxxxxx"));
        EXPECT_TRUE(HasWalkLines(log));
        Clean();
    }
}

TEST_F(TraceLogFaults, AFailingCloseDuringRotationIsReportedAndRotationGoesOn) {
    ASSERT_TRUE(StartPanel());
    const std::wstring live = LogDir() + L"KITE.log";
    ASSERT_TRUE(FileExists(live)) << "the panel's creation opened the log";
    HANDLE hLog = RuntimeHandleOf(live);
    ASSERT_NE(INVALID_HANDLE_VALUE, hLog) << "the log's handle";
    // The system refuses to close a protected handle.
    ASSERT_TRUE(
        SetHandleInformation(hLog, HANDLE_FLAG_PROTECT_FROM_CLOSE, HANDLE_FLAG_PROTECT_FROM_CLOSE));
    ASSERT_TRUE(Grow(live, kRotationSize));

    CaptureStdout out;
    const ::testing::AssertionResult walked = Walk();
    const std::string printed = out.Stop();
    EXPECT_TRUE(walked);
    // The handle the log could not close is still open: close it now.
    SetHandleInformation(hLog, HANDLE_FLAG_PROTECT_FROM_CLOSE, 0);
    EXPECT_TRUE(CloseHandle(hLog));
    host.Unload();

    EXPECT_NE(std::string::npos, printed.find("fclose failed code[9] string[")) << printed;
    EXPECT_GE(SizeOf(LogDir() + L"1_KITE.log"), static_cast<long long>(kRotationSize))
        << "the old contents went to the backup";
    const std::string log = ReadFileBytes(live);
    EXPECT_EQ(0u, log.find("Begin Time:"));
    EXPECT_LT(log.size(), 1024u * 1024u);
    EXPECT_TRUE(HasWalkLines(log));
}

// ---------------------------------------------------------------------------
// The log on its own: a directory chain that cannot be made

class TraceLogChain : public ::testing::Test {
protected:
    void SetUp() override {
        if (!InSandbox())
            GTEST_SKIP() << "runs in a host folder of its own, started by FaultRun";
        Clean();
        RemoveTree(E() + L"blocked");
        RemoveTree(E() + L"sub");
        DeleteFileW((E() + L"blocked").c_str());
    }
    void TearDown() override {
        if (!InSandbox())
            return;
        Clean();
        RemoveTree(E() + L"sub");
        DeleteFileW((E() + L"blocked").c_str());
    }
};

TEST_F(TraceLogChain, AChainThatCannotBeMadeFallsBackToMyLogBesideTheExecutable) {
    ASSERT_TRUE(WriteFileBytes(E() + L"blocked", "a file, not a folder"));
    const std::string exe = Narrow(E());
    const char* paths[] = {
        "blocked\\deeper\\trace.log", // a file in the way
        "bad|name\\trace.log",        // a name no folder can have
        "sub/bad<name>/trace.log",    // the same further down, with slashes
        nullptr,                      // the absolute form of the first
    };
    const std::string absolute = exe + "blocked\\deeper\\trace.log";
    paths[3] = absolute.c_str();
    for (const char* path : paths) {
        SCOPED_TRACE(path);
        {
            CTraceLog log(path);
            log.WriteScopeLine("CFault::Chain", "src/fault.cpp", 7, true);
        }
        const std::string text = ReadFileBytes(E() + L"Log\\MyLog.log");
        EXPECT_EQ(0u, text.find("Begin Time:"));
        EXPECT_NE(std::string::npos, text.find("[fault.cpp:7 CFault::Chain()][Enter]")) << text;
        EXPECT_FALSE(FileExists(E() + L"trace.log"));
        EXPECT_EQ("a file, not a folder", ReadFileBytes(E() + L"blocked"));
        Clean();
    }
}

// ---------------------------------------------------------------------------
// The run that ctest starts

TEST(FaultRun, InItsOwnHostFolder) {
    if (InSandbox())
        GTEST_SKIP() << "already in the host folder";
    Sandbox box(L"faults");
    ASSERT_TRUE(box.Prepare());
    std::string output;
    const int code = box.Run(L"TraceLogFaults.*:TraceLogChain.*", 120000, &output);
    printf("%s", output.c_str());
    fflush(stdout);
    EXPECT_NE(-1, code) << "the run hung and was stopped";
    EXPECT_EQ(0, code) << "the run failed or crashed";
    EXPECT_NE(std::string::npos, output.find("[  PASSED  ] 7 tests."));
}

} // namespace
