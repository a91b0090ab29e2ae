#include <QToolTip>
#include <QWheelEvent>
#include <QtTest>

#include "app/view/navigation.h"
#include "capture/sampling_worker.h"
#include "core/scope_session.h"
#include "display/trace_geometry.h"
#include "resources/command_ids.h"
#include "shell/qt_channel_labels.h"
#include "shell/qt_main_window.h"
#include "shell/qt_overview_strip.h"
#include "shell/qt_program_scroll_bar.h"
#include "shell/qt_template_builder.h"
#include "shell/qt_time_ruler.h"
#include "tests/shell/support/qt_test_registry.h"
#include "tests/shell/support/trace_colors.h"
#include "tests/support/scripted_port.h"

namespace {

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
    void keysOverTheTracesGiveThemTheFocus();
    void edgeKeysWorkBeforeThePointerMovedAndTheReadoutFollows();
    void aClickBesideTheTracesGivesThemTheFocus();
    void focusFrameShowsOnlyAfterTheKeyboard();

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
    QCOMPARE(scopeSession.view.viewStart, uint32_t(kLineStep));
    QTest::keyClick(&bar, Qt::Key_Right);
    QCOMPARE(scopeSession.view.viewStart, uint32_t(2 * kLineStep));
    w.turnWheel(QPoint(100, 40), 240);
    QCOMPARE(scopeSession.view.viewStart, 0u);
    QCOMPARE(bar.value(), 0);
    QCOMPARE(scopeSession.view.zoomStep(), 1);
}

// Ctrl+wheel takes the zoom steps the buttons take; the sample under the pointer stays there.
void TraceInputTest::ctrlWheelZoomsAsTheZoomButtons() {
    CapturedWindow w;
    w.window.windowSystem().sendMessage(WindowMessage{MSG_HSCROLL, SCROLL_THUMB_POSITION, 1000});
    w.turnWheel(QPoint(0, 40), 120, Qt::ControlModifier);
    QCOMPARE(scopeSession.view.zoomStep(), 2);
    QCOMPARE(scopeSession.view.viewStart, 1000u);
    QTest::mouseClick(findControl(*w.window.centralWidget(), CMD_ZOOM_IN), Qt::LeftButton);
    QCOMPARE(scopeSession.view.zoomStep(), 4);

    const QPoint pointer(200, 40);
    auto sampleUnderPointer = [&] {
        return sampleAtX(viewGeometry(scopeSession, w.view.width(), w.view.height()), pointer.x());
    };
    const std::optional<uint32_t> held = sampleUnderPointer();
    QCOMPARE(held, std::optional<uint32_t>(1050));
    w.turnWheel(pointer, -120, Qt::ControlModifier);
    QCOMPARE(scopeSession.view.zoomStep(), 2);
    QCOMPARE(sampleUnderPointer(), held);
    QCOMPARE(scopeSession.view.viewStart, 950u);
    QTest::mouseClick(findControl(*w.window.centralWidget(), CMD_ZOOM_OUT), Qt::LeftButton);
    QCOMPARE(scopeSession.view.zoomStep(), 1);
}

// Whatever had the keyboard before, a click on the traces gives it to them, and the scroll keys
// then move the view as the scroll bar's do. Tab moves on from them.
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
        QCOMPARE(scopeSession.view.viewStart, viewStart);
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
    const TraceGeometry g = traceGeometry(w.view.width(), w.view.height(), 0, 5000);
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

// A key the focused control leaves alone acts on the traces while the pointer is over them, and
// the traces take the focus; elsewhere it does nothing. Keys the control takes stay its own.
void TraceInputTest::keysOverTheTracesGiveThemTheFocus() {
    enum class Effect { None, MarkerAtTheChange, Scrolled };
    struct Case {
        int focused;
        bool overTraces;
        Qt::Key key;
        Effect effect;
        bool tracesTakeTheFocus;
    };
    const Case cases[] = {
        {CMD_ZOOM_IN, true, Qt::Key_Period, Effect::MarkerAtTheChange, true},
        {1015, true, Qt::Key_End, Effect::Scrolled, true},
        {IDC_SCROLL_BAR, true, Qt::Key_Period, Effect::MarkerAtTheChange, true},
        {CMD_ZOOM_IN, false, Qt::Key_Period, Effect::None, false},
        {IDC_SCROLL_BAR, true, Qt::Key_End, Effect::Scrolled, false},  // the scroll bar's own
    };
    for (const Case& c : cases) {
        // Channel 1 changes at sample 300 (reads are counted over the port's life).
        const uint64_t first = ports_.lpt1.reads();
        ports_.lpt1.play({}, [first](uint64_t read) {
            return static_cast<uint8_t>(read >= first + 300 ? kChannelBits[0] : 0);
        });
        CapturedWindow w;
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        const TraceGeometry g = traceGeometry(w.view.width(), w.view.height(), 0, 5000);
        // The pointer crossed channel 1, and stays there or moves on to New Sample.
        const QPoint onChannel1(50, g.baseline[0]);
        QMouseEvent move(QEvent::MouseMove, onChannel1, w.view.mapToGlobal(onChannel1),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&w.view, &move);
        QWidget* newSample = findControl(*w.window.centralWidget(), CMD_NEW_SAMPLE);
        QCursor::setPos(c.overTraces ? w.view.mapToGlobal(onChannel1)
                                     : newSample->mapToGlobal(QPoint(5, 5)));
        QWidget* control = findControl(*w.window.centralWidget(), c.focused);
        control->setFocus();
        QTest::keyClick(control, c.key);
        const Effect seen =
            scopeSession.marker == std::optional<uint32_t>(300)
                ? Effect::MarkerAtTheChange
                : (scopeSession.view.viewStart > 0 ? Effect::Scrolled : Effect::None);
        QVERIFY2(seen == c.effect, qPrintable(QString::number(c.focused)));
        QCOMPARE(QApplication::focusWidget() == &w.view, c.tracesTakeTheFocus);
    }
}

