// Record formats: "Begin Time:", scope lines, content records, locations.
#include "TestUtil.h"
#include "TraceLog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <string>
#include <thread>

using namespace tltest;

namespace {

class TraceLogFormat : public ::testing::Test {
protected:
    void TearDown() override {
        g_pTraceLog = nullptr;
        CTraceLogRegistry::Instance().Clear();
    }

    // Every line is checked against the formats as regular expressions too.
    ParsedLog Parse(const std::string& path) {
        const std::vector<std::string> lines = ReadLines(path);
        std::string offending;
        EXPECT_TRUE(MatchFormatsByRegex(lines, &offending)) << "[" << offending << "]";
        ParsedLog parsed;
        std::string error;
        EXPECT_TRUE(ParseLog(lines, &parsed, &error)) << error;
        return parsed;
    }

    TempDir m_dir;
};

// A traced member as the plug-in writes it.
int TracedMember() {
    TRACE_SCOPE("CLoginDlg::ShowAdvancedDlg");
    return __LINE__ - 1;
}

void ExpectOwnIds(const Location& where) {
    EXPECT_EQ(where.pid, GetCurrentProcessId());
    EXPECT_EQ(where.tid, GetCurrentThreadId());
}

} // namespace

TEST_F(TraceLogFormat, FirstTracedCallWritesBeginTimeThenEnterAndLeaveOnOneLine) {
    const std::string path = m_dir / "log\\KITE.log";
    g_pTraceLog = OpenTraceLog(Widen(path).c_str());
    ASSERT_NE(g_pTraceLog, nullptr);
    EXPECT_TRUE(DirectoryExists(m_dir / "log"));
    EXPECT_FALSE(FileExists(path)) << "opened before the first write";

    const int line = TracedMember();

    const std::vector<std::string> lines = ReadLines(path);
    ASSERT_EQ(lines.size(), 3u);
    std::string offending;
    EXPECT_TRUE(MatchFormatsByRegex(lines, &offending)) << offending;
    EXPECT_TRUE(IsBeginLine(lines[0])) << lines[0];
    ScopeLine enter;
    ScopeLine leave;
    ASSERT_TRUE(ParseScopeLine(lines[1], &enter)) << lines[1];
    ASSERT_TRUE(ParseScopeLine(lines[2], &leave)) << lines[2];
    EXPECT_TRUE(enter.enter);
    EXPECT_FALSE(leave.enter);
    for (const ScopeLine* scope : {&enter, &leave}) {
        ExpectOwnIds(scope->where);
        EXPECT_EQ(scope->where.file, "test_format.cpp");
        EXPECT_EQ(scope->where.line, line);
        EXPECT_EQ(scope->where.function, "CLoginDlg::ShowAdvancedDlg");
    }
    // The whole line, rebuilt from its parts.
    EXPECT_EQ(lines[1], "[" + enter.where.stamp + "][P:" + std::to_string(GetCurrentProcessId()) +
                            "/T:" + std::to_string(GetCurrentThreadId()) + "][test_format.cpp:" +
                            std::to_string(line) + " CLoginDlg::ShowAdvancedDlg()][Enter]");
    // The time stamp is the local time.
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_EQ(enter.where.stamp.substr(0, 4), std::to_string(now.wYear));
    EXPECT_EQ(lines[0].substr(0, 11 + 4), "Begin Time:" + std::to_string(now.wYear));
}

