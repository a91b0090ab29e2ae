#include "app/document/record_choices.h"

#include <cctype>

#include "app/document/recording_stream.h"
#include "scopefile/streamed_scope_file.h"

bool parseRecordingLength(std::string_view text, CaptureGoal& goal) {
    uint64_t samples = 0;
    if (parseGoalSamples(text, samples)) {
        goal = CaptureGoal{samples, 0};
        return true;
    }
    // A time says its unit, so that "90" is never taken for seconds.
    double seconds = 0;
    if (text.empty() || std::isdigit(static_cast<unsigned char>(text.back())) ||
        !parseDuration(text, seconds)) {
        return false;
    }
    goal = CaptureGoal{0, seconds};
    return true;
}

std::string recordingGoalProblem(const std::string& path, const CaptureGoal& goal) {
    if (!namesSigrokSession(path) && goal.samples > kMostStreamedScopeSamples) {
        return "A scope file holds at most " + std::to_string(kMostStreamedScopeSamples) +
               " samples; record fewer, or to a sigrok session (.sr).";
    }
    return {};
}
