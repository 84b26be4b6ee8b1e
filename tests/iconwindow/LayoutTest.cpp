// The icon window's geometry: text width, cells, the four arrangements, item rectangles, hit
// testing, insertion index and the index arithmetic of moving an item.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <vector>

#include "KivWinProperty.h"
#include "Layout.h"

using namespace KivLayout;

namespace {

constexpr SIZE Screen{1024, 768};

void ExpectPositions(const std::vector<POINT>& actual, const std::vector<POINT>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].x, expected[i].x) << "item " << i;
        EXPECT_EQ(actual[i].y, expected[i].y) << "item " << i;
    }
}

void ExpectRect(const RECT& r, LONG l, LONG t, LONG rt, LONG b) {
    EXPECT_EQ(r.left, l);
    EXPECT_EQ(r.top, t);
    EXPECT_EQ(r.right, rt);
    EXPECT_EQ(r.bottom, b);
}

void ExpectSize(const SIZE& s, LONG cx, LONG cy) {
    EXPECT_EQ(s.cx, cx);
    EXPECT_EQ(s.cy, cy);
}

// Small round numbers for the arrangement tables: the cell size is handed in directly.
LayoutProperties ArrangeProps(int column) {
    LayoutProperties p;
    p.separatorWidth = 4;
    p.betweenIcon = 2;
    p.windowBorder = 3;
    p.column = column;
    p.turnScreen = false;
    p.needSize = true;
    return p;
}

// separator first, three items, two separators in a row, one item
const std::vector<bool> Mixed{true, false, false, false, true, true, false};
// separator first, two items, two separators in a row, two items
const std::vector<bool> Mixed2{true, false, false, true, true, false, false};

std::vector<bool> Items(int n) {
    return std::vector<bool>(n, false);
}

} // namespace

TEST(LayoutTest, WorkedExampleOfASubFolderWindow) {
    const LayoutProperties defaults; // the sub-folder window defaults
    const std::vector<int> widths{40, 80, 61};
    const int t = ChooseTextWidth(defaults.textSizeWMin, defaults.textSizeWMax, widths);
    EXPECT_EQ(t, 80);
    const LayoutResult r = LayoutItems(defaults, Items(3), t, Screen);
    EXPECT_EQ(r.arrange, 1);
    ExpectSize(r.cellSize, 102, 20);
    ExpectRect(r.iconRect, 2, 2, 18, 18);
    ExpectRect(r.textRect, 20, 2, 100, 18);
    ExpectPositions(r.positions, {{3, 3}, {3, 25}, {3, 47}});
    ExpectSize(r.clientSize, 108, 70);
    ExpectSize(r.separatorSize, 104, 12);
    EXPECT_TRUE(r.smallIcons);
}

TEST(LayoutTest, TextWidthChoice) {
    struct Case {
        int min, max;
        std::vector<int> widths;
        bool measured;
        int expected;
    } cases[] = {
        {64, 64, {200, 10}, false, 64}, // fixed: the names do not count
        {16, 0, {300, 20}, true, 300},  // no upper bound
        {16, 96, {300}, true, 96},      // limited
        {16, 96, {}, true, 16},         // nothing measured
        {50, 96, {10, 20}, true, 50},   // the minimum holds
        {0, 0, {}, true, 0},            // both 0: measured, unbounded
        {64, 32, {10}, true, 32},       // a maximum below the minimum wins
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TextWidthNeedsMeasuring(c.min, c.max), c.measured) << c.min << "/" << c.max;
        EXPECT_EQ(ChooseTextWidth(c.min, c.max, c.widths), c.expected) << c.min << "/" << c.max;
    }
}

