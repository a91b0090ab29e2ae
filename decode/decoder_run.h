#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "decode/annotation.h"
#include "decode/annotation_store.h"
#include "decode/decode_input.h"
#include "decode/decoder_setup.h"

struct DecodeResult {
    bool ok = false;
    // What went wrong, one line per error the library or a decoder reported.
    std::string error;
    // A decoder stopped because it needs a sample rate that the recording does not give.
    bool needsSampleRate = false;
    bool cancelled = false;
    // Everything given, stack by stack, each in the order given; also what came before an error.
    AnnotationStore annotations;
    // Per stack, in the order given: what stopped it (its lines of `error`), empty when it ran to
    // the end. Empty when the library could not start.
    std::vector<std::string> stackErrors;
};

// Runs each stack on its own over `input`, all of it, on the calling thread (any thread: the
// library is locked meanwhile) and hands back what they found: a stack that fails stops only
// itself. `cancel`, when given and set, ends it early between two chunks of samples. No callback
// leaves this function.
DecodeResult runDecoders(const std::vector<DecoderStack>& stacks, const DecodeInput& input,
                         const std::atomic<bool>* cancel = nullptr);

// Takes the annotations given since its last call, in the order given, on the calling thread;
// false ends the decoding early (as cancelled).
using AnnotationSink = std::function<bool(std::vector<Annotation>& given)>;

// The same, handing the annotations to `sink` after each chunk of samples (also when there are
// none) and at the end, rather than keeping them: memory stays flat however many there are.
DecodeResult streamDecoders(const std::vector<DecoderStack>& stacks, const DecodeInput& input,
                            const AnnotationSink& sink);
