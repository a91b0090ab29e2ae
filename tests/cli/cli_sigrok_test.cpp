#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "core/scope_session.h"
#include "tests/support/cli_runner.h"
#include "tests/support/process_output.h"
#include "tests/support/protocol_signals.h"
#include "tests/support/scope_file_maker.h"

namespace {

// Levels that hold for 1 to 6 samples, so that glitches of one sample are in, on every channel
// and on the bits below them, which must not show.
std::string makeRecording(uint32_t count) {
    std::string samples;
    uint32_t state = 12345;
    uint8_t level = 0x5A;
    while (samples.size() < count) {
        state = state * 1103515245u + 12345u;
        const uint32_t hold = 1 + (state >> 16) % 6;
        samples.append(std::min<size_t>(hold, count - samples.size()), static_cast<char>(level));
        level ^= static_cast<uint8_t>(state >> 24) | 0x01;
    }
    return samples;
}

// sigrok-cli's CSV rows of the channels, after the "META" lines and the channel names.
std::vector<std::string> sigrokRows(const std::string& output, std::string& names) {
    std::istringstream lines(output);
    std::vector<std::string> rows;
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("META", 0) == 0) {
            continue;
        }
        if (names.empty()) {
            names = line;
        } else {
            rows.push_back(line);
        }
    }
    return rows;
}

// The VCD that pinprobe-cli writes, read back by an independent tool, gives the recording's bits
// channel by channel and sample by sample. sigrok's VCD input samples at one tick of the
// timescale, so a period of several ticks is divided back with its downsample option.
TEST(CliSigrokRoundTrip, VcdReadBackBySigrokGivesTheSameBits) {
    if (!commandAvailable("sigrok-cli")) {
        GTEST_SKIP() << "sigrok-cli is not installed (Debian package sigrok-cli)";
    }
    struct PeriodCase {
        const char* period;
        int ticksPerSample;
    };
    const std::vector<PeriodCase> cases = {{"1e-6", 1}, {"2e-6", 2}, {"0.001", 1}, {"3e-9", 3}};
    const std::string samples = makeRecording(20001);
    TempDir dir;
    const std::string recording = dir.write("rec.sco", scopeFileBytes(samples));
    for (const PeriodCase& c : cases) {
        const std::string vcd = dir.path("rec.vcd");
        ASSERT_EQ(
            runCliLine({"export", recording, "-o", vcd, "--vcd", "--period", c.period}).status, 0);
        const ProcessOutput sigrok =
            runProcess("sigrok-cli -I vcd:downsample=" + std::to_string(c.ticksPerSample) + " -i " +
                       vcd + " -O csv:header=false:dedup=false:label=channel 2>&1");
        ASSERT_EQ(sigrok.status, 0) << sigrok.out;
        std::string names;
        const std::vector<std::string> rows = sigrokRows(sigrok.out, names);
        EXPECT_EQ(names, "Error,Select,Out_Of_Paper,Acknowledge,Busy") << c.period;
        ASSERT_EQ(rows.size(), samples.size()) << c.period;
        int mismatches = 0;
        for (size_t i = 0; i < rows.size() && mismatches < 5; ++i) {
            std::string expected;
            for (int channel = 0; channel < kChannelCount; ++channel) {
                expected += (static_cast<uint8_t>(samples[i]) & kChannelBits[channel]) ? "1" : "0";
                expected += channel + 1 < kChannelCount ? "," : "";
            }
            if (rows[i] != expected) {
                ADD_FAILURE() << c.period << " sample " << i << ": sigrok " << rows[i]
                              << ", recording " << expected;
                ++mismatches;
            }
        }
    }
}

// A capture's measured period once made the VCD count picoseconds, and sigrok's reader, which
// samples once per unit, turned 5000 samples into billions. Now a sample is at most 10 units.
TEST(CliSigrokRoundTrip, VcdOfAMeasuredPeriodStaysSmallForSigrok) {
    if (!commandAvailable("sigrok-cli")) {
        GTEST_SKIP() << "sigrok-cli is not installed (Debian package sigrok-cli)";
    }
    TempDir dir;
    const std::string recording = dir.write("rec.sco", scopeFileBytes(makeRecording(5000)));
    const std::string vcd = dir.path("rec.vcd");
    ASSERT_EQ(
        runCliLine({"export", recording, "-o", vcd, "--vcd", "--period", "1.163912e-6"}).status, 0);
    const ProcessOutput rows = runProcess(
        "sigrok-cli -i " + vcd + " -O csv:header=false:dedup=false 2>&1 | grep -vc '^META'");
    const long count = std::stol(rows.out);
    EXPECT_GE(count, 5000);
    EXPECT_LE(count, 50000);
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        result.push_back(line);
    }
    return result;
}

