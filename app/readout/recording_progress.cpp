#include "app/readout/recording_progress.h"

#include <chrono>
#include <cstdio>

#include "core/measure_text.h"

RecordingProgress& recordingProgress() {
    static RecordingProgress progress;
    return progress;
}

std::string recordingStatusText(const RecordingProgress& progress, uint32_t underWay,
                                LiveClock::time_point now) {
    const uint64_t samples = progress.keptSamples + underWay;
    std::string text = "Recording to " + progress.fileName + ": " + std::to_string(samples) +
                       (samples == 1 ? " sample" : " samples");
    if (progress.hertz > 0) {
        text += " at " + formatHertz(progress.hertz);
    }
    char megabytes[32];
    std::snprintf(megabytes, sizeof megabytes, "%.1f MB",
                  static_cast<double>(progress.bytes) / 1e6);
    const double seconds = std::chrono::duration<double>(now - progress.start).count();
    return text + ", " + std::to_string(progress.gaps) +
           (progress.gaps == 1 ? " gap, " : " gaps, ") + megabytes + ", " + formatSeconds(seconds);
}
