#include "core/printable_text.h"

#include <cstdio>

namespace {

constexpr unsigned char kDelete = 0x7F;
// U+0080 to U+009F, the C1 controls, are 0xC2 0x80 to 0xC2 0x9F in UTF-8.
constexpr unsigned char kC1Lead = 0xC2;
constexpr unsigned char kC1First = 0x80;
constexpr unsigned char kC1Last = 0x9F;

std::string escaped(unsigned char c) {
    switch (c) {
        case '\n':
            return "\\n";
        case '\t':
            return "\\t";
        case '\r':
            return "\\r";
        default: {
            char text[8];
            std::snprintf(text, sizeof text, "\\x%02x", c);
            return text;
        }
    }
}

}  // namespace

std::string printable(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (c < 0x20 || c == kDelete) {
            shown += escaped(c);
        } else if (c == kC1Lead && next >= kC1First && next <= kC1Last) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", next);
            shown += code;
            ++i;
        } else {
            shown += static_cast<char>(c);
        }
    }
    return shown;
}

std::string printableLines(std::string_view text) {
    std::string shown;
    size_t start = 0;
    for (size_t end = text.find('\n'); end != std::string_view::npos;
         start = end + 1, end = text.find('\n', start)) {
        shown += printable(text.substr(start, end - start)) + '\n';
    }
    return shown + printable(text.substr(start));
}

std::string inQuotes(std::string_view text) {
    return "'" + printable(text) + "'";
}
