#pragma once

#include <string>
#include <string_view>

// `text` as a message may quote it: control characters written out (\n, \t, \r, \x1b, the C1
// controls as \u009b), so that a name the user gave can neither split a message into lines nor
// drive the terminal it is shown on. Everything else, UTF-8 included, stays as it is.
std::string printable(std::string_view text);

// `text` printable line by line: its line feeds kept, every other control character written out.
// printable() leaves what it wrote as it is, so text already made printable stays the same.
std::string printableLines(std::string_view text);

// "'text'", printable: how a message quotes what the user gave.
std::string inQuotes(std::string_view text);
