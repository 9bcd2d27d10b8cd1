// Characters outside the ANSI code page. The trace log and the upgrade
// command line are the only narrow texts of the plug-in: the user's text
// never reaches the log, the log stays well-formed, and what the code page
// cannot hold reaches the upgrade program as the code page's default
// character. A host folder whose name the code page cannot hold leaves the
// log silent and the upgrade program unstarted; the panel works on.
//
// Run under code page 1252 and, as a second ctest entry, under 936.
#include "BadInputFixture.h"
#include "UpgradeRecords.h"

namespace {

std::string Utf8(const std::wstring& w) {
    return ToUtf8(w);
}

// What the code page makes of a text, as the upgrade program reads it back.
std::string ThroughTheCodePage(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_ACP, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string a(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, w.c_str(), static_cast<int>(w.size()), &a[0], n, nullptr,
                            nullptr);
    return AnsiToUtf8(a);
}

bool Representable(const std::wstring& w) {
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.c_str(), static_cast<int>(w.size()),
                        nullptr, 0, nullptr, &lossy);
    return !lossy;
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// A line of the log as the log writes them.
bool WellFormed(const std::string& line) {
    if (line.compare(0, 11, "Begin Time:") == 0 || line == "Content:")
        return true;
    if (line.empty() || line[0] != '[' || line.find("][P:") == std::string::npos)
        return false;
    return EndsWith(line, "()][Enter]") || EndsWith(line, "()][Leave]") ||
           EndsWith(line, "()][War]") || EndsWith(line, "()][Err]") || EndsWith(line, "()][Inf]");
}

class AnsiText : public BadInput {
protected:
    void SetUp() override {
        BadInput::SetUp();
        if (IsSkipped())
            return;
        // The run under a Chinese locale must really have code page 936.
        char expected[16] = {};
        if (GetEnvironmentVariableA("SIGNDESK_EXPECT_ACP", expected, sizeof(expected))) {
            ASSERT_EQ(static_cast<UINT>(atoi(expected)), GetACP());
        }
        printf("ANSI code page %u\n", GetACP());
    }
};

TEST_F(AnsiText, UserAndLanguageTextNeverReachTheLogAndTheLogStaysWellFormed) {
    const std::wstring account = L"\u0416\u0430\u043d\u043d\u0430\u4e2d\U0001F600";
    const std::wstring password = L"\u043f\u0430\u0440\u043e\u043b\u044c\u5bc6\u7801";
    siblings.settings.accounts = {account.c_str(), L"bob"};
    TraceLogTail trace;
    trace.Mark();
    ASSERT_NE(nullptr, CreatePanel());
    EXPECT_EQ(account, Text(hPanel, IDC_LOGIN_ACCOUNT)) << "shown intact";

    SetText(hPanel, IDC_LOGIN_PASSWORD, password);
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGIN));
    EXPECT_TRUE(Calls().Has(L"Login.StartLogin(" + account + L"," + password + L",0)"))
        << "passed on intact";
    Panel()->OnRegResponse(0);
    Pump();
    siblings.main.registered = 1;
    EXPECT_EQ(account, Str(siblings.main.currentAccount));
    EXPECT_TRUE(Calls().Has(L"Settings.SaveLoginRecord(" + account + L"," + password + L",0)"));
    MessageBoxes::Answer(IDOK);
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGOUT));
    siblings.main.registered = 0;
    Panel()->OnDeRegResponse(0);
    siblings.lang.prefix = L"\u042f\u0437\u044b\u043a \u4e2d\u6587 ";
    Panel()->OnChangeLanguage();
    Pump();
    EXPECT_EQ(siblings.lang.prefix + L"Login:IDS_LOG_TITLE", Text(hPanel, IDC_LOGIN_BTN_LOGIN));

    const std::vector<std::string> lines = trace.Lines();
    ASSERT_GT(lines.size(), 20u);
    int enters = 0, leaves = 0, warnings = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        for (unsigned char c : line)
            ASSERT_LT(c, 0x80) << "line " << i << ": " << line;
        if (line == "Can't find the account! in db.") {
            ++warnings;
            ASSERT_GE(i, 2u);
            EXPECT_EQ("Content:", lines[i - 1]);
            EXPECT_TRUE(EndsWith(lines[i - 2], "CLoginDlg::InitData()][War]")) << lines[i - 2];
            continue;
        }
        EXPECT_TRUE(WellFormed(line)) << "line " << i << ": " << line;
        enters += EndsWith(line, "[Enter]");
        leaves += EndsWith(line, "[Leave]");
    }
    EXPECT_EQ(1, warnings) << "the first account has no stored record";
    EXPECT_EQ(enters, leaves) << "every scope left";
    EXPECT_GT(enters, 10);
}

