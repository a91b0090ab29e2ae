#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

class TimeBase;
class WindowSystem;

// Where Go To is asked to go: a sample number as the readout counts them ("1234"), or a time from
// the first sample with its unit ("3.5 ms", "12us", "0.25 s").
struct GoToTarget {
    bool time = false;
    double value = 0;  // the sample number, or seconds
};

// None for text that is neither: no number, a negative one, a fraction of a sample, an unknown
// unit or words after it.
std::optional<GoToTarget> parseGoTo(std::string_view text);

// The index into the data of the target: a sample number counted from `origin` (the capture's
// number of index 0), a time through `timeBase` (null: the recording has no times). None when
// it lies outside the `length` samples kept, or is a time without times to find it by.
std::optional<uint32_t> goToIndex(const GoToTarget& target, const TimeBase* timeBase,
                                  uint32_t origin, uint32_t length);

// View > Go To (Ctrl+G): asks for a sample number or a time, then moves the marker there and the
// view to it. A text that names no sample of the recording beeps and changes nothing.
void goTo(WindowSystem& mainWindow);
