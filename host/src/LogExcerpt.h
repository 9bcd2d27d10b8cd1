// What one run of the client added to log files that other runs share: the
// plug-in's trace log beside the executable (rotated into a numbered backup
// when it grows too big) and the upgrade program's record of its starts.
#pragma once

#include <string>

namespace kite {

class LogExcerpt {
public:
    // Notes what the file holds now. backup: where the file's contents go
    // when it is rotated (empty when it never is).
    explicit LogExcerpt(const std::wstring& path, const std::wstring& backup = std::wstring());

    // The bytes written to the file since; when the file was rotated
    // meanwhile, those in the backup after the noted end and all of the file.
    std::string Added() const;

private:
    std::wstring m_path;
    std::wstring m_backup;
    std::string m_before;
};

// The trace records of one process: a record starts with a line whose
// prefix names the process ("[time][P:<pid>/T:<tid>]"); the lines of a
// content record after the first go with it; a "Begin Time:" line goes
// with the record after it.
std::string RecordsOfProcess(const std::string& log, unsigned long pid);

} // namespace kite
