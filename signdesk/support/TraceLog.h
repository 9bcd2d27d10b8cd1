// Trace log: Enter/Leave lines of traced functions and levelled content
// records, written in the ANSI code page to a rotating text file.
#pragma once

#include "support/MutexLock.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

// Levels of content records.
enum {
    TRACE_LEVEL_ERROR = 0,   // "Err"
    TRACE_LEVEL_WARNING = 1, // "War"
    TRACE_LEVEL_INFO = 2     // "Inf"
};

// Abstract log. The order of the virtual functions is part of the interface.
// Narrow and wide forms of one operation are overloads; the wide forms format
// with a bounded wide formatter (msvcrt conventions) and convert the result to
// the ANSI code page before writing.
class ITraceLog {
public:
    // Set the calling thread's location and write one content record.
    virtual void WriteV(int level, const char* function, const char* file, int line,
                        const wchar_t* format, va_list args) = 0;
    virtual void WriteV(int level, const char* function, const char* file, int line,
                        const char* format, va_list args) = 0;
    virtual void Write(int level, const char* function, const char* file, int line,
                       const wchar_t* format, ...) = 0;
    virtual void Write(int level, const char* function, const char* file, int line,
                       const char* format, ...) = 0;
    // Write a content record at the calling thread's current location and level.
    virtual void WriteHere(const wchar_t* format, ...) = 0;
    virtual void WriteHere(const char* format, ...) = 0;
    // Write an "Enter" (enter true) or "Leave" line at the thread's location.
    virtual void WriteScopeLine(bool enter) = 0;
    // The same at the given location, which is not stored; nothing is written
    // when the function name or the file path is missing or empty.
    virtual void WriteScopeLine(const char* function, const char* file, int line, bool enter) = 0;
    virtual ~ITraceLog() {}
    virtual void Disable() = 0;
    virtual void Enable() = 0;
    virtual void SetMaxFileSizeKB(int kilobytes) = 0;
    // Counts of 0 or less are ignored.
    virtual void SetMaxBackupCount(int count) = 0;
    // Content records with a level above the threshold are dropped.
    virtual void SetLevel(int threshold) = 0;
    // Stores the calling thread's location. The strings are kept, not copied:
    // they must outlive every write that uses this location. Ignored when the
    // function name or the file path is null.
    virtual void SetLocation(const char* function, const char* file, int line, int level) = 0;
};

// Per-thread location record, a node of an unbalanced search tree keyed by
// thread id.
struct TraceLocation {
    ULONGLONG threadId;
    int line;
    int level;
    const char* function;
    const char* file;
    TraceLocation* left;
    TraceLocation* right;
};

class CTraceLog : public ITraceLog {
public:
    enum {
        PATH_SIZE = 260,                    // paths, time stamps, prefixes, locations
        CONTENT_SIZE = 51200,               // formatted content text
        DEFAULT_MAX_SIZE = 5 * 1024 * 1024, // rotation size in bytes
        // A whole content record: location, level and "Content:" lines, text.
        RECORD_SIZE = PATH_SIZE + 32 + CONTENT_SIZE
    };

    // Resolves the narrow path into directory and file name (relative paths
    // against the executable's directory) and creates the directory chain.
    // The file is opened by the first write.
    explicit CTraceLog(const char* path);
    virtual ~CTraceLog();

    virtual void WriteV(int level, const char* function, const char* file, int line,
                        const wchar_t* format, va_list args);
    virtual void WriteV(int level, const char* function, const char* file, int line,
                        const char* format, va_list args);
    virtual void Write(int level, const char* function, const char* file, int line,
                       const wchar_t* format, ...);
    virtual void Write(int level, const char* function, const char* file, int line,
                       const char* format, ...);
    virtual void WriteHere(const wchar_t* format, ...);
    virtual void WriteHere(const char* format, ...);
    virtual void WriteScopeLine(bool enter);
    virtual void WriteScopeLine(const char* function, const char* file, int line, bool enter);
    virtual void Disable();
    virtual void Enable();
    virtual void SetMaxFileSizeKB(int kilobytes);
    virtual void SetMaxBackupCount(int count);
    virtual void SetLevel(int threshold);
    virtual void SetLocation(const char* function, const char* file, int line, int level);

    // Resolved directory (ending in a backslash) and file name.
    const char* GetDirectory() const { return m_directory; }
    const char* GetFileName() const { return m_fileName; }

private:
    void ResolvePath(const char* path);
    bool PrepareFile();
    void OpenFile();
    void CheckRotation();
    TraceLocation* FindLocation(bool create);
    size_t BuildLocation(char* out, const char* function, const char* file, int line);
    void WriteScope(const char* function, const char* file, int line, bool enter);
    void WriteContentV(const char* format, va_list args);
    void WriteContentV(const wchar_t* format, va_list args);
    bool ContentAllowed(const TraceLocation* location) const;
    size_t BeginContent(bool hasFormat);
    size_t BuildContentHeader(const TraceLocation* location);
    void EmitContent(size_t headerLength, size_t textLength);
    bool AllocateBuffers();

