#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class PortSyscalls;

// Where LPT1 or LPT2 is found: by the listing rule (the default), or where the user said.
struct PortChoice {
    enum class Kind : uint8_t { Listing, Device, Base };
    Kind kind = Kind::Listing;
    int parport = -1;   // Device: the N of /dev/parportN
    uint16_t base = 0;  // Base: the I/O base address
};

// LPT1's choice, then LPT2's.
using PortChoices = std::array<PortChoice, 2>;

// A device "/dev/parportN" or a base address in hex ("0xd010"); false for anything else.
bool parsePortLocation(std::string_view text, PortChoice& choice);

// A port as pinprobe-cli's --port takes it: "lpt1" or "lpt2" (any case) set `portNumber`; a
// device or a base address sets `choice` and takes LPT1's place (portNumber 1).
bool parsePortName(std::string_view text, uint8_t& portNumber, PortChoice& choice);

// One parallel port the kernel lists under /proc/sys/dev/parport.
struct ListedPort {
    int parport;  // the N of /dev/parportN
    uint16_t base;
};

struct PortListing {
    std::vector<ListedPort> ports;  // in the kernel's order, parport0 first
    int error = 0;                  // errno value when the listing could not be read
};

// The kernel's listing; entries whose base address cannot be read are left out.
PortListing readPortListing(PortSyscalls& syscalls);

// The port a choice stands for.
struct PortTarget {
    uint16_t base = 0;    // 0 when unknown: a device the kernel does not list
    int parport = -1;     // the N of /dev/parportN to open; -1 for none
    bool listed = false;  // the kernel lists a port there
};

// The port LPT`portNumber` (1 or 2) stands for under `choice`. By the listing rule LPT1 is the
// port at 0x378, else the first listed one not at 0x278; LPT2 the port at 0x278, else the first
// listed one not at 0x378 and not LPT1. Without a listed port the legacy base stands.
PortTarget resolvePort(const PortListing& listing, uint8_t portNumber, const PortChoice& choice);

// The legacy I/O base of LPT`portNumber`: 0x378, 0x278, or 0 for any other number.
uint16_t legacyPortBase(uint8_t portNumber);

// "0x378", "0xd010".
std::string hexAddress(uint16_t address);
