#include "capture/port_syscalls.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define PINPROBE_HAS_PORT_IO 1
#else
#define PINPROBE_HAS_PORT_IO 0
#endif

namespace {

int resultOf(int returned) {
    return returned < 0 ? -errno : returned;
}

class LinuxPortSyscalls final : public PortSyscalls {
public:
    int grantPorts(uint16_t first, uint16_t count, bool enable) override {
#if PINPROBE_HAS_PORT_IO
        return resultOf(ioperm(first, count, enable ? 1 : 0));
#else
        (void)first;
        (void)count;
        (void)enable;
        return -ENOSYS;
#endif
    }

    uint8_t inPort(uint16_t address) override {
#if PINPROBE_HAS_PORT_IO
        return inb(address);
#else
        (void)address;
        return 0xFF;
#endif
    }

    int openDevice(const std::string& path) override {
        return resultOf(open(path.c_str(), O_RDWR | O_CLOEXEC));
    }
    void closeDevice(int fd) override {
        close(fd);
    }
    int setExclusive(int fd) override {
        return resultOf(ioctl(fd, PPEXCL));
    }
    int claim(int fd) override {
        return resultOf(ioctl(fd, PPCLAIM));
    }
    int release(int fd) override {
        return resultOf(ioctl(fd, PPRELEASE));
    }

    int readStatus(int fd, uint8_t& status) override {
        unsigned char reg = 0;
        const int result = resultOf(ioctl(fd, PPRSTATUS, &reg));
        status = reg;
        return result;
    }

    int readTextFile(const std::string& path, std::string& text) override;
    int listDirectory(const std::string& path, std::vector<std::string>& names) override;
};

int LinuxPortSyscalls::readTextFile(const std::string& path, std::string& text) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return -errno;
    }
    // The files read here are one short line; anything past this is not needed.
    char buffer[256];
    const ssize_t got = read(fd, buffer, sizeof buffer);
    const int error = got < 0 ? -errno : 0;
    close(fd);
    if (error == 0) {
        text.assign(buffer, static_cast<size_t>(got));
    }
    return error;
}

int LinuxPortSyscalls::listDirectory(const std::string& path, std::vector<std::string>& names) {
    DIR* directory = opendir(path.c_str());
    if (directory == nullptr) {
        return -errno;
    }
    names.clear();
    while (const dirent* entry = readdir(directory)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
            names.emplace_back(entry->d_name);
        }
    }
    closedir(directory);
    return 0;
}

}  // namespace

PortSyscalls& systemPortSyscalls() {
    static LinuxPortSyscalls syscalls;
    return syscalls;
}
