// The upgrade launcher's command line, linked directly from the plug-in's
// code: built from the "UPGRADE" section of "kite.ini" in a folder of the
// test's own, converted to the ANSI code page of the process (also run with
// a Chinese code page), and really received by the started program.
#include "Upgrade.h"
#include "UpgradeRecords.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace {

class UpgradeLine : public ::testing::Test {
protected:
    void SetUp() override {
        dir = TestExeDir() + L"upgrade_line_test\\";
        CreateDirectoryW(dir.c_str(), nullptr);
        DeleteFileW((dir + L"kite.ini").c_str());
        pid = std::to_string(GetCurrentProcessId());
        program = "\"" + ToUtf8(dir) + "upgrade.exe\" ";
    }
    void TearDown() override { DeleteFileW((dir + L"kite.ini").c_str()); }

    void Ini(const std::vector<std::pair<std::wstring, std::wstring>>& keys,
             const std::wstring& extra = L"") {
        ASSERT_TRUE(WriteUpgradeIni(dir + L"kite.ini", keys, extra));
    }

    // The line in the ANSI code page, shown as UTF-8 to compare.
    std::string Line() {
        return AnsiToUtf8(BuildUpgradeCommandLine(CString(dir.c_str()), GetCurrentProcessId()));
    }

    std::wstring dir;
    std::string pid;
    std::string program;
};

TEST_F(UpgradeLine, AllKeysMissingLeavesFourBlanksAndThreeNulls) {
    // No ini file at all.
    std::string expected = program + pid + "    NULL NULL NULL";
    EXPECT_EQ(expected, Line());
    EXPECT_EQ(expected,
              AnsiToUtf8(BuildUpgradeCommandLine(CString(dir.c_str()), GetCurrentProcessId())));
    // A file without the section, or with the section but no keys.
    Ini({}, L"[KiteLogIn]\r\nBillText1=ad\r\n");
    EXPECT_EQ(expected, Line());
}

TEST_F(UpgradeLine, EverySettingGoesToItsPlace) {
    Ini({{L"Protocol", L"http"},
         {L"Host", L"update.example.com"},
         {L"Port", L"8080"},
         {L"User", L"alice"},
         {L"Password", L"s3cret"},
         {L"Directory", L"/kite/pub"}});
    EXPECT_EQ(program + pid + " http update.example.com 8080 alice s3cret /kite/pub", Line());
}

TEST_F(UpgradeLine, EmptyServerSettingsStayEmptyAndUnsetAccountSettingsBecomeNull) {
    Ini({{L"Protocol", L"ftp"}, {L"Port", L"21"}, {L"Password", L"pw"}});
    EXPECT_EQ(program + pid + " ftp  21 NULL pw NULL", Line());

    Ini({{L"Host", L"h"}, {L"Directory", L"\\updates\\kite"}});
    EXPECT_EQ(program + pid + "  h  NULL NULL \\updates\\kite", Line());
}

TEST_F(UpgradeLine, AUserNameWithBlanksIsNotQuoted) {
    Ini({{L"User", L"John  Smith"}});
    EXPECT_EQ(program + pid + "    John  Smith NULL NULL", Line());
}

TEST_F(UpgradeLine, ValuesAreCutAt258Characters) {
    Ini({{L"Host", std::wstring(300, L'h')}});
    EXPECT_EQ(program + pid + "  " + std::string(258, 'h') + "  NULL NULL NULL", Line());
}

TEST_F(UpgradeLine, CharactersOutsideTheAnsiCodePageBecomeItsDefaultCharacter) {
    // A Thai letter is in neither Western nor Chinese code page; the two
    // Chinese characters are in the Chinese one only.
    Ini({{L"User", L"\x0E01user"}, {L"Password", L"\x7528\x6237"}});
    std::string raw = BuildUpgradeCommandLine(CString(dir.c_str()), GetCurrentProcessId());
    std::string tail = raw.substr(raw.size() - 16);
    if (GetACP() == 936)
        EXPECT_EQ(std::string("?user \xD3\xC3\xBB\xA7 NULL"), tail.substr(tail.size() - 15));
    else
        EXPECT_EQ(std::string("   ?user ?? NULL"), tail);
}

