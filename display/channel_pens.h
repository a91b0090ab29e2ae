#pragma once

#include <array>

#include "core/channel_looks.h"
#include "display/trace_view.h"

// The pens of the channels' traces for one paint: one per colour the shown channels use, so that
// the classic picture makes its one trace pen as it always did. A hidden channel has none.
class ChannelPens {
public:
    ChannelPens(TraceCanvas& canvas, const ChannelLooks& looks);
    ~ChannelPens();
    ChannelPens(const ChannelPens&) = delete;
    ChannelPens& operator=(const ChannelPens&) = delete;

    // Every pen a shown channel needs was made.
    bool ok() const { return ok_; }
    // The pen of `channel`'s trace; 0 for a hidden channel.
    TraceCanvas::Pen of(int channel) const { return pens_[static_cast<size_t>(channel)]; }
    // Selects `channel`'s pen unless it is the one selected; false for a hidden channel.
    bool select(int channel, TraceCanvas::Pen& selected) const;

private:
    TraceCanvas& canvas_;
    std::array<TraceCanvas::Pen, kChannelCount> pens_{};
    bool ok_ = true;
};
