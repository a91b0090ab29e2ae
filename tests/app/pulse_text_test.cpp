#include "app/readout/pulse_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/readout/pointer_readout.h"
#include "core/scope_session.h"
#include "core/time_base.h"
#include "display/trace_geometry.h"
#include "tests/support/session_samples.h"

namespace {

// Channel 1: low 0-3, high 4-6, low 7-11, high 12-13, low from 14 to the end (16 samples).
std::vector<uint8_t> pulses() {
    std::vector<uint8_t> samples(16, 0x00);
    for (uint32_t i : {4u, 5u, 6u, 12u, 13u}) {
        samples[i] = 0x08;
    }
    return samples;
}

struct PulseCase {
    uint32_t index;
    std::optional<Pulse> pulse;
};

}  // namespace

void PrintTo(const Pulse& p, std::ostream* out) {
    *out << (p.high ? "high " : "low ") << p.start << ".." << p.end << " cycle to "
         << (p.cycleEnd ? std::to_string(*p.cycleEnd) : "-");
}

namespace {

TEST(PulseAt, BetweenTheEdgesAroundTheSample) {
    const std::vector<uint8_t> samples = pulses();
    const PulseCase cases[] = {
        {0, {}},  // cut by the start of the data
        {4, Pulse{true, 4, 7, 12}},
        {6, Pulse{true, 4, 7, 12}},
        {7, Pulse{false, 7, 12, 14}},
        {11, Pulse{false, 7, 12, 14}},
        {13, Pulse{true, 12, 14, {}}},  // the cycle runs past the end
        {15, {}},                       // cut by the end
        {16, {}},
    };
    for (const PulseCase& c : cases) {
        EXPECT_EQ(pulseAt(samples.data(), 16, c.index, 0x08), c.pulse) << c.index;
    }
}

TEST(PulseText, WidthPeriodAndDutyFromTheTimeBase) {
    // 2 µs a sample; the capture's numbering starts 100 samples before the data (Cut Before).
    TimeBase time;
    time.prepare(200, 10);
    for (uint32_t i = 0; i <= 200; i += 10) {
        time.mark(i, i * 2000ull);
    }
    time.finish();
    EXPECT_EQ(pulseText(Pulse{true, 4, 7, 12}, &time, 100),
              "High pulse 6.000 \u00b5s, period 16.00 \u00b5s, duty 37.5 %");
    EXPECT_EQ(pulseText(Pulse{false, 7, 12, 14}, &time, 100),
              "Low pulse 10.00 \u00b5s, period 14.00 \u00b5s, duty 28.6 %");
    EXPECT_EQ(pulseText(Pulse{true, 12, 14, {}}, &time, 100), "High pulse 4.000 \u00b5s");
    // Without time, in samples.
    EXPECT_EQ(pulseText(Pulse{true, 4, 7, 12}, nullptr, 0),
              "High pulse 3 samples, period 8 samples, duty 37.5 %");
    EXPECT_EQ(pulseText(Pulse{false, 4, 5, {}}, nullptr, 0), "Low pulse 1 sample");
}

TEST(PulseText, ATimeAcrossAGapSaysSoAndHasNoDuty) {
    // 2 µs a sample, and 1 ms lost before sample 10.
    TimeBase time;
    time.prepare(20, 1);
    for (uint32_t i = 0; i <= 20; ++i) {
        time.mark(i, i * 2000ull + (i >= 10 ? 1'000'000ull : 0));
    }
    time.finish();
    ASSERT_EQ(time.gaps().size(), 1u);
    EXPECT_EQ(pulseText(Pulse{true, 8, 12, 14}, &time, 0),
              "High pulse 1.008 ms across 1 gap, period 1.012 ms across 1 gap");
    EXPECT_EQ(pulseText(Pulse{true, 4, 8, 10}, &time, 0),
              "High pulse 8.000 \u00b5s, period 1.012 ms across 1 gap");
    // The gap before the pulse's first sample is not inside it.
    EXPECT_EQ(pulseText(Pulse{true, 10, 12, 14}, &time, 0),
              "High pulse 4.000 \u00b5s, period 8.000 \u00b5s, duty 50.0 %");
}

// The readout's last line is the pulse under the pointer.
TEST(PulseText, LastLineOfTheReadout) {
    resetScopeSession();
    loadSessionSamples(pulses());
    scopeSession.view.scale = ViewScale::pixelsPerSample(4);
    const TraceGeometry g = traceGeometry(100, 70, 0, 16, ViewScale::pixelsPerSample(4));
    const int y = g.baseline[0];
    const std::string text = pointerReadout(TracePointer{5 * 4, y, 100, 70});
    EXPECT_EQ(text.substr(text.rfind('\n') + 1),
              "High pulse 3 samples, period 8 samples, duty 37.5 %");
    EXPECT_EQ(pointerReadout(TracePointer{0, y, 100, 70}).find("pulse"), std::string::npos);
    resetScopeSession();
}

}  // namespace
