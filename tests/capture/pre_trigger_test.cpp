#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "capture/pre_trigger_ring.h"
#include "capture/sampler.h"
#include "core/scope_session.h"
#include "core/trigger_conditions.h"
#include "tests/support/probe_units.h"
#include "tests/support/scripted_port.h"

namespace {

// Before the trigger every byte differs (channel 1 low), so a sample out of place shows.
uint8_t waitByte(uint64_t readIndex) {
    return static_cast<uint8_t>((readIndex * 37 + 11) & ~kChannel1);
}
uint8_t laterByte(uint64_t readIndex) {
    return static_cast<uint8_t>(readIndex * 53 + 5);
}

struct RingCase {
    const char* name;
    uint32_t samples;
    uint8_t percent;
    std::vector<uint64_t> pulses;  // channel 1 rises on each of these reads
    uint64_t firstRead;            // the read that becomes sample 0
    uint32_t trigger;              // the trigger point's sample
};

// At 20 samples and 50% the wait fills reads 0 to 9 and is armed from read 10 on.
const std::vector<RingCase> kRingCases = {
    {"no share: the read after the trigger first", 20, 0, {5}, 6, 0},
    {"first edge the armed wait can see", 20, 50, {11}, 1, 10},
    {"edges while the ring fills are passed over", 20, 50, {2, 9, 14}, 4, 10},
    {"an edge onto the first armed read is passed over", 20, 50, {10, 13}, 3, 10},
    {"ring wrapped many times", 20, 50, {30}, 20, 10},
    {"90% of a longer capture", 200, 90, {1000}, 820, 180},
    {"10% over several clock marks", 5000, 10, {9000}, 8500, 500},
    {"high from the arming on is no edge; the trigger's read in the ring's last slot",
     5000,
     10,
     {500, 501, 1001},
     501,
     500},
};

class PreTriggerTest : public ::testing::Test {
protected:
    void SetUp() override { resetScopeSession(); }
    void TearDown() override {
        scopeSession.sampleData = nullptr;  // the test owns the buffer
        resetScopeSession();
    }

    // With `stallNs` more on read `stalledRead`, as a read the machine held up.
    void capture(const RingCase& c, uint64_t stalledRead = 0, uint64_t stallNs = 0) {
        ports = std::make_unique<ScriptedPortAccess>();
        clock = std::make_unique<VirtualProbeClock>();
        ports->timing = clock.get();
        ports->lpt1.paceWith(*clock, kReadNs);
        ports->lpt1.stallAt(stalledRead, stallNs);
        ports->lpt1.playPulses(kChannel1, c.pulses, waitByte, laterByte);
        buffer.assign(c.samples, 0);
        scopeSession.sampleData = buffer.data();
        scopeSession.sampleLength = c.samples;
        scopeSession.triggerConditions = packConditions({TriggerCondition::Rising});
        scopeSession.preTriggerPercent = c.percent;
        EXPECT_TRUE(captureInline(*ports));
    }

