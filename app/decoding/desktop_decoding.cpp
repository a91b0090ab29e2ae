#include "app/decoding/desktop_decoding.h"

#include <utility>

#include "app/decoding/decoder_rows.h"
#include "core/measure_text.h"
#include "core/message_box.h"
#include "core/scope_session.h"
#include "core/window_system.h"
#include "resources/command_ids.h"

DesktopDecoding desktopDecoding;

namespace {

DecodeWorker& workerFor(WindowSystem& mainWindow) {
    DesktopDecoding& d = desktopDecoding;
    if (!d.worker) {
        // Runs on the worker's thread: only the thread-safe post reaches the window.
        d.worker = std::make_unique<DecodeWorker>([&mainWindow] {
            mainWindow.postMessage(WindowMessage{DECODE_DONE, 0, 0});
        });
    }
    return *d.worker;
}

void refreshRows(WindowSystem& mainWindow) {
    desktopDecoding.rows = decoderRows(desktopDecoding);
    mainWindow.refreshDecoderRows();
}

DecodeKey currentKey() {
    const ScopeSession& s = scopeSession;
    const uint32_t decoders = desktopDecoding.decodersChanged;
    if (!hasSampleData(s) || s.sampleLength == 0) {
        return DecodeKey{nullptr, 0, 0, decoders};
    }
    return DecodeKey{s.sampleData, s.sampleVersion, s.sampleLength, decoders};
}

// A capture on its time base (on a uniform grid where it was uneven), a file at the period the
// user gave.
bool decodeInputOf(const ScopeSession& s, double periodSeconds, DecodeInput& input,
                   std::string& problem) {
    if (s.timeBase.known()) {
        return sessionDecodeInput(s, input, problem);
    }
    input = makeDecodeInput(s.sampleData, s.sampleLength, UniformGrid{periodSeconds, {}});
    return true;
}

void startDecode(WindowSystem& mainWindow) {
    DesktopDecoding& d = desktopDecoding;
    const ScopeSession& s = scopeSession;
    if (d.key.data == nullptr) {
        if (d.worker) {
            d.worker->cancel();
        }
        d.state = s.workerCapturing ? DecodeState::WaitingForCapture : DecodeState::Idle;
        return;
    }
    DecodeInput input;
    if (!decodeInputOf(s, d.periodSeconds, input, d.problem)) {
        d.state = DecodeState::Failed;
        return;
    }
    workerFor(mainWindow).decode(d.generation, d.stacks, std::move(input));
    d.state = DecodeState::Running;
}

void applyChoice(WindowSystem& mainWindow, DecoderChoice choice) {
    DesktopDecoding& d = desktopDecoding;
    d.remembered[choice.setup.info.id] = choice.setup;
    d.lastDecoder = choice.setup.info.id;
    if (choice.periodSeconds) {
        setRecordingPeriod(*choice.periodSeconds);
    }
    if (choice.stackOn && *choice.stackOn < d.stacks.size()) {
        d.stacks[*choice.stackOn].push_back(std::move(choice.setup));
    } else {
        d.stacks.push_back(DecoderStack{std::move(choice.setup)});
    }
    ++d.decodersChanged;
    keepDecodingCurrent(mainWindow);
}

void runDecoderDialog(WindowSystem& mainWindow) {
    DesktopDecoding& d = desktopDecoding;
    const ScopeSession& s = scopeSession;
    d.form = DecoderForm{};
    d.form.decoders = d.catalogue;
    d.form.stacks = d.stacks;
    d.form.remembered = d.remembered;
    d.form.asksPeriod = !s.workerCapturing && !s.timeBase.known();
    d.form.periodText = formatSeconds(d.periodSeconds);
    if (!d.form.choose(d.lastDecoder)) {
        d.form.choose(0);
    }
    mainWindow.runDialog(IDD_ADD_DECODER);
    std::optional<DecoderChoice> choice = std::move(d.form.outcome);
    d.form = DecoderForm{};
    if (choice) {
        applyChoice(mainWindow, std::move(*choice));
    }
}

void catalogueListed(WindowSystem& mainWindow, DecodeWorker::Listed listed) {
    DesktopDecoding& d = desktopDecoding;
    const bool wanted = std::exchange(d.dialogWanted, false);
    if (!listed.ok || listed.decoders.empty()) {
        showWarning(mainWindow, listed.ok ? "The decoder library lists no decoders."
                                          : "The decoders cannot be listed: " + listed.error);
        return;
    }
    d.catalogue = std::move(listed.decoders);
    for (auto& [id, setup] : starterSetups(d.catalogue)) {
        d.remembered.emplace(id, std::move(setup));
    }
    if (wanted) {
        runDecoderDialog(mainWindow);
    }
}

}  // namespace

void addDecoder(WindowSystem& mainWindow) {
    DesktopDecoding& d = desktopDecoding;
    if (!d.catalogue.empty()) {
        runDecoderDialog(mainWindow);
    } else if (!std::exchange(d.dialogWanted, true)) {
        workerFor(mainWindow).listDecoders();
    }
}

void removeDecoders(WindowSystem& mainWindow) {
    DesktopDecoding& d = desktopDecoding;
    if (d.stacks.empty()) {
        return;
    }
    if (d.worker) {
        d.worker->cancel();
    }
    d.stacks.clear();
    d.result = DecodeResult{};
    d.resultCurrent = false;
    d.state = DecodeState::Idle;
    d.key = DecodeKey{};
    ++d.decodersChanged;
    ++d.generation;
    refreshRows(mainWindow);
}

void keepDecodingCurrent(WindowSystem& mainWindow) {
    DesktopDecoding& d = desktopDecoding;
    const DecodeKey key = currentKey();
    if (d.stacks.empty() || key == d.key) {
        return;
    }
    d.key = key;
    d.resultCurrent = false;
    ++d.generation;
    startDecode(mainWindow);
    refreshRows(mainWindow);
}

void takeDecodeResults(WindowSystem& mainWindow) {
    DesktopDecoding& d = desktopDecoding;
    if (!d.worker) {
        return;
    }
    if (std::optional<DecodeWorker::Listed> listed = d.worker->takeListed()) {
        catalogueListed(mainWindow, std::move(*listed));
    }
    std::optional<DecodeWorker::Decoded> decoded = d.worker->takeDecoded();
    if (!decoded || decoded->id != d.generation) {
        return;  // of a recording or decoders since replaced
    }
    d.result = std::move(decoded->result);
    d.resultCurrent = true;
    d.state = d.result.ok ? DecodeState::Done : DecodeState::Failed;
    d.problem = d.result.error;
    refreshRows(mainWindow);
}

void setRecordingPeriod(double seconds) {
    DesktopDecoding& d = desktopDecoding;
    if (seconds != d.periodSeconds) {
        d.periodSeconds = seconds;
        ++d.decodersChanged;
    }
}

void stopDecoding() {
    desktopDecoding.worker.reset();
}

void resetDesktopDecoding() {
    stopDecoding();
    desktopDecoding = DesktopDecoding{};
}
