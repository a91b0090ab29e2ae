#include "app/decoding/annotation_search.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "core/lower_case.h"

namespace {

std::optional<uint8_t> hexByte(std::string_view digits) {
    unsigned value = 0;
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value, 16);
    if (digits.empty() || error != std::errc{} || stop != end || value > 0xFF) {
        return std::nullopt;
    }
    return static_cast<uint8_t>(value);
}

// "0x41 0x42": every word a byte in hex with its 0x.
std::optional<std::vector<uint8_t>> hexBytes(std::string_view typed) {
    std::vector<uint8_t> bytes;
    size_t at = typed.find_first_not_of(' ');
    while (at != std::string_view::npos) {
        const size_t end = std::min(typed.find(' ', at), typed.size());
        const std::string_view word = typed.substr(at, end - at);
        const std::optional<uint8_t> byte =
            lowerCase(word.substr(0, 2)) == "0x" ? hexByte(word.substr(2)) : std::nullopt;
        if (!byte) {
            return std::nullopt;
        }
        bytes.push_back(*byte);
        at = typed.find_first_not_of(' ', end);
    }
    return bytes;
}

// "41", "0x41", "41h", "[41]": exactly two hex digits.
std::optional<uint8_t> byteWord(std::string_view word) {
    if (word.size() >= 2 && word.front() == '[' && word.back() == ']') {
        word = word.substr(1, word.size() - 2);
    }
    if (word.size() == 4 && lowerCase(word.substr(0, 2)) == "0x") {
        word = word.substr(2);
    } else if (word.size() == 3 && (word.back() == 'h' || word.back() == 'H')) {
        word = word.substr(0, 2);
    }
    return word.size() == 2 && std::isxdigit(static_cast<unsigned char>(word[0])) != 0
               ? hexByte(word)
               : std::nullopt;
}

// The last word of a text: "Data write: 41" shows 41.
std::string_view lastWord(std::string_view text) {
    const size_t blank = text.find_last_of(' ');
    return blank == std::string_view::npos ? text : text.substr(blank + 1);
}

bool textMatches(const AnnotationQuery& query, const AnnotationRef& annotation) {
    const std::string wanted = query.caseMatters ? query.text : lowerCase(query.text);
    return std::any_of(annotation.texts.begin(), annotation.texts.end(), [&](const auto& text) {
        return (query.caseMatters ? text : lowerCase(text)).find(wanted) != std::string::npos;
    });
}

// The entry after `at` of the same kind in the same row (a row also holds a byte's bits, its
// start and stop); entries.size() when there is none.
size_t nextOfKind(const std::vector<TableEntry>& entries, const AnnotationStore& annotations,
                  size_t at) {
    const int kind = annotations.classOf(entries[at].annotation);
    size_t next = at + 1;
    while (next < entries.size() && (entries[next].row != entries[at].row ||
                                     annotations.classOf(entries[next].annotation) != kind)) {
        ++next;
    }
    return next;
}

}  // namespace

std::optional<AnnotationQuery> parseAnnotationQuery(std::string_view typed) {
    AnnotationQuery query;
    if (typed.size() >= 2 && typed.front() == '"' && typed.back() == '"') {
        query.text = std::string(typed.substr(1, typed.size() - 2));
        query.caseMatters = true;
        query.bytes.assign(query.text.begin(), query.text.end());
    } else if (const std::optional<std::vector<uint8_t>> bytes = hexBytes(typed)) {
        query.bytes = *bytes;
    } else if (lowerCase(typed.substr(0, 2)) != "0x") {
        query.text = std::string(typed);
    }
    if (query.text.empty() && query.bytes.empty()) {
        return std::nullopt;
    }
    return query;
}

std::optional<uint8_t> annotationByte(const AnnotationRef& annotation) {
    for (const std::string& text : annotation.texts) {
        if (const std::optional<uint8_t> byte = byteWord(lastWord(text))) {
            return byte;
        }
    }
    if (annotation.texts.size() == 1 && annotation.texts.front().size() == 1) {
        return static_cast<uint8_t>(annotation.texts.front().front());
    }
    return std::nullopt;
}

size_t matchLength(const AnnotationQuery& query, const std::vector<TableEntry>& entries,
                   const AnnotationStore& annotations, size_t at) {
    if (!query.text.empty() && textMatches(query, annotations[entries[at].annotation])) {
        return 1;
    }
    size_t matched = 0;
    for (size_t entry = at; entry < entries.size() && matched < query.bytes.size();
         entry = nextOfKind(entries, annotations, entry)) {
        if (annotationByte(annotations[entries[entry].annotation]) != query.bytes[matched]) {
            return 0;
        }
        ++matched;
    }
    return matched == query.bytes.size() ? matched : 0;
}

std::optional<size_t> findMatch(const AnnotationQuery& query,
                                const std::vector<TableEntry>& entries,
                                const AnnotationStore& annotations, size_t from, bool forward) {
    const size_t count = entries.size();
    for (size_t step = 1; step <= count; ++step) {
        const size_t at = forward ? (from + step) % count : (from + count - step % count) % count;
        if (matchLength(query, entries, annotations, at) > 0) {
            return at;
        }
    }
    return std::nullopt;
}
