#include <QHelpEvent>
#include <QToolTip>
#include <QtTest>

#include "core/scope_session.h"
#include "display/trace_geometry.h"
#include "message_log.h"
#include "shell/qt_main_window.h"
#include "shell/qt_template_builder.h"
#include "shell/qt_trace_view.h"
#include "tests/shell/support/paint_counter.h"
#include "tests/shell/support/qt_test_registry.h"
#include "tests/shell/support/trace_colors.h"
#include "tests/support/time_base_maker.h"

namespace {

constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr QRgb kRed = qRgb(255, 0, 0);

constexpr int kWidth = 300;
constexpr int kHeight = 200;
constexpr uint32_t kSamples = 1000;
constexpr uint32_t kChannel1HighUntil = 50;

// Channel 1 is high for the first 50 samples, channel 3 always, the others never.
void loadSamples() {
    resetScopeSession();
    scopeSession.sampleData = obtainSampleBuffer(kSamples);
    for (uint32_t i = 0; i < kSamples; ++i) {
        scopeSession.sampleData[i] =
            (i < kChannel1HighUntil ? kChannelBits[0] : 0) | kChannelBits[2];
    }
    scopeSession.sampleLength = kSamples;
}

QImage paintedView() {
    GraphClass view;
    view.resize(kWidth, kHeight);
    return view.grab().toImage();
}

}  // namespace

class TraceViewTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { resetScopeSession(); }
    void gridAloneWithoutData();
    void samplesAreGreenOnTheirLevels();
    void aGapIsARedMarkUnderTheTraces();
    void refreshRepaintsBeforeReturning();
    void theViewsWidthComesFromTheResizeNotThePaint();
    void hoverShowsTheReadout();
    void zoomedOutASingleSamplePulseIsABar();
};

void TraceViewTest::gridAloneWithoutData() {
    resetScopeSession();
    const QImage image = paintedView();
    const TraceGeometry g = traceGeometry(kWidth, kHeight, 0, 0);
    for (int y = 0; y < kHeight; ++y) {
        const bool gridRow =
            std::find(std::begin(g.gridRow), std::end(g.gridRow), y) != std::end(g.gridRow);
        for (int x : {0, 1, kWidth / 2, kWidth - 1}) {
            QCOMPARE(image.pixel(x, y), gridRow ? kBlue : kBlack);
        }
    }
}

void TraceViewTest::samplesAreGreenOnTheirLevels() {
    loadSamples();
    const QImage image = paintedView();
    const TraceGeometry g = traceGeometry(kWidth, kHeight, 0, kSamples);
    QVERIFY(g.levelHeight > 0);
    const int high = g.levelHeight;
    struct Expect {
        int channel;  // 0-based
        int x;
        int lift;  // above the baseline
    };
    const Expect expected[] = {
        {0, 10, high}, {0, 200, 0}, {1, 10, 0}, {2, 10, high}, {2, 200, high}, {4, 150, 0},
    };
    for (const Expect& e : expected) {
        const int y = g.baseline[e.channel] - e.lift;
        QCOMPARE(image.pixel(e.x, y), kGreen);
        // Where the trace is not, the background stays black.
        const int other = g.baseline[e.channel] - (e.lift == 0 ? high : 0);
        QCOMPARE(image.pixel(e.x, other), kBlack);
    }
    for (int row : g.gridRow) {
        QCOMPARE(image.pixel(kWidth / 2, row), kBlue);
    }
}

// A gap that hid 2000 columns' worth of time: the strongest mark, three pixels wide and the
// height of the view, under the traces; the rest as it was.
void TraceViewTest::aGapIsARedMarkUnderTheTraces() {
    loadSamples();
    const QImage before = paintedView();
    makeTimeBase(scopeSession.timeBase, kSamples, 1000, {{120, 2'000'000}});
    const QImage image = paintedView();
    const TraceGeometry g = traceGeometry(kWidth, kHeight, 0, kSamples);
    for (int x = 119; x <= 121; ++x) {
        for (int y : {0, g.gridRow[1], kHeight / 2, kHeight - 1}) {
            QCOMPARE(image.pixel(x, y), kRed);
        }
        QCOMPARE(image.pixel(x, g.baseline[2] - g.levelHeight), kGreen);
    }
    for (int x = 0; x < kWidth; ++x) {
        if (x < 119 || x > 121) {
            QCOMPARE(image.pixel(x, kHeight / 2), before.pixel(x, kHeight / 2));
            QCOMPARE(image.pixel(x, g.baseline[0]), before.pixel(x, g.baseline[0]));
        }
    }
}

