#pragma once

#include <ostream>
#include <string_view>

class ConsoleOutput;
class HeadlessWindowSystem;
class PortAccess;

// Exit statuses.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNoPort = 3;         // no way opened the chosen port
inline constexpr int kExitInterrupted = 130;  // 128 + SIGINT, as a shell reports it

// What the caller of the command line provides beside the arguments.
struct CliEnvironment {
    bool progressOnStderr = false;  // standard error is a terminal
    PortAccess* ports = nullptr;    // replaces the printer ports and the simulated probe (tests)
};

// What every command works with.
struct CliContext {
    std::ostream& out;
    ConsoleOutput& console;
    HeadlessWindowSystem& windows;
    const CliEnvironment& environment;
};

// Says what is wrong with a command's arguments and how to get help; returns kExitUsage.
int usageError(CliContext& context, std::string_view command, std::string_view problem);

// Hands the results waiting for standard output on; false, after saying why, when they did not
// all get there (a full disk, a closed descriptor, a reader gone).
bool resultsDelivered(CliContext& context);
