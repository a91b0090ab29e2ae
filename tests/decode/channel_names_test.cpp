#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "decode/channel_names.h"

namespace {

TEST(ChannelNames, ByNamePinOrNumber) {
    struct Case {
        const char* text;
        std::optional<int> index;
    };
    const std::vector<Case> cases = {
        {"error", 0},
        {"select", 1},
        {"paperout", 2},
        {"ack", 3},
        {"busy", 4},
        {"Select", 1},
        {"BUSY", 4},
        {"Out_Of_Paper", 2},
        {"acknowledge", 3},
        {"pin15", 0},
        {"pin13", 1},
        {"pin12", 2},
        {"pin10", 3},
        {"PIN11", 4},
        {"1", 0},
        {"2", 1},
        {"5", 4},
        // Not ours: other pins, numbers out of range, anything else.
        {"pin25", std::nullopt},
        {"pin1", std::nullopt},
        {"pin", std::nullopt},
        {"pin013", std::nullopt},
        {"0", std::nullopt},
        {"6", std::nullopt},
        {"-1", std::nullopt},
        {"+2", std::nullopt},
        {" 2", std::nullopt},
        {"", std::nullopt},
        {"sel", std::nullopt},
        {"D1", std::nullopt},
        {"select ", std::nullopt},
        {"pin13x", std::nullopt},
        {"999", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseChannel(c.text), c.index) << '"' << c.text << '"';
    }
}

TEST(ChannelNames, ShortNamesParseBack) {
    for (int index = 0; index < 5; ++index) {
        EXPECT_EQ(parseChannel(channelShortName(index)), index);
    }
}

}  // namespace
