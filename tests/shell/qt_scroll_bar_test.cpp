#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>
#include <QtTest>

#include "app/view/navigation.h"
#include "message_log.h"
#include "shell/qt_main_window.h"
#include "shell/qt_program_scroll_bar.h"
#include "tests/shell/support/qt_test_registry.h"

namespace {

// Reaches the bar's protected style option through a member pointer taken in a derived class.
struct StyleAccess : QScrollBar {
    static auto initOption() { return &StyleAccess::initStyleOption; }
};

QRect partRect(const QScrollBar& bar, QStyle::SubControl part) {
    QStyleOptionSlider option;
    (bar.*StyleAccess::initOption())(&option);
    return bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, part, &bar);
}

// A main window whose procedure logs every scroll message and puts the thumb at `programChoice`.
struct ScrollFixture {
    MessageLog log;
    int32_t programChoice = 1234;
    DezoRaraClass window;
    ProgramScrollBar& bar;

    ScrollFixture()
        : window(handlerFor(log, programChoice)),
          bar(*window.centralWidget()->findChild<ProgramScrollBar*>()) {
        window.windowSystem().setScrollRange(0, 495000, true);
        window.windowSystem().setScrollPosition(1000, true);
        window.show();
    }

    static QtWindowSystem::MessageHandler handlerFor(MessageLog& log, int32_t& choice) {
        log.reply = [&choice](WindowSystem& ws, const WindowMessage& m) {
            if (m.id == MSG_HSCROLL) {
                ws.setScrollPosition(choice, true);
            }
            return MessageResult{m.id != MSG_CLOSE, 0};
        };
        return log.handler();
    }

    std::vector<std::pair<uint32_t, int32_t>> scrolls() const {
        std::vector<std::pair<uint32_t, int32_t>> codes;
        for (const WindowMessage& m : log.messages) {
            if (m.id == MSG_HSCROLL) {
                codes.emplace_back(m.code, m.position);
            }
        }
        return codes;
    }
};

using Scrolls = std::vector<std::pair<uint32_t, int32_t>>;

}  // namespace

class ScrollBarTest : public QObject {
    Q_OBJECT

private slots:
    void clicksBecomeScrollCodes_data();
    void clicksBecomeScrollCodes();
    void thumbDragGivesFullPositions();
    void thumbStaysWhenTheProgramLeavesIt();
    void keysBecomeScrollCodes_data();
    void keysBecomeScrollCodes();
    void wheelNotchesAreLines();
    void rangeIsKeptAsTheProgramSetIt();
};

void ScrollBarTest::clicksBecomeScrollCodes_data() {
    QTest::addColumn<int>("part");
    QTest::addColumn<int>("code");
    QTest::newRow("page right") << int(QStyle::SC_ScrollBarAddPage) << int(SCROLL_PAGE_RIGHT);
    QTest::newRow("page left") << int(QStyle::SC_ScrollBarSubPage) << int(SCROLL_PAGE_LEFT);
    QTest::newRow("arrow right") << int(QStyle::SC_ScrollBarAddLine) << int(SCROLL_LINE_RIGHT);
    QTest::newRow("arrow left") << int(QStyle::SC_ScrollBarSubLine) << int(SCROLL_LINE_LEFT);
}

void ScrollBarTest::clicksBecomeScrollCodes() {
    QFETCH(int, part);
    QFETCH(int, code);
    ScrollFixture f;
    // Thumb in the middle, so that there is page area on both sides.
    f.window.windowSystem().setScrollPosition(250000, true);
    const QRect rect = partRect(f.bar, QStyle::SubControl(part));
    QVERIFY(!rect.isEmpty());
    QTest::mouseClick(&f.bar, Qt::LeftButton, {}, rect.center());
    QCOMPARE(f.scrolls(), (Scrolls{{uint32_t(code), 0}}));
    QCOMPARE(f.bar.value(), f.programChoice);
    QCOMPARE(f.bar.sliderPosition(), f.programChoice);
}

