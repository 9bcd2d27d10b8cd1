// Record formats: "Begin Time:", scope lines, content records, their
// locations and levels.
#include "TestUtil.h"

using TraceLogFormat = TraceLogTest;

static int TracedMember() {
    TRACE_SCOPE("CLoginDlg::ShowAdvancedDlg");
    return __LINE__ - 1;
}

TEST_F(TraceLogFormat, FirstTracedCallWritesBeginTimeThenEnterAndLeaveOnOneLine) {
    g_pTraceLog = OpenTraceLog(Widen(path).c_str());
    EXPECT_FALSE(fs::exists(path)) << "opened before the first write";
    const std::string line = std::to_string(TracedMember());
    const Log log = Parse(path);
    ASSERT_EQ(log.order, "BSS");
    // After "[" time stamp "]":
    const std::string rest = "[P:" + std::to_string(GetCurrentProcessId()) +
                             "/T:" + std::to_string(GetCurrentThreadId()) +
                             "][test_format.cpp:" + line + " CLoginDlg::ShowAdvancedDlg()]";
    EXPECT_EQ(log.recs[1].line.substr(25), rest + "[Enter]");
    EXPECT_EQ(log.recs[2].line.substr(25), rest + "[Leave]");
}

// A scope uses the log its variable holds at the moment it writes, and
// copies of the names it was given.
TEST_F(TraceLogFormat, NestedScopesRestoreTheirOwnLocation) {
    CTraceLog log(path.c_str());
    ITraceLog* variable = nullptr;
    {
        CTraceScope late(&variable, "CLate::Open", "late.cpp", 5);
        variable = &log;
        std::string function = "COuter::Run", file = "src/outer.cpp";
        CTraceScope outer(&variable, function.c_str(), file.c_str(), 10);
        function.assign(function.size(), 'X');
        file.assign(file.size(), 'Y');
        {
            CTraceScope inner(&variable, "CInner::Step", "src\\inner.cpp", 20);
            log.WriteHere("inside %s", "inner");
        }
    }
    {
        CTraceScope early(&variable, "CEarly::Close", "early.cpp", 30);
        variable = nullptr;
    }
    const Log parsed = Parse(path);
    ASSERT_EQ(parsed.order, "BSSCSSSS");
    const char* expected[] = {
        "[outer.cpp:10 COuter::Run()][Enter]",  "[inner.cpp:20 CInner::Step()][Enter]",
        "[inner.cpp:20 CInner::Step()][Inf]",   "[inner.cpp:20 CInner::Step()][Leave]",
        "[outer.cpp:10 COuter::Run()][Leave]",  "[late.cpp:5 CLate::Open()][Leave]",
        "[early.cpp:30 CEarly::Close()][Enter]"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(parsed.recs[i + 1].where, expected[i]);
    }
    EXPECT_EQ(parsed.recs[3].text, "inside inner");
}

// Content records above the threshold are dropped, scope lines never. Scope
// lines at a given place show the last component of the source path (none
// when it is empty) and leave the thread's own location as it was.
TEST_F(TraceLogFormat, RecordsShowTheirLevelTextAndTheLastComponentOfTheSourcePath) {
    CTraceLog log(path.c_str());
    log.Write(TRACE_LEVEL_ERROR, "CLoginDlg::CloseDatabase", "core/DlgLogin.cpp", 446,
              L"Error: %d . ", 5);
    log.Write(TRACE_LEVEL_WARNING, "CLoginDlg::InitData", "DlgLogin.cpp", 7,
              "Can't find the account! in db.");
    log.Write(TRACE_LEVEL_INFO, "CInfo::Note", "info.cpp", 8, "%d%%", 100);
    log.Write(-1, "CLevel::Other", "level.cpp", -1, "level %d", -1);
    log.Write(3, "CLevel::Other", "level.cpp", 3, "above the default threshold");
    // In a wide format %s takes a wide string and %S a narrow one; the other
    // way round in a narrow format. %I64 is 64 bits.
    log.Write(TRACE_LEVEL_INFO, "CFmt::Run", "fmt.cpp", 2147483647, L"%s/%S/%d", L"wide", "narrow",
              -3);
    log.Write(TRACE_LEVEL_INFO, "CFmt::Run", "fmt.cpp", 9, "%s/%S/%I64u/%I64d", "narrow", L"wide",
              1099511627776ULL, -5LL);
    log.SetLevel(1);
    ITraceLog* variable = &log;
    {
        CTraceScope scope(&variable, "CLevel::Scoped", "level.cpp", 5);
        log.WriteHere("information");
        log.SetLocation("CLevel::Scoped", "level.cpp", 6, TRACE_LEVEL_WARNING);
        log.WriteHere(L"warning");
        log.Write(TRACE_LEVEL_INFO, "CLevel::Scoped", "level.cpp", 7, L"information");
        log.Write(TRACE_LEVEL_ERROR, "CLevel::Scoped", "level.cpp", 8, L"error");
    }
    log.SetLevel(3);
    log.Write(3, "CLevel::Three", "level.cpp", 3, "kept");
    log.Write(4, "CLevel::Three", "level.cpp", 4, "dropped");
    for (const char* file : {"C:\\work/login/DlgLogin.cpp", "mixed/dir\\Both.h", "dir/"}) {
        log.WriteScopeLine("CFile::Part", file, 3, true);
    }
    log.WriteScopeLine(false);
    log.SetLocation("CFile::Part", "dir\\", 4, TRACE_LEVEL_INFO);
    log.WriteScopeLine(false);
    log.WriteHere("dropped");
    const char* expected[] = {
        "[DlgLogin.cpp:446 CLoginDlg::CloseDatabase()][Err]Error: 5 . ",
        "[DlgLogin.cpp:7 CLoginDlg::InitData()][War]Can't find the account! in db.",
        "[info.cpp:8 CInfo::Note()][Inf]100%",
        "[level.cpp:-1 CLevel::Other()][]level -1",
        "[fmt.cpp:2147483647 CFmt::Run()][Inf]wide/narrow/-3",
        "[fmt.cpp:9 CFmt::Run()][Inf]narrow/wide/1099511627776/-5",
        "[level.cpp:5 CLevel::Scoped()][Enter]",
        "[level.cpp:6 CLevel::Scoped()][War]warning",
        "[level.cpp:8 CLevel::Scoped()][Err]error",
        "[level.cpp:5 CLevel::Scoped()][Leave]",
        "[level.cpp:3 CLevel::Three()][]kept",
        "[DlgLogin.cpp:3 CFile::Part()][Enter]",
        "[Both.h:3 CFile::Part()][Enter]",
        "[level.cpp:4 CLevel::Three()][Leave]",
    };
    const Log parsed = Parse(path);
    ASSERT_EQ(parsed.order, "BCCCCCCSCCSCSSS");
    for (int i = 0; i < 14; ++i) {
        EXPECT_EQ(parsed.recs[i + 1].where + parsed.recs[i + 1].text, expected[i]);
    }
}

