#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/decoder_form.h"
#include "app/period_text.h"
#include "decode/decode_worker.h"

class WindowSystem;

// One row under the traces: the annotations of one of a decoder's rows, or, for a stack that has
// none to show, what its decoding is doing.
struct DecoderRow {
    std::string title;                  // "UART: RX"
    std::vector<uint32_t> annotations;  // indices into the result's, by start
    std::string message;                // instead of annotations: "Decoding…", an error
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
    DecoderForm form;  // the Add Decoder dialog's, while it runs

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

// Decode > Add Decoder…: once the decoders are listed (the first time off the GUI thread, then
// the dialog opens), the dialog; the decoder chosen is added and everything is decoded again.
void addDecoder(WindowSystem& mainWindow);
// Decode > Remove Decoders: all of them, with their rows.
void removeDecoders(WindowSystem& mainWindow);

// After each command: a recording or decoders that changed since the last decode are decoded
// again, off the GUI thread, once the samples are the main thread's (after a worker capture's
// hand-over). Nothing without decoders.
void keepDecodingCurrent(WindowSystem& mainWindow);

// DECODE_DONE: takes what the worker has ready: the catalogue (and opens the dialog waiting for
// it), or a decode's result if it is of the current recording and decoders.
void takeDecodeResults(WindowSystem& mainWindow);

// The sample period of a recording without a time base, for the decoders and the exports; the
// decoders decode again when it changed.
void setRecordingPeriod(double seconds);

// Ends a decode under way and the worker's thread; the decoders stay.
void stopDecoding();
// Back to no decoders at all, for a fresh start and tests.
void resetDesktopDecoding();