TEST(LayoutTest, CellByItemTextPlace) {
    struct Case {
        int place, icon, text, textH;
        SIZE cell;
        RECT iconRect, textRect;
    } cases[] = {
        {0, 32, 64, 16, {36, 36}, {2, 2, 34, 34}, {0, 0, 0, 0}},
        {1, 32, 64, 16, {102, 36}, {2, 2, 34, 34}, {36, 10, 100, 26}},
        {1, 16, 40, 32, {62, 36}, {2, 10, 18, 26}, {20, 2, 60, 34}},
        {1, 16, 40, 19, {62, 23}, {2, 3, 18, 19}, {20, 2, 60, 21}}, // halves truncate
        {2, 32, 64, 16, {68, 54}, {18, 2, 50, 34}, {2, 36, 66, 52}},
        {2, 48, 20, 16, {52, 70}, {2, 2, 50, 50}, {16, 52, 36, 68}},
        {3, 32, 64, 16, {68, 20}, {0, 0, 0, 0}, {2, 2, 66, 18}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "ItemTextPlace " << c.place << " icon " << c.icon);
        LayoutProperties p;
        p.itemTextPlace = c.place;
        p.iconSize = c.icon;
        p.textSizeH = c.textH;
        const CellGeometry g = CalcCellGeometry(p, c.text);
        ExpectSize(g.cellSize, c.cell.cx, c.cell.cy);
        ExpectRect(g.iconRect, c.iconRect.left, c.iconRect.top, c.iconRect.right,
                   c.iconRect.bottom);
        ExpectRect(g.textRect, c.textRect.left, c.textRect.top, c.textRect.right,
                   c.textRect.bottom);
    }
}

