#include "scopefile/scope_file.h"

#include <cerrno>
#include <limits>

#include "core/prefault.h"
#include "core/scope_session.h"
#include "resources/string_table.h"
#include "scopefile/file_calls.h"
#include "scopefile/output_file.h"
#include "scopefile/riff_reader.h"
#include "scopefile/riff_writer.h"
#include "scopefile/time_base_chunk.h"

namespace {

thread_local std::string currentReason;
thread_local bool currentReasonIsOwn = false;

void reportBecause(const FileErrorReport& report, int stringId, std::string reason,
                   bool own = false) {
    currentReason = std::move(reason);
    currentReasonIsOwn = own;
    report(stringId);
    currentReason.clear();
    currentReasonIsOwn = false;
}

void reportErrno(const FileErrorReport& report, int stringId, int error) {
    reportBecause(report, stringId, error != 0 ? systemErrorText(error) : std::string());
}

// This program's own finding where there is one, else the system's.
void reportOutputError(const FileErrorReport& report, int stringId, const OutputFile& output) {
    if (!output.note.empty()) {
        reportBecause(report, stringId, output.note, true);
    } else {
        reportErrno(report, stringId, output.error);
    }
}

// Finds the samples' chunk; the error id when there is none to read, else 0. A size that the
// file cannot hold is refused here, before a buffer of that size is asked for.
int findSamples(RiffReader& reader, RiffChunk& form, RiffChunk& data) {
    if (findRiffForm(reader, kScopeFormType, form) != RiffSearch::Found) {
        return IDS_NOT_A_SCOPE_FILE;
    }
    if (findRiffChunk(reader, form, kDataId, data) != RiffSearch::Found) {
        return IDS_NO_DATA_CHUNK;
    }
    if (data.size == 0) {
        return IDS_EMPTY_DATA;
    }
    return data.size > riffBytesInFile(reader, data) ? IDS_TRUNCATED_DATA : 0;
}

// The message is shown while the file is still open.
bool failRead(const FileErrorReport& report, RiffReader& reader, int stringId) {
    report(stringId);
    closeRiffReader(reader);
    return false;
}

// The times the form keeps beside its `sampleCount` samples. A file without them has none; a
// chunk that is there but cannot be read is left out with the reason.
RecordingTimes readTimes(RiffReader& reader, const RiffChunk& form, uint32_t sampleCount) {
    RecordingTimes times;
    RiffChunk chunk;
    if (findRiffChunk(reader, form, kTimesId, chunk) != RiffSearch::Found) {
        return times;
    }
    // A size the file cannot hold is refused before anything is asked for it.
    if (riffBytesInFile(reader, chunk) < chunk.size) {
        times.ignored = "the file's time base is cut short";
        return times;
    }
    const ChunkBytesSource next = [&reader](uint8_t* destination, size_t count) {
        return readRiffData(reader, destination, count) == count;
    };
    readTimeBaseChunk(next, chunk.size, sampleCount, times, times.ignored);
    return times;
}

bool readSamples(const FileErrorReport& report, RiffReader& reader, uint8_t*& outData,
                 std::atomic<uint32_t>& outLength, RecordingTimes* times) {
    RiffChunk form;
    RiffChunk data;
    if (const int error = findSamples(reader, form, data); error != 0) {
        return failRead(report, reader, error);
    }
    uint8_t* buffer = obtainSampleBuffer(data.size);
    if (buffer == nullptr) {
        return failRead(report, reader, IDS_OUT_OF_MEMORY);
    }
    prefaultForWriting(buffer, data.size);
    // The file may have been cut short since it was measured.
    if (readRiffData(reader, buffer, data.size) != data.size) {
        report(IDS_TRUNCATED_DATA);
        giveBackSampleBuffer(buffer);
        closeRiffReader(reader);
        return false;
    }
    if (times != nullptr) {
        *times = readTimes(reader, form, data.size);
    }
    closeRiffReader(reader);
    outData = buffer;
    outLength = data.size;
    return true;
}

// A chunk's header, its bytes and its pad byte.
uint64_t chunkSpan(uint64_t size) {
    return 8 + size + (size & 1u);
}

// The form's size: its type and its chunks; 0 (none declared) where that does not fit the
// field, which closing the form then refuses.
uint32_t formSizeFor(uint32_t count, const std::vector<uint8_t>& times) {
    const uint64_t size =
        kScopeFormType.size() + chunkSpan(count) + (times.empty() ? 0 : chunkSpan(times.size()));
    return size <= std::numeric_limits<uint32_t>::max() ? static_cast<uint32_t>(size) : 0;
}

bool writeChunk(RiffWriter& writer, const FourCc& id, const void* bytes, uint32_t count) {
    RiffOpenChunk chunk;
    return startRiffChunk(writer, id, chunk, count) && writeRiffData(writer, bytes, count) &&
           closeRiffChunk(writer, chunk);
}

// Writes the form, every size known before the first byte, so that a target that cannot seek
// back gets a complete file; the error id of the first step that fails, else 0. The samples'
// chunk comes first, as readers that know only it expect.
int writeChunks(RiffWriter& writer, const uint8_t* samples, uint32_t count,
                const std::vector<uint8_t>& times) {
    RiffOpenChunk form;
    if (!startRiffForm(writer, kScopeFormType, form, formSizeFor(count, times))) {
        return IDS_CANNOT_WRITE_FORM;
    }
    if (!writeChunk(writer, kDataId, samples, count)) {
        return IDS_CANNOT_WRITE_DATA;
    }
    if (!times.empty() &&
        !writeChunk(writer, kTimesId, times.data(), static_cast<uint32_t>(times.size()))) {
        return IDS_CANNOT_WRITE_FORM;
    }
    return closeRiffChunk(writer, form) ? 0 : IDS_CANNOT_WRITE_FORM;
}

std::vector<uint8_t> timesChunk(const RecordingTimes* times) {
    return times != nullptr && worthKeeping(*times) ? encodeTimeBaseChunk(*times)
                                                    : std::vector<uint8_t>{};
}

}  // namespace

