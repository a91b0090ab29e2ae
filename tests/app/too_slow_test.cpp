#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "app/document/capture_cycle.h"
#include "core/scope_session.h"
#include "core/time_base.h"
#include "resources/command_ids.h"
#include "tests/support/probe_units.h"
#include "tests/support/recording_window_system.h"
#include "tests/support/session_samples.h"

namespace {

constexpr uint8_t A = 0x08;
constexpr uint8_t B = 0x10;
constexpr uint8_t C = 0x18;
constexpr uint64_t kStallNs = 100'000;
constexpr uint64_t kPauseNs = 50'000;

// Runs of (byte, length) one after the other.
std::vector<uint8_t> runsOf(const std::vector<std::pair<uint8_t, uint32_t>>& runs) {
    std::vector<uint8_t> samples;
    for (const auto& [byte, length] : runs) {
        samples.insert(samples.end(), length, byte);
    }
    return samples;
}

// How the samples were timed: a read a microsecond, a mark every `stride` samples; the read
// before `stallBefore` took `stallNs` longer, the loop paused before `pauseBefore` (a block's
// start), a read failed in the block that starts at `failedFrom`.
struct Timing {
    uint32_t stride = 1;
    uint64_t readNs = kReadNs;
    std::optional<uint32_t> stallBefore;
    uint64_t stallNs = kStallNs;
    std::optional<uint32_t> pauseBefore;
    std::optional<uint32_t> failedFrom;
};

Timing stallBefore(uint32_t sample, uint32_t stride = 1, uint64_t stallNs = kStallNs,
                   uint64_t readNs = kReadNs) {
    Timing timing;
    timing.stride = stride;
    timing.readNs = readNs;
    timing.stallBefore = sample;
    timing.stallNs = stallNs;
    return timing;
}

Timing pauseBefore(uint32_t sample) {
    Timing timing;
    timing.pauseBefore = sample;
    return timing;
}

Timing failedFrom(uint32_t sample, uint32_t stride) {
    Timing timing;
    timing.stride = stride;
    timing.failedFrom = sample;
    return timing;
}

void timeSamples(TimeBase& times, uint32_t samples, const Timing& timing) {
    const auto readAt = [&timing](uint32_t sample) {
        uint64_t ns = sample * timing.readNs;
        ns += timing.stallBefore && sample >= *timing.stallBefore ? timing.stallNs : 0;
        ns += timing.pauseBefore && sample >= *timing.pauseBefore ? kPauseNs : 0;
        return ns;
    };
    times.prepare(samples, timing.stride, 1);
    for (uint32_t sample = 0; sample < samples; sample += timing.stride) {
        if (timing.pauseBefore == sample) {
            times.mark(sample, readAt(sample) - kPauseNs);
        }
        times.mark(sample, readAt(sample));
    }
    times.mark(samples, readAt(samples));
    if (timing.failedFrom) {
        times.noteFailedReads(*timing.failedFrom, *timing.failedFrom + timing.stride, 1);
    }
    times.finish();
}

struct GapCase {
    const char* name;
    std::vector<uint8_t> capture;
    std::optional<Timing> timing;  // none: a recording without a time base
    bool tooSlow;
    uint32_t cutBefore = 0;  // the samples judged start here (Cut Before)
};

// A run of one or two samples where the sampling stood still was cut short by the stall, not made
// by the signal: the check leaves it out, and judges every other run as before.
TEST(TooSlowBesideGaps, RunsCutByAGapAreNotTheSignals) {
    const std::vector<uint8_t> oneAt10 = runsOf({{A, 10}, {B, 1}, {A, 10}, {C, 10}});
    const std::vector<uint8_t> twoAt10 = runsOf({{A, 10}, {B, 2}, {A, 10}});
    const std::vector<uint8_t> oneAt11 = runsOf({{A, 11}, {B, 1}, {A, 10}});
    const std::vector<uint8_t> oneAt13 = runsOf({{A, 13}, {B, 1}, {A, 10}});
    const std::vector<uint8_t> oneAt9 = runsOf({{A, 9}, {0xFF, 1}, {A, 10}});
    const std::vector<GapCase> cases = {
        {"no time base: as specified", oneAt10, std::nullopt, true},
        {"no gap: as specified", oneAt10, Timing{}, true},
        {"a stall inside a clock run", twoAt10, stallBefore(11), false},
        {"a stall right after the run", oneAt10, stallBefore(11), false},
        {"a stall right before the run", oneAt10, stallBefore(10), false},
        // The clock read before sample 11 and the read of it may be apart: a stall the clock
        // puts before 12 may have come before 11.
        {"a stall a sample away", oneAt10, stallBefore(12), false},
        {"a real short run, a stall two samples away", oneAt10, stallBefore(13), true},
        {"a real short run, a stall elsewhere", oneAt10, stallBefore(25), true},
        {"somewhere in a stalled block of four", oneAt11, stallBefore(11, 4), false},
        {"in the block after a stalled one", oneAt13, stallBefore(11, 4), true},
        // A hiccup too short for a gap still hides samples: a block of four took 3 us more.
        {"a hiccup in the run's block", oneAt11, stallBefore(11, 4, 3000), false},
        {"jitter of less than a sample's time", oneAt11, stallBefore(11, 4, 900), true},
        // Reads of 10 ns: the clock's jitter is many samples' time, a microsecond is a stall.
        {"cheap reads, jitter", oneAt11, stallBefore(11, 4, 900, 10), true},
        {"cheap reads, a hiccup", oneAt11, stallBefore(11, 4, 1100, 10), false},
        {"a planned pause before the run", oneAt10, pauseBefore(10), false},
        {"a planned pause a sample away", oneAt10, pauseBefore(12), true},
        {"a read that failed in the run's block", oneAt9, failedFrom(8, 4), false},
        {"after Cut Before, the gap by its capture number", oneAt10, stallBefore(11), false, 5},
        {"after Cut Before, a real short run", oneAt10, stallBefore(25), true, 5},
    };
    for (const GapCase& c : cases) {
        SCOPED_TRACE(c.name);
        TimeBase times;
        const auto length = static_cast<uint32_t>(c.capture.size());
        if (c.timing) {
            timeSamples(times, length, *c.timing);
        }
        EXPECT_EQ(samplingTooSlow(c.capture.data() + c.cutBefore, length - c.cutBefore, &times,
                                  c.cutBefore),
                  c.tooSlow);
    }
}

// The check after a capture judges the session's samples with their time base.
TEST(TooSlowBesideGaps, TheCaptureCheckUsesTheSessionsTimeBase) {
    for (const auto& [stall, shown] : {std::pair<uint32_t, bool>{11, false}, {25, true}}) {
        SCOPED_TRACE(stall);
        resetScopeSession();
        const std::vector<uint8_t> capture = runsOf({{A, 10}, {B, 1}, {A, 10}, {C, 10}});
        loadSessionSamples(capture);
        timeSamples(scopeSession.timeBase, static_cast<uint32_t>(capture.size()),
                    stallBefore(stall));
        RecordingWindowSystem ws;
        checkSampleRate(ws);
        EXPECT_EQ(ws.dialogs, shown ? std::vector<int>{IDD_TOO_SLOW} : std::vector<int>{});
    }
    resetScopeSession();
}

}  // namespace
