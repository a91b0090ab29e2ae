#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QToolTip>
#include <QtTest>
#include <functional>
#include <memory>

#include "app/decoding/annotation_blocks.h"
#include "app/decoding/decoder_rows.h"
#include "app/decoding/desktop_decoding.h"
#include "app/view/zoom_levels.h"
#include "app/window/main_window_proc.h"
#include "capture/port_access_factory.h"
#include "capture/sampling_worker.h"
#include "capture/simulated_probe.h"
#include "capture/status_port.h"
#include "core/scope_session.h"
#include "display/trace_geometry.h"
#include "message_log.h"
#include "resources/command_ids.h"
#include "scopefile/recording_times.h"
#include "scopefile/scope_file.h"
#include "shell/qt_client_area.h"
#include "shell/qt_decoder_dialog.h"
#include "shell/qt_decoder_rows.h"
#include "shell/qt_main_window.h"
#include "shell/qt_status_line.h"
#include "shell/qt_template_builder.h"
#include "shell/qt_template_dialog.h"
#include "shell/qt_trace_view.h"
#include "shell/qt_view_settings.h"
#include "tests/shell/support/menu_action.h"
#include "tests/shell/support/next_modal.h"
#include "tests/shell/support/qt_test_registry.h"
#include "tests/shell/support/screenshot.h"
#include "tests/shell/support/select_file.h"
#include "tests/support/decoder_infos.h"
#include "tests/support/protocol_signals.h"
#include "tests/support/scope_file_maker.h"
#include "tests/support/still_port.h"

namespace {

// The widget in the settings of `dialog` beside the label that reads `label`.
template <typename T>
T* settingFor(QWidget& dialog, const QString& label) {
    for (QFormLayout* form : dialog.findChildren<QFormLayout*>()) {
        for (int row = 0; row < form->rowCount(); ++row) {
            QLayoutItem* name = form->itemAt(row, QFormLayout::LabelRole);
            auto* text = name != nullptr ? qobject_cast<QLabel*>(name->widget()) : nullptr;
            QLayoutItem* field = form->itemAt(row, QFormLayout::FieldRole);
            if (text != nullptr && text->text() == label && field != nullptr) {
                return qobject_cast<T*>(field->widget());
            }
        }
    }
    return nullptr;
}

QString rxText() {
    QString text;
    for (const DecoderRow& row : desktopDecoding.rows) {
        for (const uint32_t index : row.annotations) {
            const AnnotationRef a = desktopDecoding.result.annotations[index];
            if (row.title == "UART: RX" && a.annotationClass == 0) {
                text += QString::fromStdString(a.texts.front());
            }
        }
    }
    return text;
}

bool decoded() {
    return QTest::qWaitFor([] { return desktopDecoding.state != DecodeState::Running; }, 30000) &&
           desktopDecoding.state == DecodeState::Done;
}

// `count` samples of `value` as the session's recording.
void fillSession(uint32_t count, uint8_t value) {
    scopeSession.sampleData = obtainSampleBuffer(count);
    std::fill_n(scopeSession.sampleData, count, value);
    scopeSession.sampleLength = count;
}

// Two rows of hand-made annotations over samples 0 to 400, as a decode would leave them.
void showHandMadeRows() {
    DesktopDecoding& d = desktopDecoding;
    d.stacks = {{DecoderSetup{handMadeDecoders()[4], {{"rx", 1}}, {}}}};
    d.result.annotations.clear();
    for (uint32_t start = 100; start < 400; start += 100) {
        Annotation a;
        a.decoder = "uart";
        a.annotationClass = 0;
        a.row = 0;
        a.start = start;
        a.end = start + 50;
        a.texts = {"Pin", "P"};
        d.result.annotations.add(a);
    }
    d.result.ok = true;
    d.resultCurrent = true;
    d.state = DecodeState::Done;
    d.rows = decoderRows(d);
}

// A window of `size` over a recording, shown, with the hand-made rows under its traces.
struct RowsWindow {
    MessageLog log;
    DezoRaraClass window{log.handler()};

