#pragma once

class TimeBase;

// The session's time base where the main thread may read it: known, and not still the worker's
// (its gaps are found when its capture ends). Null otherwise: times are then sample numbers.
const TimeBase* recordingTime();
