// Wide text to the system's ANSI code page: exact bytes, no terminator,
// '?' for what the code page cannot hold. Run in code page 1252 and, with
// a Chinese Unix locale, in code page 936.
#include "ConfigUtils.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

std::string Bytes(const std::string& s) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : s) {
        out += hex[c >> 4];
        out += hex[c & 15];
        out += ' ';
    }
    return out;
}

#define EXPECT_BYTES(expected, actual) EXPECT_EQ(Bytes(expected), Bytes(actual))

class AnsiTest : public ::testing::Test {
protected:
    void SetUp() override {
        acp = GetACP();
        // The ctest run says which code page it set up; a manual run takes
        // whatever the process has.
        if (const char* expected = std::getenv("SIGNDESK_EXPECT_ACP")) {
            ASSERT_EQ(static_cast<UINT>(std::atoi(expected)), acp)
                << "the Wine process did not get the expected ANSI code page";
        }
        if (acp != 1252 && acp != 936)
            GTEST_SKIP() << "code page " << acp << " is not covered";
    }
    UINT acp = 0;
};

TEST_F(AnsiTest, AsciiComesOutByteForByteWithoutTerminator) {
    std::string s = WideToAnsi(CString(L"upgrade.exe -h 10.0.0.1 -p 21"));
    EXPECT_EQ("upgrade.exe -h 10.0.0.1 -p 21", s);
    EXPECT_EQ(29u, s.size());
    EXPECT_EQ(std::string::npos, s.find('\0'));
}

TEST_F(AnsiTest, EmptyTextGivesTheEmptyString) {
    EXPECT_TRUE(WideToAnsi(CString()).empty());
    EXPECT_TRUE(WideToAnsi(CString(L"")).empty());
}

TEST_F(AnsiTest, ConvertsInTheSystemCodePage) {
    const CString chinese(L"\u4e2d\u6587 ok");
    const CString thai(L"a\u0e01b"); // in neither code page
    if (acp == 936) {
        EXPECT_BYTES("\xD6\xD0\xCE\xC4 ok", WideToAnsi(chinese));
        EXPECT_BYTES("a?b", WideToAnsi(thai));
    } else {
        EXPECT_BYTES("?? ok", WideToAnsi(chinese));
        EXPECT_BYTES("a?b", WideToAnsi(thai));
        EXPECT_BYTES("caf\xE9 \x80", WideToAnsi(CString(L"caf\u00e9 \u20ac")));
    }
}

TEST_F(AnsiTest, AgreesWithTheSystemConversionForLongText) {
    // Long text of double-byte characters still fits the buffer.
    std::wstring w;
    for (int i = 0; i < 3000; ++i)
        w += static_cast<wchar_t>(0x4e00 + i % 500);
    std::string s = WideToAnsi(CString(w.c_str()));
    int needed = WideCharToMultiByte(acp, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0,
                                     nullptr, nullptr);
    std::string expected(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(acp, 0, w.c_str(), static_cast<int>(w.size()), &expected[0], needed,
                        nullptr, nullptr);
    EXPECT_EQ(acp == 936 ? 6000u : 3000u, s.size());
    EXPECT_TRUE(s == expected);
    if (acp == 1252) {
        EXPECT_EQ(std::string(3000, '?'), s);
    }
}

} // namespace
