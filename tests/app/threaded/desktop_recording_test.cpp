#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/document/desktop_recording.h"
#include "app/readout/recording_progress.h"
#include "app/window/main_window_proc.h"
#include "capture/sampling_worker.h"
#include "capture/simulated_probe.h"
#include "core/scope_session.h"
#include "export/recording_file.h"
#include "resources/command_ids.h"
#include "tests/support/failing_file_calls.h"
#include "tests/support/recording_window_system.h"
#include "tests/support/running_main_window.h"
#include "tests/support/scope_file_maker.h"

namespace {

// A recording file as this program opens it again.
struct ReadBack {
    bool read = false;
    uint32_t samples = 0;
    bool timed = false;
    std::optional<uint32_t> trigger;
};

ReadBack readBack(const std::string& path) {
    uint8_t* data = nullptr;
    std::atomic<uint32_t> length{0};
    OpenedRecording opened;
    ReadBack seen;
    seen.read = readRecordingFile([](int id) { ADD_FAILURE() << "refused: " << id; }, path, data,
                                  length, opened);
    if (seen.read) {
        seen.samples = length;
        seen.timed = opened.times.timeBase.marks.size() >= 2;
        seen.trigger = opened.times.triggerSample;
        giveBackSampleBuffer(data);
    }
    return seen;
}

size_t filesIn(const std::string& folder) {
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++count;
    }
    return count;
}

// The main window running on the simulated probe on its virtual clock (its pace the same on any
// machine).
class DesktopRecordingTest : public ::testing::Test {
protected:
    void command(int id) { mainWindowProc(ws, commandMessage(id)); }

    // File > Record to File… answered with `file` in the test's folder and `length`; the
    // question at the end answered `open`.
    void record(const std::string& file, const std::string& length,
                MessageAnswer open = MessageAnswer::No) {
        ws.chooserAnswers.push_back(RecordingWindowSystem::ChooserAnswer{dir.path(file), file});
        ws.textAnswers.push_back(length);
        ws.answers.push_back(open);
        ws.messages.clear();
        command(CMD_RECORD_TO_FILE);
    }

    // Pumps until the recording has ended; false when it had not after `seconds`.
    bool pumpUntilEnded(double seconds = 60) {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (recordingRuns() && std::chrono::steady_clock::now() < deadline) {
            ws.waitAndPump(0.1);
        }
        return !recordingRuns();
    }
    // Pumps until `blocks` blocks are in the file.
    bool pumpBlocks(int blocks) {
        for (int n = 0; n < blocks; ++n) {
            if (!ws.waitAndPump(30)) {
                return false;
            }
        }
        return recordingRuns();
    }

    // Whether the block being captured has published samples within a deadline.
    static bool blockUnderWayHasSamples() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (scopeSession.samplesStored == 0 && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();
        }
        return scopeSession.samplesStored > 0;
    }

    std::string lastMessage() const { return ws.messages.empty() ? "" : ws.messages.back(); }

    VirtualProbeClock clock;
    SimulatedProbe probe{clock};
    RunningMainWindow window{probe};
    RecordingWindowSystem& ws = window.ws;
    TempDir dir;
};

