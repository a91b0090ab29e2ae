#pragma once

#include <QWidget>
#include <array>
#include <vector>

#include "app/window/client_layout.h"
#include "core/window_system.h"
#include "shell/qt_template_builder.h"

class ChannelLabels;
class DecoderRowsView;
class GraphClass;
class OverviewStrip;
class ProgramScrollBar;
class QScrollArea;
class StatusLine;
class TimeRuler;

// The main window's client area: the template's controls on the button face, and around them the
// bands (overview, ruler, channel labels, status line), each of which can be hidden. At its
// default size, which is also its smallest, the controls sit at their template places (moved by
// the bands shown); what the window has beyond it goes to the traces.
class ClientArea : public QWidget {
    Q_OBJECT

public:
    ClientArea(QWidget* parent, const DialogTemplate& layout, const CommandSink& onCommand);

    GraphClass& traceView() const { return *traceView_; }
    ProgramScrollBar& scrollBar() const { return *scrollBar_; }
    OverviewStrip& overview() const { return *overview_; }
    // The decoders' rows under the traces (above the scroll bar), as many as there are once
    // decoderRowsChanged() has run.
    DecoderRowsView& decoderRows() const { return *decoderRows_; }
    // The dialog units of the template's font, which the whole client area uses.
    const DialogBaseUnits& units() const { return units_; }

    void showBand(ViewBand band, bool shown);
    bool bandShown(ViewBand band) const { return shown_[static_cast<size_t>(band)]; }
    // The default and smallest size with the bands shown now.
    QSize defaultSize() const;
    // The bands and the decoders' rows repaint from the session.
    void updateBands();
    // The decoders' rows changed: the default size follows them, up to `room` pixels for their
    // band (the rest scroll inside it), and they are placed and drawn.
    void decoderRowsChanged(int room);
    // The channels' names, colours or shown traces changed: the labels take the room their
    // names need, and everything that draws a channel is drawn again.
    void channelsChanged();
    int decoderRowsHeight() const { return rowsHeight_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Watches the bands beside the traces.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void keepTemplateControls();
    void orderTabStops();
    void createBands();
    QWidget& bandWidget(ViewBand band) const;
    BandSizes bandSizes() const;
    void fitToBands();
    // Places everything for the current size and bands.
    void relayout();

    DialogBaseUnits units_;
    QSize templateSize_;
    std::vector<QWidget*> controlWidgets_;
    std::vector<TemplateControl> controls_;
    GraphClass* traceView_ = nullptr;
    ProgramScrollBar* scrollBar_ = nullptr;
    OverviewStrip* overview_ = nullptr;
    TimeRuler* ruler_ = nullptr;
    ChannelLabels* labels_ = nullptr;
    StatusLine* status_ = nullptr;
    DecoderRowsView* decoderRows_ = nullptr;
    QScrollArea* rowsScroll_ = nullptr;  // holds the rows; scrolls those its band has no room for
    int rowsHeight_ = 0;                 // as high as the rows' band was when last laid out
    std::array<bool, kViewBandCount> shown_{true, true, true, true};
};
