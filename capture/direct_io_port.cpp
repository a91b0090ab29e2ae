#include "capture/direct_io_port.h"

#include <atomic>

#include "capture/port_syscalls.h"

namespace {

// Data, status and control registers.
constexpr uint16_t kRangeLength = 3;
constexpr uint16_t kStatusOffset = 1;
constexpr int kSlots = 2;
// Marks a serial whose grant the kernel refused on this thread, so it is not asked again per read.
constexpr uint64_t kRefused = uint64_t{1} << 63;

std::atomic<uint64_t> nextSerial{1};

// Which port instance each slot's range was granted for on this thread.
thread_local uint64_t grantedOnThisThread[kSlots] = {};

}  // namespace

std::unique_ptr<DirectIoPort> DirectIoPort::open(PortSyscalls& syscalls, uint16_t base, int slot,
                                                 int& error) {
    error = -syscalls.grantPorts(base, kRangeLength, true);
    if (error != 0) {
        return nullptr;
    }
    std::unique_ptr<DirectIoPort> port(new DirectIoPort(syscalls, base, slot));
    grantedOnThisThread[slot] = port->serial_;
    return port;
}

DirectIoPort::DirectIoPort(PortSyscalls& syscalls, uint16_t base, int slot)
    : syscalls_(syscalls),
      base_(base),
      slot_(slot < 0 || slot >= kSlots ? 0 : slot),
      serial_(nextSerial.fetch_add(1)) {}

DirectIoPort::~DirectIoPort() {
    if (grantedOnThisThread[slot_] == serial_) {
        syscalls_.grantPorts(base_, kRangeLength, false);
        grantedOnThisThread[slot_] = 0;
    }
}

uint8_t DirectIoPort::read() {
    if (grantedOnThisThread[slot_] != serial_) {
        return readOnUngrantedThread();
    }
    return syscalls_.inPort(base_ + kStatusOffset);
}

uint8_t DirectIoPort::readOnUngrantedThread() {
    uint64_t& granted = grantedOnThisThread[slot_];
    if (granted == (serial_ | kRefused)) {
        return failedRead(readError());
    }
    const int result = syscalls_.grantPorts(base_, kRangeLength, true);
    if (result != 0) {
        granted = serial_ | kRefused;
        return failedRead(-result);
    }
    granted = serial_;
    return syscalls_.inPort(base_ + kStatusOffset);
}