    explicit RowsWindow(QSize size) {
        fillSession(1000, 0x28);
        window.resize(size);
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
        showHandMadeRows();
    }
};

}  // namespace

class DecodingTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void manyRowsScrollInsideAWindowThatStaysOnTheScreen();
    void aRowsMenuActsOnItsStack();
    void closingKeepsTheDecodersForTheNextRun();
    void dialogShowsTheChoicesAndKeepsThemInTheForm();
    void dialogRefusesWhatDoesNotHoldTogetherAndTakesTheKeyboard();
    void rowsAreDrawnAtTheViewsZoomWithTooltips();
    void withoutDecodersTheWindowIsTodays();
    void addDecoderFromTheMenuThenACutDecodesAgain();
    void exportGoesThroughTheChooserAndAsksThePeriod();
    void simulatedCaptureIsDecodedWithTheDefaults();
    void savedCaptureOpensWithItsTimesAndDecodesWithoutAPeriod();

private:
    StillPort ports_{0xFF};  // no test here reads it: every window opens a file at start-up
    TempDir dir_;
};

void DecodingTest::init() {
    QSettings(QSettings::IniFormat, QSettings::UserScope, "pinprobe", "pinprobe").clear();
    resetScopeSession();
    resetDesktopDecoding();
    workerLink.ports = &ports_;
}

void DecodingTest::cleanup() {
    resetDesktopDecoding();
    startupFilePath.clear();
    workerLink.ports = nullptr;
    resetScopeSession();
}

void DecodingTest::dialogShowsTheChoicesAndKeepsThemInTheForm() {
    DecoderForm form;
    form.decoders = handMadeDecoders();
    form.remembered["uart"] = DecoderSetup{form.decoders[4], {{"rx", 1}}, {{"format", "ascii"}}};
    form.choose("uart");
    DecoderDialog dialog(nullptr, form);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* list = dialog.findChild<QListWidget*>();
    QCOMPARE(list->count(), 5);
    QCOMPARE(list->currentItem()->text(), QStringLiteral("UART (uart)"));
    QCOMPARE(settingFor<QComboBox>(dialog, "RX:")->currentText(),
             QStringLiteral("2 Select, pin 13"));
    QCOMPARE(settingFor<QComboBox>(dialog, "TX:")->currentText(), QStringLiteral("(none)"));
    QCOMPARE(settingFor<QLineEdit>(dialog, "Baud rate:")->text(), QStringLiteral("115200"));
    QCOMPARE(settingFor<QComboBox>(dialog, "Data format:")->currentText(), QStringLiteral("ascii"));

    // A search typed chooses its best match, also over the one chosen before.
    QTest::keyClicks(dialog.findChild<QLineEdit*>(), "serial");
    QCOMPARE(list->count(), 3);
    QCOMPARE(form.decoders[*form.chosen].id, std::string("i2c"));
    dialog.findChild<QLineEdit*>()->clear();
    // The search narrows the list; the decoder found is chosen, its required channel first.
    QTest::keyClicks(dialog.findChild<QLineEdit*>(), "spi");
    QCOMPARE(list->count(), 1);
    QCOMPARE(form.decoders[*form.chosen].id, std::string("spi"));
    auto* clock = settingFor<QComboBox>(dialog, "CLK *:");
    QVERIFY(clock != nullptr);
    QCOMPARE(clock->findText(QStringLiteral("(none)")), -1);  // required: no "none"
    QCOMPARE(clock->currentText(), QStringLiteral("1 Error, pin 15"));
    clock->setCurrentIndex(3);
    QCOMPARE(form.channels[0].ours, 3);
    settingFor<QComboBox>(dialog, "MOSI:")->setCurrentIndex(2);  // "(none)" first
    QCOMPARE(form.channels[2].ours, 1);
    settingFor<QComboBox>(dialog, "Clock polarity:")->setCurrentText(QStringLiteral("1"));
    QCOMPARE(form.options[0].text, std::string("1"));
    QCOMPARE(settingFor<QLineEdit>(dialog, "Sample &period:"), nullptr);  // not asked
}

