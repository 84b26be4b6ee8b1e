// KivWindow's sub-folder windows: a folder item opens its folder as a further KivWindow beside the
// item, on the side where there is room (SubFolderPlacement.h decides where); each window owns at
// most one open sub-folder window, plus one hidden one whose deletion waits for a drag from it to
// end.
#include "DebugMode.h"
#include "KivWindow.h"
#include "Layout.h"
#include "SubFolderPlacement.h"

void KivWindow::CreateSubFolderWindow(int index, bool stopOnLeave) {
    debugMode.Printf("KivWindow::CreateSubFolderWindow(this:%llx, int:%d, bool:%d):1",
                     TraceAddress(this), index, stopOnLeave ? 1 : 0);
    if (index < 0 || index >= static_cast<int>(items.size()))
        return;
    const SIZE screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    DeleteSubFolderWindow();
    const RECT itemRect = ClientToScreen(GetItemRect(index));

    subWindow = new KivWindow(this, dataDirectory, items[static_cast<size_t>(index)]);
    KivWindow& sub = *subWindow;
    // A window opened by hovering stops loading as soon as the cursor leaves the item.
    sub.LoadAndLayout(stopOnLeave ? itemRect : neverAbort);

    const KivLayout::LayoutProperties layout =
        KivLayout::SanitizeLayoutProperties(KivLayout::LayoutPropertiesOf(property));
    const KivSubFolder::Placement placement = KivSubFolder::PlaceSubFolderWindow(
        KivLayout::ResolveItemArrange(layout.itemArrange, layout.windowSide), openDirection,
        itemRect, sub.clientSize, screen, property.WindowBorder);
    if (placement.openDirection != KivSubFolder::OpenNone)
        sub.openDirection = static_cast<unsigned char>(placement.openDirection);

    if (KivSubFolder::SubFolderWindowEmpty(
            property.NoEmptySubFolder, static_cast<int>(sub.items.size()), sub.loadInterrupted)) {
        sub.windowRect = RECT{0, 0, 0, 0};
    } else {
        const POINT p = placement.position;
        sub.windowRect = sub.AdjustWindowRectEx(
            RECT{p.x, p.y, p.x + sub.clientSize.cx, p.y + sub.clientSize.cy}, false);
    }
    // No handle yet: this only sets the rectangle the window is created with.
    sub.SetWindowRect(sub.windowRect, SWP_NOOWNERZORDER, nullptr);
    sub.CreateWindow();
    sub.UpdateWindow();
    subWindowIndex = index;
}

bool KivWindow::DeleteSubFolderWindow() {
    debugMode.Printf("KivWindow::DeleteSubFolderWindow(this:%llx):1", TraceAddress(this));
    if (!subWindow)
        return DeletePendingSubFolderWindow();
    DeletePendingSubFolderWindow();
    subWindowIndex = -1;
    subOpenedByClick = false;
    KivWindow* sub = subWindow;
    subWindow = nullptr;
    if (sub->DeleteSubFolderWindow() && sub->DeletePendingSubFolderWindow() &&
        !sub->dragSourceActive) {
        delete sub;
        return true;
    }
    // A drag runs from this window or one below it: it is hidden and parked until the drag ends.
    pendingDelete = sub;
    sub->ShowWindow(SW_HIDE);
    return false;
}

bool KivWindow::DeletePendingSubFolderWindow() {
    if (!pendingDelete)
        return true;
    if (!pendingDelete->DeleteSubFolderWindow() || pendingDelete->dragSourceActive)
        return false;
    delete pendingDelete;
    pendingDelete = nullptr;
    return true;
}

void KivWindow::ShowSubFolderWindow() {
    if (!subWindow || (subWindow->GetStyle(false) & WS_VISIBLE))
        return;
    debugMode.Printf("KivWindow::ShowSubFolderWindow(this:%llx):1", TraceAddress(this));
    subWindow->ShowWindow(SW_SHOW);
    subWindow->SetWindowRect(subWindow->windowRect, 0, window);
}

void KivWindow::HideSubFolderWindow() {
    if (!subWindow || !(subWindow->GetStyle(false) & WS_VISIBLE))
        return;
    debugMode.Printf("KivWindow::HideSubFolderWindow(this:%llx):1", TraceAddress(this));
    subWindow->HideSubFolderWindow();
    subWindow->ShowWindow(SW_HIDE);
}
