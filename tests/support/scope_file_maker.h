#pragma once

#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

// Byte strings for hand-made RIFF files, good and bad.
std::string le32(uint32_t value);
// Id and size field only; the size may claim more or less than follows.
std::string chunkHeader(std::string_view id, uint32_t declaredSize);
// A well-formed chunk: header, data, and a zero pad byte when the data's length is odd.
std::string chunk(std::string_view id, std::string_view data);
// "RIFF", the size of the type and contents, the type, the contents.
std::string riffForm(std::string_view formType, std::string_view contents);
// The file the writer makes for these samples.
std::string scopeFileBytes(std::string_view samples);
// A file the writer made, as a reader that knows only "data" takes it: the form with its data
// chunk first, the chunks after it (the times) left out and the form's size what it then is.
std::string samplesPart(const std::string& file);

// A directory of its own under the system's temporary directory, removed with its contents.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string path(std::string_view name) const;
    // Writes `bytes` as file `name`; gives its path.
    std::string write(std::string_view name, std::string_view bytes) const;

private:
    std::string root_;
};

std::string readFileBytes(const std::string& path);

// A file in memory behind a stdio stream, with faults to order: a disk that holds `capacity`
// bytes, a seek that fails, a close that reports lost bytes.
struct MemoryFile {
    std::string bytes;
    size_t capacity = std::numeric_limits<size_t>::max();
    int failingSeek = 0;  // the n-th seek to an absolute offset fails (from 1); 0 for none
    bool failClose = false;
    std::vector<std::string>* log = nullptr;  // gets "closed" when the stream is closed

    uint64_t position = 0;
    int seeks = 0;
};
// Unbuffered, unless asked otherwise, so that each write reaches `file` as it is made.
std::FILE* openMemoryFile(MemoryFile& file, bool buffered = false);

// Small files that show the reader's paths; also the fuzzer's seed corpus.
struct SeedFile {
    std::string name;
    std::string bytes;
    int errorId;  // 0: loads
};
std::vector<SeedFile> seedFiles();
