// Rotation into numbered backups, Disable/Enable and levels.
#include "TestUtil.h"
#include "TraceLog.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

using namespace tltest;

namespace {

class TraceLogRotation : public ::testing::Test {
protected:
    std::string Live() const { return m_dir / "rot.log"; }
    std::string Backup(int index) const { return m_dir / (std::to_string(index) + "_rot.log"); }

    // A content record of about 1,100 bytes marked with a generation, so
    // that one record fills a 1 KB file.
    static void WriteGeneration(ITraceLog& log, int generation) {
        log.Write(TRACE_LEVEL_INFO, "CRot::Fill", "rot.cpp", generation, "gen %d %s", generation,
                  std::string(1100, 'x').c_str());
    }

    // The generation held by a file: the marker of its only content record.
    static int GenerationOf(const std::string& path) {
        ParsedLog parsed;
        std::string error;
        EXPECT_TRUE(ParseLog(ReadLines(path), &parsed, &error)) << path << ": " << error;
        if (parsed.contents.size() != 1 || parsed.beginLines.size() != 1) {
            ADD_FAILURE() << path << " holds " << parsed.order;
            return -1;
        }
        return std::stoi(parsed.contents[0].text.substr(4));
    }

    TempDir m_dir;
};

} // namespace

TEST_F(TraceLogRotation, RotatesAtFiveMebibytesIntoBackupOne) {
    // An older backup is overwritten.
    AppendBytes(Backup(1), 10, 'o');
    CTraceLog log(Live().c_str());
    log.WriteScopeLine("CRot::First", "rot.cpp", 1, true);
    const long long opened = FileSize(Live());
    ASSERT_GT(opened, 0);
    // One byte short of 5 MiB: no rotation yet.
    AppendBytes(Live(), 5242880 - 1 - opened, 'p');
    log.WriteScopeLine("CRot::Second", "rot.cpp", 2, true);
    EXPECT_GE(FileSize(Live()), 5242880);
    EXPECT_EQ(FileSize(Backup(1)), 10);
    const std::string before = ReadFileBytes(Live());

    log.WriteScopeLine("CRot::Third", "rot.cpp", 3, true);
    EXPECT_EQ(ReadFileBytes(Backup(1)), before);
    const std::vector<std::string> lines = ReadLines(Live());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(IsBeginLine(lines[0])) << lines[0];
    ScopeLine scope;
    ASSERT_TRUE(ParseScopeLine(lines[1], &scope)) << lines[1];
    EXPECT_EQ(scope.where.function, "CRot::Third");
    EXPECT_FALSE(FileExists(Backup(2)));
}

TEST_F(TraceLogRotation, RotatesWhenTheSizeReachesTheMaximumExactly) {
    {
        // 1,023 bytes: below the maximum, no rotation.
        CTraceLog log(Live().c_str());
        log.SetMaxFileSizeKB(1);
        log.WriteScopeLine("CRot::Edge", "rot.cpp", 1, true);
        AppendBytes(Live(), 1023 - FileSize(Live()), 'p');
        ASSERT_EQ(FileSize(Live()), 1023);
        log.WriteScopeLine("CRot::Edge", "rot.cpp", 2, true);
        EXPECT_FALSE(FileExists(Backup(1)));
    }
    ASSERT_TRUE(DeleteFileA(Live().c_str()));
    // Exactly 1,024 bytes: rotated before the next record.
    CTraceLog log(Live().c_str());
    log.SetMaxFileSizeKB(1);
    log.WriteScopeLine("CRot::Edge", "rot.cpp", 3, true);
    AppendBytes(Live(), 1024 - FileSize(Live()), 'q');
    ASSERT_EQ(FileSize(Live()), 1024);
    const std::string full = ReadFileBytes(Live());
    log.WriteScopeLine("CRot::Edge", "rot.cpp", 4, true);
    EXPECT_EQ(ReadFileBytes(Backup(1)), full);
    EXPECT_LT(FileSize(Live()), 200);
}

