#pragma once

#include <cstdint>

#include "export/zip_stream.h"

// A sigrok session written while the capture runs, as sigrok itself streams one: the samples
// in files "logic-1-1", "logic-1-2", ... one per block, and "metadata" after them with the sample
// rate measured so far. After every block the file is a whole session.
class SigrokSessionStream {
public:
    explicit SigrokSessionStream(OutputFile& output) : zip_(output) {}

    // The session without samples, at the rate `hertz` the capture is expected to run at.
    bool start(uint64_t hertz);
    // Appends a block of `count` status bytes; the session's rate becomes `hertz`. False as
    // ZipStream::append is; the session then holds what it held before.
    bool append(const uint8_t* samples, uint32_t count, uint64_t hertz);

    uint64_t samples() const { return samples_; }
    uint64_t bytes() const { return zip_.bytes(); }

private:
    ZipStream zip_;
    uint32_t blocks_ = 0;
    uint64_t samples_ = 0;
};
