#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "decode/decoder_setup.h"

// One of the chosen decoder's channels and which of ours it reads.
struct ChannelChoice {
    DecoderChannel channel;
    bool required = false;
    std::optional<int> ours;  // our channel index (0 to 4); none: the decoder goes without
};

// One of its options, as the user writes or picks it.
struct OptionChoice {
    DecoderOption option;
    std::string text;  // the default's text at first; empty also means the default
};

// A stack the chosen decoder can go on top of, taking what its top decoder gives.
struct StackTarget {
    size_t stack = 0;  // index into the program's stacks
    std::string title;
};

// What the Add Decoder dialog decided, once its choices hold together.
struct DecoderChoice {
    DecoderSetup setup;
    std::optional<size_t> stackOn;        // none: a stack of its own
    std::optional<double> periodSeconds;  // given when the dialog asked for it
};

// The Add Decoder dialog's choices and their rules, as plain data: the dialog shows a form, the
// user changes its fields, and accept() tells whether they hold together.
struct DecoderForm {
    // Every decoder, by id; the program's stacks; what was chosen before for each decoder.
    std::vector<DecoderInfo> decoders;
    std::vector<DecoderStack> stacks;
    std::map<std::string, DecoderSetup> remembered;
    // A recording without a time base: the sample period is asked for, in this text.
    bool asksPeriod = false;
    std::string periodText;

    std::optional<size_t> chosen;         // index into decoders
    std::vector<ChannelChoice> channels;  // the required ones first
    std::vector<OptionChoice> options;
    std::optional<size_t> stackOn;  // index into stacks

    std::string error;                     // why accept() refused, to show
    std::optional<DecoderChoice> outcome;  // set by accept()

    // The decoders whose id, name or description holds `search` (any case), best first: an
    // exact id or name, then one that begins with it, then one that holds it, then the rest;
    // in id order within each.
    std::vector<size_t> matching(std::string_view search) const;

    // Chooses decoders[index]: its channels and options as chosen before, else its required
    // channels on ours in order and its options' defaults; on top of the first stack it can
    // take when it reads no channels itself.
    void choose(size_t index);
    // Chooses the decoder `id`; false when there is none of that id.
    bool choose(std::string_view id);

    // The stacks the chosen decoder can go on.
    std::vector<StackTarget> targets() const;
    // For a chosen decoder that reads no channels and has nothing to stack on: what it needs.
    // Empty otherwise.
    std::string stackingNote() const;

    // Checks the choices; true with `outcome` set, else false with `error` set.
    bool accept();
};

// "UART" or "I²C, 24xx EEPROM": the names of a stack's decoders, the lowest first.
std::string stackTitle(const DecoderStack& stack);

// What the dialog proposes the first time for decoders that suit the simulated probe's signals:
// UART on Select at 10000 baud (as text), PWM on Acknowledge. Those the catalogue lacks are left
// out.
std::map<std::string, DecoderSetup> starterSetups(const std::vector<DecoderInfo>& catalogue);
