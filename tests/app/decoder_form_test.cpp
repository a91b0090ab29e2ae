#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/decoding/decoder_form.h"
#include "decode/decoder_catalog.h"
#include "tests/support/decoder_infos.h"

namespace {

DecoderForm formOf(std::vector<DecoderStack> stacks = {}) {
    DecoderForm form;
    form.decoders = handMadeDecoders();
    form.stacks = std::move(stacks);
    return form;
}

std::vector<std::string> ids(const DecoderForm& form, const std::vector<size_t>& indices) {
    std::vector<std::string> found;
    for (size_t i : indices) {
        found.push_back(form.decoders[i].id);
    }
    return found;
}

// A stack of one decoder as the form makes it.
DecoderStack stackOf(DecoderForm form, const char* id) {
    EXPECT_TRUE(form.choose(id));
    EXPECT_TRUE(form.accept()) << form.error;
    return DecoderStack{form.outcome->setup};
}

TEST(DecoderForm, SearchFindsIdNameAndDescriptionInAnyCase) {
    const DecoderForm form = formOf();
    const struct {
        const char* search;
        std::vector<std::string> ids;
    } cases[] = {
        {"", {"eeprom24xx", "i2c", "pwm", "spi", "uart"}},
        {"UART", {"uart"}},
        {"i²c", {"i2c", "eeprom24xx"}},  // eeprom24xx by its description
        {"serial bus", {"i2c", "spi", "uart"}},
        {"duty", {"pwm"}},
        {"nothing like it", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ids(form, form.matching(c.search)), c.ids) << c.search;
    }
}

// What a user types first is what Enter adds: an exact id or name before one that begins with
// it, before one that holds it, before a description that mentions it.
TEST(DecoderForm, SearchRanksTheBestMatchFirst) {
    DecoderForm form = formOf();
    const auto add = [&](const char* id, const char* name, const char* description) {
        DecoderInfo info;
        info.id = id;
        info.name = name;
        info.description = description;
        form.decoders.insert(form.decoders.begin(), info);
    };
    add("spiflash", "SPI flash", "SPI flash chips.");
    add("rgb_led_spi", "RGB LED (SPI)", "RGB LED string over SPI.");
    add("guess_bitrate", "Guess bitrate", "Guess the bitrate of a UART or other serial line.");
    add("ir_rc5", "IR RC-5", "RC-5 infrared remote control.");
    const struct {
        const char* search;
        std::vector<std::string> ids;
    } cases[] = {
        {"uart", {"uart", "guess_bitrate"}},
        {"spi", {"spi", "spiflash", "rgb_led_spi"}},
        {"SPI FLASH", {"spiflash"}},
        {"rc", {"ir_rc5", "pwm"}},  // pwm by its description: "percentage"
        {"sp", {"spiflash", "spi", "rgb_led_spi"}},
        {"i²", {"i2c", "eeprom24xx"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ids(form, form.matching(c.search)), c.ids) << c.search;
    }
}

TEST(DecoderForm, RequiredChannelsComeFirstOnOursInOrder) {
    DecoderForm form = formOf();
    ASSERT_TRUE(form.choose("spi"));
    ASSERT_EQ(form.channels.size(), 4u);
    EXPECT_EQ(form.channels[0].channel.id, "clk");
    EXPECT_TRUE(form.channels[0].required);
    EXPECT_EQ(form.channels[0].ours, 0);
    for (size_t i = 1; i < 4; ++i) {
        EXPECT_FALSE(form.channels[i].required) << i;
        EXPECT_FALSE(form.channels[i].ours.has_value()) << i;
    }
    ASSERT_TRUE(form.choose("i2c"));
    EXPECT_EQ(form.channels[0].ours, 0);
    EXPECT_EQ(form.channels[1].ours, 1);
}

TEST(DecoderForm, OptionsStartAtTheirDefaultsOrWhatWasChosenBefore) {
    DecoderForm form = formOf();
    ASSERT_TRUE(form.choose("uart"));
    ASSERT_EQ(form.options.size(), 3u);
    EXPECT_EQ(form.options[0].text, "115200");
    EXPECT_EQ(form.options[1].text, "none");

    DecoderSetup before{form.decoders[4], {{"tx", 3}}, {{"baudrate", int64_t{9600}}}};
    form.remembered["uart"] = before;
    ASSERT_TRUE(form.choose("uart"));
    EXPECT_EQ(form.options[0].text, "9600");
    EXPECT_EQ(form.options[1].text, "none");
    EXPECT_FALSE(form.channels[0].ours.has_value());  // rx
    EXPECT_EQ(form.channels[1].ours, 3);              // tx
}

TEST(DecoderForm, AcceptedChoicesGiveTheSetupWithOnlyTheOptionsChanged) {
    DecoderForm form = formOf();
    ASSERT_TRUE(form.choose("uart"));
    form.channels[0].ours = 1;
    form.options[0].text = "10000";
    form.options[2].text = "hex";  // its default: not given
    form.asksPeriod = true;
    form.periodText = "2 us";
    ASSERT_TRUE(form.accept()) << form.error;
    const DecoderChoice& choice = *form.outcome;
    EXPECT_EQ(choice.setup.info.id, "uart");
    EXPECT_EQ(choice.setup.channels, (std::map<std::string, int>{{"rx", 1}}));
    EXPECT_EQ(choice.setup.options,
              (std::map<std::string, OptionValue>{{"baudrate", int64_t{10000}}}));
    EXPECT_FALSE(choice.stackOn.has_value());
    EXPECT_DOUBLE_EQ(*choice.periodSeconds, 2e-6);
    EXPECT_TRUE(form.error.empty());
}

TEST(DecoderForm, ChoicesThatDoNotHoldTogetherSayWhy) {
    const struct {
        const char* name;
        std::function<void(DecoderForm&)> change;
        const char* error;
    } cases[] = {
        {"nothing chosen", [](DecoderForm& f) { f.chosen.reset(); },
         "Choose a decoder from the list."},
        {"no channel", [](DecoderForm& f) { f.choose("uart"); },
         "UART reads none of our channels: choose one for at least one of its."},
        {"a required channel left out",
         [](DecoderForm& f) {
             f.choose("spi");
             f.channels[0].ours.reset();
             f.channels[2].ours = 1;
         },
         "spi needs channel 'clk' (CLK)"},
        {"an option's value",
         [](DecoderForm& f) {
             f.choose("uart");
             f.channels[0].ours = 1;
             f.options[0].text = "fast";
         },
         "uart option baudrate takes a whole number, not 'fast'"},
        {"a choice the option lacks",
         [](DecoderForm& f) {
             f.choose("uart");
             f.channels[0].ours = 1;
             f.options[1].text = "mark";
         },
         "uart option parity takes none, odd, even, not 'mark'"},
        {"the period",
         [](DecoderForm& f) {
             f.choose("pwm");
             f.asksPeriod = true;
             f.periodText = "soon";
         },
         "Give the time between two samples, such as 1 us, 2.5 ms or 100 ns."},
        {"a decoder that reads no channels, alone", [](DecoderForm& f) { f.choose("eeprom24xx"); },
         "eeprom24xx reads no channels: stack it on a decoder that gives it input"},
        {"a stack that is gone",
         [](DecoderForm& f) {
             f.choose("pwm");
             f.stackOn = 3;
         },
         "Choose a decoder to stack PWM on."},
    };
    for (const auto& c : cases) {
        DecoderForm form = formOf();
        form.choose("pwm");
        c.change(form);
        EXPECT_FALSE(form.accept()) << c.name;
        EXPECT_EQ(form.error, c.error) << c.name;
        EXPECT_FALSE(form.outcome.has_value()) << c.name;
    }
}

TEST(DecoderForm, ADecoderThatTakesWhatAStackGivesGoesOnTopOfIt) {
    const DecoderForm plain = formOf();
    const std::vector<DecoderStack> stacks{stackOf(plain, "pwm"), stackOf(plain, "i2c")};
    DecoderForm form = formOf(stacks);
    ASSERT_TRUE(form.choose("eeprom24xx"));
    const std::vector<StackTarget> targets = form.targets();
    ASSERT_EQ(targets.size(), 1u);
    EXPECT_EQ(targets[0].stack, 1u);
    EXPECT_EQ(targets[0].title, "I²C");
    EXPECT_EQ(form.stackOn, 1u);  // it reads no channels itself
    ASSERT_TRUE(form.accept()) << form.error;
    EXPECT_EQ(form.outcome->stackOn, 1u);
    EXPECT_TRUE(form.outcome->setup.channels.empty());

    EXPECT_EQ(form.stackingNote(), "");
    ASSERT_TRUE(form.choose("uart"));
    EXPECT_TRUE(form.targets().empty());
    EXPECT_EQ(form.stackingNote(), "");
    DecoderForm alone = formOf();
    alone.choose("eeprom24xx");
    EXPECT_EQ(alone.stackingNote(),
              "24xx EEPROM reads none of our channels: it takes what a decoder gives as i2c. Add "
              "such a decoder first.");
    EXPECT_FALSE(form.stackOn.has_value());
    EXPECT_EQ(stackTitle(DecoderStack{stacks[1][0], form.outcome->setup}), "I²C, 24xx EEPROM");
}

TEST(DecoderForm, TheFirstProposalsSuitTheSimulatedProbe) {
    std::vector<DecoderInfo> catalogue;
    std::string error;
    ASSERT_TRUE(listDecoders(catalogue, error)) << error;
    const std::map<std::string, DecoderSetup> starters = starterSetups(catalogue);
    ASSERT_EQ(starters.count("uart"), 1u);
    EXPECT_EQ(starters.at("uart").channels, (std::map<std::string, int>{{"rx", 1}}));
    EXPECT_EQ(starters.at("uart").options.at("baudrate"), OptionValue(int64_t{10000}));
    ASSERT_EQ(starters.count("pwm"), 1u);
    EXPECT_EQ(starters.at("pwm").channels, (std::map<std::string, int>{{"data", 3}}));
    EXPECT_TRUE(starterSetups(handMadeDecoders()).count("pwm") == 1);
}

}  // namespace
