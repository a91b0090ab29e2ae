#include "tests/support/scripted_port.h"

#include <algorithm>
#include <thread>
#include <utility>

void ScriptedPort::play(std::vector<uint8_t> script) {
    play(std::move(script), nullptr);
}

void ScriptedPort::play(std::vector<uint8_t> script, ByteAt after) {
    script_ = std::move(script);
    after_ = std::move(after);
}

void ScriptedPort::playPulses(uint8_t channel, const std::vector<uint64_t>& pulses,
                              const ByteAt& quiet, ByteAt after) {
    std::vector<uint8_t> script;
    for (uint64_t read = 0; read <= pulses.back(); ++read) {
        const bool pulse = std::find(pulses.begin(), pulses.end(), read) != pulses.end();
        script.push_back(pulse ? channel : static_cast<uint8_t>(quiet(read) & ~channel));
    }
    play(std::move(script), std::move(after));
}

uint8_t ScriptedPort::byteAt(uint64_t readIndex) const {
    if (readIndex < script_.size()) {
        return script_[readIndex];
    }
    if (after_) {
        return after_(readIndex);
    }
    return script_.empty() ? 0xFF : script_.back();
}

void ScriptedPort::onRead(uint64_t readIndex, std::function<void()> action) {
    actionIndex_ = readIndex;
    action_ = std::move(action);
}

void ScriptedPort::paceWith(VirtualProbeClock& clock, uint64_t readNanoseconds) {
    clock_ = &clock;
    readNanoseconds_ = readNanoseconds;
}

void ScriptedPort::stallAt(uint64_t readIndex, uint64_t stallNanoseconds) {
    stalls_[readIndex] += stallNanoseconds;
}

void ScriptedPort::holdAt(uint64_t readIndex, std::function<bool()> releaseWhen) {
    holdIndex_ = readIndex;
    releaseWhen_ = std::move(releaseWhen);
}

uint8_t ScriptedPort::read() {
    const uint64_t index = reads_.fetch_add(1);
    if (index == actionIndex_) {
        action_();
    }
    if (index == holdIndex_) {
        holdHere();
    }
    if (clock_ != nullptr) {
        const auto stall = stalls_.find(index);
        clock_->advance(readNanoseconds_ + (stall != stalls_.end() ? stall->second : 0));
    }
    return byteAt(index);
}

void ScriptedPort::holdHere() {
    std::unique_lock lock(mutex_);
    held_ = true;
    changed_.notify_all();
    const auto deadline = std::chrono::steady_clock::now() + kTestWaitLimit;
    // Polled, because `releaseWhen_` may watch state that nobody notifies this port about.
    while (!released_ && !(releaseWhen_ && releaseWhen_())) {
        if (std::chrono::steady_clock::now() >= deadline) {
            expired_ = true;
            return;
        }
        changed_.wait_for(lock, std::chrono::milliseconds(1));
    }
}

bool ScriptedPort::waitUntilHeld() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kTestWaitLimit, [this] { return held_; });
}

void ScriptedPort::release() {
    {
        std::lock_guard lock(mutex_);
        released_ = true;
    }
    changed_.notify_all();
}

bool ScriptedPort::holdExpired() const {
    std::lock_guard lock(mutex_);
    return expired_;
}

bool ScriptedPort::waitForReads(uint64_t count) const {
    const auto deadline = std::chrono::steady_clock::now() + kTestWaitLimit;
    while (reads_.load() < count) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

StatusPort& ScriptedPortAccess::port(uint8_t portNumber) {
    {
        std::lock_guard lock(mutex_);
        asked_.push_back(portNumber);
    }
    return portNumber == 2 ? lpt2 : lpt1;
}

std::vector<int> ScriptedPortAccess::portsAsked() const {
    std::lock_guard lock(mutex_);
    return asked_;
}

void ScriptedPortAccess::releaseAll() {
    lpt1.release();
    lpt2.release();
}
