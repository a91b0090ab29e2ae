#include "scopefile/unfinished_outputs.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "scopefile/output_file.h"
#include "tests/support/scope_file_maker.h"

namespace {

// Waits (a while at most) until `signal` waits for this process, held.
void waitUntilPending(int signal) {
    for (int wait = 0; wait < 20000; ++wait) {
        sigset_t pending;
        if (sigpending(&pending) == 0 && sigismember(&pending, signal) == 1) {
            return;
        }
        usleep(1000);
    }
}

// In a child process: the file being written, half done, then wait for the end. Tells the
// parent through `ready` when the temporary is there. Holding the signals, it leaves a mark
// once the parent's signal has come and waits: the held signal must not have ended it before.
[[noreturn]] void writeAndWait(const std::string& path, int ready, int heldSignal) {
    endCleanlyOnSignals();
    OutputFile output;
    const bool opened = openOutputFile(output, path) &&
                        std::fputs("half a file", output.stream) >= 0 &&
                        std::fflush(output.stream) == 0;
    if (heldSignal != 0) {
        EndingSignalsHeld held;
        (void)!write(ready, opened ? "y" : "n", 1);
        waitUntilPending(heldSignal);
        std::fclose(std::fopen((path + ".held").c_str(), "w"));
    } else {
        (void)!write(ready, opened ? "y" : "n", 1);
    }
    for (;;) {
        pause();
    }
}

// A signal that ends the program while a file is being written removes its temporary, leaves
// the old file as it was and ends the program as the signal does, so that the shell sees
// 128 + signal; a signal held meanwhile comes once the hold ends.
TEST(UnfinishedOutputs, ASignalRemovesTheTemporaryAndEndsAsTheSignalDoes) {
    for (const bool hold : {false, true}) {
        for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
            SCOPED_TRACE(std::string(strsignal(signal)) + (hold ? ", held" : ""));
            TempDir dir;
            const std::string old = dir.write("old.sco", "the old file");
            int ready[2];
            ASSERT_EQ(pipe(ready), 0);
            const pid_t child = fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                writeAndWait(old, ready[1], hold ? signal : 0);
            }
            char opened = 0;
            ASSERT_EQ(read(ready[0], &opened, 1), 1);
            EXPECT_EQ(opened, 'y');
            EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path("")), {}), 2);
            kill(child, signal);
            int status = 0;
            ASSERT_EQ(waitpid(child, &status, 0), child);
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
            EXPECT_EQ(readFileBytes(old), "the old file");
            EXPECT_EQ(std::filesystem::exists(old + ".held"), hold);
            EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path("")), {}),
                      hold ? 2 : 1);
            close(ready[0]);
            close(ready[1]);
        }
    }
}

// The list has room for a few outputs at a time; past that an output is written all the same,
// only not removed by a signal. Forgotten entries make room again.
TEST(UnfinishedOutputs, TheListTakesForgottenEntriesBack) {
    TempDir dir;
    const int folder = open(dir.path("").c_str(), O_PATH | O_DIRECTORY);
    ASSERT_GE(folder, 0);
    std::vector<int> entries;
    for (int i = 0; i < 20; ++i) {
        entries.push_back(rememberUnfinished(folder, "x"));
    }
    EXPECT_EQ(std::count(entries.begin(), entries.end(), -1), 4);
    for (const int entry : entries) {
        forgetUnfinished(entry);
    }
    const int entry = rememberUnfinished(folder, "x");
    EXPECT_GE(entry, 0);
    forgetUnfinished(entry);
    EXPECT_EQ(rememberUnfinished(folder, std::string(300, 'n')), -1) << "longer than a name";
    close(folder);
}

}  // namespace
