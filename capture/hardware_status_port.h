#pragma once

#include <atomic>
#include <cstdint>

#include "capture/status_port.h"

// An opened hardware port. A read that fails gives 0xFF, like an absent port, and is counted with
// its error for a report; the sampling loops cannot stop to tell anyone.
class HardwareStatusPort : public StatusPort {
public:
    // The errno value of the last failed read, 0 when every read worked.
    int readError() const { return readError_.load(std::memory_order_relaxed); }
    uint64_t failedReads() const override { return failedReads_.load(std::memory_order_relaxed); }

protected:
    static constexpr uint8_t kAbsentByte = 0xFF;

    uint8_t failedRead(int error) {
        readError_.store(error, std::memory_order_relaxed);
        failedReads_.fetch_add(1, std::memory_order_relaxed);
        return kAbsentByte;
    }

private:
    std::atomic<int> readError_{0};
    std::atomic<uint64_t> failedReads_{0};
};