TEST_F(TraceLogFormat, NestedScopesRestoreTheirOwnLocation) {
    const std::string path = m_dir / "nested.log";
    CTraceLog log(path.c_str());
    ITraceLog* variable = &log;
    int outerLine = 0;
    int innerLine = 0;
    {
        CTraceScope outer(&variable, "COuter::Run", "src/outer.cpp", outerLine = __LINE__);
        {
            CTraceScope inner(&variable, "CInner::Step", "src\\inner.cpp", innerLine = __LINE__);
            log.WriteHere("inside %s", "inner");
        }
    }
    ParsedLog parsed = Parse(path);
    EXPECT_EQ(parsed.order, "BSSCSS");
    ASSERT_EQ(parsed.scopes.size(), 4u);
    const char* functions[] = {"COuter::Run", "CInner::Step", "CInner::Step", "COuter::Run"};
    const char* files[] = {"outer.cpp", "inner.cpp", "inner.cpp", "outer.cpp"};
    const int lines[] = {outerLine, innerLine, innerLine, outerLine};
    const bool enters[] = {true, true, false, false};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(parsed.scopes[i].where.function, functions[i]);
        EXPECT_EQ(parsed.scopes[i].where.file, files[i]);
        EXPECT_EQ(parsed.scopes[i].where.line, lines[i]);
        EXPECT_EQ(parsed.scopes[i].enter, enters[i]);
    }
    ASSERT_EQ(parsed.contents.size(), 1u);
    EXPECT_EQ(parsed.contents[0].header.where.function, "CInner::Step");
    EXPECT_EQ(parsed.contents[0].header.level, "Inf");
    EXPECT_EQ(parsed.contents[0].text, "inside inner");
}

TEST_F(TraceLogFormat, LongNamesAreCopiedAndCutToTheLocationBuffer) {
    const std::string path = m_dir / "long.log";
    CTraceLog log(path.c_str());
    ITraceLog* variable = &log;
    const std::string function = "CLong::" + std::string(300, 'f');
    const std::string file = "dir/" + std::string(150, 'n') + ".cpp";
    {
        // Built in buffers that go away before the Leave line is written.
        std::string functionCopy = function;
        std::string fileCopy = file;
        CTraceScope scope(&variable, functionCopy.c_str(), fileCopy.c_str(), 77);
        functionCopy.assign(functionCopy.size(), 'X');
        fileCopy.assign(fileCopy.size(), 'Y');
    }
    const std::vector<std::string> lines = ReadLines(path);
    ASSERT_EQ(lines.size(), 3u);
    // Each location is cut at 259 bytes; the line then ends in its tag.
    for (int i = 1; i <= 2; ++i) {
        const std::string tag = i == 1 ? "[Enter]" : "[Leave]";
        ASSERT_EQ(lines[i].size(), 259u + tag.size()) << lines[i];
        EXPECT_EQ(lines[i].substr(259), tag);
        const size_t at = lines[i].find("][" + file.substr(4) + ":77 CLong::fff");
        EXPECT_NE(at, std::string::npos) << lines[i];
        EXPECT_EQ(lines[i].find('X'), std::string::npos);
    }
    // Apart from the time stamp and the tag, the Leave line (from the copies)
    // equals the Enter line.
    EXPECT_EQ(lines[1].substr(25, 259 - 25), lines[2].substr(25, 259 - 25));
}

TEST_F(TraceLogFormat, ScopeUsesTheLogTheVariableHoldsAtTheMoment) {
    const std::string path = m_dir / "variable.log";
    CTraceLog log(path.c_str());
    ITraceLog* variable = nullptr;
    {
        CTraceScope scope(&variable, "CLate::Open", "late.cpp", 10);
        variable = &log; // set after the Enter line would have been written
    }
    {
        CTraceScope scope(&variable, "CEarly::Close", "early.cpp", 20);
        variable = nullptr;
    }
    ParsedLog parsed = Parse(path);
    EXPECT_EQ(parsed.order, "BSS");
    ASSERT_EQ(parsed.scopes.size(), 2u);
    EXPECT_EQ(parsed.scopes[0].where.function, "CLate::Open");
    EXPECT_FALSE(parsed.scopes[0].enter);
    EXPECT_EQ(parsed.scopes[1].where.function, "CEarly::Close");
    EXPECT_TRUE(parsed.scopes[1].enter);
}

