// WideToAnsiBuffer, and narrow text in the ANSI code page (also run with a
// Chinese code page, see CMakeLists.txt).
#include "StringConv.h"
#include "TestUtil.h"
#include "TraceLog.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

using namespace tltest;

TEST(WideToAnsi, NullBufferReportsNeededBytes) {
    int length = -7;
    EXPECT_EQ(WideToAnsiBuffer(nullptr, L"Hello", length), 5);
    EXPECT_EQ(length, 5);
    length = -7;
    WideToAnsiBuffer(nullptr, L"", length);
    EXPECT_EQ(length, 0);
}

TEST(WideToAnsi, NullTextDoesNothing) {
    char buffer[8];
    memset(buffer, '#', sizeof(buffer));
    int length = sizeof(buffer);
    EXPECT_EQ(WideToAnsiBuffer(buffer, nullptr, length), 0);
    EXPECT_EQ(length, 8);
    EXPECT_EQ(std::string(buffer, 8), "########");
    length = 3;
    WideToAnsiBuffer(nullptr, nullptr, length);
    EXPECT_EQ(length, 3);
}

TEST(WideToAnsi, ConvertsWholeTextAndWritesNoTerminator) {
    char buffer[16];
    memset(buffer, '#', sizeof(buffer));
    int length = sizeof(buffer);
    EXPECT_EQ(WideToAnsiBuffer(buffer, L"Hello", length), 5);
    EXPECT_EQ(std::string(buffer, 7), "Hello##");
}

TEST(WideToAnsi, NeverWritesPastCapacityMinusOne) {
    char buffer[32];
    memset(buffer, 0, sizeof(buffer));
    memset(buffer + 10, '#', sizeof(buffer) - 10);
    int length = 10;
    EXPECT_EQ(WideToAnsiBuffer(buffer, L"abcdefghijklmnopqrstuvwxyz", length), 9);
    EXPECT_STREQ(buffer, "abcdefghi");
    EXPECT_EQ(std::string(buffer + 10, 22), std::string(22, '#'));

    // Exactly capacity bytes long: still one short, still terminated.
    memset(buffer, 0, sizeof(buffer));
    length = 6;
    WideToAnsiBuffer(buffer, L"123456", length);
    EXPECT_STREQ(buffer, "12345");

    memset(buffer, '#', sizeof(buffer));
    length = 1;
    EXPECT_EQ(WideToAnsiBuffer(buffer, L"abc", length), 0);
    length = 0;
    WideToAnsiBuffer(buffer, L"abc", length);
    EXPECT_EQ(buffer[0], '#');
}

// ---- Narrow text in the ANSI code page ------------------------------------

namespace {

bool ChineseCodePage() {
    return GetACP() == 936;
}

// "中文" in the ANSI code page: GBK bytes under 936, default characters
// otherwise.
std::string ExpectedZhongWen() {
    return ChineseCodePage() ? "\xD6\xD0\xCE\xC4" : "??";
}

} // namespace

TEST(NarrowText, RunsInTheExpectedCodePage) {
    const char* expected = getenv("SIGNDESK_EXPECT_ACP");
    if (expected != nullptr) {
        EXPECT_EQ(GetACP(), static_cast<UINT>(atoi(expected)));
    } else {
        EXPECT_NE(GetACP(), 0u);
    }
}

TEST(NarrowText, ConvertsToTheAnsiCodePage) {
    int length = 0;
    WideToAnsiBuffer(nullptr, L"\u4e2d\u6587", length);
    EXPECT_EQ(length, static_cast<int>(ExpectedZhongWen().size()));
    char buffer[16] = {};
    length = sizeof(buffer);
    WideToAnsiBuffer(buffer, L"\u4e2d\u6587", length);
    EXPECT_EQ(std::string(buffer), ExpectedZhongWen());
}

TEST(NarrowText, CutKeepsDoubleByteCharactersWhole) {
    char buffer[8];
    memset(buffer, 0, sizeof(buffer));
    int length = 4; // room for 3 bytes
    WideToAnsiBuffer(buffer, L"\u4e2d\u6587\u5b57", length);
    if (ChineseCodePage()) {
        EXPECT_EQ(std::string(buffer), "\xD6\xD0");
    } else {
        EXPECT_EQ(std::string(buffer), "???");
    }
    EXPECT_EQ(buffer[3], 0);
}

TEST(NarrowText, ContentRecordsAreWrittenInTheAnsiCodePage) {
    TempDir dir;
    const std::string path = dir / "zh.log";
    {
        CTraceLog log(path.c_str());
        log.SetLocation("CLoginDlg::InitData", "login/DlgLogin.cpp", 12, TRACE_LEVEL_WARNING);
        log.WriteHere(L"%s:%s", L"\u8d26\u53f7", L"\u4e2d\u6587");
        // 30,000 double-byte characters are cut at a character boundary.
        std::wstring wide(30000, L'\u4e2d');
        log.WriteHere(L"%s", wide.c_str());
        std::string narrow;
        for (int i = 0; i < 30000; ++i) {
            narrow += "\xD6\xD0";
        }
        log.WriteHere("%s", narrow.c_str());
    }
    ParsedLog parsed;
    std::string error;
    ASSERT_TRUE(ParseLog(ReadLines(path), &parsed, &error)) << error;
    ASSERT_EQ(parsed.contents.size(), 3u);
    const std::string account = ChineseCodePage() ? "\xD5\xCB\xBA\xC5" : "??";
    EXPECT_EQ(parsed.contents[0].text, account + ":" + ExpectedZhongWen());
    EXPECT_EQ(parsed.contents[0].header.level, "War");
    if (ChineseCodePage()) {
        EXPECT_EQ(parsed.contents[1].text.size(), 51198u);
        EXPECT_EQ(parsed.contents[2].text.size(), 51198u);
        EXPECT_EQ(parsed.contents[1].text, parsed.contents[2].text);
        EXPECT_EQ(parsed.contents[1].text.substr(0, 4), "\xD6\xD0\xD6\xD0");
    } else {
        EXPECT_EQ(parsed.contents[1].text, std::string(30000, '?'));
        EXPECT_EQ(parsed.contents[2].text.size(), 51199u);
    }
}

TEST(NarrowText, ChineseFolderNamesAreCreated) {
    if (!ChineseCodePage()) {
        GTEST_SKIP() << "needs the Chinese ANSI code page (run by test_tracelog_zh)";
    }
    TempDir dir;
    // Wine stores file names in the Unix locale's character set; when that
    // locale is not installed it cannot hold Chinese names at all.
    const std::wstring probe = Widen(dir.Path()) + L"\\\u63a2";
    if (!CreateDirectoryW(probe.c_str(), nullptr)) {
        GTEST_SKIP() << "the file system here cannot store Chinese names (error " << GetLastError()
                     << "; Unix locale zh_CN.UTF-8 not installed)";
    }
    RemoveDirectoryW(probe.c_str());
    std::wstring widePath = Widen(dir.Path()) + L"\\\u65e5\u5fd7\\KITE.log";
    ITraceLog* log = OpenTraceLog(widePath.c_str());
    ASSERT_NE(log, nullptr);
    log->WriteScopeLine("CLoginDlg::InitUI", "DlgLogin.cpp", 3, true);
    const std::wstring wideDir = Widen(dir.Path()) + L"\\\u65e5\u5fd7";
    DWORD attributes = GetFileAttributesW(wideDir.c_str());
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_NE(GetFileAttributesW(widePath.c_str()), INVALID_FILE_ATTRIBUTES);
    CTraceLogRegistry::Instance().Clear();
}