void DecodingTest::dialogRefusesWhatDoesNotHoldTogetherAndTakesTheKeyboard() {
    DecoderForm form;
    form.decoders = handMadeDecoders();
    form.asksPeriod = true;
    form.periodText = "1 us";
    form.choose("uart");
    DecoderDialog dialog(nullptr, form);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* search = dialog.findChild<QLineEdit*>();
    QCOMPARE(QApplication::focusWidget(), search);
    // Up in the search field moves through the list: PWM is above SPI, above UART.
    QTest::keyClick(search, Qt::Key_Up);
    QTest::keyClick(search, Qt::Key_Up);
    QCOMPARE(form.decoders[*form.chosen].id, std::string("pwm"));
    auto* data = settingFor<QComboBox>(dialog, "Data *:");
    QVERIFY(data != nullptr);
    settingFor<QLineEdit>(dialog, "Sample &period:")->setText(QStringLiteral("never"));
    QTest::keyClick(search, Qt::Key_Return);  // Add
    QVERIFY(dialog.isVisible());
    QVERIFY(!form.outcome.has_value());
    QVERIFY(dialog.findChild<QLabel*>(QString(), Qt::FindChildrenRecursively) != nullptr);
    bool said = false;
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        said = said || label->text().startsWith(QStringLiteral("Give the time between"));
    }
    QVERIFY(said);
    settingFor<QLineEdit>(dialog, "Sample &period:")->setText(QStringLiteral("4 us"));
    QTest::keyClick(search, Qt::Key_Return);
    QVERIFY(!dialog.isVisible());
    QVERIFY(form.outcome.has_value());
    QCOMPARE(form.outcome->setup.info.id, std::string("pwm"));
    QCOMPARE(*form.outcome->periodSeconds, 4e-6);
}

void DecodingTest::rowsAreDrawnAtTheViewsZoomWithTooltips() {
    fillSession(1000, 0);
    MessageLog log;
    DezoRaraClass window(log.handler());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    showHandMadeRows();
    window.windowSystem().refreshDecoderRows();
    DecoderRowsView& rows = window.clientArea().decoderRows();
    QCOMPARE(rows.height(), rows.rowHeight());
    const int left = window.clientArea().traceView().x() - rows.x();
    const int middle = rows.rowHeight() / 2;
    const QColor colour = annotationColour(0);
    for (const int zoom : {1, 4}) {
        scopeSession.view.scale = ViewScale::pixelsPerSample(static_cast<uint8_t>(zoom));
        const QImage image = rows.grab().toImage();
        for (uint32_t start = 100; start < 400; start += 100) {
            const int x0 = left + static_cast<int>(start) * zoom - zoom / 2;
            const int x1 = x0 + 50 * zoom;
            if (x1 >= left + window.clientArea().traceView().width()) {
                continue;  // off the view at this zoom
            }
            QCOMPARE(image.pixelColor(x0 + 1, 2), colour);
            QCOMPARE(image.pixelColor(x1 - 3, rows.rowHeight() - 3), colour);
            QCOMPARE(image.pixelColor(x0 - 1, middle), QColor(Qt::black));
            QCOMPARE(image.pixelColor(x1 + 1, middle), QColor(Qt::black));
        }
    }
    scopeSession.view.scale = ViewScale::pixelsPerSample(1);
    const QPoint on(left + 120, middle);
    QHelpEvent help(QEvent::ToolTip, on, rows.mapToGlobal(on));
    QApplication::sendEvent(&rows, &help);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QStringLiteral("Pin\nUART: RX, samples 100 to 149"));
    QVERIFY(window.close());
}

void DecodingTest::closingKeepsTheDecodersForTheNextRun() {
    MessageLog log;
    DezoRaraClass window(log.handler());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    showHandMadeRows();
    QVERIFY(window.close());
    QCOMPARE(loadKeptDecoders(), std::vector<std::string>{"uart:rx=select"});
    storeKeptDecoders({});
}

