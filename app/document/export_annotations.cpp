#include "app/document/export_annotations.h"

#include "app/decoding/annotation_table.h"
#include "app/decoding/desktop_decoding.h"
#include "app/document/annotation_csv.h"
#include "app/document/export_document.h"
#include "app/document/file_commands.h"
#include "app/readout/recording_time.h"
#include "core/message_box.h"
#include "core/scope_session.h"
#include "core/window_system.h"
#include "scopefile/output_file.h"
#include "scopefile/scope_file.h"

namespace {

bool chooseCsvFile(WindowSystem& mainWindow, std::string& path) {
    FileChooserRequest request;
    request.forOpen = false;
    request.filters.push_back({"CSV Table (*.csv)", "*.csv", "csv"});
    request.defaultExtension = "csv";
    request.caption = "Export Annotations";
    std::string title;
    return mainWindow.chooseFile(request, path, title);
}

bool writeAnnotations(TextOutput& text, const std::vector<TableEntry>& entries) {
    const DesktopDecoding& d = desktopDecoding;
    const TimeBase* time = recordingTime();
    text.put(kAnnotationCsvHeader);
    for (size_t k = 0; k < entries.size() && text.ok(); ++k) {
        const TableEntry& entry = entries[k];
        text.put(annotationCsvLine(d.result.annotations[entry.annotation], d.rows[entry.row].title,
                                   scopeSession.sampleOrigin, time));
    }
    return true;
}

}  // namespace

void exportAnnotations(WindowSystem& mainWindow) {
    const DesktopDecoding& d = desktopDecoding;
    const std::vector<TableEntry> entries =
        tableEntries(d.rows, chosenRows(d.rows, tableChoice), d.result.annotations);
    if (entries.empty()) {
        showWarning(mainWindow,
                    "There are no annotations to export: add a decoder, or choose "
                    "rows that hold some in View > Decoded Data.");
        return;
    }
    std::string path;
    OutputFile file;
    if (!chooseCsvFile(mainWindow, path) ||
        !openOutput(showSaveMessagesOn(mainWindow), path, file, OutputOptions{})) {
        return;
    }
    ExportFailure failure;
    if (!writeTextFile(
            file, [&](TextOutput& text, std::string&) { return writeAnnotations(text, entries); },
            failure)) {
        showExportFailure(mainWindow, failure);
    }
}
