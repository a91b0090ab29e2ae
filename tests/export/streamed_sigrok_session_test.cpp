#include "export/streamed_sigrok_session.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/scope_session.h"
#include "export/sigrok_metadata.h"
#include "export/sigrok_session.h"
#include "export/sigrok_session_reader.h"
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

// The channels' names and the trigger point go into the metadata of every block after the
// trigger is known, and come back through this program's reader: the trigger point as the
// session's sample, the names as the probes.
TEST(StreamedSigrokSession, KeepsTheChannelNamesAndTheTriggerPoint) {
    const ChannelNames names{"clk", "data", "Busy", "cs", "pwm"};
    struct Case {
        std::optional<uint64_t> trigger;  // given with every block
        std::optional<uint32_t> readBack;
    };
    const std::vector<Case> cases = {
        {std::nullopt, std::nullopt}, {0, 0}, {7, 7}, {8, 8}, {9, std::nullopt}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.trigger.value_or(999));
        TempDir dir;
        {
            OutputFile output;
            SigrokSessionStream stream(output, names);
            ASSERT_TRUE(openOutputFile(output, dir.path("named.sr")));
            ASSERT_TRUE(stream.start(1));
            for (const Block& block : kBlocks) {
                ASSERT_TRUE(stream.append(reinterpret_cast<const uint8_t*>(block.samples.data()),
                                          static_cast<uint32_t>(block.samples.size()), block.hertz,
                                          c.trigger));
            }
            ASSERT_TRUE(commitOutputFile(output));
        }
        SigrokMetadata metadata;
        std::string problem;
        ASSERT_TRUE(parseSigrokMetadata(unzip(readFileBytes(dir.path("named.sr"))).at("metadata"),
                                        metadata, problem))
            << problem;
        EXPECT_EQ(metadata.channels, std::vector<std::string>(names.begin(), names.end()));
        SigrokSessionRead read;
        ASSERT_TRUE(readSigrokSession(dir.path("named.sr"), read, problem)) << problem;
        giveBackSampleBuffer(read.samples);
        EXPECT_EQ(read.count, 9u);
        EXPECT_EQ(read.times.triggerSample, c.readBack);
    }
}

TEST(ZipCrc, IsTheCrcOfZipArchives) {
    const std::string check = "123456789";  // the CRC-32 check string
    const auto* bytes = reinterpret_cast<const uint8_t*>(check.data());
    EXPECT_EQ(zipCrc(bytes, check.size()), 0xCBF43926u);
    EXPECT_EQ(zipCrc(bytes + 4, 5, zipCrc(bytes, 4)), 0xCBF43926u);
}

}  // namespace
