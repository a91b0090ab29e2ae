#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

#include "app/readout/pointer_readout.h"
#include "app/view/trace_input.h"
#include "shell/qt_spoken_view.h"

class WindowSystem;

// The trace view: a black panel that paints the session's samples at every paint and keeps
// nothing of its own; its width is the view's. While the worker captures, it asks for the live
// view's tick every few tens of milliseconds (or, on its own, paints again), so that the samples
// fill in as they are stored. Hovering shows the readout of the point under the pointer; once
// attached to the main window, clicks set and clear the marker, the wheel scrolls and zooms, and
// the keys scroll (Home, End, arrows, Page Up/Down) and jump to the edges of the channel the
// pointer was last on, else the one under it, else channel 1 (. and , or Alt with the arrows),
// to the gaps (g and Shift+g) and to the trigger point (t); a readout that is up follows the marker
// they move. Shift+click, a middle click or m (at the marker) sets a second marker; the span's
// measures stay on show. Once the keyboard has moved the focus, a frame shows that they have it.
class GraphClass : public QWidget, public SpokenView {
    Q_OBJECT

public:
    explicit GraphClass(QWidget* parent = nullptr);

    void attachTo(WindowSystem& mainWindow);
    // Called instead of a plain repaint when a live paint's refresh is due.
    void setLiveTick(std::function<void()> tick);
    // Acts on a key the traces take (scrolling, the edge, gap and trigger keys); false for any
    // other key.
    bool takeKey(const QKeyEvent& event);

    QAccessible::Role spokenRole() const override { return QAccessible::Chart; }
    QString spokenName() const override { return accessibleName(); }
    // Samples, zoom, the stretch shown and the marker with its levels.
    QString spokenDescription() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    TracePointer pointerAt(QPoint position) const;
    // Shows the readout at `position`, or hides the tooltip where there is none.
    void showReadout(QPoint position);

    // A scroll key sent as the scroll bar sends it; false for other keys.
    bool scrollByKey(const QKeyEvent& event);
    // An edge key: jumps on edgeChannel(); false for other keys.
    bool jumpByKey(const QKeyEvent& event);
    // A readout that is up, again where it was asked for, after a key moved the marker.
    void followMarker();
    // m: the second marker where the marker stands; false for other keys.
    bool spanByKey(const QKeyEvent& event);
    // The span's measures in a small box of their own, while there is a span.
    void paintSpanPanel(QPainter& painter) const;
    // g and G (Shift+g): the next and the previous gap; false for other keys.
    bool gapByKey(const QKeyEvent& event);
    // t: the trigger point; false for other keys.
    bool triggerByKey(const QKeyEvent& event);
    // The channel the edge keys act on: the row the pointer was last over, else the one under the
    // pointer now, else channel 1, so that the keys work before the pointer has moved.
    int edgeChannel() const;

    QTimer liveRefresh_;
    std::function<void()> liveTick_;
    WindowSystem* mainWindow_ = nullptr;
    WheelNotches wheel_;
    std::optional<int> pointerChannel_;  // the row the pointer was last over
    QPoint readoutAt_;                   // where the readout shown last was asked for
};
