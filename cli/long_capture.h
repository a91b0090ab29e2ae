#pragma once

#include <string>

#include "cli/capture_goal.h"
#include "cli/cli_context.h"
#include "scopefile/output_file.h"

// A capture written to disk as it runs, for as long as `goal` asks, into `output` (opened on
// `path`): a scope file, or a sigrok session for a name ending in ".sr". The port is open; the
// capture runs in blocks of about half a second each, on the session's loops, and after every
// block the file is whole. Ctrl+C, SIGTERM and SIGHUP end it early, a failed write (a full
// disk) too; what was written before stays in the file, put in its place. Progress goes to
// standard error, the summary to standard output. The exit status.
int runLongCapture(const CaptureGoal& goal, OutputFile& output, const std::string& path,
                   const std::string& port, CliContext& context);
