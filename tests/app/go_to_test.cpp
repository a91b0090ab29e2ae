#include "app/view/go_to.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/window/commands.h"
#include "core/scope_session.h"
#include "resources/command_ids.h"
#include "tests/support/recording_window_system.h"
#include "tests/support/session_samples.h"
#include "tests/support/time_base_maker.h"

namespace {

struct ParseCase {
    const char* text;
    std::optional<GoToTarget> target;
};

constexpr GoToTarget sample(double number) {
    return GoToTarget{false, number};
}
constexpr GoToTarget seconds(double value) {
    return GoToTarget{true, value};
}

TEST(ParseGoTo, SampleNumbersAndTimesWithTheirUnits) {
    const ParseCase cases[] = {
        {"1234", sample(1234)},         {"  0 ", sample(0)},
        {"3.5 ms", seconds(3.5e-3)},    {"12us", seconds(12e-6)},
        {"12 \u00b5s", seconds(12e-6)}, {"0.25 s", seconds(0.25)},
        {"2e3 ns", seconds(2e-6)},      {"", std::nullopt},
        {"ms", std::nullopt},           {"-5", std::nullopt},
        {"12.5", std::nullopt},  // no half samples
        {"3 minutes", std::nullopt},    {"3 ms later", std::nullopt},
        {"0x10", std::nullopt},         {"nan s", std::nullopt},
        {"1e999", std::nullopt},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<GoToTarget> got = parseGoTo(c.text);
        ASSERT_EQ(got.has_value(), c.target.has_value());
        if (got) {
            EXPECT_EQ(got->time, c.target->time);
            EXPECT_DOUBLE_EQ(got->value, c.target->value);
        }
    }
}

struct IndexCase {
    const char* name;
    GoToTarget target;
    bool timed;
    uint32_t origin;
    std::optional<uint32_t> index;
};

// 1000 samples kept, 1 µs apart; after a cut the first kept is number 100.
TEST(GoToIndex, WithinTheSamplesKept) {
    TimeBase time;
    makeTimeBase(time, 1100, 1000);
    const IndexCase cases[] = {
        {"a sample number", sample(250), false, 0, 250},
        {"the last sample", sample(999), false, 0, 999},
        {"past the end", sample(1000), false, 0, std::nullopt},
        {"counted from the capture's first", sample(250), false, 100, 150},
        {"cut away", sample(50), false, 100, std::nullopt},
        {"a time", seconds(250e-6), true, 0, 250},
        {"a time between two samples, the nearer", seconds(250.6e-6), true, 0, 251},
        {"a time after a cut", seconds(250e-6), true, 100, 150},
        {"a time without times", seconds(250e-6), false, 0, std::nullopt},
        {"a time past the end", seconds(2e-3), true, 0, std::nullopt},
    };
    for (const IndexCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(goToIndex(c.target, c.timed ? &time : nullptr, c.origin, 1000), c.index);
    }
}

class GoToTest : public testing::Test {
protected:
    void SetUp() override {
        resetScopeSession();
        loadSessionSamples(std::vector<uint8_t>(5000, 0));
        scopeSession.view.viewWidth = 400;
        ws.range = {0, 5000 - 400};
    }
    void TearDown() override { resetScopeSession(); }

    RecordingWindowSystem ws;
};

// Ctrl+G: the marker goes to the sample asked for, the view to it; text that names no sample
// beeps and moves nothing, and a cancelled question moves nothing either.
TEST_F(GoToTest, MarksTheSampleAskedForAndShowsIt) {
    ws.textAnswers.push_back("3000");
    dispatchCommand(ws, CMD_GO_TO);
    EXPECT_EQ(scopeSession.marker, 3000u);
    EXPECT_LE(scopeSession.view.viewStart, 3000u);
    EXPECT_GT(scopeSession.view.viewStart + 400, 3000u);

    for (const std::optional<std::string>& answer :
         {std::optional<std::string>("7000"), std::optional<std::string>("soon"),
          std::optional<std::string>("2 ms"), std::optional<std::string>()}) {
        ws.textAnswers.push_back(answer);
        ws.clearLog();
        dispatchCommand(ws, CMD_GO_TO);
        EXPECT_EQ(scopeSession.marker, 3000u) << answer.value_or("(cancelled)");
        EXPECT_EQ(ws.log.back() == "beep", answer.has_value()) << answer.value_or("(cancelled)");
    }
}

}  // namespace
