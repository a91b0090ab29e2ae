#include "export/streamed_sigrok_session.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <string>
#include <vector>

#include "export/sigrok_session.h"
#include "tests/support/failing_file_calls.h"
#include "tests/support/scope_file_maker.h"
#include "tests/support/zip_files.h"

namespace {

struct Block {
    std::string samples;  // status bytes
    uint64_t hertz;
};

const std::vector<Block> kBlocks = {
    {{'\x08', '\x10', '\x20'}, 1'000'000},
    {{'\x40', '\x80', '\xf8', '\x00', '\x48'}, 1'000'050},
    {{'\x18'}, 999'990},
};

std::string packed(const std::string& samples) {
    std::string bits;
    for (const char sample : samples) {
        bits += static_cast<char>(static_cast<uint8_t>(sample) >> 3);
    }
    return bits;
}

struct Writing {
    TempDir dir;
    OutputFile output;
    SigrokSessionStream stream{output};

    Writing() {
        EXPECT_TRUE(openOutputFile(output, dir.path("long.sr")));
        EXPECT_TRUE(stream.start(1));
    }
    bool append(const Block& block) {
        return stream.append(reinterpret_cast<const uint8_t*>(block.samples.data()),
                             static_cast<uint32_t>(block.samples.size()), block.hertz);
    }
    // The archive as it stands, while it is still being written.
    std::map<std::string, std::string> files() const {
        return unzip(readFileBytes("/proc/self/fd/" + std::to_string(output.folder) + "/" +
                                   output.temporary));
    }
};

// After every block the session is a whole zip, each file's CRC right: the version, one
// logic file per block in order, and the metadata with the rate of the latest block.
TEST(StreamedSigrokSession, EveryBlockLeavesAWholeSession) {
    Writing writing;
    EXPECT_EQ(writing.files().size(), 2u);
    for (size_t n = 0; n < kBlocks.size(); ++n) {
        ASSERT_TRUE(writing.append(kBlocks[n]));
        const std::map<std::string, std::string> files = writing.files();
        ASSERT_EQ(files.size(), 3 + n);
        EXPECT_EQ(files.at("version"), "2");
        EXPECT_EQ(files.at("metadata"), sigrokMetadata(kBlocks[n].hertz));
        for (size_t k = 0; k <= n; ++k) {
            EXPECT_EQ(files.at("logic-1-" + std::to_string(k + 1)), packed(kBlocks[k].samples));
        }
    }
    EXPECT_EQ(writing.stream.samples(), 9u);
    ASSERT_TRUE(commitOutputFile(writing.output));
    EXPECT_EQ(unzip(readFileBytes(writing.dir.path("long.sr"))).size(), 5u);
}

// A disk that fills while a block is written, in its logic file or in the directory behind it:
// the block is refused and the session is the one the blocks before made.
TEST(StreamedSigrokSession, AFullDiskKeepsTheBlocksBefore) {
    for (size_t failing = 1; failing <= 2; ++failing) {
        SCOPED_TRACE(failing);
        Writing writing;
        ASSERT_TRUE(writing.append(kBlocks[0]));
        ASSERT_TRUE(writing.append(kBlocks[1]));
        const std::map<std::string, std::string> before = writing.files();
        {
            FailingFileCalls calls;
            fillDiskAtWrite(calls, failing);
            EXPECT_FALSE(writing.append(kBlocks[2]));
        }
        EXPECT_EQ(writing.output.error, ENOSPC);
        EXPECT_EQ(writing.files(), before);
        EXPECT_EQ(writing.stream.samples(), 8u);
        // The next block that fits follows the ones kept, under the next name.
        ASSERT_TRUE(writing.append(kBlocks[2]));
        EXPECT_EQ(writing.files().at("logic-1-3"), packed(kBlocks[2].samples));
    }
}

TEST(ZipCrc, IsTheCrcOfZipArchives) {
    const std::string check = "123456789";  // the CRC-32 check string
    const auto* bytes = reinterpret_cast<const uint8_t*>(check.data());
    EXPECT_EQ(zipCrc(bytes, check.size()), 0xCBF43926u);
    EXPECT_EQ(zipCrc(bytes + 4, 5, zipCrc(bytes, 4)), 0xCBF43926u);
}

}  // namespace
