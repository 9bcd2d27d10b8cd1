// Faults under the trace log, in a host folder of their own: its folder
// cannot be made, its file cannot be written, the backup copy fails. The log
// degrades (another file name, or silence) and the panel goes on working
// through login, result, logout and a language switch.
#include "SandboxPanel.h"

namespace {

namespace fs = std::filesystem;

const std::wstring kLog = L"log\\KITE.log";

// Opens a file the way another program may: sharing it with nobody.
HANDLE Hold(const std::wstring& path) {
    return CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

// Lines that prove a walk reached the log.
bool HasWalkLines(const std::string& log) {
    return log.find("CLoginDlg::OnBnClickedButtonLogin()][Enter]") != std::string::npos &&
           log.find("CLoginDlg::OnRegResponse()][Leave]") != std::string::npos &&
           log.find("CLoginDlg::OnChangeLanguage()][Leave]") != std::string::npos;
}

class TraceLogFaults : public SandboxPanelTest {
protected:
    void SetUp() override {
        std::error_code ec;
        if (InSandbox())
            fs::remove_all(ExeDir() + L"log", ec);
        SandboxPanelTest::SetUp();
    }
    // A fresh plug-in (the log is opened) through login, result, logout,
    // result and a language switch; then unloaded.
    void Walk() {
        ASSERT_TRUE(host.Load());
        ASSERT_TRUE(CreatePanel());
        Calls().Clear();
        StartLogin(L"carol");
        EXPECT_EQ(L"Loging", Picture());
        LogInOutAndSwitchLanguage(L"ZH ");
        EXPECT_TRUE(Calls().Has(L"Login.StartLogin(carol,pw,0)"));
        EXPECT_TRUE(Calls().Has(L"Settings.SaveLoginRecord(carol,pw,0)"));
        EXPECT_TRUE(Calls().Has(L"Main.NotifyDeregistered()"));
        Panel()->OnChangeLanguage(); // later operations find the log as it was left
        host.Unload();
    }
};

TEST_F(TraceLogFaults, AnUnwritableLogMovesToMyLogOrFallsSilent) {
    struct Case {
        const char* name;
        std::vector<const wchar_t*> folders; // made before the start
        const wchar_t* held;                 // a file written "kept" and held open
        const wchar_t* logged;               // where the walk is logged; null: nowhere
    } cases[] = {
        // The fallback folder "Log" beside the executable is the same name.
        {"a file where the log folder belongs", {}, L"log", nullptr},
        {"the log file held by another program", {L"log"}, kLog.c_str(), L"log\\MyLog.log"},
        {"a folder where the log file belongs", {L"log", kLog.c_str()}, nullptr, L"log\\MyLog.log"},
        {"neither file writable", {L"log", kLog.c_str()}, L"log\\MyLog.log", nullptr},
    };
    const std::wstring dir = ExeDir();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const wchar_t* folder : c.folders)
            ASSERT_TRUE(fs::create_directory(dir + folder));
        ASSERT_TRUE(!c.held || WriteFileBytes(dir + c.held, "kept\r\n"));
        HANDLE held = c.held ? Hold(dir + c.held) : nullptr;
        ASSERT_NE(INVALID_HANDLE_VALUE, held);
        Walk();
        if (held)
            CloseHandle(held);

        for (const wchar_t* folder : c.folders)
            EXPECT_TRUE(fs::is_directory(dir + folder));
        EXPECT_EQ(c.held ? "kept\r\n" : "", ReadFileBytes(dir + (c.held ? c.held : L"")));
        if (c.logged) {
            const std::string log = ReadFileBytes(dir + c.logged);
            EXPECT_EQ(0u, log.find("Begin Time:"));
            EXPECT_TRUE(HasWalkLines(log));
        }
        EXPECT_TRUE(c.logged || !fs::is_regular_file(dir + kLog)) << "silent";
        EXPECT_FALSE(fs::is_regular_file(dir + L"MyLog.log"));
        EXPECT_FALSE(fs::is_regular_file(dir + L"KITE.log"));
        fs::remove_all(dir + L"log");
    }
}

TEST_F(TraceLogFaults, AFailingBackupCopyStillEmptiesAndReopensTheLog) {
    struct Case {
        const char* name;
        bool folder; // the backup is a folder; otherwise an older backup held open
        const char* code;
    } cases[] = {{"held", false, "32"}, {"folder", true, "5"}};
    const std::wstring live = ExeDir() + kLog, backup = ExeDir() + L"log\\1_KITE.log";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(fs::create_directory(ExeDir() + L"log"));
        ASSERT_TRUE(WriteFileBytes(live, std::string(5 * 1024 * 1024, 'x'))); // rotation size
        ASSERT_TRUE(c.folder ? fs::create_directory(backup)
                             : WriteFileBytes(backup, "older backup\r\n"));
        HANDLE held = c.folder ? nullptr : Hold(backup);
        ASSERT_NE(INVALID_HANDLE_VALUE, held);
        ::testing::internal::CaptureStdout();
        Walk();
        const std::string printed = ::testing::internal::GetCapturedStdout();
        if (held)
            CloseHandle(held);

        // The copy failed and said so; rotation went on.
        EXPECT_NE(std::string::npos,
                  printed.find(" rename [" + std::string(live.begin(), live.end()) + "] to [" +
                               std::string(backup.begin(), backup.end()) + "] failed code[" +
                               c.code + "]\n"))
            << printed;
        EXPECT_EQ(c.folder ? "" : "older backup\r\n", ReadFileBytes(backup));
        EXPECT_EQ(c.folder, fs::is_directory(backup));
        const std::string log = ReadFileBytes(live);
        EXPECT_LT(log.size(), 1024u * 1024u) << "emptied, its contents not kept";
        EXPECT_EQ(0u, log.find("Begin Time:"));
        EXPECT_EQ(std::string::npos, log.find("xxxxxxxx"));
        EXPECT_TRUE(HasWalkLines(log));
        fs::remove_all(ExeDir() + L"log");
    }
}

TEST(FaultRun, InItsOwnHostFolder) {
    RunInSandbox(L"faults", L"TraceLogFaults.*", 2);
}

} // namespace
