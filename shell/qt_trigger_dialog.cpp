#include "shell/qt_trigger_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <array>
#include <string>

#include "app/readout/channel_text.h"
#include "app/window/trigger_settings.h"
#include "resources/command_ids.h"
#include "shell/qt_template_builder.h"

namespace {

struct ConditionChoice {
    TriggerCondition condition;
    const char* text;
};
constexpr std::array<ConditionChoice, 6> kChoices{{
    {TriggerCondition::NotUsed, "Not used"},
    {TriggerCondition::Rising, "Rising edge"},
    {TriggerCondition::Falling, "Falling edge"},
    {TriggerCondition::EitherEdge, "Either edge"},
    {TriggerCondition::High, "High"},
    {TriggerCondition::Low, "Low"},
}};

const char* choiceText(TriggerCondition condition) {
    for (const ConditionChoice& choice : kChoices) {
        if (choice.condition == condition) {
            return choice.text;
        }
    }
    return "";
}

QComboBox* conditionBox(QWidget& dialog, TriggerCondition current) {
    auto* box = new QComboBox(&dialog);
    for (const ConditionChoice& choice : kChoices) {
        box->addItem(QString::fromUtf8(choice.text), static_cast<int>(choice.condition));
        if (choice.condition == current) {
            box->setCurrentIndex(box->count() - 1);
        }
    }
    return box;
}

QComboBox* shareBox(QWidget& dialog, uint8_t current) {
    auto* box = new QComboBox(&dialog);
    for (const uint8_t share : kPreTriggerShares) {
        box->addItem(QStringLiteral("%1 %").arg(share), share);
        if (share == current) {
            box->setCurrentIndex(box->count() - 1);
        }
    }
    return box;
}

// The dialog's controls and what they stand for now.
struct TriggerForm {
    std::array<QComboBox*, kChannelCount> channels{};
    QComboBox* share = nullptr;
    QLabel* words = nullptr;

    TriggerSettings settings() const {
        TriggerSettings chosen;
        for (int channel = 0; channel < kChannelCount; ++channel) {
            chosen.conditions[channel] =
                static_cast<TriggerCondition>(channels[channel]->currentData().toInt());
        }
        chosen.preTriggerPercent = static_cast<uint8_t>(share->currentData().toInt());
        return chosen;
    }
    void showWords() const { words->setText(toQString(describeTrigger(settings().conditions))); }
};

void buildForm(QDialog& dialog, TriggerForm& form) {
    const TriggerSettings current = currentTriggerSettings();
    auto* layout = new QVBoxLayout(&dialog);
    auto* rows = new QFormLayout;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        form.channels[channel] = conditionBox(dialog, current.conditions[channel]);
        rows->addRow(toQString(channelLabel(channel)), form.channels[channel]);
        QObject::connect(form.channels[channel], &QComboBox::currentIndexChanged, &dialog,
                         [&form] { form.showWords(); });
    }
    form.share = shareBox(dialog, current.preTriggerPercent);
    rows->addRow(QStringLiteral("Before the trigger"), form.share);
    layout->addLayout(rows);
    form.words = new QLabel(&dialog);
    form.words->setWordWrap(true);
    form.words->setTextFormat(Qt::PlainText);
    layout->addWidget(form.words);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    form.showWords();
}

}  // namespace

void runTriggerDialog(QWidget& owner) {
    QDialog dialog(&owner);
    dialog.setWindowTitle(QStringLiteral("Trigger"));
    TriggerForm form;
    buildForm(dialog, form);
    if (dialog.exec() == QDialog::Accepted) {
        applyTriggerSettings(form.settings());
        showPortTriggerBoxes(owner);
    }
}

void showPortTriggerBoxes(QWidget& window) {
    const ChannelConditions conditions = currentTriggerSettings().conditions;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        auto* box = window.findChild<QCheckBox*>(
            QStringLiteral("id%1").arg(CMD_PORT_TRIGGER_FIRST + channel));
        if (box == nullptr) {
            continue;
        }
        const PortBoxState state = portBoxState(channel);
        box->setCheckState(state == PortBoxState::Ticked           ? Qt::Checked
                           : state == PortBoxState::OtherCondition ? Qt::PartiallyChecked
                                                                   : Qt::Unchecked);
        box->setToolTip(state == PortBoxState::OtherCondition
                            ? QStringLiteral("Trigger: %1").arg(choiceText(conditions[channel]))
                            : QString());
    }
}
