#include <gtest/gtest.h>
#include <sys/wait.h>

#include <csignal>
#include <string>
#include <vector>

#include "core/scope_session.h"
#include "scopefile/recording_times.h"
#include "scopefile/scope_file.h"
#include "tests/support/child_program.h"
#include "tests/support/cli_program.h"
#include "tests/support/cli_runner.h"
#include "tests/support/protocol_signals.h"
#include "tests/support/scope_file_maker.h"
#include "tests/support/time_base_maker.h"

namespace {

// Scope files that keep their times, made as Save makes them.
class CliTimesTest : public ::testing::Test {
protected:
    // `samples` taken `periodNs` apart, with the stalls given.
    std::string timedFile(const std::string& name, const std::string& samples, uint64_t periodNs,
                          const std::vector<Stall>& stalls = {}) {
        TimeBase timeBase;
        makeTimeBase(timeBase, static_cast<uint32_t>(samples.size()), periodNs, stalls, 16);
        RecordingTimes times;
        times.timeBase = timeBase.valuesFor(0, static_cast<uint32_t>(samples.size()));
        const std::string path = dir.path(name);
        EXPECT_TRUE(writeScopeFile([](int) {}, path,
                                   reinterpret_cast<const uint8_t*>(samples.data()),
                                   static_cast<uint32_t>(samples.size()), &times));
        return path;
    }

    TempDir dir;
};

TEST_F(CliTimesTest, DecodeTakesTheFilesTimeWithoutAPeriod) {
    const std::string uart = uartRecording("Pi", 100, 2);
    const std::string timed = timedFile("timed.sco", uart, 1000);
    const CliRun run =
        runCliLine({"decode", timed, "-P", "uart:rx=select:baudrate=10000", "-A", "uart=rx-data"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "uart-1: 50\nuart-1: 69\n");
    EXPECT_EQ(run.err, "");

    // Given, --period wins: at half the time a bit lasts 200 samples, which 10000 baud misreads.
    const CliRun overridden = runCliLine({"decode", timed, "-P", "uart:rx=select:baudrate=10000",
                                          "-A", "uart=rx-data", "--period", "5e-7"});
    EXPECT_EQ(overridden.status, 0) << overridden.err;
    EXPECT_NE(overridden.out, run.out);
}

TEST_F(CliTimesTest, ExportTakesTheFilesTimeWithoutAPeriod) {
    const std::string samples(40, '\x08');
    const std::string timed = timedFile("timed.sco", samples, 2000);
    const std::string plain = dir.write("plain.sco", scopeFileBytes(samples));
    const CliRun fromTimes = runCliLine({"export", timed, "--csv", "-o", "-"});
    const CliRun fromPeriod = runCliLine({"export", plain, "--csv", "-o", "-", "--period", "2e-6"});
    EXPECT_EQ(fromTimes.status, 0) << fromTimes.err;
    EXPECT_EQ(fromTimes.out, fromPeriod.out);
    EXPECT_NE(fromTimes.out, runCliLine({"export", plain, "--csv", "-o", "-"}).out);
}

TEST_F(CliTimesTest, InfoTellsTheFilesPaceAndGaps) {
    const std::string timed =
        timedFile("timed.sco", std::string(4000, '\x08'), 1000, {{2000, 500'000}});
    const CliRun run = runCliLine({"info", timed});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\nrate: "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\ngaps: 1, the longest "), std::string::npos) << run.out;

    const CliRun plain = runCliLine({"info", dir.write("plain.sco", scopeFileBytes("abc"))});
    EXPECT_EQ(plain.out.find("rate: "), std::string::npos) << plain.out;
}

TEST_F(CliTimesTest, TimesThatCannotBeReadAreANoteNotAFailure) {
    const std::string path = dir.write(
        "odd.sco", riffForm("SCOP", chunk("data", "abc") + chunk("tbas", le32(9) + "rest")));
    const CliRun run = runCliLine({"info", path});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "pinprobe-cli: note: " + path +
                           ": Loaded with sample numbers only: the file's time base is of "
                           "version 9, which this version of Pinprobe does not know.\n");
    EXPECT_TRUE(run.out.starts_with("samples: 3\n"));
}

// A capture's file comes back with its times: info tells its pace, decode needs no period.
TEST_F(CliTimesTest, ACapturedFileKeepsItsTimes) {
    const CliRun capture =
        runCliLine({"capture", "--simulate", "--size", "3000", "-o", dir.path("c.sco")});
    ASSERT_EQ(capture.status, 0) << capture.err;
    const std::string file = readFileBytes(dir.path("c.sco"));
    ASSERT_GT(file.size(), 24u);
    EXPECT_EQ(file.substr(12, 4), "data");
    const auto count =
        static_cast<uint32_t>(static_cast<uint8_t>(file[16]) | static_cast<uint8_t>(file[17]) << 8);
    EXPECT_GE(count, 2999u);
    EXPECT_EQ(file.substr(20 + count + (count & 1), 4), "tbas");
    const CliRun info = runCliLine({"info", dir.path("c.sco")});
    EXPECT_NE(info.out.find("\nrate: "), std::string::npos) << info.out;
    const CliRun decode =
        runCliLine({"decode", dir.path("c.sco"), "-P", "uart:rx=2:baudrate=9600"});
    EXPECT_EQ(decode.status, 0) << decode.err;
}

// Annotations are out as they come: Ctrl+C during a long decode keeps those printed.
TEST_F(CliTimesTest, CtrlCDuringADecodeKeepsWhatWasPrinted) {
    const std::string uart = uartRecording(std::string(3000, 'U'), 100, 2);
    const std::string timed = timedFile("long.sco", uart, 1000);
    const std::string out = dir.path("out.txt");
    const pid_t child =
        startChild(cliProgramPath(), {"decode", timed, "-P", "uart:rx=select:baudrate=10000"},
                   dir.path(""), out);
    ASSERT_GT(child, 0);
    EXPECT_TRUE(waitUntil([&] { return readFileBytes(out).find('\n') != std::string::npos; }));
    int status = 0;
    EXPECT_EQ(waitpid(child, &status, WNOHANG), 0) << "the first lines came only at the end";
    kill(child, SIGINT);
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    EXPECT_TRUE(readFileBytes(out).starts_with("uart-1: Start bit\n"));
}

}  // namespace
