#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QtTest>
#include <algorithm>

#include "app/decoding/desktop_decoding.h"
#include "app/window/main_window_proc.h"
#include "capture/sampling_worker.h"
#include "capture/simulated_probe.h"
#include "core/scope_session.h"
#include "resources/command_ids.h"
#include "shell/qt_annotation_model.h"
#include "shell/qt_channel_labels.h"
#include "shell/qt_client_area.h"
#include "shell/qt_decoded_data.h"
#include "shell/qt_decoder_dialog.h"
#include "shell/qt_main_window.h"
#include "shell/qt_trace_view.h"
#include "tests/shell/support/next_modal.h"
#include "tests/shell/support/qt_test_registry.h"
#include "tests/shell/support/screenshot.h"

namespace {

QString cell(const DecodedDataPanel& panel, int line, int column) {
    return panel.table().model()->index(line, column).data().toString();
}

// The texts of the lines chosen, in order.
QString chosenText(const DecodedDataPanel& panel) {
    QString text;
    for (const QModelIndex& index :
         panel.table().selectionModel()->selectedRows(AnnotationModel::TextColumn)) {
        text += index.data().toString();
    }
    return text;
}

// A simulated capture with the UART decoder added through its dialog, whose channel list is
// read on the way; the window 1400 x 950, or as tall as the screen allows (a change of the
// channels' labels fits the window to the screen).
struct DecodedWindow {
    VirtualProbeClock clock;
    SimulatedProbe simulated{clock};
    DezoRaraClass window{mainWindowProc};
    QStringList channelChoices;

    DecodedWindow() {
        workerLink.ports = &simulated;
        window.resize(1400, 950);
        window.show();
        const int frame = window.frameGeometry().height() - window.height();
        window.resize(1400, std::min(950, window.screen()->availableGeometry().height() - frame));
    }
    bool addUart() {
        if (!QTest::qWaitFor([] { return hasSampleData(scopeSession); }, 30000)) {
            return false;
        }
        onNextModal<DecoderDialog>([this](DecoderDialog& dialog) {
            for (const QComboBox* choice : dialog.findChildren<QComboBox*>()) {
                for (int i = 0; i < choice->count(); ++i) {
                    channelChoices.append(choice->itemText(i));
                }
            }
            QTest::keyClick(dialog.findChild<QLineEdit*>(), Qt::Key_Return);
        });
        window.windowSystem().sendMessage(commandMessage(CMD_ADD_DECODER));
        return QTest::qWaitFor(
            [] {
                return !desktopDecoding.stacks.empty() &&
                       desktopDecoding.state == DecodeState::Done;
            },
            60000);
    }
};

}  // namespace

class DecodedDataTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void searchFindsQuotedTextAndTheMarkerFollows();
    void channelsAreNamedColouredAndHiddenAndKept();
    void theDefaultChannelsLookAsEver();
    void escapeInThePanelKeepsTheMarker();
    void theOpenPanelComesBackAtTheNextStart();
};

void DecodedDataTest::init() {
    QSettings(QSettings::IniFormat, QSettings::UserScope, "pinprobe", "pinprobe").clear();
    resetScopeSession();
    resetDesktopDecoding();
    scopeSession.captureSize = 30000;
}

void DecodedDataTest::cleanup() {
    resetDesktopDecoding();
    workerLink.ports = nullptr;
    resetScopeSession();
    tableChoice = {};
}

