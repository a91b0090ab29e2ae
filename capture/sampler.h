#pragma once

#include <cstdint>

#include "capture/trigger_wait.h"

class PortAccess;

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

// The worker's busy delay: `multiplications` steps of the running value by the double nearest
// 10/9. The running value lives for the thread; the work cannot be optimised away.
void spendBusyDelay(int32_t multiplications);
