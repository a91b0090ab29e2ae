#include "capture/sampling_worker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "capture/pause_plan.h"
#include "core/scope_session.h"
#include "display/trace_view.h"
#include "tests/support/fake_scheduling.h"
#include "tests/support/probe_units.h"
#include "tests/support/recording_canvas.h"
#include "tests/support/recording_window_system.h"
#include "tests/support/scripted_port.h"

namespace {

constexpr int32_t kFastUnits = 5;
constexpr int32_t kSlowUnits = 50;

// Every byte value in turn, bits 0 to 2 included, so a sample out of place shows.
uint8_t patternByte(uint64_t readIndex) {
    return static_cast<uint8_t>(readIndex * 37 + 11);
}

// Runs `step` on a helper thread. A step still running after the wait limit is a hang: the test
// fails and the program ends at once, so that one fault cannot stall the whole suite.
void finishesInTime(const char* what, const std::function<void()>& step) {
    std::promise<void> done;
    std::future<void> finished = done.get_future();
    std::thread helper([&] {
        step();
        done.set_value();
    });
    if (finished.wait_for(kTestWaitLimit) != std::future_status::ready) {
        std::fprintf(stderr, "FAILED: %s did not return; giving up on the test program\n", what);
        std::fflush(stderr);
        std::_Exit(EXIT_FAILURE);
    }
    helper.join();
}

// One worker with its own link, ports and main window, standing in for the main window's side:
// it starts captures as startCapture does and takes CAPTURE_DONE as the window procedure does.
// Its worker is stopped when it goes out of scope, however the test ends.
class WorkerRig {
public:
    static constexpr uint32_t kBufferSize = 5000;

    WorkerRig() {
        resetScopeSession();
        link.mainWindow = &windows;
        link.ports = &ports;
        windows.handler = [this](const WindowMessage& message) { return onMessage(message); };
        ports.lpt1.play({}, patternByte);
        ports.lpt2.play({}, patternByte);
        scopeSession.sampleData = bufferA.data();
    }
    ~WorkerRig() {
        stop();
        EXPECT_FALSE(ports.lpt1.holdExpired());
        EXPECT_FALSE(ports.lpt2.holdExpired());
        scopeSession.sampleData = nullptr;  // the rig owns the buffers
    }
    WorkerRig(const WorkerRig&) = delete;
    WorkerRig& operator=(const WorkerRig&) = delete;

    void start() { startSamplingWorker(link); }
    void stop() {
        ports.releaseAll();
        finishesInTime("stopSamplingWorker", [this] { stopSamplingWorker(link); });
    }

    void beginCapture(uint32_t samples, int32_t delayUnits = kFastUnits) {
        scopeSession.captureSize = static_cast<int32_t>(samples);
        scopeSession.sampleLength = samples;
        scopeSession.workerCapturing = true;
        link.delayUnits = delayUnits;
        signalWake(link);
    }

    // Pumps the main window's messages until `count` captures in all were handed over.
    bool waitForCaptures(size_t count) {
        return pumpUntil([&] { return kept.size() >= count; });
    }
    // Pumps until a CAPTURE_DONE was received and left unanswered (deferHandOver).
    bool waitForDeferred() {
        return pumpUntil([&] { return deferred > 0; });
    }
    // Pumps until the worker waits for a signal with none remembered: from then on it starts no
    // capture by itself, so whatever it did before has been handed over (or refused) by now.
    bool waitUntilIdle() {
        return pumpUntil([&] {
            std::lock_guard lock(link.mutex);
            return !link.capturing && !link.wakeSignalled;
        });
    }

    void expectSamplesFrom(const ScriptedPort& port, uint64_t firstRead, uint64_t count) const {
        for (uint64_t i = 0; i < count; ++i) {
            ASSERT_EQ(bufferA[i], port.byteAt(firstRead + i)) << "slot " << i;
        }
    }

