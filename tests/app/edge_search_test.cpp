#include "app/view/edge_search.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/view/navigation.h"
#include "core/scope_session.h"
#include "tests/support/recording_window_system.h"
#include "tests/support/session_samples.h"
#include "tests/support/time_base_maker.h"

namespace {

class JumpToEdgeTest : public testing::Test {
protected:
    // 5000 samples; channel 2 changes at 100 and at 4000; the view (400 wide) at 0.
    void SetUp() override {
        resetScopeSession();
        std::vector<uint8_t> samples(5000, 0x00);
        std::fill(samples.begin() + 100, samples.begin() + 4000, uint8_t{0x10});
        loadSessionSamples(samples);
        scopeSession.view.viewWidth = 400;
        showTraceRange(ws);
        ws.clearLog();
    }
    void TearDown() override { resetScopeSession(); }

    RecordingWindowSystem ws;
};

TEST_F(JumpToEdgeTest, MarkerGoesFromEdgeToEdgeAndTheViewFollows) {
    jumpToEdge(ws, 1, true);  // from the screen's first sample
    EXPECT_EQ(scopeSession.marker, 100u);
    EXPECT_EQ(scopeSession.view.viewStart, 0u);
    EXPECT_EQ(ws.log, std::vector<std::string>{"refresh"}) << "on screen: the view stays";
    ws.clearLog();
    jumpToEdge(ws, 1, true);  // from the marker; off screen: to the middle of the view
    EXPECT_EQ(scopeSession.marker, 4000u);
    EXPECT_EQ(scopeSession.view.viewStart, 3799u);
    EXPECT_EQ(ws.log, (std::vector<std::string>{"position 3799 redraw", "refresh"}));
    jumpToEdge(ws, 1, false);
    EXPECT_EQ(scopeSession.marker, 100u);
    EXPECT_EQ(scopeSession.view.viewStart, 0u);
}

TEST_F(JumpToEdgeTest, NoEdgeThatWayBeepsAndChangesNothing) {
    jumpToEdge(ws, 1, false);  // nothing before the screen's last sample but the edge at 100
    EXPECT_EQ(scopeSession.marker, 100u);
    jumpToEdge(ws, 1, false);
    jumpToEdge(ws, 0, true);  // channel 1 never changes
    EXPECT_EQ(scopeSession.marker, 100u);
    EXPECT_EQ(ws.beepCount, 2);
    scopeSession.marker = 4000;
    jumpToEdge(ws, 1, true);
    EXPECT_EQ(scopeSession.marker, 4000u);
    EXPECT_EQ(ws.beepCount, 3);
    releaseSampleData();
    jumpToEdge(ws, 1, true);
    EXPECT_EQ(ws.beepCount, 4);
}

// Without a marker, backwards counts from just past the screen: an edge on its last sample is the
// first one found.
TEST_F(JumpToEdgeTest, BackwardsFromTheScreensLastSample) {
    std::vector<uint8_t> samples(5000, 0x00);
    const uint32_t last = 401;  // 400 pixels at 1:1 draw samples 0 to 401
    std::fill(samples.begin() + last, samples.end(), uint8_t{0x08});
    loadSessionSamples(samples);
    jumpToEdge(ws, 0, false);
    EXPECT_EQ(scopeSession.marker, last);
}

// g and Shift+g: from the marker (or the screen's first or last sample) to the sample after the
// next or previous gap, stalls and planned pauses alike; the view follows as for the edges. Gaps
// before samples 150, 2000 (a planned pause) and 4500.
TEST_F(JumpToEdgeTest, GapKeysGoFromGapToGap) {
    makeTimeBaseWithPauses(scopeSession.timeBase, 5000, 1000, {{150, 50'000}, {4500, 50'000}},
                           {2000}, 20'000);
    struct Step {
        bool forward;
        std::optional<uint32_t> marker;  // after the step; none: a beep, and it stays
        uint32_t viewStart;
    };
    const Step steps[] = {
        {false, 150, 0},     // from the screen's last sample; on screen: the view stays
        {false, {}, 0},      // no gap before the marker's
        {true, 2000, 1799},  // off screen: to the middle of the view
        {true, 4500, 4299}, {true, {}, 4299}, {false, 2000, 1799},
    };
    int beeps = ws.beepCount;
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << (s.forward ? "next" : "previous") << " from "
                                        << scopeSession.marker.value_or(0));
        const std::optional<uint32_t> before = scopeSession.marker;
        jumpToGap(ws, s.forward);
        beeps += s.marker ? 0 : 1;
        EXPECT_EQ(scopeSession.marker, s.marker ? s.marker : before);
        EXPECT_EQ(scopeSession.view.viewStart, s.viewStart);
        EXPECT_EQ(ws.beepCount, beeps);
    }
}

// A cut recording counts from its own first sample; without a time base or data: a beep.
TEST_F(JumpToEdgeTest, GapKeysKeepToTheSamplesKeptAndBeepWithoutTimes) {
    jumpToGap(ws, true);
    EXPECT_EQ(ws.beepCount, 1);
    EXPECT_FALSE(scopeSession.marker.has_value());
    makeTimeBase(scopeSession.timeBase, 5000, 1000, {{150, 50'000}, {300, 50'000}});
    loadSessionSamples(std::vector<uint8_t>(4800, 0x00));
    scopeSession.sampleOrigin = 200;  // the gap before 150 is cut away
    jumpToGap(ws, true);
    EXPECT_EQ(scopeSession.marker, 100u);
    jumpToGap(ws, false);
    EXPECT_EQ(scopeSession.marker, 100u);
    EXPECT_EQ(ws.beepCount, 2);
    releaseSampleData();
    jumpToGap(ws, true);
    EXPECT_EQ(ws.beepCount, 3);
}

// `t`: the marker to the trigger point, the view to it when it is off screen; a recording
// without one (never triggered, or its trigger point cut away) says so and keeps its marker.
TEST_F(JumpToEdgeTest, TriggerKeyGoesToTheTriggerPointOrSaysThereIsNone) {
    struct Case {
        const char* what;
        uint32_t trigger;  // the capture's number
        uint32_t origin;   // after Cut Before
        std::optional<uint32_t> marker;
        uint32_t viewStart;
        size_t messages;
    };
    const Case cases[] = {
        {"on screen", 150, 0, 150, 0, 0},           {"off screen", 2500, 0, 2500, 2299, 0},
        {"after a cut", 2500, 1000, 1500, 1299, 0}, {"none", kNoTriggerSample, 0, 7, 0, 1},
        {"cut away", 500, 1000, 7, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        scopeSession.sampleOrigin = c.origin;
        scopeSession.triggerSample = c.trigger;
        scopeSession.marker = 7;
        scopeSession.view.viewStart = 0;
        ws.messages.clear();
        jumpToTrigger(ws);
        EXPECT_EQ(scopeSession.marker, c.marker);
        EXPECT_EQ(scopeSession.view.viewStart, c.viewStart);
        EXPECT_EQ(ws.messages.size(), c.messages);
    }
    EXPECT_EQ(ws.beepCount, 0);
    releaseSampleData();
    jumpToTrigger(ws);
    EXPECT_EQ(ws.beepCount, 1) << "no data";
}

}  // namespace
