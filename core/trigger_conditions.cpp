#include "core/trigger_conditions.h"

#include <vector>

namespace {

constexpr int kBitsPerCondition = 3;
constexpr uint16_t kConditionBits = (1u << kBitsPerCondition) - 1;

struct ConditionLetter {
    TriggerCondition condition;
    char letter;
};
constexpr ConditionLetter kLetters[] = {
    {TriggerCondition::Low, '0'},        {TriggerCondition::High, '1'},
    {TriggerCondition::Rising, 'r'},     {TriggerCondition::Falling, 'f'},
    {TriggerCondition::EitherEdge, 'e'},
};

bool letterCondition(char letter, TriggerCondition& condition) {
    for (const ConditionLetter& entry : kLetters) {
        if (entry.letter == letter) {
            condition = entry.condition;
            return true;
        }
    }
    return false;
}

// One "CH" or "CH=L" item into `conditions`; false when it is not one.
bool parseTriggerItem(std::string_view item, ChannelConditions& conditions) {
    const size_t equals = item.find('=');
    const std::string_view channel = item.substr(0, equals);
    if (channel.size() != 1 || channel[0] < '1' || channel[0] > '0' + kChannelCount) {
        return false;
    }
    TriggerCondition condition = TriggerCondition::EitherEdge;
    if (equals != std::string_view::npos) {
        const std::string_view letter = item.substr(equals + 1);
        if (letter.size() != 1 || !letterCondition(letter[0], condition)) {
            return false;
        }
    }
    TriggerCondition& slot = conditions[channel[0] - '1'];
    if (slot != TriggerCondition::NotUsed) {
        return false;
    }
    slot = condition;
    return true;
}

std::string joined(const std::vector<std::string>& parts, const char* separator) {
    std::string text;
    for (size_t i = 0; i < parts.size(); ++i) {
        text += (i == 0 ? "" : separator) + parts[i];
    }
    return text;
}

std::string channelName(int channel) {
    return std::string(kChannelNames[channel]);
}

}  // namespace

uint16_t packConditions(const ChannelConditions& conditions) {
    uint16_t packed = 0;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const TriggerCondition condition = conditions[channel];
        if (condition != TriggerCondition::EitherEdge) {
            packed |= static_cast<uint16_t>(static_cast<uint16_t>(condition)
                                            << (kBitsPerCondition * channel));
        }
    }
    return packed;
}

ChannelConditions unpackConditions(uint16_t packed) {
    ChannelConditions conditions{};
    for (int channel = 0; channel < kChannelCount; ++channel) {
        conditions[channel] = static_cast<TriggerCondition>(
            (packed >> (kBitsPerCondition * channel)) & kConditionBits);
    }
    return conditions;
}

ChannelConditions effectiveConditions(uint8_t portMask, uint16_t packed) {
    ChannelConditions conditions = unpackConditions(packed);
    for (int channel = 0; channel < kChannelCount; ++channel) {
        if (conditions[channel] == TriggerCondition::NotUsed &&
            (portMask & kChannelBits[channel]) != 0) {
            conditions[channel] = TriggerCondition::EitherEdge;
        }
    }
    return conditions;
}

TriggerMatch compileTrigger(const ChannelConditions& conditions) {
    TriggerMatch match;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const uint8_t bit = kChannelBits[channel];
        switch (conditions[channel]) {
            case TriggerCondition::NotUsed:
                break;
            case TriggerCondition::Rising:
                match.riseMask |= bit;
                break;
            case TriggerCondition::Falling:
                match.fallMask |= bit;
                break;
            case TriggerCondition::EitherEdge:
                match.anyEdgeMask |= bit;
                break;
            case TriggerCondition::High:
                match.levelMask |= bit;
                match.levelValue |= bit;
                break;
            case TriggerCondition::Low:
                match.levelMask |= bit;
                break;
        }
    }
    return match;
}

char triggerLetter(TriggerCondition condition) {
    for (const ConditionLetter& entry : kLetters) {
        if (entry.condition == condition) {
            return entry.letter;
        }
    }
    return ' ';
}

bool parseTriggerLetters(std::string_view text, ChannelConditions& conditions) {
    ChannelConditions parsed{};
    while (true) {
        const size_t comma = text.find(',');
        if (!parseTriggerItem(text.substr(0, comma), parsed)) {
            return false;
        }
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
    }
    conditions = parsed;
    return true;
}

std::string describeTrigger(const ChannelConditions& conditions) {
    std::vector<std::string> edges;
    std::vector<std::string> changes;
    std::vector<std::string> levels;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const std::string name = channelName(channel);
        switch (conditions[channel]) {
            case TriggerCondition::NotUsed:
                break;
            case TriggerCondition::Rising:
                edges.push_back(name + " to rise");
                break;
            case TriggerCondition::Falling:
                edges.push_back(name + " to fall");
                break;
            case TriggerCondition::EitherEdge:
                changes.push_back(name);
                break;
            case TriggerCondition::High:
                levels.push_back(name + " is high");
                break;
            case TriggerCondition::Low:
                levels.push_back(name + " is low");
                break;
        }
    }
    if (!changes.empty()) {
        edges.push_back("a change on " + joined(changes, " or "));
    }
    if (edges.empty() && levels.empty()) {
        return "No trigger: the capture starts at once.";
    }
    if (edges.empty()) {
        return "Waits until " + joined(levels, " and ") + ".";
    }
    return "Waits for " + joined(edges, " and ") +
           (levels.empty() ? "" : " while " + joined(levels, " and ")) + ".";
}
