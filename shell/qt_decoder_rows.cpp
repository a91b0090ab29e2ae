#include "shell/qt_decoder_rows.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <array>

#include "app/decoding/annotation_blocks.h"
#include "app/decoding/decoder_rows.h"
#include "app/decoding/desktop_decoding.h"
#include "core/scope_session.h"
#include "display/trace_geometry.h"
#include "shell/qt_template_builder.h"

namespace {

constexpr int kRowPadding = 6;
constexpr int kTitleMargin = 4;
// Blocks at least this wide keep a pixel of black at their right, so neighbours stay apart.
constexpr int kSeparatedWidth = 3;
constexpr QRgb kMessageColour = qRgb(160, 160, 160);

}  // namespace

QColor annotationColour(int annotationClass) {
    static constexpr std::array<QRgb, 8> kColours{
        qRgb(115, 210, 22), qRgb(252, 175, 62),  qRgb(114, 159, 207), qRgb(173, 127, 168),
        qRgb(252, 233, 79), qRgb(233, 185, 110), qRgb(239, 41, 41),   qRgb(52, 226, 226),
    };
    return QColor(kColours[static_cast<size_t>(annotationClass) % kColours.size()]);
}

DecoderRowsView::DecoderRowsView(QWidget* parent, const QWidget& traceView)
    : QWidget(parent), traceView_(traceView) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int DecoderRowsView::rowHeight() const {
    return fontMetrics().height() + kRowPadding;
}

int DecoderRowsView::neededHeight() const {
    return static_cast<int>(desktopDecoding.rows.size()) * rowHeight();
}

int DecoderRowsView::tracesLeft() const {
    return traceView_.mapTo(window(), QPoint(0, 0)).x() - mapTo(window(), QPoint(0, 0)).x();
}

QString DecoderRowsView::spokenName() const {
    const int width = traceView_.width();
    const std::optional<SampleSpan> shown =
        shownSamples(viewGeometry(scopeSession, width, traceView_.height()), width);
    QStringList rows;
    for (const DecoderRow& row : desktopDecoding.rows) {
        rows << toQString(rowText(desktopDecoding, row, shown));
    }
    return QStringLiteral("Decoder rows: ") +
           (rows.isEmpty() ? QStringLiteral("none") : rows.join(QStringLiteral("; ")));
}

void DecoderRowsView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.fillRect(QRect(tracesLeft(), 0, traceView_.width(), height()), Qt::black);
    const std::vector<DecoderRow>& rows = desktopDecoding.rows;
    for (size_t i = 0; i < rows.size(); ++i) {
        paintRow(painter, rows[i], static_cast<int>(i) * rowHeight());
    }
}

void DecoderRowsView::paintRow(QPainter& painter, const DecoderRow& row, int top) const {
    const int left = tracesLeft();
    const QRect title(kTitleMargin, top, left - 2 * kTitleMargin, rowHeight());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(title, Qt::AlignRight | Qt::AlignVCenter,
                     fontMetrics().elidedText(toQString(row.title), Qt::ElideRight, title.width()));
    const QRect area(left, top, traceView_.width(), rowHeight());
    const std::string message = rowMessage(desktopDecoding, row);
    if (!message.empty()) {
        painter.setPen(QColor(kMessageColour));
        painter.drawText(area.adjusted(kTitleMargin, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         toQString(message));
        return;
    }
    paintBlocks(painter, row, area);
}

std::vector<AnnotationBlock> DecoderRowsView::blocksOf(const DecoderRow& row) const {
    const TraceGeometry g = viewGeometry(scopeSession, traceView_.width(), traceView_.height());
    const TextWidth textWidth = [metrics = fontMetrics()](std::string_view text) {
        return metrics.horizontalAdvance(toQString(text));
    };
    return rowBlocks(row, desktopDecoding.result.annotations, g, traceView_.width(), textWidth);
}

void DecoderRowsView::paintBlocks(QPainter& painter, const DecoderRow& row,
                                  const QRect& area) const {
    const AnnotationStore& annotations = desktopDecoding.result.annotations;
    for (const AnnotationBlock& block : blocksOf(row)) {
        const int wide = block.x1 - block.x0;
        const QRect box(area.left() + block.x0, area.top() + 1,
                        wide >= kSeparatedWidth ? wide - 1 : wide, area.height() - 2);
        painter.fillRect(box, annotationColour(annotations.classOf(block.annotation)));
        if (!block.text.empty()) {
            painter.setPen(Qt::black);
            painter.drawText(box, Qt::AlignCenter, toQString(block.text));
        }
    }
}

bool DecoderRowsView::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QWidget::event(event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    const QString text = tooltipAt(help->pos());
    if (text.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), text, this);
    }
    return true;
}

const DecoderRow* DecoderRowsView::rowAt(int y) const {
    const std::vector<DecoderRow>& rows = desktopDecoding.rows;
    const int index = y / rowHeight();
    if (y < 0 || index >= static_cast<int>(rows.size())) {
        return nullptr;
    }
    return &rows[static_cast<size_t>(index)];
}

void DecoderRowsView::offerStackMenu(QPoint position, QPoint globalPosition) {
    const DecoderRow* row = rowAt(position.y());
    if (row == nullptr || !stackSink_) {
        return;
    }
    const size_t stack = row->stack;
    QMenu menu(this);
    std::optional<StackAction> chosen;
    connect(menu.addAction(QStringLiteral("&Edit\u2026")), &QAction::triggered, &menu,
            [&chosen] { chosen = StackAction::Edit; });
    connect(menu.addAction(QStringLiteral("&Remove")), &QAction::triggered, &menu,
            [&chosen] { chosen = StackAction::Remove; });
    const QString hide =
        stackHidden(desktopDecoding, stack) ? QStringLiteral("&Show") : QStringLiteral("&Hide");
    connect(menu.addAction(hide), &QAction::triggered, &menu,
            [&chosen] { chosen = StackAction::Hide; });
    menu.exec(globalPosition);
    // The sink may change the rows: nothing of them is read after it.
    if (chosen) {
        stackSink_(*chosen, stack);
    }
}

void DecoderRowsView::contextMenuEvent(QContextMenuEvent* event) {
    offerStackMenu(event->pos(), event->globalPos());
}

void DecoderRowsView::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && at.x() < tracesLeft()) {
        offerStackMenu(at, event->globalPosition().toPoint());
    }
}

QString DecoderRowsView::tooltipAt(QPoint position) const {
    const DecoderRow* found = rowAt(position.y());
    if (found == nullptr) {
        return {};
    }
    const DecoderRow& row = *found;
    const int x = position.x() - tracesLeft();
    if (x < 0 || !rowMessage(desktopDecoding, row).empty()) {
        return toQString(row.message.empty() ? row.title : row.title + "\n" + row.message);
    }
    const std::vector<AnnotationBlock> blocks = blocksOf(row);
    const AnnotationBlock* block = blockAt(blocks, x);
    return block == nullptr ? QString()
                            : toQString(annotationTooltip(
                                  row, desktopDecoding.result.annotations[block->annotation]));
}
