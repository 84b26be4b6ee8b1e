// Where a top window lies at its screen edge, and where a dragged one goes.
#include <gtest/gtest.h>

#include <climits>

#include "TopWindowGeometry.h"

using namespace KivTopGeometry;

namespace {

constexpr SIZE Screen{1024, 768};
constexpr SIZE Client{300, 200};

void ExpectRect(const RECT& r, const RECT& e, const char* what) {
    EXPECT_EQ(r.left, e.left) << what;
    EXPECT_EQ(r.top, e.top) << what;
    EXPECT_EQ(r.right, e.right) << what;
    EXPECT_EQ(r.bottom, e.bottom) << what;
}

} // namespace

TEST(TopWindowGeometryTest, TopEdgeExample) {
    const EdgeRects r = CalcEdgeClientRects(EdgeTop, 100, 2, Client, Screen);
    ExpectRect(r.shownRect, {100, 0, 400, 200}, "shown");
    ExpectRect(r.hiddenRect, {100, 0, 400, 2}, "hidden");
}

TEST(TopWindowGeometryTest, EdgesAndTheSixteenPixelRule) {
    struct Case {
        const char* name;
        int side, offset;
        SIZE client;
        RECT shown, hidden;
    } cases[] = {
        {"left", 1, 100, Client, {0, 100, 300, 300}, {0, 100, 2, 300}},
        {"right", 2, 100, Client, {724, 100, 1024, 300}, {1022, 100, 1024, 300}},
        {"bottom", 3, 100, Client, {100, 568, 400, 768}, {100, 766, 400, 768}},
        {"WindowSide 7 like left", 7, 100, Client, {0, 100, 300, 300}, {0, 100, 2, 300}},
        {"WindowSide -1 like left", -1, 100, Client, {0, 100, 300, 300}, {0, 100, 2, 300}},
        {"top, far left", 0, -1000, Client, {-284, 0, 16, 200}, {-284, 0, 16, 2}},
        {"top, beyond the right end", 0, 2000, Client, {1008, 0, 1308, 200}, {1008, 0, 1308, 2}},
        {"bottom, 100000 pixels",
         3,
         100000,
         Client,
         {1008, 568, 1308, 768},
         {1008, 766, 1308, 768}},
        {"left, far up", 1, -500, Client, {0, -184, 300, 16}, {0, -184, 2, 16}},
        {"left, beyond the bottom", 1, 5000, Client, {0, 752, 300, 952}, {0, 752, 2, 952}},
        {"right, beyond the bottom", 2, 900, Client, {724, 752, 1024, 952}, {1022, 752, 1024, 952}},
        {"top, largest offset", 0, INT_MAX, Client, {1008, 0, 1308, 200}, {1008, 0, 1308, 2}},
        {"top, smallest offset", 0, INT_MIN, Client, {-284, 0, 16, 200}, {-284, 0, 16, 2}},
        {"right, smallest offset",
         2,
         INT_MIN,
         Client,
         {724, -184, 1024, 16},
         {1022, -184, 1024, 16}},
        {"top, wider than the screen",
         0,
         -5000,
         {3000, 200},
         {-2984, 0, 16, 200},
         {-2984, 0, 16, 2}},
    };
    for (const Case& c : cases) {
        const EdgeRects r = CalcEdgeClientRects(c.side, c.offset, 2, c.client, Screen);
        ExpectRect(r.shownRect, c.shown, c.name);
        ExpectRect(r.hiddenRect, c.hidden, c.name);
    }
}

TEST(TopWindowGeometryTest, TheFrameWidensBothRectangles) {
    const EdgeRects r = CalcEdgeRects(EdgeTop, 100, 2, Client, Screen, FrameInsets{3, 4, 5, 6});
    ExpectRect(r.shownRect, {97, -4, 405, 206}, "shown");
    ExpectRect(r.hiddenRect, {97, -4, 405, 8}, "hidden");
}

TEST(TopWindowGeometryTest, FrameOfTheIconWindowStyleFromTheSystem) {
    const DWORD style = WS_POPUP | WS_VISIBLE | WS_DLGFRAME;
    const DWORD exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    const FrameInsets f = FrameInsetsOf(style, exStyle);
    EXPECT_GT(f.left, 0);
    EXPECT_GT(f.top, 0);
    EXPECT_GT(f.right, 0);
    EXPECT_GT(f.bottom, 0);

    const EdgeRects r = CalcEdgeRects(EdgeBottom, 100, 3, Client, Screen, style, exStyle);
    RECT shown{100, 568, 400, 768}, hidden{100, 765, 400, 768};
    ASSERT_TRUE(AdjustWindowRectEx(&shown, style, FALSE, exStyle));
    ASSERT_TRUE(AdjustWindowRectEx(&hidden, style, FALSE, exStyle));
    ExpectRect(r.shownRect, shown, "shown");
    ExpectRect(r.hiddenRect, hidden, "hidden");
    EXPECT_GT(r.hiddenRect.bottom, 768); // the frame of the docked side lies off the screen
}

