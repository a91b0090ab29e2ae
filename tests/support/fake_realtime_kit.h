#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/fake_scheduling.h"

// A RealtimeKit daemon for tests, served with sd-bus on a private connection (a socket pair per
// connect), so that the real client code talks D-Bus without a bus daemon or a system bus. Like
// the real one it refuses a process whose RLIMIT_RTTIME hard limit is above its RTTimeUSecMax
// and a priority above its MaxRealtimePriority; what it grants it sets on the fake scheduling.
// Configure it before the first connect.
class FakeRealtimeKit {
public:
    struct Request {
        uint64_t threadId = 0;
        uint32_t priority = 0;
        bool operator==(const Request&) const = default;
    };

    int32_t maxRealtimePriority = 20;
    int64_t rtTimeUSecMax = 200'000;
    // An error name that MakeThreadRealtime answers with, instead of granting.
    std::string refuseWith;

    // Serves `scheduling`: its RealtimeKit bus connects here.
    explicit FakeRealtimeKit(FakeScheduling& scheduling);
    // Waits for every connection to be closed by its client.
    ~FakeRealtimeKit();
    FakeRealtimeKit(const FakeRealtimeKit&) = delete;
    FakeRealtimeKit& operator=(const FakeRealtimeKit&) = delete;

    std::vector<Request> requests() const;

    // Internal: answers one MakeThreadRealtime (the vtable's handler).
    int makeThreadRealtime(uint64_t threadId, uint32_t priority, std::string& errorName);

private:
    int connect(sd_bus** client);
    void serve(int fd);

    FakeScheduling& scheduling_;
    mutable std::mutex mutex_;
    std::vector<Request> requests_;
    std::vector<std::thread> servers_;
};
