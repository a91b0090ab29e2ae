#include "capture/trigger_wait.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "capture/pause_plan.h"
#include "capture/pre_trigger_ring.h"
#include "capture/status_port.h"
#include "core/trigger_conditions.h"

namespace {

// Reads in a row between two looks at the pauses, the clock and the abandon flag: often enough
// for any pause's run and a fine time base, rare enough that they cost the wait nothing.
constexpr uint32_t kStretch = PreTriggerRing::kRingMarkStride;
// More reads than any wait can make: the bound of a wait without one.
constexpr uint64_t kNoBound = std::numeric_limits<uint64_t>::max();

struct WaitRun {
    StatusPort& port;
    PreTriggerRing* ring;
    const std::atomic<int32_t>* abandon;
    PausePlan* pauses;
    uint64_t readsLeft;
};

// Filling the ring: no read is looked at.
struct FillOnly {
    bool fires(uint8_t) const { return false; }
};

// Levels alone: one masked compare per read.
class LevelsCheck {
public:
    explicit LevelsCheck(const TriggerMatch& match)
        : mask_(match.levelMask), want_(match.levelValue) {}
    bool fires(uint8_t now) const { return (now & mask_) == want_; }

private:
    const uint8_t mask_;
    const uint8_t want_;
};

// Edges, with levels or not: one masked compare per read against the edge channels as they were
// on the read before; the whole condition only where one of them changed.
class EdgesCheck {
public:
    EdgesCheck(const TriggerMatch& match, uint8_t first)
        : match_(match),
          mask_(match.riseMask | match.fallMask | match.anyEdgeMask),
          last_(first & mask_) {}
    bool fires(uint8_t now) {
        if ((now & mask_) == last_) {
            return false;
        }
        const uint8_t before = last_;
        last_ = now & mask_;
        return match_.holds(before, now);
    }

private:
    const TriggerMatch match_;
    const uint8_t mask_;
    uint8_t last_;
};

// Up to `count` reads, each stored at `keep` on where kKeep, until one fires `check`. Returns
// how many were read; `fired` tells whether the last of them fired.
template <bool kKeep, class Check>
uint32_t readStretch(StatusPort& port, uint8_t* keep, uint32_t count, Check& check, bool& fired) {
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t now = port.read();
        if constexpr (kKeep) {
            keep[i] = now;
        }
        if (check.fires(now)) {
            fired = true;
            return i + 1;
        }
    }
    return count;
}

// Between two stretches: a pause that is due, then the clock mark before the next read. False
// once the wait is abandoned.
bool betweenStretches(WaitRun& run) {
    if (run.pauses != nullptr) {
        run.pauses->pauseIfDue();
    }
    if (run.ring != nullptr) {
        run.ring->mark();
    }
    return run.abandon == nullptr || run.abandon->load(std::memory_order_relaxed) == 0;
}

// Stretch after stretch until `check` fires, the bound runs out or the wait is abandoned; none
// of these when `wanted` reads were read. A stretch ends where the ring goes round.
template <bool kKeep, class Check>
std::optional<TriggerWait> readUntil(WaitRun& run, Check& check, uint64_t wanted) {
    while (wanted > 0) {
        if (run.readsLeft == 0) {
            return TriggerWait::GaveUp;
        }
        auto count = static_cast<uint32_t>(std::min<uint64_t>({kStretch, wanted, run.readsLeft}));
        uint8_t* keep = nullptr;
        if constexpr (kKeep) {
            count = std::min(count, run.ring->room());
            keep = run.ring->next();
        }
        bool fired = false;
        const uint32_t read = readStretch<kKeep>(run.port, keep, count, check, fired);
        if constexpr (kKeep) {
            run.ring->advance(read);
        }
        wanted -= read;
        run.readsLeft -= read;
        if (fired) {
            return TriggerWait::Came;
        }
        if (!betweenStretches(run)) {
            return TriggerWait::Abandoned;
        }
    }
    return std::nullopt;
}

// The wait proper: its first read is where edges are first seen from, or fires levels alone.
template <bool kKeep>
TriggerWait armedWait(WaitRun& run, const TriggerMatch& match) {
    if (run.readsLeft == 0) {
        return TriggerWait::GaveUp;
    }
    const uint8_t first = run.port.read();
    if constexpr (kKeep) {
        run.ring->storeRead(first);
    }
    --run.readsLeft;
    if (match.holdsAtStart(first)) {
        return TriggerWait::Came;
    }
    if ((match.riseMask | match.fallMask | match.anyEdgeMask) == 0) {
        LevelsCheck levels(match);
        return readUntil<kKeep>(run, levels, kNoBound).value_or(TriggerWait::GaveUp);
    }
    EdgesCheck edges(match, first);
    return readUntil<kKeep>(run, edges, kNoBound).value_or(TriggerWait::GaveUp);
}

}  // namespace

TriggerWait waitForTrigger(StatusPort& port, const TriggerMatch& match, uint32_t maxPolls,
                           const std::atomic<int32_t>* abandon, PausePlan* pauses,
                           PreTriggerRing* ring) {
    WaitRun run{port, ring, abandon, pauses, maxPolls == 0 ? kNoBound : uint64_t{maxPolls} + 1};
    if (ring == nullptr) {
        return armedWait<false>(run, match);
    }
    // Armed only once the ring holds its share, as a bench instrument is: a trigger that came
    // sooner would give fewer samples before it.
    ring->mark();
    FillOnly fill;
    if (const std::optional<TriggerWait> end = readUntil<true>(run, fill, ring->share())) {
        return *end;
    }
    return armedWait<true>(run, match);
}
