#pragma once

#include <string>
#include <vector>

#include "app/decoding/decoding_state.h"
#include "app/decoding/desktop_decoding.h"
#include "app/readout/view_text.h"

// The rows under the traces for `decoding`'s stacks and its last result: for each stack, in its
// decoders' order, each decoder's rows that hold annotations (in the decoder's row order, those
// no row lists last); a stack without any gets one row that says how its decoding stands, and a
// hidden stack one that says it is hidden. A failure beside rows that hold annotations gets a row
// of its own.
std::vector<DecoderRow> decoderRows(const DesktopDecoding& decoding);

// What a row without annotations says in `state`.
std::string stateMessage(DecodeState state, const std::string& problem);

// What `row` says instead of its annotations: its own message, else, while the result is not
// the recording's, how the decoding stands; empty when its annotations are shown.
std::string rowMessage(const DesktopDecoding& decoding, const DecoderRow& row);

// The tooltip of an annotation in `row`: its full text, the samples it spans (numbered from the
// capture's first, as the readout numbers them) and their time where the recording has a time
// base, and a warning when the sampling stood still during it.
std::string annotationTooltip(const DecoderRow& row, const AnnotationRef& annotation);

// `row` as a screen reader reads it when the view shows `shown`: its title, then its message, or
// the full texts of its annotations there ("UART: RX: 0x41, 0x42"), at most a screenful of
// words, the rest counted.
std::string rowText(const DesktopDecoding& decoding, const DecoderRow& row,
                    std::optional<SampleSpan> shown);
