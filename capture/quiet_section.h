#pragma once

#include <sched.h>

#include <cstddef>
#include <cstdint>

// Keeps the fastest sampling loop regular where the system allows it: real-time FIFO priority for
// the calling thread, the thread pinned to the processor it runs on (no migration in the middle
// of a capture), and the sample buffer locked in memory and pre-faulted. User programs cannot
// mask interrupts on current kernels, so this is the nearest thing. Whatever is not permitted is
// silently skipped; everything is restored when the section ends, on the thread that began it.
class QuietSection {
public:
    // Does nothing at all unless `wanted`.
    QuietSection(bool wanted, uint8_t* buffer, size_t bytes);
    ~QuietSection();
    QuietSection(const QuietSection&) = delete;
    QuietSection& operator=(const QuietSection&) = delete;

    bool priorityRaised() const { return priorityRaised_; }
    bool bufferLocked() const { return locked_ != nullptr; }
    bool pinned() const { return pinned_; }

private:
    void pinToThisProcessor();

    bool priorityRaised_ = false;
    bool pinned_ = false;
    cpu_set_t oldProcessors_{};
    int oldPolicy_ = 0;
    int oldPriority_ = 0;
    uint8_t* locked_ = nullptr;
    size_t lockedBytes_ = 0;
};

// The FIFO priority a quiet section runs at.
inline constexpr int kQuietSectionPriority = 10;
