#include "shell/qt_template_builder.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QString>
#include <algorithm>

#include "shell/qt_program_scroll_bar.h"
#include "shell/qt_trace_view.h"

namespace {

const char* const kIdProperty = "controlId";

QLabel* createText(const ControlTemplate& c, QWidget& parent) {
    auto* label = new QLabel(toQString(c.text), &parent);
    label->setTextFormat(Qt::PlainText);
    const Qt::Alignment horizontal =
        c.kind == ControlKind::TextCentred ? Qt::AlignHCenter : Qt::AlignLeft;
    const Qt::Alignment vertical =
        (c.textFlags & kTextCentreVertically) != 0 ? Qt::AlignVCenter : Qt::AlignTop;
    label->setAlignment(horizontal | vertical);
    label->setWordWrap((c.textFlags & kTextWordWrap) != 0);
    if ((c.textFlags & kTextSunken) != 0) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setLineWidth(1);
    }
    return label;
}

QFrame* createFrame(const ControlTemplate& c, QWidget& parent) {
    auto* frame = new QFrame(&parent);
    if (c.kind == ControlKind::BlackBar) {
        QPalette black = frame->palette();
        black.setColor(QPalette::Window, Qt::black);
        frame->setPalette(black);
        frame->setAutoFillBackground(true);
    } else {
        frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
        frame->setLineWidth(1);
    }
    return frame;
}

QPushButton* createPushButton(const ControlTemplate& c, QWidget& parent) {
    auto* button = new QPushButton(toQString(c.text), &parent);
    // Enter on a push button that has the focus presses it.
    button->setAutoDefault(true);
    button->setDefault(c.kind == ControlKind::DefaultPushButton);
    return button;
}

QSlider* createSlider(QWidget& parent) {
    auto* slider = new QSlider(Qt::Horizontal, &parent);
    slider->setTickPosition(QSlider::TicksBothSides);
    // One tick per page rather than per step: a hundred ticks blur into a dotted line.
    slider->setTickInterval(slider->pageStep());
    return slider;
}

QWidget* createWidget(const ControlTemplate& c, QWidget& parent) {
    switch (c.kind) {
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton:
            return createPushButton(c, parent);
        case ControlKind::AutoCheckBox:
            return new QCheckBox(toQString(c.text), &parent);
        case ControlKind::AutoRadioButton:
            return new QRadioButton(toQString(c.text), &parent);
        case ControlKind::TextLeft:
        case ControlKind::TextCentred:
            return createText(c, parent);
        case ControlKind::Icon: {
            auto* icon = new QLabel(&parent);
            icon->setPixmap(templateIcon(c.iconId));
            return icon;
        }
        case ControlKind::BlackBar:
        case ControlKind::Frame:
            return createFrame(c, parent);
        case ControlKind::HorizontalScrollBar:
            return new ProgramScrollBar(&parent);
        case ControlKind::TraceView:
            return new GraphClass(&parent);
        case ControlKind::Slider:
            return createSlider(parent);
    }
    return new QWidget(&parent);
}

bool isButton(ControlKind kind) {
    return kind == ControlKind::PushButton || kind == ControlKind::DefaultPushButton ||
           kind == ControlKind::AutoCheckBox || kind == ControlKind::AutoRadioButton;
}

// Tab stops take the focus from Tab and clicks; other buttons only from clicks; the rest never.
Qt::FocusPolicy focusPolicy(const ControlTemplate& c) {
    if (c.tabStop) {
        return Qt::StrongFocus;
    }
    return isButton(c.kind) ? Qt::ClickFocus : Qt::NoFocus;
}

QRect controlGeometry(const ControlTemplate& c, const DialogBaseUnits& units,
                      const QWidget& widget) {
    QRect rect = dialogUnitsToPixels(units, c.x, c.y, c.width, c.height);
    if (c.kind == ControlKind::Icon) {
        // An icon control takes the size of its icon, whatever the template says.
        if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
            rect.setSize(label->pixmap().size());
        }
    }
    return rect;
}

}  // namespace

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

DialogBaseUnits applyTemplateFont(QWidget& client, const DialogTemplate& dialog) {
    const QFont font = templateFont(dialog.fontName, dialog.pointSize);
    client.setFont(font);
    return dialogBaseUnits(font);
}

