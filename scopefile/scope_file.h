#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

struct OutputFile;
struct OutputOptions;
struct RecordingTimes;

// A scope file keeps one recording: a RIFF form "SCOP" whose chunk "data" holds the samples, one
// byte each, unchanged. Every failure is handed to the caller's report as its string id before the
// call returns false; a reader's report comes while the file is still open.
using FileErrorReport = std::function<void(int stringId)>;

// While a report runs: the system's reason for the failure ("No such file or directory", "It is
// a FIFO, not a regular file", "No space left on device"), or empty when there is none. The
// desktop program shows the string table's text alone; pinprobe-cli adds this.
const std::string& fileErrorReason();
// Whether that reason is this program's own finding ("Nothing reads this FIFO") rather than the
// system's text for an error; the desktop program shows these beside the string table's text.
bool fileErrorReasonIsOwn();

// On success `outData` receives a buffer of exactly N bytes from obtainSampleBuffer, which the
// caller now owns, and `outLength` receives N. On failure neither is written and no buffer is held.
// Only regular files are read; anything else is refused at once, never waited on. A size the file
// cannot hold is refused before any buffer is obtained. With `times`, it receives the times the
// file keeps beside its samples (none when it keeps none); a chunk of times that cannot be read
// never refuses the samples: it is left out and `times->ignored` says why.
bool readScopeFile(const FileErrorReport& report, const std::string& path, uint8_t*& outData,
                   std::atomic<uint32_t>& outLength, RecordingTimes* times = nullptr);
// The same over an open seekable stream (e.g. one over memory), which it closes. A null stream
// is reported as a file that cannot be opened.
bool readScopeStream(const FileErrorReport& report, std::FILE* stream, uint8_t*& outData,
                     std::atomic<uint32_t>& outLength, RecordingTimes* times = nullptr);

// Writes `count` bytes from `samples` as a scope file that replaces any file of that name only
// once it is complete (see OutputFile): a failed write leaves the old file as it was. A FIFO
// that nothing reads is refused at once, never waited on. With `times` worth keeping, a chunk of
// them follows the samples' chunk.
bool writeScopeFile(const FileErrorReport& report, const std::string& path, const uint8_t* samples,
                    uint32_t count, const RecordingTimes* times = nullptr);
// The two halves of writeScopeFile, for a caller that must know the file can be written before
// it has the samples. Opening reports 1100 (any output file opens this way); writing puts the
// scope file in place, or reports and drops it.
bool openOutput(const FileErrorReport& report, const std::string& path, OutputFile& output,
                const OutputOptions& options);
bool writeScopeOutput(const FileErrorReport& report, OutputFile& output, const uint8_t* samples,
                      uint32_t count, const RecordingTimes* times = nullptr);
// The same into an open stream positioned at its start, which it closes; null as for reading.
bool writeScopeStream(const FileErrorReport& report, std::FILE* stream, const uint8_t* samples,
                      uint32_t count, const RecordingTimes* times = nullptr);
