#pragma once

#include <array>
#include <string>
#include <vector>

#include "cli/cli_context.h"
#include "cli/command_line.h"
#include "export/export_format_table.h"
#include "scopefile/output_file.h"

// A capture's files: the scope file (-o), then one per export format, by the format table's
// order (--vcd, --csv, --sr).
inline constexpr size_t kCaptureFileCount = 1 + kExportFormatCount;

// The files a capture writes; an empty name is none, "/dev/stdout" standard output.
struct CaptureFiles {
    std::array<std::string, kCaptureFileCount> paths;
    bool waitForReader = false;  // a FIFO's reader is waited for instead of refused
};

// The options that name a capture's files, in the order of CaptureFiles::paths.
std::vector<OptionSpec> captureFileOptions();

// The files of -o, --vcd, --csv and --sr, each named and none twice ('-' is standard output), or
// the problem with them. None at all is a problem unless `decoding`, whose annotations are the
// output then.
std::string readCaptureFiles(const ParsedArguments& arguments, bool decoding, CaptureFiles& files);

// "a.sco, a.vcd": the files named, as a message may show them.
std::string fileList(const CaptureFiles& files);

// The files asked for, opened before the port is read; those not named stay closed.
struct CaptureOutputs {
    std::array<OutputFile, kCaptureFileCount> files;
};

// Opened before the port is read, so that a path that cannot be written, or one file named by
// two outputs, fails before any sample is taken; an existing file is replaced only once the
// capture is written. The exit status when that fails (reported), else kExitSuccess.
// With `decoding` no file may be standard output, where the annotations go.
int openCaptureOutputs(const CaptureFiles& files, bool decoding, CaptureOutputs& outputs,
                       CliContext& context);

// Whether an opened output writes to the file standard output is: the summary goes elsewhere.
bool captureWritesToStandardOutput(const CaptureFiles& files, CaptureOutputs& outputs);

// Writes the session's capture into every file asked for, also when one of them fails; false
// when any failed, each failure reported.
bool writeCaptureOutputs(const CaptureFiles& files, CaptureOutputs& outputs, CliContext& context);
