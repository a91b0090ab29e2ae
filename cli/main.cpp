#include <unistd.h>

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "scopefile/unfinished_outputs.h"

int main(int argc, char** argv) {
    // Exports go out in large pieces; stdio's own buffering of cout would only add a copy.
    std::ios::sync_with_stdio(false);
    // A reader that went away (a closed pipe) is then a write that fails, which the command
    // reports, rather than a silent end of the program.
    std::signal(SIGPIPE, SIG_IGN);
    // Ctrl+C, SIGTERM and SIGHUP leave no temporary behind.
    endCleanlyOnSignals();
    CliEnvironment environment;
    environment.progressOnStderr = isatty(STDERR_FILENO) == 1;
    const int status =
        runCli(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr, environment);
    std::cout.flush();
    return status;
}
