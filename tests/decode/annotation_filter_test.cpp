#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decode/annotation_filter.h"

namespace {

std::vector<DecoderStack> uartAndI2c() {
    std::vector<DecoderStack> stacks(2);
    std::string error;
    EXPECT_EQ(parseDecoderStack("uart:rx=1", stacks[0], error), SetupStatus::Ok);
    EXPECT_EQ(parseDecoderStack("i2c:scl=2:sda=3", stacks[1], error), SetupStatus::Ok);
    return stacks;
}

Annotation of(const std::string& decoder, const std::vector<DecoderStack>& stacks,
              const std::string& classId) {
    Annotation annotation;
    annotation.decoder = decoder;
    for (const DecoderStack& stack : stacks) {
        const DecoderInfo& info = stack.front().info;
        for (size_t c = 0; c < info.annotations.size() && info.id == decoder; ++c) {
            if (info.annotations[c].id == classId) {
                annotation.annotationClass = static_cast<int>(c);
            }
        }
    }
    return annotation;
}

TEST(AnnotationFilter, SelectsDecodersClassesAndRows) {
    const std::vector<DecoderStack> stacks = uartAndI2c();
    struct Case {
        std::vector<std::string> selections;
        std::vector<bool> shown;  // uart rx-data, uart rx-start, uart tx-data, i2c start
    };
    const std::vector<Case> cases = {
        {{}, {true, true, true, true}},
        {{"uart"}, {true, true, true, false}},
        {{"uart=rx-data"}, {true, false, false, false}},
        {{"uart=rx_data"}, {true, false, false, false}},  // '_' for '-'
        {{"uart=rx-data:tx-data,i2c"}, {true, false, true, true}},
        {{"uart=rx-data", "i2c"}, {true, false, false, true}},
        // A row stands for its classes: i2c's "addr-data" holds its start condition.
        {{"i2c=addr-data"}, {false, false, false, true}},
        {{"uart=rx-start:tx-data", "i2c=bits"}, {false, true, true, false}},
    };
    const std::vector<Annotation> annotations = {
        of("uart", stacks, "rx-data"), of("uart", stacks, "rx-start"),
        of("uart", stacks, "tx-data"), of("i2c", stacks, "start")};
    for (const Case& c : cases) {
        AnnotationFilter filter;
        std::string error;
        for (const std::string& selection : c.selections) {
            ASSERT_TRUE(filter.add(selection, stacks, error)) << error;
        }
        std::vector<bool> shown;
        for (const Annotation& annotation : annotations) {
            shown.push_back(filter.shows(annotation));
        }
        EXPECT_EQ(shown, c.shown) << (c.selections.empty() ? "" : c.selections[0]);
    }
}

TEST(AnnotationFilter, NamesItDoesNotKnowAreRefused) {
    const std::vector<DecoderStack> stacks = uartAndI2c();
    struct Case {
        const char* selection;
        const char* error;
    };
    for (const Case& c : {Case{"spi", "-A names 'spi', which no -P decodes with"},
                          Case{"uart=rx-dta", "uart has no annotation class or row 'rx-dta'"},
                          Case{"uart=rx-data:", "uart has no annotation class or row ''"}}) {
        AnnotationFilter filter;
        std::string error;
        EXPECT_FALSE(filter.add(c.selection, stacks, error)) << c.selection;
        EXPECT_EQ(error, c.error);
    }
}

}  // namespace
