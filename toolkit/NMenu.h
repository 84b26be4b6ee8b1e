// NMenuBase, NSubMenu, NPopupMenu: menu handles. A popup menu destroys itself and every sub-menu
// appended to it; a sub-menu that was never appended must be freed with Destroy.
#pragma once
#include "NWin32.h"
#include <string>

class NSubMenu;

class NMenuBase {
public:
    NMenuBase(const NMenuBase&) = delete;
    NMenuBase& operator=(const NMenuBase&) = delete;
    virtual ~NMenuBase() = default;

    // Text may be null (a separator). A failure throws with the menu, flags, id and text.
    BOOL AppendMenu(UINT flags, UINT_PTR id, const char* text);
    // Appends the sub-menu's handle as the item id; callers pass MF_POPUP.
    BOOL AppendSubMenu(UINT flags, const NSubMenu& subMenu, const char* text);
    int GetMenuItemCount() const { return ::GetMenuItemCount(menu); }
    HMENU GetHandle() const { return menu; }

protected:
    NMenuBase() : menu(nullptr) {}
    HMENU menu;
};

class NSubMenu : public NMenuBase {
public:
    NSubMenu();
    // Frees a sub-menu that was not appended; 0 when no handle is held (also the second time).
    BOOL Destroy();
};

class NPopupMenu : public NMenuBase {
public:
    NPopupMenu();
    ~NPopupMenu() override;
    // Without TPM_RETURNCMD a dismissed menu still counts as success.
    BOOL TrackPopupMenu(UINT flags, int x, int y, HWND owner);
};

// The message of a failed AppendMenu: "Error NMenuBase::AppendMenu(menu, flags, id, text)" with
// the numbers as 8 hex digits and an empty text for null, complete however long the text is.
std::string AppendMenuFailure(HMENU menu, UINT flags, UINT_PTR id, const char* text);
