// Opening and closing the per-account stores of the call-record and
// phone-book siblings with what that writes to the trace log, and the folder
// helper on the real Win32 calls.
#include "accounts/ConfigUtils.h"
#include "login/DlgLogin.h"
#include "TestHost.h"
#include "support/TraceLog.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

// The trace lines since the mark, one per line: a scope line or record head
// as "<kind> <file> <function>", a record's other lines as they are.
std::string Trace(const TraceLogTail& tail) {
    static const std::regex head(
        R"(^\[[^\]]+\]\[P:\d+/T:\d+\]\[([^:\]]+):\d+ ([^\]]+)\(\)\]\[(\w+)\]$)");
    std::string out;
    for (const std::string& line : tail.Lines())
        out += std::regex_replace(line, head, "$3 $1 $2") + "\n";
    return out;
}

// The siblings' calls, in order, one per line.
std::wstring SiblingCalls() {
    std::wstring out;
    for (const auto& entry : Calls().Entries())
        out += entry + L"\n";
    return out;
}

// The order of the siblings' calls with both present is checked through the
// panel in tests/login, one sibling missing at a time in tests/badinput.
TEST(AccountStores, WithoutSiblingsOnlyTraceAndAThrowingCloseIsLoggedOnceAndSkipsTheOtherClose) {
    if (!g_pTraceLog)
        g_pTraceLog = OpenTraceLog(TraceLogTail::Path().c_str());
    { TRACE_SCOPE("AccountStores"); } // the log starts before the mark
    // The first throw of a process clears the thread's last error while the
    // runtime sets itself up; a sibling's throw in a running client never is.
    try {
        throw 0;
    } catch (...) {
    }
    CLoginDlg panel; // no window: the members need none
    Siblings siblings;
    TraceLogTail trace;
    trace.Mark();
    CString account(L"8001@sip.example.com");
    panel.InitDatabase(account);
    panel.CloseDatabase();
    EXPECT_EQ(L"", SiblingCalls());
    EXPECT_EQ("Enter AccountDatabase.cpp CLoginDlg::InitDatabase\n"
              "Leave AccountDatabase.cpp CLoginDlg::InitDatabase\n"
              "Enter AccountDatabase.cpp CLoginDlg::CloseDatabase\n"
              "Leave AccountDatabase.cpp CLoginDlg::CloseDatabase\n",
              Trace(trace));
    EXPECT_EQ(CString(L"8001@sip.example.com"), account);

    // The call records set error 5 and throw; the phone book throws a plain int.
    siblings.RegisterAll();
    for (bool callRecordThrows : {true, false}) {
        SCOPED_TRACE(callRecordThrows ? "call records throw" : "phone book throws");
        siblings.callRecord.throwOnClose = callRecordThrows;
        siblings.phoneBook.throwOnClose = !callRecordThrows;
        Calls().Clear();
        trace.Mark();
        EXPECT_NO_THROW(panel.CloseDatabase());
        EXPECT_EQ(callRecordThrows
                      ? L"CallRecord.CloseAccountDatabase()\n"
                      : L"CallRecord.CloseAccountDatabase()\nPhoneBook.CloseAccountDatabase()\n",
                  SiblingCalls());
        const std::string text = Trace(trace);
        EXPECT_TRUE(std::regex_match(
            text, std::regex(std::string("Enter AccountDatabase.cpp CLoginDlg::CloseDatabase\n"
                                         "Err AccountDatabase.cpp CLoginDlg::CloseDatabase\n"
                                         "Content:\nError: ") +
                             (callRecordThrows ? "5" : "\\d+") +
                             " \\. \nLeave AccountDatabase.cpp CLoginDlg::CloseDatabase\n")))
            << text;
    }
    siblings.UnregisterAll();
}

// The ini reader itself is checked through the advertising lines (tests/login)
// and the upgrade command line (tests/upgrade).
TEST(ModuleDir, IsTheExecutablesFolderWithOneTrailingBackslashWhateverTheCurrentFolder) {
    wchar_t saved[MAX_PATH] = {}, temp[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, saved);
    GetTempPathW(MAX_PATH, temp);
    ASSERT_TRUE(SetCurrentDirectoryW(temp));
    const std::wstring dir = GetModuleDir().GetString();
    SetCurrentDirectoryW(saved);
    EXPECT_EQ(ExeDir(), dir);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((dir + L"test_accounts.exe").c_str()));
}

} // namespace
