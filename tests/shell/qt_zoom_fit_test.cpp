#include <QtTest>

#include "core/scope_session.h"
#include "display/trace_geometry.h"
#include "resources/command_ids.h"
#include "shell/qt_template_builder.h"
#include "shell/qt_trace_view.h"
#include "tests/shell/support/qt_test_registry.h"
#include "tests/shell/support/simulated_window.h"

namespace {

// The last column of `picture` where a trace is drawn, on any channel's row; -1 for none.
int lastDrawnColumn(const QImage& picture, const TraceGeometry& g) {
    for (int x = picture.width() - 1; x >= 0; --x) {
        for (const int baseline : g.baseline) {
            for (int y = baseline - g.levelHeight; y <= baseline; ++y) {
                if (qGreen(picture.pixel(x, y)) > 0) {
                    return x;
                }
            }
        }
    }
    return -1;
}

}  // namespace

class ZoomFitTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void aWholeCaptureReachesTheRightEdge();
};

void ZoomFitTest::cleanup() {
    workerLink.ports = nullptr;
    resetScopeSession();
}

// 5000 samples zoomed to fit in a 1400 x 950 window: the traces end in the view's last column,
// however the samples divide by its width. With PINPROBE_SCREENSHOTS set to a folder (under
// xvfb-run) the window is saved there as whole_capture.png.
void ZoomFitTest::aWholeCaptureReachesTheRightEdge() {
    SimulatedWindow simulated(5000, 1400, 950);
    DezoRaraClass& window = simulated.window;
    QTRY_VERIFY_WITH_TIMEOUT(hasSampleData(scopeSession), 30000);
    window.windowSystem().sendMessage(commandMessage(CMD_ZOOM_FIT));
    auto& view = *static_cast<GraphClass*>(findControl(*window.centralWidget(), IDC_TRACE_VIEW));
    QVERIFY2(5000 % view.width() != 0, "a width that 5000 samples do not divide by");
    const TraceGeometry g = viewGeometry(scopeSession, view.width(), view.height());
    QCOMPARE(g.sampleCount, 5000u);
    QCOMPARE(lastDrawnColumn(view.grab().toImage(), g), view.width() - 1);
    saveWindowShot(window, "whole_capture");
    QVERIFY(window.close());
}

PINPROBE_QT_TEST(ZoomFitTest)
#include "qt_zoom_fit_test.moc"
