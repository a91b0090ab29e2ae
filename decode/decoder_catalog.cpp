#include "decode/decoder_catalog.h"

#include <algorithm>
#include <cstdio>

#include "decode/sigrok_calls.h"
#include "decode/sigrok_library.h"
#include "decode/sigrok_values.h"
#include "decode/text_lists.h"

namespace {

std::string text(const char* value) {
    return value != nullptr ? value : "";
}

std::vector<std::string> texts(const GSList* list) {
    std::vector<std::string> result;
    for (const GSList* item = list; item != nullptr; item = item->next) {
        result.push_back(text(static_cast<const char*>(item->data)));
    }
    return result;
}

std::vector<DecoderChannel> channels(const GSList* list) {
    std::vector<DecoderChannel> result;
    for (const GSList* item = list; item != nullptr; item = item->next) {
        const auto* channel = static_cast<const srd_channel*>(item->data);
        result.push_back({text(channel->id), text(channel->name), text(channel->desc)});
    }
    return result;
}

std::vector<DecoderOption> options(const SigrokCalls& sigrok, const GSList* list) {
    std::vector<DecoderOption> result;
    for (const GSList* item = list; item != nullptr; item = item->next) {
        const auto* option = static_cast<const srd_decoder_option*>(item->data);
        DecoderOption entry{
            text(option->id), text(option->desc), optionValue(sigrok, option->def), {}};
        for (const GSList* choice = option->values; choice != nullptr; choice = choice->next) {
            entry.choices.push_back(optionValue(sigrok, static_cast<GVariant*>(choice->data)));
        }
        result.push_back(std::move(entry));
    }
    return result;
}

// Each class is a list of two texts: its id and its description.
std::vector<AnnotationClass> annotationClasses(const GSList* list) {
    std::vector<AnnotationClass> result;
    for (const GSList* item = list; item != nullptr; item = item->next) {
        const auto* pair = static_cast<char* const*>(item->data);
        result.push_back({text(pair[0]), text(pair[1])});
    }
    return result;
}

std::vector<AnnotationRow> annotationRows(const GSList* list) {
    std::vector<AnnotationRow> result;
    for (const GSList* item = list; item != nullptr; item = item->next) {
        const auto* row = static_cast<const srd_decoder_annotation_row*>(item->data);
        AnnotationRow entry{text(row->id), text(row->desc), {}};
        for (const GSList* c = row->ann_classes; c != nullptr; c = c->next) {
            entry.classes.push_back(GPOINTER_TO_INT(c->data));
        }
        result.push_back(std::move(entry));
    }
    return result;
}

DecoderInfo describe(const SigrokCalls& sigrok, const srd_decoder* decoder) {
    DecoderInfo info{text(decoder->id),
                     text(decoder->name),
                     text(decoder->longname),
                     text(decoder->desc),
                     text(decoder->license),
                     texts(decoder->inputs),
                     texts(decoder->outputs),
                     channels(decoder->channels),
                     channels(decoder->opt_channels),
                     options(sigrok, decoder->options),
                     annotationClasses(decoder->annotations),
                     annotationRows(decoder->annotation_rows),
                     {}};
    if (char* doc = sigrok.srd_decoder_doc_get(decoder); doc != nullptr) {
        info.documentation = doc;
        sigrok.g_free(doc);
    }
    return info;
}

// Decoder ids are Python module names: anything else is no decoder, and never reaches Python's
// import machinery.
bool plausibleId(std::string_view id) {
    return !id.empty() && std::all_of(id.begin(), id.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    });
}

}  // namespace

std::string choiceList(const DecoderOption& option) {
    std::vector<std::string> choices;
    for (const OptionValue& choice : option.choices) {
        choices.push_back(optionText(choice));
    }
    return joined(choices, ", ");
}

std::string optionText(const OptionValue& value) {
    if (const auto* number = std::get_if<int64_t>(&value)) {
        return std::to_string(*number);
    }
    if (const auto* real = std::get_if<double>(&value)) {
        char digits[32];
        std::snprintf(digits, sizeof digits, "%g", *real);
        return digits;
    }
    return std::get<std::string>(value);
}

int DecoderInfo::rowOf(int annotationClass) const {
    for (size_t row = 0; row < rows.size(); ++row) {
        const std::vector<int>& classes = rows[row].classes;
        if (std::find(classes.begin(), classes.end(), annotationClass) != classes.end()) {
            return static_cast<int>(row);
        }
    }
    return -1;
}

DecoderLookup findDecoder(std::string_view id, DecoderInfo& info, std::string& error) {
    SigrokLibrary library;
    if (!library.ready()) {
        error = library.startError();
        return DecoderLookup::LibraryFailed;
    }
    const std::string name(id);
    if (!plausibleId(name)) {
        return DecoderLookup::Unknown;
    }
    const SigrokCalls& sigrok = library.calls();
    srd_decoder* decoder = sigrok.srd_decoder_get_by_id(name.c_str());
    if (decoder == nullptr && sigrok.srd_decoder_load(name.c_str()) == SRD_OK) {
        decoder = sigrok.srd_decoder_get_by_id(name.c_str());
    }
    library.takeErrors();
    if (decoder == nullptr) {
        return DecoderLookup::Unknown;
    }
    info = describe(sigrok, decoder);
    return DecoderLookup::Found;
}

bool listDecoders(std::vector<DecoderInfo>& decoders, std::string& error) {
    SigrokLibrary library;
    if (!library.ready()) {
        error = library.startError();
        return false;
    }
    const SigrokCalls& sigrok = library.calls();
    sigrok.srd_decoder_load_all();
    library.takeErrors();
    decoders.clear();
    for (const GSList* item = sigrok.srd_decoder_list(); item != nullptr; item = item->next) {
        decoders.push_back(describe(sigrok, static_cast<const srd_decoder*>(item->data)));
    }
    std::sort(decoders.begin(), decoders.end(),
              [](const DecoderInfo& a, const DecoderInfo& b) { return a.id < b.id; });
    return true;
}
