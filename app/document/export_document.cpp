#include "app/document/export_document.h"

#include <algorithm>
#include <filesystem>

#include "app/decoding/desktop_decoding.h"
#include "app/document/file_commands.h"
#include "app/readout/period_text.h"
#include "core/lower_case.h"
#include "core/measure_text.h"
#include "core/message_box.h"
#include "core/scope_session.h"
#include "core/window_system.h"
#include "scopefile/output_file.h"
#include "scopefile/scope_file.h"

namespace {

bool chooseExportFile(WindowSystem& mainWindow, std::string& path, int& filter) {
    FileChooserRequest request;
    request.forOpen = false;
    for (const ExportFormatInfo& format : exportFormats()) {
        request.filters.push_back(
            {fileChooserFilter(format), filePattern(format), std::string(format.extension)});
    }
    request.defaultExtension = exportFormats().front().extension;
    request.chosenFilter = &filter;
    request.caption = "Export";
    std::string title;
    return mainWindow.chooseFile(request, path, title);
}

// Asks for the period until it is one the export can use; false when the user cancels.
bool askForPeriod(WindowSystem& mainWindow, ExportFormat format, ExportJob& job) {
    std::string text = formatSeconds(desktopDecoding.periodSeconds);
    while (mainWindow.askText("A scope file keeps no time. Time between two samples:",
                              loadString(IDS_PROGRAM_NAME), text)) {
        double seconds = 0;
        std::string problem = parsePeriodText(text, seconds);
        if (problem.empty()) {
            problem = periodExportJob(format, seconds, scopeSession.sampleLength, job);
            problem = problem.empty() ? "" : "The time between two samples is " + problem + ".";
        }
        if (problem.empty()) {
            setRecordingPeriod(seconds);
            return true;
        }
        showWarning(mainWindow, problem);
    }
    return false;
}

bool exportJobFor(WindowSystem& mainWindow, ExportFormat format, ExportJob& job) {
    if (!scopeSession.timeBase.known()) {
        return askForPeriod(mainWindow, format, job);
    }
    if (const std::string problem = captureExportJob(format, scopeSession, job); !problem.empty()) {
        showWarning(mainWindow, "Cannot export the capture: " + problem + ".");
        return false;
    }
    return true;
}

}  // namespace

void showExportFailure(WindowSystem& mainWindow, const ExportFailure& failure) {
    if (!failure.problem.empty()) {
        showWarning(mainWindow, "Cannot write the export: " + failure.problem + ".");
        return;
    }
    std::string text = loadString(IDS_CANNOT_WRITE_EXPORT);
    if (!failure.note.empty()) {
        text += "\n" + failure.note + ".";
    }
    showWarning(mainWindow, text);
}

ExportFormat exportFormatFor(const std::string& path, int filter) {
    const std::string extension = lowerCase(std::filesystem::path(path).extension().string());
    const std::span<const ExportFormatInfo> formats = exportFormats();
    for (const ExportFormatInfo& format : formats) {
        if (extension == "." + std::string(format.extension)) {
            return format.format;
        }
    }
    return formats[static_cast<size_t>(std::clamp(filter, 0, static_cast<int>(formats.size()) - 1))]
        .format;
}

void exportDocument(WindowSystem& mainWindow) {
    if (!recordingCanBeWritten(mainWindow)) {
        return;
    }
    std::string path;
    int filter = 0;
    ExportJob job;
    if (!chooseExportFile(mainWindow, path, filter) ||
        !exportJobFor(mainWindow, exportFormatFor(path, filter), job)) {
        return;
    }
    job.names = namesOf(scopeSession.channels);
    OutputFile file;
    if (!openOutput(showSaveMessagesOn(mainWindow), path, file, OutputOptions{})) {
        return;
    }
    ExportFailure failure;
    if (!writeExportFile(file, job, scopeSession.sampleData, scopeSession.sampleLength, failure)) {
        showExportFailure(mainWindow, failure);
    }
}
