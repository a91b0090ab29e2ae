#include <QWheelEvent>
#include <QtTest>

#include "app/navigation.h"
#include "capture/sampling_worker.h"
#include "core/scope_session.h"
#include "display/trace_geometry.h"
#include "resources/command_ids.h"
#include "shell/qt_main_window.h"
#include "shell/qt_overview_strip.h"
#include "shell/qt_program_scroll_bar.h"
#include "shell/qt_template_builder.h"
#include "tests/shell/support/qt_test_registry.h"
#include "tests/support/scripted_port.h"

namespace {

constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kYellow = qRgb(255, 255, 0);

// The window procedure, but without the start-up capture and its worker: each test takes its own
// captures, at the fastest speed, from a port whose channels 1 and 3 stay high.
MessageResult procedureWithoutStartUp(WindowSystem& window, const WindowMessage& message) {
    if (message.id == MSG_INITDIALOG) {
        return MessageResult{true, 1};
    }
    return mainWindowProc(window, message);
}

struct CapturedWindow {
    DezoRaraClass window{procedureWithoutStartUp};
    QWidget& view = *findControl(*window.centralWidget(), IDC_TRACE_VIEW);

    CapturedWindow() {
        window.show();
        // The first capture's scroll range is counted in the width of a paint that has run.
        (void)QTest::qWaitForWindowExposed(&window);
        newSample();
    }
    void newSample() { window.windowSystem().sendMessage(commandMessage(CMD_NEW_SAMPLE)); }
    QImage picture() const { return view.grab().toImage(); }
    void turnWheel(QPoint at, int angle, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWheelEvent wheel(at, view.mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view, &wheel);
    }
};

}  // namespace

class TraceInputTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void markerLineAtItsSampleUntilNewSample();
    void rightClickAndEscapeClearTheMarker();
    void wheelStepsAsTheScrollBar();
    void ctrlWheelZoomsAsTheZoomButtons();
    void aClickGivesTheTracesTheKeys();
    void edgeKeysJumpOnThePointersChannel();
    void overviewMovesAndFitsTheView();

private:
    ScriptedPortAccess ports_;
};

void TraceInputTest::init() {
    resetScopeSession();
    ports_.lpt1.play({kChannelBits[0] | kChannelBits[2]});
    workerLink.ports = &ports_;
}

void TraceInputTest::cleanup() {
    workerLink.ports = nullptr;
    resetScopeSession();
}

void TraceInputTest::markerLineAtItsSampleUntilNewSample() {
    CapturedWindow w;
    QVERIFY(hasSampleData(scopeSession));
    w.window.windowSystem().sendMessage(commandMessage(CMD_ZOOM_IN));
    QTest::mouseClick(&w.view, Qt::LeftButton, {}, QPoint(75, 40));
    QCOMPARE(scopeSession.marker, std::optional<uint32_t>(37));
    // Sample 37 is drawn at x 74 at zoom 2; the top rows hold no trace.
    const QImage marked = w.picture();
    for (int y : {0, w.view.height() / 2, w.view.height() - 1}) {
        QCOMPARE(marked.pixel(74, y), kYellow);
    }
    QCOMPARE(marked.pixel(73, 0), kBlack);
    QCOMPARE(marked.pixel(75, 0), kBlack);

    w.newSample();
    QVERIFY(!scopeSession.marker.has_value());
    QCOMPARE(w.picture().pixel(74, 0), kBlack);
}

void TraceInputTest::rightClickAndEscapeClearTheMarker() {
    CapturedWindow w;
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    QTest::mouseClick(&w.view, Qt::LeftButton, {}, QPoint(20, 40));
    QVERIFY(scopeSession.marker.has_value());
    QTest::mouseClick(&w.view, Qt::RightButton, {}, QPoint(200, 40));
    QVERIFY(!scopeSession.marker.has_value());
    QCOMPARE(w.picture().pixel(20, 0), kBlack);

    QTest::mouseClick(&w.view, Qt::LeftButton, {}, QPoint(20, 40));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!scopeSession.marker.has_value());
    QVERIFY(w.window.isVisible());
}

// One notch toward the user is the scroll bar's line right, one away its line left.
void TraceInputTest::wheelStepsAsTheScrollBar() {
    CapturedWindow w;
    auto& bar = *w.window.centralWidget()->findChild<ProgramScrollBar*>();
    w.turnWheel(QPoint(100, 40), -120);
    QCOMPARE(scopeSession.viewStart, uint32_t(kLineStep));
    QTest::keyClick(&bar, Qt::Key_Right);
    QCOMPARE(scopeSession.viewStart, uint32_t(2 * kLineStep));
    w.turnWheel(QPoint(100, 40), 240);
    QCOMPARE(scopeSession.viewStart, 0u);
    QCOMPARE(bar.value(), 0);
    QCOMPARE(scopeSession.zoomStep, 1);
}

