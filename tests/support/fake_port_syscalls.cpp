#include "tests/support/fake_port_syscalls.h"

#include <cerrno>
#include <cstdio>
#include <set>

namespace {

const std::string kParportDirectory = "/proc/sys/dev/parport";

}  // namespace

void FakePortSyscalls::addParport(int number, uint16_t base, FakeParportDevice device) {
    baseAddressTexts[number] = std::to_string(base) + "\t-1\n";
    devices["/dev/parport" + std::to_string(number)] = device;
}

int FakePortSyscalls::claimedDescriptors() const {
    int claimed = 0;
    for (const auto& [fd, descriptor] : descriptors_) {
        claimed += descriptor.claimed ? 1 : 0;
    }
    return claimed;
}

int FakePortSyscalls::grantPorts(uint16_t first, uint16_t count, bool enable) {
    std::lock_guard lock(mutex_);
    char call[32];
    std::snprintf(call, sizeof call, "%s 0x%X+%u", enable ? "grant" : "revoke", first, count);
    calls.emplace_back(call);
    if (enable && grantError != 0) {
        return -grantError;
    }
    for (uint16_t address = first; address < first + count; ++address) {
        const auto key = std::make_pair(std::this_thread::get_id(), address);
        enable ? (void)grants_.insert(key) : (void)grants_.erase(key);
    }
    return 0;
}

uint8_t FakePortSyscalls::inPort(uint16_t address) {
    std::lock_guard lock(mutex_);
    if (grants_.count({std::this_thread::get_id(), address}) == 0) {
        ++misuses;  // the real inb would kill the program here
        return 0;
    }
    const auto found = ioPorts.find(address);
    return found == ioPorts.end() ? 0xFF : found->second;
}

int FakePortSyscalls::openDevice(const std::string& path) {
    std::lock_guard lock(mutex_);
    calls.push_back("open " + path);
    const auto found = devices.find(path);
    if (found == devices.end() || found->second.openError != 0) {
        return found == devices.end() ? -ENOENT : -found->second.openError;
    }
    descriptors_[nextDescriptor_] = Descriptor{path};
    return nextDescriptor_++;
}

FakePortSyscalls::Descriptor* FakePortSyscalls::find(int fd, const char* call) {
    if (call != nullptr) {
        calls.push_back(std::string(call) + " " + std::to_string(fd));
    }
    const auto found = descriptors_.find(fd);
    if (found == descriptors_.end()) {
        ++misuses;
        return nullptr;
    }
    return &found->second;
}

void FakePortSyscalls::closeDevice(int fd) {
    std::lock_guard lock(mutex_);
    if (find(fd, "close") != nullptr) {
        descriptors_.erase(fd);
    }
}

int FakePortSyscalls::setExclusive(int fd) {
    std::lock_guard lock(mutex_);
    Descriptor* descriptor = find(fd, "excl");
    if (descriptor == nullptr || descriptor->claimed) {
        return -EINVAL;  // like ppdev: only before the first claim
    }
    descriptor->exclusive = true;
    return 0;
}

int FakePortSyscalls::claim(int fd) {
    std::lock_guard lock(mutex_);
    Descriptor* descriptor = find(fd, "claim");
    if (descriptor == nullptr) {
        return -EBADF;
    }
    const FakeParportDevice& device = devices[descriptor->path];
    const int error = descriptor->exclusive ? device.exclusiveClaimError : device.claimError;
    descriptor->claimed = error == 0;
    return -error;
}

int FakePortSyscalls::readStatus(int fd, uint8_t& status) {
    std::lock_guard lock(mutex_);
    Descriptor* descriptor = find(fd, nullptr);
    if (descriptor == nullptr || !descriptor->claimed) {
        misuses += descriptor != nullptr ? 1 : 0;
        return -EINVAL;
    }
    FakeParportDevice& device = devices[descriptor->path];
    const uint64_t read = device.statusReads++;
    if (device.readError != 0 && read >= device.failFrom && read < device.failUntil) {
        return -device.readError;
    }
    status = device.status;
    return 0;
}

int FakePortSyscalls::release(int fd) {
    std::lock_guard lock(mutex_);
    Descriptor* descriptor = find(fd, "release");
    if (descriptor == nullptr || !descriptor->claimed) {
        misuses += descriptor != nullptr ? 1 : 0;
        return -EINVAL;
    }
    descriptor->claimed = false;
    return 0;
}

int FakePortSyscalls::readTextFile(const std::string& path, std::string& text) {
    std::lock_guard lock(mutex_);
    for (const auto& [number, content] : baseAddressTexts) {
        if (path == kParportDirectory + "/parport" + std::to_string(number) + "/base-addr") {
            text = content;
            return 0;
        }
    }
    return -ENOENT;
}

int FakePortSyscalls::listDirectory(const std::string& path, std::vector<std::string>& names) {
    std::lock_guard lock(mutex_);
    if (path != kParportDirectory || listError != 0) {
        return path != kParportDirectory ? -ENOENT : -listError;
    }
    // Sorted as text, so parport10 comes before parport2: the kernel promises no order.
    std::set<std::string> entries = {"default"};
    for (const auto& [number, content] : baseAddressTexts) {
        entries.insert("parport" + std::to_string(number));
    }
    names.assign(entries.begin(), entries.end());
    return 0;
}
