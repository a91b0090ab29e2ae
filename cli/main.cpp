#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/descriptor_output.h"
#include "scopefile/file_calls.h"
#include "scopefile/standard_descriptors.h"
#include "scopefile/unfinished_outputs.h"

namespace {

// The last of the results may only reach their file as it is closed (a network file system, a
// quota): that close is checked too. A standard output the shell closed is no error as long as
// nothing was to go there.
int closeStandardOutput(int status) {
    if (close(STDOUT_FILENO) == 0 || errno == EBADF || status != 0) {
        return status;
    }
    std::cerr << "pinprobe-cli: standard output: Cannot write the results: "
              << systemErrorText(errno) << '\n';
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    holdClosedStandardDescriptors();
    // Standard error carries messages (and a summary kept off a file on standard output); the
    // results go out through a buffer of our own, which tells when a write failed and why.
    std::ios::sync_with_stdio(false);
    DescriptorBuffer results(STDOUT_FILENO);
    std::ostream out(&results);
    // A reader that went away (a closed pipe) is then a write that fails, which the command
    // reports, rather than a silent end of the program.
    std::signal(SIGPIPE, SIG_IGN);
    // A signal that ends the program leaves no temporary behind.
    endCleanlyOnSignals();
    CliEnvironment environment;
    environment.progressOnStderr = isatty(STDERR_FILENO) == 1;
    const int status =
        runCli(std::vector<std::string>(argv + 1, argv + argc), out, std::cerr, environment);
    return closeStandardOutput(status);
}
