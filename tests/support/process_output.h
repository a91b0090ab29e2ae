#pragma once

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

// Runs `command` through the shell; its standard output and its exit status (-1 when it did not
// exit normally).
struct ProcessOutput {
    int status = -1;
    std::string out;
};

inline ProcessOutput runProcess(const std::string& command) {
    ProcessOutput result;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    std::array<char, 65536> buffer;
    size_t count = 0;
    while ((count = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        result.out.append(buffer.data(), count);
    }
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

inline bool commandAvailable(const std::string& name) {
    return runProcess("command -v " + name + " >/dev/null 2>&1").status == 0;
}
