#include "decode/annotation_filter.h"

#include <algorithm>

#include "core/printable_text.h"
#include "decode/text_lists.h"

namespace {

// sigrok's names mix '-' and '_'; either stands for the other.
bool sameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return (x == '_' ? '-' : x) == (y == '_' ? '-' : y); });
}

const DecoderInfo* usedDecoder(std::string_view id, const std::vector<DecoderStack>& stacks) {
    for (const DecoderStack& stack : stacks) {
        for (const DecoderSetup& setup : stack) {
            if (setup.info.id == id) {
                return &setup.info;
            }
        }
    }
    return nullptr;
}

// The classes a name stands for: the class of that name, else the classes of the row.
std::vector<int> classesNamed(const DecoderInfo& info, std::string_view name) {
    for (size_t c = 0; c < info.annotations.size(); ++c) {
        if (sameName(info.annotations[c].id, name)) {
            return {static_cast<int>(c)};
        }
    }
    for (const AnnotationRow& row : info.rows) {
        if (sameName(row.id, name)) {
            return row.classes;
        }
    }
    return {};
}

}  // namespace

bool AnnotationFilter::add(std::string_view text, const std::vector<DecoderStack>& stacks,
                           std::string& error) {
    for (const std::string_view item : split(text, ',')) {
        const size_t equals = item.find('=');
        const std::string_view id = item.substr(0, equals);
        const DecoderInfo* info = usedDecoder(id, stacks);
        if (info == nullptr) {
            error = "-A names " + inQuotes(id) + ", which no -P decodes with";
            return false;
        }
        std::set<int>& shown = shown_[std::string(id)];
        if (equals == std::string_view::npos) {
            continue;
        }
        for (const std::string_view name : split(item.substr(equals + 1), ':')) {
            const std::vector<int> classes = classesNamed(*info, name);
            if (classes.empty()) {
                error = info->id + " has no annotation class or row " + inQuotes(name);
                return false;
            }
            shown.insert(classes.begin(), classes.end());
        }
    }
    return true;
}

bool AnnotationFilter::shows(const Annotation& annotation) const {
    if (shown_.empty()) {
        return true;
    }
    const auto found = shown_.find(annotation.decoder);
    return found != shown_.end() &&
           (found->second.empty() || found->second.count(annotation.annotationClass) != 0);
}
