#include "cli/capture_command.h"

#include <chrono>
#include <memory>
#include <sstream>
#include <string>

#include "app/document/capture_cycle.h"
#include "app/window/trigger_settings.h"
#include "capture/port_access_factory.h"
#include "capture/port_choice.h"
#include "capture/sampler.h"
#include "capture/sampling_worker.h"
#include "cli/break_notice.h"
#include "cli/capture_goal.h"
#include "cli/capture_outputs.h"
#include "cli/capture_summary.h"
#include "cli/console_output.h"
#include "cli/decoding.h"
#include "cli/headless_window_system.h"
#include "cli/interrupt_break.h"
#include "cli/long_capture.h"
#include "cli/option_values.h"
#include "cli/progress_ticker.h"
#include "cli/recording.h"
#include "core/printable_text.h"
#include "core/scope_session.h"
#include "core/trigger_conditions.h"

namespace {

// How often the main thread looks at Ctrl+C while the worker captures.
constexpr std::chrono::milliseconds kInterruptPoll{100};

struct CaptureOptions {
    CaptureFiles files;
    uint8_t portNumber = 1;
    PortChoice portChoice;  // where LPT1 is, when --port names a device or a base
    bool simulate = false;
    int32_t size = 5000;
    int32_t delayUnits = 0;
    uint8_t portTriggerMask = 0;
    ChannelConditions trigger{};
    uint8_t preTriggerPercent = 0;
    CaptureGoal goal;  // set: the capture goes to disk as it runs
};

// --trigger, --port-trigger and --pre-trigger; the problem with them, empty when there is none.
std::string readTriggerOptions(const ParsedArguments& arguments, CaptureOptions& options) {
    if (arguments.has("--trigger") &&
        !parseTriggerLetters(arguments.value("--trigger"), options.trigger)) {
        return "--trigger takes CH=C items separated by commas: a channel from 1 to 5, once "
               "each, and C one of 0 (low), 1 (high), r (rising), f (falling), e (either edge); "
               "a channel alone is e";
    }
    if (arguments.has("--port-trigger") &&
        !parseChannelMask(arguments.value("--port-trigger"), options.portTriggerMask)) {
        return "--port-trigger takes channel numbers from 1 to 5, separated by commas";
    }
    if (arguments.has("--pre-trigger") &&
        !parsePreTriggerShare(arguments.value("--pre-trigger"), options.preTriggerPercent)) {
        return "--pre-trigger takes 0%, 10%, 25%, 50%, 75% or 90%";
    }
    return {};
}

// A capture to disk writes one file as it runs: -o, and nothing to decode afterwards.
std::string longCaptureProblem(const ParsedArguments& arguments, CaptureOptions& options) {
    CaptureFiles others = options.files;
    others.paths[0].clear();
    if (options.files.paths[0].empty() || !fileList(others).empty() || arguments.has("-P")) {
        return "--duration and --samples write -o FILE alone (a .sr or a scope file), and "
               "decode nothing";
    }
    return readTriggerOptions(arguments, options);
}

// The options, or the problem with them (empty when there is none).
std::string readCaptureOptions(const ParsedArguments& arguments, CaptureOptions& options) {
    if (!arguments.operands.empty()) {
        return "unexpected argument " + inQuotes(arguments.operands[0]);
    }
    if (std::string problem = readCaptureFiles(arguments, arguments.has("-P"), options.files);
        !problem.empty()) {
        return problem;
    }
    options.simulate = arguments.has("--simulate");
    if (arguments.has("--port") &&
        !parsePortName(arguments.value("--port"), options.portNumber, options.portChoice)) {
        return "--port takes lpt1, lpt2, a device /dev/parportN or a base address such as 0xd010";
    }
    if (arguments.has("--size") && !parseSampleCount(arguments.value("--size"), options.size)) {
        return "--size takes a number of samples from 1 to 2147483647";
    }
    if (arguments.has("--speed") &&
        !parseDelayUnits(arguments.value("--speed"), options.delayUnits)) {
        return "--speed takes fastest, fast or slow";
    }
    if (std::string problem = readCaptureGoal(arguments, options.goal); !problem.empty()) {
        return problem;
    }
    return options.goal.set() ? longCaptureProblem(arguments, options)
                              : readTriggerOptions(arguments, options);
}

// A channel --trigger names has that condition, the channels of --port-trigger either edge.
void applyTriggerOptions(const CaptureOptions& options) {
    TriggerSettings settings{options.trigger, options.preTriggerPercent};
    for (int channel = 0; channel < kChannelCount; ++channel) {
        if ((options.portTriggerMask & kChannelBits[channel]) != 0 &&
            settings.conditions[channel] == TriggerCondition::NotUsed) {
            settings.conditions[channel] = TriggerCondition::EitherEdge;
        }
    }
    applyTriggerSettings(settings);
}

// The worker's link to the ports and to this program's window system, for one command.
struct LinkScope {
    LinkScope(PortAccess& ports, WindowSystem& windows) {
        workerLink.ports = &ports;
        workerLink.mainWindow = &windows;
    }
    ~LinkScope() {
        workerLink.ports = nullptr;
        workerLink.mainWindow = nullptr;
    }
};

struct WorkerScope {
    WorkerScope() { startSamplingWorker(workerLink); }
    ~WorkerScope() { stopSamplingWorker(workerLink); }
};

enum class CaptureEnd { Done, NoBuffer, Abandoned };

CaptureEnd captureOnThisThread(CliContext& context) {
    BreakOnInterrupt interrupts(true);
    BreakNotice notice(context.console, interrupts);
    const CaptureStart start = startCapture(context.windows);
    // A press just before the end, which the watch did not see in time.
    if (!notice.stop() && interrupts.count() > 0) {
        context.console.message("Break does not stop the fastest capture");
    }
    if (start == CaptureStart::TriggerGaveUp) {
        context.console.message("the trigger did not come within " +
                                std::to_string(kInlineTriggerPolls) +
                                " reads; captured without it");
    }
    return start != CaptureStart::NoBuffer ? CaptureEnd::Done : CaptureEnd::NoBuffer;
}

// Main thread while the worker captures: hands the capture over when CAPTURE_DONE comes. One
// Ctrl+C is Break; a second one abandons the capture, which is how a trigger wait that Break
// does not end can be left.
CaptureEnd awaitHandOver(CliContext& context, const BreakOnInterrupt& interrupts) {
    bool breakNoted = false;
    while (true) {
        for (const WindowMessage& message : context.windows.takeMessages(kInterruptPoll)) {
            if (message.id == CAPTURE_DONE && acceptCaptureDone(workerLink)) {
                finishCapture(context.windows);
                completeCaptureDone(workerLink);
                return CaptureEnd::Done;
            }
        }
        const int presses = interrupts.count();
        if (presses >= 2) {
            endWorkerCapture(workerLink);
            return CaptureEnd::Abandoned;
        }
        if (presses == 1) {
            // The worker clears Break as its capture begins; a press that came before that counts.
            scopeSession.breakRequested = 1;
            if (!breakNoted && triggerSet(scopeSession)) {
                context.console.message(
                    "Break: a capture still waiting for its trigger goes on waiting; press "
                    "Ctrl+C again to abandon it");
            }
            breakNoted = true;
        }
    }
}

CaptureEnd captureOnWorker(CliContext& context) {
    WorkerScope worker;
    BreakOnInterrupt interrupts(false);
    startCapture(context.windows);
    if (!scopeSession.workerCapturing) {
        return CaptureEnd::NoBuffer;
    }
    return awaitHandOver(context, interrupts);
}

// "a.sco, a.vcd: not written", or for a capture that was only to be decoded "not decoded".
std::string notDone(const CaptureOptions& options) {
    const std::string files = fileList(options.files);
    return files.empty() ? "not decoded" : files + ": not written";
}

// The capture's annotations, from its time base where it has one.
int decodeCapture(const DecodeRequest& request, CliContext& context) {
    DecodeInput input;
    std::string problem;
    if (!sessionDecodeInput(scopeSession, input, problem)) {
        context.console.message("not decoded: " + problem);
        return kExitFailure;
    }
    const DecodeEnd end = decodeAndPrint(request, input, context);
    if (end == DecodeEnd::NeedsRate) {
        context.console.message(
            "not decoded: the decoder needs the sample rate, and the capture was too short to "
            "time its samples");
    }
    if (end == DecodeEnd::Refused) {
        return kExitUsage;
    }
    return end == DecodeEnd::Done ? kExitSuccess : kExitFailure;
}

// Writes every file asked for, also when one of them fails; the summary only when all are
// done; then the annotations.
int saveCapture(const CaptureOptions& options, CaptureOutputs& outputs,
                const DecodeRequest& request, const std::string& port, double seconds,
                CliContext& context) {
    const uint32_t kept = scopeSession.sampleLength;
    if (kept == 0) {
        context.console.message(notDone(options) + ": the capture kept no samples");
        return kExitFailure;
    }
    if (!writeCaptureOutputs(options.files, outputs, context)) {
        return kExitFailure;
    }
    // A summary behind a file on standard output would spoil the file. It is out before a
    // decoder starts, so that a decode that is ended keeps it.
    std::ostringstream summary;
    printCaptureSummary(summary, port, kept, seconds);
    if (captureWritesToStandardOutput(options.files, outputs)) {
        if (!context.console.text(summary.str())) {
            return kExitFailure;  // where it would be said is what failed
        }
    } else {
        context.out << summary.str();
        if (!resultsDelivered(context)) {
            return kExitFailure;
        }
    }
    return request.stacks.empty() ? kExitSuccess : decodeCapture(request, context);
}

// The ports to read: the caller's (tests), else the machine's or the simulated probe, kept in
// `own`.
PortAccess& capturePorts(const CaptureOptions& options, CliContext& context,
                         std::unique_ptr<PortAccess>& own) {
    if (context.environment.ports != nullptr) {
        return *context.environment.ports;
    }
    own = makePortAccess(options.simulate, PortChoices{options.portChoice}, PortRetry::NextRun);
    return *own;
}

// The capture on the opened port, timed, then its files, summary and annotations.
int runTimedCapture(const CaptureOptions& options, CaptureOutputs& outputs,
                    const DecodeRequest& request, const std::string& port, CliContext& context) {
    const auto start = std::chrono::steady_clock::now();
    ProgressTicker ticker(context.console, context.environment.progressOnStderr,
                          "capturing " + std::to_string(options.size) + " samples" +
                              (options.delayUnits != 0 ? " (Ctrl+C: Break)" : ""));
    const CaptureEnd end =
        options.delayUnits == 0 ? captureOnThisThread(context) : captureOnWorker(context);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    ticker.stop();
    if (end == CaptureEnd::Abandoned) {
        const std::string files = fileList(options.files);
        context.console.message("capture abandoned: " +
                                (files.empty() ? "not decoded" : files + " not written"));
        return kExitInterrupted;
    }
    return end == CaptureEnd::Done
               ? saveCapture(options, outputs, request, port, elapsed.count(), context)
               : kExitFailure;
}

}  // namespace

