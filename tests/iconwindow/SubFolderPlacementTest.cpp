// Where a sub-folder window opens beside its item, and on which side.
#include <gtest/gtest.h>

#include "SubFolderPlacement.h"

using namespace KivSubFolder;

namespace {

constexpr SIZE Screen{1024, 768};
constexpr int Border = 3;

struct Case {
    const char* name;
    int arrange, preferred;
    RECT item;
    SIZE window;
    POINT position;
    int direction;
};

} // namespace

TEST(SubFolderPlacementTest, PlacementTable) {
    const Case cases[] = {
        // horizontal parents: above or below
        {"bottom window, middle in the lower half: above",
         0,
         TopWindowOpenDirection(3),
         {300, 700, 340, 732},
         {150, 200},
         {297, 500},
         OpenUp},
        {"the same without a preference",
         3,
         OpenNone,
         {300, 700, 340, 732},
         {150, 200},
         {297, 500},
         OpenUp},
        {"preferring above keeps above in the upper half",
         0,
         OpenUp,
         {300, 100, 340, 120},
         {150, 50},
         {297, 50},
         OpenUp},
        {"no preference in the upper half: below",
         0,
         OpenNone,
         {300, 100, 340, 120},
         {150, 50},
         {297, 120},
         OpenDown},
        {"above does not fit: the middle rule",
         0,
         OpenUp,
         {300, 30, 340, 50},
         {150, 50},
         {297, 50},
         OpenDown},
        {"preferring below keeps below in the lower half",
         0,
         OpenDown,
         {300, 600, 340, 620},
         {150, 100},
         {297, 620},
         OpenDown},
        {"below does not fit: the middle rule",
         0,
         OpenDown,
         {300, 600, 340, 620},
         {150, 200},
         {297, 400},
         OpenUp},
        {"a middle exactly at half the screen: above",
         0,
         OpenNone,
         {300, 374, 340, 394},
         {150, 100},
         {297, 274},
         OpenUp},
        {"a preference of the other axis is no preference",
         0,
         OpenRight,
         {300, 100, 340, 120},
         {150, 50},
         {297, 120},
         OpenDown},
        {"near the left edge: x goes negative",
         0,
         OpenNone,
         {2, 100, 42, 120},
         {150, 50},
         {-1, 120},
         OpenDown},
        {"near the right edge: moved left",
         0,
         OpenNone,
         {1000, 100, 1024, 120},
         {150, 50},
         {874, 120},
         OpenDown},
        {"2000 pixels wide: x 0", 0, OpenNone, {10, 100, 50, 120}, {2000, 50}, {0, 120}, OpenDown},
        {"above does not fit at the top: below",
         0,
         OpenUp,
         {300, 0, 340, 20},
         {150, 50},
         {297, 20},
         OpenDown},
        {"above an item at the bottom, taller than the screen",
         0,
         OpenNone,
         {300, 740, 340, 768},
         {150, 1000},
         {297, -260},
         OpenUp},
        // vertical parents: left or right
        {"left edge: right",
         1,
         TopWindowOpenDirection(1),
         {0, 300, 100, 320},
         {200, 150},
         {100, 297},
         OpenRight},
        {"preferring left with room",
         4,
         OpenLeft,
         {500, 300, 600, 320},
         {200, 150},
         {300, 297},
         OpenLeft},
        {"left does not fit: the middle rule",
         1,
         OpenLeft,
         {100, 300, 200, 320},
         {200, 150},
         {200, 297},
         OpenRight},
        {"preferring right in the right half",
         1,
         OpenRight,
         {700, 300, 800, 320},
         {200, 150},
         {800, 297},
         OpenRight},
        {"right does not fit: the middle rule",
         1,
         OpenRight,
         {700, 300, 800, 320},
         {300, 150},
         {400, 297},
         OpenLeft},
        {"near the bottom: moved up",
         1,
         OpenNone,
         {0, 700, 100, 720},
         {200, 150},
         {100, 618},
         OpenRight},
        {"2000 pixels high: y 0",
         1,
         OpenNone,
         {0, 300, 100, 320},
         {200, 2000},
         {100, 0},
         OpenRight},
        // neither
        {"arrangement 2 is no arrangement in force",
         2,
         OpenUp,
         {300, 100, 340, 120},
         {150, 50},
         {0, 0},
         OpenNone},
        {"arrangement 9", 9, OpenNone, {300, 100, 340, 120}, {150, 50}, {0, 0}, OpenNone},
    };
    for (const Case& c : cases) {
        const Placement p =
            PlaceSubFolderWindow(c.arrange, c.preferred, c.item, c.window, Screen, Border);
        EXPECT_EQ(p.position.x, c.position.x) << c.name;
        EXPECT_EQ(p.position.y, c.position.y) << c.name;
        EXPECT_EQ(p.openDirection, c.direction) << c.name;
    }
}

TEST(SubFolderPlacementTest, ACascadeFromABottomWindowKeepsOpeningUpward) {
    // The first window opens above its item; its own sub-folder windows prefer above as well,
    // even for an item whose middle lies in the upper half of the screen.
    const Placement first = PlaceSubFolderWindow(0, TopWindowOpenDirection(3), {300, 700, 340, 732},
                                                 {150, 200}, Screen, 3);
    ASSERT_EQ(first.openDirection, OpenUp);
    const Placement second =
        PlaceSubFolderWindow(0, first.openDirection, {300, 300, 340, 340}, {150, 200}, Screen, 3);
    EXPECT_EQ(second.openDirection, OpenUp);
    EXPECT_EQ(second.position.y, 100);
}

TEST(SubFolderPlacementTest, TopWindowsPreferTheSideAwayFromTheirEdge) {
    EXPECT_EQ(TopWindowOpenDirection(0), OpenDown);
    EXPECT_EQ(TopWindowOpenDirection(1), OpenRight);
    EXPECT_EQ(TopWindowOpenDirection(2), OpenLeft);
    EXPECT_EQ(TopWindowOpenDirection(3), OpenUp);
    EXPECT_EQ(TopWindowOpenDirection(7), OpenRight); // placed like the left edge
}

TEST(SubFolderPlacementTest, EmptyRectangleForInterruptedOrEmptyWindows) {
    EXPECT_TRUE(SubFolderWindowEmpty(true, 0, false));
    EXPECT_FALSE(SubFolderWindowEmpty(false, 0, false));
    EXPECT_FALSE(SubFolderWindowEmpty(true, 3, false));
    EXPECT_TRUE(SubFolderWindowEmpty(false, 3, true));
}
