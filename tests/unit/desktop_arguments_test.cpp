#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/process_output.h"

namespace {

// The desktop program beside this test's build: tests/NAME -> shell/pinprobe.
std::string programPath() {
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    return (self.parent_path().parent_path() / "shell" / "pinprobe").string();
}

struct ArgumentCase {
    std::string arguments;
    int status;
    const char* output;  // part of standard output and error
};

// The arguments are read before Qt starts, so these run without a display.
TEST(DesktopArguments, PortChoicesAreCheckedBeforeTheWindowOpens) {
    const std::string program = programPath();
    if (!std::filesystem::exists(program)) {
        GTEST_SKIP() << program << " is not built";
    }
    const std::vector<ArgumentCase> cases = {
        {"--help", 0, "--lpt1 PORT"},
        {"--lpt1 /dev/parport2 --lpt2=0xd010 --version", 0, "pinprobe "},
        {"--lpt1 /dev/lp0", 2,
         "pinprobe: --lpt1 takes a device /dev/parportN or a base address such as 0xd010, not "
         "'/dev/lp0'"},
        {"--lpt2=378", 2, "--lpt2 takes a device"},
        {"--lpt1 lpt2", 2, "--lpt1 takes a device"},
        {"--simulate --lpt2", 2, "pinprobe: --lpt2 needs a device /dev/parportN or a base"},
        {"--lpt3 0x3bc", 2, "unknown argument '--lpt3'"},
    };
    for (const ArgumentCase& c : cases) {
        const ProcessOutput process = runProcess(program + " " + c.arguments + " 2>&1");
        EXPECT_EQ(process.status, c.status) << c.arguments;
        EXPECT_NE(process.out.find(c.output), std::string::npos) << c.arguments << process.out;
    }
}

}  // namespace
