#include "capture/pause_plan.h"

#include <algorithm>

#include "capture/probe_clock.h"
#include "capture/scheduling_system.h"

std::vector<PauseRule> realTimeLimitPause(uint64_t softUs) {
    if (softUs == kNoLimit) {
        return {};
    }
    return {PauseRule{softUs * 1000 / 2, kShortPauseNs}};
}

void PausePlan::start(const std::vector<PauseRule>& rules) {
    if (rules.empty()) {
        return;
    }
    clock_.pauseFor(kShortPauseNs);
    rules_.insert(rules_.end(), rules.begin(), rules.end());
    runSinceNs_.assign(rules_.size(), clock_.nowNanoseconds());
    scheduleNext();
}

uint64_t PausePlan::pause(uint64_t nowNs) {
    uint64_t longest = 0;
    for (size_t i = 0; i < rules_.size(); ++i) {
        if (nowNs - runSinceNs_[i] >= rules_[i].runNs) {
            longest = std::max(longest, rules_[i].pauseNs);
        }
    }
    clock_.pauseFor(longest);
    const uint64_t after = clock_.nowNanoseconds();
    // A pause as long as a rule asks starts its run afresh, be it the rule's own or not.
    for (size_t i = 0; i < rules_.size(); ++i) {
        if (rules_[i].pauseNs <= longest) {
            runSinceNs_[i] = after;
        }
    }
    scheduleNext();
    return after;
}

void PausePlan::pauseIfDue() {
    const uint64_t now = clock_.nowNanoseconds();
    if (due(now)) {
        pause(now);
    }
}

void PausePlan::scheduleNext() {
    nextDueNs_ = std::numeric_limits<uint64_t>::max();
    for (size_t i = 0; i < rules_.size(); ++i) {
        nextDueNs_ = std::min(nextDueNs_, runSinceNs_[i] + rules_[i].runNs);
    }
}
