#pragma once

#include <string>

#include "app/document/recording_goal.h"

class WindowSystem;

// The title of the recording's dialogs and messages.
inline constexpr const char* kRecordToFileCaption = "Record to File";

// A recording from the window into a file, block by block on the worker at every speed, with
// the speed, port and trigger settings (the trigger for the first block only). The view follows
// the block being captured; the status line tells the recording's progress.

// Opens `path` and starts the first block; a file that cannot be opened is told and nothing
// starts. False then.
bool startRecording(WindowSystem& mainWindow, const std::string& path, const CaptureGoal& goal);

bool recordingRuns();

// CAPTURE_DONE while a recording runs: the block goes to the file and the next one starts, or the
// recording ends (its goal, Break, a failed write) with the file in place, and the program says
// where it is and offers to open it.
void takeRecordedBlock(WindowSystem& mainWindow);

// Break while a recording runs: the block under way ends and is kept, and the recording with it.
// A first block still waiting for its trigger is given up at once.
void breakRecording(WindowSystem& mainWindow);

// The window closes, or New Sample or Open replace the document: the block under way ends and is
// kept, the file is put in place. Asks nothing and never hangs.
void endRecordingNow();
