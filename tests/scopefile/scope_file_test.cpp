#include "scopefile/scope_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <limits>
#include <optional>

#include "core/message_box.h"
#include "core/scope_session.h"
#include "resources/string_table.h"
#include "tests/support/recording_window_system.h"
#include "tests/support/scope_file_maker.h"

namespace {

// Sample memory that counts what is out and refuses blocks larger than a limit.
size_t memoryLimit = 0;
int blocksOut = 0;
size_t largestAsked = 0;
void* obtainCounted(size_t bytes) {
    largestAsked = std::max(largestAsked, bytes);
    if (bytes > memoryLimit) {
        return nullptr;
    }
    ++blocksOut;
    return std::malloc(bytes);
}
void giveBackCounted(void* block) {
    --blocksOut;
    std::free(block);
}
const SampleMemory kCountedMemory{&obtainCounted, &giveBackCounted};

uint8_t untouchedByte = 0;
uint8_t* const kUntouchedData = &untouchedByte;
constexpr uint32_t kUntouchedLength = 12345;

std::string message(int id) {
    return "message " + loadString(id);
}

class ScopeFileTest : public testing::Test {
protected:
    void SetUp() override {
        memoryLimit = 1 << 20;
        blocksOut = 0;
        largestAsked = 0;
        setSampleMemory(&kCountedMemory);
    }
    void TearDown() override {
        setSampleMemory(nullptr);
        EXPECT_EQ(blocksOut, 0) << "a sample buffer was kept";
    }

    // The samples read from `path`, the buffer given back; nothing when refused.
    std::optional<std::string> load(const std::string& path) {
        window.clearLog();
        if (!readScopeFile(showMessagesOn(window), path, data, length)) {
            EXPECT_EQ(data, kUntouchedData);
            EXPECT_EQ(length.load(), kUntouchedLength);
            return std::nullopt;
        }
        EXPECT_EQ(blocksOut, 1);
        std::string samples(reinterpret_cast<const char*>(data), length);
        giveBackSampleBuffer(data);
        data = kUntouchedData;
        length = kUntouchedLength;
        return samples;
    }

    void expectRefused(const std::string& path, int id) {
        EXPECT_EQ(load(path), std::nullopt);
        EXPECT_EQ(window.log, std::vector<std::string>{message(id)});
    }

