#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/channel_looks.h"
#include "core/channels.h"
#include "core/time_base.h"
#include "core/trigger_conditions.h"
#include "core/view_state.h"

// The trigger point of a recording that did not start on a trigger.
inline constexpr uint32_t kNoTriggerSample = UINT32_MAX;

// The delay Slow has always had, and the one an untouched Slow dialog keeps.
inline constexpr int32_t kStandardSlowDelay = 50;

// The one record every subsystem works on. Fields the worker thread touches while the main
// thread runs are atomics; everything else belongs to the main thread.
struct ScopeSession {
    int32_t captureSize = 5000;
    // The busy delay before each sample: 0 (Fastest), 5 (Fast) or the Slow dialog's choice.
    int32_t delayUnits = 0;
    // What the Slow dialog's slider was last set to, for this run of the program.
    int32_t slowDelayUnits = kStandardSlowDelay;
    std::atomic<uint8_t> portNumber{1};
    std::atomic<uint8_t> portTriggerMask{0};
    // The trigger's conditions other than "either edge" (the Port boxes), packed per channel.
    std::atomic<uint16_t> triggerConditions{0};
    // The share of the buffer, in percent, that holds samples from before the trigger.
    std::atomic<uint8_t> preTriggerPercent{0};
    uint8_t memoryTriggerMask = 0;
    uint8_t* sampleData = nullptr;
    std::atomic<uint32_t> sampleLength{0};
    // The trace view: viewStart, scrollPosition, the scale that gives zoomStep, viewWidth.
    ViewState view;
    std::atomic<int32_t> breakRequested{0};
    std::atomic<int32_t> quitRequested{0};
    std::string documentPath;
    std::string documentTitle;
    // True from the moment a capture is handed to the worker until the main thread has taken
    // its result (or ended it). While it is set, sampleData belongs to the worker.
    bool workerCapturing = false;
    // How many samples at the start of sampleData the worker has stored in its capture so far:
    // published with release ordering every few samples, read with acquire ordering by the paint,
    // which draws them while the rest of the buffer is still being filled.
    std::atomic<uint32_t> samplesStored{0};

    // The recording in memory, beyond its bytes. When each sample was taken: filled by the
    // capture loops, empty for a loaded file. Its marks are published as the worker makes them;
    // the rest belongs to the worker, as sampleData does, until the hand-over.
    TimeBase timeBase;
    // The priority the capture's sample loop ran at and why, as the user is told it; empty
    // where the loop did not ask (a test's port).
    std::string samplingPriority;
    // The capture's number of sampleData[0]: Cut Before moves it, so samples keep their numbers.
    uint32_t sampleOrigin = 0;
    // The capture's number of the sample the trigger fired on; kNoTriggerSample when the capture
    // did not start on a trigger. Written by the capture loops before the hand-over.
    std::atomic<uint32_t> triggerSample{kNoTriggerSample};
    // The marked sample, an index into sampleData.
    std::optional<uint32_t> marker;
    // The other end of a span measured from the marker (Shift+click), an index into sampleData.
    std::optional<uint32_t> secondMarker;
    // Changes whenever the samples change other than by the worker storing more of them (a new
    // buffer, a cut), so that what is derived from them knows to start again.
    uint32_t sampleVersion = 0;
    // The channels' names, colours and which are drawn, as the user set them.
    ChannelLooks channels = defaultChannelLooks();
};

extern ScopeSession scopeSession;

// Each channel's trigger condition: its own, else "either edge" where its Port box is ticked.
inline ChannelConditions sessionTriggerConditions(const ScopeSession& session) {
    return effectiveConditions(session.portTriggerMask, session.triggerConditions);
}

// Whether a capture waits for a trigger before it samples.
inline bool triggerSet(const ScopeSession& session) {
    return compileTrigger(sessionTriggerConditions(session)).used();
}

// The trigger point as an index into sampleData, when the recording holds it.
inline std::optional<uint32_t> triggerIndex(const ScopeSession& session) {
    const uint32_t sample = session.triggerSample.load(std::memory_order_relaxed);
    if (sample == kNoTriggerSample || sample < session.sampleOrigin ||
        sample - session.sampleOrigin >= session.sampleLength) {
        return std::nullopt;
    }
    return sample - session.sampleOrigin;
}

// Back to the start-up values; releases any samples. For a fresh start and for tests.
void resetScopeSession();

// A recording is being replaced: no time base, numbers from 0, no marker.
void resetRecordingDetails();

// A block of exactly `bytes` bytes, contents not cleared; nullptr when none can be had.
uint8_t* obtainSampleBuffer(size_t bytes);
// Gives back a block obtained with obtainSampleBuffer (nullptr is allowed).
void giveBackSampleBuffer(uint8_t* block);

// Gives back the session's whole sample block, after stopping its readers; sampleLength is left
// alone.
void releaseSampleData();

// A thread that reads sampleData beside the main thread (the drawing's summing up) is stopped and
// waited for through `stop` before the samples are given back or moved; none: nullptr.
void setSampleReaderStop(void (*stop)());
// Stops that reader, if any, so that the samples may change. Main thread only.
void stopSampleReaders();

// The samples changed in place (a cut): what was derived from them is out of date.
inline void samplesChanged(ScopeSession& session) {
    ++session.sampleVersion;
}

// Seam for tests: how sample blocks are obtained and given back (nullptr restores malloc/free).
struct SampleMemory {
    void* (*obtain)(size_t bytes);
    void (*giveBack)(void* block);
};
void setSampleMemory(const SampleMemory* memory);

// Whether readers of the samples (drawing, memory trigger, cuts, save, the too-slow check) have
// data to work on. A buffer that the worker is still filling does not count.
inline bool hasSampleData(const ScopeSession& session) {
    return session.sampleData != nullptr && !session.workerCapturing;
}

// How many samples from the start of sampleData may be drawn: all of the data, or those the
// worker has stored so far while it fills the buffer; 0 without data.
inline uint32_t drawableSamples(const ScopeSession& session) {
    if (hasSampleData(session)) {
        return session.sampleLength;
    }
    return session.workerCapturing && session.sampleData != nullptr
               ? session.samplesStored.load(std::memory_order_acquire)
               : 0;
}
