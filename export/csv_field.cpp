#include "export/csv_field.h"

namespace {

bool needsQuotes(std::string_view text) {
    if (text.find_first_of(",\"\r\n") != std::string_view::npos) {
        return true;
    }
    // Readers trim blanks at the ends of a bare field.
    return !text.empty() && (text.front() == ' ' || text.back() == ' ');
}

}  // namespace

std::string csvField(std::string_view text) {
    if (!needsQuotes(text)) {
        return std::string(text);
    }
    std::string field = "\"";
    for (const char c : text) {
        field += c;
        if (c == '"') {
            field += '"';
        }
    }
    return field + "\"";
}
