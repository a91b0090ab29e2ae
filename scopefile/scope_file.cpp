#include "scopefile/scope_file.h"

#include "core/scope_session.h"
#include "resources/string_table.h"
#include "scopefile/riff_reader.h"
#include "scopefile/riff_writer.h"

namespace {

constexpr FourCc kScopeFormType{'S', 'C', 'O', 'P'};
constexpr FourCc kDataId{'d', 'a', 't', 'a'};

// Finds the samples' chunk; the error id when there is none to read, else 0.
int findSamples(RiffReader& reader, RiffChunk& data) {
    RiffChunk form;
    if (findRiffForm(reader, kScopeFormType, form) != RiffSearch::Found) {
        return IDS_NOT_A_SCOPE_FILE;
    }
    if (findRiffChunk(reader, form, kDataId, data) != RiffSearch::Found) {
        return IDS_NO_DATA_CHUNK;
    }
    return data.size == 0 ? IDS_EMPTY_DATA : 0;
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

// Writes the form; the error id of the first step that fails, else 0.
int writeChunks(RiffWriter& writer, const uint8_t* samples, uint32_t count) {
    RiffOpenChunk form;
    RiffOpenChunk data;
    if (!startRiffForm(writer, kScopeFormType, form)) {
        return IDS_CANNOT_WRITE_FORM;
    }
    if (!startRiffChunk(writer, kDataId, data) || !writeRiffData(writer, samples, count) ||
        !closeRiffChunk(writer, data)) {
        return IDS_CANNOT_WRITE_DATA;
    }
    return closeRiffChunk(writer, form) ? 0 : IDS_CANNOT_WRITE_FORM;
}

bool writeSamples(const FileErrorReport& report, RiffWriter& writer, const uint8_t* samples,
                  uint32_t count) {
    if (const int error = writeChunks(writer, samples, count); error != 0) {
        report(error);
        closeRiffWriter(writer);
        return false;
    }
    // A close that loses bytes leaves the form incomplete on disk.
    if (!closeRiffWriter(writer)) {
        report(IDS_CANNOT_WRITE_FORM);
        return false;
    }
    return true;
}

}  // namespace

bool readScopeFile(const FileErrorReport& report, const std::string& path, uint8_t*& outData,
                   std::atomic<uint32_t>& outLength) {
    RiffReader reader;
    if (!openRiffReader(reader, path)) {
        report(IDS_CANNOT_OPEN_FILE);
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
    RiffWriter writer;
    if (!createRiffWriter(writer, path)) {
        report(IDS_CANNOT_OPEN_FILE);
        return false;
    }
    return writeSamples(report, writer, samples, count);
}

bool writeScopeStream(const FileErrorReport& report, std::FILE* stream, const uint8_t* samples,
                      uint32_t count) {
    if (stream == nullptr) {
        report(IDS_CANNOT_OPEN_FILE);
        return false;
    }
    RiffWriter writer;
    attachRiffWriter(writer, stream);
    return writeSamples(report, writer, samples, count);
}
