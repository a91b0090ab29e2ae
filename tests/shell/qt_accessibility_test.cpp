#include <QAbstractButton>
#include <QAccessible>
#include <QtTest>

#include "app/window/main_window_proc.h"
#include "core/scope_session.h"
#include "message_log.h"
#include "resources/command_ids.h"
#include "shell/qt_channel_labels.h"
#include "shell/qt_decoder_rows.h"
#include "shell/qt_main_window.h"
#include "shell/qt_overview_strip.h"
#include "shell/qt_status_line.h"
#include "shell/qt_template_builder.h"
#include "shell/qt_time_ruler.h"
#include "tests/shell/support/qt_test_registry.h"
#include "tests/support/session_samples.h"

namespace {

QAccessibleInterface* accessibleOf(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

QString accessibleName(QObject* object) {
    QAccessibleInterface* face = accessibleOf(object);
    return face != nullptr ? face->text(QAccessible::Name) : QString();
}

MessageResult answerInitDialog(WindowSystem&, const WindowMessage& m) {
    return MessageResult{true, m.id == MSG_INITDIALOG ? 1 : 0};
}

// The window with a recording of `samples` samples in the session, drawn once.
struct RecordedWindow {
    MessageLog log;
    DezoRaraClass window;
    QWidget& client;
    QWidget& traces;

    explicit RecordedWindow(uint32_t samples)
        : log{{}, answerInitDialog},
          window(log.handler()),
          client(*window.centralWidget()),
          traces(*findControl(client, IDC_TRACE_VIEW)) {
        window.show();
        loadSessionSamples(std::vector<uint8_t>(samples, 0x08));
        window.windowSystem().refreshTraceView();
    }
    template <typename View>
    QAccessibleInterface* band() const {
        return accessibleOf(client.findChild<View*>());
    }
    // The number of the last sample at the view's right edge at one pixel per sample.
    QString lastAtEdge(int firstSample = 0) const {
        return QString::number(firstSample + traces.width() - 1);
    }
};

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QSettings(QSettings::IniFormat, QSettings::UserScope, "pinprobe", "pinprobe").clear();
        resetScopeSession();
    }
    void cleanup() { resetScopeSession(); }
    void controlsSayWhatTheyDo();
    void viewsSayWhatTheyShow();
};

// A screen reader reads each control by its role and name: the trigger boxes, which show no text,
// by their channel; the buttons as labelled, without the mnemonic's mark.
void AccessibilityTest::controlsSayWhatTheyDo() {
    MessageLog log;
    DezoRaraClass window(log.handler());
    window.show();
    struct Control {
        int id;
        QAccessible::Role role;
        const char* name;
    };
    const Control controls[] = {
        {CMD_NEW_SAMPLE, QAccessible::Button, "New Sample"},
        {CMD_MEMORY_TRIGGER, QAccessible::Button, "MemTrig"},
        {CMD_BREAK, QAccessible::Button, "Break"},
        {CMD_ZOOM_OUT, QAccessible::Button, "Zoom Out"},
        {CMD_ZOOM_IN, QAccessible::Button, "Zoom In"},
        {1015, QAccessible::CheckBox, "Port trigger on channel 1, Error"},
        {1019, QAccessible::CheckBox, "Port trigger on channel 5, Busy"},
        {2001, QAccessible::CheckBox, "Memory trigger on channel 2, Select"},
        {2003, QAccessible::CheckBox, "Memory trigger on channel 4, Acknowledge"},
        {IDC_SCROLL_BAR, QAccessible::ScrollBar, "Position in the recording"},
    };
    for (const Control& c : controls) {
        QAccessibleInterface* face = accessibleOf(findControl(*window.centralWidget(), c.id));
        QVERIFY2(face != nullptr, qPrintable(QString::number(c.id)));
        QCOMPARE(face->role(), c.role);
        QCOMPARE(face->text(QAccessible::Name), QString::fromUtf8(c.name));
    }
    // No button or box of the window goes unnamed, and no two share a name.
    QSet<QString> names;
    const QList<QAbstractButton*> buttons =
        window.centralWidget()->findChildren<QAbstractButton*>();
    for (QAbstractButton* button : buttons) {
        names << accessibleName(button);
    }
    QVERIFY(!names.contains(QString()));
    QCOMPARE(names.size(), buttons.size());
    QCOMPARE(buttons.size(), 15);
}

// The bands and the traces read the session when asked, each with the traces' own width.
void AccessibilityTest::viewsSayWhatTheyShow() {
    RecordedWindow w(5000);
    const QString edge = w.lastAtEdge();
    struct View {
        QAccessibleInterface* face;
        QAccessible::Role role;
        QString name;
    };
    const View views[] = {
        {w.band<StatusLine>(), QAccessible::StatusBar, "Untitled: 5000 samples, no time base"},
        {w.band<TimeRuler>(), QAccessible::StaticText, "Time ruler: samples 0 to " + edge},
        {w.band<OverviewStrip>(), QAccessible::Chart,
         "Overview: samples 0 to " + edge + " on screen, of samples 0 to 4999"},
        {w.band<ChannelLabels>(), QAccessible::StaticText,
         "Channel labels: 1 Error, pin 15; 2 Select, pin 13; 3 Out Of Paper, pin 12; "
         "4 Acknowledge, pin 10; 5 Busy, pin 11"},
        {w.band<DecoderRowsView>(), QAccessible::StaticText, "Decoder rows: none"},
        {accessibleOf(&w.traces), QAccessible::Chart, "Traces"},
    };
    for (const View& v : views) {
        QVERIFY(v.face != nullptr);
        QCOMPARE(v.face->role(), v.role);
        QCOMPARE(v.face->text(QAccessible::Name), v.name);
    }
    QCOMPARE(accessibleOf(&w.traces)->text(QAccessible::Description),
             "5000 samples, 1 pixel per sample, showing samples 0 to " + edge);
    // The overview keeps its tooltip as its description.
    QVERIFY(w.band<OverviewStrip>()->text(QAccessible::Description).startsWith("The whole"));

    // Asked again, they tell what they show now.
    scopeSession.view.viewStart = 100;
    scopeSession.marker = 150;
    QCOMPARE(w.band<TimeRuler>()->text(QAccessible::Name),
             "Time ruler: samples 100 to " + w.lastAtEdge(100));
    QCOMPARE(accessibleOf(&w.traces)->text(QAccessible::Description),
             "5000 samples, 1 pixel per sample, showing samples 100 to " + w.lastAtEdge(100) +
                 "; marker at sample 150: Error high, Select low, Out Of Paper low, "
                 "Acknowledge low, Busy low");
}

PINPROBE_QT_TEST(AccessibilityTest)
#include "qt_accessibility_test.moc"
