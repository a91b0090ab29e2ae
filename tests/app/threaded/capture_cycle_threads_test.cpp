#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "app/window/main_window_proc.h"
#include "capture/hardware_port_access.h"
#include "capture/sampling_worker.h"
#include "capture/simulated_probe.h"
#include "capture/status_port.h"
#include "core/scope_session.h"
#include "display/trace_view.h"
#include "resources/command_ids.h"
#include "tests/support/fake_port_syscalls.h"
#include "tests/support/recording_canvas.h"
#include "tests/support/recording_window_system.h"
#include "tests/support/still_port.h"

namespace {

// A port that cannot be opened: reported at every New Sample, read as an absent port.
class ReportingPorts final : public StatusPort, public PortAccess {
public:
    uint8_t read() override { return 0xFF; }
    StatusPort& port(uint8_t) override { return *this; }
    PortReadiness prepareForCapture(uint8_t) override {
        opened_ = true;
        return PortReadiness{true, "LPT1"};
    }
    // At every opening, as a port that cannot be opened reports.
    std::vector<std::string> takeReports() override {
        const bool opened = std::exchange(opened_, false);
        return opened ? std::vector<std::string>{"LPT1 cannot be opened"}
                      : std::vector<std::string>{};
    }
    bool wantsQuietSection() const override { return false; }

private:
    bool opened_ = false;
};

// The main window's life on the recording window system: start-up posts the first New Sample,
// and the test pumps the queue as the main thread's loop would.
class CaptureCycleThreadsTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetScopeSession();
        ws.handler = [this](const WindowMessage& m) { return mainWindowProc(ws, m).answer; };
    }
    void TearDown() override {
        mainWindowProc(ws, WindowMessage{MSG_DESTROY, 0, 0});
        workerLink.ports = nullptr;
        resetScopeSession();
    }

    void start(PortAccess& ports) {
        workerLink.ports = &ports;
        mainWindowProc(ws, WindowMessage{MSG_INITDIALOG, 0, 0});
        ASSERT_EQ(ws.pumpMessages(), 1);  // the first New Sample, at the Fastest speed
    }
    void command(int id) { mainWindowProc(ws, commandMessage(id)); }

    RecordingWindowSystem ws;
    VirtualProbeClock clock;
    SimulatedProbe probe{clock};
};

TEST_F(CaptureCycleThreadsTest, StartUpCapturesFiveThousandSamplesInline) {
    start(probe);
    EXPECT_EQ(scopeSession.sampleLength, 5000u);
    EXPECT_NE(scopeSession.sampleData, nullptr);
    EXPECT_EQ(ws.beepCount, 0);
    EXPECT_EQ(ws.range.high, 5000 - 300);
}

struct SpeedCase {
    int speedCommand;
    uint32_t kept;
    int beeps;
};

TEST_F(CaptureCycleThreadsTest, NewSampleAtEverySpeedShowsTheFirstSampleAtZoomOne) {
    start(probe);
    const std::vector<SpeedCase> cases = {
        {CMD_SPEED_FASTEST, 30000, 0}, {CMD_SPEED_FAST, 29999, 1}, {CMD_SPEED_SLOW, 29999, 1}};
    command(CMD_SIZE_30000);
    for (const SpeedCase& c : cases) {
        SCOPED_TRACE(c.speedCommand);
        command(c.speedCommand);
        command(CMD_ZOOM_IN);
        mainWindowProc(ws, WindowMessage{MSG_HSCROLL, 7, 0});
        ws.clearLog();
        command(CMD_NEW_SAMPLE);
        if (c.beeps > 0) {
            ASSERT_TRUE(ws.waitAndPump(30.0)) << "no CAPTURE_DONE";
        }
        EXPECT_EQ(scopeSession.sampleLength, c.kept);
        EXPECT_EQ(scopeSession.view.zoomStep(), 1);
        EXPECT_EQ(scopeSession.view.viewStart, 0u);
        EXPECT_EQ(ws.position, 0);
        EXPECT_EQ(ws.beepCount, c.beeps);
        EXPECT_TRUE(ws.dialogs.empty()) << "the simulated probe is slow enough at this speed";
        EXPECT_EQ(ws.log.back(), c.beeps > 0 ? "beep" : "refresh");
    }
}

