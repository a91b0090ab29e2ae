#include "capture/sampler.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "capture/pause_plan.h"
#include "capture/time_marker.h"
#include "core/scope_session.h"
#include "core/trigger_conditions.h"
#include "tests/support/fake_scheduling.h"
#include "tests/support/probe_units.h"
#include "tests/support/scripted_port.h"

namespace {

constexpr uint8_t kChannel2 = kChannelBits[1];
constexpr uint8_t kChannel5 = kChannelBits[4];

// What a ticked Port box waits for.
TriggerMatch anyChange(uint8_t channels) {
    TriggerMatch match;
    match.anyEdgeMask = channels;
    return match;
}

// Every byte value in turn, bits 0 to 2 included, so a sample out of place shows.
uint8_t patternByte(uint64_t readIndex) {
    return static_cast<uint8_t>(readIndex * 37 + 11);
}

struct TriggerCase {
    const char* name;
    std::vector<uint8_t> script;  // then repeats the last byte
    uint8_t mask;
    uint32_t maxPolls;
    uint64_t reads;  // the read that ended the wait is the last one made
    TriggerWait result = TriggerWait::Came;
};

TEST(PortTriggerWait, EndsOnTheFirstChangeOfASelectedChannel) {
    const std::vector<TriggerCase> cases = {
        {"rising edge", {0x00, 0x00, 0x00, kChannel1}, kChannel1, 0, 4},
        {"falling edge", {0x80, 0x80, 0x00}, kChannel5, 0, 3},
        {"either of two selected channels", {0x18, 0x18, 0x18, kChannel1}, 0x18, 0, 4},
        {"unselected channels and bits 0-2 ignored",
         {0x00, 0x10, 0x20, 0x40, 0x80, 0x07, 0xF7, kChannel1},
         kChannel1,
         0,
         8},
        {"first read masked before comparing", {0xF7, 0x00, 0xF6, 0x77, 0xFF}, kChannel1, 0, 5},
        {"short pulse caught", {0x00, 0x00, kChannel2, 0x00}, kChannel2, 0, 3},
        {"change on the last allowed poll", {0x00, 0, 0, 0, 0, kChannel1}, kChannel1, 5, 6},
        {"change one read beyond the bound unseen",
         {0x00, 0, 0, 0, 0, 0, kChannel1},
         kChannel1,
         5,
         6,
         TriggerWait::GaveUp},
    };
    for (const TriggerCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPort port;
        port.play(c.script);
        EXPECT_EQ(waitForTrigger(port, anyChange(c.mask), c.maxPolls, nullptr), c.result);
        EXPECT_EQ(port.reads(), c.reads);
    }
}

TEST(PortTriggerWait, UnboundedWaitOutlastsTheInlineBound) {
    ScriptedPort port;
    port.play({}, [](uint64_t i) { return i < kInlineTriggerPolls + 5 ? 0x00 : kChannel1; });
    EXPECT_EQ(waitForTrigger(port, anyChange(kChannel1), 0, nullptr), TriggerWait::Came);
    EXPECT_EQ(port.reads(), kInlineTriggerPolls + 6);
}

TEST(PortTriggerWait, AnAbandonedWaitSaysSo) {
    struct Case {
        const char* name;
        int32_t abandon;
        std::vector<uint8_t> script;
        TriggerWait result;
    };
    const std::vector<Case> cases = {
        {"abandoned while nothing changes", 1, {0x00}, TriggerWait::Abandoned},
        {"flag clear, trigger comes", 0, {0x00, 0x00, kChannel1}, TriggerWait::Came},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPort port;
        port.play(c.script);
        std::atomic<int32_t> abandon{c.abandon};
        EXPECT_EQ(waitForTrigger(port, anyChange(kChannel1), 0, &abandon), c.result);
    }
}

class InlineCaptureTest : public ::testing::Test {
protected:
    void SetUp() override { resetScopeSession(); }
    void TearDown() override {
        scopeSession.sampleData = nullptr;  // the test owns the buffer
        resetScopeSession();
    }

