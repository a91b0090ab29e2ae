#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "scopefile/scope_file.h"
#include "scopefile/time_base_chunk.h"

// What opening a recording file gave beside its samples.
struct OpenedRecording {
    RecordingTimes times;  // a scope file's kept times, a sigrok session's even ones
    std::string note;      // a sigrok session's channels left out; empty when none were
    std::string problem;   // why a sigrok session was refused; empty when it was not
};

// Whether the file at `path` begins as a zip archive does: a sigrok session, not a scope file.
bool looksLikeZip(const std::string& path);

// Reads a scope file, or a sigrok session (told by its first bytes), into a buffer from
// obtainSampleBuffer and its length. A scope file the reader refuses is told to `report`; a
// session that cannot be read says why in `opened.problem`. Neither output is written then.
bool readRecordingFile(const FileErrorReport& report, const std::string& path, uint8_t*& data,
                       std::atomic<uint32_t>& length, OpenedRecording& opened);
