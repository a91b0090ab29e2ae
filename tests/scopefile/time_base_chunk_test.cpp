#include "scopefile/time_base_chunk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "core/scope_session.h"
#include "resources/string_table.h"
#include "scopefile/recording_times.h"
#include "scopefile/scope_file.h"
#include "tests/support/scope_file_maker.h"
#include "tests/support/time_base_maker.h"

namespace {

using namespace std::string_literals;

// Marks every 4 samples from sample 96 on, a stall, a planned pause and failed reads.
RecordingTimes someTimes() {
    RecordingTimes times;
    times.origin = 100;
    times.triggerSample = 130;
    TimeBaseValues& base = times.timeBase;
    for (uint32_t s = 96; s <= 148; s += 4) {
        base.marks.push_back(TimeMark{s, s * 1000ull + (s > 120 ? 50'000 : 0)});
    }
    base.marks.insert(base.marks.begin() + 9, TimeMark{128, 128'000 + 900'000});
    for (size_t i = 10; i < base.marks.size(); ++i) {
        base.marks[i].nanoseconds += 900'000;
    }
    base.gaps = {TimeGap{122, 46'000, 0, GapKind::Stall},
                 TimeGap{128, 900'000, 0, GapKind::PlannedPause},
                 TimeGap{140, 0, 3, GapKind::Stall}};
    base.typicalPeriodNs = 1000.25;
    base.spread = PeriodSpread{1.0e-6, 0.9e-6, 1.2e-6};
    return times;
}

std::string bytesOf(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

void expectSame(const RecordingTimes& a, const RecordingTimes& b) {
    EXPECT_EQ(a.origin, b.origin);
    EXPECT_EQ(a.triggerSample, b.triggerSample);
    ASSERT_EQ(a.timeBase.marks.size(), b.timeBase.marks.size());
    for (size_t i = 0; i < a.timeBase.marks.size(); ++i) {
        EXPECT_EQ(a.timeBase.marks[i].sample, b.timeBase.marks[i].sample);
        EXPECT_EQ(a.timeBase.marks[i].nanoseconds, b.timeBase.marks[i].nanoseconds);
    }
    ASSERT_EQ(a.timeBase.gaps.size(), b.timeBase.gaps.size());
    for (size_t i = 0; i < a.timeBase.gaps.size(); ++i) {
        const TimeGap& x = a.timeBase.gaps[i];
        const TimeGap& y = b.timeBase.gaps[i];
        EXPECT_EQ(x.sample, y.sample);
        EXPECT_EQ(x.nanoseconds, y.nanoseconds);
        EXPECT_EQ(x.failedReads, y.failedReads);
        EXPECT_EQ(x.kind, y.kind);
    }
    EXPECT_EQ(a.timeBase.typicalPeriodNs, b.timeBase.typicalPeriodNs);
    EXPECT_EQ(a.timeBase.spread.median, b.timeBase.spread.median);
    EXPECT_EQ(a.timeBase.spread.low, b.timeBase.spread.low);
    EXPECT_EQ(a.timeBase.spread.high, b.timeBase.spread.high);
}

// The chunk's bytes with `length` bytes at `offset` replaced by `value`, little-endian.
std::string patched(std::string chunk, size_t offset, uint64_t value, size_t length = 4) {
    for (size_t i = 0; i < length; ++i) {
        chunk[offset + i] = static_cast<char>(value >> (8 * i));
    }
    return chunk;
}

// Reads `chunk` as a file would hand it over, of which only the first `available` bytes come.
bool decodes(const std::string& chunk, uint32_t samples, RecordingTimes& times, std::string& note,
             size_t available = std::string::npos) {
    size_t at = 0;
    const ChunkBytesSource next = [&](uint8_t* destination, size_t count) {
        const size_t given =
            std::min(count, std::min(available, chunk.size()) - std::min(at, available));
        std::memcpy(destination, chunk.data() + at, given);
        at += given;
        return given == count;
    };
    return readTimeBaseChunk(next, chunk.size(), samples, times, note);
}

TEST(TimeBaseChunk, KeepsEveryMarkGapAndTheTriggerPoint) {
    const RecordingTimes times = someTimes();
    const std::string chunk = bytesOf(encodeTimeBaseChunk(times));
    // Version 1, then the trigger flag, the origin and the trigger point, little-endian.
    EXPECT_EQ(chunk.substr(0, 16), "\x01\0\0\0\x01\0\0\0\x64\0\0\0\x82\0\0\0"s);
    RecordingTimes back;
    std::string note;
    ASSERT_TRUE(decodes(chunk, 50, back, note)) << note;
    expectSame(back, times);
    EXPECT_EQ(note, "");

    RecordingTimes noTrigger = times;
    noTrigger.triggerSample.reset();
    ASSERT_TRUE(decodes(bytesOf(encodeTimeBaseChunk(noTrigger)), 50, back, note));
    EXPECT_EQ(back.triggerSample, std::nullopt);
}

// Long recordings' marks come in many pieces; each must come back in its place.
TEST(TimeBaseChunk, KeepsTheMarksOfALongRecordingInOrder) {
    for (const uint32_t count : {2u, 4096u, 10001u}) {
        SCOPED_TRACE(count);
        RecordingTimes times;
        for (uint32_t i = 0; i < count; ++i) {
            times.timeBase.marks.push_back(TimeMark{4 * i, 4'400ull * i + i % 7});
        }
        times.timeBase.gaps = {TimeGap{4, 0, 2, GapKind::Stall}};
        RecordingTimes back;
        std::string note;
        ASSERT_TRUE(decodes(bytesOf(encodeTimeBaseChunk(times)), 4 * count, back, note)) << note;
        expectSame(back, times);
    }
}

// The file ends, or fails, while its time base is read: nothing of it is taken.
TEST(TimeBaseChunk, BytesThatStopComingLeaveTheTimesAsTheyWere) {
    RecordingTimes many;
    for (uint32_t i = 0; i < 5000; ++i) {
        many.timeBase.marks.push_back(TimeMark{i, 1'000ull * i});
    }
    const std::string chunk = bytesOf(encodeTimeBaseChunk(many));
    for (const size_t available :
         {size_t{0}, size_t{3}, size_t{20}, size_t{56}, size_t{30'000}, chunk.size() - 1}) {
        SCOPED_TRACE(available);
        RecordingTimes times;
        times.origin = 7;
        std::string note;
        EXPECT_FALSE(decodes(chunk, 5000, times, note, available));
        EXPECT_EQ(note, "the file's time base is cut short");
        EXPECT_EQ(times.origin, 7u);
        EXPECT_TRUE(times.timeBase.marks.empty());
    }
}

TEST(TimeBaseChunk, IsWorthKeepingWithATimeBaseOrATriggerPoint) {
    RecordingTimes times;
    EXPECT_FALSE(worthKeeping(times));
    times.timeBase.marks = {TimeMark{0, 0}};
    EXPECT_FALSE(worthKeeping(times));
    times.timeBase.marks.push_back(TimeMark{10, 10'000});
    EXPECT_TRUE(worthKeeping(times));
    times.timeBase.marks.clear();
    times.triggerSample = 0;
    EXPECT_TRUE(worthKeeping(times));
}

// Offsets in the layout: 4 flags, 8 origin, 12 trigger, 16 typical period, 48 mark count,
// 52 gap count, 56 the marks (12 bytes each), then the gaps (20 bytes each).
TEST(TimeBaseChunk, WhatDoesNotHoldTogetherIsIgnoredWithANote) {
    const std::string good = bytesOf(encodeTimeBaseChunk(someTimes()));
    const size_t marks = 56;
    const size_t gaps = marks + 15 * 12;
    const uint64_t nan = std::bit_cast<uint64_t>(std::numeric_limits<double>::quiet_NaN());
    const struct {
        const char* what;
        std::string chunk;
        uint32_t samples;
        const char* note;
    } cases[] = {
        {"nothing", "", 50, "the file's time base is cut short"},
        {"version only", good.substr(0, 4), 50, "the file's time base is damaged"},
        {"a later version", patched(good, 0, 2), 50,
         "the file's time base is of version 2, which this version of Pinprobe does not know"},
        {"version 0", patched(good, 0, 0), 50,
         "the file's time base is of version 0, which this version of Pinprobe does not know"},
        {"cut in the header", good.substr(0, 55), 50, "the file's time base is damaged"},
        {"cut in the marks", good.substr(0, marks + 20), 50, "the file's time base is damaged"},
        {"one byte short", good.substr(0, good.size() - 1), 50, "the file's time base is damaged"},
        {"one byte more", good + "x", 50, "the file's time base is damaged"},
        {"a huge mark count", patched(good, 48, 0xFFFFFFFF), 50, "the file's time base is damaged"},
        {"a huge gap count", patched(good, 52, 0x40000000), 50, "the file's time base is damaged"},
        {"an unknown flag", patched(good, 4, 3), 50, "the file's time base is damaged"},
        {"a trigger before the first sample", patched(good, 12, 99), 50,
         "the file's time base is damaged"},
        {"a trigger after the last sample", patched(good, 12, 150), 50,
         "the file's time base is damaged"},
        {"samples beyond 32 bits", patched(patched(good, 4, 0), 8, 0xFFFFFFF0), 50,
         "the file's time base is damaged"},
        {"a period that is no number", patched(good, 16, nan, 8), 50,
         "the file's time base is damaged"},
        {"a negative spread", patched(good, 40, std::bit_cast<uint64_t>(-1.0), 8), 50,
         "the file's time base is damaged"},
        {"marks going back in samples", patched(good, marks + 12, 90), 50,
         "the file's time base is damaged"},
        {"marks going back in time", patched(good, marks + 12 + 4, 5, 8), 50,
         "the file's time base is damaged"},
        {"three marks at one sample", patched(good, marks + 10 * 12, 128), 50,
         "the file's time base is damaged"},
        {"gaps out of order", patched(good, gaps + 20, 100), 50, "the file's time base is damaged"},
        {"a gap of an unknown kind", patched(good, gaps + 16, 2), 50,
         "the file's time base is damaged"},
        {"a kind beyond a byte", patched(good, gaps + 16, 0x100), 50,
         "the file's time base is damaged"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingTimes times;
        times.origin = 7;
        std::string note;
        EXPECT_FALSE(decodes(c.chunk, c.samples, times, note));
        EXPECT_EQ(note, c.note);
        EXPECT_EQ(times.origin, 7u) << "the times are left as they were";
        EXPECT_TRUE(times.timeBase.marks.empty());
    }
}

TEST(TimeBaseChunk, OneMarkOrGapsWithoutMarksAreDamaged) {
    RecordingTimes oneMark;
    oneMark.timeBase.marks = {TimeMark{0, 0}};
    RecordingTimes gapsOnly;
    gapsOnly.timeBase.gaps = {TimeGap{3, 0, 1, GapKind::Stall}};
    for (const RecordingTimes* times : {&oneMark, &gapsOnly}) {
        RecordingTimes back;
        std::string note;
        EXPECT_FALSE(decodes(bytesOf(encodeTimeBaseChunk(*times)), 10, back, note));
    }
    RecordingTimes triggerOnly;
    triggerOnly.triggerSample = 9;
    RecordingTimes back;
    std::string note;
    EXPECT_TRUE(decodes(bytesOf(encodeTimeBaseChunk(triggerOnly)), 10, back, note)) << note;
    EXPECT_EQ(back.triggerSample, 9u);
}

// Files written and read whole.
class TimesInScopeFiles : public ::testing::Test {
protected:
    void TearDown() override { resetScopeSession(); }

    // Reads `path`; the samples, and the times in `times`.
    std::string read(const std::string& path, RecordingTimes& times) {
        uint8_t* data = nullptr;
        std::atomic<uint32_t> length{0};
        EXPECT_TRUE(
            readScopeFile([this](int id) { ids.push_back(id); }, path, data, length, &times));
        std::string samples(reinterpret_cast<const char*>(data), length);
        giveBackSampleBuffer(data);
        return samples;
    }

    TempDir dir;
    std::vector<int> ids;
};

TEST_F(TimesInScopeFiles, TheTimesFollowTheSamplesWhichStayAsSpecified) {
    const RecordingTimes times = someTimes();
    const std::string samples(50, '\x78');
    const std::string path = dir.path("timed.sco");
    ASSERT_TRUE(writeScopeFile([this](int id) { ids.push_back(id); }, path,
                               reinterpret_cast<const uint8_t*>(samples.data()), 50, &times));
    const std::string file = readFileBytes(path);
    const std::string timesBytes = bytesOf(encodeTimeBaseChunk(times));
    EXPECT_EQ(file, riffForm("SCOP", chunk("data", samples) + chunk("tbas", timesBytes)));
    RecordingTimes back;
    EXPECT_EQ(read(path, back), samples);
    expectSame(back, times);
    EXPECT_EQ(back.ignored, "");
    EXPECT_TRUE(ids.empty());
}

TEST_F(TimesInScopeFiles, AFileWithoutTimesOrWithNothingToKeepIsAsSpecified) {
    const std::string samples = "abc";
    const RecordingTimes none;
    const std::string path = dir.path("plain.sco");
    ASSERT_TRUE(writeScopeFile([](int) {}, path, reinterpret_cast<const uint8_t*>(samples.data()),
                               3, &none));
    EXPECT_EQ(readFileBytes(path), scopeFileBytes(samples));
    RecordingTimes back;
    back.origin = 5;
    EXPECT_EQ(read(path, back), samples);
    EXPECT_EQ(back.origin, 0u);
    EXPECT_TRUE(back.timeBase.marks.empty());
    EXPECT_EQ(back.ignored, "");
}

TEST_F(TimesInScopeFiles, TimesThatCannotBeReadNeverRefuseTheSamples) {
    const std::string good = bytesOf(encodeTimeBaseChunk(someTimes()));
    const struct {
        const char* what;
        std::string file;
        const char* ignored;
    } cases[] = {
        {"damaged", riffForm("SCOP", chunk("data", "abc") + chunk("tbas", good.substr(0, 60))),
         "the file's time base is damaged"},
        {"cut short by the file's end",
         riffForm("SCOP", chunk("data", "abc") + chunkHeader("tbas", 1u << 30) + good),
         "the file's time base is cut short"},
        {"a huge size and nothing after it",
         riffForm("SCOP", chunk("data", "abc") + chunkHeader("tbas", 0xFFFFFFFF)),
         "the file's time base is cut short"},
        {"empty", riffForm("SCOP", chunk("data", "abc") + chunk("tbas", "")),
         "the file's time base is cut short"},
        {"junk after the samples", riffForm("SCOP", chunk("data", "abc")) + "xy", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingTimes back;
        EXPECT_EQ(read(dir.write("odd.sco", c.file), back), "abc");
        EXPECT_EQ(back.ignored, c.ignored);
        EXPECT_TRUE(back.timeBase.marks.empty());
        EXPECT_TRUE(ids.empty());
    }
}

// A full disk at the times fails the save as a whole, so the old file stays as it was.
TEST_F(TimesInScopeFiles, AWriteThatFailsAtTheTimesFailsTheSave) {
    const RecordingTimes times = someTimes();
    for (size_t capacity : {size_t{24}, size_t{40}, size_t{300}}) {
        SCOPED_TRACE(capacity);
        MemoryFile file;
        file.capacity = capacity;
        ids.clear();
        EXPECT_FALSE(writeScopeStream([this](int id) { ids.push_back(id); }, openMemoryFile(file),
                                      reinterpret_cast<const uint8_t*>("abc"), 3, &times));
        EXPECT_EQ(ids, std::vector<int>{IDS_CANNOT_WRITE_FORM});
    }
}

// Every size is written up front, the times' included: a pipe gets the whole file.
TEST_F(TimesInScopeFiles, AStreamThatCannotSeekBackGetsTheWholeFile) {
    const RecordingTimes times = someTimes();
    MemoryFile file;
    file.failingSeek = 1;
    ASSERT_TRUE(writeScopeStream([](int) {}, openMemoryFile(file),
                                 reinterpret_cast<const uint8_t*>("abc"), 3, &times));
    EXPECT_EQ(file.bytes, riffForm("SCOP", chunk("data", "abc") +
                                               chunk("tbas", bytesOf(encodeTimeBaseChunk(times)))));
}

// Save and Open through the session: a cut recording keeps the times of the samples it kept.
TEST_F(TimesInScopeFiles, TheSessionsCutRecordingComesBackWithItsTimes) {
    resetScopeSession();
    makeTimeBase(scopeSession.timeBase, 1000, 2000, {{400, 300'000}}, 8);
    TimeBase whole;
    makeTimeBase(whole, 1000, 2000, {{400, 300'000}}, 8);
    const std::string samples(600, '\x10');
    scopeSession.sampleOrigin = 300;  // a cut before, and one after at sample 899
    scopeSession.sampleLength = 600;
    const RecordingTimes times = recordingTimesOf(scopeSession);
    const std::string path = dir.path("cut.sco");
    ASSERT_TRUE(writeScopeFile([](int) {}, path, reinterpret_cast<const uint8_t*>(samples.data()),
                               600, &times));
    resetScopeSession();
    RecordingTimes back;
    EXPECT_EQ(read(path, back), samples);
    EXPECT_LE(back.timeBase.marks.size(), 600u / 8 + 3) << "only the marks of the kept samples";
    takeRecordingTimes(scopeSession, back);
    EXPECT_EQ(scopeSession.sampleOrigin, 300u);
    ASSERT_TRUE(scopeSession.timeBase.known());
    for (uint32_t s = 300; s < 900; s += 37) {
        EXPECT_DOUBLE_EQ(scopeSession.timeBase.secondsAt(s), whole.secondsAt(s)) << s;
    }
    EXPECT_EQ(scopeSession.timeBase.gaps().size(), whole.gaps().size());
}

// The trigger point goes into the file with the samples that hold it, and comes back; a cut that
// dropped it, or a file without one, leaves none.
TEST_F(TimesInScopeFiles, TheTriggerPointComesBackWhereTheSamplesHoldIt) {
    const struct {
        uint32_t trigger;
        std::optional<uint32_t> back;
    } cases[] = {{kNoTriggerSample, std::nullopt},
                 {300, 300},
                 {899, 899},
                 {299, std::nullopt},
                 {900, std::nullopt}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.trigger);
        resetScopeSession();
        makeTimeBase(scopeSession.timeBase, 1000, 2000, {}, 8);
        scopeSession.sampleOrigin = 300;
        scopeSession.sampleLength = 600;
        scopeSession.triggerSample = c.trigger;
        const RecordingTimes times = recordingTimesOf(scopeSession);
        EXPECT_EQ(times.triggerSample, c.back);
        const std::string path = dir.path("trigger.sco");
        const std::string samples(600, '\x10');
        ASSERT_TRUE(writeScopeFile([](int) {}, path,
                                   reinterpret_cast<const uint8_t*>(samples.data()), 600, &times));
        scopeSession.triggerSample = 42;  // a previous recording's
        RecordingTimes back;
        read(path, back);
        takeRecordingTimes(scopeSession, back);
        EXPECT_EQ(triggerIndex(scopeSession),
                  c.back ? std::optional<uint32_t>(*c.back - 300) : std::nullopt);
    }
}

TEST(IgnoredTimesNote, SaysWhatTheRecordingShowsAndWhy) {
    EXPECT_EQ(ignoredTimesNote("the file's time base is damaged"),
              "Loaded with sample numbers only: the file's time base is damaged.");
}

}  // namespace