TEST_F(TraceLogRotation, FileExceedsTheMaximumByAtMostOneRecord) {
    CTraceLog log(Live().c_str());
    log.SetMaxFileSizeKB(2);
    long long largest = 0;
    for (int i = 0; i < 200; ++i) {
        const long long before = FileSize(Live());
        log.WriteScopeLine("CRot::Many", "rot.cpp", i, (i % 2) == 0);
        const long long after = FileSize(Live());
        if (before >= 2048) {
            // Rotated: the fresh file holds "Begin Time:" and this record.
            EXPECT_LT(after, 200);
        } else if (before > 0) {
            EXPECT_LT(after - before, 120);
        }
        largest = after > largest ? after : largest;
    }
    EXPECT_GE(largest, 2048);
    EXPECT_LT(largest, 2048 + 120);
    EXPECT_TRUE(FileExists(Backup(1)));
    EXPECT_FALSE(FileExists(Backup(2)));
}

TEST_F(TraceLogRotation, BackupsAreUsedInTurnAndRestartFromOne) {
    {
        CTraceLog log(Live().c_str());
        log.SetMaxFileSizeKB(1);
        log.SetMaxBackupCount(3);
        WriteGeneration(log, 0);
        const int expectedBackup[] = {1, 2, 3, 1, 2};
        for (int generation = 1; generation <= 5; ++generation) {
            WriteGeneration(log, generation);
            EXPECT_EQ(GenerationOf(Live()), generation);
            EXPECT_EQ(GenerationOf(Backup(expectedBackup[generation - 1])), generation - 1)
                << "rotation " << generation;
        }
        EXPECT_FALSE(FileExists(Backup(4)));
        EXPECT_EQ(GenerationOf(Backup(3)), 2);
    }
    // A new log object starts again at backup 1. Its first write opens the
    // full file, the next one rotates it.
    CTraceLog log(Live().c_str());
    log.SetMaxFileSizeKB(1);
    log.SetMaxBackupCount(3);
    WriteGeneration(log, 6);
    EXPECT_EQ(GenerationOf(Backup(1)), 3);
    WriteGeneration(log, 7);
    ParsedLog parsed;
    std::string error;
    ASSERT_TRUE(ParseLog(ReadLines(Backup(1)), &parsed, &error)) << error;
    EXPECT_EQ(parsed.order, "BCBC");
    EXPECT_EQ(GenerationOf(Backup(3)), 2);
    EXPECT_EQ(GenerationOf(Live()), 7);
}

TEST_F(TraceLogRotation, ZeroOrNegativeBackupCountsAreIgnored) {
    CTraceLog log(Live().c_str());
    log.SetMaxFileSizeKB(1);
    log.SetMaxBackupCount(2);
    log.SetMaxBackupCount(0);
    log.SetMaxBackupCount(-4);
    for (int generation = 0; generation <= 3; ++generation) {
        WriteGeneration(log, generation);
    }
    EXPECT_EQ(GenerationOf(Backup(1)), 2);
    EXPECT_EQ(GenerationOf(Backup(2)), 1);
    EXPECT_FALSE(FileExists(Backup(3)));
    EXPECT_FALSE(FileExists(m_dir / "0_rot.log"));
}

TEST_F(TraceLogRotation, DisabledLogWritesNothingNotEvenARotation) {
    CTraceLog log(Live().c_str());
    log.SetMaxFileSizeKB(1);
    log.Disable();
    WriteGeneration(log, 0);
    log.WriteScopeLine("CRot::Off", "rot.cpp", 1, true);
    EXPECT_FALSE(FileExists(Live())) << "opened while disabled";
    log.Enable();
    WriteGeneration(log, 0);
    const std::string full = ReadFileBytes(Live());
    ASSERT_GE(full.size(), 1024u);

    log.Disable();
    WriteGeneration(log, 1);
    log.WriteHere(L"wide %d", 1);
    log.WriteHere("narrow %d", 1);
    log.WriteScopeLine(true);
    log.WriteScopeLine("CRot::Off", "rot.cpp", 1, false);
    {
        ITraceLog* variable = &log;
        CTraceScope scope(&variable, "CRot::Scope", "rot.cpp", 9);
    }
    EXPECT_EQ(ReadFileBytes(Live()), full);
    EXPECT_FALSE(FileExists(Backup(1)));

    log.Enable();
    WriteGeneration(log, 2);
    EXPECT_EQ(ReadFileBytes(Backup(1)), full);
    EXPECT_EQ(GenerationOf(Live()), 2);
}

