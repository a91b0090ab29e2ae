#include "core/span_measure.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Samples from two channels' levels written as '0' and '1': channel 1 and channel 5 (Busy), so
// that a mix-up of their bits shows.
std::vector<uint8_t> twoChannels(const std::string& first, const std::string& fifth) {
    std::vector<uint8_t> samples;
    for (size_t i = 0; i < first.size(); ++i) {
        samples.push_back(static_cast<uint8_t>((first[i] == '1' ? kChannelBits[0] : 0) |
                                               (fifth[i] == '1' ? kChannelBits[4] : 0) | 0x07));
    }
    return samples;
}

struct Expected {
    uint32_t edges;
    uint32_t periods;
    double frequency;  // per sample; 0: the channel does not toggle
    double duty;
};

struct SpanCase {
    const char* name;
    std::string first, fifth;
    uint32_t from, to;
    Expected channel1, channel5;
};

void expectChannel(const ChannelSpan& got, const Expected& want) {
    EXPECT_EQ(got.edges, want.edges);
    EXPECT_EQ(got.periods, want.periods);
    EXPECT_EQ(got.toggles(), want.frequency > 0);
    if (want.frequency > 0) {
        EXPECT_DOUBLE_EQ(got.frequency(), want.frequency);
        EXPECT_DOUBLE_EQ(got.duty(), want.duty);
    }
}

TEST(MeasureSpan, EdgesFrequencyAndDutyOfEachChannel) {
    const SpanCase cases[] = {
        {"half high, period 4; steady",
         "00110011001100110011",
         "11111111111111111111",
         0,
         19,
         {9, 4, 0.25, 0.5},
         {0, 0, 0, 0}},
        {"a quarter high, starting high; one edge",
         "10001000100010001000",
         "00000000001111111111",
         0,
         19,
         {9, 3, 0.25, 0.25},
         {1, 0, 0, 0}},
        {"the markers the other way round",
         "10001000100010001000",
         "00000000001111111111",
         19,
         0,
         {9, 3, 0.25, 0.25},
         {1, 0, 0, 0}},
        {"a short span: one rise, no whole period",
         "00110011001100110011",
         "01010101010101010101",
         3,
         9,
         {3, 0, 0, 0},
         {6, 2, 0.5, 0.5}},
        {"the first sample's own change is not in the span",
         "00110011001100110011",
         "00000000000000000000",
         2,
         6,
         {2, 0, 0, 0},
         {0, 0, 0, 0}},
        {"one sample: nothing",
         "00110011001100110011",
         "01010101010101010101",
         5,
         5,
         {0, 0, 0, 0},
         {0, 0, 0, 0}},
        {"three high, one low, ending on a high stretch",
         "01110111011101110111",
         "00000000000000000000",
         0,
         19,
         {9, 4, 0.25, 0.75},
         {0, 0, 0, 0}},
    };
    const SampleClock bySample = [](uint32_t index) { return static_cast<double>(index); };
    for (const SpanCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> samples = twoChannels(c.first, c.fifth);
        const auto spans = measureSpan(samples.data(), c.from, c.to, bySample);
        expectChannel(spans[0], c.channel1);
        expectChannel(spans[4], c.channel5);
        for (int channel : {1, 2, 3}) {
            EXPECT_EQ(spans[channel].edges, 0u) << "channel " << channel + 1;
        }
    }
}

// Lengths are taken from the clock: the periods are where the edges were sampled, so a stretch
// sampled more slowly weighs by its time, not its samples.
TEST(MeasureSpan, LengthsComeFromTheClock) {
    const std::vector<uint8_t> samples = twoChannels("0011001100110011", "0000000000000000");
    // 1 µs a sample, but samples 8 on came 10 µs late.
    const SampleClock clock = [](uint32_t index) {
        return index * 1e-6 + (index >= 8 ? 10e-6 : 0);
    };
    const ChannelSpan span = measureSpan(samples.data(), 0, 15, clock)[0];
    // Rises at 2, 6, 10 and 14: 12 µs + 10 µs for three periods; high 2 + 12 + 2 µs of it, the
    // late samples falling in the second high stretch.
    EXPECT_EQ(span.periods, 3u);
    EXPECT_DOUBLE_EQ(span.frequency(), 3 / 22e-6);
    EXPECT_DOUBLE_EQ(span.duty(), 16e-6 / 22e-6);
}

}  // namespace
