// SubFolderPlacement: where a sub-folder window opens beside the item it comes from, and on which
// side (its openDirection). Pure: screen size, item rectangle and window size come in as values.
#pragma once
#include <windows.h>

namespace KivSubFolder {

// openDirection values: the side on which a window opened from its parent's item.
constexpr int OpenUp = 0;
constexpr int OpenLeft = 1;
constexpr int OpenRight = 2;
constexpr int OpenDown = 3;
// No side: the choice is left to the middle-of-screen rule.
constexpr int OpenNone = -1;

struct Placement {
    POINT position{};             // top-left corner of the client area, screen coordinates
    int openDirection = OpenNone; // the side chosen; OpenNone when the parent's arrangement is
                                  // neither horizontal nor vertical (the field stays unset)
};

// Places a window of client size `windowSize` for an item whose rectangle on the screen is
// `itemRect`, from a parent laid out in `parentArrange` (0 and 3 horizontal: above or below;
// 1 and 4 vertical: left or right) that prefers `parentOpenDirection`.
//  - Horizontal: above when preferred and T - h >= 0; else below when preferred and h + B < SH;
//    else below when the item's middle lies in the upper half of the screen (T + B < SH).
//    x = L - parentWindowBorder, moved left to SW - w (never below 0) when it would pass the
//    right screen side; y = B below, T - h above.
//  - Vertical: the same with the axes exchanged (left/right, middle in the left half: L + R < SW).
//  - Other arrangements: (0, 0).
// The position along the opening direction is not kept on the screen.
Placement PlaceSubFolderWindow(int parentArrange, int parentOpenDirection, RECT itemRect,
                               SIZE windowSize, SIZE screen, int parentWindowBorder);

// The preference a top window hands to its sub-folder windows: away from its screen edge (top
// edge: down; bottom: up; right: left; left and any other value: right). A preference that does
// not match the parent's arrangement falls back to the middle-of-screen rule.
int TopWindowOpenDirection(int windowSide);

// Whether the new window is given an empty rectangle (nothing is seen): its loading was
// interrupted, or it has no items and the parent's NoEmptySubFolder is set.
bool SubFolderWindowEmpty(bool noEmptySubFolder, int itemCount, bool loadInterrupted);

} // namespace KivSubFolder
