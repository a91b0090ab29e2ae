#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// A four-character chunk code, compared byte for byte (case included).
using FourCc = std::array<char, 4>;

inline constexpr FourCc kRiffId{'R', 'I', 'F', 'F'};
// A scope file's form, its samples and its times.
inline constexpr FourCc kScopeFormType{'S', 'C', 'O', 'P'};
inline constexpr FourCc kDataId{'d', 'a', 't', 'a'};
inline constexpr FourCc kTimesId{'t', 'b', 'a', 's'};

// Every size field in the file is 32-bit little-endian, whatever the host.
inline uint32_t readLe32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

inline void writeLe32(uint8_t* bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

// A chunk as its header declares it. Offsets are 64-bit so that a size near 2^32 cannot wrap.
struct RiffChunk {
    FourCc id{};
    FourCc formType{};        // forms (RIFF) only
    uint32_t size = 0;        // the bytes after the size field, pad byte not included
    uint64_t dataOffset = 0;  // the first byte after the size field (the form type, for a form)

    uint64_t end() const { return dataOffset + size; }
};

enum class RiffSearch {
    Found,      // positioned at the chunk's data (after the form type, for a form)
    NotFound,   // the walk reached the end of its parent without a match
    Short,      // a header could not be read whole: the parent or the file ends inside it
    Malformed,  // a chunk to be skipped reaches past the end of its parent or of the file
};

// A file opened for reading; its length is taken once, when it is opened, and bounds every
// header. Headers are read through a window of the file, so that walking many small chunks costs
// one read per window rather than a seek per chunk.
struct RiffReader {
    std::FILE* file = nullptr;
    uint64_t fileSize = 0;
    uint64_t position = 0;  // where readRiffData reads next
    std::vector<uint8_t> window;
    uint64_t windowOffset = 0;
    size_t windowLength = 0;
};

// Opens a regular file without blocking on anything else (a FIFO, a device). False (and nothing
// open) when it cannot be opened or measured; `reason`, if given, then says why in a user's words.
bool openRiffReader(RiffReader& reader, const std::string& path, std::string* reason = nullptr);
// Takes over an open seekable stream, e.g. one over memory; on failure the stream is closed.
// A null stream (one that could not be opened) is a failure.
bool attachRiffReader(RiffReader& reader, std::FILE* stream);
void closeRiffReader(RiffReader& reader);

// Walks the top-level chunks from the first byte for a form "RIFF" of type `formType`.
RiffSearch findRiffForm(RiffReader& reader, const FourCc& formType, RiffChunk& form);
// Walks the chunks of `form` (not descending into lists) for one with id `id`. The walk ends at
// the form's declared end or at the end of the file, whichever comes first. The found chunk's
// size is reported as declared: it may reach past either.
RiffSearch findRiffChunk(RiffReader& reader, const RiffChunk& form, const FourCc& id,
                         RiffChunk& chunk);
// How many bytes of `chunk`'s data the file holds. A form's declared size bounds only the search
// for its chunks: writers that never patched it leave it short of data that lies whole in the file.
uint64_t riffBytesInFile(const RiffReader& reader, const RiffChunk& chunk);

// Reads up to `count` bytes from the found chunk's data on; gives the count read.
size_t readRiffData(RiffReader& reader, void* destination, size_t count);
