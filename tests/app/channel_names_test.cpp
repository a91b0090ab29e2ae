#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/readout/channel_text.h"
#include "app/readout/view_text.h"
#include "app/window/control_names.h"
#include "core/scope_session.h"
#include "display/trace_geometry.h"
#include "resources/command_ids.h"
#include "tests/support/session_samples.h"

namespace {

class ChannelNamesTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetScopeSession();
        const char* names[] = {"TX", "RX", "Out Of Paper", "CLK", "CS"};
        for (int channel = 0; channel < kChannelCount; ++channel) {
            scopeSession.channels[static_cast<size_t>(channel)].name = names[channel];
        }
        scopeSession.channels[2] = defaultChannelLooks()[2];
    }
    void TearDown() override { resetScopeSession(); }
};

// Every text that names a channel takes the name the user gave it.
TEST_F(ChannelNamesTest, EveryTextNamesTheChannelAsTheUserDoes) {
    loadSessionSamples({0x08 | 0x40, 0x00});
    scopeSession.marker = 0;
    const TraceGeometry g = traceGeometry(400, 300, 0, 2);
    const struct {
        std::string text;
        const char* expected;
    } cases[] = {
        {channelLabel(0), "1 TX"},
        {channelLabel(2), "3 Out Of Paper"},
        {channelText(3), "CLK (channel 4, pin 10)"},
        {triggerBoxTooltip(CMD_PORT_TRIGGER_FIRST + 1),
         "Port trigger: a change of RX (channel 2, pin 13) starts the next capture"},
        {controlName(CMD_MEMORY_TRIGGER_FIRST + 4), "Memory trigger on channel 5, CS"},
        {channelLabelsText(),
         "Channel labels: 1 TX, pin 15; 2 RX, pin 13; 3 Out Of Paper, pin 12; 4 CLK, pin 10; "
         "5 CS, pin 11"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.text, c.expected);
    }
    const std::string readout = traceViewText(g, 400);
    EXPECT_NE(readout.find(": TX high, RX low, Out Of Paper low, CLK high, CS low"),
              std::string::npos)
        << readout;
}

TEST_F(ChannelNamesTest, ANewSessionHasTheStatusLinesNamesAgain) {
    resetScopeSession();
    EXPECT_EQ(channelLabel(0), "1 Error");
    EXPECT_EQ(channelLabel(4), "5 Busy");
}

}  // namespace
