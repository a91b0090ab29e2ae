#pragma once

#include "cli/cli_context.h"
#include "cli/command_line.h"

// pinprobe-cli export FILE -o OUT (--vcd | --csv) [--period SECONDS]
int runExportCommand(const ParsedArguments& arguments, CliContext& context);
