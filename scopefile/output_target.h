#pragma once

#include <string>

#include "scopefile/output_file.h"

// Finds out what `path` is and prepares `output` to write it: the descriptor or the device to
// write directly, or the temporary beside the file to replace or rewrite. 0, or minus the errno
// value (with `output.note` set where this program names the problem itself).
int openOutputTarget(OutputFile& output, const std::string& path, const OutputOptions& options);

// Closes `fd` if it is open and marks it closed.
void closeIfOpen(int& fd);
