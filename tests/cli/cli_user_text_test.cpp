#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/console_output.h"
#include "tests/support/cli_runner.h"
#include "tests/support/scope_file_maker.h"

namespace {

struct UserTextCase {
    std::vector<std::string> arguments;
    std::string says;  // the escaped text, as the message quotes it
};

// Whatever the user typed, a message shows it on its own line, its control characters written
// out: a terminal is not cleared, a line not split.
TEST(CliUserText, ControlCharactersInWhatIsQuotedAreWrittenOut) {
    TempDir dir;
    const std::string recording = dir.write("rec.sco", scopeFileBytes("\x08\x10\x18"));
    const std::string clear = "\x1b[2J";
    const std::vector<UserTextCase> cases = {
        {{"decoders", "a" + clear}, "'a\\x1b[2J'"},
        {{"decode", recording, "-P", "ua\nrt"}, "'ua\\nrt'"},
        {{"decode", recording, "-P",
          "uart:rx=sel\x07"
          "ect"},
         "'sel\\x07ect'"},
        {{"decode", recording, "-P", "uart:ba\rud=1"}, "'ba\\rud'"},
        {{"decode", recording, "-P",
          "uart:baudrate=96\x1b"
          "00"},
         "'96\\x1b00'"},
        {{"decode", recording, "-P", "uart", "-A", "x\ty"}, "'x\\ty'"},
        {{"info", dir.path("no\nsuch.sco")}, "no\\nsuch.sco: Cannot open file."},
        {{"capture", "-o", dir.path("x/" + clear + ".sco")}, "x/\\x1b[2J.sco: Cannot open file."},
        {{"capture", "--bog" + clear}, "'--bog\\x1b[2J'"},
        {{"capture", "-o", "a", "extra\n"}, "'extra\\n'"},
        {{"cmd\r"}, "'cmd\\r'"},
        {{"--version", "\x1b"}, "'\\x1b'"},
    };
    for (const UserTextCase& c : cases) {
        const CliRun run = runCliLine(c.arguments);
        const std::string line = ::testing::PrintToString(c.arguments);
        EXPECT_NE(run.status, 0) << line;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << line << "\n" << run.err;
        // Each line is a message of ours or the hint that goes with one.
        std::istringstream lines(run.err);
        std::string text;
        while (std::getline(lines, text)) {
            EXPECT_TRUE(text.starts_with("pinprobe-cli: ") || text.starts_with("Try '"))
                << line << ": " << text;
            EXPECT_EQ(std::count_if(text.begin(), text.end(),
                                    [](char c) { return static_cast<unsigned char>(c) < 0x20; }),
                      0)
                << line;
        }
    }
}

// Text that reached a message unquoted (a folder from the environment, a library's words) is
// written out there all the same; the lines a message has are kept.
TEST(CliUserText, EveryMessageIsShownSafely) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"in /tmp/\x1b[2J (TMPDIR)", "in /tmp/\\x1b[2J (TMPDIR)"},
        {"a\rb\tc\x7f", "a\\rb\\tc\\x7f"},
        {"problem\nTry 'x'.", "problem\nTry 'x'."},
        {"'a\\x1b'", "'a\\x1b'"},
    };
    for (const auto& [text, shown] : cases) {
        std::ostringstream err;
        ConsoleOutput console(err);
        console.message(text);
        EXPECT_EQ(err.str(), "pinprobe-cli: " + shown + "\n");
    }
}

}  // namespace
