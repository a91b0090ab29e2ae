#include "capture/realtime_kit.h"

#include <systemd/sd-bus.h>

#include <cstring>

namespace {

constexpr const char* kService = "org.freedesktop.RealtimeKit1";
constexpr const char* kObject = "/org/freedesktop/RealtimeKit1";
constexpr const char* kInterface = "org.freedesktop.RealtimeKit1";
// A daemon that does not answer within this is taken as refusing, so a capture never hangs on it.
constexpr uint64_t kAnswerWithinUs = 3'000'000;

// Frees the error and gives `result` back, its reason in `error` where it failed.
int answered(int result, sd_bus_error& busError, std::string& error) {
    if (result < 0) {
        if (sd_bus_error_has_names(&busError, SD_BUS_ERROR_SERVICE_UNKNOWN,
                                   SD_BUS_ERROR_NAME_HAS_NO_OWNER)) {
            error = "not installed or not running";
        } else if (busError.message != nullptr) {
            error = busError.message;
        } else {
            error = std::strerror(-result);
        }
    }
    sd_bus_error_free(&busError);
    return result < 0 ? result : 0;
}

template <typename Value>
int readProperty(sd_bus* bus, const char* name, char type, Value& value, std::string& error) {
    sd_bus_error busError = SD_BUS_ERROR_NULL;
    const int result = sd_bus_get_property_trivial(bus, kService, kObject, kInterface, name,
                                                   &busError, type, &value);
    return answered(result, busError, error);
}

}  // namespace

int readRealtimeKitLimits(sd_bus* bus, RealtimeKitLimits& limits, std::string& error) {
    sd_bus_set_method_call_timeout(bus, kAnswerWithinUs);
    const int result =
        readProperty(bus, "MaxRealtimePriority", 'i', limits.maxRealtimePriority, error);
    return result < 0 ? result
                      : readProperty(bus, "RTTimeUSecMax", 'x', limits.rtTimeUSecMax, error);
}

int makeThreadRealtime(sd_bus* bus, uint64_t threadId, uint32_t priority, std::string& error) {
    sd_bus_error busError = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    const int result = sd_bus_call_method(bus, kService, kObject, kInterface, "MakeThreadRealtime",
                                          &busError, &reply, "tu", threadId, priority);
    sd_bus_message_unref(reply);
    return answered(result, busError, error);
}
