#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/document/capture_cycle.h"
#include "app/window/commands.h"
#include "capture/hardware_port_access.h"
#include "capture/sampling_worker.h"
#include "core/scope_session.h"
#include "resources/command_ids.h"
#include "tests/support/fake_port_syscalls.h"
#include "tests/support/recording_window_system.h"
#include "tests/support/session_samples.h"
#include "tests/support/time_base_maker.h"

namespace {

struct TooSlowCase {
    const char* name;
    std::vector<uint8_t> samples;
    bool tooSlow;
};

TEST(SamplingTooSlow, JudgesRunsBetweenTheFirstAndTheLast) {
    const uint8_t P = 0x08, Q = 0x10, R = 0x18;
    const std::vector<TooSlowCase> cases = {
        {"first run of one is never judged", {P, Q, Q, Q}, false},
        {"short middle run", {P, P, P, Q, R, R, R}, true},
        {"middle run of two", {P, P, P, Q, Q, R, R, R}, true},
        {"middle run of three", {P, P, P, Q, Q, Q, R}, false},
        {"last run is never judged", {P, P, P, Q}, false},
        {"no change", {P, P, P, P}, false},
        {"single change", {P, P, Q, Q}, false},
        {"one sample", {P}, false},
        {"bit 0 alone counts", {0, 0, 0, 1, 0, 0, 0}, true},
        {"bit 1 alone counts", {0, 0, 0, 2, 0, 0, 0}, true},
        {"bit 2 alone counts", {0, 0, 0, 4, 4, 0, 0}, true},
    };
    for (const TooSlowCase& c : cases) {
        EXPECT_EQ(samplingTooSlow(c.samples.data(), static_cast<uint32_t>(c.samples.size())),
                  c.tooSlow)
            << c.name;
    }
    EXPECT_FALSE(samplingTooSlow(nullptr, 0));
}

class CaptureCycleTest : public ::testing::Test {
protected:
    void SetUp() override { resetScopeSession(); }
    void TearDown() override { resetScopeSession(); }

