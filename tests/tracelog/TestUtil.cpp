#include "TestUtil.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <regex>

namespace tltest {

namespace {

bool IsDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

// "%d-%02d-%02d %02d:%02d:%02d.%03d" for a four-digit year.
bool IsStamp(const std::string& text, size_t at) {
    static const char pattern[] = "dddd-dd-dd dd:dd:dd.ddd";
    if (text.size() < at + sizeof(pattern) - 1) {
        return false;
    }
    for (size_t i = 0; i + 1 < sizeof(pattern); ++i) {
        const char ch = text[at + i];
        if (pattern[i] == 'd' ? !IsDigit(ch) : ch != pattern[i]) {
            return false;
        }
    }
    return true;
}

bool ReadNumber(const std::string& text, size_t* at, unsigned long long* out) {
    size_t i = *at;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
    }
    if (i == *at || i - *at > 20) {
        return false;
    }
    *out = std::stoull(text.substr(*at, i - *at));
    *at = i;
    return true;
}

bool Expect(const std::string& text, size_t* at, const char* literal) {
    const size_t length = strlen(literal);
    if (text.compare(*at, length, literal) != 0) {
        return false;
    }
    *at += length;
    return true;
}

// Parses "[stamp][P:pid/T:tid][file:line function()]" followed by exactly
// one "[tag]"; returns the tag.
bool ParseLocated(const std::string& line, Location* out, std::string* tag) {
    size_t at = 0;
    if (!Expect(line, &at, "[") || !IsStamp(line, at)) {
        return false;
    }
    out->stamp = line.substr(at, 23);
    at += 23;
    if (!Expect(line, &at, "][P:") || !ReadNumber(line, &at, &out->pid) ||
        !Expect(line, &at, "/T:") || !ReadNumber(line, &at, &out->tid) ||
        !Expect(line, &at, "][")) {
        return false;
    }
    // The last bracket holds the tag; the location ends in "()]" before it.
    const size_t tagOpen = line.rfind('[');
    if (tagOpen == std::string::npos || tagOpen < at || line.back() != ']' ||
        line.find(']', tagOpen) != line.size() - 1 || tagOpen < 3 ||
        line.compare(tagOpen - 3, 3, "()]") != 0) {
        return false;
    }
    *tag = line.substr(tagOpen + 1, line.size() - tagOpen - 2);
    const std::string middle = line.substr(at, tagOpen - 3 - at); // file:line function
    // The file part ends at the first ":<digits> ".
    for (size_t colon = middle.find(':'); colon != std::string::npos;
         colon = middle.find(':', colon + 1)) {
        size_t digits = colon + 1;
        if (digits < middle.size() && middle[digits] == '-') {
            ++digits;
        }
        size_t end = digits;
        while (end < middle.size() && IsDigit(middle[end])) {
            ++end;
        }
        if (end > digits && end < middle.size() && middle[end] == ' ' && colon > 0) {
            out->file = middle.substr(0, colon);
            out->line = std::stoi(middle.substr(colon + 1, end - colon - 1));
            out->function = middle.substr(end + 1);
            return true;
        }
    }
    return false;
}

} // namespace

std::string ExeDirectory() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH - 1);
    std::string result(path);
    return result.substr(0, result.rfind('\\'));
}

std::string ReadFileBytes(const std::string& path) {
    std::string content;
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return content;
    }
    char buffer[65536];
    size_t got;
    while ((got = fread(buffer, 1, sizeof(buffer), file)) > 0) {
        content.append(buffer, got);
    }
    fclose(file);
    return content;
}

bool FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

long long FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        return -1;
    }
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void AppendBytes(const std::string& path, long long count, char fill) {
    ASSERT_GE(count, 0) << path;
    ASSERT_LE(count, 64LL << 20) << path;
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    std::string block(65536, fill);
    while (count > 0) {
        const long long size = static_cast<long long>(block.size());
        DWORD chunk = static_cast<DWORD>(count < size ? count : size);
        DWORD written = 0;
        WriteFile(file, block.data(), chunk, &written, nullptr);
        ASSERT_EQ(written, chunk);
        count -= chunk;
    }
    CloseHandle(file);
}

