#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "capture/hardware_status_port.h"
#include "capture/port_choice.h"
#include "capture/port_reports.h"
#include "capture/status_port.h"

class PortSyscalls;

// The printer ports of this machine. LPT1 and LPT2 are found by the listing rule or where
// `choices` say; each is opened by direct port I/O where the kernel grants it, at any base, else
// through its ppdev node. A port that no way opens reads 0xFF, leaves a report with
// the reasons and remedies, and is tried again at the next capture.
class HardwarePortAccess final : public PortAccess {
public:
    explicit HardwarePortAccess(PortSyscalls& syscalls, const PortChoices& choices = {},
                                PortRetry retry = PortRetry::NextCapture);

    StatusPort& port(uint8_t portNumber) override;
    PortReadiness prepareForCapture(uint8_t portNumber) override;
    std::vector<std::string> takeReports() override;
    bool wantsQuietSection() const override { return true; }

private:
    struct Slot {
        std::atomic<StatusPort*> ready{nullptr};  // read without the lock
        std::unique_ptr<HardwareStatusPort> opened;
        PortReadiness readiness{false, {}};
        std::string label;              // names the port in the reports
        std::string lastReport;         // of the last opening, so that it is not repeated
        uint64_t failuresReported = 0;  // failed reads of `opened` reported so far
    };

    void open(int slotIndex, uint8_t portNumber);
    void leaveReport(Slot& slot, const std::string& report);

    PortSyscalls& syscalls_;
    const PortChoices choices_;
    const PortRetry retry_;
    std::mutex mutex_;  // guards opening, the slots' other fields and the reports
    Slot slots_[3];     // LPT1, LPT2, and any other number
    std::vector<std::string> reports_;
};
