// KivWindow's mouse input: the button handlers turn the mouse messages into item events (a click
// is the release of a press, on the item under the press; a drag starts when the cursor moves more
// than 16 pixels from the press or leaves the pressed cell), and the item events launch items,
// toggle sub-folder windows or pick and exchange icons. Hovering is the poll's business
// (Hover.cpp).
#include <cstdlib>
#include <exception>

#include "DebugMode.h"
#include "FrameMessages.h"
#include "KivWindow.h"
#include "NApp.h"

namespace {

// A move of more than this many pixels from the press in x or in y starts a drag.
const int dragThreshold = 16;

const POINT noPoint{-1, -1};

bool IsNoPoint(POINT p) {
    return p.x == noPoint.x && p.y == noPoint.y;
}

bool IsFolderType(unsigned char type) {
    return type == KivItem::ItemFolder || type == KivItem::ItemVirtualFolder ||
           type == KivItem::ItemFolderLink;
}

} // namespace

void KivWindow::RepaintItem(int index) {
    if (index < 0 || !window)
        return;
    const RECT r = GetItemRect(index);
    InvalidateRect(&r, true);
    UpdateWindow();
}

void KivWindow::ForgetPress() {
    downPoint = noPoint;
    ReleaseCapture();
    // The held item is no longer drawn pushed in: no release will come for it.
    const int wasPressed = pressedIndex;
    pressedIndex = -1;
    RepaintItem(wasPressed);
}

void KivWindow::OnLButtonDown(WPARAM keys, int x, int y) {
    if (keys & MK_RBUTTON) {
        // The other button is already down: both presses are forgotten.
        ForgetPress();
        return;
    }
    downPoint = POINT{x, y};
    SetCapture();
    OnItemLButtonDown(keys, downPoint, HitTest(downPoint));
}

void KivWindow::OnRButtonDown(WPARAM keys, int x, int y) {
    if (keys & MK_LBUTTON) {
        ForgetPress();
        return;
    }
    downPoint = POINT{x, y};
    SetCapture();
    OnItemRButtonDown(keys, downPoint, HitTest(downPoint));
}

void KivWindow::OnLButtonUp(WPARAM keys, int x, int y) {
    if (IsNoPoint(downPoint))
        return;
    ReleaseCapture();
    // The item under the press, not under the release.
    const int index = HitTest(downPoint);
    downPoint = noPoint;
    OnItemClick(keys, POINT{x, y}, index);
}

void KivWindow::OnRButtonUp(WPARAM keys, int x, int y) {
    if (IsNoPoint(downPoint))
        return;
    ReleaseCapture();
    const int index = HitTest(downPoint);
    downPoint = noPoint;
    OnItemRButtonUp(keys, POINT{x, y}, index);
}

void KivWindow::OnLButtonDblClk(WPARAM keys, int x, int y) {
    const POINT p{x, y};
    OnItemDblClk(keys, p, HitTest(p));
}

void KivWindow::OnMouseMove(WPARAM keys, int x, int y) {
    if (IsNoPoint(downPoint))
        return;
    const POINT p{x, y};
    const int pressed = HitTest(downPoint);
    if (std::abs(x - downPoint.x) <= dragThreshold && std::abs(y - downPoint.y) <= dragThreshold &&
        HitTest(p) == pressed)
        return;
    downPoint = noPoint;
    ReleaseCapture();
    const int wasPressed = pressedIndex;
    pressedIndex = -1;
    RepaintItem(wasPressed);
    OnItemDragStart(keys, p, pressed);
}

void KivWindow::OnItemLButtonDown(WPARAM, POINT point, int index) {
    if (index >= 0) {
        pressedIndex = index;
        RepaintItem(index);
    }
    OnMouseOver(point);
}

void KivWindow::OnItemClick(WPARAM keys, POINT point, int index) {
    const int count = static_cast<int>(items.size());
    if (index >= count)
        index = -1;
    if (index >= 0 && (keys & MK_SHIFT) && (keys & MK_CONTROL)) {
        // Exchange mode: the first click picks an item, the second exchanges it with the picked
        // one (or, on the same item, drops the pick). Nothing is launched.
        if (moveSourceIndex < 0) {
            moveSourceIndex = index;
        } else {
            if (index != moveSourceIndex && moveSourceIndex < count) {
                SwapItems(index, moveSourceIndex);
                Layout();
                InvalidateRect(nullptr, true);
            }
            moveSourceIndex = -1;
        }
        pressedIndex = -1;
        RepaintItem(index);
        OnMouseOver(point);
        return;
    }
    if (index >= 0) {
        pressedIndex = -1;
        RepaintItem(index);
    }
    OnMouseOver(point);
    if (index < 0)
        return;
    const unsigned char type = items[static_cast<size_t>(index)].type;
    if (type == KivItem::ItemSeparator)
        return;
    if (IsFolderType(type)) {
        const KivWinProperty& sub = SubFolderProperty(index);
        const bool clickOpen = sub.IsClickWinOpen();
        const bool clickClose = sub.ClickWinClose;
        if (subWindow && subWindowIndex == index) {
            const bool visible = (subWindow->GetStyle(false) & WS_VISIBLE) != 0;
            if (visible && clickClose) {
                HideSubFolderWindow();
                noHoverOpenIndex = index;
            } else if (!visible && clickOpen) {
                ShowSubFolderWindow();
            }
        } else if (clickOpen) {
            CreateSubFolderWindow(index, false);
            subOpenedByClick = true;
        }
        if (clickOpen || clickClose)
            return;
    }
    LaunchItem(index);
}

void KivWindow::OnItemDblClk(WPARAM, POINT point, int index) {
    OnMouseOver(point);
    if (index < 0 || index >= static_cast<int>(items.size()))
        return;
    if (!IsFolderType(items[static_cast<size_t>(index)].type))
        return;
    // Only the folders whose single click does not launch them.
    const KivWinProperty& sub = SubFolderProperty(index);
    if (sub.IsClickWinOpen() || sub.ClickWinClose)
        LaunchItem(index);
}

void KivWindow::LaunchItem(int index) {
    if (index < 0 || index >= static_cast<int>(items.size()))
        return;
    NWnd* frame = application ? application->mainWindow : nullptr;
    const HWND owner = frame ? frame->GetHandle() : nullptr;
    try {
        // The shell is asked through the item's identifier list, so a name that the ANSI code
        // page cannot hold launches too.
        items[static_cast<size_t>(index)].InvokeDefault(owner, folderItem.folderPath.c_str());
    } catch (const std::exception& e) {
        // An item that vanished or cannot be launched any more: the shell has nothing to run
        // for it; the program goes on and the windows still hide.
        debugMode.Printf("KivWindow::LaunchItem(this:%llx, int:%d):%s", TraceAddress(this), index,
                         e.what());
    }
    if (!property.NotHideOnIconClick && frame)
        frame->PostMessage(UM_HIDEALL, 0, 0);
}
