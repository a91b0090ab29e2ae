#pragma once

#include <cstdint>

class WindowSystem;

// Marks sample `index` (an index into the data) and moves the view so that it stands in the
// middle of the screen, or as near as the ends of the recording allow. Nothing without data, or
// for an index past its end.
void markAndShowSample(WindowSystem& mainWindow, uint32_t index);
