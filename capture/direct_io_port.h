#pragma once

#include <cstdint>
#include <memory>

#include "capture/hardware_status_port.h"

class PortSyscalls;

// The status register read with inb. The kernel grants I/O ports per thread, and the port is
// opened on one thread and read on another, so each thread is granted the range on its first read.
class DirectIoPort final : public HardwareStatusPort {
public:
    // Grants the port range on the calling thread; nullptr and `error` (an errno value) when the
    // kernel refuses. `slot` (0 or 1) tells LPT1 and LPT2 apart in the per-thread record.
    static std::unique_ptr<DirectIoPort> open(PortSyscalls& syscalls, uint16_t base, int slot,
                                              int& error);
    ~DirectIoPort() override;

    uint8_t read() override;

private:
    DirectIoPort(PortSyscalls& syscalls, uint16_t base, int slot);
    uint8_t readOnUngrantedThread();

    PortSyscalls& syscalls_;
    const uint16_t base_;
    const int slot_;
    const uint64_t serial_;  // unique per instance, never reused
};
