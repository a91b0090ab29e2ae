#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "decode/decoder_catalog.h"

// One decoder of a stack as the user set it up: which of our channels each of its channels
// reads, and the options given (the others keep their defaults).
struct DecoderSetup {
    DecoderInfo info;
    std::map<std::string, int> channels;  // decoder channel id -> our channel index (0 to 4)
    std::map<std::string, OptionValue> options;
};

// Decoders stacked on each other, the lowest first: each takes what the one below it gives.
using DecoderStack = std::vector<DecoderSetup>;

enum class SetupStatus { Ok, Invalid, LibraryFailed };

// A stack as sigrok-cli's -P takes it: decoders separated by commas, each followed by
// ":KEY=VALUE" items, a key being one of its options or one of its channels ("rx=select").
// Invalid: an unknown decoder, option or channel, a key given twice, a value the option does not
// take (also 0 or less where its default is above 0), a required channel left out while others
// are given, a decoder that cannot stack on the one below; with `error` one line that says so. A
// decoder given no channels reads ours in order, as sigrok-cli's.
SetupStatus parseDecoderStack(std::string_view text, DecoderStack& stack, std::string& error);

// The same with the decoders looked up in `catalogue` (see listDecoders), so that it never waits
// for the library: a decoder it does not list is unknown.
SetupStatus parseDecoderStack(std::string_view text, const std::vector<DecoderInfo>& catalogue,
                              DecoderStack& stack, std::string& error);

// `stack` as parseDecoderStack reads it back ("uart:rx=select:baudrate=10000"), to keep it. A
// text option holding ':', ',' or '=' is left out: it would read back as something else, and
// its default comes back instead.
std::string stackText(const DecoderStack& stack);

// Sets `option` of `setup` from its text as a user writes it ("115200", "odd"); empty, or one
// line saying what the option takes: a value of its default's kind, one of its choices, above 0
// where its default is.
std::string setOptionText(DecoderSetup& setup, const DecoderOption& option,
                          const std::string& text);

// What keeps a stack from decoding: a required channel left out while others are given, a
// bottom decoder that reads no channels, one that cannot stack on the one below or a stacked one
// given channels. Empty when there is nothing.
std::string stackProblem(const DecoderStack& stack);

// What keeps the stacks from decoding at `sampleRate` hertz (0: unknown, nothing to say): a bit
// rate (baudrate, bitrate) more than half of it, given or by default, so that the decoder would
// turn noise into annotations. Empty when there is nothing.
std::string sampleRateProblem(const std::vector<DecoderStack>& stacks, uint64_t sampleRate);

// Whether a decoder reads our channels (else it only takes what a decoder under it gives).
bool readsChannels(const DecoderInfo& info);
// Whether `upper` takes what `lower` gives, and so can be stacked on it.
bool stacksOn(const DecoderInfo& upper, const DecoderInfo& lower);
