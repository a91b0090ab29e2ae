#include <gtest/gtest.h>

#include "scopefile/riff_reader.h"
#include "scopefile/riff_writer.h"
#include "tests/support/scope_file_maker.h"

namespace {

constexpr FourCc kScop{'S', 'C', 'O', 'P'};
constexpr FourCc kData{'d', 'a', 't', 'a'};
constexpr auto kFound = RiffSearch::Found;
constexpr auto kNotFound = RiffSearch::NotFound;
constexpr auto kShort = RiffSearch::Short;
constexpr auto kMalformed = RiffSearch::Malformed;

TEST(RiffTest, SizeFieldsAreLittleEndian) {
    const uint8_t bytes[4] = {0x78, 0x56, 0x34, 0x12};
    EXPECT_EQ(readLe32(bytes), 0x12345678u);
    uint8_t written[4];
    writeLe32(written, 0xFFFFFFFEu);
    EXPECT_EQ(readLe32(written), 0xFFFFFFFEu);
    EXPECT_EQ(written[0], 0xFE);
}

struct WalkCase {
    const char* name;
    std::string bytes;
    RiffSearch form;
    RiffSearch data = kNotFound;  // looked at when the form is found
    uint64_t dataOffset = 0;      // looked at when the data chunk is found
    uint32_t dataSize = 0;
};

TEST(RiffTest, WalksToTheFormAndItsDataChunk) {
    const std::string wave = riffForm("WAVE", chunk("data", "wav!"));
    const std::string junkPastFormEnd = chunkHeader("RIFF", 14) + "SCOP" + chunk("JUNK", "abcd");
    const WalkCase cases[] = {
        {"the writer's layout", scopeFileBytes("abc"), kFound, kFound, 20, 3},
        {"odd chunk and its pad first", chunk("JUNK", "abc") + scopeFileBytes("ab"), kFound, kFound,
         32, 2},
        {"another form first", wave + scopeFileBytes("x"), kFound, kFound, 44, 1},
        {"zeros first: empty chunks without an id", std::string(1000, '\0') + scopeFileBytes("ab"),
         kFound, kFound, 1020, 2},
        {"list skipped whole",
         riffForm("SCOP", chunk("LIST", "INFO" + chunk("data", "no")) + chunk("data", "yes")),
         kFound, kFound, 42, 3},
        {"form too small for a type", chunkHeader("RIFF", 2) + "SC" + scopeFileBytes("a"), kFound,
         kFound, 30, 1},
        {"form size past the end of the file",
         chunkHeader("RIFF", 1000) + "SCOP" + chunk("data", "abc"), kFound, kFound, 20, 3},
        {"data size past the end of the file",
         riffForm("SCOP", chunkHeader("data", 0xFFFFFFFF) + "ab"), kFound, kFound, 20, 0xFFFFFFFF},
        {"empty file", "", kNotFound},
        {"stray bytes", "RIF", kShort},
        {"cut inside the form type", chunkHeader("RIFF", 100) + "SC", kShort},
        {"skipped chunk past the end", chunkHeader("JUNK", 10) + "ab", kMalformed},
        {"skipped size 0xFFFFFFFF", chunkHeader("JUNK", 0xFFFFFFFF) + scopeFileBytes("x"),
         kMalformed},
        {"skipped size 0xFFFFFFFE", chunkHeader("JUNK", 0xFFFFFFFE) + scopeFileBytes("x"),
         kMalformed},
        {"form type in lower case", riffForm("scop", chunk("data", "a")), kNotFound},
        {"chunk id in lower case", "riff" + le32(14) + "SCOP" + chunk("data", "a"), kNotFound},
        {"another form only", wave, kNotFound},
        {"data id in upper case", riffForm("SCOP", chunk("DATA", "a")), kFound, kNotFound},
        {"data after the form's end", riffForm("SCOP", chunk("JUNK", "ab")) + chunk("data", "a"),
         kFound, kNotFound},
        {"data nested in a list only", riffForm("SCOP", chunk("LIST", "INFO" + chunk("data", "a"))),
         kFound, kNotFound},
        {"last chunk without its pad", riffForm("SCOP", chunkHeader("JUNK", 1) + "j"), kFound,
         kNotFound},
        {"stray bytes in the form", riffForm("SCOP", "xyz"), kFound, kShort},
        {"inner chunk past the form's end", junkPastFormEnd + chunk("data", "a"), kFound,
         kMalformed},
        {"inner size 0xFFFFFFFF",
         riffForm("SCOP", chunkHeader("JUNK", 0xFFFFFFFF) + chunk("data", "a")), kFound,
         kMalformed},
        {"inner size 0xFFFFFFFE",
         riffForm("SCOP", chunkHeader("JUNK", 0xFFFFFFFE) + chunk("data", "a")), kFound,
         kMalformed},
    };
    TempDir dir;
    for (const WalkCase& c : cases) {
        SCOPED_TRACE(c.name);
        RiffReader reader;
        ASSERT_TRUE(openRiffReader(reader, dir.write(c.name, c.bytes)));
        RiffChunk form;
        RiffChunk data;
        const RiffSearch formFound = findRiffForm(reader, kScop, form);
        EXPECT_EQ(formFound, c.form);
        const RiffSearch dataFound =
            formFound == kFound ? findRiffChunk(reader, form, kData, data) : kNotFound;
        EXPECT_EQ(dataFound, c.data);
        if (dataFound == kFound) {
            EXPECT_EQ(data.dataOffset, c.dataOffset);
            EXPECT_EQ(data.size, c.dataSize);
        }
        closeRiffReader(reader);
    }
}

TEST(RiffTest, ReadsWhatIsThereOfAChunkThatOverrunsTheFile) {
    TempDir dir;
    RiffReader reader;
    ASSERT_TRUE(openRiffReader(
        reader, dir.write("f", riffForm("SCOP", chunkHeader("data", 0xFFFFFFFF) + "ab"))));
    RiffChunk form;
    RiffChunk data;
    ASSERT_EQ(findRiffForm(reader, kScop, form), kFound);
    ASSERT_EQ(findRiffChunk(reader, form, kData, data), kFound);
    char bytes[8];
    EXPECT_EQ(readRiffData(reader, bytes, sizeof bytes), 2u);
    EXPECT_EQ(std::string(bytes, 2), "ab");
    closeRiffReader(reader);
}

// A file of zeros is a chunk header every 8 bytes. They are walked through the reader's window,
// so the file is read in a few large pieces rather than seeked to once per header.
TEST(RiffTest, WalksSmallChunksWithoutASeekForEach) {
    constexpr size_t kMiB = 1 << 20;
    MemoryFile file{std::string(kMiB, '\0')};
    RiffReader reader;
    ASSERT_TRUE(attachRiffReader(reader, openMemoryFile(file)));
    RiffChunk form;
    EXPECT_EQ(findRiffForm(reader, kScop, form), kNotFound);
    closeRiffReader(reader);
    EXPECT_LE(file.seeks, 20) << "one per 64 KiB read, and the measuring";
}

TEST(RiffTest, OpensOnlyPlainFiles) {
    TempDir dir;
    for (const std::string& path : {dir.path("missing"), dir.path("")}) {
        RiffReader reader;
        EXPECT_FALSE(openRiffReader(reader, path)) << path;
        EXPECT_EQ(reader.file, nullptr);
    }
}

TEST(RiffTest, WriterPadsOddChunksAndPatchesEverySize) {
    MemoryFile file;
    RiffWriter writer;
    attachRiffWriter(writer, openMemoryFile(file, true));
    RiffOpenChunk form;
    RiffOpenChunk odd;
    RiffOpenChunk even;
    ASSERT_TRUE(startRiffForm(writer, {'T', 'E', 'S', 'T'}, form));
    ASSERT_TRUE(startRiffChunk(writer, {'o', 'd', 'd', ' '}, odd));
    ASSERT_TRUE(writeRiffData(writer, "abc", 3));
    ASSERT_TRUE(closeRiffChunk(writer, odd));
    ASSERT_TRUE(startRiffChunk(writer, {'e', 'v', 'e', 'n'}, even));
    ASSERT_TRUE(writeRiffData(writer, "wxyz", 4));
    ASSERT_TRUE(closeRiffChunk(writer, even));
    ASSERT_TRUE(closeRiffChunk(writer, form));
    ASSERT_EQ(std::fclose(writer.file), 0);
    EXPECT_EQ(file.bytes, riffForm("TEST", chunk("odd ", "abc") + chunk("even", "wxyz")));
}

}  // namespace
