#include "LogExcerpt.h"

#include "TextUtil.h"

#include <cstdio>

namespace kite {

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The process id of a record's first line, or false for other lines.
bool RecordProcess(const std::string& line, unsigned long& pid) {
    if (line.empty() || line[0] != '[')
        return false;
    const size_t at = line.find("][P:");
    return at != std::string::npos && std::sscanf(line.c_str() + at, "][P:%lu/", &pid) == 1;
}

} // namespace

LogExcerpt::LogExcerpt(const std::wstring& path, const std::wstring& backup)
    : m_path(path), m_backup(backup) {
    ReadFileBytes(m_path, m_before);
}

std::string LogExcerpt::Added() const {
    std::string now;
    ReadFileBytes(m_path, now);
    if (StartsWith(now, m_before))
        return now.substr(m_before.size());
    // Rotated: the backup begins with what the file held before.
    std::string backup;
    if (!m_backup.empty() && ReadFileBytes(m_backup, backup) && StartsWith(backup, m_before))
        return backup.substr(m_before.size()) + now;
    return now;
}

std::string RecordsOfProcess(const std::string& log, unsigned long pid) {
    std::string out;
    std::string pending; // "Begin Time:" lines waiting for their record
    bool ours = false;
    size_t start = 0;
    while (start < log.size()) {
        size_t end = log.find('\n', start);
        end = end == std::string::npos ? log.size() : end + 1;
        const std::string line = log.substr(start, end - start);
        start = end;
        unsigned long owner = 0;
        if (StartsWith(line, "Begin Time:")) {
            pending += line;
            continue;
        }
        if (RecordProcess(line, owner)) {
            ours = owner == pid;
            if (ours)
                out += pending;
            pending.clear();
        }
        if (ours)
            out += line;
    }
    return out;
}

} // namespace kite
