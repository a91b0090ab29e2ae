#include "app/readout/pointer_readout.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/view/marker.h"
#include "app/view/navigation.h"
#include "core/scope_session.h"
#include "tests/support/recording_window_system.h"
#include "tests/support/session_samples.h"
#include "tests/support/time_base_maker.h"
#include "tests/support/view_size.h"  // grid rows at y 55, 115, 175, 235 and 295

namespace {

constexpr double kPeriod = 2.5e-6;

// Every byte value in turn, so that each channel's level changes often and a sample out of
// place shows.
uint8_t patternByte(uint64_t sampleNumber) {
    return static_cast<uint8_t>(sampleNumber * 37 + 11);
}

class PointerReadoutTest : public testing::Test {
protected:
    void SetUp() override {
        resetScopeSession();
        std::vector<uint8_t> samples(5000);
        for (uint32_t i = 0; i < samples.size(); ++i) {
            samples[i] = patternByte(i);
        }
        loadSessionSamples(samples);
        giveSessionEvenTimes(5000, kPeriod);
        scopeSession.view.viewWidth = kViewWidth;
        showTraceRange(ws);
    }
    void TearDown() override { resetScopeSession(); }

    void scrollTo(int32_t position) { handleScroll(ws, SCROLL_THUMB_POSITION, position); }

    RecordingWindowSystem ws;
};

struct PointCase {
    uint8_t zoom;
    std::vector<int32_t> cutsAt;  // Cut Before with the view scrolled here, in turn
    int32_t scrollTo;             // then the view scrolled here (the range clamps it)
    int x, y;
    std::optional<uint64_t> sampleNumber;  // counted from the capture's first sample
    int channel;
};

TEST_F(PointerReadoutTest, SampleChannelAndTimeUnderThePointer) {
    const PointCase cases[] = {
        // Each zoom step: the sample whose step holds x.
        {1, {}, 0, 0, 0, 0, 0},
        {1, {}, 0, 399, 299, 399, 4},
        {2, {}, 0, 5, 56, 2, 1},
        {4, {}, 0, 7, 115, 1, 1},
        {8, {}, 0, 8, 116, 1, 2},
        {16, {}, 0, 15, 175, 0, 2},
        {16, {}, 0, 16, 200, 1, 3},
        {16, {}, 0, 399, 0, 24, 0},
        // Scrolled; past the range's end the view stops at the last screen.
        {1, {}, 1234, 10, 0, 1244, 0},
        {16, {}, 1234, 100, 0, 1240, 0},
        {4, {}, 4900, 399, 0, 4699, 0},
        {2, {}, 4600, 399, 0, 4799, 0},
        // After Cut Before the samples keep their numbers.
        {1, {1000}, 0, 0, 0, 1000, 0},
        {4, {1000}, 500, 40, 0, 1510, 0},
        {8, {1000, 500}, 0, 16, 0, 1502, 0},
        {1, {1000}, 9999, 399, 0, 4999, 0},
        {1, {4600}, 0, 150, 0, 4750, 0},
        {4, {4600}, 0, 399, 0, 4699, 0},
        {2, {4600}, 0, 399, 0, 4799, 0},
        // Left of the view there is none.
        {1, {}, 0, -1, 0, std::nullopt, 0},
    };
    for (const PointCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "zoom " << int(c.zoom) << ", " << c.cutsAt.size()
                                        << " cuts, view " << c.scrollTo << ", x " << c.x);
        SetUp();
        for (int32_t cut : c.cutsAt) {
            scrollTo(cut);
            cutBefore(ws);
        }
        scrollTo(c.scrollTo);
        scopeSession.view.scale = ViewScale::pixelsPerSample(c.zoom);
        const std::optional<TraceReading> r = readPointer({c.x, c.y, kViewWidth, kViewHeight});
        ASSERT_EQ(r.has_value(), c.sampleNumber.has_value());
        if (!r) {
            continue;
        }
        EXPECT_EQ(r->sampleNumber, *c.sampleNumber);
        EXPECT_EQ(r->channel, c.channel);
        EXPECT_EQ(r->high, (patternByte(*c.sampleNumber) & kChannelBits[c.channel]) != 0);
        ASSERT_TRUE(r->seconds.has_value());
        EXPECT_NEAR(*r->seconds, static_cast<double>(*c.sampleNumber) * kPeriod, 1e-15);
        EXPECT_FALSE(r->markerNumber.has_value());
    }
}