// A right click on a row, or a click on its title, offers Edit… and Remove for the row's stack;
// the window procedure hears which, with the stack.
void DecodingTest::aRowsMenuActsOnItsStack() {
    RowsWindow shown(QSize(900, 600));
    DezoRaraClass& window = shown.window;
    const MessageLog& log = shown.log;
    desktopDecoding.rows.push_back(desktopDecoding.rows.front());
    desktopDecoding.rows.back().stack = 3;
    window.windowSystem().refreshDecoderRows();
    DecoderRowsView& rows = window.clientArea().decoderRows();
    const int left = window.clientArea().traceView().x() - rows.x();
    const struct {
        bool rightClick;
        int row;
        const char* entry;
        StackAction action;
        int32_t stack;
    } cases[] = {
        {true, 0, "&Remove", StackAction::Remove, 0},
        {false, 1, "&Edit\u2026", StackAction::Edit, 3},
        {true, 1, "&Remove", StackAction::Remove, 3},
        {false, 0, "&Hide", StackAction::Hide, 0},
    };
    for (const auto& c : cases) {
        QStringList entries;
        QTimer::singleShot(0, qApp, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu != nullptr);
            for (QAction* action : menu->actions()) {
                entries << action->text();
                if (action->text() == QString::fromUtf8(c.entry)) {
                    action->trigger();
                }
            }
            menu->close();
        });
        const QPoint at(c.rightClick ? left + 50 : left / 2, c.row * rows.rowHeight() + 3);
        if (c.rightClick) {
            QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, rows.mapToGlobal(at));
            QApplication::sendEvent(&rows, &menuEvent);
        } else {
            QTest::mouseClick(&rows, Qt::LeftButton, {}, at);
        }
        QCOMPARE(entries, (QStringList{QString::fromUtf8("&Edit\u2026"), QStringLiteral("&Remove"),
                                       QStringLiteral("&Hide")}));
        QVERIFY(!log.messages.empty());
        const WindowMessage& last = log.messages.back();
        QCOMPARE(last.id, uint32_t(DECODER_STACK));
        QCOMPARE(last.code, uint32_t(c.action));
        QCOMPARE(last.position, c.stack);
    }
    resetDesktopDecoding();
    QVERIFY(window.close());
}

// However many rows there are, the window stays on the screen: it grows to the screen's edge and
// the rows scroll inside their band; the status line stays in sight.
void DecodingTest::manyRowsScrollInsideAWindowThatStaysOnTheScreen() {
    RowsWindow shown(QSize(1400, 950));
    DezoRaraClass& window = shown.window;
    const QRect screen = window.screen()->availableGeometry();
    const std::vector<DecoderRow> one = desktopDecoding.rows;
    for (const int count : {4, 12, 40}) {
        desktopDecoding.rows.clear();
        for (int i = 0; i < count; ++i) {
            desktopDecoding.rows.push_back(one.front());
        }
        window.windowSystem().refreshDecoderRows();
        const QRect frame = window.frameGeometry();
        QVERIFY2(frame.top() >= screen.top() && frame.bottom() <= screen.bottom(),
                 qPrintable(QString::number(count)));
        QVERIFY(window.minimumHeight() <= screen.height());
        const DecoderRowsView& rows = window.clientArea().decoderRows();
        QCOMPARE(rows.height(), count * rows.rowHeight());
        auto* status = window.findChild<StatusLine*>();
        QVERIFY(status->geometry().bottom() < window.clientArea().height());
        QVERIFY(window.clientArea().traceView().height() > 0);
        if (count == 12) {
            saveScreenshot("decoder_rows_scroll");
        }
    }
    resetDesktopDecoding();
    QVERIFY(window.close());
}

// The rows come and go without leaving a trace: removed again, the window is today's.
void DecodingTest::withoutDecodersTheWindowIsTodays() {
    fillSession(1000, 0x28);
    MessageLog log;
    DezoRaraClass window(log.handler());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QImage today = window.grab().toImage();
    const QSize size = window.size();
    const QSize traces = window.clientArea().traceView().size();

    showHandMadeRows();
    window.windowSystem().refreshDecoderRows();
    const int rowHeight = window.clientArea().decoderRows().rowHeight();
    QCOMPARE(window.size(), size + QSize(0, rowHeight));
    QCOMPARE(window.minimumSize().height(), window.size().height());
    QCOMPARE(window.clientArea().traceView().size(), traces);

    resetDesktopDecoding();
    window.windowSystem().refreshDecoderRows();
    QCOMPARE(window.size(), size);
    QCOMPARE(window.grab().toImage(), today);
    QVERIFY(window.close());
}

