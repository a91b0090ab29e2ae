#include "app/window/trigger_settings.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/window/commands.h"
#include "core/scope_session.h"
#include "resources/command_ids.h"
#include "tests/support/recording_window_system.h"

namespace {

using Condition = TriggerCondition;

class TriggerSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { resetScopeSession(); }
    void TearDown() override { resetScopeSession(); }
    RecordingWindowSystem ws;
};

// What the dialog sets comes back as it was, and the boxes show it: ticked for either edge,
// another state for a condition of the channel's own.
TEST_F(TriggerSettingsTest, SettingsRoundTripAndTheBoxesShowThem) {
    const TriggerSettings settings{{Condition::Falling, Condition::EitherEdge, Condition::NotUsed,
                                    Condition::High, Condition::EitherEdge},
                                   25};
    applyTriggerSettings(settings);
    EXPECT_EQ(currentTriggerSettings().conditions, settings.conditions);
    EXPECT_EQ(currentTriggerSettings().preTriggerPercent, 25);
    EXPECT_EQ(scopeSession.portTriggerMask, kChannelBits[1] | kChannelBits[4]);
    const std::vector<PortBoxState> boxes = {PortBoxState::OtherCondition, PortBoxState::Ticked,
                                             PortBoxState::Unticked, PortBoxState::OtherCondition,
                                             PortBoxState::Ticked};
    for (int channel = 0; channel < kChannelCount; ++channel) {
        EXPECT_EQ(portBoxState(channel), boxes[channel]) << channel;
    }
}

// A click on a box: a tick turns over; a condition of its own becomes a plain tick.
TEST_F(TriggerSettingsTest, ABoxClickTicksOrUnticksAndDropsAnOwnCondition) {
    struct Case {
        Condition before;
        Condition after;
    };
    const std::vector<Case> cases = {
        {Condition::NotUsed, Condition::EitherEdge}, {Condition::EitherEdge, Condition::NotUsed},
        {Condition::Rising, Condition::EitherEdge},  {Condition::Low, Condition::EitherEdge},
        {Condition::High, Condition::EitherEdge},
    };
    for (const Case& c : cases) {
        resetScopeSession();
        applyTriggerSettings({{Condition::NotUsed, c.before, Condition::Falling, Condition::NotUsed,
                               Condition::NotUsed},
                              10});
        dispatchCommand(ws, CMD_PORT_TRIGGER_FIRST + 1);
        const ChannelConditions now = currentTriggerSettings().conditions;
        EXPECT_EQ(now[1], c.after);
        EXPECT_EQ(now[2], Condition::Falling);  // the others stay
        EXPECT_EQ(scopeSession.preTriggerPercent, 10);
    }
}

TEST_F(TriggerSettingsTest, TheMenuCommandRunsTheTriggerDialog) {
    dispatchCommand(ws, CMD_TRIGGER_SETTINGS);
    EXPECT_EQ(ws.dialogs, std::vector<int>{IDD_TRIGGER});
}

}  // namespace
