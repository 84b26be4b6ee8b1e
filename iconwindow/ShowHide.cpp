#include "ShowHide.h"

#include <algorithm>
#include <cstdlib>

namespace KivShowHide {

namespace {

bool IsNoAnchor(POINT p) {
    return p.x == NoAnchor.x && p.y == NoAnchor.y;
}

// The cursor has moved 16 pixels or more from the anchor, in x or in y.
bool MovedFrom(POINT anchor, POINT p) {
    return std::llabs(static_cast<long long>(anchor.x) - p.x) >= RestTolerance ||
           std::llabs(static_cast<long long>(anchor.y) - p.y) >= RestTolerance;
}

} // namespace

bool PointInRectInclusive(const RECT& r, POINT p) {
    return r.left <= p.x && p.x <= r.right && r.top <= p.y && p.y <= r.bottom;
}

bool TimeReached(DWORD since, DWORD now, int milliseconds) {
    const DWORD elapsed = now - since;
    return elapsed >= static_cast<DWORD>(std::max(milliseconds, 0));
}

unsigned char StateAfterHide(bool trueHide, bool fullScreen, bool locked) {
    if (trueHide || fullScreen)
        return PopHidden;
    return locked ? PopDockedLocked : PopDocked;
}

TopPollDecision DecideTopPoll(const TopPollInput& in) {
    TopPollDecision out;
    out.popState = in.popState;
    out.anchorPoint = in.anchorPoint;
    out.anchorTick = in.anchorTick;
    if (in.moving) {
        out.result = true;
        return out;
    }
    const POINT p = in.cursorClient;
    const POINT q = in.cursorScreen;
    switch (in.popState) {
    case PopHidden:
    case PopDocked: {
        if (IsNoAnchor(out.anchorPoint)) {
            out.anchorTick = in.now;
            out.anchorPoint = p;
        }
        const bool noOpen = !PointInRectInclusive(in.hiddenRect, q) ||
                            TopWindowClickOpen(in.clickWinOpen, in.trueHide) || in.fullScreen ||
                            MovedFrom(out.anchorPoint, p);
        if (noOpen) {
            out.anchorPoint = NoAnchor;
            // An invisible window and a docked one trade places when TrueHide or a full-screen
            // window comes or goes.
            if (in.trueHide || in.fullScreen) {
                if (in.popState == PopDocked) {
                    out.action = TopPollAction::Hide;
                    out.popState = PopHidden;
                }
            } else if (in.popState == PopHidden) {
                out.action = TopPollAction::Hide;
                out.popState = PopDocked;
            }
        } else if (TimeReached(out.anchorTick, in.now, in.showTime)) {
            out.action = TopPollAction::Show;
            out.popState = PopShown;
            out.anchorPoint = NoAnchor;
        }
        break;
    }
    case PopDockedLocked:
        if (!PointInRectInclusive(in.hiddenRect, q))
            out.popState = PopDocked;
        break;
    case PopShown:
        if (IsNoAnchor(out.anchorPoint)) {
            out.anchorTick = in.now;
            out.anchorPoint = p;
        }
        if (PointInRectInclusive(in.windowRect, q) || in.clickWinClose ||
            MovedFrom(out.anchorPoint, p)) {
            out.anchorPoint = NoAnchor;
        } else if (TimeReached(out.anchorTick, in.now, in.hideTime)) {
            out.action = TopPollAction::Hide;
            out.popState = StateAfterHide(in.trueHide, in.fullScreen, false);
            out.anchorPoint = NoAnchor;
        }
        break;
    default: // not a state: nothing changes
        break;
    }
    out.result = out.popState == PopShown;
    return out;
}

bool TopWindowClickOpen(bool clickWinOpen, bool trueHide) {
    return clickWinOpen && !trueHide;
}

BackgroundClickAction DecideBackgroundClick(unsigned char popState, bool clickWinOpen,
                                            bool trueHide, bool clickWinClose) {
    if ((popState == PopDocked || popState == PopDockedLocked) &&
        TopWindowClickOpen(clickWinOpen, trueHide))
        return BackgroundClickAction::Show;
    if (popState == PopShown && clickWinClose)
        return BackgroundClickAction::HideLocked;
    return BackgroundClickAction::None;
}

EdgeScroll EdgeScrollStep(int arrange, POINT cursorScreen, RECT windowRect, SIZE screen,
                          int windowBorder) {
    EdgeScroll out;
    out.windowRect = windowRect;
    const bool vertical = arrange == 1 || arrange == 4;
    const bool horizontal = arrange == 0 || arrange == 3;
    if (!vertical && !horizontal)
        return out;
    // Work along one axis: the cursor, the near and far sides of the window, the screen extent.
    const long long c = vertical ? cursorScreen.y : cursorScreen.x;
    long long lo = vertical ? windowRect.top : windowRect.left;
    long long hi = vertical ? windowRect.bottom : windowRect.right;
    const long long extent = vertical ? screen.cy : screen.cx;
    const long long wb = windowBorder;
    long long shift = 0;
    if (c < ScrollZone && lo < -wb) {
        shift = ScrollStep;
        if (lo + shift > -wb)
            shift = -wb - lo;
    } else if (c > extent - ScrollZone && hi > extent + wb) {
        shift = -ScrollStep;
        if (hi + shift < extent + wb)
            shift = extent + wb - hi;
    }
    if (shift == 0)
        return out;
    lo += shift;
    hi += shift;
    if (vertical) {
        out.windowRect.top = static_cast<LONG>(lo);
        out.windowRect.bottom = static_cast<LONG>(hi);
    } else {
        out.windowRect.left = static_cast<LONG>(lo);
        out.windowRect.right = static_cast<LONG>(hi);
    }
    out.moved = true;
    return out;
}

HoverDecision DecideHover(const HoverInput& in) {
    HoverDecision out;
    out.noHoverOpenIndex = in.noHoverOpenIndex;
    // The cursor has left the item whose sub-folder window a click closed.
    if (out.noHoverOpenIndex != in.hoverIndex)
        out.noHoverOpenIndex = -1;
    if (in.hoverIndex < 0)
        return out; // over the background an open sub-folder window stays
    if (in.hoveredIsFolder && !in.notShowSubFolder && !in.subNotShowWin && !in.subClickOpen &&
        out.noHoverOpenIndex != in.hoverIndex) {
        const DWORD elapsed = in.now - in.hoverTick;
        if (elapsed > static_cast<DWORD>(std::max(in.subShowTime, 0))) {
            const bool sameWindow =
                in.subWindowExists && in.subWindowIndex == in.hoverIndex && !in.subLoadInterrupted;
            out.action = sameWindow ? SubFolderAction::Show : SubFolderAction::Create;
        }
        return out;
    }
    if (!in.subOpenedByClick) {
        out.action = SubFolderAction::Hide;
        out.restartHoverTick = true;
    }
    return out;
}

} // namespace KivShowHide