TEST_F(PointerReadoutTest, NoneRightOfTheDataNorWithoutIt) {
    loadSessionSamples(std::vector<uint8_t>(100, 0x08));
    EXPECT_TRUE(readPointer({99, 0, kViewWidth, kViewHeight}).has_value());
    EXPECT_FALSE(readPointer({100, 0, kViewWidth, kViewHeight}).has_value());
    scopeSession.view.scale = ViewScale::pixelsPerSample(4);
    EXPECT_TRUE(readPointer({399, 0, kViewWidth, kViewHeight}).has_value());

    scopeSession.timeBase.clear();
    EXPECT_FALSE(readPointer({10, 0, kViewWidth, kViewHeight})->seconds.has_value());
    // A buffer still being filled: only the samples the worker has stored so far.
    scopeSession.workerCapturing = true;
    scopeSession.samplesStored = 20;
    EXPECT_TRUE(readPointer({79, 0, kViewWidth, kViewHeight}).has_value());  // zoom 4: sample 19
    EXPECT_FALSE(readPointer({80, 0, kViewWidth, kViewHeight}).has_value());
    scopeSession.workerCapturing = false;
    releaseSampleData();
    EXPECT_FALSE(readPointer({10, 0, kViewWidth, kViewHeight}).has_value());
    EXPECT_EQ(pointerReadout({10, 0, kViewWidth, kViewHeight}), "");
}

struct MarkerCase {
    uint8_t zoom;
    int markerX;
    int32_t scrollTo;  // after the marker was set
    int pointerX;
    uint64_t markerNumber;
    int64_t samples;
};

TEST_F(PointerReadoutTest, DistanceFromTheMarkerInSamplesAndTime) {
    const MarkerCase cases[] = {
        {1, 100, 0, 334, 100, 234}, {1, 100, 50, 0, 100, -50},    {16, 20, 0, 0, 1, -1},
        {16, 20, 0, 31, 1, 0},      {2, 399, 3000, 2, 199, 2802}, {8, 0, 0, 399, 0, 49},
    };
    for (const MarkerCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "zoom " << int(c.zoom) << ", marker x " << c.markerX);
        SetUp();
        scopeSession.view.scale = ViewScale::pixelsPerSample(c.zoom);
        placeMarker(ws, {c.markerX, 0, kViewWidth, kViewHeight});
        scrollTo(c.scrollTo);
        const std::optional<TraceReading> r = readPointer({c.pointerX, 0, kViewWidth, kViewHeight});
        ASSERT_TRUE(r.has_value());
        EXPECT_EQ(r->markerNumber, c.markerNumber);
        EXPECT_EQ(r->samplesFromMarker, c.samples);
        ASSERT_TRUE(r->secondsFromMarker.has_value());
        EXPECT_NEAR(*r->secondsFromMarker, static_cast<double>(c.samples) * kPeriod, 1e-15);
    }
    scopeSession.timeBase.clear();
    EXPECT_FALSE(readPointer({0, 0, kViewWidth, kViewHeight})->secondsFromMarker.has_value());
}

struct GapReadoutCase {
    uint8_t zoom;
    int x;                              // the view starts at sample 900
    std::optional<uint32_t> gapSample;  // the gap the readout names
};

