// KivWindow: the icon window of one folder: its items, their order, their cells and how they are
// painted. The layout is computed by the pure functions of Layout.h; this class measures the
// texts, asks the shell for the icon size and stores the results.
//
// Slots that later work fills (mouse input, menus, drag and drop, sub-folder windows) are declared
// here with their final signatures and do nothing yet.
#pragma once
#include "NWin32.h"
#include <commctrl.h>
#include <oleidl.h>
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
    void OnSysColorChange() override;
    void OnEnterMenuLoop(WPARAM isPopup) override;
    void OnExitMenuLoop(WPARAM isPopup) override;
    void OnPaint(NPaintDc& dc) override;

    // Slots 24 to 36.
    virtual void BuildContextMenu(NPopupMenu& menu, int index);
    virtual void OnItemDragStart(WPARAM /*keys*/, POINT /*point*/, int /*index*/) {}
    virtual void OnItemLButtonDown(WPARAM /*keys*/, POINT /*point*/, int /*index*/) {}
    virtual void OnItemClick(WPARAM /*keys*/, POINT /*point*/, int /*index*/) {}
    virtual void OnItemDblClk(WPARAM /*keys*/, POINT /*point*/, int /*index*/) {}
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
    // Deletes the open sub-folder window (and with it every one below it).
    void DeleteSubFolderWindow();

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
    // Items whose icon index has been asked of the shell so far.
    int GetCachedIconCount() const;

    // Item states as painting reads them; set by the mouse and hover handling.
    void SetHoverIndex(int index) { hoverIndex = index; }
    void SetPressedIndex(int index) { pressedIndex = index; }
    void SetMoveSourceIndex(int index) { moveSourceIndex = index; }

protected:
    // One of the program's menu commands (65001 to 65017 but 65002).
    void RunMenuCommand(UINT id);

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
    // Per item, the icon index once painting has asked for it (-1 before); kept in step with
    // items by every operation that reorders them.
    std::vector<int> iconIndexes;
    HIMAGELIST iconList;
};
