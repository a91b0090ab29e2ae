#include "cli/help_text.h"

#include <algorithm>
#include <vector>

#include "cli/console_output.h"

namespace {

constexpr size_t kWidth = 80;  // characters a line may hold
constexpr size_t kIndent = 2;  // of an entry in a list
constexpr size_t kGutter = 2;  // between an entry's name and what it does
constexpr std::string_view kHelpLabel = "-h, --help";

void wrapParagraph(std::string_view paragraph, size_t indent, size_t column, std::string& text) {
    bool lineStart = column <= indent;
    size_t start = 0;
    while (start < paragraph.size()) {
        const size_t end = std::min(paragraph.find(' ', start), paragraph.size());
        const std::string_view word = paragraph.substr(start, end - start);
        start = end + 1;
        if (word.empty()) {
            continue;
        }
        if (!lineStart && column + 1 + word.size() > kWidth) {
            text += '\n';
            column = 0;
            lineStart = true;
        }
        if (lineStart) {
            text.append(indent > column ? indent - column : 0, ' ');
            column = std::max(column, indent);
        } else {
            text += ' ';
            ++column;
        }
        text += word;
        column += word.size();
        lineStart = false;
    }
}

// "--size N".
std::string label(const OptionSpec& option) {
    return option.takesValue() ? option.name + " " + option.valueName : option.name;
}

// Entries "  NAME  what it does", what they do lined up after the longest name.
std::string entryList(const std::vector<std::pair<std::string, std::string>>& entries) {
    size_t widest = 0;
    for (const auto& [name, what] : entries) {
        widest = std::max(widest, name.size());
    }
    const size_t column = kIndent + widest + kGutter;
    std::string text;
    for (const auto& [name, what] : entries) {
        text += std::string(kIndent, ' ') + name;
        text += wrapped(what, column, kIndent + name.size());
    }
    return text;
}

}  // namespace

std::string wrapped(std::string_view text, size_t indent, size_t firstIndent) {
    std::string result;
    size_t column = firstIndent;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find("\n\n", start), text.size());
        wrapParagraph(text.substr(start, end - start), indent, column, result);
        result += end < text.size() ? "\n\n" : "\n";
        column = 0;
        start = end + 2;
    }
    return result;
}

std::string commandHelp(const Command& command) {
    std::string text = "Usage: " + std::string(kCliName) + " " + std::string(command.name);
    text += command.usage.empty() ? "\n" : " " + std::string(command.usage) + "\n";
    text += wrapped(command.description) + "\n";
    std::vector<std::pair<std::string, std::string>> entries;
    for (const OptionSpec& option : command.options) {
        entries.emplace_back(label(option), option.help);
    }
    entries.emplace_back(kHelpLabel, "show this help");
    text += "Options:\n" + entryList(entries);
    return command.notes.empty() ? text : text + "\n" + wrapped(command.notes);
}

std::string overviewHelp(std::span<const Command> commands, std::string_view introduction,
                         std::string_view notes) {
    std::string text = "Usage: " + std::string(kCliName) + " COMMAND [OPTIONS]\n";
    text += wrapped(introduction);
    std::vector<std::pair<std::string, std::string>> entries;
    for (const Command& command : commands) {
        entries.emplace_back(command.name, command.summary);
    }
    text += "\nCommands:\n" + entryList(entries) + "\n";
    return text + wrapped(notes);
}
