#include "app/window/control_names.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ControlNames, TriggerBoxesNameTheirChannelOthersAreNamedByTheirText) {
    struct Case {
        int id;
        const char* name;
    };
    const Case cases[] = {
        {1015, "Port trigger on channel 1, Error"},
        {1017, "Port trigger on channel 3, Out Of Paper"},
        {1019, "Port trigger on channel 5, Busy"},
        {2000, "Memory trigger on channel 1, Error"},
        {2001, "Memory trigger on channel 2, Select"},
        {2004, "Memory trigger on channel 5, Busy"},
        {240, "Position in the recording"},
        {220, "Traces"},
        // Buttons say what they do on their face; ids beside the boxes are no boxes.
        {110, ""},
        {115, ""},
        {1014, ""},
        {1020, ""},
        {1999, ""},
        {2005, ""},
        {-1, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(controlName(c.id), c.name) << c.id;
    }
}

}  // namespace
