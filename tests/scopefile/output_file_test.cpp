#include "scopefile/output_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
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

struct stat statOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return info;
}

class OutputFileTest : public ::testing::Test {
protected:
    // Saves `samples` to `path`; the ids reported, in order.
    std::vector<int> save(const std::string& path, const std::string& samples = kNewSamples) {
        std::vector<int> ids;
        const bool saved = writeScopeFile([&ids](int id) { ids.push_back(id); }, path,
                                          reinterpret_cast<const uint8_t*>(samples.data()),
                                          static_cast<uint32_t>(samples.size()));
        EXPECT_EQ(saved, ids.empty());
        return ids;
    }

    TempDir dir;
    const std::string old = dir.write("old.sco", kOldBytes);
};

// Each call a save over an existing file makes, in order, and the error its failure reports
// (0: the save still succeeds). The kernel opens the target, the temporary gets the whole file
// in one write (every size is known up front) and its attributes only then; after the rename the
// file is complete, and a folder that cannot be synced does not undo it. A failing look at the
// target's name is answered by asking the kernel where the file is.
struct SaveStep {
    const char* call;
    int id;
};
const SaveStep kSaveSteps[] = {
    {"open", IDS_CANNOT_OPEN_FILE},
    {"open", IDS_CANNOT_OPEN_FILE},
    {"fstat", IDS_CANNOT_OPEN_FILE},
    {"stat", 0},
    {"create", IDS_CANNOT_OPEN_FILE},
    {"write", IDS_CANNOT_WRITE_DATA},
    {"chown", 0},
    {"chmod", IDS_CANNOT_WRITE_FORM},
    {"sync", IDS_CANNOT_WRITE_FORM},
    {"close", IDS_CANNOT_WRITE_FORM},
    {"rename", IDS_CANNOT_WRITE_FORM},
    {"open", 0},
    {"sync", 0},
    {"close", 0},
    {"close", 0},
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

// No one may read the new content before it has the old file's mode: the temporary is this
// user's alone until the content is complete.
TEST_F(OutputFileTest, TheTemporaryIsPrivateUntilItIsComplete) {
    ASSERT_EQ(chmod(old.c_str(), 0644), 0);
    for (const std::string& path : {old, dir.path("new.sco")}) {
        SCOPED_TRACE(path);
        OutputFile output;
        ASSERT_TRUE(openOutputFile(output, path));
        ASSERT_FALSE(output.temporary.empty());
        ASSERT_GE(std::fputs("the whole content", output.stream), 0);
        ASSERT_EQ(std::fflush(output.stream), 0);
        EXPECT_EQ(statOf(dir.path(output.temporary)).st_mode & 07777, 0600u);
        ASSERT_TRUE(commitOutputFile(output));
    }
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(statOf(old).st_mode & 07777, 0644u);
    EXPECT_EQ(statOf(dir.path("new.sco")).st_mode & 07777, 0666u & ~mask);
}

TEST_F(OutputFileTest, KeepsPermissionsAndWhereAllowedTheOwner) {
    ASSERT_EQ(chmod(old.c_str(), 0640), 0);
    const bool mayGiveAway = geteuid() == 0;
    if (mayGiveAway) {
        ASSERT_EQ(chown(old.c_str(), 12345, 54321), 0);
    }
    ASSERT_EQ(save(old), std::vector<int>{});
    const struct stat info = statOf(old);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(info.st_uid, mayGiveAway ? 12345u : geteuid());
    EXPECT_EQ(info.st_gid, mayGiveAway ? 54321u : info.st_gid);
}

// A file with other names, or one that cannot be replaced by a new file (its folder takes no new
// name, or refuses the rename), is rewritten in place from a complete temporary: every name
// shows the new content, or on a full disk the old one, and no new name stays behind.
TEST_F(OutputFileTest, AFileThatMustKeepItsInodeIsRewrittenInPlace) {
    struct Case {
        const char* name;
        bool hardLink;
        int createError;
        int renameError;
        const char* failingKind;
        size_t failingKindAt;
        std::string samples;
        bool saved;
    };
    const std::string longer(500, 'x');
    const std::string muchLonger(200000, 'x');  // more than one piece of the copy
    const std::vector<Case> cases = {
        {"hard link, shorter", true, 0, 0, "", 1, kNewSamples, true},
        {"hard link, longer", true, 0, 0, "", 1, muchLonger, true},
        {"hard link, no room", true, 0, 0, "allocate", 1, longer, false},
        {"hard link, no room for the tail", true, 0, 0, "pwrite", 1, longer, false},
        {"hard link, no room for the tail's end", true, 0, 0, "pwrite", 2, muchLonger, false},
        {"hard link, staging fails", true, 0, 0, "write", 1, longer, false},
        {"folder takes no name", false, EACCES, 0, "", 1, longer, true},
        {"folder takes no name, nowhere to stage", false, EACCES, 0, "tmpfile", 1, longer, false},
        {"rename refused", false, 0, EPERM, "", 1, longer, true},
        {"rename not allowed", false, 0, EACCES, "", 1, kNewSamples, true},
        {"rename refused, no room", false, 0, EPERM, "allocate", 1, longer, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dir.write("old.sco", kOldBytes);
        const std::string other = dir.path("other.sco");
        fs::remove(other);
        if (c.hardLink) {
            fs::create_hard_link(old, other);
        }
        const ino_t inode = statOf(old).st_ino;
        FailingFileCalls calls;
        calls.createError = c.createError;
        calls.renameError = c.renameError;
        calls.failingKind = c.failingKind;
        calls.failingKindAt = c.failingKindAt;
        calls.error = ENOSPC;
        EXPECT_EQ(save(old, c.samples).empty(), c.saved);
        const std::string expected = c.saved ? scopeFileBytes(c.samples) : kOldBytes;
        EXPECT_TRUE(readFileBytes(old) == expected);
        EXPECT_TRUE(!c.hardLink || readFileBytes(other) == expected);
        EXPECT_EQ(statOf(old).st_ino, inode);
        EXPECT_EQ(namesIn(dir.path("")).size(), c.hardLink ? 2u : 1u);
    }
}

TEST_F(OutputFileTest, ANewFileInAFolderThatTakesNoNameIsRefused) {
    FailingFileCalls calls;
    calls.createError = EACCES;
    EXPECT_EQ(save(dir.path("new.sco")), std::vector<int>{IDS_CANNOT_OPEN_FILE});
    EXPECT_EQ(namesIn(dir.path("")), std::set<std::string>{"old.sco"});
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
    fs::create_symlink("loop.sco", dir.path("loop.sco"));
    EXPECT_EQ(save(dir.path("loop.sco")), std::vector<int>{IDS_CANNOT_OPEN_FILE});
}

// The kernel follows the links, so its protection holds: a link that someone else planted in a
// sticky folder is not followed, not even for root.
TEST_F(OutputFileTest, AProtectedLinkIsRefusedAsTheKernelRefusesIt) {
    if (geteuid() != 0 || readFileBytes("/proc/sys/fs/protected_symlinks") != "1\n") {
        GTEST_SKIP() << "needs root and fs.protected_symlinks=1";
    }
    const std::string sticky = dir.path("sticky");
    fs::create_directory(sticky);
    ASSERT_EQ(chmod(sticky.c_str(), 01777), 0);
    const std::string link = sticky + "/evil.sco";
    fs::create_symlink(old, link);
    ASSERT_EQ(lchown(link.c_str(), 12345, 12345), 0);
    EXPECT_EQ(save(link), std::vector<int>{IDS_CANNOT_OPEN_FILE});
    EXPECT_EQ(readFileBytes(old), kOldBytes);
    EXPECT_TRUE(namesIn(sticky) == std::set<std::string>{"evil.sco"});
}

TEST_F(OutputFileTest, ADirectoryIsRefusedBeforeAnythingIsWritten) {
    for (const std::string& path : {dir.path(""), dir.path("."), old + "/", std::string("/")}) {
        EXPECT_EQ(save(path), std::vector<int>{IDS_CANNOT_OPEN_FILE}) << path;
    }
    EXPECT_EQ(namesIn(dir.path("")), std::set<std::string>{"old.sco"});
}

// A path the shell can make is writable, though the temporary's name makes it longer than the
// kernel takes a path: every name is given relative to its open folder.
TEST_F(OutputFileTest, APathNearTheLimitIsWritable) {
    std::string path = dir.path("");
    while (path.size() + 256 < PATH_MAX - 1) {
        path += std::string(250, 'd') + "/";
    }
    fs::create_directories(path);
    path += std::string(PATH_MAX - 12 - path.size(), 'f');
    ASSERT_EQ(path.size(), PATH_MAX - 12u);
    std::ofstream(path) << "an old file";
    ASSERT_EQ(readFileBytes(path), "an old file");
    EXPECT_EQ(save(path), std::vector<int>{});
    EXPECT_EQ(readFileBytes(path), scopeFileBytes(kNewSamples));
}

// One file, whatever names it: the same identity for every spelling, link and hard link of an
// existing file, and for two spellings of a new one; another for anything else.
TEST_F(OutputFileTest, EveryNameOfAFileGivesTheSameIdentity) {
    const std::string here = fs::current_path().string();
    fs::current_path(dir.path(""));
    fs::create_symlink("old.sco", dir.path("link.sco"));
    fs::create_hard_link(old, dir.path("hard.sco"));
    fs::create_directory(dir.path("sub"));
    const std::vector<std::vector<std::string>> sameFiles = {
        {old, "old.sco", "./old.sco", "sub/../old.sco", "link.sco", "hard.sco"},
        {"new.sco", "./new.sco", dir.path("new.sco"), "sub/../new.sco"},
        {"sub/new.sco", dir.path("sub/new.sco")},
    };
    std::set<std::vector<uint64_t>> identities;
    for (const std::vector<std::string>& names : sameFiles) {
        OutputFile first;
        ASSERT_TRUE(openOutputFile(first, names[0]));
        for (const std::string& name : names) {
            OutputFile other;
            ASSERT_TRUE(openOutputFile(other, name));
            EXPECT_EQ(other.identity, first.identity) << name;
        }
        identities.insert({first.identity.device, first.identity.inode,
                           std::hash<std::string>()(first.identity.name)});
    }
    EXPECT_EQ(identities.size(), sameFiles.size());
    fs::current_path(here);
}

// A name that stands for a descriptor is written through it, where the shell left it: at the end
// of a file opened to append, at the position of one that was not; the file is the same file.
TEST_F(OutputFileTest, ADescriptorNameIsWrittenAsTheShellOpenedIt) {
    const std::string log = dir.path("log");
    const std::string tail = "stays where the new bytes do not reach: not appended to";
    const std::string scope = scopeFileBytes(kNewSamples);
    for (const int mode : {O_APPEND, 0}) {
        for (const char* folder : {"/dev/fd/", "/proc/self/fd/", "/proc/thread-self/fd/"}) {
            SCOPED_TRACE(std::string(folder) + (mode != 0 ? " appending" : " at a position"));
            std::ofstream(log) << "LINE1\nBEFORE\n" << tail;
            const int fd = open(log.c_str(), O_WRONLY | mode);
            ASSERT_GE(fd, 0);
            ASSERT_EQ(lseek(fd, 13, SEEK_SET), 13);
            const ino_t inode = statOf(log).st_ino;
            EXPECT_EQ(save(folder + std::to_string(fd)), std::vector<int>{});
            ASSERT_EQ(write(fd, "AFTER\n", 6), 6);
            close(fd);
            EXPECT_EQ(readFileBytes(log), mode != 0 ? "LINE1\nBEFORE\n" + tail + scope + "AFTER\n"
                                                    : "LINE1\nBEFORE\n" + scope + "AFTER\n" +
                                                          tail.substr(scope.size() + 6));
            EXPECT_EQ(statOf(log).st_ino, inode);
        }
    }
    EXPECT_EQ(namesIn(dir.path("")), (std::set<std::string>{"log", "old.sco"}));
}

TEST_F(OutputFileTest, ADescriptorThatCannotBeWrittenIsRefused) {
    const int readOnly = open(old.c_str(), O_RDONLY);
    ASSERT_GE(readOnly, 0);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/dev/fd/" + std::to_string(readOnly), "The descriptor is not open for writing"},
        {"/dev/fd/999", "Bad file descriptor"},
    };
    for (const auto& [name, reason] : cases) {
        std::string given;
        EXPECT_FALSE(writeScopeFile([&given](int) { given = fileErrorReason(); }, name,
                                    reinterpret_cast<const uint8_t*>("abc"), 3));
        EXPECT_EQ(given, reason) << name;
    }
    close(readOnly);
    EXPECT_EQ(readFileBytes(old), kOldBytes);
}

// What was never committed leaves nothing behind, wherever it was going.
TEST_F(OutputFileTest, AnOutputDroppedUnwrittenLeavesNothing) {
    fs::create_hard_link(old, dir.path("other.sco"));
    for (const std::string& path : {old, dir.path("new.sco")}) {
        OutputFile output;
        ASSERT_TRUE(openOutputFile(output, path));
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
    EXPECT_EQ(namesIn(dir.path("")), (std::set<std::string>{"old.sco", "other.sco"}));
}

}  // namespace
