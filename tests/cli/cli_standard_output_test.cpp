#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/descriptor_output.h"
#include "scopefile/file_calls.h"
#include "tests/support/cli_program.h"
#include "tests/support/cli_runner.h"
#include "tests/support/failing_file_calls.h"
#include "tests/support/protocol_signals.h"
#include "tests/support/scope_file_maker.h"
#include "tests/support/scripted_port.h"

namespace {

const std::string kUart = "uart:rx=select:baudrate=10000";

struct SpellingCase {
    std::string output;  // what --vcd is given
    std::string setup;   // shell lines before the capture
    bool decoding;
    std::string more = "";  // redirections after standard output's
};

// Standard output is the same file however it is named: with the annotations going there, no
// output may name it, before the port is read; without them, the summary keeps off it.
TEST(CliStandardOutput, AnyNameOfItIsStandardOutput) {
    const std::vector<SpellingCase> cases = {
        {"-", "", true},
        {"/dev/stdout", "", true},
        {"/dev/fd/1", "", true},
        {"/proc/self/fd/1", "", true},
        {"/proc/thread-self/fd/1", "", true},
        {"/dev/fd/3", "", true, "3>&1"},
        {"out.txt", "", true},
        {"./sub/../out.txt", "mkdir -p sub", true},
        {"hard.txt", "ln out.txt hard.txt", true},
        {"link.txt", "ln -s out.txt link.txt", true},
        {"/proc/self/fd/1", "", false},
        {"hard.txt", "ln out.txt hard.txt", false},
    };
    const std::string program = cliProgramPath();
    for (const SpellingCase& c : cases) {
        SCOPED_TRACE(c.output + (c.decoding ? " with -P" : ""));
        TempDir dir;
        const ProcessOutput run =
            runScript(program, dir.path(""),
                      ": > out.txt; " + c.setup + "\n$cli capture --simulate --size 2000 --vcd '" +
                          c.output + "'" + (c.decoding ? " -P " + kUart : "") +
                          " > out.txt 2> err.txt " + c.more + "; echo \"$?\"");
        const std::string out = readFileBytes(dir.path("out.txt"));
        const std::string err = readFileBytes(dir.path("err.txt"));
        if (c.decoding) {
            EXPECT_EQ(run.out, "2\n");
            EXPECT_EQ(out, "");
            EXPECT_NE(err.find("--vcd " + (c.output == "-" ? "/dev/stdout" : c.output) +
                               " is standard output, where the decoders' annotations go\n"),
                      std::string::npos)
                << err;
        } else {
            EXPECT_EQ(run.out, "0\n") << err;
            EXPECT_TRUE(out.starts_with("$version pinprobe-cli")) << out.substr(0, 40);
            EXPECT_EQ(out.find("samples:"), std::string::npos);
            EXPECT_NE(err.find("samples: 2000\n"), std::string::npos) << err;
        }
    }
}

struct WriteFailureCase {
    const char* name;
    std::vector<std::string> arguments;
    int error;
};

// Results that cannot get to standard output fail the command, with the system's reason; after
// the first write that failed nothing more is tried.
TEST(CliStandardOutput, AWriteThatFailsIsAFailure) {
    TempDir dir;
    const std::string recording = dir.write("rec.sco", scopeFileBytes(uartRecording("Pi", 100, 2)));
    const std::vector<WriteFailureCase> cases = {
        {"info", {"info", recording}, ENOSPC},
        {"decode", {"decode", recording, "--period", "1e-6", "-P", kUart}, EIO},
        {"decoders", {"decoders"}, EPIPE},
        {"one decoder", {"decoders", "uart"}, EBADF},
        {"help", {"capture", "--help"}, ENOSPC},
        {"version", {"--version"}, EDQUOT},
        {"capture's summary", {"capture", "--size", "3", "-P", kUart}, ENOSPC},
    };
    const int nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(nowhere, 0);
    for (const WriteFailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPortAccess ports;
        ports.lpt1.play({0x10, 0x10, 0x10});
        CliEnvironment environment;
        environment.ports = &ports;
        DescriptorBuffer buffer(nowhere);
        std::ostream out(&buffer);
        std::ostringstream err;
        FailingFileCalls calls;
        calls.failingKind = "write";
        calls.error = c.error;
        EXPECT_EQ(runCli(c.arguments, out, err, environment), 1);
        EXPECT_TRUE(err.str().ends_with(
            "pinprobe-cli: standard output: Cannot write the results: " + systemErrorText(c.error) +
            "\n"))
            << err.str();
        EXPECT_EQ(std::count(calls.calls.begin(), calls.calls.end(), "write"), 1);
    }
    close(nowhere);
}

struct TargetCase {
    const char* name;
    std::string command;
    std::string redirection;
    int status;
    std::string says;  // on standard error
};

// The real targets: a full device, a standard output the shell closed, a summary whose standard
// error is full. A command that has nothing for standard output does not mind it closed.
TEST(CliStandardOutput, FullAndClosedTargetsFailTheCommand) {
    const std::string full =
        "pinprobe-cli: standard output: Cannot write the results: No space "
        "left on device\n";
    const std::string closed =
        "pinprobe-cli: standard output: Cannot write the results: Bad "
        "file descriptor\n";
    const std::string capture = "$cli capture --simulate --size 2000";
    const std::vector<TargetCase> cases = {
        {"info, full", "$cli info rec.sco", "> /dev/full", 1, full},
        {"info, closed", "$cli info rec.sco", ">&-", 1, closed},
        {"decode, full", "$cli decode rec.sco --period 1e-6 -P " + kUart, "> /dev/full", 1, full},
        {"decoders, closed", "$cli decoders", ">&-", 1, closed},
        {"summary, full", capture + " -o x.sco", "> /dev/full", 1, full},
        {"summary, closed", capture + " -o x.sco", ">&-", 1, closed},
        {"summary on standard error, full", capture + " --vcd -", "> x.vcd 2> /dev/full", 1, ""},
        {"nothing for standard output", "$cli export rec.sco --csv -o x.csv", ">&-", 0, ""},
    };
    TempDir dir;
    dir.write("rec.sco", scopeFileBytes(uartRecording("Pi", 100, 2)));
    for (const TargetCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ProcessOutput run =
            runScript(cliProgramPath(), dir.path(""),
                      "exec 2> err.txt; " + c.command + " " + c.redirection + "; echo \"$?\"");
        EXPECT_EQ(run.out, std::to_string(c.status) + "\n");
        // A capture on a busy machine may say "Too Slow" first.
        const std::string err = readFileBytes(dir.path("err.txt"));
        EXPECT_TRUE(c.says.empty() ? err.empty() : err.ends_with(c.says)) << err;
    }
}

}  // namespace
