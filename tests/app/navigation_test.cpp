#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/view/navigation.h"
#include "core/scope_session.h"
#include "display/trace_view.h"
#include "tests/support/recording_canvas.h"
#include "tests/support/recording_window_system.h"
#include "tests/support/session_samples.h"

namespace {

using Log = std::vector<std::string>;

Log moved(int32_t position) {
    return {"position " + std::to_string(position) + " redraw", "refresh"};
}

// Checks that the block given back is the one obtained, whatever the cuts did to the data.
struct CountingMemory {
    static inline void* obtained = nullptr;
    static inline int givenBack = 0;
    static inline bool sameBlock = false;
    static void* obtain(size_t bytes) { return obtained = std::malloc(bytes); }
    static void giveBack(void* block) {
        ++givenBack;
        sameBlock = block == obtained;
        std::free(block);
    }
};
const SampleMemory kCountingMemory{&CountingMemory::obtain, &CountingMemory::giveBack};

class NavigationTest : public testing::Test {
protected:
    void SetUp() override { resetScopeSession(); }
    void TearDown() override {
        resetScopeSession();
        setSampleMemory(nullptr);
    }

    // 5000 samples (exactly, so that the sanitizer sees any read past them), i % 251 unless
    // given; the view at `viewStart`.
    static std::vector<uint8_t> load(uint32_t viewStart, std::vector<uint8_t> samples = {}) {
        if (samples.empty()) {
            for (uint32_t i = 0; i < 5000; ++i) {
                samples.push_back(static_cast<uint8_t>(i % 251));
            }
        }
        resetScopeSession();
        loadSessionSamples(samples);
        scopeSession.view.viewStart = viewStart;
        scopeSession.view.scrollPosition = static_cast<int32_t>(viewStart);
        return samples;
    }
    void expectView(int32_t position) {
        EXPECT_EQ(scopeSession.view.scrollPosition, position);
        EXPECT_EQ(scopeSession.view.viewStart, static_cast<uint32_t>(position));
        EXPECT_EQ(ws.position, position);
    }

    RecordingWindowSystem ws;
};

struct ScrollCase {
    int32_t high, from;
    int code;
    int32_t thumb, expected;
};

TEST_F(NavigationTest, ScrollCodesMoveAndClampThePosition) {
    std::vector<ScrollCase> cases = {
        {1000, 0, SCROLL_LINE_RIGHT, 0, 11},
        {1000, 0, SCROLL_PAGE_RIGHT, 0, 101},
        {1000, 0, SCROLL_RIGHT, 0, 1000},
        {1000, 500, SCROLL_LINE_LEFT, 0, 489},
        {1000, 500, SCROLL_PAGE_LEFT, 0, 399},
        {1000, 500, SCROLL_LEFT, 0, 0},
        {1000, 5, SCROLL_LINE_LEFT, 0, 0},
        {1000, 50, SCROLL_PAGE_LEFT, 0, 0},
        {1000, 995, SCROLL_LINE_RIGHT, 0, 1000},
        {1000, 950, SCROLL_PAGE_RIGHT, 0, 1000},
        {1000, 0, SCROLL_THUMB_POSITION, 700, 700},
        {1000, 0, SCROLL_THUMB_TRACK, 1200, 1000},
        {1000, 0, SCROLL_THUMB_TRACK, -5, 0},
        // Beyond a 16-bit position: the far part of a large capture is reachable.
        {499700, 0, SCROLL_THUMB_TRACK, 40000, 40000},
        {499700, 0, SCROLL_THUMB_POSITION, 499700, 499700},
        // Left above the range by the memory trigger: a line left lands on the high end.
        {4700, 4890, SCROLL_LINE_LEFT, 0, 4700},
    };
    // Data shorter than a screen: every action ends at 0.
    for (int code = SCROLL_LINE_LEFT; code <= SCROLL_RIGHT; ++code) {
        cases.push_back({-200, 0, code, 50, 0});
    }
    for (const ScrollCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "code " << c.code << " from " << c.from << " in 0.." << c.high);
        ws.range = {0, c.high};
        ws.log.clear();
        scopeSession.view.scrollPosition = c.from;
        handleScroll(ws, c.code, c.thumb);
        expectView(c.expected);
        EXPECT_EQ(ws.log, moved(c.expected));
    }
}

