// The decisions of one poll: a top window's show/hide state machine, edge scrolling, opening and
// hiding sub-folder windows by hovering, background clicks.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "ShowHide.h"

using namespace KivShowHide;

namespace {

// A top window docked at the top edge of a 1024 x 768 screen: the strip is 3 pixels high, the
// shown window 400 x 200 at x 100. Its client area starts at (103, 3) on the screen.
constexpr RECT Strip{100, -3, 506, 6};
constexpr RECT ShownWindow{100, -3, 506, 203};
constexpr POINT ClientOrigin{103, 3};

// Runs the decision poll after poll, keeping the window's state as the window would.
class TopWindowSim {
public:
    TopPollInput in;
    TopWindowSim() {
        in.hiddenRect = Strip;
        in.windowRect = ShownWindow;
    }
    // One poll at tick `now` with the cursor at screen point q.
    TopPollDecision Poll(DWORD now, POINT q) {
        in.now = now;
        in.cursorScreen = q;
        in.cursorClient = {q.x - ClientOrigin.x, q.y - ClientOrigin.y};
        const TopPollDecision d = DecideTopPoll(in);
        in.popState = d.popState;
        in.anchorPoint = d.anchorPoint;
        in.anchorTick = d.anchorTick;
        return d;
    }
    // Polls every `step` ms from `from` to `to` (inclusive) with the cursor at q; returns the
    // tick of the first poll that acted, or 0 when none did.
    DWORD PollUntilAction(DWORD from, DWORD to, DWORD step, POINT q) {
        for (DWORD t = from; t - from <= to - from; t += step)
            if (Poll(t, q).action != TopPollAction::None)
                return t;
        return 0;
    }
};

} // namespace

TEST(ShowHideTest, RestingInTheStripOpensAfterShowTime) {
    TopWindowSim w;
    w.in.showTime = 500;
    // enters at x 200 and wanders by up to 15 pixels
    for (DWORD t = 1000; t < 1500; t += 100) {
        const TopPollDecision d = w.Poll(t, {200 + static_cast<LONG>(t - 1000) * 15 / 400, 2});
        EXPECT_EQ(d.action, TopPollAction::None) << t;
        EXPECT_FALSE(d.result);
    }
    const TopPollDecision d = w.Poll(1500, {215, 0});
    EXPECT_EQ(d.action, TopPollAction::Show);
    EXPECT_EQ(d.popState, PopShown);
    EXPECT_TRUE(d.result);
    EXPECT_EQ(d.anchorPoint.x, -1);
    EXPECT_EQ(d.anchorPoint.y, -1);
}

TEST(ShowHideTest, AMoveOf16PixelsRestartsTheWait) {
    struct Case {
        LONG moveTo;   // x at 400 ms
        DWORD opensAt; // tick of the Show
    } cases[] = {
        {216, 2000}, // 16 pixels: the anchor is dropped at 1400 and set again at 1500
        {184, 2000}, // also to the left
        {215, 1500}, // 15 pixels: still resting
    };
    for (const Case& c : cases) {
        TopWindowSim w;
        w.in.showTime = 500;
        EXPECT_EQ(w.PollUntilAction(1000, 1300, 100, {200, 2}), 0u);
        EXPECT_EQ(w.Poll(1400, {c.moveTo, 2}).action, TopPollAction::None);
        EXPECT_EQ(w.PollUntilAction(1500, 5000, 100, {c.moveTo, 2}), c.opensAt) << c.moveTo;
    }
    // the same in y
    TopWindowSim w;
    w.in.showTime = 500;
    w.in.hiddenRect = {100, -3, 506, 40};
    EXPECT_EQ(w.PollUntilAction(1000, 1300, 100, {200, 2}), 0u);
    EXPECT_EQ(w.PollUntilAction(1400, 5000, 100, {200, 18}), 2000u);
}

