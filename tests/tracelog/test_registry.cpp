// The log registry, path resolution, bad input, and the shutdown at unload.
#include "TestUtil.h"

#include <cstring>
#include <new>
#include <thread>

using TraceLogRegistry = TraceLogTest;
using TraceLogBadInput = TraceLogTest;
using TraceLogShutdown = TraceLogTest;

// One log per exact path; opening a shared log enables it again. A second
// log registered for a path is destroyed, the first one stays.
TEST_F(TraceLogRegistry, SamePathSharesOneLogAndOneFileOthersAreRefusedOrSeparate) {
    CTraceLogRegistry& registry = CTraceLogRegistry::Instance();
    const std::wstring wide = Widen(path);
    ITraceLog* first = OpenTraceLog(wide.c_str());
    ASSERT_NE(first, nullptr);
    first->Disable();
    first->WriteScopeLine("CShare::Off", "share.cpp", 1, true);
    EXPECT_EQ(OpenTraceLog(wide.c_str()), first);
    EXPECT_EQ(registry.GetCount(), 1);
    first->WriteScopeLine("CShare::One", "share.cpp", 2, true);
    first->WriteScopeLine("CShare::Two", "share.cpp", 3, true);
    EXPECT_EQ(Parse(path).order, "BSS");
    EXPECT_NE(OpenTraceLog(Widen(dir / "TEST.log").c_str()), first);
    EXPECT_EQ(OpenTraceLog(nullptr), nullptr);
    int id = 0;
    EXPECT_EQ(registry.Find(nullptr, &id), nullptr);
    EXPECT_EQ(id, -1);
    EXPECT_EQ(registry.Register(wide.c_str(), new CTraceLog(path.c_str())), 1);
    EXPECT_EQ(registry.Register(wide.c_str(), first), 1);
    EXPECT_EQ(registry.Register(nullptr, nullptr), -1);
    EXPECT_EQ(registry.Find(wide.c_str(), &id), first);
    EXPECT_EQ(id, 1);
    EXPECT_EQ(registry.GetCount(), 2);
}

TEST_F(TraceLogRegistry, PathIsResolvedAtConstructionAndItsFolderChainCreated) {
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH - 1);
    const std::string exe(module, strrchr(module, '\\'));
    const std::string parent = exe.substr(0, exe.rfind('\\'));
    const std::string top = "sdtl_path_" + std::to_string(GetCurrentProcessId());
    // One ".." per folder of the executable's path reaches the bare drive;
    // one more goes above it.
    std::string aboveDrive;
    for (char ch : exe + "\\") {
        aboveDrive += ch == '\\' ? "..\\" : "";
    }
    const struct {
        std::string path, directory, file;
    } cases[] = {
        {dir / "a/b\\c/x.log", dir / "a\\b\\c\\", "x.log"},
        {"C:nofolder.log", "", ""},
        {"bare.log", exe + "\\", "bare.log"},
        {top + "\\a\\..\\b\\.\\c/x.log", exe + "\\" + top + "\\b\\c\\", "x.log"},
        {"..\\" + top + "\\up.log", parent + "\\" + top + "\\", "up.log"},
        {aboveDrive + "deep\\x.log", exe + "\\Log\\", "x.log"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        {
            CTraceLog log(c.path.c_str());
            EXPECT_EQ(log.GetDirectory(), c.directory);
            EXPECT_EQ(log.GetFileName(), c.file);
            if (c.directory.empty()) {
                continue;
            }
            EXPECT_TRUE(fs::is_directory(c.directory));
            EXPECT_FALSE(fs::exists(c.directory + c.file)) << "opened before the first write";
            log.WriteScopeLine("CPath::Case", "path.cpp", 1, true);
        }
        EXPECT_EQ(Parse(c.directory + c.file).order, "BS");
        fs::remove(c.directory + c.file);
    }
    EXPECT_FALSE(fs::exists(exe + "\\" + top + "\\a"));
    fs::remove_all(exe + "\\" + top);
    fs::remove_all(parent + "\\" + top);
    std::error_code notEmpty; // the folder stays while other files use it
    fs::remove(exe + "\\Log", notEmpty);
}