TEST_F(NavigationTest, OtherCodesDoNothing) {
    scopeSession.view.scrollPosition = 40;
    scopeSession.view.viewStart = 40;
    for (int code : {int{SCROLL_END}, 9, -1, 0x10000}) {
        handleScroll(ws, code, 500);
    }
    EXPECT_TRUE(ws.log.empty());
    EXPECT_EQ(scopeSession.view.scrollPosition, 40);
    EXPECT_EQ(scopeSession.view.viewStart, 40u);
}

TEST_F(NavigationTest, NewDataStartsAtTheFirstSample) {
    for (uint32_t length : {5000u, 100u}) {
        ws.log.clear();
        load(77, std::vector<uint8_t>(length, 0));
        showTraceRange(ws);
        Log expected = moved(0);
        expected.insert(expected.begin(), "range 0.." + std::to_string(int32_t(length) - 300));
        EXPECT_EQ(ws.log, expected);
        expectView(0);
    }
}

TEST_F(NavigationTest, ZoomDoublesAndHalvesWithinItsLimitsAndAlwaysRepaints) {
    const struct {
        uint8_t from;
        bool zoomIn;
        uint8_t to;
    } cases[] = {{1, true, 2},   {8, true, 16}, {16, true, 16},
                 {16, false, 8}, {2, false, 1}, {1, false, 1}};
    scopeSession.view.viewStart = 123;
    for (const auto& c : cases) {
        ws.log.clear();
        scopeSession.view.scale = ViewScale::pixelsPerSample(c.from);
        zoomView(ws, c.zoomIn);
        EXPECT_EQ(scopeSession.view.zoomStep(), c.to);
        EXPECT_EQ(ws.log, Log{"refresh"});
        EXPECT_EQ(scopeSession.view.viewStart, 123u);
    }
}

struct TriggerCase {
    uint8_t mask, zoom;
    uint32_t viewStart;
    std::vector<uint32_t> toggles;  // where channel 2 changes
    uint32_t first, second;         // view start after the first and the second press
};

TEST_F(NavigationTest, MemoryTriggerBacksOffFromTheNextChange) {
    const TriggerCase cases[] = {
        // The same change again at zoom 1 to 8; the following one at zoom 16.
        {0x10, 1, 0, {1000, 2000}, 990, 990},
        {0x10, 2, 0, {1000, 2000}, 995, 995},
        {0x10, 4, 0, {1000, 2000}, 998, 998},
        {0x10, 8, 0, {1000, 2000}, 999, 999},
        {0x10, 16, 0, {1000, 2000}, 1000, 2000},
        {0x10, 1, 1500, {1000, 2000}, 1990, 1990},
        {0x10, 1, 0, {3}, 0, 0},  // not below the first sample
        // Nothing watched, only unwatched channels change, or nothing after the view: it stays.
        {0x00, 1, 200, {1000}, 200, 200},
        {0x08, 1, 200, {1000}, 200, 200},
        {0x10, 1, 5000, {1000}, 5000, 5000},
        // Within the last screen: above the scroll range's high end.
        {0x10, 1, 0, {4900}, 4890, 4890},
    };
    for (const TriggerCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "mask " << int(c.mask) << ", zoom " << int(c.zoom)
                                        << ", from " << c.viewStart);
        std::vector<uint8_t> samples(5000, 0x07);  // bits that are never channels
        for (uint32_t t : c.toggles) {
            std::for_each(samples.begin() + t, samples.end(), [](uint8_t& s) { s ^= 0x10; });
        }
        load(c.viewStart, samples);
        scopeSession.memoryTriggerMask = c.mask;
        scopeSession.view.scale = ViewScale::pixelsPerSample(c.zoom);
        for (uint32_t expected : {c.first, c.second}) {
            ws.log.clear();
            findMemoryTrigger(ws);
            expectView(static_cast<int32_t>(expected));
            EXPECT_EQ(ws.log, moved(static_cast<int32_t>(expected)));
        }
    }
}

