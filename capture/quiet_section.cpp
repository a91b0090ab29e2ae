#include "capture/quiet_section.h"

#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// High enough to keep ordinary work off the core, low enough to leave kernel threads alone.
constexpr int kSamplingPriority = 50;

void prefault(uint8_t* buffer, size_t bytes) {
    const long page = sysconf(_SC_PAGESIZE);
    const size_t step = page > 0 ? static_cast<size_t>(page) : 4096;
    for (size_t offset = 0; offset < bytes; offset += step) {
        static_cast<volatile uint8_t*>(buffer)[offset] = 0;
    }
}

}  // namespace

QuietSection::QuietSection(bool wanted, uint8_t* buffer, size_t bytes) {
    if (!wanted) {
        return;
    }
    sched_param old{};
    if (pthread_getschedparam(pthread_self(), &oldPolicy_, &old) == 0) {
        oldPriority_ = old.sched_priority;
        sched_param fifo{};
        fifo.sched_priority = kSamplingPriority;
        priorityRaised_ = pthread_setschedparam(pthread_self(), SCHED_FIFO, &fifo) == 0;
    }
    if (buffer != nullptr && bytes > 0 && mlock(buffer, bytes) == 0) {
        locked_ = buffer;
        lockedBytes_ = bytes;
    }
    if (buffer != nullptr) {
        prefault(buffer, bytes);
    }
}

QuietSection::~QuietSection() {
    if (locked_ != nullptr) {
        munlock(locked_, lockedBytes_);
    }
    if (priorityRaised_) {
        sched_param old{};
        old.sched_priority = oldPriority_;
        pthread_setschedparam(pthread_self(), oldPolicy_, &old);
    }
}