    TempDir dir;
    RecordingWindowSystem window;
    uint8_t* data = kUntouchedData;
    std::atomic<uint32_t> length{kUntouchedLength};
};

const uint8_t* bytesOf(const std::string& text) {
    return reinterpret_cast<const uint8_t*>(text.data());
}

TEST_F(ScopeFileTest, WritesTheLayoutByteForByte) {
    using namespace std::string_literals;
    const struct {
        std::string samples;
        std::string file;
    } cases[] = {
        {"abc", "RIFF\x10\0\0\0SCOPdata\x03\0\0\0abc\0"s},
        {"abcd", "RIFF\x10\0\0\0SCOPdata\x04\0\0\0abcd"s},
        {"", "RIFF\x0c\0\0\0SCOPdata\0\0\0\0"s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.samples);
        const std::string path = dir.path("layout.sco");
        EXPECT_TRUE(
            writeScopeFile(showMessagesOn(window), path, bytesOf(c.samples), c.samples.size()));
        EXPECT_EQ(readFileBytes(path), c.file);
        EXPECT_TRUE(window.messages.empty());
    }
    expectRefused(dir.path("layout.sco"), IDS_EMPTY_DATA);
}

TEST_F(ScopeFileTest, ReplacesALongerFile) {
    const std::string path = dir.write("old.sco", std::string(100, 'x'));
    EXPECT_TRUE(writeScopeFile(showMessagesOn(window), path, bytesOf("abc"), 3));
    EXPECT_EQ(readFileBytes(path).size(), 24u);
}

TEST_F(ScopeFileTest, LoadsBackEveryByteValue) {
    for (size_t count : {1, 255, 256}) {
        std::string samples;
        for (size_t i = 0; i < count; ++i) {
            samples += static_cast<char>(i);
        }
        const std::string path = dir.path("round.sco");
        ASSERT_TRUE(writeScopeFile(showMessagesOn(window), path, bytesOf(samples), samples.size()));
        EXPECT_EQ(load(path), samples);
    }
}

TEST_F(ScopeFileTest, LoadsFilesTheWriterWouldNotMake) {
    const std::string wave = riffForm("WAVE", chunk("data", "wave"));
    const struct {
        const char* name;
        std::string file;
        std::string samples;
    } cases[] = {
        {"chunks before the form", chunk("JUNK", "odd") + wave + scopeFileBytes("abc"), "abc"},
        {"chunks before the data",
         riffForm("SCOP", chunk("JUNK", "j") + chunk("LIST", "INFO" + chunk("data", "no")) +
                              chunk("data", "yes")),
         "yes"},
        {"bytes after the data", scopeFileBytes("abc") + "trailing", "abc"},
        {"form size past the end", chunkHeader("RIFF", 0xFFFFFFFF) + "SCOP" + chunk("data", "a"),
         "a"},
        // The form's size bounds the search only: the samples lie whole in the file.
        {"data past the form's end", chunkHeader("RIFF", 12) + "SCOP" + chunk("data", "ab"), "ab"},
        // Empty headers are skipped eight at a time, then one at a time.
        {"seven empty headers before the data",
         riffForm("SCOP", std::string(7 * 8, '\0') + chunk("data", "abc")), "abc"},
        {"eight empty headers before the data",
         riffForm("SCOP", std::string(8 * 8, '\0') + chunk("data", "abc")), "abc"},
        {"fifteen empty headers before the data",
         riffForm("SCOP", std::string(15 * 8, '\0') + chunk("data", "abc")), "abc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(load(dir.write("good.sco", c.file)), c.samples);
        EXPECT_TRUE(window.log.empty());
    }
}

TEST_F(ScopeFileTest, RefusesBadFilesWithTheirReason) {
    const struct {
        const char* name;
        std::string file;
        int id;
    } cases[] = {
        {"wave audio", riffForm("WAVE", chunk("fmt ", "0123456789abcdef")), IDS_NOT_A_SCOPE_FILE},
        {"not riff", "just some text, long enough", IDS_NOT_A_SCOPE_FILE},
        {"shorter than a header", "RIFF", IDS_NOT_A_SCOPE_FILE},
        {"chunk past the end", chunkHeader("JUNK", 100) + scopeFileBytes("a"),
         IDS_NOT_A_SCOPE_FILE},
        {"size 0xFFFFFFFF", chunkHeader("JUNK", 0xFFFFFFFF) + scopeFileBytes("a"),
         IDS_NOT_A_SCOPE_FILE},
        {"size 0xFFFFFFFE", chunkHeader("JUNK", 0xFFFFFFFE) + scopeFileBytes("a"),
         IDS_NOT_A_SCOPE_FILE},
        {"no data", riffForm("SCOP", chunk("JUNK", "abc")), IDS_NO_DATA_CHUNK},
        // Under AddressSanitizer: the skip must not look past the last empty header.
        {"seven empty headers, no data", riffForm("SCOP", std::string(7 * 8, '\0')),
         IDS_NO_DATA_CHUNK},
        {"data only in a list", riffForm("SCOP", chunk("LIST", "INFO" + chunk("data", "a"))),
         IDS_NO_DATA_CHUNK},
        {"inner size 0xFFFFFFFF",
         riffForm("SCOP", chunkHeader("JUNK", 0xFFFFFFFF) + chunk("data", "a")), IDS_NO_DATA_CHUNK},
        {"empty data", scopeFileBytes(""), IDS_EMPTY_DATA},
        {"data cut short", riffForm("SCOP", chunkHeader("data", 4) + "abc"), IDS_TRUNCATED_DATA},
        {"data size 0xFFFFFFFF", riffForm("SCOP", chunkHeader("data", 0xFFFFFFFF) + "abc"),
         IDS_TRUNCATED_DATA},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        expectRefused(dir.write("bad.sco", c.file), c.id);
    }
}

// The size is weighed against the file before any buffer is asked for, however much memory
// there is.
TEST_F(ScopeFileTest, ASizeTheFileCannotHoldIsRefusedWithoutABufferForIt) {
    memoryLimit = std::numeric_limits<size_t>::max();
    const struct {
        const char* name;
        std::string file;
    } cases[] = {
        {"data claims 4 GB", riffForm("SCOP", chunkHeader("data", 0xFFFFFFFF) + "0123456789")},
        {"form and data claim 4 GB",
         chunkHeader("RIFF", 0xFFFFFFF0) + "SCOP" + chunkHeader("data", 0xFFFFFF00) + "0123456789"},
        {"data one byte past the end", riffForm("SCOP", chunkHeader("data", 11) + "0123456789")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(c.file.size(), 30u);
        largestAsked = 0;
        expectRefused(dir.write("claims4gb.sco", c.file), IDS_TRUNCATED_DATA);
        EXPECT_EQ(largestAsked, 0u);
    }
}

// A FIFO (or any file that is not a regular one) is refused at once, never waited on.
TEST_F(ScopeFileTest, RefusesAFifoAtOnce) {
    const std::string fifo = dir.path("afifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string reason;
    std::future<bool> loaded = std::async(std::launch::async, [&] {
        return readScopeFile([&reason](int) { reason = fileErrorReason(); }, fifo, data, length);
    });
    if (loaded.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        ADD_FAILURE() << "the reader waits on the FIFO";
        std::ofstream(fifo) << "";  // lets a waiting open go on
    }
    EXPECT_FALSE(loaded.get());
    EXPECT_EQ(reason, "It is a FIFO, not a regular file");
    EXPECT_EQ(data, kUntouchedData);
}

TEST_F(ScopeFileTest, ReportsAFailedAllocation) {
    memoryLimit = 0;
    expectRefused(dir.write("fine.sco", scopeFileBytes("abc")), IDS_OUT_OF_MEMORY);
}

TEST_F(ScopeFileTest, ReportsFilesThatCannotBeOpened) {
    expectRefused(dir.path("missing.sco"), IDS_CANNOT_OPEN_FILE);
    expectRefused(dir.path(""), IDS_CANNOT_OPEN_FILE);
    window.clearLog();
    EXPECT_FALSE(
        writeScopeFile(showMessagesOn(window), dir.path("missing/new.sco"), bytesOf("abc"), 3));
    EXPECT_EQ(window.log, std::vector<std::string>{message(IDS_CANNOT_OPEN_FILE)});
}

TEST_F(ScopeFileTest, ShowsAReadErrorWhileTheFileIsOpen) {
    const struct {
        std::string file;
        size_t memory;
        int id;
    } cases[] = {
        {"RIFF", 100, IDS_NOT_A_SCOPE_FILE},
        {riffForm("SCOP", ""), 100, IDS_NO_DATA_CHUNK},
        {scopeFileBytes(""), 100, IDS_EMPTY_DATA},
        {scopeFileBytes("abc"), 2, IDS_OUT_OF_MEMORY},
        {riffForm("SCOP", chunkHeader("data", 9) + "abc"), 100, IDS_TRUNCATED_DATA},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        MemoryFile file{c.file};
        file.log = &window.log;
        memoryLimit = c.memory;
        window.clearLog();
        EXPECT_FALSE(readScopeStream(showMessagesOn(window), openMemoryFile(file), data, length));
        EXPECT_EQ(window.log, (std::vector<std::string>{message(c.id), "closed"}));
    }
}

// The first step that fails names the error, and the message comes before the close.
TEST_F(ScopeFileTest, ReportsTheFirstFailingWriteStep) {
    constexpr size_t kRoomy = 1000;
    const std::vector<std::string> kWritten{"closed"};
    const std::vector<std::string> kForm{message(IDS_CANNOT_WRITE_FORM), "closed"};
    const std::vector<std::string> kData{message(IDS_CANNOT_WRITE_DATA), "closed"};
    const struct {
        const char* name;
        size_t capacity;
        int failingSeek;
        bool failClose;
        bool buffered;
        std::vector<std::string> log;
    } cases[] = {
        {"form header", 11, 0, false, false, kForm},
        {"data header", 19, 0, false, false, kData},
        {"samples", 22, 0, false, false, kData},
        {"pad byte", 23, 0, false, false, kData},
        {"buffered headers", 19, 0, false, true, kData},
        // Every size is written up front: a stream that cannot seek back, such as a pipe,
        // gets the whole file.
        {"no seek back", kRoomy, 1, false, false, kWritten},
        {"close", kRoomy, 0, true, true, {"closed", message(IDS_CANNOT_WRITE_FORM)}},
        {"nothing", 24, 0, false, false, kWritten},
        {"nothing, buffered", 24, 0, false, true, kWritten},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryFile file;
        file.capacity = c.capacity;
        file.failingSeek = c.failingSeek;
        file.failClose = c.failClose;
        file.log = &window.log;
        window.clearLog();
        const bool written = writeScopeStream(showMessagesOn(window),
                                              openMemoryFile(file, c.buffered), bytesOf("abc"), 3);
        EXPECT_EQ(written, c.log == kWritten);
        EXPECT_EQ(window.log, c.log);
        if (written) {
            EXPECT_EQ(file.bytes, scopeFileBytes("abc"));
        }
    }
}

TEST_F(ScopeFileTest, ReportsAFullDiskAtTheSamples) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    for (uint32_t count : {3u, 500000u}) {
        const std::string samples(count, '\x5a');
        window.clearLog();
        EXPECT_FALSE(writeScopeFile(showMessagesOn(window), "/dev/full", bytesOf(samples), count));
        EXPECT_EQ(window.log, std::vector<std::string>{message(IDS_CANNOT_WRITE_DATA)});
    }
}

TEST_F(ScopeFileTest, TakesPathsLongerThan259Characters) {
    std::string folder = dir.path(std::string(200, 'd'));
    folder += "/" + std::string(200, 'e');
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/long.sco";
    ASSERT_TRUE(writeScopeFile(showMessagesOn(window), path, bytesOf("abc"), 3));
    EXPECT_EQ(load(path), "abc");
}

// A message box whose caption, buttons and icon can be looked at.
class CaptionRecorder : public RecordingWindowSystem {
public:
    MessageAnswer messageBox(std::string_view text, std::string_view caption,
                             MessageButtons buttons, MessageIcon icon) override {
        captions.emplace_back(caption);
        EXPECT_EQ(buttons, MessageButtons::Ok);
        EXPECT_EQ(icon, MessageIcon::Exclamation);
        return RecordingWindowSystem::messageBox(text, caption, buttons, icon);
    }
    std::vector<std::string> captions;
};

TEST_F(ScopeFileTest, ErrorMessagesFitTheirBoxAndNameTheProgram) {
    CaptionRecorder owner;
    for (int id :
         {IDS_CANNOT_OPEN_FILE, IDS_NOT_A_SCOPE_FILE, IDS_NO_DATA_CHUNK, IDS_EMPTY_DATA,
          IDS_OUT_OF_MEMORY, IDS_TRUNCATED_DATA, IDS_CANNOT_WRITE_FORM, IDS_CANNOT_WRITE_DATA}) {
        showMessage(owner, id);
        EXPECT_FALSE(owner.messages.back().empty()) << id;
        EXPECT_EQ(owner.messages.back(), loadString(id)) << id;
        EXPECT_EQ(owner.captions.back(), "Pinprobe");
    }
}

// Set PINPROBE_SEED_CORPUS to a folder (tests/fuzz/corpus) to write the seed files there.
TEST_F(ScopeFileTest, SeedFilesGiveTheirAnswers) {
    const char* corpus = std::getenv("PINPROBE_SEED_CORPUS");
    for (const SeedFile& seed : seedFiles()) {
        SCOPED_TRACE(seed.name);
        const std::string path = dir.write(seed.name, seed.bytes);
        if (seed.errorId == 0) {
            EXPECT_TRUE(load(path).has_value());
        } else {
            expectRefused(path, seed.errorId);
        }
        if (corpus != nullptr) {
            std::ofstream(std::string(corpus) + "/" + seed.name, std::ios::binary) << seed.bytes;
        }
    }
}

}  // namespace
