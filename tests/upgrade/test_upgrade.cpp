// The upgrade launcher: its command line from the "UPGRADE" section of
// "kite.ini" in the ANSI code page (UpgradeLine.*, also run under code page
// 936), and the real plug-in starting the upgrade stand-in, which records it.
#include "PanelTest.h"
#include "Upgrade.h"
#include "UpgradeRecords.h"

#include <string>

namespace {

using Keys = std::vector<std::pair<std::wstring, std::wstring>>;

TEST(UpgradeLine, EachSettingInItsPlaceAsReadWithNullForMissingAccountSettings) {
    char locale[64] = {};
    if (GetEnvironmentVariableA("LC_ALL", locale, sizeof(locale)) &&
        std::string(locale).compare(0, 5, "zh_CN") == 0) {
        EXPECT_EQ(936u, GetACP()) << "the Chinese run";
    }
    const std::wstring dir = TestExeDir() + L"upgrade line test\\";
    CreateDirectoryW(dir.c_str(), nullptr);
    const std::wstring ini = dir + L"kite.ini";
    const std::string none = "    NULL NULL NULL";
    struct Case {
        Keys keys;
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
        {{{L"Protocol", L"ftp"}, {L"Port", L"21"}, {L"Password", L"pw"}}, " ftp  21 NULL pw NULL"},
        {{{L"Host", L"h"}, {L"Directory", L"\\up\\kite"}}, "  h  NULL NULL \\up\\kite"},
        {{{L"User", L"John  Smith"}}, "    John  Smith NULL NULL"}, // not quoted
        {{{L"Host", std::wstring(300, L'h')}}, "  " + std::string(258, 'h') + "  NULL NULL NULL"},
        // A Thai letter is in neither code page, the two ideographs only in 936.
        {{{L"User", L"\x0E01user"}, {L"Password", L"\x7528\x6237"}},
         GetACP() == 936 ? "    ?user \xE7\x94\xA8\xE6\x88\xB7 NULL" : "    ?user ?? NULL"},
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

class UpgradeStart : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        saved = ReadBytes(ini, &existed);
        ASSERT_NE(nullptr, CreatePanel());
    }
    void TearDown() override {
        SetEnvironmentVariableW(L"SIGNDESK_UPGRADE_HOLD", nullptr);
        PanelTest::TearDown();
        // The executable's kite.ini as it was.
        if (!existed)
            DeleteFileW(ini.c_str());
        else if (FILE* f = _wfopen(ini.c_str(), L"wb")) {
            fwrite(saved.data(), 1, saved.size(), f);
            fclose(f);
        }
    }
    // A login that the host answers with code.
    void Register(const wchar_t* account, int code) {
        SetText(hPanel, IDC_LOGIN_ACCOUNT, account);
        SetText(hPanel, IDC_LOGIN_PASSWORD, L"pw");
        Command(hPanel, IDC_LOGIN_BTN_LOGIN);
        Panel()->OnRegResponse(code);
        Pump();
    }
    const std::wstring ini = TestExeDir() + L"kite.ini";
    std::string saved;
    bool existed = false;
};

TEST_F(UpgradeStart, EverySuccessfulRegistrationStartsTheProgramAndDoesNotWaitForIt) {
    const std::string pid = std::to_string(GetCurrentProcessId());
    struct Case {
        Keys keys;
        std::string tail;
        std::vector<std::string> args; // as the program splits them
    } cases[] = {
        {{}, "    NULL NULL NULL", {pid, "NULL", "NULL", "NULL"}},
        {{{L"Protocol", L"http"},
          {L"Host", L"up.example.com"},
          {L"Port", L"80"},
          {L"User", L"Jane Q Public"},
          {L"Directory", L"\\kite\\2011"}},
         " http up.example.com 80 Jane Q Public NULL \\kite\\2011",
         {pid, "http", "up.example.com", "80", "Jane", "Q", "Public", "NULL", "\\kite\\2011"}},
    };
    // The first start neither takes input nor records until this event is
    // set (or 10 seconds passed): a panel that waited for the program would
    // be back only after its record.
    const std::wstring hold = L"SignDeskUpgradeHold" + std::to_wstring(GetCurrentProcessId());
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, hold.c_str());
    ASSERT_NE(nullptr, release);
    const size_t before = RecordsOfThisProcess().size();
    auto recorded = [&](size_t n) {
        return PumpUntil([&] { return RecordsOfThisProcess().size() >= before + n; }, 10000);
    };
    Register(L"erin", 500);
    for (size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(WriteUpgradeIni(ini, cases[i].keys));
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
        ASSERT_TRUE(recorded(i + 1)) << "upgrade.exe did not record a start";
        const UpgradeRecord rec = RecordsOfThisProcess().back();
        EXPECT_EQ("\"" + ToUtf8(TestExeDir()) + "upgrade.exe\" " + pid + cases[i].tail,
                  rec.cmdline);
        EXPECT_EQ(10, rec.show);
        EXPECT_EQ(cases[i].args, std::vector<std::string>(rec.argv.begin() + 1, rec.argv.end()));
    }
    CloseHandle(release);
    PumpFor(1000);
    EXPECT_EQ(before + 2, RecordsOfThisProcess().size()) << "one start per success, none else";
}

} // namespace
