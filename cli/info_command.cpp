#include "cli/info_command.h"

#include <cstdio>
#include <sstream>
#include <string>

#include "app/document/capture_cycle.h"
#include "cli/capture_summary.h"
#include "cli/recording.h"
#include "core/scope_session.h"

namespace {

void appendRow(std::string& text, const char* channel, std::string_view name, const char* first,
               const char* changes, const char* shortest) {
    char row[128];
    std::snprintf(row, sizeof row, "%-8s %-13.*s %-6s %-8s %s\n", channel,
                  static_cast<int>(name.size()), name.data(), first, changes, shortest);
    text += row;
}

// The text `info` prints for the session's samples, with their times where the file kept them.
std::string describeRecording() {
    const ScopeSession& session = scopeSession;
    const uint8_t* samples = session.sampleData;
    const uint32_t length = session.sampleLength;
    std::string text = "samples: " + std::to_string(length) + "\n";
    if (session.timeBase.known()) {
        std::ostringstream timing;
        printTiming(timing, session.timeBase);
        text += timing.str();
    }
    appendRow(text, "channel", "name", "first", "changes", "shortest run");
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const ChannelSummary s = summarizeChannel(samples, length, kChannelBits[channel]);
        const std::string shortest = s.shortestRun == 0 ? "none" : std::to_string(s.shortestRun);
        appendRow(text, std::to_string(channel + 1).c_str(), kChannelNames[channel],
                  s.firstLevel ? "1" : "0", std::to_string(s.changes).c_str(), shortest.c_str());
    }
    text += samplingTooSlow(samples, length, &session.timeBase, session.sampleOrigin)
                ? "too slow: yes\n"
                : "too slow: no\n";
    return text;
}

}  // namespace

int runInfoCommand(const ParsedArguments& arguments, CliContext& context) {
    if (arguments.operands.size() != 1) {
        return usageError(context, "info",
                          arguments.operands.empty() ? "no file given" : "one file at a time");
    }
    SessionScope session;
    if (!loadRecording(context.console, arguments.operands[0])) {
        return kExitFailure;
    }
    context.out << describeRecording();
    return kExitSuccess;
}
