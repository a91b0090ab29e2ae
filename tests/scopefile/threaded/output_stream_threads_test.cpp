#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "scopefile/output_file.h"
#include "scopefile/scope_file.h"
#include "tests/support/scope_file_maker.h"

namespace {

// More than a pipe holds, so that the writer has to wait for its reader.
const std::string kSamples(200001, '\x5a');

// Reads `fd` to its end on a thread of its own.
class Reader {
public:
    explicit Reader(int fd) : thread_([this, fd] { readAll(fd); }) {}
    // Opens `path` for reading (a FIFO: once a writer comes) on that thread.
    explicit Reader(std::string path)
        : thread_([this, path] { readAll(open(path.c_str(), O_RDONLY)); }) {}
    std::string takeAll() {
        thread_.join();
        return bytes_;
    }

private:
    void readAll(int fd) {
        char piece[4096];
        ssize_t count = 0;
        while (fd >= 0 && (count = read(fd, piece, sizeof piece)) > 0) {
            bytes_.append(piece, static_cast<size_t>(count));
        }
        close(fd);
    }
    std::string bytes_;
    std::thread thread_;
};

bool save(const std::string& path, std::string* reason = nullptr) {
    return writeScopeFile(
        [reason](int) {
            if (reason)
                *reason = fileErrorReason();
        },
        path, reinterpret_cast<const uint8_t*>(kSamples.data()),
        static_cast<uint32_t>(kSamples.size()));
}

// A pipe cannot be patched by seeking back: the reader gets a complete file all the same, every
// size written up front, through any name of the descriptor.
TEST(OutputStreams, APipeGetsACompleteScopeFile) {
    for (const char* folder : {"/dev/fd/", "/proc/self/fd/"}) {
        int ends[2];
        ASSERT_EQ(pipe(ends), 0);
        Reader reader(ends[0]);
        EXPECT_TRUE(save(folder + std::to_string(ends[1]))) << folder;
        close(ends[1]);
        EXPECT_TRUE(reader.takeAll() == scopeFileBytes(kSamples)) << folder;
    }
}

TEST(OutputStreams, AFifoIsWrittenWhileSomethingReadsIt) {
    TempDir dir;
    const std::string fifo = dir.path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string reason;
    EXPECT_FALSE(save(fifo, &reason));
    EXPECT_EQ(reason, "Nothing reads this FIFO");

    // A reader that is there before the writer; it reads once the writer is there too, as a
    // FIFO without a writer reads as ended.
    const int readingEnd = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(readingEnd, 0);
    OutputFile early;
    ASSERT_TRUE(openOutput([](int) {}, fifo, early, {}));
    ASSERT_EQ(fcntl(readingEnd, F_SETFL, 0), 0);
    Reader earlyReader(readingEnd);
    EXPECT_TRUE(writeScopeOutput([](int) {}, early,
                                 reinterpret_cast<const uint8_t*>(kSamples.data()),
                                 static_cast<uint32_t>(kSamples.size())));
    EXPECT_TRUE(earlyReader.takeAll() == scopeFileBytes(kSamples));

    // A reader whose open may come after the writer's: only a writer that was told waits for it.
    Reader late{std::string(fifo)};
    OutputFile output;
    ASSERT_TRUE(openOutput([](int) {}, fifo, output, OutputOptions{true}));
    EXPECT_TRUE(writeScopeOutput([](int) {}, output,
                                 reinterpret_cast<const uint8_t*>(kSamples.data()),
                                 static_cast<uint32_t>(kSamples.size())));
    EXPECT_TRUE(late.takeAll() == scopeFileBytes(kSamples));
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path("")), {}), 1);
}

}  // namespace
