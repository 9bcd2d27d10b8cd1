// Many threads writing through one log with frequent rotation.
#include "TestUtil.h"
#include "TraceLog.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

using namespace tltest;

namespace {

const int kThreads = 8;
const int kRecords = 5000;

struct Worker {
    std::string function;
    std::string file;
    unsigned long long tid = 0;
};

} // namespace

// Every rotation goes to a backup of its own (far more backups than
// rotations), so that every record written can be found again afterwards.
TEST(TraceLogThreads, RecordsStayWholeInOrderAndAtTheirOwnThreadsLocation) {
    TempDir dir;
    const std::string live = dir / "mt.log";
    CTraceLog log(live.c_str());
    log.SetMaxFileSizeKB(4);
    log.SetMaxBackupCount(1000000);

    std::vector<Worker> workers(kThreads);
    for (int i = 0; i < kThreads; ++i) {
        workers[i].function = "CWorker" + std::to_string(i) + "::Run";
        workers[i].file = "src/worker" + std::to_string(i) + ".cpp";
    }
    const auto started = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([&log, &workers, i] {
            Worker& self = workers[i];
            self.tid = GetCurrentThreadId();
            log.SetLocation(self.function.c_str(), self.file.c_str(), 100 + i, TRACE_LEVEL_INFO);
            for (int n = 0; n < kRecords; ++n) {
                if (n % 10 == 0) {
                    // At a given place: the thread's own location stays.
                    log.WriteScopeLine(self.function.c_str(), self.file.c_str(), 200 + i, true);
                }
                log.WriteHere("thread %d record %d", i, n);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    // Backups in the order they were written, then the live file.
    std::vector<std::string> files;
    for (int index = 1;; ++index) {
        const std::string backup = dir / (std::to_string(index) + "_mt.log");
        if (!FileExists(backup)) {
            break;
        }
        files.push_back(backup);
    }
    files.push_back(live);
    EXPECT_GT(files.size(), 100u) << "too few rotations to mean anything";

    std::map<unsigned long long, int> byThread;
    for (int i = 0; i < kThreads; ++i) {
        byThread[workers[i].tid] = i;
    }
    std::vector<int> next(kThreads, 0);
    std::vector<int> scopes(kThreads, 0);
    for (const std::string& file : files) {
        ParsedLog parsed;
        std::string error;
        ASSERT_TRUE(ParseLog(ReadLines(file), &parsed, &error)) << file << ": " << error;
        ASSERT_EQ(parsed.beginLines.size(), 1u) << file;
        ASSERT_EQ(parsed.order[0], 'B') << file;
        for (const ContentRecord& record : parsed.contents) {
            const Location& where = record.header.where;
            ASSERT_EQ(byThread.count(where.tid), 1u) << where.tid;
            const int i = byThread[where.tid];
            const std::string basename = "worker" + std::to_string(i) + ".cpp";
            ASSERT_EQ(where.function, workers[i].function);
            ASSERT_EQ(where.file, basename);
            ASSERT_EQ(where.line, 100 + i);
            ASSERT_EQ(where.pid, GetCurrentProcessId());
            ASSERT_EQ(record.header.level, "Inf");
            ASSERT_EQ(record.text,
                      "thread " + std::to_string(i) + " record " + std::to_string(next[i]));
            ++next[i];
        }
        for (const ScopeLine& scope : parsed.scopes) {
            ASSERT_EQ(byThread.count(scope.where.tid), 1u);
            const int i = byThread[scope.where.tid];
            ASSERT_EQ(scope.where.function, workers[i].function);
            ASSERT_EQ(scope.where.line, 200 + i);
            ASSERT_TRUE(scope.enter);
            ++scopes[i];
        }
    }
    for (int i = 0; i < kThreads; ++i) {
        EXPECT_EQ(next[i], kRecords) << "thread " << i;
        EXPECT_EQ(scopes[i], kRecords / 10) << "thread " << i;
    }
    printf("[ info     ] %d threads x %d records, %zu files, %.2f s\n", kThreads, kRecords,
           files.size(), seconds);
}
