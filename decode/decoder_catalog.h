#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// What the decoder library tells about its decoders, as plain data.

// An option's value: text, a whole number or a real number, as the option's default is.
using OptionValue = std::variant<std::string, int64_t, double>;
// As a user writes it: "115200", "odd", "0.5".
std::string optionText(const OptionValue& value);

struct DecoderChannel {
    std::string id;  // "rx", "scl"
    std::string name;
    std::string description;
};

struct DecoderOption {
    std::string id;  // "baudrate"
    std::string description;
    OptionValue defaultValue;
    std::vector<OptionValue> choices;  // empty: any value of the default's kind
};

// "a, b, c": the option's choices as optionText writes them.
std::string choiceList(const DecoderOption& option);

struct AnnotationClass {
    std::string id;  // "rx-data"
    std::string description;
};

struct AnnotationRow {
    std::string id;  // "rx-data"
    std::string description;
    std::vector<int> classes;  // indices into DecoderInfo::annotations
};

struct DecoderInfo {
    std::string id;  // "uart"
    std::string name;
    std::string longName;
    std::string description;
    std::string license;
    std::vector<std::string> inputs;   // "logic" for decoders that read channels
    std::vector<std::string> outputs;  // what decoders stacked on this one take
    std::vector<DecoderChannel> channels;
    std::vector<DecoderChannel> optionalChannels;
    std::vector<DecoderOption> options;
    std::vector<AnnotationClass> annotations;
    std::vector<AnnotationRow> rows;
    std::string documentation;

    // The row that shows annotation class `annotationClass`; -1 when no row lists it.
    int rowOf(int annotationClass) const;
};

enum class DecoderLookup { Found, Unknown, LibraryFailed };

// Loads decoder `id` ("uart"). On LibraryFailed `error` says why.
DecoderLookup findDecoder(std::string_view id, DecoderInfo& info, std::string& error);

// Every decoder the library finds, by id. False with `error` when the library cannot start.
bool listDecoders(std::vector<DecoderInfo>& decoders, std::string& error);
