#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/cli_runner.h"
#include "tests/support/failing_file_calls.h"
#include "tests/support/scope_file_maker.h"

namespace {

struct MessageCase {
    const char* name;
    std::string output;  // what -o is given, in the test's folder
    const char* tmpdir;  // TMPDIR for the run; nullptr: as it is
    int createError;     // every new name in a folder fails so (a folder the user cannot write)
    std::string says;    // after "pinprobe-cli: OUTPUT: Cannot open file. "
};

// A file that cannot be written says what failed, on which path: the path's own fault, or the
// temporary folder that an in-place rewrite needs.
TEST(CliFileMessages, TheRealCauseAndItsPath) {
    TempDir dir;
    const std::string recording = dir.write("rec.sco", scopeFileBytes("\x08\x10\x18"));
    dir.write("file", "a regular file");
    dir.write("old.vcd", "an old export");
    std::filesystem::create_directory(dir.path("folder"));
    const std::vector<MessageCase> cases = {
        {"a file taken for a folder", "file/", nullptr, 0, "Not a directory. (1100)"},
        {"a folder", "folder/", nullptr, 0, "Is a directory. (1100)"},
        {"a folder, spelt with ..", "folder/..", nullptr, 0, "Is a directory. (1100)"},
        {"a missing folder", "missing/", nullptr, 0, "No such file or directory. (1100)"},
        {"no temporary folder", "old.vcd", "/nonexistent", EACCES,
         "No temporary file to rewrite it in place can be made in /nonexistent (TMPDIR): No "
         "such file or directory. (1100)"},
        {"the usual temporary folder", "old.vcd", "", EACCES, ""},
    };
    for (const MessageCase& c : cases) {
        SCOPED_TRACE(c.name);
        const char* saved = std::getenv("TMPDIR");
        const std::string kept = saved != nullptr ? saved : "";
        if (c.tmpdir != nullptr) {
            setenv("TMPDIR", c.tmpdir, 1);
        }
        FailingFileCalls calls;
        calls.createError = c.createError;
        const std::string output = dir.path(c.output);
        const CliRun run = runCliLine({"export", recording, "--vcd", "-o", output});
        saved != nullptr ? setenv("TMPDIR", kept.c_str(), 1) : unsetenv("TMPDIR");
        if (std::string(c.says).empty()) {
            EXPECT_EQ(run.status, 0) << run.err;
            continue;
        }
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "pinprobe-cli: " + output + ": Cannot open file. " + c.says + "\n");
    }
    EXPECT_TRUE(readFileBytes(dir.path("old.vcd")).starts_with("$version"));
}

}  // namespace
