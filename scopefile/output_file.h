#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <cstdio>
#include <string>

struct OutputFile;

// Closes and drops what was written; an existing file stays as it was. Does nothing once the
// output is committed or discarded.
void discardOutputFile(OutputFile& output);

// Which file an output writes: the file itself (device and inode), or for one that does not
// exist yet its folder and name.
struct OutputIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    std::string name;  // empty for a file that exists
    bool operator==(const OutputIdentity&) const = default;
};

// A file being written that takes the place of its target only once it is complete.
// - A name that stands for a descriptor (/dev/stdout, /dev/fd/N, see descriptorNamed) is written
//   through that descriptor as the shell set it up.
// - The kernel opens the target (so it resolves the links and refuses a protected one); a FIFO
//   or a device is then written directly, a FIFO only while something reads it.
// - A regular file is written to a new temporary (mode 0600) beside the file the kernel opened,
//   synced, given the old file's owner and mode, and renamed over it: a write that fails
//   half-way leaves the old file as it was and no new name behind.
// - A file with more than one name, one in a folder that takes no new name or where the rename
//   is refused (someone else's file in a sticky folder), keeps its inode: the content is written
//   to a temporary first and then copied into the file, its room made sure of before.
// Every name is taken relative to an open folder, so a path of any length the kernel takes works.
// All of it goes through fileCalls().
struct OutputFile {
    OutputFile() = default;
    ~OutputFile() { discardOutputFile(*this); }  // one never committed leaves nothing behind
    OutputFile(const OutputFile&) = delete;      // the stream refers to this record
    OutputFile& operator=(const OutputFile&) = delete;

    enum class Way { Direct, Replace, InPlace };

    std::FILE* stream = nullptr;  // buffered; fflush hands what it holds to the file
    int error = 0;     // errno value of the last open or commit that failed; 0 when none was given
    std::string note;  // this program's own reason for that failure ("Nothing reads this FIFO")
    OutputIdentity identity;

    Way way = Way::Direct;
    int fd = -1;            // what the stream writes: the target when Direct, else the temporary
    int target = -1;        // the existing file the kernel opened, while it is to be rewritten
    int folder = -1;        // the folder of the named temporary and, when replacing, of the target
    std::string name;       // the target's name in `folder`
    std::string temporary;  // the temporary's name in `folder`; empty when it has none
    int unfinishedEntry = -1;
    bool hadOld = false;
    struct stat old {};  // what the existing file was
    uint64_t position = 0;
    uint64_t end = 0;  // the furthest byte written
};

struct OutputOptions {
    // Open a FIFO that nothing reads yet by waiting for its reader, rather than refusing it.
    bool waitForReader = false;
};

// Opens `path` for writing. Nothing of an existing file changes before commitOutputFile.
bool openOutputFile(OutputFile& output, const std::string& path, const OutputOptions& options = {});
// Takes over an open stream, written directly (standard output, a stream over memory).
void attachOutputFile(OutputFile& output, std::FILE* stream);

// Hands everything written to the disk and puts the file in place; closed either way. On failure
// `error` says why, and the old file is as it was.
bool commitOutputFile(OutputFile& output);
