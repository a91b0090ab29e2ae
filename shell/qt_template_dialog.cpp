#include "shell/qt_template_dialog.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QScreen>
#include <algorithm>

#include "core/window_system.h"
#include "resources/command_ids.h"
#include "shell/qt_template_builder.h"

TemplateDialog::TemplateDialog(const DialogTemplate& dialog, QWidget* owner,
                               DialogProcedure procedure)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      template_(dialog),
      units_(applyTemplateFont(*this, dialog)),
      procedure_(procedure) {
    setWindowTitle(toQString(dialog.caption));
    setModal(true);
    buildControls(*this, dialog, units_, [this](int id) { command(id); });
    const QSize size = dialogUnitsToPixels(units_, QSize(dialog.width, dialog.height));
    if (dialog.frame == FrameStyle::Fixed) {
        setFixedSize(size);
    } else {
        resize(size);
    }
    if (procedure_(MSG_INITDIALOG, 0).answer) {
        focusFirstTabStop(*this);
    }
}

void TemplateDialog::placeFrom(const QWidget& origin) {
    QRect rect(origin.mapToGlobal(dialogUnitsToPixels(units_, template_.x, template_.y)), size());
    if (const QScreen* screen = origin.screen()) {
        const QRect available = screen->availableGeometry();
        rect.moveRight(std::min(rect.right(), available.right()));
        rect.moveBottom(std::min(rect.bottom(), available.bottom()));
        rect.moveLeft(std::max(rect.left(), available.left()));
        rect.moveTop(std::max(rect.top(), available.top()));
    }
    setGeometry(rect);
}

void TemplateDialog::command(int id) {
    const DialogReply reply = procedure_(MSG_COMMAND, static_cast<uint32_t>(id));
    if (reply.endDialog) {
        done(reply.result);
    }
}

// A push button that has the focus takes Enter itself; everywhere else Enter is OK.
void TemplateDialog::keyPressEvent(QKeyEvent* event) {
    const bool plain = event->modifiers() == Qt::NoModifier ||
                       (event->modifiers() == Qt::KeypadModifier && event->key() == Qt::Key_Enter);
    if (plain && event->key() == Qt::Key_Escape) {
        command(CMD_CANCEL);
    } else if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        command(CMD_OK);
    } else {
        event->ignore();
    }
}

void TemplateDialog::closeEvent(QCloseEvent* event) {
    // The dialog closes only through the procedure; done() has hidden it when it says so.
    event->ignore();
    if (isVisible()) {
        command(CMD_CANCEL);
    }
}

bool runTemplateDialog(int templateId, QWidget& owner, const QWidget& origin,
                       DialogProcedure procedure) {
    const DialogTemplate* dialog = findDialogTemplate(templateId);
    if (dialog == nullptr) {
        return false;
    }
    TemplateDialog box(*dialog, &owner, procedure);
    box.placeFrom(origin);
    box.exec();
    return true;
}
