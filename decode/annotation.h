#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One annotation a decoder gave, as plain data.
struct Annotation {
    uint32_t start = 0;       // data index of its first sample
    uint32_t end = 0;         // data index just past its last sample
    size_t stack = 0;         // index of the stack whose decoder gave it
    std::string instance;     // "uart-1", as sigrok-cli names it
    std::string decoder;      // "uart"
    int annotationClass = 0;  // index into the decoder's annotation classes
    int row = -1;             // index into the decoder's rows; -1 when no row lists the class
    std::vector<std::string> texts;  // the full text first, then shorter forms
    bool spansGap = false;           // the sampling stood still inside it
};
