#include "capture/realtime_kit.h"

#include <cstring>

#include "capture/sd_bus_calls.h"

namespace {

constexpr const char* kService = "org.freedesktop.RealtimeKit1";
constexpr const char* kObject = "/org/freedesktop/RealtimeKit1";
constexpr const char* kInterface = "org.freedesktop.RealtimeKit1";
// A daemon that does not answer within this is taken as refusing, so a capture never hangs on it.
constexpr uint64_t kAnswerWithinUs = 3'000'000;

// Frees the error and gives `result` back, its reason in `error` where it failed.
int answered(const SdBusCalls& calls, int result, sd_bus_error& busError, std::string& error) {
    if (result < 0) {
        if (calls.sd_bus_error_has_names_sentinel(&busError, SD_BUS_ERROR_SERVICE_UNKNOWN,
                                                  SD_BUS_ERROR_NAME_HAS_NO_OWNER,
                                                  static_cast<const char*>(nullptr))) {
            error = "not installed or not running";
        } else if (busError.message != nullptr) {
            error = busError.message;
        } else {
            error = std::strerror(-result);
        }
    }
    calls.sd_bus_error_free(&busError);
    return result < 0 ? result : 0;
}

template <typename Value>
int readProperty(const SdBusCalls& calls, sd_bus* bus, const char* name, char type, Value& value,
                 std::string& error) {
    sd_bus_error busError{};  // SD_BUS_ERROR_NULL, which is C only
    const int result = calls.sd_bus_get_property_trivial(bus, kService, kObject, kInterface, name,
                                                         &busError, type, &value);
    return answered(calls, result, busError, error);
}

}  // namespace

int readRealtimeKitLimits(const SdBusCalls& calls, sd_bus* bus, RealtimeKitLimits& limits,
                          std::string& error) {
    calls.sd_bus_set_method_call_timeout(bus, kAnswerWithinUs);
    const int result =
        readProperty(calls, bus, "MaxRealtimePriority", 'i', limits.maxRealtimePriority, error);
    return result < 0 ? result
                      : readProperty(calls, bus, "RTTimeUSecMax", 'x', limits.rtTimeUSecMax, error);
}

int makeThreadRealtime(const SdBusCalls& calls, sd_bus* bus, uint64_t threadId, uint32_t priority,
                       std::string& error) {
    sd_bus_error busError{};  // SD_BUS_ERROR_NULL, which is C only
    sd_bus_message* reply = nullptr;
    const int result =
        calls.sd_bus_call_method(bus, kService, kObject, kInterface, "MakeThreadRealtime",
                                 &busError, &reply, "tu", threadId, priority);
    calls.sd_bus_message_unref(reply);
    return answered(calls, result, busError, error);
}
