#include "cli/console_output.h"

#include <string>

#include "core/printable_text.h"

void ConsoleOutput::message(std::string_view text) {
    std::lock_guard lock(mutex_);
    wipeProgressLocked();
    // Whatever of the user's a message quotes cannot drive the terminal, however it got there.
    err_ << kCliName << ": " << printableLines(text) << '\n';
    err_.flush();
}

bool ConsoleOutput::text(std::string_view text) {
    std::lock_guard lock(mutex_);
    wipeProgressLocked();
    err_ << text;
    return !err_.flush().fail();
}

void ConsoleOutput::progress(std::string_view text) {
    std::lock_guard lock(mutex_);
    wipeProgressLocked();
    err_ << text;
    err_.flush();
    progressWidth_ = text.size();
}

void ConsoleOutput::clearProgress() {
    std::lock_guard lock(mutex_);
    wipeProgressLocked();
    err_.flush();
}

void ConsoleOutput::wipeProgressLocked() {
    if (progressWidth_ > 0) {
        err_ << '\r' << std::string(progressWidth_, ' ') << '\r';
        progressWidth_ = 0;
    }
}
