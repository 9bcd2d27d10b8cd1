// The runs that ctest starts: every bad-input case runs in a host folder of
// its own, where a crash or a hang ends only that run and is reported here,
// and where no upgrade program, ini file or log of other tests is touched.
#include "Sandbox.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

void RunInOwnFolder(const std::wstring& folder, const std::wstring& filter,
                    const std::vector<std::wstring>& extraFiles) {
    if (InSandbox())
        GTEST_SKIP() << "already in a host folder of its own";
    Sandbox box(folder);
    ASSERT_TRUE(box.Prepare(extraFiles));
    std::string output;
    const int code = box.Run(filter, 120000, &output);
    printf("%s", output.c_str());
    fflush(stdout);
    EXPECT_NE(-1, code) << "the run hung and was stopped";
    EXPECT_EQ(0, code) << "the run failed or crashed";
    EXPECT_NE(std::string::npos, output.find("[  PASSED  ]"));
    EXPECT_EQ(std::string::npos, output.find("[  SKIPPED ]")) << "every case ran";
    EXPECT_EQ(std::string::npos, output.find("[  FAILED  ]"));
}

TEST(BadInputRun, InItsOwnHostFolder) {
    RunInOwnFolder(L"badinput", L"*-BadInputRun.*:AnsiText.*:ForeignFolder.*", {});
}

TEST(BadInputRun, TextsOutsideTheCodePage) {
    RunInOwnFolder(L"badinput-ansi", L"AnsiText.*", {L"upgrade.exe"});
}

// Cyrillic and Chinese letters: outside code page 1252.
TEST(BadInputRun, HostFolderNamedOutsideTheCodePage) {
    RunInOwnFolder(L"badinput-\u0416\u0436\u4e2d\u6587", L"ForeignFolder.*", {L"upgrade.exe"});
}

// Accented Latin letters: not ASCII, but in code page 1252.
TEST(BadInputRun, HostFolderNamedInTheCodePage) {
    RunInOwnFolder(L"badinput-caf\u00e9-\u00f1", L"ForeignFolder.*", {L"upgrade.exe"});
}

} // namespace
