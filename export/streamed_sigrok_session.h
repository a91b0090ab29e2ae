#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/channel_looks.h"
#include "export/zip_stream.h"

// A sigrok session written while the capture runs, as sigrok itself streams one: the samples
// in files "logic-1-1", "logic-1-2", ... one per block, and "metadata" after them with the sample
// rate measured so far, the channels by `names` and, once it is known, the trigger point. After
// every block the file is a whole session.
class SigrokSessionStream {
public:
    explicit SigrokSessionStream(OutputFile& output,
                                 const ChannelNames& names = defaultChannelNames())
        : zip_(output), names_(names) {}

    // The session without samples, at the rate `hertz` the capture is expected to run at.
    bool start(uint64_t hertz);
    // Appends a block of `count` status bytes; the session's rate becomes `hertz`, and its
    // trigger point the session's sample `trigger` when there is one. False as ZipStream::append
    // is; the session then holds what it held before.
    bool append(const uint8_t* samples, uint32_t count, uint64_t hertz,
                std::optional<uint64_t> trigger = std::nullopt);

    uint64_t samples() const { return samples_; }
    uint64_t bytes() const { return zip_.bytes(); }

private:
    ZipStream zip_;
    ChannelNames names_;
    uint32_t blocks_ = 0;
    uint64_t samples_ = 0;
};
