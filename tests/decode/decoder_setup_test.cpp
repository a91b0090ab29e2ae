#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decode/decoder_setup.h"

namespace {

TEST(DecoderSetup, OptionsAndChannelsAreReadAsTheDecoderTakesThem) {
    DecoderStack stack;
    std::string error;
    ASSERT_EQ(
        parseDecoderStack("uart:rx=pin13:baudrate=9600:parity=odd:stop_bits=1.5", stack, error),
        SetupStatus::Ok)
        << error;
    ASSERT_EQ(stack.size(), 1u);
    const DecoderSetup& uart = stack[0];
    EXPECT_EQ(uart.info.id, "uart");
    EXPECT_EQ(uart.channels, (std::map<std::string, int>{{"rx", 1}}));
    EXPECT_EQ(uart.options.at("baudrate"), OptionValue(int64_t{9600}));
    EXPECT_EQ(uart.options.at("parity"), OptionValue(std::string("odd")));
    EXPECT_EQ(uart.options.at("stop_bits"), OptionValue(1.5));
    EXPECT_EQ(uart.options.count("data_bits"), 0u);  // left at its default
}

// What is kept between runs reads back as the same decoders, channels and options.
TEST(DecoderSetup, AStacksTextReadsBackAsTheSameStack) {
    const char* const texts[] = {
        "uart:rx=pin13:baudrate=9600:parity=odd:stop_bits=1.5",
        "i2c:scl=1:sda=2,eeprom24xx:chip=generic",
        "spi:clk=busy:mosi=ack:cpol=1",
        "pwm",
    };
    for (const char* text : texts) {
        DecoderStack first;
        DecoderStack again;
        std::string error;
        ASSERT_EQ(parseDecoderStack(text, first, error), SetupStatus::Ok) << text << error;
        const std::string kept = stackText(first);
        ASSERT_EQ(parseDecoderStack(kept, again, error), SetupStatus::Ok) << kept << error;
        ASSERT_EQ(again.size(), first.size()) << kept;
        for (size_t i = 0; i < first.size(); ++i) {
            EXPECT_EQ(again[i].info.id, first[i].info.id) << kept;
            EXPECT_EQ(again[i].channels, first[i].channels) << kept;
            EXPECT_EQ(again[i].options, first[i].options) << kept;
        }
    }
}

TEST(DecoderSetup, DecodersJoinedByCommasStack) {
    DecoderStack stack;
    std::string error;
    ASSERT_EQ(parseDecoderStack("i2c:scl=1:sda=2,eeprom24xx:chip=generic", stack, error),
              SetupStatus::Ok)
        << error;
    ASSERT_EQ(stack.size(), 2u);
    EXPECT_EQ(stack[0].info.id, "i2c");
    EXPECT_EQ(stack[1].info.id, "eeprom24xx");
    EXPECT_TRUE(stack[1].channels.empty());
}

TEST(DecoderSetup, WithoutChannelsADecoderIsLeftToReadOursInOrder) {
    DecoderStack stack;
    std::string error;
    EXPECT_EQ(parseDecoderStack("i2c", stack, error), SetupStatus::Ok) << error;
    EXPECT_TRUE(stack[0].channels.empty());
}

TEST(DecoderSetup, MistakesAreOneLineEach) {
    struct Case {
        const char* text;
        const char* error;
    };
    const std::vector<Case> cases = {
        {"nosuchdecoder", "unknown decoder 'nosuchdecoder' (pinprobe-cli decoders lists them)"},
        {"../uart", "unknown decoder '../uart' (pinprobe-cli decoders lists them)"},
        {"", "a decoder name is missing"},
        {"uart,", "a decoder name is missing"},
        {"uart:baud=9600", "uart has no option or channel 'baud'"},
        {"uart:clk=1", "uart has no option or channel 'clk'"},
        {"uart:rx=pin25",
         "'pin25' is not a channel: use error, select, paperout, ack, busy; "
         "pin15, pin13, pin12, pin10, pin11; or 1 to 5"},
        {"uart:rx", "uart: 'rx' is not KEY=VALUE"},
        {"uart:=1", "uart: '=1' is not KEY=VALUE"},
        {"uart:rx=", "uart: 'rx=' is not KEY=VALUE"},
        {"uart:baudrate=fast", "uart option baudrate takes a whole number, not 'fast'"},
        {"uart:baudrate=96OO", "uart option baudrate takes a whole number, not '96OO'"},
        {"uart:baudrate=99999999999999999999",
         "uart option baudrate takes a whole number, not '99999999999999999999'"},
        {"uart:stop_bits=2", "uart option stop_bits takes 0, 0.5, 1, 1.5, not '2'"},
        {"uart:stop_bits=x", "uart option stop_bits takes a number, not 'x'"},
        {"uart:parity=strange",
         "uart option parity takes none, odd, even, zero, one, ignore, not 'strange'"},
        {"i2c:scl=1", "i2c needs channel 'sda' (SDA)"},
        {"eeprom24xx", "eeprom24xx reads no channels: stack it on a decoder that gives it input"},
        {"uart,eeprom24xx", "eeprom24xx cannot stack on uart"},
        // Numbers where the decoder counts on them being positive.
        {"uart:baudrate=0", "uart option baudrate takes a whole number above 0, not '0'"},
        {"uart:baudrate=-9600", "uart option baudrate takes a whole number above 0, not '-9600'"},
        {"spi:wordsize=0", "spi option wordsize takes a whole number above 0, not '0'"},
        {"spi:wordsize=-8", "spi option wordsize takes a whole number above 0, not '-8'"},
        {"morse:timeunit=0", "morse option timeunit takes a number above 0, not '0'"},
        // A key once.
        {"uart:baudrate=9600:baudrate=10000", "uart: baudrate is given twice"},
        {"uart:rx=select:rx=error", "uart: rx is given twice"},
    };
    for (const Case& c : cases) {
        DecoderStack stack;
        std::string error;
        EXPECT_EQ(parseDecoderStack(c.text, stack, error), SetupStatus::Invalid) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
}

// Where a decoder's default is 0 or less, or its choices are listed, 0 and less are its to judge.
TEST(DecoderSetup, ZeroStaysWhereTheDefaultIsNotPositive) {
    for (const char* text : {"spi:cpol=0", "parallel:wordsize=0", "uart:data_bits=5"}) {
        DecoderStack stack;
        std::string error;
        EXPECT_EQ(parseDecoderStack(text, stack, error), SetupStatus::Ok) << text << error;
    }
}

struct RateCase {
    const char* stack;
    uint64_t sampleRate;
    const char* problem;
};

// A bit rate the samples cannot resolve, given or by default, against the rate decoded at.
TEST(DecoderSetup, ABitRateNeedsTwoSamplesPerBit) {
    const std::vector<RateCase> cases = {
        {"uart:baudrate=500000", 1000000, ""},
        {"uart:baudrate=500001", 1000000,
         "uart option baudrate 500001 is more than half the sample rate of 1000000 Hz, so the "
         "samples cannot tell its bits apart"},
        {"uart:baudrate=9223372036854775807", 1000000,
         "uart option baudrate 9223372036854775807 is more than half the sample rate of 1000000 "
         "Hz, so the samples cannot tell its bits apart"},
        {"uart", 200000,
         "uart option baudrate 115200 (its default) is more than half the sample rate of 200000 "
         "Hz, so the samples cannot tell its bits apart"},
        {"uart", 230400, ""},
        {"uart", 0, ""},  // an unknown rate is the decoder's to ask for
        {"can:nominal_bitrate=1000000", 1000000,
         "can option nominal_bitrate 1000000 is more than half the sample rate of 1000000 Hz, so "
         "the samples cannot tell its bits apart"},
        {"i2c", 1000, ""},
    };
    for (const RateCase& c : cases) {
        DecoderStack stack;
        std::string error;
        ASSERT_EQ(parseDecoderStack(c.stack, stack, error), SetupStatus::Ok) << error;
        EXPECT_EQ(sampleRateProblem({stack}, c.sampleRate), c.problem) << c.stack;
    }
}

}  // namespace
