#pragma once

#include <cstdint>
#include <limits>
#include <vector>

class ProbeClock;

// A pause a real-time loop must take so that the system does not stop it at a moment of its own
// choosing: after running `runNs` since its last such pause, block for `pauseNs`.
struct PauseRule {
    uint64_t runNs = 0;
    uint64_t pauseNs = 0;
    bool operator==(const PauseRule&) const = default;
};

// The shortest pause that surely blocks, which is all RLIMIT_RTTIME asks.
inline constexpr uint64_t kShortPauseNs = 20'000;

// The pause RLIMIT_RTTIME asks of a real-time thread: it is stopped (SIGXCPU) once it has run
// `softUs` without blocking, so it blocks a moment halfway; none without a limit.
std::vector<PauseRule> realTimeLimitPause(uint64_t softUs);

// The pauses of one real-time sample loop, timed by its clock. The loop asks due() where it reads
// the clock anyway, and pause() when it is: a pause of the plan happens only there, so that
// the loop knows where it stopped.
class PausePlan {
public:
    explicit PausePlan(ProbeClock& clock) : clock_(clock) {}

    // Adds the rules, their run counted from now, after a short pause that starts the budgets
    // afresh (a real-time thread's run is counted on from its last block).
    void start(const std::vector<PauseRule>& rules);
    bool empty() const { return rules_.empty(); }
    const std::vector<PauseRule>& rules() const { return rules_; }

    bool due(uint64_t nowNs) const { return nowNs >= nextDueNs_; }
    // Blocks for the longest pause of the rules due at `nowNs`; returns the clock after it.
    uint64_t pause(uint64_t nowNs);
    // For a loop that does not read the clock itself.
    void pauseIfDue();

private:
    void scheduleNext();

    ProbeClock& clock_;
    std::vector<PauseRule> rules_;
    std::vector<uint64_t> runSinceNs_;  // per rule
    uint64_t nextDueNs_ = std::numeric_limits<uint64_t>::max();
};
