#include "core/scope_session.h"

#include <cstdlib>

ScopeSession scopeSession;

namespace {

const SampleMemory kSystemMemory{&std::malloc, &std::free};
const SampleMemory* sampleMemory = &kSystemMemory;
void (*sampleReaderStop)() = nullptr;

}  // namespace

void setSampleMemory(const SampleMemory* memory) {
    sampleMemory = memory != nullptr ? memory : &kSystemMemory;
}

uint8_t* obtainSampleBuffer(size_t bytes) {
    if (bytes == 0) {
        return nullptr;
    }
    return static_cast<uint8_t*>(sampleMemory->obtain(bytes));
}

void giveBackSampleBuffer(uint8_t* block) {
    if (block != nullptr) {
        sampleMemory->giveBack(block);
    }
}

void setSampleReaderStop(void (*stop)()) {
    sampleReaderStop = stop;
}

void stopSampleReaders() {
    if (sampleReaderStop != nullptr) {
        sampleReaderStop();
    }
}

void releaseSampleData() {
    stopSampleReaders();
    giveBackSampleBuffer(scopeSession.sampleData);
    scopeSession.sampleData = nullptr;
    // The next block may come back at the same address with other samples in it.
    samplesChanged(scopeSession);
}

void resetScopeSession() {
    ScopeSession& s = scopeSession;
    releaseSampleData();
    s.captureSize = 5000;
    s.delayUnits = 0;
    s.slowDelayUnits = kStandardSlowDelay;
    s.portNumber = 1;
    s.portTriggerMask = 0;
    s.triggerConditions = 0;
    s.preTriggerPercent = 0;
    s.memoryTriggerMask = 0;
    s.sampleLength = 0;
    s.view = ViewState{};
    s.breakRequested = 0;
    s.quitRequested = 0;
    s.documentPath.clear();
    s.documentTitle.clear();
    s.workerCapturing = false;
    s.samplesStored = 0;
    s.channels = defaultChannelLooks();
    resetRecordingDetails();
}

void resetRecordingDetails() {
    ScopeSession& s = scopeSession;
    s.timeBase.clear();
    s.samplingPriority.clear();
    s.sampleOrigin = 0;
    s.triggerSample = kNoTriggerSample;
    s.marker.reset();
    s.secondMarker.reset();
}