TEST(ShowHideTest, ShowTimeZeroOpensOnTheFirstPoll) {
    TopWindowSim w;
    w.in.showTime = 0;
    EXPECT_EQ(w.Poll(7, {300, 0}).action, TopPollAction::Show);
    // a negative time (hand-edited) counts as 0
    TopWindowSim n;
    n.in.showTime = -100;
    EXPECT_EQ(n.Poll(7, {300, 0}).action, TopPollAction::Show);
}

TEST(ShowHideTest, TheStripZoneIncludesItsEdges) {
    for (POINT q : {POINT{100, -3}, POINT{506, 6}, POINT{100, 6}}) {
        TopWindowSim w;
        EXPECT_EQ(w.Poll(1, q).action, TopPollAction::Show) << q.x << "," << q.y;
    }
    for (POINT q : {POINT{99, 0}, POINT{507, 0}, POINT{300, 7}}) {
        TopWindowSim w;
        EXPECT_EQ(w.PollUntilAction(1, 10000, 100, q), 0u) << q.x << "," << q.y;
        EXPECT_EQ(w.in.popState, PopDocked);
    }
}

TEST(ShowHideTest, ClickWinOpenNeverOpensByResting) {
    TopWindowSim w;
    w.in.clickWinOpen = true;
    EXPECT_EQ(w.PollUntilAction(0, 20000, 100, {300, 1}), 0u);
    EXPECT_EQ(w.in.popState, PopDocked);
    // a background click on the strip does
    EXPECT_EQ(DecideBackgroundClick(PopDocked, true, false, false), BackgroundClickAction::Show);
}

TEST(ShowHideTest, TrueHideWithClickWinOpenStillOpensByResting) {
    TopWindowSim w;
    w.in.popState = PopHidden;
    w.in.trueHide = true;
    w.in.clickWinOpen = true;
    w.in.showTime = 300;
    EXPECT_EQ(w.PollUntilAction(1000, 5000, 100, {300, 1}), 1300u);
    EXPECT_EQ(w.in.popState, PopShown);
    EXPECT_FALSE(TopWindowClickOpen(true, true));
    EXPECT_TRUE(TopWindowClickOpen(true, false));
}

TEST(ShowHideTest, DockedLockedWaitsUntilTheCursorLeavesTheStrip) {
    TopWindowSim w;
    w.in.popState = PopDockedLocked;
    w.in.showTime = 200;
    EXPECT_EQ(w.PollUntilAction(0, 10000, 100, {300, 1}), 0u);
    EXPECT_EQ(w.in.popState, PopDockedLocked);
    const TopPollDecision left = w.Poll(10100, {300, 100});
    EXPECT_EQ(left.action, TopPollAction::None);
    EXPECT_EQ(left.popState, PopDocked);
    EXPECT_EQ(w.PollUntilAction(10200, 20000, 100, {300, 1}), 10400u); // anchored at 10200
}

TEST(ShowHideTest, AFullScreenWindowHidesADockedWindowAndItsEndDocksItAgain) {
    TopWindowSim w;
    w.in.fullScreen = true;
    const TopPollDecision hide = w.Poll(100, {300, 1}); // even with the cursor in the strip
    EXPECT_EQ(hide.action, TopPollAction::Hide);
    EXPECT_EQ(hide.popState, PopHidden);
    EXPECT_EQ(w.PollUntilAction(200, 5000, 100, {300, 1}), 0u); // stays hidden, never opens
    w.in.fullScreen = false;
    const TopPollDecision dock = w.Poll(5100, {300, 400});
    EXPECT_EQ(dock.action, TopPollAction::Hide);
    EXPECT_EQ(dock.popState, PopDocked);
}

TEST(ShowHideTest, TrueHideKeepsTheWindowHiddenUntilItOpens) {
    TopWindowSim w;
    w.in.trueHide = true;
    const TopPollDecision first = w.Poll(100, {300, 400}); // a docked one vanishes
    EXPECT_EQ(first.action, TopPollAction::Hide);
    EXPECT_EQ(first.popState, PopHidden);
    EXPECT_EQ(w.PollUntilAction(200, 2000, 100, {300, 400}), 0u);
    EXPECT_EQ(w.in.popState, PopHidden);
}

