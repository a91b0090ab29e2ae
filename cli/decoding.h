#pragma once

#include <string_view>
#include <vector>

#include "cli/cli_context.h"
#include "cli/command_line.h"
#include "decode/annotation_filter.h"
#include "decode/decode_input.h"
#include "decode/decoder_setup.h"

// What -P, -A and --samplenum ask of a command that decodes.
struct DecodeRequest {
    std::vector<DecoderStack> stacks;  // one per -P
    AnnotationFilter filter;           // the -A selections
    bool sampleNumbers = false;        // --samplenum
    bool verbose = false;              // --verbose: a decoder's exception with its traceback
};

// Reads the request of `command`'s arguments, every decoder checked. kExitSuccess, or the exit
// status of a problem already reported in one line: kExitUsage for what the user wrote (an
// unknown decoder, option or channel), kExitFailure when the decoder library cannot start.
int readDecodeRequest(const ParsedArguments& arguments, std::string_view command,
                      DecodeRequest& request, CliContext& context);

enum class DecodeEnd {
    Done,
    Refused,    // a decoder's settings do not suit the input's sample rate; reported
    NeedsRate,  // a decoder stopped for the sample rate the input lacks; nothing said yet
    Failed,     // reported
};

// Decodes `input`, once its sample rate suits every decoder, and prints the annotations chosen as
// the decoders give them, one a line, as sigrok-cli does
// ("uart-1: 50", with sample numbers "64-148 uart-1: 50"), and a warning for each that spans a
// gap in the sampling. Ctrl+C ends the program with what was printed kept.
DecodeEnd decodeAndPrint(const DecodeRequest& request, const DecodeInput& input,
                         CliContext& context);
