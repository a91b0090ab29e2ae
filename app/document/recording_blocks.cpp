#include "app/document/recording_blocks.h"

#include <algorithm>
#include <cstdio>

#include "capture/probe_clock.h"
#include "capture/sampling_worker.h"
#include "capture/status_port.h"
#include "core/scope_session.h"

namespace {

constexpr uint32_t kFirstBlock = 4096;
constexpr uint32_t kLargestBlock = uint32_t{1} << 20;
constexpr double kBlockSeconds = 0.5;

}  // namespace

uint32_t nextBlockSize(const RecordingBlocks& run) {
    const double period = run.times.periodSeconds();
    uint64_t size = period > 0 ? static_cast<uint64_t>(kBlockSeconds / period) : kFirstBlock;
    size = std::clamp<uint64_t>(size, 1, kLargestBlock);
    if (run.goal.samples != 0) {
        size = std::min(size, run.goal.samples - run.times.samples());
    }
    size = std::min(size, kMostGoalSamples - run.times.samples());
    if (run.goal.seconds != 0 && period > 0) {
        const double left = std::max(run.goal.seconds - run.elapsed(), 0.0);
        size = std::min(size, std::max<uint64_t>(1, static_cast<uint64_t>(left / period)));
    }
    return static_cast<uint32_t>(size);
}

bool keepBlock(RecordingBlocks& run, uint32_t length) {
    const TimeBaseValues values = scopeSession.timeBase.valuesFor(0, length);
    const uint64_t now = workerLink.ports->clock().nowNanoseconds();
    const uint64_t lastNs =
        scopeSession.timeBase.known()
            ? scopeSession.timeBase.marks()[scopeSession.timeBase.markCount() - 1].nanoseconds
            : 0;
    JoinedTimes times = run.times;
    if (times.samples() == 0) {
        if (const std::optional<uint32_t> trigger = triggerIndex(scopeSession)) {
            times.triggerSample = *trigger;
        }
    }
    times.add(values, length, now - std::min(now, lastNs));
    if (!run.stream.append(scopeSession.sampleData, length, times)) {
        run.writeFailed = true;
        return false;
    }
    run.times = std::move(times);
    return true;
}

bool goalReached(const RecordingBlocks& run) {
    return (run.goal.samples != 0 && run.times.samples() >= run.goal.samples) ||
           (run.goal.seconds != 0 && run.elapsed() >= run.goal.seconds) ||
           run.times.samples() >= kMostGoalSamples;
}

std::string recordingProgressWords(const RecordingBlocks& run) {
    const double period = run.times.periodSeconds();
    char words[120];
    std::snprintf(words, sizeof words, "%llu samples, %.0f samples/s, %zu gaps, %.1f MB",
                  static_cast<unsigned long long>(run.times.samples()),
                  period > 0 ? 1.0 / period : 0.0, run.times.stalls(),
                  static_cast<double>(run.stream.bytes()) / 1e6);
    return words;
}
