#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv) {
    // Exports go out in large pieces; stdio's own buffering of cout would only add a copy.
    std::ios::sync_with_stdio(false);
    CliEnvironment environment;
    environment.progressOnStderr = isatty(STDERR_FILENO) == 1;
    const int status =
        runCli(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr, environment);
    std::cout.flush();
    return status;
}
