// Opening and closing the per-account stores of the call-record and
// phone-book siblings, and what that writes to the trace log.
#include "DlgLogin.h"
#include "TestHost.h"
#include "TraceFile.h"
#include "TraceLog.h"

#include <gtest/gtest.h>

#include <regex>

namespace acctest {
namespace {

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        OpenTestTraceLog();
        ASSERT_NE(nullptr, g_pTraceLog);
        Calls().Clear();
        trace.Mark();
        // The first throw of a process sets up the exception runtime's
        // thread data, which clears the thread's last error before the
        // exception is even raised. A sibling's failure is never its
        // runtime's first throw in a running client: warm it up here.
        try {
            throw 0;
        } catch (...) {
        }
    }
    void TearDown() override { siblings.UnregisterAll(); }

    // The records written since the mark, without the scope lines of the
    // two members themselves.
    std::vector<TraceRecord> ContentRecords() const {
        std::vector<TraceRecord> out;
        for (const TraceRecord& r : trace.Records())
            if (r.kind != "Enter" && r.kind != "Leave")
                out.push_back(r);
        return out;
    }
    // Checks that records are exactly the Enter/Leave pairs of the members
    // named, in order, each pair on one line of AccountDatabase.cpp.
    static void ExpectScopes(const std::vector<TraceRecord>& records,
                             const std::vector<std::string>& functions) {
        ASSERT_EQ(functions.size() * 2, records.size()) << Describe(records);
        for (size_t i = 0; i < functions.size(); ++i) {
            const TraceRecord& enter = records[2 * i];
            const TraceRecord& leave = records[2 * i + 1];
            EXPECT_EQ("Enter", enter.kind);
            EXPECT_EQ("Leave", leave.kind);
            EXPECT_EQ(functions[i], enter.function);
            EXPECT_EQ(functions[i], leave.function);
            EXPECT_EQ("AccountDatabase.cpp", enter.file);
            EXPECT_EQ(enter.line, leave.line);
        }
    }

    CLoginDlg panel; // no window: the members need none
    Siblings siblings;
    TraceFile trace;
};

TEST_F(DatabaseTest, WithNeitherSiblingOnlyTheTraceLinesAreWritten) {
    siblings.Add(&siblings.lang);
    CString account(L"alice");
    panel.InitDatabase(account);
    panel.CloseDatabase();
    EXPECT_TRUE(Calls().Entries().empty());
    ExpectScopes(trace.Records(), {"CLoginDlg::InitDatabase", "CLoginDlg::CloseDatabase"});
    EXPECT_EQ(CString(L"alice"), account);
}

TEST_F(DatabaseTest, OpensAndClosesCallRecordsFirstThenThePhoneBook) {
    siblings.RegisterAll();
    CString account(L"8001@sip.example.com");
    panel.InitDatabase(account);
    panel.CloseDatabase();
    std::vector<std::wstring> expected = {
        L"CallRecord.OpenAccountDatabase(8001@sip.example.com)",
        L"PhoneBook.OpenAccountDatabase(8001@sip.example.com)",
        L"CallRecord.CloseAccountDatabase()",
        L"PhoneBook.CloseAccountDatabase()",
    };
    EXPECT_EQ(expected, Calls().Entries());
    ExpectScopes(trace.Records(), {"CLoginDlg::InitDatabase", "CLoginDlg::CloseDatabase"});
}

TEST_F(DatabaseTest, AMissingSiblingIsSkippedAndTheOtherStillServed) {
    siblings.RegisterAll();
    siblings.Remove(&siblings.callRecord);
    CString account(L"bob");
    panel.InitDatabase(account);
    panel.CloseDatabase();
    EXPECT_EQ((std::vector<std::wstring>{L"PhoneBook.OpenAccountDatabase(bob)",
                                         L"PhoneBook.CloseAccountDatabase()"}),
              Calls().Entries());

    Calls().Clear();
    siblings.Add(&siblings.callRecord);
    siblings.Remove(&siblings.phoneBook);
    panel.InitDatabase(account);
    panel.CloseDatabase();
    EXPECT_EQ((std::vector<std::wstring>{L"CallRecord.OpenAccountDatabase(bob)",
                                         L"CallRecord.CloseAccountDatabase()"}),
              Calls().Entries());
    EXPECT_TRUE(ContentRecords().empty()) << Describe(trace.Records());
}

