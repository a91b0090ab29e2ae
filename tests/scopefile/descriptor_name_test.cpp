#include "scopefile/descriptor_name.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

TEST(DescriptorName, NamesTheShellHandsOverAndNothingElse) {
    const std::string own = "/proc/" + std::to_string(getpid()) + "/fd/";
    const std::vector<std::pair<std::string, int>> cases = {
        {"/dev/stdin", 0},
        {"/dev/stdout", 1},
        {"/dev/stderr", 2},
        {"/dev/fd/0", 0},
        {"/dev/fd/63", 63},
        {"/proc/self/fd/7", 7},
        {"/proc/thread-self/fd/4", 4},
        {own + "5", 5},
        // The kernel takes no leading zero, sign or blank in a descriptor's name.
        {"/dev/fd/07", -1},
        {"/dev/fd/", -1},
        {"/dev/fd/-1", -1},
        {"/dev/fd/+1", -1},
        {"/dev/fd/1 ", -1},
        {"/dev/fd/1/x", -1},
        {"/dev/fd/99999999999", -1},
        // Another process's descriptors, and names that only look alike, are files.
        {"/proc/1/fd/1", getpid() == 1 ? 1 : -1},
        {"/dev/stdout/", -1},
        {"dev/stdout", -1},
        {"/dev/stdoutx", -1},
        {"/dev//stdout", -1},
        {"/proc/self/fdinfo/1", -1},
        {"-", -1},
        {"", -1},
    };
    for (const auto& [name, descriptor] : cases) {
        EXPECT_EQ(descriptorNamed(name), descriptor) << name;
    }
}

}  // namespace
