#include "cli/command_line.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>

namespace {

const OptionSpec* findOption(std::span<const OptionSpec> options, std::string_view name) {
    const auto found = std::find_if(options.begin(), options.end(),
                                    [&](const OptionSpec& option) { return option.name == name; });
    return found != options.end() ? &*found : nullptr;
}

bool equalNoCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// Takes one option at `arguments[index]`, and its value, advancing `index` past what it used.
bool takeOption(std::span<const std::string> arguments, size_t& index,
                std::span<const OptionSpec> options, ParsedArguments& parsed, std::string& error) {
    const std::string& argument = arguments[index];
    const size_t equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    const OptionSpec* option = findOption(options, name);
    if (option == nullptr) {
        error = "unknown option '" + name + "'";
        return false;
    }
    if (parsed.has(name) && !option->repeatable) {
        error = "option '" + name + "' given twice";
        return false;
    }
    if (!option->takesValue) {
        if (equals != std::string::npos) {
            error = "option '" + name + "' takes no value";
            return false;
        }
        parsed.values[name] = "";
        return true;
    }
    if (equals == std::string::npos && index + 1 >= arguments.size()) {
        error = "option '" + name + "' needs a value";
        return false;
    }
    const std::string value =
        equals != std::string::npos ? argument.substr(equals + 1) : arguments[++index];
    parsed.values[name] = value;
    if (option->repeatable) {
        parsed.repeated[name].push_back(value);
    }
    return true;
}

}  // namespace

const std::vector<std::string>& ParsedArguments::all(std::string_view option) const {
    static const std::vector<std::string> none;
    const auto found = repeated.find(option);
    return found != repeated.end() ? found->second : none;
}

bool parseArguments(std::span<const std::string> arguments, std::span<const OptionSpec> options,
                    ParsedArguments& parsed, std::string& error) {
    bool optionsEnded = false;
    for (size_t index = 0; index < arguments.size(); ++index) {
        const std::string& argument = arguments[index];
        // "-" alone is an operand (standard output), "--" ends the options.
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            parsed.operands.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h") {
            parsed.help = true;
        } else if (!takeOption(arguments, index, options, parsed, error)) {
            return false;
        }
    }
    return true;
}

bool parseSampleCount(std::string_view text, int32_t& count) {
    int32_t value = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (status != std::errc() || end != text.data() + text.size() || value < 1) {
        return false;
    }
    count = value;
    return true;
}

bool parseChannelMask(std::string_view text, uint8_t& mask) {
    uint8_t result = 0;
    while (true) {
        const size_t comma = std::min(text.find(','), text.size());
        const std::string_view item = text.substr(0, comma);
        int channel = 0;
        const auto [end, status] = std::from_chars(item.data(), item.data() + item.size(), channel);
        if (item.empty() || status != std::errc() || end != item.data() + item.size() ||
            channel < 1 || channel > 5) {
            return false;
        }
        result |= static_cast<uint8_t>(0x08 << (channel - 1));
        if (comma == text.size()) {
            break;
        }
        text.remove_prefix(comma + 1);
    }
    mask = result;
    return true;
}

bool parseDelayUnits(std::string_view text, int8_t& delayUnits) {
    constexpr std::array<std::pair<std::string_view, int8_t>, 3> kSpeeds{
        {{"fastest", 0}, {"fast", 5}, {"slow", 50}}};
    for (const auto& [name, units] : kSpeeds) {
        if (equalNoCase(text, name)) {
            delayUnits = units;
            return true;
        }
    }
    return false;
}

bool readPeriodOption(const ParsedArguments& arguments, double shortest, double longest,
                      double& seconds) {
    const auto period = arguments.values.find("--period");
    if (period == arguments.values.end()) {
        return true;
    }
    double given = 0;
    if (!parseSeconds(period->second, given) || given < shortest || given > longest) {
        return false;
    }
    seconds = given;
    return true;
}

bool parseSeconds(std::string_view text, double& seconds) {
    const std::string copy(text);
    char* end = nullptr;
    const double value = std::strtod(copy.c_str(), &end);
    if (copy.empty() || std::isspace(static_cast<unsigned char>(copy.front())) ||
        end != copy.c_str() + copy.size() || !std::isfinite(value) || value <= 0) {
        return false;
    }
    seconds = value;
    return true;
}
