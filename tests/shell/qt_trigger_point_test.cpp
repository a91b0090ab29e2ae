#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QtTest>
#include <memory>

#include "app/readout/view_text.h"
#include "app/window/main_window_proc.h"
#include "capture/probe_clock.h"
#include "capture/sampling_worker.h"
#include "capture/simulated_probe.h"
#include "core/scope_session.h"
#include "core/trigger_conditions.h"
#include "display/trace_geometry.h"
#include "resources/command_ids.h"
#include "shell/qt_client_area.h"
#include "shell/qt_main_window.h"
#include "shell/qt_trace_view.h"
#include "tests/shell/support/menu_action.h"
#include "tests/shell/support/next_modal.h"
#include "tests/shell/support/qt_test_registry.h"
#include "tests/shell/support/screenshot.h"

namespace {

// Whether the View menu offers Measure From Trigger, as it is asked when the menu opens.
bool measureOffered(QMainWindow& window) {
    QAction* measure = menuAction(window, CMD_MEASURE_FROM_TRIGGER);
    auto* menu = qobject_cast<QMenu*>(measure->parent());
    emit menu->aboutToShow();
    return measure->isEnabled();
}

std::string traceText(DezoRaraClass& window) {
    const GraphClass& view = window.clientArea().traceView();
    return traceViewText(viewGeometry(scopeSession, view.width(), view.height()), view.width());
}

}  // namespace

class TriggerPointTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void aTriggeredCaptureCountsFromItsTriggerPoint();
    void withoutATriggerPointTheKeySaysSo();

private:
    // On virtual time every read takes exactly its microsecond, whatever the machine's load.
    VirtualProbeClock clock_;
    std::unique_ptr<SimulatedProbe> probe_;
};

void TriggerPointTest::init() {
    QSettings(QSettings::IniFormat, QSettings::UserScope, "pinprobe", "pinprobe").clear();
    resetScopeSession();
    probe_ = std::make_unique<SimulatedProbe>(clock_);
    workerLink.ports = probe_.get();
    scopeSession.captureSize = 30000;
}

void TriggerPointTest::cleanup() {
    workerLink.ports = nullptr;
    resetScopeSession();
}

// Out Of Paper rising, half the buffer before it, the trigger point in the middle: `t` puts the
// marker on it, which reads as sample 0; Measure From Trigger off, it reads as the capture's
// number again.
void TriggerPointTest::aTriggeredCaptureCountsFromItsTriggerPoint() {
    ChannelConditions conditions{};
    conditions[2] = TriggerCondition::Rising;
    scopeSession.triggerConditions = packConditions(conditions);
    scopeSession.preTriggerPercent = 50;
    DezoRaraClass window(mainWindowProc);
    window.resize(1150, window.height());
    window.show();
    QTRY_VERIFY(hasSampleData(scopeSession));
    const std::optional<uint32_t> trigger = triggerIndex(scopeSession);
    QVERIFY(trigger.has_value());
    QCOMPARE(*trigger, uint32_t{15000});
    QVERIFY(measureOffered(window));
    GraphClass& view = window.clientArea().traceView();
    QTest::keyClick(&view, Qt::Key_T);
    QCOMPARE(scopeSession.marker, trigger);
    QVERIFY(scopeSession.view.viewStart > 0);
    QVERIFY2(traceText(window).find("marker at sample 0 at 0 s") != std::string::npos,
             traceText(window).c_str());
    saveShot(window, "trigger_capture");
    menuAction(window, CMD_MEASURE_FROM_TRIGGER)->trigger();
    const std::string capture = "marker at sample " + std::to_string(*trigger) + " at ";
    QVERIFY2(traceText(window).find(capture) != std::string::npos, traceText(window).c_str());
    onNextModal<QDialog>([](QDialog& dialog) {
        saveShot(dialog, "trigger_dialog");
        dialog.reject();
    });
    menuAction(window, CMD_TRIGGER_SETTINGS)->trigger();
    QVERIFY(window.close());
}

void TriggerPointTest::withoutATriggerPointTheKeySaysSo() {
    DezoRaraClass window(mainWindowProc);
    window.show();
    QTRY_VERIFY(hasSampleData(scopeSession));
    QVERIFY(!measureOffered(window));
    QString text;
    onNextModal<QMessageBox>([&text](QMessageBox& box) {
        text = box.text();
        box.accept();
    });
    QTest::keyClick(&window.clientArea().traceView(), Qt::Key_T);
    QCOMPARE(text,
             QStringLiteral("This recording has no trigger point: it did not start on a trigger."));
    QVERIFY(!scopeSession.marker.has_value());
    QVERIFY(window.close());
}

PINPROBE_QT_TEST(TriggerPointTest)
#include "qt_trigger_point_test.moc"
