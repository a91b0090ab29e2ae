#pragma once

#include <cstdint>

class WindowSystem;

// How far the view is zoomed: zoomStep pixels per sample at 1:1 and above, samplesPerPixel
// samples in a pixel column below it (zoomStep is then 1).
struct ZoomLevel {
    uint8_t zoomStep = 1;
    uint32_t samplesPerPixel = 1;

    bool operator==(const ZoomLevel&) const = default;
};

// The session's zoom.
ZoomLevel currentZoom();

// The largest scale that shows all `length` samples on `width` pixels: a zoom step of 1 to 16
// when they fit at 1:1, else the fewest samples per pixel that take them in.
ZoomLevel fitZoom(uint32_t length, int width);

// One step of the whole ladder, as Ctrl+wheel and the overview take it: zoom steps 16 ... 2, 1:1,
// then 2, 4, 8 ... samples per pixel down to the fit for `length` samples on `width` pixels.
// The ends stay as they are.
ZoomLevel ladderStep(ZoomLevel level, bool zoomIn, uint32_t length, int width);

// Zooms to `level` with the view's left edge on sample `firstSample` as far as the scroll range
// allows; the range follows when the samples per pixel change. Repaints.
void showZoomLevel(WindowSystem& mainWindow, ZoomLevel level, int64_t firstSample);

// View > Zoom to Fit: the whole recording (during a worker capture, what is stored so far) on the
// width of the last paint, from its first sample.
void zoomToFit(WindowSystem& mainWindow);
