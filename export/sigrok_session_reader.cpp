#include "export/sigrok_session_reader.h"

#include <algorithm>
#include <limits>

#include "core/channel_looks.h"
#include "core/scope_session.h"
#include "export/export_formats.h"
#include "export/sigrok_metadata.h"
#include "export/zip_calls.h"

namespace {

// The most a deflated entry can grow; an entry that claims more is damaged.
constexpr uint64_t kMostDeflateGrowth = 1032;
constexpr uint64_t kMostMetadata = 1 << 16;
constexpr size_t kMostChannels = 8;

struct OpenArchive {
    const ZipCalls& zip;
    zip_t* archive = nullptr;
    ~OpenArchive() {
        if (archive != nullptr) {
            zip.zip_discard(archive);
        }
    }
};

bool openArchive(const std::string& path, OpenArchive& open, std::string& problem) {
    int code = 0;
    open.archive = open.zip.zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (open.archive == nullptr) {
        zip_error_t error;
        open.zip.zip_error_init_with_code(&error, code);
        problem = std::string("it is not a sigrok session that can be read: ") +
                  open.zip.zip_error_strerror(&error);
        open.zip.zip_error_fini(&error);
        return false;
    }
    return true;
}

enum class Entry { Absent, Found, Damaged };

// Entry `name`'s index and its size as stated; Damaged when that is more than its stored bytes
// can hold.
Entry findEntry(const OpenArchive& open, const std::string& name, zip_uint64_t& index,
                uint64_t& size) {
    const zip_int64_t found = open.zip.zip_name_locate(open.archive, name.c_str(), 0);
    if (found < 0) {
        return Entry::Absent;
    }
    zip_stat_t stat;
    if (open.zip.zip_stat_index(open.archive, static_cast<zip_uint64_t>(found), 0, &stat) != 0 ||
        stat.size > stat.comp_size * kMostDeflateGrowth + 64) {
        return Entry::Damaged;
    }
    index = static_cast<zip_uint64_t>(found);
    size = stat.size;
    return Entry::Found;
}

// All `size` bytes of entry `index` into `bytes`; false when it holds fewer or its CRC is wrong.
bool readEntry(const OpenArchive& open, zip_uint64_t index, uint8_t* bytes, uint64_t size) {
    zip_file_t* file = open.zip.zip_fopen_index(open.archive, index, 0);
    if (file == nullptr) {
        return false;
    }
    const zip_int64_t read = open.zip.zip_fread(file, bytes, size);
    uint8_t more = 0;
    const bool atEnd = open.zip.zip_fread(file, &more, 1) == 0;
    open.zip.zip_fclose(file);
    return read == static_cast<zip_int64_t>(size) && atEnd;
}

bool readMetadata(const OpenArchive& open, SigrokMetadata& metadata, std::string& problem) {
    zip_uint64_t index = 0;
    uint64_t size = 0;
    const Entry entry = findEntry(open, "metadata", index, size);
    if (entry == Entry::Absent) {
        problem = "it is not a sigrok session: it has no metadata";
        return false;
    }
    if (entry == Entry::Damaged || size > kMostMetadata) {
        problem = "its metadata is damaged";
        return false;
    }
    std::string text(size, '\0');
    if (!readEntry(open, index, reinterpret_cast<uint8_t*>(text.data()), size)) {
        problem = "its metadata is damaged";
        return false;
    }
    if (!parseSigrokMetadata(text, metadata, problem)) {
        return false;
    }
    if (metadata.channels.size() > kMostChannels) {
        problem = "it has more than 8 logic channels, which this program does not read";
        return false;
    }
    return true;
}

struct LogicFile {
    zip_uint64_t index;
    uint64_t size;
};

// logic-1-1, logic-1-2, ... in order (or one file logic-1), their sizes within a recording's.
bool findLogicFiles(const OpenArchive& open, const std::string& base, std::vector<LogicFile>& files,
                    uint64_t& total, std::string& problem) {
    LogicFile file{};
    Entry entry = findEntry(open, base, file.index, file.size);
    if (entry == Entry::Found) {
        files.push_back(file);
    }
    for (uint64_t n = 1; entry != Entry::Damaged; ++n) {
        entry = findEntry(open, base + "-" + std::to_string(n), file.index, file.size);
        if (entry != Entry::Found) {
            break;
        }
        files.push_back(file);
    }
    if (entry == Entry::Damaged) {
        problem = "its samples are damaged";
        return false;
    }
    total = 0;
    for (const LogicFile& logic : files) {
        total += logic.size;
    }
    if (total > std::numeric_limits<uint32_t>::max()) {
        problem = "it holds more samples than one recording takes";
        return false;
    }
    return true;
}

// The status byte of every byte a logic file can hold.
std::array<uint8_t, 256> statusBytes(const std::array<int, kChannelCount>& traces) {
    std::array<uint8_t, 256> table{};
    for (int logic = 0; logic < 256; ++logic) {
        for (int trace = 0; trace < kChannelCount; ++trace) {
            if (traces[trace] >= 0 && ((logic >> traces[trace]) & 1) != 0) {
                table[logic] |= kChannelBits[trace];
            }
        }
    }
    return table;
}

bool readLogic(const OpenArchive& open, const std::vector<LogicFile>& files,
               const std::array<uint8_t, 256>& table, uint8_t* samples) {
    for (const LogicFile& file : files) {
        if (!readEntry(open, file.index, samples, file.size)) {
            return false;
        }
        std::transform(samples, samples + file.size, samples,
                       [&table](uint8_t logic) { return table[logic]; });
        samples += file.size;
    }
    return true;
}

// Even times at `hertz`: a mark at the first sample and one after the last.
RecordingTimes evenTimes(uint32_t count, uint64_t hertz) {
    RecordingTimes times;
    if (hertz == 0 || count == 0) {
        return times;
    }
    const double periodNs = 1e9 / static_cast<double>(hertz);
    const double periodSeconds = 1.0 / static_cast<double>(hertz);
    times.timeBase.marks = {{0, 0}, {count, static_cast<uint64_t>(periodNs * count)}};
    times.timeBase.typicalPeriodNs = periodNs;
    times.timeBase.spread = {periodSeconds, periodSeconds, periodSeconds};
    return times;
}

}  // namespace