TEST_F(AnsiText, TheUpgradeCommandLineCarriesTheCodePagesDefaultCharacter) {
    const std::wstring host = L"\u0441\u0435\u0440\u0432\u0435\u0440.\u4f8b\u3048.jp";
    const std::wstring user = L"\u0416\u0430\u043d\u043d\u0430";
    const std::wstring password = L"\u5bc6\u7801\U0001F600";
    const std::wstring directory = L"/\u043f\u0443\u0442\u044c/\u76ee\u5f55";
    ASSERT_TRUE(WriteUpgradeIni(TestExeDir() + L"kite.ini", {{L"Protocol", L"ftp"},
                                                             {L"Host", host},
                                                             {L"Port", L"21"},
                                                             {L"User", user},
                                                             {L"Password", password},
                                                             {L"Directory", directory}}));
    ASSERT_NE(nullptr, CreatePanel());
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"carol");
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGIN));
    Panel()->OnRegResponse(0);
    Pump();
    // This run's start is the one with the protocol (other logins of this
    // process started the program without the ini file).
    auto started = [](UpgradeRecord* out) {
        for (const UpgradeRecord& r : RecordsOfThisProcess())
            if (r.argv.size() > 2 && r.argv[2] == "ftp") {
                *out = r;
                return true;
            }
        return false;
    };
    UpgradeRecord rec;
    ASSERT_TRUE(PumpUntil([&] { return started(&rec); }, 15000))
        << "the upgrade program was not started";
    ASSERT_EQ(8u, rec.argv.size()) << rec.cmdline;
    EXPECT_EQ("ftp", rec.argv[2]);
    EXPECT_EQ(ThroughTheCodePage(host), rec.argv[3]);
    EXPECT_EQ("21", rec.argv[4]);
    EXPECT_EQ(ThroughTheCodePage(user), rec.argv[5]);
    EXPECT_EQ(ThroughTheCodePage(password), rec.argv[6]);
    EXPECT_EQ(ThroughTheCodePage(directory), rec.argv[7]);
    for (size_t i = 2; i < rec.argv.size(); ++i)
        for (unsigned char c : rec.argv[i])
            EXPECT_LT(c, 0xF0) << "no character outside the code page survives, argv " << i;
    if (GetACP() == 1252) {
        EXPECT_EQ("??????.??.jp", rec.argv[3]);
        EXPECT_EQ("?????", rec.argv[5]);
        EXPECT_EQ("/????"
                  "/??",
                  rec.argv[7]);
    } else if (GetACP() == 936) {
        // Cyrillic, kana and the ideographs are in the code page.
        EXPECT_EQ(Utf8(host), rec.argv[3]);
        EXPECT_EQ(Utf8(user), rec.argv[5]);
        EXPECT_EQ(Utf8(directory), rec.argv[7]);
        EXPECT_EQ(0u, rec.argv[6].find(Utf8(L"\u5bc6\u7801"))) << rec.argv[6];
    }
    EXPECT_EQ(0, PictureState(hPanel)) << "the panel is logged in whatever the program got";
}

// The host runs from a folder named with Cyrillic and Chinese letters.
class ForeignFolder : public BadInput {};

TEST_F(ForeignFolder, TheLogAndTheUpgradeProgramNeedTheFolderInTheCodePage) {
    const std::wstring dir = TestExeDir();
    const bool representable = Representable(dir);
    printf("host folder %s the ANSI code page %u\n", representable ? "fits" : "does not fit",
           GetACP());
    ASSERT_TRUE(WriteUpgradeIni(dir + L"kite.ini", {{L"User", L"u"}}));
    // The whole walk: login, result, logout, result, language switch.
    ASSERT_NE(nullptr, CreatePanel());
    SetText(hPanel, IDC_LOGIN_ACCOUNT, L"carol");
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGIN));
    EXPECT_EQ(2, PictureState(hPanel));
    Panel()->OnRegResponse(0);
    Pump();
    siblings.main.registered = 1;
    EXPECT_EQ(0, PictureState(hPanel));
    MessageBoxes::Answer(IDOK);
    ASSERT_TRUE(Click(hPanel, IDC_LOGIN_BTN_LOGOUT));
    siblings.main.registered = 0;
    Panel()->OnDeRegResponse(0);
    siblings.lang.prefix = L"ZH ";
    Panel()->OnChangeLanguage();
    Pump();
    EXPECT_EQ(1, PictureState(hPanel));
    EXPECT_EQ(L"ZH Kite:IDS_UC_NOT_LOG", Status());
    EXPECT_TRUE(Calls().Has(L"Login.StopLogin()"));
    EXPECT_TRUE(Calls().Has(L"Main.NotifyDeregistered()"));

    // Unloading waits for the upgrade launcher's thread: the start was tried.
    siblings.UnregisterAll();
    host.Unload();
    if (representable) {
        const std::string log = ReadFileBytes(dir + L"log\\KITE.log");
        EXPECT_EQ(0u, log.find("Begin Time:"));
        EXPECT_NE(std::string::npos, log.find("CLoginDlg::OnRegResponse()][Leave]"));
        EXPECT_TRUE(PumpUntil([] { return RecordsOfThisProcess().size() == 1; }, 15000));
    } else {
        EXPECT_FALSE(DirectoryExists(dir + L"log")) << "the log stays silent";
        EXPECT_FALSE(FileExists(dir + L"MyLog.log"));
        PumpFor(500);
        EXPECT_FALSE(FileExists(dir + L"upgrade_calls.log")) << "the program cannot be found";
    }
    siblings.RegisterAll();
}

} // namespace
