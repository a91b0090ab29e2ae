#include "capture/quiet_section.h"

#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include "capture/realtime_throttling.h"

namespace {

// Faults every page in for writing, so the loop takes no page fault; the contents stay as they are.
void prefault(uint8_t* buffer, size_t bytes) {
    const long page = sysconf(_SC_PAGESIZE);
    const size_t step = page > 0 ? static_cast<size_t>(page) : 4096;
    volatile uint8_t* const bytesOf = buffer;
    for (size_t offset = 0; offset < bytes; offset += step) {
        bytesOf[offset] = bytesOf[offset];
    }
}

// What a real-time thread must pause for on this system.
std::vector<PauseRule> pauseRules(SchedulingSystem& system) {
    std::vector<PauseRule> rules = realTimeLimitPause(system.limit(RLIMIT_RTTIME).soft);
    for (const PauseRule& rule : throttlingPause(system.bandwidth())) {
        rules.push_back(rule);
    }
    return rules;
}

}  // namespace

QuietSection::QuietSection(bool wanted, uint8_t* buffer, size_t bytes, ProbeClock& clock)
    : wanted_(wanted), pauses_(clock) {
    if (!wanted) {
        return;
    }
    pinToThisProcessor();
    SchedulingSystem& system = schedulingSystem();
    priority_ = raiseToRealTime(system, kQuietSectionPriority);
    if (realTime(priority_)) {
        pauses_.start(pauseRules(system));
    }
    if (buffer == nullptr || bytes == 0) {
        return;
    }
    if (mlock(buffer, bytes) == 0) {
        locked_ = buffer;
        lockedBytes_ = bytes;
    }
    prefault(buffer, bytes);
}

// The processor the thread runs on now, so that pinning it moves nothing.
void QuietSection::pinToThisProcessor() {
    const int processor = sched_getcpu();
    if (processor < 0 ||
        pthread_getaffinity_np(pthread_self(), sizeof oldProcessors_, &oldProcessors_) != 0) {
        return;
    }
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(processor, &one);
    pinned_ = pthread_setaffinity_np(pthread_self(), sizeof one, &one) == 0;
}

QuietSection::~QuietSection() {
    if (locked_ != nullptr) {
        munlock(locked_, lockedBytes_);
    }
    restoreScheduling(schedulingSystem(), priority_);
    if (pinned_) {
        pthread_setaffinity_np(pthread_self(), sizeof oldProcessors_, &oldProcessors_);
    }
}
