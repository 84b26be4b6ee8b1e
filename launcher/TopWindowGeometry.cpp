#include "TopWindowGeometry.h"

#include <algorithm>
#include <climits>

#include "KivWinBaseException.h"

namespace KivTopGeometry {

namespace {

LONG Narrow(long long value) {
    return static_cast<LONG>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// A rectangle in 64 bits, so that an offset of any size plus the window size cannot wrap.
struct Rect64 {
    long long left, top, right, bottom;
    RECT Narrowed() const { return {Narrow(left), Narrow(top), Narrow(right), Narrow(bottom)}; }
};

bool AlongX(int windowSide) {
    return windowSide == EdgeTop || windowSide == EdgeBottom;
}

} // namespace

FrameInsets FrameInsetsOf(DWORD style, DWORD exStyle) {
    RECT r{0, 0, 0, 0};
    if (!::AdjustWindowRectEx(&r, style, FALSE, exStyle))
        throw KivWinBaseException("Error KivTopWindow::CalcEdgeRects AdjustWindowRectEx");
    return {-r.left, -r.top, r.right, r.bottom};
}

EdgeRects CalcEdgeClientRects(int windowSide, int winSideOffset, int smallWindowWidth,
                              SIZE clientSize, SIZE screen) {
    const long long off = winSideOffset, s = smallWindowWidth;
    const long long w = clientSize.cx, h = clientSize.cy;
    const long long sw = screen.cx, sh = screen.cy;
    Rect64 shown{}, hidden{};
    switch (windowSide) {
    case EdgeTop:
        shown = {off, 0, off + w, h};
        hidden = {0, 0, 0, s};
        break;
    case EdgeRight:
        shown = {sw - w, off, sw, off + h};
        hidden = {sw - s, 0, sw, 0};
        break;
    case EdgeBottom:
        shown = {off, sh - h, off + w, sh};
        hidden = {0, sh - s, 0, sh};
        break;
    default: // the left edge, and any value that is no edge
        shown = {0, off, w, off + h};
        hidden = {0, 0, s, 0};
        break;
    }
    if (AlongX(windowSide)) {
        if (shown.right < MinOnScreen) {
            const long long shift = MinOnScreen - shown.right;
            shown.left += shift;
            shown.right += shift;
        }
        if (shown.left > sw - MinOnScreen) {
            const long long shift = shown.left - (sw - MinOnScreen);
            shown.left -= shift;
            shown.right -= shift;
        }
        hidden.left = shown.left;
        hidden.right = shown.right;
    } else {
        if (shown.bottom < MinOnScreen) {
            const long long shift = MinOnScreen - shown.bottom;
            shown.top += shift;
            shown.bottom += shift;
        }
        if (shown.top > sh - MinOnScreen) {
            const long long shift = shown.top - (sh - MinOnScreen);
            shown.top -= shift;
            shown.bottom -= shift;
        }
        hidden.top = shown.top;
        hidden.bottom = shown.bottom;
    }
    return {shown.Narrowed(), hidden.Narrowed()};
}

EdgeRects CalcEdgeRects(int windowSide, int winSideOffset, int smallWindowWidth, SIZE clientSize,
                        SIZE screen, FrameInsets frame) {
    EdgeRects rects =
        CalcEdgeClientRects(windowSide, winSideOffset, smallWindowWidth, clientSize, screen);
    for (RECT* r : {&rects.shownRect, &rects.hiddenRect}) {
        r->left = Narrow(static_cast<long long>(r->left) - frame.left);
        r->top = Narrow(static_cast<long long>(r->top) - frame.top);
        r->right = Narrow(static_cast<long long>(r->right) + frame.right);
        r->bottom = Narrow(static_cast<long long>(r->bottom) + frame.bottom);
    }
    return rects;
}

EdgeRects CalcEdgeRects(int windowSide, int winSideOffset, int smallWindowWidth, SIZE clientSize,
                        SIZE screen, DWORD style, DWORD exStyle) {
    return CalcEdgeRects(windowSide, winSideOffset, smallWindowWidth, clientSize, screen,
                         FrameInsetsOf(style, exStyle));
}

int ChooseEdge(POINT cursor, SIZE screen) {
    // Products in 64 bits: the same answers as 32-bit ones on any real screen, and no overflow
    // for a cursor far outside it.
    const long long w = screen.cx, h = screen.cy, x = cursor.x, y = cursor.y;
    const bool a = w * y >= x * h;       // below the diagonal from the top-left corner
    const bool b = w * y >= (w - x) * h; // below the diagonal from the top-right corner
    if (a && b)
        return EdgeBottom;
    if (a)
        return EdgeLeft;
    if (b)
        return EdgeRight;
    return EdgeTop;
}

POINT DragOffset(RECT shownRect, POINT pressScreen) {
    return {
        Narrow(static_cast<long long>(std::min(shownRect.left, shownRect.right)) - pressScreen.x),
        Narrow(static_cast<long long>(std::min(shownRect.top, shownRect.bottom)) - pressScreen.y)};
}

int MovePosition(int edge, POINT cursor, POINT dragOffset, bool needSize, bool shiftDown,
                 SIZE screen, SIZE clientSize) {
    if (!needSize)
        return 0;
    const bool alongX = AlongX(edge);
    if (shiftDown) {
        if (alongX)
            return cursor.x < screen.cx / 2
                       ? 0
                       : Narrow(static_cast<long long>(screen.cx) - clientSize.cx);
        return cursor.y < screen.cy / 2 ? 0
                                        : Narrow(static_cast<long long>(screen.cy) - clientSize.cy);
    }
    return alongX ? Narrow(static_cast<long long>(cursor.x) + dragOffset.x)
                  : Narrow(static_cast<long long>(cursor.y) + dragOffset.y);
}

bool CoversScreen(RECT windowRect, SIZE screen) {
    return windowRect.left <= 0 && windowRect.top <= 0 && windowRect.right >= screen.cx - 1 &&
           windowRect.bottom >= screen.cy - 1;
}

RECT AnimationFrameRect(int windowSide, RECT shownRect, RECT hiddenRect, int step) {
    long long d;
    bool vertical;
    switch (windowSide) {
    case EdgeTop:
        d = static_cast<long long>(hiddenRect.bottom) - shownRect.bottom;
        vertical = true;
        break;
    case EdgeBottom:
        d = static_cast<long long>(hiddenRect.top) - shownRect.top;
        vertical = true;
        break;
    case EdgeRight:
        d = static_cast<long long>(hiddenRect.left) - shownRect.left;
        vertical = false;
        break;
    default:
        d = static_cast<long long>(hiddenRect.right) - shownRect.right;
        vertical = false;
        break;
    }
    const long long shift = step * (d / 10); // the tenth truncated toward zero, as C++ divides
    RECT r = shownRect;
    if (vertical) {
        r.top = Narrow(r.top + shift);
        r.bottom = Narrow(r.bottom + shift);
    } else {
        r.left = Narrow(r.left + shift);
        r.right = Narrow(r.right + shift);
    }
    return r;
}

} // namespace KivTopGeometry
