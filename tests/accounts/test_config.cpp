// The host executable's folder and ini values, on the real Win32 calls.
#include "ConfigUtils.h"
#include "TestHost.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

class IniTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        dir = std::wstring(temp) + L"signdesk_ini_" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(dir.c_str(), nullptr);
        path = dir + L"\\kite.ini";
    }
    void TearDown() override {
        DeleteFileW(path.c_str());
        RemoveDirectoryW(dir.c_str());
    }
    // Writes the file as bytes (an ANSI ini file).
    void WriteAnsi(const std::string& text) {
        FILE* f = _wfopen(path.c_str(), L"wb");
        ASSERT_NE(nullptr, f);
        fwrite(text.data(), 1, text.size(), f);
        fclose(f);
        // The profile API may cache files; make it read the new contents.
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
    }
    // Writes the file as UTF-16 with its byte order mark.
    void WriteWide(const std::wstring& text) {
        FILE* f = _wfopen(path.c_str(), L"wb");
        ASSERT_NE(nullptr, f);
        const unsigned char bom[] = {0xFF, 0xFE};
        fwrite(bom, 1, 2, f);
        fwrite(text.data(), sizeof(wchar_t), text.size(), f);
        fclose(f);
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
    }
    std::wstring Get(const wchar_t* section, const wchar_t* key) {
        return GetIniString(section, key, path.c_str()).GetString();
    }

    std::wstring dir, path;
};

std::string Digits(size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i)
        s += static_cast<char>('0' + i % 10);
    return s;
}

TEST_F(IniTest, ValuesAreReadAsStored) {
    WriteAnsi("[KiteLogIn]\r\nBillText1=Call the world for less\r\nBillText2=Second line\r\n"
              "[UPGRADE]\r\nHost=upgrade.example.com\r\nPort=21\r\n");
    EXPECT_EQ(L"Call the world for less", Get(L"KiteLogIn", L"BillText1"));
    EXPECT_EQ(L"Second line", Get(L"KiteLogIn", L"BillText2"));
    EXPECT_EQ(L"upgrade.example.com", Get(L"UPGRADE", L"Host"));
    EXPECT_EQ(L"21", Get(L"UPGRADE", L"Port"));
}

TEST_F(IniTest, LongValuesAreCutTo258Characters) {
    const std::string v300 = Digits(300), v258 = Digits(258), v259 = Digits(259);
    WriteAnsi("[KiteLogIn]\r\nBillText1=" + v300 + "\r\nBillText2=" + v258 + "\r\nOdd=" + v259 +
              "\r\n");
    std::wstring got = Get(L"KiteLogIn", L"BillText1");
    EXPECT_EQ(258u, got.size());
    EXPECT_EQ(std::wstring(v258.begin(), v258.end()), got) << "the first 258 characters";
    EXPECT_EQ(std::wstring(v258.begin(), v258.end()), Get(L"KiteLogIn", L"BillText2"))
        << "258 characters fit whole";
    EXPECT_EQ(258u, Get(L"KiteLogIn", L"Odd").size());
}

TEST_F(IniTest, MissingFileSectionOrKeyGiveTheEmptyText) {
    EXPECT_EQ(L"", Get(L"KiteLogIn", L"BillText1")) << "no file";
    EXPECT_EQ(L"", std::wstring(GetIniString(L"KiteLogIn", L"BillText1",
                                             (dir + L"\\nowhere\\kite.ini").c_str())
                                    .GetString()));
    WriteAnsi("[KiteLogIn]\r\nBillText1=first\r\nBillText2=\r\n");
    EXPECT_EQ(L"", Get(L"UPGRADE", L"BillText1")) << "no such section";
    EXPECT_EQ(L"", Get(L"KiteLogIn", L"BillText3")) << "no such key";
    EXPECT_EQ(L"", Get(L"KiteLogIn", L"BillText2")) << "empty value";
    EXPECT_EQ(L"first", Get(L"KiteLogIn", L"BillText1"));
}

TEST_F(IniTest, WideIniFilesGiveWideText) {
    WriteWide(L"[KiteLogIn]\r\nBillText1=\u5e7f\u544a\u4e00 \u00e9\r\n");
    EXPECT_EQ(L"\u5e7f\u544a\u4e00 \u00e9", Get(L"KiteLogIn", L"BillText1"));
}

TEST(ModuleDir, IsTheFolderOfTheRunningExecutableWithOneTrailingBackslash) {
    std::wstring dir = GetModuleDir().GetString();
    ASSERT_GE(dir.size(), 3u);
    EXPECT_EQ(L'\\', dir.back());
    EXPECT_NE(L'\\', dir[dir.size() - 2]) << "exactly one trailing backslash: " << dir.c_str();
    EXPECT_EQ(ExeDir(), dir);
    DWORD attrs = GetFileAttributesW(dir.c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attrs);
    EXPECT_TRUE(attrs & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((dir + L"test_accounts.exe").c_str()))
        << "the test executable lives there";
    // The ini file the panel reads is found beside the executable.
    std::wstring ini = dir + L"kite_moduledir_test.ini";
    ASSERT_TRUE(
        WritePrivateProfileStringW(L"KiteLogIn", L"BillText1", L"beside the exe", ini.c_str()));
    EXPECT_EQ(L"beside the exe",
              std::wstring(GetIniString(L"KiteLogIn", L"BillText1",
                                        GetModuleDir() + L"kite_moduledir_test.ini")
                               .GetString()));
    DeleteFileW(ini.c_str());
}

TEST(ModuleDir, DoesNotDependOnTheCurrentDirectory) {
    wchar_t saved[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, saved);
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    ASSERT_TRUE(SetCurrentDirectoryW(temp));
    std::wstring dir = GetModuleDir().GetString();
    SetCurrentDirectoryW(saved);
    EXPECT_EQ(ExeDir(), dir);
}

} // namespace