void buildControls(QWidget& client, const DialogTemplate& dialog, const DialogBaseUnits& units,
                   const CommandSink& onCommand) {
    for (const ControlTemplate& c : dialog.controls) {
        QWidget* widget = createWidget(c, client);
        widget->setProperty(kIdProperty, c.id);
        if (c.id != kNoControlId) {
            widget->setObjectName(QStringLiteral("id%1").arg(c.id));
        }
        widget->setFocusPolicy(focusPolicy(c));
        widget->setGeometry(controlGeometry(c, units, *widget));
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            const int id = c.id;
            QObject::connect(button, &QAbstractButton::clicked, &client,
                             [onCommand, id] { onCommand(id); });
        }
    }
}

void focusFirstTabStop(QWidget& client) {
    for (QObject* child : client.children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget != nullptr && (widget->focusPolicy() & Qt::TabFocus) != 0) {
            widget->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

QWidget* findControl(const QWidget& root, int id) {
    return root.findChild<QWidget*>(QStringLiteral("id%1").arg(id));
}

int controlId(const QWidget& control) {
    const QVariant id = control.property(kIdProperty);
    return id.isValid() ? id.toInt() : kNoControlId;
}

QPixmap templateIcon(int iconId) {
    return QPixmap(QStringLiteral(":/icons/%1.png").arg(iconId));
}

QIcon templateIconSizes(int iconId) {
    QIcon icon;
    const QDir sizes(QStringLiteral(":/icons/%1").arg(iconId));
    for (const QFileInfo& size : sizes.entryInfoList(QDir::Files)) {
        icon.addFile(size.filePath());
    }
    return icon;
}

namespace {

// A group whose entries carry check marks: one of them is marked at start-up.
bool isCheckGroup(std::span<const MenuItem> items) {
    return std::any_of(items.begin(), items.end(), [](const MenuItem& item) {
        return item.kind == MenuItemKind::Command && item.checked;
    });
}

QAction* addCommand(QMenu& menu, const MenuItem& item, bool checkable,
                    const CommandSink& onCommand) {
    QAction* action = menu.addAction(toQString(item.text));
    action->setData(item.commandId);
    action->setCheckable(checkable);
    action->setChecked(item.checked);
    const int id = item.commandId;
    // Qt flips a checkable entry's mark before `triggered`; flip it back.
    QObject::connect(action, &QAction::triggered, &menu, [action, onCommand, id] {
        if (action->isCheckable()) {
            action->setChecked(!action->isChecked());
        }
        onCommand(id);
    });
    return action;
}

void fillMenu(QMenu& menu, std::span<const MenuItem> items, const CommandSink& onCommand,
              std::map<int, QAction*>& actions) {
    const bool checkable = isCheckGroup(items);
    for (const MenuItem& item : items) {
        switch (item.kind) {
            case MenuItemKind::Command:
                actions[item.commandId] = addCommand(menu, item, checkable, onCommand);
                break;
            case MenuItemKind::Toggle:
                actions[item.commandId] = addCommand(menu, item, true, onCommand);
                break;
            case MenuItemKind::Separator:
                menu.addSeparator();
                break;
            case MenuItemKind::Popup:
                fillMenu(*menu.addMenu(toQString(item.text)), item.items, onCommand, actions);
                break;
        }
    }
}

void addShortcuts(std::span<const MenuShortcut> shortcuts, const std::map<int, QAction*>& actions) {
    for (const auto& [id, action] : actions) {
        QList<QKeySequence> keys;
        for (const MenuShortcut& shortcut : shortcuts) {
            if (shortcut.commandId == id) {
                keys << QKeySequence(toQString(shortcut.keys), QKeySequence::PortableText);
            }
        }
        action->setShortcuts(keys);
    }
}

}  // namespace

std::map<int, QAction*> buildMenuBar(QMenuBar& bar, const MenuTemplate& menu,
                                     const CommandSink& onCommand) {
    std::map<int, QAction*> actions;
    for (const MenuItem& item : menu.items) {
        if (item.kind == MenuItemKind::Popup) {
            fillMenu(*bar.addMenu(toQString(item.text)), item.items, onCommand, actions);
        }
    }
    addShortcuts(menu.shortcuts, actions);
    return actions;
}
