#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "capture/status_port.h"

// How long a test double waits for another thread before it gives up. Generous, so that only a
// fault reaches it, never a slow or busy machine.
inline constexpr std::chrono::seconds kTestWaitLimit{20};

// A status port for tests: plays a script of bytes, counts its reads, and can act or hold during
// one chosen read, so that a test can step in at a known point of a capture on another thread.
// Configure it before any thread reads it.
class ScriptedPort : public StatusPort {
public:
    using ByteAt = std::function<uint8_t(uint64_t readIndex)>;

    // Plays `script`, then repeats its last byte; an empty script reads 0xFF, as an absent port.
    void play(std::vector<uint8_t> script);
    // Plays `script`, then answers read `readIndex` (counted from 0) with `after(readIndex)`.
    void play(std::vector<uint8_t> script, ByteAt after);
    // Plays `quiet(read)` with `channel` cleared but `channel` alone on each read of `pulses`,
    // up to the last of them; then `after(read)`.
    void playPulses(uint8_t channel, const std::vector<uint64_t>& pulses, const ByteAt& quiet,
                    ByteAt after);
    // What read number `readIndex` (from 0) returns.
    uint8_t byteAt(uint64_t readIndex) const;

    // Runs `action` on the reading thread during read number `readIndex`.
    void onRead(uint64_t readIndex, std::function<void()> action);

    // Each read takes `readNanoseconds` of `clock`'s time; read `readIndex` (any number of them)
    // takes `stallNanoseconds` more, as a preempted read would.
    void paceWith(VirtualProbeClock& clock, uint64_t readNanoseconds);
    void stallAt(uint64_t readIndex, uint64_t stallNanoseconds);

    // Holds read number `readIndex` on the reading thread until release() is called or
    // `releaseWhen` (polled) turns true, at most kTestWaitLimit; holdExpired() tells if it ran out.
    void holdAt(uint64_t readIndex, std::function<bool()> releaseWhen = {});
    // Test thread: waits until the reader is held; false when that did not happen in time.
    bool waitUntilHeld();
    void release();
    bool holdExpired() const;

    // Test thread: waits until at least `count` reads were made; false when not in time.
    bool waitForReads(uint64_t count) const;

    uint8_t read() override;
    uint64_t reads() const { return reads_.load(); }

private:
    static constexpr uint64_t kNever = std::numeric_limits<uint64_t>::max();

    void holdHere();

    std::vector<uint8_t> script_;
    ByteAt after_;
    uint64_t actionIndex_ = kNever;
    std::function<void()> action_;
    uint64_t holdIndex_ = kNever;
    std::function<bool()> releaseWhen_;
    VirtualProbeClock* clock_ = nullptr;
    uint64_t readNanoseconds_ = 0;
    std::map<uint64_t, uint64_t> stalls_;

    std::atomic<uint64_t> reads_{0};
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool held_ = false;
    bool released_ = false;
    bool expired_ = false;
};

// The two printer ports as scripted ports; remembers which port numbers were asked for.
class ScriptedPortAccess : public PortAccess {
public:
    ScriptedPort lpt1;
    ScriptedPort lpt2;
    bool quiet = false;  // what wantsQuietSection answers
    // The clock the loops time the reads by; the machine's unless a test gives its own.
    ProbeClock* timing = nullptr;

    // LPT2 for 2, LPT1 for anything else (portsAsked() shows what was asked).
    StatusPort& port(uint8_t portNumber) override;
    std::vector<std::string> takeReports() override { return {}; }
    bool wantsQuietSection() const override { return quiet; }
    ProbeClock& clock() override { return timing != nullptr ? *timing : machineClock(); }

    std::vector<int> portsAsked() const;
    // Lets go of any held read, so that a failing test cannot leave a reader stuck.
    void releaseAll();

private:
    mutable std::mutex mutex_;
    std::vector<int> asked_;
};
