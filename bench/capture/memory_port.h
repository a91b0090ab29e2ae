#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "capture/status_port.h"

// A port that answers from memory through the same virtual call as a real one, so that what is
// measured is the loop around the read, not the port. Its bytes are a fixed pseudo-random run,
// with the bits of `clear` never set.
class MemoryPort : public StatusPort {
public:
    explicit MemoryPort(uint8_t clear = 0) : bytes_(kSize) {
        uint32_t x = 12345;
        for (uint8_t& byte : bytes_) {
            x = x * 1103515245u + 12345u;
            byte = static_cast<uint8_t>((x >> 16) & ~clear);
        }
    }
    // Out of line: inlined, the compiler would guess the target in a bare loop and skip the
    // virtual call that the capture loops make.
    [[gnu::noinline]] uint8_t read() override { return bytes_[next_++ & (kSize - 1)]; }

private:
    static constexpr size_t kSize = 4096;
    std::vector<uint8_t> bytes_;
    size_t next_ = 0;
};

// The same bytes at about what a read over the legacy I/O bus costs (a microsecond), spent in
// `spins` steps of busy work before each read, so that a loop's own cost adds to it as it would
// to a real port's.
class CostlyMemoryPort final : public MemoryPort {
public:
    CostlyMemoryPort(uint8_t clear, uint32_t spins) : MemoryPort(clear), spins_(spins) {}
    [[gnu::noinline]] uint8_t read() override {
        for (uint32_t spin = 0; spin < spins_; ++spin) {
            benchmark::DoNotOptimize(spin);
        }
        return MemoryPort::read();
    }

private:
    const uint32_t spins_;
};
