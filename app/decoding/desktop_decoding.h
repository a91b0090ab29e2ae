#pragma once

#include <string>
#include <vector>

#include "app/decoding/decoding_state.h"

class WindowSystem;

// Decode > Add Decoder…: once the decoders are listed (the first time off the GUI thread, then
// the dialog opens), the dialog; the decoder chosen is added and everything is decoded again.
void addDecoder(WindowSystem& mainWindow);
// Decode > Remove Decoders: all of them, with their rows.
void removeDecoders(WindowSystem& mainWindow);

// What a decoder row's menu does to its stack.
enum class StackAction : uint32_t { Edit = 1, Remove = 2, Hide = 3 };

// DECODER_STACK: Edit… opens the Add Decoder dialog on the stack's lowest decoder as it is set
// up, and what the dialog decides takes its place (those stacked on it stay); Remove takes the
// stack away with its rows, the others decode on; Hide folds its rows into one that names it, or
// unfolds them again. A stack that is no longer there is left alone.
void actOnDecoderStack(WindowSystem& mainWindow, StackAction action, size_t stack);

// The decoders as text, a stack each, to keep them for the next run.
std::vector<std::string> keptDecoders();
// At start-up: the decoders the last run kept come back once the decoders are listed (off the
// GUI thread); a stack that no longer reads back, or no longer holds together, is left out.
void restoreDecoders(WindowSystem& mainWindow, std::vector<std::string> kept);

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