std::array<int, kChannelCount> traceChannels(const std::vector<std::string>& channels) {
    std::array<int, kChannelCount> traces;
    traces.fill(-1);
    bool named = false;
    for (int trace = 0; trace < kChannelCount; ++trace) {
        const auto found =
            std::find(channels.begin(), channels.end(),
                      exportChannelName(defaultChannelNames()[static_cast<size_t>(trace)]));
        if (found != channels.end()) {
            traces[trace] = static_cast<int>(found - channels.begin());
            named = true;
        }
    }
    for (int trace = 0; !named && trace < kChannelCount; ++trace) {
        traces[trace] = trace < static_cast<int>(channels.size()) ? trace : -1;
    }
    return traces;
}

std::string leftOutNote(const std::vector<std::string>& channels,
                        const std::array<int, kChannelCount>& traces) {
    std::vector<std::string> left;
    for (size_t bit = 0; bit < channels.size(); ++bit) {
        if (!channels[bit].empty() &&
            std::find(traces.begin(), traces.end(), static_cast<int>(bit)) == traces.end()) {
            left.push_back(channels[bit]);
        }
    }
    std::string list;
    for (size_t i = 0; i < left.size(); ++i) {
        list += (i == 0 ? "" : i + 1 == left.size() ? " and " : ", ") + left[i];
    }
    return left.empty() ? ""
                        : list + (left.size() == 1 ? " is" : " are") +
                              " left out: five channels are shown, the first five or those "
                              "named as this program names its own";
}

bool readSigrokSession(const std::string& path, SigrokSessionRead& read, std::string& problem) {
    const ZipCalls* zip = zipCalls(problem);
    if (zip == nullptr) {
        return false;
    }
    OpenArchive open{*zip};
    SigrokMetadata metadata;
    std::vector<LogicFile> files;
    uint64_t total = 0;
    if (!openArchive(path, open, problem) || !readMetadata(open, metadata, problem) ||
        !findLogicFiles(open, metadata.captureFile, files, total, problem)) {
        return false;
    }
    const std::array<int, kChannelCount> traces = traceChannels(metadata.channels);
    uint8_t* samples = total != 0 ? obtainSampleBuffer(total) : nullptr;
    if (total != 0 && samples == nullptr) {
        problem = "there is not the memory for its samples";
        return false;
    }
    if (!readLogic(open, files, statusBytes(traces), samples)) {
        giveBackSampleBuffer(samples);
        problem = "its samples are damaged";
        return false;
    }
    read.samples = samples;
    read.count = static_cast<uint32_t>(total);
    read.times = evenTimes(read.count, metadata.hertz);
    if (metadata.triggerSample && *metadata.triggerSample < read.count) {
        read.times.triggerSample = static_cast<uint32_t>(*metadata.triggerSample);
    }
    read.note = leftOutNote(metadata.channels, traces);
    return true;
}