// A recording of a number of samples, at either loop and into either kind of file, ends by
// itself with exactly those samples, timed, in a file in its place; the program says where.
TEST_F(DesktopRecordingTest, ARecordingReachesItsLength) {
    struct Case {
        int speed;
        const char* file;
        const char* length;
        uint32_t samples;
    };
    const std::vector<Case> cases = {{CMD_SPEED_FASTEST, "fastest.sr", "20k", 20000},
                                     {CMD_SPEED_FAST, "fast.SCO", "7000", 7000},
                                     {CMD_SPEED_FASTEST, "one.sr", "1", 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        command(c.speed);
        record(c.file, c.length);
        ASSERT_TRUE(pumpUntilEnded());
        const ReadBack seen = readBack(dir.path(c.file));
        EXPECT_TRUE(seen.read);
        EXPECT_EQ(seen.samples, c.samples);
        EXPECT_TRUE(seen.timed);
        EXPECT_NE(lastMessage().find("Recorded " + std::to_string(c.samples) + " sample"),
                  std::string::npos)
            << lastMessage();
        EXPECT_NE(lastMessage().find(dir.path(c.file)), std::string::npos);
    }
    EXPECT_EQ(filesIn(dir.path("")), cases.size());  // no temporary left behind
}

// Break, and closing the window, end a recording meant to last an hour: the file is in place
// and holds every block written, the one under way included.
TEST_F(DesktopRecordingTest, BreakAndCloseKeepTheFile) {
    for (const bool close : {false, true}) {
        SCOPED_TRACE(close ? "close" : "break");
        record("long.sr", "1h");
        ASSERT_TRUE(pumpBlocks(2));
        const uint64_t written = recordingProgress().keptSamples;
        ASSERT_GT(written, 0u);
        ASSERT_TRUE(blockUnderWayHasSamples());
        if (close) {
            mainWindowProc(ws, WindowMessage{MSG_DESTROY, 0, 0});
            EXPECT_FALSE(recordingRuns());
        } else {
            command(CMD_BREAK);
            ASSERT_TRUE(pumpUntilEnded(30));
            EXPECT_NE(lastMessage().find("Recorded "), std::string::npos) << lastMessage();
        }
        const ReadBack seen = readBack(dir.path("long.sr"));
        EXPECT_TRUE(seen.read);
        EXPECT_GT(seen.samples, written);
        EXPECT_EQ(filesIn(dir.path("")), 1u);
    }
}

// A disk that fills during the recording ends it with one message that says why and how much
// the file keeps; the file holds exactly that, and is in place.
TEST_F(DesktopRecordingTest, AFullDiskEndsItWithTheFileWhole) {
    for (const char* file : {"full.sr", "full.SCO"}) {
        SCOPED_TRACE(file);
        {
            FailingFileCalls calls;
            fillDiskAtWrite(calls, 9);
            record(file, "2M");
            ASSERT_TRUE(pumpUntilEnded());
        }
        const ReadBack seen = readBack(dir.path(file));
        ASSERT_TRUE(seen.read);
        EXPECT_GT(seen.samples, 0u);
        EXPECT_LT(seen.samples, 2'000'000u);
        EXPECT_EQ(ws.messages.size(), 1u);
        EXPECT_NE(lastMessage().find("No space left on device"), std::string::npos);
        EXPECT_NE(lastMessage().find("keeps the " + std::to_string(seen.samples) + " samples"),
                  std::string::npos)
            << lastMessage();
    }
}

// A file that cannot be made is told at once and nothing is recorded.
TEST_F(DesktopRecordingTest, AnUnwritablePathIsToldAtOnce) {
    record("no-such-folder/x.sr", "20k");
    EXPECT_FALSE(recordingRuns());
    ASSERT_EQ(ws.messages.size(), 1u);
    EXPECT_NE(lastMessage().find("Cannot record to"), std::string::npos) << lastMessage();
    EXPECT_NE(lastMessage().find("No such file or directory"), std::string::npos);
}

// Yes to the question at the end opens the recording: the whole of it, not the last block.
TEST_F(DesktopRecordingTest, TheRecordingOpensWhenTheUserWantsIt) {
    record("open.sr", "30k", MessageAnswer::Yes);
    ASSERT_TRUE(pumpUntilEnded());
    EXPECT_EQ(scopeSession.documentPath, dir.path("open.sr"));
    EXPECT_EQ(scopeSession.sampleLength, 30000u);
}

// The trigger the user set starts the recording, its point kept in the file, and is the user's
// again afterwards; the blocks after the first follow without it.
TEST_F(DesktopRecordingTest, TheTriggerStartsTheRecordingAndStaysSet) {
    command(CMD_PORT_TRIGGER_FIRST);  // either edge on the clock channel
    const uint8_t boxes = scopeSession.portTriggerMask;
    ASSERT_NE(boxes, 0);
    record("trigger.sr", "600k");
    ASSERT_TRUE(pumpUntilEnded());
    const ReadBack seen = readBack(dir.path("trigger.sr"));
    EXPECT_EQ(seen.samples, 600000u);
    ASSERT_TRUE(seen.trigger.has_value());
    EXPECT_LT(*seen.trigger, 4096u);  // in the first block
    EXPECT_EQ(scopeSession.portTriggerMask, boxes);
}

// A cancelled chooser or question records nothing; a length that is not one is asked again.
TEST_F(DesktopRecordingTest, TheQuestionsCanBeCancelledOrAnsweredAgain) {
    ws.chooserAnswers.push_back(std::nullopt);
    command(CMD_RECORD_TO_FILE);
    EXPECT_FALSE(recordingRuns());
    ws.chooserAnswers.push_back(RecordingWindowSystem::ChooserAnswer{dir.path("a.sr"), "a.sr"});
    ws.textAnswers = {"soon", std::nullopt};
    command(CMD_RECORD_TO_FILE);
    EXPECT_FALSE(recordingRuns());
    EXPECT_EQ(ws.messages.size(), 1u);  // "soon" is not a length
    EXPECT_EQ(filesIn(dir.path("")), 0u);
}

}  // namespace
