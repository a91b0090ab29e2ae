#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/decoding/decoder_rows.h"
#include "core/scope_session.h"
#include "tests/support/annotation_stores.h"
#include "tests/support/decoder_infos.h"
#include "tests/support/recording_window_system.h"
#include "tests/support/session_samples.h"
#include "tests/support/time_base_maker.h"

namespace {

DecoderSetup setupOf(const char* id) {
    for (const DecoderInfo& info : handMadeDecoders()) {
        if (info.id == id) {
            return DecoderSetup{info, {}, {}};
        }
    }
    ADD_FAILURE() << id;
    return {};
}

Annotation given(size_t stack, const char* decoder, int annotationClass, int row, uint32_t start,
                 const char* text) {
    Annotation a;
    a.stack = stack;
    a.decoder = decoder;
    a.annotationClass = annotationClass;
    a.row = row;
    a.start = start;
    a.end = start + 10;
    a.texts = {text};
    return a;
}

struct Shown {
    std::string title;
    std::vector<uint32_t> annotations;
    std::string message;
    bool operator==(const Shown&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Shown& s) {
    out << s.title << " [";
    for (uint32_t a : s.annotations) {
        out << a << " ";
    }
    return out << "] " << s.message;
}

std::vector<Shown> shown(const DesktopDecoding& decoding) {
    std::vector<Shown> rows;
    for (const DecoderRow& row : decoderRows(decoding)) {
        rows.push_back({row.title, row.annotations, row.message});
    }
    return rows;
}

TEST(DecoderRows, RowsThatHoldAnnotationsInTheDecodersOrderEachByStart) {
    DesktopDecoding decoding;
    decoding.stacks = {{setupOf("uart")}, {setupOf("pwm")}};
    decoding.state = DecodeState::Done;
    decoding.result.annotations = storeOf({
        given(0, "uart", 1, 1, 50, "tx"),
        given(0, "uart", 0, 0, 30, "rx late"),
        given(0, "uart", 2, 0, 10, "start"),
        given(0, "uart", 5, -1, 0, "no row"),
        given(1, "pwm", 0, -1, 0, "50%"),
    });
    EXPECT_EQ(
        shown(decoding),
        (std::vector<Shown>{
            {"UART: RX", {2, 1}, ""}, {"UART: TX", {0}, ""}, {"UART", {3}, ""}, {"PWM", {4}, ""}}));
}

TEST(DecoderRows, AStackWithoutAnnotationsSaysHowItsDecodingStands) {
    const struct {
        DecodeState state;
        const char* message;
    } cases[] = {
        {DecodeState::Idle, "No recording to decode"},
        {DecodeState::WaitingForCapture, "Decoded when the capture ends"},
        {DecodeState::Running, "Decoding\u2026"},
        {DecodeState::Done, "No annotations"},
        {DecodeState::Failed, "Decoding failed: the first line"},
    };
    for (const auto& c : cases) {
        DesktopDecoding decoding;
        decoding.stacks = {{setupOf("i2c"), setupOf("eeprom24xx")}};
        decoding.state = c.state;
        decoding.problem = "the first line\nthe second";
        EXPECT_EQ(shown(decoding), (std::vector<Shown>{{"I²C, 24xx EEPROM", {}, c.message}}));
    }
}

// Hide in a row's menu folds the stack's rows into one that says so, and Show unfolds them; the
// mark stays with its stack as another is removed before it.
TEST(DecoderRows, AHiddenStackIsOneRowThatKeepsToItsStack) {
    resetScopeSession();
    resetDesktopDecoding();
    RecordingWindowSystem ws;
    DesktopDecoding& d = desktopDecoding;
    d.stacks = {{setupOf("uart")}, {setupOf("i2c"), setupOf("eeprom24xx")}, {setupOf("spi")}};
    const auto titles = [] {
        std::vector<std::string> texts;
        for (const DecoderRow& row : decoderRows(desktopDecoding)) {
            texts.push_back(row.title + ": " + row.message);
        }
        return texts;
    };
    const std::string idle = "No recording to decode";
    actOnDecoderStack(ws, StackAction::Hide, 1);
    EXPECT_EQ(titles(), (std::vector<std::string>{"UART: " + idle, "I²C, 24xx EEPROM: Hidden",
                                                  "SPI: " + idle}));
    EXPECT_EQ(ws.log.back(), "rows");
    actOnDecoderStack(ws, StackAction::Remove, 0);
    EXPECT_EQ(titles(), (std::vector<std::string>{"I²C, 24xx EEPROM: Hidden", "SPI: " + idle}));
    actOnDecoderStack(ws, StackAction::Hide, 0);
    actOnDecoderStack(ws, StackAction::Hide, 1);
    EXPECT_EQ(titles(), (std::vector<std::string>{"I²C, 24xx EEPROM: " + idle, "SPI: Hidden"}));
    actOnDecoderStack(ws, StackAction::Hide, 7);
    EXPECT_EQ(titles().size(), 2u);
    resetDesktopDecoding();
}

TEST(DecoderRows, ARowSaysHowTheDecodingStandsUntilItsResultIsTheRecordings) {
    DesktopDecoding decoding;
    decoding.state = DecodeState::Running;
    DecoderRow row;
    row.title = "UART: RX";
    EXPECT_EQ(rowMessage(decoding, row), "Decoding\u2026");
    decoding.resultCurrent = true;
    EXPECT_EQ(rowMessage(decoding, row), "");
    row.message = "No annotations";
    EXPECT_EQ(rowMessage(decoding, row), "No annotations");
}

TEST(DecoderRows, AFailureBesideAnnotationsHasARowOfItsOwn) {
    DesktopDecoding decoding;
    decoding.stacks = {{setupOf("pwm")}};
    decoding.state = DecodeState::Failed;
    decoding.problem = "pwm: stopped";
    decoding.result.annotations = storeOf({given(0, "pwm", 0, -1, 0, "50%")});
    EXPECT_EQ(
        shown(decoding),
        (std::vector<Shown>{{"PWM", {0}, ""}, {"Decoding", {}, "Decoding failed: pwm: stopped"}}));
    decoding.state = DecodeState::Done;
    EXPECT_EQ(shown(decoding).size(), 1u);
}

// Each stack decodes on its own: a failure shows in its stack's row only, and the stacks that ran
// to the end show theirs as they are.
TEST(DecoderRows, EachStackShowsItsOwnFailure) {
    const struct {
        std::vector<std::string> errors;
        std::vector<Shown> rows;
    } cases[] = {
        {{"", "ChannelError: neither MISO nor MOSI"},
         {{"UART: RX", {0}, ""},
          {"SPI", {}, "Decoding failed: ChannelError: neither MISO nor MOSI"}}},
        {{"uart: stopped\nmore", ""},
         {{"UART: RX", {0}, ""},
          {"UART", {}, "Decoding failed: uart: stopped"},
          {"SPI", {}, "No annotations"}}},
        {{"a", "b"},
         {{"UART: RX", {0}, ""},
          {"UART", {}, "Decoding failed: a"},
          {"SPI", {}, "Decoding failed: b"}}},
    };
    for (const auto& c : cases) {
        DesktopDecoding decoding;
        decoding.stacks = {{setupOf("uart")}, {setupOf("spi")}};
        decoding.state = DecodeState::Failed;
        decoding.resultCurrent = true;
        decoding.problem = "the whole";
        decoding.result.annotations = storeOf({given(0, "uart", 0, 0, 10, "A")});
        decoding.result.stackErrors = c.errors;
        EXPECT_EQ(shown(decoding), c.rows) << c.errors[0] << "|" << c.errors[1];
    }
}

// A screen reader hears the full texts of the annotations on screen, from the first whose end
// lies past the view's left edge to the last that starts before its right edge.
TEST(DecoderRows, ARowReadsItsAnnotationsOnScreen) {
    DesktopDecoding decoding;
    decoding.resultCurrent = true;
    DecoderRow row;
    row.title = "UART: RX";
    for (uint32_t start : {0u, 100u, 200u}) {
        Annotation byte = given(0, "uart", 0, 0, start, "x");
        byte.texts = {"Byte " + std::to_string(start), "B"};
        decoding.result.annotations.add(byte);
    }
    Annotation point = given(0, "uart", 0, 0, 400, "Start");
    point.end = point.start;
    decoding.result.annotations.add(point);
    row.annotations = {0, 1, 2, 3};
    row.summary = summariseRow(row.annotations, decoding.result.annotations);
    struct Case {
        uint32_t first, count;
        const char* text;
    };
    const Case cases[] = {
        {0, 100, "UART: RX: Byte 0"},   {5, 100, "UART: RX: Byte 0, Byte 100"},
        {10, 91, "UART: RX: Byte 100"}, {0, 1000, "UART: RX: Byte 0, Byte 100, Byte 200, Start"},
        {400, 1, "UART: RX: Start"},    {401, 100, "UART: RX: none on screen"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rowText(decoding, row, SampleSpan{c.first, c.first + c.count - 1}), c.text)
            << c.first << "+" << c.count;
    }
    EXPECT_EQ(rowText(decoding, row, std::nullopt), "UART: RX: none on screen");
    decoding.resultCurrent = false;
    decoding.state = DecodeState::Running;
    EXPECT_EQ(rowText(decoding, row, SampleSpan{0, 999}), "UART: RX: Decoding\u2026");
}

// The rows made from a result find a long annotation that began left of the view among many
// short ones after it.
TEST(DecoderRows, ARowMadeFromTheResultReadsALongAnnotationFromLeftOfTheView) {
    DesktopDecoding decoding;
    decoding.stacks = {{setupOf("uart")}};
    decoding.state = DecodeState::Done;
    decoding.resultCurrent = true;
    std::vector<Annotation> all = {given(0, "uart", 0, 0, 0, "Frame")};
    all.front().end = 100000;
    for (uint32_t start = 100; start < 100000; start += 100) {
        all.push_back(given(0, "uart", 0, 0, start, "b"));
    }
    decoding.result.annotations = storeOf(all);
    const std::vector<DecoderRow> rows = decoderRows(decoding);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rowText(decoding, rows[0], SampleSpan{50000, 50150}), "UART: RX: Frame, b, b");
}

// Past a screenful of words the rest is counted, not read.
TEST(DecoderRows, ALongRowCountsWhatItDoesNotRead) {
    DesktopDecoding decoding;
    decoding.resultCurrent = true;
    DecoderRow row;
    row.title = "SPI";
    std::string expected = "SPI: ";
    for (uint32_t i = 0; i < 60; ++i) {
        decoding.result.annotations.add(given(0, "spi", 0, 0, i * 10, "x"));
        row.annotations.push_back(i);
        if (i < 50) {
            expected += (i == 0 ? "x" : ", x");
        }
    }
    row.summary = summariseRow(row.annotations, decoding.result.annotations);
    EXPECT_EQ(rowText(decoding, row, SampleSpan{0, 999}), expected + ", and 10 more");
    EXPECT_EQ(rowText(decoding, row, SampleSpan{0, 499}), expected);
}

TEST(DecoderRows, TheTooltipGivesTheTextTheCapturesNumbersTheTimeAndAGap) {
    resetScopeSession();
    loadSessionSamples(std::vector<uint8_t>(2000, 0));
    DecoderRow row;
    row.title = "UART: RX";
    Annotation a = given(0, "uart", 0, 0, 100, "P");
    a.texts = {"Pinprobe", "P"};
    a.end = 200;
    scopeSession.sampleOrigin = 1000;  // after Cut Before
    EXPECT_EQ(annotationTooltip(row, a), "Pinprobe\nUART: RX, samples 1100 to 1199");

    giveSessionEvenTimes(4000, 1e-6);
    a.spansGap = true;
    EXPECT_EQ(annotationTooltip(row, a),
              "Pinprobe\nUART: RX, samples 1100 to 1199\nAt 1.100 ms, lasting 100.0 \u00b5s\n"
              "The sampling stood still during it (a gap): it may be decoded wrong");
    a.end = a.start;
    a.spansGap = false;
    EXPECT_EQ(annotationTooltip(row, a), "Pinprobe\nUART: RX, sample 1100\nAt 1.100 ms");
    resetScopeSession();
}

}  // namespace
