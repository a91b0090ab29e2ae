#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The system calls behind the hardware ports, one virtual each, so that tests can play every
// error without a port. Results are 0 (or a descriptor) on success and minus the errno value on
// failure.
class PortSyscalls {
public:
    virtual ~PortSyscalls() = default;

    // ioperm on the calling thread only; -ENOSYS where the processor has no I/O ports.
    virtual int grantPorts(uint16_t first, uint16_t count, bool enable) = 0;
    // inb; only after grantPorts succeeded on the calling thread.
    virtual uint8_t inPort(uint16_t address) = 0;

    // open(path, O_RDWR) of a ppdev node.
    virtual int openDevice(const std::string& path) = 0;
    virtual void closeDevice(int fd) = 0;
    virtual int setExclusive(int fd) = 0;                 // PPEXCL
    virtual int claim(int fd) = 0;                        // PPCLAIM
    virtual int readStatus(int fd, uint8_t& status) = 0;  // PPRSTATUS
    virtual int release(int fd) = 0;                      // PPRELEASE

    // The whole (small) file at `path`, e.g. a parport's base-addr.
    virtual int readTextFile(const std::string& path, std::string& text) = 0;
    // The entry names in directory `path`, without "." and "..".
    virtual int listDirectory(const std::string& path, std::vector<std::string>& names) = 0;
};

// The real calls of this machine.
PortSyscalls& systemPortSyscalls();
