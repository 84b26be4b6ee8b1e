// NMenuBase, NSubMenu, NPopupMenu: menu handles. A popup menu destroys itself and every sub-menu
// appended to it; a sub-menu that was never appended must be freed with Destroy.
#pragma once
#include "NWin32.h"

class NMenuBase {
public:
    NMenuBase(const NMenuBase&) = delete;
    NMenuBase& operator=(const NMenuBase&) = delete;
    virtual ~NMenuBase() = default;

    BOOL AppendMenu(UINT flags, UINT_PTR id, const char* text);
    BOOL AppendSubMenu(UINT flags, const class NSubMenu& subMenu, const char* text);
    int GetMenuItemCount() const { return ::GetMenuItemCount(menu); }
    HMENU GetHandle() const { return menu; }

protected:
    NMenuBase() : menu(nullptr) {}
    HMENU menu;
};

class NSubMenu : public NMenuBase {
public:
    NSubMenu();
    BOOL Destroy();
};

class NPopupMenu : public NMenuBase {
public:
    NPopupMenu();
    ~NPopupMenu() override;
    BOOL TrackPopupMenu(UINT flags, int x, int y, HWND owner);
};
