#pragma once

#include <string>

#include "export/export_job.h"

class WindowSystem;

// File > Export…: the recording as a value change dump, a CSV table or a sigrok session, in
// the format of the file's extension, else of the chooser's filter. A capture is timed by its
// time base; a recording from a scope file keeps no time, so the sample period is asked for
// (offered: the one the decoders use). Written as Save writes a file; a failure is shown.
void exportDocument(WindowSystem& mainWindow);

// The format for `path`: by its extension (.vcd, .csv, .sr, in any case), else the chooser's
// filter `filter` (0 to 2).
ExportFormat exportFormatFor(const std::string& path, int filter);

// Tells the user why an export could not be written.
void showExportFailure(WindowSystem& mainWindow, const ExportFailure& failure);
