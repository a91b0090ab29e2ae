#include "display/channel_pens.h"

ChannelPens::ChannelPens(TraceCanvas& canvas, const ChannelLooks& looks) : canvas_(canvas) {
    for (size_t k = 0; k < pens_.size(); ++k) {
        if (!looks[k].shown) {
            continue;
        }
        for (size_t before = 0; before < k && pens_[k] == 0; ++before) {
            if (pens_[before] != 0 && looks[before].colour == looks[k].colour) {
                pens_[k] = pens_[before];
            }
        }
        if (pens_[k] == 0) {
            pens_[k] = canvas_.createPen(looks[k].colour);
            ok_ = ok_ && pens_[k] != 0;
        }
    }
}

ChannelPens::~ChannelPens() {
    for (size_t k = 0; k < pens_.size(); ++k) {
        bool first = pens_[k] != 0;
        for (size_t before = 0; before < k && first; ++before) {
            first = pens_[before] != pens_[k];
        }
        if (first) {
            canvas_.deletePen(pens_[k]);
        }
    }
}

bool ChannelPens::select(int channel, TraceCanvas::Pen& selected) const {
    const TraceCanvas::Pen pen = of(channel);
    if (pen != 0 && pen != selected) {
        canvas_.selectPen(pen);
        selected = pen;
    }
    return pen != 0;
}
