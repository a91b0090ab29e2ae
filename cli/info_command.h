#pragma once

#include "cli/cli_context.h"
#include "cli/command_line.h"

// pinprobe-cli info FILE: the number of samples, a line per channel, and the too-slow verdict.
int runInfoCommand(const ParsedArguments& arguments, CliContext& context);
