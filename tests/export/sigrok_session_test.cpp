#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "export/sigrok_session.h"
#include "export/zip_calls.h"
#include "tests/support/zip_files.h"

namespace {

TEST(SigrokSession, VersionMetadataAndTheSamplesReadBack) {
    const std::string samples = {'\x0f', '\x17', '\xff', '\x87', '\x00'};
    std::string bytes;
    std::string error;
    ASSERT_TRUE(sigrokSessionBytes(reinterpret_cast<const uint8_t*>(samples.data()), 5,
                                   UniformGrid{1e-6, {}}, {}, bytes, error))
        << error;
    const std::map<std::string, std::string> files = unzip(bytes);
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files.at("version"), "2");
    EXPECT_EQ(files.at("metadata"),
              "[device 1]\ncapturefile=logic-1\ntotal probes=5\nsamplerate=1 MHz\n"
              "total analog=0\nprobe1=Error\nprobe2=Select\nprobe3=Out_Of_Paper\n"
              "probe4=Acknowledge\nprobe5=Busy\nunitsize=1\n");
    // Channel n in bit n - 1, Busy as the register shows it.
    EXPECT_EQ(files.at("logic-1-1"), std::string({'\x01', '\x02', '\x1f', '\x10', '\x00'}));
}

TEST(SigrokSession, ResampledSamplesFollowTheGrid) {
    const std::string samples = {'\x08', '\x10', '\x20'};
    std::string bytes;
    std::string error;
    ASSERT_TRUE(sigrokSessionBytes(reinterpret_cast<const uint8_t*>(samples.data()), 3,
                                   UniformGrid{1e-3, {0, 0, 1, 2, 2}}, {}, bytes, error));
    const std::map<std::string, std::string> files = unzip(bytes);
    EXPECT_EQ(files.at("logic-1-1"), std::string({1, 1, 2, 4, 4}));
    EXPECT_NE(files.at("metadata").find("samplerate=1 kHz\n"), std::string::npos);
}

// The metadata names the session's sample that first shows the trigger and its time, after the
// keys sigrok reads; a resampled grid counts in its own samples.
TEST(SigrokSession, MetadataNamesTheTriggerSampleAndTime) {
    struct Case {
        const char* what;
        UniformGrid grid;
        std::optional<uint32_t> trigger;
        std::string keys;  // what follows "unitsize=1\n"
    };
    const Case cases[] = {
        {"no trigger", UniformGrid{1e-6, {}}, std::nullopt, ""},
        {"as sampled", UniformGrid{1e-6, {}}, 3, "trigger sample=3\ntrigger time=0.000003 s\n"},
        {"first sample", UniformGrid{1e-3, {}}, 0, "trigger sample=0\ntrigger time=0 s\n"},
        {"resampled", UniformGrid{1e-3, {0, 0, 1, 2, 2}}, 1,
         "trigger sample=2\ntrigger time=0.002 s\n"},
        {"resampled, last", UniformGrid{1e-3, {0, 0, 1, 2, 2}}, 2,
         "trigger sample=3\ntrigger time=0.003 s\n"},
    };
    const std::string samples = {'\x08', '\x10', '\x20', '\x40', '\x80'};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bytes;
        std::string error;
        ASSERT_TRUE(sigrokSessionBytes(reinterpret_cast<const uint8_t*>(samples.data()), 5, c.grid,
                                       c.trigger, bytes, error))
            << error;
        const std::string metadata = unzip(bytes).at("metadata");
        const size_t keys = metadata.find("unitsize=1\n");
        ASSERT_NE(keys, std::string::npos);
        EXPECT_EQ(metadata.substr(keys + 11), c.keys);
    }
}

TEST(SigrokSession, NeedsARateOfAtLeastOneHertz) {
    const uint8_t sample = 0;
    std::string bytes;
    std::string error;
    EXPECT_FALSE(sigrokSessionBytes(&sample, 1, UniformGrid{2.0, {}}, {}, bytes, error));
    EXPECT_EQ(error, "a sigrok session needs a sample rate of at least 1 Hz");
    EXPECT_FALSE(sigrokSessionBytes(&sample, 1, UniformGrid{0, {}}, {}, bytes, error));
}

// libzip is opened when a session is first written, with every entry point the writer uses; or
// the session files say what they need.
TEST(SigrokSession, OpensLibzipWithEveryEntryPointOrSaysWhatSessionsNeed) {
    struct Case {
        const char* file;
        bool opens;
        const char* error;
    };
    for (const Case& c :
         {Case{kZipLibraryFile, true, ""},
          Case{"libpinprobe-missing.so.4", false,
               "sigrok session files need libzip4: libpinprobe-missing.so.4: cannot open shared "
               "object file: No such file or directory"},
          Case{"libc.so.6", false, "sigrok session files need libzip4: "}}) {
        SCOPED_TRACE(c.file);
        ZipCalls calls;
        std::string error;
        EXPECT_EQ(openZipCalls(c.file, calls, error), c.opens) << error;
        std::vector<bool> found;
#define PINPROBE_ZIP_FOUND(name) found.push_back(calls.name != nullptr);
        PINPROBE_ZIP_ENTRY_POINTS(PINPROBE_ZIP_FOUND)
#undef PINPROBE_ZIP_FOUND
        EXPECT_EQ(std::count(found.begin(), found.end(), true), c.opens ? found.size() : 0u);
        EXPECT_TRUE(error.starts_with(c.error)) << error;
    }
}

}  // namespace
