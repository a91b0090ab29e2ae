#pragma once

#include <cstddef>

// Has the kernel back [begin, begin + bytes) with memory at once, in one call, rather than a page
// fault at a time as the range is first written: for a large buffer about to be filled whole
// (an opened recording's clock marks are megabytes, and a fault per page costs more than filling
// it). Only a hint: where the kernel cannot (before Linux 5.14), the pages come as they are used.
void prefaultForWriting(void* begin, size_t bytes);
