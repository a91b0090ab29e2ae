#include "decode/sigrok_calls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "decode/decoder_catalog.h"
#include "decode/decoder_run.h"
#include "decode/sigrok_library.h"

namespace {

constexpr const char* kNeeds = "protocol decoding needs libsigrokdecode4: ";
constexpr const char* kMissingFile = "libpinprobe-missing.so.4";

std::vector<bool> entryPointsFound(const SigrokCalls& calls) {
    std::vector<bool> found;
#define PINPROBE_SIGROK_FOUND(name) found.push_back(calls.name != nullptr);
    PINPROBE_SIGROK_ENTRY_POINTS(PINPROBE_SIGROK_FOUND)
#undef PINPROBE_SIGROK_FOUND
    return found;
}

TEST(SigrokCalls, OpensTheLibraryWithEveryEntryPointOrSaysWhatDecodingNeeds) {
    struct Case {
        const char* name;
        const char* file;
        bool opens;
        const char* named;  // in the error
    };
    const std::vector<Case> cases = {
        {"the library", kSigrokLibraryFile, true, ""},
        {"no such file", kMissingFile, false, "libpinprobe-missing.so.4: cannot open"},
        {"a library without the entry points", "libc.so.6", false, "srd_init"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SigrokCalls calls;
        std::string error;
        EXPECT_EQ(openSigrokCalls(c.file, calls, error), c.opens) << error;
        const std::vector<bool> found = entryPointsFound(calls);
        EXPECT_EQ(std::count(found.begin(), found.end(), true), c.opens ? found.size() : 0u);
        if (!c.opens) {
            EXPECT_TRUE(error.starts_with(kNeeds)) << error;
            EXPECT_NE(error.find(c.named), std::string::npos) << error;
        }
    }
}

// Each use of the decoders, in a process of its own where the library was never opened, with
// the library missing: the use fails with the one message, and nothing crashes.
TEST(SigrokLibraryDeathTest, WithoutTheLibraryEveryUseSaysWhatDecodingNeeds) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct Case {
        const char* name;
        std::function<std::string()> use;  // its error
    };
    const std::vector<Case> cases = {
        {"listing",
         [] {
             std::vector<DecoderInfo> decoders;
             std::string error;
             return listDecoders(decoders, error) ? std::string() : error;
         }},
        {"setting up",
         [] {
             DecoderInfo info;
             std::string error;
             return findDecoder("uart", info, error) == DecoderLookup::LibraryFailed
                        ? error
                        : std::string();
         }},
        {"running", [] { return runDecoders({}, DecodeInput{}).error; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EXIT(
            {
                useSigrokLibraryFile(kMissingFile);
                std::fputs(c.use().c_str(), stderr);
                std::exit(3);
            },
            ::testing::ExitedWithCode(3),
            "^protocol decoding needs libsigrokdecode4: libpinprobe-missing\\.so\\.4: cannot open "
            "shared object file: No such file or directory$");
    }
}

}  // namespace
