#include "export/sigrok_session_reader.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "core/scope_session.h"
#include "export/recording_file.h"
#include "export/streamed_sigrok_session.h"
#include "tests/support/scope_file_maker.h"
#include "tests/support/zip_files.h"

namespace {

// Bytes counting up through every pattern of 8 channels, in two logic files.
std::string countingLogic() {
    std::string logic;
    for (int i = 0; i < 600; ++i) {
        logic += static_cast<char>(i * 7);
    }
    return logic;
}

std::string statusOf(const SigrokSessionRead& read) {
    return {reinterpret_cast<const char*>(read.samples), read.count};
}

struct Opened {
    bool ok = false;
    SigrokSessionRead read;
    std::string problem;
    ~Opened() { giveBackSampleBuffer(read.samples); }
};

void openSession(const std::string& path, Opened& opened) {
    opened.ok = readSigrokSession(path, opened.read, opened.problem);
}

// sigrok's own logic files of 8 channels: five traces from the first five channels, or from
// those named as ours wherever they stand, the rest reported; the rate is the time base.
TEST(SigrokSessionReader, SigroksOwnEightChannelFiles) {
    struct Case {
        std::vector<std::string> probes;
        std::array<int, 5> traceBits;  // the channel each trace shows
        std::string note;
    };
    const std::vector<Case> cases = {
        {{"D0", "D1", "D2", "D3", "D4", "D5", "D6", "D7"},
         {0, 1, 2, 3, 4},
         "D5, D6 and D7 are left out"},
        {{"Busy", "D1", "Error", "D3", "Select", "Acknowledge", "Out_Of_Paper", "D7"},
         {2, 4, 6, 5, 0},
         "D1, D3 and D7 are left out"},
        {{"A", "B", "C"}, {0, 1, 2, -1, -1}, ""},
    };
    const std::string logic = countingLogic();
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.probes[0]);
        const std::string path =
            dir.write("s.sr", zipOf({{"version", "2"},
                                     {"metadata", metadataOf(c.probes, "250 kHz")},
                                     {"logic-1-1", logic.substr(0, 256)},
                                     {"logic-1-2", logic.substr(256)}}));
        Opened opened;
        openSession(path, opened);
        ASSERT_TRUE(opened.ok) << opened.problem;
        const std::string status = statusOf(opened.read);
        ASSERT_EQ(status.size(), logic.size());
        for (size_t k = 0; k < logic.size(); ++k) {
            uint8_t expected = 0;
            for (int trace = 0; trace < 5; ++trace) {
                const int bit = c.traceBits[trace];
                expected |= bit >= 0 && ((logic[k] >> bit) & 1) != 0 ? 0x08 << trace : 0;
            }
            ASSERT_EQ(static_cast<uint8_t>(status[k]), expected) << k;
        }
        EXPECT_EQ(opened.read.note.substr(0, c.note.size()), c.note);
        EXPECT_EQ(opened.read.note.empty(), c.note.empty());
        const TimeBaseValues& times = opened.read.times.timeBase;
        ASSERT_EQ(times.marks.size(), 2u);
        EXPECT_EQ(times.marks.back().sample, logic.size());
        EXPECT_EQ(times.marks.back().nanoseconds, logic.size() * 4000u);
    }
}

