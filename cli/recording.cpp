#include "cli/recording.h"

#include <algorithm>

#include "cli/console_output.h"
#include "cli/file_error_report.h"
#include "core/printable_text.h"
#include "core/scope_session.h"
#include "export/recording_file.h"
#include "scopefile/recording_times.h"

ChannelSummary summarizeChannel(const uint8_t* samples, uint32_t length, uint8_t bit) {
    ChannelSummary summary;
    bool level = (samples[0] & bit) != 0;
    summary.firstLevel = level;
    uint32_t lastChange = 0;
    for (uint32_t i = 1; i < length; ++i) {
        if (((samples[i] & bit) != 0) == level) {
            continue;
        }
        level = !level;
        if (summary.changes > 0) {
            const uint32_t run = i - lastChange;
            summary.shortestRun =
                summary.shortestRun == 0 ? run : std::min(summary.shortestRun, run);
        }
        ++summary.changes;
        lastChange = i;
    }
    return summary;
}

bool loadRecording(ConsoleOutput& console, const std::string& path) {
    OpenedRecording opened;
    if (!readRecordingFile(printFileErrors(console, path), path, scopeSession.sampleData,
                           scopeSession.sampleLength, opened)) {
        if (!opened.problem.empty()) {
            console.message(printable(path) + ": " + opened.problem);
        }
        return false;
    }
    if (!opened.times.ignored.empty()) {
        console.message("note: " + printable(path) + ": " + ignoredTimesNote(opened.times.ignored));
    }
    if (!opened.note.empty()) {
        console.message("note: " + printable(path) + ": " + opened.note);
    }
    takeRecordingTimes(scopeSession, opened.times);
    return true;
}

SessionScope::SessionScope() {
    resetScopeSession();
}

SessionScope::~SessionScope() {
    resetScopeSession();
}