TEST(UpgradeLineCodePage, TheChineseRunReallyHasTheChineseCodePage) {
    char locale[64] = {};
    if (!GetEnvironmentVariableA("LC_ALL", locale, sizeof(locale)) ||
        std::string(locale).compare(0, 5, "zh_CN") != 0)
        GTEST_SKIP() << "run without a Chinese locale";
    EXPECT_EQ(936u, GetACP());
}

TEST_F(UpgradeLine, TheFolderGoesIntoTheQuotedProgramPathAsItIs) {
    std::wstring spaced = TestExeDir() + L"upgrade line test\\";
    CreateDirectoryW(spaced.c_str(), nullptr);
    std::string line = AnsiToUtf8(BuildUpgradeCommandLine(CString(spaced.c_str()), 4242));
    EXPECT_EQ("\"" + ToUtf8(spaced) + "upgrade.exe\" 4242    NULL NULL NULL", line);
    RemoveDirectoryW(spaced.c_str());
}

// The launcher started from the executable's own folder: the stand-in
// beside the test receives the line.
class UpgradeLaunch : public ::testing::Test {
protected:
    void SetUp() override {
        ini = TestExeDir() + L"kite.ini";
        iniGuard.reset(new IniFileGuard(ini));
        ASSERT_TRUE(WriteUpgradeIni(ini, {}));
    }
    void TearDown() override { iniGuard.reset(); }

    static bool WaitForRecords(size_t count, int ms = 10000) {
        for (int waited = 0; waited < ms; waited += 50) {
            if (RecordsOfThisProcess().size() >= count)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return RecordsOfThisProcess().size() >= count;
    }

    std::wstring ini;
    std::unique_ptr<IniFileGuard> iniGuard;
};

TEST_F(UpgradeLaunch, TheStartedProgramReceivesTheLineWithTheDefaultShowCommand) {
    ASSERT_TRUE(WriteUpgradeIni(ini, {{L"Protocol", L"https"}, {L"User", L"John Smith"}}));
    size_t before = RecordsOfThisProcess().size();
    LaunchUpgrade();
    ASSERT_TRUE(WaitForRecords(before + 1)) << "upgrade.exe did not record a start";
    UpgradeRecord rec = RecordsOfThisProcess().back();
    std::string pid = std::to_string(GetCurrentProcessId());
    EXPECT_EQ("\"" + ToUtf8(TestExeDir()) + "upgrade.exe\" " + pid +
                  " https   John Smith NULL NULL",
              rec.cmdline);
    EXPECT_EQ(10, rec.show);
    // The user name with its blank becomes two arguments.
    std::vector<std::string> args(rec.argv.begin() + 1, rec.argv.end());
    EXPECT_EQ((std::vector<std::string>{pid, "https", "John", "Smith", "NULL", "NULL"}), args);
}

TEST_F(UpgradeLaunch, TheThreadProcedureLaunchesOnlyWithAnArgument) {
    size_t before = RecordsOfThisProcess().size();
    EXPECT_EQ(0u, UpgradeProc(nullptr));
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_EQ(before, RecordsOfThisProcess().size()) << "nothing started without an argument";

    UpgradeInfo info;
    EXPECT_EQ(0u, UpgradeProc(&info));
    ASSERT_TRUE(WaitForRecords(before + 1));
    EXPECT_EQ(std::to_string(GetCurrentProcessId()) + "    NULL NULL NULL",
              RecordsOfThisProcess().back().cmdline.substr(
                  RecordsOfThisProcess().back().cmdline.find("\" ") + 2));
}

} // namespace
