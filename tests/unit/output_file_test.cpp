#include "scopefile/output_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "resources/string_table.h"
#include "scopefile/scope_file.h"
#include "tests/support/failing_file_calls.h"
#include "tests/support/scope_file_maker.h"

namespace {

namespace fs = std::filesystem;

const std::string kOldBytes = scopeFileBytes("the recording saved before, longer than the new one");
const std::string kNewSamples = "abc";

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

class OutputFileTest : public ::testing::Test {
protected:
    // Saves the new samples to `path`; the ids reported, in order.
    std::vector<int> save(const std::string& path) {
        std::vector<int> ids;
        const bool saved = writeScopeFile([&ids](int id) { ids.push_back(id); }, path,
                                          reinterpret_cast<const uint8_t*>(kNewSamples.data()), 3);
        EXPECT_EQ(saved, ids.empty());
        return ids;
    }

    TempDir dir;
    const std::string old = dir.write("old.sco", kOldBytes);
};

// Each call a save over an existing file makes, in order, and the error its failure reports
// (0: the save still succeeds). The samples go out when the data chunk is closed; after the
// rename the file is complete, and a folder that cannot be synced does not undo it.
struct SaveStep {
    const char* call;
    int id;
};
const SaveStep kSaveSteps[] = {
    {"lstat", IDS_CANNOT_OPEN_FILE},
    {"access", IDS_CANNOT_OPEN_FILE},
    {"create", IDS_CANNOT_OPEN_FILE},
    {"chown", 0},
    {"chmod", IDS_CANNOT_OPEN_FILE},
    {"write", IDS_CANNOT_WRITE_DATA},
    {"seek", IDS_CANNOT_WRITE_DATA},
    {"write", IDS_CANNOT_WRITE_DATA},
    {"seek", IDS_CANNOT_WRITE_DATA},
    {"seek", IDS_CANNOT_WRITE_FORM},
    {"write", IDS_CANNOT_WRITE_FORM},
    {"seek", IDS_CANNOT_WRITE_FORM},
    {"sync", IDS_CANNOT_WRITE_FORM},
    {"close", IDS_CANNOT_WRITE_FORM},
    {"rename", IDS_CANNOT_WRITE_FORM},
    {"open", 0},
    {"sync", 0},
    {"close", 0},
};

TEST_F(OutputFileTest, AFailureAtAnyStepLeavesTheOldFileAndNoNewName) {
    std::vector<std::string> steps;
    for (const SaveStep& step : kSaveSteps) {
        steps.emplace_back(step.call);
    }
    {
        FailingFileCalls calls;
        ASSERT_EQ(save(old), std::vector<int>{});
        ASSERT_EQ(calls.calls, steps);
    }
    for (size_t failing = 1; failing <= steps.size(); ++failing) {
        const SaveStep& step = kSaveSteps[failing - 1];
        SCOPED_TRACE(std::to_string(failing) + ": " + step.call);
        dir.write("old.sco", kOldBytes);
        FailingFileCalls calls;
        calls.failingCall = failing;
        EXPECT_EQ(save(old), step.id == 0 ? std::vector<int>{} : std::vector<int>{step.id});
        EXPECT_EQ(readFileBytes(old), step.id == 0 ? scopeFileBytes(kNewSamples) : kOldBytes);
        EXPECT_EQ(namesIn(dir.path("")), std::set<std::string>{"old.sco"});
    }
}

TEST_F(OutputFileTest, AFolderThatTakesNoNewNameIsWrittenInPlace) {
    FailingFileCalls calls;
    calls.createError = EACCES;
    EXPECT_EQ(save(old), std::vector<int>{});
    EXPECT_EQ(readFileBytes(old), scopeFileBytes(kNewSamples));
    EXPECT_EQ(namesIn(dir.path("")), std::set<std::string>{"old.sco"});
    // Without a file to write in place there is nothing to fall back on.
    EXPECT_EQ(save(dir.path("new.sco")), std::vector<int>{IDS_CANNOT_OPEN_FILE});
    EXPECT_FALSE(fs::exists(dir.path("new.sco")));
}

TEST_F(OutputFileTest, ALinkStaysALinkAndTheFileItNamesIsReplaced) {
    fs::create_directory(dir.path("sub"));
    fs::create_symlink("../old.sco", dir.path("sub/relative.sco"));
    fs::create_symlink(dir.path("sub/relative.sco"), dir.path("absolute.sco"));
    fs::create_symlink("missing.sco", dir.path("dangling.sco"));
    EXPECT_EQ(save(dir.path("absolute.sco")), std::vector<int>{});
    EXPECT_TRUE(fs::is_symlink(dir.path("absolute.sco")));
    EXPECT_TRUE(fs::is_symlink(dir.path("sub/relative.sco")));
    EXPECT_EQ(readFileBytes(old), scopeFileBytes(kNewSamples));

    EXPECT_EQ(save(dir.path("dangling.sco")), std::vector<int>{});
    EXPECT_TRUE(fs::is_symlink(dir.path("dangling.sco")));
    EXPECT_EQ(readFileBytes(dir.path("missing.sco")), scopeFileBytes(kNewSamples));
    EXPECT_EQ(namesIn(dir.path("")), (std::set<std::string>{"absolute.sco", "dangling.sco",
                                                            "missing.sco", "old.sco", "sub"}));
}

TEST_F(OutputFileTest, KeepsPermissionsAndWhereAllowedTheOwner) {
    ASSERT_EQ(chmod(old.c_str(), 0640), 0);
    const bool mayGiveAway = geteuid() == 0;
    if (mayGiveAway) {
        ASSERT_EQ(chown(old.c_str(), 12345, 54321), 0);
    }
    ASSERT_EQ(save(old), std::vector<int>{});
    struct stat info {};
    ASSERT_EQ(stat(old.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(info.st_uid, mayGiveAway ? 12345u : geteuid());
    EXPECT_EQ(info.st_gid, mayGiveAway ? 54321u : info.st_gid);
}

TEST_F(OutputFileTest, ADirectoryIsRefusedBeforeAnythingIsWritten) {
    EXPECT_EQ(save(dir.path("")), std::vector<int>{IDS_CANNOT_OPEN_FILE});
    EXPECT_EQ(namesIn(dir.path("")), std::set<std::string>{"old.sco"});
}

// What was never committed leaves nothing behind, wherever it was going.
TEST_F(OutputFileTest, AnOutputDroppedUnwrittenLeavesNothing) {
    {
        OutputFile output;
        ASSERT_TRUE(openOutputFile(output, old));
        ASSERT_GE(std::fputs("half a file", output.stream), 0);
    }
    {
        FailingFileCalls calls;
        calls.createError = EACCES;
        OutputFile inPlace;
        ASSERT_TRUE(openOutputFile(inPlace, old));
        ASSERT_GE(std::fputs("half a file", inPlace.stream), 0);
    }
    EXPECT_EQ(readFileBytes(old), kOldBytes);
    EXPECT_EQ(namesIn(dir.path("")), std::set<std::string>{"old.sco"});
}

}  // namespace