TEST_F(TraceLogFormat, ContentRecordTakesThreeLinesWithItsLevelText) {
    const std::string path = m_dir / "content.log";
    CTraceLog log(path.c_str());
    log.Write(TRACE_LEVEL_ERROR, "CLoginDlg::CloseDatabase", "core/DlgLogin.cpp", 446,
              L"Error: %d . ", 5);
    log.Write(TRACE_LEVEL_WARNING, "CLoginDlg::InitData", "DlgLogin.cpp", 7,
              "Can't find the account! in db.");
    log.Write(TRACE_LEVEL_INFO, "CInfo::Note", "info.cpp", 8, "%d%%", 100);

    const std::string content = ReadFileBytes(path);
    const std::vector<std::string> lines = SplitLines(content);
    ASSERT_EQ(lines.size(), 10u);
    std::string offending;
    EXPECT_TRUE(MatchFormatsByRegex(lines, &offending)) << offending;
    ContentHeader header;
    ASSERT_TRUE(ParseContentHeader(lines[1], &header)) << lines[1];
    ExpectOwnIds(header.where);
    EXPECT_EQ(header.where.file, "DlgLogin.cpp");
    EXPECT_EQ(header.where.line, 446);
    EXPECT_EQ(header.where.function, "CLoginDlg::CloseDatabase");
    EXPECT_EQ(header.level, "Err");
    EXPECT_EQ(lines[2], "Content:");
    EXPECT_EQ(lines[3], "Error: 5 . ");
    ASSERT_TRUE(ParseContentHeader(lines[4], &header)) << lines[4];
    EXPECT_EQ(header.level, "War");
    EXPECT_EQ(lines[6], "Can't find the account! in db.");
    ASSERT_TRUE(ParseContentHeader(lines[7], &header)) << lines[7];
    EXPECT_EQ(header.level, "Inf");
    EXPECT_EQ(lines[9], "100%");
    // The record's own bytes: location, level, CR LF, "Content:", CR LF, text, CR LF.
    const std::string tail = "[DlgLogin.cpp:446 CLoginDlg::CloseDatabase()][Err]\r\n"
                             "Content:\r\nError: 5 . \r\n";
    EXPECT_NE(content.find(tail), std::string::npos);
}

TEST_F(TraceLogFormat, TraceRecordMacroWritesAtTheCallersPlace) {
    const std::string path = m_dir / "macro.log";
    g_pTraceLog = OpenTraceLog(Widen(path).c_str());
    ASSERT_NE(g_pTraceLog, nullptr);
    const int line = __LINE__ + 1;
    TRACE_RECORD(TRACE_LEVEL_ERROR, "CLoginDlg::CloseDatabase", L"Error: %d . ", 1411);
    TRACE_RECORD(TRACE_LEVEL_WARNING, "CLoginDlg::InitData", L"Can't find the account! in db.");
    ParsedLog parsed = Parse(path);
    ASSERT_EQ(parsed.contents.size(), 2u);
    EXPECT_EQ(parsed.contents[0].header.where.line, line);
    EXPECT_EQ(parsed.contents[0].header.where.file, "test_format.cpp");
    EXPECT_EQ(parsed.contents[0].header.level, "Err");
    EXPECT_EQ(parsed.contents[0].text, "Error: 1411 . ");
    EXPECT_EQ(parsed.contents[1].header.where.line, line + 1);
    EXPECT_EQ(parsed.contents[1].header.level, "War");
    EXPECT_EQ(parsed.contents[1].text, "Can't find the account! in db.");
    // Without a log the macros do nothing.
    g_pTraceLog = nullptr;
    TRACE_RECORD(TRACE_LEVEL_ERROR, "CLoginDlg::CloseDatabase", L"Error: %d . ", 1);
    EXPECT_EQ(Parse(path).contents.size(), 2u);
}