void DecodingTest::addDecoderFromTheMenuThenACutDecodesAgain() {
    startupFilePath = dir_.write("uart.sco", scopeFileBytes(uartRecording("Pinprobe", 100, 2)));
    DezoRaraClass window(mainWindowProc);
    window.show();
    QTRY_VERIFY(hasSampleData(scopeSession));
    bool periodAsked = false;
    onNextModal<DecoderDialog>([&periodAsked](DecoderDialog& dialog) {
        periodAsked = settingFor<QLineEdit>(dialog, "Sample &period:") != nullptr;
        QTest::keyClick(dialog.findChild<QLineEdit*>(), Qt::Key_Return);
    });
    menuAction(window, CMD_ADD_DECODER)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!desktopDecoding.stacks.empty(), 30000);
    QVERIFY(periodAsked);
    QVERIFY(decoded());
    QCOMPARE(rxText(), QStringLiteral("Pinprobe"));
    DecoderRowsView& rows = window.clientArea().decoderRows();
    QCOMPARE(rows.height(), static_cast<int>(desktopDecoding.rows.size()) * rows.rowHeight());

    scopeSession.view.viewStart = 2300;  // in the stop bits of 'i'
    menuAction(window, CMD_CUT_BEFORE)->trigger();
    QVERIFY(decoded());
    QCOMPARE(rxText(), QStringLiteral("nprobe"));
    QVERIFY(window.close());
}

void DecodingTest::exportGoesThroughTheChooserAndAsksThePeriod() {
    startupFilePath = dir_.write("four.sco", scopeFileBytes(std::string("\x08\x18\x10\x00", 4)));
    DezoRaraClass window(mainWindowProc);
    window.show();
    QTRY_VERIFY(hasSampleData(scopeSession));
    const QString target = QString::fromStdString(dir_.path("out"));
    onNextModal<QFileDialog>([target](QFileDialog& chooser) {
        chooser.selectNameFilter(QStringLiteral("CSV Table (*.csv)"));
        emit chooser.filterSelected(QStringLiteral("CSV Table (*.csv)"));
        selectFileIn(chooser, target);
        static_cast<QDialog&>(chooser).accept();
    });
    onNextModal<QInputDialog>([](QInputDialog& question) {
        question.setTextValue(QStringLiteral("2 us"));
        question.accept();
    });
    menuAction(window, CMD_EXPORT)->trigger();
    const std::string csv = readFileBytes(dir_.path("out.csv"));
    QVERIFY2(csv.rfind("sample,seconds,", 0) == 0, csv.c_str());
    QVERIFY2(csv.find("\n3,0.000006,") != std::string::npos, csv.c_str());
    QVERIFY(window.close());
}

// The start of the first whole "Pinprobe" the rows spell; none when no capture held one whole.
std::optional<uint32_t> messageStart() {
    const AnnotationStore& store = desktopDecoding.result.annotations;
    std::vector<size_t> data;
    for (size_t i = 0; i < store.size(); ++i) {
        if (store[i].decoder == "uart" && store[i].annotationClass == 0) {
            data.push_back(i);
        }
    }
    for (size_t i = 0; i + 8 <= data.size(); ++i) {
        std::string text;
        for (size_t k = i; k < i + 8; ++k) {
            text += store[data[k]].texts.front();
        }
        if (text == "Pinprobe") {
            return store.startOf(data[i]);
        }
    }
    return std::nullopt;
}

