#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/channel_looks.h"
#include "core/scope_session.h"
#include "export/export_formats.h"
#include "export/recording_file.h"
#include "export/sigrok_metadata.h"
#include "scopefile/scope_file.h"
#include "scopefile/time_base_chunk.h"
#include "tests/support/child_program.h"
#include "tests/support/cli_program.h"
#include "tests/support/cli_runner.h"
#include "tests/support/failing_file_calls.h"
#include "tests/support/scope_file_maker.h"
#include "tests/support/zip_files.h"

namespace {

// The samples of a scope file, and whether it kept its times; none when it cannot be read.
struct ScopeSeen {
    size_t samples = 0;
    bool timed = false;
};

ScopeSeen readScope(const std::string& path) {
    uint8_t* data = nullptr;
    std::atomic<uint32_t> length{0};
    RecordingTimes times;
    ScopeSeen seen;
    if (readScopeFile([](int id) { ADD_FAILURE() << "refused: " << id; }, path, data, length,
                      &times)) {
        seen = {length.load(), times.timeBase.marks.size() >= 2 && times.ignored.empty()};
        giveBackSampleBuffer(data);
    }
    return seen;
}

// The samples a sigrok session holds, over all its logic files; its metadata in `metadata`.
size_t sessionSamples(const std::string& path, std::string& metadata) {
    size_t samples = 0;
    for (const auto& [name, contents] : unzip(readFileBytes(path))) {
        samples += name.starts_with("logic-1-") ? contents.size() : 0;
        metadata = name == "metadata" ? contents : metadata;
    }
    return samples;
}

size_t samplesIn(const std::string& path) {
    std::string metadata;
    return path.ends_with(".sr") ? sessionSamples(path, metadata) : readScope(path).samples;
}

TEST(CliLongCapture, RefusesWhatItCannotDo) {
    TempDir dir;
    const std::string out = dir.path("long.sco");
    const std::vector<std::vector<std::string>> lines = {
        {"--duration", "soon", "-o", out},
        {"--duration", "-3s", "-o", out},
        {"--samples", "0", "-o", out},
        {"--samples", "1.5", "-o", out},
        {"--samples", "5G", "-o", out},
        {"--samples", "2k"},
        {"--samples", "2k", "-o", out, "--vcd", dir.path("a.vcd")},
        {"--samples", "2k", "-o", out, "--size", "100"},
        {"--samples", "2k", "-o", out, "-P", "uart:rx=1"},
    };
    for (std::vector<std::string> line : lines) {
        line.insert(line.begin(), {"capture", "--simulate"});
        const CliRun run = runCliLine(line);
        SCOPED_TRACE(run.err);
        EXPECT_EQ(run.status, kExitUsage);
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}

// Exactly the samples asked for, at either speed's loop, with their times: the scope file keeps
// them, the sigrok session its measured rate.
TEST(CliLongCapture, WritesTheSamplesAskedFor) {
    struct Case {
        const char* file;
        const char* speed;
        const char* samples;
        size_t expected;
    };
    const std::vector<Case> cases = {{"a.sco", "fastest", "30k", 30000},
                                     {"a.sr", "fastest", "30001", 30001},
                                     {"b.sco", "slow", "3k", 3000},
                                     {"b.sr", "fast", "5k", 5000}};
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = dir.path(c.file);
        const CliRun run = runCliLine(
            {"capture", "--simulate", "--speed", c.speed, "--samples", c.samples, "-o", path});
        EXPECT_EQ(run.status, kExitSuccess) << run.err;
        EXPECT_TRUE(run.out.starts_with("samples: " + std::to_string(c.expected) + "\n"))
            << run.out;
        EXPECT_EQ(samplesIn(path), c.expected);
        std::string metadata;
        if (path.ends_with(".sr")) {
            sessionSamples(path, metadata);
            EXPECT_EQ(metadata.find("samplerate=1 Hz"), std::string::npos) << metadata;
        } else {
            EXPECT_TRUE(readScope(path).timed);
        }
    }
}

// With a trigger, the file keeps where it fired, in either kind of file, within the pre-trigger
// share of the first block; a sigrok session names its channels as the traces do.
TEST(CliLongCapture, KeepsTheTriggerPointAndTheChannelNames) {
    TempDir dir;
    for (const char* name : {"t.sco", "t.sr"}) {
        SCOPED_TRACE(name);
        const std::string path = dir.path(name);
        const CliRun run = runCliLine({"capture", "--simulate", "--trigger", "3=r", "--pre-trigger",
                                       "25%", "--samples", "40k", "-o", path});
        ASSERT_EQ(run.status, kExitSuccess) << run.err;
        uint8_t* data = nullptr;
        std::atomic<uint32_t> length{0};
        OpenedRecording opened;
        ASSERT_TRUE(readRecordingFile([](int) {}, path, data, length, opened)) << opened.problem;
        giveBackSampleBuffer(data);
        EXPECT_EQ(length, 40000u);
        ASSERT_TRUE(opened.times.triggerSample.has_value());
        EXPECT_GT(*opened.times.triggerSample, 0u);  // 25% kept from before it
        EXPECT_LT(*opened.times.triggerSample, 40000u / 4);
        if (std::string(name).ends_with(".sr")) {
            SigrokMetadata metadata;
            std::string problem, text;
            sessionSamples(path, text);
            ASSERT_TRUE(parseSigrokMetadata(text, metadata, problem)) << problem;
            std::vector<std::string> expected;
            for (const std::string& channel : defaultChannelNames()) {
                expected.push_back(exportChannelName(channel));  // as File > Export names them
            }
            EXPECT_EQ(metadata.channels, expected);
        }
    }
}

// A disk that fills during the capture ends it with an error; the file is in place, whole, with
// the blocks written before.
TEST(CliLongCapture, AFullDiskKeepsWhatWasWritten) {
    for (const char* name : {"full.sco", "full.sr"}) {
        SCOPED_TRACE(name);
        TempDir dir;
        const std::string path = dir.path(name);
        CliRun run;
        {
            FailingFileCalls calls;
            fillDiskAtWrite(calls, 9);  // in the third block or so
            run = runCliLine({"capture", "--simulate", "--samples", "1M", "-o", path});
        }
        EXPECT_EQ(run.status, kExitFailure);
        EXPECT_NE(run.err.find("No space left on device"), std::string::npos) << run.err;
        const size_t kept = samplesIn(path);
        EXPECT_GT(kept, 0u);
        EXPECT_LT(kept, 1'000'000u);
        EXPECT_NE(run.err.find("keeps the " + std::to_string(kept) + " samples"), std::string::npos)
            << run.err;
        EXPECT_EQ(temporariesIn(dir.path("")), 0);
    }
}

off_t sizeOfTemporary(const std::string& folder) {
    off_t size = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == ".tmp") {
            size = static_cast<off_t>(entry.file_size());
        }
    }
    return size;
}

