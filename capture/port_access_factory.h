#pragma once

#include <memory>

#include "capture/port_choice.h"
#include "capture/status_port.h"

// The ports the program samples: the machine's printer ports, LPT1 and LPT2 found as `choices`
// say, or with `simulate` (the --simulate option) the simulated probe on the steady clock.
std::unique_ptr<PortAccess> makePortAccess(bool simulate, const PortChoices& choices = {});
