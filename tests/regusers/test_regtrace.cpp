// Enter and Leave lines of the two dialogs in the trace log: every traced
// member writes its pair, nested as the calls are, and nothing else does.
#include "RegTestUtil.h"
#include "TraceLog.h"

#include <cstdio>
#include <regex>

namespace regtest {
namespace {

struct ScopeLine {
    std::string file;
    int line;
    std::string function;
    bool enter;
};

std::wstring LogPath() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"signdesk_test_regusers\\KITE.log";
}

long long FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string ReadFrom(const std::wstring& path, long long offset) {
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f)
        return "";
    std::string text;
    _fseeki64(f, 0, SEEK_END);
    long long size = _ftelli64(f);
    if (size > offset) {
        _fseeki64(f, offset, SEEK_SET);
        text.resize(static_cast<size_t>(size - offset));
        text.resize(fread(&text[0], 1, text.size(), f));
    }
    fclose(f);
    return text;
}

std::vector<ScopeLine> ScopeLines(const std::string& text) {
    static const std::regex re(
        R"(^\[[^\]]+\]\[P:\d+/T:\d+\]\[([^:\]]+):(\d+) ([^\]]+)\(\)\]\[(Enter|Leave)\]$)");
    std::vector<ScopeLine> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find("\r\n", pos);
        std::string line =
            text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        pos = end == std::string::npos ? text.size() : end + 2;
        std::smatch m;
        if (std::regex_match(line, m, re))
            lines.push_back({m[1], std::stoi(m[2]), m[3], m[4] == "Enter"});
    }
    return lines;
}

class RegTrace : public RegUsersTest {
protected:
    void SetUp() override {
        RegUsersTest::SetUp();
        if (!g_pTraceLog) {
            CreateDirectoryW((LogPath().substr(0, LogPath().rfind(L'\\'))).c_str(), nullptr);
            g_pTraceLog = OpenTraceLog(LogPath().c_str());
        }
        ASSERT_NE(nullptr, g_pTraceLog);
        // Make sure the file exists and starts with its Begin Time line.
        { TRACE_SCOPE("RegTrace::SetUp"); }
        mark = FileSize(LogPath());
    }
    std::vector<ScopeLine> NewLines() const { return ScopeLines(ReadFrom(LogPath(), mark)); }

    long long mark = 0;
};

TEST_F(RegTrace, EveryTracedMemberWritesItsEnterAndLeaveLinesInCallOrder) {
    Records() = {Reg(L"alice", L"a1", L"10.0.0.1", L"5060"),
                 Reg(L"bob", L"b2", L"10.0.0.2", L"5061")};
    RunList([&](CRegUsersDlg&, HWND hDlg) {
        SelectRow(List(hDlg), 0);
        OnEntry([](HWND hEntry) { EXPECT_TRUE(Click(hEntry, IDOK)); });
        EXPECT_TRUE(Click(hDlg, IDC_REGUSERS_BTN_MODIFY));
        OnEntry([](HWND hEntry) { EXPECT_TRUE(Click(hEntry, IDCANCEL)); });
        EXPECT_TRUE(Click(hDlg, IDC_REGUSERS_BTN_ADD));
        MessageBoxes::Answer(IDCANCEL);
        EXPECT_TRUE(Click(hDlg, IDC_REGUSERS_BTN_DEL));
        MessageBoxes::Answer(IDCANCEL);
        EXPECT_TRUE(Click(hDlg, IDC_REGUSERS_BTN_CLEAR));
        PressEscape(hDlg);
    });

    // +Name opens a scope, -Name closes it.
    const std::vector<std::string> expected = {
        "+CRegUsersDlg::InitUI",
        "+CRegUsersDlg::InitData",
        "-CRegUsersDlg::InitData",
        "-CRegUsersDlg::InitUI",
        // Modify, accepted unchanged
        "+CRegUsersDlg::OnBnClickedButtonRegModify",
        "+CRegUsersInfoDlg::SetParam",
        "-CRegUsersInfoDlg::SetParam",
        "+CRegUsersInfoDlg::SetRegInfo",
        "-CRegUsersInfoDlg::SetRegInfo",
        "+CRegUsersInfoDlg::InitUI",
        "+CRegUsersInfoDlg::OnChangeLanguage",
        "-CRegUsersInfoDlg::OnChangeLanguage",
        "+CRegUsersInfoDlg::InitData",
        "-CRegUsersInfoDlg::InitData",
        "-CRegUsersInfoDlg::InitUI",
        "+CRegUsersInfoDlg::OnOK",
        "+CRegUsersDlg::IsAccountExist",
        "-CRegUsersDlg::IsAccountExist",
        "-CRegUsersInfoDlg::OnOK",
        "+CRegUsersInfoDlg::GetRegInfo",
        "-CRegUsersInfoDlg::GetRegInfo",
        "-CRegUsersDlg::OnBnClickedButtonRegModify",
        // Add, cancelled
        "+CRegUsersDlg::OnBnClickedButtonRegAdd",
        "+CRegUsersInfoDlg::SetParam",
        "-CRegUsersInfoDlg::SetParam",
        "+CRegUsersInfoDlg::InitUI",
        "+CRegUsersInfoDlg::OnChangeLanguage",
        "-CRegUsersInfoDlg::OnChangeLanguage",
        "+CRegUsersInfoDlg::InitData",
        "-CRegUsersInfoDlg::InitData",
        "-CRegUsersInfoDlg::InitUI",
        "-CRegUsersDlg::OnBnClickedButtonRegAdd",
        // Delete and Clear, both answered with Cancel
        "+CRegUsersDlg::OnBnClickedButtonRegDel",
        "-CRegUsersDlg::OnBnClickedButtonRegDel",
        "+CRegUsersDlg::OnBnClickedButtonRegClear",
        "-CRegUsersDlg::OnBnClickedButtonRegClear",
        // Esc
        "+CRegUsersDlg::SaveData",
        "-CRegUsersDlg::SaveData",
    };

    std::vector<ScopeLine> lines = NewLines();
    std::vector<std::string> seen;
    std::vector<const ScopeLine*> open;
    for (const ScopeLine& l : lines) {
        seen.push_back((l.enter ? "+" : "-") + l.function);
        bool list = l.function.rfind("CRegUsersDlg::", 0) == 0;
        EXPECT_EQ(list ? "DlgRegUsers.cpp" : "DlgRegUsersInfo.cpp", l.file) << l.function;
        if (l.enter) {
            open.push_back(&l);
        } else if (!open.empty()) {
            EXPECT_EQ(open.back()->function, l.function) << "scopes nest";
            EXPECT_EQ(open.back()->line, l.line) << l.function << ": Leave at the Enter's line";
            open.pop_back();
        }
    }
    EXPECT_TRUE(open.empty());
    EXPECT_EQ(expected, seen);
}

} // namespace
} // namespace regtest
