#include <gtest/gtest.h>

#include "app/readout/period_text.h"
#include "core/measure_text.h"

namespace {

TEST(PeriodText, UnitsAndPlainSecondsAreRead) {
    const struct {
        const char* text;
        double seconds;
    } cases[] = {
        {"1 us", 1e-6}, {"1us", 1e-6},   {" 2.5 ms ", 2.5e-3}, {"100 ns", 100e-9},  {"1e-6", 1e-6},
        {"1", 1},       {"3 ps", 3e-12}, {"1 fs", 1e-15},      {"1 \u00b5s", 1e-6}, {"0.5 s", 0.5},
    };
    for (const auto& c : cases) {
        double seconds = 0;
        EXPECT_EQ(parsePeriodText(c.text, seconds), "") << c.text;
        EXPECT_DOUBLE_EQ(seconds, c.seconds) << c.text;
    }
}

TEST(PeriodText, WhatIsNotAPeriodIsRefusedAndLeavesTheValue) {
    const char* const unreadable[] = {"", "us", "1 minute", "-1 us", "0", "1 us 2", "nan", "inf s"};
    for (const char* text : unreadable) {
        double seconds = 7;
        EXPECT_EQ(parsePeriodText(text, seconds),
                  "Give the time between two samples, such as 1 us, 2.5 ms or 100 ns.")
            << text;
        EXPECT_EQ(seconds, 7) << text;
    }
    for (const char* text : {"2 s", "0.1 fs", "1e-16"}) {
        double seconds = 7;
        EXPECT_EQ(parsePeriodText(text, seconds),
                  "The time between two samples must lie between 1 fs and 1 s.")
            << text;
    }
}

// The dialogs offer the period as the readout writes times; it must read back.
TEST(PeriodText, WhatTheProgramWritesReadsBack) {
    for (double seconds : {1e-6, 2.5e-3, 1.25e-7, 1.0}) {
        double back = 0;
        ASSERT_EQ(parsePeriodText(formatSeconds(seconds), back), "") << formatSeconds(seconds);
        EXPECT_NEAR(back, seconds, seconds * 1e-3);
    }
}

}  // namespace
