#include "capture/ppdev_port.h"

#include <cerrno>
#include <charconv>
#include <string_view>
#include <vector>

#include "capture/port_syscalls.h"

namespace {

constexpr std::string_view kParportDirectory = "/proc/sys/dev/parport";
constexpr std::string_view kParportPrefix = "parport";

// The N of a "parportN" entry, or -1 for any other entry (such as "default").
int parportNumberOf(std::string_view name) {
    if (name.substr(0, kParportPrefix.size()) != kParportPrefix) {
        return -1;
    }
    const std::string_view digits = name.substr(kParportPrefix.size());
    int number = -1;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
        return -1;
    }
    return number;
}

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

// The first number of a base-addr file; false when it does not start with one.
bool parseBaseAddress(const std::string& text, unsigned long& base) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    while (first != last && (*first == ' ' || *first == '\t')) {
        ++first;
    }
    const auto [end, error] = std::from_chars(first, last, base);
    return error == std::errc() && end != first;
}

bool parportHasBase(PortSyscalls& syscalls, const std::string& name, uint16_t base) {
    std::string text;
    unsigned long found = 0;
    return syscalls.readTextFile(std::string(kParportDirectory) + "/" + name + "/base-addr",
                                 text) == 0 &&
           parseBaseAddress(text, found) && found == base;
}

}  // namespace

// The parportN whose base-addr file starts with `base` (in decimal); the lowest when several do.
// The numbers are the kernel's order of registration, not LPT numbers.
ParportSearch findParportAt(PortSyscalls& syscalls, uint16_t base) {
    ParportSearch search;
    std::vector<std::string> names;
    search.error = -syscalls.listDirectory(std::string(kParportDirectory), names);
    if (search.error != 0) {
        return search;
    }
    for (const std::string& name : names) {
        const int number = parportNumberOf(name);
        const bool lower = search.number < 0 || number < search.number;
        if (number >= 0 && lower && parportHasBase(syscalls, name, base)) {
            search.number = number;
        }
    }
    return search;
}

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

PpdevOpening openPpdevPort(PortSyscalls& syscalls, uint16_t base) {
    PpdevOpening opening;
    opening.search = findParportAt(syscalls, base);
    if (opening.search.number < 0) {
        return opening;
    }
    opening.device = "/dev/parport" + std::to_string(opening.search.number);
    const int fd = openAndClaim(syscalls, opening.device);
    if (fd < 0) {
        opening.error = -fd;
        return opening;
    }
    opening.port = std::make_unique<PpdevPort>(syscalls, fd);
    return opening;
}
