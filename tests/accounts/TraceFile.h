// A trace log of the test's own in a temporary folder, read back as the
// records the plug-in wrote: scope lines and levelled content records.
#pragma once

#include <string>
#include <vector>

namespace acctest {

struct TraceRecord {
    std::string kind; // "Enter", "Leave", or the level text of a content record
    std::string file;
    int line = 0;
    std::string function;
    std::string content; // content records only
};

// Opens g_pTraceLog on a log file in a temporary folder (once per process).
void OpenTestTraceLog();
std::wstring TestTraceLogPath();

class TraceFile {
public:
    // Remembers the current end; Records() parses what was written after it.
    void Mark();
    std::vector<TraceRecord> Records() const;
    std::string Text() const;

private:
    long long m_offset = 0;
};

std::string Describe(const std::vector<TraceRecord>& records);

} // namespace acctest