TEST_F(NavigationTest, WithoutDataTriggerAndCutsDoNothing) {
    for (bool bufferBeingFilled : {false, true}) {
        for (auto command : {findMemoryTrigger, cutBefore, cutAfter}) {
            load(500, std::vector<uint8_t>(5000, 0x10));
            scopeSession.sampleData[1000] = 0;
            scopeSession.memoryTriggerMask = 0x10;
            if (bufferBeingFilled) {
                scopeSession.workerCapturing = true;
            } else {
                releaseSampleData();
            }
            ws.log.clear();
            command(ws);
            EXPECT_TRUE(ws.log.empty());
            EXPECT_EQ(scopeSession.sampleLength, 5000u);
            EXPECT_EQ(scopeSession.view.viewStart, 500u);
            scopeSession.workerCapturing = false;
        }
    }
}

TEST_F(NavigationTest, CutBeforeMovesTheViewToTheFrontOfTheBlock) {
    const struct {
        uint32_t viewStart, length;
        std::string range;
    } cases[] = {{1234, 3766, "range 0..3466"},
                 {0, 5000, "range 0..4700"},  // no sample changes
                 {4900, 100, "range 0..-200"}};
    setSampleMemory(&kCountingMemory);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.viewStart);
        const std::vector<uint8_t> before = load(c.viewStart);
        ws.log.clear();
        cutBefore(ws);
        ASSERT_EQ(scopeSession.sampleLength, c.length);
        EXPECT_EQ(0, std::memcmp(scopeSession.sampleData, before.data() + c.viewStart, c.length));
        EXPECT_EQ(ws.log, (Log{c.range, "position 0 redraw"}));
        EXPECT_EQ(scopeSession.view.viewStart, 0u);
        EXPECT_EQ(scopeSession.view.scrollPosition, 0);
        CountingMemory::givenBack = 0;
        releaseSampleData();
        EXPECT_EQ(CountingMemory::givenBack, 1);
        EXPECT_TRUE(CountingMemory::sameBlock);
    }
}

TEST_F(NavigationTest, CutAfterKeepsOneScreenCountedInSamples) {
    const struct {
        uint32_t viewStart;
        int32_t viewWidth;
        uint32_t length;
    } cases[] = {{1000, 300, 1300}, {0, 300, 300}, {4890, 300, 5000}, {4000, 1920, 5000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.viewStart);
        const std::vector<uint8_t> before = load(c.viewStart);
        ws.log.clear();
        scopeSession.view.viewWidth = c.viewWidth;
        cutAfter(ws);
        EXPECT_EQ(scopeSession.sampleLength, c.length);
        EXPECT_EQ(0, std::memcmp(scopeSession.sampleData, before.data(), c.length));
        EXPECT_EQ(ws.log, Log{"range 0.." + std::to_string(c.viewStart) + " redraw"});
        EXPECT_EQ(scopeSession.view.viewStart, c.viewStart);
        EXPECT_EQ(scopeSession.view.scrollPosition, static_cast<int32_t>(c.viewStart));
    }
}

TEST_F(NavigationTest, CutAfterAZoomKeepsTheMeasuredWidthNotWhatIsVisible) {
    load(1000);
    scopeSession.view.scale = ViewScale::pixelsPerSample(2);
    scopeSession.view.viewWidth = 400;  // as the widget's resize gives it
    RecordingCanvas canvas;
    paintTrace(canvas, 400, 300);
    EXPECT_EQ(canvas.linesIn(kTraceColour).size(), 5u * 202);
    cutAfter(ws);
    EXPECT_EQ(scopeSession.sampleLength, 1400u);
}

}  // namespace
