#pragma once

#include "cli/cli_context.h"
#include "cli/command_line.h"

// pinprobe-cli decode FILE -P DECODER[:KEY=VALUE...][,DECODER...] [-P ...] [-A ...]
//                  [--samplenum] [--period SECONDS]
int runDecodeCommand(const ParsedArguments& arguments, CliContext& context);
