#pragma once

#include <cstdint>
#include <string>

#include "capture/port_choice.h"

// What was tried to open a port, and what each way answered.
struct OpeningAttempt {
    PortTarget target;
    int listError = 0;  // errno value of listing the kernel's ports
    bool directTried = false;
    int directError = 0;  // errno value of ioperm
    bool ppdevTried = false;
    int ppdevError = 0;  // errno value of the ppdev open or claim
};

// "LPT1 (/dev/parport0 at 0xd010)", "LPT1 (0x378)", "LPT1 (/dev/parport5)".
std::string portLabel(uint8_t portNumber, const PortTarget& target);

// "LPT1 is /dev/parport0 at 0xd010, read through ppdev".
std::string portInUse(uint8_t portNumber, const PortTarget& target, bool directIo);

// When a port that could not be opened is tried again: at the next capture (the desktop
// program), or when the command is run again (pinprobe-cli, one capture per run).
enum class PortRetry { NextCapture, NextRun };

// A port that no way opened: what failed and what to do, one line per way tried.
std::string openingReport(const std::string& label, const OpeningAttempt& attempt, PortRetry retry);

// Direct I/O opened an address the kernel lists no port at, and it reads 0xFF.
std::string absentPortReport(const std::string& label);

// A port number that has no port, such as LPT3.
std::string noSuchPortReport(uint8_t portNumber);

// `reads` reads of an opened port failed since the last report, the last with errno `error`.
std::string readFailureReport(const std::string& label, int error, uint64_t reads);
