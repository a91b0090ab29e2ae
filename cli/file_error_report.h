#pragma once

#include <string>

#include "scopefile/scope_file.h"

class ConsoleOutput;

// Prints each scope-file error it is handed as the desktop program's message about `subject`,
// with its number: "pinprobe-cli: run1.wav: This is not a scope file: ... (1110)".
FileErrorReport printFileErrors(ConsoleOutput& console, std::string subject);
