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

// A chunk that was started and not yet closed: where its size field lies.
struct RiffOpenChunk {
    uint64_t sizeOffset = 0;
};

// Writes into an open stream, positioned at its start; the stream stays its owner's to close.
void attachRiffWriter(RiffWriter& writer, std::FILE* stream);

// Write a chunk header with a provisional size (and, for the form, its type).
bool startRiffForm(RiffWriter& writer, const FourCc& formType, RiffOpenChunk& form);
bool startRiffChunk(RiffWriter& writer, const FourCc& id, RiffOpenChunk& chunk);
// Writes all `count` bytes in one write, or reports failure.
bool writeRiffData(RiffWriter& writer, const void* bytes, size_t count);
// Patches the size field to the bytes written after it, appends a zero pad byte when that count is
// odd and leaves the position after the chunk. Everything written so far is handed to the system
// on the way, so that a full disk is reported here rather than lost at the close.
bool closeRiffChunk(RiffWriter& writer, const RiffOpenChunk& chunk);
