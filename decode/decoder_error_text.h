#pragma once

#include <string>

// The errors of a decode as the library logged them (a decoder's Python exception comes with its
// traceback) in one line per decoder that failed: "uart-1: ZeroDivisionError: float division by
// zero", the decoder's instance and the exception's last line. Lines that name no decoder are
// kept as they are.
std::string briefDecoderErrors(const std::string& errors);
