#pragma once

#include <QWidget>

#include "app/decoding/desktop_decoding.h"
#include "shell/qt_spoken_view.h"

#include <functional>
#include <vector>

struct AnnotationBlock;
struct DecoderRow;

// The decoders' rows under the traces, one line each: the row's title left of the traces, and
// under them its annotations at the view's zoom and scroll (text inside a block where it fits, a
// block alone where not), or what the decoding is doing. Each paint reads the program's decoding
// as it is; a tooltip gives an annotation's full text. A right click on a row, or a click on its
// title, offers Edit… and Remove for the row's stack.
class DecoderRowsView : public QWidget, public SpokenView {
    Q_OBJECT

public:
    DecoderRowsView(QWidget* parent, const QWidget& traceView);

    // Where Edit… and Remove go, with the stack they are for.
    using StackSink = std::function<void(StackAction action, size_t stack)>;
    void setStackSink(StackSink sink) { stackSink_ = std::move(sink); }

    // The height all rows take; 0 without decoders.
    int neededHeight() const;
    int rowHeight() const;

    QAccessible::Role spokenRole() const override { return QAccessible::StaticText; }
    // Every row with its annotations on screen.
    QString spokenName() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // Where the traces begin, counted from this widget's left edge.
    int tracesLeft() const;
    std::vector<AnnotationBlock> blocksOf(const DecoderRow& row) const;
    void paintRow(QPainter& painter, const DecoderRow& row, int top) const;
    void paintBlocks(QPainter& painter, const DecoderRow& row, const QRect& area) const;
    QString tooltipAt(QPoint position) const;
    // The row at y, if there is one.
    const DecoderRow* rowAt(int y) const;
    // The menu of the row at `position`, where it was asked for.
    void offerStackMenu(QPoint position, QPoint globalPosition);

    const QWidget& traceView_;
    StackSink stackSink_;
};

// The colour of annotation class `annotationClass`: one of a few that read well on black.
QColor annotationColour(int annotationClass);
