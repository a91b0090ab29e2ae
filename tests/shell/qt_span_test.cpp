#include <QLabel>
#include <QSlider>
#include <QtTest>

#include "app/view/zoom_levels.h"
#include "app/window/info_dialog.h"
#include "app/window/main_window_proc.h"
#include "app/window/slow_speed.h"
#include "capture/probe_clock.h"
#include "capture/sampling_worker.h"
#include "capture/simulated_probe.h"
#include "core/scope_session.h"
#include "display/trace_view.h"
#include "resources/command_ids.h"
#include "shell/qt_main_window.h"
#include "shell/qt_speed_dialog.h"
#include "shell/qt_template_builder.h"
#include "shell/qt_trace_view.h"
#include "tests/shell/support/qt_test_registry.h"

namespace {

// The span's shade as the trace view paints it (the colour is 0x00BBGGRR).
QRgb spanShade() {
    return qRgb(kSpanColour & 0xFF, (kSpanColour >> 8) & 0xFF, (kSpanColour >> 16) & 0xFF);
}

// The Slow dialog that is up: its slider and the rate under it.
struct SpeedControls {
    QSlider* slider = nullptr;
    QLabel* rate = nullptr;
};

SpeedControls speedControls() {
    SpeedControls controls;
    QWidget* box = QApplication::activeModalWidget();
    if (box == nullptr) {
        return controls;
    }
    controls.slider = box->findChild<QSlider*>();
    for (QLabel* label : box->findChildren<QLabel*>()) {
        controls.rate = label->text().startsWith("up to") ? label : controls.rate;
    }
    return controls;
}

}  // namespace

class SpanTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void twoMarkersShadeTheSpanAndItsPanelStays();
    void slowDialogSetsTheSlowDelay();
};

void SpanTest::cleanup() {
    workerLink.ports = nullptr;
    resetScopeSession();
}

// Shift+click and a click make the span: shaded between the markers, its measures in a panel
// that stays while the pointer goes elsewhere; a middle click moves the second marker, Esc ends
// both. With PINPROBE_SCREENSHOTS set to a folder (under xvfb-run), the window with its span is
// saved there as two_cursors_span.png.
void SpanTest::twoMarkersShadeTheSpanAndItsPanelStays() {
    // On virtual time every read takes exactly its microsecond, whatever the machine's load.
    VirtualProbeClock clock;
    SimulatedProbe simulated(clock);
    workerLink.ports = &simulated;
    scopeSession.captureSize = 30000;
    DezoRaraClass window(mainWindowProc);
    window.resize(1400, 950);
    window.show();
    QTRY_VERIFY_WITH_TIMEOUT(hasSampleData(scopeSession), 30000);
    auto& view = *static_cast<GraphClass*>(findControl(*window.centralWidget(), IDC_TRACE_VIEW));
    showZoomLevel(window.windowSystem(), ViewScale::samplesPerColumn(4), 2000);
    QTest::mouseClick(&view, Qt::LeftButton, Qt::ShiftModifier, QPoint(100, 40));
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(1000, 40));
    QCOMPARE(scopeSession.secondMarker, std::optional<uint32_t>(2400));
    QCOMPARE(scopeSession.marker, std::optional<uint32_t>(6000));
    QTest::mouseMove(&view, QPoint(20, view.height() - 5));
    QVERIFY(view.spokenDescription().contains(QString::fromUtf8("\u0394t = 3.600 ms")));
    const QImage picture = view.grab().toImage();
    QCOMPARE(picture.pixel(500, 1), spanShade());
    QCOMPARE(picture.pixel(50, 1), qRgb(0, 0, 0));
    const QString folder = qEnvironmentVariable("PINPROBE_SCREENSHOTS");
    if (!folder.isEmpty()) {
        QCoreApplication::sendPostedEvents();
        window.grab().save(folder + QStringLiteral("/two_cursors_span.png"));
    }

    QTest::mouseClick(&view, Qt::MiddleButton, {}, QPoint(600, 40));
    QCOMPARE(scopeSession.secondMarker, std::optional<uint32_t>(4400));
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!scopeSession.secondMarker.has_value());
    QVERIFY(!view.spokenDescription().contains(QString::fromUtf8("\u0394t")));
    QCOMPARE(view.grab().toImage().pixel(500, 1), qRgb(0, 0, 0));
    QVERIFY(window.close());
}

// The slider starts where Slow's standard delay is, shows the rate beside it as it moves, and
// the position it is left at is Slow's delay from then on, Done or Esc alike.
void SpanTest::slowDialogSetsTheSlowDelay() {
    QWidget owner;
    owner.show();
    QString rateBefore;
    QTimer::singleShot(0, [&rateBefore] {
        const SpeedControls controls = speedControls();
        QVERIFY(controls.slider != nullptr && controls.rate != nullptr);
        QCOMPARE(controls.slider->value(), slowSliderPosition(kStandardSlowDelay));
        rateBefore = controls.rate->text();
        QTest::keyClick(controls.slider, Qt::Key_Left);
        QTest::keyClick(controls.slider, Qt::Key_Left);
        QVERIFY(controls.rate->text() != rateBefore);
        QTest::mouseClick(findControl(*QApplication::activeModalWidget(), CMD_OK), Qt::LeftButton);
    });
    runSpeedDialog(owner, owner, infoDialogProc);
    QVERIFY(!rateBefore.isEmpty());
    const int32_t slower = scopeSession.slowDelayUnits;
    QVERIFY(slower > kStandardSlowDelay);

    QTimer::singleShot(0, [] {
        const SpeedControls controls = speedControls();
        QVERIFY(controls.slider != nullptr);
        QTest::keyClick(controls.slider, Qt::Key_End);
        QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape);
    });
    runSpeedDialog(owner, owner, infoDialogProc);
    QCOMPARE(scopeSession.slowDelayUnits, kShortestSlowDelay);
}

PINPROBE_QT_TEST(SpanTest)
#include "qt_span_test.moc"