TEST(ShowHideTest, HidesAfterRestingOutsideForHideTime) {
    struct Case {
        int hideTime;
        bool trueHide, fullScreen;
        DWORD hidesAt;
        unsigned char state;
    } cases[] = {
        {0, false, false, 1000, PopDocked}, // the first poll outside
        {1000, false, false, 2000, PopDocked},
        {500, true, false, 1500, PopHidden},
        {500, false, true, 1500, PopHidden},
        {INT_MAX, false, false, 0, PopShown}, // an absurd time: stays for the run
    };
    for (const Case& c : cases) {
        TopWindowSim w;
        w.in.popState = PopShown;
        w.in.hideTime = c.hideTime;
        w.in.trueHide = c.trueHide;
        w.in.fullScreen = c.fullScreen;
        EXPECT_EQ(w.PollUntilAction(1000, 100000, 100, {700, 500}), c.hidesAt) << c.hideTime;
        EXPECT_EQ(w.in.popState, c.state);
    }
}

TEST(ShowHideTest, AShownWindowStaysWhileTheCursorIsInsideOrMoving) {
    TopWindowSim inside;
    inside.in.popState = PopShown;
    EXPECT_EQ(inside.PollUntilAction(0, 5000, 100, {300, 100}), 0u);
    EXPECT_TRUE(inside.Poll(5100, {506, 203}).result); // the edges are inside

    TopWindowSim moving;
    moving.in.popState = PopShown;
    moving.in.hideTime = 1000;
    for (DWORD t = 0; t <= 5000; t += 100) {
        const TopPollDecision d = moving.Poll(t, {600 + static_cast<LONG>(t / 100) * 16, 500});
        ASSERT_EQ(d.action, TopPollAction::None) << t;
        EXPECT_TRUE(d.result);
    }

    TopWindowSim clickClose;
    clickClose.in.popState = PopShown;
    clickClose.in.clickWinClose = true;
    EXPECT_EQ(clickClose.PollUntilAction(0, 5000, 100, {700, 500}), 0u);
}

TEST(ShowHideTest, TicksWrapAround) {
    TopWindowSim open;
    open.in.showTime = 500;
    EXPECT_EQ(open.Poll(0xFFFFFF00u, {300, 1}).action, TopPollAction::None);
    EXPECT_EQ(open.Poll(0x000000F3u, {300, 1}).action, TopPollAction::None); // 499 ms
    EXPECT_EQ(open.Poll(0x000000F4u, {300, 1}).action, TopPollAction::Show); // 500 ms

    TopWindowSim hide;
    hide.in.popState = PopShown;
    hide.in.hideTime = 300;
    EXPECT_EQ(hide.Poll(0xFFFFFFFFu, {700, 500}).action, TopPollAction::None);
    EXPECT_EQ(hide.Poll(0x0000012Bu, {700, 500}).action, TopPollAction::Hide); // 300 ms

    EXPECT_TRUE(TimeReached(0xFFFFFFF0u, 0x10u, 32));
    EXPECT_FALSE(TimeReached(0xFFFFFFF0u, 0x10u, 33));
}

TEST(ShowHideTest, NothingChangesWhileMoving) {
    TopWindowSim w;
    w.in.moving = true;
    w.in.anchorPoint = {5, 5};
    w.in.anchorTick = 42;
    const TopPollDecision d = w.Poll(100000, {300, 1});
    EXPECT_EQ(d.action, TopPollAction::None);
    EXPECT_TRUE(d.result);
    EXPECT_EQ(d.popState, PopDocked);
    EXPECT_EQ(d.anchorPoint.x, 5);
    EXPECT_EQ(d.anchorTick, 42u);
}

