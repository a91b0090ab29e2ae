#include "app/document/record_to_file.h"

#include <string>

#include "app/document/desktop_recording.h"
#include "app/document/record_choices.h"
#include "core/message_box.h"
#include "core/printable_text.h"
#include "core/window_system.h"

namespace {

constexpr const char* kDefaultLength = "10s";

bool chooseRecordingFile(WindowSystem& mainWindow, std::string& path) {
    FileChooserRequest request;
    request.forOpen = false;
    request.filters = {{"Sigrok Sessions (*.sr)", "*.sr", "sr"},
                       {"Scope Files (*.SCO)", "*.SCO", "SCO"}};
    request.defaultExtension = "sr";
    request.caption = kRecordToFileCaption;
    std::string title;
    return mainWindow.chooseFile(request, path, title);
}

// Asks until the answer is a length, or the question is cancelled (false).
bool askRecordingLength(WindowSystem& mainWindow, CaptureGoal& goal) {
    std::string text = kDefaultLength;
    while (
        mainWindow.askText("Record for how long? A time (10s, 5min, 2h) or a number of "
                           "samples (50000, 2k, 50M):",
                           kRecordToFileCaption, text)) {
        if (parseRecordingLength(text, goal)) {
            return true;
        }
        showWarning(mainWindow, inQuotes(text) +
                                    " is not a length: give a time with its unit, such as 10s, "
                                    "500ms, 5min or 2h, or a number of samples, such as 50000 "
                                    "or 50M.");
    }
    return false;
}

}  // namespace

void recordToFile(WindowSystem& mainWindow) {
    if (recordingRuns()) {
        return;
    }
    std::string path;
    CaptureGoal goal;
    if (!chooseRecordingFile(mainWindow, path) || !askRecordingLength(mainWindow, goal)) {
        return;
    }
    if (const std::string problem = recordingGoalProblem(path, goal); !problem.empty()) {
        showWarning(mainWindow, problem);
        return;
    }
    startRecording(mainWindow, path, goal);
}
