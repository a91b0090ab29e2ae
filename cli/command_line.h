#pragma once

#include <getopt.h>

#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One option a command takes: "--size N", "-o FILE" (also "--size=N", "-oFILE") or a flag, and
// what its help says of it. Only a repeatable option may be given more than once ("-P uart -P
// i2c").
struct OptionSpec {
    std::string name;       // "--size" or "-o"
    std::string valueName;  // "N"; empty for a flag
    std::string help;       // one paragraph, wrapped by the help
    bool repeatable = false;

    bool takesValue() const { return !valueName.empty(); }
};

struct ParsedArguments {
    std::vector<std::string> operands;
    // Options with their values; a flag has the empty value; a repeated option its last value.
    std::map<std::string, std::string, std::less<>> values;
    // Every value of each repeatable option, in the order given.
    std::map<std::string, std::vector<std::string>, std::less<>> repeated;
    bool help = false;

    bool has(std::string_view option) const { return values.find(option) != values.end(); }
    // The value of an option given once; empty when it was not given.
    std::string value(std::string_view option) const;
    // The values of a repeatable option; none when it was not given.
    const std::vector<std::string>& all(std::string_view option) const;
};

// What getopt_long is handed for a command's options, -h and --help among them: the long
// options and the short ones as its option string. The help is checked against this.
struct GetoptTable {
    std::vector<option> longOptions;  // ends with the all-zero entry getopt_long wants
    std::string shortOptions;
};
GetoptTable getoptTable(std::span<const OptionSpec> options);

// Splits a command's arguments into options and operands with getopt_long. False with `error`
// set for an unknown option (also a shortened name), a missing value, a value given to a flag
// or a repeated option. "-" alone is an operand, "--" ends the options.
bool parseArguments(std::span<const std::string> arguments, std::span<const OptionSpec> options,
                    ParsedArguments& parsed, std::string& error);
