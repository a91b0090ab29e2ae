#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QtTest>
#include <functional>

#include "core/window_system.h"
#include "resources/command_ids.h"
#include "resources/program_version.h"
#include "shell/qt_template_builder.h"
#include "shell/qt_template_dialog.h"
#include "tests/shell/support/qt_test_registry.h"

namespace {

// The commands the dialog procedure saw; it answers as the program's own procedure, or keeps the
// dialog open when `keepOpen` is set.
std::vector<int> seenCommands;
bool keepOpen = false;

DialogReply recordingProcedure(uint32_t messageId, uint32_t commandId) {
    if (messageId == MSG_COMMAND) {
        seenCommands.push_back(static_cast<int>(commandId));
    }
    const DialogReply reply = infoDialogProc(messageId, commandId);
    return keepOpen ? DialogReply{reply.answer, false, 0} : reply;
}

// "Kind id 'text'" for every control, in creation order.
QStringList describeControls(const QWidget& dialog) {
    QStringList lines;
    for (QObject* child : dialog.children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget == nullptr) {
            continue;
        }
        QString text;
        QString kind = QStringLiteral("other");
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            kind = label->pixmap().isNull() ? QStringLiteral("text") : QStringLiteral("icon");
            text = label->text();
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            auto* push = qobject_cast<QPushButton*>(widget);
            kind = push == nullptr     ? QStringLiteral("radio")
                   : push->isDefault() ? QStringLiteral("default")
                                       : QStringLiteral("button");
            text = button->text();
        } else if (qobject_cast<QSlider*>(widget)) {
            kind = QStringLiteral("slider");
        } else if (qobject_cast<QFrame*>(widget)) {
            kind = QStringLiteral("frame");
        }
        lines << QStringLiteral("%1 %2 '%3'").arg(kind).arg(controlId(*widget)).arg(text);
    }
    return lines;
}

const DialogTemplate& dialogTemplate(int id) {
    return *findDialogTemplate(id);
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void dialogsShowTheirControls_data();
    void dialogsShowTheirControls();
    void dialogLooks();
    void everyWayOutIsACommand_data();
    void everyWayOutIsACommand();
    void dialogEndsOnlyWhenTheProcedureSaysSo();
};

void DialogsTest::init() {
    seenCommands.clear();
    keepOpen = false;
}

void DialogsTest::dialogsShowTheirControls_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("controls");
    const QString warning = QStringLiteral("text -1 'Connect only Digital 0 to 5 Volt Signals !'");
    QTest::newRow("how to use")
        << 105 << "How To Use"
        << QStringList{
               "button 1013 'OK'",
               "text -1 'Ditigal Scope using parallel port as input .   Connect probe to port and "
               "select speed   and buffer size. Sample data and then look at it offline. Trigger "
               "works only offline.  Great for analyzing cellular phones, garage door openers, "
               "beepers and so on. '",
               "icon -1 ''", "icon -1 ''", warning};
    QTest::newRow("connections") << 106 << "Printer Port Connectios"
                                 << QStringList{
                                        "icon -1 ''",
                                        "text -1 'Name                  Port Pin    Channel'",
                                        "button 1012 'OK'",
                                        "frame -1 ''",
                                        warning,
                                        "icon -1 ''",
                                        "text -1 'Error'",
                                        "text -1 '15'",
                                        "text -1 '1'",
                                        "text -1 'Select'",
                                        "text -1 '13'",
                                        "text -1 '2'",
                                        "text -1 'Out Of Paper'",
                                        "text -1 '12'",
                                        "text -1 '3'",
                                        "text -1 'Acknowledge'",
                                        "text -1 '10'",
                                        "text -1 '4'",
                                        "text -1 'Busy'",
                                        "text -1 '11'",
                                        "text -1 '5'",
                                        "text -1 'Ground'",
                                        "text -1 '25'",
                                        "text -1 'All'"};
    QTest::newRow("about") << 108 << "About Pinprobe"
                           << QStringList{"icon -1 ''",
                                          "default 1 'OK'",
                                          "text -1 'for the PC printer port'",
                                          "text -1 'Five-channel logic recorder'",
                                          "text -1 '" +
                                              QString::fromUtf8(kAboutVersionLine.data(),
                                                                kAboutVersionLine.size()) +
                                              "'",
                                          "text -1 'Pinprobe'",
                                          "frame -1 ''"};
    QTest::newRow("too slow") << 109 << "Too Slow"
                              << QStringList{"default 1 'OK'", "text -1 'Set Speed Faster !'"};
    QTest::newRow("sorry") << 111 << "Sorry" << QStringList{"default 1 'Not Implemented'"};
    QTest::newRow("sample speed") << 112 << "Set Sample Speed"
                                  << QStringList{"default 1 'Done'", "slider 1039 ''",
                                                 "text -1 'Slower'", "text -1 'Faster'",
                                                 "radio 1040 'Fastest'"};
}

