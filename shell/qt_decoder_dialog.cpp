#include "shell/qt_decoder_dialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "app/decoding/decoder_form.h"
#include "app/readout/channel_text.h"
#include "core/channels.h"
#include "shell/qt_template_builder.h"

namespace {

constexpr int kListWidthLetters = 40;
constexpr int kSettingsWidthLetters = 64;
constexpr int kHeightLines = 30;
constexpr int kChoiceLetters = 16;

QString aboutText(const DecoderInfo& info) {
    return toQString(info.longName + "\n" + info.description);
}

QString channelChoiceText(int channel) {
    return toQString(channelLabel(channel) + ", " + channelPinLabel(channel));
}

// A list of choices as wide as the column lets it be, however long its longest choice.
QComboBox* newChoices() {
    auto* box = new QComboBox;
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(kChoiceLetters);
    return box;
}

QString optionLabel(const DecoderOption& option) {
    return toQString(option.description.empty() ? option.id : option.description) + ":";
}

}  // namespace

DecoderDialog::DecoderDialog(QWidget* owner, DecoderForm& form) : QDialog(owner), form_(form) {
    setWindowTitle(tr("Add Decoder"));
    search_ = new QLineEdit(this);
    search_->setPlaceholderText(tr("Type to search"));
    search_->setClearButtonEnabled(true);
    search_->installEventFilter(this);
    auto* searchLabel = new QLabel(tr("&Search:"), this);
    searchLabel->setBuddy(search_);
    list_ = new QListWidget(this);
    list_->setMinimumWidth(fontMetrics().averageCharWidth() * kListWidthLetters);
    about_ = new QLabel(this);
    about_->setWordWrap(true);
    about_->setTextFormat(Qt::PlainText);
    settings_ = new QWidget;
    settingsLayout_ = new QFormLayout(settings_);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(settings_);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setMinimumWidth(fontMetrics().averageCharWidth() * kSettingsWidthLetters);
    error_ = new QLabel(this);
    error_->setWordWrap(true);
    error_->setTextFormat(Qt::PlainText);
    error_->setStyleSheet(QStringLiteral("color: #c00000"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    QPushButton* add = buttons->addButton(tr("&Add"), QDialogButtonBox::AcceptRole);
    add->setDefault(true);

    auto* left = new QVBoxLayout;
    left->addWidget(searchLabel);
    left->addWidget(search_);
    left->addWidget(list_, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(about_);
    right->addWidget(scroll, 1);
    right->addWidget(error_);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right, 1);
    auto* all = new QVBoxLayout(this);
    all->addLayout(columns, 1);
    all->addWidget(buttons);
    resize(sizeHint().width(), fontMetrics().height() * kHeightLines);

    connect(search_, &QLineEdit::textChanged, this, [this] { fillList(false); });
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) {
            chooseRow(row);
        }
    });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { tryAccept(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    fillList(true);
    showChosen();
    search_->setFocus();
}

// The decoders the search finds, best first; the one chosen stays chosen while it is among them
// only when `keepChosen`: a search typed chooses its best match, so that Enter adds it.
void DecoderDialog::fillList(bool keepChosen) {
    const QSignalBlocker quiet(list_);
    list_->clear();
    for (const size_t index : form_.matching(search_->text().toStdString())) {
        const DecoderInfo& info = form_.decoders[index];
        auto* item = new QListWidgetItem(toQString(info.name + " (" + info.id + ")"), list_);
        item->setData(Qt::UserRole, static_cast<qulonglong>(index));
        item->setToolTip(aboutText(info));
        if (keepChosen && form_.chosen == index) {
            list_->setCurrentItem(item);
        }
    }
    if (list_->currentRow() < 0 && list_->count() > 0) {
        list_->setCurrentRow(0);
        chooseRow(0);  // by hand: the list's signals are blocked here
    }
}

void DecoderDialog::chooseRow(int row) {
    form_.choose(static_cast<size_t>(list_->item(row)->data(Qt::UserRole).toULongLong()));
    showChosen();
}

void DecoderDialog::showChosen() {
    while (settingsLayout_->rowCount() > 0) {
        settingsLayout_->removeRow(0);
    }
    error_->clear();
    if (!form_.chosen) {
        about_->clear();
        return;
    }
    const DecoderInfo& info = form_.decoders[*form_.chosen];
    about_->setText(aboutText(info));
    if (const std::string note = form_.stackingNote(); !note.empty()) {
        auto* text = new QLabel(toQString(note));
        text->setWordWrap(true);
        settingsLayout_->addRow(text);
    }
    addStackChoice();
    addChannelChoices();
    addOptionChoices();
    addPeriodChoice();
}

// Shown only where the chosen decoder can take what one of the stacks gives.
void DecoderDialog::addStackChoice() {
    const std::vector<StackTarget> targets = form_.targets();
    if (targets.empty()) {
        return;
    }
    auto* stackOn = newChoices();
    stackOn->addItem(tr("Our channels"));
    for (const StackTarget& target : targets) {
        stackOn->addItem(toQString(target.title), static_cast<qulonglong>(target.stack));
        if (form_.stackOn == target.stack) {
            stackOn->setCurrentIndex(stackOn->count() - 1);
        }
    }
    connect(stackOn, &QComboBox::currentIndexChanged, this, [this, stackOn](int index) {
        form_.stackOn.reset();
        if (index > 0) {
            form_.stackOn = static_cast<size_t>(stackOn->itemData(index).toULongLong());
        }
    });
    settingsLayout_->addRow(tr("&Reads:"), stackOn);
}

void DecoderDialog::addChannelChoices() {
    for (ChannelChoice& choice : form_.channels) {
        auto* channel = newChoices();
        if (!choice.required) {
            channel->addItem(tr("(none)"), -1);
        }
        for (int ours = 0; ours < kChannelCount; ++ours) {
            channel->addItem(channelChoiceText(ours), ours);
        }
        channel->setCurrentIndex(channel->findData(choice.ours.value_or(-1)));
        connect(channel, &QComboBox::currentIndexChanged, this, [&choice, channel](int index) {
            const int ours = channel->itemData(index).toInt();
            choice.ours = ours >= 0 ? std::optional<int>(ours) : std::nullopt;
        });
        const std::string label = choice.channel.name + (choice.required ? " *:" : ":");
        channel->setToolTip(toQString(choice.channel.description));
        settingsLayout_->addRow(toQString(label), channel);
    }
}

void DecoderDialog::addOptionChoices() {
    for (OptionChoice& choice : form_.options) {
        const QString tip = toQString("Default: " + optionText(choice.option.defaultValue));
        if (choice.option.choices.empty()) {
            auto* value = new QLineEdit(toQString(choice.text));
            value->setPlaceholderText(toQString(optionText(choice.option.defaultValue)));
            value->setToolTip(tip);
            connect(value, &QLineEdit::textChanged, this,
                    [&choice](const QString& text) { choice.text = text.toStdString(); });
            settingsLayout_->addRow(optionLabel(choice.option), value);
            continue;
        }
        auto* value = newChoices();
        for (const OptionValue& option : choice.option.choices) {
            value->addItem(toQString(optionText(option)));
        }
        value->setCurrentText(toQString(choice.text));
        value->setToolTip(tip);
        connect(value, &QComboBox::currentTextChanged, this,
                [&choice](const QString& text) { choice.text = text.toStdString(); });
        settingsLayout_->addRow(optionLabel(choice.option), value);
    }
}

void DecoderDialog::addPeriodChoice() {
    if (!form_.asksPeriod) {
        return;
    }
    auto* period = new QLineEdit(toQString(form_.periodText));
    period->setToolTip(
        tr("A scope file keeps no time: the time between two samples, such as "
           "1 us, 2.5 ms or 100 ns"));
    connect(period, &QLineEdit::textChanged, this,
            [this](const QString& text) { form_.periodText = text.toStdString(); });
    settingsLayout_->addRow(tr("Sample &period:"), period);
}

void DecoderDialog::tryAccept() {
    if (form_.accept()) {
        accept();
    } else {
        error_->setText(toQString(form_.error));
    }
}

// The arrows and page keys in the search field move through the list.
bool DecoderDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == search_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
            key == Qt::Key_PageDown) {
            QCoreApplication::sendEvent(list_, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void runDecoderDialog(QWidget& owner, DecoderForm& form) {
    DecoderDialog dialog(&owner, form);
    dialog.exec();
}
