#include "capture/hardware_port_access.h"

#include <utility>

#include "capture/direct_io_port.h"
#include "capture/port_reports.h"
#include "capture/port_syscalls.h"
#include "capture/ppdev_port.h"

namespace {

constexpr int kOtherSlot = 2;

class AbsentPort final : public StatusPort {
public:
    uint8_t read() override { return 0xFF; }
};

StatusPort& absentPort() {
    static AbsentPort absent;
    return absent;
}

int slotOf(uint8_t portNumber) {
    return portNumber == 1 || portNumber == 2 ? portNumber - 1 : kOtherSlot;
}

// What the ways to a port gave: the port when one worked, and a report when there is one.
struct Connection {
    std::unique_ptr<HardwareStatusPort> port;
    PortReadiness readiness{false, {}};
    std::string report;
};

// Direct I/O opens any address, port or not. With no port listed there, an idle 0xFF (floating
// lines) means there is most likely nothing to read.
Connection directConnection(std::unique_ptr<HardwareStatusPort> port, uint8_t portNumber,
                            const PortTarget& target, const std::string& label) {
    const bool answers = target.listed || port->read() != 0xFF;
    return Connection{std::move(port), PortReadiness{answers, portInUse(portNumber, target, true)},
                      answers ? "" : absentPortReport(label)};
}

Connection connect(PortSyscalls& syscalls, int slotIndex, uint8_t portNumber,
                   OpeningAttempt attempt, const std::string& label, PortRetry retry) {
    const PortTarget& target = attempt.target;
    if (target.base != 0) {
        attempt.directTried = true;
        auto port = DirectIoPort::open(syscalls, target.base, slotIndex, attempt.directError);
        if (port) {
            return directConnection(std::move(port), portNumber, target, label);
        }
    }
    if (target.parport >= 0) {
        attempt.ppdevTried = true;
        PpdevOpening ppdev = openPpdevPort(syscalls, target.parport);
        if (ppdev.port) {
            return Connection{std::move(ppdev.port),
                              PortReadiness{true, portInUse(portNumber, target, false)}, ""};
        }
        attempt.ppdevError = ppdev.error;
    }
    return Connection{nullptr, PortReadiness{false, label}, openingReport(label, attempt, retry)};
}

}  // namespace

HardwarePortAccess::HardwarePortAccess(PortSyscalls& syscalls, const PortChoices& choices,
                                       PortRetry retry)
    : syscalls_(syscalls), choices_(choices), retry_(retry) {}

StatusPort& HardwarePortAccess::port(uint8_t portNumber) {
    const int slotIndex = slotOf(portNumber);
    if (StatusPort* ready = slots_[slotIndex].ready.load(std::memory_order_acquire)) {
        return *ready;
    }
    std::lock_guard lock(mutex_);
    if (slots_[slotIndex].ready.load(std::memory_order_relaxed) == nullptr) {
        open(slotIndex, portNumber);
    }
    return *slots_[slotIndex].ready.load(std::memory_order_relaxed);
}

PortReadiness HardwarePortAccess::prepareForCapture(uint8_t portNumber) {
    const int slotIndex = slotOf(portNumber);
    std::lock_guard lock(mutex_);
    Slot& slot = slots_[slotIndex];
    if (slot.ready.load(std::memory_order_relaxed) == nullptr || !slot.readiness.opened) {
        open(slotIndex, portNumber);
    }
    return slot.readiness;
}

// A port tried again is closed first, so that its node or its grant is free for the new one.
void HardwarePortAccess::open(int slotIndex, uint8_t portNumber) {
    Slot& slot = slots_[slotIndex];
    slot.ready.store(nullptr, std::memory_order_relaxed);
    slot.opened.reset();
    slot.failuresReported = 0;
    const PortListing listing = readPortListing(syscalls_);
    const PortChoice choice = slotIndex < kOtherSlot ? choices_[slotIndex] : PortChoice{};
    const PortTarget target = resolvePort(listing, portNumber, choice);
    slot.label = portLabel(portNumber, target);
    Connection connection;
    if (target.base == 0 && target.parport < 0) {
        connection.report = noSuchPortReport(portNumber);
    } else {
        connection = connect(syscalls_, slotIndex, portNumber,
                             OpeningAttempt{target, listing.error}, slot.label, retry_);
    }
    slot.opened = std::move(connection.port);
    slot.readiness = std::move(connection.readiness);
    leaveReport(slot, connection.report);
    StatusPort* ready = slot.opened ? slot.opened.get() : &absentPort();
    slot.ready.store(ready, std::memory_order_release);
}

void HardwarePortAccess::leaveReport(Slot& slot, const std::string& report) {
    if (!report.empty() && report != slot.lastReport) {
        reports_.push_back(report);
    }
    slot.lastReport = report;
}

std::vector<std::string> HardwarePortAccess::takeReports() {
    std::lock_guard lock(mutex_);
    for (Slot& slot : slots_) {
        const uint64_t failed = slot.opened ? slot.opened->failedReads() : 0;
        if (failed > slot.failuresReported) {
            reports_.push_back(readFailureReport(slot.label, slot.opened->readError(),
                                                 failed - slot.failuresReported));
            slot.failuresReported = failed;
        }
    }
    return std::exchange(reports_, {});
}
