#include "cli/decoders_command.h"

#include <ostream>
#include <string>
#include <vector>

#include "cli/console_output.h"
#include "core/printable_text.h"
#include "decode/decoder_catalog.h"
#include "decode/text_lists.h"

namespace {

// "rx tx (optional)": the channels a -P maps, required ones first.
std::string channelSummary(const DecoderInfo& info) {
    std::vector<std::string> names;
    for (const DecoderChannel& channel : info.channels) {
        names.push_back(channel.id);
    }
    for (const DecoderChannel& channel : info.optionalChannels) {
        names.push_back("[" + channel.id + "]");
    }
    return names.empty() ? "none, stacks on " + joined(info.inputs, " or ") : joined(names, " ");
}

std::string optionSummary(const DecoderInfo& info) {
    std::vector<std::string> options;
    for (const DecoderOption& option : info.options) {
        options.push_back(option.id + "=" + optionText(option.defaultValue));
    }
    return options.empty() ? "none" : joined(options, " ");
}

void listAll(const std::vector<DecoderInfo>& decoders, std::ostream& out) {
    for (const DecoderInfo& info : decoders) {
        out << info.id << ": " << info.longName << '\n'
            << "  channels: " << channelSummary(info) << '\n'
            << "  options: " << optionSummary(info) << '\n';
    }
}

void showChannels(std::string_view title, const std::vector<DecoderChannel>& channels,
                  std::ostream& out) {
    if (!channels.empty()) {
        out << title << ":\n";
    }
    for (const DecoderChannel& channel : channels) {
        out << "  " << channel.id << " (" << channel.name << "): " << channel.description << '\n';
    }
}

void showOptions(const DecoderInfo& info, std::ostream& out) {
    out << (info.options.empty() ? "Options: none\n" : "Options:\n");
    for (const DecoderOption& option : info.options) {
        out << "  " << option.id << ": " << option.description << " (default "
            << optionText(option.defaultValue);
        out << (option.choices.empty() ? "" : "; one of " + choiceList(option)) << ")\n";
    }
}

void showAnnotations(const DecoderInfo& info, std::ostream& out) {
    if (!info.annotations.empty()) {
        out << "Annotation classes (for -A):\n";
    }
    for (const AnnotationClass& annotation : info.annotations) {
        out << "  " << annotation.id << ": " << annotation.description << '\n';
    }
    if (!info.rows.empty()) {
        out << "Annotation rows:\n";
    }
    for (const AnnotationRow& row : info.rows) {
        out << "  " << row.id << ": " << row.description << '\n';
    }
}

void showOne(const DecoderInfo& info, std::ostream& out) {
    out << "ID: " << info.id << "\nName: " << info.name << "\nLong name: " << info.longName
        << "\nDescription: " << info.description << "\nLicense: " << info.license
        << "\nInputs: " << joined(info.inputs, ", ")
        << "\nOutputs: " << (info.outputs.empty() ? "none" : joined(info.outputs, ", ")) << '\n';
    showChannels("Required channels", info.channels, out);
    showChannels("Optional channels", info.optionalChannels, out);
    showOptions(info, out);
    showAnnotations(info, out);
    if (!info.documentation.empty()) {
        out << '\n' << info.documentation << '\n';
    }
}

}  // namespace

int runDecodersCommand(const ParsedArguments& arguments, CliContext& context) {
    if (arguments.operands.size() > 1) {
        return usageError(context, "decoders", "one decoder at a time");
    }
    std::string error;
    if (arguments.operands.empty()) {
        std::vector<DecoderInfo> decoders;
        if (!listDecoders(decoders, error)) {
            context.console.message(error);
            return kExitFailure;
        }
        listAll(decoders, context.out);
        return kExitSuccess;
    }
    DecoderInfo info;
    const DecoderLookup lookup = findDecoder(arguments.operands[0], info, error);
    if (lookup == DecoderLookup::LibraryFailed) {
        context.console.message(error);
        return kExitFailure;
    }
    if (lookup == DecoderLookup::Unknown) {
        return usageError(context, "decoders",
                          "unknown decoder " + inQuotes(arguments.operands[0]));
    }
    showOne(info, context.out);
    return kExitSuccess;
}