void DialogsTest::dialogsShowTheirControls() {
    QFETCH(int, id);
    QFETCH(QString, caption);
    QFETCH(QStringList, controls);
    TemplateDialog dialog(dialogTemplate(id), nullptr, recordingProcedure);
    QCOMPARE(dialog.windowTitle(), caption);
    QCOMPARE(describeControls(dialog), controls);
    // Only the connections dialog has a sizing border.
    QCOMPARE(dialog.minimumSize() == dialog.maximumSize(), id != 106);
}

void DialogsTest::dialogLooks() {
    TemplateDialog tooSlow(dialogTemplate(109), nullptr, recordingProcedure);
    QCOMPARE(tooSlow.font().weight(), QFont::Black);
    QCOMPARE(tooSlow.font().pointSize(), 12);
    auto* sunken = tooSlow.findChild<QLabel*>();
    QCOMPARE(sunken->frameShadow(), QFrame::Sunken);
    QCOMPARE(sunken->alignment(), Qt::AlignHCenter | Qt::AlignVCenter);

    TemplateDialog speed(dialogTemplate(112), nullptr, recordingProcedure);
    QCOMPARE(speed.findChild<QSlider*>()->tickPosition(), QSlider::TicksBothSides);

    TemplateDialog help(dialogTemplate(105), nullptr, recordingProcedure);
    const QList<QLabel*> labels = help.findChildren<QLabel*>();
    QVERIFY(labels[0]->wordWrap());
    QCOMPARE(labels[1]->pixmap().size(), QSize(32, 32));
    QCOMPARE(labels[2]->pixmap().size(), QSize(32, 32));
    QVERIFY(labels[1]->pixmap().toImage() != labels[2]->pixmap().toImage());
}

void DialogsTest::everyWayOutIsACommand_data() {
    QTest::addColumn<int>("dialogId");
    QTest::addColumn<QString>("action");
    QTest::addColumn<std::vector<int>>("commands");
    QTest::addColumn<bool>("ends");
    using V = std::vector<int>;
    QTest::newRow("Enter on the slider is OK") << 112 << "enter 1039" << V{CMD_OK} << true;
    QTest::newRow("Enter on a button is that button") << 105 << "enter 1013" << V{1013} << true;
    QTest::newRow("Enter on the default button") << 111 << "enter 1" << V{CMD_OK} << true;
    QTest::newRow("Esc is Cancel") << 109 << "escape" << V{CMD_CANCEL} << true;
    QTest::newRow("close box is Cancel") << 108 << "close" << V{CMD_CANCEL} << true;
    QTest::newRow("Done") << 112 << "click 1" << V{CMD_OK} << true;
    QTest::newRow("radio button") << 112 << "click 1040" << V{1040} << true;
    QTest::newRow("connections OK") << 106 << "click 1012" << V{1012} << true;
    QTest::newRow("slider moves") << 112 << "slide 1039" << V{} << false;
}

void DialogsTest::everyWayOutIsACommand() {
    QFETCH(int, dialogId);
    QFETCH(QString, action);
    QFETCH(std::vector<int>, commands);
    QFETCH(bool, ends);
    TemplateDialog dialog(dialogTemplate(dialogId), nullptr, recordingProcedure);
    QSignalSpy finished(&dialog, &QDialog::finished);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    const QStringList words = action.split(' ');
    QWidget* control = words.size() > 1 ? findControl(dialog, words[1].toInt()) : nullptr;
    if (words[0] == "enter") {
        control->setFocus();
        QTest::keyClick(control, Qt::Key_Return);
    } else if (words[0] == "escape") {
        QTest::keyClick(&dialog, Qt::Key_Escape);
    } else if (words[0] == "close") {
        dialog.close();
    } else if (words[0] == "click") {
        QTest::mouseClick(control, Qt::LeftButton);
    } else if (words[0] == "slide") {
        control->setFocus();
        QTest::keyClick(control, Qt::Key_Right);
        QTest::keyClick(control, Qt::Key_PageUp);
        QVERIFY(static_cast<QSlider*>(control)->value() > 0);
    }
    QCOMPARE(seenCommands, commands);
    QCOMPARE(finished.count(), ends ? 1 : 0);
    QCOMPARE(dialog.isVisible(), !ends);
    if (ends) {
        QCOMPARE(finished.front().front().toInt(), 0);
    }
}

void DialogsTest::dialogEndsOnlyWhenTheProcedureSaysSo() {
    keepOpen = true;
    TemplateDialog dialog(dialogTemplate(112), nullptr, recordingProcedure);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    dialog.close();
    QTest::mouseClick(findControl(dialog, 1), Qt::LeftButton);
    QCOMPARE(seenCommands, (std::vector<int>{CMD_CANCEL, CMD_CANCEL, CMD_OK}));
    QVERIFY(dialog.isVisible());
}

PINPROBE_QT_TEST(DialogsTest)
#include "qt_dialogs_test.moc"
