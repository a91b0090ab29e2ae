#include "decode/sigrok_library.h"

#include <array>
#include <csignal>
#include <cstdarg>
#include <cstdio>

#include "decode/sigrok_calls.h"

namespace {

struct StartState {
    std::string file = kSigrokLibraryFile;
    bool tried = false;
    bool ready = false;
    std::string error;
    SigrokCalls calls;
};

std::mutex& libraryMutex() {
    static std::mutex mutex;
    return mutex;
}

StartState& startState() {
    static StartState state;
    return state;
}

// Decoders log from their own threads while the lock's holder waits for them.
std::mutex logMutex;
std::string loggedErrors;

int collectLog(void*, int level, const char* format, va_list args) {
    if (level > SRD_LOG_ERR) {
        return SRD_OK;
    }
    char text[2048];
    std::vsnprintf(text, sizeof text, format, args);
    std::lock_guard lock(logMutex);
    loggedErrors.append(text).push_back('\n');
    return SRD_OK;
}

// The library's Python takes signals over as it starts (Ctrl+C, SIGPIPE, SIGXFSZ); they stay with
// this program, whose handlers clean up.
void start(StartState& state) {
    state.tried = true;
    if (!openSigrokCalls(state.file.c_str(), state.calls, state.error)) {
        return;
    }
    const SigrokCalls& sigrok = state.calls;
    sigrok.srd_log_callback_set(&collectLog, nullptr);
    sigrok.srd_log_loglevel_set(SRD_LOG_ERR);
    std::array<struct sigaction, NSIG> actions{};
    for (int signal = 1; signal < NSIG; ++signal) {
        sigaction(signal, nullptr, &actions[static_cast<size_t>(signal)]);
    }
    const int status = sigrok.srd_init(nullptr);
    for (int signal = 1; signal < NSIG; ++signal) {
        if (signal != SIGKILL && signal != SIGSTOP) {
            sigaction(signal, &actions[static_cast<size_t>(signal)], nullptr);
        }
    }
    state.ready = status == SRD_OK;
    if (!state.ready) {
        state.error =
            std::string("the decoder library did not start: ") + sigrok.srd_strerror(status);
    }
}

}  // namespace

SigrokLibrary::SigrokLibrary() : lock_(libraryMutex()) {
    if (!startState().tried) {
        start(startState());
    }
}

bool SigrokLibrary::ready() const {
    return startState().ready;
}

const std::string& SigrokLibrary::startError() const {
    return startState().error;
}

const SigrokCalls& SigrokLibrary::calls() const {
    return startState().calls;
}

std::string SigrokLibrary::takeErrors() {
    std::lock_guard lock(logMutex);
    std::string errors;
    errors.swap(loggedErrors);
    return errors;
}

void useSigrokLibraryFile(std::string file) {
    std::lock_guard lock(libraryMutex());
    startState().file = std::move(file);
}
