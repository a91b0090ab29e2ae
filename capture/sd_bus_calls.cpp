#include "capture/sd_bus_calls.h"

bool openSdBusCalls(const char* file, SdBusCalls& calls, std::string& error) {
    return openEntryPoints(file, "not available without libsystemd0", calls, error,
                           [](void* library, SdBusCalls& table, std::string& missing) {
                               return true PINPROBE_SD_BUS_ENTRY_POINTS(PINPROBE_LOOK_UP);
                           });
}

const SdBusCalls* sdBusCalls(std::string& error) {
    return openedOnce(kSdBusLibraryFile, openSdBusCalls, error);
}
