// CMutexLock and CAutoLock: recursion, double unlock, released holders and
// the construction failure.
#include "MutexLock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <thread>

namespace {

std::atomic<bool> g_failLockAllocation{false};

// Starts a thread that takes a guard on the holder and reports when it got
// in; the caller decides when to let it finish.
class Contender {
public:
    explicit Contender(CMutexLock& holder)
        : m_thread([this, &holder] {
              CAutoLock guard(holder);
              m_entered = true;
          }) {}
    ~Contender() {
        if (m_thread.joinable()) {
            m_thread.join();
        }
    }
    // True when the thread got the lock within the time given.
    bool EnteredWithin(int milliseconds) {
        auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        while (!m_entered && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return m_entered;
    }

private:
    std::atomic<bool> m_entered{false};
    std::thread m_thread;
};

} // namespace

// Allocation of the critical section fails on request, so that the
// construction failure can be seen.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (g_failLockAllocation && size == sizeof(CRITICAL_SECTION)) {
        return nullptr;
    }
    return std::malloc(size == 0 ? 1 : size);
}

TEST(MutexLock, LogLockExistsOnceTheModuleIsLoaded) {
    EXPECT_TRUE(g_logLock.HasLock());
}

TEST(MutexLock, GuardBlocksAnotherThreadUntilUnlocked) {
    CMutexLock holder;
    CAutoLock guard(holder);
    Contender other(holder);
    EXPECT_FALSE(other.EnteredWithin(200));
    guard.Unlock();
    EXPECT_TRUE(other.EnteredWithin(5000));
}

TEST(MutexLock, DestructorLeavesTheLock) {
    CMutexLock holder;
    { CAutoLock guard(holder); }
    Contender other(holder);
    EXPECT_TRUE(other.EnteredWithin(5000));
}

TEST(MutexLock, NestedGuardsOnLogLockInOneThreadDoNotBlock) {
    std::atomic<bool> done{false};
    std::thread nested([&done] {
        CAutoLock outer(g_logLock);
        CAutoLock middle(g_logLock);
        { CAutoLock inner(g_logLock); }
        done = true;
    });
    nested.join();
    EXPECT_TRUE(done);
    // Left as often as entered: another thread gets it.
    Contender other(g_logLock);
    EXPECT_TRUE(other.EnteredWithin(5000));
}

TEST(MutexLock, UnlockTwiceLeavesOnlyOnce) {
    CMutexLock holder;
    CAutoLock outer(holder);
    {
        CAutoLock inner(holder);
        inner.Unlock();
        inner.Unlock(); // must not leave the outer guard's entry
    }                   // nor must the destructor
    Contender other(holder);
    EXPECT_FALSE(other.EnteredWithin(200));
    outer.Unlock();
    outer.Unlock();
    EXPECT_TRUE(other.EnteredWithin(5000));
}

TEST(MutexLock, ReleasedHolderRunsBlocksUnguarded) {
    CMutexLock holder;
    EXPECT_TRUE(holder.HasLock());
    holder.Release();
    EXPECT_FALSE(holder.HasLock());
    holder.Release(); // harmless
    CAutoLock guard(holder);
    Contender other(holder);
    EXPECT_TRUE(other.EnteredWithin(5000)); // nothing to wait for
    guard.Unlock();
    guard.Unlock();
}

TEST(MutexLock, GuardSeesTheHoldersCurrentState) {
    CMutexLock holder;
    CAutoLock guard(holder);
    CAutoLock again(holder);
    again.Unlock();
    guard.Unlock();
    holder.Release();
    // Guards taken after the release neither wait nor fail.
    CAutoLock late(holder);
    late.Unlock();
}

// At unload, objects destroyed after g_logLock (the log registry) still
// guard with it: the destroyed holder must read as released.
TEST(MutexLock, GuardAfterTheHolderWasDestroyedRunsUnguarded) {
    alignas(CMutexLock) unsigned char storage[sizeof(CMutexLock)];
    CMutexLock* holder = new (storage) CMutexLock;
    holder->~CMutexLock();
    std::atomic<bool> done{false};
    std::thread late([holder, &done] {
        CAutoLock guard(*holder);
        CAutoLock again(*holder);
        done = true;
    });
    late.join();
    EXPECT_TRUE(done);
    EXPECT_FALSE(holder->HasLock());
}

TEST(MutexLock, ConstructionFailureThrowsRuntimeError) {
    g_failLockAllocation = true;
    try {
        CMutexLock holder;
        g_failLockAllocation = false;
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        g_failLockAllocation = false;
        EXPECT_STREQ(error.what(), "Mutex construction fail");
    }
    g_failLockAllocation = false;
    CMutexLock holder;
    EXPECT_TRUE(holder.HasLock());
}
