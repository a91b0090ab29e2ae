#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "capture/port_access_factory.h"
#include "capture/simulated_probe.h"
#include "core/scope_session.h"

namespace {

constexpr uint64_t kMicrosecond = 1000;
constexpr uint64_t kMillisecond = 1000 * kMicrosecond;

bool levelOf(int channel, uint64_t timeNs) {
    return (levelsAt(timeNs) & kChannelBits[channel - 1]) != 0;
}

// The whole microseconds in [from, to) at which `bits` of the probe's byte change.
std::vector<uint64_t> edgesOf(uint8_t bits, uint64_t from, uint64_t to) {
    std::vector<uint64_t> edges;
    for (uint64_t t = from + kMicrosecond; t < to; t += kMicrosecond) {
        if (((levelsAt(t) ^ levelsAt(t - kMicrosecond)) & bits) != 0) {
            edges.push_back(t);
        }
    }
    return edges;
}

TEST(SimulatedProbe, EachReadSamplesItsStartAndTakesOneMicrosecond) {
    constexpr uint64_t kStart = 5'000'000'000;
    for (const uint64_t delay : {uint64_t{0}, uint64_t{1500}}) {
        VirtualProbeClock clock(kStart);
        SimulatedProbe probe(clock);
        for (uint64_t i = 0; i < 3000; ++i) {
            clock.advance(delay);
            const uint64_t readStart = i * (kProbeReadNanoseconds + delay) + delay;
            ASSERT_EQ(probe.port(1).read(), levelsAt(readStart)) << delay << " read " << i;
            ASSERT_EQ(clock.nowNanoseconds(), kStart + readStart + kProbeReadNanoseconds);
        }
    }
}

TEST(SimulatedProbe, IsWhatTheFactoryGivesOnlyWhenSimulating) {
    const std::unique_ptr<PortAccess> simulated = makePortAccess(true);
    EXPECT_TRUE(simulated->wantsQuietSection()) << "sampled as a port is";
    VirtualProbeClock clock;
    EXPECT_FALSE(SimulatedProbe(clock).wantsQuietSection()) << "not on a test's time";
    EXPECT_EQ(simulated->port(2).read() & 0x07, 0x07);
    EXPECT_TRUE(simulated->takeReports().empty());
    EXPECT_TRUE(makePortAccess(false)->wantsQuietSection());
}

// Edges of the first millisecond: the clock every 50 µs, the burst's three 5 µs pulses after the
// clock's falling edge at 50 µs.
TEST(ProbeSignals, ClockAndBurstsChangeWhereTheyShould) {
    std::vector<uint64_t> clock, burst;
    for (uint64_t i = 1; i < 20; ++i) {
        clock.push_back(i * 50 * kMicrosecond);
    }
    for (uint64_t i = 0; i < 6; ++i) {
        burst.push_back((60 + 5 * i) * kMicrosecond);
    }
    EXPECT_EQ(edgesOf(kChannelBits[0], 0, kMillisecond), clock);
    EXPECT_EQ(edgesOf(kChannelBits[4], 0, kMillisecond), burst);
    EXPECT_EQ(edgesOf(kChannelBits[4], 3 * kMillisecond, 4 * kMillisecond).size(), 6u);
    EXPECT_TRUE(levelOf(5, 62 * kMicrosecond));
    EXPECT_EQ(edgesOf(0x07, 0, 40 * kMillisecond).size(), 0u);
}

// Decodes the text line as a 10 kbaud 8N1 receiver would, inside one low stretch of the framing
// line.
TEST(ProbeSignals, SerialLineCarriesTheMessageInsideTheFrame) {
    constexpr uint64_t kBit = 100 * kMicrosecond;
    const std::vector<uint64_t> frame = edgesOf(kChannelBits[2], 0, 25 * kMillisecond);
    ASSERT_GE(frame.size(), 3u);
    const size_t fall = levelOf(3, frame[0]) ? 1 : 0;
    std::string text;
    for (uint64_t t = frame[fall]; t < frame[fall + 1]; t += kMicrosecond) {
        if (levelOf(2, t)) {
            continue;
        }
        unsigned character = 0;
        for (unsigned bit = 0; bit < 8; ++bit) {
            character |= (levelOf(2, t + kBit / 2 + (bit + 1) * kBit) ? 1u : 0u) << bit;
        }
        ASSERT_TRUE(levelOf(2, t + kBit / 2 + 9 * kBit)) << "stop bit after " << text;
        text.push_back(static_cast<char>(character));
        t += kBit / 2 + 9 * kBit;
    }
    EXPECT_EQ(text, "Pinprobe");
}

TEST(ProbeSignals, PwmDutyMovesSlowlyBetweenTenAndNinetyPercent) {
    std::vector<uint64_t> rises;
    for (const uint64_t edge : edgesOf(kChannelBits[3], 0, 40 * kMillisecond)) {
        if (levelOf(4, edge)) {
            rises.push_back(edge);
        }
    }
    ASSERT_GE(rises.size(), 34u);
    std::vector<int> tenths;
    for (size_t i = 0; i + 1 < rises.size(); ++i) {
        ASSERT_EQ(rises[i + 1] - rises[i], kMillisecond);
        const std::vector<uint64_t> fall = edgesOf(kChannelBits[3], rises[i], rises[i + 1]);
        ASSERT_EQ(fall.size(), 1u);
        tenths.push_back(static_cast<int>((fall[0] - rises[i]) / (100 * kMicrosecond)));
    }
    for (size_t i = 0; i + 1 < tenths.size(); ++i) {
        EXPECT_LE(std::abs(tenths[i + 1] - tenths[i]), 1) << "period " << i;
    }
    EXPECT_EQ(*std::min_element(tenths.begin(), tenths.end()), 1);
    EXPECT_EQ(*std::max_element(tenths.begin(), tenths.end()), 9);
}

// The picture repeats every 160 ms. No two changes of the byte, on whatever channels, come closer
// than 5 µs, so reading every microsecond keeps every level for five samples at least.
TEST(ProbeSignals, ChangesOfTheWholeByteAreAtLeastFiveMicrosecondsApart) {
    const std::vector<uint64_t> edges = edgesOf(0xFF, 0, 160 * kMillisecond);
    std::vector<uint64_t> gaps(edges.size());
    std::adjacent_difference(edges.begin(), edges.end(), gaps.begin());
    ASSERT_GT(gaps.size(), 1000u);
    EXPECT_EQ(*std::min_element(gaps.begin() + 1, gaps.end()), 5 * kMicrosecond);
}

// The too-slow rule: a run of equal bytes of one or two samples, where neither the run under way
// at the first sample nor the one still under way at the end counts.
bool hasShortRun(const std::vector<uint8_t>& samples) {
    size_t runStart = 0;
    for (size_t i = 1; i < samples.size(); ++i) {
        if (samples[i] != samples[i - 1]) {
            if (runStart > 0 && i - runStart <= 2) {
                return true;
            }
            runStart = i;
        }
    }
    return false;
}

struct SpeedCase {
    const char* name;
    uint64_t delay;  // work between reads, on top of the read time
    bool tooSlow;
};

class ProbeAtSpeed : public ::testing::TestWithParam<SpeedCase> {};

TEST_P(ProbeAtSpeed, RaisesTooSlowOnlyWhenSamplingSlowerThanTheBursts) {
    for (const uint64_t phase : {uint64_t{0}, uint64_t{250}, uint64_t{999}, 62 * kMicrosecond}) {
        VirtualProbeClock clock;
        SimulatedProbe probe(clock);
        clock.advance(phase);
        std::vector<uint8_t> samples(30000);
        for (uint8_t& sample : samples) {
            clock.advance(GetParam().delay);
            sample = probe.port(1).read();
        }
        EXPECT_EQ(hasShortRun(samples), GetParam().tooSlow) << "phase " << phase;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Speeds, ProbeAtSpeed,
    ::testing::Values(SpeedCase{"Fastest", 0, false}, SpeedCase{"Fast", 130, false},
                      SpeedCase{"SlowOnAFastProcessor", 1000, true}, SpeedCase{"Slow", 1300, true},
                      SpeedCase{"SlowOnASlowProcessor", 2000, true}),
    [](const ::testing::TestParamInfo<SpeedCase>& info) { return std::string(info.param.name); });

}  // namespace
