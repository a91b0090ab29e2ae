#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "app/readout/status_text.h"
#include "app/view/navigation.h"
#include "app/window/main_window_proc.h"
#include "capture/sampling_worker.h"
#include "core/scope_session.h"
#include "display/overview.h"
#include "display/session_pyramid.h"
#include "tests/support/recording_canvas.h"
#include "tests/support/recording_window_system.h"
#include "tests/support/running_main_window.h"
#include "tests/support/session_samples.h"
#include "tests/support/still_port.h"

namespace {

constexpr auto kDeadline = std::chrono::seconds(60);
const std::string kSummingUp = "Summing up ";

// The running main window; the test paints as the window would.
class SummingUpTest : public ::testing::Test {
protected:
    static void paint() {
        RecordingCanvas canvas;
        paintOverview(canvas, 640, 80, 640);
    }
    static std::string status() { return statusText(LiveClock::now()); }

    StillPort port_;
    RunningMainWindow window_{port_};
    RecordingWindowSystem& ws = window_.ws;
};

// The status line tells how far the summing up is, in percent that never fall, until the window
// told to draw again finds it done.
TEST_F(SummingUpTest, StatusLineFollowsTheSummingUpUntilDrawn) {
    loadSessionSamples(std::vector<uint8_t>(3u << 20, 0x02));
    paint();
    std::vector<int> percents;
    const auto deadline = std::chrono::steady_clock::now() + kDeadline;
    while (status().rfind(kSummingUp, 0) == 0 && std::chrono::steady_clock::now() < deadline) {
        const std::string text = status();
        ASSERT_EQ(text.rfind("Summing up 3145728 samples: ", 0), 0u) << text;
        percents.push_back(std::stoi(text.substr(text.rfind(' ') + 1)));
        const int refreshed = ws.refreshCount;
        ASSERT_TRUE(ws.waitAndPump(60));
        EXPECT_GT(ws.refreshCount, refreshed) << "the window is told to draw again";
        paint();
    }
    ASSERT_FALSE(percents.empty());
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_LE(percents.back(), 100);
    EXPECT_EQ(status().rfind(kSummingUp, 0), std::string::npos) << status();
    EXPECT_NE(sessionSpans(scopeSession).pyramid, nullptr);
}

// At 1:1 with the strip hidden nothing zoomed out is painted: the summing up still ends in the
// status line, and the pyramid is taken over at the next zoomed-out paint.
TEST_F(SummingUpTest, StatusLineEndsWithoutAZoomedOutPaint) {
    loadSessionSamples(std::vector<uint8_t>(3u << 20, 0x02));
    paint();
    const auto deadline = std::chrono::steady_clock::now() + kDeadline;
    while (status().rfind(kSummingUp, 0) == 0 && std::chrono::steady_clock::now() < deadline) {
        ASSERT_TRUE(ws.waitAndPump(60));
    }
    EXPECT_EQ(status().rfind(kSummingUp, 0), std::string::npos) << status();
    paint();
    EXPECT_NE(sessionSpans(scopeSession).pyramid, nullptr);
}

// Closing the window while a long summing up runs stops it: nothing is left under way.
TEST_F(SummingUpTest, ClosingDuringASummingUpStopsIt) {
    loadSessionSamples(std::vector<uint8_t>(32u << 20, 0x01));
    paint();
    mainWindowProc(ws, WindowMessage{MSG_DESTROY, 0, 0});
    EXPECT_FALSE(sessionSummingUp(scopeSession));
    EXPECT_EQ(status().rfind(kSummingUp, 0), std::string::npos);
}

// Cut Before moves the samples in their block: the summing up over them stops first, and the
// drawing is summed up again over those kept.
TEST_F(SummingUpTest, CutBeforeDuringASummingUp) {
    std::vector<uint8_t> samples(8u << 20, 0x01);
    samples[100] = 0x11;
    loadSessionSamples(samples);
    paint();
    ASSERT_TRUE(ws.waitForMessage(60));  // the summing up has begun reading the samples
    scopeSession.view.viewStart = 1000;
    cutBefore(ws);
    const auto deadline = std::chrono::steady_clock::now() + kDeadline;
    paint();
    while (sessionSpans(scopeSession).pyramid == nullptr &&
           std::chrono::steady_clock::now() < deadline) {
        ASSERT_TRUE(ws.waitAndPump(60));
        paint();
    }
    const SampleSpans spans = sessionSpans(scopeSession);
    ASSERT_NE(spans.pyramid, nullptr);
    EXPECT_EQ(spans.pyramid->length(), samples.size() - 1000);
    EXPECT_EQ(spans.span(0, spans.pyramid->length()).anyHigh, 0x01);
}

}  // namespace
