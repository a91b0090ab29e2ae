#include "app/view/edge_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/view/navigation.h"
#include "core/scope_session.h"
#include "tests/support/recording_window_system.h"
#include "tests/support/session_samples.h"

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

}  // namespace
