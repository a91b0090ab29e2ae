#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "capture/probe_clock.h"
#include "capture/status_port.h"

// What the simulated probe feeds each channel. The edges of all five are placed so that no two
// come closer than 5 µs: read every microsecond, every level lasts at least five samples.
enum class ProbeSignal {
    Clock,       // channel 1 (Error): 10 kHz square wave, edges at 0 and 50 µs of each 100 µs
    SerialText,  // channel 2 (Select): "Pinprobe" as 10 kbaud 8N1 frames every 10 ms, idle high
    Framing,     // channel 3 (Out Of Paper): low from one bit before the text to one bit after it
    Pwm,         // channel 4 (Acknowledge): 1 kHz, duty 10% up to 90% and back, 2 ms per step
    Bursts,      // channel 5 (Busy): three 5 µs pulses 5 µs apart, once per millisecond
};

// The level of one signal at `timeNs` after the probe started.
bool signalLevel(ProbeSignal signal, uint64_t timeNs);

// The status byte the probe shows at `timeNs` after it started: the five channels, bits 0-2 set.
uint8_t levelsAt(uint64_t timeNs);

// How long one read of the probe takes, as long as a read over the legacy I/O bus.
inline constexpr uint64_t kProbeReadNanoseconds = 1000;

// Stands in for the printer ports (every port number shows the same signals), chosen by
// --simulate. A read samples the levels at its start and returns one read time later.
class SimulatedProbe final : public PortAccess {
public:
    // `clock` must outlive the probe; time 0 of the signals is the moment of construction.
    explicit SimulatedProbe(ProbeClock& clock);

    StatusPort& port(uint8_t portNumber) override;
    PortReadiness prepareForCapture(uint8_t) override {
        return PortReadiness{true, "the simulated probe"};
    }
    std::vector<std::string> takeReports() override { return {}; }
    // Sampled as a port is, on the machine's time, so that it shows what a port would get here;
    // a test's virtual time gains nothing from it.
    bool wantsQuietSection() const override { return clock_.isMachineTime(); }
    // The probe's own clock, so that a virtual one times the captures too.
    ProbeClock& clock() override { return clock_; }

private:
    class ProbePort final : public StatusPort {
    public:
        explicit ProbePort(ProbeClock& clock);
        uint8_t read() override;

    private:
        ProbeClock& clock_;
        const uint64_t epoch_;
    };

    ProbeClock& clock_;
    ProbePort port_;
};
