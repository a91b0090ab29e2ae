#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/cli_program.h"
#include "tests/support/scope_file_maker.h"

namespace {

const std::string kOld = "the old file, to stay as it is\n";

struct DescriptorCase {
    const char* name;
    std::string command;      // after $cli
    std::string redirection;  // the descriptors as the shell hands them over
    int status;
    std::string says;  // on standard error, when it is open (err.txt)
};

// A descriptor the shell closed takes no file's place: a message or the results meant for it
// reach no file the command opened, and the old file stays as it was.
TEST(CliClosedDescriptors, WhatWasMeantForThemReachesNoFile) {
    const std::string badDescriptor =
        "pinprobe-cli: standard output: Cannot write the results: Bad file descriptor\n";
    const std::string sample = "capture --simulate --size 2000 ";
    const std::vector<DescriptorCase> cases = {
        {"a message, standard input and error closed", sample + "-o old.sco --vcd missing/x.vcd",
         "<&- 2>&-", 1, ""},
        {"a message, standard error closed", sample + "-o old.sco --vcd missing/x.vcd", "2>&-", 1,
         ""},
        {"an export's message, all closed", "export rec.sco --vcd -o rec.sco", "<&- >&- 2>&-", 2,
         ""},
        {"results, standard input and output closed", "info rec.sco", "<&- >&- 2> err.txt", 1,
         badDescriptor},
        {"an output that is /dev/null", sample + "-o /dev/null -P uart:rx=select", ">&- 2> err.txt",
         1, badDescriptor},
        {"standard output named, and closed", sample + "-o /dev/stdout", ">&- 2> err.txt", 1,
         "/dev/stdout: Cannot open file. The descriptor is not open for writing. (1100)\n"},
    };
    for (const DescriptorCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string recording = scopeFileBytes(std::string(100, '\x08'));
        const std::string rec = dir.write("rec.sco", recording);
        const std::string old = dir.write("old.sco", kOld);
        const ProcessOutput run =
            runScript(cliProgramPath(), dir.path(""),
                      "$cli " + c.command + " " + c.redirection + "; echo \"$?\"");
        EXPECT_EQ(run.out, std::to_string(c.status) + "\n");
        EXPECT_EQ(readFileBytes(old), kOld);
        EXPECT_EQ(readFileBytes(rec), recording);
        const std::string err = readFileBytes(dir.path("err.txt"));
        EXPECT_NE(err.find(c.says), std::string::npos) << err;
    }
}

struct MessagesCase {
    const char* name;
    std::string files;        // a capture's outputs
    std::string redirection;  // standard output and error
    int status;
};

// A file written where standard error goes would have a warning or the summary in it: refused
// before the port is read, unless standard error is a device (a terminal, /dev/null).
TEST(CliClosedDescriptors, NoOutputTakesMessagesIntoIt) {
    const std::vector<MessagesCase> cases = {
        {"standard output sent with standard error", "--vcd -", "> x.vcd 2>&1", 2},
        {"standard error named", "-o c.sco --vcd /dev/stderr", "> out.txt 2> x.vcd", 2},
        {"its descriptor named", "--csv /dev/fd/2", "> out.txt 2> x.vcd", 2},
        {"the file it goes to named", "--vcd x.vcd", "> out.txt 2> x.vcd", 2},
        {"standard error sent with a third", "--vcd /dev/fd/3", "> out.txt 2> x.vcd 3>&2", 2},
        {"standard error is /dev/null", "--vcd /dev/stderr", "> out.txt 2> /dev/null", 0},
        {"standard error apart", "--vcd -", "> x.vcd 2> out.txt", 0},
    };
    for (const MessagesCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const ProcessOutput run = runScript(cliProgramPath(), dir.path(""),
                                            ": > x.vcd; $cli capture --simulate --size 2000 " +
                                                c.files + " " + c.redirection + "; echo \"$?\"");
        EXPECT_EQ(run.out, std::to_string(c.status) + "\n");
        const std::string written = readFileBytes(dir.path("x.vcd"));
        if (c.status == 0) {
            EXPECT_EQ(written.find("samples:"), std::string::npos);
            EXPECT_EQ(written.find("pinprobe-cli:"), std::string::npos);
        } else {
            EXPECT_NE(written.find(" is standard error, where the messages and the summary go\n"),
                      std::string::npos)
                << written;
            EXPECT_EQ(written.find("$version"), std::string::npos);
        }
    }
}

}  // namespace