TEST_F(TraceLogRotation, FailedCopyStillEmptiesTheLiveFile) {
    // A folder in the backup's place makes the copy fail.
    ASSERT_TRUE(CreateDirectoryA(Backup(1).c_str(), nullptr));
    CTraceLog log(Live().c_str());
    log.SetMaxFileSizeKB(1);
    WriteGeneration(log, 0);
    testing::internal::CaptureStdout();
    WriteGeneration(log, 1);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(GenerationOf(Live()), 1);
    EXPECT_TRUE(DirectoryExists(Backup(1)));
    const std::regex message(
        R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3} rename \[(.*)\] to \[(.*)\] failed code\[(\d+)\]\n)");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(printed, m, message)) << "[" << printed << "]";
    EXPECT_EQ(m[1], Live());
    EXPECT_EQ(m[2], Backup(1));
    EXPECT_NE(std::stoi(m[3]), 0);
    // Writing goes on in the emptied file (large enough now not to rotate).
    log.SetMaxFileSizeKB(16);
    log.WriteScopeLine("CRot::After", "rot.cpp", 3, true);
    ParsedLog parsed;
    std::string error;
    ASSERT_TRUE(ParseLog(ReadLines(Live()), &parsed, &error)) << error;
    EXPECT_EQ(parsed.order, "BCS");
}

// ---- Levels ----------------------------------------------------------------

TEST(TraceLogLevels, DefaultThresholdWritesErrorsWarningsAndInformation) {
    TempDir dir;
    const std::string path = dir / "levels.log";
    CTraceLog log(path.c_str());
    for (int level = -1; level <= 3; ++level) {
        log.Write(level, "CLevel::Each", "level.cpp", 10 + level, "level %d", level);
    }
    ParsedLog parsed;
    std::string error;
    ASSERT_TRUE(ParseLog(ReadLines(path), &parsed, &error)) << error;
    ASSERT_EQ(parsed.contents.size(), 4u);
    const char* texts[] = {"", "Err", "War", "Inf"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(parsed.contents[i].header.level, texts[i]);
        EXPECT_EQ(parsed.contents[i].text, "level " + std::to_string(i - 1));
    }
}

TEST(TraceLogLevels, ThresholdOneDropsInformationButKeepsScopeLines) {
    TempDir dir;
    const std::string path = dir / "levels.log";
    CTraceLog log(path.c_str());
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
    ParsedLog parsed;
    std::string error;
    ASSERT_TRUE(ParseLog(ReadLines(path), &parsed, &error)) << error;
    EXPECT_EQ(parsed.order, "BSCCS");
    ASSERT_EQ(parsed.contents.size(), 2u);
    EXPECT_EQ(parsed.contents[0].text, "warning");
    EXPECT_EQ(parsed.contents[0].header.level, "War");
    EXPECT_EQ(parsed.contents[1].text, "error");
    EXPECT_EQ(parsed.contents[1].header.level, "Err");
    EXPECT_EQ(parsed.scopes[1].where.line, 5);
}

TEST(TraceLogLevels, LevelThreeUnderThresholdThreeHasEmptyBrackets) {
    TempDir dir;
    const std::string path = dir / "levels.log";
    CTraceLog log(path.c_str());
    log.Write(3, "CLevel::Three", "level.cpp", 3, "dropped");
    log.SetLevel(3);
    log.Write(3, "CLevel::Three", "level.cpp", 3, "kept");
    log.Write(4, "CLevel::Three", "level.cpp", 4, "dropped");
    const std::vector<std::string> lines = ReadLines(path);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NE(lines[1].find("[level.cpp:3 CLevel::Three()][]"), std::string::npos) << lines[1];
    EXPECT_EQ(lines[1].substr(lines[1].size() - 2), "[]");
    EXPECT_EQ(lines[3], "kept");
}
