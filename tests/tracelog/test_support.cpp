// CMutexLock and CAutoLock; WideToAnsiBuffer, and narrow text in the ANSI
// code page (also run under a Chinese code page, see CMakeLists.txt).
#include "support/StringConv.h"
#include "TestUtil.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <thread>

static std::atomic<bool> g_failLockAllocation{false};

// Allocation of the critical section fails on request.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (g_failLockAllocation && size == sizeof(CRITICAL_SECTION)) {
        return nullptr;
    }
    return std::malloc(size == 0 ? 1 : size);
}

// A nested guard's two Unlock calls and its destructor leave the lock once.
// At unload the log registry, destroyed after g_logLock, still guards with it:
// a destroyed holder reads as released (released ones: TraceLogShutdown).
TEST(MutexLock, UnlockTwiceLeavesOnlyOnceAndADestroyedHolderRunsBlocksUnguarded) {
    CMutexLock holder;
    CAutoLock outer(holder);
    {
        CAutoLock inner(holder);
        inner.Unlock();
        inner.Unlock();
    }
    std::atomic<bool> entered{false};
    std::thread other([&] {
        CAutoLock guard(holder);
        entered = true;
    });
    Sleep(200);
    EXPECT_FALSE(entered) << "another thread got the lock the outer guard holds";
    outer.Unlock();
    outer.Unlock();
    other.join();
    EXPECT_TRUE(entered);

    alignas(CMutexLock) unsigned char storage[sizeof(CMutexLock)];
    CMutexLock* destroyed = new (storage) CMutexLock;
    destroyed->~CMutexLock();
    EXPECT_FALSE(destroyed->HasLock());
    std::thread([destroyed] {
        CAutoLock first(*destroyed);
        CAutoLock second(*destroyed);
        second.Unlock();
        second.Unlock();
    }).join();
}

TEST(MutexLock, ConstructionFailureThrowsRuntimeError) {
    std::string message = "no exception";
    g_failLockAllocation = true;
    try {
        CMutexLock holder;
    } catch (const std::runtime_error& error) {
        message = error.what();
    }
    g_failLockAllocation = false;
    EXPECT_EQ(message, "Mutex construction fail");
    EXPECT_TRUE(CMutexLock().HasLock());
}

// The buffer holds '#' before the call; capacity is the length passed in.
// "中文字" is GBK bytes under code page 936, default characters otherwise; a
// cut keeps double-byte characters whole.
TEST(WideToAnsi, NullTextOrBufferAndNeverPastCapacityMinusOne) {
    const bool zh = GetACP() == 936;
    const wchar_t* chinese = L"\u4e2d\u6587\u5b57";
    const struct {
        const wchar_t* text;
        bool buffer;
        int length, result, lengthAfter;
        std::string bytes; // the buffer's start afterwards
    } cases[] = {
        {L"Hello", false, -7, 5, 5, ""},
        {L"", false, -7, 0, 0, ""},
        {nullptr, false, 3, 0, 3, ""},
        {nullptr, true, 8, 0, 8, "########"},
        {L"Hello", true, 16, 5, 16, "Hello##"}, // no terminator of its own
        {L"abcdefghijklmnopqrstuvwxyz", true, 10, 9, 10, "abcdefghi#"},
        {L"123456", true, 6, 5, 6, "12345#"},
        {L"abc", true, 1, 0, 1, "#"},
        {L"abc", true, 0, 0, 0, "#"},
        {chinese, false, 0, zh ? 6 : 3, zh ? 6 : 3, ""},
        {chinese, true, 16, zh ? 6 : 3, 16, zh ? "\xD6\xD0\xCE\xC4\xD7\xD6#" : "???#"},
        {chinese, true, 4, zh ? 2 : 3, 4, zh ? "\xD6\xD0" : "???"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.text ? c.text : L"null") << " into " << c.length);
        char buffer[32];
        memset(buffer, '#', sizeof(buffer));
        int length = c.length;
        EXPECT_EQ(WideToAnsiBuffer(c.buffer ? buffer : nullptr, c.text, length), c.result);
        EXPECT_EQ(length, c.lengthAfter);
        EXPECT_EQ(std::string(buffer, c.bytes.size()), c.bytes);
        const int untouched = c.buffer ? std::max(c.length - 1, 0) : 0;
        EXPECT_EQ(std::string(buffer + untouched, 32 - untouched),
                  std::string(32 - untouched, '#'));
    }
}

// Plain ASCII before other characters: the prefix and the rest come out as
// the code page gives them, cut at whole characters.
TEST(WideToAnsi, AsciiBeforeOtherCharactersIsCutAtWholeCharacters) {
    const bool zh = GetACP() == 936;
    const wchar_t* text = L"ab\u4e2d\u6587";
    const struct {
        int length;
        std::string bytes;
    } cases[] = {
        {16, zh ? "ab\xD6\xD0\xCE\xC4" : "ab??"},
        {5, zh ? "ab\xD6\xD0" : "ab??"},
        {4, zh ? "ab" : "ab?"},
        {3, "ab"},
        {2, "a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        char buffer[32];
        memset(buffer, '#', sizeof(buffer));
        int length = c.length;
        EXPECT_EQ(WideToAnsiBuffer(buffer, text, length), static_cast<int>(c.bytes.size()));
        EXPECT_EQ(length, c.length);
        EXPECT_EQ(std::string(buffer, c.bytes.size()), c.bytes);
        EXPECT_EQ(std::string(buffer + c.length - 1, 32 - (c.length - 1)),
                  std::string(32 - (c.length - 1), '#'));
    }
}

using NarrowText = TraceLogTest;

TEST_F(NarrowText, ContentRecordsAreWrittenInTheAnsiCodePage) {
    if (const char* expected = getenv("SIGNDESK_EXPECT_ACP")) {
        ASSERT_EQ(GetACP(), static_cast<UINT>(atoi(expected))) << "the zh run is not in it";
    }
    const bool zh = GetACP() == 936;
    {
        CTraceLog log(path.c_str());
        log.SetLocation("CLoginDlg::InitData", "login/DlgLogin.cpp", 12, TRACE_LEVEL_WARNING);
        log.WriteHere(L"%s:%s", L"\u8d26\u53f7", L"\u4e2d\u6587");
        // 30,000 double-byte characters are cut at a character boundary.
        log.WriteHere(L"%s", std::wstring(30000, L'\u4e2d').c_str());
    }
    const Log parsed = Parse(path);
    ASSERT_EQ(parsed.order, "BCC");
    EXPECT_EQ(parsed.recs[1].text, zh ? "\xD5\xCB\xBA\xC5:\xD6\xD0\xCE\xC4" : "??:??");
    std::string cut;
    for (int i = 0; i < 25599; ++i) {
        cut += "\xD6\xD0";
    }
    EXPECT_EQ(parsed.recs[2].text, zh ? cut : std::string(30000, '?'));
}
