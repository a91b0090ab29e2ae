#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "capture/probe_clock.h"

// One printer port's status register. read() gives the raw byte exactly as the register shows it
// (Busy not corrected); an absent or unusable port reads 0xFF.
class StatusPort {
public:
    virtual ~StatusPort() = default;
    virtual uint8_t read() = 0;
    // How many reads have failed (and given 0xFF) since the port was opened. The sample loops
    // look at it between blocks, so that failed reads show where they happened.
    virtual uint64_t failedReads() const { return 0; }
};

// How a port stands as a capture starts.
struct PortReadiness {
    bool opened = true;  // false: no way to the port worked, and it reads 0xFF
    std::string name;    // which port it is and how it is read
};

// Hands out the status port of LPT1 or LPT2. Safe to call from the main thread and the worker.
class PortAccess {
public:
    virtual ~PortAccess() = default;

    // The port for `portNumber` (1 = LPT1, 2 = LPT2), opened on first use. Never fails: a port
    // that cannot be opened reads 0xFF and leaves a report.
    virtual StatusPort& port(uint8_t portNumber) = 0;

    // Opens the port for a capture about to start, trying again a port that could not be opened
    // before. Only while no capture reads a port: a port tried again is replaced.
    virtual PortReadiness prepareForCapture(uint8_t portNumber) {
        port(portNumber);
        return PortReadiness{true, "LPT" + std::to_string(portNumber)};
    }

    // The reports left since the last call: what failed, why, and what the user can do about
    // it. A port that still cannot be opened is reported again only when the reason changed.
    virtual std::vector<std::string> takeReports() = 0;

    // Whether the sample loops should run in a quiet section: ports read in the machine's time,
    // not a test's.
    virtual bool wantsQuietSection() const = 0;

    // The clock the sample loops time their reads by.
    virtual ProbeClock& clock() { return machineClock(); }
};