// The time base behind the readout: 2.5 us per sample with 5.2 ms lost before sample 1000. The
// gap is named within two pixels of its mark, which sits halfway into the step before its sample.
TEST_F(PointerReadoutTest, TimesComeFromTheTimeBaseAndAGapIsNamedNearItsMark) {
    makeTimeBase(scopeSession.timeBase, 5000, 2500, {{1000, 5'200'000}});
    const GapReadoutCase cases[] = {
        {1, 100, 1000},         {1, 98, 1000},    {1, 102, 1000}, {1, 97, std::nullopt},
        {1, 103, std::nullopt}, {4, 398, 1000},   {4, 400, 1000}, {4, 395, std::nullopt},
        {4, 401, std::nullopt}, {16, 1592, 1000},
    };
    for (const GapReadoutCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "zoom " << int(c.zoom) << ", x " << c.x);
        scrollTo(900);
        scopeSession.view.scale = ViewScale::pixelsPerSample(c.zoom);
        const int width = c.zoom == 16 ? 2000 : kViewWidth;
        const std::optional<TraceReading> r = readPointer({c.x, 0, width, kViewHeight});
        ASSERT_TRUE(r.has_value());
        ASSERT_EQ(r->gap.has_value(), c.gapSample.has_value());
        if (r->gap) {
            EXPECT_EQ(r->gap->sample, *c.gapSample);
            EXPECT_EQ(r->gap->nanoseconds, 5'200'000u);
        }
        const double lost = r->sampleNumber >= 1000 ? 5.2e-3 : 0;
        EXPECT_NEAR(*r->seconds, static_cast<double>(r->sampleNumber) * kPeriod + lost, 1e-12);
    }
    // Zoomed out to 8 samples a pixel, the mark of the gap is at x 125 (sample 1000).
    scopeSession.view.scale = ViewScale::pixelsPerSample(1);
    scopeSession.view.scale = ViewScale::samplesPerColumn(8);
    scrollTo(0);
    for (const auto& [x, named] : {std::pair{125, true}, {123, true}, {127, true}, {128, false}}) {
        SCOPED_TRACE(testing::Message() << "8 samples a pixel, x " << x);
        EXPECT_EQ(readPointer({x, 0, kViewWidth, kViewHeight})->gap.has_value(), named);
    }
    // A gap inside a column: before sample 1007, its mark in column 125 too.
    makeTimeBase(scopeSession.timeBase, 5000, 2500, {{1007, 5'200'000}});
    const std::optional<TraceReading> inColumn = readPointer({123, 0, kViewWidth, kViewHeight});
    ASSERT_TRUE(inColumn.has_value() && inColumn->gap.has_value());
    EXPECT_EQ(inColumn->gap->sample, 1007u);
    makeTimeBase(scopeSession.timeBase, 5000, 2500, {{1000, 5'200'000}});
    scopeSession.view.scale = ViewScale::samplesPerColumn(1);
    scrollTo(900);
    // The pulse line, last, is the pulse measure's own.
    EXPECT_EQ(readoutText(*readPointer({100, 0, kViewWidth, kViewHeight})),
              "Sample 1000 at 7.700 ms\nError (channel 1, pin 15): low\n"
              "Gap of 5.200 ms before this sample");
    EXPECT_EQ(readoutText(*readPointer({99, 0, kViewWidth, kViewHeight})),
              "Sample 999 at 2.498 ms\nError (channel 1, pin 15): high\n"
              "Gap of 5.200 ms before sample 1000");
}

// Across a gap the distance holds the time lost, and a frequency would mean nothing.
TEST_F(PointerReadoutTest, TheMarkerDistanceCountsTheGapsBetween) {
    makeTimeBase(scopeSession.timeBase, 5000, 2500, {{1000, 5'200'000}, {1005, 1'000'000}});
    scrollTo(900);
    placeMarker(ws, {90, 0, kViewWidth, kViewHeight});
    const auto markerLine = [](int x) {
        const std::string text = readoutText(*readPointer({x, 0, kViewWidth, kViewHeight}));
        return text.substr(text.rfind('\n') + 1);
    };
    EXPECT_EQ(markerLine(110), "From marker 990: +20 samples, +6.250 ms across 2 gaps");
    EXPECT_EQ(markerLine(101), "From marker 990: +11 samples, +5.227 ms across 1 gap");
    EXPECT_EQ(markerLine(50), "From marker 990: -40 samples, -100.0 \u00b5s, 10.00 kHz");
    placeMarker(ws, {100, 0, kViewWidth, kViewHeight});  // on the sample right after the first gap
    EXPECT_EQ(markerLine(104), "From marker 1000: +4 samples, +10.00 \u00b5s, 100.0 kHz");
    EXPECT_EQ(markerLine(95), "From marker 1000: -5 samples, -5.213 ms across 1 gap");
}

TraceReading reading(uint64_t number, int channel, bool high, std::optional<double> seconds) {
    TraceReading r;
    r.sampleNumber = number;
    r.channel = channel;
    r.high = high;
    r.seconds = seconds;
    return r;
}

