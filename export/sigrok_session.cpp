#include "export/sigrok_session.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "core/channels.h"
#include "core/measure_text.h"
#include "export/export_formats.h"
#include "export/zip_calls.h"

namespace {

// The grid sample that first shows data index `trigger`.
uint64_t gridTriggerSample(const UniformGrid& grid, uint32_t trigger) {
    const auto first = std::lower_bound(grid.source.begin(), grid.source.end(), trigger);
    return grid.source.empty() ? trigger : static_cast<uint64_t>(first - grid.source.begin());
}

}  // namespace

// sigrok keeps no trigger in a session, so the keys are ours and its readers pass over them.
std::string sigrokTriggerKeys(uint64_t sample, uint64_t hertz) {
    char seconds[32];
    const auto end = std::to_chars(seconds, seconds + sizeof seconds,
                                   static_cast<double>(sample) / static_cast<double>(hertz),
                                   std::chars_format::fixed);
    return "trigger sample=" + std::to_string(sample) +
           "\ntrigger time=" + std::string(seconds, end.ptr) + " s\n";
}

std::string sigrokMetadata(uint64_t hertz, const ChannelNames& names) {
    std::string text = "[device 1]\ncapturefile=logic-1\n";
    text += "total probes=" + std::to_string(kChannelCount) + "\n";
    text += "samplerate=" + exactHertzText(hertz) + "\ntotal analog=0\n";
    for (int channel = 0; channel < kChannelCount; ++channel) {
        text += "probe" + std::to_string(channel + 1) + "=" +
                exportChannelName(names[static_cast<size_t>(channel)]) + "\n";
    }
    return text + "unitsize=1\n";
}

std::string sigrokLogicBytes(const uint8_t* samples, uint32_t count, const UniformGrid& grid) {
    std::string packed(grid.source.empty() ? count : grid.source.size(), '\0');
    for (size_t k = 0; k < packed.size(); ++k) {
        packed[k] = static_cast<char>(samples[grid.source.empty() ? k : grid.source[k]] >> 3);
    }
    return packed;
}

namespace {

bool addFile(const ZipCalls& zip, zip_t* archive, const char* name, const std::string& contents) {
    zip_source_t* source = zip.zip_source_buffer(archive, contents.data(), contents.size(), 0);
    if (source == nullptr) {
        return false;
    }
    if (zip.zip_file_add(archive, name, source, ZIP_FL_ENC_UTF_8) < 0) {
        zip.zip_source_free(source);
        return false;
    }
    return true;
}

// The whole archive, read back from the memory it was written to.
bool readBack(const ZipCalls& zip, zip_source_t* memory, std::string& bytes) {
    zip_stat_t stat;
    if (zip.zip_source_stat(memory, &stat) != 0 || zip.zip_source_open(memory) != 0) {
        return false;
    }
    bytes.resize(stat.size);
    const zip_int64_t read = zip.zip_source_read(memory, bytes.data(), stat.size);
    zip.zip_source_close(memory);
    return read == static_cast<zip_int64_t>(stat.size);
}

// `files` must live until the archive is closed: the zip refers to their bytes.
bool zipFiles(const ZipCalls& zip, const std::array<std::pair<const char*, std::string>, 3>& files,
              std::string& bytes, std::string& error) {
    zip_error_t problem;
    zip.zip_error_init(&problem);
    zip_source_t* memory = zip.zip_source_buffer_create(nullptr, 0, 0, &problem);
    zip_t* archive =
        memory != nullptr ? zip.zip_open_from_source(memory, ZIP_TRUNCATE, &problem) : nullptr;
    if (archive == nullptr) {
        error = zip.zip_error_strerror(&problem);
        zip.zip_source_free(memory);
        zip.zip_error_fini(&problem);
        return false;
    }
    bool added = true;
    for (const auto& [name, contents] : files) {
        added = added && addFile(zip, archive, name, contents);
    }
    zip.zip_source_keep(memory);
    const bool closed = added && zip.zip_close(archive) == 0;
    if (!closed) {
        error = zip.zip_error_strerror(zip.zip_get_error(archive));
        zip.zip_discard(archive);
    }
    const bool ok = closed && readBack(zip, memory, bytes);
    error = closed && !ok ? "the zip could not be read back from memory" : error;
    zip.zip_source_free(memory);
    zip.zip_error_fini(&problem);
    return ok;
}

}  // namespace

bool sigrokSessionBytes(const uint8_t* samples, uint32_t count, const UniformGrid& grid,
                        std::optional<uint32_t> trigger, std::string& bytes, std::string& error,
                        const ChannelNames& names) {
    const uint64_t hertz = rateForPeriod(grid.periodSeconds);
    if (hertz == 0) {
        error = "a sigrok session needs a sample rate of at least 1 Hz";
        return false;
    }
    const ZipCalls* zip = zipCalls(error);
    if (zip == nullptr) {
        return false;
    }
    const std::string keys =
        trigger ? sigrokTriggerKeys(gridTriggerSample(grid, *trigger), hertz) : std::string();
    const std::array<std::pair<const char*, std::string>, 3> files{
        {{"version", "2"},
         {"metadata", sigrokMetadata(hertz, names) + keys},
         {"logic-1-1", sigrokLogicBytes(samples, count, grid)}}};
    return zipFiles(*zip, files, bytes, error);
}
