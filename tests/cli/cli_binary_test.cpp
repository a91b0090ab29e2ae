#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/child_program.h"
#include "tests/support/cli_program.h"
#include "tests/support/cli_runner.h"
#include "tests/support/process_output.h"
#include "tests/support/scope_file_maker.h"

namespace {

class CliBinaryTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(program)) {
            GTEST_SKIP() << program << " is not built";
        }
    }
    const std::string program = cliProgramPath();
};

// No Qt; and the decoder library (its Python and glib), libzip and sd-bus (with its crypto and
// compression libraries) are loaded only to decode, to write a sigrok session and to ask
// RealtimeKit, so a start that does none of them pays nothing for them.
TEST_F(CliBinaryTest, LinksNoQtNorTheLibrariesOnlySomeCommandsNeed) {
    const ProcessOutput libraries = runProcess("ldd " + program);
    ASSERT_EQ(libraries.status, 0);
    EXPECT_NE(libraries.out.find("libc.so"), std::string::npos);
    for (const char* library : {"libQt", "libsigrokdecode", "libpython", "libglib", "libzip",
                                "libsystemd", "libgcrypt"}) {
        EXPECT_EQ(libraries.out.find(library), std::string::npos) << library << libraries.out;
    }
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

// The shell's redirections hold: an output named by its descriptor goes where the shell sent
// it, appended where the shell appends, into a pipe or a process substitution.
TEST_F(CliBinaryTest, ADescriptorNameWritesWhereTheShellSentIt) {
    TempDir dir;
    dir.write("c.sco", scopeFileBytes("\x08\x10\x18\x90"));
    const std::string csv = runCliLine({"export", dir.path("c.sco"), "--csv", "-o", "-"}).out;
    const std::string vcd = runCliLine({"export", dir.path("c.sco"), "--vcd", "-o", "-"}).out;
    ASSERT_FALSE(csv.empty());
    const ProcessOutput appended = runScript(program, dir.path(""), R"sh(
        printf 'LINE1\n' > log
        { echo BEFORE; $cli export c.sco --csv -o /dev/stdout; echo AFTER; } >> log
        cat log)sh");
    EXPECT_EQ(appended.out, "LINE1\nBEFORE\n" + csv + "AFTER\n");
    const ProcessOutput substituted = runScript(program, dir.path(""), R"sh(
        $cli export c.sco --vcd -o >(gzip > x.gz) && wait $! && gzip -dc x.gz)sh");
    EXPECT_EQ(substituted.status, 0);
    EXPECT_EQ(substituted.out, vcd);
    const ProcessOutput piped = runScript(program, dir.path(""), R"sh(
        $cli capture --simulate --size 2000 --vcd /dev/stdout 2>/dev/null | head -n 1)sh");
    EXPECT_EQ(piped.out.rfind("$version pinprobe-cli", 0), 0u) << piped.out;
    // The summary keeps off a file on standard output.
    const ProcessOutput summary = runScript(program, dir.path(""), R"sh(
        $cli capture --simulate --size 2000 --vcd - > out.vcd 2> err || exit 1
        head -c 8 out.vcd; echo; grep -c samples: out.vcd; grep '^samples:' err)sh");
    EXPECT_EQ(summary.out, "$version\n0\nsamples: 2000\n");
}

// A FIFO gets a whole scope file while something reads it; without a reader the capture says
// so at once, unless it was asked to wait (its reader comes once it waits in the open).
TEST_F(CliBinaryTest, AFifoGetsAWholeScopeFileAndNeverHangs) {
    TempDir dir;
    // The shell holds the reading end while the capture writes: the file fits the pipe.
    const ProcessOutput fifo = runScript(program, dir.path(""), R"sh(
        exec 2>&1
        mkfifo fifo
        timeout 20 $cli capture --simulate --size 1001 -o fifo; echo "status $?"
        exec 3<>fifo
        $cli capture --simulate --size 1001 -o fifo > /dev/null 2>&1; echo "status $?"
        timeout 5 head -c 1022 <&3 > read.sco; exec 3<&-
        $cli info read.sco | head -n 1
        $cli capture --simulate --size 1002 -o fifo --wait-for-reader > /dev/null 2>&1 &
        writer=$! waits=0
        until grep -qE 'wait_for_partner|fifo_open' /proc/$writer/wchan 2>/dev/null ||
              ! grep -qE '^State:\s+[RSD]' /proc/$writer/status 2>/dev/null ||
              [ $((waits += 1)) -gt 2000 ]; do sleep 0.01; done
        timeout 20 cat fifo > read.sco; wait $writer
        echo "status $?"; $cli info read.sco | head -n 1)sh");
    EXPECT_EQ(fifo.out,
              "pinprobe-cli: fifo: Cannot open file. Nothing reads this FIFO. (1100)\n"
              "status 1\nstatus 0\nsamples: 1001\nstatus 0\nsamples: 1002\n");
}

// Whether `child` has taken `signal`, sent to it: the signal waits no longer (it was handled,
// or ignored and never waited), or the child has ended.
bool signalTaken(pid_t child, int signal) {
    std::ifstream status("/proc/" + std::to_string(child) + "/status");
    const unsigned long long bit = 1ULL << (signal - 1);
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("State:") && line.find('Z') != std::string::npos) {
            return true;
        }
        if (line.starts_with("ShdPnd:") && (std::stoull(line.substr(7), nullptr, 16) & bit) != 0) {
            return false;
        }
    }
    return true;
}

