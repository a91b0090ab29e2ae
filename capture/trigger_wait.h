#pragma once

#include <atomic>
#include <cstdint>

class PausePlan;
class PreTriggerRing;
class StatusPort;
struct TriggerMatch;

enum class TriggerWait {
    Came,       // the conditions held
    GaveUp,     // `maxPolls` further reads did not meet them
    Abandoned,  // `*abandon` became non-zero
};

// Reads `port` until the read that meets `match`: levels on that read, edges from the read before
// (the first read fires only a wait for levels alone). Gives up after `maxPolls` further reads
// (0: no bound) or when `*abandon` becomes non-zero. Takes the pauses `pauses` asks for, where it
// is given. Every read goes into `ring`, where it is given; without one the ending read is lost.
// With a ring the wait is armed only once the ring holds its share: until then it only fills
// it, and its first read after that is the first read above. The bound counts every read.
TriggerWait waitForTrigger(StatusPort& port, const TriggerMatch& match, uint32_t maxPolls,
                           const std::atomic<int32_t>* abandon, PausePlan* pauses = nullptr,
                           PreTriggerRing* ring = nullptr);
