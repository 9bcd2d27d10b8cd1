// Opening and closing the per-account stores of the call-record and
// phone-book siblings with what that writes to the trace log, and the ini
// and folder helpers on the real Win32 calls.
#include "ConfigUtils.h"
#include "DlgLogin.h"
#include "TestHost.h"
#include "TraceLog.h"

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

TEST(AccountStores, OpenAndCloseInOrderAndAThrowingCloseIsLoggedOnceAndSkipsTheOtherClose) {
    if (!g_pTraceLog)
        g_pTraceLog = OpenTraceLog(TraceLogTail::Path().c_str());
    { TRACE_SCOPE("AccountStores"); } // the log starts before the mark
    // The first throw of a process sets up the exception runtime's thread
    // data, which clears the thread's last error before the exception is
    // even raised; a sibling's throw in a running client never is the first.
    try {
        throw 0;
    } catch (...) {
    }
    CLoginDlg panel; // no window: the members need none
    Siblings siblings;
    siblings.RegisterAll();
    TraceLogTail trace;

    // One sibling missing at a time is covered through the panel in tests/badinput.
    for (bool present : {true, false}) {
        SCOPED_TRACE(present ? "both siblings" : "neither sibling");
        if (!present) {
            siblings.Remove(&siblings.callRecord);
            siblings.Remove(&siblings.phoneBook);
        }
        Calls().Clear();
        trace.Mark();
        CString account(L"8001@sip.example.com");
        panel.InitDatabase(account);
        panel.CloseDatabase();
        EXPECT_EQ(present ? L"CallRecord.OpenAccountDatabase(8001@sip.example.com)\n"
                            L"PhoneBook.OpenAccountDatabase(8001@sip.example.com)\n"
                            L"CallRecord.CloseAccountDatabase()\nPhoneBook.CloseAccountDatabase()\n"
                          : L"",
                  SiblingCalls());
        EXPECT_EQ("Enter AccountDatabase.cpp CLoginDlg::InitDatabase\n"
                  "Leave AccountDatabase.cpp CLoginDlg::InitDatabase\n"
                  "Enter AccountDatabase.cpp CLoginDlg::CloseDatabase\n"
                  "Leave AccountDatabase.cpp CLoginDlg::CloseDatabase\n",
                  Trace(trace));
        EXPECT_EQ(CString(L"8001@sip.example.com"), account);
    }

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

TEST(Ini, ValuesAreCutTo258CharactersAndEmptyWhenFileSectionOrKeyIsMissing) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring path = temp + std::to_wstring(GetCurrentProcessId()) + L"_kite.ini";
    auto get = [&](const wchar_t* section, const wchar_t* key) {
        return std::wstring(GetIniString(section, key, path.c_str()).GetString());
    };
    EXPECT_EQ(L"", get(L"KiteLogIn", L"BillText1")) << "no file";

    std::wstring digits;
    for (int i = 0; i < 300; ++i)
        digits += L"0123456789"[i % 10];
    const std::wstring first258 = digits.substr(0, 258);
    const struct {
        const wchar_t *section, *key;
        std::wstring stored, read;
    } cases[] = {{L"UPGRADE", L"Port", L"21", L"21"},
                 {L"KiteLogIn", L"Long", digits, first258},
                 {L"KiteLogIn", L"Fit", first258, first258},
                 {L"KiteLogIn", L"Odd", digits.substr(0, 259), first258},
                 {L"KiteLogIn", L"Empty", L"", L""}};
    for (const auto& c : cases)
        WritePrivateProfileStringW(c.section, c.key, c.stored.c_str(), path.c_str());
    for (const auto& c : cases)
        EXPECT_EQ(c.read, get(c.section, c.key)) << c.key;
    EXPECT_EQ(L"", get(L"KiteLogIn", L"BillText3")) << "no such key";
    EXPECT_EQ(L"", get(L"Missing", L"Port")) << "no such section";
    DeleteFileW(path.c_str());
}

TEST(ModuleDir, IsTheExecutablesFolderWithOneTrailingBackslashWhateverTheCurrentFolder) {
    wchar_t saved[MAX_PATH] = {}, temp[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, saved);
    GetTempPathW(MAX_PATH, temp);
    ASSERT_TRUE(SetCurrentDirectoryW(temp));
    const std::wstring dir = GetModuleDir().GetString();
    SetCurrentDirectoryW(saved);
    ASSERT_GE(dir.size(), 3u);
    EXPECT_EQ(L'\\', dir.back());
    EXPECT_NE(L'\\', dir[dir.size() - 2]) << dir.c_str();
    EXPECT_EQ(ExeDir(), dir);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((dir + L"test_accounts.exe").c_str()));
}

} // namespace
