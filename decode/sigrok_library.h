#pragma once

#include <mutex>
#include <string>

// libsigrokdecode keeps process-wide state and may be started once per process (stopping it
// ends its Python for good), so every use of it holds this lock, from any thread. The first
// lock starts the library; it stays started until the process ends.
class SigrokLibrary {
public:
    SigrokLibrary();
    SigrokLibrary(const SigrokLibrary&) = delete;
    SigrokLibrary& operator=(const SigrokLibrary&) = delete;

    // Whether the library started; when not, `startError()` says why.
    bool ready() const;
    const std::string& startError() const;

    // The errors the library and its decoders reported since the last call, one per line.
    std::string takeErrors();

private:
    std::unique_lock<std::mutex> lock_;
};
