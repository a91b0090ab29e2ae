#include "capture/port_choice.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

#include "capture/port_syscalls.h"

namespace {

constexpr std::string_view kParportDirectory = "/proc/sys/dev/parport";
constexpr std::string_view kParportPrefix = "parport";
constexpr std::string_view kDevicePrefix = "/dev/parport";
constexpr uint16_t kLpt1Base = 0x378;
constexpr uint16_t kLpt2Base = 0x278;
// The data, status and control registers must all have an address.
constexpr unsigned kHighestBase = 0xFFFD;

// The whole of `text` as a number in `radix`; false for anything else, a sign included.
template <typename Number>
bool wholeNumber(std::string_view text, Number& number, int radix = 10) {
    const char* last = text.data() + text.size();
    if (text.empty() || !std::isxdigit(static_cast<unsigned char>(text.front()))) {
        return false;
    }
    const auto [end, error] = std::from_chars(text.data(), last, number, radix);
    return error == std::errc() && end == last;
}

// The N of "<prefix>N" as the kernel names its ports, without a leading zero (a device
// "/dev/parport00" is not /dev/parport0), or -1.
int numberAfter(std::string_view text, std::string_view prefix) {
    int number = -1;
    const std::string_view digits = text.substr(std::min(prefix.size(), text.size()));
    if (text.substr(0, prefix.size()) != prefix || (digits.size() > 1 && digits.front() == '0') ||
        !wholeNumber(digits, number)) {
        return -1;
    }
    return number;
}

bool parseBase(std::string_view text, uint16_t& base) {
    unsigned value = 0;
    if (text.size() < 3 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X') ||
        !wholeNumber(text.substr(2), value, 16) || value == 0 || value > kHighestBase) {
        return false;
    }
    base = static_cast<uint16_t>(value);
    return true;
}

// The first number of a base-addr file ("888\t-1\n"); false when it does not start with one.
bool parseBaseAddress(const std::string& text, unsigned long& base) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    while (first != last && (*first == ' ' || *first == '\t')) {
        ++first;
    }
    const auto [end, error] = std::from_chars(first, last, base);
    return error == std::errc() && end != first;
}

const ListedPort* listedAt(const PortListing& listing, uint16_t base) {
    const auto found = std::find_if(listing.ports.begin(), listing.ports.end(),
                                    [&](const ListedPort& port) { return port.base == base; });
    return found != listing.ports.end() ? &*found : nullptr;
}

// The first listed port that is neither at `otherBase` nor `taken`.
const ListedPort* firstElsewhere(const PortListing& listing, uint16_t otherBase,
                                 const ListedPort* taken) {
    for (const ListedPort& port : listing.ports) {
        if (port.base != otherBase && &port != taken) {
            return &port;
        }
    }
    return nullptr;
}

const ListedPort* lpt1Port(const PortListing& listing) {
    const ListedPort* port = listedAt(listing, kLpt1Base);
    return port != nullptr ? port : firstElsewhere(listing, kLpt2Base, nullptr);
}

const ListedPort* lpt2Port(const PortListing& listing) {
    const ListedPort* port = listedAt(listing, kLpt2Base);
    return port != nullptr ? port : firstElsewhere(listing, kLpt1Base, lpt1Port(listing));
}

PortTarget targetOf(const ListedPort* port, uint16_t baseWhenNone) {
    return port != nullptr ? PortTarget{port->base, port->parport, true}
                           : PortTarget{baseWhenNone, -1, false};
}

}  // namespace

bool parsePortLocation(std::string_view text, PortChoice& choice) {
    const int parport = numberAfter(text, kDevicePrefix);
    if (parport >= 0) {
        choice = PortChoice{PortChoice::Kind::Device, parport, 0};
        return true;
    }
    uint16_t base = 0;
    if (parseBase(text, base)) {
        choice = PortChoice{PortChoice::Kind::Base, -1, base};
        return true;
    }
    return false;
}

bool parsePortName(std::string_view text, uint8_t& portNumber, PortChoice& choice) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "lpt1" || lower == "lpt2") {
        portNumber = lower == "lpt1" ? 1 : 2;
        choice = PortChoice{};
        return true;
    }
    if (!parsePortLocation(text, choice)) {
        return false;
    }
    portNumber = 1;
    return true;
}

PortListing readPortListing(PortSyscalls& syscalls) {
    PortListing listing;
    std::vector<std::string> names;
    listing.error = -syscalls.listDirectory(std::string(kParportDirectory), names);
    if (listing.error != 0) {
        return listing;
    }
    for (const std::string& name : names) {
        const int parport = numberAfter(name, kParportPrefix);
        std::string text;
        unsigned long base = 0;
        if (parport >= 0 &&
            syscalls.readTextFile(std::string(kParportDirectory) + "/" + name + "/base-addr",
                                  text) == 0 &&
            parseBaseAddress(text, base) && base > 0 && base <= kHighestBase) {
            listing.ports.push_back(ListedPort{parport, static_cast<uint16_t>(base)});
        }
    }
    // The kernel numbers its ports in the order it found them; the directory promises no order.
    std::sort(listing.ports.begin(), listing.ports.end(),
              [](const ListedPort& a, const ListedPort& b) { return a.parport < b.parport; });
    return listing;
}

PortTarget resolvePort(const PortListing& listing, uint8_t portNumber, const PortChoice& choice) {
    switch (choice.kind) {
        case PortChoice::Kind::Device: {
            const auto found = std::find_if(
                listing.ports.begin(), listing.ports.end(),
                [&](const ListedPort& port) { return port.parport == choice.parport; });
            return found != listing.ports.end() ? PortTarget{found->base, found->parport, true}
                                                : PortTarget{0, choice.parport, false};
        }
        case PortChoice::Kind::Base:
            return targetOf(listedAt(listing, choice.base), choice.base);
        case PortChoice::Kind::Listing:
            break;
    }
    if (portNumber != 1 && portNumber != 2) {
        return PortTarget{};
    }
    return targetOf(portNumber == 1 ? lpt1Port(listing) : lpt2Port(listing),
                    legacyPortBase(portNumber));
}

uint16_t legacyPortBase(uint8_t portNumber) {
    return portNumber == 1 ? kLpt1Base : portNumber == 2 ? kLpt2Base : 0;
}

std::string hexAddress(uint16_t address) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%03x", static_cast<unsigned>(address));
    return text;
}
