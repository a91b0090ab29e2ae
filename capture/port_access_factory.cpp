#include "capture/port_access_factory.h"

#include "capture/hardware_port_access.h"
#include "capture/port_syscalls.h"
#include "capture/simulated_probe.h"

std::unique_ptr<PortAccess> makePortAccess(bool simulate, const PortChoices& choices,
                                           PortRetry retry) {
    if (simulate) {
        static SteadyProbeClock steadyClock;
        return std::make_unique<SimulatedProbe>(steadyClock);
    }
    return std::make_unique<HardwarePortAccess>(systemPortSyscalls(), choices, retry);
}
