// Helpers of the trace log tests: a temporary folder, file contents and the
// log's records parsed against their formats.
#pragma once

#include "support/TraceLog.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

inline std::wstring Widen(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// One record: "Begin Time:" ('B'), a scope line ('S') or a content record of
// three lines ('C'). where is "[file:line function()][tag]".
struct Rec {
    char kind = 'B';
    std::string line, where, text;
    unsigned long long pid = 0, tid = 0;
};

struct Log {
    std::string order; // the kinds in file order
    std::vector<Rec> recs;
};

// Every line must end in CR LF and match one of the formats.
inline Log Parse(const std::string& path) {
    const std::string stamp = R"((\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3}))";
    static const std::regex begin("Begin Time:" + stamp);
    static const std::regex located(
        R"(\[)" + stamp + R"(\]\[P:(\d+)/T:(\d+)\])" +
        R"((\[[^\]\\/]+:-?\d+ [^\]]*\(\)\]\[(Enter|Leave|Err|War|Inf|)\]))");
    const std::string content = ReadFileBytes(path);
    std::vector<std::string> lines;
    for (size_t start = 0, end; start < content.size(); start = end + 2) {
        end = content.find("\r\n", start);
        lines.push_back(content.substr(start, end - start));
        EXPECT_EQ(lines.back().find_first_of("\r\n"), std::string::npos) << lines.back();
        if (end == std::string::npos) {
            ADD_FAILURE() << "no CR LF at the end of " << path;
            break;
        }
    }
    Log log;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::smatch m;
        Rec r{'B', lines[i], "", ""};
        if (std::regex_match(lines[i], m, located)) {
            r = {'S', lines[i], m[4], "", std::stoull(m[2]), std::stoull(m[3])};
            if (m[5] != "Enter" && m[5] != "Leave") {
                r.kind = 'C';
                if (i + 2 >= lines.size() || lines[i + 1] != "Content:") {
                    ADD_FAILURE() << path << ": record not whole at line " << i;
                    break;
                }
                r.text = lines[i += 2];
            }
        } else if (!std::regex_match(lines[i], begin)) {
            ADD_FAILURE() << path << ": unexpected line " << i << " [" << lines[i] << "]";
            break;
        }
        log.order += r.kind;
        log.recs.push_back(r);
    }
    return log;
}

// A fresh folder under %TEMP%, removed with its content afterwards. Wine
// reuses process ids, so a folder a killed run left behind is emptied first.
class TempDir {
public:
    TempDir() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
        fs::create_directories(m_path);
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    std::string operator/(const std::string& name) const { return m_path.string() + "\\" + name; }

private:
    static inline int s_count = 0;
    fs::path m_path = fs::temp_directory_path() / ("sdtl_" + std::to_string(GetCurrentProcessId()) +
                                                   "_" + std::to_string(s_count++));
};

// A log file in a fresh folder; leaves no host log and no registered log behind.
class TraceLogTest : public ::testing::Test {
protected:
    void TearDown() override {
        g_pTraceLog = nullptr;
        CTraceLogRegistry::Instance().Clear();
    }
    TempDir dir;
    const std::string path = dir / "test.log";
};
