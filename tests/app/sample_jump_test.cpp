#include "app/view/sample_jump.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "app/view/navigation.h"
#include "app/window/main_window_proc.h"
#include "core/scope_session.h"
#include "tests/support/recording_window_system.h"
#include "tests/support/session_samples.h"

namespace {

// A line of the decoded-data table chosen: its sample marked, in the middle of the screen where
// the ends of the recording allow.
TEST(SampleJump, TheSampleMarkedInTheMiddleOfTheScreen) {
    const struct {
        ViewScale scale;
        uint32_t index;
        std::optional<uint32_t> marker;
        uint32_t viewStart;
    } cases[] = {
        {ViewScale::pixelsPerSample(1), 2000, 2000, 1800},
        {ViewScale::pixelsPerSample(4), 2000, 2000, 1950},          // 100 samples on screen
        {ViewScale::samplesPerColumn(2), 2000, 2000, 1600},         // 800 samples on screen
        {ViewScale::pixelsPerSample(1), 100, 100, 0},               // the first screen
        {ViewScale::pixelsPerSample(1), 4999, 4999, 4600},          // the last screen
        {ViewScale::pixelsPerSample(1), 5000, std::nullopt, 1234},  // past the end: nothing
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        resetScopeSession();
        loadSessionSamples(std::vector<uint8_t>(5000, 0x08));
        RecordingWindowSystem ws;
        ws.handler = [&ws](const WindowMessage& m) { return mainWindowProc(ws, m).answer; };
        scopeSession.view.viewWidth = 400;
        scopeSession.view.scale = c.scale;
        showTraceRange(ws);
        scopeSession.view.viewStart = 1234;
        ws.sendMessage(WindowMessage{SHOW_SAMPLE, 0, static_cast<int32_t>(c.index)});
        EXPECT_EQ(scopeSession.marker, c.marker);
        EXPECT_EQ(scopeSession.view.viewStart, c.viewStart);
    }
    resetScopeSession();
}

}  // namespace
