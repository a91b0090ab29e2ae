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

// The annotations chosen that span a gap: the first few as they were printed, the rest counted.
struct GapWarnings {
    std::vector<std::string> listed;
    size_t more = 0;

    void note(const Annotation& annotation) {
        if (listed.size() < kGapWarnings) {
            listed.push_back(annotationLine(annotation, true));
        } else {
            ++more;
        }
    }
};

void warnAboutGaps(const GapWarnings& warnings, CliContext& context) {
    for (const std::string& line : warnings.listed) {
        context.console.message("warning: " + printable(line) + " spans a gap in the sampling");
    }
    if (warnings.more > 0) {
        context.console.message(
            "warning: " + std::to_string(warnings.more) +
            (warnings.more == 1 ? " more annotation spans" : " more annotations span") +
            " a gap in the sampling");
    }
}

// Prints each batch as it comes and hands it to the system, so that the output starts at once,
// memory stays flat and Ctrl+C (which ends the program) keeps what was printed; false (stop)
// once the output failed.
bool printBatch(std::vector<Annotation>& given, const DecodeRequest& request, GapWarnings& warnings,
                CliContext& context) {
    for (const Annotation& annotation : given) {
        if (context.out.fail()) {
            return false;  // the results cannot get there; the command says so at its end
        }
        if (request.filter.shows(annotation)) {
            context.out << annotationLine(annotation, request.sampleNumbers) << '\n';
            if (annotation.spansGap) {
                warnings.note(annotation);
            }
        }
    }
    context.out.flush();
    return !context.out.fail();
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
    GapWarnings warnings;
    const DecodeResult result =
        streamDecoders(request.stacks, input, [&](std::vector<Annotation>& given) {
            return printBatch(given, request, warnings, context);
        });
    warnAboutGaps(warnings, context);
    if (result.cancelled) {
        return DecodeEnd::Done;  // the output failed, which the command reports at its end
    }
    if (result.needsSampleRate) {
        return DecodeEnd::NeedsRate;
    }
    if (!result.ok) {
        reportErrors(result.error, request.verbose, context);
        return DecodeEnd::Failed;
    }
    return DecodeEnd::Done;
}
