#include "cli/command_line.h"

#include <algorithm>

#include "core/printable_text.h"

namespace {

// getopt_long returns 1 for an operand when its option string starts with '-' (operands in the
// order given), and ':' for a missing value when ':' follows. A long option's code is this plus
// its index, beyond every character a short option can be.
constexpr const char* kOperandsInOrder = "-:";
constexpr int kOperand = 1;
constexpr int kMissingValue = ':';
constexpr int kRefused = '?';
constexpr int kLongOption = 0x100;
constexpr int kHelp = 'h';

bool isShort(const OptionSpec& option) {
    return option.name.size() == 2 && option.name[0] == '-' && option.name[1] != '-';
}

const OptionSpec* optionFor(int code, std::span<const OptionSpec> options) {
    if (code >= kLongOption) {
        return &options[static_cast<size_t>(code - kLongOption)];
    }
    const auto found = std::find_if(options.begin(), options.end(), [code](const OptionSpec& o) {
        return isShort(o) && o.name[1] == code;
    });
    return found != options.end() ? &*found : nullptr;
}

// The name as the user wrote it in `argument`: "--sim" of "--sim=1".
std::string writtenName(const char* argument) {
    const std::string text(argument);
    return text.substr(0, text.find('='));
}

// The argument that held the option getopt_long just returned or refused: the one before its
// value when that came apart ("--size 5"), else the last one it took ("--size=5", "--sim").
const char* optionArgument(int code, char* const* argv) {
    const bool valueApart = code != kMissingValue && code != kRefused && optarg != nullptr &&
                            optarg == argv[optind - 1];
    return argv[optind - (valueApart ? 2 : 1)];
}

bool record(const OptionSpec& option, ParsedArguments& parsed, std::string& error) {
    if (parsed.has(option.name) && !option.repeatable) {
        error = "option '" + option.name + "' given twice";
        return false;
    }
    const std::string value = optarg != nullptr ? optarg : "";
    parsed.values[option.name] = value;
    if (option.repeatable) {
        parsed.repeated[option.name].push_back(value);
    }
    return true;
}

// What is wrong with the option getopt_long returned as `code`, or refused; empty when nothing.
std::string optionProblem(int code, char* const* argv, std::span<const OptionSpec> options) {
    const int named = code == kMissingValue || code == kRefused ? optopt : code;
    const std::string written = writtenName(optionArgument(code, argv));
    if (named == kHelp) {
        return "option " + inQuotes(written) + " takes no value";
    }
    if (named == 0 || (named < kLongOption && code == kRefused)) {
        return "unknown option " + inQuotes(named != 0 ? std::string{'-', char(named)} : written);
    }
    const OptionSpec& option = *optionFor(named, options);
    // getopt_long takes any unambiguous beginning of a long name; a script that counted on one
    // would break with the next option added, so names are taken whole.
    if (named >= kLongOption && written != option.name) {
        return "unknown option " + inQuotes(written);
    }
    if (code == kMissingValue) {
        return "option '" + option.name + "' needs a value";
    }
    return code == kRefused ? "option '" + option.name + "' takes no value" : "";
}

// One result of getopt_long; false with `error` once it is a mistake.
bool take(int code, char* const* argv, std::span<const OptionSpec> options, ParsedArguments& parsed,
          std::string& error) {
    if (code == kOperand) {
        parsed.operands.emplace_back(optarg);
        return true;
    }
    if (code == kHelp) {
        parsed.help = true;
        return true;
    }
    error = optionProblem(code, argv, options);
    return error.empty() && record(*optionFor(code, options), parsed, error);
}

}  // namespace

std::string ParsedArguments::value(std::string_view option) const {
    const auto found = values.find(option);
    return found != values.end() ? found->second : std::string();
}

const std::vector<std::string>& ParsedArguments::all(std::string_view option) const {
    static const std::vector<std::string> none;
    const auto found = repeated.find(option);
    return found != repeated.end() ? found->second : none;
}

GetoptTable getoptTable(std::span<const OptionSpec> options) {
    GetoptTable table{{}, kOperandsInOrder};
    for (size_t i = 0; i < options.size(); ++i) {
        const OptionSpec& spec = options[i];
        if (isShort(spec)) {
            table.shortOptions += spec.name[1];
            table.shortOptions += spec.takesValue() ? ":" : "";
        } else {
            table.longOptions.push_back(option{spec.name.c_str() + 2,
                                               spec.takesValue() ? required_argument : no_argument,
                                               nullptr, kLongOption + static_cast<int>(i)});
        }
    }
    table.shortOptions += static_cast<char>(kHelp);
    table.longOptions.push_back(option{"help", no_argument, nullptr, kHelp});
    table.longOptions.push_back(option{});
    return table;
}

bool parseArguments(std::span<const std::string> arguments, std::span<const OptionSpec> options,
                    ParsedArguments& parsed, std::string& error) {
    // getopt_long reads argv as main() gets it: the program's name first, writable strings.
    std::vector<std::string> copies{"pinprobe-cli"};
    copies.insert(copies.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& copy : copies) {
        argv.push_back(copy.data());
    }
    argv.push_back(nullptr);
    const int argc = static_cast<int>(copies.size());
    const GetoptTable table = getoptTable(options);
    optind = 0;  // starts getopt_long afresh: each command line is read on its own
    opterr = 0;  // the mistakes are ours to word
    error.clear();
    int code = 0;
    while ((code = getopt_long(argc, argv.data(), table.shortOptions.c_str(),
                               table.longOptions.data(), nullptr)) != -1) {
        if (!take(code, argv.data(), options, parsed, error)) {
            return false;
        }
    }
    // What follows "--".
    for (int i = optind; i < argc; ++i) {
        parsed.operands.emplace_back(argv[static_cast<size_t>(i)]);
    }
    return true;
}
