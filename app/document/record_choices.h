#pragma once

#include <string>
#include <string_view>

#include "app/document/recording_goal.h"

// The length a recording from the window runs for, as typed: a time with its unit ("10s",
// "500ms", "5min", "2h") or a number of samples ("50000", "2k", "50M"). False for anything else,
// a bare number with a fraction included (neither a count nor a time with its unit).
bool parseRecordingLength(std::string_view text, CaptureGoal& goal);

// Why a recording of `goal` cannot go to `path`, in a user's words; empty when it can. A scope
// file numbers fewer samples than a sigrok session.
std::string recordingGoalProblem(const std::string& path, const CaptureGoal& goal);
