#pragma once

#include <string>

#include "scopefile/scope_file.h"

class ConsoleOutput;

// Prints each scope-file error it is handed as the desktop program's message about `subject`,
// with the system's reason where there is one and the number:
// "pinprobe-cli: run1.wav: This is not a scope file: ... (1110)",
// "pinprobe-cli: x/y.sco: Cannot open file. No such file or directory. (1100)".
FileErrorReport printFileErrors(ConsoleOutput& console, std::string subject);

// An export that stopped at a write that failed: "pinprobe-cli: out.vcd: Cannot write the export:
// No space left on device". `error` is the errno value, 0 when the system gave none.
void printWriteFailure(ConsoleOutput& console, const std::string& subject, int error);
