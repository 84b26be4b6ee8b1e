#include "SubFolderPlacement.h"

#include <algorithm>
#include <climits>

namespace KivSubFolder {

namespace {

LONG Narrow(long long value) {
    return static_cast<LONG>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

} // namespace

Placement PlaceSubFolderWindow(int parentArrange, int parentOpenDirection, RECT itemRect,
                               SIZE windowSize, SIZE screen, int parentWindowBorder) {
    // 64-bit sums: hand-edited sizes cannot wrap a comparison.
    const long long l = itemRect.left, t = itemRect.top, r = itemRect.right, b = itemRect.bottom;
    const long long w = windowSize.cx, h = windowSize.cy;
    const long long sw = screen.cx, sh = screen.cy;
    const long long wb = parentWindowBorder;
    Placement out;
    if (parentArrange == 0 || parentArrange == 3) {
        int side;
        if (parentOpenDirection == OpenUp && t - h >= 0)
            side = OpenUp;
        else if (parentOpenDirection == OpenDown && h + b < sh)
            side = OpenDown;
        else
            side = t + b < sh ? OpenDown : OpenUp;
        long long x = l - wb;
        if (x + w > sw)
            x = std::max(sw - w, 0LL);
        out.position = {Narrow(x), Narrow(side == OpenDown ? b : t - h)};
        out.openDirection = side;
    } else if (parentArrange == 1 || parentArrange == 4) {
        int side;
        if (parentOpenDirection == OpenLeft && l - w >= 0)
            side = OpenLeft;
        else if (parentOpenDirection == OpenRight && w + r < sw)
            side = OpenRight;
        else
            side = l + r < sw ? OpenRight : OpenLeft;
        long long y = t - wb;
        if (y + h > sh)
            y = std::max(sh - h, 0LL);
        out.position = {Narrow(side == OpenRight ? r : l - w), Narrow(y)};
        out.openDirection = side;
    } else {
        out.position = {0, 0};
    }
    return out;
}

int TopWindowOpenDirection(int windowSide) {
    switch (windowSide) {
    case 0:
        return OpenDown;
    case 3:
        return OpenUp;
    case 2:
        return OpenLeft;
    default:
        return OpenRight;
    }
}

bool SubFolderWindowEmpty(bool noEmptySubFolder, int itemCount, bool loadInterrupted) {
    return loadInterrupted || (noEmptySubFolder && itemCount == 0);
}

} // namespace KivSubFolder
