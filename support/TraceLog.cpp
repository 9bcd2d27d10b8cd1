#include "TraceLog.h"

#include "MutexLock.h"
#include "StringConv.h"

#include <windows.h>

#include <cerrno>
#include <cstring>
#include <cwchar>
#include <new>

ITraceLog* g_pTraceLog = nullptr;

namespace {

const char kFallbackFileName[] = "MyLog.log";
const char kCrLf[] = "\r\n";

// Every narrow format goes through msvcrt's own formatter: with libstdc++ the
// mingw headers redirect the standard printf names to a C99 implementation,
// whose handling of %I64u and of %s in wide formats differs from the
// platform's. _vsnprintf, _vsnwprintf and __ms_fprintf are never redirected.
// The result is always terminated; longer output is cut.
int FormatV(char* out, size_t size, const char* format, va_list args) {
    int written = _vsnprintf(out, size - 1, format, args);
    out[size - 1] = '\0';
    if (written < 0 || static_cast<size_t>(written) >= size - 1) {
        return -1;
    }
    out[written] = '\0';
    return written;
}

int Format(char* out, size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int written = FormatV(out, size, format, args);
    va_end(args);
    return written;
}

void CopyText(char* out, size_t size, const char* text) {
    size_t length = strlen(text);
    if (length >= size) {
        length = size - 1;
    }
    memmove(out, text, length);
    out[length] = '\0';
}

void AppendText(char* out, size_t size, const char* text) {
    size_t used = strlen(out);
    if (used < size) {
        CopyText(out + used, size - used, text);
    }
}

void ToBackslashes(char* text) {
    for (; *text != '\0'; ++text) {
        if (*text == '/') {
            *text = '\\';
        }
    }
}

void FormatTimeStamp(char* out) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    Format(out, CTraceLog::PATH_SIZE, "%d-%02d-%02d %02d:%02d:%02d.%03d", now.wYear, now.wMonth,
           now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
}

const char* LevelText(int level) {
    switch (level) {
    case TRACE_LEVEL_ERROR:
        return "Err";
    case TRACE_LEVEL_WARNING:
        return "War";
    case TRACE_LEVEL_INFO:
        return "Inf";
    default:
        return "";
    }
}

// Directory of the host executable, without a trailing backslash.
void GetExeDirectory(char* out) {
    char module[CTraceLog::PATH_SIZE] = {};
    DWORD length = GetModuleFileNameA(nullptr, module, CTraceLog::PATH_SIZE - 1);
    module[length < CTraceLog::PATH_SIZE ? length : CTraceLog::PATH_SIZE - 1] = '\0';
    char* last = strrchr(module, '\\');
    if (last != nullptr) {
        *last = '\0';
    }
    CopyText(out, CTraceLog::PATH_SIZE, module);
}

bool DirectoryExists(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool MakeDirectory(const char* path) {
    return CreateDirectoryA(path, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// Creates every missing directory of the chain, the last one included.
bool CreateDirectoryChain(const char* directory) {
    if (directory[0] == '\0' || DirectoryExists(directory)) {
        return true;
    }
    const size_t length = strlen(directory);
    char prefix[CTraceLog::PATH_SIZE];
    for (size_t i = 1; i <= length; ++i) {
        if (i < length && directory[i] != '\\') {
            continue;
        }
        if (i == length && directory[length - 1] == '\\') {
            break;
        }
        memcpy(prefix, directory, i);
        prefix[i] = '\0';
        if (!DirectoryExists(prefix) && !MakeDirectory(prefix)) {
            return false;
        }
    }
    return true;
}

void PrintMessage(const char* message) {
    fputs(message, stdout);
    fflush(stdout);
}

void PrintCloseFailure(const char* format) {
    int error = errno;
    char message[CTraceLog::PATH_SIZE * 2];
    Format(message, sizeof(message), format, error, strerror(error));
    PrintMessage(message);
}

// A private copy of a scope's string; none for a missing one, which the
// scope then passes as a literal "" that can never dangle.
char* CopyString(const char* text) {
    if (text == nullptr) {
        return nullptr;
    }
    size_t length = strlen(text);
    char* copy = new (std::nothrow) char[length + 1];
    if (copy != nullptr) {
        memcpy(copy, text, length + 1);
    }
    return copy;
}

} // namespace

CTraceLog::CTraceLog(const char* path)
    : m_disabled(false), m_needsOpen(true), m_fileName(), m_directory(), m_locations(nullptr),
      m_pFile(nullptr), m_level(TRACE_LEVEL_INFO), m_maxSize(DEFAULT_MAX_SIZE), m_maxBackups(1),
      m_backupIndex(0), m_text(nullptr), m_wideText(nullptr) {
    ResolvePath(path != nullptr ? path : "");
    CAutoLock guard(g_logLock);
    FindLocation(true);
}

CTraceLog::~CTraceLog() {
    CAutoLock guard(g_logLock);
    if (m_pFile != nullptr) {
        fclose(m_pFile);
        m_pFile = nullptr;
    }
    // Free the tree without recursion: it may be as deep as the number of
    // threads that ever traced.
    TraceLocation* node = m_locations;
    while (node != nullptr) {
        if (node->left != nullptr) {
            TraceLocation* left = node->left;
            node->left = left->right;
            left->right = node;
            node = left;
        } else {
            TraceLocation* right = node->right;
            delete node;
            node = right;
        }
    }
    m_locations = nullptr;
    delete[] m_text;
    delete[] m_wideText;
}

void CTraceLog::ResolvePath(const char* path) {
    char exeDirectory[PATH_SIZE];
    GetExeDirectory(exeDirectory);
    char work[PATH_SIZE];
    CopyText(work, PATH_SIZE, path);

    if (strchr(work, ':') != nullptr) {
        // Absolute.
        ToBackslashes(work);
        char* last = strrchr(work, '\\');
        if (last == nullptr) {
            return;
        }
        CopyText(m_fileName, PATH_SIZE, last + 1);
        *last = '\0';
        CopyText(m_directory, PATH_SIZE, work);
    } else if (strchr(work, '/') == nullptr && strchr(work, '\\') == nullptr) {
        // A bare file name: beside the executable.
        CopyText(m_directory, PATH_SIZE, exeDirectory);
        AppendText(m_directory, PATH_SIZE, "\\");
        CopyText(m_fileName, PATH_SIZE, work);
    } else {
        // Relative to the executable's directory, with "." and "..".
        ToBackslashes(work);
        char* last = strrchr(work, '\\');
        CopyText(m_fileName, PATH_SIZE, last + 1);
        *last = '\0';
        char result[PATH_SIZE];
        CopyText(result, PATH_SIZE, exeDirectory);
        char* component = work;
        while (component != nullptr) {
            char* next = strchr(component, '\\');
            if (next != nullptr) {
                *next++ = '\0';
            }
            if (strcmp(component, "..") == 0) {
                size_t length = strlen(result);
                if (length == 2 || length == 0) {
                    // Above the drive: keep the log beside the executable.
                    CopyText(result, PATH_SIZE, exeDirectory);
                    AppendText(result, PATH_SIZE, "\\Log\\");
                    break;
                }
                char* cut = strrchr(result, '\\');
                if (cut != nullptr) {
                    *cut = '\0';
                } else {
                    result[0] = '\0';
                }
            } else if (component[0] != '\0' && strcmp(component, ".") != 0) {
                AppendText(result, PATH_SIZE, "\\");
                AppendText(result, PATH_SIZE, component);
            }
            component = next;
        }
        CopyText(m_directory, PATH_SIZE, result);
    }

    if (!CreateDirectoryChain(m_directory)) {
        CopyText(m_directory, PATH_SIZE, exeDirectory);
        AppendText(m_directory, PATH_SIZE, "\\Log\\");
        MakeDirectory(m_directory);
        CopyText(m_fileName, PATH_SIZE, kFallbackFileName);
    }
    size_t length = strlen(m_directory);
    if (length == 0 || m_directory[length - 1] != '\\') {
        AppendText(m_directory, PATH_SIZE, "\\");
    }
}

// Runs the open step, or the rotation check while the file is open.
// The caller holds g_logLock. True when the file is open afterwards.
bool CTraceLog::PrepareFile() {
    if (m_pFile != nullptr) {
        CheckRotation();
    } else {
        OpenFile();
    }
    return m_pFile != nullptr;
}

void CTraceLog::OpenFile() {
    if (!m_needsOpen) {
        return;
    }
    CAutoLock guard(g_logLock);
    if (!m_needsOpen) {
        return;
    }
    m_needsOpen = false;
    if (m_pFile == nullptr) {
        char path[PATH_SIZE];
        Format(path, PATH_SIZE, "%s%s", m_directory, m_fileName);
        m_pFile = fopen(path, "ab+");
        if (m_pFile == nullptr) {
            CopyText(m_fileName, PATH_SIZE, kFallbackFileName);
            Format(path, PATH_SIZE, "%s%s", m_directory, m_fileName);
            m_pFile = fopen(path, "ab+");
            if (m_pFile == nullptr) {
                return;
            }
        }
    }
    char stamp[PATH_SIZE];
    FormatTimeStamp(stamp);
    if (stamp[0] != '\0') {
        __ms_fprintf(m_pFile, "%s%s\r\n", "Begin Time:", stamp);
        fflush(m_pFile);
    }
}

void CTraceLog::CheckRotation() {
    CAutoLock guard(g_logLock);
    if (m_pFile == nullptr) {
        return;
    }
    fseek(m_pFile, 0, SEEK_END);
    long size = ftell(m_pFile);
    fseek(m_pFile, 0, SEEK_SET);
    if (size < static_cast<long>(static_cast<int>(m_maxSize))) {
        return;
    }

    if (fclose(m_pFile) != 0) {
        PrintCloseFailure("fclose failed code[%d] string[%s]\n");
    }
    // The stream is gone even when its close failed: never touch it again.
    m_pFile = nullptr;

    if (++m_backupIndex > m_maxBackups) {
        m_backupIndex = 1;
    }
    char current[PATH_SIZE];
    char backup[PATH_SIZE];
    Format(current, PATH_SIZE, "%s%s", m_directory, m_fileName);
    Format(backup, PATH_SIZE, "%s%d%s%s", m_directory, m_backupIndex, "_", m_fileName);
    if (!CopyFileA(current, backup, FALSE)) {
        int error = static_cast<int>(GetLastError());
        char stamp[PATH_SIZE];
        FormatTimeStamp(stamp);
        char message[1024];
        Format(message, sizeof(message), "%s rename [%s] to [%s] failed code[%d]\n", stamp, current,
               backup, error);
        PrintMessage(message);
    }

    FILE* truncated = fopen(current, "w");
    if (truncated != nullptr && fclose(truncated) != 0) {
        PrintCloseFailure("fclose faild code[%d] string[%s]\n");
    }
    m_needsOpen = true;
    OpenFile();
}

TraceLocation* CTraceLog::FindLocation(bool create) {
    const unsigned long long threadId = GetCurrentThreadId();
    TraceLocation** link = &m_locations;
    while (*link != nullptr) {
        TraceLocation* node = *link;
        if (threadId == node->threadId) {
            return node;
        }
        link = threadId < node->threadId ? &node->left : &node->right;
    }
    if (!create) {
        return nullptr;
    }
    TraceLocation* node = new (std::nothrow) TraceLocation;
    if (node != nullptr) {
        node->threadId = threadId;
        node->line = 0;
        node->level = TRACE_LEVEL_INFO;
        node->function = nullptr;
        node->file = nullptr;
        node->left = nullptr;
        node->right = nullptr;
        *link = node;
    }
    return node;
}

bool CTraceLog::BuildLocation(char* out, const char* function, const char* file, int line) {
    if (function == nullptr || function[0] == '\0' || file == nullptr || m_pFile == nullptr) {
        return false;
    }
    const char* filePart = file;
    for (const char* p = file; *p != '\0'; ++p) {
        if (*p == '\\' || *p == '/') {
            filePart = p + 1;
        }
    }
    char fileName[PATH_SIZE];
    CopyText(fileName, PATH_SIZE, filePart);
    if (fileName[0] == '\0') {
        return false;
    }
    char stamp[PATH_SIZE];
    FormatTimeStamp(stamp);
    char prefix[PATH_SIZE];
    Format(prefix, PATH_SIZE, "[%s][P:%I64u/T:%I64u]", stamp,
           static_cast<unsigned long long>(GetCurrentProcessId()),
           static_cast<unsigned long long>(GetCurrentThreadId()));
    if (prefix[0] == '\0') {
        return false;
    }
    Format(out, PATH_SIZE, "%s[%s:%d %s()]", prefix, fileName, line, function);
    return true;
}

void CTraceLog::WriteScope(const char* function, const char* file, int line, bool enter) {
    char location[PATH_SIZE];
    if (!BuildLocation(location, function, file, line)) {
        return;
    }
    __ms_fprintf(m_pFile, "%s[%s]%s", location, enter ? "Enter" : "Leave", kCrLf);
    fflush(m_pFile);
}

bool CTraceLog::ContentAllowed(const TraceLocation* location) const {
    return location != nullptr && location->function != nullptr && location->file != nullptr &&
           location->level <= m_level;
}

bool CTraceLog::AllocateBuffers() {
    if (m_text == nullptr) {
        m_text = new (std::nothrow) char[CONTENT_SIZE];
    }
    if (m_wideText == nullptr) {
        m_wideText = new (std::nothrow) wchar_t[CONTENT_SIZE];
    }
    return m_text != nullptr && m_wideText != nullptr;
}

void CTraceLog::EmitContent(const TraceLocation* location, const char* text) {
    char prefix[PATH_SIZE];
    if (!BuildLocation(prefix, location->function, location->file, location->line)) {
        return;
    }
    __ms_fprintf(m_pFile, "%s[%s]\r\n%s\r\n%s%s", prefix, LevelText(location->level),
                 "Content:", text, kCrLf);
    fflush(m_pFile);
}

void CTraceLog::WriteContentV(const char* format, va_list args) {
    if (m_disabled) {
        return;
    }
    CAutoLock guard(g_logLock);
    if (!PrepareFile()) {
        return;
    }
    TraceLocation* location = FindLocation(true);
    if (format == nullptr || !ContentAllowed(location) || !AllocateBuffers()) {
        return;
    }
    if (FormatV(m_text, CONTENT_SIZE, format, args) < 0) {
        // Cut: do not leave half of a double-byte character at the end.
        size_t keep = 0;
        for (size_t i = 0; m_text[i] != '\0';) {
            size_t step = IsDBCSLeadByte(static_cast<BYTE>(m_text[i])) ? 2 : 1;
            if (i + step > CONTENT_SIZE - 1 || (step == 2 && m_text[i + 1] == '\0')) {
                break;
            }
            i += step;
            keep = i;
        }
        m_text[keep] = '\0';
    }
    EmitContent(location, m_text);
}

void CTraceLog::WriteContentV(const wchar_t* format, va_list args) {
    if (m_disabled) {
        return;
    }
    CAutoLock guard(g_logLock);
    if (!PrepareFile()) {
        return;
    }
    TraceLocation* location = FindLocation(true);
    if (format == nullptr || !ContentAllowed(location) || !AllocateBuffers()) {
        return;
    }
    int wideLength = _vsnwprintf(m_wideText, CONTENT_SIZE - 1, format, args);
    m_wideText[CONTENT_SIZE - 1] = L'\0';
    if (wideLength < 0 || wideLength >= CONTENT_SIZE - 1) {
        // Cut: do not leave half of a surrogate pair at the end.
        wchar_t& last = m_wideText[CONTENT_SIZE - 2];
        if (last >= 0xD800 && last <= 0xDBFF) {
            last = L'\0';
        }
    } else {
        m_wideText[wideLength] = L'\0';
    }
    int capacity = CONTENT_SIZE;
    int written = WideToAnsiBuffer(m_text, m_wideText, capacity);
    m_text[written] = '\0';
    EmitContent(location, m_text);
}

void CTraceLog::WriteV(int level, const char* function, const char* file, int line,
                       const wchar_t* format, va_list args) {
    SetLocation(function, file, line, level);
    WriteContentV(format, args);
}

void CTraceLog::WriteV(int level, const char* function, const char* file, int line,
                       const char* format, va_list args) {
    SetLocation(function, file, line, level);
    WriteContentV(format, args);
}

void CTraceLog::Write(int level, const char* function, const char* file, int line,
                      const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    WriteV(level, function, file, line, format, args);
    va_end(args);
}

void CTraceLog::Write(int level, const char* function, const char* file, int line,
                      const char* format, ...) {
    va_list args;
    va_start(args, format);
    WriteV(level, function, file, line, format, args);
    va_end(args);
}

void CTraceLog::WriteHere(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    WriteContentV(format, args);
    va_end(args);
}

void CTraceLog::WriteHere(const char* format, ...) {
    va_list args;
    va_start(args, format);
    WriteContentV(format, args);
    va_end(args);
}

void CTraceLog::WriteScopeLine(bool enter) {
    if (m_disabled) {
        return;
    }
    CAutoLock guard(g_logLock);
    if (!PrepareFile()) {
        return;
    }
    TraceLocation* location = FindLocation(true);
    if (location != nullptr) {
        WriteScope(location->function, location->file, location->line, enter);
    }
}

void CTraceLog::WriteScopeLine(const char* function, const char* file, int line, bool enter) {
    if (function == nullptr || function[0] == '\0' || file == nullptr || file[0] == '\0') {
        return;
    }
    if (m_disabled) {
        return;
    }
    CAutoLock guard(g_logLock);
    if (!PrepareFile()) {
        return;
    }
    FindLocation(true);
    WriteScope(function, file, line, enter);
}

void CTraceLog::Disable() {
    m_disabled = true;
}

void CTraceLog::Enable() {
    m_disabled = false;
}

void CTraceLog::SetMaxFileSizeKB(int kilobytes) {
    CAutoLock guard(g_logLock);
    m_maxSize = static_cast<unsigned int>(kilobytes) * 1024u;
}

void CTraceLog::SetMaxBackupCount(int count) {
    if (count > 0) {
        CAutoLock guard(g_logLock);
        m_maxBackups = count;
    }
}

void CTraceLog::SetLevel(int threshold) {
    CAutoLock guard(g_logLock);
    m_level = threshold;
}

void CTraceLog::SetLocation(const char* function, const char* file, int line, int level) {
    if (function == nullptr || file == nullptr) {
        return;
    }
    CAutoLock guard(g_logLock);
    TraceLocation* location = FindLocation(true);
    if (location != nullptr) {
        location->function = function;
        location->file = file;
        location->line = line;
        location->level = level;
    }
}

CTraceScope::CTraceScope(ITraceLog** ppLog, const char* function, const char* file, int line)
    : m_ppLog(ppLog), m_line(line), m_level(TRACE_LEVEL_INFO), m_function(CopyString(function)),
      m_file(CopyString(file)) {
    ITraceLog* log = m_ppLog != nullptr ? *m_ppLog : nullptr;
    if (log != nullptr) {
        log->SetLocation(function, file, line, m_level);
        log->WriteScopeLine(true);
    }
}

CTraceScope::~CTraceScope() {
    ITraceLog* log = m_ppLog != nullptr ? *m_ppLog : nullptr;
    if (log != nullptr) {
        log->SetLocation(m_function != nullptr ? m_function : "", m_file != nullptr ? m_file : "",
                         m_line, m_level);
        log->WriteScopeLine(false);
    }
    delete[] m_function;
    delete[] m_file;
}
