#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "capture/pre_trigger_ring.h"
#include "capture/sampler.h"
#include "core/scope_session.h"
#include "core/trigger_conditions.h"
#include "tests/support/scripted_port.h"

namespace {

constexpr uint8_t kChannel1 = kChannelBits[0];
constexpr uint64_t kReadNs = 1000;

// Before the trigger every byte differs (channel 1 low), so a sample out of place shows.
uint8_t waitByte(uint64_t readIndex) {
    return static_cast<uint8_t>((readIndex * 37 + 11) & ~kChannel1);
}
uint8_t laterByte(uint64_t readIndex) {
    return static_cast<uint8_t>(readIndex * 53 + 5);
}

// Plays `risingAt` reads without channel 1, then its rising edge, then anything.
void scriptRisingEdge(ScriptedPort& port, uint64_t risingAt) {
    std::vector<uint8_t> script;
    for (uint64_t read = 0; read < risingAt; ++read) {
        script.push_back(waitByte(read));
    }
    script.push_back(kChannel1);
    port.play(script, laterByte);
}

struct RingCase {
    const char* name;
    uint32_t samples;
    uint8_t percent;
    uint64_t risingAt;   // the read the trigger fires on
    uint64_t firstRead;  // the read that becomes sample 0
    uint32_t trigger;    // the trigger point's sample
};

const std::vector<RingCase> kRingCases = {
    {"no share: the read after the trigger first", 20, 0, 5, 6, 0},
    {"ring partly filled: fewer samples before", 20, 50, 4, 0, 4},
    {"ring just full", 20, 50, 10, 0, 10},
    {"ring wrapped by one read", 20, 50, 11, 1, 10},
    {"ring wrapped many times", 20, 50, 30, 20, 10},
    {"90% of a longer capture", 200, 90, 1000, 820, 180},
    {"10% over several clock marks", 5000, 10, 9000, 8500, 500},
};

class PreTriggerTest : public ::testing::Test {
protected:
    void SetUp() override { resetScopeSession(); }
    void TearDown() override {
        scopeSession.sampleData = nullptr;  // the test owns the buffer
        resetScopeSession();
    }

    void capture(const RingCase& c) {
        ports = std::make_unique<ScriptedPortAccess>();
        clock = std::make_unique<VirtualProbeClock>();
        ports->timing = clock.get();
        ports->lpt1.paceWith(*clock, kReadNs);
        scriptRisingEdge(ports->lpt1, c.risingAt);
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

// A level that already holds fires on the first read, which is then the trigger point.
TEST_F(PreTriggerTest, ALevelAlreadyTrueFiresOnTheFirstRead) {
    ScriptedPortAccess access;
    access.lpt1.play({kChannel1}, laterByte);
    buffer.assign(10, 0);
    scopeSession.sampleData = buffer.data();
    scopeSession.sampleLength = 10;
    scopeSession.triggerConditions = packConditions({TriggerCondition::High});
    scopeSession.preTriggerPercent = 50;
    EXPECT_TRUE(captureInline(access));
    EXPECT_EQ(buffer[0], kChannel1);
    EXPECT_EQ(buffer[1], access.lpt1.byteAt(1));
    EXPECT_EQ(triggerIndex(scopeSession), 0u);
}

// A wait that gives up records no trigger point; its kept reads are real samples all the same.
TEST_F(PreTriggerTest, AWaitThatGivesUpHasNoTriggerPoint) {
    ScriptedPortAccess access;
    access.lpt1.play({0x00});
    buffer.assign(10, 0xAA);
    scopeSession.sampleData = buffer.data();
    scopeSession.sampleLength = 10;
    scopeSession.triggerConditions = packConditions({TriggerCondition::Rising});
    scopeSession.preTriggerPercent = 50;
    EXPECT_FALSE(captureInline(access));
    EXPECT_EQ(triggerIndex(scopeSession), std::nullopt);
    EXPECT_EQ(buffer, std::vector<uint8_t>(10, 0x00));
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
