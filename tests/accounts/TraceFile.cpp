#include "TraceFile.h"

#include "TraceLog.h"

#include <windows.h>

#include <cstdio>
#include <regex>
#include <sstream>

namespace acctest {

std::wstring TestTraceLogPath() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"signdesk_test_accounts_" +
           std::to_wstring(GetCurrentProcessId()) + L"\\KITE.log";
}

void OpenTestTraceLog() {
    if (g_pTraceLog)
        return;
    g_pTraceLog = OpenTraceLog(TestTraceLogPath().c_str());
    // The first write opens the file and writes its "Begin Time:" line.
    TRACE_SCOPE("acctest::OpenTestTraceLog");
}

namespace {
long long FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}
} // namespace

void TraceFile::Mark() {
    m_offset = FileSize(TestTraceLogPath());
}

std::string TraceFile::Text() const {
    FILE* f = _wfopen(TestTraceLogPath().c_str(), L"rb");
    if (!f)
        return "";
    std::string text;
    _fseeki64(f, 0, SEEK_END);
    long long size = _ftelli64(f);
    if (size > m_offset) {
        _fseeki64(f, m_offset, SEEK_SET);
        text.resize(static_cast<size_t>(size - m_offset));
        text.resize(fread(&text[0], 1, text.size(), f));
    }
    fclose(f);
    return text;
}

std::vector<TraceRecord> TraceFile::Records() const {
    static const std::regex head(
        R"(^\[[^\]]+\]\[P:\d+/T:\d+\]\[([^:\]]+):(\d+) ([^\]]+)\(\)\]\[([A-Za-z]*)\]$)");
    std::vector<std::string> lines;
    std::string text = Text();
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find("\r\n", pos);
        lines.push_back(text.substr(pos, end == std::string::npos ? std::string::npos : end - pos));
        pos = end == std::string::npos ? text.size() : end + 2;
    }
    std::vector<TraceRecord> records;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::smatch m;
        if (!std::regex_match(lines[i], m, head)) {
            // Anything else is a record the parser does not know: keep it
            // visible so that a test fails on it.
            records.push_back({"?", "", 0, "", lines[i]});
            continue;
        }
        TraceRecord r{m[4], m[1], std::stoi(m[2]), m[3], ""};
        if (r.kind != "Enter" && r.kind != "Leave") {
            // A content record: "Content:" and the text follow.
            if (i + 2 < lines.size() && lines[i + 1] == "Content:") {
                r.content = lines[i + 2];
                i += 2;
            } else {
                r.kind = "?" + r.kind;
            }
        }
        records.push_back(r);
    }
    return records;
}

std::string Describe(const std::vector<TraceRecord>& records) {
    std::ostringstream os;
    for (const TraceRecord& r : records)
        os << "  [" << r.kind << "] " << r.file << ":" << r.line << " " << r.function << " "
           << r.content << "\n";
    return os.str();
}

} // namespace acctest
