#pragma once

#include <cstdint>
#include <string>

class ConsoleOutput;

// What `info` tells about one channel.
struct ChannelSummary {
    bool firstLevel = false;
    uint32_t changes = 0;
    // Fewest samples a level lasted between two changes of the channel; 0 when it changed less
    // than twice, so that no level was seen from its start to its end.
    uint32_t shortestRun = 0;
};

// One channel (`bit`) of `length` samples, at least one.
ChannelSummary summarizeChannel(const uint8_t* samples, uint32_t length, uint8_t bit);

// Loads scope file or sigrok session `path` into the session's samples. A file the reader refuses
// has been reported (path, message and, for a scope file, error id) when this returns false.
bool loadRecording(ConsoleOutput& console, const std::string& path);

// Puts the session back to its start-up values on both ends of a command, so that one command
// line leaves nothing behind for the next (tests run many in one process).
struct SessionScope {
    SessionScope();
    ~SessionScope();
    SessionScope(const SessionScope&) = delete;
    SessionScope& operator=(const SessionScope&) = delete;
};
