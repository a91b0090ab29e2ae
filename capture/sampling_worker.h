#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

class PortAccess;
class WindowSystem;

// What the main window hands the sampling worker for its whole life, and the worker's wake event
// and hand-over state.
struct WorkerLink {
    WindowSystem* mainWindow = nullptr;  // receiver of CAPTURE_DONE
    PortAccess* ports = nullptr;
    std::atomic<int32_t> delayUnits{0};  // read again for every sample
    // Whether the worker publishes scopeSession.samplesStored as it captures; off only where the
    // cost of publishing is measured (bench/).
    bool publishStored = true;

    // Internals of the wake event (auto-reset) and of the hand-over, guarded by `mutex`.
    std::mutex mutex;
    std::condition_variable changed;
    bool wakeSignalled = false;
    bool capturing = false;           // from waking for a capture until it is handed over or ended
    bool awaitingHandover = false;    // CAPTURE_DONE posted, not yet handled
    bool handoverAccepted = false;    // the main thread is handling it (refuse a second message)
    std::atomic<int32_t> abandon{0};  // end the running capture without handing it over
    std::thread thread;
};

extern WorkerLink workerLink;

// Signals the auto-reset wake event: one capture per signal; a signal given during a capture is
// remembered and starts one more once the current one has been handed over.
void signalWake(WorkerLink& link);

// The worker thread's body; returns when woken with quitRequested set.
void SamplingWorker(WorkerLink& link);

// Starts the worker thread with `link`.
void startSamplingWorker(WorkerLink& link);

// Main thread, on CAPTURE_DONE: true when the worker is waiting for this hand-over; the caller
// then runs the completion steps and calls completeCaptureDone. False for a stale message.
bool acceptCaptureDone(WorkerLink& link);
void completeCaptureDone(WorkerLink& link);

// Main thread, where it cannot take messages (at shutdown): waits up to `limit` for the running
// capture's hand-over. True when the worker waits for it; the caller then takes it as it would
// CAPTURE_DONE. False when no capture runs or it did not end in time (a trigger wait).
bool awaitHandover(WorkerLink& link, std::chrono::milliseconds limit);

// Main thread: ends a running capture (its trigger wait included) without handing it over, drops
// a remembered signal, and returns once the worker no longer touches sampleData. Never hangs.
void endWorkerCapture(WorkerLink& link);

// Main thread, at shutdown: ends any capture, has the worker quit, and joins it. Never hangs.
void stopSamplingWorker(WorkerLink& link);
