#include "scopefile/time_base_chunk.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace {

constexpr size_t kHeaderBytes = 56;
constexpr size_t kMarkBytes = 12;
constexpr size_t kGapBytes = 20;
constexpr uint32_t kHasTrigger = 1;

// Appends values little-endian, whatever the host.
struct ChunkBytes {
    std::vector<uint8_t> bytes;

    void put(uint64_t value, int width) {
        for (int i = 0; i < width; ++i) {
            bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
        }
    }
    void put32(uint32_t value) { put(value, 4); }
    void put64(uint64_t value) { put(value, 8); }
    void putDouble(double value) { put64(std::bit_cast<uint64_t>(value)); }
};

// Reads little-endian values; the caller has made sure they are there.
struct ChunkCursor {
    const uint8_t* at;

    uint64_t take(int width) {
        uint64_t value = 0;
        for (int i = 0; i < width; ++i) {
            value |= uint64_t{at[i]} << (8 * i);
        }
        at += width;
        return value;
    }
    uint32_t take32() { return static_cast<uint32_t>(take(4)); }
    uint64_t take64() { return take(8); }
    double takeDouble() { return std::bit_cast<double>(take64()); }
};

bool usable(double value) {
    return std::isfinite(value) && value >= 0;
}

// Marks rise in sample and time, with at most two at one sample (a pause).
bool marksHoldTogether(const std::vector<TimeMark>& marks) {
    for (size_t i = 1; i < marks.size(); ++i) {
        const TimeMark& a = marks[i - 1];
        const TimeMark& b = marks[i];
        const bool thirdAtOneSample = i >= 2 && marks[i - 2].sample == b.sample;
        if (b.sample < a.sample || b.nanoseconds < a.nanoseconds || thirdAtOneSample) {
            return false;
        }
    }
    return marks.size() != 1;
}

bool gapsHoldTogether(const std::vector<TimeGap>& gaps, bool withMarks) {
    for (size_t i = 0; i < gaps.size(); ++i) {
        if (gaps[i].kind != GapKind::Stall && gaps[i].kind != GapKind::PlannedPause) {
            return false;
        }
        if (i > 0 && gaps[i].sample < gaps[i - 1].sample) {
            return false;
        }
    }
    return withMarks || gaps.empty();
}

void readMarks(ChunkCursor& cursor, uint32_t count, std::vector<TimeMark>& marks) {
    marks.resize(count);
    for (TimeMark& mark : marks) {
        mark.sample = cursor.take32();
        mark.nanoseconds = cursor.take64();
    }
}

void readGaps(ChunkCursor& cursor, uint32_t count, std::vector<TimeGap>& gaps) {
    gaps.resize(count);
    for (TimeGap& gap : gaps) {
        gap.sample = cursor.take32();
        gap.nanoseconds = cursor.take64();
        gap.failedReads = cursor.take32();
        gap.kind = static_cast<GapKind>(std::min<uint32_t>(cursor.take32(), UINT8_MAX));
    }
}

// The header's fields; false when they cannot belong to a file of `sampleCount` samples.
bool readHeader(ChunkCursor& cursor, uint32_t sampleCount, RecordingTimes& times) {
    const uint32_t flags = cursor.take32();
    times.origin = cursor.take32();
    const uint32_t trigger = cursor.take32();
    times.timeBase.typicalPeriodNs = cursor.takeDouble();
    times.timeBase.spread.median = cursor.takeDouble();
    times.timeBase.spread.low = cursor.takeDouble();
    times.timeBase.spread.high = cursor.takeDouble();
    const uint64_t end = uint64_t{times.origin} + sampleCount;
    if ((flags & ~kHasTrigger) != 0 || end > uint64_t{UINT32_MAX} + 1) {
        return false;
    }
    if ((flags & kHasTrigger) != 0) {
        if (trigger < times.origin || trigger >= end) {
            return false;
        }
        times.triggerSample = trigger;
    }
    const PeriodSpread& spread = times.timeBase.spread;
    return usable(times.timeBase.typicalPeriodNs) && usable(spread.median) && usable(spread.low) &&
           usable(spread.high);
}

}  // namespace

bool worthKeeping(const RecordingTimes& times) {
    return times.timeBase.marks.size() >= 2 || times.triggerSample.has_value();
}

std::vector<uint8_t> encodeTimeBaseChunk(const RecordingTimes& times) {
    const TimeBaseValues& base = times.timeBase;
    ChunkBytes out;
    out.bytes.reserve(kHeaderBytes + base.marks.size() * kMarkBytes + base.gaps.size() * kGapBytes);
    out.put32(kTimeBaseChunkVersion);
    out.put32(times.triggerSample ? kHasTrigger : 0);
    out.put32(times.origin);
    out.put32(times.triggerSample.value_or(0));
    out.putDouble(base.typicalPeriodNs);
    out.putDouble(base.spread.median);
    out.putDouble(base.spread.low);
    out.putDouble(base.spread.high);
    out.put32(static_cast<uint32_t>(base.marks.size()));
    out.put32(static_cast<uint32_t>(base.gaps.size()));
    for (const TimeMark& mark : base.marks) {
        out.put32(mark.sample);
        out.put64(mark.nanoseconds);
    }
    for (const TimeGap& gap : base.gaps) {
        out.put32(gap.sample);
        out.put64(gap.nanoseconds);
        out.put32(gap.failedReads);
        out.put32(static_cast<uint32_t>(gap.kind));
    }
    return out.bytes;
}

bool decodeTimeBaseChunk(const uint8_t* bytes, size_t size, uint32_t sampleCount,
                         RecordingTimes& times, std::string& note) {
    if (size < 4) {
        note = "the file's time base is cut short";
        return false;
    }
    ChunkCursor cursor{bytes};
    if (const uint32_t version = cursor.take32(); version != kTimeBaseChunkVersion) {
        note = "the file's time base is of version " + std::to_string(version) + ", which this " +
               "version of Pinprobe does not know";
        return false;
    }
    RecordingTimes found;
    const bool header = size >= kHeaderBytes && readHeader(cursor, sampleCount, found);
    const uint32_t markCount = header ? cursor.take32() : 0;
    const uint32_t gapCount = header ? cursor.take32() : 0;
    // Checked before anything is allocated: the counts must fill the chunk exactly.
    if (!header ||
        uint64_t{markCount} * kMarkBytes + uint64_t{gapCount} * kGapBytes != size - kHeaderBytes) {
        note = "the file's time base is damaged";
        return false;
    }
    readMarks(cursor, markCount, found.timeBase.marks);
    readGaps(cursor, gapCount, found.timeBase.gaps);
    if (!marksHoldTogether(found.timeBase.marks) ||
        !gapsHoldTogether(found.timeBase.gaps, !found.timeBase.marks.empty())) {
        note = "the file's time base is damaged";
        return false;
    }
    times = std::move(found);
    return true;
}
