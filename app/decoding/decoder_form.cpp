#include "app/decoding/decoder_form.h"

#include <algorithm>
#include <cctype>

#include "app/readout/period_text.h"
#include "core/channels.h"
#include "decode/text_lists.h"

namespace {

constexpr std::string_view kStarters[] = {"uart:rx=select:baudrate=10000:format=ascii",
                                          "pwm:data=ack"};

bool containsIgnoringCase(std::string_view text, std::string_view part) {
    const auto lower = [](unsigned char c) { return std::tolower(c); };
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

bool equalIgnoringCase(std::string_view text, std::string_view other) {
    return text.size() == other.size() && containsIgnoringCase(text, other);
}

bool startsIgnoringCase(std::string_view text, std::string_view start) {
    return text.size() >= start.size() && equalIgnoringCase(text.substr(0, start.size()), start);
}

// How well `info` matches `search`, best 0: its id or name exactly, then one beginning with it,
// then one holding it, then its long name or description holding it; none when nothing holds it.
std::optional<int> matchRank(const DecoderInfo& info, std::string_view search) {
    const std::string_view names[] = {info.id, info.name};
    const auto any = [&](auto test) {
        return std::any_of(std::begin(names), std::end(names),
                           [&](std::string_view name) { return test(name, search); });
    };
    if (any(equalIgnoringCase)) {
        return 0;
    }
    if (any(startsIgnoringCase)) {
        return 1;
    }
    if (any(containsIgnoringCase)) {
        return 2;
    }
    if (containsIgnoringCase(info.longName, search) ||
        containsIgnoringCase(info.description, search)) {
        return 3;
    }
    return std::nullopt;
}

std::vector<ChannelChoice> channelChoices(const DecoderInfo& info, const DecoderSetup* before) {
    std::vector<ChannelChoice> choices;
    for (const DecoderChannel& channel : info.channels) {
        choices.push_back({channel, true, std::nullopt});
    }
    for (const DecoderChannel& channel : info.optionalChannels) {
        choices.push_back({channel, false, std::nullopt});
    }
    int next = 0;
    for (ChannelChoice& choice : choices) {
        if (before != nullptr) {
            const auto found = before->channels.find(choice.channel.id);
            if (found != before->channels.end()) {
                choice.ours = found->second;
            }
        } else if (choice.required && next < kChannelCount) {
            choice.ours = next++;
        }
    }
    return choices;
}

std::vector<OptionChoice> optionChoices(const DecoderInfo& info, const DecoderSetup* before) {
    std::vector<OptionChoice> choices;
    for (const DecoderOption& option : info.options) {
        OptionChoice choice{option, optionText(option.defaultValue)};
        if (before != nullptr) {
            if (const auto found = before->options.find(option.id);
                found != before->options.end()) {
                choice.text = optionText(found->second);
            }
        }
        choices.push_back(std::move(choice));
    }
    return choices;
}

std::string mapChannels(const std::vector<ChannelChoice>& channels, DecoderSetup& setup) {
    for (const ChannelChoice& c : channels) {
        if (c.ours) {
            setup.channels[c.channel.id] = *c.ours;
        }
    }
    if (readsChannels(setup.info) && setup.channels.empty()) {
        return setup.info.name + " reads none of our channels: choose one for at least one of its.";
    }
    return {};
}

// Options left at their default are not given, as on the command line.
std::string setOptions(const std::vector<OptionChoice>& options, DecoderSetup& setup) {
    for (const OptionChoice& o : options) {
        if (!o.text.empty() && o.text != optionText(o.option.defaultValue)) {
            if (std::string problem = setOptionText(setup, o.option, o.text); !problem.empty()) {
                return problem;
            }
        }
    }
    return {};
}

// The choices as one decoder setup, or what keeps them from being one.
std::string checkForm(const DecoderForm& form, DecoderChoice& choice) {
    if (!form.chosen) {
        return "Choose a decoder from the list.";
    }
    DecoderChoice made{DecoderSetup{form.decoders[*form.chosen], {}, {}}, form.stackOn, {}};
    if (form.stackOn && *form.stackOn >= form.stacks.size()) {
        return "Choose a decoder to stack " + made.setup.info.name + " on.";
    }
    std::string problem = form.stackOn ? "" : mapChannels(form.channels, made.setup);
    if (problem.empty()) {
        problem = setOptions(form.options, made.setup);
    }
    if (problem.empty() && form.asksPeriod) {
        double seconds = 0;
        problem = parsePeriodText(form.periodText, seconds);
        made.periodSeconds = seconds;
    }
    if (problem.empty()) {
        DecoderStack stack = form.stackOn ? form.stacks[*form.stackOn] : DecoderStack{};
        stack.push_back(made.setup);
        problem = stackProblem(stack);
    }
    if (problem.empty()) {
        choice = std::move(made);
    }
    return problem;
}

}  // namespace

std::vector<size_t> DecoderForm::matching(std::string_view search) const {
    std::vector<std::pair<int, size_t>> ranked;
    for (size_t i = 0; i < decoders.size(); ++i) {
        if (const std::optional<int> rank = matchRank(decoders[i], search)) {
            ranked.emplace_back(*rank, i);
        }
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<size_t> found;
    for (const auto& [rank, index] : ranked) {
        found.push_back(index);
    }
    return found;
}

void DecoderForm::choose(size_t index) {
    chosen = index;
    const DecoderInfo& info = decoders[index];
    const auto before = remembered.find(info.id);
    const DecoderSetup* setup = before != remembered.end() ? &before->second : nullptr;
    channels = channelChoices(info, setup);
    options = optionChoices(info, setup);
    const std::vector<StackTarget> onto = targets();
    stackOn.reset();
    if (!readsChannels(info) && !onto.empty()) {
        stackOn = onto.front().stack;
    }
    error.clear();
}

bool DecoderForm::choose(std::string_view id) {
    for (size_t i = 0; i < decoders.size(); ++i) {
        if (decoders[i].id == id) {
            choose(i);
            return true;
        }
    }
    return false;
}

std::vector<StackTarget> DecoderForm::targets() const {
    std::vector<StackTarget> found;
    if (!chosen) {
        return found;
    }
    for (size_t s = 0; s < stacks.size(); ++s) {
        if (!stacks[s].empty() && stacksOn(decoders[*chosen], stacks[s].back().info)) {
            found.push_back({s, stackTitle(stacks[s])});
        }
    }
    return found;
}

std::string DecoderForm::stackingNote() const {
    if (!chosen || readsChannels(decoders[*chosen]) || !targets().empty()) {
        return {};
    }
    const DecoderInfo& info = decoders[*chosen];
    return info.name + " reads none of our channels: it takes what a decoder gives as " +
           joined(info.inputs, " or ") + ". Add such a decoder first.";
}

bool DecoderForm::accept() {
    DecoderChoice choice;
    error = checkForm(*this, choice);
    outcome.reset();
    if (error.empty()) {
        outcome = std::move(choice);
    }
    return outcome.has_value();
}

std::string stackTitle(const DecoderStack& stack) {
    std::string title;
    for (const DecoderSetup& setup : stack) {
        title += (title.empty() ? "" : ", ") + setup.info.name;
    }
    return title;
}

std::map<std::string, DecoderSetup> starterSetups(const std::vector<DecoderInfo>& catalogue) {
    std::map<std::string, DecoderSetup> setups;
    for (const std::string_view text : kStarters) {
        DecoderStack stack;
        std::string error;
        if (parseDecoderStack(text, catalogue, stack, error) == SetupStatus::Ok) {
            setups[stack.front().info.id] = stack.front();
        }
    }
    return setups;
}