TEST(ShowHideTest, StateAfterHide) {
    struct Case {
        bool trueHide, fullScreen, locked;
        unsigned char state;
    } cases[] = {
        {false, false, false, PopDocked},
        {false, false, true, PopDockedLocked},
        {true, false, true, PopHidden},
        {false, true, false, PopHidden},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StateAfterHide(c.trueHide, c.fullScreen, c.locked), c.state);
}

TEST(ShowHideTest, BackgroundClicks) {
    struct Case {
        unsigned char state;
        bool clickWinOpen, trueHide, clickWinClose;
        BackgroundClickAction action;
    } cases[] = {
        {PopDocked, true, false, false, BackgroundClickAction::Show},
        {PopDockedLocked, true, false, false, BackgroundClickAction::Show},
        {PopDocked, false, false, true, BackgroundClickAction::None},
        {PopDocked, true, true, false, BackgroundClickAction::None},
        {PopHidden, true, false, false, BackgroundClickAction::None},
        {PopShown, true, false, true, BackgroundClickAction::HideLocked},
        {PopShown, true, false, false, BackgroundClickAction::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecideBackgroundClick(c.state, c.clickWinOpen, c.trueHide, c.clickWinClose),
                  c.action)
            << int(c.state);
}

TEST(ShowHideTest, ATallWindowScrollsBy16PixelsPerPollAndStopsWithItsBorderOffScreen) {
    const SIZE screen{1024, 768};
    RECT r{0, -3, 120, 2997}; // 3000 high, vertical arrangement, border 3
    int moves = 0;
    for (;;) {
        const EdgeScroll s = EdgeScrollStep(1, {50, 767}, r, screen, 3);
        if (!s.moved)
            break;
        EXPECT_TRUE(r.top - s.windowRect.top == 16 || s.windowRect.bottom == 771);
        r = s.windowRect;
        ASSERT_LT(++moves, 1000);
    }
    EXPECT_EQ(moves, 140); // 2226 pixels: 139 steps of 16 and one of 2
    EXPECT_EQ(r.bottom, 771);
    EXPECT_EQ(r.top, -2229);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, 120);

    moves = 0;
    for (;;) {
        const EdgeScroll s = EdgeScrollStep(4, {50, 0}, r, screen, 3);
        if (!s.moved)
            break;
        r = s.windowRect;
        ASSERT_LT(++moves, 1000);
    }
    EXPECT_EQ(moves, 140);
    EXPECT_EQ(r.top, -3);
}

TEST(ShowHideTest, EdgeScrollZones) {
    const SIZE screen{1024, 768};
    const RECT tall{0, -500, 120, 2000};
    const RECT wide{-500, 0, 2000, 60};
    struct Case {
        int arrange;
        RECT r;
        POINT q;
        bool moved;
        LONG shift; // along the arrangement's axis
    } cases[] = {
        {1, tall, {50, 15}, true, 16},
        {1, tall, {50, 16}, false, 0},
        {1, tall, {50, 753}, true, -16},
        {1, tall, {50, 752}, false, 0},
        {0, wide, {15, 30}, true, 16},
        {3, wide, {1009, 30}, true, -16},
        {0, wide, {1008, 30}, false, 0},
        {0, tall, {50, 0}, false, 0},
        {2, tall, {50, 0}, false, 0},
        {9, wide, {0, 30}, false, 0},
        {1, {0, -3, 120, 500}, {50, 0}, false, 0}, // fits: never scrolls
        {1, {0, -3, 120, 500}, {50, 767}, false, 0},
    };
    for (const Case& c : cases) {
        const EdgeScroll s = EdgeScrollStep(c.arrange, c.q, c.r, screen, 3);
        EXPECT_EQ(s.moved, c.moved) << c.arrange << " " << c.q.x << "," << c.q.y;
        const bool vertical = c.arrange == 1 || c.arrange == 4;
        EXPECT_EQ(vertical ? s.windowRect.top - c.r.top : s.windowRect.left - c.r.left, c.shift);
        EXPECT_EQ(vertical ? s.windowRect.bottom - c.r.bottom : s.windowRect.right - c.r.right,
                  c.shift);
    }
}