TEST(LayoutTest, ArrangementInForce) {
    struct Case {
        int itemArrange, windowSide, expected;
    } cases[] = {
        {0, 1, 0}, {1, 0, 1}, {3, 2, 3}, {4, 0, 4}, {2, 0, 0},  {2, 3, 0},
        {2, 1, 1}, {2, 2, 1}, {2, 7, 1}, {9, 0, 4}, {-1, 0, 0}, {127, 3, 4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResolveItemArrange(c.itemArrange, c.windowSide), c.expected)
            << c.itemArrange << " on side " << c.windowSide;
    EXPECT_TRUE(IsHorizontalArrange(0));
    EXPECT_TRUE(IsHorizontalArrange(3));
    EXPECT_TRUE(IsVerticalArrange(1));
    EXPECT_TRUE(IsVerticalArrange(4));
    EXPECT_FALSE(IsHorizontalArrange(2) || IsVerticalArrange(2));
}

TEST(LayoutTest, WrappedRowsWithSeparatorsFirstAndDoubled) {
    const ArrangeResult r = LayoutWrappedRows(ArrangeProps(2), {20, 10}, Mixed2, Screen);
    // sum 106, limit 6 + 53 = 59: a row ends where x + w reaches 56
    ExpectPositions(r.positions, {{3, 2}, {9, 3}, {31, 3}, {3, 14}, {9, 14}, {15, 15}, {3, 27}});
    ExpectSize(r.clientSize, 54, 40);
    ExpectSize(r.separatorSize, 4, 12);

    LayoutProperties wide = ArrangeProps(2);
    wide.needSize = false;
    ExpectSize(LayoutWrappedRows(wide, {20, 10}, Mixed2, Screen).clientSize, 1024, 40);
}

TEST(LayoutTest, WrappedRowsLastItemMeetingTheLimitStartsARow) {
    LayoutProperties p = ArrangeProps(1);
    p.betweenIcon = 0;
    const ArrangeResult r = LayoutWrappedRows(p, {20, 10}, Items(3), Screen);
    ExpectPositions(r.positions, {{3, 3}, {23, 3}, {3, 13}});
    ExpectSize(r.clientSize, 46, 26);
}

TEST(LayoutTest, WrappedRowsStopAtTheScreenEnd) {
    LayoutProperties p = ArrangeProps(1);
    p.turnScreen = true; // rows 50 pixels wide on a 50 x 40 screen
    const ArrangeResult r = LayoutWrappedRows(p, {20, 10}, Items(8), {50, 40});
    ExpectPositions(r.positions,
                    {{3, 3}, {25, 3}, {3, 15}, {25, 15}, {3, 27}, {25, 27}, {-1, -1}, {-1, -1}});
    ExpectSize(r.clientSize, 48, 40);
}

TEST(LayoutTest, WrappedRowsAreAtMost30000Wide) {
    LayoutProperties p = ArrangeProps(1);
    p.betweenIcon = 0;
    p.windowBorder = 0;
    const ArrangeResult r = LayoutWrappedRows(p, {1000, 10}, Items(40), Screen);
    EXPECT_EQ(r.positions[28].x, 28000);
    EXPECT_EQ(r.positions[28].y, 0);
    EXPECT_EQ(r.positions[29].x, 0); // 29000 + 1000 reaches the limit
    EXPECT_EQ(r.positions[29].y, 10);
    ExpectSize(r.clientSize, 29000, 20);

    p.turnScreen = true; // now the screen width limits the rows: one item each
    const ArrangeResult turned = LayoutWrappedRows(p, {1000, 10}, Items(40), Screen);
    EXPECT_EQ(turned.positions[1].x, 0);
    EXPECT_EQ(turned.positions[1].y, 10);
    ExpectSize(turned.clientSize, 1000, 400);
}

TEST(LayoutTest, WrappedColumnsWithSeparatorsFirstAndDoubled) {
    const ArrangeResult r = LayoutWrappedColumns(ArrangeProps(2), {20, 10}, Mixed2, Screen);
    // sum 66, limit 6 + 33 = 39: a column ends where y + h reaches 36
    ExpectPositions(r.positions, {{2, 3}, {3, 9}, {3, 21}, {24, 3}, {24, 9}, {25, 15}, {47, 3}});
    ExpectSize(r.clientSize, 70, 34);
    ExpectSize(r.separatorSize, 22, 4);

    LayoutProperties tall = ArrangeProps(2);
    tall.needSize = false;
    ExpectSize(LayoutWrappedColumns(tall, {20, 10}, Mixed2, Screen).clientSize, 70, 768);
}

TEST(LayoutTest, WrappedColumnsStopAtTheScreenEnd) {
    LayoutProperties p = ArrangeProps(1);
    p.turnScreen = true; // columns 50 pixels high on a 40 x 50 screen
    const ArrangeResult r = LayoutWrappedColumns(p, {10, 20}, Items(8), {40, 50});
    ExpectPositions(r.positions,
                    {{3, 3}, {3, 25}, {15, 3}, {15, 25}, {27, 3}, {27, 25}, {-1, -1}, {-1, -1}});
    ExpectSize(r.clientSize, 40, 48);
}

TEST(LayoutTest, FixedRowsWithSeparatorsFirstAndDoubled) {
    const ArrangeResult r = LayoutFixedRows(ArrangeProps(2), {20, 10}, Mixed, Screen);
    // no empty column is closed before the first separator or between the two
    ExpectPositions(r.positions, {{3, 3}, {7, 3}, {7, 15}, {29, 3}, {51, 3}, {55, 3}, {59, 3}});
    ExpectSize(r.clientSize, 82, 28);
    ExpectSize(r.separatorSize, 4, 22); // a full-height bar

    LayoutProperties wide = ArrangeProps(2);
    wide.needSize = false;
    ExpectSize(LayoutFixedRows(wide, {20, 10}, Mixed, Screen).clientSize, 1024, 28);
}

TEST(LayoutTest, FixedColumnsWithSeparatorsFirstAndDoubled) {
    const ArrangeResult r = LayoutFixedColumns(ArrangeProps(2), {20, 10}, Mixed, Screen);
    ExpectPositions(r.positions, {{3, 3}, {3, 7}, {25, 7}, {3, 19}, {3, 31}, {3, 35}, {3, 39}});
    ExpectSize(r.clientSize, 48, 52);
    ExpectSize(r.separatorSize, 42, 4); // a full-width bar

    LayoutProperties tall = ArrangeProps(2);
    tall.needSize = false;
    ExpectSize(LayoutFixedColumns(tall, {20, 10}, Mixed, Screen).clientSize, 48, 768);
}

TEST(LayoutTest, FixedRowsGrowTheColumnUntilTheWindowFits) {
    LayoutProperties p = ArrangeProps(2);
    p.betweenIcon = 0;
    p.windowBorder = 0;
    // two rows of 1000-pixel cells: 50000 wide; three: 34000; four: 25000, which fits
    const ArrangeResult r = LayoutFixedRows(p, {1000, 10}, Items(100), Screen);
    EXPECT_EQ(r.positions[3].x, 0);
    EXPECT_EQ(r.positions[3].y, 30);
    EXPECT_EQ(r.positions[4].x, 1000);
    EXPECT_EQ(r.positions[4].y, 0);
    ExpectSize(r.clientSize, 25000, 40);

    // with 400-pixel rows two already exceed the screen height: k stays 2, the width is cut
    const ArrangeResult high = LayoutFixedRows(p, {1000, 400}, Items(100), Screen);
    EXPECT_EQ(high.positions[2].x, 1000);
    ExpectSize(high.clientSize, 30000, 800);

    // TurnScreen: the screen width is the limit (10 columns of 5 fit in 1024)
    p.column = 1;
    p.turnScreen = true;
    const ArrangeResult turned = LayoutFixedRows(p, {100, 10}, Items(50), Screen);
    ExpectSize(turned.clientSize, 1000, 50);
}

TEST(LayoutTest, FixedColumnsGrowTheRowUntilTheWindowFits) {
    LayoutProperties p = ArrangeProps(2);
    p.betweenIcon = 0;
    p.windowBorder = 0;
    const ArrangeResult r = LayoutFixedColumns(p, {10, 1000}, Items(100), Screen);
    EXPECT_EQ(r.positions[3].x, 30);
    EXPECT_EQ(r.positions[3].y, 0);
    EXPECT_EQ(r.positions[4].x, 0);
    EXPECT_EQ(r.positions[4].y, 1000);
    ExpectSize(r.clientSize, 40, 25000);
    ExpectSize(r.separatorSize, 40, 4);

    const ArrangeResult wide = LayoutFixedColumns(p, {600, 1000}, Items(100), Screen);
    EXPECT_EQ(wide.positions[2].y, 1000);
    ExpectSize(wide.clientSize, 1200, 30000);
}

TEST(LayoutTest, FixedArrangementsEndWhenSeparatorsAloneAreTooLarge) {
    // Separators alone make the window wider (higher) than 30000 and the cells have no height
    // (width), so neither stop rule ever holds: the search must still end.
    std::vector<bool> kinds;
    for (int i = 0; i < 3000; ++i) {
        kinds.push_back(false);
        kinds.push_back(true);
    }
    LayoutProperties p = ArrangeProps(1);
    p.separatorWidth = 12;
    p.betweenIcon = 0;
    const auto start = std::chrono::steady_clock::now();
    const ArrangeResult rows = LayoutFixedRows(p, {20, 0}, kinds, Screen);
    EXPECT_EQ(rows.clientSize.cx, 30000);
    EXPECT_EQ(rows.positions.back().x, 3 + 2999 * 32 + 20); // every item keeps a position
    const ArrangeResult columns = LayoutFixedColumns(p, {0, 20}, kinds, Screen);
    EXPECT_EQ(columns.clientSize.cy, 30000);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

    p.column = INT_MAX; // no k + 1 beyond the largest int either
    EXPECT_EQ(LayoutFixedRows(p, {20, 0}, kinds, Screen).clientSize.cx, 30000);
    EXPECT_EQ(LayoutFixedColumns(p, {0, 20}, kinds, Screen).clientSize.cy, 30000);
}

TEST(LayoutTest, EmptyFolderIsOneCellWithItsBorder) {
    struct Case {
        int itemArrange, windowSide;
        bool needSize;
        SIZE client;
    } cases[] = {
        {1, 0, true, {44, 26}},    {1, 0, false, {44, 768}}, {0, 0, false, {1024, 26}},
        {3, 0, false, {1024, 26}}, {4, 0, false, {44, 768}}, {2, 2, false, {44, 768}},
        {2, 3, false, {1024, 26}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "ItemArrange " << c.itemArrange);
        LayoutProperties p; // T = 16: cell 38 x 20
        p.itemArrange = c.itemArrange;
        p.windowSide = c.windowSide;
        p.needSize = c.needSize;
        const LayoutResult r = LayoutItems(p, {}, 16, Screen);
        ExpectSize(r.cellSize, 38, 20);
        ExpectSize(r.clientSize, c.client.cx, c.client.cy);
        ExpectSize(r.separatorSize, 0, 0);
        EXPECT_TRUE(r.positions.empty());
    }
}

TEST(LayoutTest, ItemArrangeByWindowSideFollowsTheEdge) {
    LayoutProperties p;
    p.itemArrange = 2;
    p.windowSide = 2;
    const LayoutResult right = LayoutItems(p, Mixed, 40, Screen);
    EXPECT_EQ(right.arrange, 1);
    const ArrangeResult columns = LayoutWrappedColumns(p, right.cellSize, Mixed, Screen);
    ExpectPositions(right.positions, columns.positions);
    ExpectSize(right.clientSize, columns.clientSize.cx, columns.clientSize.cy);

    p.windowSide = 3;
    const LayoutResult bottom = LayoutItems(p, Mixed, 40, Screen);
    EXPECT_EQ(bottom.arrange, 0);
    ExpectPositions(bottom.positions,
                    LayoutWrappedRows(p, bottom.cellSize, Mixed, Screen).positions);
}

TEST(LayoutTest, LargeIconsFrom24) {
    LayoutProperties p;
    p.iconSize = 23;
    EXPECT_TRUE(LayoutItems(p, Items(1), 16, Screen).smallIcons);
    p.iconSize = 24;
    EXPECT_FALSE(LayoutItems(p, Items(1), 16, Screen).smallIcons);
}

TEST(LayoutTest, OutOfRangeValuesAreTakenToTheNearestSensibleOne) {
    // Each record is laid out like the sane one next to it.
    struct Case {
        const char* name;
        void (*bad)(LayoutProperties&);
        void (*sane)(LayoutProperties&);
    } cases[] = {
        {"Column 0", [](LayoutProperties& p) { p.column = 0; },
         [](LayoutProperties& p) { p.column = 1; }},
        {"Column -5", [](LayoutProperties& p) { p.column = -5; },
         [](LayoutProperties& p) { p.column = 1; }},
        {"IconSize -5", [](LayoutProperties& p) { p.iconSize = -5; },
         [](LayoutProperties& p) { p.iconSize = 0; }},
        {"negative borders and gaps",
         [](LayoutProperties& p) {
             p.itemBorderWidth = p.betweenIcon = p.windowBorder = p.separatorWidth = -7;
             p.itemBetweenIconText = p.textSizeH = -1;
         },
         [](LayoutProperties& p) {
             p.itemBorderWidth = p.betweenIcon = p.windowBorder = p.separatorWidth = 0;
             p.itemBetweenIconText = p.textSizeH = 0;
         }},
        {"ItemArrange 9", [](LayoutProperties& p) { p.itemArrange = 9; },
         [](LayoutProperties& p) { p.itemArrange = 4; }},
        {"ItemArrange -3", [](LayoutProperties& p) { p.itemArrange = -3; },
         [](LayoutProperties& p) { p.itemArrange = 0; }},
        {"ItemTextPlace 9", [](LayoutProperties& p) { p.itemTextPlace = 9; },
         [](LayoutProperties& p) { p.itemTextPlace = 3; }},
        {"ItemTextPlace -1", [](LayoutProperties& p) { p.itemTextPlace = -1; },
         [](LayoutProperties& p) { p.itemTextPlace = 0; }},
        {"IconSize 100000", [](LayoutProperties& p) { p.iconSize = 100000; },
         [](LayoutProperties& p) { p.iconSize = 30000; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (int arrange : {0, 1, 3, 4}) {
            LayoutProperties bad, sane;
            bad.itemArrange = sane.itemArrange = arrange;
            bad.column = sane.column = 2;
            c.bad(bad);
            c.sane(sane);
            const LayoutResult b = LayoutItems(bad, Mixed, 40, Screen);
            const LayoutResult s = LayoutItems(sane, Mixed, 40, Screen);
            EXPECT_EQ(b.arrange, s.arrange);
            ExpectSize(b.cellSize, s.cellSize.cx, s.cellSize.cy);
            ExpectSize(b.clientSize, s.clientSize.cx, s.clientSize.cy);
            ExpectPositions(b.positions, s.positions);
        }
    }
}

TEST(LayoutTest, HugeValuesNeverOverflowOrHang) {
    std::vector<bool> kinds;
    for (int i = 0; i < 2000; ++i)
        kinds.push_back(i % 7 == 0);
    for (int arrange : {0, 1, 2, 3, 4, 9}) {
        for (bool turnScreen : {false, true}) {
            SCOPED_TRACE(testing::Message() << "arrange " << arrange << " turn " << turnScreen);
            LayoutProperties p;
            p.iconSize = p.textSizeWMin = p.textSizeWMax = p.textSizeH = INT_MAX;
            p.itemBorderWidth = p.itemBetweenIconText = p.separatorWidth = INT_MAX;
            p.betweenIcon = p.windowBorder = INT_MAX;
            p.column = INT_MAX;
            p.itemArrange = arrange;
            p.turnScreen = turnScreen;
            p.needSize = false;
            const LayoutResult r = LayoutItems(p, kinds, INT_MAX, Screen);
            EXPECT_GT(r.cellSize.cx, 0);
            EXPECT_GE(r.clientSize.cx, 0);
            EXPECT_GE(r.clientSize.cy, 0);
            ASSERT_EQ(r.positions.size(), kinds.size());
            for (const POINT& pos : r.positions)
                ASSERT_TRUE((pos.x >= 0 && pos.y >= 0) || (pos.x == -1 && pos.y == -1));
        }
    }
}

TEST(LayoutTest, ItemRectangles) {
    const SIZE cell{30, 40}, separator{30, 6};
    ExpectRect(GetItemRect(PlacedItem{{10, 20}, false}, cell, separator), 10, 20, 40, 60);
    ExpectRect(GetItemRect(PlacedItem{{10, 20}, true}, cell, separator), 10, 20, 40, 26);
    ExpectRect(GetItemRect(PlacedItem{{-1, -1}, false}, cell, separator), -1, -1, -1, -1);
    // only one coordinate -1 still gives a rectangle
    ExpectRect(GetItemRect(PlacedItem{{-1, 5}, false}, cell, separator), -1, 5, 29, 45);

    const std::vector<PlacedItem> items{{{0, 0}, false}, {{0, 40}, true}};
    ExpectRect(GetItemRect(items, 1, cell, separator), 0, 40, 30, 46);
    ExpectRect(GetItemRect(items, -1, cell, separator), -1, -1, -1, -1);
    ExpectRect(GetItemRect(items, 2, cell, separator), -1, -1, -1, -1);
}

TEST(LayoutTest, HitTestPrefersTheLaterItemAndSkipsUnplacedOnes) {
    const SIZE cell{10, 10}, separator{4, 12};
    const std::vector<PlacedItem> items{
        {{0, 0}, false}, {{10, 0}, false}, {{-1, -1}, false}, {{20, 0}, true}};
    struct Case {
        POINT p;
        int expected;
    } cases[] = {
        {{5, 5}, 0},   {{10, 5}, 1},   {{20, 10}, 3}, {{22, 12}, 3},
        {{25, 5}, -1}, {{-1, -1}, -1}, {{0, 0}, 0},   {{5, 11}, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HitTest(items, c.p, cell, separator), c.expected) << c.p.x << "," << c.p.y;
}

TEST(LayoutTest, InsertIndexForAPoint) {
    const std::vector<POINT> column{{3, 3}, {3, 25}, {3, 47}};
    struct Case {
        std::vector<POINT> positions;
        POINT p;
        int expected;
    } cases[] = {
        {column, {2, 2}, 0},   // above and left of every item
        {column, {3, 3}, 0},   // strictly above and left only
        {column, {10, 30}, 2}, // nearest is item 1
        {column, {10, 26}, 2},
        {column, {10, 200}, 3},
        {{{0, 10}, {10, 0}}, {20, 20}, 1}, // a tie goes to the lower index
        {{{-1, -1}, {5, 5}}, {4, 4}, 1},   // an unplaced item counts too
        {{}, {50, 50}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetInsertIndex(c.positions, c.p), c.expected) << c.p.x << "," << c.p.y;
}

TEST(LayoutTest, MoveItemTargets) {
    struct Case {
        int insert, index, count, expected;
    } cases[] = {
        {0, 3, 5, 0},  // first
        {2, 3, 5, 2},  // one before
        {5, 3, 5, 4},  // one after (index + 2)
        {5, 1, 5, 4},  // last
        {3, 3, 5, 3},  // insert = index: stays
        {4, 3, 5, 3},  // insert = index + 1: stays
        {-7, 2, 5, 0}, // clamped to 0
        {99, 0, 5, 4}, // clamped to n
        {0, -1, 5, -1}, {0, 5, 5, -1}, {0, 0, 0, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MoveItemTarget(c.insert, c.index, c.count), c.expected)
            << c.insert << " " << c.index << " " << c.count;

    // Moving one after, applied to a list: the item really swaps with its successor.
    std::vector<char> order{'a', 'b', 'c', 'd'};
    const int target = MoveItemTarget(1 + 2, 1, 4);
    const char moved = order[1];
    order.erase(order.begin() + 1);
    order.insert(order.begin() + target, moved);
    EXPECT_EQ(order, (std::vector<char>{'a', 'c', 'b', 'd'}));
}

TEST(LayoutTest, PropertiesOfAWindowPropertyRecord) {
    KivWinProperty record("C:\\unused");
    record.IconSize = 1;
    record.ItemTextPlace = 2;
    record.TextSizeWMin = 3;
    record.TextSizeWMax = 4;
    record.TextSizeH = 5;
    record.ItemBorderWidth = 6;
    record.ItemBetweenIconText = 7;
    record.SeparatorWidth = 8;
    record.BetweenIcon = 9;
    record.WindowBorder = 10;
    record.ItemArrange = 11;
    record.WindowSide = 12;
    record.Column = 13;
    record.TurnScreen = true;
    record.NeedSize = false;
    const LayoutProperties p = LayoutPropertiesOf(record);
    EXPECT_EQ(p.iconSize, 1);
    EXPECT_EQ(p.itemTextPlace, 2);
    EXPECT_EQ(p.textSizeWMin, 3);
    EXPECT_EQ(p.textSizeWMax, 4);
    EXPECT_EQ(p.textSizeH, 5);
    EXPECT_EQ(p.itemBorderWidth, 6);
    EXPECT_EQ(p.itemBetweenIconText, 7);
    EXPECT_EQ(p.separatorWidth, 8);
    EXPECT_EQ(p.betweenIcon, 9);
    EXPECT_EQ(p.windowBorder, 10);
    EXPECT_EQ(p.itemArrange, 11);
    EXPECT_EQ(p.windowSide, 12);
    EXPECT_EQ(p.column, 13);
    EXPECT_TRUE(p.turnScreen);
    EXPECT_FALSE(p.needSize);
    record.TurnScreen = false;
    record.NeedSize = true;
    EXPECT_FALSE(LayoutPropertiesOf(record).turnScreen);
    EXPECT_TRUE(LayoutPropertiesOf(record).needSize);
}
