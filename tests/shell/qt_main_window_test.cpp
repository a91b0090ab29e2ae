#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>
#include <cmath>

#include "app/window/client_layout.h"
#include "app/window/view_bands.h"
#include "display/trace_geometry.h"
#include "message_log.h"
#include "resources/command_ids.h"
#include "shell/qt_channel_labels.h"
#include "shell/qt_main_window.h"
#include "shell/qt_overview_strip.h"
#include "shell/qt_status_line.h"
#include "shell/qt_template_builder.h"
#include "shell/qt_time_ruler.h"
#include "tests/shell/support/qt_test_registry.h"

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

// As answerInit, and the View menu's band entries do what the window procedure has them do.
MessageResult answerBands(WindowSystem& ws, const WindowMessage& m) {
    if (m.id == MSG_COMMAND) {
        if (const std::optional<ViewBand> band = commandBand(static_cast<int>(m.code))) {
            toggleViewBand(ws, *band);
        }
    }
    return answerInit(ws, m);
}

void showBands(DezoRaraClass& window, bool shown) {
    showViewBands(window.windowSystem(), ViewBands{{shown, shown, shown, shown}});
}

// The controls the template built, in the order it built them.
QList<QWidget*> templateControls(QWidget& client) {
    QList<QWidget*> controls;
    for (QObject* child : client.children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget != nullptr && widget->property("controlId").isValid()) {
            controls << widget;
        }
    }
    return controls;
}

// Where the template puts a control, and the widget that is it.
QRect templatePlace(QWidget& client, const Placement& p) {
    return expectedPixels(client.font(), p.x, p.y, p.width, p.height);
}

QWidget* placed(QWidget& client, const Placement& p) {
    return p.label != nullptr ? labelWithText(client, p.label) : findControl(client, p.id);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    // Every test starts from the settings of a first run: every band shown, no size kept.
    void init() {
        QSettings(QSettings::IniFormat, QSettings::UserScope, "pinprobe", "pinprobe").clear();
    }
    void controlsSitAtTheirTemplatePlaces();
    void tabVisitsEveryControlAsTheWindowReads();
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
    void bandsOpenRoomAroundTheTemplate();
    void hidingABandShrinksTheWindowByIt();
    void resizingGivesTheRoomToTheTraces();
    void viewChoicesAndSizeAreKept();
    void windowLooksAsTemplated();
};

// With every band hidden the window is the template's.
void MainWindowTest::controlsSitAtTheirTemplatePlaces() {
    MessageLog log;
    DezoRaraClass window(log.handler());
    showBands(window, false);
    window.show();
    QWidget& client = *window.centralWidget();
    for (const Placement& p : kLayout) {
        QWidget* control = placed(client, p);
        QVERIFY2(control != nullptr,
                 p.label != nullptr ? p.label : qPrintable(QString::number(p.id)));
        QCOMPARE(control->geometry(), templatePlace(client, p));
    }
    // Exactly these, in this order of creation.
    QList<int> created;
    for (QWidget* widget : templateControls(client)) {
        created << controlId(*widget);
    }
    QList<int> expected;
    for (const Placement& p : kLayout) {
        expected << p.id;
    }
    QCOMPARE(created, expected);
}

// The scroll bar, the template's first tab stop, has the focus at start-up. From there Tab goes
// round every control as the eye reads the window (the buttons left to right, the trigger boxes
// column by column, the traces, back to the scroll bar); Shift+Tab goes the other way round.
void MainWindowTest::tabVisitsEveryControlAsTheWindowReads() {
    const struct {
        Qt::Key key;
        QList<int> visits;
    } rounds[] = {
        {Qt::Key_Tab,
         {240, 110, 115, 116, 113, 112, 1015, 1016, 1017, 1018, 1019, 2000, 2001, 2002, 2003, 2004,
          220, 240}},
        {Qt::Key_Backtab,
         {240, 220, 2004, 2003, 2002, 2001, 2000, 1019, 1018, 1017, 1016, 1015, 112, 113, 116, 115,
          110, 240}},
    };
    for (const auto& round : rounds) {
        MessageLog log;
        log.reply = answerInit;
        DezoRaraClass window(log.handler());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QList<int> visited = {controlId(*QApplication::focusWidget())};
        while (visited.size() < round.visits.size()) {
            QTest::keyClick(QApplication::focusWidget(), round.key);
            visited << controlId(*QApplication::focusWidget());
        }
        QCOMPARE(visited, round.visits);
    }
}

