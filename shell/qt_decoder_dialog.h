#pragma once

#include <QDialog>

struct DecoderForm;
class QFormLayout;
class QLabel;
class QLineEdit;
class QListWidget;

// Decode > Add Decoder…: a searchable list of the decoders beside the chosen one's settings (the
// decoder it stacks on, if it can, its channels with the required ones first, its options, and
// the sample period where the recording keeps no time). Every change goes into `form`; Add
// keeps the dialog open, saying why, until the form accepts the choices.
class DecoderDialog : public QDialog {
    Q_OBJECT

public:
    DecoderDialog(QWidget* owner, DecoderForm& form);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillList(bool keepChosen);
    void chooseRow(int row);
    void showChosen();
    void addStackChoice();
    void addChannelChoices();
    void addOptionChoices();
    void addPeriodChoice();
    void tryAccept();

    DecoderForm& form_;
    QLineEdit* search_ = nullptr;
    QListWidget* list_ = nullptr;
    QLabel* about_ = nullptr;
    QWidget* settings_ = nullptr;
    QFormLayout* settingsLayout_ = nullptr;
    QLabel* error_ = nullptr;
};

// Runs the dialog over `owner` until it is closed; the form's outcome says what was chosen.
void runDecoderDialog(QWidget& owner, DecoderForm& form);