    RecordingWindowSystem windows;
    ScriptedPortAccess ports;
    WorkerLink link;
    std::vector<uint8_t> bufferA = std::vector<uint8_t>(kBufferSize, 0);
    std::vector<uint8_t> bufferB = std::vector<uint8_t>(kBufferSize, 0);
    std::vector<uint32_t> kept;  // sampleLength of each capture handed over
    int refused = 0;
    int deferred = 0;
    bool deferHandOver = false;

private:
    intptr_t onMessage(const WindowMessage& message) {
        if (message.id != CAPTURE_DONE) {
            return 0;
        }
        if (deferHandOver) {
            ++deferred;
        } else if (!acceptCaptureDone(link)) {
            ++refused;
        } else {
            EXPECT_FALSE(scopeSession.workerCapturing);
            kept.push_back(scopeSession.sampleLength);
            completeCaptureDone(link);
        }
        return 0;
    }

    bool pumpUntil(const std::function<bool()>& reached) {
        const auto deadline = std::chrono::steady_clock::now() + kTestWaitLimit;
        while (!reached() && std::chrono::steady_clock::now() < deadline) {
            windows.waitAndPump(0.05);
        }
        return reached();
    }
};

class SamplingWorkerTest : public ::testing::Test {
protected:
    void SetUp() override { resetScopeSession(); }
    void TearDown() override { resetScopeSession(); }
};

TEST_F(SamplingWorkerTest, KeepsOneSampleLessThanItStoresAndStopsAfterTheSampleBreakHits) {
    struct Case {
        const char* name;
        bool breakBeforeWake;    // left over from earlier: cleared when the capture starts
        uint64_t breakAtSample;  // counted from 1; 0 for none
        uint32_t kept;
        uint64_t stored;
    };
    const std::vector<Case> cases = {
        {"runs to the end", false, 0, 4999, 5000},
        {"Break from before the capture", true, 0, 4999, 5000},
        {"Break on the first sample", false, 1, 0, 1},
        {"Break on the second sample", false, 2, 0, 2},
        {"Break on the third sample", false, 3, 1, 3},
        {"Break on sample 100", false, 100, 98, 100},
        {"Break on the last sample", false, 5000, 4998, 5000},
    };
    WorkerRig rig;
    rig.start();
    ScriptedPort& port = rig.ports.lpt1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const uint64_t readsBefore = port.reads();
        if (c.breakAtSample != 0) {
            port.onRead(readsBefore + c.breakAtSample - 1, [] { scopeSession.breakRequested = 1; });
        }
        scopeSession.breakRequested = c.breakBeforeWake ? 1 : 0;
        rig.beginCapture(5000, 1);
        ASSERT_TRUE(rig.waitForCaptures(rig.kept.size() + 1));
        EXPECT_EQ(rig.kept.back(), c.kept);
        EXPECT_EQ(port.reads() - readsBefore, c.stored);
        rig.expectSamplesFrom(port, readsBefore, c.stored);
    }
    EXPECT_EQ(rig.refused, 0);
}

// The worker's time base covers every read its loop made, the one Break hit included, and no
// more: a 40 ms stall before Break on the fifth read makes the mean period 40.005 ms over five
// reads (not over the four samples stored, nor the three kept), and one gap of 40 ms before the
// read after the stall.
TEST_F(SamplingWorkerTest, TimesTheReadsItMadeUpToTheBreak) {
    constexpr uint64_t kStallNs = 40'000'000;
    WorkerRig rig;
    VirtualProbeClock clock;
    rig.ports.timing = &clock;
    rig.ports.lpt1.paceWith(clock, kReadNs);
    rig.ports.lpt1.stallAt(3, kStallNs);
    rig.ports.lpt1.onRead(4, [] { scopeSession.breakRequested = 1; });
    rig.start();
    rig.beginCapture(5000, 1);
    ASSERT_TRUE(rig.waitForCaptures(1));
    EXPECT_EQ(rig.kept.back(), 3u);
    const TimeBase& times = scopeSession.timeBase;
    EXPECT_EQ(times.markCount(), 6u);
    EXPECT_NEAR(times.meanPeriod(), (5 * kReadNs + kStallNs) * 1e-9 / 5, 1e-12);
    ASSERT_EQ(times.gaps().size(), 1u);
    EXPECT_EQ(times.gaps()[0].sample, 4u);
    EXPECT_EQ(times.gaps()[0].nanoseconds, kStallNs);
    EXPECT_NEAR(times.secondsAt(3), 3 * kReadNs * 1e-9, 1e-15);
    EXPECT_NEAR(times.secondsAt(4), (4 * kReadNs + kStallNs) * 1e-9, 1e-15);
}

