#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/readout/status_text.h"
#include "core/scope_session.h"
#include "tests/support/session_samples.h"
#include "tests/support/time_base_maker.h"

namespace {

// After a capture the status line says the priority its loop ran at; a file opened says none.
TEST(StatusLinePriority, FollowsTheRecording) {
    struct Case {
        const char* priority;
        std::string line;
    };
    const Case cases[] = {
        {"real-time (RealtimeKit)",
         "Untitled: 1000 samples at 1.000 MHz, 1.000 ms, real-time (RealtimeKit)"},
        {"ordinary: no permission; see README 'Clean captures'",
         "Untitled: 1000 samples at 1.000 MHz, 1.000 ms, ordinary: no permission; see README "
         "'Clean captures'"},
        {"", "Untitled: 1000 samples at 1.000 MHz, 1.000 ms"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.priority);
        resetScopeSession();
        loadSessionSamples(std::vector<uint8_t>(1000, 0x08));
        giveSessionEvenTimes(1000, 1e-6);
        scopeSession.samplingPriority = c.priority;
        EXPECT_EQ(statusText(LiveClock::now()), c.line);
    }
    resetRecordingDetails();
    EXPECT_EQ(scopeSession.samplingPriority, "");
    resetScopeSession();
}

// The trigger point in the capture's numbers and time, also after a cut; none where the
// recording holds none (never triggered, or cut away), and no time where it has no time base.
TEST(StatusLineTrigger, NamesTheTriggerPoint) {
    struct Case {
        uint32_t trigger;
        uint32_t origin;
        bool times;
        std::string line;
    };
    const Case cases[] = {
        {400, 0, true,
         "Untitled: 1000 samples at 1.000 MHz, 1.000 ms, trigger at sample 400, 400.0 \u00b5s "
         "after the first"},
        {400, 100, true,
         "Untitled: 900 samples at 1.000 MHz, 900.0 \u00b5s, trigger at sample 400, 400.0 "
         "\u00b5s after the first"},
        {400, 0, false, "Untitled: 1000 samples, no time base, trigger at sample 400"},
        {50, 100, true, "Untitled: 900 samples at 1.000 MHz, 900.0 \u00b5s"},
        {kNoTriggerSample, 0, true, "Untitled: 1000 samples at 1.000 MHz, 1.000 ms"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        resetScopeSession();
        loadSessionSamples(std::vector<uint8_t>(1000 - c.origin, 0x08));
        if (c.times) {
            giveSessionEvenTimes(1000, 1e-6);
        }
        scopeSession.sampleOrigin = c.origin;
        scopeSession.triggerSample = c.trigger;
        EXPECT_EQ(statusText(LiveClock::now()), c.line);
    }
    resetScopeSession();
}

// The gaps of the samples kept: how many, the time they lost together and the longest; planned
// pauses counted apart. Without either the line is as it was.
TEST(StatusLineGaps, CountsTheTimeLostAndTheLongest) {
    struct Case {
        const char* name;
        std::vector<Stall> stalls;
        std::vector<uint32_t> pauses;  // 20 µs each
        uint32_t cutBefore;
        std::string gaps;
    };
    const Case cases[] = {
        {"none", {}, {}, 0, ""},
        {"one", {{300, 12'100'000}}, {}, 0, ", 1 gap, 12.10 ms lost, longest 12.10 ms"},
        {"three",
         {{100, 30'000}, {300, 26'070'000}, {700, 12'100'000}},
         {},
         0,
         ", 3 gaps, 38.20 ms lost, longest 26.07 ms"},
        {"pauses apart",
         {{300, 500'000}},
         {200, 800},
         0,
         ", 1 gap, 500.0 µs lost, longest 500.0 µs, 2 planned pauses"},
        {"a pause alone", {}, {500}, 0, ", 1 planned pause"},
        {"cut before",
         {{100, 30'000}, {300, 1'000'000}},
         {},
         200,
         ", 1 gap, 1.000 ms lost, longest 1.000 ms"},
        // The gap before the first sample kept lies outside the samples kept.
        {"cut at a gap", {{300, 1'000'000}}, {}, 300, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        resetScopeSession();
        loadSessionSamples(std::vector<uint8_t>(1000 - c.cutBefore, 0x08));
        scopeSession.sampleOrigin = c.cutBefore;
        makeTimeBaseWithPauses(scopeSession.timeBase, 1000, 1000, c.stalls, c.pauses, 20'000);
        const std::string line = statusText(LiveClock::now());
        const std::string samples = std::to_string(1000 - c.cutBefore) + " samples at ";
        ASSERT_NE(line.find(samples), std::string::npos) << line;
        const size_t lasted = line.find(", ", line.find(samples));
        const size_t after = line.find(", ", lasted + 2);
        EXPECT_EQ(after == std::string::npos ? "" : line.substr(after), c.gaps) << line;
    }
    resetScopeSession();
}

}  // namespace
