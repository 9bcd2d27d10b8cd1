// Faults under the trace log, in a host folder of its own: its folder cannot
// be made, its file cannot be written, the backup copy fails. The log moves to
// another file or falls silent, and the panel works on.
#include "SandboxPanel.h"

namespace {

namespace fs = std::filesystem;

const std::wstring kLog = L"log\\KITE.log";

// Opens a file the way another program may: sharing it with nobody.
HANDLE Hold(const std::wstring& path) {
    return CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

// A log that starts afresh and holds the lines of a Walk.
void ExpectWalkLogged(const std::string& log) {
    EXPECT_EQ(0u, log.find("Begin Time:"));
    for (const char* line :
         {"CLoginDlg::OnBnClickedButtonLogin()][Enter]", "CLoginDlg::OnRegResponse()][Leave]",
          "CLoginDlg::OnChangeLanguage()][Leave]"})
        EXPECT_NE(std::string::npos, log.find(line)) << line;
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
        if (c.logged)
            ExpectWalkLogged(ReadFileBytes(dir + c.logged));
        EXPECT_TRUE(c.logged || !fs::is_regular_file(dir + kLog)) << "silent";
        EXPECT_FALSE(fs::is_regular_file(dir + L"MyLog.log"));
        EXPECT_FALSE(fs::is_regular_file(dir + L"KITE.log"));
        fs::remove_all(dir + L"log");
    }
}

// A live log at the rotation size whose backup is held open by another program
// or is a folder: the failed copy is reported, the log emptied and reopened.
TEST_F(TraceLogFaults, AFailingBackupCopyStillEmptiesAndReopensTheLog) {
    const std::wstring live = ExeDir() + kLog, backup = ExeDir() + L"log\\1_KITE.log";
    for (const bool folder : {false, true}) {
        SCOPED_TRACE(folder ? "folder" : "held");
        ASSERT_TRUE(fs::create_directory(ExeDir() + L"log"));
        ASSERT_TRUE(WriteFileBytes(live, std::string(5 * 1024 * 1024, 'x')));
        ASSERT_TRUE(folder ? fs::create_directory(backup)
                           : WriteFileBytes(backup, "older backup\r\n"));
        HANDLE held = folder ? nullptr : Hold(backup);
        ASSERT_NE(INVALID_HANDLE_VALUE, held);
        ::testing::internal::CaptureStdout();
        Walk();
        const std::string printed = ::testing::internal::GetCapturedStdout();
        if (held)
            CloseHandle(held);
        EXPECT_NE(std::string::npos,
                  printed.find(" rename [" + std::string(live.begin(), live.end()) + "] to [" +
                               std::string(backup.begin(), backup.end()) + "] failed code[" +
                               (folder ? "5" : "32") + "]\n"))
            << printed;
        EXPECT_EQ(folder ? "" : "older backup\r\n", ReadFileBytes(backup));
        EXPECT_EQ(folder, fs::is_directory(backup));
        const std::string log = ReadFileBytes(live);
        EXPECT_LT(log.size(), 1024u * 1024u) << "emptied, its contents not kept";
        EXPECT_EQ(std::string::npos, log.find("xxxxxxxx"));
        ExpectWalkLogged(log);
        fs::remove_all(ExeDir() + L"log");
    }
}

TEST(FaultRun, InItsOwnHostFolder) {
    RunInSandbox(L"faults", L"TraceLogFaults.*", 2);
}

} // namespace
