#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "core/scope_session.h"
#include "display/sample_spans.h"

// What the drawing reads the session's samples through: the one pyramid over the samples it may
// draw (during a worker capture, those stored so far), shared by the trace and the strip, brought
// up to date: built again after the samples changed, extended while the worker stores more. A
// large recording is summed up on a thread of its own, and has no pyramid until that is done.
// Main thread only.
SampleSpans sessionSpans(const ScopeSession& session);

// A summing up under way: of how many samples, and how many are done.
struct SummingUp {
    uint32_t samples = 0;
    uint32_t summed = 0;
};

// The summing up under way for the session's samples as they are; none when there is none or
// all are summed up.
std::optional<SummingUp> sessionSummingUp(const ScopeSession& session);

// Called on the summing up's thread as it gets further and when it is done, to have the window
// draw again; taken by the builds started after it is set.
void setSummingUpNotice(std::function<void()> notice);
