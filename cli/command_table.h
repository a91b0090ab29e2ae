#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "cli/cli_context.h"
#include "cli/command_line.h"

using CommandRun = int (*)(const ParsedArguments&, CliContext&);

// One command of pinprobe-cli: the options it takes and what its help says.
struct Command {
    std::string_view name;
    std::string_view summary;      // its line in the overview
    std::string_view usage;        // after "Usage: pinprobe-cli NAME"
    std::string_view description;  // before the options
    std::vector<OptionSpec> options;
    std::string_view notes;  // after the options
    CommandRun run;
};

std::span<const Command> commands();
// nullptr for a name no command has.
const Command* findCommand(std::string_view name);

// What "pinprobe-cli --help" says before the commands, and after them: exit statuses, files.
std::string_view overviewIntroduction();
std::string_view overviewNotes();
