#pragma once

#include <string>

#include "cli/cli_context.h"
#include "cli/command_line.h"
#include "export/export_formats.h"

struct OutputFile;

// pinprobe-cli export FILE -o OUT (--vcd | --csv) [--period SECONDS]
int runExportCommand(const ParsedArguments& arguments, CliContext& context);

// Writes the session's samples as a VCD (`vcd`) or CSV into `file`, opened for `path`, which it
// replaces only once they are all written; a failure is reported as a save's would be.
bool writeExportOutput(OutputFile& file, const std::string& path, bool vcd,
                       const SampleTiming& timing, CliContext& context);
