#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

struct OutputFile;

// Closes and drops what was written; an existing file stays as it was, unless it was being
// written in place. Does nothing once the output is committed or discarded.
void discardOutputFile(OutputFile& output);

// A file being written that takes the place of its target only once it is complete: it is
// written under a new name in the target's folder, synced, then renamed over the target, so that
// a write that fails half-way leaves the old file as it was and no new name behind. A symbolic
// link is followed (the file it points at is replaced, the link stays a link), and the target's
// permissions and, where allowed, its owner carry over. Devices and FIFOs are written directly;
// a file whose folder takes no new name is written in place. All of it goes through fileCalls().
struct OutputFile {
    OutputFile() = default;
    ~OutputFile() { discardOutputFile(*this); }  // one never committed leaves nothing behind
    OutputFile(const OutputFile&) = delete;      // the stream refers to this record
    OutputFile& operator=(const OutputFile&) = delete;

    enum class Way { Direct, InPlace, Replace };

    std::FILE* stream = nullptr;  // buffered; fflush hands what it holds to the file
    int error = 0;  // errno value of the last open or commit that failed; 0 when none was given

    Way way = Way::Direct;
    int fd = -1;
    std::string target;     // the file written or replaced, links followed
    std::string temporary;  // the new name while replacing
    uint64_t position = 0;
    uint64_t end = 0;  // the furthest byte written
};

// Opens `path` for writing. Nothing of an existing file changes before commitOutputFile.
bool openOutputFile(OutputFile& output, const std::string& path);
// Takes over an open stream, written directly (standard output, a stream over memory).
void attachOutputFile(OutputFile& output, std::FILE* stream);

// Hands everything written to the disk and puts the file in place; closed either way. On failure
// `error` says why, and the old file is as it was.
bool commitOutputFile(OutputFile& output);
