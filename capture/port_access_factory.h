#pragma once

#include <memory>

#include "capture/status_port.h"

// The ports the program samples: the machine's printer ports, or with `simulate` (the --simulate
// option) the simulated probe running on the steady clock.
std::unique_ptr<PortAccess> makePortAccess(bool simulate);
