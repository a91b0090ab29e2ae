#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "scopefile/output_file.h"

// A file that grows while a recording runs and is complete after every step: a head of fixed
// size, a body that only grows, and a trailer after the body that each step writes anew (the
// index a reader needs). A step that fails (a full disk) leaves the file as the step before
// left it, so that what was written up to then stays readable.
class TrailedOutput {
public:
    // Over `output`, opened and not yet written; it must be a file that can be written at any
    // offset (not a pipe).
    explicit TrailedOutput(OutputFile& output) : output_(output) {}

    // Writes the head, `trailer` after it, and takes the body to start after the head.
    bool start(const std::vector<uint8_t>& head, const std::vector<uint8_t>& trailer);
    // Appends `body` after the body so far, puts `trailer` behind it, then writes `patches`
    // (bytes at offsets within the head). False with the output's error set when any write
    // failed; the file is then as the last step that succeeded left it.
    struct Patch {
        uint64_t offset = 0;
        std::vector<uint8_t> bytes;
    };
    bool append(const uint8_t* body, size_t count, const std::vector<uint8_t>& trailer,
                const std::vector<Patch>& patches);

    // Bytes in the file as the last step left it.
    uint64_t size() const { return bodyEnd_ + trailer_.size(); }
    uint64_t bodyEnd() const { return bodyEnd_; }

private:
    bool writeAt(const uint8_t* bytes, size_t count, uint64_t offset);
    void restore();

    OutputFile& output_;
    uint64_t bodyEnd_ = 0;
    std::vector<uint8_t> trailer_;  // as the file holds it now
    std::vector<uint8_t> head_;     // as the file holds it now
};

// Whether `output` can be written as a TrailedOutput: a regular file (a temporary or the file
// itself), not a pipe or a terminal.
bool writableAnywhere(const OutputFile& output);
