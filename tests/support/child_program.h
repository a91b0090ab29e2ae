#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

// A program run as a child of the test: in `folder`, its standard output into `out` (a path;
// "/dev/null" drops it), its standard error dropped, every signal at its default but those in
// `ignored`, no core file. Its process id, -1 when it could not be started.
pid_t startChild(const std::string& program, const std::vector<std::string>& arguments,
                 const std::string& folder, const std::string& out = "/dev/null",
                 const std::vector<int>& ignored = {});

// Waits until `condition` holds, looking again every few milliseconds, up to the tests' limit
// (a fault, never a busy machine, reaches it); false when it never held.
bool waitUntil(const std::function<bool()>& condition);

// How many files in `folder` end in ".tmp": the temporaries of unfinished outputs.
int temporariesIn(const std::string& folder);