int runCaptureCommand(const ParsedArguments& arguments, CliContext& context) {
    CaptureOptions options;
    if (const std::string problem = readCaptureOptions(arguments, options); !problem.empty()) {
        return usageError(context, "capture", problem);
    }
    // The decoders are checked, and the files opened, before the port is read, so that a
    // mistake fails before any sample is taken; an existing file is replaced only once the
    // capture is written.
    DecodeRequest request;
    if (const int status = readDecodeRequest(arguments, "capture", request, context);
        status != kExitSuccess) {
        return status;
    }
    CaptureOutputs outputs;
    if (const int opened =
            openCaptureOutputs(options.files, !request.stacks.empty(), outputs, context);
        opened != kExitSuccess) {
        return opened;
    }
    SessionScope session;
    scopeSession.captureSize = options.size;
    scopeSession.delayUnits = options.delayUnits;
    scopeSession.portNumber = options.portNumber;
    applyTriggerOptions(options);
    std::unique_ptr<PortAccess> ownPorts;
    LinkScope link(capturePorts(options, context, ownPorts), context.windows);
    const PortReadiness port = openChosenPort(context.windows);
    if (!port.opened) {
        context.console.message(notDone(options) + ": no port to capture from");
        return kExitNoPort;
    }
    if (options.goal.set()) {
        return runLongCapture(options.goal, outputs.files[0], options.files.paths[0], port.name,
                              context);
    }
    return runTimedCapture(options, outputs, request, port.name, context);
}
