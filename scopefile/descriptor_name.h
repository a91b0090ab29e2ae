#pragma once

#include <string_view>

// The descriptor a name stands for when the shell hands one over by name: /dev/stdin,
// /dev/stdout, /dev/stderr, /dev/fd/N and /proc/self/fd/N (also thread-self and this process's
// number). -1 for any other name. Such a name is written through the descriptor as it is, never
// followed to a file and replaced: the shell's redirection, its append mode and its position hold.
int descriptorNamed(std::string_view path);