TEST_F(DatabaseTest, AThrowingCloseIsLoggedOnceWithTheLastErrorAndSkipsTheOtherClose) {
    siblings.RegisterAll();
    siblings.callRecord.throwOnClose = true; // sets ERROR_ACCESS_DENIED, then throws
    EXPECT_NO_THROW(panel.CloseDatabase());
    EXPECT_EQ((std::vector<std::wstring>{L"CallRecord.CloseAccountDatabase()"}), Calls().Entries())
        << "the phone book is not closed after the call records failed";

    std::vector<TraceRecord> records = trace.Records();
    ASSERT_EQ(3u, records.size()) << Describe(records);
    EXPECT_EQ("Enter", records[0].kind);
    EXPECT_EQ("Err", records[1].kind);
    EXPECT_EQ("CLoginDlg::CloseDatabase", records[1].function);
    EXPECT_EQ("AccountDatabase.cpp", records[1].file);
    EXPECT_EQ("Error: 5 . ", records[1].content);
    EXPECT_EQ("Leave", records[2].kind);
    EXPECT_EQ("CLoginDlg::CloseDatabase", records[2].function);
    EXPECT_EQ(records[0].line, records[2].line) << "the scope restores its own location";
    EXPECT_NE(records[0].line, records[1].line) << "the record is written where it is caught";
}

TEST_F(DatabaseTest, AThrowingPhoneBookCloseIsLoggedOnce) {
    siblings.RegisterAll();
    siblings.phoneBook.throwOnClose = true; // throws something that is no std::exception
    EXPECT_NO_THROW(panel.CloseDatabase());
    EXPECT_EQ((std::vector<std::wstring>{L"CallRecord.CloseAccountDatabase()",
                                         L"PhoneBook.CloseAccountDatabase()"}),
              Calls().Entries());
    std::vector<TraceRecord> content = ContentRecords();
    ASSERT_EQ(1u, content.size()) << Describe(trace.Records());
    EXPECT_EQ("Err", content[0].kind);
    EXPECT_TRUE(std::regex_match(content[0].content, std::regex(R"(Error: \d+ \. )")))
        << content[0].content;
}

TEST_F(DatabaseTest, AFailedCloseLeavesTheNextCloseWorking) {
    siblings.RegisterAll();
    siblings.callRecord.throwOnClose = true;
    panel.CloseDatabase();
    siblings.callRecord.throwOnClose = false;
    Calls().Clear();
    trace.Mark();
    panel.CloseDatabase();
    EXPECT_EQ((std::vector<std::wstring>{L"CallRecord.CloseAccountDatabase()",
                                         L"PhoneBook.CloseAccountDatabase()"}),
              Calls().Entries());
    ExpectScopes(trace.Records(), {"CLoginDlg::CloseDatabase"});
}

TEST_F(DatabaseTest, WithoutATraceLogAThrowingCloseIsStillContained) {
    siblings.RegisterAll();
    siblings.callRecord.throwOnClose = true;
    ITraceLog* saved = g_pTraceLog;
    g_pTraceLog = nullptr;
    EXPECT_NO_THROW(panel.CloseDatabase());
    g_pTraceLog = saved;
    EXPECT_EQ(1, Calls().Count(L"CallRecord.CloseAccountDatabase"));
    EXPECT_EQ(0, Calls().Count(L"PhoneBook."));
    EXPECT_TRUE(trace.Records().empty()) << Describe(trace.Records());
}

} // namespace
} // namespace acctest
