#include "shell/qt_time_ruler.h"

#include <QPainter>

#include "app/readout/recording_time.h"
#include "app/readout/view_text.h"
#include "core/measure_zero.h"
#include "core/scope_session.h"
#include "display/ruler_scale.h"
#include "shell/qt_template_builder.h"

namespace {

constexpr int kLabelGap = 3;
constexpr int kLongTick = 6;
constexpr int kShortTick = 3;
// Under the labels, room for the long ticks and the base line.
constexpr int kTickRoom = kLongTick + 2;

}  // namespace

TimeRuler::TimeRuler(QWidget* parent, const QWidget& traceView)
    : QWidget(parent), traceView_(traceView) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int TimeRuler::neededHeight() const {
    return QFontMetrics(font()).height() + kTickRoom;
}

QString TimeRuler::spokenName() const {
    const int width = traceView_.width();
    return toQString(rulerText(viewGeometry(scopeSession, width, traceView_.height()), width));
}

void TimeRuler::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    const ScopeSession& s = scopeSession;
    const int viewWidth = traceView_.width();
    const QFontMetrics metrics(font());
    // Room for a label such as "12.250 ms" and a little air around it.
    const int spacing = metrics.horizontalAdvance(QStringLiteral("00.000 ms")) + 4 * kLabelGap;
    const RulerScale scale = rulerScale(viewGeometry(s, viewWidth, traceView_.height()), viewWidth,
                                        recordingTime(), s.sampleOrigin, measureZero(s), spacing);
    const int bottom = height() - 1;
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawLine(0, bottom, viewWidth, bottom);
    for (const RulerTick& tick : scale.ticks) {
        const bool labelled = !tick.label.empty();
        painter.drawLine(tick.x, bottom - (labelled ? kLongTick : kShortTick), tick.x, bottom);
        const QString label = toQString(tick.label);
        // A label that would run past the traces' right edge is left out.
        if (labelled && tick.x + kLabelGap + metrics.horizontalAdvance(label) <= viewWidth) {
            painter.drawText(tick.x + kLabelGap, bottom - kLongTick - metrics.descent(), label);
        }
    }
    painter.setPen(Qt::red);
    for (int x : scale.gaps) {
        painter.drawLine(x, 0, x, bottom);
    }
    // A gap too short to mark in the traces: a small tick from the top.
    for (int x : scale.gapTicks) {
        painter.drawLine(x, 0, x, kShortTick);
    }
}