    // What startCapture has prepared before the inline loop runs.
    void prepare(uint32_t samples) {
        buffer.assign(samples, 0);
        scopeSession.sampleData = buffer.data();
        scopeSession.captureSize = static_cast<int32_t>(samples);
        scopeSession.sampleLength = samples;
    }

    // Every slot holds the byte of read `firstRead` + slot, as read.
    void expectSamplesFrom(const ScriptedPort& port, uint64_t firstRead) {
        for (size_t i = 0; i < buffer.size(); ++i) {
            ASSERT_EQ(buffer[i], port.byteAt(firstRead + i)) << "slot " << i;
        }
    }

    ScriptedPortAccess ports;
    std::vector<uint8_t> buffer;
};

TEST_F(InlineCaptureTest, FillsEverySlotInReadOrderAndKeepsThemAll) {
    struct Case {
        const char* name;
        uint32_t samples;
        bool quiet;
        int32_t breakRequested;
    };
    const std::vector<Case> cases = {
        {"5000 samples", 5000, false, 0},
        {"in a quiet section", 5000, true, 0},
        {"Break ignored", 5000, false, 1},
        {"single sample", 1, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPortAccess access;
        access.quiet = c.quiet;
        access.lpt1.play({}, patternByte);
        prepare(c.samples);
        scopeSession.breakRequested = c.breakRequested;
        captureInline(access);
        EXPECT_EQ(scopeSession.sampleLength, c.samples);
        EXPECT_EQ(access.lpt1.reads(), c.samples);
        expectSamplesFrom(access.lpt1, 0);
    }
}

TEST_F(InlineCaptureTest, FirstSampleIsTheReadAfterTheTrigger) {
    ports.lpt1.play({0x80, 0x87, 0x80, 0x88}, patternByte);
    scopeSession.portTriggerMask = kChannel1;
    prepare(100);
    EXPECT_TRUE(captureInline(ports));
    EXPECT_EQ(ports.lpt1.reads(), 4u + 100u);
    expectSamplesFrom(ports.lpt1, 4);
}

// Channel 1 rises at `triggerRead`; the other bits move all the time.
uint8_t risingAt(uint64_t readIndex, uint64_t triggerRead) {
    const uint8_t others = patternByte(readIndex) & static_cast<uint8_t>(~kChannel1);
    return readIndex >= triggerRead ? others | kChannel1 : others;
}

TEST_F(InlineCaptureTest, TriggerWaitGivesUpAfterItsBoundAndCapturesAnyway) {
    struct Case {
        const char* name;
        std::optional<uint64_t> triggerRead;
        uint64_t firstSampleRead;
        bool triggered;
    };
    // One reference read, then at most kInlineTriggerPolls compared reads.
    const uint64_t afterBound = 1 + uint64_t{kInlineTriggerPolls};
    const std::vector<Case> cases = {
        {"change on the last compared read", afterBound - 1, afterBound, true},
        {"change just beyond the bound is stored", afterBound, afterBound, false},
        {"no change at all", std::nullopt, afterBound, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPortAccess access;
        const uint64_t trigger = c.triggerRead.value_or(UINT64_MAX);
        access.lpt1.play({}, [trigger](uint64_t i) { return risingAt(i, trigger); });
        scopeSession.portTriggerMask = kChannel1;
        prepare(50);
        EXPECT_EQ(captureInline(access), c.triggered);
        EXPECT_EQ(access.lpt1.reads(), c.firstSampleRead + 50);
        expectSamplesFrom(access.lpt1, c.firstSampleRead);
    }
}

constexpr uint64_t kStallNs = 5'000'000;

struct TimingCase {
    const char* name;
    uint32_t samples;
    std::vector<uint64_t> stallReads;  // each takes kStallNs more
    std::vector<TimeGap> gaps;
};

// The loop reads the virtual clock before each block of eight samples and after the last: an
// even pace gives every sample its exact time; a stall shows as a gap halfway into its block (the
// last one holds four samples), the samples on either side of it keep the even pace. A capture
// of one block is timed evenly.
TEST_F(InlineCaptureTest, TimesItsSamplesByTheClockAndFindsTheStalls) {
    const std::vector<TimingCase> cases = {
        {"even pacing", 100, {}, {}},
        {"one stall", 100, {37}, {{36, kStallNs}}},
        {"a stall in the first block", 100, {3}, {{4, kStallNs}}},
        {"a stall in the last block", 100, {97}, {{98, kStallNs}}},
        {"two stalls", 100, {10, 70}, {{12, kStallNs}, {68, kStallNs}}},
        {"shorter than one block", 5, {}, {}},
    };
    setFirstBlockLength(8);
    for (const TimingCase& c : cases) {
        SCOPED_TRACE(c.name);
        VirtualProbeClock clock(123'456'789);
        ScriptedPortAccess access;
        access.timing = &clock;
        access.lpt1.play({}, patternByte);
        access.lpt1.paceWith(clock, kReadNs);
        for (const uint64_t read : c.stallReads) {
            access.lpt1.stallAt(read, kStallNs);
        }
        prepare(c.samples);
        captureInline(access);
        const TimeBase& times = scopeSession.timeBase;
        ASSERT_TRUE(times.known());
        EXPECT_EQ(times.markCount(), (c.samples + 7) / 8 + 1);
        ASSERT_EQ(times.gaps().size(), c.gaps.size());
        uint64_t stalled = 0;
        for (size_t i = 0; i < c.gaps.size(); ++i) {
            EXPECT_EQ(times.gaps()[i].sample, c.gaps[i].sample);
            EXPECT_EQ(times.gaps()[i].nanoseconds, c.gaps[i].nanoseconds);
        }
        for (uint32_t sample = 0; sample <= c.samples; ++sample) {
            const std::optional<TimeGap> gap = times.gapBefore(sample);
            stalled += gap ? gap->nanoseconds : 0;
            ASSERT_NEAR(times.secondsAt(sample), (sample * kReadNs + stalled) * 1e-9, 1e-12)
                << sample;
        }
        const uint64_t totalNs = c.samples * kReadNs + c.stallReads.size() * kStallNs;
        EXPECT_NEAR(times.meanPeriod(), totalNs * 1e-9 / c.samples, 1e-15);
    }
    setFirstBlockLength(0);
}

// Time 0 is the first sample after the trigger: a stall while waiting for it does not count.
TEST_F(InlineCaptureTest, TheTimeBaseStartsWhereTheTriggerWaitEnds) {
    VirtualProbeClock clock;
    ports.timing = &clock;
    ports.lpt1.play({0x00, 0x00, kChannel1}, patternByte);
    ports.lpt1.paceWith(clock, kReadNs);
    ports.lpt1.stallAt(1, kStallNs);
    scopeSession.portTriggerMask = kChannel1;
    prepare(10);
    captureInline(ports);
    EXPECT_TRUE(scopeSession.timeBase.gaps().empty());
    EXPECT_NEAR(scopeSession.timeBase.secondsAt(10), 10 * kReadNs * 1e-9, 1e-15);
    EXPECT_NEAR(scopeSession.timeBase.meanPeriod(), kReadNs * 1e-9, 1e-15);
}

TEST_F(InlineCaptureTest, ReadsOnlyThePortChosenByPortNumber) {
    for (uint8_t portNumber : {1, 2}) {
        SCOPED_TRACE(static_cast<int>(portNumber));
        ScriptedPortAccess access;
        access.lpt1.play({0x00, kChannel1, 0x11});
        access.lpt2.play({0x00, kChannel1, 0x22});
        ScriptedPort& chosen = portNumber == 1 ? access.lpt1 : access.lpt2;
        ScriptedPort& other = portNumber == 1 ? access.lpt2 : access.lpt1;
        scopeSession.portNumber = portNumber;
        scopeSession.portTriggerMask = kChannel1;
        prepare(20);
        captureInline(access);
        EXPECT_EQ(access.portsAsked(), std::vector<int>{portNumber});
        EXPECT_EQ(other.reads(), 0u);
        EXPECT_EQ(chosen.reads(), 22u);
        expectSamplesFrom(chosen, 2);
    }
}

struct PauseCase {
    const char* name;
    Privilege privilege;
    uint64_t rttimeUs;  // RLIMIT_RTTIME, soft and hard
    RealTimeBandwidth throttling;
    std::vector<uint32_t> pausedBefore;  // the samples the loop paused before
    uint64_t pauseNs;
};

// At real-time priority the loop pauses where its limits ask: 200 reads of 1 us in blocks of 8,
// RLIMIT_RTTIME of 100 us (a 20 us block after every 50 us of running) or throttling to 60 us
// of every 100 us (58 us runs, 42 us pauses); at ordinary priority it never pauses. Each pause
// is a gap of its own kind, and the times after it include it.
TEST_F(InlineCaptureTest, AtRealTimePriorityPausesWhereItsLimitsAsk) {
    const std::vector<PauseCase> cases = {
        {"root, no limits", Privilege::Root, kNoLimit, {}, {}, 0},
        {"root, RLIMIT_RTTIME", Privilege::Root, 100, {}, {56, 112, 168}, kShortPauseNs},
        {"root, throttled", Privilege::Root, kNoLimit, {60, 100}, {64, 128, 192}, 42'000},
        {"ordinary priority", Privilege::None, 100, {60, 100}, {}, 0},
    };
    setFirstBlockLength(8);
    for (const PauseCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeScheduling system;
        system.privileged = c.privilege;
        system.rttime = ResourceLimit{c.rttimeUs, c.rttimeUs};
        system.throttling = c.throttling;
        SchedulingScope scope(system);
        VirtualProbeClock clock;
        ScriptedPortAccess access;
        access.quiet = true;
        access.timing = &clock;
        access.lpt1.play({}, patternByte);
        access.lpt1.paceWith(clock, kReadNs);
        prepare(200);
        captureInline(access);
        const TimeBase& times = scopeSession.timeBase;
        ASSERT_EQ(times.gaps().size(), c.pausedBefore.size());
        for (size_t i = 0; i < c.pausedBefore.size(); ++i) {
            EXPECT_EQ(times.gaps()[i].sample, c.pausedBefore[i]);
            EXPECT_EQ(times.gaps()[i].nanoseconds, c.pauseNs);
            EXPECT_EQ(times.gaps()[i].kind, GapKind::PlannedPause);
        }
        const uint64_t paused = c.pausedBefore.size() * c.pauseNs;
        EXPECT_NEAR(times.secondsAt(200), (200 * kReadNs + paused) * 1e-9, 1e-12);
        EXPECT_EQ(times.periodSpread().high, kReadNs * 1e-9);
        const bool realTime = c.privilege != Privilege::None;
        EXPECT_EQ(scopeSession.samplingPriority.starts_with("real-time"), realTime);
        expectSamplesFrom(access.lpt1, 0);
        EXPECT_EQ(system.state(), (Scheduling{SCHED_OTHER, 0})) << "restored";
    }
    setFirstBlockLength(0);
}

// The trigger wait runs at the same priority and takes its pauses too, before the capture's time.
TEST_F(InlineCaptureTest, TheTriggerWaitPausesAsWell) {
    constexpr uint64_t kTriggerRead = 5000;
    FakeScheduling system;
    system.privileged = Privilege::Root;
    system.rttime = ResourceLimit{100, 100};
    SchedulingScope scope(system);
    VirtualProbeClock clock;
    ports.quiet = true;
    ports.timing = &clock;
    ports.lpt1.play({}, [](uint64_t i) { return risingAt(i, kTriggerRead); });
    ports.lpt1.paceWith(clock, kReadNs);
    scopeSession.portTriggerMask = kChannel1;
    prepare(10);
    EXPECT_TRUE(captureInline(ports));
    const uint64_t reads = kTriggerRead + 1 + 10;
    const uint64_t paused = clock.nowNanoseconds() - reads * kReadNs;
    // 5 ms of waiting against a 50 us run: many pauses, not just the one at its start.
    EXPECT_GT(paused, 10 * kShortPauseNs);
    EXPECT_EQ(paused % kShortPauseNs, 0u);
    EXPECT_TRUE(scopeSession.timeBase.gaps().empty());
}

}  // namespace
