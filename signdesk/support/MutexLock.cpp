#include "support/MutexLock.h"

#include <new>
#include <stdexcept>

CMutexLock g_logLock;

CMutexLock::CMutexLock() : m_pSection(new (std::nothrow) CRITICAL_SECTION) {
    if (m_pSection == NULL) {
        throw std::runtime_error("Mutex construction fail");
    }
    // No spinning: the lock is held across file writes, and a waiter that
    // spins only takes the processor from the holder.
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
    if (section != NULL) {
        EnterCriticalSection(section);
    }
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