// Ctrl+wheel takes the zoom steps the buttons take; the sample under the pointer stays there.
void TraceInputTest::ctrlWheelZoomsAsTheZoomButtons() {
    CapturedWindow w;
    w.window.windowSystem().sendMessage(WindowMessage{MSG_HSCROLL, SCROLL_THUMB_POSITION, 1000});
    w.turnWheel(QPoint(0, 40), 120, Qt::ControlModifier);
    QCOMPARE(scopeSession.zoomStep, 2);
    QCOMPARE(scopeSession.viewStart, 1000u);
    QTest::mouseClick(findControl(*w.window.centralWidget(), CMD_ZOOM_IN), Qt::LeftButton);
    QCOMPARE(scopeSession.zoomStep, 4);

    const QPoint pointer(200, 40);
    auto sampleUnderPointer = [&] {
        return sampleAtX(viewGeometry(scopeSession, w.view.width(), w.view.height()), pointer.x());
    };
    const std::optional<uint32_t> held = sampleUnderPointer();
    QCOMPARE(held, std::optional<uint32_t>(1050));
    w.turnWheel(pointer, -120, Qt::ControlModifier);
    QCOMPARE(scopeSession.zoomStep, 2);
    QCOMPARE(sampleUnderPointer(), held);
    QCOMPARE(scopeSession.viewStart, 950u);
    QTest::mouseClick(findControl(*w.window.centralWidget(), CMD_ZOOM_OUT), Qt::LeftButton);
    QCOMPARE(scopeSession.zoomStep, 1);
}

// Whatever had the keyboard before, a click on the traces gives it to them, and the scroll keys
// then move the view as the scroll bar's do. Tab passes the traces by.
void TraceInputTest::aClickGivesTheTracesTheKeys() {
    CapturedWindow w;
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    QWidget* button = findControl(*w.window.centralWidget(), CMD_ZOOM_IN);
    button->setFocus();
    QTest::mouseClick(&w.view, Qt::LeftButton, {}, QPoint(20, 40));
    QCOMPARE(QApplication::focusWidget(), &w.view);
    const auto end = static_cast<uint32_t>(w.window.windowSystem().scrollRange().high);
    const std::pair<Qt::Key, uint32_t> keys[] = {
        {Qt::Key_End, end},      {Qt::Key_Home, 0},   {Qt::Key_Right, 11},
        {Qt::Key_PageDown, 112}, {Qt::Key_Left, 101}, {Qt::Key_PageUp, 0},
    };
    for (const auto& [key, viewStart] : keys) {
        QTest::keyClick(&w.view, key);
        QCOMPARE(scopeSession.viewStart, viewStart);
    }
    QTest::keyClick(&w.view, Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != &w.view);
}

// . and , (or Alt with the arrows) move the marker to the next and previous change of the
// channel the pointer is on, and the view with it when the change is off screen.
void TraceInputTest::edgeKeysJumpOnThePointersChannel() {
    // Channel 2 is high for samples 100 to 2999 (reads are counted over the port's life).
    const uint64_t first = ports_.lpt1.reads();
    ports_.lpt1.play({}, [first](uint64_t read) {
        return static_cast<uint8_t>(read >= first + 100 && read < first + 3000 ? kChannelBits[1]
                                                                               : 0);
    });
    CapturedWindow w;
    const TraceGeometry g = traceGeometry(w.view.width(), w.view.height(), 0, 5000, 1);
    QTest::mouseMove(&w.view, QPoint(50, g.baseline[1]));
    QTest::mouseClick(&w.view, Qt::LeftButton, {}, QPoint(50, g.baseline[1]));
    struct Press {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        uint32_t marker;
    };
    const Press presses[] = {
        {Qt::Key_Period, Qt::NoModifier, 100}, {Qt::Key_Period, Qt::NoModifier, 3000},
        {Qt::Key_Comma, Qt::NoModifier, 100},  {Qt::Key_Right, Qt::AltModifier, 3000},
        {Qt::Key_Left, Qt::AltModifier, 100},
    };
    for (const Press& press : presses) {
        QTest::keyClick(&w.view, press.key, press.modifiers);
        QCOMPARE(scopeSession.marker, std::optional<uint32_t>(press.marker));
        const std::optional<int> x =
            sampleX(viewGeometry(scopeSession, w.view.width(), 0), press.marker);
        QVERIFY2(x && *x < w.view.width(), "the change is on screen");
    }
}

// A click on the overview brings the view's middle there; a double click shows the whole capture.
void TraceInputTest::overviewMovesAndFitsTheView() {
    CapturedWindow w;
    QWidget& overview = *w.window.centralWidget()->findChild<OverviewStrip*>();
    QTest::mouseClick(&overview, Qt::LeftButton, {}, QPoint(overview.width() / 2, 10));
    const TraceGeometry g = viewGeometry(scopeSession, w.view.width(), w.view.height());
    QVERIFY(g.firstSample < 2500 && g.firstSample + g.sampleCount > 2500);
    QTest::mouseDClick(&overview, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(scopeSession.samplesPerPixel, 5000u / w.view.width() + 1);
    QCOMPARE(viewGeometry(scopeSession, w.view.width(), 0).sampleCount, 5000u);
}

PINPROBE_QT_TEST(TraceInputTest)
#include "qt_trace_input_test.moc"
