#include "core/measure_zero.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/scope_session.h"
#include "tests/support/session_samples.h"
#include "tests/support/time_base_maker.h"

namespace {

// 1000 samples 1 µs apart with a stall of 2 ms before sample 300. The zero is the trigger point
// only where the recording holds it and the view measures from it; its time is the time base's,
// stall included, and none while a capture is still filling the time base.
TEST(MeasureZero, TheTriggerPointWhereTheRecordingHoldsIt) {
    struct Case {
        const char* what;
        uint32_t trigger;
        uint32_t origin;
        bool measureFromTrigger;
        bool capturing;
        int64_t sample;
        double seconds;
    };
    const Case cases[] = {
        {"no trigger point", kNoTriggerSample, 0, true, false, 0, 0},
        {"before the stall", 200, 0, true, false, 200, 200e-6},
        {"after the stall", 500, 0, true, false, 500, 2.5e-3},
        {"after a cut", 500, 100, true, false, 500, 2.5e-3},
        {"cut away", 50, 100, true, false, 0, 0},
        {"past the end", 1000, 0, true, false, 0, 0},
        {"not asked for", 500, 0, false, false, 0, 0},
        {"capture running", 500, 0, true, true, 500, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        resetScopeSession();
        loadSessionSamples(std::vector<uint8_t>(1000 - c.origin));
        makeTimeBase(scopeSession.timeBase, 1000, 1000, {{300, 2'000'000}});
        scopeSession.sampleOrigin = c.origin;
        scopeSession.triggerSample = c.trigger;
        scopeSession.view.measureFromTrigger = c.measureFromTrigger;
        scopeSession.workerCapturing = c.capturing;
        const MeasureZero zero = measureZero(scopeSession);
        EXPECT_EQ(zero.sample, c.sample);
        EXPECT_NEAR(zero.seconds, c.seconds, 1e-9);
        scopeSession.workerCapturing = false;
    }
    resetScopeSession();
}

}  // namespace
