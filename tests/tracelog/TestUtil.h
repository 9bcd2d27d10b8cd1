// Helpers of the trace log tests: temporary folders, file reading and the
// record formats as regular expressions.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tltest {

// Directory of the test executable, without a trailing backslash.
std::string ExeDirectory();
std::string ReadFileBytes(const std::string& path);
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
long long FileSize(const std::string& path);
// Appends count bytes; fails the test for a negative count or one above
// 64 MiB rather than filling the disk.
void AppendBytes(const std::string& path, long long count, char fill);
// Removes a file or a folder with everything in it.
void RemoveTree(const std::string& path);

// The file's content cut at CR LF. Fails the current test when a line ends
// in a bare LF or the file does not end with CR LF.
std::vector<std::string> ReadLines(const std::string& path);
std::vector<std::string> SplitLines(const std::string& content);

// A fresh folder under %TEMP%, removed with its content on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return m_path; }
    // Path of a name inside the folder.
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// Restores a file or folder beside the executable to its earlier absence.
// A shared folder (recursive false) is removed only when it is empty again,
// so that files other programs put there meanwhile stay.
class RemoveIfNew {
public:
    explicit RemoveIfNew(const std::string& path, bool recursive = false);
    ~RemoveIfNew();
    bool Existed() const { return m_existed; }

private:
    std::string m_path;
    bool m_recursive;
    bool m_existed;
};

struct Location {
    std::string stamp;
    unsigned long long pid = 0;
    unsigned long long tid = 0;
    std::string file;
    int line = 0;
    std::string function;
};

struct ScopeLine {
    Location where;
    bool enter = false;
};

struct ContentHeader {
    Location where;
    std::string level;
};

bool IsBeginLine(const std::string& line);
bool ParseScopeLine(const std::string& line, ScopeLine* out);
bool ParseContentHeader(const std::string& line, ContentHeader* out);

// A content record parsed from three consecutive lines.
struct ContentRecord {
    ContentHeader header;
    std::string text;
};

// Splits a log's lines into its parts; false when a line is neither a
// "Begin Time:" line, a scope line nor the first line of a whole record.
struct ParsedLog {
    std::vector<std::string> beginLines;
    std::vector<ScopeLine> scopes;
    std::vector<ContentRecord> contents;
    // In file order: 'B' begin, 'S' scope, 'C' content.
    std::string order;
};
bool ParseLog(const std::vector<std::string>& lines, ParsedLog* out, std::string* error);

// Checks every line against the record formats written as regular
// expressions (slow; for small logs). Returns the first offending line.
bool MatchFormatsByRegex(const std::vector<std::string>& lines, std::string* offending);

std::wstring Widen(const std::string& ascii);

} // namespace tltest
