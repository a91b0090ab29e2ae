#include "scopefile/streamed_scope_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "core/scope_session.h"
#include "scopefile/joined_times.h"
#include "scopefile/scope_file.h"
#include "tests/support/failing_file_calls.h"
#include "tests/support/scope_file_maker.h"
#include "tests/support/time_base_maker.h"

namespace {

constexpr uint64_t kPeriodNs = 1000;

// A block's samples and times, as one capture of the loop leaves them.
struct Block {
    std::string samples;
    TimeBaseValues values;
    uint64_t startNs;
};

Block makeBlock(uint32_t count, char first, uint64_t startNs) {
    Block block{std::string(count, first), {}, startNs};
    for (uint32_t i = 0; i < count; ++i) {
        block.samples[i] = static_cast<char>(first + i);
    }
    TimeBase timeBase;
    makeTimeBase(timeBase, count, kPeriodNs, {}, 2);
    block.values = timeBase.valuesFor(0, count);
    return block;
}

// What a reader of the file finds in it as it stands, while the stream still writes it.
struct FileSeen {
    std::string samples;
    RecordingTimes times;
};

std::string temporaryOf(const OutputFile& output) {
    return "/proc/self/fd/" + std::to_string(output.folder) + "/" + output.temporary;
}

FileSeen readWhileWritten(const OutputFile& output) {
    const std::string path = temporaryOf(output);
    FileSeen seen;
    uint8_t* data = nullptr;
    std::atomic<uint32_t> length{0};
    EXPECT_TRUE(readScopeFile([](int id) { ADD_FAILURE() << "refused: " << id; }, path, data,
                              length, &seen.times));
    seen.samples.assign(reinterpret_cast<const char*>(data), length);
    giveBackSampleBuffer(data);
    return seen;
}

struct Writing {
    TempDir dir;
    OutputFile output;
    ScopeFileStream stream{output};
    JoinedTimes times;
    std::string written;

