#include "cli/decode_command.h"

#include <string>

#include "app/readout/period_text.h"
#include "cli/console_output.h"
#include "cli/decoding.h"
#include "cli/option_values.h"
#include "cli/recording.h"
#include "core/printable_text.h"
#include "core/scope_session.h"
#include "core/uniform_grid.h"
#include "core/whole_hertz.h"

namespace {

// The options beside the decoders, or the problem with them (empty when there is none).
std::string readFileAndPeriod(const ParsedArguments& arguments, std::string& file,
                              double& periodSeconds) {
    if (arguments.operands.size() != 1) {
        return arguments.operands.empty() ? "no file given" : "one file at a time";
    }
    file = arguments.operands[0];
    if (!arguments.has("-P")) {
        return "no decoder given: -P DECODER (pinprobe-cli decoders lists them)";
    }
    // A decoder's sample rate is at least 1 Hz.
    if (!readPeriodOption(arguments, kShortestPeriodSeconds, kLongestPeriodSeconds,
                          periodSeconds)) {
        return "--period takes seconds from 1e-15 to 1, e.g. 1e-6";
    }
    return {};
}

}  // namespace

int runDecodeCommand(const ParsedArguments& arguments, CliContext& context) {
    std::string file;
    double periodSeconds = 0;
    if (const std::string problem = readFileAndPeriod(arguments, file, periodSeconds);
        !problem.empty()) {
        return usageError(context, "decode", problem);
    }
    DecodeRequest request;
    if (const int status = readDecodeRequest(arguments, "decode", request, context);
        status != kExitSuccess) {
        return status;
    }
    SessionScope session;
    if (!loadRecording(context.console, file)) {
        return kExitFailure;
    }
    // The decoders take their sample rate in whole hertz.
    if (const std::string problem =
            periodSeconds > 0
                ? wholeHertzProblem(periodSeconds, scopeSession.sampleLength, "the decoders take")
                : std::string();
        !problem.empty()) {
        return usageError(context, "decode", "--period is " + problem);
    }
    DecodeInput input;
    if (periodSeconds == 0 && scopeSession.timeBase.known()) {
        std::string problem;
        if (!sessionDecodeInput(scopeSession, input, problem)) {
            context.console.message(printable(file) + ": Cannot decode: " + problem);
            return kExitFailure;
        }
    } else {
        input = makeDecodeInput(scopeSession.sampleData, scopeSession.sampleLength,
                                UniformGrid{periodSeconds, {}});
    }
    switch (decodeAndPrint(request, input, context)) {
        case DecodeEnd::Done:
            return kExitSuccess;
        case DecodeEnd::Refused:
            return kExitUsage;
        case DecodeEnd::NeedsRate:
            return usageError(context, "decode",
                              "the decoder needs the sample rate, which a scope file does not "
                              "keep: give --period SECONDS (the time between two samples)");
        case DecodeEnd::Failed:
            break;
    }
    return kExitFailure;
}
