#include "export/export_format_table.h"

#include <algorithm>
#include <array>

#include "export/export_formats.h"
#include "export/export_job.h"
#include "export/sigrok_session.h"

namespace {

bool writeVcdExport(const ExportJob& job, const uint8_t* samples, uint32_t count, TextOutput& text,
                    std::string&) {
    writeVcd(samples, count, job.timing, text, job.names);
    return true;
}

bool writeCsvExport(const ExportJob& job, const uint8_t* samples, uint32_t count, TextOutput& text,
                    std::string&) {
    writeCsv(samples, count, job.timing, text, job.names);
    return true;
}

bool writeSigrokExport(const ExportJob& job, const uint8_t* samples, uint32_t count,
                       TextOutput& text, std::string& problem) {
    std::string zip;
    if (!sigrokSessionBytes(samples, count, job.grid, job.timing.trigger, zip, problem,
                            job.names)) {
        return false;
    }
    text.put(zip);
    return true;
}

constexpr std::array kFormats{
    ExportFormatInfo{ExportFormat::Vcd, "vcd", "vcd", "Value Change Dump", "a value change dump",
                     &writeVcdExport},
    ExportFormatInfo{ExportFormat::Csv, "csv", "csv", "CSV Table", "a CSV table", &writeCsvExport},
    ExportFormatInfo{ExportFormat::Sigrok, "sr", "sr", "sigrok Session", "a sigrok session",
                     &writeSigrokExport},
};
static_assert(kFormats.size() == kExportFormatCount);

}  // namespace

std::span<const ExportFormatInfo> exportFormats() {
    return kFormats;
}

const ExportFormatInfo& exportFormatInfo(ExportFormat format) {
    return *std::find_if(kFormats.begin(), kFormats.end(),
                         [format](const ExportFormatInfo& info) { return info.format == format; });
}

const ExportFormatInfo* findExportFormat(std::string_view name) {
    const auto found =
        std::find_if(kFormats.begin(), kFormats.end(),
                     [name](const ExportFormatInfo& info) { return info.name == name; });
    return found != kFormats.end() ? &*found : nullptr;
}

std::string filePattern(const ExportFormatInfo& format) {
    return "*." + std::string(format.extension);
}

std::string fileChooserFilter(const ExportFormatInfo& format) {
    return std::string(format.title) + " (" + filePattern(format) + ")";
}

std::string exportFormatNames() {
    std::string names;
    for (size_t i = 0; i < kFormats.size(); ++i) {
        names += i == 0 ? "" : (i + 1 == kFormats.size() ? " or " : ", ");
        names += kFormats[i].name;
    }
    return names;
}
