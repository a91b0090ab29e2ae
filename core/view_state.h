#pragma once

#include <cstdint>

// Zoom In and Zoom Out step between 1 and 16 pixels per sample.
inline constexpr int kLargestZoomStep = 16;

// How far the trace view is zoomed, as one number: the samples one pixel column holds. At the
// zoom steps above 1:1 it is a fraction (1/2 to 1/16: a sample every 2 to 16 pixels); below 1:1
// a whole number of samples per column, drawn as their lowest and highest levels. An axis in
// seconds would hold seconds per pixel the same way.
class ViewScale {
public:
    constexpr ViewScale() = default;
    // `zoomStep` pixels from one sample to the next: 1, 2, 4, 8 or 16.
    static ViewScale pixelsPerSample(int zoomStep);
    // `samples` (at least 1) in every pixel column.
    static ViewScale samplesPerColumn(uint32_t samples);

    double samplesPerPixel() const { return samplesPerPixel_; }
    // Pixels from one sample to the next; 1 at 1:1 and below.
    int zoomStep() const;
    // Samples one pixel column sums up; 1 at 1:1 and above.
    uint32_t columnSamples() const;
    bool belowOneToOne() const { return samplesPerPixel_ > 1; }

    bool operator==(const ViewScale&) const = default;

private:
    explicit constexpr ViewScale(double samplesPerPixel) : samplesPerPixel_(samplesPerPixel) {}

    double samplesPerPixel_ = 1;
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
// After count them: `width` at 1:1 and above, whatever the zoom; every column's samples below.
int64_t screenSamples(int width, ViewScale scale);

// What Zoom In and Zoom Out make of `scale`: double or half the zoom step, within 1 to 16; below
// 1:1 Zoom In goes back to 1:1 and Zoom Out stays.
ViewScale buttonZoom(ViewScale scale, bool zoomIn);

// The largest scale that shows all `length` samples on `width` pixels: a zoom step of 1 to 16
// when they fit at 1:1, else the fewest samples per column that take them in.
ViewScale fitScale(uint32_t length, int width);

// One step of the whole ladder, as Ctrl+wheel and the overview take it: zoom steps 16 ... 2, 1:1,
// then 2, 4, 8 ... samples per column down to the fit for `length` samples on `width` pixels.
// The ends stay as they are.
ViewScale ladderStep(ViewScale scale, bool zoomIn, uint32_t length, int width);

// How many samples before a change the memory trigger puts the view's left edge, so that a few
// pixels of the old level stay in view: 10 / zoomStep at 1:1 and above, none below (the next
// press then moves on to the following change).
uint32_t memoryTriggerBackOff(ViewScale scale);
