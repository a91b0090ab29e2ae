#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "scopefile/riff_reader.h"

// A stream the chunks are written to. The writer counts what it writes itself, so that closing
// a chunk needs no position query on the stream.
struct RiffWriter {
    std::FILE* file = nullptr;
    uint64_t position = 0;
};

// A chunk that was started and not yet closed: where its size field lies, and what it says.
struct RiffOpenChunk {
    uint64_t sizeOffset = 0;
    uint32_t declaredSize = 0;
};

// Writes into an open stream, positioned at its start; the stream stays its owner's to close.
void attachRiffWriter(RiffWriter& writer, std::FILE* stream);

// Write a chunk header (and, for the form, its type) with the size the chunk will have, where the
// caller knows it: a stream that cannot seek back (a pipe, a FIFO, a terminal) then gets a
// complete file. 0 where it is not known yet.
bool startRiffForm(RiffWriter& writer, const FourCc& formType, RiffOpenChunk& form,
                   uint32_t declaredSize = 0);
bool startRiffChunk(RiffWriter& writer, const FourCc& id, RiffOpenChunk& chunk,
                    uint32_t declaredSize = 0);
// Writes all `count` bytes in one write, or reports failure.
bool writeRiffData(RiffWriter& writer, const void* bytes, size_t count);
// Appends a zero pad byte when the count of bytes written after the size field is odd, and
// patches the size field to that count where it declared another, leaving the position after
// the chunk. Everything written so far is handed to the system
// on the way, so that a full disk is reported here rather than lost at the close.
bool closeRiffChunk(RiffWriter& writer, const RiffOpenChunk& chunk);
