#include "app/decoding/decoder_rows.h"

#include <algorithm>
#include <iterator>
#include <map>

#include "app/readout/recording_time.h"
#include "core/measure_text.h"
#include "core/scope_session.h"
#include "core/time_base.h"

namespace {

// More than a listener can take in at once; the rest is counted.
constexpr size_t kSpokenAnnotations = 50;

// `row` past the decoder's rows: its annotations that no row lists.
std::string rowTitle(const DecoderInfo& info, int row) {
    if (row < 0 || static_cast<size_t>(row) >= info.rows.size()) {
        return info.name;
    }
    return info.name + ": " + info.rows[static_cast<size_t>(row)].description;
}

// The rows of decoder `info` in stack `stack` that hold annotations of `result`.
std::vector<DecoderRow> rowsOf(size_t stack, const DecoderInfo& info, const DecodeResult& result) {
    std::map<int, DecoderRow> byRow;
    const AnnotationStore& store = result.annotations;
    for (uint32_t i = 0; i < store.size(); ++i) {
        const AnnotationRef a = store[i];
        if (a.stack == stack && a.decoder == info.id) {
            DecoderRow& row = byRow[a.row < 0 ? static_cast<int>(info.rows.size()) : a.row];
            row.stack = stack;
            row.annotations.push_back(i);
        }
    }
    std::vector<DecoderRow> rows;
    for (auto& [key, row] : byRow) {
        row.title = rowTitle(info, key);
        std::stable_sort(
            row.annotations.begin(), row.annotations.end(),
            [&store](uint32_t a, uint32_t b) { return store.startOf(a) < store.startOf(b); });
        row.summary = summariseRow(row.annotations, store);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string firstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

}  // namespace

std::string stateMessage(DecodeState state, const std::string& problem) {
    switch (state) {
        case DecodeState::Idle:
            return "No recording to decode";
        case DecodeState::WaitingForCapture:
            return "Decoded when the capture ends";
        case DecodeState::Running:
            return "Decoding\u2026";
        case DecodeState::Done:
            return "No annotations";
        case DecodeState::Failed:
            break;
    }
    return "Decoding failed: " + firstLine(problem);
}

std::string rowMessage(const DesktopDecoding& decoding, const DecoderRow& row) {
    if (!row.message.empty()) {
        return row.message;
    }
    return decoding.resultCurrent ? std::string() : stateMessage(decoding.state, decoding.problem);
}

namespace {

// Whether the last result tells each stack's failure apart, so that each row says its own.
bool failedPerStack(const DesktopDecoding& decoding) {
    return decoding.state == DecodeState::Failed && decoding.resultCurrent &&
           decoding.result.stackErrors.size() == decoding.stacks.size();
}

// What a row of stack `s` says about how its decoding stands: its own failure where the result
// tells it apart, else the whole decoding's state. Empty for a stack that ran to the end.
std::string stackMessage(const DesktopDecoding& decoding, size_t s, bool hasRows) {
    if (!failedPerStack(decoding)) {
        return hasRows ? std::string() : stateMessage(decoding.state, decoding.problem);
    }
    const std::string& error = decoding.result.stackErrors[s];
    if (!error.empty()) {
        return stateMessage(DecodeState::Failed, error);
    }
    return hasRows ? std::string() : stateMessage(DecodeState::Done, {});
}

}  // namespace

std::vector<DecoderRow> decoderRows(const DesktopDecoding& decoding) {
    std::vector<DecoderRow> rows;
    bool everyStackHasRows = true;
    for (size_t s = 0; s < decoding.stacks.size(); ++s) {
        if (stackHidden(decoding, s)) {
            rows.push_back(DecoderRow{s, stackTitle(decoding.stacks[s]), {}, "Hidden", {}});
            continue;
        }
        const size_t before = rows.size();
        for (const DecoderSetup& setup : decoding.stacks[s]) {
            std::vector<DecoderRow> own = rowsOf(s, setup.info, decoding.result);
            rows.insert(rows.end(), std::make_move_iterator(own.begin()),
                        std::make_move_iterator(own.end()));
        }
        everyStackHasRows = everyStackHasRows && rows.size() > before;
        if (std::string message = stackMessage(decoding, s, rows.size() > before);
            !message.empty()) {
            rows.push_back(
                DecoderRow{s, stackTitle(decoding.stacks[s]), {}, std::move(message), {}});
        }
    }
    if (decoding.state == DecodeState::Failed && !failedPerStack(decoding) && everyStackHasRows &&
        !rows.empty()) {
        DecoderRow failure;
        failure.title = "Decoding";
        failure.message = stateMessage(decoding.state, decoding.problem);
        rows.push_back(std::move(failure));
    }
    return rows;
}

std::string annotationTooltip(const DecoderRow& row, const AnnotationRef& annotation) {
    const ScopeSession& s = scopeSession;
    const uint64_t first = uint64_t{annotation.start} + s.sampleOrigin;
    const uint64_t last =
        std::max(uint64_t{annotation.end}, uint64_t{annotation.start} + 1) - 1 + s.sampleOrigin;
    std::string text = annotation.texts.empty() ? row.title : annotation.texts.front();
    text += "\n" + row.title + ", " +
            (first == last ? "sample " + std::to_string(first)
                           : "samples " + std::to_string(first) + " to " + std::to_string(last));
    if (const TimeBase* time = recordingTime()) {
        const double start = time->secondsAt(static_cast<double>(first));
        const double end = time->secondsAt(static_cast<double>(annotation.end + s.sampleOrigin));
        text += "\nAt " + formatSeconds(start);
        if (annotation.end > annotation.start) {
            text += ", lasting " + formatSeconds(end - start);
        }
    }
    if (annotation.spansGap) {
        text += "\nThe sampling stood still during it (a gap): it may be decoded wrong";
    }
    return text;
}

std::string rowText(const DesktopDecoding& decoding, const DecoderRow& row,
                    std::optional<SampleSpan> shown) {
    const std::string message = rowMessage(decoding, row);
    if (!message.empty()) {
        return row.title + ": " + message;
    }
    if (!shown) {
        return row.title + ": none on screen";
    }
    std::string texts;
    size_t spoken = 0;
    size_t more = 0;
    const AnnotationStore& store = decoding.result.annotations;
    const std::vector<uint32_t>& order = row.annotations;
    for (size_t at = firstReaching(order, store, row.summary, shown->first); at < order.size();
         ++at) {
        const AnnotationRef a = store[order[at]];
        if (a.start > shown->last) {
            break;  // the row's annotations go by start
        }
        // An annotation of no length still stands at its sample.
        if (std::max(a.end, a.start + 1) <= shown->first || a.texts.empty()) {
            continue;
        }
        if (spoken == kSpokenAnnotations) {
            ++more;
            continue;
        }
        texts += (spoken++ == 0 ? "" : ", ") + a.texts.front();
    }
    if (spoken == 0) {
        return row.title + ": none on screen";
    }
    return row.title + ": " + texts + (more > 0 ? ", and " + std::to_string(more) + " more" : "");
}
