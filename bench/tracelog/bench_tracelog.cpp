// Throughput of the trace log against spdlog's rotating file sink and a plain
// formatted write, each record flushed at once.
//
// One iteration is what a traced plug-in member writes: its Enter line, one
// content record with a 100-byte text and its Leave line (3 records).
//
//   bench_tracelog [iterations per round] [rounds] [folder]
#include "support/MutexLock.h"
#include "support/TraceLog.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#ifdef BENCH_WITH_SPDLOG
#include <spdlog/sinks/rotating_file_sink.h>
#include <spdlog/spdlog.h>
#endif

namespace {

const char kFunction[] = "CLoginDlg::OnBnClickedButtonLogin";
const int kRecordsPerIteration = 3;
const size_t kMaxSize = 5 * 1024 * 1024;

std::wstring g_wideText;
std::string g_text;

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Runs body(iterations) on each of the threads, the iterations split among
// them; returns records per second.
template <typename Body> double Measure(int threads, int iterations, Body body) {
    const int share = iterations / threads;
    std::vector<std::thread> workers;
    const double start = Now();
    for (int i = 0; i < threads; ++i) {
        workers.emplace_back([&body, share] { body(share); });
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    const double elapsed = Now() - start;
    return static_cast<double>(share) * threads * kRecordsPerIteration / elapsed;
}

// The plug-in's own path: a scope and a levelled record through g_pTraceLog.
void TracedMember(int iterations) {
    for (int i = 0; i < iterations; ++i) {
        TRACE_SCOPE(kFunction);
        TRACE_RECORD(TRACE_LEVEL_INFO, kFunction)(L"%s", g_wideText.c_str());
    }
}

double RunTraceLog(const std::string& folder, int threads, int iterations) {
    const std::string path = folder + "\\trace_" + std::to_string(threads) + ".log";
    CTraceLog* log = new CTraceLog(path.c_str());
    g_pTraceLog = log;
    const double rate = Measure(threads, iterations, TracedMember);
    g_pTraceLog = nullptr;
    delete log;
    return rate;
}

// The floor: one formatted write and a flush per record, nothing else.
double RunPlain(const std::string& folder, int threads, int iterations) {
    const std::string path = folder + "\\plain_" + std::to_string(threads) + ".log";
    FILE* file = fopen(path.c_str(), "ab");
    if (file == nullptr) {
        return 0;
    }
    CMutexLock lock;
    const unsigned long long pid = GetCurrentProcessId();
    auto body = [&](int count) {
        const unsigned long long tid = GetCurrentThreadId();
        auto line = [&](const char* format, const char* tail) {
            SYSTEMTIME t;
            GetLocalTime(&t);
            CAutoLock guard(lock);
            __ms_fprintf(file, format, t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond,
                         t.wMilliseconds, pid, tid, __FILE__, __LINE__, kFunction, tail);
            fflush(file);
        };
        const char* scope =
            "[%d-%02d-%02d %02d:%02d:%02d.%03d][P:%I64u/T:%I64u][%s:%d %s()][%s]\r\n";
        const char* content = "[%d-%02d-%02d %02d:%02d:%02d.%03d][P:%I64u/T:%I64u][%s:%d "
                              "%s()][Inf]\r\nContent:\r\n%s\r\n";
        for (int i = 0; i < count; ++i) {
            line(scope, "Enter");
            line(content, g_text.c_str());
            line(scope, "Leave");
        }
    };
    const double rate = Measure(threads, iterations, body);
    fclose(file);
    return rate;
}

#ifdef BENCH_WITH_SPDLOG
double RunSpdlog(const std::string& folder, int threads, int iterations) {
    const std::string path = folder + "\\spdlog_" + std::to_string(threads) + ".log";
    auto sink = std::make_shared<spdlog::sinks::rotating_file_sink_mt>(path, kMaxSize, 1);
    auto logger = std::make_shared<spdlog::logger>("bench", sink);
    logger->set_pattern("[%Y-%m-%d %H:%M:%S.%e][P:%P/T:%t]%v");
    logger->flush_on(spdlog::level::trace);
    auto body = [&](int count) {
        for (int i = 0; i < count; ++i) {
            logger->info("[{}:{} {}()][Enter]", __FILE__, __LINE__, kFunction);
            logger->info("[{}:{} {}()][Inf]\r\nContent:\r\n{}", __FILE__, __LINE__, kFunction,
                         g_text);
            logger->info("[{}:{} {}()][Leave]", __FILE__, __LINE__, kFunction);
        }
    };
    const double rate = Measure(threads, iterations, body);
    logger->flush();
    return rate;
}
#endif

void RemoveFolder(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                DeleteFileA((folder + "\\" + found.cFileName).c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Best(const std::vector<double>& values) {
    return *std::max_element(values.begin(), values.end());
}

} // namespace

int main(int argc, char** argv) {
    const int iterations = argc > 1 ? atoi(argv[1]) : 10000;
    const int rounds = argc > 2 ? atoi(argv[2]) : 15;
    std::string folder;
    if (argc > 3) {
        folder = argv[3];
    } else {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "sdtl_bench_" + std::to_string(GetCurrentProcessId());
    }
    CreateDirectoryA(folder.c_str(), nullptr);
    g_text.assign(100, 'c');
    for (size_t i = 0; i < g_text.size(); i += 10) {
        g_text[i] = static_cast<char>('0' + (i / 10) % 10);
    }
    g_wideText.assign(g_text.begin(), g_text.end());

    SYSTEM_INFO system;
    GetSystemInfo(&system);
    printf("%d iterations of Enter + 100-byte content + Leave (%d records) per round, %d rounds "
           "alternating, flush per record, %lu processors\n",
           iterations, iterations * kRecordsPerIteration, rounds, system.dwNumberOfProcessors);
    printf("records/second: median of the rounds (best round); ratios: median of the rounds' "
           "own ratios (lowest-highest)\n");
    printf("%-8s %18s %18s %18s %20s %20s\n", "threads", "CTraceLog", "spdlog", "plain loop",
           "vs spdlog", "vs plain");
    typedef double (*Runner)(const std::string&, int, int);
    const Runner runners[] = {RunTraceLog,
#ifdef BENCH_WITH_SPDLOG
                              RunSpdlog,
#else
                              nullptr,
#endif
                              RunPlain};
    // The log and spdlog always run next to each other, in turns first, and
    // the plain loop before or after both: each round's ratios then compare
    // runs that saw the same state of this shared machine.
    const int orders[2][3] = {{0, 1, 2}, {2, 1, 0}};
    for (int threads : {1, 4}) {
        std::vector<double> rates[3];
        std::vector<double> ratios[2];
        for (int round = 0; round < rounds; ++round) {
            double rate[3] = {};
            for (int which : orders[round % 2]) {
                if (runners[which] != nullptr) {
                    rate[which] = runners[which](folder, threads, iterations);
                    rates[which].push_back(rate[which]);
                }
            }
            for (int other = 1; other < 3; ++other) {
                if (rate[other] > 0) {
                    ratios[other - 1].push_back(rate[0] / rate[other]);
                }
            }
        }
        char cells[5][64];
        for (int which = 0; which < 3; ++which) {
            if (rates[which].empty()) {
                snprintf(cells[which], sizeof(cells[which]), "%s", "-");
                continue;
            }
            snprintf(cells[which], sizeof(cells[which]), "%.0f (%.0f)", Median(rates[which]),
                     Best(rates[which]));
        }
        for (int k = 0; k < 2; ++k) {
            const std::vector<double>& r = ratios[k];
            if (r.empty()) {
                snprintf(cells[3 + k], sizeof(cells[3 + k]), "%s", "-");
                continue;
            }
            snprintf(cells[3 + k], sizeof(cells[3 + k]), "%.2fx (%.2f-%.2f)", Median(r),
                     *std::min_element(r.begin(), r.end()), *std::max_element(r.begin(), r.end()));
        }
        printf("%-8d %18s %18s %18s %20s %20s\n", threads, cells[0], cells[1], cells[2], cells[3],
               cells[4]);
        fflush(stdout);
    }
#ifdef BENCH_WITH_SPDLOG
    spdlog::shutdown();
#endif
    if (argc <= 3) {
        RemoveFolder(folder);
    }
    return 0;
}