TEST_F(TraceLogFormat, FormatsFollowThePlatformConventions) {
    const std::string path = m_dir / "conventions.log";
    CTraceLog log(path.c_str());
    log.SetLocation("CFmt::Run", "fmt.cpp", 1, TRACE_LEVEL_INFO);
    // In a wide format %s takes a wide string, %S a narrow one.
    log.WriteHere(L"%s/%S/%d", L"wide", "narrow", -3);
    // In a narrow format %S takes a wide string; %I64u and %I64d are 64 bits.
    log.WriteHere("%s/%S/%I64u/%I64d", "narrow", L"wide", 1099511627776ULL, -5LL);
    ParsedLog parsed = Parse(path);
    ASSERT_EQ(parsed.contents.size(), 2u);
    EXPECT_EQ(parsed.contents[0].text, "wide/narrow/-3");
    EXPECT_EQ(parsed.contents[1].text, "narrow/wide/1099511627776/-5");
    // Thread ids above 2^32 would still print whole: the prefix uses %I64u.
    EXPECT_EQ(parsed.contents[0].header.where.tid, GetCurrentThreadId());
}

// The fixed parts of a line, formatted again by msvcrt's own formatter from
// the values read back, give the same bytes.
TEST_F(TraceLogFormat, FixedPartsEqualThePlatformFormattersOutput) {
    const std::string path = m_dir / "platform.log";
    CTraceLog log(path.c_str());
    log.Write(TRACE_LEVEL_WARNING, "CFmt::Platform", "src/platform.cpp", -12, "text");
    log.WriteScopeLine("CFmt::Platform", "platform.cpp", 2147483647, false);
    const std::vector<std::string> lines = ReadLines(path);
    ASSERT_EQ(lines.size(), 5u);
    int year, month, day, hour, minute, second, millisecond;
    for (size_t index : {1u, 4u}) {
        const std::string& line = lines[index];
        ASSERT_EQ(sscanf(line.c_str(), "[%d-%d-%d %d:%d:%d.%d]", &year, &month, &day, &hour,
                         &minute, &second, &millisecond),
                  7)
            << line;
        char stamp[260] = {};
        _snprintf(stamp, sizeof(stamp) - 1, "%d-%02d-%02d %02d:%02d:%02d.%03d", year, month, day,
                  hour, minute, second, millisecond);
        char prefix[260] = {};
        _snprintf(prefix, sizeof(prefix) - 1, "[%s][P:%I64u/T:%I64u]", stamp,
                  static_cast<unsigned long long>(GetCurrentProcessId()),
                  static_cast<unsigned long long>(GetCurrentThreadId()));
        char location[260] = {};
        const bool content = index == 1;
        _snprintf(location, sizeof(location) - 1, "%s[%s:%d %s()]", prefix, "platform.cpp",
                  content ? -12 : 2147483647, "CFmt::Platform");
        char record[600] = {};
        if (content) {
            _snprintf(record, sizeof(record) - 1, "%s[%s]", location, "War");
        } else {
            _snprintf(record, sizeof(record) - 1, "%s[%s]", location, "Leave");
        }
        EXPECT_EQ(line, record);
    }
    ASSERT_EQ(sscanf(lines[0].c_str(), "Begin Time:%d-%d-%d %d:%d:%d.%d", &year, &month, &day,
                     &hour, &minute, &second, &millisecond),
              7);
    char begin[300] = {};
    _snprintf(begin, sizeof(begin) - 1, "Begin Time:%d-%02d-%02d %02d:%02d:%02d.%03d", year, month,
              day, hour, minute, second, millisecond);
    EXPECT_EQ(lines[0], begin);
}

