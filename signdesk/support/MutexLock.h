// Recursive lock holder and scoped guard used by the trace log.
#pragma once

#include <windows.h>

// Owns one recursive lock (a heap-allocated critical section) or, once
// released, none. A guard on a holder without a lock neither waits nor fails,
// so code running before the lock exists or after it was released at unload
// still runs, unguarded.
class CMutexLock {
public:
    // Throws std::runtime_error("Mutex construction fail") when the lock
    // cannot be allocated.
    CMutexLock();
    ~CMutexLock();

    // Frees the lock; the holder then has none. A second call does nothing.
    void Release();
    bool HasLock() const { return m_pSection != NULL; }

private:
    CMutexLock(const CMutexLock&);
    CMutexLock& operator=(const CMutexLock&);

    friend class CAutoLock;
    void Enter();
    void Leave();

    // Volatile: the release in the destructor must really clear it. Objects
    // destroyed at unload (the registry) still guard with g_logLock after it
    // was destroyed, and the compiler would otherwise drop the store as one
    // to a dead object.
    CRITICAL_SECTION* volatile m_pSection;
};

// Takes a holder's lock for the length of a block. Refers to the holder by
// address so that it sees the holder's current state. Used by one thread.
class CAutoLock {
public:
    explicit CAutoLock(CMutexLock& holder);
    ~CAutoLock() { Unlock(); }

    // Leaves the lock if this guard still holds it; later calls do nothing.
    void Unlock();

private:
    CAutoLock(const CAutoLock&);
    CAutoLock& operator=(const CAutoLock&);

    CMutexLock* m_pHolder;
    bool m_bHeld;
};

// Process-wide lock of the trace log: opening, rotation, records, locations
// and the log registry. Created when the module loads, released at unload.
extern CMutexLock g_logLock;
