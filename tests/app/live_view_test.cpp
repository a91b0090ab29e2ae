#include "app/view/live_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/document/capture_cycle.h"
#include "app/readout/status_text.h"
#include "app/view/navigation.h"
#include "app/window/main_window_proc.h"
#include "core/scope_session.h"
#include "tests/support/recording_window_system.h"
#include "tests/support/session_samples.h"

namespace {

using namespace std::chrono_literals;
using Log = std::vector<std::string>;

class LiveViewTest : public testing::Test {
protected:
    // A worker capture into a buffer of 30000 samples, the view 400 wide, nothing stored yet.
    void SetUp() override {
        resetScopeSession();
        loadSessionSamples(std::vector<uint8_t>(30000, 0x00));
        scopeSession.view.viewWidth = 400;
        scopeSession.workerCapturing = true;
        startLiveView(start_);
    }
    void TearDown() override {
        scopeSession.workerCapturing = false;
        resetScopeSession();
    }

    void tick(uint32_t stored) {
        scopeSession.samplesStored = stored;
        ws.clearLog();
        mainWindowProc(ws, WindowMessage{MSG_TIMER, 0, 0});
    }

    RecordingWindowSystem ws;
    LiveClock::time_point start_ = LiveClock::now();
};

// The view keeps to the newest samples until the user scrolls away; scrolling to the end takes
// the following up again. The range has the samples stored so far.
TEST_F(LiveViewTest, FollowsTheNewestSamplesUntilTheUserScrollsAway) {
    tick(100);
    EXPECT_EQ(ws.log, (Log{"range 0..-300 redraw", "position 0 redraw", "refresh"}));
    tick(5000);
    EXPECT_EQ(ws.log, (Log{"range 0..4600 redraw", "position 4600 redraw", "refresh"}));
    EXPECT_EQ(scopeSession.view.viewStart, 4600u);
    handleScroll(ws, SCROLL_LINE_LEFT, 0);
    EXPECT_FALSE(scopeSession.view.following);
    tick(8000);
    EXPECT_EQ(ws.log, (Log{"range 0..7600 redraw", "refresh"}));
    EXPECT_EQ(scopeSession.view.viewStart, 4589u);
    handleScroll(ws, SCROLL_RIGHT, 0);
    EXPECT_TRUE(scopeSession.view.following);
    tick(9000);
    EXPECT_EQ(scopeSession.view.viewStart, 8600u);
    // Below 1:1 the newest screen is one of columns.
    scopeSession.view.scale = ViewScale::samplesPerColumn(4);
    tick(10000);
    EXPECT_EQ(scopeSession.view.viewStart, 8400u);
}

// Once the capture has been handed over the ticks do nothing, and the capture's end brings the
// view back to its first sample at 1:1.
TEST_F(LiveViewTest, TheEndOfTheCaptureShowsItsFirstSample) {
    tick(20000);
    scopeSession.workerCapturing = false;
    scopeSession.sampleLength = 20000;
    tick(20000);
    EXPECT_TRUE(ws.log.empty());
    scopeSession.view.scale = ViewScale::samplesPerColumn(4);
    finishCapture(ws);
    EXPECT_EQ(scopeSession.view.viewStart, 0u);
    EXPECT_FALSE(scopeSession.view.scale.belowOneToOne());
    EXPECT_EQ(ws.range.high, 19600);
}

// A worker capture's end brings an untouched view back to its first sample at 1:1; a view the user
// scrolled away or zoomed while it ran stays as they left it.
TEST_F(LiveViewTest, TheEndKeepsAViewTheUserMoved) {
    const struct {
        const char* name;
        bool scrollAway;
        uint32_t perColumn;  // the zoom the user chose; 1: none
        bool kept;
    } cases[] = {
        {"untouched", false, 1, false},
        {"scrolled away", true, 1, true},
        {"zoomed out", false, 4, true},
        {"both", true, 4, true},
    };
    for (const auto& c : cases) {
        SetUp();
        tick(5000);
        if (c.perColumn > 1) {
            scopeSession.view.scale = ViewScale::samplesPerColumn(c.perColumn);
        }
        tick(10000);
        if (c.scrollAway) {
            handleScroll(ws, SCROLL_LINE_LEFT, 0);
        }
        const uint32_t before = scopeSession.view.viewStart;
        ASSERT_GT(before, 0u);
        scopeSession.workerCapturing = false;
        scopeSession.sampleLength = 20000;
        finishWorkerCapture(ws);
        EXPECT_EQ(scopeSession.view.viewStart, c.kept ? before : 0u) << c.name;
        const uint32_t perColumn = c.kept ? c.perColumn : 1;
        EXPECT_EQ(scopeSession.view.scale, ViewScale::samplesPerColumn(perColumn)) << c.name;
        EXPECT_EQ(ws.range.high, int32_t(20000 - 400 * perColumn)) << c.name;
    }
}

TEST_F(LiveViewTest, StatusLineShowsProgressThenTheRecording) {
    scopeSession.samplesStored = 9000;
    EXPECT_EQ(statusText(start_ + 2500ms), "Capturing: 9000 of 30000 samples stored, 2.500 s");
    scopeSession.workerCapturing = false;
    scopeSession.documentTitle = "run1.SCO";
    EXPECT_EQ(statusText(start_), "run1.SCO: 30000 samples, no time base");
    // Rate and length come from the time base: 1 µs a sample over the 20000 samples kept after a
    // Cut Before of 10000.
    scopeSession.sampleOrigin = 10000;
    scopeSession.sampleLength = 20000;
    scopeSession.timeBase.prepare(30000, 1000);
    for (uint32_t i = 0; i <= 30000; i += 1000) {
        scopeSession.timeBase.mark(i, i * 1000ull);
    }
    scopeSession.timeBase.finish();
    EXPECT_EQ(statusText(start_), "run1.SCO: 20000 samples at 1.000 MHz, 20.00 ms");
    releaseSampleData();
    scopeSession.documentTitle.clear();
    EXPECT_EQ(statusText(start_), "Untitled: no samples");
}

}  // namespace