    Writing() {
        EXPECT_TRUE(openOutputFile(output, dir.path("long.sco")));
        EXPECT_TRUE(stream.start());
    }
    bool append(const Block& block) {
        JoinedTimes next = times;
        next.add(block.values, static_cast<uint32_t>(block.samples.size()), block.startNs);
        if (!stream.append(reinterpret_cast<const uint8_t*>(block.samples.data()),
                           static_cast<uint32_t>(block.samples.size()), next.times())) {
            return false;
        }
        times = next;
        written += block.samples;
        return true;
    }
};

const std::vector<Block> kBlocks = {makeBlock(5, 'a', 0), makeBlock(8, 'A', 20'000),
                                    makeBlock(3, '0', 50'000)};

// After every block, odd ones too, a reader takes the file whole: the samples so far and their
// times, the blocks joined by the pauses between them; committed, it is the same file.
TEST(StreamedScopeFile, EveryBlockLeavesAWholeFile) {
    Writing writing;
    for (const Block& block : kBlocks) {
        ASSERT_TRUE(writing.append(block));
        const FileSeen seen = readWhileWritten(writing.output);
        EXPECT_EQ(seen.samples, writing.written);
        EXPECT_EQ(seen.times.ignored, "");
        EXPECT_EQ(seen.times.timeBase.marks.size(), writing.times.times().timeBase.marks.size());
        EXPECT_EQ(seen.times.timeBase.gaps.size(), writing.times.times().timeBase.gaps.size());
    }
    ASSERT_TRUE(commitOutputFile(writing.output));
    uint8_t* data = nullptr;
    std::atomic<uint32_t> length{0};
    ASSERT_TRUE(readScopeFile([](int) {}, writing.dir.path("long.sco"), data, length));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), length), writing.written);
    giveBackSampleBuffer(data);
}

// A disk that fills during a block, at its samples, at the times behind them or at the sizes in
// the headers: the block is refused and the file is the one the blocks before made.
TEST(StreamedScopeFile, AFullDiskKeepsTheBlocksBefore) {
    for (size_t failing = 1; failing <= 4; ++failing) {
        SCOPED_TRACE(failing);
        Writing writing;
        ASSERT_TRUE(writing.append(kBlocks[0]));
        ASSERT_TRUE(writing.append(kBlocks[1]));
        const FileSeen before = readWhileWritten(writing.output);
        const std::string bytesBefore = readFileBytes(temporaryOf(writing.output));
        {
            FailingFileCalls calls;
            fillDiskAtWrite(calls, failing);
            EXPECT_FALSE(writing.append(kBlocks[2]));
        }
        EXPECT_EQ(writing.output.error, ENOSPC);
        EXPECT_EQ(readFileBytes(temporaryOf(writing.output)), bytesBefore);
        const FileSeen after = readWhileWritten(writing.output);
        EXPECT_EQ(after.samples, before.samples);
        EXPECT_EQ(after.times.ignored, "");
        EXPECT_EQ(after.times.timeBase.marks.size(), before.times.timeBase.marks.size());
        EXPECT_TRUE(commitOutputFile(writing.output));
    }
}

// Blocks joined: the later one's marks move by the samples and the time before it, and the
// time between two blocks is a planned pause at the first sample of the later one. A block
// broken off (its last mark one read past the samples kept) ends at the next one's start.
TEST(JoinedTimes, BlocksFollowOneAnotherWithAPauseBetween) {
    const Block first = makeBlock(6, 'a', 1'000'000);
    Block broken = makeBlock(4, 'a', 1'010'000);
    broken.values.marks.back().sample += 1;  // read, not kept
    broken.values.marks.back().nanoseconds += kPeriodNs;
    const Block last = makeBlock(4, 'a', 1'020'000);

    JoinedTimes joined;
    joined.add(first.values, 6, first.startNs);
    joined.add(broken.values, 4, broken.startNs);
    joined.add(last.values, 4, last.startNs);
    const RecordingTimes times = joined.times();
    EXPECT_EQ(joined.samples(), 14u);
    EXPECT_DOUBLE_EQ(joined.periodSeconds(), kPeriodNs * 1e-9);

    const std::vector<TimeMark>& marks = times.timeBase.marks;
    for (size_t i = 1; i < marks.size(); ++i) {
        EXPECT_GE(marks[i].sample, marks[i - 1].sample);
        EXPECT_GE(marks[i].nanoseconds, marks[i - 1].nanoseconds);
    }
    EXPECT_EQ(marks.front().nanoseconds, 0u);
    EXPECT_EQ(marks.back().sample, 14u);
    EXPECT_EQ(marks.back().nanoseconds, 20'000u + 4 * kPeriodNs);
    ASSERT_EQ(times.timeBase.gaps.size(), 2u);
    const TimeGap& joint = times.timeBase.gaps[1];
    EXPECT_EQ(joint.sample, 10u);
    EXPECT_EQ(joint.kind, GapKind::PlannedPause);
    // The broken block ends at its fourth sample's time, not at the read it did not keep.
    EXPECT_EQ(joint.nanoseconds, 10'000u - 4 * kPeriodNs);
    EXPECT_EQ(joined.stalls(), 0u);
}

// Slow reads are marked every few samples; a long recording keeps few of those marks, yet
// every sample keeps its time, a stall's included, and the stall stays where it was.
TEST(JoinedTimes, KeepsFewMarksAndEveryTime) {
    constexpr uint32_t kCount = 5000;
    TimeBase marked;
    makeTimeBase(marked, kCount, kPeriodNs, {{3002, 50'000}, {4001, 40'000}}, 4);
    JoinedTimes joined;
    joined.add(marked.valuesFor(0, kCount), kCount, 0);
    TimeBase kept;
    kept.restore(joined.times().timeBase);
    EXPECT_LT(kept.markCount(), 16u);
    ASSERT_EQ(kept.gaps().size(), marked.gaps().size());
    for (size_t i = 0; i < kept.gaps().size(); ++i) {
        EXPECT_EQ(kept.gaps()[i].sample, marked.gaps()[i].sample);
        EXPECT_EQ(kept.gaps()[i].nanoseconds, marked.gaps()[i].nanoseconds);
    }
    for (const uint32_t sample :
         {0u, 700u, 1024u, 3001u, 3002u, 3004u, 3010u, 4000u, 4004u, kCount}) {
        EXPECT_NEAR(kept.secondsAt(sample), marked.secondsAt(sample), 1e-12) << sample;
    }
}

}  // namespace
