// Start-up to the first drawn capture on the simulated probe, for the whole process: each
// iteration starts this program again as a child that runs the program's own start-up and ends
// right after the trace view has painted the first capture.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/window/main_window_proc.h"
#include "capture/port_access_factory.h"
#include "capture/sampling_worker.h"
#include "core/scope_session.h"
#include "shell/qt_main_window.h"
#include "shell/qt_trace_view.h"

extern char** environ;

namespace {

constexpr const char* kChildFlag = "--first-draw-child";

// Ends the process as soon as a trace view has painted captured data: what follows (a "Too
// Slow" dialog on a busy machine, the shutdown) is not start-up.
class FirstDrawWatch : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && qobject_cast<GraphClass*>(watched) != nullptr &&
            hasSampleData(scopeSession)) {
            paintedData_ = true;
        } else if (paintedData_ && event->type() != QEvent::Paint) {
            _exit(0);
        }
        return false;
    }

private:
    bool paintedData_ = false;
};

int runChild(char** argv) {
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    FirstDrawWatch watch;
    app.installEventFilter(&watch);
    const std::unique_ptr<PortAccess> ports = makePortAccess(true);
    workerLink.ports = ports.get();
    DezoRaraClass mainWindow(mainWindowProc);
    mainWindow.show();
    QApplication::exec();
    return 1;  // ended without drawing a capture
}

void BM_StartUpToFirstDrawnCapture(benchmark::State& state) {
    char self[4096] = {};
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
        state.SkipWithError("cannot find this program");
        return;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    char* childArgv[] = {self, const_cast<char*>(kChildFlag), nullptr};
    for (auto _ : state) {
        pid_t child = 0;
        int status = 0;
        if (posix_spawn(&child, self, nullptr, nullptr, childArgv, environ) != 0 ||
            waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the child did not draw a capture");
            return;
        }
    }
}
BENCHMARK(BM_StartUpToFirstDrawnCapture)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], kChildFlag) == 0) {
        return runChild(argv);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
