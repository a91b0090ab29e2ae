#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>
#include <cmath>

#include "message_log.h"
#include "resources/command_ids.h"
#include "shell/qt_main_window.h"
#include "shell/qt_template_builder.h"

namespace {

// The layout in dialog units, as the window is meant to look.
struct Placement {
    int id;
    const char* label;  // for the controls without id
    int x, y, width, height;
};

constexpr Placement kLayout[] = {
    {240, nullptr, 54, 190, 259, 9},  {110, nullptr, 8, 206, 59, 15},
    {2001, nullptr, 34, 65, 8, 8},    {2003, nullptr, 34, 133, 8, 8},
    {2002, nullptr, 34, 99, 8, 8},    {2000, nullptr, 34, 31, 8, 8},
    {115, nullptr, 78, 206, 44, 15},  {112, nullptr, 276, 206, 37, 15},
    {113, nullptr, 231, 206, 37, 15}, {1015, nullptr, 8, 31, 8, 8},
    {1016, nullptr, 8, 65, 8, 8},     {1017, nullptr, 8, 99, 8, 8},
    {1018, nullptr, 8, 133, 8, 8},    {220, nullptr, 54, 6, 259, 176},
    {-1, "Port   Mem", 8, 19, 34, 9}, {116, nullptr, 132, 206, 44, 15},
    {2004, nullptr, 34, 167, 8, 8},   {1019, nullptr, 8, 167, 8, 8},
    {-1, "   Trigger", 8, 6, 34, 9},
};

// Dialog units to pixels straight from the font: a quarter of the average letter width, an eighth
// of the height, rounded.
QRect expectedPixels(const QFont& font, int x, int y, int width, int height) {
    const QFontMetrics metrics(font);
    const double letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const double across = std::lround(letters / 52.0) / 4.0;
    const double down = metrics.height() / 8.0;
    return QRect(std::lround(x * across), std::lround(y * down), std::lround(width * across),
                 std::lround(height * down));
}

QWidget* labelWithText(QWidget& root, const QString& text) {
    for (QLabel* label : root.findChildren<QLabel*>()) {
        if (label->text() == text) {
            return label;
        }
    }
    return nullptr;
}

// "Title[entry=id*,-,Sub[...]]": a mark is "*", a separator "-".
QString describeMenu(const QList<QAction*>& actions) {
    QStringList parts;
    for (QAction* action : actions) {
        if (action->isSeparator()) {
            parts << QStringLiteral("-");
        } else if (action->menu() != nullptr) {
            parts << action->text() + "[" + describeMenu(action->menu()->actions()) + "]";
        } else {
            parts << QStringLiteral("%1=%2%3")
                         .arg(action->text())
                         .arg(action->data().toInt())
                         .arg(action->isChecked() ? "*" : "");
        }
    }
    return parts.join(',');
}

QAction* findAction(QMenuBar& bar, int id) {
    for (QAction* action : bar.findChildren<QAction*>()) {
        if (action->menu() == nullptr && action->data().toInt() == id) {
            return action;
        }
    }
    return nullptr;
}

MessageResult answerInit(WindowSystem&, const WindowMessage& m) {
    return MessageResult{m.id != MSG_CLOSE, m.id == MSG_INITDIALOG ? 1 : 0};
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void controlsSitAtTheirTemplatePlaces();
    void tabVisitsTheTabStopsInTemplateOrder();
    void menuHasEveryEntryWithItsInitialMarks();
    void menuShowsShortcutsThatSendTheirCommands();
    void triggerBoxesNameTheirChannel();
    void chosenMenuEntryKeepsItsMarkUntilTheProgramSetsIt();
    void buttonsAndCheckBoxesSendTheirIds();
    void mnemonicsPressTheButtons();
    void enterAndEscapeGoToTheProcedureAndCloseNothing();
    void initialisationComesBeforeTheWindowIsShown();
    void closingDestroysOnce_data();
    void closingDestroysOnce();
    void endOfSessionFollowsTheAnswer();
    void resizingMovesNothing();
    void windowLooksAsTemplated();
};

void MainWindowTest::controlsSitAtTheirTemplatePlaces() {
    MessageLog log;
    DezoRaraClass window(log.handler());
    QWidget& client = *window.centralWidget();
    for (const Placement& p : kLayout) {
        QWidget* control =
            p.label != nullptr ? labelWithText(client, p.label) : findControl(client, p.id);
        QVERIFY2(control != nullptr,
                 p.label != nullptr ? p.label : qPrintable(QString::number(p.id)));
        QCOMPARE(control->geometry(), expectedPixels(client.font(), p.x, p.y, p.width, p.height));
    }
    // Exactly these, in this order of creation.
    QList<int> created;
    for (QObject* child : client.children()) {
        if (auto* widget = qobject_cast<QWidget*>(child)) {
            created << controlId(*widget);
        }
    }
    QList<int> expected;
    for (const Placement& p : kLayout) {
        expected << p.id;
    }
    QCOMPARE(created, expected);
}

void MainWindowTest::tabVisitsTheTabStopsInTemplateOrder() {
    MessageLog log;
    log.reply = answerInit;
    DezoRaraClass window(log.handler());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QList<int> visited;
    for (int i = 0; i < 14; ++i) {
        visited << controlId(*QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    const QList<int> expected = {240, 110,  2001, 2003, 2002, 2000, 112,
                                 113, 1015, 1016, 1017, 1018, 2004, 1019};
    QCOMPARE(visited, expected);
    QCOMPARE(controlId(*QApplication::focusWidget()), 240);  // and round again
}

void MainWindowTest::menuHasEveryEntryWithItsInitialMarks() {
    MessageLog log;
    DezoRaraClass window(log.handler());
    const QString expected = QStringLiteral(
        "&File[&New=110,&Open...=120,&Save=130,Save &As...=140,-,E&xit=150],"
        "&Tools[Cut Before=40014,Cut After=40015,-,Zoom In=112,Zoom Out=113,-,"
        "Memory Trigger=115],"
        "&Settings[Size[5000=40004*,30'000=40005,500'000=40006],"
        "Speed[Fastest=40007*,Fast=40008,Slow=40009],-,"
        "Port[LPT1=40019*,LPT2=40020,LPT3=40021]],"
        "&Help[Help=40010,Connections=40011],&About[About=40013]");
    QCOMPARE(describeMenu(window.menuBar()->actions()), expected);
}

void MainWindowTest::menuShowsShortcutsThatSendTheirCommands() {
    MessageLog log;
    log.reply = answerInit;
    DezoRaraClass window(log.handler());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const std::map<int, QString> shown = {
        {CMD_NEW_SAMPLE, "F5"},        {CMD_OPEN, "Ctrl+O"}, {CMD_SAVE, "Ctrl+S"},
        {CMD_SAVE_AS, "Ctrl+Shift+S"}, {CMD_EXIT, "Ctrl+Q"}, {CMD_ZOOM_IN, "Ctrl++"},
        {CMD_ZOOM_OUT, "Ctrl+-"},
    };
    for (QAction* action : window.menuBar()->findChildren<QAction*>()) {
        if (action->menu() == nullptr && !action->isSeparator()) {
            const auto found = shown.find(action->data().toInt());
            QCOMPARE(action->shortcut().toString(QKeySequence::PortableText),
                     found != shown.end() ? found->second : QString());
        }
    }
    const std::pair<QKeyCombination, int> keys[] = {
        {Qt::Key_F5, CMD_NEW_SAMPLE},
        {Qt::ControlModifier | Qt::Key_O, CMD_OPEN},
        {Qt::ControlModifier | Qt::Key_S, CMD_SAVE},
        {Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_S, CMD_SAVE_AS},
        {Qt::ControlModifier | Qt::Key_Plus, CMD_ZOOM_IN},
        {Qt::ControlModifier | Qt::Key_Equal, CMD_ZOOM_IN},
        {Qt::ControlModifier | Qt::Key_Minus, CMD_ZOOM_OUT},
        {Qt::ControlModifier | Qt::Key_Q, CMD_EXIT},
    };
    std::vector<int> expected;
    for (const auto& [key, id] : keys) {
        QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
        expected.push_back(id);
        QCOMPARE(log.commands(), expected);
    }
}

void MainWindowTest::triggerBoxesNameTheirChannel() {
    MessageLog log;
    DezoRaraClass window(log.handler());
    const char* const lines[] = {"Error (channel 1, pin 15)", "Select (channel 2, pin 13)",
                                 "Out Of Paper (channel 3, pin 12)",
                                 "Acknowledge (channel 4, pin 10)", "Busy (channel 5, pin 11)"};
    for (int channel = 0; channel < 5; ++channel) {
        const QString line = QString::fromLatin1(lines[channel]);
        QCOMPARE(findControl(*window.centralWidget(), CMD_PORT_TRIGGER_FIRST + channel)->toolTip(),
                 "Port trigger: a change of " + line + " starts the next capture");
        QCOMPARE(
            findControl(*window.centralWidget(), CMD_MEMORY_TRIGGER_FIRST + channel)->toolTip(),
            "Memory trigger: MemTrig jumps to the next change of " + line);
    }
    for (int id : {110, 112, 113, 115, 116, 220, 240}) {
        QVERIFY(findControl(*window.centralWidget(), id)->toolTip().isEmpty());
    }
}

void MainWindowTest::chosenMenuEntryKeepsItsMarkUntilTheProgramSetsIt() {
    MessageLog log;
    DezoRaraClass window(log.handler());
    QAction* marked = findAction(*window.menuBar(), CMD_SIZE_5000);
    QAction* unmarked = findAction(*window.menuBar(), CMD_SIZE_500000);
    QVERIFY(marked != nullptr && unmarked != nullptr);
    marked->trigger();
    unmarked->trigger();
    QVERIFY(marked->isChecked());
    QVERIFY(!unmarked->isChecked());
    QCOMPARE(log.commands(), (std::vector<int>{CMD_SIZE_5000, CMD_SIZE_500000}));

    window.windowSystem().checkMenuItem(CMD_SIZE_5000, false);
    window.windowSystem().checkMenuItem(CMD_SIZE_500000, true);
    QVERIFY(!marked->isChecked());
    QVERIFY(unmarked->isChecked());
    // An entry outside the groups can carry a mark too.
    window.windowSystem().checkMenuItem(CMD_EXIT, true);
    QVERIFY(findAction(*window.menuBar(), CMD_EXIT)->isChecked());
}

void MainWindowTest::buttonsAndCheckBoxesSendTheirIds() {
    MessageLog log;
    DezoRaraClass window(log.handler());
    window.show();
    const std::vector<int> ids = {110, 115, 116, 113, 112, 1015, 1017, 2000, 2004};
    for (int id : ids) {
        QTest::mouseClick(findControl(*window.centralWidget(), id), Qt::LeftButton);
    }
    QCOMPARE(log.commands(), ids);
    // Check boxes mark themselves; the others stay clear.
    auto* checked = qobject_cast<QCheckBox*>(findControl(*window.centralWidget(), 1017));
    auto* clear = qobject_cast<QCheckBox*>(findControl(*window.centralWidget(), 1016));
    QVERIFY(checked->isChecked());
    QVERIFY(!clear->isChecked());
    QTest::mouseClick(checked, Qt::LeftButton);
    QVERIFY(!checked->isChecked());
}

void MainWindowTest::mnemonicsPressTheButtons() {
    MessageLog log;
    DezoRaraClass window(log.handler());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const std::pair<Qt::Key, int> keys[] = {
        {Qt::Key_N, 110}, {Qt::Key_M, 115}, {Qt::Key_B, 116}, {Qt::Key_O, 113}, {Qt::Key_I, 112}};
    std::vector<int> expected;
    for (const auto& [key, id] : keys) {
        QTest::keyClick(&window, key, Qt::AltModifier);
        expected.push_back(id);
        QTRY_COMPARE(log.commands(), expected);
    }
}

void MainWindowTest::enterAndEscapeGoToTheProcedureAndCloseNothing() {
    MessageLog log;
    DezoRaraClass window(log.handler());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QWidget* checkBox = findControl(*window.centralWidget(), 2000);
    checkBox->setFocus();
    QTest::keyClick(checkBox, Qt::Key_Return);
    QTest::keyClick(checkBox, Qt::Key_Escape);
    QCOMPARE(log.commands(), (std::vector<int>{CMD_OK, CMD_CANCEL}));
    QVERIFY(window.isVisible());
    QCOMPARE(log.count(MSG_CLOSE), 0);
    // A push button with the focus takes Enter itself.
    QWidget* zoomIn = findControl(*window.centralWidget(), CMD_ZOOM_IN);
    zoomIn->setFocus();
    QTest::keyClick(zoomIn, Qt::Key_Return);
    QCOMPARE(log.commands().back(), CMD_ZOOM_IN);
}

void MainWindowTest::initialisationComesBeforeTheWindowIsShown() {
    MessageLog log;
    bool visibleAtInit = true;
    log.reply = [&](WindowSystem& ws, const WindowMessage& m) {
        if (m.id == MSG_INITDIALOG) {
            const QWidgetList windows = QApplication::topLevelWidgets();
            visibleAtInit = std::any_of(windows.begin(), windows.end(),
                                        [](QWidget* w) { return w->isVisible(); });
            // The window system is usable from the first message on.
            ws.setScrollRange(0, 700, false);
            ws.postMessage(commandMessage(CMD_NEW_SAMPLE));
        }
        return answerInit(ws, m);
    };
    DezoRaraClass window(log.handler());
    QVERIFY(!visibleAtInit);
    QVERIFY(!window.isVisible());
    QCOMPARE(log.messages.size(), size_t{1});
    QCOMPARE(log.messages.front().id, uint32_t{MSG_INITDIALOG});
    QCOMPARE(window.windowSystem().scrollRange().high, 700);
    // The posted command waits for the event loop.
    QCoreApplication::processEvents();
    QCOMPARE(log.commands(), (std::vector<int>{CMD_NEW_SAMPLE}));
}

void MainWindowTest::closingDestroysOnce_data() {
    QTest::addColumn<QString>("route");
    QTest::addColumn<bool>("closes");
    QTest::newRow("close box") << "close box" << true;
    QTest::newRow("File > Exit posts the close") << "posted" << true;
    QTest::newRow("procedure keeps the window") << "refused" << false;
}

void MainWindowTest::closingDestroysOnce() {
    QFETCH(QString, route);
    QFETCH(bool, closes);
    MessageLog log;
    if (route == "refused") {
        log.reply = [](WindowSystem&, const WindowMessage&) { return MessageResult{true, 0}; };
    }
    {
        DezoRaraClass window(log.handler());
        window.show();
        if (route == "posted") {
            window.windowSystem().postMessage(WindowMessage{MSG_CLOSE, 0, 0});
            window.windowSystem().postMessage(commandMessage(CMD_ZOOM_IN));
        } else {
            window.close();
        }
        QCoreApplication::processEvents();
        QCOMPARE(window.isVisible(), !closes);
        QCOMPARE(log.count(MSG_CLOSE), 1);
        QCOMPARE(log.count(MSG_DESTROY), closes ? 1 : 0);
        if (closes) {
            // Nothing reaches a destroyed window.
            QCOMPARE(log.messages.back().id, uint32_t{MSG_DESTROY});
        }
    }
    // Deleting the window ends the program's part in it, once.
    QCOMPARE(log.count(MSG_DESTROY), 1);
}

void MainWindowTest::endOfSessionFollowsTheAnswer() {
    struct Case {
        intptr_t answer;
        bool mayEnd;
    };
    for (const Case& c : {Case{0, false}, Case{1, true}}) {
        MessageLog log;
        log.reply = [&c](WindowSystem&, const WindowMessage& m) {
            return MessageResult{true, m.id == MSG_QUERYENDSESSION ? c.answer : 0};
        };
        DezoRaraClass window(log.handler());
        QCOMPARE(window.windowSystem().queryEndSession(), c.mayEnd);
        QCOMPARE(log.count(MSG_QUERYENDSESSION), 1);
    }
}

void MainWindowTest::resizingMovesNothing() {
    MessageLog log;
    DezoRaraClass window(log.handler());
    window.show();
    QList<QRect> before;
    const QList<QWidget*> controls =
        window.centralWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* control : controls) {
        before << control->geometry();
    }
    window.resize(window.size() * 2);
    window.showMaximized();
    QCoreApplication::processEvents();
    for (int i = 0; i < controls.size(); ++i) {
        QCOMPARE(controls[i]->geometry(), before[i]);
    }
}

void MainWindowTest::windowLooksAsTemplated() {
    MessageLog log;
    DezoRaraClass window(log.handler());
    window.show();
    QCOMPARE(window.windowTitle(), QStringLiteral("Pinprobe"));
    QVERIFY(!window.windowIcon().isNull());
    const QPalette palette = window.centralWidget()->palette();
    QCOMPARE(palette.color(QPalette::Window), palette.color(QPalette::Button));
    QCOMPARE(palette.color(QPalette::WindowText), palette.color(QPalette::ButtonText));
    // The client area is the template's size; the window stands at 50, 100 units.
    const QRect client = expectedPixels(window.centralWidget()->font(), 50, 100, 318, 225);
    QCOMPARE(window.centralWidget()->size(), client.size());
    QCOMPARE(window.geometry().topLeft(), client.topLeft());
}

QTEST_MAIN(MainWindowTest)
#include "qt_main_window_test.moc"
