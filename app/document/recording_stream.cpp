#include "app/document/recording_stream.h"

#include <algorithm>
#include <cctype>

#include "core/uniform_grid.h"

namespace {

// Until the first block is timed: a rate of 1 Hz, which every reader takes.
constexpr uint64_t kUntimedHertz = 1;

}  // namespace

bool namesSigrokSession(const std::string& path) {
    std::string end = path.size() >= 3 ? path.substr(path.size() - 3) : path;
    std::transform(end.begin(), end.end(), end.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return end == ".sr";
}

RecordingStream::RecordingStream(OutputFile& output, const std::string& path,
                                 const ChannelNames& names)
    : sigrok_(namesSigrokSession(path)), session_(output, names), scope_(output) {}

bool RecordingStream::start() {
    return sigrok_ ? session_.start(kUntimedHertz) : scope_.start();
}

bool RecordingStream::append(const uint8_t* samples, uint32_t count, const JoinedTimes& times) {
    if (!sigrok_) {
        return scope_.append(samples, count, times.times());
    }
    const uint64_t hertz = rateForPeriod(times.periodSeconds());
    return session_.append(samples, count, hertz != 0 ? hertz : kUntimedHertz, times.triggerSample);
}
