#include "decode/decoder_error_text.h"

#include <algorithm>
#include <sstream>
#include <string_view>
#include <vector>

namespace {

// How the library begins a decoder's exception: "ValueError: Protocol decoder instance spi-1: ..."
constexpr std::string_view kInstanceMark = "Protocol decoder instance ";

// The decoder instance a line names ("uart-1"), or empty; `brief` becomes the line told of it:
// "uart-1: ZeroDivisionError: float division by zero".
std::string instanceIn(const std::string& line, std::string& brief) {
    const size_t mark = line.find(kInstanceMark);
    if (mark == std::string::npos) {
        return {};
    }
    const size_t start = mark + kInstanceMark.size();
    const size_t end = std::min(line.find(':', start), line.size());
    std::string message = line.substr(std::min(end + 1, line.size()));
    message.erase(0, message.find_first_not_of(": "));
    const std::string type = line.substr(0, line.find(':'));
    const std::string instance = line.substr(start, end - start);
    brief = instance + ": " + type + (message.empty() ? "" : ": " + message);
    return instance;
}

// A traceback's lines are indented, its headings ("Traceback (most recent call last):") end in a
// colon, and its last line, the exception, is neither.
bool isExceptionLine(const std::string& line) {
    return !line.empty() && line.front() != ' ' && line.back() != ':';
}

}  // namespace

std::string briefDecoderErrors(const std::string& errors) {
    std::vector<std::string> brief;
    std::string instance;
    std::istringstream lines(errors);
    std::string line;
    while (std::getline(lines, line)) {
        std::string told;
        if (std::string named = instanceIn(line, told); !named.empty()) {
            instance = named;
            brief.push_back(told);
        } else if (isExceptionLine(line) && !instance.empty()) {
            // The exception again at the traceback's end, the last of a chain: what went wrong.
            brief.back() = instance + ": " + line;
        } else if (isExceptionLine(line)) {
            brief.push_back(line);
        }
    }
    std::string text;
    for (const std::string& entry : brief) {
        text += entry + "\n";
    }
    return text;
}
