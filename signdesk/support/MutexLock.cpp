#include "support/MutexLock.h"

#include <new>
#include <stdexcept>

CMutexLock g_logLock;

namespace {

// How often a thread that finds the lock taken gives up its processor and
// tries again before it waits in the critical section. Enough to outlast a
// few trace records written by other threads (each holds the lock for some
// microseconds), a fraction of a millisecond when the processor is free.
const int kPolls = 200;

} // namespace

CMutexLock::CMutexLock() : m_pSection(new (std::nothrow) CRITICAL_SECTION) {
    if (m_pSection == NULL) {
        throw std::runtime_error("Mutex construction fail");
    }
    // No spin count: the lock is held across file writes, and a waiter that
    // spins only takes the processor from the holder. Enter yields instead.
    InitializeCriticalSection(m_pSection);
}

CMutexLock::~CMutexLock() {
    Release();
}

void CMutexLock::Release() {
    CRITICAL_SECTION* section = m_pSection;
    if (section != NULL) {
        m_pSection = NULL;
        DeleteCriticalSection(section);
        delete section;
    }
}

void CMutexLock::Enter() {
    CRITICAL_SECTION* section = m_pSection;
    if (section == NULL || TryEnterCriticalSection(section)) {
        return;
    }
    // A thread that waits in the critical section is handed the lock by the
    // next Leave, whose thread must then wait for its own next record: with
    // several threads tracing, every record would cost two thread switches.
    // A thread that polls instead lets the holder take the lock again while
    // it still runs, and takes it in its turn when it is free.
    for (int i = 0; i < kPolls; ++i) {
        SwitchToThread();
        if (TryEnterCriticalSection(section)) {
            return;
        }
    }
    EnterCriticalSection(section);
}

void CMutexLock::Leave() {
    CRITICAL_SECTION* section = m_pSection;
    if (section != NULL) {
        LeaveCriticalSection(section);
    }
}

CAutoLock::CAutoLock(CMutexLock& holder) : m_pHolder(&holder), m_bHeld(false) {
    m_pHolder->Enter();
    m_bHeld = true;
}

void CAutoLock::Unlock() {
    if (m_bHeld) {
        m_pHolder->Leave();
        m_bHeld = false;
    }
}
