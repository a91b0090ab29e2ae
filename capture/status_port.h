#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One printer port's status register. read() gives the raw byte exactly as the register shows it
// (Busy not corrected); an absent or unusable port reads 0xFF.
class StatusPort {
public:
    virtual ~StatusPort() = default;
    virtual uint8_t read() = 0;
};

// Hands out the status port of LPT1 or LPT2. Safe to call from the main thread and the worker.
class PortAccess {
public:
    virtual ~PortAccess() = default;

    // The port for `portNumber` (1 = LPT1 at 0x378, 2 = LPT2 at 0x278), opened on first use and
    // kept for the run. Never fails: a port that cannot be opened reads 0xFF and leaves a report.
    virtual StatusPort& port(uint8_t portNumber) = 0;

    // The reports left since the last call, each once per port and run: what failed, why, and
    // what the user can do about it.
    virtual std::vector<std::string> takeReports() = 0;

    // Whether the fastest loop should run in a quiet section (real hardware only).
    virtual bool wantsQuietSection() const = 0;
};
