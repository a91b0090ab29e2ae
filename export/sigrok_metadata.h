#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the "metadata" file of a sigrok session says of its logic device.
struct SigrokMetadata {
    std::string captureFile;            // "logic-1": the logic files are logic-1-1, logic-1-2, ...
    uint64_t hertz = 0;                 // 0: no sample rate given
    uint32_t unitSize = 1;              // bytes per sample
    std::vector<std::string> channels;  // by bit, from bit 0; "" where a bit has no name
    std::optional<uint64_t> triggerSample;  // "trigger sample=", which this program writes
};

// Reads the first device section of `text`. False with `problem` for a session without logic
// data (no capture file, no channels) or with a value it cannot take.
bool parseSigrokMetadata(const std::string& text, SigrokMetadata& metadata, std::string& problem);

// "1 MHz", "250 kHz", "12.5 kHz", "20": a rate in whole hertz; 0 for anything else.
uint64_t parseSigrokRate(const std::string& text);
