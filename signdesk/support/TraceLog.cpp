#include "support/TraceLog.h"

#include "support/MutexLock.h"
#include "support/StringConv.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstring>
#include <cwchar>
#include <new>

ITraceLog* g_pTraceLog = NULL;

namespace {

const char kFallbackFileName[] = "MyLog.log";
const char kCrLf[] = "\r\n";

// Callers' formats go through msvcrt's own formatter: with libstdc++ the
// mingw headers redirect the standard printf names to a C99 implementation
// whose conversions differ from the platform's (%s and %S in wide formats,
// %I64u). _vsnprintf and _vsnwprintf are never redirected. The result is
// always terminated; longer output is cut.
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

// Builds the fixed parts of records (time stamp, prefix, location, record
// framing) by hand: the same bytes as the formats "%d", "%02d", "%03d",
// "%I64u" and "%s" give, without the cost of a general formatter on every
// line. Like _snprintf into a buffer of the given capacity, the text is cut
// at capacity - 1 bytes and always terminated.
class TextBuilder {
public:
    TextBuilder(char* buffer, size_t capacity, size_t start = 0)
        : m_buffer(buffer), m_capacity(capacity), m_length(start) {
        m_buffer[m_length] = '\0';
    }

    TextBuilder& Add(const char* text, size_t length) {
        const size_t room = m_capacity - 1 - m_length;
        if (length > room) {
            length = room;
        }
        memcpy(m_buffer + m_length, text, length);
        m_length += length;
        m_buffer[m_length] = '\0';
        return *this;
    }

    TextBuilder& Add(const char* text) { return Add(text, strlen(text)); }

    // Decimal digits, zero-padded to at least minDigits.
    TextBuilder& AddUnsigned(ULONGLONG value, int minDigits = 1) {
        char digits[24];
        int count = 0;
        do {
            digits[sizeof(digits) - 1 - count++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0 || count < minDigits);
        return Add(digits + sizeof(digits) - count, static_cast<size_t>(count));
    }

    TextBuilder& AddInt(int value) {
        if (value < 0) {
            Add("-", 1);
            return AddUnsigned(static_cast<ULONGLONG>(0) - static_cast<ULONGLONG>(value));
        }
        return AddUnsigned(static_cast<ULONGLONG>(value));
    }

    // The local time as "%d-%02d-%02d %02d:%02d:%02d.%03d".
    TextBuilder& AddTimeStamp();

    size_t Length() const { return m_length; }

private:
    char* m_buffer;
    size_t m_capacity;
    size_t m_length;
};

typedef void(WINAPI* SystemTimeFunction)(LPFILETIME);

// The most precise clock the system has (GetSystemTimePreciseAsFileTime
// from Windows 8 on).
SystemTimeFunction ResolveSystemTime() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    FARPROC precise =
        kernel != NULL ? GetProcAddress(kernel, "GetSystemTimePreciseAsFileTime") : NULL;
    return precise != NULL
               ? reinterpret_cast<SystemTimeFunction>(reinterpret_cast<void (*)()>(precise))
               : GetSystemTimeAsFileTime;
}

const SystemTimeFunction g_systemTime = ResolveSystemTime();

// Local date and time to the second, formatted once per second per thread:
// the conversion to local time is the costly part of a time stamp.
struct StampCache {
    ULONGLONG second;
    char text[32];
    size_t length;
};

const ULONGLONG kTicksPerMillisecond = 10000;
const ULONGLONG kTicksPerSecond = 1000 * kTicksPerMillisecond;

// Each thread's cache hangs in a thread-local storage slot of the module:
// variables declared thread-local do not work in a library loaded with
// LoadLibrary on the older systems the client runs on. A thread's cache is
// freed when the thread ends (ReleaseTraceThreadData) and the slot when the
// module goes, with the cache of the thread that unloads it.
class StampSlot {
public:
    StampSlot() : m_index(TlsAlloc()) {}
    ~StampSlot() {
        Release();
        if (m_index != TLS_OUT_OF_INDEXES) {
            TlsFree(m_index);
        }
    }
    // The calling thread's cache, made on first use; null without a slot
    // or memory.
    StampCache* Get() {
        if (m_index == TLS_OUT_OF_INDEXES) {
            return NULL;
        }
        StampCache* cache = static_cast<StampCache*>(TlsGetValue(m_index));
        if (cache == NULL) {
            cache = new (std::nothrow) StampCache;
            if (cache != NULL) {
                cache->second = ~static_cast<ULONGLONG>(0);
                cache->length = 0;
                TlsSetValue(m_index, cache);
            }
        }
        return cache;
    }
    void Release() {
        if (m_index != TLS_OUT_OF_INDEXES) {
            delete static_cast<StampCache*>(TlsGetValue(m_index));
            TlsSetValue(m_index, NULL);
        }
    }

private:
    StampSlot(const StampSlot&);
    StampSlot& operator=(const StampSlot&);

