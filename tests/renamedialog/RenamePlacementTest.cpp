// The dialog's corner at the cursor, moved into the work area.
#include <gtest/gtest.h>

#include "RenamePlacement.h"

namespace {

TEST(PlaceInWorkArea, CornerAtTheCursorMovedIntoTheWorkArea) {
    // A work area below a task bar at the top and beside one at the left.
    const RECT work{40, 30, 1024, 738};
    const SIZE form{383, 155};
    const struct {
        const char* label;
        POINT cursor;
        POINT corner;
    } cases[] = {
        {"inside", {100, 200}, {100, 200}},
        {"past the right edge", {900, 200}, {1024 - 383, 200}},
        {"past the bottom edge", {100, 700}, {100, 738 - 155}},
        {"past both", {1023, 767}, {1024 - 383, 738 - 155}},
        {"left of the work area", {0, 200}, {40, 200}},
        {"above the work area", {100, 0}, {100, 30}},
        {"exactly fitting", {1024 - 383, 738 - 155}, {1024 - 383, 738 - 155}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const POINT corner = PlaceInWorkArea(c.cursor, form, work);
        EXPECT_EQ(corner.x, c.corner.x);
        EXPECT_EQ(corner.y, c.corner.y);
    }
}

TEST(PlaceInWorkArea, AFormLargerThanTheWorkAreaKeepsItsTopLeftInView) {
    const RECT work{0, 0, 300, 100};
    const POINT corner = PlaceInWorkArea({250, 90}, {383, 155}, work);
    EXPECT_EQ(corner.x, 0);
    EXPECT_EQ(corner.y, 0);
}

} // namespace
