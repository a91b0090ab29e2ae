#pragma once

#include <atomic>
#include <cstdint>

// Time for the sample loops and the simulated probe, in nanoseconds from an arbitrary start.
class ProbeClock {
public:
    virtual ~ProbeClock() = default;
    virtual uint64_t nowNanoseconds() = 0;
    // Returns once nowNanoseconds() has reached `nanoseconds`.
    virtual void waitUntil(uint64_t nanoseconds) = 0;
    // What one nowNanoseconds() costs the caller: the loops read the clock less often the more
    // that is next to a port read.
    virtual uint64_t readCostNanoseconds() = 0;
    // Blocks the calling thread for about `nanoseconds`: the kernel runs others meanwhile.
    virtual void pauseFor(uint64_t nanoseconds) = 0;
    // Whether this is the machine's own time, which other work on the machine can hold up.
    virtual bool isMachineTime() const = 0;
};

// The machine's steady clock (the TSC through the vDSO where the kernel uses it). Waits spin: a
// microsecond is far below what a sleep can hit.
class SteadyProbeClock final : public ProbeClock {
public:
    uint64_t nowNanoseconds() override;
    void waitUntil(uint64_t nanoseconds) override;
    // Measured once per process.
    uint64_t readCostNanoseconds() override;
    void pauseFor(uint64_t nanoseconds) override;
    bool isMachineTime() const override { return true; }
};

// Time that moves only when waited for or advanced, and then exactly; for tests. Reading it
// costs nothing unless a test says otherwise.
class VirtualProbeClock final : public ProbeClock {
public:
    explicit VirtualProbeClock(uint64_t start = 0) : now_(start) {}
    uint64_t nowNanoseconds() override { return now_.load(); }
    void waitUntil(uint64_t nanoseconds) override;
    uint64_t readCostNanoseconds() override { return readCost_.load(); }
    // A pause moves the time on by exactly its length.
    void pauseFor(uint64_t nanoseconds) override { advance(nanoseconds); }
    bool isMachineTime() const override { return false; }
    void advance(uint64_t nanoseconds) { now_.fetch_add(nanoseconds); }
    void setReadCost(uint64_t nanoseconds) { readCost_.store(nanoseconds); }

private:
    std::atomic<uint64_t> now_;
    std::atomic<uint64_t> readCost_{0};
};

// The steady clock the hardware ports' loops read.
ProbeClock& machineClock();
