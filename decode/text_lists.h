#pragma once

#include <string>
#include <string_view>
#include <vector>

// "a,b,,c" split at ',' into a, b, (empty), c; an empty text is one empty part.
std::vector<std::string_view> split(std::string_view text, char separator);

// The items with `separator` between them.
std::string joined(const std::vector<std::string>& items, std::string_view separator);
