#pragma once

// How long one delay unit of the worker's busy delay lasts on this machine: measured the first
// time it is asked for, over a few milliseconds of delay, and kept for the run.
double delayUnitSeconds();
