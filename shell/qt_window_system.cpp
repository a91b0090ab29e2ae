#include "shell/qt_window_system.h"

#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QWidget>

#include "app/decoding/desktop_decoding.h"
#include "resources/command_ids.h"
#include "shell/qt_channels_dialog.h"
#include "shell/qt_decoder_dialog.h"
#include "shell/qt_file_chooser.h"
#include "shell/qt_program_scroll_bar.h"
#include "shell/qt_speed_dialog.h"
#include "shell/qt_template_builder.h"
#include "shell/qt_trace_view.h"
#include "shell/qt_trigger_dialog.h"

namespace {

QMessageBox::Icon boxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::Information:
            break;
    }
    return QMessageBox::Information;
}

QMessageBox::StandardButtons boxButtons(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case MessageButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case MessageButtons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

MessageAnswer answerOf(QMessageBox::StandardButton button, MessageButtons buttons) {
    switch (button) {
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        case QMessageBox::Ok:
            return MessageAnswer::Ok;
        default:
            return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
    }
}

}  // namespace

QtWindowSystem::QtWindowSystem(Parts parts, MessageHandler handler, DialogProcedure dialogProcedure)
    : parts_(std::move(parts)), handler_(std::move(handler)), dialogProcedure_(dialogProcedure) {}

MessageResult QtWindowSystem::deliver(const WindowMessage& message) {
    if (destroyed_) {
        return MessageResult{};
    }
    const MessageResult result = handler_(*this, message);
    if (!result.handled && message.id == MSG_CLOSE && destroyWindow() && !closing_) {
        parts_.window->close();
    }
    return result;
}

bool QtWindowSystem::requestClose() {
    if (!destroyed_) {
        closing_ = true;
        deliver(WindowMessage{MSG_CLOSE, 0, 0});
        closing_ = false;
    }
    return destroyed_;
}

bool QtWindowSystem::destroyWindow() {
    if (destroyed_) {
        return false;
    }
    // Set first: nothing that the shutdown sets off may reach the window any more.
    destroyed_ = true;
    handler_(*this, WindowMessage{MSG_DESTROY, 0, 0});
    return true;
}

bool QtWindowSystem::queryEndSession() {
    const MessageResult result = deliver(WindowMessage{MSG_QUERYENDSESSION, 0, 0});
    return !result.handled || result.answer != 0;
}

ScrollRange QtWindowSystem::scrollRange() const {
    return parts_.scrollBar->programRange();
}

void QtWindowSystem::setScrollRange(int32_t low, int32_t high, bool) {
    parts_.scrollBar->setProgramRange(low, high);
    viewChanged();
}

void QtWindowSystem::setScrollPosition(int32_t position, bool) {
    parts_.scrollBar->setProgramPosition(position);
    viewChanged();
}

void QtWindowSystem::refreshTraceView() {
    parts_.traceView->repaint();
    viewChanged();
}

void QtWindowSystem::viewChanged() {
    if (parts_.viewChanged) {
        parts_.viewChanged();
    }
}

void QtWindowSystem::showBand(ViewBand band, bool shown) {
    if (parts_.showBand) {
        parts_.showBand(band, shown);
    }
}

void QtWindowSystem::checkMenuItem(int commandId, bool checked) {
    const auto found = parts_.menuActions.find(commandId);
    if (found == parts_.menuActions.end()) {
        return;
    }
    found->second->setCheckable(found->second->isCheckable() || checked);
    found->second->setChecked(checked);
}

void QtWindowSystem::runDialog(int templateId) {
    if (templateId == IDD_ADD_DECODER) {
        runDecoderDialog(*parts_.window, desktopDecoding.form);
        return;
    }
    if (templateId == IDD_TRIGGER) {
        runTriggerDialog(*parts_.window);
        return;
    }
    if (templateId == IDD_CHANNELS) {
        if (runChannelsDialog(*parts_.window) && parts_.channelsChanged) {
            parts_.channelsChanged();
        }
        return;
    }
    if (templateId == IDD_DECODED_DATA) {
        if (parts_.toggleDecodedData) {
            parts_.toggleDecodedData();
        }
        return;
    }
    if (templateId == IDD_SAMPLE_SPEED) {
        runSpeedDialog(*parts_.window, *parts_.client, dialogProcedure_);
        return;
    }
    runTemplateDialog(templateId, *parts_.window, *parts_.client, dialogProcedure_);
}

MessageAnswer QtWindowSystem::messageBox(std::string_view text, std::string_view caption,
                                         MessageButtons buttons, MessageIcon icon) {
    QMessageBox box(boxIcon(icon), toQString(caption), toQString(text), boxButtons(buttons),
                    parts_.window);
    // File names go into some texts: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return answerOf(box.standardButton(box.clickedButton()), buttons);
}

bool QtWindowSystem::chooseFile(const FileChooserRequest& request, std::string& path,
                                std::string& title) {
    return runFileChooser(*parts_.window, request, path, title);
}

bool QtWindowSystem::askText(std::string_view question, std::string_view caption,
                             std::string& text) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(parts_.window, toQString(caption), toQString(question),
                              QLineEdit::Normal, toQString(text), &ok);
    if (ok) {
        text = answer.toStdString();
    }
    return ok;
}

void QtWindowSystem::refreshDecoderRows() {
    if (parts_.decoderRowsChanged) {
        parts_.decoderRowsChanged();
    }
}

void QtWindowSystem::beep() {
    QApplication::beep();
}

void QtWindowSystem::postMessage(const WindowMessage& message) {
    QMetaObject::invokeMethod(
        &receiver_, [this, message] { deliver(message); }, Qt::QueuedConnection);
}

intptr_t QtWindowSystem::sendMessage(const WindowMessage& message) {
    return deliver(message).answer;
}