    CTraceLog(const CTraceLog&);
    CTraceLog& operator=(const CTraceLog&);

    // Flags read without the log lock: set and read with interlocked
    // operations (non-zero means set).
    volatile LONG m_disabled;
    volatile LONG m_needsOpen;
    char m_fileName[PATH_SIZE];
    char m_directory[PATH_SIZE];
    TraceLocation* m_locations;
    FILE* m_pFile;
    HANDLE m_hFile; // the stream's handle, written to directly
    int m_level;
    unsigned int m_maxSize; // compared as a signed 32-bit number
    int m_maxBackups;
    int m_backupIndex;
    // Formatting buffers, used under the log lock.
    char* m_record;
    wchar_t* m_wideText;
};

// Writes the Enter line of a traced function when constructed and its Leave
// line, at the same location, when destroyed. Holds the address of the log
// pointer so that it always uses the log that pointer holds at the moment.
class CTraceScope {
public:
    CTraceScope(ITraceLog** ppLog, const char* function, const char* file, int line);
    virtual ~CTraceScope();

private:
    CTraceScope(const CTraceScope&);
    CTraceScope& operator=(const CTraceScope&);

    enum { INLINE_SIZE = 192 };
    char* Keep(const char* text, size_t& used);
    void Free(char* copy);

    ITraceLog** m_ppLog;
    int m_line;
    int m_level;
    char* m_function; // private copies; null where none was given
    char* m_file;
    // Room for both copies in the common case, so that a scope costs no heap
    // allocation; longer strings go to the heap.
    char m_inline[INLINE_SIZE];
};

// One log object per path for the whole process.
class CTraceLogRegistry {
public:
    // Made on first use, so that it is there for any other module object's
    // constructor; the first use is the host's start, on one thread.
    static CTraceLogRegistry& Instance();

    CTraceLogRegistry() : m_count(0), m_pHead(NULL) {}
    ~CTraceLogRegistry();

    // Takes ownership of log. When a log is already registered under the
    // exact path, destroys the given one and returns the existing id;
    // otherwise appends an entry with id count + 1. Returns -1 (taking
    // nothing) for a null path.
    int Register(const wchar_t* path, ITraceLog* log);
    // The log registered under path and its id, or null and -1.
    ITraceLog* Find(const wchar_t* path, int* id);
    ITraceLog* Get(int id);
    // Destroys every entry and its log.
    void Clear();
    int GetCount();

private:
    CTraceLogRegistry(const CTraceLogRegistry&);
    CTraceLogRegistry& operator=(const CTraceLogRegistry&);

    struct Entry;
    int m_count;
    Entry* m_pHead;
};

// Opens (or shares) the log for a wide path: null for a null path.
ITraceLog* OpenTraceLog(const wchar_t* path);

// Clears the registry, closing and destroying every log, and releases
// g_logLock. Called when the module is unloaded.
void ShutdownTraceLogs();

// Frees the calling thread's share of the log (its time stamp cache); the
// module calls it for every thread that ends.
void ReleaseTraceThreadData();

// The host trace log; null until it is opened.
extern ITraceLog* g_pTraceLog;

#define SIGNDESK_TRACE_CAT2(a, b) a##b
#define SIGNDESK_TRACE_CAT(a, b) SIGNDESK_TRACE_CAT2(a, b)

// Opens the Enter/Leave scope of a traced function, e.g.
// TRACE_SCOPE("CLoginDlg::InitUI");
#define TRACE_SCOPE(qualifiedName)                                                                 \
    CTraceScope SIGNDESK_TRACE_CAT(traceScope_, __LINE__)(&g_pTraceLog, qualifiedName, __FILE__,   \
                                                          __LINE__)

// One levelled content record at the place of its call, through the log
// g_pTraceLog holds at the moment (none while it is null): sets the thread's
// location and writes the formatted text, holding the log lock across both
// as the scopes do.
class CTraceRecord {
public:
    CTraceRecord(int level, const char* function, const char* file, int line)
        : m_level(level), m_line(line), m_function(function), m_file(file) {}
    void operator()(const wchar_t* format, ...) const;
    void operator()(const char* format, ...) const;

private:
    template <class Char> void WriteV(const Char* format, va_list args) const;

    int m_level;
    int m_line;
    const char* m_function;
    const char* m_file;
};

// Writes a levelled content record at this place, e.g.
// TRACE_RECORD(TRACE_LEVEL_ERROR, "CLoginDlg::CloseDatabase")(L"Error: %d . ", code);
#define TRACE_RECORD(level, qualifiedName) CTraceRecord(level, qualifiedName, __FILE__, __LINE__)