const std::string& fileErrorReason() {
    return currentReason;
}

bool fileErrorReasonIsOwn() {
    return currentReasonIsOwn;
}

bool readScopeFile(const FileErrorReport& report, const std::string& path, uint8_t*& outData,
                   std::atomic<uint32_t>& outLength, RecordingTimes* times) {
    RiffReader reader;
    std::string reason;
    if (!openRiffReader(reader, path, &reason)) {
        reportBecause(report, IDS_CANNOT_OPEN_FILE, reason);
        return false;
    }
    return readSamples(report, reader, outData, outLength, times);
}

bool readScopeStream(const FileErrorReport& report, std::FILE* stream, uint8_t*& outData,
                     std::atomic<uint32_t>& outLength, RecordingTimes* times) {
    RiffReader reader;
    if (!attachRiffReader(reader, stream)) {
        report(IDS_CANNOT_OPEN_FILE);
        return false;
    }
    return readSamples(report, reader, outData, outLength, times);
}

bool writeScopeFile(const FileErrorReport& report, const std::string& path, const uint8_t* samples,
                    uint32_t count, const RecordingTimes* times) {
    OutputFile output;
    return openOutput(report, path, output, {}) &&
           writeScopeOutput(report, output, samples, count, times);
}

bool openOutput(const FileErrorReport& report, const std::string& path, OutputFile& output,
                const OutputOptions& options) {
    if (!openOutputFile(output, path, options)) {
        reportOutputError(report, IDS_CANNOT_OPEN_FILE, output);
        return false;
    }
    return true;
}

bool writeScopeOutput(const FileErrorReport& report, OutputFile& output, const uint8_t* samples,
                      uint32_t count, const RecordingTimes* times) {
    RiffWriter writer;
    attachRiffWriter(writer, output.stream);
    errno = 0;
    if (const int error = writeChunks(writer, samples, count, timesChunk(times)); error != 0) {
        // The message comes while the file is still open, as the reader's does.
        reportErrno(report, error, errno);
        discardOutputFile(output);
        return false;
    }
    // A file that cannot be made complete on disk leaves the form unfinished there.
    if (!commitOutputFile(output)) {
        reportOutputError(report, IDS_CANNOT_WRITE_FORM, output);
        return false;
    }
    return true;
}

bool writeScopeStream(const FileErrorReport& report, std::FILE* stream, const uint8_t* samples,
                      uint32_t count, const RecordingTimes* times) {
    if (stream == nullptr) {
        report(IDS_CANNOT_OPEN_FILE);
        return false;
    }
    OutputFile output;
    attachOutputFile(output, stream);
    return writeScopeOutput(report, output, samples, count, times);
}
