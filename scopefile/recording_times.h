#pragma once

#include <string>

#include "scopefile/time_base_chunk.h"

struct ScopeSession;

// The times of the session's recording, those of the samples it holds, as its file keeps them.
RecordingTimes recordingTimesOf(const ScopeSession& session);

// The session's samples, just read from a file, take the times the file kept; the time base is
// moved out of `times`, the rest (what was ignored, and why) stays.
void takeRecordingTimes(ScopeSession& session, RecordingTimes& times);

// What the user is told when the file's times were left out for `reason`.
std::string ignoredTimesNote(const std::string& reason);
