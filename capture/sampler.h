#pragma once

#include <atomic>
#include <cstdint>

class PausePlan;
class PortAccess;
class StatusPort;

// Further reads the fastest loop's trigger wait compares before it gives up.
inline constexpr uint32_t kInlineTriggerPolls = 3'000'000;

// Multiplications of the worker's busy delay per delay unit.
inline constexpr int kMultiplicationsPerDelayUnit = 20;

// The fastest capture, on the caller's thread: fills all sampleLength slots of sampleData from
// the port selected by portNumber, after the bounded trigger wait when a port trigger is set, and
// keeps when each sample was taken in timeBase; both in a quiet section where the port wants
// one. False when that wait gave up and the capture ran without its trigger.
bool captureInline(PortAccess& ports);

enum class TriggerWait {
    Came,       // a selected channel changed
    GaveUp,     // `maxPolls` further reads saw no change
    Abandoned,  // `*abandon` became non-zero
};

// Waits until `port` AND `mask` differs from its first read; the ending byte is dropped.
// Gives up after `maxPolls` further reads (0: no bound) or when `*abandon` becomes non-zero.
// Takes the pauses `pauses` asks for, where it is given.
TriggerWait waitForPortTrigger(StatusPort& port, uint8_t mask, uint32_t maxPolls,
                               const std::atomic<int32_t>* abandon, PausePlan* pauses = nullptr);

// The worker's busy delay: `multiplications` steps of the running value by the double nearest
// 10/9. The running value lives for the thread; the work cannot be optimised away.
void spendBusyDelay(int32_t multiplications);