TEST_F(TraceLogBadInput, MissingNamesOrFormatsWriteNothing) {
    CTraceLog log(path.c_str());
    log.WriteScopeLine(nullptr, "f.cpp", 1, true);
    log.WriteScopeLine("CMissing::File", nullptr, 1, true);
    log.WriteScopeLine("", "f.cpp", 1, true);
    log.WriteScopeLine("CMissing::File", "", 1, true);
    // The constructing thread has no location yet, nor one of another thread.
    log.WriteScopeLine(false);
    log.WriteHere("no place");
    std::thread([&log] {
        log.WriteScopeLine(true);
        log.WriteHere("fresh");
    }).join();
    log.SetLocation(nullptr, "f.cpp", 5, 0);
    log.SetLocation("CMissing::Function", nullptr, 5, 0);
    log.WriteHere(L"no place");
    log.Write(0, nullptr, "f.cpp", 6, "no function");
    log.Write(0, "CMissing::File", nullptr, 7, L"no file");
    ITraceLog* variable = &log;
    { CTraceScope scope(&variable, nullptr, nullptr, 8); }
    { CTraceScope scope(&variable, "CMissing::File", nullptr, 9); }
    { CTraceScope scope(nullptr, "CNo::Variable", "v.cpp", 10); }
    // Null formats: no record, but Write still sets the location.
    log.SetLocation("CNull::Format", "null.cpp", 1, TRACE_LEVEL_ERROR);
    log.WriteHere(static_cast<const char*>(nullptr));
    log.Write(0, "CNull::Format", "null.cpp", 3, static_cast<const wchar_t*>(nullptr));
    log.WriteScopeLine(true);
    const Log parsed = Parse(path);
    ASSERT_EQ(parsed.order, "BS");
    EXPECT_EQ(parsed.recs[1].where, "[null.cpp:3 CNull::Format()][Enter]");
}

TEST_F(TraceLogBadInput, OversizedContentIsCutNeverOverflowed) {
    CTraceLog log(path.c_str());
    log.SetLocation("CBig::Text", "big.cpp", 1, TRACE_LEVEL_INFO);
    std::string text(60000, 'n');
    for (size_t i = 0; i < text.size(); i += 1000) {
        text[i] = static_cast<char>('A' + (i / 1000) % 26);
    }
    const std::wstring wide = Widen(text);
    log.WriteHere("%s", text.c_str());
    log.WriteHere(L"%s", wide.c_str());
    log.WriteHere(text.c_str()); // the format itself is too long
    log.WriteHere(wide.c_str());
    log.WriteHere("%s%s", text.c_str(), text.c_str());
    log.WriteHere("after");
    const Log parsed = Parse(path);
    ASSERT_EQ(parsed.order, "BCCCCCC");
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(parsed.recs[i].text, text.substr(0, 51199)) << "record " << i;
    }
    EXPECT_EQ(parsed.recs[6].text, "after");
}

// The shutdown at unload releases the process-wide log lock for good; the
// tests after it in this executable would then trace unguarded (threads
// writing through one log cut and merge each other's records). A new load of
// the module creates a new lock: so does the end of this test, whatever way
// it ends.
class LogLockReload {
public:
    ~LogLockReload() {
        if (!g_logLock.HasLock()) {
            g_logLock.~CMutexLock();
            new (&g_logLock) CMutexLock;
        }
    }
};

TEST_F(TraceLogShutdown, ClosesEveryLogAndReleasesTheLogLock) {
    const LogLockReload reload;
    EXPECT_TRUE(g_logLock.HasLock()) << "created when the module was loaded";
    g_pTraceLog = OpenTraceLog(Widen(path).c_str());
    OpenTraceLog(Widen(dir / "second.log").c_str())->WriteScopeLine("CS::S", "s.cpp", 1, true);
    { TRACE_SCOPE("CPlugin::Run"); }
    EXPECT_FALSE(DeleteFileA(path.c_str())) << "deleted while open";
    ShutdownTraceLogs();
    EXPECT_EQ(g_pTraceLog, nullptr);
    EXPECT_EQ(CTraceLogRegistry::Instance().GetCount(), 0);
    EXPECT_FALSE(g_logLock.HasLock());
    EXPECT_TRUE(DeleteFileA(path.c_str()));
    EXPECT_TRUE(DeleteFileA((dir / "second.log").c_str()));
    { // Afterwards scopes write nothing and guards run unguarded.
        TRACE_SCOPE("CPlugin::Late");
        CAutoLock guard(g_logLock);
    }
    EXPECT_FALSE(fs::exists(path));
    ShutdownTraceLogs(); // a second call is harmless
}
