#include "app/readout/view_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/scope_session.h"
#include "tests/support/session_samples.h"
#include "tests/support/time_base_maker.h"
#include "tests/support/view_size.h"

namespace {

struct ViewCase {
    const char* what;
    uint32_t samples;
    double period;  // seconds per sample; 0: no time base
    uint32_t origin;
    uint32_t viewStart;
    int zoomStep;
    uint32_t samplesPerPixel;
    std::optional<uint32_t> marker;
    const char* ruler;
    const char* overview;
    const char* traces;
    uint32_t trigger = kNoTriggerSample;  // the capture's number of the trigger point
};

class ViewTextTest : public testing::TestWithParam<ViewCase> {
protected:
    void SetUp() override { resetScopeSession(); }
    void TearDown() override { resetScopeSession(); }
};

// Channel 1 and 4 high at every even sample, channel 5 at every odd one.
std::vector<uint8_t> alternating(uint32_t count) {
    std::vector<uint8_t> samples(count);
    for (uint32_t i = 0; i < count; ++i) {
        samples[i] = i % 2 == 0 ? 0x48 : 0x80;
    }
    return samples;
}

TEST_P(ViewTextTest, SaysWhatTheViewShows) {
    const ViewCase& c = GetParam();
    if (c.samples > 0) {
        loadSessionSamples(alternating(c.samples));
    }
    if (c.period > 0) {
        giveSessionEvenTimes(c.samples + c.origin, c.period);
    }
    scopeSession.sampleOrigin = c.origin;
    scopeSession.marker = c.marker;
    scopeSession.triggerSample = c.trigger;
    const ViewScale scale = c.samplesPerPixel > 1 ? ViewScale::samplesPerColumn(c.samplesPerPixel)
                                                  : ViewScale::pixelsPerSample(c.zoomStep);
    const TraceGeometry g = traceGeometry(kViewWidth, kViewHeight, c.viewStart, c.samples, scale);
    EXPECT_EQ(rulerText(g, kViewWidth), c.ruler);
    EXPECT_EQ(overviewText(g, kViewWidth), c.overview);
    EXPECT_EQ(traceViewText(g, kViewWidth), c.traces);
}

const ViewCase kViews[] = {
    {"no recording", 0, 0, 0, 0, 1, 1, std::nullopt, "Time ruler: no samples",
     "Overview: no samples", "No samples"},
    {"a file at 1:1", 5000, 0, 0, 0, 1, 1, std::nullopt, "Time ruler: samples 0 to 399",
     "Overview: samples 0 to 399 on screen, of samples 0 to 4999",
     "5000 samples, 1 pixel per sample, showing samples 0 to 399"},
    {"zoomed in and scrolled", 5000, 0, 0, 100, 4, 1, std::nullopt,
     "Time ruler: samples 100 to 199",
     "Overview: samples 100 to 199 on screen, of samples 0 to 4999",
     "5000 samples, 4 pixels per sample, showing samples 100 to 199"},
    {"zoomed out to the whole", 5000, 0, 0, 0, 1, 16, std::nullopt, "Time ruler: samples 0 to 4999",
     "Overview: samples 0 to 4999 on screen, of samples 0 to 4999",
     "5000 samples, 16 samples per pixel, showing samples 0 to 4999"},
    {"zoomed in by an odd step", 5000, 0, 0, 0, 3, 1, std::nullopt, "Time ruler: samples 0 to 133",
     "Overview: samples 0 to 133 on screen, of samples 0 to 4999",
     "5000 samples, 3 pixels per sample, showing samples 0 to 133"},
    {"zoomed out, in the middle", 20000, 0, 0, 1000, 1, 16, std::nullopt,
     "Time ruler: samples 1000 to 7399",
     "Overview: samples 1000 to 7399 on screen, of samples 0 to 19999",
     "20000 samples, 16 samples per pixel, showing samples 1000 to 7399"},
    {"shorter than the view", 1, 0, 0, 0, 1, 1, std::nullopt, "Time ruler: samples 0 to 0",
     "Overview: samples 0 to 0 on screen, of samples 0 to 0",
     "1 sample, 1 pixel per sample, showing samples 0 to 0"},
    {"after Cut Before", 3000, 0, 2000, 0, 1, 1, std::nullopt, "Time ruler: samples 2000 to 2399",
     "Overview: samples 2000 to 2399 on screen, of samples 2000 to 4999",
     "3000 samples, 1 pixel per sample, showing samples 2000 to 2399"},
    {"with times", 5000, 1e-6, 0, 1000, 1, 1, std::nullopt, "Time ruler: 1.000 ms to 1.399 ms",
     "Overview: 1.000 ms to 1.399 ms on screen, of 0 s to 4.999 ms",
     "5000 samples, 1 pixel per sample, showing 1.000 ms to 1.399 ms"},
    {"a marker without times", 5000, 0, 0, 0, 1, 1, 3, "Time ruler: samples 0 to 399",
     "Overview: samples 0 to 399 on screen, of samples 0 to 4999",
     "5000 samples, 1 pixel per sample, showing samples 0 to 399; marker at sample 3: "
     "Error low, Select low, Out Of Paper low, Acknowledge low, Busy high"},
    {"a marker off screen, after a cut, with times", 3000, 1e-6, 2000, 0, 1, 1, 2500,
     "Time ruler: 2.000 ms to 2.399 ms",
     "Overview: 2.000 ms to 2.399 ms on screen, of 2.000 ms to 4.999 ms",
     "3000 samples, 1 pixel per sample, showing 2.000 ms to 2.399 ms; marker at sample 4500 at "
     "4.500 ms: Error high, Select low, Out Of Paper low, Acknowledge high, Busy low"},
    {"a marker past the data is left out", 100, 0, 0, 0, 1, 1, 100, "Time ruler: samples 0 to 99",
     "Overview: samples 0 to 99 on screen, of samples 0 to 99",
     "100 samples, 1 pixel per sample, showing samples 0 to 99"},
    {"counted from a trigger point", 5000, 0, 0, 0, 1, 1, 3, "Time ruler: samples -200 to 199",
     "Overview: samples -200 to 199 on screen, of samples -200 to 4799",
     "5000 samples, 1 pixel per sample, showing samples -200 to 199; marker at sample -197: "
     "Error low, Select low, Out Of Paper low, Acknowledge low, Busy high",
     200},
    {"counted from a trigger point, after a cut, with times", 3000, 1e-6, 2000, 0, 1, 1, 2500,
     "Time ruler: -1.000 ms to -601.0 \u00b5s",
     "Overview: -1.000 ms to -601.0 \u00b5s on screen, of -1.000 ms to 1.999 ms",
     "3000 samples, 1 pixel per sample, showing -1.000 ms to -601.0 \u00b5s; marker at sample "
     "1500 at 1.500 ms: Error high, Select low, Out Of Paper low, Acknowledge high, Busy low",
     3000},
};

INSTANTIATE_TEST_SUITE_P(Views, ViewTextTest, testing::ValuesIn(kViews),
                         [](const testing::TestParamInfo<ViewCase>& info) {
                             std::string name = info.param.what;
                             for (char& c : name) {
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });

TEST(ViewText, ChannelLabelsReadEveryChannelWithItsPin) {
    EXPECT_EQ(channelLabelsText(),
              "Channel labels: 1 Error, pin 15; 2 Select, pin 13; 3 Out Of Paper, pin 12; "
              "4 Acknowledge, pin 10; 5 Busy, pin 11");
}

// A scale that is not a whole number of samples a pixel: its two decimals, and the screen up to
// the last sample of its last column.
TEST(ViewText, AFractionalScaleShowsItsColumnsSamples) {
    const struct {
        uint32_t samples, viewStart;
        ViewScale scale;
        const char* traces;
    } cases[] = {
        {5000, 0, fitScale(5000, kViewWidth),
         "5000 samples, 12.5 samples per pixel, showing samples 0 to 4999"},
        {20000, 1000, ViewScale::samplesOnColumns(5000, kViewWidth),
         "20000 samples, 12.5 samples per pixel, showing samples 1000 to 5999"},
        {5000, 0, ViewScale::samplesOnColumns(5000, 1300),
         "5000 samples, 3.85 samples per pixel, showing samples 0 to 1538"},
        {20000, 100, ViewScale::samplesOnColumns(10, 3),
         "20000 samples, 3.33 samples per pixel, showing samples 100 to 1433"},
        {20000, 0, ViewScale::samplesOnColumns(201, 100),
         "20000 samples, 2.01 samples per pixel, showing samples 0 to 803"},
    };
    for (const auto& c : cases) {
        loadSessionSamples(alternating(c.samples));
        const TraceGeometry g =
            traceGeometry(kViewWidth, kViewHeight, c.viewStart, c.samples, c.scale);
        EXPECT_EQ(traceViewText(g, kViewWidth), c.traces);
    }
    resetScopeSession();
}

}  // namespace
