#include <gtest/gtest.h>
#include <sys/wait.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/child_program.h"
#include "tests/support/cli_program.h"
#include "tests/support/scope_file_maker.h"
#include "tests/support/test_decoder.h"

namespace {

struct SignalCase {
    int signal;
    std::vector<int> ignored;  // by whoever started the program
    bool ends;                 // else the export runs to its end
};

// Whatever signal ends the program, it ends as that signal does (the shell sees 128 + N) with
// its temporary removed and the old file as it was; a signal it was started ignoring (nohup)
// or that it ignores itself (SIGPIPE: a closed pipe is a failed write, said as such) leaves it
// to finish its work.
TEST(CliSignals, EveryEndingSignalLeavesNoTemporary) {
    const std::vector<SignalCase> cases = {
        {SIGQUIT, {}, true}, {SIGUSR1, {}, true},   {SIGUSR2, {}, true},
        {SIGALRM, {}, true}, {SIGVTALRM, {}, true}, {SIGPROF, {}, true},
        {SIGXCPU, {}, true}, {SIGXFSZ, {}, true},   {SIGIO, {}, true},
        {SIGPWR, {}, true},  {SIGRTMIN, {}, true},  {SIGRTMAX, {}, true},
        {SIGTERM, {}, true}, {SIGPIPE, {}, false},  {SIGHUP, {SIGHUP}, false},
    };
    TempDir dir;
    const std::string big = dir.write("big.sco", scopeFileBytes(std::string(2000000, '\x08')));
    for (const SignalCase& c : cases) {
        SCOPED_TRACE(sigabbrev_np(c.signal) != nullptr ? sigabbrev_np(c.signal) : "RT");
        const std::string old = dir.write("old.csv", "the old file");
        const pid_t child = startChild(cliProgramPath(), {"export", big, "--csv", "-o", old},
                                       dir.path(""), "/dev/null", c.ignored);
        ASSERT_GT(child, 0);
        ASSERT_TRUE(waitUntil([&] { return temporariesIn(dir.path("")) > 0; }));
        kill(child, c.signal);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        if (c.ends) {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << status;
            EXPECT_EQ(readFileBytes(old), "the old file");
        } else {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
            EXPECT_TRUE(readFileBytes(old).starts_with("sample,seconds,"));
        }
        EXPECT_EQ(temporariesIn(dir.path("")), 0);
    }
}

// The capture's summary is out before the decoders start: Ctrl+C during a long decode keeps it.
TEST(CliSignals, TheSummaryIsOutBeforeADecoderRuns) {
    TempDir dir;
    // A decoder that never ends, so that the capture can be ended while it decodes.
    writeTestDecoder(dir.path("decoders"), "endless",
                     "        while True:\n            time.sleep(0.01)\n");
    setenv("SIGROKDECODE_DIR", dir.path("decoders").c_str(), 1);
    const std::string out = dir.path("out.txt");
    const pid_t child = startChild(
        cliProgramPath(),
        {"capture", "--simulate", "--size", "2000", "-o", "c.sco", "-P", "endless:data=1"},
        dir.path(""), out);
    unsetenv("SIGROKDECODE_DIR");
    ASSERT_GT(child, 0);
    EXPECT_TRUE(
        waitUntil([&] { return readFileBytes(out).find("\nport: ") != std::string::npos; }));
    kill(child, SIGINT);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    EXPECT_TRUE(readFileBytes(out).starts_with("samples: 2000\n"));
    // The samples, and after them their times.
    const std::string file = readFileBytes(dir.path("c.sco"));
    EXPECT_EQ(file.substr(12, 8), "data" + le32(2000));
    EXPECT_EQ(file.substr(20 + 2000, 4), "tbas");
}

}  // namespace
