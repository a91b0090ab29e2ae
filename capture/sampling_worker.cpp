#include "capture/sampling_worker.h"

#include "capture/capture_start.h"
#include "capture/quiet_section.h"
#include "capture/sampler.h"
#include "capture/status_port.h"
#include "capture/time_marker.h"
#include "core/scope_session.h"
#include "core/window_system.h"

WorkerLink workerLink;

void signalWake(WorkerLink& link) {
    {
        std::lock_guard lock(link.mutex);
        link.wakeSignalled = true;
    }
    link.changed.notify_all();
}

namespace {

// Waits for the wake event and resets it. Returns false when the worker is to quit.
bool waitForWake(WorkerLink& link) {
    std::unique_lock lock(link.mutex);
    link.changed.wait(lock, [&] { return link.wakeSignalled; });
    link.wakeSignalled = false;
    if (scopeSession.quitRequested != 0) {
        return false;
    }
    link.capturing = true;
    return true;
}

bool captureEnded(const WorkerLink& link) {
    return scopeSession.breakRequested.load(std::memory_order_relaxed) != 0 ||
           link.abandon.load(std::memory_order_relaxed) != 0;
}

// Stores a sample per delay period until the length is reached or the capture is ended, the
// clock read at the start of each of the marker's blocks. Returns how many were stored, the one
// the end came on not counted. With `kPublish` the count is published
// for the paint every kPublishStride samples: a store that costs next to nothing at any speed.
// The first `first` samples were kept from the trigger wait.
template <bool kPublish>
uint32_t storeSamples(StatusPort& port, const WorkerLink& link, TimeMarker& marker,
                      uint32_t first) {
    constexpr uint32_t kPublishStride = 256;
    ScopeSession& session = scopeSession;
    uint8_t* const data = session.sampleData;
    uint32_t count = first;
    uint32_t nextMark = first;
    while (count < session.sampleLength.load(std::memory_order_relaxed)) {
        if (count == nextMark) {
            nextMark = marker.startBlock(count);
        }
        spendBusyDelay(link.delayUnits.load(std::memory_order_relaxed) *
                       kMultiplicationsPerDelayUnit);
        data[count] = port.read();
        if (captureEnded(link)) {
            marker.end(count + 1);
            return count;
        }
        ++count;
        if constexpr (kPublish) {
            if (count % kPublishStride == 0) {
                session.samplesStored.store(count, std::memory_order_release);
            }
        }
    }
    marker.end(count);
    return count;
}

// The trigger wait and the samples, in a quiet section where the port wants one. Returns how
// many were stored, none when the wait was abandoned.
uint32_t sampleQuietly(StatusPort& port, WorkerLink& link) {
    ScopeSession& session = scopeSession;
    PortAccess& ports = *link.ports;
    QuietSection quiet(ports.wantsQuietSection(), session.sampleData, session.sampleLength,
                       ports.clock());
    TimeMarker marker(session.timeBase, ports.clock(), port, session.sampleLength, &quiet.pauses());
    CaptureStartPoint start(session, ports.clock());
    if (start.wait(port, 0, &link.abandon, &quiet.pauses(), marker) == TriggerWait::Abandoned) {
        return 0;
    }
    session.samplingPriority = quiet.report();
    // Samples kept out of order are not shown until they are put in order at the end.
    const uint32_t stored = link.publishStored && !start.unordered()
                                ? storeSamples<true>(port, link, marker, start.kept())
                                : storeSamples<false>(port, link, marker, start.kept());
    start.finish();
    return stored;
}

// One delayed capture into sampleData. Returns false when it was abandoned.
bool runDelayedCapture(WorkerLink& link) {
    ScopeSession& session = scopeSession;
    StatusPort& port = link.ports->port(session.portNumber);
    session.breakRequested = 0;
    session.samplesStored.store(0, std::memory_order_release);
    const uint32_t stored = sampleQuietly(port, link);
    if (link.abandon != 0) {
        return false;
    }
    session.timeBase.finish();
    // The sample stored last is not kept; broken off on the first sample, nothing is kept.
    session.sampleLength = stored > 0 ? stored - 1 : 0;
    return true;
}

// Posts CAPTURE_DONE and waits until the main thread has handled it or ended the capture.
void handOverCapture(WorkerLink& link) {
    std::unique_lock lock(link.mutex);
    if (link.abandon != 0) {
        return;
    }
    link.awaitingHandover = true;
    link.handoverAccepted = false;
    link.mainWindow->postMessage(WindowMessage{CAPTURE_DONE, 0, 0});
    link.changed.notify_all();  // for a main thread in awaitHandover
    link.changed.wait(lock, [&] { return !link.awaitingHandover || link.abandon != 0; });
    link.awaitingHandover = false;
}

void markIdle(WorkerLink& link) {
    {
        std::lock_guard lock(link.mutex);
        link.capturing = false;
    }
    link.changed.notify_all();
}

}  // namespace

void SamplingWorker(WorkerLink& link) {
    while (waitForWake(link)) {
        if (link.abandon == 0 && runDelayedCapture(link)) {
            handOverCapture(link);
        }
        markIdle(link);
    }
}

void startSamplingWorker(WorkerLink& link) {
    link.thread = std::thread([&link] { SamplingWorker(link); });
}

bool acceptCaptureDone(WorkerLink& link) {
    std::lock_guard lock(link.mutex);
    if (!link.awaitingHandover || link.handoverAccepted) {
        return false;
    }
    link.handoverAccepted = true;
    scopeSession.workerCapturing = false;
    return true;
}

bool awaitHandover(WorkerLink& link, std::chrono::milliseconds limit) {
    std::unique_lock lock(link.mutex);
    link.changed.wait_for(lock, limit, [&] { return link.awaitingHandover || !link.capturing; });
    return link.awaitingHandover && !link.handoverAccepted;
}

void completeCaptureDone(WorkerLink& link) {
    {
        std::lock_guard lock(link.mutex);
        link.awaitingHandover = false;
        link.handoverAccepted = false;
    }
    link.changed.notify_all();
}

void endWorkerCapture(WorkerLink& link) {
    {
        std::unique_lock lock(link.mutex);
        link.wakeSignalled = false;
        link.abandon = 1;
        scopeSession.breakRequested = 1;
        link.changed.notify_all();
        link.changed.wait(lock, [&] { return !link.capturing; });
        link.abandon = 0;
    }
    scopeSession.workerCapturing = false;
}

void stopSamplingWorker(WorkerLink& link) {
    if (!link.thread.joinable()) {
        return;
    }
    scopeSession.breakRequested = 1;
    scopeSession.quitRequested = 1;
    endWorkerCapture(link);
    signalWake(link);
    link.thread.join();
}
