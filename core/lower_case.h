#pragma once

#include <string>
#include <string_view>

// `text` with its ASCII letters in lower case; other bytes, UTF-8 included, stay as they are.
std::string lowerCase(std::string_view text);
