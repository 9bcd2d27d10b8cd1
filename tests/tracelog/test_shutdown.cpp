// Module unload: ShutdownTraceLogs closes every log and releases g_logLock.
// It leaves the process without the log lock, so ctest runs it on its own
// (test_tracelog_shutdown); the main run filters it out.
#include "MutexLock.h"
#include "TestUtil.h"
#include "TraceLog.h"

#include <gtest/gtest.h>

using namespace tltest;

TEST(TraceLogShutdown, ClosesEveryLogAndReleasesTheLogLock) {
    TempDir dir;
    const std::string path = dir / "log\\KITE.log";
    g_pTraceLog = OpenTraceLog(Widen(path).c_str());
    ASSERT_NE(g_pTraceLog, nullptr);
    OpenTraceLog(Widen(dir / "second.log").c_str())->WriteScopeLine("CS::S", "s.cpp", 1, true);
    { TRACE_SCOPE("CPlugin::Run"); }
    ASSERT_TRUE(FileExists(path));
    EXPECT_FALSE(DeleteFileA(path.c_str())) << "deleted while open";

    ShutdownTraceLogs();
    EXPECT_EQ(g_pTraceLog, nullptr);
    EXPECT_EQ(CTraceLogRegistry::Instance().GetCount(), 0);
    EXPECT_FALSE(g_logLock.HasLock());
    EXPECT_TRUE(DeleteFileA(path.c_str()));
    EXPECT_TRUE(DeleteFileA((dir / "second.log").c_str()));

    // Afterwards scopes write nothing and guards run unguarded.
    {
        TRACE_SCOPE("CPlugin::Late");
        CAutoLock outer(g_logLock);
        CAutoLock inner(g_logLock);
    }
    EXPECT_FALSE(FileExists(path));
    ShutdownTraceLogs(); // a second call is harmless
}
