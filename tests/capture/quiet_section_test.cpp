#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>

#include <cstdint>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include "capture/probe_clock.h"
#include "capture/quiet_section.h"

namespace {

#if defined(__has_feature)
#define PINPROBE_HAS_FEATURE(feature) __has_feature(feature)
#else
#define PINPROBE_HAS_FEATURE(feature) 0
#endif
// GCC says so by a macro, clang by a feature.
#if defined(__SANITIZE_ADDRESS__) || PINPROBE_HAS_FEATURE(address_sanitizer)
constexpr bool kMlockIsReal = false;  // AddressSanitizer makes mlock a no-op that succeeds
#else
constexpr bool kMlockIsReal = true;
#endif

struct ThreadScheduling {
    int policy = -1;
    int priority = -1;
    bool operator==(const ThreadScheduling&) const = default;
};

ThreadScheduling currentScheduling() {
    ThreadScheduling scheduling;
    sched_param param{};
    pthread_getschedparam(pthread_self(), &scheduling.policy, &param);
    scheduling.priority = param.sched_priority;
    return scheduling;
}

bool setScheduling(const ThreadScheduling& scheduling) {
    sched_param param{};
    param.sched_priority = scheduling.priority;
    return pthread_setschedparam(pthread_self(), scheduling.policy, &param) == 0;
}

long lockedKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmLck:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

TEST(QuietSection, RestoresSchedulingAndUnlocksAndKeepsTheBufferAsItWas) {
    const ThreadScheduling before = currentScheduling();
    const long lockedBefore = lockedKilobytes();
    std::vector<uint8_t> buffer(300'000);
    std::iota(buffer.begin(), buffer.end(), uint8_t{1});
    const std::vector<uint8_t> original = buffer;
    {
        QuietSection quiet(true, buffer.data(), buffer.size(), machineClock());
        const ThreadScheduling raised{SCHED_FIFO, kQuietSectionPriority};
        EXPECT_EQ(currentScheduling(), realTime(quiet.priority()) ? raised : before);
        if (quiet.bufferLocked() && kMlockIsReal) {
            EXPECT_GE(lockedKilobytes(), lockedBefore + 290);
        }
        QuietSection unwanted(false, buffer.data(), buffer.size(), machineClock());
        EXPECT_FALSE(realTime(unwanted.priority()) || unwanted.bufferLocked());
    }
    EXPECT_EQ(currentScheduling(), before);
    EXPECT_EQ(lockedKilobytes(), lockedBefore);
    EXPECT_EQ(buffer, original);
}

cpu_set_t currentProcessors() {
    cpu_set_t set;
    CPU_ZERO(&set);
    pthread_getaffinity_np(pthread_self(), sizeof set, &set);
    return set;
}

// Pinned to the processor it runs on, so that no migration interrupts the loop; set free after.
TEST(QuietSection, PinsTheThreadToItsProcessorAndSetsItFreeAfter) {
    const cpu_set_t before = currentProcessors();
    {
        QuietSection quiet(true, nullptr, 0, machineClock());
        ASSERT_TRUE(quiet.pinned()) << "setting one's own affinity is always allowed";
        const cpu_set_t during = currentProcessors();
        EXPECT_EQ(CPU_COUNT(&during), 1);
        EXPECT_TRUE(CPU_ISSET(sched_getcpu(), &during));
        QuietSection unwanted(false, nullptr, 0, machineClock());
        EXPECT_FALSE(unwanted.pinned());
    }
    const cpu_set_t after = currentProcessors();
    EXPECT_TRUE(CPU_EQUAL(&after, &before));
}

TEST(QuietSection, LeavesAHigherRealTimePriorityAlone) {
    const ThreadScheduling before = currentScheduling();
    const ThreadScheduling higher{SCHED_FIFO, kQuietSectionPriority + 5};
    if (!setScheduling(higher)) {
        GTEST_SKIP() << "real-time priority is not permitted here";
    }
    {
        QuietSection quiet(true, nullptr, 0, machineClock());
        EXPECT_EQ(quiet.priority().way, PriorityWay::AsStarted);
        EXPECT_FALSE(quiet.bufferLocked());
        EXPECT_EQ(currentScheduling(), higher);
    }
    EXPECT_EQ(currentScheduling(), higher);
    ASSERT_TRUE(setScheduling(before));
}

}  // namespace
