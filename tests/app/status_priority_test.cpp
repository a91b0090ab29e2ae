#include <gtest/gtest.h>

#include <string>

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

}  // namespace
