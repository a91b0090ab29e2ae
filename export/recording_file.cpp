#include "export/recording_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>

#include "export/sigrok_session_reader.h"

bool looksLikeZip(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    std::array<char, 4> start{};
    const bool zip = ::read(fd, start.data(), start.size()) == 4 &&
                     start == std::array<char, 4>{'P', 'K', '\3', '\4'};
    ::close(fd);
    return zip;
}

bool readRecordingFile(const FileErrorReport& report, const std::string& path, uint8_t*& data,
                       std::atomic<uint32_t>& length, OpenedRecording& opened) {
    if (!looksLikeZip(path)) {
        return readScopeFile(report, path, data, length, &opened.times);
    }
    SigrokSessionRead session;
    if (!readSigrokSession(path, session, opened.problem)) {
        return false;
    }
    data = session.samples;
    length = session.count;
    opened.times = std::move(session.times);
    opened.note = std::move(session.note);
    return true;
}