void RemoveTree(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        DeleteFileA(path.c_str());
        return;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name != "." && name != "..") {
                RemoveTree(path + "\\" + name);
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

std::vector<std::string> SplitLines(const std::string& content) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "content does not end with CR LF: [" << content.substr(start) << "]";
            lines.push_back(content.substr(start));
            break;
        }
        std::string line = content.substr(start, end - start);
        EXPECT_EQ(line.find('\n'), std::string::npos) << "bare LF in [" << line << "]";
        EXPECT_EQ(line.find('\r'), std::string::npos) << "bare CR in [" << line << "]";
        lines.push_back(line);
        start = end + 2;
    }
    return lines;
}

std::vector<std::string> ReadLines(const std::string& path) {
    return SplitLines(ReadFileBytes(path));
}

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    m_path = std::string(base) + "sdtl_" + std::to_string(GetCurrentProcessId()) + "_" +
             std::to_string(counter++);
    RemoveTree(m_path);
    CreateDirectoryA(m_path.c_str(), nullptr);
}

TempDir::~TempDir() {
    RemoveTree(m_path);
}

RemoveIfNew::RemoveIfNew(const std::string& path, bool recursive)
    : m_path(path), m_recursive(recursive),
      m_existed(GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {}

RemoveIfNew::~RemoveIfNew() {
    if (m_existed) {
        return;
    }
    if (m_recursive || FileExists(m_path)) {
        RemoveTree(m_path);
    } else {
        RemoveDirectoryA(m_path.c_str());
    }
}

bool IsBeginLine(const std::string& line) {
    return line.size() == 11 + 23 && line.compare(0, 11, "Begin Time:") == 0 && IsStamp(line, 11);
}

bool ParseScopeLine(const std::string& line, ScopeLine* out) {
    std::string tag;
    if (!ParseLocated(line, &out->where, &tag) || (tag != "Enter" && tag != "Leave")) {
        return false;
    }
    out->enter = tag == "Enter";
    return true;
}

bool ParseContentHeader(const std::string& line, ContentHeader* out) {
    std::string tag;
    if (!ParseLocated(line, &out->where, &tag) ||
        (tag != "Err" && tag != "War" && tag != "Inf" && !tag.empty())) {
        return false;
    }
    out->level = tag;
    return true;
}

bool ParseLog(const std::vector<std::string>& lines, ParsedLog* out, std::string* error) {
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        ScopeLine scope;
        ContentHeader header;
        if (IsBeginLine(line)) {
            out->beginLines.push_back(line);
            out->order += 'B';
        } else if (ParseScopeLine(line, &scope)) {
            out->scopes.push_back(scope);
            out->order += 'S';
        } else if (ParseContentHeader(line, &header)) {
            if (i + 2 >= lines.size() || lines[i + 1] != "Content:") {
                *error = "content record not whole at line " + std::to_string(i) + ": " + line;
                return false;
            }
            out->contents.push_back({header, lines[i + 2]});
            out->order += 'C';
            i += 2;
        } else {
            *error = "unexpected line " + std::to_string(i) + ": [" + line + "]";
            return false;
        }
    }
    return true;
}

bool MatchFormatsByRegex(const std::vector<std::string>& lines, std::string* offending) {
    const std::string stamp = R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3})";
    const std::string location =
        R"(\[)" + stamp + R"(\]\[P:\d+/T:\d+\]\[[^\]\\/]+:-?\d+ [^\]]*\(\)\])";
    const std::regex begin("Begin Time:" + stamp);
    const std::regex scope(location + R"(\[(Enter|Leave)\])");
    const std::regex content(location + R"(\[(Err|War|Inf|)\])");
    for (size_t i = 0; i < lines.size(); ++i) {
        if (std::regex_match(lines[i], begin) || std::regex_match(lines[i], scope)) {
            continue;
        }
        if (std::regex_match(lines[i], content) && i + 2 < lines.size() &&
            lines[i + 1] == "Content:") {
            i += 2;
            continue;
        }
        *offending = lines[i];
        return false;
    }
    return true;
}

std::wstring Widen(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

} // namespace tltest
