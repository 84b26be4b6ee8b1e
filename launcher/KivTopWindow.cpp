#include "KivTopWindow.h"

#include <algorithm>
#include <cstring>

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

bool KivTopWindow::OnMouseOver(POINT) {
    if (moving)
        return true;
    return PopState == Shown;
}

void KivTopWindow::CalcEdgeRects() {
    const KivTopGeometry::EdgeRects client = KivTopGeometry::CalcEdgeClientRects(
        property.WindowSide, property.WinSideOffset, std::max(property.SmallWindowWidth, 0),
        clientSize, ScreenSize());
    ShownRect = AdjustWindowRectEx(client.shownRect, false);
    HiddenRect = AdjustWindowRectEx(client.hiddenRect, false);
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
