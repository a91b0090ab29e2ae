#include <QAbstractButton>
#include <QAccessible>
#include <QtTest>

#include "message_log.h"
#include "resources/command_ids.h"
#include "shell/qt_main_window.h"
#include "shell/qt_template_builder.h"

namespace {

QAccessibleInterface* accessibleOf(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

QString accessibleName(QObject* object) {
    QAccessibleInterface* face = accessibleOf(object);
    return face != nullptr ? face->text(QAccessible::Name) : QString();
}

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QSettings(QSettings::IniFormat, QSettings::UserScope, "pinprobe", "pinprobe").clear();
    }
    void controlsSayWhatTheyDo();
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

QTEST_MAIN(AccessibilityTest)
#include "qt_accessibility_test.moc"
