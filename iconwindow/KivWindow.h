// KivWindow: the icon window of one folder: its items, their order, their cells and how they are
// painted. The layout is computed by the pure functions of Layout.h; this class measures the
// texts, asks the shell for the icon size and stores the results.
//
// Mouse input and launching live in MouseInput.cpp, the poll and the hover processing in
// Hover.cpp, the sub-folder windows in SubFolderWindows.cpp. Slots that later work fills (menus,
// drag and drop) are declared here with their final signatures and do nothing yet.
#pragma once
#include "NWin32.h"
#include <commctrl.h>
#include <oleidl.h>
#include <optional>
#include <string>
#include <vector>

#include "KivItem.h"
#include "KivWinProperty.h"
#include "NToolTip.h"
#include "NWnd.h"

class NPopupMenu;

class KivWindow : public NWnd {
public:
    // The rectangle of LoadAndLayout that the cursor can never leave.
    static const RECT neverAbort;

    KivWindow(NWnd* parent, const char* dataDirectory, const KivItem& folder);
    ~KivWindow() override;

    // Slots 0 to 23 (the NWnd ones this window replaces).
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCreate() override;
    void OnDestroy() override;
    void OnClose() override {}
    void OnCommand(WORD id, WORD code) override;
    void OnMouseMove(WPARAM keys, int x, int y) override;
    void OnLButtonDown(WPARAM keys, int x, int y) override;
    void OnLButtonUp(WPARAM keys, int x, int y) override;
    void OnLButtonDblClk(WPARAM keys, int x, int y) override;
    void OnRButtonDown(WPARAM keys, int x, int y) override;
    void OnRButtonUp(WPARAM keys, int x, int y) override;
    void OnSysColorChange() override;
    void OnEnterMenuLoop(WPARAM isPopup) override;
    void OnExitMenuLoop(WPARAM isPopup) override;
    void OnPaint(NPaintDc& dc) override;

    // Slots 24 to 36.
    virtual void BuildContextMenu(NPopupMenu& menu, int index);
    virtual void OnItemDragStart(WPARAM /*keys*/, POINT /*point*/, int /*index*/) {}
    virtual void OnItemLButtonDown(WPARAM keys, POINT point, int index);
    virtual void OnItemClick(WPARAM keys, POINT point, int index);
    virtual void OnItemDblClk(WPARAM keys, POINT point, int index);
    virtual void OnItemRButtonDown(WPARAM /*keys*/, POINT /*point*/, int /*index*/) {}
    virtual void OnItemRButtonUp(WPARAM keys, POINT point, int index);
    // Hover processing for a client point; true while the cursor is handled here.
    virtual bool OnMouseOver(POINT point);
    virtual HRESULT OnItemDragEnter(IDataObject* /*data*/, DWORD /*keys*/, POINT /*point*/,
                                    DWORD* /*effect*/) {
        return S_OK;
    }
    virtual HRESULT OnItemDragOver(DWORD /*keys*/, POINT /*point*/, DWORD* /*effect*/) {
        return S_OK;
    }
    virtual HRESULT OnItemDragLeave() { return S_OK; }
    virtual HRESULT OnItemDrop(IDataObject* /*data*/, DWORD /*keys*/, POINT /*point*/,
                               DWORD* /*effect*/) {
        return S_OK;
    }
    // Periodic processing driven by the frame; true while busy.
    virtual bool Poll();

    void LoadAndLayout(const RECT& abortRect);
    bool LoadItems(const RECT& abortRect);
    void Layout();
    void MeasureCells();
    void ApplyIconOrder();
    void SaveIconOrder();
    void SwapItems(int a, int b);
    void MoveItem(int insert, int index);
    void ReserveOrderSlots(POINT point, int count, const char* name);
    int GetInsertIndex(POINT point) const;
    void RebuildToolTips();
    RECT GetItemRect(int index) const;
    int HitTest(POINT point) const;
    int FindItemByPath(const char* path) const;
    // Replaces any sub-folder window by a new one for item `index`; with stopOnLeave its loading
    // stops as soon as the cursor leaves the item.
    void CreateSubFolderWindow(int index, bool stopOnLeave);
    // Deletes the sub-folder window and everything below it; false when one of them had to be
    // parked (hidden) instead because a drag runs from it.
    bool DeleteSubFolderWindow();
    // Deletes the parked sub-folder window if that is possible now.
    bool DeletePendingSubFolderWindow();
    void ShowSubFolderWindow();
    void HideSubFolderWindow();
    // Launches item `index` through the shell, then hides every top window unless
    // NotHideOnIconClick is set.
    void LaunchItem(int index);
    // The window-property record of the folder that item `index` opens. Kept from one poll to the
    // next while the same item is hovered and none of the files it was read from has changed.
    const KivWinProperty& SubFolderProperty(int index);