// The worker's loop runs in a quiet section too: at the priority it could get, pausing where
// RLIMIT_RTTIME asks (here a 20 us block after every 50 us), and back to ordinary after.
TEST_F(SamplingWorkerTest, SamplesAtRealTimePriorityAndPausesWhereItMust) {
    FakeScheduling system;
    system.rtprio = 50;
    system.rttime = ResourceLimit{100, 100};
    SchedulingScope scope(system);
    WorkerRig rig;
    VirtualProbeClock clock;
    rig.ports.quiet = true;
    rig.ports.timing = &clock;
    rig.ports.lpt1.paceWith(clock, kReadNs);
    rig.start();
    rig.beginCapture(1000, 1);
    ASSERT_TRUE(rig.waitForCaptures(1));
    EXPECT_EQ(scopeSession.samplingPriority, "real-time (RLIMIT_RTPRIO)");
    const TimeBase& times = scopeSession.timeBase;
    ASSERT_GE(times.gaps().size(), 1000u / 60);
    for (const TimeGap& gap : times.gaps()) {
        EXPECT_EQ(gap.kind, GapKind::PlannedPause);
        EXPECT_EQ(gap.nanoseconds, kShortPauseNs);
    }
    EXPECT_NEAR(times.secondsAt(1000),
                (1000 * kReadNs + times.gaps().size() * kShortPauseNs) * 1e-9, 1e-12);
    rig.stop();
    EXPECT_EQ(system.state(), (Scheduling{SCHED_OTHER, 0}));
}

TEST_F(SamplingWorkerTest, RunsOneCapturePerSignalAndOneMoreForSignalsDuringACapture) {
    WorkerRig rig;
    rig.ports.lpt1.holdAt(10);
    rig.start();
    rig.beginCapture(100);
    ASSERT_TRUE(rig.ports.lpt1.waitUntilHeld());
    signalWake(rig.link);  // New Sample pressed twice while the first capture runs
    signalWake(rig.link);
    rig.ports.lpt1.release();
    ASSERT_TRUE(rig.waitForCaptures(2));
    ASSERT_TRUE(rig.waitUntilIdle());
    EXPECT_EQ(rig.kept.size(), 2u);
    // Nobody prepared the extra capture: it takes the length the first one left, 99.
    EXPECT_EQ(rig.ports.lpt1.reads(), 100u + 99u);

    rig.beginCapture(100);
    ASSERT_TRUE(rig.waitForCaptures(3));
    rig.stop();
    rig.windows.pumpMessages();
    EXPECT_EQ(rig.kept, (std::vector<uint32_t>{99, 98, 99}));
    EXPECT_EQ(rig.ports.lpt1.reads(), 100u + 99u + 100u);
    EXPECT_EQ(rig.refused, 0);
}

TEST_F(SamplingWorkerTest, QuitOnWakeEndsTheWorkerWithoutSampling) {
    WorkerRig rig;
    rig.start();
    scopeSession.sampleLength = 100;
    scopeSession.quitRequested = 1;
    signalWake(rig.link);
    finishesInTime("the worker's own end", [&rig] { rig.link.thread.join(); });
    EXPECT_TRUE(rig.ports.portsAsked().empty());
    EXPECT_EQ(rig.ports.lpt1.reads(), 0u);
    EXPECT_EQ(scopeSession.sampleLength, 100u);
    EXPECT_FALSE(rig.windows.hasPendingMessages());
}

