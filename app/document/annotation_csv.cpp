#include "app/document/annotation_csv.h"

#include <cstdio>

#include "core/time_base.h"
#include "export/csv_field.h"

namespace {

// Nanoseconds, as plain as a spreadsheet reads them: "0.000104170".
std::string secondsField(double seconds) {
    char text[40];
    std::snprintf(text, sizeof text, "%.9f", seconds);
    return text;
}

}  // namespace

std::string annotationCsvLine(const AnnotationRef& annotation, const std::string& rowTitle,
                              uint32_t origin, const TimeBase* time) {
    const uint64_t start = uint64_t{annotation.start} + origin;
    std::string line =
        std::to_string(start) + "," + std::to_string(uint64_t{annotation.end} + origin) + ",";
    if (time != nullptr) {
        line += secondsField(time->secondsAt(static_cast<double>(start)));
    }
    line += "," + csvField(annotation.decoder) + "," + csvField(rowTitle) + ",";
    line += csvField(annotation.texts.empty() ? std::string() : annotation.texts.front());
    return line + "\n";
}
