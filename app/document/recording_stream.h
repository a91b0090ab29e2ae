#pragma once

#include <cstdint>
#include <string>

#include "core/channel_looks.h"
#include "export/streamed_sigrok_session.h"
#include "scopefile/joined_times.h"
#include "scopefile/streamed_scope_file.h"

// The file a long capture writes as it runs: a sigrok session, its channels by `names`, for a
// name ending in ".sr", else a scope file. Whole after every block.
class RecordingStream {
public:
    RecordingStream(OutputFile& output, const std::string& path, const ChannelNames& names);

    bool sigrok() const { return sigrok_; }
    bool start();
    // Appends a block; `times` are those of every sample so far, the block's included (a sigrok
    // session keeps only their typical rate and the trigger point). False as the streams'
    // append is.
    bool append(const uint8_t* samples, uint32_t count, const JoinedTimes& times);
    uint64_t bytes() const { return sigrok_ ? session_.bytes() : scope_.bytes(); }

private:
    const bool sigrok_;
    SigrokSessionStream session_;
    ScopeFileStream scope_;
};

// Whether `path` names a sigrok session: it ends in ".sr", in any case.
bool namesSigrokSession(const std::string& path);
