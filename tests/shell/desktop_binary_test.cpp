#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/process_output.h"

namespace {

// The desktop program beside this test's build: tests/NAME -> shell/pinprobe.
std::string programPath() {
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    return (self.parent_path().parent_path() / "shell" / "pinprobe").string();
}

// The decoder library and its Python are loaded only to decode, libzip only to write a sigrok
// session (glib comes with Qt). sd-bus is opened only to ask RealtimeKit: the program does not
// need it itself, though Qt's D-Bus library may bring it.
TEST(DesktopBinaryTest, LinksNeitherTheDecoderLibraryNorLibzipNorSdBus) {
    const std::string program = programPath();
    const ProcessOutput libraries = runProcess("ldd " + program);
    ASSERT_EQ(libraries.status, 0) << program;
    for (const char* library : {"libsigrokdecode", "libpython", "libzip"}) {
        EXPECT_EQ(libraries.out.find(library), std::string::npos) << library << libraries.out;
    }
    const ProcessOutput needed = runProcess("readelf --dynamic " + program);
    ASSERT_EQ(needed.status, 0) << program;
    EXPECT_NE(needed.out.find("(NEEDED)"), std::string::npos) << needed.out;
    EXPECT_EQ(needed.out.find("libsystemd"), std::string::npos) << needed.out;
}

// Without a display the program says so, points to pinprobe-cli and exits with 1, whether no
// display is named or the one named cannot be reached.
TEST(DesktopBinaryTest, WithoutADisplayItSaysSoAndExitsWithOne) {
    const std::string program = programPath();
    if (!std::filesystem::exists(program)) {
        GTEST_SKIP() << program << " is not built";
    }
    const std::string noDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";
    const std::string unreachable = "env -u WAYLAND_DISPLAY DISPLAY=:4321 QT_QPA_PLATFORM=xcb ";
    for (const std::string& environment : {noDisplay, unreachable}) {
        const ProcessOutput run = runProcess(environment + program + " --simulate 2>&1");
        EXPECT_EQ(run.status, 1) << environment << run.out;
        EXPECT_NE(run.out.find("pinprobe: no display could be opened"), std::string::npos)
            << run.out;
        EXPECT_NE(run.out.find("pinprobe-cli"), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("Reinstalling"), std::string::npos) << run.out;
    }
}

}  // namespace
