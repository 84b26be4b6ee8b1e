#include "KivTopWindow.h"

#include <algorithm>
#include <cstring>

#include "ShowHide.h"
#include "SubFolderPlacement.h"
#include "TopWindowGeometry.h"

namespace {

// A hand-edited record may ask for any wait; a slide must never stall the program for long.
const int longestAnimationWait = 1000;
const int animationFrames = 10;

SIZE ScreenSize() {
    return SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

} // namespace

KivTopWindow::KivTopWindow(NWnd* frame, const char* directory, const KivItem& folder)
    : KivWindow(frame, directory, folder),
      PopState(Hidden), ShownRect{0, 0, 0, 0}, HiddenRect{0, 0, 0, 0},
      moving(false), dragOffset{0, 0}, AnchorTick(0), AnchorPoint{-1, -1} {}

void KivTopWindow::OnCreate() {
    KivWindow::OnCreate();
    LoadAndLayout(neverAbort);
    CalcEdgeRects();
    Hide(false, false);
}

bool KivTopWindow::OnMouseOver(POINT point) {
    if (moving)
        return true;
    // While shown, the items are hovered first (this may scroll the window).
    if (PopState == Shown)
        KivWindow::OnMouseOver(point);
    KivShowHide::TopPollInput in;
    in.popState = PopState;
    in.anchorPoint = AnchorPoint;
    in.anchorTick = AnchorTick;
    in.now = GetTickCount();
    in.cursorClient = point;
    in.cursorScreen = ClientToScreen(point);
    in.hiddenRect = HiddenRect;
    in.windowRect = GetWindowRect(false);
    in.moving = moving;
    in.clickWinOpen = property.ClickWinOpen;
    in.fullScreen = IsForegroundFullScreen();
    in.trueHide = property.TrueHide;
    in.clickWinClose = property.ClickWinClose;
    in.showTime = property.ShowTime;
    in.hideTime = property.HideTime;
    const KivShowHide::TopPollDecision decision = KivShowHide::DecideTopPoll(in);
    AnchorPoint = decision.anchorPoint;
    AnchorTick = decision.anchorTick;
    switch (decision.action) {
    case KivShowHide::TopPollAction::Show:
        Show(true);
        break;
    case KivShowHide::TopPollAction::Hide:
        Hide(true, false);
        break;
    case KivShowHide::TopPollAction::None:
        PopState = decision.popState;
        break;
    }
    return PopState == Shown;
}

void KivTopWindow::OnItemClick(WPARAM keys, POINT point, int index) {
    KivWindow::OnItemClick(keys, point, index);
    if (index >= 0)
        return;
    switch (KivShowHide::DecideBackgroundClick(PopState, property.ClickWinOpen, property.TrueHide,
                                               property.ClickWinClose)) {
    case KivShowHide::BackgroundClickAction::Show:
        Show(true);
        break;
    case KivShowHide::BackgroundClickAction::HideLocked:
        Hide(true, true);
        break;
    case KivShowHide::BackgroundClickAction::None:
        break;
    }
}

void KivTopWindow::OnItemDragStart(WPARAM keys, POINT point, int index) {
    KivWindow::OnItemDragStart(keys, point, index);
    if (index >= 0)
        return;
    // A drag begun on the background moves the window to another edge.
    SetCapture();
    DeleteSubFolderWindow();
    moving = true;
    dragOffset = KivTopGeometry::DragOffset(ShownRect, ClientToScreen(point));
    MoveStep(keys);
}

void KivTopWindow::OnMouseMove(WPARAM keys, int x, int y) {
    KivWindow::OnMouseMove(keys, x, y);
    if (moving)
        MoveStep(keys);
}

void KivTopWindow::MoveStep(WPARAM keys) {
    const SIZE screen = ScreenSize();
    const POINT cursor = GetCursorPoint();
    const int edge = KivTopGeometry::ChooseEdge(cursor, screen);
    // In memory only: the record is saved when the move ends.
    property.WindowSide = edge;
    LoadAndLayout(neverAbort);
    property.WinSideOffset = KivTopGeometry::MovePosition(
        edge, cursor, dragOffset, property.NeedSize, (keys & MK_SHIFT) != 0, screen, clientSize);
    CalcEdgeRects();
    Show(false);
    UpdateWindow();
}

void KivTopWindow::OnLButtonUp(WPARAM keys, int x, int y) {
    KivWindow::OnLButtonUp(keys, x, y);
    if (!moving)
        return;
    ReleaseCapture();
    property.SaveParam(folderItem.folderPath.c_str());
    LoadAndLayout(neverAbort);
    CalcEdgeRects();
    Hide(false, false);
    moving = false;
}

void KivTopWindow::CalcEdgeRects() {
    const KivTopGeometry::EdgeRects client = KivTopGeometry::CalcEdgeClientRects(
        property.WindowSide, property.WinSideOffset, std::max(property.SmallWindowWidth, 0),
        clientSize, ScreenSize());
    ShownRect = AdjustWindowRectEx(client.shownRect, false);
    HiddenRect = AdjustWindowRectEx(client.hiddenRect, false);
    // The side on which the window's sub-folder windows prefer to open: away from its edge.
    openDirection =
        static_cast<unsigned char>(KivSubFolder::TopWindowOpenDirection(property.WindowSide));
}

bool KivTopWindow::IsForegroundFullScreen() const {
    if (!property.MaxLock)
        return false;
    const SIZE screen = ScreenSize();
    for (HWND w = GetForegroundWindow(); w; w = ::GetParent(w)) {
        char className[100] = "";
        GetClassNameA(w, className, sizeof(className));
        if (std::strcmp(className, "Progman") == 0)
            continue;
        if (IsZoomed(w))
            return true;
        RECT r;
        if (::GetWindowRect(w, &r) && KivTopGeometry::CoversScreen(r, screen))
            return true;
    }
    return false;
}

DWORD KivTopWindow::AnimationWait() const {
    return static_cast<DWORD>(std::clamp(property.AnimateSHWait, 0, longestAnimationWait));
}

void KivTopWindow::Show(bool animate) {
    if (property.AnimateSH && animate) {
        for (int n = animationFrames; n >= 1; --n) {
            SetWindowRect(
                KivTopGeometry::AnimationFrameRect(property.WindowSide, ShownRect, HiddenRect, n),
                SWP_NOACTIVATE, HWND_TOPMOST);
            UpdateWindow();
            Sleep(AnimationWait());
        }
    }
    SetWindowRect(ShownRect, SWP_NOACTIVATE, HWND_TOPMOST);
    InvalidateRect(nullptr, true);
    PopState = Shown;
}

void KivTopWindow::Hide(bool animate, bool locked) {
    DeleteSubFolderWindow();
    if (property.AnimateSH && PopState == Shown && animate) {
        for (int i = 0; i < animationFrames; ++i) {
            SetWindowRect(
                KivTopGeometry::AnimationFrameRect(property.WindowSide, ShownRect, HiddenRect, i),
                SWP_NOACTIVATE, HWND_TOPMOST);
            UpdateWindow();
            Sleep(AnimationWait());
        }
    }
    if (property.TrueHide || IsForegroundFullScreen()) {
        SetWindowRect(RECT{0, 0, 0, 0}, SWP_NOACTIVATE, HWND_TOPMOST);
        PopState = Hidden;
    } else {
        SetWindowRect(HiddenRect, SWP_NOACTIVATE, HWND_TOPMOST);
        PopState = locked ? DockedLocked : Docked;
    }
    moveSourceIndex = -1;
}