TEST_F(SamplingWorkerTest, TriggerWaitEndsOnTheTriggerNotOnBreak) {
    struct Case {
        const char* name;
        bool breakDuringWait;
        uint32_t kept;
        uint64_t stored;
    };
    const std::vector<Case> cases = {
        {"no Break", false, 99, 100},
        {"Break while waiting: one sample, none kept", true, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WorkerRig rig;
        // Reference read, nine reads without a change on channel 1, then it rises on read 10.
        rig.ports.lpt1.play({0x00, 0x07, 0x00, 0xF7, 0x00, 0, 0, 0, 0, 0, kChannel1}, patternByte);
        rig.ports.lpt1.holdAt(3);
        scopeSession.portTriggerMask = kChannel1;
        rig.start();
        rig.beginCapture(100);
        ASSERT_TRUE(rig.ports.lpt1.waitUntilHeld());
        scopeSession.breakRequested = c.breakDuringWait ? 1 : 0;
        rig.ports.lpt1.release();
        ASSERT_TRUE(rig.waitForCaptures(1));
        EXPECT_EQ(rig.kept.back(), c.kept);
        EXPECT_EQ(rig.ports.lpt1.reads(), 11 + c.stored);
        rig.expectSamplesFrom(rig.ports.lpt1, 11, c.stored);
    }
}

TEST_F(SamplingWorkerTest, PortAndTriggerChangedDuringACaptureApplyToTheNextOne) {
    WorkerRig rig;
    rig.ports.lpt1.holdAt(10);
    // Reference read, four reads without a change, then channel 1 rises on read 5.
    rig.ports.lpt2.play({0x00, 0x00, 0x00, 0x00, 0x00, kChannel1}, patternByte);
    rig.start();
    rig.beginCapture(100);
    ASSERT_TRUE(rig.ports.lpt1.waitUntilHeld());
    scopeSession.portNumber = 2;
    scopeSession.portTriggerMask = kChannel1;
    rig.ports.lpt1.release();
    ASSERT_TRUE(rig.waitForCaptures(1));
    EXPECT_EQ(rig.ports.lpt1.reads(), 100u);
    EXPECT_EQ(rig.ports.lpt2.reads(), 0u);
    rig.expectSamplesFrom(rig.ports.lpt1, 0, 100);

    rig.beginCapture(100);
    ASSERT_TRUE(rig.waitForCaptures(2));
    EXPECT_EQ(rig.kept, (std::vector<uint32_t>{99, 99}));
    EXPECT_EQ(rig.ports.lpt1.reads(), 100u);
    EXPECT_EQ(rig.ports.lpt2.reads(), 6u + 100u);
    rig.expectSamplesFrom(rig.ports.lpt2, 6, 100);
    EXPECT_EQ(rig.ports.portsAsked(), (std::vector<int>{1, 2}));
}

TEST_F(SamplingWorkerTest, LengthIsReadAgainForEverySample) {
    WorkerRig rig;
    rig.ports.lpt1.holdAt(10);
    rig.start();
    rig.beginCapture(5000);
    ASSERT_TRUE(rig.ports.lpt1.waitUntilHeld());
    scopeSession.sampleLength = 20;
    rig.ports.lpt1.release();
    ASSERT_TRUE(rig.waitForCaptures(1));
    EXPECT_EQ(rig.kept.back(), 19u);
    EXPECT_EQ(rig.ports.lpt1.reads(), 20u);
}

// A second CAPTURE_DONE handled while the first one's completion steps run (say, in a dialog's
// own loop) must not release the worker early.
TEST_F(SamplingWorkerTest, HandOverIsAcceptedOnlyOnce) {
    WorkerRig rig;
    rig.deferHandOver = true;
    rig.start();
    rig.beginCapture(100);
    ASSERT_TRUE(rig.waitForDeferred());
    ASSERT_TRUE(acceptCaptureDone(rig.link));
    EXPECT_FALSE(acceptCaptureDone(rig.link));
    completeCaptureDone(rig.link);
    EXPECT_FALSE(acceptCaptureDone(rig.link));
}

// The main thread paints while the worker stores: it draws what was published, never more, and
// more as the capture goes on.
TEST_F(SamplingWorkerTest, APaintDuringTheCaptureDrawsTheSamplesStoredSoFar) {
    WorkerRig rig;
    rig.ports.lpt1.holdAt(3000);
    rig.start();
    rig.beginCapture(WorkerRig::kBufferSize, kSlowUnits);
    const auto drawnSamples = [] {
        RecordingCanvas canvas;
        paintTrace(canvas, WorkerRig::kBufferSize, 300);
        return canvas.linesIn(kTraceColour).size() / kChannelCount;
    };
    size_t drawn = 0;
    while (rig.ports.lpt1.reads() <= 3000) {
        const size_t now = drawnSamples();
        EXPECT_GE(now, drawn);
        drawn = now;
        // The marks come live, as the stored count does: a time for every sample drawn.
        EXPECT_GE(scopeSession.timeBase.secondsAt(static_cast<double>(drawn)), 0.0);
    }
    ASSERT_TRUE(rig.ports.lpt1.waitUntilHeld());
    drawn = drawnSamples();
    EXPECT_LE(drawn, 3000u);
    EXPECT_GT(drawn, 3000u - 256u) << "published every 256 samples";
    rig.ports.lpt1.release();
    ASSERT_TRUE(rig.waitForCaptures(1));
}

enum class Phase { Idle, TriggerWait, RingFill, SampleLoop, HandOver };

const char* phaseName(Phase phase) {
    switch (phase) {
        case Phase::Idle:
            return "Idle";
        case Phase::TriggerWait:
            return "TriggerWait";
        case Phase::RingFill:
            return "RingFill";
        case Phase::SampleLoop:
            return "SampleLoop";
        case Phase::HandOver:
            return "HandOver";
    }
    return "?";
}

void PrintTo(Phase phase, std::ostream* out) {
    *out << phaseName(phase);
}

// Starts the rig's worker and brings it into `phase` of a capture from LPT1.
void bringTo(WorkerRig& rig, Phase phase) {
    rig.start();
    switch (phase) {
        case Phase::Idle:
            return;
        case Phase::TriggerWait:
            rig.ports.lpt1.play({0x00});  // the trigger never comes
            scopeSession.portTriggerMask = kChannel1;
            rig.beginCapture(WorkerRig::kBufferSize);
            ASSERT_TRUE(rig.ports.lpt1.waitForReads(10));
            return;
        case Phase::RingFill:
            // Held before the ring holds its share, until the capture is told to end.
            rig.ports.lpt1.holdAt(10, [&rig] { return rig.link.abandon != 0; });
            scopeSession.triggerConditions = packConditions({TriggerCondition::Rising});
            scopeSession.preTriggerPercent = 50;
            rig.beginCapture(WorkerRig::kBufferSize);
            ASSERT_TRUE(rig.ports.lpt1.waitUntilHeld());
            return;
        case Phase::SampleLoop:
            // Held until the capture is told to end, so that the end comes inside the loop.
            rig.ports.lpt1.holdAt(10, [&rig] { return rig.link.abandon != 0; });
            rig.beginCapture(WorkerRig::kBufferSize);
            ASSERT_TRUE(rig.ports.lpt1.waitUntilHeld());
            return;
        case Phase::HandOver:
            rig.deferHandOver = true;
            rig.beginCapture(100);
            ASSERT_TRUE(rig.waitForDeferred());
            return;
    }
}

class WorkerEndTest : public SamplingWorkerTest, public ::testing::WithParamInterface<Phase> {};

TEST_P(WorkerEndTest, EndWorkerCaptureStopsAtOnceAndHandsNothingOver) {
    WorkerRig rig;
    ASSERT_NO_FATAL_FAILURE(bringTo(rig, GetParam()));
    if (GetParam() != Phase::Idle) {
        signalWake(rig.link);  // a further New Sample meanwhile: dropped with the capture
    }
    finishesInTime("endWorkerCapture", [&rig] { endWorkerCapture(rig.link); });
    EXPECT_FALSE(scopeSession.workerCapturing);
    const uint64_t reads = rig.ports.lpt1.reads();
    const std::vector<uint8_t> samples = rig.bufferA;
    const uint32_t length = scopeSession.sampleLength;
    if (rig.deferred > 0) {
        EXPECT_FALSE(acceptCaptureDone(rig.link));  // the CAPTURE_DONE it had posted is stale now
    }
    rig.deferHandOver = false;
    ASSERT_TRUE(rig.waitUntilIdle());
    EXPECT_TRUE(rig.kept.empty());
    EXPECT_EQ(scopeSession.sampleLength, length);

    // The next capture, from LPT2 into a new buffer, runs and is handed over as usual.
    scopeSession.sampleData = rig.bufferB.data();
    scopeSession.portNumber = 2;
    scopeSession.portTriggerMask = 0;
    scopeSession.triggerConditions = 0;
    rig.beginCapture(100);
    ASSERT_TRUE(rig.waitForCaptures(1));
    rig.stop();
    EXPECT_EQ(rig.kept, std::vector<uint32_t>{99});
    EXPECT_EQ(rig.refused, 0);
    EXPECT_EQ(rig.ports.lpt1.reads(), reads);
    EXPECT_EQ(rig.bufferA, samples);
}

TEST_P(WorkerEndTest, StopSamplingWorkerNeverHangs) {
    WorkerRig rig;
    ASSERT_NO_FATAL_FAILURE(bringTo(rig, GetParam()));
    finishesInTime("stopSamplingWorker", [&rig] { stopSamplingWorker(rig.link); });
    EXPECT_FALSE(rig.link.thread.joinable());
    if (rig.deferred > 0) {
        EXPECT_FALSE(acceptCaptureDone(rig.link));
    }
    rig.deferHandOver = false;
    rig.windows.pumpMessages();
    EXPECT_TRUE(rig.kept.empty());
}

INSTANTIATE_TEST_SUITE_P(Phases, WorkerEndTest,
                         ::testing::Values(Phase::Idle, Phase::TriggerWait, Phase::RingFill,
                                           Phase::SampleLoop, Phase::HandOver),
                         [](const ::testing::TestParamInfo<Phase>& info) {
                             return std::string(phaseName(info.param));
                         });

}  // namespace

