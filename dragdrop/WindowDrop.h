// The icon window's drop operations over what they need of the window (KivDropSite): which shell
// drop target receives the drag, with which keys, and what a drop on the background does (move an
// item of the window's own folder in the icon order, or reserve places for the files the shell is
// about to create). The window keeps its dropTarget and dropOnFolder fields and passes them in.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <string>
#include <vector>

#include "OleWrapper.h"

class KivDropSite {
public:
    // The frame window: owner of the shell objects, receiver of UM_MENULOOP and UM_HIDEALL.
    virtual HWND GetFrameWindow() = 0;
    // No item at index (index < 0), or the item is a separator.
    virtual bool IsBackground(int index) = 0;
    // GetDropTarget of the window's folder item, and of item index (owner: the frame window).
    virtual OleWrapper<IDropTarget> GetFolderDropTarget() = 0;
    virtual OleWrapper<IDropTarget> GetItemDropTarget(int index) = 0;
    virtual POINT ScreenToClientPoint(POINTL point) = 0;
    // The file's parent folder is the window's folder.
    virtual bool LiesInWindowFolder(const std::string& path) = 0;
    // Moves the item of path to the insertion index of clientPoint, lays out and repaints.
    virtual void MoveDroppedItem(const std::string& path, POINT clientPoint) = 0;
    // Reserves count places named "*" in the icon order at clientPoint.
    virtual void ReserveDropSlots(POINT clientPoint, size_t count) = 0;

protected:
    ~KivDropSite() = default;
};

HRESULT ItemDragEnter(KivDropSite& site, OleWrapper<IDropTarget>& dropTarget, bool& dropOnFolder,
                      IDataObject* data, DWORD keys, POINTL point, DWORD* effect, int index);
HRESULT ItemDragOver(KivDropSite& site, OleWrapper<IDropTarget>& dropTarget, bool& dropOnFolder,
                     DWORD keys, POINTL point, DWORD* effect, int index);
HRESULT ItemDragLeave(OleWrapper<IDropTarget>& dropTarget);
// The frame hears UM_MENULOOP 1 before and 0 after, also when a step throws; dropTarget is
// released in every case.
HRESULT ItemDrop(KivDropSite& site, OleWrapper<IDropTarget>& dropTarget, bool dropOnFolder,
                 IDataObject* data, DWORD keys, POINTL point, DWORD* effect, int index);

class KivDropClient;

// A drop of the older WM_DROPFILES kind, made to look like an OLE left-button drop at the same
// point: the shell's data object of the names (asked of the first name's folder), the window's
// enter and, when that accepts with some effect, its drop; otherwise its leave, so that the
// shell's target is not left entered. keys: DropFilesKeys of the keyboard state at the drop.
// Nothing happens when the data object cannot be made. Returns whether the drop was made.
bool DropFilesOnWindow(KivDropClient& window, HWND frame, const std::vector<std::string>& names,
                       POINT screenPoint, DWORD keys);
