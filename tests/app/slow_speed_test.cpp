#include "app/window/slow_speed.h"

#include <gtest/gtest.h>

#include "app/window/commands.h"
#include "core/scope_session.h"
#include "resources/command_ids.h"
#include "tests/support/recording_window_system.h"

namespace {

// The slider runs from the longest delay to the shortest, every position a delay of its own, and
// the delay shown is the one the position gives back.
TEST(SlowSlider, PositionsAndDelays) {
    EXPECT_EQ(slowDelayAt(0), kLongestSlowDelay);
    EXPECT_EQ(slowDelayAt(kSlowSliderPositions), kShortestSlowDelay);
    EXPECT_EQ(slowDelayAt(-3), kLongestSlowDelay);
    EXPECT_EQ(slowDelayAt(kSlowSliderPositions + 3), kShortestSlowDelay);
    for (int position = 1; position <= kSlowSliderPositions; ++position) {
        SCOPED_TRACE(position);
        EXPECT_LT(slowDelayAt(position), slowDelayAt(position - 1));
        EXPECT_EQ(slowSliderPosition(slowDelayAt(position)), position);
    }
    // An untouched dialog keeps exactly the delay Slow has always had.
    EXPECT_EQ(slowDelayAt(slowSliderPosition(kStandardSlowDelay)), kStandardSlowDelay);
    // Delays off the slider show at the nearest end.
    EXPECT_EQ(slowSliderPosition(5000), 0);
    EXPECT_EQ(slowSliderPosition(1), kSlowSliderPositions);
}

TEST(SlowSlider, RateBesideIt) {
    struct Case {
        int32_t delay;
        double unitSeconds;
        const char* text;
    };
    const Case cases[] = {
        {50, 1e-6, "up to 20.00 kHz"},
        {500, 1e-6, "up to 2.000 kHz"},
        {10, 2e-9, "up to 50.00 MHz"},
        {50, 0, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(slowRateText(c.delay, c.unitSeconds), c.text) << c.delay;
    }
}

// Slow takes the delay the dialog was left at, and keeps it for the next time it is chosen.
TEST(SlowSlider, SlowUsesTheDelayChosen) {
    resetScopeSession();
    RecordingWindowSystem ws;
    dispatchCommand(ws, CMD_SPEED_SLOW);
    EXPECT_EQ(scopeSession.delayUnits, kStandardSlowDelay);
    ws.onDialog = [](int) { scopeSession.slowDelayUnits = 300; };
    dispatchCommand(ws, CMD_SPEED_SLOW);
    EXPECT_EQ(scopeSession.delayUnits, 300);
    dispatchCommand(ws, CMD_SPEED_FAST);
    ws.onDialog = nullptr;
    dispatchCommand(ws, CMD_SPEED_SLOW);
    EXPECT_EQ(scopeSession.delayUnits, 300);
    resetScopeSession();
}

}  // namespace
