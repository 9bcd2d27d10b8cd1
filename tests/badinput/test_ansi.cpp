// Characters outside the ANSI code page (1252, and 936 in a second ctest
// entry) where the plug-in writes narrow text: the user's text never reaches
// the trace log, which stays well-formed; the upgrade program gets the code
// page's default character; a host folder the code page cannot name leaves
// the log silent and the program unstarted, and the panel works on.
#include "BadInputFixture.h"
#include "UpgradeRecords.h"

namespace {

namespace fs = std::filesystem;

using AnsiText = BadInput;

// What the code page makes of a text, as the upgrade program reads it back.
std::string ThroughTheCodePage(const std::wstring& w) {
    char a[256] = {};
    WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, a, sizeof(a), nullptr, nullptr);
    return AnsiToUtf8(a);
}

TEST_F(AnsiText, UserAndLanguageTextsNeverReachTheLogAndTheLogStaysWellFormed) {
    const std::wstring account = L"\u0416\u0430\u043d\u043d\u0430\u4e2d\U0001F600";
    const std::wstring password = L"\u043f\u0430\u0440\u043e\u043b\u044c\u5bc6\u7801";
    siblings.settings.accounts = {account.c_str(), L"bob"};
    TraceLogTail trace;
    trace.Mark();
    ASSERT_TRUE(CreatePanel());
    EXPECT_EQ(account, Text(hPanel, IDC_LOGIN_ACCOUNT)) << "shown intact";
    StartLogin(account, password);
    LogInOutAndSwitchLanguage(L"\u042f\u0437\u044b\u043a \u4e2d\u6587 ");
    // Passed on intact.
    EXPECT_TRUE(Calls().Has(L"Login.StartLogin(" + account + L"," + password + L",0)"));
    EXPECT_TRUE(Calls().Has(L"Main.SetCurrentAccount(" + account + L")"));
    EXPECT_TRUE(Calls().Has(L"Settings.SaveLoginRecord(" + account + L"," + password + L",0)"));

    const std::vector<std::string> lines = trace.Lines();
    ASSERT_GT(lines.size(), 20u);
    int enters = 0, leaves = 0, warnings = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        SCOPED_TRACE(line);
        for (unsigned char c : line)
            ASSERT_LT(c, 0x80);
        enters += EndsWith(line, "()][Enter]");
        leaves += EndsWith(line, "()][Leave]");
        if (line == "Can't find the account! in db.") { // the first account has no record
            ++warnings;
            ASSERT_GE(i, 2u);
            EXPECT_EQ("Content:", lines[i - 1]);
            EXPECT_TRUE(EndsWith(lines[i - 2], "CLoginDlg::InitData()][War]"));
        } else {
            EXPECT_TRUE(line.compare(0, 11, "Begin Time:") == 0 || line == "Content:" ||
                        (line[0] == '[' && line.find("][P:") != std::string::npos &&
                         (EndsWith(line, "()][Enter]") || EndsWith(line, "()][Leave]") ||
                          EndsWith(line, "()][War]"))));
        }
    }
    EXPECT_EQ(1, warnings);
    EXPECT_EQ(enters, leaves) << "every scope left";
    EXPECT_GT(enters, 10);
}

TEST_F(AnsiText, TheUpgradeCommandLineCarriesTheCodePagesDefaultCharacter) {
    const std::wstring host = L"\u0441\u0435\u0440\u0432\u0435\u0440.\u4f8b\u3048.jp";
    const std::wstring user = L"\u0416\u0430\u043d\u043d\u0430";
    const std::wstring password = L"\u5bc6\u7801\U0001F600";
    const std::wstring directory = L"/\u043f\u0443\u0442\u044c/\u76ee\u5f55";
    ASSERT_TRUE(WriteUpgradeIni(ExeDir() + L"kite.ini", {{L"Protocol", L"ftp"},
                                                         {L"Host", host},
                                                         {L"Port", L"21"},
                                                         {L"User", user},
                                                         {L"Password", password},
                                                         {L"Directory", directory}}));
    ASSERT_TRUE(CreatePanel());
    StartLogin(L"carol");
    Panel()->OnRegResponse(0);
    // This test's start is the one with the protocol (other logins of this
    // process started the program without the ini file).
    UpgradeRecord rec;
    ASSERT_TRUE(PumpUntil(
        [&] {
            for (const UpgradeRecord& r : RecordsOfThisProcess())
                if (r.argv.size() > 2 && r.argv[2] == "ftp")
                    return rec = r, true;
            return false;
        },
        15000))
        << "the upgrade program was not started";
    const std::vector<std::string> args = {"ftp",
                                           ThroughTheCodePage(host),
                                           "21",
                                           ThroughTheCodePage(user),
                                           ThroughTheCodePage(password),
                                           ThroughTheCodePage(directory)};
    EXPECT_EQ(args, std::vector<std::string>(rec.argv.begin() + 2, rec.argv.end())) << rec.cmdline;
    if (GetACP() == 1252) {
        EXPECT_EQ("??????.??.jp", args[1]);
        EXPECT_EQ("?????", args[3]);
        EXPECT_EQ("/????"
                  "/??",
                  args[5]);
    } else { // 936 holds Cyrillic, kana and the ideographs
        EXPECT_EQ(936u, GetACP());
        EXPECT_EQ(ToUtf8(host), args[1]);
        EXPECT_EQ(ToUtf8(user), args[3]);
        EXPECT_EQ(ToUtf8(directory), args[5]);
        EXPECT_EQ(0u, args[4].find(ToUtf8(L"\u5bc6\u7801"))) << args[4];
    }
    EXPECT_EQ(L"LogIn", Picture()) << "the panel is logged in whatever the program got";
}

// The host runs from a folder named with letters in or outside the code page.
using ForeignFolder = BadInput;

TEST_F(ForeignFolder, TheLogAndTheUpgradeProgramNeedTheFolderInTheCodePage) {
    const std::wstring dir = ExeDir();
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, dir.c_str(), -1, nullptr, 0, nullptr, &lossy);
    EXPECT_EQ(dir.find(L"\u0416") != std::wstring::npos, lossy != FALSE) << "the Cyrillic folder";
    ASSERT_TRUE(WriteUpgradeIni(dir + L"kite.ini", {{L"User", L"u"}}));
    ASSERT_TRUE(CreatePanel());
    StartLogin(L"carol");
    EXPECT_EQ(L"Loging", Picture());
    LogInOutAndSwitchLanguage(L"ZH ");
    EXPECT_TRUE(Calls().Has(L"Login.StopLogin()"));
    EXPECT_TRUE(Calls().Has(L"Main.NotifyDeregistered()"));
    // Unloading waits for the upgrade launcher's thread: the start was tried.
    host.Unload();
    if (!lossy) {
        const std::string log = ReadFileBytes(dir + L"log\\KITE.log");
        EXPECT_EQ(0u, log.find("Begin Time:"));
        EXPECT_NE(std::string::npos, log.find("CLoginDlg::OnRegResponse()][Leave]"));
        EXPECT_TRUE(PumpUntil([] { return RecordsOfThisProcess().size() == 1; }, 15000));
    } else {
        EXPECT_FALSE(fs::exists(dir + L"log")) << "the log stays silent";
        EXPECT_FALSE(fs::exists(dir + L"MyLog.log"));
        PumpFor(500);
        EXPECT_FALSE(fs::exists(dir + L"upgrade_calls.log")) << "the program cannot be found";
    }
}

} // namespace
