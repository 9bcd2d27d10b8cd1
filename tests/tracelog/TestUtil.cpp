#include "TestUtil.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <regex>

namespace tltest {

namespace {

const char kLocation[] = R"(\[(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3})\])"
                         R"(\[P:(\d+)/T:(\d+)\])"
                         R"(\[(.+?):(-?\d+) (.*)\(\)\])";

const std::regex& BeginRegex() {
    static const std::regex re(R"(Begin Time:\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3})");
    return re;
}

const std::regex& ScopeRegex() {
    static const std::regex re(std::string(kLocation) + R"(\[(Enter|Leave)\])");
    return re;
}

const std::regex& ContentRegex() {
    static const std::regex re(std::string(kLocation) + R"(\[(Err|War|Inf|)\])");
    return re;
}

void FillLocation(const std::smatch& m, Location* out) {
    out->stamp = m[1];
    out->pid = std::stoull(m[2]);
    out->tid = std::stoull(m[3]);
    out->file = m[4];
    out->line = std::stoi(m[5]);
    out->function = m[6];
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

void AppendBytes(const std::string& path, size_t count, char fill) {
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    std::string block(65536, fill);
    while (count > 0) {
        DWORD chunk = static_cast<DWORD>(count < block.size() ? count : block.size());
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
    return std::regex_match(line, BeginRegex());
}

bool ParseScopeLine(const std::string& line, ScopeLine* out) {
    std::smatch m;
    if (!std::regex_match(line, m, ScopeRegex())) {
        return false;
    }
    FillLocation(m, &out->where);
    out->enter = m[7] == "Enter";
    return true;
}

bool ParseContentHeader(const std::string& line, ContentHeader* out) {
    std::smatch m;
    if (!std::regex_match(line, m, ContentRegex())) {
        return false;
    }
    FillLocation(m, &out->where);
    out->level = m[7];
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

std::wstring Widen(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

} // namespace tltest
