#pragma once

#include <span>
#include <string>
#include <string_view>

#include "cli/cli_context.h"
#include "scopefile/output_file.h"

// One file a command writes, named by an option ("-o", "--vcd", "--csv").
struct NamedOutput {
    std::string option;
    std::string path;  // empty: not asked for
    OutputFile* file;
};

// The problem with the value of an output option ("-o was given an empty file name"), else empty.
std::string outputPathProblem(std::string_view option, std::string_view value);

// Opens every output asked for before any work starts, so that a file that cannot be written
// fails before the port is read. False once one failed, which has been reported.
bool openNamedOutputs(std::span<const NamedOutput> outputs, const OutputOptions& options,
                      CliContext& context);

// "-o and --csv name the same file (x.sco, ./x.sco)" when two opened outputs are one file,
// whatever the spelling, link or descriptor that names it; else empty.
std::string sameFileProblem(std::span<const NamedOutput> outputs);

// The opened output that writes to the file standard output is, however it was named, so that
// nothing else goes there; nullptr for none.
const NamedOutput* outputOnStandardOutput(std::span<const NamedOutput> outputs);

// The opened output that writes to the file standard error is, where messages (a warning during
// the capture, the summary when standard output has a file) would be written into it; nullptr
// for none, and while standard error is a terminal or another device.
const NamedOutput* outputAmidMessages(std::span<const NamedOutput> outputs);
