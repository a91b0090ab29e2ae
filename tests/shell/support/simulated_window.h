#pragma once

#include <QCoreApplication>
#include <QString>
#include <cstdint>

#include "app/window/main_window_proc.h"
#include "capture/probe_clock.h"
#include "capture/sampling_worker.h"
#include "capture/simulated_probe.h"
#include "core/scope_session.h"
#include "shell/qt_main_window.h"

// Links `probe` to the worker for a capture of `samples` samples; made before the window, whose
// start takes the first capture. The test's cleanup unlinks it.
struct ProbeLink {
    ProbeLink(SimulatedProbe& probe, uint32_t samples) {
        workerLink.ports = &probe;
        scopeSession.captureSize = samples;
    }
};

// The main window, `width` x `height`, whose first capture of `samples` samples reads the
// simulated probe on virtual time: every read takes exactly its microsecond, whatever the
// machine's load.
struct SimulatedWindow {
    VirtualProbeClock clock;
    SimulatedProbe simulated{clock};
    ProbeLink link;
    DezoRaraClass window{mainWindowProc};

    SimulatedWindow(uint32_t samples, int width, int height) : link(simulated, samples) {
        window.resize(width, height);
        window.show();
    }
};

// With PINPROBE_SCREENSHOTS set to a folder (and a real display, e.g. under xvfb-run), `window`
// as it is drawn now, saved there as `name`.png.
inline void saveWindowShot(QWidget& window, const char* name) {
    const QString folder = qEnvironmentVariable("PINPROBE_SCREENSHOTS");
    if (!folder.isEmpty()) {
        QCoreApplication::sendPostedEvents();
        window.grab().save(folder + QStringLiteral("/%1.png").arg(QLatin1String(name)));
    }
}
