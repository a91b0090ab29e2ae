#include <QtTest>

#include "shell/qt_display_check.h"
#include "tests/shell/support/qt_test_registry.h"

// Which environments let the program go on to make its application: a display named, or a
// platform chosen by name, which Qt itself then tries.
class DisplayCheckTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { qputenv("QT_QPA_PLATFORM", "offscreen"); }
    void expectDisplay_data();
    void expectDisplay();
};

void DisplayCheckTest::expectDisplay_data() {
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("wayland");
    QTest::addColumn<QByteArray>("platform");
    QTest::addColumn<bool>("goesOn");
    QTest::newRow("nothing named") << QByteArray() << QByteArray() << QByteArray() << false;
    QTest::newRow("X display") << QByteArray(":0") << QByteArray() << QByteArray() << true;
    QTest::newRow("Wayland") << QByteArray() << QByteArray("wayland-0") << QByteArray() << true;
    QTest::newRow("offscreen") << QByteArray() << QByteArray() << QByteArray("offscreen") << true;
    QTest::newRow("xcb chosen") << QByteArray() << QByteArray() << QByteArray("xcb") << true;
}

void DisplayCheckTest::expectDisplay() {
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, wayland);
    QFETCH(QByteArray, platform);
    QFETCH(bool, goesOn);
    const QByteArray savedDisplay = qgetenv("DISPLAY");
    const QByteArray savedWayland = qgetenv("WAYLAND_DISPLAY");
    qputenv("DISPLAY", display);
    qputenv("WAYLAND_DISPLAY", wayland);
    qputenv("QT_QPA_PLATFORM", platform);
    const bool wentOn = ::expectDisplay();
    if (wentOn) {
        displayOpened();
    }
    qputenv("DISPLAY", savedDisplay);
    qputenv("WAYLAND_DISPLAY", savedWayland);
    QCOMPARE(wentOn, goesOn);
}

PINPROBE_QT_TEST(DisplayCheckTest)
#include "qt_display_check_test.moc"
