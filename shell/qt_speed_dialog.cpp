#include "shell/qt_speed_dialog.h"

#include <QLabel>
#include <QSlider>

#include "app/window/slow_speed.h"
#include "capture/delay_cost.h"
#include "core/scope_session.h"
#include "resources/command_ids.h"
#include "shell/qt_template_builder.h"

namespace {

constexpr int kPageSteps = 6;

QSlider* speedSlider(const QDialog& box) {
    for (QSlider* slider : box.findChildren<QSlider*>()) {
        if (controlId(*slider) == IDC_SPEED_SLIDER) {
            return slider;
        }
    }
    return nullptr;
}

// Centred under the slider, between its "Slower" and "Faster".
QLabel* rateLabel(QDialog& box, const QSlider& slider) {
    auto* rate = new QLabel(&box);
    rate->setAlignment(Qt::AlignCenter);
    rate->setGeometry(slider.x(), slider.geometry().bottom() + 1, slider.width(),
                      rate->fontMetrics().height());
    const auto show = [rate, &slider] {
        rate->setText(toQString(slowRateText(slowDelayAt(slider.value()), delayUnitSeconds())));
    };
    QObject::connect(&slider, &QSlider::valueChanged, rate, show);
    show();
    return rate;
}

}  // namespace

void runSpeedDialog(QWidget& owner, const QWidget& origin, DialogProcedure procedure) {
    TemplateDialog box(*findDialogTemplate(IDD_SAMPLE_SPEED), &owner, procedure);
    QSlider* slider = speedSlider(box);
    if (slider != nullptr) {
        slider->setRange(0, kSlowSliderPositions);
        slider->setPageStep(kSlowSliderPositions / kPageSteps);
        slider->setTickInterval(slider->pageStep());
        slider->setValue(slowSliderPosition(scopeSession.slowDelayUnits));
        rateLabel(box, *slider);
    }
    box.placeFrom(origin);
    box.exec();
    if (slider != nullptr) {
        scopeSession.slowDelayUnits = slowDelayAt(slider->value());
    }
}
