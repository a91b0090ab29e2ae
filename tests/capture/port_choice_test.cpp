#include "capture/port_choice.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/fake_port_syscalls.h"

namespace {

using Kind = PortChoice::Kind;

struct ParseCase {
    const char* text;
    bool accepted;
    uint8_t portNumber = 0;
    Kind kind = Kind::Listing;
    int parport = -1;
    uint16_t base = 0;
};

TEST(PortName, TakesLptNamesDevicesAndHexBasesOnly) {
    const std::vector<ParseCase> cases = {
        {"lpt1", true, 1},
        {"LPT2", true, 2},
        {"/dev/parport0", true, 1, Kind::Device, 0},
        {"/dev/parport12", true, 1, Kind::Device, 12},
        {"0xd010", true, 1, Kind::Base, -1, 0xD010},
        {"0X3BC", true, 1, Kind::Base, -1, 0x3BC},
        {"0xfffd", true, 1, Kind::Base, -1, 0xFFFD},
        {"lpt3", false},
        {"", false},
        {"/dev/parport", false},
        {"/dev/parport-1", false},
        {"/dev/parport+1", false},
        {"/dev/parport1x", false},
        {"/dev/lp0", false},
        {"parport0", false},
        {"d010", false},
        {"888", false},  // decimal would read "378" as 0x17a: only hex is taken
        {"0x", false},
        {"0x0", false},
        {"0x-1", false},
        {"0xfffe", false},  // its control register would lie beyond 0xffff
        {"0x10000", false},
        {" 0x378", false},
        {"0x378 ", false},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.text);
        uint8_t portNumber = 0;
        PortChoice choice{Kind::Device, 99, 99};
        ASSERT_EQ(parsePortName(c.text, portNumber, choice), c.accepted);
        if (c.accepted) {
            EXPECT_EQ(portNumber, c.portNumber);
            EXPECT_EQ(choice.kind, c.kind);
            EXPECT_EQ(choice.parport, c.parport);
            EXPECT_EQ(choice.base, c.base);
        }
    }
}

TEST(PortLocation, RefusesLptNames) {
    PortChoice choice;
    EXPECT_FALSE(parsePortLocation("lpt1", choice));
    EXPECT_TRUE(parsePortLocation("/dev/parport3", choice));
    EXPECT_EQ(choice.parport, 3);
}

struct Listed {
    int parport;
    uint16_t base;
};

struct ResolveCase {
    const char* name;
    std::vector<Listed> listing;
    int listError;
    // What LPT1 and LPT2 resolve to by the listing rule.
    PortTarget lpt1;
    PortTarget lpt2;
};

void expectTarget(const PortTarget& actual, const PortTarget& expected, const char* which) {
    SCOPED_TRACE(which);
    EXPECT_EQ(actual.base, expected.base);
    EXPECT_EQ(actual.parport, expected.parport);
    EXPECT_EQ(actual.listed, expected.listed);
}

PortListing listingOf(const std::vector<Listed>& ports, int listError) {
    FakePortSyscalls fake;
    fake.listError = listError;
    for (const Listed& port : ports) {
        fake.addParport(port.parport, port.base);
    }
    return readPortListing(fake);
}

TEST(PortListingRule, FindsLpt1AndLpt2AmongTheListedPorts) {
    const PortTarget legacy1{0x378, -1, false};
    const PortTarget legacy2{0x278, -1, false};
    const std::vector<ResolveCase> cases = {
        {"legacy only, numbered the other way",
         {{0, 0x278}, {1, 0x378}},
         0,
         {0x378, 1, true},
         {0x278, 0, true}},
        {"PCIe only", {{0, 0xD010}}, 0, {0xD010, 0, true}, legacy2},
        {"mixed: a card and LPT2",
         {{0, 0x278}, {1, 0xD010}},
         0,
         {0xD010, 1, true},
         {0x278, 0, true}},
        {"mixed: LPT1 and a card",
         {{0, 0xD010}, {1, 0x378}},
         0,
         {0x378, 1, true},
         {0xD010, 0, true}},
        {"two cards", {{0, 0xD010}, {1, 0xE000}}, 0, {0xD010, 0, true}, {0xE000, 1, true}},
        {"the kernel's order is by number",
         {{10, 0xE000}, {2, 0xD010}},
         0,
         {0xD010, 2, true},
         {0xE000, 10, true}},
        {"0x3BC only", {{0, 0x3BC}}, 0, {0x3BC, 0, true}, legacy2},
        {"0x3BC beside LPT1", {{0, 0x3BC}, {1, 0x378}}, 0, {0x378, 1, true}, {0x3BC, 0, true}},
        {"two ports at one base: the lower number",
         {{3, 0x378}, {1, 0x378}},
         0,
         {0x378, 1, true},
         legacy2},
        {"no listing: no parport_pc", {}, ENOENT, legacy1, legacy2},
        {"listing without ports", {}, 0, legacy1, legacy2},
    };
    for (const ResolveCase& c : cases) {
        SCOPED_TRACE(c.name);
        const PortListing listing = listingOf(c.listing, c.listError);
        EXPECT_EQ(listing.error, c.listError);
        expectTarget(resolvePort(listing, 1, PortChoice{}), c.lpt1, "LPT1");
        expectTarget(resolvePort(listing, 2, PortChoice{}), c.lpt2, "LPT2");
    }
}

TEST(PortListingRule, SkipsEntriesWithoutAReadableBase) {
    FakePortSyscalls fake;
    fake.addParport(0, 0x378);
    fake.addParport(1, 0xD010);
    fake.addParport(2, 0x278);
    fake.baseAddressTexts[0] = "garbage\n";
    fake.baseAddressTexts[2] = "70000\t-1\n";
    const PortListing listing = readPortListing(fake);
    ASSERT_EQ(listing.ports.size(), 1u);
    EXPECT_EQ(listing.ports[0].parport, 1);
    EXPECT_EQ(listing.ports[0].base, 0xD010);
}

TEST(PortListingRule, AnExplicitDeviceOrBaseReplacesTheRule) {
    struct Case {
        const char* name;
        const char* location;
        PortTarget expected;
    };
    const std::vector<Case> cases = {
        {"listed device", "/dev/parport1", {0xD010, 1, true}},
        {"device the kernel does not list", "/dev/parport5", {0, 5, false}},
        {"listed base", "0xd010", {0xD010, 1, true}},
        {"legacy base beside a card", "0x378", {0x378, -1, false}},
        {"base the kernel does not list", "0xe000", {0xE000, -1, false}},
    };
    const PortListing listing = listingOf({{0, 0x278}, {1, 0xD010}}, 0);
    for (const Case& c : cases) {
        PortChoice choice;
        ASSERT_TRUE(parsePortLocation(c.location, choice)) << c.name;
        for (const uint8_t portNumber : {1, 2}) {
            expectTarget(resolvePort(listing, portNumber, choice), c.expected, c.name);
        }
    }
}

}  // namespace
