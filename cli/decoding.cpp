#include "cli/decoding.h"

#include <sstream>
#include <string>

#include "cli/console_output.h"
#include "core/printable_text.h"
#include "decode/decoder_error_text.h"
#include "decode/decoder_run.h"

namespace {

// Warnings about gaps beyond this many are counted, not listed.
constexpr int kGapWarnings = 5;

std::string annotationLine(const Annotation& annotation, bool sampleNumbers) {
    std::string line;
    if (sampleNumbers) {
        line = std::to_string(annotation.start) + "-" + std::to_string(annotation.end) + " ";
    }
    line += annotation.instance + ": ";
    line += annotation.texts.empty() ? std::string() : annotation.texts.front();
    return line;
}

void warnAboutGaps(const std::vector<const Annotation*>& spanning, CliContext& context) {
    int listed = 0;
    for (const Annotation* annotation : spanning) {
        if (listed++ == kGapWarnings) {
            break;
        }
        context.console.message("warning: " + printable(annotationLine(*annotation, true)) +
                                " spans a gap in the sampling");
    }
    if (spanning.size() > kGapWarnings) {
        const size_t more = spanning.size() - kGapWarnings;
        context.console.message("warning: " + std::to_string(more) +
                                (more == 1 ? " more annotation spans" : " more annotations span") +
                                " a gap in the sampling");
    }
}

// A decoder's exception in one line, or with --verbose as the library told it, traceback and all.
void reportErrors(const std::string& errors, bool verbose, CliContext& context) {
    std::istringstream lines(verbose ? errors : briefDecoderErrors(errors));
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty()) {
            context.console.message("decoding failed: " + printable(line));
        }
    }
}

}  // namespace

int readDecodeRequest(const ParsedArguments& arguments, std::string_view command,
                      DecodeRequest& request, CliContext& context) {
    request.sampleNumbers = arguments.has("--samplenum");
    request.verbose = arguments.has("--verbose");
    std::string error;
    for (const std::string& text : arguments.all("-P")) {
        DecoderStack stack;
        const SetupStatus status = parseDecoderStack(text, stack, error);
        if (status == SetupStatus::LibraryFailed) {
            context.console.message(error);
            return kExitFailure;
        }
        if (status == SetupStatus::Invalid) {
            context.console.message(error);
            return kExitUsage;
        }
        request.stacks.push_back(std::move(stack));
    }
    if (request.stacks.empty() && (arguments.has("-A") || request.sampleNumbers)) {
        return usageError(context, command, "-A and --samplenum go with -P DECODER");
    }
    for (const std::string& text : arguments.all("-A")) {
        if (!request.filter.add(text, request.stacks, error)) {
            context.console.message(error);
            return kExitUsage;
        }
    }
    return kExitSuccess;
}

DecodeEnd decodeAndPrint(const DecodeRequest& request, const DecodeInput& input,
                         CliContext& context) {
    if (const std::string problem = sampleRateProblem(request.stacks, input.sampleRate);
        !problem.empty()) {
        context.console.message(problem);
        return DecodeEnd::Refused;
    }
    const DecodeResult result = runDecoders(request.stacks, input);
    std::vector<const Annotation*> spanning;
    for (const Annotation& annotation : result.annotations) {
        if (context.out.fail()) {
            break;  // the results cannot get there; the command says so at its end
        }
        if (request.filter.shows(annotation)) {
            context.out << annotationLine(annotation, request.sampleNumbers) << '\n';
            if (annotation.spansGap) {
                spanning.push_back(&annotation);
            }
        }
    }
    context.out.flush();
    warnAboutGaps(spanning, context);
    if (result.needsSampleRate) {
        return DecodeEnd::NeedsRate;
    }
    if (!result.ok) {
        reportErrors(result.error, request.verbose, context);
        return DecodeEnd::Failed;
    }
    return DecodeEnd::Done;
}
