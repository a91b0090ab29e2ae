#include "decode/decoder_setup.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <functional>

#include "core/printable_text.h"
#include "decode/channel_names.h"
#include "decode/text_lists.h"

namespace {

const DecoderOption* findOption(const DecoderInfo& info, std::string_view id) {
    const auto found = std::find_if(info.options.begin(), info.options.end(),
                                    [&](const DecoderOption& o) { return o.id == id; });
    return found != info.options.end() ? &*found : nullptr;
}

bool hasChannel(const DecoderInfo& info, std::string_view id) {
    const auto named = [&](const DecoderChannel& c) { return c.id == id; };
    return std::any_of(info.channels.begin(), info.channels.end(), named) ||
           std::any_of(info.optionalChannels.begin(), info.optionalChannels.end(), named);
}

// The value as the option's default is: a whole number, a real number or text.
bool readValue(const DecoderOption& option, const std::string& text, OptionValue& value) {
    char* end = nullptr;
    errno = 0;
    if (std::holds_alternative<int64_t>(option.defaultValue)) {
        value = static_cast<int64_t>(std::strtoll(text.c_str(), &end, 10));
    } else if (std::holds_alternative<double>(option.defaultValue)) {
        value = std::strtod(text.c_str(), &end);
        if (!std::isfinite(std::get<double>(value))) {
            return false;
        }
    } else {
        value = text;
        return true;
    }
    return errno == 0 && end == text.c_str() + text.size();
}

bool aboveZero(const OptionValue& value) {
    if (const auto* whole = std::get_if<int64_t>(&value)) {
        return *whole > 0;
    }
    const auto* real = std::get_if<double>(&value);
    return real != nullptr && *real > 0;
}

// A rate in bits per second, which the samples must resolve: "baudrate", "nominal_bitrate".
bool isBitRate(std::string_view id) {
    return id == "baudrate" || id.ends_with("bitrate");
}

// The option's value in `setup`: the one given, else its default.
const OptionValue& valueIn(const DecoderSetup& setup, const DecoderOption& option) {
    const auto given = setup.options.find(option.id);
    return given != setup.options.end() ? given->second : option.defaultValue;
}

std::string rateProblem(const DecoderSetup& setup, uint64_t sampleRate) {
    for (const DecoderOption& option : setup.info.options) {
        const auto* rate = std::get_if<int64_t>(&valueIn(setup, option));
        if (isBitRate(option.id) && rate != nullptr && *rate > 0 && sampleRate > 0 &&
            static_cast<uint64_t>(*rate) > sampleRate / 2) {
            return setup.info.id + " option " + option.id + " " + std::to_string(*rate) +
                   (setup.options.count(option.id) == 0 ? " (its default)" : "") +
                   " is more than half the sample rate of " + std::to_string(sampleRate) +
                   " Hz, so the samples cannot tell its bits apart";
        }
    }
    return {};
}

}  // namespace

std::string setOptionText(DecoderSetup& setup, const DecoderOption& option,
                          const std::string& text) {
    OptionValue value;
    const std::string where = setup.info.id + " option " + option.id;
    if (!readValue(option, text, value)) {
        return where + " takes " +
               (std::holds_alternative<int64_t>(option.defaultValue) ? "a whole number"
                                                                     : "a number") +
               ", not " + inQuotes(text);
    }
    if (!option.choices.empty() &&
        std::find(option.choices.begin(), option.choices.end(), value) == option.choices.end()) {
        return where + " takes " + choiceList(option) + ", not " + inQuotes(text);
    }
    // Where the decoder counts on a positive number (a rate, a word size), 0 or less makes it
    // divide by zero or decode nonsense.
    if (option.choices.empty() && aboveZero(option.defaultValue) && !aboveZero(value)) {
        return where + " takes " +
               (std::holds_alternative<int64_t>(value) ? "a whole number" : "a number") +
               " above 0, not " + inQuotes(text);
    }
    setup.options[option.id] = value;
    return {};
}

