#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/cli_runner.h"
#include "tests/support/process_output.h"
#include "tests/support/scope_file_maker.h"

namespace {

// The program beside this test's build: tests/NAME -> cli/pinprobe-cli.
std::string programPath() {
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    return (self.parent_path().parent_path() / "cli" / "pinprobe-cli").string();
}

class CliBinaryTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(program)) {
            GTEST_SKIP() << program << " is not built";
        }
    }
    const std::string program = programPath();
};

TEST_F(CliBinaryTest, LinksNoQt) {
    const ProcessOutput libraries = runProcess("ldd " + program);
    ASSERT_EQ(libraries.status, 0);
    EXPECT_NE(libraries.out.find("libc.so"), std::string::npos);
    EXPECT_EQ(libraries.out.find("libQt"), std::string::npos) << libraries.out;
}

TEST_F(CliBinaryTest, ExitStatusesAndOutputOfTheProcess) {
    TempDir dir;
    const std::string recording = dir.write("rec.sco", scopeFileBytes("\x08\x10\x18\x90"));
    struct ProcessCase {
        std::vector<std::string> arguments;
        int status;
    };
    const std::vector<ProcessCase> cases = {
        {{"export", recording, "-o", "-", "--csv"}, 0},
        {{"info", recording}, 0},
        {{"info", dir.path("missing.sco")}, 1},
        {{"export", recording, "-o", "-"}, 2},
        {{}, 2},
    };
    for (const ProcessCase& c : cases) {
        std::string command = program;
        for (const std::string& argument : c.arguments) {
            command += " '" + argument + "'";
        }
        const ProcessOutput process = runProcess(command + " 2>/dev/null");
        const CliRun inProcess = runCliLine(c.arguments);
        EXPECT_EQ(process.status, c.status) << command;
        EXPECT_EQ(inProcess.status, c.status) << command;
        EXPECT_EQ(process.out, inProcess.out) << command;
    }
}

// An export whose reader went away stops and says so: a closed pipe, not a full disk.
TEST_F(CliBinaryTest, AClosedPipeIsReportedAsOne) {
    TempDir dir;
    const std::string recording =
        dir.write("long.sco", scopeFileBytes(std::string(200000, '\x08')));
    const std::string status = dir.path("status");
    const std::string err = dir.path("err");
    runProcess("(" + program + " export '" + recording + "' -o - --csv 2>'" + err +
               "'; echo $? >'" + status + "') | head -c 1 >/dev/null");
    EXPECT_EQ(readFileBytes(status), "1\n");
    EXPECT_EQ(readFileBytes(err),
              "pinprobe-cli: standard output: Cannot write the export: Broken pipe\n");
}

}  // namespace
