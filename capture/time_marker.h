#pragma once

#include <cstdint>

class PausePlan;
class ProbeClock;
class StatusPort;
class TimeBase;

// The longest block of samples between two clock readings.
inline constexpr uint32_t kLongestBlock = uint32_t{1} << 16;

// The sample loops' side of the time base: reads the clock just before the first sample of each
// block and once after the last read. A block starts at one sample (more where marks for every
// sample of a long capture would take too much memory) and doubles while one takes less than a
// hundred clock readings' time, so that the clock costs the loop about 1% at most, whatever a
// read costs: a loop of slow reads marks every sample, a loop of fast ones every few thousand.
// The pauses a real-time loop must take are taken between blocks, where the clock is read anyway,
// and marked as blocks of no samples.
class TimeMarker {
public:
    // Prepares `timeBase` for up to `samples` reads of `port`, timed by `clock`, pausing as
    // `pauses` asks (none without).
    TimeMarker(TimeBase& timeBase, ProbeClock& clock, const StatusPort& port, uint32_t samples,
               PausePlan* pauses = nullptr);

    // Just before sample `sample` is read, at the start of a block: takes a pause that is due,
    // marks the sample, and returns the sample that starts the next block.
    uint32_t startBlock(uint32_t sample);
    // Before the first block: sample `sample`, kept from the trigger wait, was read at the
    // clock's `nanoseconds`; the first of them is sample 0, the time base's origin.
    void markKept(uint32_t sample, uint64_t nanoseconds);
    // After the last read: `reads` samples were read. The time base's finish() comes after.
    void end(uint32_t reads);

private:
    // The capture's time counts from the clock's `originNs`.
    void begin(uint64_t originNs);
    void closeBlock(uint32_t end, uint64_t now);
    uint64_t pauseAfterBlock(uint32_t sample, uint64_t now);

    TimeBase& timeBase_;
    ProbeClock& clock_;
    const StatusPort& port_;
    PausePlan* const pauses_;
    uint32_t pauseMarksLeft_;
    const uint64_t growBelowNs_;
    uint32_t stride_;
    bool started_ = false;
    uint64_t originNs_ = 0;
    uint64_t blockStartNs_ = 0;
    uint32_t blockStart_ = 0;
    uint64_t failedReads_ = 0;
};

// The planned pauses a capture's time base has room for; any more are taken all the same and
// show as stalls.
inline constexpr uint32_t kMarkedPauses = 4096;

// Seam for tests: every capture's first block holds `samples` samples (0: the default).
void setFirstBlockLength(uint32_t samples);