// A present but empty function name still makes a location; only a scope
// line at a given place refuses an empty name or path.
TEST_F(TraceLogFormat, AnEmptyFunctionNameStillMakesALocation) {
    CTraceLog log(path.c_str());
    log.SetLocation("", "x.cpp", 5, TRACE_LEVEL_INFO);
    log.WriteHere("here");
    log.WriteScopeLine(true);
    log.WriteScopeLine("", "x.cpp", 6, true);
    log.WriteScopeLine("CX::Run", "", 7, true);
    log.Write(TRACE_LEVEL_INFO, "", "y.cpp", 8, "written");
    ITraceLog* variable = &log;
    { CTraceScope scope(&variable, "", "z.cpp", 9); }
    const char* expected[] = {
        "[x.cpp:5 ()][Inf]here", "[x.cpp:5 ()][Enter]", "[y.cpp:8 ()][Inf]written",
        "[z.cpp:9 ()][Enter]",   "[z.cpp:9 ()][Leave]",
    };
    const Log parsed = Parse(path);
    ASSERT_EQ(parsed.order, "BCSCSS");
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(parsed.recs[i + 1].where + parsed.recs[i + 1].text, expected[i]);
}

// A log continues the file it finds at its end: a restart keeps the earlier
// run's lines, and lines another writer added between two records stay
// before the next record.
TEST_F(TraceLogFormat, AnExistingFileIsContinuedAtItsEnd) {
    const std::string earlier =
        "Begin Time:2026-01-02 03:04:05.006\r\n"
        "[2026-01-02 03:04:05.007][P:1/T:2][old.cpp:1 COld::Run()][Enter]\r\n";
    std::ofstream(path, std::ios::binary) << earlier;
    {
        CTraceLog log(path.c_str());
        log.WriteScopeLine("CFirst::Run", "first.cpp", 1, true);
        std::ofstream(path, std::ios::binary | std::ios::app)
            << "[2026-01-02 03:04:05.008][P:3/T:4][other.cpp:2 COther::Run()][Leave]\r\n";
        log.Write(TRACE_LEVEL_INFO, "CFirst::Run", "first.cpp", 2, L"after the other writer");
    }
    {
        CTraceLog restarted(path.c_str());
        restarted.WriteScopeLine("CSecond::Run", "second.cpp", 3, false);
    }
    const std::string content = ReadFileBytes(path);
    EXPECT_EQ(content.substr(0, earlier.size()), earlier);
    const Log parsed = Parse(path);
    ASSERT_EQ(parsed.order, "BSBSSCBS");
    const char* expected[] = {
        "[old.cpp:1 COld::Run()][Enter]",
        "[first.cpp:1 CFirst::Run()][Enter]",
        "[other.cpp:2 COther::Run()][Leave]",
        "[first.cpp:2 CFirst::Run()][Inf]after the other writer",
        "[second.cpp:3 CSecond::Run()][Leave]",
    };
    const int at[] = {1, 3, 4, 5, 7};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(parsed.recs[at[i]].where + parsed.recs[at[i]].text, expected[i]);
    }
}
