#pragma once

#include <memory>

#include "capture/port_choice.h"
#include "capture/port_reports.h"
#include "capture/status_port.h"

// The ports the program samples: the machine's printer ports, LPT1 and LPT2 found as `choices`
// say, or with `simulate` (the --simulate option) the simulated probe on the steady clock.
// `retry` tells how a port that could not be opened is tried again.
std::unique_ptr<PortAccess> makePortAccess(bool simulate, const PortChoices& choices = {},
                                           PortRetry retry = PortRetry::NextCapture);
