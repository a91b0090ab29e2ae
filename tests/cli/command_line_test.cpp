#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <vector>

#include "cli/command_line.h"

namespace {

const std::array kOptions{
    OptionSpec{"-o", "FILE", ""},        OptionSpec{"--size", "N", ""},
    OptionSpec{"--simulate", "", ""},    OptionSpec{"--speed", "S", ""},
    OptionSpec{"-P", "STACK", "", true},
};

struct ParseCase {
    std::vector<std::string> arguments;
    std::vector<std::string> operands;
    std::map<std::string, std::string, std::less<>> values;
    std::vector<std::string> stacks;  // every -P
};

TEST(CommandLine, SplitsOptionsValuesAndOperandsInOrder) {
    const std::vector<ParseCase> cases = {
        {{"a.sco", "-o", "b", "c"}, {"a.sco", "c"}, {{"-o", "b"}}, {}},
        {{"--size=5", "--simulate"}, {}, {{"--size", "5"}, {"--simulate", ""}}, {}},
        {{"--size", "5"}, {}, {{"--size", "5"}}, {}},
        {{"-oout.sco"}, {}, {{"-o", "out.sco"}}, {}},
        {{"-o", "-"}, {}, {{"-o", "-"}}, {}},
        {{"-", "x"}, {"-", "x"}, {}, {}},
        {{"--size="}, {}, {{"--size", ""}}, {}},
        {{"-o", "--simulate"}, {}, {{"-o", "--simulate"}}, {}},
        {{"--", "-o", "--simulate"}, {"-o", "--simulate"}, {}, {}},
        {{"x", "--", "--"}, {"x", "--"}, {}, {}},
        {{"-P", "uart", "-P", "i2c"}, {}, {{"-P", "i2c"}}, {"uart", "i2c"}},
    };
    for (const ParseCase& c : cases) {
        const std::string line = ::testing::PrintToString(c.arguments);
        ParsedArguments parsed;
        std::string error;
        ASSERT_TRUE(parseArguments(c.arguments, kOptions, parsed, error)) << line << error;
        EXPECT_EQ(parsed.operands, c.operands) << line;
        EXPECT_EQ(parsed.values, c.values) << line;
        EXPECT_EQ(parsed.all("-P"), c.stacks) << line;
        EXPECT_FALSE(parsed.help) << line;
    }
}

TEST(CommandLine, RefusesWhatItDoesNotTakeInOneLine) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--sim"}, "unknown option '--sim'"},
        {{"--s"}, "unknown option '--s'"},
        {{"--sim=1"}, "unknown option '--sim'"},
        {{"--spee", "fast"}, "unknown option '--spee'"},
        {{"--bogus", "x"}, "unknown option '--bogus'"},
        {{"-x"}, "unknown option '-x'"},
        {{"-o"}, "option '-o' needs a value"},
        {{"x", "--size"}, "option '--size' needs a value"},
        {{"--simulate=yes"}, "option '--simulate' takes no value"},
        {{"-o", "a", "-ob"}, "option '-o' given twice"},
        {{"--simulate", "--simulate"}, "option '--simulate' given twice"},
    };
    for (const auto& [arguments, problem] : cases) {
        ParsedArguments parsed;
        std::string error;
        EXPECT_FALSE(parseArguments(arguments, kOptions, parsed, error)) << problem;
        EXPECT_EQ(error, problem);
    }
}

// Each command line is read afresh: a mistake halfway through one leaves nothing for the next.
TEST(CommandLine, EachLineIsReadOnItsOwn) {
    ParsedArguments first;
    std::string error;
    EXPECT_FALSE(parseArguments(std::vector<std::string>{"-o", "a", "-x", "--size", "1"}, kOptions,
                                first, error));
    ParsedArguments second;
    ASSERT_TRUE(
        parseArguments(std::vector<std::string>{"--size", "2", "b"}, kOptions, second, error))
        << error;
    EXPECT_EQ(second.value("--size"), "2");
    EXPECT_EQ(second.operands, std::vector<std::string>{"b"});
    ParsedArguments help;
    ASSERT_TRUE(parseArguments(std::vector<std::string>{"b", "-h"}, kOptions, help, error));
    EXPECT_TRUE(help.help);
}

}  // namespace
