#include <QAction>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <thread>

#include "core/scope_session.h"
#include "message_log.h"
#include "resources/command_ids.h"
#include "shell/qt_dialog_units.h"
#include "shell/qt_file_chooser.h"
#include "shell/qt_main_window.h"
#include "shell/qt_status_line.h"
#include "tests/shell/support/paint_counter.h"
#include "tests/shell/support/qt_test_registry.h"
#include "tests/shell/support/select_file.h"

namespace {

// Runs `step` on the modal window that the next call opens, as soon as the event loop runs.
void whenModalOpens(std::function<void(QWidget&)> step) {
    QTimer::singleShot(0, qApp, [step] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal != nullptr);
        step(*modal);
    });
}

FileChooserRequest scopeFileRequest(bool forOpen) {
    return FileChooserRequest{
        forOpen,
        {{"Scope Files (*.SCO)", " *.SCO", ""}, {", All Files(*.*)", "    *.* ", ""}},
        "SCO",
        nullptr,
        ""};
}

}  // namespace

class WindowSystemTest : public QObject {
    Q_OBJECT

private slots:
    void smallDialogIsModalOverTheClientArea();
    void messageBoxAnswers_data();
    void messageBoxAnswers();
    void nameFilters_data();
    void nameFilters();
    void saveChooserAddsTheDefaultExtension();
    void openChooserGivesPathAndTitle();
    void cancelledChooserLeavesBoth();
    void chooserTakesItsCaption();
    void statusLineNamesTheFileACommandChose();
    void postFromAnotherThreadArrivesOnTheMainThread();
};

