#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/channels.h"
#include "scopefile/time_base_chunk.h"

// A sigrok session's logic samples as status bytes: ours, and sigrok's own of up to 8 channels.
struct SigrokSessionRead {
    uint8_t* samples = nullptr;  // from obtainSampleBuffer, the caller's; null for none
    uint32_t count = 0;
    RecordingTimes times;  // even, at the session's rate, none without one; the trigger point
    std::string note;      // the channels left out, when some were
};

// Reads the session at `path`. False with `problem` (in a user's words) for a file that is not
// a readable zip, a damaged one, or one without logic data this program can show; nothing is
// held then. Allocates no more than the archive's entries can hold.
bool readSigrokSession(const std::string& path, SigrokSessionRead& read, std::string& problem);

// Which of the session's channels (by bit) each trace shows, -1 for none: those named as
// this program names its channels, else the first five in order.
std::array<int, kChannelCount> traceChannels(const std::vector<std::string>& channels);

// "D5, D6 and D7 are left out: ..." for the channels no trace shows; empty when none is.
std::string leftOutNote(const std::vector<std::string>& channels,
                        const std::array<int, kChannelCount>& traces);
