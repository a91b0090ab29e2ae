#pragma once

#include <cstddef>
#include <mutex>
#include <ostream>
#include <string_view>

// Standard error of pinprobe-cli, shared by the main thread and the progress ticker. A progress
// line is wiped before a message is printed, so that the two never run into each other.
class ConsoleOutput {
public:
    explicit ConsoleOutput(std::ostream& err) : err_(err) {}

    // One line "pinprobe-cli: TEXT".
    void message(std::string_view text);
    // TEXT as it stands, lines of output that must keep off standard output; false when they
    // did not get there.
    bool text(std::string_view text);
    // Shows `text` in place of the progress line shown so far (no line feed).
    void progress(std::string_view text);
    void clearProgress();

private:
    void wipeProgressLocked();

    std::mutex mutex_;
    std::ostream& err_;
    size_t progressWidth_ = 0;
};

inline constexpr std::string_view kCliName = "pinprobe-cli";