void WindowSystemTest::smallDialogIsModalOverTheClientArea() {
    MessageLog log;
    DezoRaraClass window(log.handler());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QWidget& client = *window.centralWidget();
    bool seen = false;
    whenModalOpens([&](QWidget& dialog) {
        seen = true;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Printer Port Connectios"));
        QCOMPARE(dialog.parentWidget(), &window);
        const DialogBaseUnits units = dialogBaseUnits(dialog.font());
        QCOMPARE(dialog.geometry().topLeft(),
                 client.mapToGlobal(dialogUnitsToPixels(units, 60, 30)));
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    window.windowSystem().runDialog(IDD_CONNECTIONS);
    QVERIFY(seen);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void WindowSystemTest::messageBoxAnswers_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("press");  // a standard button, or 0 for Esc
    QTest::addColumn<int>("answer");
    const int yesNoCancel = int(MessageButtons::YesNoCancel);
    QTest::newRow("yes") << yesNoCancel << int(QMessageBox::Yes) << int(MessageAnswer::Yes);
    QTest::newRow("no") << yesNoCancel << int(QMessageBox::No) << int(MessageAnswer::No);
    QTest::newRow("cancel") << yesNoCancel << int(QMessageBox::Cancel)
                            << int(MessageAnswer::Cancel);
    QTest::newRow("esc is cancel") << yesNoCancel << 0 << int(MessageAnswer::Cancel);
    QTest::newRow("yes of two") << int(MessageButtons::YesNo) << int(QMessageBox::Yes)
                                << int(MessageAnswer::Yes);
    QTest::newRow("esc of two is no") << int(MessageButtons::YesNo) << 0 << int(MessageAnswer::No);
    QTest::newRow("ok") << int(MessageButtons::Ok) << int(QMessageBox::Ok)
                        << int(MessageAnswer::Ok);
    QTest::newRow("esc of ok") << int(MessageButtons::Ok) << 0 << int(MessageAnswer::Ok);
}

void WindowSystemTest::messageBoxAnswers() {
    QFETCH(int, buttons);
    QFETCH(int, press);
    QFETCH(int, answer);
    MessageLog log;
    DezoRaraClass window(log.handler());
    whenModalOpens([press](QWidget& modal) {
        auto& box = static_cast<QMessageBox&>(modal);
        QCOMPARE(box.windowTitle(), QStringLiteral("Pinprobe"));
        QCOMPARE(box.text(), QStringLiteral("Save changes to run1.SCO?"));
        QCOMPARE(box.icon(), QMessageBox::Question);
        // File names go into these texts: never read as markup.
        QCOMPARE(box.textFormat(), Qt::PlainText);
        if (press == 0) {
            QTest::keyClick(&box, Qt::Key_Escape);
        } else {
            box.button(QMessageBox::StandardButton(press))->click();
        }
    });
    const MessageAnswer given = window.windowSystem().messageBox(
        "Save changes to run1.SCO?", "Pinprobe", MessageButtons(buttons), MessageIcon::Question);
    QCOMPARE(int(given), answer);
}

void WindowSystemTest::nameFilters_data() {
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("filter");
    QTest::newRow("scope files") << "Scope Files (*.SCO)"
                                 << " *.SCO"
                                 << "Scope Files (*.SCO)";
    QTest::newRow("all files, every name") << ", All Files(*.*)"
                                           << "    *.* "
                                           << ", All Files (*)";
    QTest::newRow("several patterns") << "Pictures"
                                      << "*.png;*.bmp"
                                      << "Pictures (*.png *.bmp)";
    QTest::newRow("no pattern") << "Anything"
                                << "  "
                                << "Anything (*)";
}

void WindowSystemTest::nameFilters() {
    QFETCH(QString, description);
    QFETCH(QString, pattern);
    QFETCH(QString, filter);
    QCOMPARE(qtNameFilter(FileTypeFilter{description.toStdString(), pattern.toStdString(), ""}),
             filter);
}

void WindowSystemTest::saveChooserAddsTheDefaultExtension() {
    QTemporaryDir dir;
    MessageLog log;
    DezoRaraClass window(log.handler());
    whenModalOpens([&dir](QWidget& modal) {
        auto& chooser = static_cast<QFileDialog&>(modal);
        QCOMPARE(chooser.acceptMode(), QFileDialog::AcceptSave);
        QCOMPARE(chooser.nameFilters(), (QStringList{"Scope Files (*.SCO)", ", All Files (*)"}));
        QCOMPARE(chooser.selectedNameFilter(), QStringLiteral("Scope Files (*.SCO)"));
        QVERIFY(chooser.testOption(QFileDialog::DontUseNativeDialog));
        chooser.setDirectory(dir.path());
        selectFileIn(chooser, QStringLiteral("run1"));
        static_cast<QDialog&>(chooser).accept();  // the chooser's own, through the public base
    });
    std::string path;
    std::string title;
    QVERIFY(window.windowSystem().chooseFile(scopeFileRequest(false), path, title));
    QCOMPARE(QString::fromStdString(path), dir.filePath(QStringLiteral("run1.SCO")));
    QCOMPARE(title, std::string("run1.SCO"));
}

void WindowSystemTest::openChooserGivesPathAndTitle() {
    QTemporaryDir dir;
    QFile existing(dir.filePath(QStringLiteral("capture.sco")));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.close();
    MessageLog log;
    DezoRaraClass window(log.handler());
    whenModalOpens([&](QWidget& modal) {
        auto& chooser = static_cast<QFileDialog&>(modal);
        QCOMPARE(chooser.acceptMode(), QFileDialog::AcceptOpen);
        QCOMPARE(chooser.fileMode(), QFileDialog::ExistingFile);
        chooser.setDirectory(dir.path());
        selectFileIn(chooser, existing.fileName());
        static_cast<QDialog&>(chooser).accept();  // the chooser's own, through the public base
    });
    std::string path;
    std::string title = "before";
    QVERIFY(window.windowSystem().chooseFile(scopeFileRequest(true), path, title));
    QCOMPARE(QString::fromStdString(path), existing.fileName());
    QCOMPARE(title, std::string("capture.sco"));
}

void WindowSystemTest::cancelledChooserLeavesBoth() {
    MessageLog log;
    DezoRaraClass window(log.handler());
    whenModalOpens([](QWidget& modal) { static_cast<QFileDialog&>(modal).reject(); });
    std::string path = "/old/path.SCO";
    std::string title = "path.SCO";
    QVERIFY(!window.windowSystem().chooseFile(scopeFileRequest(false), path, title));
    QCOMPARE(path, std::string("/old/path.SCO"));
    QCOMPARE(title, std::string("path.SCO"));
}

void WindowSystemTest::chooserTakesItsCaption() {
    MessageLog log;
    DezoRaraClass window(log.handler());
    QString seen;
    whenModalOpens([&seen](QWidget& modal) {
        seen = modal.windowTitle();
        static_cast<QFileDialog&>(modal).reject();
    });
    FileChooserRequest request = scopeFileRequest(false);
    request.caption = "Export";
    std::string path;
    std::string title;
    QVERIFY(!window.windowSystem().chooseFile(request, path, title));
    QCOMPARE(seen, QStringLiteral("Export"));
}

// Save As changes no view, yet the status line must name the file it chose at once.
void WindowSystemTest::statusLineNamesTheFileACommandChose() {
    MessageLog log;
    log.reply = [](WindowSystem&, const WindowMessage& m) {
        if (m.id == MSG_COMMAND && m.code == CMD_SAVE_AS) {
            scopeSession.documentTitle = "run1.SCO";
        }
        return MessageResult{m.id != MSG_CLOSE, 0};
    };
    DezoRaraClass window(log.handler());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* status = window.findChild<StatusLine*>();
    QVERIFY(status != nullptr);
    PaintCounter paints;
    status->installEventFilter(&paints);
    QApplication::processEvents();
    status->repaint();
    paints.paints = 0;
    QApplication::processEvents();
    QCOMPARE(paints.paints, 0);
    QAction* saveAs = nullptr;
    for (QAction* action : window.findChildren<QAction*>()) {
        saveAs = action->text() == QStringLiteral("Save &As...") ? action : saveAs;
    }
    QVERIFY(saveAs != nullptr);
    saveAs->trigger();
    QTRY_VERIFY(paints.paints > 0);
    QVERIFY(status->text().startsWith(QStringLiteral("run1.SCO")));
    resetScopeSession();
}

void WindowSystemTest::postFromAnotherThreadArrivesOnTheMainThread() {
    MessageLog log;
    QThread* handledOn = nullptr;
    log.reply = [&](WindowSystem&, const WindowMessage& m) {
        if (m.id == CAPTURE_DONE) {
            handledOn = QThread::currentThread();
        }
        return MessageResult{true, 0};
    };
    DezoRaraClass window(log.handler());
    std::thread worker([&] {
        window.windowSystem().postMessage(WindowMessage{CAPTURE_DONE, 0, 0});
    });
    worker.join();
    QCOMPARE(log.count(CAPTURE_DONE), 0);
    QTRY_COMPARE(log.count(CAPTURE_DONE), 1);
    QCOMPARE(handledOn, QThread::currentThread());
}

PINPROBE_QT_TEST(WindowSystemTest)
#include "qt_window_system_test.moc"
