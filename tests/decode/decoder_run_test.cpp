#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <string>
#include <vector>

#include "core/scope_session.h"
#include "core/time_base.h"
#include "decode/decoder_run.h"
#include "tests/support/protocol_signals.h"

namespace {

struct Shown {
    uint32_t start;
    uint32_t end;
    std::string text;

    bool operator==(const Shown&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Shown& shown) {
    return out << shown.start << "-" << shown.end << " " << shown.text;
}

std::vector<DecoderStack> stacks(const std::vector<std::string>& texts) {
    std::vector<DecoderStack> result;
    for (const std::string& text : texts) {
        DecoderStack stack;
        std::string error;
        EXPECT_EQ(parseDecoderStack(text, stack, error), SetupStatus::Ok) << text << ": " << error;
        result.push_back(stack);
    }
    return result;
}

DecodeResult decode(const std::string& samples, const std::string& stack, double period) {
    const DecodeInput input =
        makeDecodeInput(reinterpret_cast<const uint8_t*>(samples.data()),
                        static_cast<uint32_t>(samples.size()), UniformGrid{period, {}});
    return runDecoders(stacks({stack}), input);
}

// The annotations of class `annotationClass` of the decoder, their first text.
std::vector<Shown> shown(const DecodeResult& result, const std::string& decoder,
                         const std::string& annotationClass, const std::string& stackText) {
    const DecoderInfo info = stacks({stackText})[0].front().info;
    int wanted = -1;
    for (size_t c = 0; c < info.annotations.size(); ++c) {
        wanted = info.annotations[c].id == annotationClass ? static_cast<int>(c) : wanted;
    }
    std::vector<Shown> found;
    for (const AnnotationRef a : result.annotations) {
        if (a.decoder == decoder && a.annotationClass == wanted) {
            found.push_back({a.start, a.end, a.texts.at(0)});
        }
    }
    return found;
}

TEST(DecoderRun, UartTextAtTwoBaudRates) {
    struct Case {
        uint32_t samplesPerBit;
        const char* stack;
        double period;
    };
    for (const Case& c : {Case{100, "uart:rx=select:baudrate=10000", 1e-6},
                          Case{8, "uart:rx=2:baudrate=115200:format=ascii", 1.0 / 921600}}) {
        const std::string text = "Pi";
        const DecodeResult result =
            decode(uartRecording(text, c.samplesPerBit, 2), c.stack, c.period);
        ASSERT_TRUE(result.ok) << result.error;
        const uint32_t bit = c.samplesPerBit;
        const uint32_t second = 200 + 11 * bit;  // idle, then a frame of 11 bits with the gap
        const bool ascii = std::string(c.stack).find("ascii") != std::string::npos;
        const std::vector<Shown> expected{{200 + bit, 200 + 9 * bit, ascii ? "P" : "50"},
                                          {second + bit, second + 9 * bit, ascii ? "i" : "69"}};
        EXPECT_EQ(shown(result, "uart", "rx-data", c.stack), expected) << c.stack;
        for (const AnnotationRef a : result.annotations) {
            EXPECT_EQ(a.instance, "uart-1");
            EXPECT_FALSE(a.spansGap);
        }
    }
}

TEST(DecoderRun, I2cWriteThenRead) {
    const std::string stack = "i2c:scl=error:sda=select";
    const DecodeResult result =
        decode(i2cRecording(0x50, {0x12, 0xA5}, {0x3C, 0x7E}, 10), stack, 1e-6);
    ASSERT_TRUE(result.ok) << result.error;
    // The row of addresses and data; 20 samples a bit after the start at 210.
    std::vector<Shown> frames;
    for (const AnnotationRef a : result.annotations) {
        if (a.row == 1) {
            frames.push_back({a.start, a.end, a.texts.at(0)});
        }
    }
    const std::vector<Shown> expected = {{210, 210, "Start"},
                                         {370, 390, "Write"},
                                         {230, 370, "Address write: 50"},
                                         {390, 410, "ACK"},
                                         {410, 570, "Data write: 12"},
                                         {570, 590, "ACK"},
                                         {590, 750, "Data write: A5"},
                                         {750, 770, "ACK"},
                                         {780, 780, "Stop"},
                                         {800, 800, "Start"},
                                         {960, 980, "Read"},
                                         {820, 960, "Address read: 50"},
                                         {980, 1000, "ACK"},
                                         {1000, 1160, "Data read: 3C"},
                                         {1160, 1180, "ACK"},
                                         {1180, 1340, "Data read: 7E"},
                                         {1340, 1360, "NACK"},
                                         {1370, 1370, "Stop"}};
    EXPECT_EQ(frames, expected);
}

TEST(DecoderRun, SpiModeZeroAndThree) {
    for (const int mode : {0, 3}) {
        const std::string stack = "spi:clk=1:mosi=2:miso=3:cs=4:cpol=" + std::to_string(mode >> 1) +
                                  ":cpha=" + std::to_string(mode & 1);
        const DecodeResult result =
            decode(spiRecording(mode, {0xA5, 0x3C}, {0x5A, 0xC3}, 5), stack, 1e-6);
        ASSERT_TRUE(result.ok) << result.error;
        std::vector<std::string> mosi;
        std::vector<std::string> miso;
        for (const Shown& s : shown(result, "spi", "mosi-data", stack)) {
            mosi.push_back(s.text);
        }
        for (const Shown& s : shown(result, "spi", "miso-data", stack)) {
            miso.push_back(s.text);
        }
        EXPECT_EQ(mosi, (std::vector<std::string>{"A5", "3C"})) << "mode " << mode;
        EXPECT_EQ(miso, (std::vector<std::string>{"5A", "C3"})) << "mode " << mode;
    }
}

// The register shows Busy inverted; a decoder on Busy reads the pin.
TEST(DecoderRun, BusyIsReadAtThePin) {
    const std::string stack = "uart:rx=busy:baudrate=10000";
    const DecodeResult result = decode(uartRecording("P", 100, 5), stack, 1e-6);
    ASSERT_TRUE(result.ok) << result.error;
    const std::vector<Shown> data = shown(result, "uart", "rx-data", stack);
    ASSERT_EQ(data.size(), 1u);
    EXPECT_EQ(data[0].text, "50");
}

TEST(DecoderRun, StackedDecodersGiveTheirOwnAnnotations) {
    const DecodeResult result =
        decode(uartRecording("\x90\x3c\x40", 32, 1), "uart:rx=error:baudrate=31250,midi", 1e-6);
    ASSERT_TRUE(result.ok) << result.error;
    bool midi = false;
    for (const AnnotationRef a : result.annotations) {
        midi = midi || (a.decoder == "midi" && a.instance == "midi-1" && a.stack == 0);
    }
    EXPECT_TRUE(midi);
}

TEST(DecoderRun, WithoutARateADecoderThatNeedsOneSaysSo) {
    const DecodeResult result = decode(uartRecording("P", 100, 2), "uart:rx=select", 0);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.needsSampleRate) << result.error;
    // A decoder that needs no rate runs without one.
    const DecodeResult spi =
        decode(spiRecording(0, {0xA5}, {0x5A}, 5), "spi:clk=1:mosi=2:miso=3:cs=4", 0);
    EXPECT_TRUE(spi.ok) << spi.error;
}

// A capture resampled from an uneven time base: the annotations come back in the data's own
// sample numbers, and those the sampling stood still in say so.
TEST(DecoderRun, ResampledCaptureMapsBackAndFlagsGaps) {
    const std::string samples = uartRecording("PP", 100, 2);
    const auto count = static_cast<uint32_t>(samples.size());
    // The sampling stood still for 500 µs before sample 1150, in the first frame's stop bit
    // (1100 to 1200), where the level stays high on both sides.
    setStalledCapture(samples, 1150, 500'000);
    ASSERT_EQ(scopeSession.timeBase.gaps().size(), 1u);
    DecodeInput input;
    std::string error;
    ASSERT_TRUE(sessionDecodeInput(scopeSession, input, error)) << error;
    EXPECT_EQ(input.sampleRate, 1000000u);
    EXPECT_EQ(input.levels.size(), count + 500u);
    const std::string stack = "uart:rx=select:baudrate=10000";
    const DecodeResult result = runDecoders(stacks({stack}), input);
    resetScopeSession();
    ASSERT_TRUE(result.ok) << result.error;
    std::vector<std::string> spanning;
    for (const AnnotationRef a : result.annotations) {
        EXPECT_LE(a.start, a.end);
        EXPECT_LE(a.end, count);
        if (a.spansGap) {
            spanning.push_back(a.texts.at(0));
        }
    }
    EXPECT_EQ(spanning, (std::vector<std::string>{"Stop bit"}));
    // The second frame's data, on the grid at 1900 to 2700, is at 1400 to 2200 in the data.
    EXPECT_EQ(shown(result, "uart", "rx-data", stack),
              (std::vector<Shown>{{300, 1100, "50"}, {1400, 2200, "50"}}));
}

// An annotation spans a stall when they share a decoder sample: one that ends where a stall
// begins does not, nor one that begins where it ends; one that begins where it begins does.
TEST(DecoderRun, AnAnnotationSpansAStallOnlyWhereTheyShareASample) {
    struct Case {
        const char* name;
        std::pair<uint64_t, uint64_t> stall;  // decoder samples [first, end)
        std::vector<std::string> spanning;    // the first text of each annotation flagged
    };
    // The first frame's last data bit is at 1000 to 1100, its byte at 300 to 1100, its stop bit
    // at 1100 to 1200; the second frame's start bit at 1300 to 1400.
    const std::vector<Case> cases = {
        {"from the stop bit's start to the next start bit's", {1100, 1300}, {"Stop bit"}},
        {"the last sample before the stop bit", {1099, 1100}, {"0", "50"}},
        {"inside the next start bit", {1350, 1351}, {"Start bit"}},
    };
    const std::string samples = uartRecording("PP", 100, 2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DecodeInput input =
            makeDecodeInput(reinterpret_cast<const uint8_t*>(samples.data()),
                            static_cast<uint32_t>(samples.size()), UniformGrid{1e-6, {}});
        input.stalls = {c.stall};
        const DecodeResult result = runDecoders(stacks({"uart:rx=select:baudrate=10000"}), input);
        ASSERT_TRUE(result.ok) << result.error;
        std::vector<std::string> spanning;
        for (const AnnotationRef a : result.annotations) {
            if (a.spansGap) {
                spanning.push_back(a.texts.at(0));
            }
        }
        std::sort(spanning.begin(), spanning.end());
        EXPECT_EQ(spanning, c.spanning);
    }
}

// A stack that fails (SPI given neither MISO nor MOSI) stops only itself: the others decode the
// whole recording, past the first chunks, as they do alone, wherever the failing one stands.
TEST(DecoderRun, AFailingStackLeavesTheOthersWhole) {
    const std::string uart = "uart:rx=select:baudrate=10000";
    const std::string spi = "spi:clk=busy";
    const std::string samples = uartRecording(std::string(150, 'U'), 100, 2);
    const DecodeInput input =
        makeDecodeInput(reinterpret_cast<const uint8_t*>(samples.data()),
                        static_cast<uint32_t>(samples.size()), UniformGrid{1e-6, {}});
    const std::vector<Shown> alone =
        shown(runDecoders(stacks({uart}), input), "uart", "rx-data", uart);
    ASSERT_EQ(alone.size(), 150u);
    const struct {
        std::vector<std::string> stacks;
        size_t failing;
    } cases[] = {{{uart, spi}, 1}, {{spi, uart}, 0}, {{uart, spi, uart}, 1}};
    for (const auto& c : cases) {
        const DecodeResult result = runDecoders(stacks(c.stacks), input);
        EXPECT_FALSE(result.ok);
        ASSERT_EQ(result.stackErrors.size(), c.stacks.size());
        for (size_t s = 0; s < c.stacks.size(); ++s) {
            EXPECT_EQ(result.stackErrors[s].empty(), s != c.failing)
                << s << ": " << result.stackErrors[s];
        }
        EXPECT_NE(result.error.find(result.stackErrors[c.failing]), std::string::npos);
        std::vector<Shown> perUart = shown(result, "uart", "rx-data", uart);
        EXPECT_EQ(perUart.size(), alone.size() * (c.stacks.size() - 1));
        perUart.resize(alone.size());
        EXPECT_EQ(perUart, alone);
        // Named as one session over all the stacks would name them.
        std::set<std::string> names;
        for (const AnnotationRef a : result.annotations) {
            names.insert(a.instance);
        }
        EXPECT_EQ(names.size(), c.stacks.size() - 1);
        EXPECT_TRUE(names.count(c.stacks.size() == 3 ? "uart-2" : "uart-1"));
    }
}

TEST(DecoderRun, CancelledBeforeTheFirstChunkGivesNothing) {
    const std::string samples = uartRecording("Pinprobe", 100, 2);
    const DecodeInput input =
        makeDecodeInput(reinterpret_cast<const uint8_t*>(samples.data()),
                        static_cast<uint32_t>(samples.size()), UniformGrid{1e-6, {}});
    std::atomic<bool> cancel{true};
    const DecodeResult result =
        runDecoders(stacks({"uart:rx=select:baudrate=10000"}), input, &cancel);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.cancelled);
    EXPECT_TRUE(result.annotations.empty());
}

}  // namespace