    RecordingWindowSystem ws;
};

TEST_F(CaptureCycleTest, TooSlowDialogShownOnceForShortRuns) {
    loadSessionSamples({1, 1, 1, 2, 3, 4, 5, 5, 5});
    checkSampleRate(ws);
    EXPECT_EQ(ws.dialogs, std::vector<int>{IDD_TOO_SLOW});
}

TEST_F(CaptureCycleTest, NoDataMeansNoTest) {
    checkSampleRate(ws);
    scopeSession.sampleLength = 3;  // a length without a buffer is still no data
    checkSampleRate(ws);
    EXPECT_TRUE(ws.log.empty());
}

TEST_F(CaptureCycleTest, BufferBeingFilledIsNotJudged) {
    loadSessionSamples({1, 1, 1, 2, 3, 3, 3});
    scopeSession.workerCapturing = true;
    checkSampleRate(ws);
    EXPECT_TRUE(ws.dialogs.empty());
    scopeSession.workerCapturing = false;
}

TEST_F(CaptureCycleTest, ResetDocumentDropsTheDataAndShowsTheStart) {
    loadSessionSamples(std::vector<uint8_t>(1000, 0x08));
    scopeSession.view.viewStart = 400;
    scopeSession.view.scrollPosition = 400;
    scopeSession.documentPath = "/tmp/run1.SCO";
    scopeSession.documentTitle = "run1.SCO";
    giveSessionEvenTimes(1000, 1e-6);
    scopeSession.sampleOrigin = 300;
    scopeSession.marker = 7;
    resetDocument(ws);
    EXPECT_FALSE(scopeSession.timeBase.known());
    EXPECT_EQ(scopeSession.sampleOrigin, 0u);
    EXPECT_FALSE(scopeSession.marker.has_value());
    EXPECT_EQ(scopeSession.sampleData, nullptr);
    EXPECT_EQ(scopeSession.sampleLength, 0u);
    EXPECT_EQ(scopeSession.view.viewStart, 0u);
    EXPECT_EQ(scopeSession.view.scrollPosition, 0);
    EXPECT_TRUE(scopeSession.documentPath.empty());
    EXPECT_EQ(scopeSession.documentTitle, "Untitled");
    EXPECT_EQ(ws.log, (std::vector<std::string>{"range 0..1", "position 0 redraw", "refresh"}));
}

TEST_F(CaptureCycleTest, FinishCaptureShowsTheFirstSampleAtZoomOne) {
    loadSessionSamples(std::vector<uint8_t>(1000, 0x08));
    scopeSession.view.scale = ViewScale::pixelsPerSample(16);
    scopeSession.view.viewStart = 500;
    finishCapture(ws);
    EXPECT_EQ(scopeSession.view.zoomStep(), 1);
    EXPECT_EQ(scopeSession.view.viewStart, 0u);
    EXPECT_EQ(ws.range.low, 0);
    EXPECT_EQ(ws.range.high, 700);
    EXPECT_EQ(ws.position, 0);
    EXPECT_GE(ws.refreshCount, 1);
    EXPECT_TRUE(ws.dialogs.empty());
}

TEST_F(CaptureCycleTest, BufferThatCannotBeObtainedReadsNoPort) {
    static const SampleMemory failing{[](size_t) -> void* { return nullptr; }, [](void*) {}};
    setSampleMemory(&failing);
    EXPECT_EQ(startCapture(ws), CaptureStart::NoBuffer);
    setSampleMemory(nullptr);
    EXPECT_EQ(ws.messages, std::vector<std::string>{"Out of Memory."});
    EXPECT_EQ(scopeSession.sampleData, nullptr);
    EXPECT_EQ(scopeSession.sampleLength, 0u);
}

// The drivers are loaded while the program runs: the next New Sample uses the port they list,
// without a restart, and the report of the first failure is not shown again meanwhile.
TEST_F(CaptureCycleTest, NewSampleOpensAPortThatCouldNotBeOpenedBefore) {
    FakePortSyscalls fake;
    fake.listError = ENOENT;
    HardwarePortAccess ports(fake);
    workerLink.ports = &ports;
    const auto newSample = [&] {
        dispatchCommand(ws, CMD_NEW_SAMPLE);
        return std::vector<uint8_t>(scopeSession.sampleData,
                                    scopeSession.sampleData + scopeSession.sampleLength);
    };
    scopeSession.captureSize = 100;
    EXPECT_EQ(newSample(), std::vector<uint8_t>(100, 0xFF));
    EXPECT_EQ(newSample(), std::vector<uint8_t>(100, 0xFF));
    ASSERT_EQ(ws.messages.size(), 1u);
    EXPECT_NE(ws.messages[0].find("sudo modprobe parport_pc ppdev"), std::string::npos);

    fake.listError = 0;
    fake.addParport(0, 0xD010, {.status = 0x5D});
    EXPECT_EQ(newSample(), std::vector<uint8_t>(100, 0x5D));
    EXPECT_EQ(ws.messages.size(), 1u);
    workerLink.ports = nullptr;
}

// Reads that fail during a capture are told when that capture ends, after it is drawn (not before
// the next one, which they are not about), and they are gaps of the capture where they happened.
TEST_F(CaptureCycleTest, ReadsThatFailAreReportedWithTheirCaptureAndMarkedAsGaps) {
    FakePortSyscalls fake;
    fake.addParport(0, 0x378, {.status = 0x5D});
    HardwarePortAccess ports(fake);
    workerLink.ports = &ports;
    scopeSession.captureSize = 100;
    dispatchCommand(ws, CMD_NEW_SAMPLE);
    EXPECT_TRUE(ws.messages.empty());

    FakeParportDevice& device = fake.devices["/dev/parport0"];
    device.readError = ENODEV;
    device.failFrom = device.statusReads + 30;
    device.failUntil = device.statusReads + 40;
    ws.clearLog();
    dispatchCommand(ws, CMD_NEW_SAMPLE);
    ASSERT_EQ(ws.messages.size(), 1u);
    EXPECT_EQ(ws.messages[0],
              "Reading LPT1 (/dev/parport0 at 0x378) failed (No such device) 10 times, so those "
              "samples read 0xFF; a capture marks them as gaps.");
    const auto report = std::find(ws.log.begin(), ws.log.end(), "message " + ws.messages[0]);
    EXPECT_NE(std::find(ws.log.begin(), report, "refresh"), report) << "drawn first";
    for (uint32_t i = 0; i < 100; ++i) {
        EXPECT_EQ(scopeSession.sampleData[i], i >= 30 && i < 40 ? 0xFF : 0x5D) << i;
    }
    uint32_t failed = 0;
    for (const TimeGap& gap : scopeSession.timeBase.gaps()) {
        if (gap.failedReads > 0) {
            EXPECT_LE(gap.sample, 30u);  // the start of the block that held the first
            failed += gap.failedReads;
        }
    }
    EXPECT_EQ(failed, 10u);

    ws.clearLog();
    dispatchCommand(ws, CMD_NEW_SAMPLE);
    EXPECT_TRUE(ws.messages.empty());
    workerLink.ports = nullptr;
}

}  // namespace
