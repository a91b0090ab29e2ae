#pragma once

#include <string>
#include <string_view>

// `text` as one field of a CSV line: as it is, unless it holds a comma, a double quote, a line
// break or blanks at either end; then in double quotes, each quote inside doubled.
std::string csvField(std::string_view text);
