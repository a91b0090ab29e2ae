#include "scopefile/descriptor_name.h"

#include <unistd.h>

#include <array>
#include <charconv>
#include <string>
#include <utility>

namespace {

constexpr std::array<std::pair<std::string_view, int>, 3> kStandardNames{
    {{"/dev/stdin", 0}, {"/dev/stdout", 1}, {"/dev/stderr", 2}}};

// The number that all of `text` is, as the kernel reads a name under /proc/PID/fd: digits,
// without a leading zero; -1 for anything else.
int numberName(std::string_view text) {
    int number = -1;
    if (text.empty() || (text.size() > 1 && text.front() == '0') || text.front() < '0' ||
        text.front() > '9') {
        return -1;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size() ? number : -1;
}

// N of "<folder>N", or -1.
int numberAfter(std::string_view path, std::string_view folder) {
    return path.starts_with(folder) ? numberName(path.substr(folder.size())) : -1;
}

}  // namespace

int descriptorNamed(std::string_view path) {
    for (const auto& [name, descriptor] : kStandardNames) {
        if (path == name) {
            return descriptor;
        }
    }
    const std::string ownProcess = "/proc/" + std::to_string(getpid()) + "/fd/";
    for (const std::string_view folder :
         {std::string_view("/dev/fd/"), std::string_view("/proc/self/fd/"),
          std::string_view("/proc/thread-self/fd/"), std::string_view(ownProcess)}) {
        if (const int descriptor = numberAfter(path, folder); descriptor >= 0) {
            return descriptor;
        }
    }
    return -1;
}
