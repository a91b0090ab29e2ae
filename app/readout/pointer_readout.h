#pragma once

#include <optional>
#include <string>

#include "app/view/trace_pointer.h"
#include "core/measure_zero.h"
#include "display/trace_readout.h"

// What the session's recording shows under the pointer; none without data or past its end.
std::optional<TraceReading> readPointer(const TracePointer& pointer);

// The readout as the tooltip shows it, one fact per line; sample numbers and times (not
// distances) counted from `zero`.
std::string readoutText(const TraceReading& reading, const MeasureZero& zero = {});

// The tooltip for the pointer; empty when no sample is under it.
std::string pointerReadout(const TracePointer& pointer);
