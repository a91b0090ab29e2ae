#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "capture/hardware_status_port.h"

class PortSyscalls;

// The status register read through the kernel's ppdev node, claimed for the port's lifetime.
class PpdevPort final : public HardwareStatusPort {
public:
    PpdevPort(PortSyscalls& syscalls, int fd);
    ~PpdevPort() override;
    PpdevPort(const PpdevPort&) = delete;
    PpdevPort& operator=(const PpdevPort&) = delete;

    uint8_t read() override;

private:
    PortSyscalls& syscalls_;
    const int fd_;
};

// Where the parport number for an I/O base address was looked for.
struct ParportSearch {
    int number = -1;  // the parportN at the base; -1 when none was found
    int error = 0;    // errno value when the parport directory could not be listed
};

// What opening the ppdev node of a base address gave.
struct PpdevOpening {
    std::unique_ptr<PpdevPort> port;  // nullptr on failure
    ParportSearch search;
    std::string device;  // "/dev/parportN", empty when no parport was found
    int error = 0;       // errno value of the open or claim that failed
};

// The parportN at `base` (the lowest when several are); numbers are not LPT numbers.
ParportSearch findParportAt(PortSyscalls& syscalls, uint16_t base);

// Whether an open or claim failed because the port is held by another driver or has gone.
bool isPortBusyError(int error);

// Opens and claims the ppdev node of the parport at `base`: exclusively when the kernel allows,
// shared otherwise (exclusive access fails while another driver such as lp is registered).
PpdevOpening openPpdevPort(PortSyscalls& syscalls, uint16_t base);
