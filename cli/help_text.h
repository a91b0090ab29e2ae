#pragma once

#include <span>
#include <string>
#include <string_view>

#include "cli/command_table.h"

// `text`, paragraphs apart by an empty line, broken between words so that no line is longer than
// the help's width. Each line starts `indent` columns in; the first one goes on from column
// `firstIndent`, where what is before it on that line ends.
std::string wrapped(std::string_view text, size_t indent = 0, size_t firstIndent = 0);

// "pinprobe-cli COMMAND --help": the usage line, the description, every option the command
// takes with what it does (-h and --help among them), then the notes.
std::string commandHelp(const Command& command);

// "pinprobe-cli --help": the usage line, `introduction`, the commands with their summaries, then
// `notes`.
std::string overviewHelp(std::span<const Command> commands, std::string_view introduction,
                         std::string_view notes);
