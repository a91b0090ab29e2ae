#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "capture/hardware_port_access.h"
#include "capture/port_syscalls.h"
#include "capture/simulated_probe.h"

namespace {

// Ports that answer at once, so that only the cost of the access layer itself is measured.
class InstantSyscalls final : public PortSyscalls {
public:
    int grantPorts(uint16_t, uint16_t, bool) override { return 0; }
    uint8_t inPort(uint16_t address) override { return static_cast<uint8_t>(address); }
    int openDevice(const std::string&) override { return -1; }
    void closeDevice(int) override {}
    int setExclusive(int) override { return 0; }
    int claim(int) override { return 0; }
    int readStatus(int, uint8_t& status) override {
        status = 0;
        return 0;
    }
    int release(int) override { return 0; }
    int readTextFile(const std::string&, std::string&) override { return -1; }
    int listDirectory(const std::string&, std::vector<std::string>&) override { return -1; }
};

void BM_LevelsAt(benchmark::State& state) {
    uint64_t time = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(levelsAt(time));
        time += 1000;
    }
}
BENCHMARK(BM_LevelsAt);

void BM_DirectIoReadOverhead(benchmark::State& state) {
    InstantSyscalls syscalls;
    HardwarePortAccess access(syscalls);
    StatusPort& port = access.port(1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(port.read());
    }
}
BENCHMARK(BM_DirectIoReadOverhead);

template <class Clock>
void BM_SimulatedRead(benchmark::State& state) {
    Clock clock;
    SimulatedProbe probe(clock);
    StatusPort& port = probe.port(1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(port.read());
    }
}
BENCHMARK(BM_SimulatedRead<VirtualProbeClock>);
// Should come out at about one microsecond per read, like a port on the legacy I/O bus.
BENCHMARK(BM_SimulatedRead<SteadyProbeClock>);

}  // namespace