TEST(TopWindowGeometryTest, EdgeChoiceByTheDiagonals) {
    struct Case {
        POINT cursor;
        SIZE screen;
        int edge;
    } cases[] = {
        {{0, 384}, Screen, EdgeLeft},
        {{1023, 384}, Screen, EdgeRight},
        {{512, 0}, Screen, EdgeTop},
        {{512, 767}, Screen, EdgeBottom},
        {{0, 0}, Screen, EdgeLeft},        // on the main diagonal: its lower side
        {{1024, 768}, Screen, EdgeBottom}, // on both diagonals
        {{1023, 0}, Screen, EdgeTop},
        {{-1, -1}, Screen, EdgeTop}, // no cursor
        {{0, 540}, {1920, 1080}, EdgeLeft},
        {{1919, 540}, {1920, 1080}, EdgeRight},
        {{960, 1079}, {1920, 1080}, EdgeBottom},
        {{INT_MAX, INT_MAX}, Screen, EdgeBottom}, // far outside: no overflow
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseEdge(c.cursor, c.screen), c.edge) << c.cursor.x << "," << c.cursor.y;
}

TEST(TopWindowGeometryTest, DragOffsetFromTheShownCorner) {
    const POINT o = DragOffset({100, -3, 403, 203}, {150, 2});
    EXPECT_EQ(o.x, -50);
    EXPECT_EQ(o.y, -5);
}

TEST(TopWindowGeometryTest, PositionAlongTheNewEdge) {
    const POINT offset{-50, -5};
    struct Case {
        const char* name;
        int edge;
        POINT cursor;
        bool needSize, shift;
        int position;
    } cases[] = {
        {"without NeedSize: 0", EdgeTop, {500, 3}, false, false, 0},
        {"without NeedSize Shift does nothing", EdgeBottom, {900, 760}, false, true, 0},
        {"top: where dropped", EdgeTop, {500, 3}, true, false, 450},
        {"left: where dropped", EdgeLeft, {3, 400}, true, false, 395},
        {"right: where dropped", EdgeRight, {1020, 10}, true, false, 5},
        {"bottom, Shift, right half: flush right", EdgeBottom, {600, 760}, true, true, 724},
        {"bottom, Shift, at the middle: flush right", EdgeBottom, {512, 760}, true, true, 724},
        {"bottom, Shift, left half: 0", EdgeBottom, {511, 760}, true, true, 0},
        {"right, Shift, lower half: flush bottom", EdgeRight, {1020, 384}, true, true, 568},
        {"right, Shift, upper half: 0", EdgeRight, {1020, 383}, true, true, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MovePosition(c.edge, c.cursor, offset, c.needSize, c.shift, Screen, Client),
                  c.position)
            << c.name;
}

TEST(TopWindowGeometryTest, FullScreenRectangle) {
    struct Case {
        RECT r;
        bool covers;
    } cases[] = {
        {{0, 0, 1023, 767}, true},  {{-8, -8, 1032, 776}, true}, {{0, 0, 1024, 768}, true},
        {{0, 0, 1022, 767}, false}, {{1, 0, 1024, 768}, false},  {{0, 0, 1024, 766}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CoversScreen(c.r, Screen), c.covers)
            << c.r.left << "," << c.r.top << "," << c.r.right << "," << c.r.bottom;
}

TEST(TopWindowGeometryTest, AnimationFrames) {
    struct Case {
        const char* name;
        int side;
        RECT shown, hidden;
        int step;
        RECT frame;
    } cases[] = {
        {"top, last frame of a show",
         0,
         {97, -3, 403, 203},
         {97, -3, 403, 5},
         10,
         {97, -193, 403, 13}},
        {"top, first frame of a hide",
         0,
         {97, -3, 403, 203},
         {97, -3, 403, 5},
         0,
         {97, -3, 403, 203}},
        {"top, step 1 (the tenth truncates toward zero)",
         0,
         {97, -3, 403, 203},
         {97, -3, 403, 5},
         1,
         {97, -22, 403, 184}},
        {"bottom", 3, {97, 565, 403, 771}, {97, 763, 403, 771}, 10, {97, 755, 403, 961}},
        {"right", 2, {721, 97, 1027, 303}, {1019, 97, 1027, 303}, 5, {866, 97, 1172, 303}},
        {"left", 1, {-3, 97, 303, 303}, {-3, 97, 5, 303}, 3, {-90, 97, 216, 303}},
        {"WindowSide 7 like left", 7, {-3, 97, 303, 303}, {-3, 97, 5, 303}, 3, {-90, 97, 216, 303}},
    };
    for (const Case& c : cases)
        ExpectRect(AnimationFrameRect(c.side, c.shown, c.hidden, c.step), c.frame, c.name);
}
