#include "display/session_pyramid.h"

#include <utility>

#include "display/pyramid_build.h"

namespace {

// Up to this many samples are summed up at once at the paint: a classic 500000 takes about 5 ms,
// less than handing them to a thread and drawing twice.
constexpr uint32_t kSummedAtOnce = 1U << 20;

struct BuiltFor {
    const uint8_t* samples = nullptr;
    uint32_t version = 0;
};

struct SessionSumming {
    LevelPyramid pyramid;
    // The pyramid is over the samples of builtFor (those so far); false while they are summed up.
    bool ready = false;
    BuiltFor builtFor;
    // Names the samples of builtFor to the build, so that none is taken for other samples.
    uint64_t ticket = 0;
    std::function<void()> notice;
    PyramidBuild build;  // after what its thread's notice may reach
};

SessionSumming& summing() {
    static SessionSumming state;
    return state;
}

void stopBuild() {
    summing().build.cancel();
}

bool sameSamples(const BuiltFor& built, const ScopeSession& session) {
    return built.samples == session.sampleData && built.version == session.sampleVersion;
}

void startOver(SessionSumming& m, const ScopeSession& session) {
    m.build.cancel();
    m.pyramid.clear();
    m.ready = false;
    m.builtFor = BuiltFor{session.sampleData, session.sampleVersion};
    ++m.ticket;
}

// The finished build taken over, a small recording or a capture summed up here, or a build
// started for a large one.
void bringIn(SessionSumming& m, const ScopeSession& session, uint32_t drawable) {
    if (std::optional<LevelPyramid> built = m.build.take(m.ticket)) {
        m.pyramid = std::move(*built);
        m.ready = true;
    } else if (m.build.underWay(m.ticket)) {
        return;
    } else if (drawable <= kSummedAtOnce || session.workerCapturing) {
        m.ready = true;
    } else {
        setSampleReaderStop(&stopBuild);
        m.build.start(session.sampleData, drawable, m.ticket, m.notice);
    }
}

}  // namespace

SampleSpans sessionSpans(const ScopeSession& session) {
    SessionSumming& m = summing();
    const uint32_t drawable = drawableSamples(session);
    if (!sameSamples(m.builtFor, session) || drawable < m.pyramid.length()) {
        startOver(m, session);
    }
    if (!m.ready) {
        bringIn(m, session, drawable);
    }
    if (m.ready && drawable > 0) {
        m.pyramid.extend(session.sampleData, drawable);
    }
    return SampleSpans{session.sampleData, m.ready ? &m.pyramid : nullptr};
}

std::optional<SummingUp> sessionSummingUp(const ScopeSession& session) {
    const SessionSumming& m = summing();
    // Done once all are summed, also before a zoomed-out paint takes the pyramid over.
    if (m.ready || !sameSamples(m.builtFor, session) || !m.build.underWay(m.ticket) ||
        m.build.summed() == m.build.length()) {
        return std::nullopt;
    }
    return SummingUp{m.build.length(), m.build.summed()};
}

void setSummingUpNotice(std::function<void()> notice) {
    summing().notice = std::move(notice);
}
