#pragma once

#include <QWidget>

#include "shell/qt_spoken_view.h"

#include <vector>

struct AnnotationBlock;
struct DecoderRow;

// The decoders' rows under the traces, one line each: the row's title left of the traces, and
// under them its annotations at the view's zoom and scroll (text inside a block where it fits, a
// block alone where not), or what the decoding is doing. Each paint reads the program's decoding
// as it is; a tooltip gives an annotation's full text.
class DecoderRowsView : public QWidget, public SpokenView {
    Q_OBJECT

public:
    DecoderRowsView(QWidget* parent, const QWidget& traceView);

    // The height all rows take; 0 without decoders.
    int neededHeight() const;
    int rowHeight() const;

    QAccessible::Role spokenRole() const override { return QAccessible::StaticText; }
    // Every row with its annotations on screen.
    QString spokenName() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Where the traces begin, counted from this widget's left edge.
    int tracesLeft() const;
    std::vector<AnnotationBlock> blocksOf(const DecoderRow& row) const;
    void paintRow(QPainter& painter, const DecoderRow& row, int top) const;
    void paintBlocks(QPainter& painter, const DecoderRow& row, const QRect& area) const;
    QString tooltipAt(QPoint position) const;

    const QWidget& traceView_;
};

// The colour of annotation class `annotationClass`: one of a few that read well on black.
QColor annotationColour(int annotationClass);
