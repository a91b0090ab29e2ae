#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/command_table.h"
#include "cli/help_text.h"
#include "tests/support/cli_runner.h"

namespace {

// The options a help lists: the lines "  -o FILE  what it does", "  -h, --help  ...", each name
// with whether it is shown with a value.
std::map<std::string, bool> optionsInHelp(const std::string& help) {
    std::map<std::string, bool> options;
    std::istringstream lines(help);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.starts_with("  -")) {
            continue;
        }
        std::istringstream entry(line.substr(2, line.find("  ", 2) - 2));
        std::string name;
        while (std::getline(entry, name, ',')) {
            name.erase(0, name.find_first_not_of(' '));
            const size_t blank = name.find(' ');
            options[name.substr(0, blank)] = blank != std::string::npos;
        }
    }
    return options;
}

// The options getopt_long is handed for `command`, by name.
std::set<std::string> parserOptions(const Command& command) {
    const GetoptTable table = getoptTable(command.options);
    std::set<std::string> names;
    for (const option& longOption : table.longOptions) {
        if (longOption.name != nullptr) {
            names.insert("--" + std::string(longOption.name));
        }
    }
    for (const char c : table.shortOptions) {
        if (c != '-' && c != ':') {
            names.insert(std::string{'-', c});
        }
    }
    return names;
}

TEST(CliHelp, EachCommandsHelpListsExactlyWhatItsParserTakes) {
    for (const Command& command : commands()) {
        SCOPED_TRACE(std::string(command.name));
        const CliRun help = runCliLine({std::string(command.name), "--help"});
        ASSERT_EQ(help.status, 0);
        const std::map<std::string, bool> listed = optionsInHelp(help.out);
        std::set<std::string> names;
        for (const auto& [name, takesValue] : listed) {
            names.insert(name);
            // The command line takes it as the help shows it: with --help after it, parsing
            // alone is tried.
            std::vector<std::string> line{std::string(command.name), name};
            if (takesValue) {
                line.push_back("1");
            }
            line.push_back("--help");
            EXPECT_EQ(runCliLine(line).status, 0) << name;
        }
        EXPECT_EQ(names, parserOptions(command));
    }
}

// What the last round found missing from the help.
TEST(CliHelp, NamesTheOptionsOnceMissing) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"capture", {"--sr", "-P", "-A", "--samplenum", "--vcd", "--csv"}},
        {"export", {"--format", "--period", "--wait-for-reader"}},
        {"decode", {"-P", "-A", "--samplenum", "--period"}},
    };
    for (const auto& [command, options] : cases) {
        const std::map<std::string, bool> listed = optionsInHelp(runCliLine({command, "-h"}).out);
        for (const std::string& option : options) {
            EXPECT_TRUE(listed.contains(option)) << command << " " << option;
        }
    }
}

struct HelpLineCase {
    std::vector<std::string> arguments;
    int status;
    std::string shows;  // the help of this command line; empty for none
};

// "help COMMAND" is that command's help; a name that is none, or more than one, a mistake.
TEST(CliHelp, HelpTakesACommand) {
    const std::vector<HelpLineCase> cases = {
        {{"help"}, 0, ""},
        {{"help", "capture"}, 0, "capture"},
        {{"--help", "export"}, 0, "export"},
        {{"-h", "decoders"}, 0, "decoders"},
        {{"help", "nope"}, 2, ""},
        {{"help", "capture", "export"}, 2, ""},
        {{"help", "--help"}, 2, ""},
    };
    const std::string overview = runCliLine({"--help"}).out;
    for (const HelpLineCase& c : cases) {
        const CliRun run = runCliLine(c.arguments);
        const std::string line = ::testing::PrintToString(c.arguments);
        EXPECT_EQ(run.status, c.status) << line;
        if (c.status != 0) {
            EXPECT_EQ(run.out, "") << line;
            EXPECT_TRUE(run.err.ends_with("Try 'pinprobe-cli --help'.\n")) << line;
        } else {
            EXPECT_EQ(run.out, c.shows.empty() ? overview : runCliLine({c.shows, "--help"}).out)
                << line;
        }
    }
}

TEST(CliHelp, LinesFitEightyColumns) {
    std::vector<std::vector<std::string>> lines{{"--help"}};
    for (const Command& command : commands()) {
        lines.push_back({std::string(command.name), "--help"});
    }
    for (const std::vector<std::string>& line : lines) {
        std::istringstream text(runCliLine(line).out);
        std::string row;
        while (std::getline(text, row)) {
            EXPECT_LE(row.size(), 80u) << line[0] << ": " << row;
        }
    }
}

struct WrapCase {
    std::string text;
    size_t indent;
    size_t firstIndent;
    std::string wrapped;
};

TEST(CliHelp, WrapsBetweenWordsAndKeepsParagraphs) {
    const std::string word10 = "abcdefghij";
    std::string line7;  // seven words of ten: 76 characters; four more fill a line
    for (int i = 0; i < 7; ++i) {
        line7 += (i == 0 ? "" : " ") + word10;
    }
    const std::vector<WrapCase> cases = {
        {"", 0, 0, "\n"},
        {"one two", 0, 0, "one two\n"},
        {"one  two ", 0, 0, "one two\n"},
        {"one\n\ntwo", 0, 0, "one\n\ntwo\n"},
        {line7, 0, 0, line7 + "\n"},
        {line7 + " abc", 0, 0, line7 + " abc\n"},
        {line7 + " abcd", 0, 0, line7 + "\nabcd\n"},
        {line7 + " x", 4, 0, "    " + line7 + "\n    x\n"},
        // The first line goes on from where its entry's name ended.
        {"a b", 10, 6, "    a b\n"},
        {line7, 10, 6, "    " + line7.substr(0, 65) + "\n          " + word10 + "\n"},
        // A word longer than a line stays whole.
        {std::string(90, 'w'), 2, 0, "  " + std::string(90, 'w') + "\n"},
    };
    for (const WrapCase& c : cases) {
        EXPECT_EQ(wrapped(c.text, c.indent, c.firstIndent), c.wrapped) << c.text;
    }
}

}  // namespace
