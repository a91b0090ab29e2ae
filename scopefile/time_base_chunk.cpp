#include "scopefile/time_base_chunk.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>

#include "core/prefault.h"

namespace {

constexpr size_t kHeaderBytes = 56;
constexpr size_t kMarkBytes = 12;
constexpr size_t kGapBytes = 20;
constexpr uint32_t kHasTrigger = 1;

// A value's bytes in little-endian order; a whole copy on a little-endian host, which a time base
// of a hundred thousand marks reads in a fraction of the time a byte loop takes.
template <typename Value>
Value inLittleEndianOrder(Value value) {
    if constexpr (std::endian::native == std::endian::little) {
        return value;
    } else {
        auto bytes = std::bit_cast<std::array<uint8_t, sizeof value>>(value);
        std::reverse(bytes.begin(), bytes.end());
        return std::bit_cast<Value>(bytes);
    }
}

// Appends values little-endian, whatever the host.
struct ChunkBytes {
    std::vector<uint8_t> bytes;

    template <typename Value>
    void put(Value value) {
        const Value stored = inLittleEndianOrder(value);
        const size_t at = bytes.size();
        bytes.resize(at + sizeof stored);
        std::memcpy(bytes.data() + at, &stored, sizeof stored);
    }
    void put32(uint32_t value) { put(value); }
    void put64(uint64_t value) { put(value); }
    void putDouble(double value) { put64(std::bit_cast<uint64_t>(value)); }
};

// Reads little-endian values; the caller has made sure they are there.
struct ChunkCursor {
    const uint8_t* at;

    template <typename Value>
    Value take() {
        Value stored;
        std::memcpy(&stored, at, sizeof stored);
        at += sizeof stored;
        return inLittleEndianOrder(stored);
    }
    uint32_t take32() { return take<uint32_t>(); }
    uint64_t take64() { return take<uint64_t>(); }
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

// Records are read this many at a time: a piece of a few dozen kilobytes.
constexpr size_t kRecordsPerPiece = 2048;

// Reads `count` records of `width` bytes, each made by `decode` from a cursor at its first byte.
template <typename Record, typename Decode>
bool readRecords(const ChunkBytesSource& next, uint32_t count, size_t width,
                 std::vector<Record>& records, Decode decode) {
    records.reserve(count);
    prefaultForWriting(records.data(), count * sizeof(Record));
    std::vector<uint8_t> piece(std::min<size_t>(count, kRecordsPerPiece) * width);
    while (records.size() < count) {
        const size_t inPiece = std::min<size_t>(count - records.size(), kRecordsPerPiece);
        if (!next(piece.data(), inPiece * width)) {
            return false;
        }
        ChunkCursor cursor{piece.data()};
        for (size_t i = 0; i < inPiece; ++i) {
            records.push_back(decode(cursor));
        }
    }
    return true;
}

TimeMark takeMark(ChunkCursor& cursor) {
    TimeMark mark;
    mark.sample = cursor.take32();
    mark.nanoseconds = cursor.take64();
    return mark;
}

TimeGap takeGap(ChunkCursor& cursor) {
    TimeGap gap;
    gap.sample = cursor.take32();
    gap.nanoseconds = cursor.take64();
    gap.failedReads = cursor.take32();
    gap.kind = static_cast<GapKind>(std::min<uint32_t>(cursor.take32(), UINT8_MAX));
    return gap;
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

constexpr const char* kCutShort = "the file's time base is cut short";
constexpr const char* kDamaged = "the file's time base is damaged";

// The version, first: a chunk of another version may be laid out in any other way.
bool readVersion(const ChunkBytesSource& next, size_t size, std::string& note) {
    uint8_t bytes[4];
    if (size < sizeof bytes || !next(bytes, sizeof bytes)) {
        note = kCutShort;
        return false;
    }
    ChunkCursor cursor{bytes};
    if (const uint32_t version = cursor.take32(); version != kTimeBaseChunkVersion) {
        note = "the file's time base is of version " + std::to_string(version) + ", which this " +
               "version of Pinprobe does not know";
        return false;
    }
    return true;
}

// The rest of the header, with the counts of marks and gaps; checked before anything is
// allocated: the counts must fill the chunk exactly.
bool readCounts(const ChunkBytesSource& next, size_t size, uint32_t sampleCount,
                RecordingTimes& found, uint32_t& markCount, uint32_t& gapCount, std::string& note) {
    uint8_t bytes[kHeaderBytes - 4];
    if (size < kHeaderBytes) {
        note = kDamaged;
        return false;
    }
    if (!next(bytes, sizeof bytes)) {
        note = kCutShort;
        return false;
    }
    ChunkCursor cursor{bytes};
    const bool header = readHeader(cursor, sampleCount, found);
    markCount = cursor.take32();
    gapCount = cursor.take32();
    if (!header ||
        uint64_t{markCount} * kMarkBytes + uint64_t{gapCount} * kGapBytes != size - kHeaderBytes) {
        note = kDamaged;
        return false;
    }
    return true;
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

bool readTimeBaseChunk(const ChunkBytesSource& next, size_t size, uint32_t sampleCount,
                       RecordingTimes& times, std::string& note) {
    RecordingTimes found;
    uint32_t markCount = 0;
    uint32_t gapCount = 0;
    if (!readVersion(next, size, note) ||
        !readCounts(next, size, sampleCount, found, markCount, gapCount, note)) {
        return false;
    }
    TimeBaseValues& base = found.timeBase;
    if (!readRecords(next, markCount, kMarkBytes, base.marks, takeMark) ||
        !readRecords(next, gapCount, kGapBytes, base.gaps, takeGap)) {
        note = kCutShort;
        return false;
    }
    if (!marksHoldTogether(base.marks) || !gapsHoldTogether(base.gaps, !base.marks.empty())) {
        note = kDamaged;
        return false;
    }
    times = std::move(found);
    return true;
}
