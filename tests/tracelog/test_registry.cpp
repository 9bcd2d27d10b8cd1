// The log registry, OpenTraceLog, path resolution and bad input.
#include "TestUtil.h"
#include "TraceLog.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

using namespace tltest;

namespace {

class TraceLogRegistry : public ::testing::Test {
protected:
    void SetUp() override { CTraceLogRegistry::Instance().Clear(); }
    void TearDown() override { CTraceLogRegistry::Instance().Clear(); }
    TempDir m_dir;
};

} // namespace

TEST_F(TraceLogRegistry, SamePathSharesOneLogAndOneFile) {
    CTraceLogRegistry& registry = CTraceLogRegistry::Instance();
    const std::wstring path = Widen(m_dir / "shared\\KITE.log");
    ITraceLog* first = OpenTraceLog(path.c_str());
    ITraceLog* second = OpenTraceLog(path.c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(registry.GetCount(), 1);
    int id = 0;
    EXPECT_EQ(registry.Find(path.c_str(), &id), first);
    EXPECT_EQ(id, 1);
    EXPECT_EQ(registry.Get(1), first);

    first->WriteScopeLine("CShare::One", "share.cpp", 1, true);
    second->WriteScopeLine("CShare::Two", "share.cpp", 2, true);
    ParsedLog parsed;
    std::string error;
    ASSERT_TRUE(ParseLog(ReadLines(m_dir / "shared\\KITE.log"), &parsed, &error)) << error;
    EXPECT_EQ(parsed.order, "BSS");
}

TEST_F(TraceLogRegistry, PathsAreComparedExactly) {
    CTraceLogRegistry& registry = CTraceLogRegistry::Instance();
    const std::wstring lower = Widen(m_dir / "case.log");
    std::wstring upper = lower;
    upper[upper.size() - 5] = L'C';
    ITraceLog* a = OpenTraceLog(lower.c_str());
    ITraceLog* b = OpenTraceLog(upper.c_str());
    ITraceLog* c = OpenTraceLog(Widen(m_dir / "other.log").c_str());
    EXPECT_NE(a, b);
    EXPECT_NE(a, c);
    EXPECT_EQ(registry.GetCount(), 3);
    int id = 0;
    EXPECT_EQ(registry.Find(upper.c_str(), &id), b);
    EXPECT_EQ(id, 2);
    EXPECT_EQ(registry.Get(3), c);
    EXPECT_EQ(registry.Get(4), nullptr);
    EXPECT_EQ(registry.Find(L"nowhere.log", &id), nullptr);
    EXPECT_EQ(id, -1);
}

TEST_F(TraceLogRegistry, RegisterKeepsTheFirstLogAndDestroysTheSecond) {
    CTraceLogRegistry& registry = CTraceLogRegistry::Instance();
    const std::string path = m_dir / "reg.log";
    CTraceLog* kept = new CTraceLog(path.c_str());
    EXPECT_EQ(registry.Register(Widen(path).c_str(), kept), 1);
    EXPECT_EQ(registry.Register(Widen(path).c_str(), new CTraceLog(path.c_str())), 1);
    EXPECT_EQ(registry.Register(Widen(path).c_str(), kept), 1); // the same object stays
    EXPECT_EQ(registry.Get(1), kept);
    EXPECT_EQ(registry.Register(Widen(m_dir / "two.log").c_str(), nullptr), 2);
    EXPECT_EQ(registry.Register(nullptr, nullptr), -1);
    EXPECT_EQ(registry.GetCount(), 2);
    registry.Clear();
    EXPECT_EQ(registry.GetCount(), 0);
    EXPECT_EQ(registry.Get(1), nullptr);
    EXPECT_EQ(registry.Register(Widen(path).c_str(), new CTraceLog(path.c_str())), 1);
}

TEST_F(TraceLogRegistry, OpenTraceLogEnablesTheSharedLog) {
    const std::wstring path = Widen(m_dir / "enable.log");
    ITraceLog* log = OpenTraceLog(path.c_str());
    ASSERT_NE(log, nullptr);
    log->Disable();
    log->WriteScopeLine("CEnable::Off", "enable.cpp", 1, true);
    EXPECT_FALSE(FileExists(m_dir / "enable.log"));
    EXPECT_EQ(OpenTraceLog(path.c_str()), log);
    log->WriteScopeLine("CEnable::On", "enable.cpp", 2, true);
    EXPECT_TRUE(FileExists(m_dir / "enable.log"));
}

TEST_F(TraceLogRegistry, ClearClosesEveryFile) {
    const std::string path = m_dir / "closed.log";
    ITraceLog* log = OpenTraceLog(Widen(path).c_str());
    ASSERT_NE(log, nullptr);
    log->WriteScopeLine("CClose::It", "close.cpp", 1, true);
    EXPECT_FALSE(DeleteFileA(path.c_str())) << "deleted while open";
    CTraceLogRegistry::Instance().Clear();
    EXPECT_TRUE(DeleteFileA(path.c_str()));
}

// ---- Path resolution ---------------------------------------------------------

TEST(TraceLogPath, AbsolutePathWithForwardSlashesCreatesTheChain) {
    TempDir dir;
    std::string path = dir / "a\\b\\c\\x.log";
    for (char& ch : path) {
        ch = ch == '\\' ? '/' : ch;
    }
    CTraceLog log(path.c_str());
    EXPECT_EQ(std::string(log.GetDirectory()), dir / "a\\b\\c\\");
    EXPECT_EQ(std::string(log.GetFileName()), "x.log");
    EXPECT_TRUE(DirectoryExists(dir / "a\\b\\c"));
    EXPECT_FALSE(FileExists(dir / "a\\b\\c\\x.log"));
    log.WriteScopeLine("CPath::Abs", "path.cpp", 1, true);
    EXPECT_TRUE(FileExists(dir / "a\\b\\c\\x.log"));
}

TEST(TraceLogPath, AbsolutePathWithoutBackslashLeavesBothPartsEmpty) {
    CTraceLog log("C:nofolder.log");
    EXPECT_STREQ(log.GetDirectory(), "");
    EXPECT_STREQ(log.GetFileName(), "");
}

TEST(TraceLogPath, BareFileNameLivesBesideTheExecutable) {
    CTraceLog log("bare.log");
    EXPECT_EQ(std::string(log.GetDirectory()), ExeDirectory() + "\\");
    EXPECT_STREQ(log.GetFileName(), "bare.log");
}

TEST(TraceLogPath, RelativePathResolvesDotAndDotDot) {
    const std::string top = "sdtl_rel_" + std::to_string(GetCurrentProcessId());
    RemoveIfNew cleanup(ExeDirectory() + "\\" + top, true);
    ASSERT_FALSE(cleanup.Existed());
    const std::string path = top + "\\a\\..\\b\\.\\c/" + "x.log";
    CTraceLog log(path.c_str());
    EXPECT_EQ(std::string(log.GetDirectory()), ExeDirectory() + "\\" + top + "\\b\\c\\");
    EXPECT_STREQ(log.GetFileName(), "x.log");
    EXPECT_TRUE(DirectoryExists(ExeDirectory() + "\\" + top + "\\b\\c"));
    EXPECT_FALSE(DirectoryExists(ExeDirectory() + "\\" + top + "\\a"));
    log.WriteScopeLine("CPath::Rel", "path.cpp", 1, true);
    EXPECT_TRUE(FileExists(ExeDirectory() + "\\" + top + "\\b\\c\\x.log"));
}

TEST(TraceLogPath, DotDotGoesAboveTheExecutablesFolder) {
    const std::string exe = ExeDirectory();
    const std::string parent = exe.substr(0, exe.rfind('\\'));
    const std::string top = "sdtl_up_" + std::to_string(GetCurrentProcessId());
    RemoveIfNew cleanup(parent + "\\" + top, true);
    CTraceLog log(("..\\" + top + "\\up.log").c_str());
    EXPECT_EQ(std::string(log.GetDirectory()), parent + "\\" + top + "\\");
    EXPECT_TRUE(DirectoryExists(parent + "\\" + top));
}

TEST(TraceLogPath, DotDotAboveTheDriveFallsBackToLogBesideTheExecutable) {
    const std::string exe = ExeDirectory();
    RemoveIfNew cleanup(exe + "\\Log");
    // One ".." per folder of the executable's path reaches the bare drive;
    // one more goes above it.
    std::string path;
    for (size_t i = 0; i < exe.size(); ++i) {
        if (exe[i] == '\\') {
            path += "..\\";
        }
    }
    path += "..\\deep\\x.log";
    CTraceLog log(path.c_str());
    EXPECT_EQ(std::string(log.GetDirectory()), exe + "\\Log\\");
    EXPECT_STREQ(log.GetFileName(), "x.log");
    EXPECT_TRUE(DirectoryExists(exe + "\\Log"));
}

// ---- Bad input ----------------------------------------------------------------

TEST(TraceLogBadInput, NullPathGivesNoLog) {
    const int count = CTraceLogRegistry::Instance().GetCount();
    EXPECT_EQ(OpenTraceLog(nullptr), nullptr);
    EXPECT_EQ(CTraceLogRegistry::Instance().GetCount(), count);
    int id = 0;
    EXPECT_EQ(CTraceLogRegistry::Instance().Find(nullptr, &id), nullptr);
    EXPECT_EQ(id, -1);
}

TEST(TraceLogBadInput, NullFormatWritesNoContent) {
    TempDir dir;
    const std::string path = dir / "null.log";
    CTraceLog log(path.c_str());
    log.SetLocation("CNull::Format", "null.cpp", 1, TRACE_LEVEL_ERROR);
    log.WriteHere(static_cast<const char*>(nullptr));
    log.WriteHere(static_cast<const wchar_t*>(nullptr));
    log.Write(0, "CNull::Format", "null.cpp", 2, static_cast<const char*>(nullptr));
    log.Write(0, "CNull::Format", "null.cpp", 3, static_cast<const wchar_t*>(nullptr));
    log.WriteScopeLine(true);
    ParsedLog parsed;
    std::string error;
    ASSERT_TRUE(ParseLog(ReadLines(path), &parsed, &error)) << error;
    EXPECT_EQ(parsed.order, "BS");
    // The location of the last Write stays.
    EXPECT_EQ(parsed.scopes[0].where.line, 3);
}

TEST(TraceLogBadInput, MissingFunctionOrFileWritesNothing) {
    TempDir dir;
    const std::string path = dir / "missing.log";
    CTraceLog log(path.c_str());
    log.WriteScopeLine(nullptr, "f.cpp", 1, true);
    log.WriteScopeLine("CMissing::File", nullptr, 1, true);
    log.WriteScopeLine("", "f.cpp", 1, true);
    log.WriteScopeLine("CMissing::File", "", 1, true);
    // The constructing thread has no location yet.
    log.WriteScopeLine(false);
    log.WriteHere("no place");
    log.SetLocation(nullptr, "f.cpp", 5, 0);
    log.SetLocation("CMissing::Function", nullptr, 5, 0);
    log.WriteHere(L"no place");
    log.Write(0, nullptr, "f.cpp", 6, "no function");
    log.Write(0, "CMissing::File", nullptr, 7, L"no file");
    ITraceLog* variable = &log;
    { CTraceScope scope(&variable, nullptr, nullptr, 8); }
    { CTraceScope scope(&variable, "CMissing::File", nullptr, 9); }
    { CTraceScope scope(nullptr, "CNo::Variable", "v.cpp", 10); }
    std::thread fresh([&log] {
        log.WriteScopeLine(true);
        log.WriteHere("fresh");
    });
    fresh.join();
    ParsedLog parsed;
    std::string error;
    ASSERT_TRUE(ParseLog(ReadLines(path), &parsed, &error)) << error;
    EXPECT_EQ(parsed.order, "B");
}

TEST(TraceLogBadInput, OversizedContentIsCutNeverOverflowed) {
    TempDir dir;
    const std::string path = dir / "big.log";
    CTraceLog log(path.c_str());
    log.SetLocation("CBig::Text", "big.cpp", 1, TRACE_LEVEL_INFO);
    std::string text(60000, 'n');
    for (size_t i = 0; i < text.size(); i += 1000) {
        text[i] = static_cast<char>('A' + (i / 1000) % 26);
    }
    const std::wstring wide = Widen(text);
    log.WriteHere("%s", text.c_str());
    log.WriteHere(L"%s", wide.c_str());
    log.WriteHere(text.c_str()); // the format itself is too long
    log.WriteHere(wide.c_str());
    log.WriteHere("%s%s", text.c_str(), text.c_str());
    log.WriteHere("after");
    ParsedLog parsed;
    std::string error;
    ASSERT_TRUE(ParseLog(ReadLines(path), &parsed, &error)) << error;
    ASSERT_EQ(parsed.contents.size(), 6u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(parsed.contents[i].text, text.substr(0, 51199)) << "record " << i;
    }
    EXPECT_EQ(parsed.contents[5].text, "after");
}

TEST(TraceLogBadInput, UncreatableFolderFallsBackToMyLogBesideTheExecutable) {
    TempDir dir;
    const std::string exe = ExeDirectory();
    // Declared in this order: the file goes first, then the folder if empty.
    RemoveIfNew folder(exe + "\\Log");
    RemoveIfNew file(exe + "\\Log\\MyLog.log");
    // A file stands where a folder of the chain would be created.
    AppendBytes(dir / "blocker", 1, 'b');
    CTraceLog log((dir / "blocker\\sub\\x.log").c_str());
    EXPECT_EQ(std::string(log.GetDirectory()), exe + "\\Log\\");
    EXPECT_STREQ(log.GetFileName(), "MyLog.log");
    const long long before = file.Existed() ? FileSize(exe + "\\Log\\MyLog.log") : 0;
    log.WriteScopeLine("CFallback::Dir", "fallback.cpp", 1, true);
    const std::string written = ReadFileBytes(exe + "\\Log\\MyLog.log").substr(before);
    ParsedLog parsed;
    std::string error;
    ASSERT_TRUE(ParseLog(SplitLines(written), &parsed, &error)) << error;
    EXPECT_EQ(parsed.order, "BS");
}

TEST(TraceLogBadInput, UnopenableFileFallsBackToMyLogInItsFolder) {
    TempDir dir;
    ASSERT_TRUE(CreateDirectoryA((dir / "taken.log").c_str(), nullptr));
    CTraceLog log((dir / "taken.log").c_str());
    log.WriteScopeLine("CFallback::File", "fallback.cpp", 1, true);
    EXPECT_STREQ(log.GetFileName(), "MyLog.log");
    ParsedLog parsed;
    std::string error;
    ASSERT_TRUE(ParseLog(ReadLines(dir / "MyLog.log"), &parsed, &error)) << error;
    EXPECT_EQ(parsed.order, "BS");
}

TEST(TraceLogBadInput, LogStaysSilentWhenNoFileCanBeOpened) {
    TempDir dir;
    ASSERT_TRUE(CreateDirectoryA((dir / "taken.log").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((dir / "MyLog.log").c_str(), nullptr));
    CTraceLog log((dir / "taken.log").c_str());
    log.SetLocation("CSilent::Log", "silent.cpp", 1, 0);
    log.WriteScopeLine(true);
    log.WriteHere("nothing");
    log.WriteHere(L"nothing");
    // Even once a file could be opened, the log stays closed.
    RemoveDirectoryA((dir / "MyLog.log").c_str());
    RemoveDirectoryA((dir / "taken.log").c_str());
    log.WriteScopeLine(false);
    EXPECT_FALSE(FileExists(dir / "MyLog.log"));
    EXPECT_FALSE(FileExists(dir / "taken.log"));
}
