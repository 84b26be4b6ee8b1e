// KivItem: one object of the shell namespace as an icon window shows it, with its names, type,
// folders and the shell objects it hands out. KivItemList: the ordered items of one window.
// ContextMenuWrapper: the context-menu interfaces of one item. GetDisplayNameOf: one display
// name as text. KivItemException: failures of this layer.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <stdexcept>
#include <string>
#include <vector>

#include "KivPidl.h"
#include "OleWrapper.h"

class KivItemException : public std::runtime_error {
public:
    explicit KivItemException(const std::string& message) : std::runtime_error(message) {}
};

// The display name of a list relative to the folder, in the ANSI code page. The folder is taken
// by value: its reference is released on return.
std::string GetDisplayNameOf(OleWrapper<IShellFolder> folder, const KivPidl& relative, DWORD flags);

class KivItem {
public:
    enum : unsigned char {
        ItemNone = 0,
        ItemFile = 1,
        ItemVirtual = 2,
        ItemFolder = 3,
        ItemVirtualFolder = 4,
        ItemLink = 5,
        ItemFolderLink = 6,
        ItemSeparator = 7,
    };

    KivItem();
    // Copies are independent: lists are cloned, folders gain a reference.
    KivItem(const KivItem& other);
    KivItem& operator=(const KivItem& other);
    // Moves hand the lists and references over and leave the source empty; list growth, sorts
    // and swaps use them.
    KivItem(KivItem&& other) noexcept;
    KivItem& operator=(KivItem&& other) noexcept;
    ~KivItem();

    // From an absolute list (top-window folders, dropped files).
    void SetPathId(const KivPidl& absolute);
    // From a child list found by enumerating the folder that the parent item opens; the item
    // keeps the list it is given.
    void SetPathId(const KivItem& parent, KivPidl child);
    // Names and type, from parentFolder and relativePidl.
    void SetPathIdHelper();
    // The folder the item opens, its holder and its path, from folderPidl.
    void SetPathIdHelper2();

    // Shell order of the two items: negative, 0 or positive.
    short CompareIDs(const KivItem& other) const;
    // Never empty: a placeholder stands in when the shell has no object.
    OleWrapper<IDataObject> GetDataObject(HWND owner) const;
    OleWrapper<IDropTarget> GetDropTarget(HWND owner) const;
    OleWrapper<IContextMenu> GetContextMenu(HWND owner) const;
    // Runs the default command of the context menu, or "open" when there is none.
    void InvokeDefault(HWND owner, const char* directory) const;
    OleWrapper<IEnumIDList> GetEnumIDList(HWND owner, DWORD flags) const;
    // The system image list goes to list (null when the lookup fails); returns the icon index.
    int GetIconImage(HIMAGELIST& list, bool smallIcon) const;
    // Display name of the folder the item opens.
    std::string GetFolderIdName() const;

    // The separator test on a parsing name: ends with ".sep.kiv", ASCII case ignored.
    static bool IsSeparatorName(const std::string& parsingName);
    // The type that the attributes of an item give; ItemLink means that the shortcut still has to
    // be read to tell ItemLink from ItemFolderLink.
    static unsigned char TypeOfAttributes(ULONG attributes);
    // The type of a readable shortcut from its target's attributes.
    static unsigned char TypeOfLinkTarget(ULONG targetAttributes);

    int x;
    int y;
    unsigned char type;
    std::string displayName;
    KivPidl pidl;
    KivPidl parentPidl;
    KivPidl relativePidl;
    OleWrapper<IShellFolder> parentFolder;
    std::string parsingName;
    KivPidl folderPidl;
    OleWrapper<IShellFolder> folderParent;
    std::string folderPath;
    OleWrapper<IShellFolder> folder;

private:
    // Reads the shortcut named by parsingName: ItemFolderLink with folderPidl set to the target,
    // or ItemLink without folderPidl for every failure and every other target.
    void ReadLink();
};

using KivItemList = std::vector<KivItem>;

class ContextMenuWrapper {
public:
    ContextMenuWrapper() = default;
    ContextMenuWrapper(const ContextMenuWrapper&) = delete;
    ContextMenuWrapper& operator=(const ContextMenuWrapper&) = delete;

    // Holds the menu and whichever richer interfaces it offers.
    void SetContextMenu(const OleWrapper<IContextMenu>& menu);
    void ReleaseAll();

    // Each call goes to the richest interface held; with none, the result is 0.
    HRESULT QueryContextMenu(HMENU menu, UINT index, UINT firstCommand, UINT lastCommand,
                             UINT flags);
    HRESULT InvokeCommand(CMINVOKECOMMANDINFO* info);
    HRESULT HandleMenuMsg(UINT message, WPARAM wParam, LPARAM lParam);
    HRESULT HandleMenuMsg2(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    OleWrapper<IContextMenu> contextMenu;
    OleWrapper<IContextMenu2> contextMenu2;
    OleWrapper<IContextMenu3> contextMenu3;
};
