#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <functional>
#include <map>
#include <string_view>

#include "resources/dialog_templates.h"
#include "resources/menu_template.h"
#include "shell/qt_dialog_units.h"

class QAction;
class QMenuBar;
class QWidget;

// Receives the id of a clicked push button, check box or radio button, or of a chosen menu entry.
using CommandSink = std::function<void(int id)>;

// A text of the resources (UTF-8) for Qt.
QString toQString(std::string_view text);

// Gives `client` the template's font and returns the units its layout is measured in.
DialogBaseUnits applyTemplateFont(QWidget& client, const DialogTemplate& dialog);

// Creates the template's controls on `client`, in template order (which is the tab order), at
// their pixel positions. Each carries its id in the property "controlId" and, when it has one, in
// its object name "id<N>".
void buildControls(QWidget& client, const DialogTemplate& dialog, const DialogBaseUnits& units,
                   const CommandSink& onCommand);

// Gives the focus to the first control of `client` that Tab visits (template order).
void focusFirstTabStop(QWidget& client);

// The control with template id `id` under `root`, or nullptr.
QWidget* findControl(const QWidget& root, int id);
// The template id a control was built with; kNoControlId for other widgets.
int controlId(const QWidget& control);

// Icon `iconId` from the program's resources (null when there is none).
QPixmap templateIcon(int iconId);
// Every size drawn of icon `iconId`, so that title and task bars need not scale it.
QIcon templateIconSizes(int iconId);

// Fills `bar` with the menu's entries, initial marks and shortcuts; gives back each command's
// action (its data is the command id). A chosen entry reports its id and leaves its mark as it was:
// only the program sets marks.
std::map<int, QAction*> buildMenuBar(QMenuBar& bar, const MenuTemplate& menu,
                                     const CommandSink& onCommand);
