#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/uniform_grid.h"
#include "export/export_format_table.h"
#include "export/export_formats.h"

struct OutputFile;
struct ScopeSession;

// What to write: the VCD and CSV count time by `timing`, a sigrok session takes its samples
// from `grid`.
struct ExportJob {
    ExportFormat format = ExportFormat::Vcd;
    SampleTiming timing;
    UniformGrid grid;
    ChannelNames names = defaultChannelNames();  // the channels' names in the file
};

// The job for a recording of `count` samples taken every `periodSeconds` (a scope file, which
// keeps no time). Empty, or what is wrong with the period ("too fine for ...", for a sigrok
// session one whose rate in whole hertz would put the last sample more than half a sample off).
std::string periodExportJob(ExportFormat format, double periodSeconds, uint32_t count,
                            ExportJob& job);

// The job for the session's capture, timed by its time base (a sigrok session on its uniform
// grid). Empty, or the problem.
std::string captureExportJob(ExportFormat format, const ScopeSession& session, ExportJob& job);

// Writes `count` samples as `job` asks to `text`; false with `problem` when the export could not
// be made at all (the sigrok session's zip). A failed write shows in text.ok().
bool writeExport(const ExportJob& job, const uint8_t* samples, uint32_t count, TextOutput& text,
                 std::string& problem);

// Why an export to a file failed.
struct ExportFailure {
    std::string problem;  // the export could not be made; else a write or the commit failed
    int error = 0;        // errno of that write or commit; 0 when the system gave none
    std::string note;     // the output's own reason for a failed commit, if any
};

// Writes text into `file` (opened) and puts it in place once complete; on failure the file is
// dropped (an existing one stays as it was) and `failure` says why. `write` gives false with a
// problem when the text could not be made at all.
using TextWriter = std::function<bool(TextOutput& text, std::string& problem)>;
bool writeTextFile(OutputFile& file, const TextWriter& write, ExportFailure& failure);

// Writes the export into `file` (opened) and puts it in place once complete; on failure the file
// is dropped (an existing one stays as it was) and `failure` says why.
bool writeExportFile(OutputFile& file, const ExportJob& job, const uint8_t* samples, uint32_t count,
                     ExportFailure& failure);
