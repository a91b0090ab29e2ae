#include "cli/info_command.h"

#include <cstdio>
#include <string>

#include "app/document/capture_cycle.h"
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

// The text `info` prints for the samples.
std::string describeRecording(const uint8_t* samples, uint32_t length) {
    std::string text = "samples: " + std::to_string(length) + "\n";
    appendRow(text, "channel", "name", "first", "changes", "shortest run");
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const ChannelSummary s = summarizeChannel(samples, length, kChannelBits[channel]);
        const std::string shortest = s.shortestRun == 0 ? "none" : std::to_string(s.shortestRun);
        appendRow(text, std::to_string(channel + 1).c_str(), kChannelNames[channel],
                  s.firstLevel ? "1" : "0", std::to_string(s.changes).c_str(), shortest.c_str());
    }
    text += samplingTooSlow(samples, length) ? "too slow: yes\n" : "too slow: no\n";
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
    context.out << describeRecording(scopeSession.sampleData, scopeSession.sampleLength);
    return kExitSuccess;
}
