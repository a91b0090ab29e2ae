#include "app/view/marker.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/document/capture_cycle.h"
#include "app/document/file_commands.h"
#include "app/view/navigation.h"
#include "app/window/commands.h"
#include "core/scope_session.h"
#include "resources/command_ids.h"
#include "tests/support/recording_window_system.h"
#include "tests/support/scope_file_maker.h"
#include "tests/support/session_samples.h"
#include "tests/support/view_size.h"

namespace {

using Log = std::vector<std::string>;

class MarkerTest : public testing::Test {
protected:
    void SetUp() override {
        resetScopeSession();
        loadSessionSamples(std::vector<uint8_t>(5000, 0x08));
        scopeSession.view.viewWidth = kViewWidth;
        ws.range = {0, 5000 - kViewWidth};
    }
    void TearDown() override { resetScopeSession(); }

    void click(int x) { placeMarker(ws, {x, 100, kViewWidth, kViewHeight}); }

    RecordingWindowSystem ws;
};

TEST_F(MarkerTest, AClickMarksTheSampleUnderThePointerAndASecondMovesIt) {
    scopeSession.view.viewStart = 1000;
    scopeSession.view.scale = ViewScale::pixelsPerSample(4);
    click(41);
    EXPECT_EQ(scopeSession.marker, 1010u);
    click(399);
    EXPECT_EQ(scopeSession.marker, 1099u);
    EXPECT_EQ(ws.log, (Log{"refresh", "refresh"}));
    // Right of the data nothing is marked and nothing moves.
    loadSessionSamples(std::vector<uint8_t>(10, 0x08));
    scopeSession.view.viewStart = 0;
    ws.clearLog();
    click(41);
    EXPECT_EQ(scopeSession.marker, 1099u);
    EXPECT_TRUE(ws.log.empty());
}

TEST_F(MarkerTest, ClearingWithoutAMarkerChangesNothing) {
    clearMarker(ws);
    dispatchCommand(ws, CMD_CANCEL);
    EXPECT_TRUE(ws.log.empty());
}

// Esc, a right click, New Sample, Open and the cuts take the marker away and show that.
TEST_F(MarkerTest, RemovedByEscRightClickNewSampleOpenAndTheCuts) {
    TempDir dir;
    const std::string file = dir.write("rec.SCO", scopeFileBytes(std::string(700, '\x10')));
    const std::pair<const char*, std::function<void(RecordingWindowSystem&)>> removers[] = {
        {"Esc", [](RecordingWindowSystem& w) { dispatchCommand(w, CMD_CANCEL); }},
        {"right click", [](RecordingWindowSystem& w) { clearMarker(w); }},
        {"New Sample", [](RecordingWindowSystem& w) { resetDocument(w); }},
        {"Open",
         [&file](RecordingWindowSystem& w) {
             w.chooserAnswers.push_back(RecordingWindowSystem::ChooserAnswer{file, "rec.SCO"});
             openDocument(w);
         }},
        {"Cut Before", [](RecordingWindowSystem& w) { cutBefore(w); }},
        {"Cut After", [](RecordingWindowSystem& w) { cutAfter(w); }},
    };
    for (const auto& [name, remove] : removers) {
        SCOPED_TRACE(name);
        SetUp();
        click(100);
        ASSERT_TRUE(scopeSession.marker.has_value());
        ws.clearLog();
        remove(ws);
        EXPECT_FALSE(scopeSession.marker.has_value());
        EXPECT_EQ(ws.log.back(), "refresh");
    }
}

TEST_F(MarkerTest, CancelledOpenKeepsIt) {
    click(100);
    ws.chooserAnswers.push_back(std::nullopt);
    openDocument(ws);
    EXPECT_EQ(scopeSession.marker, 100u);
}

}  // namespace