TraceReading marked(TraceReading r, uint64_t marker, std::optional<double> period) {
    r.markerNumber = marker;
    r.samplesFromMarker = static_cast<int64_t>(r.sampleNumber) - static_cast<int64_t>(marker);
    if (period) {
        r.secondsFromMarker = static_cast<double>(r.samplesFromMarker) * *period;
    }
    return r;
}

TraceReading withGap(TraceReading r, TimeGap gap) {
    r.gap = gap;
    return r;
}

// Sample numbers and times count from the zero: the capture's start, or a trigger point (at
// sample 1000, 2.5 ms, below), before which they are negative; distances from the marker stay.
TEST(ReadoutText, OneFactPerLine) {
    const MeasureZero trigger{1000, 2.5e-3};
    const struct {
        TraceReading reading;
        const char* text;
        MeasureZero zero{};
    } cases[] = {
        {reading(1234, 1, true, std::nullopt), "Sample 1234\nSelect (channel 2, pin 13): high"},
        {reading(0, 0, false, 0.0), "Sample 0 at 0 s\nError (channel 1, pin 15): low"},
        {marked(reading(1234, 4, true, 3.085e-3), 1000, 2.5e-6),
         "Sample 1234 at 3.085 ms\nBusy (channel 5, pin 11): high\n"
         "From marker 1000: +234 samples, +585.0 \u00b5s, 1.709 kHz"},
        {marked(reading(1000, 2, false, std::nullopt), 1001, std::nullopt),
         "Sample 1000\nOut Of Paper (channel 3, pin 12): low\nFrom marker 1001: -1 sample"},
        {marked(reading(7, 3, true, 7e-9), 7, 1e-9),
         "Sample 7 at 7.000 ns\nAcknowledge (channel 4, pin 10): high\n"
         "From marker 7: 0 samples, 0 s"},
        {marked(reading(5, 3, true, 5e-9), 205, 1e-9),
         "Sample 5 at 5.000 ns\nAcknowledge (channel 4, pin 10): high\n"
         "From marker 205: -200 samples, -200.0 ns, 5.000 MHz"},
        {withGap(reading(1000, 0, true, 7.7e-3), {1000, 5'200'000, 0}),
         "Sample 1000 at 7.700 ms\nError (channel 1, pin 15): high\n"
         "Gap of 5.200 ms before this sample"},
        {withGap(reading(999, 0, true, 2.4975e-3), {998, 0, 3}),
         "Sample 999 at 2.498 ms\nError (channel 1, pin 15): high\n"
         "3 reads failed from sample 998 on (read as 0xFF)"},
        {withGap(reading(12, 0, false, 1e-3), {12, 300'000'000, 1}),
         "Sample 12 at 1.000 ms\nError (channel 1, pin 15): low\n"
         "Gap of 300.0 ms before this sample\n1 read failed from this sample on (read as 0xFF)"},
        {reading(1000, 0, true, 2.5e-3), "Sample 0 at 0 s\nError (channel 1, pin 15): high",
         trigger},
        {reading(800, 1, false, 2.0e-3),
         "Sample -200 at -500.0 \u00b5s\nSelect (channel 2, pin 13): low", trigger},
        {reading(1234, 1, true, std::nullopt), "Sample 234\nSelect (channel 2, pin 13): high",
         trigger},
        {marked(reading(1234, 4, true, 3.085e-3), 900, 2.5e-6),
         "Sample 234 at 585.0 \u00b5s\nBusy (channel 5, pin 11): high\n"
         "From marker -100: +334 samples, +835.0 \u00b5s, 1.198 kHz",
         trigger},
        {withGap(reading(999, 0, true, 2.4975e-3), {998, 0, 3}),
         "Sample -1 at -2.500 \u00b5s\nError (channel 1, pin 15): high\n"
         "3 reads failed from sample -2 on (read as 0xFF)",
         trigger},
        {withGap(reading(1000, 0, true, 2.5e-3), {1000, 5'200'000, 0}),
         "Sample 0 at 0 s\nError (channel 1, pin 15): high\n"
         "Gap of 5.200 ms before this sample",
         trigger},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readoutText(c.reading, c.zero), c.text);
    }
}

}  // namespace
