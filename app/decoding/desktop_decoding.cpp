#include "app/decoding/desktop_decoding.h"

#include <algorithm>
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

// The edited stack's lowest decoder becomes `setup`; those stacked on it stay while they can
// take what it gives.
void replaceLowest(DecoderStack& stack, DecoderSetup setup) {
    stack.front() = std::move(setup);
    for (size_t i = 1; i < stack.size(); ++i) {
        if (!stacksOn(stack[i].info, stack[i - 1].info)) {
            stack.resize(i);
            break;
        }
    }
}

void applyChoice(WindowSystem& mainWindow, DecoderChoice choice, std::optional<size_t> editing) {
    DesktopDecoding& d = desktopDecoding;
    d.remembered[choice.setup.info.id] = choice.setup;
    d.lastDecoder = choice.setup.info.id;
    if (choice.periodSeconds) {
        setRecordingPeriod(*choice.periodSeconds);
    }
    if (editing && *editing < d.stacks.size()) {
        replaceLowest(d.stacks[*editing], std::move(choice.setup));
    } else if (choice.stackOn && *choice.stackOn < d.stacks.size()) {
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
    const std::optional<size_t> editing = std::exchange(d.editing, std::nullopt);
    if (editing && *editing < d.stacks.size()) {
        // The decoder as it is set up in that stack, not as last chosen elsewhere.
        const DecoderSetup& lowest = d.stacks[*editing].front();
        d.form.remembered[lowest.info.id] = lowest;
        d.form.choose(lowest.info.id);
    } else if (!d.form.choose(d.lastDecoder)) {
        d.form.choose(0);
    }
    mainWindow.runDialog(IDD_ADD_DECODER);
    std::optional<DecoderChoice> choice = std::move(d.form.outcome);
    d.form = DecoderForm{};
    if (choice) {
        applyChoice(mainWindow, std::move(*choice), editing);
    }
}

// The kept stacks that still read back (and so hold together) join the decoders.
void addRestoredStacks(WindowSystem& mainWindow) {
    DesktopDecoding& d = desktopDecoding;
    for (const std::string& text : std::exchange(d.restoring, {})) {
        DecoderStack stack;
        std::string error;
        if (parseDecoderStack(text, d.catalogue, stack, error) == SetupStatus::Ok) {
            d.stacks.push_back(std::move(stack));
            ++d.decodersChanged;
        }
    }
    keepDecodingCurrent(mainWindow);
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
    addRestoredStacks(mainWindow);
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
    d.hidden.clear();
    d.result = DecodeResult{};
    d.resultCurrent = false;
    d.state = DecodeState::Idle;
    d.key = DecodeKey{};
    ++d.decodersChanged;
    ++d.generation;
    refreshRows(mainWindow);
}

std::vector<std::string> keptDecoders() {
    std::vector<std::string> kept;
    for (const DecoderStack& stack : desktopDecoding.stacks) {
        kept.push_back(stackText(stack));
    }
    return kept;
}

void restoreDecoders(WindowSystem& mainWindow, std::vector<std::string> kept) {
    DesktopDecoding& d = desktopDecoding;
    if (kept.empty()) {
        return;
    }
    d.restoring = std::move(kept);
    if (!d.catalogue.empty()) {
        addRestoredStacks(mainWindow);
    } else {
        workerFor(mainWindow).listDecoders();
    }
}

void actOnDecoderStack(WindowSystem& mainWindow, StackAction action, size_t stack) {
    DesktopDecoding& d = desktopDecoding;
    if (stack >= d.stacks.size()) {
        return;
    }
    if (action == StackAction::Edit) {
        d.editing = stack;
        addDecoder(mainWindow);
    } else if (action == StackAction::Hide) {
        d.hidden.resize(std::max(d.hidden.size(), stack + 1));
        d.hidden[stack] = !d.hidden[stack];
        refreshRows(mainWindow);
    } else if (d.stacks.size() == 1) {
        removeDecoders(mainWindow);
    } else {
        d.stacks.erase(d.stacks.begin() + static_cast<std::ptrdiff_t>(stack));
        if (stack < d.hidden.size()) {
            d.hidden.erase(d.hidden.begin() + static_cast<std::ptrdiff_t>(stack));
        }
        ++d.decodersChanged;
        keepDecodingCurrent(mainWindow);
    }
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