void DecodedDataTest::searchFindsQuotedTextAndTheMarkerFollows() {
    DecodedWindow w;
    scopeSession.channels[0].name = "TX";
    QVERIFY(w.addUart());
    QVERIFY2(w.channelChoices.join('|').contains("1 TX, pin 15"),
             qPrintable(w.channelChoices.join('|')));

    w.window.windowSystem().sendMessage(commandMessage(CMD_DECODED_DATA));
    DecodedDataPanel& panel = w.window.decodedData();
    QTRY_VERIFY(panel.isVisible());
    QVERIFY(panel.table().model()->rowCount() > 8);

    // F3 is the panel's while the keyboard is in it.
    w.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    panel.searchField().setFocus();
    QTest::keyClicks(&panel.searchField(), "\"Pinp\"");
    QTest::keyClick(&panel.searchField(), Qt::Key_Return);
    // The first of the four characters found, past the bits and stop bits between them.
    QCOMPARE(chosenText(panel), QStringLiteral("P"));
    QVERIFY(panel.searchResult().text().startsWith("Line "));
    const int first = panel.table().currentIndex().row();
    QCOMPARE(scopeSession.marker.has_value(), true);
    QCOMPARE(QString::number(uint64_t{*scopeSession.marker} + scopeSession.sampleOrigin),
             cell(panel, first, AnnotationModel::SampleColumn));
    saveShot(w.window, "decoded_data");

    QTest::keyClick(&panel.searchField(), Qt::Key_F3);
    const int second = panel.table().currentIndex().row();
    QVERIFY(second > first);
    QTest::keyClick(&panel.searchField(), Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(panel.table().currentIndex().row(), first);

    panel.searchField().setText("0x41");
    QVERIFY(!panel.findMatch(true));
    QCOMPARE(panel.searchResult().text(), QStringLiteral("Not found"));

    // A click on a line marks its sample.
    const QRect line = panel.table().visualRect(panel.table().model()->index(first + 2, 0));
    QTest::mouseClick(panel.table().viewport(), Qt::LeftButton, {}, line.center());
    QCOMPARE(QString::number(uint64_t{*scopeSession.marker} + scopeSession.sampleOrigin),
             cell(panel, first + 2, AnnotationModel::SampleColumn));

    // Its own close box takes the tick off the menu entry.
    panel.close();
    for (QAction* action : w.window.menuBar()->findChildren<QAction*>()) {
        if (action->data().toInt() == CMD_DECODED_DATA) {
            QVERIFY(!action->isChecked());
        }
    }
    QVERIFY(w.window.close());
}

void DecodedDataTest::channelsAreNamedColouredAndHiddenAndKept() {
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, "pinprobe", "pinprobe");
    settings.setValue("channels/2/colour", "#ff4040");
    settings.setValue("channels/4/colour", "#40c0ff");
    settings.setValue("channels/5/colour", "not a colour");
    settings.sync();
    DecodedWindow w;
    QCOMPARE(scopeSession.channels[1].colour, 0x004040FFu);
    QCOMPARE(scopeSession.channels[4].colour, kClassicTraceColour);
    QTRY_VERIFY(hasSampleData(scopeSession));

    onNextModal<QDialog>([](QDialog& dialog) {
        const QList<QLineEdit*> names = dialog.findChildren<QLineEdit*>();
        const QList<QCheckBox*> shown = dialog.findChildren<QCheckBox*>();
        if (names.size() != kChannelCount || shown.size() != kChannelCount) {
            return;
        }
        names[0]->setText("  TX  ");
        names[1]->setText("RX");
        names[3]->setText("CLK");
        names[4]->clear();
        shown[2]->setChecked(false);
        dialog.accept();
    });
    w.window.windowSystem().sendMessage(commandMessage(CMD_CHANNELS));
    QCOMPARE(scopeSession.channels[0].name, std::string("TX"));
    QCOMPARE(scopeSession.channels[4].name, std::string("Busy"));
    QVERIFY(!scopeSession.channels[2].shown);
    auto* labels = w.window.findChild<ChannelLabels*>();
    QVERIFY(labels != nullptr);
    QVERIFY2(labels->spokenName().contains("1 TX, pin 15; 2 RX, pin 13"),
             qPrintable(labels->spokenName()));
    saveShot(w.window, "channels");
    QVERIFY(w.window.close());

    // The next run's window has them again.
    resetScopeSession();
    DezoRaraClass next(mainWindowProc);
    QCOMPARE(scopeSession.channels[3].name, std::string("CLK"));
    QCOMPARE(scopeSession.channels[1].colour, 0x004040FFu);
    QVERIFY(!scopeSession.channels[2].shown);
    QVERIFY(next.close());
}

