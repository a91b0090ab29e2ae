#include <gtest/gtest.h>

#include <set>
#include <string>

#include "resources/dialog_templates.h"

namespace {

TEST(DialogTemplates, EveryControlLiesInsideItsWindow) {
    for (const DialogTemplate* dialog : allDialogTemplates()) {
        for (const ControlTemplate& c : dialog->controls) {
            SCOPED_TRACE(std::to_string(dialog->id) + " " + std::string(c.text) + " " +
                         std::to_string(c.id));
            EXPECT_GE(c.x, 0);
            EXPECT_GE(c.y, 0);
            EXPECT_LE(c.x + c.width, dialog->width);
            EXPECT_LE(c.y + c.height, dialog->height);
        }
    }
}

TEST(DialogTemplates, IdsAreUniqueWithinAWindow) {
    std::set<int> templateIds;
    for (const DialogTemplate* dialog : allDialogTemplates()) {
        EXPECT_TRUE(templateIds.insert(dialog->id).second) << dialog->id;
        EXPECT_EQ(findDialogTemplate(dialog->id), dialog);
        std::set<int> ids;
        for (const ControlTemplate& c : dialog->controls) {
            if (c.id != kNoControlId) {
                EXPECT_TRUE(ids.insert(c.id).second) << dialog->id << ": " << c.id;
            }
        }
    }
    EXPECT_EQ(findDialogTemplate(4711), nullptr);
}

}  // namespace