    const DWORD m_index;
};

StampSlot g_stampSlot;

TextBuilder& TextBuilder::AddTimeStamp() {
    FILETIME now;
    (g_systemTime != NULL ? g_systemTime : GetSystemTimeAsFileTime)(&now);
    const ULONGLONG ticks = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    const ULONGLONG second = ticks / kTicksPerSecond;
    // Without a cache of its own the thread formats every stamp in full.
    StampCache uncached;
    uncached.second = ~static_cast<ULONGLONG>(0);
    StampCache* own = g_stampSlot.Get();
    StampCache& cache = own != NULL ? *own : uncached;
    if (cache.second != second) {
        // The same conversion as GetLocalTime: the current bias, which is a
        // whole number of minutes, so seconds and milliseconds carry over.
        FILETIME local;
        SYSTEMTIME time;
        FileTimeToLocalFileTime(&now, &local);
        FileTimeToSystemTime(&local, &time);
        TextBuilder date(cache.text, sizeof(cache.text));
        date.AddUnsigned(time.wYear).Add("-", 1).AddUnsigned(time.wMonth, 2).Add("-", 1);
        date.AddUnsigned(time.wDay, 2).Add(" ", 1).AddUnsigned(time.wHour, 2).Add(":", 1);
        date.AddUnsigned(time.wMinute, 2).Add(":", 1).AddUnsigned(time.wSecond, 2);
        cache.length = date.Length();
        cache.second = second;
    }
    Add(cache.text, cache.length).Add(".", 1);
    return AddUnsigned((ticks / kTicksPerMillisecond) % 1000, 3);
}

void FormatTimeStamp(char* out) {
    TextBuilder(out, CTraceLog::PATH_SIZE).AddTimeStamp();
}

// The log file as a stream opened "ab+" (so that it is shared and closed as
// fopen's streams are), positioned at the end of the file. Records are
// written straight to its handle (see WriteRecord): the handle has plain
// write access, so a write goes where the size check's seek to the end left
// the pointer. A handle with append-only access would cost Wine a size
// query before every write on top of that seek.
FILE* OpenAppendStream(const char* path, HANDLE* handleOut) {
    HANDLE handle =
        CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (handle == INVALID_HANDLE_VALUE) {
        return NULL;
    }
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    if (!SetFilePointerEx(handle, zero, NULL, FILE_END)) {
        CloseHandle(handle);
        return NULL;
    }
    const int fd = _open_osfhandle(reinterpret_cast<INT_PTR>(handle), _O_BINARY);
    if (fd == -1) {
        CloseHandle(handle);
        return NULL;
    }
    FILE* file = _fdopen(fd, "ab+");
    if (file == NULL) {
        _close(fd);
        return NULL;
    }
    *handleOut = handle;
    return file;
}

// Writes one whole record at the file pointer, with one system call and no
// buffer in between: the record is on its way to the disk when this returns.
// The stream is never written to, so it holds nothing to flush.
void WriteRecord(HANDLE handle, const char* record, size_t length) {
    while (length > 0) {
        DWORD written = 0;
        if (!WriteFile(handle, record, static_cast<DWORD>(length), &written, NULL) ||
            written == 0) {
            return;
        }
        record += written;
        length -= written;
    }
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
    DWORD length = GetModuleFileNameA(NULL, module, CTraceLog::PATH_SIZE - 1);
    module[length < CTraceLog::PATH_SIZE ? length : CTraceLog::PATH_SIZE - 1] = '\0';
    char* last = strrchr(module, '\\');
    if (last != NULL) {
        *last = '\0';
    }
    CopyText(out, CTraceLog::PATH_SIZE, module);
}

bool DirectoryExists(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool MakeDirectory(const char* path) {
    return CreateDirectoryA(path, NULL) || GetLastError() == ERROR_ALREADY_EXISTS;
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

// A flag that other threads set: read with a full barrier, as it is written.
bool IsSet(volatile LONG& flag) {
    return InterlockedCompareExchange(&flag, 0, 0) != 0;
}

void PrintCloseFailure(const char* format) {
    int error = errno;
    char message[CTraceLog::PATH_SIZE * 2];
    Format(message, sizeof(message), format, error, strerror(error));
    PrintMessage(message);
}

} // namespace

CTraceLog::CTraceLog(const char* path)
    : m_disabled(0), m_needsOpen(1), m_fileName(), m_directory(), m_locations(NULL), m_pFile(NULL),
      m_hFile(INVALID_HANDLE_VALUE), m_level(TRACE_LEVEL_INFO), m_maxSize(DEFAULT_MAX_SIZE),
      m_maxBackups(1), m_backupIndex(0), m_record(NULL), m_wideText(NULL) {
    ResolvePath(path != NULL ? path : "");
    CAutoLock guard(g_logLock);
    FindLocation(true);
}

CTraceLog::~CTraceLog() {
    CAutoLock guard(g_logLock);
    if (m_pFile != NULL) {
        fclose(m_pFile);
        m_pFile = NULL;
        m_hFile = INVALID_HANDLE_VALUE;
    }
    // Free the tree without recursion: it may be as deep as the number of
    // threads that ever traced.
    TraceLocation* node = m_locations;
    while (node != NULL) {
        if (node->left != NULL) {
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
    m_locations = NULL;
    delete[] m_record;
    delete[] m_wideText;
}

void CTraceLog::ResolvePath(const char* path) {
    char exeDirectory[PATH_SIZE];
    GetExeDirectory(exeDirectory);
    char work[PATH_SIZE];
    CopyText(work, PATH_SIZE, path);

    if (strchr(work, ':') != NULL) {
        // Absolute.
        ToBackslashes(work);
        char* last = strrchr(work, '\\');
        if (last == NULL) {
            return;
        }
        CopyText(m_fileName, PATH_SIZE, last + 1);
        *last = '\0';
        CopyText(m_directory, PATH_SIZE, work);
    } else if (strchr(work, '/') == NULL && strchr(work, '\\') == NULL) {
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
        while (component != NULL) {
            char* next = strchr(component, '\\');
            if (next != NULL) {
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
                if (cut != NULL) {
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
    if (m_pFile != NULL) {
        CheckRotation();
    } else {
        OpenFile();
    }
    return m_pFile != NULL;
}

void CTraceLog::OpenFile() {
    if (!IsSet(m_needsOpen)) {
        return;
    }
    CAutoLock guard(g_logLock);
    if (!IsSet(m_needsOpen)) {
        return;
    }
    InterlockedExchange(&m_needsOpen, 0);
    if (m_pFile == NULL) {
        char path[PATH_SIZE];
        Format(path, PATH_SIZE, "%s%s", m_directory, m_fileName);
        m_pFile = OpenAppendStream(path, &m_hFile);
        if (m_pFile == NULL) {
            CopyText(m_fileName, PATH_SIZE, kFallbackFileName);
            Format(path, PATH_SIZE, "%s%s", m_directory, m_fileName);
            m_pFile = OpenAppendStream(path, &m_hFile);
            if (m_pFile == NULL) {
                return;
            }
        }
    }
    char stamp[PATH_SIZE];
    FormatTimeStamp(stamp);
    if (stamp[0] != '\0') {
        char line[PATH_SIZE + 16];
        TextBuilder builder(line, sizeof(line));
        builder.Add("Begin Time:").Add(stamp).Add(kCrLf);
        WriteRecord(m_hFile, line, builder.Length());
    }
}

void CTraceLog::CheckRotation() {
    CAutoLock guard(g_logLock);
    if (m_pFile == NULL) {
        return;
    }
    // The seek to the end measures the file and leaves the pointer where
    // the record that follows is to go.
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    LARGE_INTEGER end;
    const LONGLONG size = SetFilePointerEx(m_hFile, zero, &end, FILE_END) ? end.QuadPart : -1;
    if (size < static_cast<LONGLONG>(static_cast<int>(m_maxSize))) {
        return;
    }

    if (fclose(m_pFile) != 0) {
        PrintCloseFailure("fclose failed code[%d] string[%s]\n");
    }
    // The stream is gone even when its close failed: never touch it again.
    m_pFile = NULL;
    m_hFile = INVALID_HANDLE_VALUE;

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
    if (truncated != NULL && fclose(truncated) != 0) {
        PrintCloseFailure("fclose faild code[%d] string[%s]\n");
    }
    InterlockedExchange(&m_needsOpen, 1);
    OpenFile();
}

TraceLocation* CTraceLog::FindLocation(bool create) {
    const ULONGLONG threadId = GetCurrentThreadId();
    TraceLocation** link = &m_locations;
    while (*link != NULL) {
        TraceLocation* node = *link;
        if (threadId == node->threadId) {
            return node;
        }
        link = threadId < node->threadId ? &node->left : &node->right;
    }
    if (!create) {
        return NULL;
    }
    TraceLocation* node = new (std::nothrow) TraceLocation;
    if (node != NULL) {
        node->threadId = threadId;
        node->line = 0;
        node->level = TRACE_LEVEL_INFO;
        node->function = NULL;
        node->file = NULL;
        node->left = NULL;
        node->right = NULL;
        *link = node;
    }
    return node;
}

// Builds "[time stamp][P:pid/T:tid][file part:line function()]" into out
// (PATH_SIZE bytes) and returns its length, or 0 when no location can be
// built. An empty function name still makes a location: only a scope line at
// a given place refuses one.
size_t CTraceLog::BuildLocation(char* out, const char* function, const char* file, int line) {
    if (function == NULL || file == NULL || m_pFile == NULL) {
        return 0;
    }
    const char* filePart = file;
    for (const char* p = file; *p != '\0'; ++p) {
        if (*p == '\\' || *p == '/') {
            filePart = p + 1;
        }
    }
    if (filePart[0] == '\0') {
        return 0;
    }
    TextBuilder builder(out, PATH_SIZE);
    builder.Add("[", 1).AddTimeStamp().Add("][P:", 4);
    builder.AddUnsigned(GetCurrentProcessId()).Add("/T:", 3).AddUnsigned(GetCurrentThreadId());
    builder.Add("][", 2).Add(filePart).Add(":", 1).AddInt(line).Add(" ", 1).Add(function);
    builder.Add("()]", 3);
    return builder.Length();
}

void CTraceLog::WriteScope(const char* function, const char* file, int line, bool enter) {
    char record[PATH_SIZE + 16];
    const size_t length = BuildLocation(record, function, file, line);
    if (length == 0) {
        return;
    }
    TextBuilder builder(record, sizeof(record), length);
    builder.Add(enter ? "[Enter]" : "[Leave]", 7).Add(kCrLf, 2);
    WriteRecord(m_hFile, record, builder.Length());
}

bool CTraceLog::ContentAllowed(const TraceLocation* location) const {
    return location != NULL && location->function != NULL && location->file != NULL &&
           location->level <= m_level;
}

bool CTraceLog::AllocateBuffers() {
    if (m_record == NULL) {
        m_record = new (std::nothrow) char[RECORD_SIZE];
    }
    if (m_wideText == NULL) {
        m_wideText = new (std::nothrow) wchar_t[CONTENT_SIZE];
    }
    return m_record != NULL && m_wideText != NULL;
}

// Builds the record's first two lines, "location[level]" and "Content:",
// into the record buffer; the text goes right behind them. Returns the
// length, 0 when no location can be built.
size_t CTraceLog::BuildContentHeader(const TraceLocation* location) {
    const size_t length =
        BuildLocation(m_record, location->function, location->file, location->line);
    if (length == 0) {
        return 0;
    }
    TextBuilder builder(m_record, RECORD_SIZE, length);
    builder.Add("[", 1).Add(LevelText(location->level)).Add("]\r\nContent:\r\n");
    return builder.Length();
}

// What both content writers do before their text: the file, the location's
// level and the header. Returns the header's length; 0 writes nothing.
size_t CTraceLog::BeginContent(bool hasFormat) {
    if (!PrepareFile()) {
        return 0;
    }
    TraceLocation* location = FindLocation(true);
    if (!hasFormat || !ContentAllowed(location) || !AllocateBuffers()) {
        return 0;
    }
    return BuildContentHeader(location);
}

void CTraceLog::EmitContent(size_t headerLength, size_t textLength) {
    TextBuilder builder(m_record, RECORD_SIZE, headerLength + textLength);
    builder.Add(kCrLf, 2);
    WriteRecord(m_hFile, m_record, builder.Length());
}

void CTraceLog::WriteContentV(const char* format, va_list args) {
    if (IsSet(m_disabled)) {
        return;
    }
    CAutoLock guard(g_logLock);
    const size_t header = BeginContent(format != NULL);
    if (header == 0) {
        return;
    }
    char* text = m_record + header;
    int length = FormatV(text, CONTENT_SIZE, format, args);
    if (length < 0) {
        // Cut: do not leave half of a double-byte character at the end.
        size_t keep = 0;
        for (size_t i = 0; text[i] != '\0';) {
            const size_t step = IsDBCSLeadByte(static_cast<BYTE>(text[i])) ? 2 : 1;
            if (i + step > CONTENT_SIZE - 1 || (step == 2 && text[i + 1] == '\0')) {
                break;
            }
            i += step;
            keep = i;
        }
        text[keep] = '\0';
        length = static_cast<int>(keep);
    }
    EmitContent(header, static_cast<size_t>(length));
}

void CTraceLog::WriteContentV(const wchar_t* format, va_list args) {
    if (IsSet(m_disabled)) {
        return;
    }
    CAutoLock guard(g_logLock);
    const size_t header = BeginContent(format != NULL);
    if (header == 0) {
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
    char* text = m_record + header;
    int capacity = CONTENT_SIZE;
    const int length = WideToAnsiBuffer(text, m_wideText, capacity);
    text[length] = '\0';
    EmitContent(header, static_cast<size_t>(length));
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
    if (IsSet(m_disabled)) {
        return;
    }
    CAutoLock guard(g_logLock);
    if (!PrepareFile()) {
        return;
    }
    TraceLocation* location = FindLocation(true);
    if (location != NULL) {
        WriteScope(location->function, location->file, location->line, enter);
    }
}

void CTraceLog::WriteScopeLine(const char* function, const char* file, int line, bool enter) {
    if (function == NULL || function[0] == '\0' || file == NULL || file[0] == '\0') {
        return;
    }
    if (IsSet(m_disabled)) {
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
    InterlockedExchange(&m_disabled, 1);
}

void CTraceLog::Enable() {
    InterlockedExchange(&m_disabled, 0);
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
    if (function == NULL || file == NULL) {
        return;
    }
    CAutoLock guard(g_logLock);
    TraceLocation* location = FindLocation(true);
    if (location != NULL) {
        location->function = function;
        location->file = file;
        location->line = line;
        location->level = level;
    }
}

// A private copy of a scope's string, in the scope's own storage when it
// fits. None for a missing string, which the scope then passes as a literal
// "" that can never dangle.
char* CTraceScope::Keep(const char* text, size_t& used) {
    if (text == NULL) {
        return NULL;
    }
    const size_t size = strlen(text) + 1;
    char* copy = size <= INLINE_SIZE - used ? m_inline + used : new (std::nothrow) char[size];
    if (copy == m_inline + used) {
        used += size;
    }
    if (copy != NULL) {
        memcpy(copy, text, size);
    }
    return copy;
}

void CTraceScope::Free(char* copy) {
    if (copy != NULL && (copy < m_inline || copy >= m_inline + INLINE_SIZE)) {
        delete[] copy;
    }
}

// The scope holds the log lock across setting its location and writing its
// line: the inner acquisitions are then recursive ones, and a contended lock
// is taken once per line rather than twice.
CTraceScope::CTraceScope(ITraceLog** ppLog, const char* function, const char* file, int line)
    : m_ppLog(ppLog), m_line(line), m_level(TRACE_LEVEL_INFO), m_function(NULL), m_file(NULL) {
    size_t used = 0;
    m_function = Keep(function, used);
    m_file = Keep(file, used);
    ITraceLog* log = m_ppLog != NULL ? *m_ppLog : NULL;
    if (log != NULL) {
        CAutoLock guard(g_logLock);
        log->SetLocation(function, file, line, m_level);
        log->WriteScopeLine(true);
    }
}

CTraceScope::~CTraceScope() {
    ITraceLog* log = m_ppLog != NULL ? *m_ppLog : NULL;
    if (log != NULL) {
        CAutoLock guard(g_logLock);
        log->SetLocation(m_function != NULL ? m_function : "", m_file != NULL ? m_file : "", m_line,
                         m_level);
        log->WriteScopeLine(false);
    }
    Free(m_function);
    Free(m_file);
}

template <class Char> void CTraceRecord::WriteV(const Char* format, va_list args) const {
    ITraceLog* log = g_pTraceLog;
    if (log == NULL) {
        return;
    }
    CAutoLock guard(g_logLock);
    log->WriteV(m_level, m_function, m_file, m_line, format, args);
}

void CTraceRecord::operator()(const wchar_t* format, ...) const {
    va_list args;
    va_start(args, format);
    WriteV(format, args);
    va_end(args);
}

void CTraceRecord::operator()(const char* format, ...) const {
    va_list args;
    va_start(args, format);
    WriteV(format, args);
    va_end(args);
}

void ReleaseTraceThreadData() {
    g_stampSlot.Release();
}