namespace {

std::string setItem(DecoderSetup& setup, std::string_view item) {
    const size_t equals = item.find('=');
    if (equals == std::string_view::npos || equals == 0 || equals + 1 == item.size()) {
        return setup.info.id + ": " + inQuotes(item) + " is not KEY=VALUE";
    }
    const std::string key(item.substr(0, equals));
    const std::string value(item.substr(equals + 1));
    if (setup.options.count(key) != 0 || setup.channels.count(key) != 0) {
        return setup.info.id + ": " + printable(key) + " is given twice";
    }
    if (const DecoderOption* option = findOption(setup.info, key)) {
        return setOptionText(setup, *option, value);
    }
    if (!hasChannel(setup.info, key)) {
        return setup.info.id + " has no option or channel " + inQuotes(key);
    }
    const std::optional<int> channel = parseChannel(value);
    if (!channel) {
        return inQuotes(value) + " is not a channel: use " + std::string(kChannelChoices);
    }
    setup.channels[key] = *channel;
    return {};
}

std::string checkChannels(const DecoderSetup& setup) {
    if (setup.channels.empty()) {
        return {};
    }
    for (const DecoderChannel& channel : setup.info.channels) {
        if (setup.channels.count(channel.id) == 0) {
            return setup.info.id + " needs channel '" + channel.id + "' (" + channel.name + ")";
        }
    }
    return {};
}

std::string stackingProblem(const DecoderStack& stack) {
    const DecoderInfo& bottom = stack.front().info;
    if (!readsChannels(bottom)) {
        return bottom.id + " reads no channels: stack it on a decoder that gives it input";
    }
    for (size_t i = 1; i < stack.size(); ++i) {
        if (!stacksOn(stack[i].info, stack[i - 1].info)) {
            return stack[i].info.id + " cannot stack on " + stack[i - 1].info.id;
        }
        if (!stack[i].channels.empty()) {
            return stack[i].info.id + " is stacked and reads no channels";
        }
    }
    return {};
}

using Lookup = std::function<DecoderLookup(std::string_view, DecoderInfo&, std::string&)>;

SetupStatus parseDecoder(std::string_view text, const Lookup& find, DecoderSetup& setup,
                         std::string& error) {
    const std::vector<std::string_view> items = split(text, ':');
    const std::string id(items[0]);
    if (id.empty()) {
        error = "a decoder name is missing";
        return SetupStatus::Invalid;
    }
    const DecoderLookup lookup = find(id, setup.info, error);
    if (lookup != DecoderLookup::Found) {
        error = lookup == DecoderLookup::Unknown
                    ? "unknown decoder " + inQuotes(id) + " (pinprobe-cli decoders lists them)"
                    : error;
        return lookup == DecoderLookup::Unknown ? SetupStatus::Invalid : SetupStatus::LibraryFailed;
    }
    for (size_t i = 1; i < items.size() && error.empty(); ++i) {
        error = setItem(setup, items[i]);
    }
    if (error.empty()) {
        error = checkChannels(setup);
    }
    return error.empty() ? SetupStatus::Ok : SetupStatus::Invalid;
}

SetupStatus parseStack(std::string_view text, const Lookup& find, DecoderStack& stack,
                       std::string& error) {
    stack.clear();
    error.clear();
    for (const std::string_view part : split(text, ',')) {
        DecoderSetup setup;
        const SetupStatus status = parseDecoder(part, find, setup, error);
        if (status != SetupStatus::Ok) {
            return status;
        }
        stack.push_back(std::move(setup));
    }
    error = stackingProblem(stack);
    return error.empty() ? SetupStatus::Ok : SetupStatus::Invalid;
}

}  // namespace

SetupStatus parseDecoderStack(std::string_view text, DecoderStack& stack, std::string& error) {
    return parseStack(text, &findDecoder, stack, error);
}

SetupStatus parseDecoderStack(std::string_view text, const std::vector<DecoderInfo>& catalogue,
                              DecoderStack& stack, std::string& error) {
    const auto inCatalogue = [&catalogue](std::string_view id, DecoderInfo& info, std::string&) {
        const auto found = std::find_if(catalogue.begin(), catalogue.end(),
                                        [id](const DecoderInfo& d) { return d.id == id; });
        if (found == catalogue.end()) {
            return DecoderLookup::Unknown;
        }
        info = *found;
        return DecoderLookup::Found;
    };
    return parseStack(text, inCatalogue, stack, error);
}

std::string stackProblem(const DecoderStack& stack) {
    for (const DecoderSetup& setup : stack) {
        if (std::string missing = checkChannels(setup); !missing.empty()) {
            return missing;
        }
    }
    return stackingProblem(stack);
}

std::string sampleRateProblem(const std::vector<DecoderStack>& stacks, uint64_t sampleRate) {
    for (const DecoderStack& stack : stacks) {
        for (const DecoderSetup& setup : stack) {
            if (std::string problem = rateProblem(setup, sampleRate); !problem.empty()) {
                return problem;
            }
        }
    }
    return {};
}

bool readsChannels(const DecoderInfo& info) {
    return std::find(info.inputs.begin(), info.inputs.end(), "logic") != info.inputs.end();
}

bool stacksOn(const DecoderInfo& upper, const DecoderInfo& lower) {
    return std::any_of(upper.inputs.begin(), upper.inputs.end(), [&](const std::string& input) {
        return std::find(lower.outputs.begin(), lower.outputs.end(), input) != lower.outputs.end();
    });
}

std::string stackText(const DecoderStack& stack) {
    std::string text;
    for (const DecoderSetup& setup : stack) {
        text += (text.empty() ? "" : ",") + setup.info.id;
        for (const auto& [id, index] : setup.channels) {
            text += ":" + id + "=" + std::string(channelShortName(index));
        }
        for (const auto& [id, value] : setup.options) {
            const std::string written = optionText(value);
            if (written.find_first_of(":,=") == std::string::npos) {
                text += ":" + id + "=" + written;
            }
        }
    }
    return text;
}
