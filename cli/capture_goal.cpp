#include "cli/capture_goal.h"

std::string readCaptureGoal(const ParsedArguments& arguments, CaptureGoal& goal) {
    if (arguments.has("--duration") &&
        !parseDuration(arguments.value("--duration"), goal.seconds)) {
        return "--duration takes a time such as 90s, 500ms, 10min or 2h";
    }
    if (arguments.has("--samples") &&
        !parseGoalSamples(arguments.value("--samples"), goal.samples)) {
        return "--samples takes a whole number of samples such as 50000, 2k or 50M, at most " +
               std::to_string(kMostGoalSamples);
    }
    if (goal.set() && arguments.has("--size")) {
        return "--size is for a capture into memory; --duration and --samples write to disk as "
               "they capture";
    }
    return {};
}