    const KivItemList& GetItems() const { return items; }
    const KivWinProperty& GetProperty() const { return property; }
    KivWinProperty& GetProperty() { return property; }
    const KivItem& GetFolderItem() const { return folderItem; }
    SIZE GetClientSize() const { return clientSize; }
    SIZE GetCellSize() const { return cellSize; }
    SIZE GetSeparatorSize() const { return separatorSize; }
    RECT GetIconRect() const { return iconRect; }
    RECT GetTextRect() const { return textRect; }
    bool IsLoadInterrupted() const { return loadInterrupted; }
    bool UsesSmallIcons() const { return smallIcons; }
    SIZE GetSystemIconSize() const { return systemIconSize; }
    NToolTip* GetToolTip() const { return toolTip; }
    KivWindow* GetSubWindow() const { return subWindow; }
    KivWindow* GetPendingDelete() const { return pendingDelete; }
    int GetSubWindowIndex() const { return subWindowIndex; }
    bool IsSubOpenedByClick() const { return subOpenedByClick; }
    int GetHoverIndex() const { return hoverIndex; }
    int GetPressedIndex() const { return pressedIndex; }
    int GetMoveSourceIndex() const { return moveSourceIndex; }
    int GetNoHoverOpenIndex() const { return noHoverOpenIndex; }
    POINT GetDownPoint() const { return downPoint; }
    int GetOpenDirection() const { return openDirection; }
    const RECT& GetPlannedWindowRect() const { return windowRect; }
    void SetOpenDirection(int direction) { openDirection = static_cast<unsigned char>(direction); }
    void SetDragSourceActive(bool active) { dragSourceActive = active; }
    // How often SubFolderProperty read a record from the files (the rest came from the cache).
    int GetSubFolderRecordLoads() const { return subRecordCache.loads; }
    // Items whose icon index has been asked of the shell so far.
    int GetCachedIconCount() const;

    // Item states as painting reads them; set by the mouse and hover handling.
    void SetHoverIndex(int index) { hoverIndex = index; }
    void SetPressedIndex(int index) { pressedIndex = index; }
    void SetMoveSourceIndex(int index) { moveSourceIndex = index; }

protected:
    // One of the program's menu commands (65001 to 65017 but 65002).
    void RunMenuCommand(UINT id);
    // Invalidates (with erasing) and repaints item `index` at once; nothing for -1.
    void RepaintItem(int index);
    // A press of the other button while one is held: both presses are forgotten.
    void ForgetPress();

    // The icon index of item i, asked of the shell the first time only.
    int CachedIconIndex(int index, HIMAGELIST& list);
    void ForgetIcons();

    SIZE cellSize;
    SIZE separatorSize;
    SIZE clientSize;
    RECT windowRect;
    RECT iconRect;
    RECT textRect;
    bool smallIcons;
    SIZE systemIconSize;
    bool loadInterrupted;
    KivWindow* subWindow;
    int subWindowIndex;
    bool subOpenedByClick;
    NToolTip* toolTip;
    KivWindow* pendingDelete;
    bool dragSourceActive;
    ContextMenuWrapper contextMenu;
    OleWrapper<IDropTarget> dropTarget;
    bool dropOnFolder;
    POINT menuPoint;
    POINT downPoint;
    int hoverIndex;
    int pressedIndex;
    int noHoverOpenIndex;
    DWORD hoverTick;
    const char* dataDirectory;
    KivItem folderItem;
    KivItemList items;
    KivWinProperty property;
    unsigned char openDirection;
    int moveSourceIndex;
    // The item the last menu was built for (-1: the background); its commands act on it.
    int menuIndex;

private:
    // The last sub-folder record read by SubFolderProperty, with what tells whether it is still
    // the same: the folder it belongs to and the write stamps of the files it came from.
    struct FileStamp {
        FILETIME lastWrite{};
        DWORD sizeLow = 0;
        bool exists = false;
        bool operator==(const FileStamp& other) const;
    };
    struct SubRecordCache {
        std::string folderPath;
        std::vector<std::string> files; // hash file, default record, the folder's record
        std::vector<FileStamp> stamps;
        std::optional<KivWinProperty> property;
        int loads = 0;
    };
    static FileStamp StampOf(const std::string& file);
    SubRecordCache subRecordCache;

    // Per item, the icon index once painting has asked for it (-1 before); kept in step with
    // items by every operation that reorders them.
    std::vector<int> iconIndexes;
    HIMAGELIST iconList;
};
