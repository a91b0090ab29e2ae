#pragma once

#include "core/scope_session.h"
#include "display/level_pyramid.h"

// The pyramid over the samples the session may draw (during a worker capture, those stored so
// far), brought up to date: built again after the samples changed, extended while the worker
// stores more. Main thread only.
const LevelPyramid& sessionPyramid(const ScopeSession& session);