// A message box runs an event loop that repaints the view (and could save): while the port report
// is up at either speed, there is no data to draw, so nothing uninitialised is ever shown.
TEST_F(CaptureCycleThreadsTest, NothingIsDrawnWhileThePortReportIsUp) {
    ReportingPorts ports;
    int boxes = 0;
    size_t traceLines = 0;
    ws.onMessageBox = [&] {
        ++boxes;
        EXPECT_FALSE(hasSampleData(scopeSession));
        RecordingCanvas canvas;
        paintTrace(canvas, 300, 200);
        traceLines += canvas.linesIn(kTraceColour).size();
    };
    start(ports);
    command(CMD_SPEED_FAST);
    command(CMD_NEW_SAMPLE);
    ASSERT_TRUE(ws.waitAndPump(30.0));
    EXPECT_EQ(boxes, 2);
    EXPECT_EQ(traceLines, 0u);
    EXPECT_EQ(scopeSession.sampleLength, 4999u);
    EXPECT_EQ(scopeSession.sampleData[4998], 0xFF);
}

TEST_F(CaptureCycleThreadsTest, NewSampleEndsACaptureWaitingForItsTrigger) {
    StillPort still;
    start(still);
    command(CMD_SPEED_SLOW);
    command(CMD_PORT_TRIGGER_FIRST);
    command(CMD_NEW_SAMPLE);
    EXPECT_TRUE(scopeSession.workerCapturing);
    EXPECT_FALSE(hasSampleData(scopeSession));

    // The second New Sample ends the wait first; its own capture waits in turn.
    command(CMD_NEW_SAMPLE);
    EXPECT_TRUE(scopeSession.workerCapturing);
    EXPECT_NE(scopeSession.sampleData, nullptr);

    // Without a trigger the next one runs to its end.
    command(CMD_PORT_TRIGGER_FIRST);
    command(CMD_NEW_SAMPLE);
    ASSERT_TRUE(ws.waitAndPump(30.0));
    EXPECT_FALSE(scopeSession.workerCapturing);
    EXPECT_EQ(scopeSession.sampleLength, 4999u);
    EXPECT_EQ(scopeSession.sampleData[0], 0x78);
    EXPECT_EQ(ws.beepCount, 1);
}

// New Sample opens again a port that failed, on the main thread, and the worker then reads it.
TEST_F(CaptureCycleThreadsTest, TheWorkerReadsAPortOpenedAgainByNewSample) {
    FakePortSyscalls fake;
    fake.listError = ENOENT;
    HardwarePortAccess ports(fake);
    start(ports);
    command(CMD_SPEED_FAST);
    command(CMD_NEW_SAMPLE);
    ASSERT_TRUE(ws.waitAndPump(30.0));
    EXPECT_EQ(scopeSession.sampleData[0], 0xFF);

    fake.listError = 0;
    fake.addParport(0, 0xD010, {.status = 0x5D});
    command(CMD_NEW_SAMPLE);
    ASSERT_TRUE(ws.waitAndPump(30.0));
    ASSERT_EQ(scopeSession.sampleLength, 4999u);
    EXPECT_EQ(scopeSession.sampleData[0], 0x5D);
    EXPECT_EQ(scopeSession.sampleData[4998], 0x5D);
    EXPECT_EQ(ws.messages.size(), 1u) << "the first failure only";
}

TEST_F(CaptureCycleThreadsTest, BreakWithNoCaptureRunningDoesNotCutTheNextShort) {
    start(probe);
    command(CMD_SPEED_FAST);
    command(CMD_BREAK);
    command(CMD_NEW_SAMPLE);
    ASSERT_TRUE(ws.waitAndPump(30.0));
    EXPECT_EQ(scopeSession.sampleLength, 4999u);
}

TEST_F(CaptureCycleThreadsTest, ShutdownDuringATriggerWaitReturns) {
    StillPort still;
    start(still);
    command(CMD_SPEED_SLOW);
    command(CMD_PORT_TRIGGER_FIRST + 4);
    command(CMD_NEW_SAMPLE);
    mainWindowProc(ws, WindowMessage{MSG_DESTROY, 0, 0});
    EXPECT_EQ(scopeSession.sampleData, nullptr);
    EXPECT_FALSE(workerLink.thread.joinable());
}

TEST_F(CaptureCycleThreadsTest, ShutdownDuringASlowCaptureReturns) {
    start(probe);
    command(CMD_SIZE_500000);
    command(CMD_SPEED_SLOW);
    command(CMD_NEW_SAMPLE);
    mainWindowProc(ws, WindowMessage{MSG_DESTROY, 0, 0});
    EXPECT_EQ(scopeSession.sampleData, nullptr);
    // A CAPTURE_DONE that was already on its way finds nothing to hand over.
    ws.pumpMessages();
    EXPECT_EQ(ws.beepCount, 0);
}

}  // namespace
