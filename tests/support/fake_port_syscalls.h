#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "capture/port_syscalls.h"

// One /dev/parportN of the fake. Errors are errno values, 0 for success.
struct FakeParportDevice {
    int openError = 0;
    int exclusiveClaimError = 0;  // PPCLAIM on a descriptor that asked PPEXCL
    int claimError = 0;           // PPCLAIM without PPEXCL
    int readError = 0;            // PPRSTATUS, for the reads from failFrom up to failUntil
    uint8_t status = 0;
    uint64_t failFrom = 0;  // counted from the device's first status read
    uint64_t failUntil = UINT64_MAX;
    uint64_t statusReads = 0;  // made so far
};

// A machine's printer-port plumbing in memory. Grants are kept per thread, as the kernel does.
// Set the public configuration while no other thread uses the fake; the calls themselves are
// safe from several threads. Misuse (an inb without a grant, a status read without a claim,
// closing an unknown descriptor) is counted, not crashed on.
class FakePortSyscalls final : public PortSyscalls {
public:
    int grantError = EPERM;
    int listError = 0;                            // listing /proc/sys/dev/parport
    std::map<uint16_t, uint8_t> ioPorts;          // what inb gives; 0xFF elsewhere
    std::map<int, std::string> baseAddressTexts;  // parportN -> its base-addr file
    std::map<std::string, FakeParportDevice> devices;

    // Adds parportN at `base` with its node /dev/parportN.
    void addParport(int number, uint16_t base, FakeParportDevice device = {});

    // Read these once the other threads are done. Calls are logged like "grant 0x378+3",
    // "open /dev/parport0", "excl 3", "claim 3", "release 3", "close 3"; reads are not.
    std::vector<std::string> calls;
    int misuses = 0;
    int openDescriptors() const { return static_cast<int>(descriptors_.size()); }
    int claimedDescriptors() const;
    int grantedPorts() const { return static_cast<int>(grants_.size()); }

    int grantPorts(uint16_t first, uint16_t count, bool enable) override;
    uint8_t inPort(uint16_t address) override;
    int openDevice(const std::string& path) override;
    void closeDevice(int fd) override;
    int setExclusive(int fd) override;
    int claim(int fd) override;
    int readStatus(int fd, uint8_t& status) override;
    int release(int fd) override;
    int readTextFile(const std::string& path, std::string& text) override;
    int listDirectory(const std::string& path, std::vector<std::string>& names) override;

private:
    struct Descriptor {
        std::string path;
        bool exclusive = false;
        bool claimed = false;
    };

    // The descriptor `fd` (counting a misuse when there is none) after logging `call`.
    Descriptor* find(int fd, const char* call);

    std::mutex mutex_;
    std::map<int, Descriptor> descriptors_;
    std::set<std::pair<std::thread::id, uint16_t>> grants_;
    int nextDescriptor_ = 3;
};
