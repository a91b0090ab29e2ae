#include "capture/hardware_port_access.h"

#include <cerrno>
#include <cstdio>
#include <system_error>
#include <utility>

#include "capture/direct_io_port.h"
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

std::string hex(uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%03X", static_cast<unsigned>(value));
    return text;
}

std::string errorText(int error) {
    return std::generic_category().message(error);
}

std::string portTitle(uint8_t portNumber) {
    return "LPT" + std::to_string(portNumber) + " (" + hex(printerPortBase(portNumber)) + ")";
}

std::string ppdevReason(const PpdevOpening& ppdev, uint16_t base) {
    const int error = ppdev.search.number < 0 ? ppdev.search.error : ppdev.error;
    if (ppdev.search.number < 0 && error == 0) {
        return "No parallel port at " + hex(base) + " was found.";
    }
    if (error == ENOENT) {
        return "The parallel port drivers are not loaded; load them with: sudo modprobe parport_pc "
               "ppdev";
    }
    if (ppdev.search.number < 0) {
        return "The parallel ports could not be listed: " + errorText(error) + ".";
    }
    if (error == EACCES || error == EPERM) {
        return "No permission to open " + ppdev.device +
               ": join the group lp (sudo adduser $USER lp) and log in again.";
    }
    if (isPortBusyError(error)) {
        return ppdev.device +
               " is busy or gone, for example held by the printer driver lp (sudo rmmod lp).";
    }
    return ppdev.device + ": " + errorText(error) + ".";
}

std::string directReason(int error) {
    if (error == EPERM || error == EACCES) {
        return "Direct port I/O was refused: it needs CAP_SYS_RAWIO (run as root, or sudo setcap "
               "cap_sys_rawio+ep on the program), or kernel lockdown (Secure Boot) blocks it.";
    }
    if (error == ENOSYS) {
        return "Direct port I/O is not available on this system.";
    }
    return "Direct port I/O failed: " + errorText(error) + ".";
}

std::string openingReport(uint8_t portNumber, int directError, const PpdevOpening& ppdev) {
    return portTitle(portNumber) +
           " could not be opened; it reads 0xFF until Pinprobe is restarted.\n" +
           ppdevReason(ppdev, printerPortBase(portNumber)) + "\n" + directReason(directError);
}

}  // namespace

uint16_t printerPortBase(uint8_t portNumber) {
    switch (portNumber) {
        case 1:
            return 0x378;
        case 2:
            return 0x278;
        default:
            return 0;
    }
}

HardwarePortAccess::HardwarePortAccess(PortSyscalls& syscalls) : syscalls_(syscalls) {}

StatusPort& HardwarePortAccess::port(uint8_t portNumber) {
    const int slotIndex = slotOf(portNumber);
    if (StatusPort* ready = slots_[slotIndex].ready.load(std::memory_order_acquire)) {
        return *ready;
    }
    std::lock_guard lock(mutex_);
    StatusPort* ready = slots_[slotIndex].ready.load(std::memory_order_relaxed);
    if (ready == nullptr) {
        ready = &open(slotIndex, portNumber);
        slots_[slotIndex].ready.store(ready, std::memory_order_release);
    }
    return *ready;
}

StatusPort& HardwarePortAccess::open(int slotIndex, uint8_t portNumber) {
    Slot& slot = slots_[slotIndex];
    const uint16_t base = printerPortBase(portNumber);
    if (base == 0) {
        reports_.push_back("LPT" + std::to_string(portNumber) +
                           " is not a port Pinprobe can open, so it reads 0xFF.");
        return absentPort();
    }
    int directError = 0;
    slot.opened = DirectIoPort::open(syscalls_, base, slotIndex, directError);
    if (slot.opened) {
        reportIfNothingAnswers(portNumber, *slot.opened);
        return *slot.opened;
    }
    PpdevOpening ppdev = openPpdevPort(syscalls_, base);
    if (ppdev.port) {
        slot.opened = std::move(ppdev.port);
        return *slot.opened;
    }
    reports_.push_back(openingReport(portNumber, directError, ppdev));
    return absentPort();
}

// Direct I/O opens any address, port or not. With no parport the kernel knows of at that base, an
// idle 0xFF (floating lines) means there is most likely nothing there.
void HardwarePortAccess::reportIfNothingAnswers(uint8_t portNumber, StatusPort& port) {
    const uint16_t base = printerPortBase(portNumber);
    if (findParportAt(syscalls_, base).number >= 0 || port.read() != 0xFF) {
        return;
    }
    reports_.push_back(portTitle(portNumber) +
                       " reads 0xFF and the kernel lists no parallel port there: the port is "
                       "probably absent or switched off. Enable it in the firmware setup, or load "
                       "its driver (sudo modprobe parport_pc) to check.");
}

std::vector<std::string> HardwarePortAccess::takeReports() {
    std::lock_guard lock(mutex_);
    for (int slotIndex = 0; slotIndex < kOtherSlot; ++slotIndex) {
        Slot& slot = slots_[slotIndex];
        const int error = slot.opened ? slot.opened->readError() : 0;
        if (error != 0 && !slot.readErrorReported) {
            slot.readErrorReported = true;
            const uint8_t portNumber = static_cast<uint8_t>(slotIndex + 1);
            reports_.push_back("Reading " + portTitle(portNumber) + " failed (" + errorText(error) +
                               "), so some samples read 0xFF.");
        }
    }
    return std::exchange(reports_, {});
}