TEST(ShowHideTest, SubFolderOpensAfterItsOwnShowTime) {
    HoverInput in;
    in.hoverIndex = 2;
    in.hoveredIsFolder = true;
    in.subShowTime = 800;
    in.hoverTick = 1000;
    in.now = 1800;
    EXPECT_EQ(DecideHover(in).action, SubFolderAction::None); // not yet: strictly longer
    in.now = 1801;
    EXPECT_EQ(DecideHover(in).action, SubFolderAction::Create);
    in.hoverTick = 0xFFFFFF00u; // across the wrap of the tick count
    in.now = 0x00000221u;       // 801 ms later
    EXPECT_EQ(DecideHover(in).action, SubFolderAction::Create);
    in.now = 0x00000220u;
    EXPECT_EQ(DecideHover(in).action, SubFolderAction::None);
}

TEST(ShowHideTest, HoverDecisions) {
    struct Case {
        const char* name;
        void (*set)(HoverInput&);
        SubFolderAction action;
        int noHoverOpenIndex;
        bool restart;
    } cases[] = {
        {"folder, time passed, nothing open", [](HoverInput&) {}, SubFolderAction::Create, -1,
         false},
        {"its window exists hidden",
         [](HoverInput& i) {
             i.subWindowExists = true;
             i.subWindowIndex = 2;
         },
         SubFolderAction::Show, -1, false},
        {"its window was interrupted while loading",
         [](HoverInput& i) {
             i.subWindowExists = true;
             i.subWindowIndex = 2;
             i.subLoadInterrupted = true;
         },
         SubFolderAction::Create, -1, false},
        {"another folder's window is open",
         [](HoverInput& i) {
             i.subWindowExists = true;
             i.subWindowIndex = 5;
         },
         SubFolderAction::Create, -1, false},
        {"a file item hides it", [](HoverInput& i) { i.hoveredIsFolder = false; },
         SubFolderAction::Hide, -1, true},
        {"a file item keeps one opened by a click",
         [](HoverInput& i) {
             i.hoveredIsFolder = false;
             i.subOpenedByClick = true;
         },
         SubFolderAction::None, -1, false},
        {"the background keeps it",
         [](HoverInput& i) {
             i.hoverIndex = -1;
             i.noHoverOpenIndex = 2;
         },
         SubFolderAction::None, -1, false},
        {"closed by a click: no reopening while the cursor stays",
         [](HoverInput& i) { i.noHoverOpenIndex = 2; }, SubFolderAction::Hide, 2, true},
        {"closed by a click, cursor on another folder",
         [](HoverInput& i) { i.noHoverOpenIndex = 4; }, SubFolderAction::Create, -1, false},
        {"NotShowSubFolder", [](HoverInput& i) { i.notShowSubFolder = true; },
         SubFolderAction::Hide, -1, true},
        {"the sub-folder's NotShowWin", [](HoverInput& i) { i.subNotShowWin = true; },
         SubFolderAction::Hide, -1, true},
        {"the sub-folder opens by a click", [](HoverInput& i) { i.subClickOpen = true; },
         SubFolderAction::Hide, -1, true},
        {"a negative ShowTime counts as 0",
         [](HoverInput& i) {
             i.subShowTime = -5;
             i.now = i.hoverTick + 1;
         },
         SubFolderAction::Create, -1, false},
    };
    for (const Case& c : cases) {
        HoverInput in;
        in.hoverIndex = 2;
        in.hoveredIsFolder = true;
        in.subShowTime = 100;
        in.hoverTick = 1000;
        in.now = 5000;
        c.set(in);
        const HoverDecision d = DecideHover(in);
        EXPECT_EQ(d.action, c.action) << c.name;
        EXPECT_EQ(d.noHoverOpenIndex, c.noHoverOpenIndex) << c.name;
        EXPECT_EQ(d.restartHoverTick, c.restart) << c.name;
    }
}
