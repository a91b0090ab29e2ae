#include "scopefile/scope_file.h"

#include <cerrno>
#include <limits>

#include "core/scope_session.h"
#include "resources/string_table.h"
#include "scopefile/file_calls.h"
#include "scopefile/output_file.h"
#include "scopefile/riff_reader.h"
#include "scopefile/riff_writer.h"

namespace {

constexpr FourCc kScopeFormType{'S', 'C', 'O', 'P'};
constexpr FourCc kDataId{'d', 'a', 't', 'a'};

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
int findSamples(RiffReader& reader, RiffChunk& data) {
    RiffChunk form;
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

bool readSamples(const FileErrorReport& report, RiffReader& reader, uint8_t*& outData,
                 std::atomic<uint32_t>& outLength) {
    RiffChunk data;
    if (const int error = findSamples(reader, data); error != 0) {
        return failRead(report, reader, error);
    }
    uint8_t* buffer = obtainSampleBuffer(data.size);
    if (buffer == nullptr) {
        return failRead(report, reader, IDS_OUT_OF_MEMORY);
    }
    // The file may have been cut short since it was measured.
    if (readRiffData(reader, buffer, data.size) != data.size) {
        report(IDS_TRUNCATED_DATA);
        giveBackSampleBuffer(buffer);
        closeRiffReader(reader);
        return false;
    }
    closeRiffReader(reader);
    outData = buffer;
    outLength = data.size;
    return true;
}

// The form's size: its type, the data chunk's header, the samples and the pad byte; 0 (none
// declared) where that does not fit the field, which closing the form then refuses.
uint32_t formSizeFor(uint32_t count) {
    const uint64_t size = kScopeFormType.size() + 8 + uint64_t{count} + (count & 1u);
    return size <= std::numeric_limits<uint32_t>::max() ? static_cast<uint32_t>(size) : 0;
}

// Writes the form, every size known before the first byte, so that a target that cannot seek
// back gets a complete file; the error id of the first step that fails, else 0.
int writeChunks(RiffWriter& writer, const uint8_t* samples, uint32_t count) {
    RiffOpenChunk form;
    RiffOpenChunk data;
    if (!startRiffForm(writer, kScopeFormType, form, formSizeFor(count))) {
        return IDS_CANNOT_WRITE_FORM;
    }
    if (!startRiffChunk(writer, kDataId, data, count) || !writeRiffData(writer, samples, count) ||
        !closeRiffChunk(writer, data)) {
        return IDS_CANNOT_WRITE_DATA;
    }
    return closeRiffChunk(writer, form) ? 0 : IDS_CANNOT_WRITE_FORM;
}

}  // namespace

const std::string& fileErrorReason() {
    return currentReason;
}

bool fileErrorReasonIsOwn() {
    return currentReasonIsOwn;
}

bool readScopeFile(const FileErrorReport& report, const std::string& path, uint8_t*& outData,
                   std::atomic<uint32_t>& outLength) {
    RiffReader reader;
    std::string reason;
    if (!openRiffReader(reader, path, &reason)) {
        reportBecause(report, IDS_CANNOT_OPEN_FILE, reason);
        return false;
    }
    return readSamples(report, reader, outData, outLength);
}

bool readScopeStream(const FileErrorReport& report, std::FILE* stream, uint8_t*& outData,
                     std::atomic<uint32_t>& outLength) {
    RiffReader reader;
    if (!attachRiffReader(reader, stream)) {
        report(IDS_CANNOT_OPEN_FILE);
        return false;
    }
    return readSamples(report, reader, outData, outLength);
}

bool writeScopeFile(const FileErrorReport& report, const std::string& path, const uint8_t* samples,
                    uint32_t count) {
    OutputFile output;
    return openOutput(report, path, output, {}) && writeScopeOutput(report, output, samples, count);
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
                      uint32_t count) {
    RiffWriter writer;
    attachRiffWriter(writer, output.stream);
    errno = 0;
    if (const int error = writeChunks(writer, samples, count); error != 0) {
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
                      uint32_t count) {
    if (stream == nullptr) {
        report(IDS_CANNOT_OPEN_FILE);
        return false;
    }
    OutputFile output;
    attachOutputFile(output, stream);
    return writeScopeOutput(report, output, samples, count);
}
