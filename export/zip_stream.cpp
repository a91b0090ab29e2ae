#include "export/zip_stream.h"

#include <array>
#include <cerrno>
#include <limits>

namespace {

constexpr uint32_t kLocalHeader = 0x04034b50;
constexpr uint32_t kCentralHeader = 0x02014b50;
constexpr uint32_t kDirectoryEnd = 0x06054b50;
constexpr uint16_t kVersionNeeded = 20;
constexpr uint16_t kMadeOnUnix = 0x0300 | kVersionNeeded;
constexpr uint16_t kNamesInUtf8 = 1u << 11;
constexpr uint16_t kStored = 0;
constexpr uint16_t kDate1980 = (0 << 9) | (1 << 5) | 1;  // 1 January 1980, the zip epoch
constexpr uint32_t kRegularFileMode = 0100644u << 16;
constexpr size_t kMostEntries = std::numeric_limits<uint16_t>::max();

constexpr std::array<uint32_t, 256> crcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        table[n] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kCrcTable = crcTable();

void put16(std::vector<uint8_t>& bytes, uint16_t value) {
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void put32(std::vector<uint8_t>& bytes, uint32_t value) {
    put16(bytes, static_cast<uint16_t>(value));
    put16(bytes, static_cast<uint16_t>(value >> 16));
}

// What a local header and a central one share, from "version needed" to the name's length.
void putCommon(std::vector<uint8_t>& bytes, uint32_t crc, uint32_t size, size_t nameLength) {
    put16(bytes, kVersionNeeded);
    put16(bytes, kNamesInUtf8);
    put16(bytes, kStored);
    put16(bytes, 0);  // time
    put16(bytes, kDate1980);
    put32(bytes, crc);
    put32(bytes, size);  // stored: compressed and whole sizes are one
    put32(bytes, size);
    put16(bytes, static_cast<uint16_t>(nameLength));
}

uint32_t crcOf(const std::string& contents) {
    return zipCrc(reinterpret_cast<const uint8_t*>(contents.data()), contents.size());
}

std::vector<uint8_t> localEntry(const std::string& name, const std::string& contents,
                                uint32_t crc) {
    std::vector<uint8_t> bytes;
    put32(bytes, kLocalHeader);
    putCommon(bytes, crc, static_cast<uint32_t>(contents.size()), name.size());
    put16(bytes, 0);  // no extra field
    bytes.insert(bytes.end(), name.begin(), name.end());
    bytes.insert(bytes.end(), contents.begin(), contents.end());
    return bytes;
}

}  // namespace

uint32_t zipCrc(const uint8_t* bytes, size_t count, uint32_t crc) {
    crc = ~crc;
    for (size_t i = 0; i < count; ++i) {
        crc = kCrcTable[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    }
    return ~crc;
}

std::vector<uint8_t> ZipStream::lastEntryAndDirectory(uint64_t offset, const std::string& last) {
    const uint32_t crc = crcOf(last);
    std::vector<uint8_t> bytes = localEntry(lastName_, last, crc);
    std::vector<Entry> all = entries_;
    all.push_back(
        {lastName_, crc, static_cast<uint32_t>(last.size()), static_cast<uint32_t>(offset)});
    const uint64_t directoryStart = offset + bytes.size();
    for (const Entry& entry : all) {
        put32(bytes, kCentralHeader);
        put16(bytes, kMadeOnUnix);
        putCommon(bytes, entry.crc, entry.size, entry.name.size());
        put16(bytes, 0);  // extra field
        put16(bytes, 0);  // comment
        put16(bytes, 0);  // disk
        put16(bytes, 0);  // internal attributes
        put32(bytes, kRegularFileMode);
        put32(bytes, entry.offset);
        bytes.insert(bytes.end(), entry.name.begin(), entry.name.end());
    }
    const uint64_t directorySize = offset + bytes.size() - directoryStart;
    put32(bytes, kDirectoryEnd);
    put16(bytes, 0);
    put16(bytes, 0);
    put16(bytes, static_cast<uint16_t>(all.size()));
    put16(bytes, static_cast<uint16_t>(all.size()));
    put32(bytes, static_cast<uint32_t>(directorySize));
    put32(bytes, static_cast<uint32_t>(directoryStart));
    put16(bytes, 0);  // comment
    return bytes;
}

bool ZipStream::start(const std::string& firstName, const std::string& first,
                      const std::string& lastName, const std::string& last) {
    const uint32_t crc = crcOf(first);
    const std::vector<uint8_t> head = localEntry(firstName, first, crc);
    entries_ = {{firstName, crc, static_cast<uint32_t>(first.size()), 0}};
    lastName_ = lastName;
    return file_.start(head, lastEntryAndDirectory(head.size(), last));
}

bool ZipStream::append(const std::string& name, const std::string& contents,
                       const std::string& last) {
    const uint64_t offset = file_.bodyEnd();
    const uint32_t crc = crcOf(contents);
    const std::vector<uint8_t> entry = localEntry(name, contents, crc);
    entries_.push_back(
        {name, crc, static_cast<uint32_t>(contents.size()), static_cast<uint32_t>(offset)});
    const std::vector<uint8_t> behind = lastEntryAndDirectory(offset + entry.size(), last);
    if (offset + entry.size() + behind.size() > UINT32_MAX || entries_.size() >= kMostEntries) {
        entries_.pop_back();
        output_.error = EFBIG;
        return false;
    }
    if (!file_.append(entry.data(), entry.size(), behind, {})) {
        entries_.pop_back();
        return false;
    }
    return true;
}