TEST_F(TraceLogFormat, LocationShowsOnlyTheLastComponentOfTheSourcePath) {
    const std::string path = m_dir / "files.log";
    CTraceLog log(path.c_str());
    const char* sources[] = {"C:/work/login/DlgLogin.cpp", "..\\accounts\\DlgRegUsers.cpp",
                             "plain.cpp", "mixed/dir\\Both.h", "noext"};
    const char* expected[] = {"DlgLogin.cpp", "DlgRegUsers.cpp", "plain.cpp", "Both.h", "noext"};
    for (const char* source : sources) {
        log.WriteScopeLine("CFile::Part", source, 3, true);
    }
    // An empty last component writes nothing.
    log.WriteScopeLine("CFile::Part", "dir/", 3, true);
    log.SetLocation("CFile::Part", "dir\\", 4, TRACE_LEVEL_INFO);
    log.WriteScopeLine(false);
    log.WriteHere("dropped");
    ParsedLog parsed = Parse(path);
    ASSERT_EQ(parsed.scopes.size(), 5u);
    EXPECT_TRUE(parsed.contents.empty());
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(parsed.scopes[i].where.file, expected[i]);
    }
}

TEST_F(TraceLogFormat, ScopeLineAtAGivenPlaceKeepsTheThreadsLocation) {
    const std::string path = m_dir / "given.log";
    CTraceLog log(path.c_str());
    log.SetLocation("CHere::Stay", "here.cpp", 11, TRACE_LEVEL_INFO);
    log.WriteScopeLine("CThere::Visit", "there.cpp", 22, true);
    log.WriteScopeLine(false);
    ParsedLog parsed = Parse(path);
    ASSERT_EQ(parsed.scopes.size(), 2u);
    EXPECT_EQ(parsed.scopes[0].where.function, "CThere::Visit");
    EXPECT_EQ(parsed.scopes[0].where.line, 22);
    EXPECT_TRUE(parsed.scopes[0].enter);
    EXPECT_EQ(parsed.scopes[1].where.function, "CHere::Stay");
    EXPECT_EQ(parsed.scopes[1].where.line, 11);
    EXPECT_FALSE(parsed.scopes[1].enter);
}

TEST_F(TraceLogFormat, EachThreadKeepsItsOwnLocation) {
    const std::string path = m_dir / "perthread.log";
    CTraceLog log(path.c_str());
    log.SetLocation("CMain::Loop", "main.cpp", 1, TRACE_LEVEL_INFO);
    unsigned long long workerId = 0;
    std::thread worker([&log, &workerId] {
        workerId = GetCurrentThreadId();
        // A thread that never set a location writes nothing at "its" place.
        log.WriteScopeLine(true);
        log.WriteHere("nothing");
        log.SetLocation("CWorker::Run", "worker.cpp", 2, TRACE_LEVEL_ERROR);
        log.WriteHere("from worker");
    });
    worker.join();
    log.WriteHere("from main");
    ParsedLog parsed = Parse(path);
    ASSERT_EQ(parsed.contents.size(), 2u);
    EXPECT_EQ(parsed.contents[0].header.where.function, "CWorker::Run");
    EXPECT_EQ(parsed.contents[0].header.where.tid, workerId);
    EXPECT_EQ(parsed.contents[0].header.level, "Err");
    EXPECT_EQ(parsed.contents[1].header.where.function, "CMain::Loop");
    EXPECT_EQ(parsed.contents[1].header.where.tid, GetCurrentThreadId());
    EXPECT_EQ(parsed.contents[1].header.level, "Inf");
    EXPECT_TRUE(parsed.scopes.empty());
}

TEST_F(TraceLogFormat, ReopenedFileGetsAnotherBeginTimeLine) {
    const std::string path = m_dir / "again.log";
    {
        CTraceLog log(path.c_str());
        log.WriteScopeLine("CA::A", "a.cpp", 1, true);
        log.WriteScopeLine("CA::A", "a.cpp", 1, false);
    }
    {
        CTraceLog log(path.c_str());
        log.WriteScopeLine("CB::B", "b.cpp", 2, true);
    }
    EXPECT_EQ(Parse(path).order, "BSSBS");
}
