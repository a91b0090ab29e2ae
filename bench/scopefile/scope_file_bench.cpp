#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/scope_session.h"
#include "resources/string_table.h"
#include "scopefile/scope_file.h"

// A full-size capture saved and loaded as a scope file, beside the same bytes moved with plain
// stdio: the ratio is the cost of the file format (and, for the save, of making it last).
namespace {

constexpr uint32_t kSamples = 500000;

// In memory where possible: a disk's write-back stalls would drown the difference measured.
std::string benchPath(const char* name) {
    const std::filesystem::path shared("/dev/shm");
    const std::filesystem::path folder =
        std::filesystem::is_directory(shared) ? shared : std::filesystem::temp_directory_path();
    return (folder / ("pinprobe-bench-" + std::to_string(getpid()) + "-" + name)).string();
}

std::vector<uint8_t> makeSamples() {
    std::vector<uint8_t> samples(kSamples);
    for (uint32_t i = 0; i < kSamples; ++i) {
        samples[i] = static_cast<uint8_t>(i * 37u);
    }
    return samples;
}

bool writePlain(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

void BM_SaveScopeFile(benchmark::State& state) {
    const std::vector<uint8_t> samples = makeSamples();
    const std::string path = benchPath("save.sco");
    const FileErrorReport ignoreErrors = [](int) {};
    for (auto _ : state) {
        if (!writeScopeFile(ignoreErrors, path, samples.data(), kSamples)) {
            state.SkipWithError("write failed");
            break;
        }
    }
    std::filesystem::remove(path);
}

void BM_PlainWrite(benchmark::State& state) {
    const std::vector<uint8_t> samples = makeSamples();
    const std::string path = benchPath("plain-write");
    for (auto _ : state) {
        if (!writePlain(path, samples)) {
            state.SkipWithError("write failed");
            break;
        }
    }
    std::filesystem::remove(path);
}

void BM_LoadScopeFile(benchmark::State& state) {
    const std::string path = benchPath("load.sco");
    const FileErrorReport ignoreErrors = [](int) {};
    const std::vector<uint8_t> samples = makeSamples();
    writeScopeFile(ignoreErrors, path, samples.data(), kSamples);
    for (auto _ : state) {
        uint8_t* data = nullptr;
        std::atomic<uint32_t> length{0};
        if (!readScopeFile(ignoreErrors, path, data, length)) {
            state.SkipWithError("read failed");
            break;
        }
        giveBackSampleBuffer(data);
    }
    std::filesystem::remove(path);
}

// The loader must obtain a buffer for what it reads; so does the plain read, to compare like
// with like.
void BM_PlainRead(benchmark::State& state) {
    const std::string path = benchPath("plain-read");
    writePlain(path, makeSamples());
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        uint8_t* data = obtainSampleBuffer(kSamples);
        const bool read = file != nullptr && std::fread(data, 1, kSamples, file) == kSamples;
        giveBackSampleBuffer(data);
        if (file == nullptr || std::fclose(file) != 0 || !read) {
            state.SkipWithError("read failed");
            break;
        }
    }
    std::filesystem::remove(path);
}

// A file of zeros is a chunk header every 8 bytes, and no scope file: the reader walks all of it
// before it refuses it. Compare with reading the same file plainly: at most twice as long.
constexpr size_t kZerosSize = size_t{64} << 20;

std::string zerosFile() {
    const std::string path = benchPath("zeros");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const std::vector<uint8_t> zeros(1 << 20);
    for (size_t written = 0; file != nullptr && written < kZerosSize; written += zeros.size()) {
        std::fwrite(zeros.data(), 1, zeros.size(), file);
    }
    if (file != nullptr) {
        std::fclose(file);
    }
    return path;
}

void BM_RefuseZeros(benchmark::State& state) {
    const std::string path = zerosFile();
    const FileErrorReport expectNotAScopeFile = [&state](int id) {
        if (id != IDS_NOT_A_SCOPE_FILE) {
            state.SkipWithError("not refused as expected");
        }
    };
    for (auto _ : state) {
        uint8_t* data = nullptr;
        std::atomic<uint32_t> length{0};
        readScopeFile(expectNotAScopeFile, path, data, length);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kZerosSize));
    std::filesystem::remove(path);
}

void BM_PlainReadZeros(benchmark::State& state) {
    const std::string path = zerosFile();
    std::vector<char> buffer(64 * 1024);
    for (auto _ : state) {
        const int fd = open(path.c_str(), O_RDONLY);
        size_t total = 0;
        for (ssize_t got = 0; (got = read(fd, buffer.data(), buffer.size())) > 0;) {
            total += static_cast<size_t>(got);
        }
        close(fd);
        if (total != kZerosSize) {
            state.SkipWithError("read failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kZerosSize));
    std::filesystem::remove(path);
}

BENCHMARK(BM_SaveScopeFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadScopeFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RefuseZeros)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainReadZeros)->Unit(benchmark::kMillisecond);

}  // namespace
