#include "shell/qt_channels_dialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>

#include "core/channel_looks.h"
#include "core/channels.h"
#include "core/scope_session.h"
#include "shell/qt_template_builder.h"
#include "shell/qt_trace_canvas.h"

namespace {

// Long enough for "Chip select (active low)", short enough for the labels' band.
constexpr int kLongestName = 28;

struct ChannelRow {
    QLineEdit* name = nullptr;
    QPushButton* colour = nullptr;
    QCheckBox* shown = nullptr;
    uint32_t chosen = kClassicTraceColour;
};

class ChannelsForm {
public:
    void build(QDialog& dialog);
    void show(const ChannelLooks& looks);
    ChannelLooks looks() const;

private:
    void showColour(ChannelRow& row, uint32_t colour);
    void pickColour(QDialog& dialog, ChannelRow& row);

    std::array<ChannelRow, kChannelCount> rows_;
};

void ChannelsForm::showColour(ChannelRow& row, uint32_t colour) {
    row.chosen = colour;
    QPixmap swatch(28, 14);
    swatch.fill(colourFromBgr(colour));
    row.colour->setIcon(QIcon(swatch));
    row.colour->setIconSize(swatch.size());
    row.colour->setAccessibleName(QStringLiteral("Colour %1").arg(toQString(colourText(colour))));
}

void ChannelsForm::pickColour(QDialog& dialog, ChannelRow& row) {
    const QColor picked =
        QColorDialog::getColor(colourFromBgr(row.chosen), &dialog, QStringLiteral("Trace Colour"));
    if (picked.isValid()) {
        const auto bgr =
            static_cast<uint32_t>(picked.red() | picked.green() << 8 | picked.blue() << 16);
        showColour(row, bgr);
    }
}

void ChannelsForm::build(QDialog& dialog) {
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Name")), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Colour")), 0, 2);
    for (int channel = 0; channel < kChannelCount; ++channel) {
        ChannelRow& row = rows_[static_cast<size_t>(channel)];
        row.name = new QLineEdit(&dialog);
        row.name->setMaxLength(kLongestName);
        row.name->setPlaceholderText(toQString(kChannelNames[channel]));
        row.colour = new QPushButton(&dialog);
        // Enter in a name is OK, not a colour chooser.
        row.colour->setAutoDefault(false);
        row.shown = new QCheckBox(QStringLiteral("Shown"), &dialog);
        QObject::connect(row.colour, &QPushButton::clicked, &dialog,
                         [this, &dialog, &row] { pickColour(dialog, row); });
        auto* number = new QLabel(QString::number(channel + 1), &dialog);
        number->setBuddy(row.name);
        grid->addWidget(number, channel + 1, 0);
        grid->addWidget(row.name, channel + 1, 1);
        grid->addWidget(row.colour, channel + 1, 2);
        grid->addWidget(row.shown, channel + 1, 3);
    }
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(grid);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                         QDialogButtonBox::RestoreDefaults);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(buttons->button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked,
                     &dialog, [this] { show(defaultChannelLooks()); });
    layout->addWidget(buttons);
}

void ChannelsForm::show(const ChannelLooks& looks) {
    for (size_t channel = 0; channel < rows_.size(); ++channel) {
        rows_[channel].name->setText(toQString(looks[channel].name));
        showColour(rows_[channel], looks[channel].colour);
        rows_[channel].shown->setChecked(looks[channel].shown);
    }
}

ChannelLooks ChannelsForm::looks() const {
    ChannelLooks looks;
    for (size_t channel = 0; channel < rows_.size(); ++channel) {
        const ChannelRow& row = rows_[channel];
        looks[channel].name =
            tidyChannelName(row.name->text().toStdString(), static_cast<int>(channel));
        looks[channel].colour = row.chosen;
        looks[channel].shown = row.shown->isChecked();
    }
    return looks;
}

}  // namespace

bool runChannelsDialog(QWidget& owner) {
    QDialog dialog(&owner);
    dialog.setWindowTitle(QStringLiteral("Channels"));
    ChannelsForm form;
    form.build(dialog);
    form.show(scopeSession.channels);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    scopeSession.channels = form.looks();
    return true;
}
