#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// A thread beside a capture that holds the main thread: calls `look` first after `first`, then
// every `period`, until stopped or until `look` answers false.
class PeriodicWatch {
public:
    PeriodicWatch(std::chrono::milliseconds first, std::chrono::milliseconds period,
                  std::function<bool()> look);
    ~PeriodicWatch();
    PeriodicWatch(const PeriodicWatch&) = delete;
    PeriodicWatch& operator=(const PeriodicWatch&) = delete;

    void stop();

private:
    void run(std::chrono::milliseconds first, std::chrono::milliseconds period);

    std::function<bool()> look_;
    std::mutex mutex_;
    std::condition_variable stopped_;
    bool stopping_ = false;
    std::thread thread_;
};