// A session this program streamed reads back as the status bytes it was given (the bits of
// the five channels), at its rate, through the reader both programs open files with.
TEST(SigrokSessionReader, OursReadsBack) {
    TempDir dir;
    OutputFile output;
    ASSERT_TRUE(openOutputFile(output, dir.path("ours.sr")));
    SigrokSessionStream stream(output);
    ASSERT_TRUE(stream.start(1));
    const std::string first = {'\x0f', '\x17', '\xff'};
    const std::string second = {'\x87', '\x00', '\x48', '\xf8'};
    for (const std::string& block : {first, second}) {
        ASSERT_TRUE(stream.append(reinterpret_cast<const uint8_t*>(block.data()),
                                  static_cast<uint32_t>(block.size()), 2'000'000));
    }
    ASSERT_TRUE(commitOutputFile(output));
    uint8_t* data = nullptr;
    std::atomic<uint32_t> length{0};
    OpenedRecording opened;
    ASSERT_TRUE(
        readRecordingFile([](int) { ADD_FAILURE(); }, dir.path("ours.sr"), data, length, opened))
        << opened.problem;
    std::string status(reinterpret_cast<const char*>(data), length);
    giveBackSampleBuffer(data);
    EXPECT_EQ(status, std::string({'\x08', '\x10', '\xf8', '\x80', '\x00', '\x48', '\xf8'}));
    EXPECT_EQ(opened.note, "");
    EXPECT_DOUBLE_EQ(opened.times.timeBase.typicalPeriodNs, 500);
}

// Whatever is wrong with a session, one clear sentence, no samples held.
TEST(SigrokSessionReader, ADamagedSessionGivesOneClearProblem) {
    const std::string good = zipOf({{"version", "2"},
                                    {"metadata", metadataOf({"D0", "D1"}, "1 MHz")},
                                    {"logic-1-1", std::string(5000, '\x01')}});
    std::string flipped = good;
    flipped[good.find("logic-1-1") + 12] ^= 0x55;  // in the deflated samples
    struct Case {
        std::string bytes;
        std::string problem;
    };
    const std::vector<Case> cases = {
        {good.substr(0, good.size() / 2), "it is not a sigrok session that can be read: "},
        {flipped, "its samples are damaged"},
        {zipOf({{"version", "2"}, {"logic-1-1", "x"}}), "it is not a sigrok session: it has no"},
        {zipOf({{"metadata", "[device 1]\ncapturefile=logic-1\nprobe1=A\nunitsize=2\n"}}),
         "its metadata has unitsize=2"},
        {zipOf({{"metadata", "[device 1]\nsamplerate=1 MHz\n"}}), "it holds no logic channels"},
        {zipOf({{"metadata", metadataOf({"1", "2", "3", "4", "5", "6", "7", "8", "9"}, "1 Hz")}}),
         "it has more than 8 logic channels"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.problem);
        Opened opened;
        openSession(dir.write("bad.sr", c.bytes), opened);
        EXPECT_FALSE(opened.ok);
        EXPECT_EQ(opened.problem.substr(0, c.problem.size()), c.problem);
        EXPECT_EQ(opened.problem.find('\n'), std::string::npos);
        EXPECT_EQ(opened.read.samples, nullptr);
    }
}

size_t largestObtained = 0;

// An archive whose directory claims a logic file far larger than its bytes could hold is
// refused before any memory is asked for it.
TEST(SigrokSessionReader, AllocatesNoMoreThanTheArchiveHolds) {
    std::string bytes = zipOf({{"version", "2"},
                               {"metadata", metadataOf({"D0"}, "1 MHz")},
                               {"logic-1-1", std::string(100, '\x01')}});
    // logic-1-1's whole size, alike in its local header (22 bytes in) and in the directory's
    // record (24 bytes in), so that the archive holds together.
    const std::string huge("\xff\xff\xff\x7f", 4);
    const size_t local = bytes.rfind(std::string("PK\3\4"), bytes.find("logic-1-1"));
    bytes.replace(local + 22, 4, huge);
    const size_t name = bytes.find("logic-1-1", bytes.find(std::string("PK\1\2")));
    ASSERT_NE(name, std::string::npos);
    bytes.replace(bytes.rfind(std::string("PK\1\2"), name) + 24, 4, huge);
    const SampleMemory counting{[](size_t size) -> void* {
                                    largestObtained = std::max(largestObtained, size);
                                    return std::malloc(size);
                                },
                                &std::free};
    setSampleMemory(&counting);
    TempDir dir;
    Opened opened;
    openSession(dir.write("big.sr", bytes), opened);
    setSampleMemory(nullptr);
    EXPECT_FALSE(opened.ok);
    EXPECT_LE(largestObtained, bytes.size());
}

}  // namespace
