#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "core/scope_session.h"
#include "tests/support/cli_runner.h"
#include "tests/support/process_output.h"
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
    const std::vector<PeriodCase> cases = {{"1e-6", 1}, {"2.5e-6", 25}, {"0.001", 1}, {"3e-9", 3}};
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

}  // namespace
