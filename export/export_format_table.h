#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

class TextOutput;
struct ExportJob;

enum class ExportFormat { Vcd, Csv, Sigrok };

// Writes `count` samples as `job` asks to `text`; false with `problem` when the export could not
// be made at all. A failed write shows in text.ok().
using ExportWriter = bool (*)(const ExportJob& job, const uint8_t* samples, uint32_t count,
                              TextOutput& text, std::string& problem);

// One format a recording is exported to, as both programs and their help name it.
struct ExportFormatInfo {
    ExportFormat format;
    std::string_view name;       // what --format takes, and capture's option "--NAME FILE"
    std::string_view extension;  // of its files, without the dot
    std::string_view title;      // the file chooser's type: "Value Change Dump"
    std::string_view summary;    // the help's: "a value change dump"
    ExportWriter write;
};

inline constexpr size_t kExportFormatCount = 3;

// Every format, the first one the file chooser's default.
std::span<const ExportFormatInfo> exportFormats();
const ExportFormatInfo& exportFormatInfo(ExportFormat format);
// The format called `name`; nullptr for none.
const ExportFormatInfo* findExportFormat(std::string_view name);

// The file chooser's filter: "Value Change Dump (*.vcd)".
std::string fileChooserFilter(const ExportFormatInfo& format);
// The file chooser's pattern: "*.vcd".
std::string filePattern(const ExportFormatInfo& format);
// "vcd, csv or sr".
std::string exportFormatNames();