// With the traces focused by the keyboard and the pointer never over them, . jumps on channel 1;
// a readout that is up measures from the marker the key moved, not the one before.
void TraceInputTest::edgeKeysWorkBeforeThePointerMovedAndTheReadoutFollows() {
    const uint64_t first = ports_.lpt1.reads();
    ports_.lpt1.play({}, [first](uint64_t read) {
        return static_cast<uint8_t>(read >= first + 300 ? kChannelBits[0] : 0);
    });
    CapturedWindow w;
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    QCursor::setPos(
        findControl(*w.window.centralWidget(), CMD_NEW_SAMPLE)->mapToGlobal(QPoint(5, 5)));
    w.view.setFocus(Qt::TabFocusReason);
    const TraceGeometry g = traceGeometry(w.view.width(), w.view.height(), 0, 5000);
    const QPoint at(40, g.baseline[0]);
    QHelpEvent help(QEvent::ToolTip, at, w.view.mapToGlobal(at));
    QApplication::sendEvent(&w.view, &help);
    QTRY_VERIFY(QToolTip::isVisible());
    QVERIFY(!QToolTip::text().contains(QStringLiteral("marker")));
    QTest::keyClick(&w.view, Qt::Key_Period);
    QCOMPARE(scopeSession.marker, std::optional<uint32_t>(300));
    QVERIFY2(QToolTip::text().contains(QStringLiteral("From marker 300:")),
             qPrintable(QToolTip::text()));
    QToolTip::hideText();
}

// A click on the overview, the ruler or the channel labels leaves the keyboard with the traces.
void TraceInputTest::aClickBesideTheTracesGivesThemTheFocus() {
    CapturedWindow w;
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    QWidget& client = *w.window.centralWidget();
    for (QWidget* band : {static_cast<QWidget*>(client.findChild<OverviewStrip*>()),
                          static_cast<QWidget*>(client.findChild<TimeRuler*>()),
                          static_cast<QWidget*>(client.findChild<ChannelLabels*>())}) {
        findControl(client, CMD_NEW_SAMPLE)->setFocus();
        QTest::mouseClick(band, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(QApplication::focusWidget(), &w.view);
    }
}

// The traces show a frame while they have the focus the keyboard gave them, as the style's
// controls do; a click gives the focus and leaves the picture as it was.
void TraceInputTest::focusFrameShowsOnlyAfterTheKeyboard() {
    CapturedWindow w;
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    const QImage plain = w.picture();
    const QRgb frame = w.view.palette().color(QPalette::Highlight).rgb();
    QTest::mouseClick(&w.view, Qt::RightButton, {}, QPoint(50, 40));
    QCOMPARE(QApplication::focusWidget(), &w.view);
    QCOMPARE(w.picture(), plain);

    QTest::keyClick(&w.view, Qt::Key_Tab);
    QCOMPARE(w.picture(), plain);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), &w.view);
    const QImage framed = w.picture();
    const int right = w.view.width() - 1;
    const int bottom = w.view.height() - 1;
    for (const QPoint edge : {QPoint(0, bottom / 2), QPoint(right, bottom / 2),
                              QPoint(right / 2, 0), QPoint(right / 2, bottom)}) {
        QCOMPARE(framed.pixel(edge), frame);
    }
    QCOMPARE(framed.pixel(right / 2, bottom / 2), plain.pixel(right / 2, bottom / 2));
    QTest::keyClick(&w.view, Qt::Key_Tab);
    QCOMPARE(w.picture(), plain);
}

// A click on the overview brings the view's middle there; a double click shows the whole capture.
void TraceInputTest::overviewMovesAndFitsTheView() {
    CapturedWindow w;
    QWidget& overview = *w.window.centralWidget()->findChild<OverviewStrip*>();
    QTest::mouseClick(&overview, Qt::LeftButton, {}, QPoint(overview.width() / 2, 10));
    const TraceGeometry g = viewGeometry(scopeSession, w.view.width(), w.view.height());
    QVERIFY(g.firstSample < 2500 && g.firstSample + g.sampleCount > 2500);
    QTest::mouseDClick(&overview, Qt::LeftButton, {}, QPoint(10, 10));
    const TraceGeometry whole = viewGeometry(scopeSession, w.view.width(), 0);
    QCOMPARE(whole.sampleCount, 5000u);
    QCOMPARE(sampleX(whole, 4999), std::optional<int>(w.view.width() - 1));
}

PINPROBE_QT_TEST(TraceInputTest)
#include "qt_trace_input_test.moc"
