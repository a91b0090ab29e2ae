#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/decoding/decoder_form.h"
#include "app/decoding/row_summary.h"
#include "app/readout/period_text.h"
#include "decode/decode_worker.h"

// What the desktop program keeps of its decoders: the stacks, their last result, the rows shown
// and the thread that decodes. Commands change it (desktop_decoding); the rows read it.

// One row under the traces: the annotations of one of a decoder's rows, or, for a stack that has
// none to show, what its decoding is doing.
struct DecoderRow {
    size_t stack = 0;                   // the stack whose decoders give it
    std::string title;                  // "UART: RX"
    std::vector<uint32_t> annotations;  // indices into the result's, by start
    std::string message;                // instead of annotations: "Decoding…", an error
    RowSummary summary;                 // of its annotations, for the view zoomed out
};

// Which recording and which decoders a decode is of: when either changes, it is out of date.
struct DecodeKey {
    const uint8_t* data = nullptr;  // none while there is nothing to decode
    uint32_t version = 0;
    uint32_t length = 0;
    uint32_t decoders = 0;  // counts the changes to the decoders and their sample period
    bool operator==(const DecodeKey&) const = default;
};

enum class DecodeState { Idle, WaitingForCapture, Running, Done, Failed };

// The desktop program's decoders, their last result and the thread that decodes.
struct DesktopDecoding {
    std::vector<DecoderStack> stacks;
    double periodSeconds = kDefaultPeriodSeconds;    // for a recording without a time base
    std::vector<DecoderInfo> catalogue;              // listed once, off the GUI thread
    bool dialogWanted = false;                       // Add Decoder waits for the catalogue
    std::map<std::string, DecoderSetup> remembered;  // the last choice for each decoder
    std::string lastDecoder = "uart";
    DecoderForm form;                    // the Add Decoder dialog's, while it runs
    std::optional<size_t> editing;       // the stack whose lowest decoder the dialog edits
    std::vector<std::string> restoring;  // kept stacks, waiting for the catalogue
    // Stacks whose rows are folded into one (Hide in a row's menu), by position; those past its
    // end are shown.
    std::vector<bool> hidden;

    DecodeState state = DecodeState::Idle;
    std::string problem;  // why the decoding failed
    DecodeResult result;  // the last result; its rows stay while the next decode runs
    bool resultCurrent = false;
    std::vector<DecoderRow> rows;
    DecodeKey key;  // what the result or the decode under way is of
    uint32_t decodersChanged = 0;
    uint64_t generation = 0;  // of the decode asked for last
    std::unique_ptr<DecodeWorker> worker;
};

extern DesktopDecoding desktopDecoding;

inline bool stackHidden(const DesktopDecoding& decoding, size_t stack) {
    return stack < decoding.hidden.size() && decoding.hidden[stack];
}
