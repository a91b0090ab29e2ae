#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/cli_runner.h"
#include "tests/support/scope_file_maker.h"
#include "tests/support/scripted_port.h"

namespace {

// Captures at the fast and slow speeds on the real sampling worker, with Ctrl+C sent from the
// worker's own read, so that it lands at a known sample.
class CliWorkerCaptureTest : public ::testing::Test {
protected:
    CliRun capture(std::vector<std::string> options) { return capture(ports, std::move(options)); }
    CliRun capture(ScriptedPortAccess& from, std::vector<std::string> options) {
        CliEnvironment environment;
        environment.ports = &from;
        std::vector<std::string> arguments{"capture", "-o", path};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return runCliLine(arguments, environment);
    }

    ScriptedPortAccess ports;
    TempDir dir;
    const std::string path = dir.path("worker.sco");
};

TEST_F(CliWorkerCaptureTest, KeepsOneSampleLessThanTheSizeAtBothSpeeds) {
    for (const char* speed : {"fast", "slow"}) {
        ScriptedPortAccess fresh;
        fresh.lpt1.play({0x08, 0x08, 0x08, 0x10, 0x10, 0x10});
        const CliRun run = capture(fresh, {"--speed", speed, "--size", "6"});
        EXPECT_EQ(run.status, 0) << speed << run.err;
        EXPECT_EQ(samplesPart(readFileBytes(path)), scopeFileBytes("\x08\x08\x08\x10\x10"))
            << speed;
        EXPECT_EQ(run.out.rfind("samples: 5\n", 0), 0u) << speed;
    }
}

TEST_F(CliWorkerCaptureTest, CtrlCIsBreakAndWhatWasCapturedIsWritten) {
    ports.lpt1.play({0x08, 0x10, 0x18, 0x20, 0x28, 0x30, 0x38});
    // Stored as sample number 4: the two before the one stored last are kept.
    ports.lpt1.onRead(3, [] { std::raise(SIGINT); });
    const CliRun run = capture({"--speed", "fast", "--size", "5000"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(samplesPart(readFileBytes(path)), scopeFileBytes("\x08\x10"));
    EXPECT_EQ(run.out.rfind("samples: 2\n", 0), 0u);
}

// Break does not end the trigger wait; once the trigger comes, one sample is stored and none kept.
TEST_F(CliWorkerCaptureTest, CtrlCDuringTheTriggerWaitKeepsNothingOnceTheTriggerComes) {
    ports.lpt1.play({0x08, 0x08, 0x08, 0x08, 0x08, 0x00, 0x00});
    ports.lpt1.onRead(4, [] { std::raise(SIGINT); });
    const CliRun run = capture({"--speed", "slow", "--trigger", "1"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(path + ": not written: the capture kept no samples\n"),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(run.out, "");
}

TEST_F(CliWorkerCaptureTest, SecondCtrlCAbandonsATriggerWaitThatNeverEnds) {
    ports.lpt1.play({0x08});
    ports.lpt1.onRead(10, [] {
        std::raise(SIGINT);
        std::raise(SIGINT);
    });
    const CliRun run = capture({"--speed", "fast", "--trigger", "1,2,3,4,5"});
    EXPECT_EQ(run.status, 130);
    EXPECT_NE(run.err.find("capture abandoned: " + path + " not written\n"), std::string::npos)
        << run.err;
    EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
