#pragma once

#include <systemd/sd-bus.h>

#include <string>

#include "core/shared_library.h"

// The file that holds sd-bus, which only asking RealtimeKit for real-time priority needs.
inline constexpr const char* kSdBusLibraryFile = "libsystemd.so.0";

// The entry points of sd-bus that RealtimeKit is asked with. Neither program links the library
// (nor so its crypto and compression libraries): it is opened when RealtimeKit is first asked.
// Each is called as declared in the library's header; sd_bus_error_has_names is a macro over
// the sentinel form, whose list ends with a null name.
// clang-format off
#define PINPROBE_SD_BUS_ENTRY_POINTS(X)                                                           \
    X(sd_bus_open_system) X(sd_bus_flush_close_unref) X(sd_bus_set_method_call_timeout)           \
    X(sd_bus_call_method) X(sd_bus_get_property_trivial) X(sd_bus_message_unref)                  \
    X(sd_bus_error_free) X(sd_bus_error_has_names_sentinel)
// clang-format on

struct SdBusCalls {
    PINPROBE_SD_BUS_ENTRY_POINTS(PINPROBE_ENTRY_POINT)
};

// Opens the library `file` and looks up every entry point. False when the file or one of them
// is missing, with `error` naming what RealtimeKit needs and what the loader said; nothing is
// left open then.
bool openSdBusCalls(const char* file, SdBusCalls& calls, std::string& error);

// sd-bus's entry points, opened on the first call, from any thread; null with `error` when the
// library cannot be opened.
const SdBusCalls* sdBusCalls(std::string& error);
