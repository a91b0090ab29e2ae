#include "cli/capture_command.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <string_view>

#include "app/capture_cycle.h"
#include "capture/port_access_factory.h"
#include "capture/port_choice.h"
#include "capture/sampler.h"
#include "capture/sampling_worker.h"
#include "cli/capture_summary.h"
#include "cli/console_output.h"
#include "cli/export_command.h"
#include "cli/file_error_report.h"
#include "cli/headless_window_system.h"
#include "cli/interrupt_break.h"
#include "cli/output_files.h"
#include "cli/progress_ticker.h"
#include "cli/recording.h"
#include "core/scope_session.h"
#include "export/export_formats.h"
#include "scopefile/output_file.h"
#include "scopefile/scope_file.h"

namespace {

// How often the main thread looks at Ctrl+C while the worker captures.
constexpr std::chrono::milliseconds kInterruptPoll{100};

struct CaptureOptions {
    // The files to write; an empty name is none.
    std::string output;
    std::string vcd;
    std::string csv;
    uint8_t portNumber = 1;
    PortChoice portChoice;  // where LPT1 is, when --port names a device or a base
    bool simulate = false;
    int32_t size = 5000;
    int8_t delayUnits = 0;
    uint8_t triggerMask = 0;
    bool waitForReader = false;
};

struct OutputOption {
    std::string_view name;
    std::string CaptureOptions::*file;
};

constexpr OutputOption kOutputOptions[] = {{"-o", &CaptureOptions::output},
                                           {"--vcd", &CaptureOptions::vcd},
                                           {"--csv", &CaptureOptions::csv}};

// The files to write, at least one, each named and none twice; or the problem with them. '-' is
// standard output.
std::string readOutputs(const ParsedArguments& arguments, CaptureOptions& options) {
    std::set<std::string> named;
    for (const OutputOption& option : kOutputOptions) {
        const auto value = arguments.values.find(option.name);
        if (value == arguments.values.end()) {
            continue;
        }
        if (std::string problem = outputPathProblem(option.name, value->second); !problem.empty()) {
            return problem;
        }
        const std::string path = value->second == "-" ? "/dev/stdout" : value->second;
        if (!named.insert(path).second) {
            return "-o, --vcd and --csv must name different files";
        }
        options.*option.file = path;
    }
    options.waitForReader = arguments.has("--wait-for-reader");
    return named.empty() ? "no output file given: -o FILE, --vcd FILE or --csv FILE" : "";
}

// The options, or the problem with them (empty when there is none).
std::string readCaptureOptions(const ParsedArguments& arguments, CaptureOptions& options) {
    if (!arguments.operands.empty()) {
        return "unexpected argument '" + arguments.operands[0] + "'";
    }
    if (std::string problem = readOutputs(arguments, options); !problem.empty()) {
        return problem;
    }
    const auto& values = arguments.values;
    options.simulate = arguments.has("--simulate");
    if (arguments.has("--port") &&
        !parsePortName(values.find("--port")->second, options.portNumber, options.portChoice)) {
        return "--port takes lpt1, lpt2, a device /dev/parportN or a base address such as 0xd010";
    }
    if (arguments.has("--size") && !parseSampleCount(values.find("--size")->second, options.size)) {
        return "--size takes a number of samples from 1 to 2147483647";
    }
    if (arguments.has("--speed") &&
        !parseDelayUnits(values.find("--speed")->second, options.delayUnits)) {
        return "--speed takes fastest, fast or slow";
    }
    if (arguments.has("--trigger") &&
        !parseChannelMask(values.find("--trigger")->second, options.triggerMask)) {
        return "--trigger takes channel numbers from 1 to 5, separated by commas";
    }
    return {};
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
    const CaptureStart start = startCapture(context.windows);
    if (interrupts.count() > 0) {
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
            if (!breakNoted && scopeSession.portTriggerMask != 0) {
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

// "a.sco, a.vcd": the files named, the empty names left out.
std::string fileList(std::initializer_list<std::string> files) {
    std::string list;
    for (const std::string& file : files) {
        if (!file.empty()) {
            list += (list.empty() ? "" : ", ") + file;
        }
    }
    return list;
}

std::string outputList(const CaptureOptions& options) {
    return fileList({options.output, options.vcd, options.csv});
}

// The files asked for, those not named left closed.
struct CaptureOutputs {
    OutputFile scope;
    OutputFile vcd;
    OutputFile csv;
};

std::array<NamedOutput, 3> namedOutputs(const CaptureOptions& options, CaptureOutputs& outputs) {
    return {NamedOutput{"-o", options.output, &outputs.scope},
            NamedOutput{"--vcd", options.vcd, &outputs.vcd},
            NamedOutput{"--csv", options.csv, &outputs.csv}};
}

// Opened before the port is read, so that a path that cannot be written, or one file named by
// two outputs, fails before any sample is taken; an existing file is replaced only once the
// capture is written. The exit status when that fails, else kExitSuccess.
int openCaptureOutputs(const CaptureOptions& options, CaptureOutputs& outputs,
                       CliContext& context) {
    const auto named = namedOutputs(options, outputs);
    if (!openNamedOutputs(named, OutputOptions{options.waitForReader}, context)) {
        return kExitFailure;
    }
    const std::string problem = sameFileProblem(named);
    return problem.empty() ? kExitSuccess : usageError(context, "capture", problem);
}

// The exports' times: the capture's time base.
std::string exportTiming(SampleTiming& timing) {
    if (!scopeSession.timeBase.known()) {
        return "the capture has no time base to time them by";
    }
    if (!timingForTimeBase(scopeSession.timeBase, scopeSession.sampleOrigin,
                           scopeSession.sampleLength, timing)) {
        return "the time stamps of a capture this long would not fit 64 bits";
    }
    return {};
}

bool writeExports(const CaptureOptions& options, CaptureOutputs& outputs, CliContext& context) {
    if (options.vcd.empty() && options.csv.empty()) {
        return true;
    }
    SampleTiming timing;
    if (const std::string problem = exportTiming(timing); !problem.empty()) {
        context.console.message(fileList({options.vcd, options.csv}) + ": not written: " + problem);
        return false;
    }
    const bool vcdWritten =
        options.vcd.empty() || writeExportOutput(outputs.vcd, options.vcd, true, timing, context);
    const bool csvWritten =
        options.csv.empty() || writeExportOutput(outputs.csv, options.csv, false, timing, context);
    return vcdWritten && csvWritten;
}

// Writes every file asked for, also when one of them fails; the summary only when all are done.
int saveCapture(const CaptureOptions& options, CaptureOutputs& outputs, const std::string& port,
                double seconds, CliContext& context) {
    const uint32_t kept = scopeSession.sampleLength;
    if (kept == 0) {
        context.console.message(outputList(options) + ": not written: the capture kept no samples");
        return kExitFailure;
    }
    const bool scopeFileWritten =
        options.output.empty() || writeScopeOutput(printFileErrors(context.console, options.output),
                                                   outputs.scope, scopeSession.sampleData, kept);
    const bool exportsWritten = writeExports(options, outputs, context);
    if (!scopeFileWritten || !exportsWritten) {
        return kExitFailure;
    }
    // A summary behind a file on standard output would spoil the file.
    std::ostringstream summary;
    printCaptureSummary(summary, port, kept, seconds);
    if (writesToStandardOutput(namedOutputs(options, outputs))) {
        context.console.text(summary.str());
    } else {
        context.out << summary.str();
    }
    return kExitSuccess;
}

}  // namespace

int runCaptureCommand(const ParsedArguments& arguments, CliContext& context) {
    CaptureOptions options;
    if (const std::string problem = readCaptureOptions(arguments, options); !problem.empty()) {
        return usageError(context, "capture", problem);
    }
    CaptureOutputs outputs;
    if (const int opened = openCaptureOutputs(options, outputs, context); opened != kExitSuccess) {
        return opened;
    }
    SessionScope session;
    scopeSession.captureSize = options.size;
    scopeSession.delayUnits = options.delayUnits;
    scopeSession.portNumber = options.portNumber;
    scopeSession.portTriggerMask = options.triggerMask;
    std::unique_ptr<PortAccess> ownPorts;
    PortAccess* ports = context.environment.ports;
    if (ports == nullptr) {
        ownPorts =
            makePortAccess(options.simulate, PortChoices{options.portChoice}, PortRetry::NextRun);
        ports = ownPorts.get();
    }
    LinkScope link(*ports, context.windows);
    const PortReadiness port = openChosenPort(context.windows);
    if (!port.opened) {
        context.console.message(outputList(options) + ": not written: no port to capture from");
        return kExitNoPort;
    }
    const auto start = std::chrono::steady_clock::now();
    ProgressTicker ticker(context.console, context.environment.progressOnStderr,
                          "capturing " + std::to_string(options.size) + " samples" +
                              (options.delayUnits != 0 ? " (Ctrl+C: Break)" : ""));
    const CaptureEnd end =
        options.delayUnits == 0 ? captureOnThisThread(context) : captureOnWorker(context);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    ticker.stop();
    if (end == CaptureEnd::Abandoned) {
        context.console.message("capture abandoned: " + outputList(options) + " not written");
        return kExitInterrupted;
    }
    return end == CaptureEnd::Done
               ? saveCapture(options, outputs, port.name, elapsed.count(), context)
               : kExitFailure;
}