void ScrollBarTest::thumbDragGivesFullPositions() {
    ScrollFixture f;
    const QRect thumb = partRect(f.bar, QStyle::SC_ScrollBarSlider);
    const QRect groove = partRect(f.bar, QStyle::SC_ScrollBarGroove);
    QTest::mousePress(&f.bar, Qt::LeftButton, {}, thumb.center());
    f.programChoice = 40000;
    QTest::mouseMove(&f.bar, QPoint(groove.right() + 50, thumb.center().y()));
    QCOMPARE(f.bar.value(), 40000);
    f.programChoice = 40001;
    QTest::mouseRelease(&f.bar, Qt::LeftButton, {},
                        QPoint(groove.right() + 50, thumb.center().y()));
    // Dragged past the end: the whole range, far beyond 16 bits, and the same on release.
    QCOMPARE(f.scrolls(), (Scrolls{{SCROLL_THUMB_TRACK, 495000}, {SCROLL_THUMB_POSITION, 495000}}));
    QCOMPARE(f.bar.value(), 40001);
    QCOMPARE(f.bar.sliderPosition(), 40001);
}

void ScrollBarTest::thumbStaysWhenTheProgramLeavesIt() {
    ScrollFixture f;
    f.log.reply = nullptr;
    QTest::mouseClick(&f.bar, Qt::LeftButton, {},
                      partRect(f.bar, QStyle::SC_ScrollBarAddPage).center());
    const QRect thumb = partRect(f.bar, QStyle::SC_ScrollBarSlider);
    QTest::mousePress(&f.bar, Qt::LeftButton, {}, thumb.center());
    QTest::mouseMove(&f.bar, thumb.center() + QPoint(40, 0));
    QCOMPARE(f.bar.sliderPosition(), 1000);
    QTest::mouseRelease(&f.bar, Qt::LeftButton, {}, thumb.center() + QPoint(40, 0));
    QCOMPARE(f.scrolls().size(), size_t{3});
    QCOMPARE(f.bar.value(), 1000);
    QCOMPARE(f.bar.sliderPosition(), 1000);
}

void ScrollBarTest::keysBecomeScrollCodes_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("code");
    QTest::newRow("left") << int(Qt::Key_Left) << int(SCROLL_LINE_LEFT);
    QTest::newRow("right") << int(Qt::Key_Right) << int(SCROLL_LINE_RIGHT);
    QTest::newRow("up") << int(Qt::Key_Up) << int(SCROLL_LINE_LEFT);
    QTest::newRow("down") << int(Qt::Key_Down) << int(SCROLL_LINE_RIGHT);
    QTest::newRow("page up") << int(Qt::Key_PageUp) << int(SCROLL_PAGE_LEFT);
    QTest::newRow("page down") << int(Qt::Key_PageDown) << int(SCROLL_PAGE_RIGHT);
    QTest::newRow("home") << int(Qt::Key_Home) << int(SCROLL_LEFT);
    QTest::newRow("end") << int(Qt::Key_End) << int(SCROLL_RIGHT);
}

void ScrollBarTest::keysBecomeScrollCodes() {
    QFETCH(int, key);
    QFETCH(int, code);
    ScrollFixture f;
    QTest::keyClick(&f.bar, Qt::Key(key));
    QCOMPARE(f.scrolls(), (Scrolls{{uint32_t(code), 0}}));
    QCOMPARE(f.bar.value(), f.programChoice);
}

void ScrollBarTest::wheelNotchesAreLines() {
    ScrollFixture f;
    const QPointF at = f.bar.rect().center();
    auto turn = [&](int angle) {
        QWheelEvent wheel(at, f.bar.mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&f.bar, &wheel);
    };
    turn(-120);
    turn(60);  // half a notch back and half forward: nothing yet
    turn(60);
    turn(240);
    QCOMPARE(f.scrolls(), (Scrolls{{SCROLL_LINE_RIGHT, 0},
                                   {SCROLL_LINE_LEFT, 0},
                                   {SCROLL_LINE_LEFT, 0},
                                   {SCROLL_LINE_LEFT, 0}}));
    QCOMPARE(f.bar.value(), f.programChoice);
}

void ScrollBarTest::rangeIsKeptAsTheProgramSetIt() {
    ScrollFixture f;
    WindowSystem& ws = f.window.windowSystem();
    ws.setScrollRange(0, -200, false);
    QCOMPARE(ws.scrollRange().low, 0);
    QCOMPARE(ws.scrollRange().high, -200);
    ws.setScrollPosition(50, true);
    QCOMPARE(f.bar.value(), 0);
    ws.setScrollRange(0, 1000, false);
    ws.setScrollPosition(5000, true);
    QCOMPARE(f.bar.value(), 1000);
    QCOMPARE(f.scrolls(), Scrolls{});
}

PINPROBE_QT_TEST(ScrollBarTest)
#include "qt_scroll_bar_test.moc"
