#include "app/readout/span_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/view/marker.h"
#include "app/window/commands.h"
#include "core/scope_session.h"
#include "resources/command_ids.h"
#include "tests/support/recording_window_system.h"
#include "tests/support/session_samples.h"
#include "tests/support/time_base_maker.h"
#include "tests/support/view_size.h"

namespace {

using Lines = std::vector<std::string>;

class SpanTest : public testing::Test {
protected:
    // Channel 1 low two samples, high two; Busy (channel 5) high from sample 100 on.
    void SetUp() override {
        resetScopeSession();
        std::vector<uint8_t> samples(1000);
        for (size_t i = 0; i < samples.size(); ++i) {
            samples[i] = static_cast<uint8_t>((i % 4 >= 2 ? 0x08 : 0) | (i >= 100 ? 0x80 : 0));
        }
        loadSessionSamples(samples);
        scopeSession.view.viewWidth = kViewWidth;
        ws.range = {0, 1000 - kViewWidth};
    }
    void TearDown() override { resetScopeSession(); }

    TracePointer at(int x) const { return TracePointer{x, 100, kViewWidth, kViewHeight}; }

    RecordingWindowSystem ws;
};

// The span's lines, in samples without times and in seconds with them; either marker may be the
// later one.
TEST_F(SpanTest, LengthEdgesFrequencyAndDuty) {
    struct Case {
        const char* name;
        double period;  // seconds a sample; 0: no time base
        int marker, second;
        Lines lines;
    };
    const Case cases[] = {
        {"samples",
         0,
         0,
         400,
         {"\u0394t = 400 samples", "Error: 200 edges, period 4 samples, duty 50.0%",
          "Busy: 1 edge"}},
        {"seconds",
         1e-6,
         0,
         400,
         {"\u0394t = 400.0 \u00b5s, 1/\u0394t = 2.500 kHz",
          "Error: 200 edges, 250.0 kHz, duty 50.0%", "Busy: 1 edge"}},
        {"the second marker first",
         1e-6,
         400,
         0,
         {"\u0394t = 400.0 \u00b5s, 1/\u0394t = 2.500 kHz",
          "Error: 200 edges, 250.0 kHz, duty 50.0%", "Busy: 1 edge"}},
        {"past Busy's edge, a quarter period off",
         0,
         201,
         300,
         {"\u0394t = 99 samples", "Error: 50 edges, period 4 samples, duty 50.0%"}},
        {"the markers on one sample", 1e-6, 10, 10, {"\u0394t = 0 s"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        if (c.period > 0) {
            giveSessionEvenTimes(1000, c.period);
        }
        placeMarker(ws, at(c.marker));
        placeSecondMarker(ws, at(c.second));
        EXPECT_EQ(spanLines(), c.lines);
    }
}

// One marker is no span; m drops the second where the marker stands, and the edge keys then open
// the span; Esc takes both away.
TEST_F(SpanTest, MarkersMakeAndEndTheSpan) {
    EXPECT_TRUE(spanLines().empty());
    placeSecondMarker(ws, at(50));
    EXPECT_TRUE(spanLines().empty());
    dropSecondMarker(ws);
    EXPECT_EQ(scopeSession.secondMarker, 50u) << "without a marker the second stays";
    placeMarker(ws, at(20));
    dropSecondMarker(ws);
    EXPECT_EQ(scopeSession.secondMarker, 20u);
    placeMarker(ws, at(30));
    EXPECT_EQ(spanLines().front(), "\u0394t = 10 samples");
    ws.clearLog();
    dispatchCommand(ws, CMD_CANCEL);
    EXPECT_FALSE(scopeSession.marker.has_value());
    EXPECT_FALSE(scopeSession.secondMarker.has_value());
    EXPECT_EQ(ws.log, Lines{"refresh"});
}

}  // namespace
