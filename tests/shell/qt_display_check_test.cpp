#include <QtTest>

#include "shell/qt_display_check.h"
#include "tests/shell/support/qt_test_registry.h"

// Which environments and arguments let the program go on to make its application: a display
// named, or a platform chosen by name, which Qt itself then tries.
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
    QTest::addColumn<QByteArrayList>("arguments");
    QTest::addColumn<bool>("goesOn");
    const QByteArray none;
    const QByteArrayList simulate{"--simulate"};
    QTest::newRow("nothing named") << none << none << none << simulate << false;
    QTest::newRow("X display") << QByteArray(":0") << none << none << simulate << true;
    QTest::newRow("Wayland") << none << QByteArray("wayland-0") << none << simulate << true;
    QTest::newRow("offscreen") << none << none << QByteArray("offscreen") << simulate << true;
    QTest::newRow("xcb chosen") << none << none << QByteArray("xcb") << simulate << true;
    QTest::newRow("-platform") << none << none << none << QByteArrayList{"-platform", "offscreen"}
                               << true;
    QTest::newRow("--platform") << none << none << none << QByteArrayList{"--platform", "offscreen"}
                                << true;
    QTest::newRow("a file named platform")
        << none << none << none << QByteArrayList{"--", "platform"} << false;
}

void DisplayCheckTest::expectDisplay() {
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, wayland);
    QFETCH(QByteArray, platform);
    QFETCH(QByteArrayList, arguments);
    QFETCH(bool, goesOn);
    std::vector<char*> argv{const_cast<char*>("pinprobe")};
    for (QByteArray& argument : arguments) {
        argv.push_back(argument.data());
    }
    const QByteArray savedDisplay = qgetenv("DISPLAY");
    const QByteArray savedWayland = qgetenv("WAYLAND_DISPLAY");
    qputenv("DISPLAY", display);
    qputenv("WAYLAND_DISPLAY", wayland);
    qputenv("QT_QPA_PLATFORM", platform);
    const bool wentOn = ::expectDisplay(static_cast<int>(argv.size()), argv.data());
    if (wentOn) {
        displayOpened();
    }
    qputenv("DISPLAY", savedDisplay);
    qputenv("WAYLAND_DISPLAY", savedWayland);
    QCOMPARE(wentOn, goesOn);
}

PINPROBE_QT_TEST(DisplayCheckTest)
#include "qt_display_check_test.moc"
