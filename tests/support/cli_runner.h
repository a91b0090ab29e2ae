#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

// One pinprobe-cli command line run in this process.
struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline CliRun runCliLine(const std::vector<std::string>& arguments,
                         const CliEnvironment& environment = {}) {
    std::ostringstream out;
    std::ostringstream err;
    CliRun run;
    run.status = runCli(arguments, out, err, environment);
    run.out = out.str();
    run.err = err.str();
    return run;
}

// The message pinprobe-cli gives for a file that a scope-file error `id` refused, for the
// system's `reason` where there is one.
inline std::string fileErrorLine(const std::string& path, const std::string& text, int id,
                                 const std::string& reason = "") {
    return "pinprobe-cli: " + path + ": " + text + (reason.empty() ? "" : " " + reason + ".") +
           " (" + std::to_string(id) + ")\n";
}