// Defaults chosen in the dialog give back the picture of before, to the pixel.
void DecodedDataTest::theDefaultChannelsLookAsEver() {
    DecodedWindow w;
    QTRY_VERIFY(hasSampleData(scopeSession));
    const auto picture = [&w] {
        QCoreApplication::sendPostedEvents();
        return w.window.grab().toImage();
    };
    const QImage before = picture();
    onNextModal<QDialog>([](QDialog& dialog) {
        const QList<QLineEdit*> names = dialog.findChildren<QLineEdit*>();
        const QList<QCheckBox*> shown = dialog.findChildren<QCheckBox*>();
        if (names.size() == kChannelCount && shown.size() == kChannelCount) {
            names[0]->setText("TX");
            shown[2]->setChecked(false);
            dialog.accept();
        }
    });
    w.window.windowSystem().sendMessage(commandMessage(CMD_CHANNELS));
    QVERIFY(picture() != before);
    onNextModal<QDialog>([](QDialog& dialog) {
        if (auto* buttons = dialog.findChild<QDialogButtonBox*>(); buttons != nullptr) {
            buttons->button(QDialogButtonBox::RestoreDefaults)->click();
            dialog.accept();
        }
    });
    w.window.windowSystem().sendMessage(commandMessage(CMD_CHANNELS));
    QVERIFY(scopeSession.channels == defaultChannelLooks());
    QCOMPARE(picture(), before);
    QVERIFY(w.window.close());
}

// Esc in the panel never reaches the window, where it clears the marker: in the search field it
// empties the field first, then gives the keyboard back to the traces. Over the traces it still
// clears the marker.
void DecodedDataTest::escapeInThePanelKeepsTheMarker() {
    DecodedWindow w;
    QTRY_VERIFY(hasSampleData(scopeSession));
    w.window.windowSystem().sendMessage(commandMessage(CMD_DECODED_DATA));
    DecodedDataPanel& panel = w.window.decodedData();
    QTRY_VERIFY(panel.isVisible());
    w.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    QWidget& traces = w.window.clientArea().traceView();
    const struct {
        const char* name;
        QWidget* focus;
        QString text;
        QString textAfter;
        QWidget* focusAfter;
        bool markerKept;
    } cases[] = {
        {"search field with text", &panel.searchField(), "0x41", "", &panel.searchField(), true},
        {"empty search field", &panel.searchField(), "", "", &traces, true},
        {"table", &panel.table(), "Pinp", "Pinp", &traces, true},
        {"traces", &traces, "", "", &traces, false},
    };
    for (const auto& c : cases) {
        scopeSession.marker = 1234;
        panel.searchField().setText(c.text);
        c.focus->setFocus();
        QTRY_VERIFY2(c.focus->hasFocus(), c.name);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY2(panel.searchField().text() == c.textAfter, c.name);
        QTRY_VERIFY2(c.focusAfter->hasFocus(), c.name);
        QVERIFY2(scopeSession.marker.has_value() == c.markerKept, c.name);
    }
    QVERIFY(w.window.close());
}

// View > Decoded Data is kept as it was left, open or closed, with its menu entry's tick.
void DecodedDataTest::theOpenPanelComesBackAtTheNextStart() {
    for (const bool open : {true, false, true}) {
        {
            DecodedWindow w;
            if (w.window.decodedData().isVisible() != open) {
                w.window.windowSystem().sendMessage(commandMessage(CMD_DECODED_DATA));
            }
            QTRY_COMPARE(w.window.decodedData().isVisible(), open);
            QVERIFY(w.window.close());
        }
        // The next run, on a probe of its own: the last one went with its window.
        resetScopeSession();
        DecodedWindow next;
        QTRY_COMPARE(next.window.decodedData().isVisible(), open);
        for (QAction* action : next.window.menuBar()->findChildren<QAction*>()) {
            if (action->data().toInt() == CMD_DECODED_DATA) {
                QCOMPARE(action->isChecked(), open);
            }
        }
        QVERIFY(next.window.close());
        resetScopeSession();
    }
}

PINPROBE_QT_TEST(DecodedDataTest)
#include "qt_decoded_data_test.moc"