    std::unique_ptr<ScriptedPortAccess> ports;
    std::unique_ptr<VirtualProbeClock> clock;
    std::vector<uint8_t> buffer;
};

// The newest reads of the wait start the recording in read order, the trigger's read among them,
// and the sampling goes on from the next read.
TEST_F(PreTriggerTest, TheRingsNewestReadsStartTheRecording) {
    for (const RingCase& c : kRingCases) {
        SCOPED_TRACE(c.name);
        capture(c);
        EXPECT_EQ(scopeSession.sampleLength, c.samples);
        for (uint32_t i = 0; i < c.samples; ++i) {
            ASSERT_EQ(buffer[i], ports->lpt1.byteAt(c.firstRead + i)) << "sample " << i;
        }
        EXPECT_EQ(scopeSession.triggerSample, c.trigger);
        EXPECT_EQ(triggerIndex(scopeSession), c.trigger);
    }
}

// One account of time from the first kept read to the last sample, across the trigger.
TEST_F(PreTriggerTest, TheTimeBaseRunsOnAcrossTheTrigger) {
    for (const RingCase& c : kRingCases) {
        SCOPED_TRACE(c.name);
        capture(c);
        const TimeBase& times = scopeSession.timeBase;
        ASSERT_TRUE(times.known());
        EXPECT_TRUE(times.gaps().empty());
        for (uint32_t i = 0; i < c.samples; i += 7) {
            ASSERT_NEAR(times.secondsAt(i), i * kReadNs * 1e-9, 1e-12) << "sample " << i;
        }
    }
}

// A read held up while the wait ran shows where it came: the kept samples before it keep their
// times, those after it are later by the stall, as is everything after the trigger.
TEST_F(PreTriggerTest, AStallInTheWaitShowsWhereItCame) {
    constexpr uint64_t kStallNs = 1'000'000;
    // Reads 6500 to 9000 are kept, the stall on read 7750 is sample 1250.
    capture({"stall", 5000, 50, {9000}, 6500, 2500}, 7750, kStallNs);
    const TimeBase& times = scopeSession.timeBase;
    for (const uint32_t sample : {0u, 500u, 900u}) {
        EXPECT_NEAR(times.secondsAt(sample), sample * kReadNs * 1e-9, 1e-9) << sample;
    }
    for (const uint32_t sample : {1600u, 2400u, 2500u, 4000u}) {
        EXPECT_NEAR(times.secondsAt(sample), (sample * kReadNs + kStallNs) * 1e-9, 1e-9) << sample;
    }
}

TEST_F(PreTriggerTest, NoTriggerNoTriggerPointAndNoRing) {
    ScriptedPortAccess access;
    access.lpt1.play({}, laterByte);
    buffer.assign(50, 0);
    scopeSession.sampleData = buffer.data();
    scopeSession.sampleLength = 50;
    scopeSession.preTriggerPercent = 50;
    scopeSession.triggerSample = 3;  // left from a capture before
    EXPECT_TRUE(captureInline(access));
    EXPECT_EQ(access.lpt1.reads(), 50u);
    EXPECT_EQ(buffer[0], access.lpt1.byteAt(0));
    EXPECT_EQ(triggerIndex(scopeSession), std::nullopt);
}

// Levels are looked at from the armed wait's first read on: one that holds there fires there.
TEST_F(PreTriggerTest, LevelsCountOnceTheRingHoldsItsShare) {
    struct Case {
        const char* name;
        std::vector<uint8_t> script;  // its last byte repeated
        uint64_t firstRead;
    };
    // 10 samples at 50%: reads 0 to 4 fill the ring, read 5 is the first armed one.
    const std::vector<Case> cases = {
        {"high from the start", {kChannel1}, 0},
        {"high just as the wait is armed", {0, 0, 0, 0, 0, kChannel1}, 0},
        {"high only while the ring fills", {0, kChannel1, kChannel1, 0, 0, 0, 0, 0, kChannel1}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPortAccess access;
        access.lpt1.play(c.script);
        buffer.assign(10, 0xAA);
        scopeSession.sampleData = buffer.data();
        scopeSession.sampleLength = 10;
        scopeSession.triggerConditions = packConditions({TriggerCondition::High});
        scopeSession.preTriggerPercent = 50;
        EXPECT_TRUE(captureInline(access));
        for (uint32_t i = 0; i < 10; ++i) {
            ASSERT_EQ(buffer[i], access.lpt1.byteAt(c.firstRead + i)) << "sample " << i;
        }
        EXPECT_EQ(triggerIndex(scopeSession), 5u);
    }
}

// A wait that gives up records no trigger point; what it kept are real reads in read order and the
// capture runs on from there, one account of time, whether the bound ran out after the ring was
// filled or while it filled.
TEST_F(PreTriggerTest, AWaitThatGivesUpHasNoTriggerPoint) {
    struct Case {
        const char* name;
        uint32_t samples;  // at 50%
        uint64_t firstRead;
    };
    const uint64_t waitReads = uint64_t{kInlineTriggerPolls} + 1;
    const std::vector<Case> cases = {
        {"after the ring was filled", 10, waitReads - 6},
        {"while the ring filled", 2 * kInlineTriggerPolls + 10, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VirtualProbeClock virtualClock;
        ScriptedPortAccess access;
        access.timing = &virtualClock;
        access.lpt1.paceWith(virtualClock, kReadNs);
        access.lpt1.play({}, waitByte);  // channel 1 never rises
        buffer.assign(c.samples, 0xAA);
        scopeSession.sampleData = buffer.data();
        scopeSession.sampleLength = c.samples;
        scopeSession.triggerConditions = packConditions({TriggerCondition::Rising});
        scopeSession.preTriggerPercent = 50;
        EXPECT_FALSE(captureInline(access));
        EXPECT_EQ(triggerIndex(scopeSession), std::nullopt);
        EXPECT_EQ(access.lpt1.reads(), c.firstRead + c.samples);
        for (uint32_t i = 0; i < c.samples; ++i) {
            ASSERT_EQ(buffer[i], access.lpt1.byteAt(c.firstRead + i)) << "sample " << i;
        }
        const TimeBase& times = scopeSession.timeBase;
        EXPECT_TRUE(times.gaps().empty());
        EXPECT_NEAR(times.secondsAt(c.samples - 1), (c.samples - 1) * kReadNs * 1e-9, 1e-9);
    }
}

// The wait's bound and its abandon flag hold while the ring fills as after; what the ring holds
// then are the newest reads, in read order.
TEST(PreTriggerWait, TheBoundAndAbandonCountFromTheFirstRead) {
    constexpr uint64_t kNone = 0;
    struct Case {
        const char* name;
        uint32_t maxPolls;
        int32_t abandon;
        uint64_t risingAt;  // kNone: channel 1 never rises
        TriggerWait result;
        uint64_t reads;
    };
    // A ring of 11 slots: reads 0 to 9 fill it, read 10 is the first armed one.
    const std::vector<Case> cases = {
        {"bound runs out while the ring fills", 5, 0, kNone, TriggerWait::GaveUp, 6},
        {"bound runs out as the ring holds its share", 9, 0, 11, TriggerWait::GaveUp, 10},
        {"bound runs out on the first armed read", 10, 0, 11, TriggerWait::GaveUp, 11},
        {"trigger on the last read the bound allows", 11, 0, 11, TriggerWait::Came, 12},
        {"no bound", 0, 0, 5000, TriggerWait::Came, 5001},
        {"abandoned while the ring fills", 0, 1, 11, TriggerWait::Abandoned, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPort port;
        if (c.risingAt == kNone) {
            port.play({}, waitByte);
        } else {
            port.playPulses(kChannel1, {c.risingAt}, waitByte, laterByte);
        }
        VirtualProbeClock clock;
        std::vector<uint8_t> slots(11, 0xAA);
        PreTriggerRing ring(slots.data(), 11, clock);
        const std::atomic<int32_t> abandon{c.abandon};
        EXPECT_EQ(waitForTrigger(port, compileTrigger({TriggerCondition::Rising}), c.maxPolls,
                                 &abandon, nullptr, &ring),
                  c.result);
        EXPECT_EQ(port.reads(), c.reads);
        const uint32_t kept = std::min<uint32_t>(c.reads, 11);
        ASSERT_EQ(ring.kept(), kept);
        ring.putInOrder();
        for (uint32_t i = 0; i < kept; ++i) {
            ASSERT_EQ(slots[i], port.byteAt(c.reads - kept + i)) << "slot " << i;
        }
    }
}

TEST(PreTriggerSlots, HoldTheShareAndTheTriggersRead) {
    struct Case {
        uint32_t length;
        uint8_t percent;
        uint32_t slots;
    };
    const std::vector<Case> cases = {
        {30000, 50, 15001}, {30000, 0, 0}, {100, 90, 91}, {100, 10, 11},
        {1, 90, 0},         {9, 90, 9},    {10, 25, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.length) + " at " + std::to_string(c.percent) + "%");
        EXPECT_EQ(preTriggerSlots(c.length, c.percent), c.slots);
    }
}

}  // namespace
