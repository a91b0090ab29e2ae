#include "tests/support/scope_file_maker.h"

#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "resources/string_table.h"

std::string le32(uint32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<char>(value >> (8 * i));
    }
    return bytes;
}

std::string chunkHeader(std::string_view id, uint32_t declaredSize) {
    return std::string(id) + le32(declaredSize);
}

std::string chunk(std::string_view id, std::string_view data) {
    std::string bytes = chunkHeader(id, static_cast<uint32_t>(data.size())) + std::string(data);
    if (data.size() % 2 != 0) {
        bytes += '\0';
    }
    return bytes;
}

std::string riffForm(std::string_view formType, std::string_view contents) {
    return chunkHeader("RIFF", static_cast<uint32_t>(4 + contents.size())) + std::string(formType) +
           std::string(contents);
}

std::string scopeFileBytes(std::string_view samples) {
    return riffForm("SCOP", chunk("data", samples));
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pinprobe-XXXXXX").string();
    root_ = mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::string TempDir::path(std::string_view name) const {
    return root_ + "/" + std::string(name);
}

std::string TempDir::write(std::string_view name, std::string_view bytes) const {
    const std::string file = path(name);
    std::ofstream(file, std::ios::binary).write(bytes.data(), bytes.size());
    return file;
}

std::string readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

namespace {

ssize_t readMemory(void* cookie, char* buffer, size_t size) {
    auto& file = *static_cast<MemoryFile*>(cookie);
    const size_t start = std::min<uint64_t>(file.position, file.bytes.size());
    const size_t count = std::min(size, file.bytes.size() - start);
    std::memcpy(buffer, file.bytes.data() + start, count);
    file.position = start + count;
    return static_cast<ssize_t>(count);
}

ssize_t writeMemory(void* cookie, const char* buffer, size_t size) {
    auto& file = *static_cast<MemoryFile*>(cookie);
    const size_t room = file.capacity > file.position ? file.capacity - file.position : 0;
    const size_t count = std::min(size, room);
    if (file.bytes.size() < file.position + count) {
        file.bytes.resize(file.position + count);
    }
    file.bytes.replace(file.position, count, buffer, count);
    file.position += count;
    if (count < size) {
        errno = ENOSPC;
    }
    return static_cast<ssize_t>(count);
}

int seekMemory(void* cookie, off64_t* offset, int whence) {
    auto& file = *static_cast<MemoryFile*>(cookie);
    if (whence == SEEK_SET && ++file.seeks == file.failingSeek) {
        errno = EIO;
        return -1;
    }
    const off64_t base = whence == SEEK_SET   ? 0
                         : whence == SEEK_CUR ? static_cast<off64_t>(file.position)
                                              : static_cast<off64_t>(file.bytes.size());
    file.position = static_cast<uint64_t>(base + *offset);
    *offset = static_cast<off64_t>(file.position);
    return 0;
}

int closeMemory(void* cookie) {
    auto& file = *static_cast<MemoryFile*>(cookie);
    if (file.log != nullptr) {
        file.log->push_back("closed");
    }
    return file.failClose ? -1 : 0;
}

}  // namespace

std::FILE* openMemoryFile(MemoryFile& file, bool buffered) {
    std::FILE* stream =
        fopencookie(&file, "r+", {&readMemory, &writeMemory, &seekMemory, &closeMemory});
    if (stream != nullptr && !buffered) {
        std::setvbuf(stream, nullptr, _IONBF, 0);
    }
    return stream;
}

std::string samplesPart(const std::string& file) {
    if (file.size() < 20) {
        return file;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(file.data());
    const uint32_t count = bytes[16] | bytes[17] << 8 | bytes[18] << 16 | uint32_t{bytes[19]} << 24;
    const size_t padded = count + (count & 1u);
    return "RIFF" + le32(static_cast<uint32_t>(12 + padded)) + file.substr(8, 12 + padded);
}

namespace {

// Times for three samples: version 1, no trigger point, from sample 0, every period 0, two
// marks and a stall before sample 1.
std::string timesChunkBytes() {
    const std::string zero64(8, '\0');
    return le32(1) + le32(0) + le32(0) + le32(0) + zero64 + zero64 + zero64 + zero64 + le32(2) +
           le32(1) + le32(0) + zero64 + le32(3) + le32(3000) + le32(0) + le32(1) + le32(500) +
           le32(0) + le32(0) + le32(0);
}

}  // namespace

std::vector<SeedFile> seedFiles() {
    const std::string wave = riffForm(
        "WAVE", chunk("fmt ", std::string(16, '\1')) + chunk("data", std::string(4, '\x80')));
    return {
        {"odd.sco", scopeFileBytes("\x08\x10\x27"), 0},
        {"even.sco", scopeFileBytes(std::string("\xff\x00\x07\xf8", 4)), 0},
        {"list_before_data.sco",
         riffForm("SCOP", chunk("LIST", "INFO" + chunk("data", "xy")) + chunk("data", "abc")), 0},
        {"chunks_before_form.sco", chunk("JUNK", "odd") + wave + scopeFileBytes("z"), 0},
        {"wave.wav", wave, IDS_NOT_A_SCOPE_FILE},
        {"no_data.sco", riffForm("SCOP", chunk("JUNK", "j")), IDS_NO_DATA_CHUNK},
        {"empty_data.sco", scopeFileBytes(""), IDS_EMPTY_DATA},
        {"short_data.sco", riffForm("SCOP", chunkHeader("data", 100) + "abc"), IDS_TRUNCATED_DATA},
        {"timed.sco", riffForm("SCOP", chunk("data", "abc") + chunk("tbas", timesChunkBytes())), 0},
    };
}
