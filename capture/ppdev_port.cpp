#include "capture/ppdev_port.h"

#include <cerrno>

#include "capture/port_syscalls.h"

namespace {

// A claimed descriptor, or minus the errno value of the step that failed.
int openAndClaim(PortSyscalls& syscalls, const std::string& device) {
    int fd = syscalls.openDevice(device);
    if (fd < 0) {
        return fd;
    }
    const bool exclusive = syscalls.setExclusive(fd) == 0;
    int result = syscalls.claim(fd);
    if (exclusive && isPortBusyError(-result)) {
        // The exclusive wish sticks to the descriptor; only a fresh one can claim shared.
        syscalls.closeDevice(fd);
        fd = syscalls.openDevice(device);
        if (fd < 0) {
            return fd;
        }
        result = syscalls.claim(fd);
    }
    if (result != 0) {
        syscalls.closeDevice(fd);
        return result;
    }
    return fd;
}

}  // namespace

bool isPortBusyError(int error) {
    return error == ENXIO || error == EBUSY || error == ENODEV;
}

PpdevPort::PpdevPort(PortSyscalls& syscalls, int fd) : syscalls_(syscalls), fd_(fd) {}

PpdevPort::~PpdevPort() {
    syscalls_.release(fd_);
    syscalls_.closeDevice(fd_);
}

uint8_t PpdevPort::read() {
    uint8_t status = kAbsentByte;
    const int result = syscalls_.readStatus(fd_, status);
    return result == 0 ? status : failedRead(-result);
}

std::string parportDevice(int parport) {
    return "/dev/parport" + std::to_string(parport);
}

PpdevOpening openPpdevPort(PortSyscalls& syscalls, int parport) {
    PpdevOpening opening;
    const int fd = openAndClaim(syscalls, parportDevice(parport));
    if (fd < 0) {
        opening.error = -fd;
        return opening;
    }
    opening.port = std::make_unique<PpdevPort>(syscalls, fd);
    return opening;
}
