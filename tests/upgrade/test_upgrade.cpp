// The upgrade launcher: its command line from the "UPGRADE" section of
// "kite.ini" in the ANSI code page, and the real plug-in starting the
// upgrade stand-in, which records it.
#include "PanelTest.h"
#include "login/Upgrade.h"
#include "UpgradeRecords.h"

#include <string>

namespace {

TEST(UpgradeLine, EachSettingInItsPlaceAsReadWithNullForMissingAccountSettings) {
    const std::wstring dir = ExeDir() + L"upgrade line test\\";
    CreateDirectoryW(dir.c_str(), nullptr);
    const std::wstring ini = dir + L"kite.ini";
    const std::string none = "    NULL NULL NULL";
    const struct {
        std::vector<std::pair<std::wstring, std::wstring>> keys;
        std::string tail; // after the quoted program path and the process id
    } cases[] = {
        {{}, none}, // no ini file
        {{}, none}, // a file with other sections and an empty "UPGRADE" section
        {{{L"Protocol", L"http"},
          {L"Host", L"update.example.com"},
          {L"Port", L"8080"},
          {L"User", L"alice"},
          {L"Password", L"s3cret"},
          {L"Directory", L"/kite/pub"}},
         " http update.example.com 8080 alice s3cret /kite/pub"},
        {{{L"Protocol", L"ftp"}, {L"Port", L"21"}, {L"Password", L"pw"}, {L"Directory", L"\\up"}},
         " ftp  21 NULL pw \\up"},
        {{{L"Host", L"h"}, {L"User", L"John  Smith"}}, "  h  John  Smith NULL NULL"}, // not quoted
        {{{L"Host", std::wstring(300, L'h')}}, "  " + std::string(258, 'h') + "  NULL NULL NULL"},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        SCOPED_TRACE(i);
        DeleteFileW(ini.c_str());
        if (i > 0) {
            ASSERT_TRUE(WriteUpgradeIni(ini, cases[i].keys, L"[KiteLogIn]\r\nBillText1=ad\r\n"));
        }
        EXPECT_EQ("\"" + ToUtf8(dir) + "upgrade.exe\" 4242" + cases[i].tail,
                  AnsiToUtf8(BuildUpgradeCommandLine(CString(dir.c_str()), 4242)));
    }
    DeleteFileW(ini.c_str());
    RemoveDirectoryW(dir.c_str());
}

// The executable's kite.ini is kept aside and put back (or removed).
class UpgradeStart : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        existed = CopyFileW(ini.c_str(), kept.c_str(), FALSE);
        ASSERT_NE(nullptr, CreatePanel());
    }
    void TearDown() override {
        SetEnvironmentVariableW(L"SIGNDESK_UPGRADE_HOLD", nullptr);
        PanelTest::TearDown();
        if (existed)
            MoveFileExW(kept.c_str(), ini.c_str(), MOVEFILE_REPLACE_EXISTING);
        else
            DeleteFileW(ini.c_str());
    }
    // A login that the host answers with code.
    void Register(const wchar_t* account, int code) {
        SetText(hPanel, IDC_LOGIN_ACCOUNT, account);
        SetText(hPanel, IDC_LOGIN_PASSWORD, L"pw");
        Command(hPanel, IDC_LOGIN_BTN_LOGIN);
        Panel()->OnRegResponse(code);
        Pump();
    }
    const std::wstring ini = ExeDir() + L"kite.ini", kept = ini + L".kept";
    bool existed = false;
};

TEST_F(UpgradeStart, EverySuccessfulRegistrationStartsTheProgramAndDoesNotWaitForIt) {
    const std::string pid = std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(WriteUpgradeIni(ini, {{L"Protocol", L"http"},
                                      {L"Host", L"up.example.com"},
                                      {L"Port", L"80"},
                                      {L"User", L"Jane Q Public"},
                                      {L"Directory", L"\\kite\\2011"}}));
    // The first start neither takes input nor records until this event is
    // set (or 10 seconds passed): a panel that waited for the program would
    // be back only after its record.
    const std::wstring hold = L"SignDeskUpgradeHold" + std::to_wstring(GetCurrentProcessId());
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, hold.c_str());
    ASSERT_NE(nullptr, release);
    const size_t before = RecordsOfThisProcess().size();
    Register(L"erin", 500);
    for (size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        if (i > 0) { // logged out again first
            siblings.main.registered = 0;
            Panel()->OnDeRegResponse(0);
        }
        SetEnvironmentVariableW(L"SIGNDESK_UPGRADE_HOLD", i == 0 ? hold.c_str() : nullptr);
        TraceLogTail log;
        log.Mark();
        Register(L"dave", 0);
        EXPECT_EQ(1, CountTraceLines(log.Lines(), "CLoginDlg::CheckUpgrade", "Enter"));
        EXPECT_EQ(1, CountTraceLines(log.Lines(), "CLoginDlg::CheckUpgrade", "Leave"));
        if (i == 0) {
            PumpFor(1000);
            EXPECT_EQ(before, RecordsOfThisProcess().size()) << "back while the program is held";
            SetEvent(release);
        }
        ASSERT_TRUE(PumpUntil([&] { return RecordsOfThisProcess().size() > before + i; }, 10000))
            << "upgrade.exe did not record a start";
        const UpgradeRecord rec = RecordsOfThisProcess().back();
        EXPECT_EQ("\"" + ToUtf8(ExeDir()) + "upgrade.exe\" " + pid +
                      " http up.example.com 80 Jane Q Public NULL \\kite\\2011",
                  rec.cmdline);
        EXPECT_EQ(10, rec.show);
        EXPECT_EQ((std::vector<std::string>{pid, "http", "up.example.com", "80", "Jane", "Q",
                                            "Public", "NULL", "\\kite\\2011"}),
                  std::vector<std::string>(rec.argv.begin() + 1, rec.argv.end()));
    }
    CloseHandle(release);
    PumpFor(1000);
    EXPECT_EQ(before + 2, RecordsOfThisProcess().size()) << "one start per success, none else";
}

} // namespace
