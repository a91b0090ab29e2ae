#include "display/session_pyramid.h"

namespace {

struct BuiltFor {
    const uint8_t* samples = nullptr;
    uint32_t version = 0;
};

LevelPyramid pyramid;
BuiltFor builtFor;

}  // namespace

const LevelPyramid& sessionPyramid(const ScopeSession& session) {
    const uint32_t drawable = drawableSamples(session);
    const bool sameSamples =
        builtFor.samples == session.sampleData && builtFor.version == session.sampleVersion;
    if (!sameSamples || drawable < pyramid.length()) {
        pyramid.clear();
        builtFor = BuiltFor{session.sampleData, session.sampleVersion};
    }
    if (drawable > 0) {
        pyramid.extend(session.sampleData, drawable);
    }
    return pyramid;
}
