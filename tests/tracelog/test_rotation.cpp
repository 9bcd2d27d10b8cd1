// Rotation into numbered backups, Disable/Enable, and many threads writing
// through one log that rotates often.
#include "TestUtil.h"

#include <algorithm>
#include <cstdlib>
#include <thread>

class TraceLogRotation : public TraceLogTest {
protected:
    std::string Backup(int index) const { return dir / (std::to_string(index) + "_test.log"); }

    // A content record of about 1,100 bytes marked with a generation: one
    // record fills a 1 KB file.
    static void WriteGeneration(ITraceLog& log, int generation) {
        log.Write(TRACE_LEVEL_INFO, "CRot::Fill", "rot.cpp", generation, "gen %d %s", generation,
                  std::string(1100, 'x').c_str());
    }

    // The generation of the only record of a file that starts with "Begin Time:".
    static int GenerationOf(const std::string& file) {
        const Log parsed = Parse(file);
        EXPECT_EQ(parsed.order, "BC") << file;
        return parsed.order == "BC" ? std::stoi(parsed.recs[1].text.substr(4)) : -1;
    }
};

// By default at the first write that finds 5 MiB: backup 1 (an older one
// overwritten) then holds the old content, the fresh file the record.
TEST_F(TraceLogRotation, RotatesAtFiveMebibytesIntoBackupOne) {
    for (const size_t size : {5242879u, 5242880u}) {
        SCOPED_TRACE(size);
        fs::remove(path);
        std::ofstream(Backup(1), std::ios::binary) << "older back";
        CTraceLog log(path.c_str());
        log.WriteScopeLine("CRot::First", "rot.cpp", 1, true);
        std::ofstream(path, std::ios::binary | std::ios::app)
            << std::string(size - fs::file_size(path), 'p');
        const std::string full = ReadFileBytes(path);
        log.WriteScopeLine("CRot::Second", "rot.cpp", 2, true);
        if (size < 5242880) {
            EXPECT_EQ(fs::file_size(Backup(1)), 10u);
            continue;
        }
        EXPECT_EQ(ReadFileBytes(Backup(1)), full);
        const Log parsed = Parse(path);
        ASSERT_EQ(parsed.order, "BS");
        EXPECT_EQ(parsed.recs[1].where, "[rot.cpp:2 CRot::Second()][Enter]");
        EXPECT_FALSE(fs::exists(Backup(2)));
    }
}

// Counts of 0 or less are ignored.
TEST_F(TraceLogRotation, BackupsAreUsedInTurnAndRestartFromOne) {
    {
        CTraceLog log(path.c_str());
        log.SetMaxFileSizeKB(1);
        log.SetMaxBackupCount(3);
        log.SetMaxBackupCount(0);
        log.SetMaxBackupCount(-4);
        WriteGeneration(log, 0);
        const int expectedBackup[] = {1, 2, 3, 1, 2};
        for (int generation = 1; generation <= 5; ++generation) {
            SCOPED_TRACE(generation);
            WriteGeneration(log, generation);
            EXPECT_EQ(GenerationOf(path), generation);
            EXPECT_EQ(GenerationOf(Backup(expectedBackup[generation - 1])), generation - 1);
        }
        EXPECT_FALSE(fs::exists(Backup(4)));
        EXPECT_FALSE(fs::exists(Backup(0)));
    }
    // A new log object starts again at backup 1. Its first write opens the
    // full file, the next one rotates it.
    CTraceLog log(path.c_str());
    log.SetMaxFileSizeKB(1);
    log.SetMaxBackupCount(3);
    WriteGeneration(log, 6);
    WriteGeneration(log, 7);
    EXPECT_EQ(Parse(Backup(1)).order, "BCBC");
    EXPECT_EQ(GenerationOf(Backup(3)), 2);
    EXPECT_EQ(GenerationOf(path), 7);
}

TEST_F(TraceLogRotation, DisabledLogWritesNothingNotEvenARotation) {
    CTraceLog log(path.c_str());
    log.SetMaxFileSizeKB(1);
    log.Disable();
    WriteGeneration(log, 0);
    EXPECT_FALSE(fs::exists(path)) << "opened while disabled";
    log.Enable();
    WriteGeneration(log, 0);
    const std::string full = ReadFileBytes(path);
    log.Disable();
    WriteGeneration(log, 1);
    log.WriteHere(L"wide %d", 1);
    log.WriteScopeLine("CRot::Off", "rot.cpp", 1, false);
    EXPECT_EQ(ReadFileBytes(path), full);
    EXPECT_FALSE(fs::exists(Backup(1)));
    log.Enable();
    WriteGeneration(log, 2);
    EXPECT_EQ(ReadFileBytes(Backup(1)), full);
    EXPECT_EQ(GenerationOf(path), 2);
}

