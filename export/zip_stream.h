#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scopefile/trailed_output.h"

// A zip archive that grows entry by entry and is a whole archive after each step: the entries
// are stored as they are (a reader needs no more than their CRC), and the last entry and the
// central directory are written anew behind each new one. Without Zip64: the archive stays
// below 4 GiB and 65535 entries.
class ZipStream {
public:
    explicit ZipStream(OutputFile& output) : output_(output), file_(output) {}

    // The archive with `first` as its first entry and `last` as its last.
    bool start(const std::string& firstName, const std::string& first, const std::string& lastName,
               const std::string& last);
    // Adds entry `name` before the last one, whose contents become `last`. False when a write
    // failed (the output's error set) or the archive would pass its limits (EFBIG); the archive
    // is then as it was.
    bool append(const std::string& name, const std::string& contents, const std::string& last);

    uint64_t bytes() const { return file_.size(); }

private:
    struct Entry {
        std::string name;
        uint32_t crc = 0;
        uint32_t size = 0;
        uint32_t offset = 0;  // of its local header
    };
    // The last entry at `offset`, then the central directory of every entry.
    std::vector<uint8_t> lastEntryAndDirectory(uint64_t offset, const std::string& last);

    OutputFile& output_;
    TrailedOutput file_;
    std::vector<Entry> entries_;  // the growing ones: all but the last
    std::string lastName_;
};

// The CRC-32 of zip archives (polynomial 0xEDB88320), continued from `crc`.
uint32_t zipCrc(const uint8_t* bytes, size_t count, uint32_t crc = 0);
