#include <QHelpEvent>
#include <QToolTip>
#include <QtTest>

#include "core/scope_session.h"
#include "shell/qt_status_line.h"
#include "tests/shell/support/qt_test_registry.h"
#include "tests/support/session_samples.h"
#include "tests/support/time_base_maker.h"

// The status line cuts a text too long for it short, and shows it whole as its tooltip.
class StatusLineTest : public QObject {
    Q_OBJECT

private slots:
    void init() { resetScopeSession(); }
    void cleanup() { resetScopeSession(); }
    void tooltipShowsALongTextWhole_data();
    void tooltipShowsALongTextWhole();
};

void StatusLineTest::tooltipShowsALongTextWhole_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("shown");
    QTest::newRow("too narrow") << 200 << true;
    QTest::newRow("wide enough") << 1600 << false;
}

void StatusLineTest::tooltipShowsALongTextWhole() {
    QFETCH(int, width);
    QFETCH(bool, shown);
    loadSessionSamples(std::vector<uint8_t>(1000, 0x08));
    giveSessionEvenTimes(1000, 1e-6);
    scopeSession.samplingPriority = "ordinary: no permission; see README 'Clean captures'";
    QWidget window;
    StatusLine line(&window);
    line.resize(width, line.neededHeight());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QToolTip::hideText();
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), line.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&line, &help);
    QCOMPARE(QToolTip::isVisible(), shown);
    if (shown) {
        QCOMPARE(QToolTip::text(), line.text());
        QVERIFY(line.text().endsWith("see README 'Clean captures'"));
    }
}

PINPROBE_QT_TEST(StatusLineTest)
#include "qt_status_line_test.moc"
