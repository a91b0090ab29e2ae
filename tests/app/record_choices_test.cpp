#include "app/document/record_choices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// What the length typed in the Record to File question becomes: a number is a count of samples,
// a time needs its unit, anything else is refused.
TEST(RecordChoices, TheTypedLengthBecomesTheGoal) {
    struct Case {
        const char* text;
        bool taken;
        uint64_t samples;
        double seconds;
    };
    const std::vector<Case> cases = {
        {"10s", true, 0, 10},
        {"500ms", true, 0, 0.5},
        {"5min", true, 0, 300},
        {"2h", true, 0, 7200},
        {"1.5s", true, 0, 1.5},
        {"50000", true, 50000, 0},
        {"2k", true, 2000, 0},
        {"50M", true, 50'000'000, 0},
        {"1", true, 1, 0},
        {"4294967295", true, 4294967295u, 0},
        {"4294967296", false, 0, 0},
        {"90", true, 90, 0},  // samples, never seconds
        {"1.5", false, 0, 0},
        {"0", false, 0, 0},
        {"0s", false, 0, 0},
        {"-3s", false, 0, 0},
        {"", false, 0, 0},
        {"s", false, 0, 0},
        {"ten seconds", false, 0, 0},
        {" 10s", false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CaptureGoal goal{123, 4.5};
        EXPECT_EQ(parseRecordingLength(c.text, goal), c.taken);
        if (c.taken) {
            EXPECT_EQ(goal.samples, c.samples);
            EXPECT_DOUBLE_EQ(goal.seconds, c.seconds);
        } else {
            EXPECT_EQ(goal.samples, 123u);  // untouched
        }
    }
}

// A scope file's sizes are 32 bits: a count it cannot number is refused before anything is
// written; a sigrok session, or a time, is left to the recording.
TEST(RecordChoices, AScopeFileRefusesMoreSamplesThanItNumbers) {
    struct Case {
        const char* path;
        CaptureGoal goal;
        bool refused;
    };
    const std::vector<Case> cases = {
        {"/tmp/run.SCO", {4'000'000'000, 0}, false}, {"/tmp/run.SCO", {4'294'967'295, 0}, true},
        {"/tmp/run.sco", {4'294'967'295, 0}, true},  {"/tmp/run.sr", {4'294'967'295, 0}, false},
        {"/tmp/run.SR", {4'294'967'295, 0}, false},  {"/tmp/run.SCO", {0, 36000}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + std::string(" ") + std::to_string(c.goal.samples));
        EXPECT_EQ(!recordingGoalProblem(c.path, c.goal).empty(), c.refused);
    }
}

}  // namespace