// Sends `signal` to `child` and waits until it was taken, so that the next one comes after it.
bool sendAndWaitTaken(pid_t child, int signal) {
    kill(child, signal);
    for (int wait = 0; wait < 20000; ++wait) {
        if (signalTaken(child, signal)) {
            return true;
        }
        usleep(1000);
    }
    return false;
}

// Sends `signal` to `child` until it ends (two presses that come together count once); its
// status, or -1 when it did not end within the wait limit.
int signalUntilEnded(pid_t child, int signal) {
    for (int wait = 0; wait < 20000; ++wait) {
        kill(child, signal);
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            return status;
        }
        usleep(1000);
    }
    return -1;
}

// SIGINT twice, SIGTERM or SIGHUP while a capture or an export writes: the temporary goes, the
// old file stays, and the program ends as the signal ends it (the shell sees 128 + signal). A
// capture started under nohup goes on through a hang-up: the next signal is the one that ends it.
TEST_F(CliBinaryTest, SignalsLeaveNothingBehind) {
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        std::vector<int> signals;  // in turn, once each, each taken before the next
        int repeated;              // then sent again and again until the program ends; or 0
        bool underNohup;
        int endsBy;  // the signal that ends the program
    };
    const std::string many = "50000000";
    const std::vector<Case> cases = {
        {"fastest capture, Ctrl+C until it ends",
         {"capture", "--simulate", "--size", many, "-o", "old.sco"},
         {},
         SIGINT,
         false,
         SIGINT},
        {"fast capture",
         {"capture", "--simulate", "--speed", "fast", "--size", many, "-o", "old.sco"},
         {SIGTERM},
         0,
         false,
         SIGTERM},
        {"slow capture",
         {"capture", "--simulate", "--speed", "slow", "--size", many, "-o", "old.sco"},
         {SIGHUP},
         0,
         false,
         SIGHUP},
        {"slow capture under nohup: a hang-up, then SIGTERM",
         {"capture", "--simulate", "--speed", "slow", "--size", many, "-o", "old.sco"},
         {SIGHUP, SIGTERM},
         0,
         true,
         SIGTERM},
        {"export", {"export", "big.sco", "--csv", "-o", "old.sco"}, {SIGTERM}, 0, false, SIGTERM},
        {"export, Ctrl+C",
         {"export", "big.sco", "--csv", "-o", "old.sco"},
         {SIGINT},
         0,
         false,
         SIGINT},
    };
    TempDir dir;
    dir.write("big.sco", scopeFileBytes(std::string(2000000, '\x08')));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string old = dir.write("old.sco", "the old file");
        const pid_t child =
            startChild(program, c.arguments, dir.path(""), "/dev/null",
                       c.underNohup ? std::vector<int>{SIGHUP} : std::vector<int>{});
        ASSERT_GT(child, 0);
        ASSERT_TRUE(waitUntil([&] { return temporariesIn(dir.path("")) > 0; }));
        for (const int signal : c.signals) {
            ASSERT_TRUE(sendAndWaitTaken(child, signal));
        }
        int status = -1;
        if (c.repeated != 0) {
            status = signalUntilEnded(child, c.repeated);
        } else {
            ASSERT_EQ(waitpid(child, &status, 0), child);
        }
        ASSERT_NE(status, -1) << "still running";
        EXPECT_TRUE((WIFSIGNALED(status) && WTERMSIG(status) == c.endsBy) ||
                    (WIFEXITED(status) && WEXITSTATUS(status) == 128 + c.endsBy))
            << status;
        EXPECT_EQ(readFileBytes(old), "the old file");
        EXPECT_EQ(temporariesIn(dir.path("")), 0);
    }
}

TEST_F(CliBinaryTest, WithoutAPortTheReportSaysToRunTheCommandAgain) {
    TempDir dir;
    const ProcessOutput run = runScript(program, dir.path(""), R"sh(
        $cli capture -o x.sco --port /dev/parport9 2>&1; echo "status $?")sh");
    EXPECT_NE(run.out.find("could not be opened, so it reads 0xFF; run the command again."),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("status 3"), std::string::npos);
}

}  // namespace
