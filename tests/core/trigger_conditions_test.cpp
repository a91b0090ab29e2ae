#include "core/trigger_conditions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr uint8_t kCh1 = kChannelBits[0];
constexpr uint8_t kCh2 = kChannelBits[1];
constexpr uint8_t kCh3 = kChannelBits[2];
constexpr uint8_t kCh5 = kChannelBits[4];

TriggerMatch matchOf(const char* letters) {
    ChannelConditions conditions{};
    EXPECT_TRUE(parseTriggerLetters(letters, conditions)) << letters;
    return compileTrigger(conditions);
}

// Each condition alone and in combinations, on a pair of reads: edges between the two, levels on
// the second; bits 0-2 and unused channels never matter.
TEST(TriggerConditions, HoldOnTheReadThatMeetsThemAll) {
    struct Case {
        const char* letters;
        uint8_t before;
        uint8_t now;
        bool holds;
    };
    const std::vector<Case> cases = {
        {"1=r", 0x00, kCh1, true},
        {"1=r", kCh1, kCh1, false},
        {"1=r", kCh1, 0x00, false},
        {"1=f", kCh1, 0x00, true},
        {"1=f", 0x00, 0x00, false},
        {"1=f", 0x00, kCh1, false},
        {"1=e", 0x00, kCh1, true},
        {"1=e", kCh1, 0x00, true},
        {"1=e", kCh1, kCh1, false},
        {"1=e", 0x00, 0x07 | kCh2, false},
        {"1=1", 0x00, kCh1, true},
        {"1=1", kCh1, kCh1, true},
        {"1=1", kCh1, 0x00, false},
        {"1=0", kCh1, 0x00, true},
        {"1=0", 0xF7, 0xF7, true},
        {"1=0", 0x00, kCh1, false},
        // A falling edge while a level holds; the level on the same read, not the one before.
        {"2=f,4=1", kCh2 | 0x40, 0x40, true},
        {"2=f,4=1", kCh2, 0x40, true},
        {"2=f,4=1", kCh2 | 0x40, 0x00, false},
        {"2=f,4=1", kCh2, 0x00, false},
        // Two edge conditions: both on the same read.
        {"1=r,3=f", kCh3, kCh1, true},
        {"1=r,3=f", kCh3, kCh1 | kCh3, false},
        // Ticked boxes: a change on any one of them.
        {"1,5", 0x00, kCh5, true},
        {"1,5", kCh1, 0x00, true},
        {"1,5", 0x00, kCh2, false},
        {"1,5,3=0", 0x00, kCh5, true},
        {"1,5,3=0", 0x00, kCh5 | kCh3, false},
        {"1=1,2=0", kCh1, kCh1 | kCh2, false},
        {"1=1,2=0", 0x00, kCh1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.letters) + " " + std::to_string(c.before) + " -> " +
                     std::to_string(c.now));
        EXPECT_EQ(matchOf(c.letters).holds(c.before, c.now), c.holds);
    }
}

// A condition already true when the wait starts: levels fire on the first read, edges cannot.
TEST(TriggerConditions, OnlyLevelsHoldOnTheFirstRead) {
    struct Case {
        const char* letters;
        uint8_t first;
        bool holds;
    };
    const std::vector<Case> cases = {
        {"1=1", kCh1, true},      {"1=1", 0x00, false},     {"1=0,5=1", kCh5, true},
        {"1=0,5=1", 0xFF, false}, {"1=1,2=r", 0xFF, false}, {"1=e", kCh1, false},
        {"1=f", 0x00, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.letters);
        EXPECT_EQ(matchOf(c.letters).holdsAtStart(c.first), c.holds);
    }
    EXPECT_FALSE(TriggerMatch{}.holdsAtStart(0x00));
    EXPECT_FALSE(TriggerMatch{}.used());
}

TEST(TriggerConditions, ReadSigrokLettersAndRefuseTheRest) {
    struct Case {
        const char* text;
        bool valid;
        ChannelConditions conditions;
    };
    using C = TriggerCondition;
    const std::vector<Case> cases = {
        {"2=f,4=1", true, {C::NotUsed, C::Falling, C::NotUsed, C::High, C::NotUsed}},
        {"1=0,3=r,5=e", true, {C::Low, C::NotUsed, C::Rising, C::NotUsed, C::EitherEdge}},
        {"5,1", true, {C::EitherEdge, C::NotUsed, C::NotUsed, C::NotUsed, C::EitherEdge}},
        {"", false, {}},
        {"6=r", false, {}},
        {"0=r", false, {}},
        {"2=x", false, {}},
        {"2=", false, {}},
        {"2=rf", false, {}},
        {"=r", false, {}},
        {"1=r,,2=f", false, {}},
        {"1=r,", false, {}},
        {"1=r,1=f", false, {}},
        {"12=r", false, {}},
        {"1=R", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ChannelConditions read{};
        read[0] = TriggerCondition::Low;  // left alone when the text is refused
        EXPECT_EQ(parseTriggerLetters(c.text, read), c.valid);
        if (c.valid) {
            EXPECT_EQ(read, c.conditions);
        } else {
            EXPECT_EQ(read[0], TriggerCondition::Low);
        }
    }
}

// The session keeps either edge as the Port boxes and the rest packed; together they give back
// every channel's condition, a channel's own condition before its box.
TEST(TriggerConditions, BoxesAndPackedConditionsGiveEachChannelOne) {
    using C = TriggerCondition;
    const std::vector<ChannelConditions> all = {
        {C::Rising, C::Falling, C::High, C::Low, C::EitherEdge},
        {C::EitherEdge, C::EitherEdge, C::NotUsed, C::NotUsed, C::Low},
        {C::Low, C::Low, C::Low, C::Low, C::Low},
        {},
    };
    for (const ChannelConditions& conditions : all) {
        uint8_t boxes = 0;
        for (int channel = 0; channel < kChannelCount; ++channel) {
            if (conditions[channel] == C::EitherEdge) {
                boxes |= kChannelBits[channel];
            }
        }
        EXPECT_EQ(effectiveConditions(boxes, packConditions(conditions)), conditions);
    }
    const ChannelConditions falling{C::Falling, C::NotUsed, C::NotUsed, C::NotUsed, C::NotUsed};
    EXPECT_EQ(effectiveConditions(kCh1 | kCh2, packConditions(falling))[0], C::Falling);
    EXPECT_EQ(effectiveConditions(kCh1 | kCh2, packConditions(falling))[1], C::EitherEdge);
}

TEST(TriggerConditions, SayInWordsWhatTheyWaitFor) {
    struct Case {
        const char* letters;
        const char* words;
    };
    const std::vector<Case> cases = {
        {"3=r", "Waits for Out Of Paper to rise."},
        {"2=f,4=1", "Waits for Select to fall while Acknowledge is high."},
        {"1,5", "Waits for a change on Error or Busy."},
        {"1=1,5=0", "Waits until Error is high and Busy is low."},
        {"1=r,2,3=0", "Waits for Error to rise and a change on Select while Out Of Paper is low."},
    };
    for (const Case& c : cases) {
        ChannelConditions conditions{};
        ASSERT_TRUE(parseTriggerLetters(c.letters, conditions));
        EXPECT_EQ(describeTrigger(conditions), c.words);
    }
    EXPECT_EQ(describeTrigger(ChannelConditions{}), "No trigger: the capture starts at once.");
}

}  // namespace
