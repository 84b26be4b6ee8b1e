#include "WindowDrop.h"

#include "DropRules.h"
#include "DroppedFiles.h"
#include "FrameMessages.h"
#include "KivDropClient.h"
#include "MenuLoopGuard.h"

HRESULT ItemDragEnter(KivDropSite& site, OleWrapper<IDropTarget>& dropTarget, bool& dropOnFolder,
                      IDataObject* data, DWORD keys, POINTL point, DWORD* effect, int index) {
    const bool background = site.IsBackground(index);
    const DragKeys given = DragEnterKeys(background, keys);
    dropOnFolder = given.dropOnFolder;
    dropTarget = background ? site.GetFolderDropTarget() : site.GetItemDropTarget(index);
    if (!dropTarget)
        return E_FAIL;
    return dropTarget->DragEnter(data, given.keys, point, effect);
}

HRESULT ItemDragOver(KivDropSite& site, OleWrapper<IDropTarget>& dropTarget, bool& dropOnFolder,
                     DWORD keys, POINTL point, DWORD* effect, int index) {
    const DragKeys given = DragOverKeys(site.IsBackground(index), keys);
    dropOnFolder = given.dropOnFolder;
    if (!dropTarget)
        return E_FAIL;
    return dropTarget->DragOver(given.keys, point, effect);
}

HRESULT ItemDragLeave(OleWrapper<IDropTarget>& dropTarget) {
    OleWrapper<IDropTarget> target = std::move(dropTarget);
    return target ? target->DragLeave() : S_OK;
}

HRESULT ItemDrop(KivDropSite& site, OleWrapper<IDropTarget>& dropTarget, bool dropOnFolder,
                 IDataObject* data, DWORD keys, POINTL point, DWORD* effect, int index) {
    const HWND frame = site.GetFrameWindow();
    MenuLoopGuard noRebuild(frame);
    OleWrapper<IDropTarget> target = std::move(dropTarget);
    const bool background = site.IsBackground(index);
    std::vector<std::string> files;
    bool firstInWindowFolder = false;
    if (DropGoesToFolder(background, dropOnFolder)) {
        if (auto dropped = GetDroppedFiles(data))
            files = std::move(*dropped);
        if (!files.empty())
            firstInWindowFolder = site.LiesInWindowFolder(files.front());
    }
    const DropDecision decision =
        DecideDrop(background, dropOnFolder, keys, files.size(), firstInWindowFolder);
    if (decision.action == DropAction::Reorder) {
        site.MoveDroppedItem(files.front(), site.ScreenToClientPoint(point));
        return S_OK;
    }
    if (decision.action == DropAction::ReserveAndPassOn)
        site.ReserveDropSlots(site.ScreenToClientPoint(point), files.size());
    const HRESULT result = target ? target->Drop(data, decision.keys, point, effect) : E_FAIL;
    PostMessageA(frame, UM_HIDEALL, 0, 0);
    return result;
}

bool DropFilesOnWindow(KivDropClient& window, HWND frame, const std::vector<std::string>& names,
                       POINT screenPoint, DWORD keys) {
    OleWrapper<IDataObject> data = DataObjectOfFiles(frame, names);
    if (!data)
        return false;
    const POINTL point = {screenPoint.x, screenPoint.y};
    const int index = window.DropHitTest(point);
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    const HRESULT entered = window.OnItemDragEnter(data.Get(), keys, point, &effect, index);
    if (!DropFilesGoesOn(entered, effect)) {
        window.OnItemDragLeave();
        return false;
    }
    window.OnItemDrop(data.Get(), keys, point, &effect, index);
    return true;
}
