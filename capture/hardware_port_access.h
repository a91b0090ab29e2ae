#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "capture/hardware_status_port.h"
#include "capture/status_port.h"

class PortSyscalls;

// The printer ports of this machine. Each port is opened on first use, by direct port I/O where
// the kernel grants it, else through its ppdev node; a port that neither opens reads 0xFF and
// leaves one report with the reasons and remedies.
class HardwarePortAccess final : public PortAccess {
public:
    explicit HardwarePortAccess(PortSyscalls& syscalls);

    StatusPort& port(uint8_t portNumber) override;
    std::vector<std::string> takeReports() override;
    bool wantsQuietSection() const override { return true; }

private:
    struct Slot {
        std::atomic<StatusPort*> ready{nullptr};  // set once, read without the lock
        std::unique_ptr<HardwareStatusPort> opened;
        bool readErrorReported = false;
    };

    StatusPort& open(int slotIndex, uint8_t portNumber);
    void reportIfNothingAnswers(uint8_t portNumber, StatusPort& port);

    PortSyscalls& syscalls_;
    std::mutex mutex_;  // guards opening, the reports and readErrorReported
    Slot slots_[3];     // LPT1, LPT2, and any other number
    std::vector<std::string> reports_;
};

// The I/O base address of LPT`portNumber`, 0 for a port that has none.
uint16_t printerPortBase(uint8_t portNumber);
