#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

// A scope file keeps one recording: a RIFF form "SCOP" whose chunk "data" holds the samples, one
// byte each, unchanged. Every failure is handed to the caller's report as its string id before the
// call returns false; a reader's report comes while the file is still open.
using FileErrorReport = std::function<void(int stringId)>;

// On success `outData` receives a buffer of exactly N bytes from obtainSampleBuffer, which the
// caller now owns, and `outLength` receives N. On failure neither is written and no buffer is held.
bool readScopeFile(const FileErrorReport& report, const std::string& path, uint8_t*& outData,
                   std::atomic<uint32_t>& outLength);
// The same over an open seekable stream (e.g. one over memory), which it closes. A null stream
// is reported as a file that cannot be opened.
bool readScopeStream(const FileErrorReport& report, std::FILE* stream, uint8_t*& outData,
                     std::atomic<uint32_t>& outLength);

// Writes `count` bytes from `samples` as a scope file, replacing any file of that name. A failed
// write leaves on disk what was written up to the failure.
bool writeScopeFile(const FileErrorReport& report, const std::string& path, const uint8_t* samples,
                    uint32_t count);
// The same into an open stream positioned at its start, which it closes; null as for reading.
bool writeScopeStream(const FileErrorReport& report, std::FILE* stream, const uint8_t* samples,
                      uint32_t count);
