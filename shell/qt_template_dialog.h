#pragma once

#include <QDialog>
#include <cstdint>

#include "app/window/info_dialog.h"
#include "resources/dialog_templates.h"
#include "shell/qt_dialog_units.h"

// The procedure that decides a small dialog's answers and its end.
using DialogProcedure = DialogReply (*)(uint32_t messageId, uint32_t commandId);

// A small modal dialog built from its template. Every click of a push button, check box or radio
// button, Enter (1), Esc and the close box (2) go to the procedure as a command; the dialog ends
// when the procedure says so.
class TemplateDialog : public QDialog {
public:
    TemplateDialog(const DialogTemplate& dialog, QWidget* owner, DialogProcedure procedure);

    // Places the dialog's client area at the template's position, counted from the top-left
    // corner of `origin` (the owner's client area), kept on the screen.
    void placeFrom(const QWidget& origin);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void command(int id);

    const DialogTemplate& template_;
    DialogBaseUnits units_;
    DialogProcedure procedure_;
};

// Runs dialog `templateId` modally over `owner`; false when there is no such template.
bool runTemplateDialog(int templateId, QWidget& owner, const QWidget& origin,
                       DialogProcedure procedure);
