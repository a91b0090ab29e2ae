#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "app/document/recording_goal.h"
#include "app/document/recording_stream.h"
#include "scopefile/joined_times.h"

// A recording written to disk in blocks as it runs, one capture of the session per block: how
// far it has come, and the steps both programs take for each block.
struct RecordingBlocks {
    RecordingBlocks(const CaptureGoal& goal, RecordingStream& stream)
        : goal(goal), stream(stream) {}

    using Clock = std::chrono::steady_clock;

    CaptureGoal goal;
    RecordingStream& stream;
    JoinedTimes times;
    Clock::time_point start = Clock::now();
    bool writeFailed = false;

    double elapsed() const { return std::chrono::duration<double>(Clock::now() - start).count(); }
};

// About half a second of samples at the pace so far, no more than the goal still asks for.
uint32_t nextBlockSize(const RecordingBlocks& run);

// The block of `length` samples the session just captured, added to the file and then to the
// times; a block the file refused is not counted, and sets writeFailed. Its clock started where
// its last mark says, counted back from now on the ports' clock.
bool keepBlock(RecordingBlocks& run, uint32_t length);

// Whether the goal's samples or time, or the most one recording numbers, are reached.
bool goalReached(const RecordingBlocks& run);

// "120000 samples, 250000 samples/s, 2 gaps, 0.1 MB": the samples kept so far, their typical
// rate, the gaps among them and the file's size.
std::string recordingProgressWords(const RecordingBlocks& run);