namespace {

// Enough UART bytes for several chunks of samples.
DecodeInput longUartInput() {
    static const std::string samples = uartRecording(std::string(300, 'U'), 100, 2);
    return makeDecodeInput(reinterpret_cast<const uint8_t*>(samples.data()),
                           static_cast<uint32_t>(samples.size()), UniformGrid{1e-6, {}});
}

bool sameAnnotation(const AnnotationRef& a, const AnnotationRef& b) {
    return a.start == b.start && a.end == b.end && a.stack == b.stack && a.texts == b.texts &&
           a.annotationClass == b.annotationClass && a.spansGap == b.spansGap;
}

TEST(DecoderStream, GivesWhatRunDecodersKeepsInTheSameOrderChunkByChunk) {
    const DecodeInput input = longUartInput();
    const auto uart = stacks({"uart:rx=select:baudrate=10000"});
    const DecodeResult kept = runDecoders(uart, input);
    ASSERT_TRUE(kept.ok) << kept.error;
    std::vector<Annotation> streamed;
    std::vector<size_t> batches;
    const DecodeResult result = streamDecoders(uart, input, [&](std::vector<Annotation>& given) {
        batches.push_back(given.size());
        streamed.insert(streamed.end(), given.begin(), given.end());
        return true;
    });
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_TRUE(result.annotations.empty()) << "nothing is kept";
    ASSERT_EQ(streamed.size(), kept.annotations.size());
    for (size_t i = 0; i < streamed.size(); ++i) {
        ASSERT_TRUE(sameAnnotation(streamed[i], kept.annotations[i])) << i;
    }
    // One call per chunk of samples and one at the end; none holds most of them.
    EXPECT_GE(batches.size(), input.levels.size() / (64 * 1024) + 1);
    EXPECT_LT(*std::max_element(batches.begin(), batches.end()), streamed.size() / 3);
}

TEST(DecoderStream, ASinkThatSaysStopEndsTheDecodingThere) {
    const DecodeInput input = longUartInput();
    int calls = 0;
    size_t given = 0;
    const DecodeResult result = streamDecoders(stacks({"uart:rx=select:baudrate=10000"}), input,
                                               [&](std::vector<Annotation>& batch) {
                                                   ++calls;
                                                   given += batch.size();
                                                   return false;
                                               });
    EXPECT_TRUE(result.cancelled);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(calls, 1);
    EXPECT_GT(given, 0u);
}

}  // namespace
