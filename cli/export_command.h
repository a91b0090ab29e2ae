#pragma once

#include <string>

#include "cli/cli_context.h"
#include "cli/command_line.h"
#include "export/export_job.h"

struct OutputFile;

// pinprobe-cli export FILE -o OUT (--format vcd|csv|sr | --vcd | --csv) [--period SECONDS]
int runExportCommand(const ParsedArguments& arguments, CliContext& context);

// Writes the session's samples as `job` asks into `file`, opened for `path`, which it replaces
// only once they are all written; a failure is reported as a save's would be.
bool writeExportOutput(OutputFile& file, const std::string& path, const ExportJob& job,
                       CliContext& context);
