// TopWindowGeometry: where a top window lies at its screen edge. The shown and docked rectangles
// (CalcEdgeRects), the edge chosen while the window is dragged to another side, its position
// along that edge, the rectangle test of the full-screen check and the frames of the slide
// animation. Pure functions over plain values, except the one wrapper that asks
// AdjustWindowRectEx for the frame.
#pragma once
#include <windows.h>

namespace KivTopGeometry {

// WindowSide values. Any other value is placed like the left edge.
constexpr int EdgeTop = 0;
constexpr int EdgeLeft = 1;
constexpr int EdgeRight = 2;
constexpr int EdgeBottom = 3;

// Pixels of a window's client area kept on the screen along its edge.
constexpr int MinOnScreen = 16;

// What AdjustWindowRectEx adds on each side of a client rectangle (all >= 0 for a framed window).
struct FrameInsets {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
// The insets of a window of this style and extended style without a menu.
FrameInsets FrameInsetsOf(DWORD style, DWORD exStyle);

struct EdgeRects {
    RECT shownRect{};  // the window while shown
    RECT hiddenRect{}; // the docked strip
};

// The two rectangles in client coordinates of the screen (before the frame is added), for the
// edge (windowSide), the position along it (winSideOffset), the strip thickness
// (smallWindowWidth), the client size of the laid-out window and the screen size: the shown
// rectangle is the client size at the edge, moved along the edge so that at least 16 pixels of it
// stay on the screen; the strip is as long as the shown rectangle and s pixels thick.
EdgeRects CalcEdgeClientRects(int windowSide, int winSideOffset, int smallWindowWidth,
                              SIZE clientSize, SIZE screen);
// The same widened by the frame on every side (so the frame of the docked side lies off screen).
EdgeRects CalcEdgeRects(int windowSide, int winSideOffset, int smallWindowWidth, SIZE clientSize,
                        SIZE screen, FrameInsets frame);
// The same with the frame of a window of this style, from AdjustWindowRectEx.
EdgeRects CalcEdgeRects(int windowSide, int winSideOffset, int smallWindowWidth, SIZE clientSize,
                        SIZE screen, DWORD style, DWORD exStyle);

// The edge for a cursor while a window is dragged: the screen's two diagonals divide it into four
// triangles; a point exactly on a diagonal counts as the lower side of it. Returns 0 top, 1 left,
// 2 right or 3 bottom. The point (-1, -1) (no cursor) gives the top.
int ChooseEdge(POINT cursor, SIZE screen);

// dragOffset when a move begins: the shown rectangle's top-left corner minus the press point
// (both in screen coordinates).
POINT DragOffset(RECT shownRect, POINT pressScreen);

// The position along the new edge during a move (WinSideOffset): with NeedSize, the cursor plus
// dragOffset along the edge (x for the top and bottom edges, y for the left and right ones),
// and with Shift held snapped to the near end (0) or the far end (screen minus the window's
// client size) by the half of the screen the cursor is in; without NeedSize always 0.
// clientSize is the window's size laid out for the new edge.
int MovePosition(int edge, POINT cursor, POINT dragOffset, bool needSize, bool shiftDown,
                 SIZE screen, SIZE clientSize);

// Whether a window rectangle covers the screen, as the full-screen test asks: left <= 0,
// top <= 0, right >= W - 1 and bottom >= H - 1.
bool CoversScreen(RECT windowRect, SIZE screen);

// A frame of the slide animation: shownRect moved toward hiddenRect along the axis of the edge by
// step * (d / 10), where d is the distance between the two rectangles' edge sides (top edge:
// bottoms; bottom edge: tops; right edge: lefts; left and any other: rights). Show runs the steps
// 10 down to 1, Hide 0 up to 9.
RECT AnimationFrameRect(int windowSide, RECT shownRect, RECT hiddenRect, int step);

} // namespace KivTopGeometry
