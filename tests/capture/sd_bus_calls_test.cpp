#include "capture/sd_bus_calls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "capture/scheduling_system.h"

namespace {

// Every entry point is found in the library, or none is kept and the error says what needs it.
TEST(SdBusCalls, OpensLibsystemdWithEveryEntryPointOrSaysWhatRealtimeKitNeeds) {
    struct Case {
        const char* file;
        bool opens;
        const char* error;
    };
    for (const Case& c :
         {Case{kSdBusLibraryFile, true, ""},
          Case{"libpinprobe-missing.so.0", false,
               "not available without libsystemd0: libpinprobe-missing.so.0: cannot open shared "
               "object file: No such file or directory"},
          Case{"libc.so.6", false, "not available without libsystemd0: "}}) {
        SCOPED_TRACE(c.file);
        SdBusCalls calls;
        std::string error;
        EXPECT_EQ(openSdBusCalls(c.file, calls, error), c.opens) << error;
        std::vector<bool> found;
#define PINPROBE_SD_BUS_FOUND(name) found.push_back(calls.name != nullptr);
        PINPROBE_SD_BUS_ENTRY_POINTS(PINPROBE_SD_BUS_FOUND)
#undef PINPROBE_SD_BUS_FOUND
        EXPECT_EQ(std::count(found.begin(), found.end(), true), c.opens ? found.size() : 0u);
        EXPECT_TRUE(error.starts_with(c.error)) << error;
    }
}

// The tests' fake daemon links sd-bus; a bus it makes is used through the opened entry points,
// which must be the very same library, not a second copy with its own state.
TEST(SdBusCalls, OpenedOnceAndTheLibraryAlreadyLoaded) {
    std::string error;
    const SdBusCalls* calls = sdBusCalls(error);
    ASSERT_NE(calls, nullptr) << error;
    EXPECT_EQ(sdBusCalls(error), calls);
    EXPECT_EQ(calls->sd_bus_open_system, &sd_bus_open_system);
    EXPECT_EQ(calls->sd_bus_error_has_names_sentinel, &sd_bus_error_has_names_sentinel);
}

// The machine's scheduling asks RealtimeKit through that same table.
TEST(SdBusCalls, TheMachinesSchedulingAsksThroughThem) {
    std::string error;
    const SdBusCalls* calls = sdBusCalls(error);
    ASSERT_NE(calls, nullptr) << error;
    EXPECT_EQ(schedulingSystem().realtimeKitCalls(error), calls) << error;
}

}  // namespace
