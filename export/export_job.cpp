#include "export/export_job.h"

#include <cstdio>

#include "core/scope_session.h"
#include "core/whole_hertz.h"
#include "scopefile/output_file.h"

std::string periodExportJob(ExportFormat format, double periodSeconds, uint32_t count,
                            ExportJob& job) {
    job = ExportJob{format, {}, UniformGrid{periodSeconds, {}}};
    if (format == ExportFormat::Sigrok && rateForPeriod(periodSeconds) == 0) {
        return "too long for a sigrok session, whose sample rate is at least 1 Hz";
    }
    if (format == ExportFormat::Sigrok) {
        if (std::string problem = wholeHertzProblem(periodSeconds, count, "a sigrok session keeps");
            !problem.empty()) {
            return problem;
        }
    }
    if (!timingForPeriod(periodSeconds, count, job.timing)) {
        return "too fine for a recording this long: its time stamps would not fit 64 bits";
    }
    return {};
}

std::string captureExportJob(ExportFormat format, const ScopeSession& session, ExportJob& job) {
    job = ExportJob{format, {}, {}};
    if (!session.timeBase.known()) {
        return "the capture has no time base to time them by";
    }
    if (!timingForTimeBase(session.timeBase, session.sampleOrigin, session.sampleLength,
                           job.timing)) {
        return "the time stamps of a capture this long would not fit 64 bits";
    }
    job.timing.trigger = triggerIndex(session);
    if (format == ExportFormat::Sigrok && !sessionGrid(session, job.grid)) {
        return "the sampling stood still too long to put the capture on one time grid";
    }
    return {};
}

bool writeExport(const ExportJob& job, const uint8_t* samples, uint32_t count, TextOutput& text,
                 std::string& problem) {
    return exportFormatInfo(job.format).write(job, samples, count, text, problem);
}

bool writeTextFile(OutputFile& file, const TextWriter& write, ExportFailure& failure) {
    TextOutput text([&file](std::string_view piece) {
        return std::fwrite(piece.data(), 1, piece.size(), file.stream) == piece.size();
    });
    failure = ExportFailure{};
    if (!write(text, failure.problem) || !text.finish()) {
        failure.error = text.error();
        discardOutputFile(file);
        return false;
    }
    if (!commitOutputFile(file)) {
        failure.error = file.error;
        failure.note = file.note;
        return false;
    }
    return true;
}

bool writeExportFile(OutputFile& file, const ExportJob& job, const uint8_t* samples, uint32_t count,
                     ExportFailure& failure) {
    return writeTextFile(
        file,
        [&](TextOutput& text, std::string& problem) {
            return writeExport(job, samples, count, text, problem);
        },
        failure);
}
