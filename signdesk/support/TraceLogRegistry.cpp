#include "support/MutexLock.h"
#include "support/StringConv.h"
#include "support/TraceLog.h"

#include <cwchar>
#include <new>

struct CTraceLogRegistry::Entry {
    int id;
    Entry* next;
    ITraceLog* log;
    wchar_t* path;
    CMutexLock lock; // the entry's own; nothing else takes it
};

CTraceLogRegistry& CTraceLogRegistry::Instance() {
    static CTraceLogRegistry registry;
    return registry;
}

CTraceLogRegistry::~CTraceLogRegistry() {
    Clear();
}

int CTraceLogRegistry::Register(const wchar_t* path, ITraceLog* log) {
    if (path == NULL) {
        return -1;
    }
    CAutoLock guard(g_logLock);
    Entry** tail = &m_pHead;
    for (Entry* entry = m_pHead; entry != NULL; entry = entry->next) {
        if (entry->log != NULL && wcscmp(entry->path, path) == 0) {
            if (log != entry->log) {
                delete log;
            }
            return entry->id;
        }
        tail = &entry->next;
    }
    const size_t length = wcslen(path);
    wchar_t* copy = new (std::nothrow) wchar_t[length + 1];
    Entry* entry = NULL;
    if (copy != NULL) {
        try {
            entry = new (std::nothrow) Entry;
        } catch (...) {
            // The entry's lock could not be made.
            delete[] copy;
            delete log;
            throw;
        }
    }
    if (entry == NULL) {
        delete[] copy;
        delete log;
        return -1;
    }
    wmemcpy(copy, path, length + 1);
    entry->id = m_count + 1;
    entry->next = NULL;
    entry->log = log;
    entry->path = copy;
    *tail = entry;
    ++m_count;
    return entry->id;
}

ITraceLog* CTraceLogRegistry::Find(const wchar_t* path, int* id) {
    CAutoLock guard(g_logLock);
    if (path != NULL) {
        for (Entry* entry = m_pHead; entry != NULL; entry = entry->next) {
            if (wcscmp(entry->path, path) == 0) {
                if (id != NULL) {
                    *id = entry->id;
                }
                return entry->log;
            }
        }
    }
    if (id != NULL) {
        *id = -1;
    }
    return NULL;
}

ITraceLog* CTraceLogRegistry::Get(int id) {
    CAutoLock guard(g_logLock);
    for (Entry* entry = m_pHead; entry != NULL; entry = entry->next) {
        if (entry->id == id) {
            return entry->log;
        }
    }
    return NULL;
}

void CTraceLogRegistry::Clear() {
    CAutoLock guard(g_logLock);
    Entry* entry = m_pHead;
    m_pHead = NULL;
    m_count = 0;
    while (entry != NULL) {
        Entry* next = entry->next;
        delete entry->log;
        delete[] entry->path;
        delete entry;
        entry = next;
    }
}

int CTraceLogRegistry::GetCount() {
    CAutoLock guard(g_logLock);
    return m_count;
}

ITraceLog* OpenTraceLog(const wchar_t* path) {
    if (path == NULL) {
        return NULL;
    }
    char narrowPath[CTraceLog::PATH_SIZE] = {};
    int capacity = CTraceLog::PATH_SIZE;
    WideToAnsiBuffer(narrowPath, path, capacity);
    CTraceLogRegistry& registry = CTraceLogRegistry::Instance();
    CTraceLog* created = new (std::nothrow) CTraceLog(narrowPath);
    ITraceLog* log = NULL;
    if (created != NULL) {
        log = registry.Get(registry.Register(path, created));
    } else {
        log = registry.Find(path, NULL);
    }
    if (log != NULL) {
        log->Enable();
    }
    return log;
}

void ShutdownTraceLogs() {
    g_pTraceLog = NULL;
    CTraceLogRegistry::Instance().Clear();
    g_logLock.Release();
}
