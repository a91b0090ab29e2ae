#pragma once

#include "cli/cli_context.h"
#include "cli/command_line.h"

// pinprobe-cli capture [-o FILE] [--vcd FILE] [--csv FILE] [--sr FILE] [-P ... [-A ...]
//                      [--samplenum]] [--port lpt1|lpt2|DEVICE|BASE] [--simulate] [--size N]
//                      [--speed fastest|fast|slow] [--trigger CH[,CH...]]
int runCaptureCommand(const ParsedArguments& arguments, CliContext& context);
