#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "capture/hardware_port_access.h"
#include "capture/port_syscalls.h"
#include "tests/support/fake_port_syscalls.h"

namespace {

struct Parport {
    int number;
    uint16_t base;
    FakeParportDevice device;
};

struct Machine {
    int grantError = EPERM;
    int listError = 0;
    std::vector<Parport> parports;
    PortChoices choices{};  // --lpt1 and --lpt2
};

// Direct I/O and ppdev read the same status register of a listed port.
void build(FakePortSyscalls& fake, const Machine& machine) {
    fake.grantError = machine.grantError;
    fake.listError = machine.listError;
    for (const Parport& parport : machine.parports) {
        fake.addParport(parport.number, parport.base, parport.device);
        fake.ioPorts[parport.base + 1] = parport.device.status;
    }
}

::testing::AssertionResult containsAll(const std::string& text,
                                       const std::vector<std::string>& parts) {
    for (const std::string& part : parts) {
        if (text.find(part) == std::string::npos) {
            return ::testing::AssertionFailure() << "\"" << part << "\" missing from:\n" << text;
        }
    }
    return ::testing::AssertionSuccess();
}

// After the access is gone nothing may stay open, claimed or granted, and nothing was misused.
void expectCleanedUp(const FakePortSyscalls& fake) {
    EXPECT_EQ(fake.openDescriptors(), 0);
    EXPECT_EQ(fake.claimedDescriptors(), 0);
    EXPECT_EQ(fake.grantedPorts(), 0);
    EXPECT_EQ(fake.misuses, 0);
}

struct FailureCase {
    const char* name;
    uint8_t portNumber;
    Machine machine;
    std::vector<std::string> reportParts;
};

class PortThatCannotOpen : public ::testing::TestWithParam<FailureCase> {};

TEST_P(PortThatCannotOpen, ReadsFFAndReportsOnceWithTheRemedy) {
    const FailureCase& test = GetParam();
    FakePortSyscalls fake;
    build(fake, test.machine);
    {
        HardwarePortAccess access(fake, test.machine.choices);
        StatusPort& port = access.port(test.portNumber);
        EXPECT_EQ(port.read(), 0xFF);
        const std::vector<std::string> reports = access.takeReports();
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_TRUE(containsAll(reports[0], test.reportParts));

        EXPECT_EQ(&access.port(test.portNumber), &port);
        EXPECT_EQ(port.read(), 0xFF);
        EXPECT_TRUE(access.takeReports().empty());
    }
    expectCleanedUp(fake);
}

const std::string kModprobe = "sudo modprobe parport_pc ppdev";
const std::string kRawIo = "CAP_SYS_RAWIO (run as root, or sudo setcap cap_sys_rawio+ep";

INSTANTIATE_TEST_SUITE_P(
    EveryError, PortThatCannotOpen,
    ::testing::Values(
        FailureCase{
            "DriversNotLoaded",
            1,
            {EPERM, ENOENT, {}},
            {"LPT1 (0x378) could not be opened, so it reads 0xFF; the next capture tries again.\n",
             kModprobe, kRawIo, "lockdown"}},
        FailureCase{"NodeMissing", 1, {EPERM, 0, {{0, 0x378, {ENOENT}}}}, {kModprobe}},
        FailureCase{
            "NotInGroupLp",
            2,
            {EPERM, 0, {{0, 0x278, {EACCES}}}},
            {"LPT2 (/dev/parport0 at 0x278) could not", "No permission to open /dev/parport0",
             "sudo adduser $USER lp", "log in again"}},
        FailureCase{"HeldByLp",
                    1,
                    {EPERM, 0, {{0, 0x378, {0, ENXIO, ENXIO}}}},
                    {"/dev/parport0 is busy or gone", "sudo rmmod lp"}},
        FailureCase{
            "BusyAtOpen", 1, {EPERM, 0, {{0, 0x378, {EBUSY}}}}, {"/dev/parport0 is busy or gone"}},
        FailureCase{"NoPortAtThatBase",
                    1,
                    {EPERM, 0, {{0, 0x278, {}}}},
                    {"No parallel port at 0x378 was found.", kRawIo}},
        FailureCase{"NoPortAtAll", 2, {EPERM, 0, {}}, {"No parallel port at 0x278 was found."}},
        FailureCase{"KernelWithoutPortIo",
                    1,
                    {ENOSYS, 0, {{0, 0x378, {EACCES}}}},
                    {"Direct port I/O is not available on this system.", "group lp"}},
        FailureCase{
            "ListingRefused", 1, {EPERM, EACCES, {}}, {"could not be listed: Permission denied"}},
        FailureCase{"OtherErrors",
                    1,
                    {EINVAL, 0, {{0, 0x378, {EIO}}}},
                    {"/dev/parport0: Input/output error.", "Direct port I/O failed: Invalid"}},
        FailureCase{"CardWithNeitherWay",
                    1,
                    {EPERM, 0, {{0, 0xD010, {EACCES}}}},
                    {"LPT1 (/dev/parport0 at 0xd010) could not be opened",
                     "No permission to open /dev/parport0", kRawIo}},
        FailureCase{"ChosenDeviceNotThere",
                    2,
                    {0, ENOENT, {}, {PortChoice{}, {PortChoice::Kind::Device, 4, 0}}},
                    {"LPT2 (/dev/parport4) could not be opened", kModprobe}},
        FailureCase{"ChosenBaseNotListed",
                    1,
                    {EPERM, 0, {{0, 0x378, {}}}, {PortChoice{PortChoice::Kind::Base, -1, 0xE000}}},
                    {"LPT1 (0xe000) could not be opened", "No parallel port at 0xe000 was found.",
                     kRawIo}}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

struct OpeningCase {
    const char* name;
    Machine machine;
    uint8_t expected;
    std::vector<std::string> calls;
};

class PortThatOpens : public ::testing::TestWithParam<OpeningCase> {};

TEST_P(PortThatOpens, ReadsTheRawRegisterAndReleasesItAfter) {
    const OpeningCase& test = GetParam();
    FakePortSyscalls fake;
    build(fake, test.machine);
    fake.ioPorts[0x379] = 0x87;
    {
        HardwarePortAccess access(fake);
        EXPECT_EQ(access.port(1).read(), test.expected);
        EXPECT_EQ(access.port(1).read(), test.expected);
        EXPECT_TRUE(access.takeReports().empty());
        EXPECT_EQ(fake.calls, test.calls);
    }
    expectCleanedUp(fake);
}

// The bytes have Busy (0x80) set and clear: it must come through as the register shows it.
INSTANTIATE_TEST_SUITE_P(
    Backends, PortThatOpens,
    ::testing::Values(OpeningCase{"DirectIoPreferred",
                                  {0, 0, {{0, 0x378, {0, 0, 0, 0, 0x11}}}},
                                  0x87,
                                  {"grant 0x378+3"}},
                      OpeningCase{"PpdevWhenIopermRefused",
                                  {EPERM, 0, {{0, 0x378, {0, 0, 0, 0, 0x7F}}}},
                                  0x7F,
                                  {"grant 0x378+3", "open /dev/parport0", "excl 3", "claim 3"}},
                      OpeningCase{"SharedClaimWhileLpIsRegistered",
                                  {EPERM, 0, {{0, 0x378, {0, ENXIO, 0, 0, 0x87}}}},
                                  0x87,
                                  {"grant 0x378+3", "open /dev/parport0", "excl 3", "claim 3",
                                   "close 3", "open /dev/parport0", "claim 4"}}),
    [](const ::testing::TestParamInfo<OpeningCase>& info) { return std::string(info.param.name); });

struct ChoiceCase {
    const char* name;
    uint8_t portNumber;
    Machine machine;
    std::string inUse;  // what the port is and how it is read
    uint8_t status;
    std::vector<std::string> calls;
};

// Which port LPT1 and LPT2 are, by the listing rule or by --lpt1 and --lpt2, and which way it is
// read: direct I/O at any base where it is granted, a card's above 0x3FF included.
TEST(HardwarePortAccess, OpensThePortTheChoiceNamesTheWayItsBaseAllows) {
    using Kind = PortChoice::Kind;
    const std::vector<ChoiceCase> cases = {
        {"legacy LPT1 by direct I/O",
         1,
         {0, 0, {{0, 0x278, {.status = 0x28}}, {1, 0x378, {.status = 0x38}}}},
         "LPT1 is /dev/parport1 at 0x378, read with direct I/O",
         0x38,
         {"grant 0x378+3"}},
        {"0x3BC by direct I/O",
         1,
         {0, 0, {{0, 0x3BC, {.status = 0x3B}}}},
         "LPT1 is /dev/parport0 at 0x3bc, read with direct I/O",
         0x3B,
         {"grant 0x3BC+3"}},
        {"PCIe card by direct I/O",
         1,
         {0, 0, {{0, 0xD010, {.status = 0xD0}}}},
         "LPT1 is /dev/parport0 at 0xd010, read with direct I/O",
         0xD0,
         {"grant 0xD010+3"}},
        {"PCIe card through ppdev where direct I/O is refused",
         1,
         {EPERM, 0, {{0, 0xD010, {.status = 0xD0}}}},
         "LPT1 is /dev/parport0 at 0xd010, read through ppdev",
         0xD0,
         {"grant 0xD010+3", "open /dev/parport0", "excl 3", "claim 3"}},
        {"LPT2 is the second card",
         2,
         {EPERM, 0, {{0, 0xD010, {.status = 0xD0}}, {1, 0xE000, {.status = 0xE0}}}},
         "LPT2 is /dev/parport1 at 0xe000, read through ppdev",
         0xE0,
         {"grant 0xE000+3", "open /dev/parport1", "excl 3", "claim 3"}},
        {"--lpt1 names a device",
         1,
         {EPERM,
          0,
          {{0, 0x378, {.status = 0x38}}, {1, 0xD010, {.status = 0xD0}}},
          {PortChoice{Kind::Device, 1, 0}}},
         "LPT1 is /dev/parport1 at 0xd010, read through ppdev",
         0xD0,
         {"grant 0xD010+3", "open /dev/parport1", "excl 3", "claim 3"}},
        {"--lpt2 names a base",
         2,
         {0,
          0,
          {{0, 0x3BC, {.status = 0x3B}}, {1, 0x278, {.status = 0x28}}},
          {PortChoice{}, PortChoice{Kind::Base, -1, 0x3BC}}},
         "LPT2 is /dev/parport0 at 0x3bc, read with direct I/O",
         0x3B,
         {"grant 0x3BC+3"}},
        {"--lpt1 names a base the kernel does not list",
         1,
         {0, ENOENT, {}, {PortChoice{Kind::Base, -1, 0x3BC}}},
         "LPT1 is the port at 0x3bc, read with direct I/O",
         0x3B,
         {"grant 0x3BC+3"}},
    };
    for (const ChoiceCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakePortSyscalls fake;
        build(fake, c.machine);
        fake.ioPorts[0x3BD] = 0x3B;
        {
            HardwarePortAccess access(fake, c.machine.choices);
            const PortReadiness readiness = access.prepareForCapture(c.portNumber);
            EXPECT_TRUE(readiness.opened);
            EXPECT_EQ(readiness.name, c.inUse);
            EXPECT_EQ(access.port(c.portNumber).read(), c.status);
            EXPECT_TRUE(access.takeReports().empty());
            EXPECT_EQ(fake.calls, c.calls);
        }
        expectCleanedUp(fake);
    }
}

// Loading the drivers or joining the group lp must not need a restart: each capture tries again,
// and says so again only when the reason changed.
TEST(HardwarePortAccess, APortThatFailedIsTriedAgainAtEachCapture) {
    FakePortSyscalls fake;
    fake.listError = ENOENT;
    {
        HardwarePortAccess access(fake);
        const auto prepare = [&] {
            const bool opened = access.prepareForCapture(1).opened;
            return std::make_pair(opened, access.takeReports());
        };
        auto [opened, reports] = prepare();
        EXPECT_FALSE(opened);
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_TRUE(containsAll(reports[0], {"LPT1 (0x378) could not", kModprobe}));
        EXPECT_EQ(prepare(), std::make_pair(false, std::vector<std::string>{}));

        fake.listError = 0;
        fake.addParport(0, 0xD010, {.openError = EACCES, .status = 0xD0});
        std::tie(opened, reports) = prepare();
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_TRUE(containsAll(reports[0], {"LPT1 (/dev/parport0 at 0xd010) could not",
                                             "No permission to open /dev/parport0"}));
        EXPECT_EQ(access.port(1).read(), 0xFF);

        fake.devices["/dev/parport0"].openError = 0;
        EXPECT_EQ(prepare(), std::make_pair(true, std::vector<std::string>{}));
        EXPECT_EQ(access.port(1).read(), 0xD0);
        const size_t callsWhenOpen = fake.calls.size();
        EXPECT_EQ(prepare(), std::make_pair(true, std::vector<std::string>{}));
        EXPECT_EQ(fake.calls.size(), callsWhenOpen);
    }
    expectCleanedUp(fake);
}

// Direct I/O opens an address where nothing is; once the kernel lists a port, that one is used.
TEST(HardwarePortAccess, AnAbsentPortReadByDirectIoIsTriedAgain) {
    FakePortSyscalls fake;
    fake.grantError = 0;
    fake.listError = ENOENT;
    {
        HardwarePortAccess access(fake);
        EXPECT_FALSE(access.prepareForCapture(1).opened);
        const std::vector<std::string> reports = access.takeReports();
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_TRUE(containsAll(reports[0], {"LPT1 (0x378) reads 0xFF"}));
        EXPECT_FALSE(access.prepareForCapture(1).opened);
        EXPECT_TRUE(access.takeReports().empty());

        fake.listError = 0;
        build(fake, {0, 0, {{0, 0x3BC, {.status = 0x3B}}}});
        const PortReadiness readiness = access.prepareForCapture(1);
        EXPECT_TRUE(readiness.opened);
        EXPECT_EQ(readiness.name, "LPT1 is /dev/parport0 at 0x3bc, read with direct I/O");
        EXPECT_EQ(access.port(1).read(), 0x3B);
        EXPECT_TRUE(access.takeReports().empty());
    }
    expectCleanedUp(fake);
}

TEST(HardwarePortAccess, MatchesLptNumbersByBaseAddressNotByParportNumber) {
    FakePortSyscalls fake;
    // Of several parports at one base the lowest number counts.
    build(fake, {EPERM, 0, {{1, 0x278, {0, 0, 0, 0, 0x28}}, {2, 0x378, {0, 0, 0, 0, 0x38}}}});
    fake.addParport(3, 0x378);
    fake.addParport(10, 0x378);
    fake.baseAddressTexts[0] = "garbage\n";
    HardwarePortAccess access(fake);
    EXPECT_EQ(access.port(1).read(), 0x38);
    EXPECT_EQ(access.port(2).read(), 0x28);
    EXPECT_TRUE(access.takeReports().empty());
}

TEST(HardwarePortAccess, ReportsEachPortOnceIncludingNumbersWithoutAPort) {
    FakePortSyscalls fake;
    build(fake, {EPERM, ENOENT, {}});
    HardwarePortAccess access(fake);
    for (const uint8_t portNumber : {1, 2, 1, 3, 0}) {
        EXPECT_EQ(access.port(portNumber).read(), 0xFF);
    }
    const std::vector<std::string> reports = access.takeReports();
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_TRUE(containsAll(reports[0], {"LPT1 (0x378)"}));
    EXPECT_TRUE(containsAll(reports[1], {"LPT2 (0x278)"}));
    EXPECT_TRUE(containsAll(reports[2], {"LPT3", "0xFF"}));
    access.port(2);
    EXPECT_TRUE(access.takeReports().empty());
}

TEST(HardwarePortAccess, ReadsThatFailLaterGiveFFAndOneReport) {
    FakePortSyscalls fake;
    build(fake, {EPERM, 0, {{0, 0x378, {0, 0, 0, 0, 0x5F}}}});
    HardwarePortAccess access(fake);
    StatusPort& port = access.port(1);
    EXPECT_EQ(port.read(), 0x5F);
    fake.devices["/dev/parport0"].readError = ENODEV;
    EXPECT_EQ(port.read(), 0xFF);
    EXPECT_EQ(port.read(), 0xFF);
    const std::vector<std::string> reports = access.takeReports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(
        containsAll(reports[0], {"Reading LPT1 (/dev/parport0 at 0x378) failed (No such device)"}));
    fake.devices["/dev/parport0"].readError = 0;
    EXPECT_EQ(port.read(), 0x5F);
    EXPECT_TRUE(access.takeReports().empty());
}

// The kernel grants I/O ports per thread, and the port is opened on the main thread but also read
// on the worker.
TEST(HardwarePortAccess, DirectIoIsGrantedOnEachThreadThatReads) {
    FakePortSyscalls fake;
    build(fake, {0, 0, {}});
    fake.ioPorts[0x379] = 0x6A;
    HardwarePortAccess access(fake);
    StatusPort& port = access.port(1);
    uint8_t reads[3] = {};
    std::thread([&] { reads[0] = port.read(); }).join();
    EXPECT_EQ(reads[0], 0x6A);
    EXPECT_TRUE(access.takeReports().empty());

    fake.grantError = EPERM;
    std::thread([&] { reads[1] = port.read(), reads[2] = port.read(); }).join();
    EXPECT_EQ(reads[1], 0xFF);
    EXPECT_EQ(reads[2], 0xFF);
    EXPECT_EQ(port.read(), 0x6A);
    EXPECT_EQ(fake.misuses, 0);
    const std::vector<std::string> reports = access.takeReports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(containsAll(reports[0], {"Reading LPT1 (0x378) failed"}));
}

TEST(SystemPortSyscalls, ListsDirectoriesAndReadsFilesAndReportsErrno) {
    namespace fs = std::filesystem;
    const fs::path directory = fs::path(testing::TempDir()) / "pinprobe_parport_listing";
    fs::remove_all(directory);
    fs::create_directories(directory / "parport0");
    std::ofstream(directory / "parport0" / "base-addr") << "888\t-1\n";

    PortSyscalls& syscalls = systemPortSyscalls();
    std::vector<std::string> names;
    std::string text;
    EXPECT_EQ(syscalls.listDirectory(directory.string(), names), 0);
    EXPECT_EQ(names, std::vector<std::string>{"parport0"});
    EXPECT_EQ(syscalls.readTextFile((directory / "parport0" / "base-addr").string(), text), 0);
    EXPECT_EQ(text, "888\t-1\n");
    EXPECT_EQ(syscalls.listDirectory((directory / "none").string(), names), -ENOENT);
    EXPECT_EQ(syscalls.openDevice((directory / "parport9").string()), -ENOENT);
    fs::remove_all(directory);
}

}  // namespace

namespace {

// Direct I/O opens any address; an idle 0xFF where the kernel lists no port means nothing is there.
TEST(HardwarePortAccess, DirectIoOnAnAbsentPortReportsIt) {
    struct Case {
        bool listed;
        uint8_t status;
        bool reported;
    };
    for (const Case& c :
         {Case{false, 0xFF, true}, Case{true, 0xFF, false}, Case{false, 0xD8, false}}) {
        FakePortSyscalls fake;
        build(fake, Machine{0, 0, {}});
        if (c.listed) {
            fake.addParport(0, 0x378, FakeParportDevice{});
        }
        if (c.status != 0xFF) {
            fake.ioPorts[0x379] = c.status;
        }
        HardwarePortAccess access(fake);
        EXPECT_EQ(access.port(1).read(), c.status);
        const std::vector<std::string> reports = access.takeReports();
        ASSERT_EQ(reports.size(), c.reported ? 1u : 0u);
        if (c.reported) {
            EXPECT_TRUE(containsAll(reports[0], {"LPT1 (0x378) reads 0xFF", "firmware setup"}));
        }
    }
}

}  // namespace
