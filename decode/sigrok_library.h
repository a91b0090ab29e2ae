#pragma once

#include <mutex>
#include <string>

struct SigrokCalls;

// libsigrokdecode keeps process-wide state and may be started once per process (stopping it
// ends its Python for good), so every use of it holds this lock, from any thread. The first
// lock opens and starts the library; it stays started until the process ends.
class SigrokLibrary {
public:
    SigrokLibrary();
    SigrokLibrary(const SigrokLibrary&) = delete;
    SigrokLibrary& operator=(const SigrokLibrary&) = delete;

    // Whether the library started; when not, `startError()` says why.
    bool ready() const;
    const std::string& startError() const;
    // The library's entry points, once ready().
    const SigrokCalls& calls() const;

    // The errors the library and its decoders reported since the last call, one per line.
    std::string takeErrors();

private:
    std::unique_lock<std::mutex> lock_;
};

// The library file the first start opens (libsigrokdecode's unless changed before it), so that
// tests can see what decoding does where the library is missing.
void useSigrokLibraryFile(std::string file);