void MainWindowTest::menuHasEveryEntryWithItsInitialMarks() {
    MessageLog log;
    DezoRaraClass window(log.handler());
    const QString expected = QStringLiteral(
        "&File[&New=110,&Open...=120,&Save=130,Save &As...=140,&Record to "
        "File\u2026=40064,&Export...=40040,"
        "Export A&nnotations\u2026=40062,-,E&xit=150],"
        "&Tools[Cut Before=40014,Cut After=40015,-,Zoom In=112,Zoom Out=113,-,"
        "Memory Trigger=115,Trigger &Point=40047],"
        "&View[Zoom &In=40044,Zoom &Out=40045,Zoom to &Fit=40030,&Time Axis=40035,"
        "&Measure From Trigger=40046*,&Go To\u2026=40063,-,"
        "&Overview=40031*,Time &Ruler=40032*,Channel &Labels=40033*,"
        "&Status Line=40034*,-,&Decoded Data=40060,&Channels\u2026=40061],"
        "&Decode[&Add Decoder\u2026=40041,&Remove Decoders=40042],"
        "&Settings[Size[5000=40004*,30'000=40005,500'000=40006],"
        "Speed[Fastest=40007*,Fast=40008,Slow=40009],-,"
        "Port[LPT1=40019*,LPT2=40020,LPT3=40021],&Trigger\u2026=40043],"
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
        {CMD_NEW_SAMPLE, "F5"},         {CMD_OPEN, "Ctrl+O"},     {CMD_SAVE, "Ctrl+S"},
        {CMD_SAVE_AS, "Ctrl+Shift+S"},  {CMD_EXIT, "Ctrl+Q"},     {CMD_VIEW_ZOOM_IN, "Ctrl++"},
        {CMD_VIEW_ZOOM_OUT, "Ctrl+-"},  {CMD_ZOOM_FIT, "Ctrl+0"}, {CMD_GO_TO, "Ctrl+G"},
        {CMD_RECORD_TO_FILE, "Ctrl+R"},
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
        {Qt::ControlModifier | Qt::Key_Plus, CMD_VIEW_ZOOM_IN},
        {Qt::ControlModifier | Qt::Key_Equal, CMD_VIEW_ZOOM_IN},
        {Qt::ControlModifier | Qt::Key_Minus, CMD_VIEW_ZOOM_OUT},
        {Qt::ControlModifier | Qt::Key_0, CMD_ZOOM_FIT},
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

// The overview and the ruler open room above the traces, the labels left of them, the status line
// under the buttons; the traces keep the template's size, so at the default size their picture
// is what it was.
void MainWindowTest::bandsOpenRoomAroundTheTemplate() {
    MessageLog log;
    DezoRaraClass window(log.handler());
    window.show();
    QWidget& client = *window.centralWidget();
    const int top =
        client.findChild<OverviewStrip*>()->height() + client.findChild<TimeRuler*>()->height();
    const int left = client.findChild<ChannelLabels*>()->width();
    const int bottom = client.findChild<StatusLine*>()->height();
    QVERIFY(top > 0 && left > 0 && bottom > 0);
    for (const Placement& p : kLayout) {
        const QRect place = templatePlace(client, p);
        const ControlAnchor anchor = anchorOf(p.id);
        const bool rightOfTheLabels = anchor == ControlAnchor::Traces ||
                                      anchor == ControlAnchor::UnderTraces ||
                                      anchor == ControlAnchor::Right;
        QCOMPARE(placed(client, p)->geometry(), place.translated(rightOfTheLabels ? left : 0, top));
    }
    const QRect templateClient = expectedPixels(client.font(), 0, 0, 318, 225);
    const QSize withBands = templateClient.size() + QSize(left, top + bottom);
    QCOMPARE(client.size(), withBands);
    QCOMPARE(client.minimumSize(), withBands);
    const QRect traces = findControl(client, IDC_TRACE_VIEW)->geometry();
    QCOMPARE(client.findChild<OverviewStrip*>()->geometry().left(), traces.left());
    QCOMPARE(client.findChild<TimeRuler*>()->geometry().bottom() + 1, traces.top());
    QCOMPARE(client.findChild<ChannelLabels*>()->geometry().right() + 1, traces.left());
}

void MainWindowTest::hidingABandShrinksTheWindowByIt() {
    MessageLog log;
    log.reply = answerBands;
    DezoRaraClass window(log.handler());
    window.show();
    QWidget& client = *window.centralWidget();
    const QSize templateClient = expectedPixels(client.font(), 0, 0, 318, 225).size();
    const struct {
        int command;
        QWidget* band;
        bool across;
    } bands[] = {
        {CMD_SHOW_OVERVIEW, client.findChild<OverviewStrip*>(), false},
        {CMD_SHOW_RULER, client.findChild<TimeRuler*>(), false},
        {CMD_SHOW_LABELS, client.findChild<ChannelLabels*>(), true},
        {CMD_SHOW_STATUS, client.findChild<StatusLine*>(), false},
    };
    for (const auto& b : bands) {
        const QSize before = window.size();
        const QSize room = b.across ? QSize(b.band->width(), 0) : QSize(0, b.band->height());
        findAction(*window.menuBar(), b.command)->trigger();
        QVERIFY(!findAction(*window.menuBar(), b.command)->isChecked());
        QVERIFY(!b.band->isVisible());
        QCOMPARE(window.size(), before - room);
    }
    QCOMPARE(client.size(), templateClient);
    QCOMPARE(findControl(client, IDC_TRACE_VIEW)->geometry().topLeft(),
             expectedPixels(client.font(), 54, 6, 0, 0).topLeft());
    findAction(*window.menuBar(), CMD_SHOW_LABELS)->trigger();
    QVERIFY(findAction(*window.menuBar(), CMD_SHOW_LABELS)->isChecked());
    QCOMPARE(client.width(), templateClient.width() + bands[2].band->width());
}

// What the window has beyond its default size goes to the traces; the buttons stay under them,
// Zoom In and Zoom Out at the right; it never gets smaller than its default size.
void MainWindowTest::resizingGivesTheRoomToTheTraces() {
    MessageLog log;
    DezoRaraClass window(log.handler());
    window.show();
    QWidget& client = *window.centralWidget();
    QWidget& traces = *findControl(client, IDC_TRACE_VIEW);
    QWidget& zoomIn = *findControl(client, CMD_ZOOM_IN);
    QWidget& newSample = *findControl(client, CMD_NEW_SAMPLE);
    const QSize least = window.size();
    const QRect traces0 = traces.geometry();
    const QRect zoomIn0 = zoomIn.geometry();
    const QRect newSample0 = newSample.geometry();
    for (const QSize more : {QSize(100, 50), QSize(700, 400), QSize(1, 1)}) {
        window.resize(least + more);
        QTRY_COMPARE(window.size(), least + more);
        QCOMPARE(traces.geometry(), traces0.adjusted(0, 0, more.width(), more.height()));
        QCOMPARE(zoomIn.geometry(), zoomIn0.translated(more.width(), more.height()));
        QCOMPARE(newSample.geometry(), newSample0.translated(0, more.height()));
        QCOMPARE(findControl(client, IDC_SCROLL_BAR)->width(), traces.width());
        // Each trigger box stays beside its channel's row.
        const TraceGeometry g = traceGeometry(traces.width(), traces.height(), 0, 0);
        for (int channel = 0; channel < 5; ++channel) {
            const QRect box = findControl(client, CMD_PORT_TRIGGER_FIRST + channel)->geometry();
            const int rowTop = traces.y() + (channel == 0 ? 0 : g.gridRow[channel - 1]);
            const int rowBottom = traces.y() + g.gridRow[channel];
            QVERIFY2(box.center().y() > rowTop && box.center().y() <= rowBottom,
                     qPrintable(QStringLiteral("channel %1").arg(channel + 1)));
        }
    }
    window.resize(least - QSize(50, 50));
    QCOMPARE(window.size(), least);
}

// The View menu's bands and the window's size come back in the next run.
void MainWindowTest::viewChoicesAndSizeAreKept() {
    QSize kept;
    {
        MessageLog log;
        log.reply = answerBands;
        DezoRaraClass window(log.handler());
        window.show();
        findAction(*window.menuBar(), CMD_SHOW_RULER)->trigger();
        findAction(*window.menuBar(), CMD_SHOW_STATUS)->trigger();
        window.resize(window.size() + QSize(120, 80));
        QTRY_VERIFY(window.width() > window.minimumWidth());
        kept = window.size();
        QVERIFY(window.close());
    }
    MessageLog log;
    DezoRaraClass window(log.handler());
    QCOMPARE(window.size(), kept);
    for (const auto& [command, shown] : {std::pair{CMD_SHOW_OVERVIEW, true},
                                         {CMD_SHOW_RULER, false},
                                         {CMD_SHOW_LABELS, true},
                                         {CMD_SHOW_STATUS, false}}) {
        QCOMPARE(findAction(*window.menuBar(), command)->isChecked(), shown);
    }
    QVERIFY(window.centralWidget()->findChild<TimeRuler*>()->isHidden());
    QVERIFY(!window.centralWidget()->findChild<OverviewStrip*>()->isHidden());
}

void MainWindowTest::windowLooksAsTemplated() {
    MessageLog log;
    DezoRaraClass window(log.handler());
    showBands(window, false);
    window.show();
    QCOMPARE(window.windowTitle(), QStringLiteral("Pinprobe"));
    QVERIFY(!window.windowIcon().isNull());
    const QPalette palette = window.centralWidget()->palette();
    QCOMPARE(palette.color(QPalette::Window), palette.color(QPalette::Button));
    QCOMPARE(palette.color(QPalette::WindowText), palette.color(QPalette::ButtonText));
    // Without bands the client area is the template's size; the window stands at 50, 100 units.
    const QRect client = expectedPixels(window.centralWidget()->font(), 50, 100, 318, 225);
    QCOMPARE(window.centralWidget()->size(), client.size());
    QCOMPARE(window.geometry().topLeft(), client.topLeft());
}

PINPROBE_QT_TEST(MainWindowTest)
#include "qt_main_window_test.moc"
