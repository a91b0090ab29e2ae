#include "tests/support/session_samples.h"

#include <algorithm>

#include "core/scope_session.h"

void loadSessionSamples(const std::vector<uint8_t>& samples) {
    releaseSampleData();
    scopeSession.sampleData = obtainSampleBuffer(samples.size());
    std::copy(samples.begin(), samples.end(), scopeSession.sampleData);
    scopeSession.sampleLength = static_cast<uint32_t>(samples.size());
}
