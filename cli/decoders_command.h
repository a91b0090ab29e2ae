#pragma once

#include "cli/cli_context.h"
#include "cli/command_line.h"

// pinprobe-cli decoders [NAME]: every decoder with its channels and options, or one in full.
int runDecodersCommand(const ParsedArguments& arguments, CliContext& context);
