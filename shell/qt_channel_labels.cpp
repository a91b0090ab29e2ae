#include "shell/qt_channel_labels.h"

#include <QPainter>
#include <algorithm>

#include "app/readout/channel_text.h"
#include "app/readout/view_text.h"
#include "core/scope_session.h"
#include "display/trace_geometry.h"
#include "shell/qt_template_builder.h"

namespace {

constexpr int kMargin = 4;

}  // namespace

ChannelLabels::ChannelLabels(QWidget* parent, const QWidget& traceView)
    : QWidget(parent), traceView_(traceView) {}

int ChannelLabels::neededWidth() const {
    const QFontMetrics metrics(font());
    int widest = 0;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        widest = std::max({widest, metrics.horizontalAdvance(toQString(channelLabel(channel))),
                           metrics.horizontalAdvance(toQString(channelPinLabel(channel)))});
    }
    return widest + 2 * kMargin;
}

QString ChannelLabels::spokenName() const {
    return toQString(channelLabelsText());
}

void ChannelLabels::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const TraceGeometry g = traceGeometry(traceView_.width(), traceView_.height(), 0, 0);
    const QFontMetrics metrics(font());
    const int lineHeight = metrics.height();
    const QRect column(0, 0, width() - kMargin, height());
    const QPen normal = painter.pen();
    for (int channel = 0; channel < kChannelCount; ++channel) {
        // The two lines sit around the middle between the trace's two levels.
        const int middle = g.baseline[channel] - g.levelHeight / 2;
        const QRect name(column.left(), middle - lineHeight, column.width(), lineHeight);
        // A hidden channel's label stays, greyed, so that the rows keep their places.
        const bool shown = scopeSession.channels[static_cast<size_t>(channel)].shown;
        painter.setPen(shown ? normal : palette().color(QPalette::Disabled, QPalette::WindowText));
        painter.drawText(name, Qt::AlignRight | Qt::AlignVCenter, toQString(channelLabel(channel)));
        painter.drawText(name.translated(0, lineHeight), Qt::AlignRight | Qt::AlignVCenter,
                         toQString(channelPinLabel(channel)));
    }
}
