#include "shell/qt_client_area.h"

#include <QScrollArea>

#include "app/readout/channel_text.h"
#include "app/window/control_names.h"
#include "app/window/tab_order.h"
#include "shell/qt_channel_labels.h"
#include "shell/qt_decoder_rows.h"
#include "shell/qt_overview_strip.h"
#include "shell/qt_program_scroll_bar.h"
#include "shell/qt_status_line.h"
#include "shell/qt_time_ruler.h"
#include "shell/qt_trace_view.h"

namespace {

// Five rows of a few pixels each, in dialog units so that they grow with the font.
constexpr int kOverviewHeightUnits = 22;

QRect toQRect(const PixelRect& r) {
    return QRect(r.x, r.y, r.width, r.height);
}

PixelRect toPixelRect(const QRect& r) {
    return PixelRect{r.x(), r.y(), r.width(), r.height()};
}

}  // namespace

ClientArea::ClientArea(QWidget* parent, const DialogTemplate& layout, const CommandSink& onCommand)
    : QWidget(parent) {
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    face.setColor(QPalette::WindowText, face.color(QPalette::ButtonText));
    setPalette(face);
    setAutoFillBackground(true);
    units_ = applyTemplateFont(*this, layout);
    templateSize_ = dialogUnitsToPixels(units_, QSize(layout.width, layout.height));
    buildControls(*this, layout, units_, onCommand);
    keepTemplateControls();
    orderTabStops();
    createBands();
    resize(defaultSize());
    fitToBands();
}

// What the template built, before anything else is added, with where the template puts it.
void ClientArea::keepTemplateControls() {
    for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const int id = controlId(*control);
        control->setToolTip(toQString(triggerBoxTooltip(id)));
        if (const std::string name = controlName(id); !name.empty()) {
            control->setAccessibleName(toQString(name));
        }
        controlWidgets_.push_back(control);
        controls_.push_back(TemplateControl{anchorOf(id), toPixelRect(control->geometry())});
    }
    traceView_ = findChild<GraphClass*>();
    scrollBar_ = findChild<ProgramScrollBar*>();
}

// Tab reaches every control, the traces, MemTrig and Break among them, as the eye reads the
// window; a click gives each the keyboard too.
void ClientArea::orderTabStops() {
    QWidget* previous = nullptr;
    for (int id : mainWindowTabOrder()) {
        QWidget* control = findControl(*this, id);
        control->setFocusPolicy(Qt::StrongFocus);
        if (previous != nullptr) {
            setTabOrder(previous, control);
        }
        previous = control;
    }
}

void ClientArea::createBands() {
    overview_ = new OverviewStrip(this, *traceView_);
    ruler_ = new TimeRuler(this, *traceView_);
    labels_ = new ChannelLabels(this, *traceView_);
    status_ = new StatusLine(this);
    rowsScroll_ = new QScrollArea(this);
    rowsScroll_->setFrameShape(QFrame::NoFrame);
    rowsScroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rowsScroll_->setWidgetResizable(true);
    decoderRows_ = new DecoderRowsView(rowsScroll_, *traceView_);
    rowsScroll_->setWidget(decoderRows_);
    // Clicks on the bands around the traces leave the keyboard with them. Not through a focus
    // proxy: Tab would stop at each band on its way to the traces.
    for (QWidget* band : {static_cast<QWidget*>(overview_), static_cast<QWidget*>(ruler_),
                          static_cast<QWidget*>(labels_)}) {
        band->installEventFilter(this);
    }
}

bool ClientArea::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        traceView_->setFocus(Qt::MouseFocusReason);
    }
    return QWidget::eventFilter(watched, event);
}

QWidget& ClientArea::bandWidget(ViewBand band) const {
    switch (band) {
        case ViewBand::Overview:
            return *overview_;
        case ViewBand::Ruler:
            return *ruler_;
        case ViewBand::Labels:
            return *labels_;
        case ViewBand::Status:
            break;
    }
    return *status_;
}

BandSizes ClientArea::bandSizes() const {
    BandSizes sizes;
    if (bandShown(ViewBand::Overview)) {
        sizes.overview = dialogUnitsToPixels(units_, 0, kOverviewHeightUnits).y();
    }
    if (bandShown(ViewBand::Ruler)) {
        sizes.ruler = ruler_->neededHeight();
    }
    if (bandShown(ViewBand::Labels)) {
        sizes.labels = labels_->neededWidth();
    }
    if (bandShown(ViewBand::Status)) {
        sizes.status = status_->neededHeight();
    }
    sizes.belowTraces = rowsHeight_;
    return sizes;
}

void ClientArea::showBand(ViewBand band, bool shown) {
    shown_[static_cast<size_t>(band)] = shown;
    fitToBands();
}

QSize ClientArea::defaultSize() const {
    const PixelRect area =
        defaultClientArea(templateSize_.width(), templateSize_.height(), bandSizes());
    return QSize(area.width, area.height);
}

// The bands shown decide the smallest size, which keeps every control whole.
void ClientArea::fitToBands() {
    setMinimumSize(defaultSize());
    relayout();
}

void ClientArea::relayout() {
    const BandSizes sizes = bandSizes();
    const ClientPlacement placement = placeClient(controls_, templateSize_.width(),
                                                  templateSize_.height(), sizes, width(), height());
    for (size_t i = 0; i < controlWidgets_.size(); ++i) {
        controlWidgets_[i]->setGeometry(toQRect(placement.controls[i]));
    }
    const std::pair<QWidget*, PixelRect> bands[] = {
        {overview_, placement.overview},      {ruler_, placement.ruler},
        {labels_, placement.labels},          {status_, placement.status},
        {rowsScroll_, placement.belowTraces},
    };
    for (const auto& [widget, rect] : bands) {
        widget->setGeometry(toQRect(rect));
        widget->setVisible(rect.width > 0 && rect.height > 0);
    }
}

void ClientArea::updateBands() {
    for (int i = 0; i < kViewBandCount; ++i) {
        bandWidget(static_cast<ViewBand>(i)).update();
    }
    decoderRows_->update();
    // Screen readers hear of what changed with the picture.
    for (SpokenView* view : std::initializer_list<SpokenView*>{overview_, ruler_, labels_, status_,
                                                               decoderRows_, traceView_}) {
        view->announceChange();
    }
}

void ClientArea::channelsChanged() {
    fitToBands();
    traceView_->update();
    updateBands();
}

void ClientArea::decoderRowsChanged(int room) {
    const int needed = decoderRows_->neededHeight();
    decoderRows_->setMinimumHeight(needed);
    rowsHeight_ = rowsBandHeight(needed, decoderRows_->rowHeight(), room);
    fitToBands();
    decoderRows_->update();
}

void ClientArea::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    relayout();
}
