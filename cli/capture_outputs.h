#pragma once

#include <string>

#include "cli/cli_context.h"
#include "cli/command_line.h"
#include "scopefile/output_file.h"

// The files a capture writes; an empty name is none.
struct CaptureFiles {
    std::string scope;  // -o
    std::string vcd;    // --vcd
    std::string csv;    // --csv
    std::string sr;     // --sr
};

// The files of -o, --vcd, --csv and --sr, each named and none twice, or the problem with them.
// None at all is a problem unless `decoding`, whose annotations are the output then.
std::string readCaptureFiles(const ParsedArguments& arguments, bool decoding, CaptureFiles& files);

// "a.sco, a.vcd": the files named.
std::string fileList(const CaptureFiles& files);

// The files asked for, opened before the port is read; those not named stay closed.
struct CaptureOutputs {
    OutputFile scope;
    OutputFile vcd;
    OutputFile csv;
    OutputFile sr;
};

bool openCaptureOutputs(const CaptureFiles& files, CaptureOutputs& outputs, CliContext& context);

// Writes the session's capture into every file asked for, also when one of them fails; false
// when any failed, each failure reported.
bool writeCaptureOutputs(const CaptureFiles& files, CaptureOutputs& outputs, CliContext& context);