// Failures reported so far in the running test.
static int FailureCount() {
    const ::testing::TestResult& result =
        *::testing::UnitTest::GetInstance()->current_test_info()->result();
    int failures = 0;
    for (int i = 0; i < result.total_part_count(); ++i) {
        failures += result.GetTestPartResult(i).failed() ? 1 : 0;
    }
    return failures;
}

// 8 threads write 5,000 records each through one log that rotates at 4 KB
// into a backup of its own every time, so that every record can be checked
// afterwards. Stops at the first fault, which it reports; true when none.
static bool WriteFromThreadsAndCheck(const TempDir& dir) {
    const int failuresBefore = FailureCount();
    const auto failed = [failuresBefore] { return FailureCount() != failuresBefore; };
    const int threads = 8, records = 5000;
    const std::string path = dir / "test.log";
    const auto backup = [&dir](int index) { return dir / (std::to_string(index) + "_test.log"); };
    CTraceLog log(path.c_str());
    log.SetMaxFileSizeKB(4);
    log.SetMaxBackupCount(1000000);
    std::vector<unsigned long long> ids(threads);
    std::vector<std::thread> running;
    for (int i = 0; i < threads; ++i) {
        running.emplace_back([&log, &ids, i] {
            ids[i] = GetCurrentThreadId();
            const std::string source = "src/worker" + std::to_string(i) + ".cpp";
            log.SetLocation("CWorker::Run", source.c_str(), 100 + i, TRACE_LEVEL_INFO);
            for (int n = 0; n < records; ++n) {
                log.WriteHere("thread %d record %d", i, n);
            }
        });
    }
    for (std::thread& thread : running) {
        thread.join();
    }
    std::vector<std::string> files;
    for (int index = 1; fs::exists(backup(index)); ++index) {
        files.push_back(backup(index));
    }
    files.push_back(path);
    EXPECT_GT(files.size(), 100u) << "too few rotations to mean anything";
    std::vector<int> next(threads, 0);
    for (const std::string& file : files) {
        const Log parsed = Parse(file);
        if (failed()) {
            return false;
        }
        EXPECT_EQ(parsed.order.rfind('B'), 0u) << file;
        for (size_t r = 1; r < parsed.recs.size(); ++r) {
            const Rec& rec = parsed.recs[r];
            const int i =
                static_cast<int>(std::find(ids.begin(), ids.end(), rec.tid) - ids.begin());
            const std::string name = std::to_string(i);
            EXPECT_LT(i, threads) << file << ": " << rec.line;
            EXPECT_EQ(rec.pid, GetCurrentProcessId()) << file;
            if (i < threads) {
                EXPECT_EQ(rec.where, "[worker" + name + ".cpp:" + std::to_string(100 + i) +
                                         " CWorker::Run()][Inf]")
                    << file;
                EXPECT_EQ(rec.text, "thread " + name + " record " + std::to_string(next[i]++))
                    << file;
            }
            if (failed()) {
                return false;
            }
        }
    }
    for (int i = 0; i < threads; ++i) {
        EXPECT_EQ(next[i], records) << "thread " << i;
    }
    return !failed();
}

// SIGNDESK_TRACELOG_REPEAT=N runs the threaded case N times in this one test
// (each time in a fresh folder) and counts the runs that failed, to measure
// how rare a fault is.
TEST_F(TraceLogRotation, ThreadsRecordsStayWholeInOrderAndAtTheirOwnLocation) {
    const char* repeat = std::getenv("SIGNDESK_TRACELOG_REPEAT");
    const int runs = repeat != nullptr && std::atoi(repeat) > 0 ? std::atoi(repeat) : 1;
    ASSERT_TRUE(g_logLock.HasLock()) << "no log lock: the threads would write unguarded";
    int failedRuns = 0;
    for (int run = 1; run <= runs; ++run) {
        TempDir runDir;
        if (!WriteFromThreadsAndCheck(runDir)) {
            ++failedRuns;
            ADD_FAILURE() << "run " << run << " failed";
        }
    }
    EXPECT_EQ(failedRuns, 0) << "of " << runs << " runs";
}
