#pragma once

#include <cstdint>

// Zoom In and Zoom Out step between 1 and 16 pixels per sample.
inline constexpr int kLargestZoomStep = 16;

// How far the trace view is zoomed, as one ratio: `samples` samples to every `columns` pixel
// columns, kept in lowest terms. At the zoom steps above 1:1 one sample to 2 to 16 columns;
// below 1:1 more samples than columns, not always a whole number a column (a fit to the width),
// each column drawn as its samples' lowest and highest levels.
class ViewScale {
public:
    constexpr ViewScale() = default;
    // `zoomStep` pixels from one sample to the next: 1, 2, 4, 8 or 16.
    static ViewScale pixelsPerSample(int zoomStep);
    // `samples` (at least 1) in every pixel column.
    static ViewScale samplesPerColumn(uint32_t samples);
    // `samples` samples on `columns` columns, at least one a column (1:1 when fewer).
    static ViewScale samplesOnColumns(uint64_t samples, uint32_t columns);

    uint64_t samples() const { return samples_; }
    uint32_t columns() const { return columns_; }
    double samplesPerPixel() const;
    // Pixels from one sample to the next; 1 at 1:1 and below.
    int zoomStep() const;
    bool belowOneToOne() const { return samples_ > columns_; }
    // Below 1:1: how many samples into the view column x starts, rounded up, so that column x
    // holds exactly the samples s with s * columns / samples == x.
    uint64_t samplesBeforeColumn(uint32_t x) const;
    // The column of the sample `offset` samples into the view (rounded down, also for a negative
    // offset); at and above 1:1 where that sample's step starts.
    int64_t columnOf(int64_t offset) const;

    bool operator==(const ViewScale&) const = default;

private:
    constexpr ViewScale(uint64_t samples, uint32_t columns)
        : samples_(samples), columns_(columns) {}

    uint64_t samples_ = 1;
    uint32_t columns_ = 1;
};

// The trace view as one value: the sample at its left edge, how far it is zoomed, whether it
// follows a capture, and its width. Every move of the picture is a change of this value; the
// scroll bar and the painting only show it.
struct ViewState {
    // The sample drawn at the left edge (the last screen is drawn when it lies beyond that).
    uint32_t viewStart = 0;
    // The position last given to the scroll bar; its line and page steps count from here.
    int32_t scrollPosition = 0;
    ViewScale scale;
    // During a worker capture: the view keeps to the newest samples until the user scrolls away.
    bool following = true;
    // The trace view's width in pixels, as it was last resized. At 1:1 and above the scroll
    // range and Cut After count it as samples, whatever the zoom.
    int32_t viewWidth = 300;
    // View > Time Axis: the traces against the time base's time, each sample at its time and a
    // gap as the stretch it lasted. The scale then counts samples at the recording's typical
    // pace. Only a recording with a time base has one.
    bool timeAxis = false;
    // View > Measure From Trigger: the ruler, the readout and the marker count samples and time
    // from the recording's trigger point, when it has one.
    bool measureFromTrigger = true;

    int zoomStep() const { return scale.zoomStep(); }
};

// How many samples a screen `width` pixels wide is taken to hold, as the scroll range and Cut
// After count them: `width` at 1:1 and above, whatever the zoom; all its columns' samples below.
int64_t screenSamples(int width, ViewScale scale);

// What Zoom In and Zoom Out make of `scale`: double or half the zoom step, within 1 to 16; below
// 1:1 Zoom In goes back to 1:1 and Zoom Out stays.
ViewScale buttonZoom(ViewScale scale, bool zoomIn);

// The largest scale that shows all `length` samples on `width` pixels: a zoom step of 1 to 16
// when they fit at 1:1, else `length` samples on `width` columns, so that they fill the width.
ViewScale fitScale(uint32_t length, int width);

// One step of the whole ladder, as Ctrl+wheel and the overview take it: zoom steps 16 ... 2, 1:1,
// then 2, 4, 8 ... samples per column down to the fit for `length` samples on `width` pixels.
// The ends stay as they are.
ViewScale ladderStep(ViewScale scale, bool zoomIn, uint32_t length, int width);

// How many samples before a change the memory trigger puts the view's left edge, so that a few
// pixels of the old level stay in view: 10 / zoomStep at 1:1 and above, none below (the next
// press then moves on to the following change).
uint32_t memoryTriggerBackOff(ViewScale scale);
