#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_context.h"

// The whole of pinprobe-cli for the arguments after the program's name: prints to `out` and
// `err` and gives the exit status. The program's main() and the tests both call this.
int runCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
           const CliEnvironment& environment = {});