void TraceViewTest::refreshRepaintsBeforeReturning() {
    loadSamples();
    MessageLog log;
    DezoRaraClass window(log.handler());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QWidget* view = findControl(*window.centralWidget(), 220);
    QCOMPARE(view->cursor().shape(), Qt::ArrowCursor);
    PaintCounter counter;
    view->installEventFilter(&counter);
    window.windowSystem().refreshTraceView();
    QVERIFY(counter.paints > 0);
}

// Painting only shows the view: the width it keeps is the widget's, also without data.
void TraceViewTest::theViewsWidthComesFromTheResizeNotThePaint() {
    resetScopeSession();
    GraphClass view;
    view.resize(kWidth + 57, kHeight);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(scopeSession.view.viewWidth, kWidth + 57);
    loadSamples();
    scopeSession.view.viewWidth = 1;
    PaintCounter counter;
    view.installEventFilter(&counter);
    view.repaint();
    QVERIFY(counter.paints > 0);
    QCOMPARE(scopeSession.view.viewWidth, 1);
    view.resize(kWidth, kHeight);
    QCOMPARE(scopeSession.view.viewWidth, kWidth);
}

void TraceViewTest::hoverShowsTheReadout() {
    loadSamples();
    giveSessionEvenTimes(kSamples, 2e-6);
    scopeSession.marker = 10;
    GraphClass view;
    view.resize(kWidth, kHeight);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    auto hover = [&view](QPoint at) {
        QHelpEvent help(QEvent::ToolTip, at, view.mapToGlobal(at));
        QApplication::sendEvent(&view, &help);
    };
    const TraceGeometry g = traceGeometry(kWidth, kHeight, 0, kSamples);
    hover(QPoint(30, g.baseline[0]));
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QString::fromUtf8("Sample 30 at 60.00 \u00b5s\n"
                                                 "Error (channel 1, pin 15): high\n"
                                                 "From marker 10: +20 samples, +40.00 \u00b5s, "
                                                 "25.00 kHz"));
    // While it is up, the readout follows the pointer.
    QTest::mouseMove(&view, QPoint(60, g.baseline[2]));
    QVERIFY(QToolTip::text().startsWith(
        QStringLiteral("Sample 60 at 120.0 \u00b5s\nOut Of Paper (channel 3, pin 12): high\n")));
    // Without data there is nothing to tell.
    releaseSampleData();
    hover(QPoint(30, g.baseline[0]));
    QTRY_VERIFY(!QToolTip::isVisible());
}

// Below 1:1 a pulse one sample long is a bar across both levels of its column, every pixel from
// the 1 level down to the baseline; a busy stretch is a filled band.
void TraceViewTest::zoomedOutASingleSamplePulseIsABar() {
    resetScopeSession();
    constexpr uint32_t kLength = 500000;
    scopeSession.sampleData = obtainSampleBuffer(kLength);
    std::fill_n(scopeSession.sampleData, kLength, uint8_t{0});
    scopeSession.sampleData[123457] = kChannelBits[0];
    for (uint32_t i = 300000; i < 310000; i += 2) {
        scopeSession.sampleData[i] = kChannelBits[1];
    }
    scopeSession.sampleLength = kLength;
    scopeSession.view.scale = ViewScale::samplesPerColumn(2000);
    const QImage image = paintedView();
    const TraceGeometry g = viewGeometry(scopeSession, kWidth, kHeight);
    const int pulse = 123457 / 2000;
    for (int y = g.baseline[0] - g.levelHeight; y <= g.baseline[0]; ++y) {
        QCOMPARE(image.pixel(pulse, y), kGreen);
    }
    QCOMPARE(image.pixel(pulse, g.baseline[0] - g.levelHeight - 1), kBlack);
    QCOMPARE(image.pixel(pulse - 1, g.baseline[0] - 1), kBlack);
    QCOMPARE(image.pixel(pulse + 1, g.baseline[0] - 1), kBlack);
    for (int x = 150; x < 155; ++x) {
        QCOMPARE(image.pixel(x, g.baseline[1] - g.levelHeight / 2), kGreen);
    }
    QCOMPARE(image.pixel(155, g.baseline[1] - g.levelHeight / 2), kBlack);
}

PINPROBE_QT_TEST(TraceViewTest)
#include "qt_trace_view_test.moc"