// The same recordings decoded here and by sigrok-cli from the sigrok session we write give the
// same annotations, sample numbers included.
TEST(CliSigrokRoundTrip, SessionDecodedBySigrokCliGivesTheSameAnnotations) {
    if (!commandAvailable("sigrok-cli")) {
        GTEST_SKIP() << "sigrok-cli is not installed (Debian package sigrok-cli)";
    }
    struct DecodeCase {
        std::string samples;
        const char* period;
        std::string ours;    // -P with our channel names
        std::string theirs;  // -P with the session's channel names
    };
    const std::vector<DecodeCase> cases = {
        {uartRecording("Pinprobe", 100, 2), "1e-6", "uart:rx=select:baudrate=10000",
         "uart:rx=Select:baudrate=10000"},
        {uartRecording("Pinprobe", 8, 4), "1.0850694444444445e-06", "uart:rx=ack:baudrate=115200",
         "uart:rx=Acknowledge:baudrate=115200"},
        {i2cRecording(0x50, {0x12, 0xA5}, {0x3C, 0x7E}, 10), "1e-6", "i2c:scl=error:sda=select",
         "i2c:scl=Error:sda=Select"},
        {spiRecording(0, {0xA5, 0x3C}, {0x5A, 0xC3}, 5), "1e-6", "spi:clk=1:mosi=2:miso=3:cs=4",
         "spi:clk=Error:mosi=Select:miso=Out_Of_Paper:cs=Acknowledge"},
        {spiRecording(3, {0xA5, 0x3C}, {0x5A, 0xC3}, 5), "1e-6",
         "spi:clk=1:mosi=2:miso=3:cs=4:cpol=1:cpha=1",
         "spi:clk=Error:mosi=Select:miso=Out_Of_Paper:cs=Acknowledge:cpol=1:cpha=1"},
    };
    TempDir dir;
    for (const DecodeCase& c : cases) {
        const std::string recording = dir.write("rec.sco", scopeFileBytes(c.samples));
        const std::string session = dir.path("rec.sr");
        ASSERT_EQ(
            runCliLine({"export", recording, "--format", "sr", "-o", session, "--period", c.period})
                .status,
            0);
        const CliRun ours =
            runCliLine({"decode", recording, "-P", c.ours, "--samplenum", "--period", c.period});
        ASSERT_EQ(ours.status, 0) << ours.err;
        const ProcessOutput theirs = runProcess("sigrok-cli -i " + session + " -P " + c.theirs +
                                                " --protocol-decoder-samplenum 2>&1");
        ASSERT_EQ(theirs.status, 0) << theirs.out;
        EXPECT_GT(lines(ours.out).size(), 10u) << c.ours;
        EXPECT_EQ(lines(ours.out), lines(theirs.out)) << c.ours;
    }
}

TEST(CliSigrokRoundTrip, SigrokCliOpensTheSessionAsItIs) {
    if (!commandAvailable("sigrok-cli")) {
        GTEST_SKIP() << "sigrok-cli is not installed (Debian package sigrok-cli)";
    }
    TempDir dir;
    const std::string samples = makeRecording(3001);
    const std::string recording = dir.write("rec.sco", scopeFileBytes(samples));
    const std::string session = dir.path("rec.sr");
    ASSERT_EQ(
        runCliLine({"export", recording, "--format=sr", "-o", session, "--period", "2e-6"}).status,
        0);
    const ProcessOutput show = runProcess("sigrok-cli -i " + session + " --show 2>&1");
    EXPECT_EQ(show.out,
              "Samplerate: 500000\nChannels: 5\n- Error: logic\n- Select: logic\n"
              "- Out_Of_Paper: logic\n- Acknowledge: logic\n- Busy: logic\n"
              "Logic unitsize: 1\nLogic sample count: 3001\n");
    const ProcessOutput csv =
        runProcess("sigrok-cli -i " + session + " -O csv:header=false:dedup=false:time=false 2>&1");
    std::string names;
    const std::vector<std::string> rows = sigrokRows(csv.out, names);
    ASSERT_EQ(rows.size(), samples.size());
    for (size_t i = 0; i < rows.size(); i += 97) {
        std::string expected;
        for (int channel = 0; channel < kChannelCount; ++channel) {
            expected += (static_cast<uint8_t>(samples[i]) & kChannelBits[channel]) ? "1" : "0";
            expected += channel + 1 < kChannelCount ? "," : "";
        }
        EXPECT_EQ(rows[i], expected) << i;
    }
}

}  // namespace