// One whole message at 8 samples a column; with PINPROBE_SCREENSHOTS set to a folder (and a
// real display, e.g. under xvfb-run), the window is saved there as NAME.png. False when the
// annotations hold no message.
bool showOneMessage(DezoRaraClass& window, const QString& name) {
    const std::optional<uint32_t> start = messageStart();
    if (!start.has_value()) {
        return false;
    }
    showZoomLevel(window.windowSystem(), ViewScale::samplesPerColumn(8), int64_t{*start} - 200);
    const QString folder = qEnvironmentVariable("PINPROBE_SCREENSHOTS");
    if (!folder.isEmpty()) {
        // The updates the zoom posted are done first; grab() then paints the window itself.
        QCoreApplication::sendPostedEvents();
        window.grab().save(folder + QStringLiteral("/") + name + QStringLiteral(".png"));
    }
    return true;
}

// The first proposal in the dialog decodes what the simulated probe sends. With
// PINPROBE_SCREENSHOTS set to a folder (and a real display, e.g. under xvfb-run), the window
// showing one whole message is saved there as decoder_uart.png.
void DecodingTest::simulatedCaptureIsDecodedWithTheDefaults() {
    // On virtual time every read takes exactly its microsecond, whatever the machine's load.
    VirtualProbeClock clock;
    SimulatedProbe simulated(clock);
    workerLink.ports = &simulated;
    scopeSession.captureSize = 30000;
    DezoRaraClass window(mainWindowProc);
    window.resize(1150, window.height());
    window.show();
    QTRY_VERIFY(hasSampleData(scopeSession));
    onNextModal<DecoderDialog>([](DecoderDialog& dialog) {
        QTest::keyClick(dialog.findChild<QLineEdit*>(), Qt::Key_Return);
    });
    window.windowSystem().sendMessage(commandMessage(CMD_ADD_DECODER));
    QTRY_VERIFY_WITH_TIMEOUT(!desktopDecoding.stacks.empty(), 30000);
    QVERIFY(decoded());
    QVERIFY(!rxText().isEmpty());
    QVERIFY(showOneMessage(window, QStringLiteral("decoder_uart")));
    QVERIFY(window.close());
    workerLink.ports = &ports_;
}

// A capture saved and opened again has its times: the decoder asks no period and UART decodes.
// With PINPROBE_SCREENSHOTS set, the opened file's window is saved as reopened_capture_uart.png.
void DecodingTest::savedCaptureOpensWithItsTimesAndDecodesWithoutAPeriod() {
    VirtualProbeClock clock;
    SimulatedProbe simulated(clock);
    workerLink.ports = &simulated;
    scopeSession.captureSize = 30000;
    TempDir dir;
    const std::string saved = dir.path("saved.sco");
    {
        DezoRaraClass capturing(mainWindowProc);
        capturing.show();
        QTRY_VERIFY(hasSampleData(scopeSession));
        const RecordingTimes times = recordingTimesOf(scopeSession);
        QVERIFY(writeScopeFile([](int) {}, saved, scopeSession.sampleData,
                               scopeSession.sampleLength, &times));
        QVERIFY(capturing.close());
    }
    resetScopeSession();
    startupFilePath = saved;  // opened as the program opens a file named on its command line
    DezoRaraClass window(mainWindowProc);
    window.resize(1150, window.height());
    window.show();
    QTRY_VERIFY(hasSampleData(scopeSession) && scopeSession.timeBase.known());
    bool periodAsked = true;
    onNextModal<DecoderDialog>([&periodAsked](DecoderDialog& dialog) {
        periodAsked = settingFor<QLineEdit>(dialog, "Sample &period:") != nullptr;
        QTest::keyClick(dialog.findChild<QLineEdit*>(), Qt::Key_Return);
    });
    window.windowSystem().sendMessage(commandMessage(CMD_ADD_DECODER));
    QTRY_VERIFY_WITH_TIMEOUT(!desktopDecoding.stacks.empty(), 30000);
    QVERIFY(!periodAsked);
    QVERIFY(decoded());
    QVERIFY(!rxText().isEmpty());
    QVERIFY(showOneMessage(window, QStringLiteral("reopened_capture_uart")));
    QVERIFY(window.close());
    workerLink.ports = &ports_;
}

PINPROBE_QT_TEST(DecodingTest)
#include "qt_decoding_test.moc"