// Ctrl+C (Break) or SIGTERM, at either loop, end a capture meant to run for an hour: the
// program ends normally, and the file is in place with the samples written until then.
TEST(CliLongCapture, BreakAndSigtermKeepTheFile) {
    struct Case {
        int signal;
        const char* speed;
        const char* file;
    };
    const std::vector<Case> cases = {{SIGINT, "slow", "a.sco"},
                                     {SIGTERM, "slow", "b.sr"},
                                     {SIGTERM, "fastest", "c.sco"},
                                     {SIGINT, "fastest", "d.sr"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        TempDir dir;
        const pid_t child = startChild(
            cliProgramPath(),
            {"capture", "--simulate", "--speed", c.speed, "--duration", "1h", "-o", c.file},
            dir.path(""));
        ASSERT_GT(child, 0);
        // More than the first block of 4096 samples and what stands beside it.
        EXPECT_TRUE(waitUntil([&] { return sizeOfTemporary(dir.path("")) > 3 * 4096; }));
        kill(child, c.signal);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        EXPECT_GT(samplesIn(dir.path(c.file)), 4096u);
        EXPECT_EQ(temporariesIn(dir.path("")), 0);
    }
}

// info, export and decode open sigrok sessions: sigrok's own of 8 channels, the channels left
// out said once; a damaged one in one line, with the exit status of a file refused.
TEST(CliLongCapture, InfoExportAndDecodeOpenSigrokSessions) {
    TempDir dir;
    const std::string logic = {'\x00', '\x01', '\x03', '\x07', '\x0f', '\x1f', '\x3f', '\x7f'};
    const std::string good =
        zipOf({{"version", "2"},
               {"metadata", metadataOf({"D0", "D1", "D2", "D3", "D4", "D5", "D6", "D7"}, "2 kHz")},
               {"logic-1-1", logic}});
    const std::string path = dir.write("eight.sr", good);
    const CliRun info = runCliLine({"info", path});
    EXPECT_EQ(info.status, kExitSuccess) << info.err;
    EXPECT_TRUE(info.out.starts_with("samples: 8\nrate: 2000 samples/s\n")) << info.out;
    EXPECT_NE(info.err.find("D5, D6 and D7 are left out"), std::string::npos) << info.err;
    const CliRun csv = runCliLine({"export", path, "--csv", "-o", "-"});
    EXPECT_EQ(csv.status, kExitSuccess) << csv.err;
    EXPECT_NE(csv.out.find("0.0035"), std::string::npos) << csv.out;  // sample 7 at 2 kHz

    const std::string damaged = dir.write("damaged.sr", good.substr(0, good.size() - 30));
    for (const std::vector<std::string>& line :
         {std::vector<std::string>{"info", damaged},
          {"export", damaged, "--vcd", "-o", dir.path("x.vcd")},
          {"decode", damaged, "-P", "uart:rx=1"}}) {
        const CliRun run = runCliLine(line);
        EXPECT_EQ(run.status, kExitFailure) << run.err;
        EXPECT_TRUE(run.err.starts_with("pinprobe-cli: " + damaged +
                                        ": it is not a sigrok session that can be read: "))
            << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
}

}  // namespace
