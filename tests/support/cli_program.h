#pragma once

#include <filesystem>
#include <string>

#include "tests/support/process_output.h"

// The program beside this test's build: tests/NAME -> cli/pinprobe-cli.
inline std::string cliProgramPath() {
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    return (self.parent_path().parent_path() / "cli" / "pinprobe-cli").string();
}

// Runs `script` under bash with $cli set to `program`, in `folder`.
inline ProcessOutput runScript(const std::string& program, const std::string& folder,
                               const std::string& script) {
    std::string quoted;
    for (const char c : "cli='" + program + "'; cd '" + folder + "' || exit 99; " + script) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return runProcess("bash -c '" + quoted + "'");
}