namespace {

// The worker's pre-trigger samples as the fastest loop's: the ring's newest reads in read order,
// the trigger's read among them, the rest from the next read on; one less kept, as ever. The wait
// is armed once the ring holds its share.
TEST_F(SamplingWorkerTest, StartsWithTheRingsNewestReadsAndKeepsTheTriggerPoint) {
    struct Case {
        const char* name;
        std::vector<uint64_t> pulses;  // channel 1 is high on these reads alone, up to the last
        uint64_t firstRead;            // the read that becomes sample 0
    };
    // 100 samples at 25%: reads 0 to 24 fill the ring, read 25 is the first armed one.
    const std::vector<Case> cases = {
        {"edges while the ring fills passed over", {3, 24, 40}, 15},
        {"ring just full", {26}, 1},
        {"wrapped", {300}, 275},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WorkerRig rig;
        rig.ports.lpt1.playPulses(kChannel1, c.pulses, patternByte, patternByte);
        scopeSession.triggerConditions = packConditions({TriggerCondition::Rising});
        scopeSession.preTriggerPercent = 25;
        rig.start();
        rig.beginCapture(100);
        ASSERT_TRUE(rig.waitForCaptures(1));
        EXPECT_EQ(rig.kept.back(), 99u);
        rig.expectSamplesFrom(rig.ports.lpt1, c.firstRead, 100);
        EXPECT_EQ(triggerIndex(scopeSession), 25u);
    }
}

}  // namespace
