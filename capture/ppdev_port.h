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

// What opening a ppdev node gave.
struct PpdevOpening {
    std::unique_ptr<PpdevPort> port;  // nullptr on failure
    int error = 0;                    // errno value of the open or claim that failed
};

// "/dev/parportN".
std::string parportDevice(int parport);

// Whether an open or claim failed because the port is held by another driver or has gone.
bool isPortBusyError(int error);

// Opens and claims /dev/parport`parport`: exclusively when the kernel allows, shared otherwise
// (exclusive access fails while another driver such as lp is registered). The numbers are the
// kernel's, not LPT numbers.
PpdevOpening openPpdevPort(PortSyscalls& syscalls, int parport);
