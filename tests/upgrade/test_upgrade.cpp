// The upgrade launcher through the real plug-in: every successful
// registration starts "upgrade.exe" beside the executable with the upgrade
// settings of "kite.ini", on a worker thread that the panel does not wait
// for. The stand-in records what it received.
#include "PanelFixture.h"
#include "UpgradeRecords.h"

#include <memory>
#include <string>

namespace {

class UpgradeTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        ini = TestExeDir() + L"kite.ini";
        iniGuard.reset(new IniFileGuard(ini));
        ASSERT_TRUE(WriteUpgradeIni(ini, keys));
        pid = std::to_string(GetCurrentProcessId());
        ASSERT_NE(nullptr, CreatePanel());
    }
    void TearDown() override {
        SetEnvironmentVariableW(L"SIGNDESK_UPGRADE_HOLD", nullptr);
        PanelTest::TearDown();
        iniGuard.reset();
    }

    // Puts one key into the "UPGRADE" section of the executable's kite.ini.
    void Set(const wchar_t* key, const wchar_t* value) {
        keys.push_back({key, value});
        ASSERT_TRUE(WriteUpgradeIni(ini, keys));
    }

    void StartLogin(const wchar_t* account, const wchar_t* password) {
        SetText(hPanel, IDC_LOGIN_ACCOUNT, account);
        SetText(hPanel, IDC_LOGIN_PASSWORD, password);
        Command(hPanel, IDC_LOGIN_BTN_LOGIN);
    }

    bool WaitForRecords(size_t count, DWORD ms = 10000) {
        return PumpUntil([&] { return RecordsOfThisProcess().size() >= count; }, ms);
    }

    std::string Program() const { return "\"" + ToUtf8(TestExeDir()) + "upgrade.exe\" "; }

    std::wstring ini;
    std::unique_ptr<IniFileGuard> iniGuard;
    std::vector<std::pair<std::wstring, std::wstring>> keys;
    std::string pid;
};

TEST_F(UpgradeTest, ASuccessfulRegistrationStartsTheUpgradeProgram) {
    size_t before = RecordsOfThisProcess().size();
    TraceLogTail log;
    log.Mark();
    StartLogin(L"alice", L"secret");
    Panel()->OnRegResponse(0);
    Pump();
    EXPECT_EQ(1, CountTraceLines(log.Lines(), "CLoginDlg::CheckUpgrade", "Enter"));
    EXPECT_EQ(1, CountTraceLines(log.Lines(), "CLoginDlg::CheckUpgrade", "Leave"));

    ASSERT_TRUE(WaitForRecords(before + 1)) << "upgrade.exe did not record a start";
    UpgradeRecord rec = RecordsOfThisProcess().back();
    EXPECT_EQ(Program() + pid + "    NULL NULL NULL", rec.cmdline)
        << "no upgrade settings: the account is not passed on";
    EXPECT_EQ(10, rec.show);
    EXPECT_EQ((std::vector<std::string>{pid, "NULL", "NULL", "NULL"}),
              std::vector<std::string>(rec.argv.begin() + 1, rec.argv.end()));
}

TEST_F(UpgradeTest, TheProgramGetsTheSettingsAsReadWithBlanksSplittingArguments) {
    Set(L"Protocol", L"http");
    Set(L"Host", L"up.example.com");
    Set(L"Port", L"80");
    Set(L"User", L"Jane Q Public");
    Set(L"Directory", L"\\kite\\2011");
    size_t before = RecordsOfThisProcess().size();
    StartLogin(L"bob", L"pw");
    Panel()->OnRegResponse(0);
    Pump();
    ASSERT_TRUE(WaitForRecords(before + 1));
    UpgradeRecord rec = RecordsOfThisProcess().back();
    EXPECT_EQ(Program() + pid + " http up.example.com 80 Jane Q Public NULL \\kite\\2011",
              rec.cmdline);
    EXPECT_EQ((std::vector<std::string>{pid, "http", "up.example.com", "80", "Jane", "Q", "Public",
                                        "NULL", "\\kite\\2011"}),
              std::vector<std::string>(rec.argv.begin() + 1, rec.argv.end()));
}

TEST_F(UpgradeTest, ThePanelDoesNotWaitForTheProgram) {
    // The stand-in holds its record back until the event is set.
    std::wstring name = L"SignDeskUpgradeHold" + std::to_wstring(GetCurrentProcessId());
    HANDLE hRelease = CreateEventW(nullptr, TRUE, FALSE, name.c_str());
    ASSERT_NE(nullptr, hRelease);
    SetEnvironmentVariableW(L"SIGNDESK_UPGRADE_HOLD", name.c_str());
    size_t before = RecordsOfThisProcess().size();

    StartLogin(L"carol", L"pw");
    DWORD start = GetTickCount();
    Panel()->OnRegResponse(0);
    DWORD took = GetTickCount() - start;
    EXPECT_LT(took, 3000u) << "the registration result came back only after the program";
    // The program cannot have finished: it is waiting for the event (at
    // most 10 seconds), so a panel that waited for it would not be back yet.
    EXPECT_EQ(before, RecordsOfThisProcess().size());
    PumpFor(1000);
    EXPECT_EQ(before, RecordsOfThisProcess().size()) << "still held";

    SetEvent(hRelease);
    DWORD released = GetTickCount();
    EXPECT_TRUE(WaitForRecords(before + 1)) << "the program was started and ran on its own";
    EXPECT_LT(GetTickCount() - released, 5000u) << "it was waiting for the event, not timing out";
    CloseHandle(hRelease);
}

TEST_F(UpgradeTest, EveryRegistrationStartsOneMore) {
    size_t before = RecordsOfThisProcess().size();
    StartLogin(L"dave", L"pw");
    Panel()->OnRegResponse(0);
    Pump();
    ASSERT_TRUE(WaitForRecords(before + 1));
    // Registered again (the host reports success once more after a logout).
    siblings.main.registered = 0;
    Panel()->OnDeRegResponse(0);
    Pump();
    StartLogin(L"dave", L"pw");
    Panel()->OnRegResponse(0);
    Pump();
    ASSERT_TRUE(WaitForRecords(before + 2));
    PumpFor(500);
    EXPECT_EQ(before + 2, RecordsOfThisProcess().size());
}

TEST_F(UpgradeTest, AFailedRegistrationStartsNothing) {
    size_t before = RecordsOfThisProcess().size();
    StartLogin(L"erin", L"pw");
    Panel()->OnRegResponse(500);
    PumpFor(1500);
    EXPECT_EQ(before, RecordsOfThisProcess().size());
}

} // namespace
