#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/channel_looks.h"

namespace {

TEST(ChannelLooks, TypedNamesAreTidiedAndAnEmptyOneIsTheChannelsOwn) {
    const struct {
        const char* typed;
        int channel;
        const char* name;
    } cases[] = {
        {"CLK", 0, "CLK"},         {"  data in  ", 1, "data in"}, {"", 2, "Out Of Paper"},
        {"   ", 3, "Acknowledge"}, {"a\nb\tc\x1b", 4, "abc"},     {"\n", 4, "Busy"},
        {"Größe", 0, "Größe"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tidyChannelName(c.typed, c.channel), c.name) << c.typed;
    }
}

TEST(ChannelLooks, ColoursAsTheSettingsKeepThem) {
    const struct {
        uint32_t colour;  // 0x00BBGGRR
        const char* text;
    } cases[] = {
        {0x0000FF00, "#00ff00"},
        {0x000000FF, "#ff0000"},
        {0x00FF0000, "#0000ff"},
        {0x00123456, "#563412"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(colourText(c.colour), c.text);
        EXPECT_EQ(parseColourText(c.text), c.colour) << c.text;
    }
    for (const char* bad : {"", "00ff00", "#00ff0", "#00ff000", "#00gg00", "#-0ff00", "green"}) {
        EXPECT_EQ(parseColourText(bad), std::nullopt) << bad;
    }
    EXPECT_EQ(parseColourText("#00FF00"), 0x0000FF00u);
}

TEST(ChannelLooks, DefaultsAreTheStatusLinesInGreenAllShown) {
    const ChannelLooks looks = defaultChannelLooks();
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const ChannelLook& look = looks[static_cast<size_t>(channel)];
        EXPECT_EQ(look.name, kChannelNames[channel]);
        EXPECT_EQ(look.colour, kClassicTraceColour);
        EXPECT_TRUE(look.shown);
    }
}

}  // namespace
