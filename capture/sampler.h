#pragma once

#include <atomic>
#include <cstdint>

class PausePlan;
class PortAccess;
class PreTriggerRing;
class StatusPort;
struct TriggerMatch;

// Further reads the fastest loop's trigger wait compares before it gives up.
inline constexpr uint32_t kInlineTriggerPolls = 3'000'000;

// Multiplications of the worker's busy delay per delay unit.
inline constexpr int kMultiplicationsPerDelayUnit = 20;

// The fastest capture, on the caller's thread: fills all sampleLength slots of sampleData from
// the port selected by portNumber, after the bounded trigger wait when a trigger is set (its
// newest reads first where a pre-trigger share is set), and keeps when each sample was taken in
// timeBase and where the trigger fired in triggerSample; all in a quiet section where the port
// wants one. False when that wait gave up and the capture ran without its trigger.
bool captureInline(PortAccess& ports);

enum class TriggerWait {
    Came,       // the conditions held
    GaveUp,     // `maxPolls` further reads did not meet them
    Abandoned,  // `*abandon` became non-zero
};

// Reads `port` until the read that meets `match`: levels on that read, edges from the read before
// (the first read fires only a wait for levels alone). Gives up after `maxPolls` further reads
// (0: no bound) or when `*abandon` becomes non-zero. Takes the pauses `pauses` asks for, where it
// is given. Every read goes into `ring`, where it is given; without one the ending read is lost.
TriggerWait waitForTrigger(StatusPort& port, const TriggerMatch& match, uint32_t maxPolls,
                           const std::atomic<int32_t>* abandon, PausePlan* pauses = nullptr,
                           PreTriggerRing* ring = nullptr);

// The worker's busy delay: `multiplications` steps of the running value by the double nearest
// 10/9. The running value lives for the thread; the work cannot be optimised away.
void spendBusyDelay(int32_t multiplications);
